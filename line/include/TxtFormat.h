// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The TXT form of a star record: its stored line, which loads again.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

#include "LineFormat.h"
#include "StarRecord.h"

namespace lumara::txt {

inline constexpr std::string_view kLineEnd = "\r\n";
inline constexpr std::size_t kRowBytes = format::kStoredLineChars + kLineEnd.size();

// Writes one row, line end included, and returns its length.
inline std::size_t FormatRow(const StarRecord& record, char* out) {
    std::memcpy(out, record.line, format::kStoredLineChars);
    std::memcpy(out + format::kStoredLineChars, kLineEnd.data(), kLineEnd.size());
    return kRowBytes;
}

} // namespace lumara::txt
