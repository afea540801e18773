// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// Reading the cells of one row of a table with named columns into a
// TableStar, the same for every kind of table.
#pragma once

#include <array>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "FixedField.h"
#include "TableColumns.h"
#include "TableStar.h"

namespace lumara::import {

// The longest cell kept: a longer one is an error of the file, never cut.
inline constexpr std::size_t kMaxCellBytes = std::size_t{1} << 20;
// Room for the cells of a row as catalogues have them; more is made when
// needed, at most kMaxCellBytes a cell.
inline constexpr std::size_t kStartingRowBytes = 4096;

// The text of each cell of one row that has a role, one after another in
// one buffer that every row reuses; the other cells are never kept.
class RowCells {
public:
    // Forgets the cells of the row read before.
    void NewRow() { used = 0; }
    // Starts the cell of `role` (the last one started is the one that grows).
    void Start(ColumnRole role) { spans[Index(role)] = {used, 0}; }
    // Adds to the cell of `role`, the last one started. False, adding
    // nothing, when it would grow beyond kMaxCellBytes.
    bool Append(ColumnRole role, const char* text, std::size_t length) {
        Span& span = spans[Index(role)];
        if (length > kMaxCellBytes - span.length) {
            return false;
        }
        if (length > bytes.size() - used) {
            bytes.resize(2 * (used + length));
        }
        std::memcpy(bytes.data() + used, text, length);
        used += length;
        span.length += length;
        return true;
    }
    std::string_view Cell(ColumnRole role) const {
        return {bytes.data() + spans[Index(role)].start, spans[Index(role)].length};
    }
    // The last cell started, to change in place; it may only shrink.
    char* Text(ColumnRole role) { return bytes.data() + spans[Index(role)].start; }
    void Shrink(ColumnRole role, std::size_t length) {
        spans[Index(role)].length = length;
        used = spans[Index(role)].start + length;
    }

private:
    struct Span {
        std::size_t start = 0;
        std::size_t length = 0;
    };
    static std::size_t Index(ColumnRole role) { return static_cast<std::size_t>(role); }
    std::vector<char> bytes = std::vector<char>(kStartingRowBytes);
    std::size_t used = 0;
    std::array<Span, kColumnRoles> spans{};
};

enum class RowRead { Star, NoPosition, BrokenNumber };

// Reads a row whose cells are in `cells`, as `columns` says where each
// comes from. `columns` must have a position. The texts of `star` are views
// of `cells`, whose control bytes are made spaces here.
RowRead ReadTableRow(const TableColumns& columns, RowCells& cells, TableStar& star);

// A number as tables write it: white space around it, an optional sign,
// digits with at most one point, an optional exponent. Blank for white space
// only and for NaN, Broken for anything else that is not such a number or
// has more than kMaxIntegerDigits whole digits. Digits beyond
// kMaxNumberDigits significant ones, and decimals beyond kMaxNumberDigits,
// are dropped: no table value is that precise.
NumberRead ReadTableNumber(std::string_view text, Decimal& number);

} // namespace lumara::import
