// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "PlanLocalTime.h"

#include <date/tz.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <string>

#include "DigitText.h"
#include "ErfaCalls.h"
#include "Zones.h"

namespace lumara::plan {

namespace {

using std::chrono::minutes;
using std::chrono::seconds;

// A zone changes its offset at most twice a year; three days hold no more
// than a few stretches even in the odd year a zone moves twice.
constexpr std::size_t kMostZoneSpans = 8;
constexpr int kMinutesPerHour = 60;

date::sys_seconds SysSeconds(double posixSeconds) {
    return date::sys_seconds{seconds{static_cast<std::int64_t>(std::floor(posixSeconds))}};
}

double PosixSeconds(date::sys_seconds time) {
    return static_cast<double>(time.time_since_epoch().count());
}

CivilDate ToCivil(date::year_month_day ymd) {
    return {static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

date::year_month_day FromCivil(const CivilDate& civil) {
    return date::year{civil.year} / date::month{static_cast<unsigned>(civil.month)} /
           date::day{static_cast<unsigned>(civil.day)};
}

// The offset in force at a minute: from the prepared spans when they cover
// it, else from the zone.
ZoneSpan SpanAt(const PreparedNight& night, PosixMinute minute) {
    const double at = static_cast<double>(minute) * kSecondsPerMinute;
    const auto& spans = night.zoneSpans;
    const bool covered =
        !spans.empty() && spans.front().fromSeconds <= at && at < night.endSeconds + kSecondsPerDay;
    if (covered) {
        const auto after = std::upper_bound(
            spans.begin(), spans.end(), at,
            [](double value, const ZoneSpan& span) { return value < span.fromSeconds; });
        return *(after - 1);
    }
    const date::sys_info info = night.zone->get_info(SysSeconds(at));
    return {PosixSeconds(info.begin), static_cast<std::int32_t>(info.offset.count()), info.abbrev};
}

} // namespace

const date::time_zone* FindZone(std::string_view name) {
    try {
        return date::locate_zone(name);
    } catch (const std::exception&) {
        // Unknown name, or no readable tzdata at all.
        return nullptr;
    }
}

std::vector<std::string> ZoneNames() {
    std::vector<std::string> names;
    try {
        for (const date::time_zone& zone : date::get_tzdb().zones) {
            names.emplace_back(zone.name());
        }
    } catch (const std::exception&) {
        // No readable tzdata: the list offers nothing to pick.
        names.clear();
    }
    return names;
}

double LocalNoonSeconds(const date::time_zone& zone, const CivilDate& civil) {
    const date::local_seconds noon{date::local_days{FromCivil(civil)} + std::chrono::hours{12}};
    return PosixSeconds(zone.to_sys(noon, date::choose::earliest));
}

CivilDate LocalDateAt(const date::time_zone& zone, double posixSeconds) {
    const auto local = zone.to_local(SysSeconds(posixSeconds));
    return ToCivil(date::year_month_day{date::floor<date::days>(local)});
}

std::vector<ZoneSpan> ZoneSpansOver(const date::time_zone& zone, double fromSeconds,
                                    double toSeconds) {
    std::vector<ZoneSpan> spans;
    date::sys_seconds at = SysSeconds(fromSeconds);
    while (spans.size() < kMostZoneSpans) {
        const date::sys_info info = zone.get_info(at);
        spans.push_back({spans.empty() ? fromSeconds : PosixSeconds(info.begin),
                         static_cast<std::int32_t>(info.offset.count()), info.abbrev});
        if (PosixSeconds(info.end) > toSeconds) {
            break;
        }
        at = info.end;
    }
    return spans;
}

CivilDate DayBefore(const CivilDate& civil) {
    return ToCivil(date::year_month_day{date::sys_days{FromCivil(civil)} - date::days{1}});
}

CivilDate DayAfter(const CivilDate& civil) {
    return ToCivil(date::year_month_day{date::sys_days{FromCivil(civil)} + date::days{1}});
}

bool IsPlannableDate(const CivilDate& civil) {
    if (civil.year < kFirstYear || civil.year > kLastYear || civil.month < 1 || civil.day < 1) {
        return false;
    }
    return FromCivil(civil).ok();
}

WallClock ToWallClock(const PreparedNight& night, PosixMinute minute) {
    const ZoneSpan span = SpanAt(night, minute);
    const std::int32_t offsetMinutes =
        span.offsetSeconds / static_cast<std::int32_t>(kSecondsPerMinute);
    const date::local_time<minutes> local{minutes{minute + offsetMinutes}};
    const auto day = date::floor<date::days>(local);
    const date::hh_mm_ss<minutes> time{local - day};
    WallClock clock;
    clock.date = ToCivil(date::year_month_day{day});
    clock.hour = static_cast<int>(time.hours().count());
    clock.minute = static_cast<int>(time.minutes().count());
    clock.offsetMinutes = offsetMinutes;
    clock.abbreviation = span.abbreviation;
    return clock;
}

IsoLocalText FormatIsoLocal(const WallClock& time) {
    IsoLocalText text{};
    char* out = text.data();
    PutDate(out, time.date);
    out[kDateLength] = 'T';
    const ClockText clock = FormatClock(time);
    std::copy(clock.begin(), clock.end(), out + 11);
    const int offset = std::abs(time.offsetMinutes);
    out[16] = time.offsetMinutes < 0 ? '-' : '+';
    PutTwoDigits(out + 17, offset / kMinutesPerHour);
    out[19] = ':';
    PutTwoDigits(out + 20, offset % kMinutesPerHour);
    return text;
}

ClockText FormatClock(const WallClock& time) {
    ClockText text{};
    PutTwoDigits(text.data(), time.hour);
    text[2] = ':';
    PutTwoDigits(text.data() + 3, time.minute);
    return text;
}

} // namespace lumara::plan
