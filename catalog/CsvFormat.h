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

// Writes one row, line end included, and returns its length.
std::size_t FormatRow(const StarRecord& record, char* out);

} // namespace lumara::csv
