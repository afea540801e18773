// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "FixedField.h"

#include "LineFormat.h"

namespace lumara::import {

using format::IsDigit;
using format::IsSpace;

namespace {

std::int64_t PowerOfTen(int exponent) {
    std::int64_t power = 1;
    for (int i = 0; i < exponent; ++i) {
        power *= 10;
    }
    return power;
}

std::int64_t Signed(const Decimal& number, std::int64_t magnitude) {
    return number.negative ? -magnitude : magnitude;
}

} // namespace

Field FieldAt(const char* line, std::size_t length, std::size_t first, std::size_t last) {
    if (first > length) {
        return {line + length, 0};
    }
    const std::size_t end = last < length ? last : length;
    return {line + first - 1, end - first + 1};
}

char ByteAt(const char* line, std::size_t length, std::size_t position) {
    return position <= length ? line[position - 1] : ' ';
}

Field Trimmed(Field field) {
    while (field.width > 0 && IsSpace(field.text[0])) {
        ++field.text;
        --field.width;
    }
    while (field.width > 0 && IsSpace(field.text[field.width - 1])) {
        --field.width;
    }
    return field;
}

bool IsBlank(Field field) {
    return Trimmed(field).width == 0;
}

NumberRead ReadDecimal(Field field, Decimal& number) {
    const Field text = Trimmed(field);
    if (text.width == 0) {
        return NumberRead::Blank;
    }
    Decimal read;
    std::size_t i = 0;
    if (text.text[0] == '+' || text.text[0] == '-') {
        read.negative = text.text[0] == '-';
        ++i;
    }
    int digits = 0;
    bool point = false;
    for (; i < text.width; ++i) {
        const char c = text.text[i];
        if (c == '.' && !point) {
            point = true;
        } else if (IsDigit(c) && digits < kMaxNumberDigits &&
                   (point || digits - read.scale < kMaxIntegerDigits)) {
            read.scaled = read.scaled * 10 + (c - '0');
            ++digits;
            read.scale += point ? 1 : 0;
        } else {
            return NumberRead::Broken;
        }
    }
    if (digits == 0) {
        return NumberRead::Broken;
    }
    number = read;
    return NumberRead::Number;
}

bool ReadBelow(Field field, std::int64_t limit, Decimal& number) {
    return ReadDecimal(field, number) == NumberRead::Number && !number.negative &&
           TruncatedTo(number, 0) < limit;
}

bool ReadWhole(Field field, int most, int& value) {
    Decimal number;
    if (ReadDecimal(field, number) != NumberRead::Number || number.negative || number.scale != 0 ||
        Trimmed(field).text[Trimmed(field).width - 1] == '.' || number.scaled > most) {
        return false;
    }
    value = static_cast<int>(number.scaled);
    return true;
}

std::int64_t RoundedTo(const Decimal& number, int decimals, bool& changed) {
    if (number.scale <= decimals) {
        changed = false;
        return Signed(number, number.scaled * PowerOfTen(decimals - number.scale));
    }
    const std::int64_t divisor = PowerOfTen(number.scale - decimals);
    const std::int64_t remainder = number.scaled % divisor;
    changed = remainder != 0;
    const std::int64_t rounded = number.scaled / divisor + (2 * remainder >= divisor ? 1 : 0);
    return Signed(number, rounded);
}

std::int64_t TruncatedTo(const Decimal& number, int decimals) {
    if (number.scale <= decimals) {
        return Signed(number, number.scaled * PowerOfTen(decimals - number.scale));
    }
    return Signed(number, number.scaled / PowerOfTen(number.scale - decimals));
}

} // namespace lumara::import
