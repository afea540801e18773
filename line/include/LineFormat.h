// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The fixed columns of a catalogue line, counted from 0, and the limits of
// reading one. Every rule about where a field stands lives here.
#pragma once

#include <cstddef>

namespace lumara::format {

// A line is read with room for this many characters before its line feed;
// the rest of a longer line is skipped.
inline constexpr std::size_t kMaxLineChars = 255;
// What is stored of a star line: exactly this many characters.
inline constexpr std::size_t kStoredLineChars = 75;

inline constexpr std::size_t kRaHoursColumn = 0;
inline constexpr std::size_t kRaMinutesColumn = 2;
inline constexpr std::size_t kDecSignColumn = 4;
inline constexpr std::size_t kDecDegreesColumn = 5;
inline constexpr std::size_t kFlagColumn = 7; // white space or a letter
inline constexpr std::size_t kGapColumn = 8;  // two columns of white space
inline constexpr std::size_t kNameColumn = 10;
inline constexpr std::size_t kNameChars = 11;
inline constexpr std::size_t kTypeColumn = 22;
inline constexpr std::size_t kTypeChars = 8;
inline constexpr std::size_t kRangeColumn = 32;
inline constexpr std::size_t kRangeChars = 14;
inline constexpr std::size_t kDescColumn = 55;
inline constexpr std::size_t kDescChars = 20;

// Magnitudes: tens, units, tenths and hundredths; the point between units and
// tenths is not read.
inline constexpr std::size_t kMaxMagDigitColumns[] = {33, 34, 36, 37};
inline constexpr std::size_t kMinMagDigitColumns[] = {40, 41, 43, 44};
// The single-precision numbers nearest to 0.1 and 0.01. Catalogues have always
// been decoded with these weights, and searches compare the decoded doubles
// without tolerance, so they stay.
inline constexpr double kTenthWeight = 0.100000001490116119384765625;
inline constexpr double kHundredthWeight = 0.00999999977648258209228515625;
inline constexpr int kMagnitudeDigits = 4;
// Four digits give this many distinct magnitudes, 00.00 to 99.99.
inline constexpr int kMagnitudeValues = 10000;

// The value of a magnitude from its four digits, a missing digit counting 0.
// The whole magnitudes add up exactly, so they are summed as integers; the
// tenths and hundredths are then added in that order.
constexpr double MagnitudeValue(const int (&digits)[kMagnitudeDigits]) {
    double value = 10 * digits[0] + digits[1];
    value += digits[2] * kTenthWeight;
    value += digits[3] * kHundredthWeight;
    return value;
}

// Period: four integer digits, then the point or the thousands marker, then
// four decimals.
inline constexpr std::size_t kPeriodIntegerColumns[] = {46, 47, 48, 49};
inline constexpr int kPeriodIntegerWeights[] = {1000, 100, 10, 1};
inline constexpr std::size_t kPeriodMarkerColumn = 50;
inline constexpr char kThousandsMarker = 'K';
inline constexpr int kThousands = 1000;
inline constexpr std::size_t kPeriodDecimalColumns[] = {51, 52, 53, 54};
inline constexpr double kPeriodDecimalWeights[] = {0.1, 0.01, 0.001, 0.0001};
inline constexpr int kPeriodDecimals = 4;

inline constexpr int kMinutesPerHour = 60;

// Character classes of the C locale, taken on the byte value; bytes from 0x80
// up and the terminating zero belong to no class.
constexpr bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
constexpr bool IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
constexpr bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
constexpr bool IsGraphic(char c) {
    return c >= '!' && c <= '~';
}

} // namespace lumara::format
