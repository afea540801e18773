// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The CSV form of a star record.
#pragma once

#include <cstddef>
#include <string_view>

struct StarRecord;

namespace lumara::csv {

inline constexpr std::string_view kHeader = "Hr,Min,Deg,Name,Type,Range,Desc,Max,Min,Period\r\n";
// Enough for any row: every text doubled by quoting, every number at its
// longest.
inline constexpr std::size_t kMaxRowBytes = 512;

// The number texts of a row, for other tables that want the same figures.
// Each writes at most kMaxNumberBytes bytes (a few spare ones may follow the
// text) and returns the end of the text.
inline constexpr std::size_t kMaxNumberBytes = 32;
char* WriteMagnitude(char* out, double value);
char* WritePeriod(char* out, double value);

// Writes one row, line end included, and returns its length.
std::size_t FormatRow(const StarRecord& record, char* out);

} // namespace lumara::csv
