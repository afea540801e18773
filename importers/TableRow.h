// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// Reading the cells of one row of a table with named columns into a
// TableStar, the same for every kind of table.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "FixedField.h"
#include "TableColumns.h"
#include "TableStar.h"

namespace lumara::import {

// The longest cell kept: a longer one is an error of the file, never cut.
inline constexpr std::size_t kMaxCellBytes = std::size_t{1} << 20;

// The text of each cell of one row that has a role; the other cells are
// never kept.
class RowCells {
public:
    void Clear(ColumnRole role) { cells[Index(role)].clear(); }
    // False, adding nothing, when the cell would grow beyond kMaxCellBytes.
    bool Append(ColumnRole role, const char* text, std::size_t length);
    std::string_view Cell(ColumnRole role) const { return cells[Index(role)]; }
    std::string& Text(ColumnRole role) { return cells[Index(role)]; }

private:
    static std::size_t Index(ColumnRole role) { return static_cast<std::size_t>(role); }
    std::array<std::string, kColumnRoles> cells;
};

enum class RowRead { Star, NoPosition, BrokenNumber };

// Reads a row whose cells are in `cells`, as `columns` says where each
// comes from. `columns` must have a position.
RowRead ReadTableRow(const TableColumns& columns, const RowCells& cells, TableStar& star);

// A number as tables write it: white space around it, an optional sign,
// digits with at most one point, an optional exponent. Blank for white space
// only and for NaN, Broken for anything else that is not such a number or
// has more than kMaxIntegerDigits whole digits. Digits beyond
// kMaxNumberDigits significant ones, and decimals beyond kMaxNumberDigits,
// are dropped: no table value is that precise.
NumberRead ReadTableNumber(std::string_view text, Decimal& number);

} // namespace lumara::import
