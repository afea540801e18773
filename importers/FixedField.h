// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// Reading fixed-column fields of the published layouts, whose bytes are
// counted from 1. A field that runs past the end of a shorter line reads only
// as far as the line goes; past the end it is blank.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lumara::import {

struct Field {
    const char* text;
    std::size_t width;
};

// The bytes `first` to `last` (counted from 1, both included) of a line.
Field FieldAt(const char* line, std::size_t length, std::size_t first, std::size_t last);
// The byte at `position` (counted from 1), or a space past the end.
char ByteAt(const char* line, std::size_t length, std::size_t position);

// The field without white space at either end.
Field Trimmed(Field field);
bool IsBlank(Field field);

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

// A number below `limit`, with or without decimals, not negative; false for
// anything else, a blank field included.
bool ReadBelow(Field field, std::int64_t limit, Decimal& number);
// A whole number (no sign, no point) from 0 to `most`.
bool ReadWhole(Field field, int most, int& value);

// The number rounded half away from zero to `decimals` decimals, as a count
// of 10^-decimals; `changed` tells whether a digit other than 0 was dropped.
std::int64_t RoundedTo(const Decimal& number, int decimals, bool& changed);
// The number truncated toward zero to a whole count of 10^-decimals.
std::int64_t TruncatedTo(const Decimal& number, int decimals);

} // namespace lumara::import
