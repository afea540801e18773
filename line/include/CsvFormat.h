// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The CSV form of a star record.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "TableColumns.h"

struct StarRecord;

namespace lumara::csv {

namespace detail {
inline constexpr std::string_view kLineEnd = "\r\n";

constexpr std::size_t HeaderLength() {
    std::size_t length = kLineEnd.size() + table::kColumnCount - 1;
    for (const table::Column& column : table::kColumns) {
        length += column.csvName.size();
    }
    return length;
}

// The column names joined by commas, with the line end.
inline constexpr auto kHeaderChars = [] {
    std::array<char, HeaderLength()> text{};
    std::size_t at = 0;
    const auto put = [&](std::string_view part) {
        for (const char c : part) {
            text[at++] = c;
        }
    };
    for (std::size_t i = 0; i < table::kColumnCount; ++i) {
        put(i == 0 ? "" : ",");
        put(table::kColumns[i].csvName);
    }
    put(kLineEnd);
    return text;
}();
} // namespace detail

inline constexpr std::string_view kHeader{detail::kHeaderChars.data(), detail::kHeaderChars.size()};
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
