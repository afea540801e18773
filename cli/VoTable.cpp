// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "VoTable.h"

#include <charconv>
#include <cstring>

#include "CsvFormat.h"
#include "StarCatalog.h"

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

} // namespace

const std::string_view kPrologue =
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
    "<VOTABLE version=\"1.4\" xmlns=\"http://www.ivoa.net/xml/VOTable/v1.3\">\n"
    "<RESOURCE>\n"
    "<TABLE name=\"stars\">\n"
    "<FIELD name=\"RAh\" datatype=\"short\" unit=\"h\" ucd=\"pos.eq.ra;meta.main\">"
    "<DESCRIPTION>Right ascension, hours</DESCRIPTION></FIELD>\n"
    "<FIELD name=\"RAm\" datatype=\"short\" unit=\"min\" ucd=\"pos.eq.ra\">"
    "<DESCRIPTION>Right ascension, minutes</DESCRIPTION></FIELD>\n"
    "<FIELD name=\"DEd\" datatype=\"short\" unit=\"deg\" ucd=\"pos.eq.dec;meta.main\">"
    "<DESCRIPTION>Declination, whole degrees</DESCRIPTION></FIELD>\n"
    "<FIELD name=\"Name\" datatype=\"char\" arraysize=\"*\" ucd=\"meta.id;meta.main\"/>\n"
    "<FIELD name=\"Type\" datatype=\"char\" arraysize=\"*\" ucd=\"meta.code.class\">"
    "<DESCRIPTION>Variability type</DESCRIPTION></FIELD>\n"
    "<FIELD name=\"Range\" datatype=\"char\" arraysize=\"*\">"
    "<DESCRIPTION>Magnitude range as the catalogue gives it</DESCRIPTION></FIELD>\n"
    "<FIELD name=\"Desc\" datatype=\"char\" arraysize=\"*\" ucd=\"meta.note\"/>\n"
    "<FIELD name=\"MaxMag\" datatype=\"double\" unit=\"mag\" ucd=\"phot.mag;stat.max\">"
    "<DESCRIPTION>Maximum (brightest) magnitude</DESCRIPTION></FIELD>\n"
    "<FIELD name=\"MinMag\" datatype=\"double\" unit=\"mag\" ucd=\"phot.mag;stat.min\">"
    "<DESCRIPTION>Minimum (faintest) magnitude</DESCRIPTION></FIELD>\n"
    "<FIELD name=\"Period\" datatype=\"double\" unit=\"d\" ucd=\"time.period\"/>\n"
    "<DATA>\n"
    "<TABLEDATA>\n";

const std::string_view kEpilogue = "</TABLEDATA>\n"
                                   "</DATA>\n"
                                   "</TABLE>\n"
                                   "</RESOURCE>\n"
                                   "</VOTABLE>\n";

std::size_t FormatRow(const StarRecord& record, char* out) {
    char* p = Put(out, kRowStart);
    p = IntegerCell(p, record.raHours);
    p = IntegerCell(p, record.raMinutes);
    p = IntegerCell(p, record.dec);
    p = TextCell(p, record.name);
    p = TextCell(p, record.type);
    p = TextCell(p, record.range);
    p = TextCell(p, record.desc);
    p = OptionalCell(p, record.maxMag, csv::WriteMagnitude);
    p = OptionalCell(p, record.minMag, csv::WriteMagnitude);
    p = OptionalCell(p, record.period, csv::WritePeriod);
    p = Put(p, kRowEnd);
    return static_cast<std::size_t>(p - out);
}

} // namespace lumara::votable
