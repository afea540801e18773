// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "DelimitedTable.h"

#include <cstdlib>
#include <cstring>

namespace lumara::import {

namespace {

// CSV's quoting is held to RFC 4180: a quote inside an unquoted field, text
// after a closing quote and a quote left open at the end are errors.
// VizieR's text is never quoted: there a quote is a character like any
// other (libcsv takes the zero byte as its quote, which no text holds).
constexpr unsigned char kCsvOptions = CSV_STRICT | CSV_STRICT_FINI;
constexpr unsigned char kSeparatedOptions = 0;
constexpr unsigned char kNoQuote = 0;
// How much of a heading line an error message quotes.
constexpr std::size_t kQuotedHeadingChars = 80;
constexpr char kComment = '#';
// Without a line of dashes within this many lines after the names, the
// lines after the names are data.
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
bool IsDashes(const std::string& text, char delimiter) {
    return text.find('-') != std::string::npos &&
           text.find_first_not_of(std::string("- \t") + delimiter) == std::string::npos;
}

// A line that ends a table's rows in VizieR's text starts with one of these.
bool EndsRows(char first) {
    return first == kComment || first == '\n' || first == '\r';
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
        if (stage == Stage::Data) {
            at += ReadData(bytes + at, length - at);
            continue;
        }
        bool complete = false;
        at += TakeLine(bytes + at, length - at, complete);
        if (complete) {
            DispatchLine();
        }
    }
}

void DelimitedTableReader::End() {
    if (stage != Stage::Data && !line.empty()) {
        DispatchLine();
    }
    if (stage == Stage::AfterNames && !Failed()) {
        StartDataWithoutDashes();
    }
    if (stage == Stage::Data) {
        EndRows();
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

void DelimitedTableReader::DispatchLine() {
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    const std::string text = std::move(line);
    line.clear();
    switch (stage) {
    case Stage::Heading:
        HeadingLine(text);
        break;
    case Stage::AfterNames:
        AfterNamesLine(text);
        break;
    case Stage::Break:
        BreakLine(text);
        break;
    case Stage::Data:
        break;
    }
}

void DelimitedTableReader::HeadingLine(const std::string& text) {
    if (IsBlankText(text) || (separated && text[0] == kComment)) {
        return;
    }
    std::vector<std::string> cells;
    if (!Split(text, cells)) {
        return;
    }
    if (separated) {
        names = std::move(cells);
        pending.clear();
        stage = Stage::AfterNames;
        return;
    }
    // A CSV comment, or a heading whose first name is written with '#'.
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

void DelimitedTableReader::AfterNamesLine(const std::string& text) {
    if (IsDashes(text, delimiter)) {
        std::vector<std::string> units;
        if (!pending.empty() && !Split(pending.front(), units)) {
            return;
        }
        SetFormatName("VizieR table");
        StartData(units);
        return;
    }
    pending.push_back(text);
    if (pending.size() == kMostLinesBeforeDashes) {
        StartDataWithoutDashes();
    }
}

void DelimitedTableReader::StartDataWithoutDashes() {
    StartData({});
    for (const std::string& text : pending) {
        Parse(text.data(), text.size());
        Parse("\n", 1);
    }
    pending.clear();
}

void DelimitedTableReader::BreakLine(const std::string& text) {
    if (IsBlankText(text) || text[0] == kComment) {
        return;
    }
    std::vector<std::string> cells;
    if (!Split(text, cells)) {
        return;
    }
    if (IsTableHeading(cells)) {
        names = std::move(cells);
        pending.clear();
        stage = Stage::AfterNames;
        return;
    }
    // A stray blank or comment line inside the rows: they go on.
    stage = Stage::Data;
    atLineStart = true;
    Parse(text.data(), text.size());
    Parse("\n", 1);
}

void DelimitedTableReader::StartData(const std::vector<std::string>& units) {
    StartTable(HeadingsOf(names, units));
    stage = Stage::Data;
    atLineStart = true;
    column = 0;
}

std::size_t DelimitedTableReader::ReadData(const char* bytes, std::size_t length) {
    if (!separated) {
        Parse(bytes, length);
        return length;
    }
    if (atLineStart && EndsRows(bytes[0])) {
        EndRows();
        stage = Stage::Break;
        return 0;
    }
    // Whole lines go to the parser at once, up to one that ends the rows.
    const char* const end = bytes + length;
    const char* run = bytes;
    for (;;) {
        const void* feed = std::memchr(run, '\n', static_cast<std::size_t>(end - run));
        run = feed != nullptr ? static_cast<const char*>(feed) + 1 : end;
        atLineStart = feed != nullptr;
        if (run == end || EndsRows(*run)) {
            break;
        }
    }
    const auto taken = static_cast<std::size_t>(run - bytes);
    Parse(bytes, taken);
    return taken;
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

bool DelimitedTableReader::Split(const std::string& text, std::vector<std::string>& cells) {
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

std::vector<ColumnHeading>
DelimitedTableReader::HeadingsOf(const std::vector<std::string>& headingNames,
                                 const std::vector<std::string>& units) const {
    std::vector<ColumnHeading> headings(headingNames.size());
    for (std::size_t i = 0; i < headingNames.size(); ++i) {
        headings[i].name = headingNames[i];
        headings[i].unit = i < units.size() ? units[i] : std::string();
    }
    return headings;
}

bool DelimitedTableReader::IsTableHeading(const std::vector<std::string>& cells) const {
    TableColumns columns;
    columns.Assign(HeadingsOf(cells, {}));
    return columns.Position() != PositionForm::None;
}

void DelimitedTableReader::OnHeadingCell(void* text, std::size_t length, void* cells) {
    auto& names = *static_cast<std::vector<std::string>*>(cells);
    // One more than the limit tells that it was passed.
    if (names.size() <= kMaxColumns) {
        names.emplace_back(static_cast<const char*>(text), length);
    }
}

void DelimitedTableReader::OnHeadingEnd(int, void*) {
}

// Called for every field of every row: the common case takes few steps.
void DelimitedTableReader::OnCell(void* text, std::size_t length, void* reader) {
    auto& self = *static_cast<DelimitedTableReader*>(reader);
    const ColumnRole role = self.RoleOf(self.column);
    if (role != ColumnRole::None) {
        // libcsv grows no field beyond kMaxCellBytes.
        self.ReadCell(role, static_cast<const char*>(text), length);
    }
    if (++self.column > kMaxColumns) {
        self.Fail("A row has more than " + std::to_string(kMaxColumns) + " fields (data row " +
                  std::to_string(self.Rows() + 1) + ").");
    }
}

void DelimitedTableReader::OnRowEnd(int, void* reader) {
    auto& self = *static_cast<DelimitedTableReader*>(reader);
    if (!self.Failed()) {
        self.EndRow(self.column);
        self.column = 0;
    }
}

} // namespace lumara::import
