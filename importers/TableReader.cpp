// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "TableReader.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "LineFormat.h"

namespace lumara::import {

namespace {

constexpr unsigned char kByteOrderMark[] = {0xEF, 0xBB, 0xBF};

void AppendCount(std::string& text, std::int64_t count, const char* label) {
    if (count != 0) {
        text += ", " + std::to_string(count) + " " + label;
    }
}

// Digits with nothing but signs, points, colons and blanks around them.
bool IsNumberText(std::string_view text) {
    return std::any_of(text.begin(), text.end(), format::IsDigit) &&
           std::all_of(text.begin(), text.end(), [](char c) {
               return format::IsDigit(c) || c == '+' || c == '-' || c == '.' || c == ':' ||
                      format::IsSpace(c);
           });
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
    // A mark may come in pieces, as any bytes may.
    for (; !markDecided && length > 0; ++bytes, --length) {
        if (static_cast<unsigned char>(*bytes) != kByteOrderMark[markBytes]) {
            DecideMark();
            break;
        }
        markDecided = ++markBytes == sizeof kByteOrderMark;
    }
    if (!Failed() && length > 0) {
        Read(bytes, length);
    }
    return status;
}

void TableReader::DecideMark() {
    markDecided = true;
    // What looked like the start of a mark is text after all.
    if (markBytes > 0 && !Failed()) {
        Read(reinterpret_cast<const char*>(kByteOrderMark), markBytes);
    }
}

TableStatus TableReader::Finish() {
    if (!markDecided) {
        DecideMark();
    }
    if (!Failed()) {
        End();
    }
    if (!Failed() && !found) {
        Fail("No table with a position column was found (looked for " +
             NamedColumns::PositionNames() + ").");
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
    rowReader.StartTable(tableColumns);
    tableHasPosition =
        tableColumns.Position() != PositionForm::None && tableColumns.PositionProblem().empty();
    if (found) {
        return;
    }
    if (!tableColumns.PositionProblem().empty()) {
        Fail("The table's positions cannot be read: " + tableColumns.PositionProblem() + ".");
    } else if (!tableHasPosition) {
        std::size_t named = 0;
        for (std::size_t column = 0; column < tableColumns.Count(); ++column) {
            named += tableColumns.RoleOf(column) != ColumnRole::None ? 1 : 0;
        }
        // A line with a number among its cells is a row, whatever names
        // its other cells happen to match: GCVS's lines hold "V" and "p".
        namedWithoutPosition =
            named >= kLeastNamedColumns &&
            std::none_of(headings.begin(), headings.end(),
                         [](const ColumnHeading& heading) { return IsNumberText(heading.name); });
        Fail("The table has no position column (looked for " + NamedColumns::PositionNames() +
             ").");
    } else {
        found = true;
        description = tableColumns.Describe();
    }
}

void TableReader::EndRow(std::size_t cellCount) {
    ++rows;
    ReadRow(cellCount);
    rowReader.NewRow();
}

void TableReader::ReadRow(std::size_t cellCount) {
    if (!tableHasPosition) {
        report.Count(SkipReason::NoPosition);
        return;
    }
    if (cellCount != tableColumns.Count()) {
        report.Count(SkipReason::NotInLayout);
        return;
    }
    const RowRead read = rowReader.Finish();
    if (read == RowRead::Star) {
        rowHandler(rowReader.Star());
    } else {
        report.Count(read == RowRead::NoPosition ? SkipReason::NoPosition
                                                 : SkipReason::BrokenNumber);
    }
}

} // namespace lumara::import
