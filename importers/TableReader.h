// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// Tables with named columns (CSV, VizieR's separated text, VOTable), read as
// they stream: the bytes of a file or a pipe are fed block by block, each
// data row is handed over as a TableStar as soon as it is complete, and
// nothing but the row being read is held.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Import.h"
#include "NamedColumns.h"
#include "TableRow.h"
#include "TableStar.h"

namespace lumara::import {

// A heading that names this many columns of a star table is a table's,
// with or without a position.
inline constexpr std::size_t kLeastNamedColumns = 2;

// Limits against hostile files, each an error when passed.
inline constexpr std::size_t kMaxColumns = 10000; // per heading or line
// A CSV line up to the heading, read as a line before the parser sees it.
inline constexpr std::size_t kMaxHeadingLineBytes = std::size_t{1} << 20;

enum class TableKind { Csv, Separated, VoTable };

struct TableForm {
    TableKind kind = TableKind::Csv;
    char delimiter = ','; // for Separated: '\t', ';' or '|'
};

struct TableStatus {
    bool ok = true;
    std::string message; // for the user, when not ok
};

using TableRowHandler = std::function<void(const TableStar&)>;

class TableReader {
public:
    virtual ~TableReader() = default;
    TableReader(const TableReader&) = delete;
    TableReader& operator=(const TableReader&) = delete;

    // Reads the next bytes of the file, a UTF-8 byte-order mark at its start
    // passed over. After an error, nothing more is read and every call gives
    // the same error.
    TableStatus Feed(const char* bytes, std::size_t length);
    // At the end of the file: reads what was held back (a last line without
    // its line feed, a quoted field's end) and fails when the file gave no
    // table with a position.
    TableStatus Finish();

    // Whether the columns of a table with a position have been found.
    bool ColumnsFound() const { return found; }
    // Whether the first heading named columns a star table has (at least
    // kLeastNamedColumns of them) but no position: a table that cannot be
    // loaded, rather than no table at all.
    bool HeadingWithoutPosition() const { return namedWithoutPosition; }
    // The rows skipped, by reason (stars are counted where they are written).
    const ImportReport& Report() const { return report; }
    // For the import notice: "VizieR table: positions from RAJ2000/DEJ2000,
    // names from Name, ..., 3 rows without a position skipped".
    std::string Describe() const;
    // The kind and the columns alone: "VizieR table: positions from ...".
    std::string Source() const { return formatName + ": " + description; }

protected:
    TableReader(std::string formatName, TableRowHandler handler);

    virtual void Read(const char* bytes, std::size_t length) = 0;
    virtual void End() = 0;

    void Fail(std::string message);
    bool Failed() const { return !status.ok; }
    void SetFormatName(std::string name) { formatName = std::move(name); }

    // Starts a table with these headings. The first table of a file must
    // have a position (it fails otherwise); the rows of a later one without
    // are counted as rows without a position.
    void StartTable(const std::vector<ColumnHeading>& headings);
    // The role of a cell of the current table; None for every cell of a
    // table without a position.
    ColumnRole RoleOf(std::size_t column) const {
        return tableHasPosition ? tableColumns.RoleOf(column) : ColumnRole::None;
    }
    // A whole cell of the current row, of a column with a role.
    void ReadCell(ColumnRole role, const char* text, std::size_t length) {
        rowReader.Read(role, text, length);
    }
    // A cell gathered piece by piece in Cells(), read once it is whole.
    RowCells& Cells() { return rowReader.Cells(); }
    void ReadGatheredCell(ColumnRole role) { rowReader.ReadGathered(role); }
    // Ends a row of `cellCount` cells.
    void EndRow(std::size_t cellCount);
    // Forgets the cells read of a row that turned out to be none.
    void DiscardRow() { rowReader.NewRow(); }
    std::int64_t Rows() const { return rows; }

private:
    void ReadRow(std::size_t cellCount);
    // Ends the looking for a byte-order mark at the start.
    void DecideMark();

    std::string formatName;
    TableRowHandler rowHandler;
    TableStatus status;
    ImportReport report;
    NamedColumns tableColumns;
    RowReader rowReader;
    std::string description; // of the first table's columns
    std::int64_t rows = 0;
    bool found = false;
    bool namedWithoutPosition = false;
    bool tableHasPosition = false;
    std::size_t markBytes = 0; // of a UTF-8 byte-order mark the file opens with
    bool markDecided = false;
};

// The length of a UTF-8 byte-order mark at the start of `bytes`, or 0.
std::size_t ByteOrderMarkBytes(const char* bytes, std::size_t length);

// Tells whether the head of a file (its first kDetectionHeadBytes bytes, or
// all of a shorter file) is a table with named columns, called only after
// the fixed layouts have declined. It is one only when the readers find a
// heading with a position column in it, and no line of the head is a native
// star line by `isStarLine` (given each line's text as the loader reads it:
// up to format::kMaxLineChars bytes, without its line feed).
inline constexpr std::size_t kDetectionHeadBytes = TableImporter::kTableHeadBytes;
using StarLineTest = bool (*)(const char* line);
std::optional<TableForm> DetectTable(const char* head, std::size_t length, StarLineTest isStarLine);

std::unique_ptr<TableReader> MakeTableReader(const TableForm& form, TableRowHandler handler);

} // namespace lumara::import
