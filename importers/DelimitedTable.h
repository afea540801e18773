// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// CSV (RFC 4180) and VizieR's separated text, both read with libcsv.
#pragma once

#include <csv.h>

#include <string>
#include <vector>

#include "TableReader.h"

namespace lumara::import {

// `delimiter` ',' reads CSV: '#' comment lines and blank lines, then one
// heading line (AAVSO's VSX file writes its first name `#OID`), then rows,
// with RFC 4180's quoting held strictly. '\t', ';' or '|' read VizieR's
// separated text, which has no quoting: '#' comment lines and blank lines,
// a line of names, a line of units and a line of dashes (without the
// dashes, the lines after the names are rows), then rows up to a blank or
// '#' line, after which another table may start with its own names.
class DelimitedTableReader final : public TableReader {
public:
    DelimitedTableReader(char delimiter, TableRowHandler handler);
    ~DelimitedTableReader() override;

private:
    enum class Stage {
        Heading,    // before the first table's names
        AfterNames, // the units and dashes, or the first rows
        Data,       // rows
        Break       // after a blank or '#' line that ended a table's rows
    };
    using Cells = std::vector<std::string>;

    void Read(const char* bytes, std::size_t length) override;
    void End() override;

    // CSV's lines before the heading and the heading itself are read as
    // lines, so that a quote in a comment is no quoting.
    std::size_t TakeLine(const char* bytes, std::size_t length, bool& complete);
    void HeadingLine();
    // The separated text's lines before its rows are rows of the parser,
    // taken whole (every cell kept) while the stage is not Data.
    void SeparatedLine(int terminator);
    void AfterNamesLine(Cells&& cells);
    void BreakLine(Cells&& cells);

    void StartData(const Cells& units);
    // Starts the rows with the lines held after the names, found to be rows.
    void StartDataWithoutDashes();
    // A line kept whole, read as a row of the current table.
    void ReplayRow(const Cells& cells);
    void Parse(const char* bytes, std::size_t length);
    void EndRows();
    bool Split(const std::string& text, Cells& cells);
    std::vector<ColumnHeading> HeadingsOf(const Cells& headingNames, const Cells& units) const;
    bool IsTableHeading(const Cells& cells) const;

    static void OnCell(void* text, std::size_t length, void* reader);
    static void OnRowEnd(int terminator, void* reader);
    static void OnHeadingCell(void* text, std::size_t length, void* cells);
    static void OnHeadingEnd(int terminator, void* cells);

    const char delimiter;
    const bool separated;
    csv_parser parser{};
    csv_parser lineParser{}; // splits CSV's heading line
    Stage stage = Stage::Heading;
    std::string line;
    Cells names;
    Cells lineCells;            // the separated text's line being read, outside the rows
    std::vector<Cells> pending; // lines after the names, before the dashes
    std::size_t column = 0;
    char firstByte = '\0';  // of the row being read
    int lastTerminator = 0; // of the row read before
};

} // namespace lumara::import
