// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// Reading the cells of one row of a table with named columns into a
// TableStar, the same for every kind of table.
#pragma once

#include <array>
#include <cstddef>
#include <cstring>
#include <string_view>
#include <vector>

#include "FixedField.h"
#include "NamedColumns.h"
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
    // A cell's bytes, to change in place.
    char* Text(ColumnRole role) { return bytes.data() + spans[Index(role)].start; }
    // Shortens the last cell started.
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

// Reads the cells of one row as each comes, into a TableStar: a number is
// read from the parser's own bytes, a text kept in the row's buffer.
class RowReader {
public:
    // For the rows of a table with `columns`, which must stay as they are
    // while its rows are read.
    void StartTable(const NamedColumns& columns);
    // Forgets the row read before.
    void NewRow();
    // Reads the whole cell of `role` (not None); `text` need only last for
    // the call.
    void Read(ColumnRole role, const char* text, std::size_t length);
    // A cell gathered piece by piece in Cells() (Start, Append), read once
    // it is whole.
    RowCells& Cells() { return cells; }
    void ReadGathered(ColumnRole role);
    // Completes the star from the row's cells; the table must have a
    // position. The star's texts are views of the row's buffer, whose
    // control bytes are made spaces.
    RowRead Finish();
    const TableStar& Star() const { return star; }

private:
    // What the cells gave that is put together once the row is complete.
    struct Gathered {
        bool broken = false;
        bool raGiven = false;
        bool decGiven = false;
        Decimal raHours;
        Decimal decDegrees;
        double raMinutes = 0;
        double raSeconds = 0;
        double decMinutes = 0;
        double decSeconds = 0;
        bool decSignNegative = false;
        char maxLead = ' ';
        char minLead = ' ';
        char maxLimit = ' ';
        char minLimit = ' ';
        bool maxNumberUncertain = false; // a ':' after the value
        bool minNumberUncertain = false;
        bool maxColumnUncertain = false; // a ':' in a column of its own
        bool minColumnUncertain = false;
        bool amplitudeColumn = false;
        bool rangeRead = false;
        TableMagnitude rangeMaximum;
        TableMagnitude rangeMinimum;
        Decimal epoch;
        bool epochNumberUncertain = false;
        bool epochColumnUncertain = false;
        bool periodNumberUncertain = false;
        char periodLead = ' ';
        char periodMark = ' ';
    };

    void ReadValue(ColumnRole role, std::string_view text);
    void ReadPosition(ColumnRole role, std::string_view text);
    void ReadPeriod(std::string_view text);
    RowRead FinishPosition();
    void FinishMagnitudes();
    std::string_view TextOf(ColumnRole role) const;

    const NamedColumns* columns = nullptr;
    RowCells cells;
    TableStar star;
    Gathered given;
};

// A number as tables write it: white space around it, an optional sign,
// digits with at most one point, an optional exponent. Blank for white space
// only and for NaN, Broken for anything else that is not such a number or
// has more than kMaxIntegerDigits whole digits. Digits beyond
// kMaxNumberDigits significant ones, and decimals beyond kMaxNumberDigits,
// are dropped: no table value is that precise.
NumberRead ReadTableNumber(std::string_view text, Decimal& number);

} // namespace lumara::import
