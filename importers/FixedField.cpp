// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "FixedField.h"

namespace lumara::import {

namespace {

// The digits from `at` on, accumulated into `value`; returns where they end.
// Unsigned, so that a run too long for the limits wraps harmlessly before it
// is refused.
const char* ReadDigits(const char* at, const char* end, std::uint64_t& value) {
    for (unsigned digit; at < end && (digit = static_cast<unsigned char>(*at) - unsigned{'0'}) <= 9;
         ++at) {
        value = value * 10 + digit;
    }
    return at;
}

} // namespace

// One pass over the field: the white space around the number is passed as it
// comes rather than trimmed first.
NumberRead ReadDecimal(Field field, Decimal& number) {
    const char* const end = field.text + field.width;
    const char* at = SkipSpaces(field.text, end);
    if (at == end) {
        return NumberRead::Blank;
    }
    const bool negative = *at == '-';
    at += negative || *at == '+' ? 1 : 0;
    std::uint64_t value = 0;
    const char* const wholeStart = at;
    at = ReadDigits(at, end, value);
    const auto whole = static_cast<std::size_t>(at - wholeStart);
    std::size_t decimals = 0;
    if (at < end && *at == '.') {
        const char* const decimalStart = ++at;
        at = ReadDigits(at, end, value);
        decimals = static_cast<std::size_t>(at - decimalStart);
    }
    if (SkipSpaces(at, end) != end || whole + decimals == 0 ||
        whole + decimals > static_cast<std::size_t>(kMaxNumberDigits) ||
        whole > static_cast<std::size_t>(kMaxIntegerDigits)) {
        return NumberRead::Broken;
    }
    number.scaled = static_cast<std::int64_t>(value);
    number.scale = static_cast<int>(decimals);
    number.negative = negative;
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

} // namespace lumara::import
