// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// Reading fixed-column fields of the published layouts, whose bytes are
// counted from 1. A field that runs past the end of a shorter line reads only
// as far as the line goes; past the end it is blank.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "ByteWords.h"
#include "LineFormat.h"

namespace lumara::import {

struct Field {
    const char* text;
    std::size_t width;
};

// These run several times on every line of a file: they stay inline so that
// fixed columns become fixed offsets.

// The bytes `first` to `last` (counted from 1, both included) of a line.
inline Field FieldAt(const char* line, std::size_t length, std::size_t first, std::size_t last) {
    if (first > length) {
        return {line + length, 0};
    }
    const std::size_t end = last < length ? last : length;
    return {line + first - 1, end - first + 1};
}

// The byte at `position` (counted from 1), or a space past the end.
inline char ByteAt(const char* line, std::size_t length, std::size_t position) {
    return position <= length ? line[position - 1] : ' ';
}

// Fields are mostly padding: runs of white space are passed a word at a
// time, and the word where the text starts or ends tells in which byte.

// The first byte from `at` on that is no white space, or `end`.
inline const char* SkipSpaces(const char* at, const char* end) {
    while (end - at >= words::kBytes) {
        const words::Word text = ~words::Spaces(words::Load(at)) & words::kHighBits;
        if (text != 0) {
            return at + std::countr_zero(text) / words::kBytes;
        }
        at += words::kBytes;
    }
    while (at < end && format::IsSpace(*at)) {
        ++at;
    }
    return at;
}

// The field without white space at either end.
inline Field Trimmed(Field field) {
    const char* const begin = SkipSpaces(field.text, field.text + field.width);
    const char* end = field.text + field.width;
    while (end - begin >= words::kBytes) {
        const words::Word text =
            ~words::Spaces(words::Load(end - words::kBytes)) & words::kHighBits;
        if (text != 0) {
            end -= std::countl_zero(text) / words::kBytes;
            return {begin, static_cast<std::size_t>(end - begin)};
        }
        end -= words::kBytes;
    }
    while (end > begin && format::IsSpace(end[-1])) {
        --end;
    }
    return {begin, static_cast<std::size_t>(end - begin)};
}

inline bool IsBlank(Field field) {
    return SkipSpaces(field.text, field.text + field.width) == field.text + field.width;
}

// A decimal number as written: `scaled` / 10^`scale`. Exact, so rounding
// follows the written digits rather than a binary approximation.
struct Decimal {
    std::int64_t scaled = 0;
    int scale = 0;
    bool negative = false; // also for a written -0
};

enum class NumberRead { Blank, Number, Broken };

// Reads a field holding at most one number: spaces, an optional sign, digits
// with at most one point (at least one digit), spaces. Anything else, or more
// digits than the limits below, is Broken. The limits keep every scaling in
// this file within 64 bits: no field of the layouts holds more.
inline constexpr int kMaxNumberDigits = 17;
inline constexpr int kMaxIntegerDigits = 9;
NumberRead ReadDecimal(Field field, Decimal& number);

// Up to 10^kMaxNumberDigits, the most any scaling here needs.
inline constexpr std::int64_t kPowersOfTen[] = {1,
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
static_assert(sizeof kPowersOfTen / sizeof kPowersOfTen[0] == kMaxNumberDigits + 1);

// Reads a field the way ReadDecimal does, with the same result for any
// bytes. A field in the form a layout writes (right-aligned, exactly
// `Decimals` decimals ending the field) is read from its fixed point: the
// decimals without a branch, the few whole digits back from the point, each
// byte once. Any other form goes the general way.
template <int Decimals> NumberRead ReadFixedDecimal(Field field, Decimal& number) {
    static_assert(Decimals > 0 && Decimals < kMaxNumberDigits);
    constexpr auto kDecimals = static_cast<std::size_t>(Decimals);
    if (field.width <= kDecimals || field.text[field.width - kDecimals - 1] != '.') {
        return ReadDecimal(field, number);
    }
    const char* const point = field.text + field.width - kDecimals - 1;
    std::uint64_t value = 0;
    bool allDigits = true;
    // The decimals stand at fixed places: unrolled, they take no branch.
#pragma GCC unroll 16
    for (std::size_t i = 1; i <= kDecimals; ++i) {
        const unsigned digit = static_cast<unsigned char>(point[i]) - unsigned{'0'};
        allDigits &= digit <= 9;
        value = value * 10 + digit;
    }
    // The whole digits, backwards from the point, each at its weight; too
    // many of them wrap harmlessly before they are refused below.
    auto weight = static_cast<std::uint64_t>(kPowersOfTen[Decimals]);
    const char* first = point;
    for (unsigned digit;
         first > field.text && (digit = static_cast<unsigned char>(first[-1]) - unsigned{'0'}) <= 9;
         --first) {
        value += digit * weight;
        weight *= 10;
    }
    const auto wholeDigits = static_cast<std::size_t>(point - first);
    const bool hasSign = first > field.text && (first[-1] == '-' || first[-1] == '+');
    const char* const start = hasSign ? first - 1 : first;
    if (!allDigits || wholeDigits > static_cast<std::size_t>(kMaxIntegerDigits) ||
        wholeDigits + kDecimals > static_cast<std::size_t>(kMaxNumberDigits) ||
        SkipSpaces(field.text, start) != start) {
        return ReadDecimal(field, number);
    }
    number.scaled = static_cast<std::int64_t>(value);
    number.scale = Decimals;
    number.negative = hasSign && *start == '-';
    return NumberRead::Number;
}

// A number below `limit`, with or without decimals, not negative; false for
// anything else, a blank field included.
bool ReadBelow(Field field, std::int64_t limit, Decimal& number);
// A whole number (no sign, no point) from 0 to `most`.
bool ReadWhole(Field field, int most, int& value);

// The number with the sign it was written with.
inline std::int64_t Signed(const Decimal& number, std::int64_t magnitude) {
    return number.negative ? -magnitude : magnitude;
}

// `value` divided by 10^`shift` (1 to kMaxNumberDigits), with the
// remainder. Each power is a constant here, so the division is a
// multiplication: a division by a power known only at run time would cost
// more than all the rest of a line's arithmetic.
template <int Shift = 1>
[[gnu::always_inline]] inline std::int64_t DividedByPowerOfTen(std::int64_t value, int shift,
                                                               std::int64_t& remainder) {
    if constexpr (Shift < kMaxNumberDigits) {
        if (shift != Shift) {
            return DividedByPowerOfTen<Shift + 1>(value, shift, remainder);
        }
    }
    constexpr std::int64_t kDivisor = kPowersOfTen[Shift];
    remainder = value % kDivisor;
    return value / kDivisor;
}

// The number rounded half away from zero to `decimals` decimals, as a count
// of 10^-decimals; `changed` tells whether a digit other than 0 was dropped.
inline std::int64_t RoundedTo(const Decimal& number, int decimals, bool& changed) {
    if (number.scale <= decimals) {
        changed = false;
        return Signed(number, number.scaled * kPowersOfTen[decimals - number.scale]);
    }
    const int shift = number.scale - decimals;
    std::int64_t remainder = 0;
    const std::int64_t kept = DividedByPowerOfTen(number.scaled, shift, remainder);
    changed = remainder != 0;
    const std::int64_t rounded = kept + (2 * remainder >= kPowersOfTen[shift] ? 1 : 0);
    return Signed(number, rounded);
}

// The number as a double, for what is kept beside the native line.
inline double ValueOf(const Decimal& number) {
    const double magnitude =
        static_cast<double>(number.scaled) / static_cast<double>(kPowersOfTen[number.scale]);
    return number.negative ? -magnitude : magnitude;
}

// The number truncated toward zero to a whole count of 10^-decimals.
inline std::int64_t TruncatedTo(const Decimal& number, int decimals) {
    if (number.scale <= decimals) {
        return Signed(number, number.scaled * kPowersOfTen[decimals - number.scale]);
    }
    std::int64_t remainder = 0;
    return Signed(number, DividedByPowerOfTen(number.scaled, number.scale - decimals, remainder));
}

} // namespace lumara::import
