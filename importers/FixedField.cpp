// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "FixedField.h"

#include <cstring>
#include <iterator>

#include "LineFormat.h"

namespace lumara::import {

using format::IsSpace;

namespace {

constexpr char kSpaceRun[] = "        ";
constexpr std::size_t kRunBytes = sizeof kSpaceRun - 1;

// Up to 10^kMaxNumberDigits, the most any scaling here needs.
constexpr std::int64_t kPowersOfTen[] = {1,
                                         10,
                                         100,
                                         1000,
                                         10000,
                                         100000,
                                         1000000,
                                         10000000,
                                         100000000,
                                         1000000000,
                                         10000000000,
                                         100000000000,
                                         1000000000000,
                                         10000000000000,
                                         100000000000000,
                                         1000000000000000,
                                         10000000000000000,
                                         100000000000000000};
static_assert(std::size(kPowersOfTen) == kMaxNumberDigits + 1);

std::int64_t PowerOfTen(int exponent) {
    return kPowersOfTen[exponent];
}

std::int64_t Signed(const Decimal& number, std::int64_t magnitude) {
    return number.negative ? -magnitude : magnitude;
}

// Digits from `i` on, accumulated; unsigned, so that a run too long for the
// limits wraps harmlessly before it is refused.
std::size_t ReadDigits(Field text, std::size_t i, std::uint64_t& value) {
    const char* const start = text.text + i;
    const char* const end = text.text + text.width;
    const char* at = start;
    for (unsigned digit; at < end && (digit = static_cast<unsigned char>(*at) - unsigned{'0'}) <= 9;
         ++at) {
        value = value * 10 + digit;
    }
    return static_cast<std::size_t>(at - start);
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
    // Fields are mostly padding: runs of spaces go a word at a time.
    while (field.width >= kRunBytes && std::memcmp(field.text, kSpaceRun, kRunBytes) == 0) {
        field.text += kRunBytes;
        field.width -= kRunBytes;
    }
    while (field.width >= kRunBytes &&
           std::memcmp(field.text + field.width - kRunBytes, kSpaceRun, kRunBytes) == 0) {
        field.width -= kRunBytes;
    }
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

// Digits from `i` on, accumulated; unsigned, so that a run too long for the
// limits wraps harmlessly before it is refused.
NumberRead ReadDecimal(Field field, Decimal& number) {
    const Field text = Trimmed(field);
    if (text.width == 0) {
        return NumberRead::Blank;
    }
    const bool hasSign = text.text[0] == '+' || text.text[0] == '-';
    std::size_t i = hasSign ? 1 : 0;
    std::uint64_t value = 0;
    const std::size_t whole = ReadDigits(text, i, value);
    i += whole;
    std::size_t decimals = 0;
    if (i < text.width && text.text[i] == '.') {
        decimals = ReadDigits(text, i + 1, value);
        i += 1 + decimals;
    }
    if (i != text.width || whole + decimals == 0 ||
        whole + decimals > static_cast<std::size_t>(kMaxNumberDigits) ||
        whole > static_cast<std::size_t>(kMaxIntegerDigits)) {
        return NumberRead::Broken;
    }
    number.scaled = static_cast<std::int64_t>(value);
    number.scale = static_cast<int>(decimals);
    number.negative = text.text[0] == '-';
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
