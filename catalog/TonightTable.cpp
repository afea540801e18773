// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "TonightTable.h"

#include <array>
#include <cstdio>

#include "CsvFormat.h"
#include "StarDetails.h"
#include "StarRecord.h"
#include "Tonight.h"

namespace lumara {

namespace {

constexpr double kMinutesPerHour = 60.0;

struct TonightColumn {
    std::string_view name;
    std::string_view datatype;
    std::string_view unit;
    std::string_view ucd;
};

// The columns in their order; the CSV header and the VOTable's fields come
// from this one list.
constexpr std::array<TonightColumn, 13> kColumns = {{
    {"Name", "char", "", "meta.id;meta.main"},
    {"Type", "char", "", "meta.code.class"},
    {"RAdeg", "double", "deg", "pos.eq.ra;meta.main"},
    {"DEdeg", "double", "deg", "pos.eq.dec;meta.main"},
    {"MaxMag", "double", "mag", "phot.mag;stat.max"},
    {"MinMag", "double", "mag", "phot.mag;stat.min"},
    {"Period", "double", "d", "time.period"},
    {"Transit", "char", "", "time.epoch"},
    {"TransitAlt", "double", "deg", "pos.az.alt"},
    {"UpFrom", "char", "", "time.start"},
    {"UpTo", "char", "", "time.end"},
    {"UpHours", "double", "h", "time.duration"},
    {"MoonSep", "double", "deg", "pos.angDistance"},
}};

std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string IsoLocal(const TonightContext& context, plan::PosixMinute minute) {
    const plan::IsoLocalText text = plan::FormatIsoLocal(plan::ToWallClock(context.night, minute));
    return {text.data(), text.size()};
}

std::string Magnitude(double value) {
    char text[csv::kMaxNumberBytes * 2];
    return value == 0.0 ? std::string() : std::string(text, csv::WriteMagnitude(text, value));
}

// The source's own period when it gave one, at its precision.
std::string Period(const StarRecord& record) {
    const double period = record.details != nullptr && record.details->period > 0.0
                              ? record.details->period
                              : record.period;
    if (period == 0.0) {
        return {};
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.10g", period);
    return text;
}

// RFC 4180: quoted when it holds a comma, a quote or a line break.
std::string CsvText(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(text);
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

// Catalogue texts are 8-bit, read as ISO-8859-1 as the VOTable declares.
std::string XmlText(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        default:
            escaped += static_cast<unsigned char>(c) < ' ' && c != '\t' ? '?' : c;
        }
    }
    return escaped;
}

} // namespace

std::string TonightPrologue(TonightFormat format) {
    std::string text;
    if (format == TonightFormat::Csv) {
        for (const TonightColumn& column : kColumns) {
            text += (text.empty() ? "" : ",") + std::string(column.name);
        }
        return text + "\r\n";
    }
    text = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
           "<VOTABLE version=\"1.4\" xmlns=\"http://www.ivoa.net/xml/VOTable/v1.3\">\n"
           "<RESOURCE>\n<TABLE name=\"tonight\">\n";
    for (const TonightColumn& column : kColumns) {
        text += "<FIELD name=\"" + std::string(column.name) + "\" datatype=\"" +
                std::string(column.datatype) + "\"";
        if (column.datatype == "char") {
            text += " arraysize=\"*\"";
        }
        if (!column.unit.empty()) {
            text += " unit=\"" + std::string(column.unit) + "\"";
        }
        text += " ucd=\"" + std::string(column.ucd) + "\"/>\n";
    }
    return text + "<DATA>\n<TABLEDATA>\n";
}

std::string_view TonightEpilogue(TonightFormat format) {
    return format == TonightFormat::Csv ? std::string_view()
                                        : "</TABLEDATA>\n</DATA>\n</TABLE>\n</RESOURCE>\n"
                                          "</VOTABLE>\n";
}

void AppendTonightRow(TonightFormat format, const StarRecord& record, const TonightContext& context,
                      const StarTonight& tonight, std::string& out) {
    const plan::StarNight& night = tonight.night;
    const SkyPlace place = PlaceOf(record);
    const std::array<std::string, kColumns.size()> cells = {
        std::string(FullNameOf(record)),
        std::string(FullTypeOf(record)),
        Fixed(place.raDeg, 5),
        Fixed(place.decDeg, 5),
        Magnitude(record.maxMag),
        Magnitude(record.minMag),
        Period(record),
        IsoLocal(context, night.transit),
        Fixed(night.transitAltitudeDeg, 1),
        night.up ? IsoLocal(context, night.upFrom) : std::string(),
        night.up ? IsoLocal(context, night.upTo) : std::string(),
        night.up ? Fixed(night.upMinutes / kMinutesPerHour, 2) : std::string(),
        Fixed(tonight.moonSeparationDeg, 1),
    };
    if (format == TonightFormat::Csv) {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            out += (i == 0 ? "" : ",") + (i < 2 ? CsvText(cells[i]) : cells[i]);
        }
        out += "\r\n";
        return;
    }
    out += "<TR>";
    for (const std::string& cell : cells) {
        out += cell.empty() ? "<TD/>" : "<TD>" + XmlText(cell) + "</TD>";
    }
    out += "</TR>\n";
}

} // namespace lumara
