// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// The published layouts, each read into a SourceStar. A line's text is given
// without its line feed and without a trailing carriage return.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ConversionPolicy.h"

namespace lumara::import {

// A whole GCVS 5.1 line: every separator in place and the full width.
bool IsGcvsLine(const char* text, std::size_t length);
// Reads a line of a GCVS 5.1 file; false, with the reason counted, when it
// gives no star. Lines cut short read as far as they go.
bool ReadGcvsStar(const char* text, std::size_t length, SourceStar& star, ImportReport& report);

// A VSX line, of today's width or the 2013 one.
bool IsVsxLine(const char* text, std::size_t length);
// Reads a VSX line in standard form if it is one, else in any form.
bool ReadVsxStar(const char* text, std::size_t length, SourceStar& star, ImportReport& report);
// A line of VSX's own writing: today's full width, every number in its fixed
// form and in range. Read from fixed places; false, with nothing counted and
// `star` not to be used, for any other line. It gives what
// ReadVsxStarInAnyForm gives for the same line.
bool ReadVsxStarInStandardForm(const char* text, std::size_t length, SourceStar& star);
// Reads any VSX line, as far as it goes; false, with the reason counted, when
// it gives no star.
bool ReadVsxStarInAnyForm(const char* text, std::size_t length, SourceStar& star,
                          ImportReport& report);
// Places a position given in units of 1/kPlacedUnitsPerDegree degree: the
// R.A. (0 to below 360 degrees) truncated to hours and minutes, the
// declination's size (at most 90 degrees) to whole degrees, with its sign
// apart (negative only for a declination other than 0). False, with `star`
// unchanged, for a position outside the sky. VSX's degrees and the tables'
// are placed alike.
inline constexpr std::int64_t kPlacedUnitsPerDegree = 100000;
bool PlaceDegrees(std::int64_t raUnits, std::int64_t decUnits, bool decNegative, SourceStar& star);
// VSX's description: the passband of the maximum (else of the minimum), then
// what the variability flag ('0' to '3') says when it is not plain
// "variable". Also for VSX's tables with named columns.
void DescribeVsxStar(Field maxBand, Field minBand, char flag, SourceStar& star);
inline constexpr char kVsxLastFlag = '3';

} // namespace lumara::import
