// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Star records as an IVOA VOTable 1.4 with its rows in TABLEDATA, for the
// tools of the virtual observatory.
#pragma once

#include <cstddef>
#include <string_view>

struct StarRecord;

namespace lumara::votable {

// The document up to the first row, and from the last row on.
std::string_view Prologue();
extern const std::string_view kEpilogue;

// Enough for any row: every text character escaped at its longest, every
// number at its longest.
inline constexpr std::size_t kMaxRowBytes = 1024;

// Writes one row and returns its length.
std::size_t FormatRow(const StarRecord& record, char* out);

} // namespace lumara::votable
