// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "DelimitedTable.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace lumara::import {

namespace {

// CSV's quoting is held to RFC 4180: a quote inside an unquoted field, text
// after a closing quote and a quote left open at the end are errors.
// VizieR's text is never quoted: there a quote is a character like any
// other (libcsv takes the zero byte as its quote, which no text holds), and
// every line end is reported, so that a blank line, which ends a table's
// rows, is seen.
constexpr unsigned char kCsvOptions = CSV_STRICT | CSV_STRICT_FINI;
constexpr unsigned char kSeparatedOptions = CSV_REPALL_NL;
constexpr unsigned char kNoQuote = 0;
// How much of a heading line an error message quotes.
constexpr std::size_t kQuotedHeadingChars = 80;
constexpr char kComment = '#';
// Without a line of dashes within this many lines after the names, the
// lines after the names are rows.
constexpr std::size_t kMostLinesBeforeDashes = 2;

// libcsv grows a field's buffer through this: refusing to grow it beyond
// kMaxCellBytes makes a longer field an error of the parse, never unbounded
// memory.
void* BoundedRealloc(void* block, std::size_t bytes) {
    return bytes > kMaxCellBytes ? nullptr : std::realloc(block, bytes);
}

bool IsBlankText(const std::string& text) {
    return text.find_first_not_of(" \t\r\f\v") == std::string::npos;
}

// A line of dashes between the separators, as VizieR writes under the units.
bool IsDashes(const std::vector<std::string>& cells) {
    const auto dashes = [](const std::string& cell) {
        return cell.find_first_not_of('-') == std::string::npos;
    };
    return std::all_of(cells.begin(), cells.end(), dashes) &&
           std::any_of(cells.begin(), cells.end(),
                       [](const std::string& cell) { return !cell.empty(); });
}

void Init(csv_parser& parser, char delimiter) {
    const bool csv = delimiter == ',';
    csv_init(&parser, csv ? kCsvOptions : kSeparatedOptions);
    csv_set_delim(&parser, static_cast<unsigned char>(delimiter));
    if (!csv) {
        csv_set_quote(&parser, kNoQuote);
    }
    csv_set_realloc_func(&parser, BoundedRealloc);
}

} // namespace

DelimitedTableReader::DelimitedTableReader(char separator, TableRowHandler handler)
    : TableReader(separator == ',' ? "CSV table" : "Separated table", std::move(handler)),
      delimiter(separator), separated(separator != ',') {
    Init(parser, delimiter);
    Init(lineParser, delimiter);
}

DelimitedTableReader::~DelimitedTableReader() {
    csv_free(&parser);
    csv_free(&lineParser);
}

void DelimitedTableReader::Read(const char* bytes, std::size_t length) {
    std::size_t at = 0;
    while (at < length && !Failed()) {
        if (separated || stage == Stage::Data) {
            Parse(bytes + at, length - at);
            return;
        }
        bool complete = false;
        at += TakeLine(bytes + at, length - at, complete);
        if (complete) {
            HeadingLine();
        }
    }
}

void DelimitedTableReader::End() {
    if (!separated && stage == Stage::Heading && !line.empty()) {
        HeadingLine();
    }
    if (separated || stage == Stage::Data) {
        EndRows();
    }
    if (stage == Stage::AfterNames && !Failed()) {
        StartDataWithoutDashes();
    }
}

std::size_t DelimitedTableReader::TakeLine(const char* bytes, std::size_t length, bool& complete) {
    const void* feed = std::memchr(bytes, '\n', length);
    const std::size_t taken =
        feed != nullptr ? static_cast<std::size_t>(static_cast<const char*>(feed) - bytes) : length;
    if (taken > kMaxHeadingLineBytes - line.size()) {
        Fail("A line before the table's rows is longer than " +
             std::to_string(kMaxHeadingLineBytes) + " bytes.");
        return length;
    }
    line.append(bytes, taken);
    complete = feed != nullptr;
    return taken + (complete ? 1 : 0);
}

// A CSV comment, or a heading (whose first name may be written with '#').
void DelimitedTableReader::HeadingLine() {
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    const std::string text = std::move(line);
    line.clear();
    Cells cells;
    if (IsBlankText(text) || !Split(text, cells)) {
        return;
    }
    if (text[0] == kComment) {
        const std::size_t nameStart = cells[0].find_first_not_of(" \t", 1);
        cells[0].erase(0, nameStart == std::string::npos ? cells[0].size() : nameStart);
        if (!IsTableHeading(cells)) {
            return;
        }
    }
    names = std::move(cells);
    StartData({});
}

void DelimitedTableReader::SeparatedLine(int terminator) {
    // CR LF ends a line twice for libcsv; the LF is no blank line.
    const bool lineFeedOfCrLf = column == 0 && terminator == '\n' && lastTerminator == '\r';
    lastTerminator = terminator;
    const bool blankOrComment = column == 0 || firstByte == kComment;
    if (lineFeedOfCrLf) {
        return;
    }
    switch (stage) {
    case Stage::Data:
        if (blankOrComment) {
            DiscardRow();
            stage = Stage::Break;
        } else {
            EndRow(column);
        }
        break;
    case Stage::Heading:
        if (!blankOrComment) {
            names = std::move(lineCells);
            pending.clear();
            stage = Stage::AfterNames;
        }
        break;
    case Stage::AfterNames:
        if (!blankOrComment) {
            AfterNamesLine(std::move(lineCells));
        }
        break;
    case Stage::Break:
        if (!blankOrComment) {
            BreakLine(std::move(lineCells));
        }
        break;
    }
}

void DelimitedTableReader::AfterNamesLine(Cells&& cells) {
    if (IsDashes(cells)) {
        SetFormatName("VizieR table");
        StartData(pending.empty() ? Cells() : pending.front());
        pending.clear();
        return;
    }
    pending.push_back(std::move(cells));
    if (pending.size() == kMostLinesBeforeDashes) {
        StartDataWithoutDashes();
    }
}

void DelimitedTableReader::StartDataWithoutDashes() {
    StartData({});
    for (const Cells& cells : pending) {
        ReplayRow(cells);
    }
    pending.clear();
}

void DelimitedTableReader::BreakLine(Cells&& cells) {
    if (IsTableHeading(cells)) {
        names = std::move(cells);
        pending.clear();
        stage = Stage::AfterNames;
        return;
    }
    // A stray blank or comment line inside the rows: they go on.
    stage = Stage::Data;
    ReplayRow(cells);
}

void DelimitedTableReader::ReplayRow(const Cells& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const ColumnRole role = RoleOf(i);
        if (role != ColumnRole::None) {
            ReadCell(role, cells[i].data(), cells[i].size());
        }
    }
    EndRow(cells.size());
}

void DelimitedTableReader::StartData(const Cells& units) {
    StartTable(HeadingsOf(names, units));
    stage = Stage::Data;
}

void DelimitedTableReader::Parse(const char* bytes, std::size_t length) {
    if (csv_parse(&parser, bytes, length, OnCell, OnRowEnd, this) == length || Failed()) {
        return;
    }
    const std::string row = " (data row " + std::to_string(Rows() + 1) + ")";
    if (csv_error(&parser) == CSV_EPARSE) {
        Fail("The quoting is broken: a quote inside a field that does not start with one, or "
             "text after a closing quote" +
             row + ".");
    } else {
        Fail("A field is longer than " + std::to_string(kMaxCellBytes) + " bytes" + row + ".");
    }
}

void DelimitedTableReader::EndRows() {
    if (csv_fini(&parser, OnCell, OnRowEnd, this) != 0) {
        Fail("A quoted field is not closed at the end (data row " + std::to_string(Rows() + 1) +
             ").");
    }
}

bool DelimitedTableReader::Split(const std::string& text, Cells& cells) {
    cells.clear();
    const bool parsed = csv_parse(&lineParser, text.data(), text.size(), OnHeadingCell,
                                  OnHeadingEnd, &cells) == text.size() &&
                        csv_fini(&lineParser, OnHeadingCell, OnHeadingEnd, &cells) == 0;
    if (!parsed) {
        Fail("A heading line's quoting is broken: " + text.substr(0, kQuotedHeadingChars));
    } else if (cells.size() > kMaxColumns) {
        Fail("The heading has more than " + std::to_string(kMaxColumns) + " columns.");
    }
    return !Failed();
}

std::vector<ColumnHeading> DelimitedTableReader::HeadingsOf(const Cells& headingNames,
                                                            const Cells& units) const {
    std::vector<ColumnHeading> headings(headingNames.size());
    for (std::size_t i = 0; i < headingNames.size(); ++i) {
        headings[i].name = headingNames[i];
        headings[i].unit = i < units.size() ? units[i] : std::string();
    }
    return headings;
}

bool DelimitedTableReader::IsTableHeading(const Cells& cells) const {
    NamedColumns columns;
    columns.Assign(HeadingsOf(cells, {}));
    return columns.Position() != PositionForm::None;
}

void DelimitedTableReader::OnHeadingCell(void* text, std::size_t length, void* cells) {
    auto& headingCells = *static_cast<Cells*>(cells);
    // One more than the limit tells that it was passed.
    if (headingCells.size() <= kMaxColumns) {
        headingCells.emplace_back(static_cast<const char*>(text), length);
    }
}

void DelimitedTableReader::OnHeadingEnd(int, void*) {
}

// Called for every field of every row: the rows' case takes few steps.
void DelimitedTableReader::OnCell(void* text, std::size_t length, void* reader) {
    auto& self = *static_cast<DelimitedTableReader*>(reader);
    const char* const bytes = static_cast<const char*>(text);
    if (self.column == 0) {
        self.firstByte = length > 0 ? bytes[0] : '\0';
    }
    if (self.stage == Stage::Data) {
        const ColumnRole role = self.RoleOf(self.column);
        if (role != ColumnRole::None) {
            // libcsv grows no field beyond kMaxCellBytes.
            self.ReadCell(role, bytes, length);
        }
    } else if (self.lineCells.size() <= kMaxColumns) {
        self.lineCells.emplace_back(bytes, length);
    }
    if (++self.column > kMaxColumns) {
        self.Fail("A line has more than " + std::to_string(kMaxColumns) + " fields (data row " +
                  std::to_string(self.Rows() + 1) + ").");
    }
}

void DelimitedTableReader::OnRowEnd(int terminator, void* reader) {
    auto& self = *static_cast<DelimitedTableReader*>(reader);
    if (!self.Failed()) {
        if (self.separated) {
            self.SeparatedLine(terminator);
        } else {
            self.EndRow(self.column);
        }
    }
    self.column = 0;
    self.lineCells.clear();
}

} // namespace lumara::import
