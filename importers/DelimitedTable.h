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
// with RFC 4180's quoting held strictly. The separated text has no quoting. '\t', ';' or '|' read
// VizieR's separated text: '#' comment lines and blank lines, a line of names, a line of units and
// a line of dashes (without the dashes, the lines after the names are data), then rows up to a
// blank or '#' line, after which another table may start with its own names.
class DelimitedTableReader final : public TableReader {
public:
    DelimitedTableReader(char delimiter, TableRowHandler handler);
    ~DelimitedTableReader() override;

private:
    enum class Stage {
        Heading,    // before the first table's names
        AfterNames, // the units and dashes, or the first data lines
        Data,       // rows, fed to the parser as they come
        Break       // after a blank or '#' line that ended a table's rows
    };

    void Read(const char* bytes, std::size_t length) override;
    void End() override;

    // Gathers the bytes of a line before the data into `line`; returns how
    // many it took, `complete` once the line feed was among them.
    std::size_t TakeLine(const char* bytes, std::size_t length, bool& complete);
    // Reads the line in `line` as the stage wants it.
    void DispatchLine();
    void HeadingLine(const std::string& text);
    void AfterNamesLine(const std::string& text);
    void BreakLine(const std::string& text);
    void StartData(const std::vector<std::string>& units);
    // Starts the rows with the lines held after the names, found to be data.
    void StartDataWithoutDashes();
    // Feeds data bytes to the parser; for separated text only up to a line
    // that ends the table's rows. Returns how many bytes were taken.
    std::size_t ReadData(const char* bytes, std::size_t length);
    void Parse(const char* bytes, std::size_t length);
    void EndRows();
    bool Split(const std::string& text, std::vector<std::string>& cells);
    std::vector<ColumnHeading> HeadingsOf(const std::vector<std::string>& names,
                                          const std::vector<std::string>& units) const;
    bool IsTableHeading(const std::vector<std::string>& names) const;

    static void OnCell(void* text, std::size_t length, void* reader);
    static void OnRowEnd(int terminator, void* reader);
    static void OnHeadingCell(void* text, std::size_t length, void* cells);
    static void OnHeadingEnd(int terminator, void* cells);

    const char delimiter;
    const bool separated;
    csv_parser parser{};
    csv_parser lineParser{}; // splits the lines before the data
    Stage stage = Stage::Heading;
    std::string line;
    bool atLineStart = true;
    std::vector<std::string> names;
    std::vector<std::string> pending; // lines after the names, before the dashes
    std::size_t column = 0;
};

} // namespace lumara::import
