// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// Telling a table with named columns from the head of a file: each reader is
// tried on the head, and the first that finds a heading with a position
// column in it names the kind. Reading the head the way the file will be
// read keeps the two from ever disagreeing.
#include <algorithm>
#include <cstring>

#include "DelimitedTable.h"
#include "LineFormat.h"
#include "VoTableReader.h"

namespace lumara::import {

namespace {

// Tried in this order: an XML document, VizieR's separators, then CSV.
constexpr TableForm kForms[] = {{TableKind::VoTable, '\0'},
                                {TableKind::Separated, '\t'},
                                {TableKind::Separated, ';'},
                                {TableKind::Separated, '|'},
                                {TableKind::Csv, ','}};

// Whether any line of the head is a native star line, each given as the
// loader reads it: its first kMaxLineChars bytes.
bool HasStarLine(const char* head, std::size_t length, StarLineTest isStarLine) {
    char text[format::kMaxLineChars + 1];
    for (std::size_t at = 0; at < length;) {
        const void* feed = std::memchr(head + at, '\n', length - at);
        const std::size_t end =
            feed != nullptr ? static_cast<std::size_t>(static_cast<const char*>(feed) - head)
                            : length;
        const std::size_t kept = std::min(end - at, format::kMaxLineChars);
        std::memcpy(text, head + at, kept);
        text[kept] = '\0';
        if (isStarLine(text)) {
            return true;
        }
        at = end + 1;
    }
    return false;
}

enum class Heading { None, WithoutPosition, WithPosition };

// What heading the reader of `form` finds; `whole` when the head is the
// whole file.
Heading HeadingOf(const TableForm& form, const char* head, std::size_t length, bool whole) {
    const std::unique_ptr<TableReader> reader = MakeTableReader(form, [](const TableStar&) {});
    reader->Feed(head, length);
    if (whole) {
        reader->Finish();
    }
    if (reader->ColumnsFound()) {
        return Heading::WithPosition;
    }
    return reader->HeadingWithoutPosition() ? Heading::WithoutPosition : Heading::None;
}

} // namespace

std::unique_ptr<TableReader> MakeTableReader(const TableForm& form, TableRowHandler handler) {
    if (form.kind == TableKind::VoTable) {
        return std::make_unique<VoTableReader>(std::move(handler));
    }
    return std::make_unique<DelimitedTableReader>(
        form.kind == TableKind::Csv ? ',' : form.delimiter, std::move(handler));
}

std::optional<TableForm> DetectTable(const char* head, std::size_t length,
                                     StarLineTest isStarLine) {
    const std::size_t mark = ByteOrderMarkBytes(head, length);
    head += mark;
    length -= mark;
    if (HasStarLine(head, length, isStarLine)) {
        return std::nullopt;
    }
    // A head cut short ends at its last line feed, so that no reader takes
    // a part of a line for the whole.
    const bool wholeFile = length < kDetectionHeadBytes;
    std::size_t lines = length;
    if (!wholeFile) {
        const char* feed = static_cast<const char*>(memrchr(head, '\n', length));
        lines = feed != nullptr ? static_cast<std::size_t>(feed - head) + 1 : 0;
    }
    // A heading that names a star table's columns but no position is a
    // table still: its reader then says which columns it looked for.
    std::optional<TableForm> withoutPosition;
    for (const TableForm& form : kForms) {
        const std::size_t fed = form.kind == TableKind::VoTable ? length : lines;
        const Heading heading = HeadingOf(form, head, fed, wholeFile);
        if (heading == Heading::WithPosition) {
            return form;
        }
        if (heading == Heading::WithoutPosition && !withoutPosition) {
            withoutPosition = form;
        }
    }
    return withoutPosition;
}

} // namespace lumara::import
