// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "TableReader.h"

#include <cstring>

namespace lumara::import {

namespace {

constexpr unsigned char kByteOrderMark[] = {0xEF, 0xBB, 0xBF};

void AppendCount(std::string& text, std::int64_t count, const char* label) {
    if (count != 0) {
        text += ", " + std::to_string(count) + " " + label;
    }
}

} // namespace

TableReader::TableReader(std::string name, TableRowHandler handler)
    : formatName(std::move(name)), rowHandler(std::move(handler)) {
}

std::size_t ByteOrderMarkBytes(const char* bytes, std::size_t length) {
    return length >= sizeof kByteOrderMark &&
                   std::memcmp(bytes, kByteOrderMark, sizeof kByteOrderMark) == 0
               ? sizeof kByteOrderMark
               : 0;
}

TableStatus TableReader::Feed(const char* bytes, std::size_t length) {
    const std::size_t mark = started ? 0 : ByteOrderMarkBytes(bytes, length);
    started = started || length > 0;
    if (!Failed()) {
        Read(bytes + mark, length - mark);
    }
    return status;
}

TableStatus TableReader::Finish() {
    if (!Failed()) {
        End();
    }
    if (!Failed() && !found) {
        Fail("No table with a position column was found (looked for " +
             TableColumns::PositionNames() + ").");
    }
    return status;
}

void TableReader::Fail(std::string message) {
    if (!Failed()) {
        status = {false, std::move(message)};
    }
}

std::string TableReader::Describe() const {
    std::string text = formatName + ": " + description;
    AppendCount(text, report.Skipped(SkipReason::NoPosition), "rows without a position skipped");
    AppendCount(text, report.Skipped(SkipReason::BrokenNumber),
                "rows with a number that does not read skipped");
    AppendCount(text, report.Skipped(SkipReason::NotInLayout),
                "rows with another number of fields than the heading skipped");
    return text;
}

void TableReader::StartTable(const std::vector<ColumnHeading>& headings) {
    tableColumns.Assign(headings);
    for (std::size_t role = 0; role < kColumnRoles; ++role) {
        rowCells.Clear(static_cast<ColumnRole>(role));
    }
    tableHasPosition =
        tableColumns.Position() != PositionForm::None && tableColumns.PositionProblem().empty();
    if (found) {
        return;
    }
    if (!tableColumns.PositionProblem().empty()) {
        Fail("The table's positions cannot be read: " + tableColumns.PositionProblem() + ".");
    } else if (!tableHasPosition) {
        Fail("The table has no position column (looked for " + TableColumns::PositionNames() +
             ").");
    } else {
        found = true;
        description = tableColumns.Describe();
    }
}

void TableReader::EndRow(std::size_t cellCount) {
    ++rows;
    if (!tableHasPosition) {
        report.Count(SkipReason::NoPosition);
        return;
    }
    if (cellCount != tableColumns.Count()) {
        report.Count(SkipReason::NotInLayout);
        return;
    }
    const RowRead read = ReadTableRow(tableColumns, rowCells, star);
    if (read == RowRead::Star) {
        rowHandler(star);
    } else {
        report.Count(read == RowRead::NoPosition ? SkipReason::NoPosition
                                                 : SkipReason::BrokenNumber);
    }
}

} // namespace lumara::import
