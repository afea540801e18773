// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "StarColumns.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "LineFormat.h"
#include "StarDetails.h"
#include "StarRecord.h"
#include "Tonight.h"

namespace lumara {

namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
constexpr double kMinutesPerHourDouble = 60.0;
constexpr int kPeriodWidth = 10;
// Room for a period of any size with its four decimals.
constexpr std::size_t kPeriodCapacity = 320;
constexpr std::string_view kEnDash = "\xE2\x80\x93";

struct NamedField {
    std::string_view name;
    SortField field;
};
constexpr NamedField kSortNames[] = {
    {"ra", SortField::Ra},
    {"dec", SortField::Dec},
    {"name", SortField::Name},
    {"type", SortField::Type},
    {"max", SortField::MaxMag},
    {"min", SortField::MinMag},
    {"period", SortField::Period},
    {"transit", SortField::Transit},
    {"alt", SortField::TransitAltitude},
    {"up", SortField::UpHours},
    {"moon", SortField::MoonSeparation},
    {"event", SortField::NextEvent},
};

constexpr ListColumn kListColumns[] = {
    {ListColumnId::Ra, "R.A.", true, 40, SortField::Ra, false},
    {ListColumnId::Dec, "Dec.", true, 35, SortField::Dec, false},
    {ListColumnId::Name, "Name", true, 75, SortField::Name, false},
    {ListColumnId::Type, "Type", false, 70, SortField::Type, false},
    {ListColumnId::Magnitude, "Magnitude", false, 95, SortField::MaxMag, false},
    {ListColumnId::Period, "Period", true, 75, SortField::Period, false},
    {ListColumnId::Description, "Description", false, 120, SortField::Description, false},
    {ListColumnId::Transit, "Transit", true, 50, SortField::Transit, true},
    {ListColumnId::TransitAltitude, "Alt.", true, 40, SortField::TransitAltitude, true},
    {ListColumnId::Up, "Up in the dark", false, 95, SortField::UpHours, true},
    {ListColumnId::MoonSeparation, "Moon", true, 45, SortField::MoonSeparation, true},
    {ListColumnId::NextEvent, "Next event", false, 110, SortField::NextEvent, true},
};

// At least two digits, with a minus sign in front of them when negative:
// -5 reads "-05".
std::string Padded(int value) {
    char text[16];
    std::snprintf(text, sizeof text, value < 0 ? "-%02d" : "%02d", std::abs(value));
    return text;
}

std::string PeriodText(double period) {
    if (period == 0.0) {
        return {};
    }
    std::array<char, kPeriodCapacity> text;
    const auto result = std::to_chars(text.data(), text.data() + text.size(), period,
                                      std::chars_format::fixed, format::kPeriodDecimals);
    std::string digits(text.data(), result.ptr);
    if (digits.size() < kPeriodWidth) {
        digits.insert(0, kPeriodWidth - digits.size(), ' ');
    }
    return digits;
}

std::string OneDecimal(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

// Catalogue files are 8-bit text read as ISO-8859-1, every byte a
// character; a cell is UTF-8 throughout.
std::string Utf8(const char* latin1) {
    std::string text;
    for (const char* at = latin1; *at != '\0'; ++at) {
        const auto byte = static_cast<unsigned char>(*at);
        if (byte < 0x80) {
            text += *at;
        } else {
            text += static_cast<char>(0xC0 | (byte >> 6));
            text += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return text;
}

double Given(double value) {
    return value == 0.0 ? kNone : value;
}

} // namespace

std::optional<SortField> SortFieldNamed(std::string_view name) {
    for (const NamedField& named : kSortNames) {
        if (named.name == name) {
            return named.field;
        }
    }
    return std::nullopt;
}

std::string SortFieldNames() {
    std::string names;
    for (const NamedField& named : kSortNames) {
        names += (names.empty() ? "" : ", ") + std::string(named.name);
    }
    return names;
}

bool NeedsNight(SortField field) {
    return field >= SortField::Transit;
}

bool IsTextField(SortField field) {
    return field == SortField::Name || field == SortField::Type || field == SortField::Description;
}

double NumberOf(SortField field, const StarRecord& record, const StarTonight* tonight) {
    switch (field) {
    case SortField::Ra:
        return PlaceOf(record).raDeg;
    case SortField::Dec:
        return PlaceOf(record).decDeg;
    case SortField::MaxMag:
        return Given(record.maxMag);
    case SortField::MinMag:
        return Given(record.minMag);
    case SortField::Period:
        return Given(record.period);
    case SortField::Transit:
        return tonight != nullptr ? static_cast<double>(tonight->night.transit) : kNone;
    case SortField::TransitAltitude:
        return tonight != nullptr ? tonight->night.transitAltitudeDeg : kNone;
    case SortField::UpHours:
        return tonight != nullptr && tonight->night.up
                   ? tonight->night.upMinutes / kMinutesPerHourDouble
                   : kNone;
    case SortField::MoonSeparation:
        return tonight != nullptr ? tonight->moonSeparationDeg : kNone;
    case SortField::NextEvent:
        return tonight != nullptr && tonight->firstEvent
                   ? static_cast<double>(tonight->firstEvent->at)
                   : kNone;
    case SortField::Name:
    case SortField::Type:
    case SortField::Description:
        break;
    }
    return kNone;
}

std::string_view TextOf(SortField field, const StarRecord& record) {
    switch (field) {
    case SortField::Name:
        return FullNameOf(record);
    case SortField::Type:
        return FullTypeOf(record);
    case SortField::Description:
        return {record.desc, format::kDescChars};
    default:
        return {};
    }
}

std::span<const ListColumn> ListColumns() {
    return kListColumns;
}

std::string CellText(ListColumnId column, const StarRecord& record, const TonightContext* context,
                     const StarTonight* tonight) {
    switch (column) {
    case ListColumnId::Ra:
        return Padded(record.raHours) + ":" + Padded(record.raMinutes);
    case ListColumnId::Dec:
        return Padded(record.dec);
    case ListColumnId::Name:
        return Utf8(record.name);
    case ListColumnId::Type:
        return Utf8(record.type);
    case ListColumnId::Magnitude:
        return Utf8(record.range);
    case ListColumnId::Period:
        return PeriodText(record.period);
    case ListColumnId::Description:
        return Utf8(record.desc);
    default:
        break;
    }
    if (context == nullptr || tonight == nullptr) {
        return {};
    }
    const plan::StarNight& night = tonight->night;
    switch (column) {
    case ListColumnId::Transit: {
        // A transit outside the dark window is shown in parentheses.
        const std::string clock = ClockAt(*context, night.transit);
        return night.transitInDark ? clock : "(" + clock + ")";
    }
    case ListColumnId::TransitAltitude:
        return OneDecimal(night.transitAltitudeDeg);
    case ListColumnId::Up:
        return night.up ? ClockAt(*context, night.upFrom) + std::string(kEnDash) +
                              ClockAt(*context, night.upTo)
                        : std::string();
    case ListColumnId::MoonSeparation:
        return OneDecimal(tonight->moonSeparationDeg);
    case ListColumnId::NextEvent: {
        if (!tonight->firstEvent) {
            return {};
        }
        // "min 21:43 (2.5 h)", "+2 max 03:10" for a later night.
        const plan::StarEvent& event = *tonight->firstEvent;
        std::string text = event.night > 0 ? "+" + std::to_string(event.night) + " " : "";
        text += EventName(event) + " " + ClockAt(*context, event.at);
        if (event.durationMinutes > 0) {
            text += " (" + OneDecimal(event.durationMinutes / kMinutesPerHourDouble) + " h)";
        }
        return text;
    }
    default:
        return {};
    }
}

} // namespace lumara
