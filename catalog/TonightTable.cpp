// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "TonightTable.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <span>

#include "CsvFormat.h"
#include "StarDetails.h"
#include "StarRecord.h"
#include "Tonight.h"

namespace lumara {

namespace {

constexpr double kMinutesPerHour = 60.0;

enum class Cell {
    Name,
    Type,
    RaDeg,
    DecDeg,
    MaxMag,
    MinMag,
    Period,
    Transit,
    TransitAlt,
    UpFrom,
    UpTo,
    UpHours,
    MoonSep,
    Event,
    EventTime,
    Cycles
};

struct TonightColumn {
    Cell cell;
    std::string_view name;
    std::string_view datatype;
    std::string_view unit;
    std::string_view ucd;
};

// The columns in their order; the CSV header and the VOTable's fields come
// from this one list.
// The night's columns, then the event's.
constexpr std::size_t kNightColumns = 13;
constexpr std::array<TonightColumn, 16> kColumns = {{
    {Cell::Name, "Name", "char", "", "meta.id;meta.main"},
    {Cell::Type, "Type", "char", "", "meta.code.class"},
    {Cell::RaDeg, "RAdeg", "double", "deg", "pos.eq.ra;meta.main"},
    {Cell::DecDeg, "DEdeg", "double", "deg", "pos.eq.dec;meta.main"},
    {Cell::MaxMag, "MaxMag", "double", "mag", "phot.mag;stat.max"},
    {Cell::MinMag, "MinMag", "double", "mag", "phot.mag;stat.min"},
    {Cell::Period, "Period", "double", "d", "time.period"},
    {Cell::Transit, "Transit", "char", "", "time.epoch"},
    {Cell::TransitAlt, "TransitAlt", "double", "deg", "pos.az.alt"},
    {Cell::UpFrom, "UpFrom", "char", "", "time.start"},
    {Cell::UpTo, "UpTo", "char", "", "time.end"},
    {Cell::UpHours, "UpHours", "double", "h", "time.duration"},
    {Cell::MoonSep, "MoonSep", "double", "deg", "pos.angDistance"},
    {Cell::Event, "Event", "char", "", "meta.code"},
    {Cell::EventTime, "EventTime", "char", "", "time.epoch"},
    {Cell::Cycles, "Cycles", "double", "", "time.phase"},
}};

std::size_t ColumnsOf(bool withEvents) {
    return withEvents ? kColumns.size() : kNightColumns;
}

// Room for any double in fixed notation with a few decimals.
constexpr std::size_t kNumberBytes = 352;

// Angles and hours are far below this: written from a whole number of
// their last decimal, which is exact and costs a tenth of a general
// conversion; anything larger goes the general way.
constexpr double kLargestScaled = 1e15;
constexpr int kMostDecimals = 5;
constexpr std::int64_t kScales[kMostDecimals + 1] = {1, 10, 100, 1000, 10000, 100000};

void AppendFixed(std::string& out, double value, int decimals) {
    char text[kNumberBytes];
    const double scaled = std::fabs(value) * static_cast<double>(kScales[decimals]);
    if (!(scaled < kLargestScaled)) {
        const auto written =
            std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
        out.append(text, written.ptr);
        return;
    }
    const auto units = std::llround(scaled);
    const std::int64_t scale = kScales[decimals];
    if (value < 0.0 && units != 0) {
        out += '-';
    }
    out.append(text, std::to_chars(text, text + sizeof text, units / scale).ptr);
    if (decimals > 0) {
        out += '.';
        const std::size_t at = out.size();
        out.append(static_cast<std::size_t>(decimals), '0');
        char* digits = out.data() + at + static_cast<std::size_t>(decimals);
        for (std::int64_t rest = units % scale; rest > 0; rest /= 10) {
            *--digits = static_cast<char>('0' + rest % 10);
        }
    }
}

void AppendIsoLocal(std::string& out, const TonightContext& context, plan::PosixMinute minute) {
    const plan::IsoLocalText text = plan::FormatIsoLocal(plan::ToWallClock(context.night, minute));
    out.append(text.data(), text.size());
}

void AppendMagnitude(std::string& out, double value) {
    char text[csv::kMaxNumberBytes * 2];
    if (value != 0.0) {
        out.append(text, csv::WriteMagnitude(text, value));
    }
}

// The source's own period when it gave one, at its precision.
void AppendPeriod(std::string& out, const StarRecord& record) {
    constexpr int kPeriodDigits = 10;
    const double period = record.details != nullptr && record.details->period > 0.0
                              ? record.details->period
                              : record.period;
    if (period == 0.0) {
        return;
    }
    char text[kNumberBytes];
    const auto written =
        std::to_chars(text, text + sizeof text, period, std::chars_format::general, kPeriodDigits);
    out.append(text, written.ptr);
}

// RFC 4180: quoted when it holds a comma, a quote or a line break.
void AppendCsvText(std::string& out, std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += text;
        return;
    }
    out += '"';
    for (const char c : text) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    out += '"';
}

// Catalogue texts are 8-bit, read as ISO-8859-1 as the VOTable declares.
void AppendXmlText(std::string& out, std::string_view text) {
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += static_cast<unsigned char>(c) < ' ' && c != '\t' ? '?' : c;
        }
    }
}

} // namespace

std::string TonightPrologue(TonightFormat format, bool withEvents) {
    const std::span<const TonightColumn> columns(kColumns.data(), ColumnsOf(withEvents));
    std::string text;
    if (format == TonightFormat::Csv) {
        for (const TonightColumn& column : columns) {
            text += (text.empty() ? "" : ",") + std::string(column.name);
        }
        return text + "\r\n";
    }
    text = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
           "<VOTABLE version=\"1.4\" xmlns=\"http://www.ivoa.net/xml/VOTable/v1.3\">\n"
           "<RESOURCE>\n<TABLE name=\"tonight\">\n";
    for (const TonightColumn& column : columns) {
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
                      const StarTonight& tonight, const plan::StarEvent* event, std::string& out) {
    const plan::StarNight& night = tonight.night;
    const SkyPlace place = PlaceOf(record);
    const bool csvRow = format == TonightFormat::Csv;
    const auto appendText = [&](std::string_view value) {
        csvRow ? AppendCsvText(out, value) : AppendXmlText(out, value);
    };
    const auto appendValue = [&](Cell cell) {
        switch (cell) {
        case Cell::Name:
            return appendText(FullNameOf(record));
        case Cell::Type:
            return appendText(FullTypeOf(record));
        case Cell::RaDeg:
            return AppendFixed(out, place.raDeg, 5);
        case Cell::DecDeg:
            return AppendFixed(out, place.decDeg, 5);
        case Cell::MaxMag:
            return AppendMagnitude(out, record.maxMag);
        case Cell::MinMag:
            return AppendMagnitude(out, record.minMag);
        case Cell::Period:
            return AppendPeriod(out, record);
        case Cell::Transit:
            return AppendIsoLocal(out, context, night.transit);
        case Cell::TransitAlt:
            return AppendFixed(out, night.transitAltitudeDeg, 1);
        case Cell::UpFrom:
            return night.up ? AppendIsoLocal(out, context, night.upFrom) : void();
        case Cell::UpTo:
            return night.up ? AppendIsoLocal(out, context, night.upTo) : void();
        case Cell::UpHours:
            return night.up ? AppendFixed(out, night.upMinutes / kMinutesPerHour, 2) : void();
        case Cell::MoonSep:
            return AppendFixed(out, tonight.moonSeparationDeg, 1);
        case Cell::Event:
            return appendText(EventName(*event));
        case Cell::EventTime:
            return AppendIsoLocal(out, context, event->at);
        case Cell::Cycles:
            return AppendFixed(out, event->cycles, 1);
        }
    };
    // Each cell is appended in place: a CSV cell after its comma, a VOTable
    // cell inside its TD, an empty one as <TD/>.
    out += csvRow ? "" : "<TR>";
    for (std::size_t i = 0; i < ColumnsOf(event != nullptr); ++i) {
        if (csvRow) {
            out += i == 0 ? "" : ",";
            appendValue(kColumns[i].cell);
            continue;
        }
        const std::size_t cellStart = out.size();
        out += "<TD>";
        const std::size_t valueStart = out.size();
        appendValue(kColumns[i].cell);
        if (out.size() == valueStart) {
            out.resize(cellStart);
            out += "<TD/>";
        } else {
            out += "</TD>";
        }
    }
    out += csvRow ? "\r\n" : "</TR>\n";
}

} // namespace lumara
