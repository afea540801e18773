// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "VoTable.h"

#include <charconv>
#include <cstring>
#include <string>
#include <utility>

#include "CsvFormat.h"
#include "StarRecord.h"
#include "TableColumns.h"

namespace lumara::votable {

namespace {

// Catalogue files are 8-bit text without a declared encoding. Read as
// ISO-8859-1 every byte is a character, so any file gives well-formed XML
// once the control characters that XML 1.0 forbids are replaced.
constexpr char kForbiddenReplacement = '?';

constexpr std::string_view kRowStart = "<TR>";
constexpr std::string_view kRowEnd = "</TR>\n";
constexpr std::string_view kCellStart = "<TD>";
constexpr std::string_view kCellEnd = "</TD>";
constexpr std::string_view kEmptyCell = "<TD/>";

char* Put(char* out, std::string_view text) {
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

bool IsAllowedInXml(unsigned char c) {
    return c >= ' ' || c == '\t';
}

// The text without the blanks that pad its columns, escaped for XML.
template <std::size_t N> char* TextCell(char* out, const char (&text)[N]) {
    std::size_t begin = 0;
    std::size_t end = std::char_traits<char>::length(text);
    while (begin < end && text[begin] == ' ') {
        ++begin;
    }
    while (end > begin && text[end - 1] == ' ') {
        --end;
    }
    out = Put(out, kCellStart);
    for (std::size_t i = begin; i < end; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        switch (c) {
        case '&':
            out = Put(out, "&amp;");
            break;
        case '<':
            out = Put(out, "&lt;");
            break;
        case '>':
            out = Put(out, "&gt;");
            break;
        default:
            *out++ = IsAllowedInXml(c) ? text[i] : kForbiddenReplacement;
        }
    }
    return Put(out, kCellEnd);
}

char* IntegerCell(char* out, int value) {
    out = Put(out, kCellStart);
    out = std::to_chars(out, out + csv::kMaxNumberBytes, value).ptr;
    return Put(out, kCellEnd);
}

// A value of 0 means the line gives none, which VOTable writes as an empty
// cell.
char* OptionalCell(char* out, double value, char* (*write)(char*, double)) {
    if (value == 0.0) {
        return Put(out, kEmptyCell);
    }
    out = Put(out, kCellStart);
    out = write(out, value);
    return Put(out, kCellEnd);
}

// The FIELD that declares a column; texts are variable-length.
std::string FieldElement(const table::Column& column) {
    std::string element = "<FIELD name=\"" + std::string(column.voName) + "\" datatype=\"" +
                          std::string(column.voDatatype) + "\"";
    if (column.voDatatype == "char") {
        element += " arraysize=\"*\"";
    }
    if (!column.unit.empty()) {
        element += " unit=\"" + std::string(column.unit) + "\"";
    }
    if (!column.ucd.empty()) {
        element += " ucd=\"" + std::string(column.ucd) + "\"";
    }
    if (column.description.empty()) {
        return element + "/>\n";
    }
    return element + "><DESCRIPTION>" + std::string(column.description) +
           "</DESCRIPTION></FIELD>\n";
}

template <table::Field kField> char* WriteCell(char* out, const StarRecord& record) {
    using table::Field;
    if constexpr (kField == Field::RaHours) {
        return IntegerCell(out, record.raHours);
    } else if constexpr (kField == Field::RaMinutes) {
        return IntegerCell(out, record.raMinutes);
    } else if constexpr (kField == Field::Dec) {
        return IntegerCell(out, record.dec);
    } else if constexpr (kField == Field::Name) {
        return TextCell(out, record.name);
    } else if constexpr (kField == Field::Type) {
        return TextCell(out, record.type);
    } else if constexpr (kField == Field::Range) {
        return TextCell(out, record.range);
    } else if constexpr (kField == Field::Description) {
        return TextCell(out, record.desc);
    } else if constexpr (kField == Field::MaxMag) {
        return OptionalCell(out, record.maxMag, csv::WriteMagnitude);
    } else if constexpr (kField == Field::MinMag) {
        return OptionalCell(out, record.minMag, csv::WriteMagnitude);
    } else {
        static_assert(kField == Field::Period);
        return OptionalCell(out, record.period, csv::WritePeriod);
    }
}

template <std::size_t... kIndex>
char* WriteCells(char* out, const StarRecord& record, std::index_sequence<kIndex...>) {
    ((out = WriteCell<table::kColumns[kIndex].field>(out, record)), ...);
    return out;
}

} // namespace

std::string_view Prologue() {
    static const std::string text = [] {
        std::string head =
            "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
            "<VOTABLE version=\"1.4\" xmlns=\"http://www.ivoa.net/xml/VOTable/v1.3\">\n"
            "<RESOURCE>\n"
            "<TABLE name=\"stars\">\n";
        for (const table::Column& column : table::kColumns) {
            head += FieldElement(column);
        }
        return head + "<DATA>\n<TABLEDATA>\n";
    }();
    return text;
}

const std::string_view kEpilogue = "</TABLEDATA>\n"
                                   "</DATA>\n"
                                   "</TABLE>\n"
                                   "</RESOURCE>\n"
                                   "</VOTABLE>\n";

std::size_t FormatRow(const StarRecord& record, char* out) {
    char* p = Put(out, kRowStart);
    p = WriteCells(p, record, std::make_index_sequence<table::kColumnCount>{});
    p = Put(p, kRowEnd);
    return static_cast<std::size_t>(p - out);
}

} // namespace lumara::votable
