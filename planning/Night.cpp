// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "PlanNight.h"

#include <erfa.h>
#include <erfam.h>

#include <algorithm>
#include <cmath>

#include "ErfaCalls.h"
#include "SunTrack.h"
#include "Zones.h"

namespace lumara::plan {

namespace {

// ERFA's "dubious year": a warning, not a failure.
constexpr int kErfaDubiousYear = 1;

bool SiteIsValid(const Site& site) {
    return CheckQuantity(Quantity::Latitude, site.latitudeDeg).empty() &&
           CheckQuantity(Quantity::Longitude, site.longitudeDeg).empty() &&
           CheckQuantity(Quantity::Height, site.heightM).empty();
}

bool LimitsAreValid(const NightRequest& request) {
    return CheckQuantity(Quantity::Twilight, request.twilightDeg).empty() &&
           CheckQuantity(Quantity::MinAltitude, request.minAltitudeDeg).empty();
}

NightStatus CheckRequest(const NightRequest& request) {
    if (!SiteIsValid(request.site)) {
        return NightStatus::BadSite;
    }
    if (!LimitsAreValid(request)) {
        return NightStatus::BadLimits;
    }
    if (!IsPlannableDate(request.date)) {
        return NightStatus::BadDate;
    }
    return NightStatus::Ok;
}

// The solar day that begins nearest local noon of `date`, and the Sun's
// track around it. The worst ERFA status.
int SolarDayOf(const Site& site, const date::time_zone& zone, const CivilDate& localDate,
               SunTrack& track, eraASTROM& middleAstrom, SolarDay& day) {
    const double noon = LocalNoonSeconds(zone, localDate);
    // The night lies within half a day of noon to a day and a half after.
    const int status = BuildSunTrack(site, noon + kSecondsPerDay / 2.0, track, middleAstrom);
    if (status >= 0) {
        day = FindSolarDay(track, noon);
    }
    return status;
}

// The Earth's state, the fraction of the Moon's disc lit as seen from the
// Earth's centre, and the Moon's direction. The worst ERFA status.
int PlaceMoon(double seconds, PreparedNight& night) {
    TwoPartJd tt{};
    double(&heliocentric)[2][3] = night.earthHeliocentric;
    const int status = EarthState(seconds, heliocentric, night.earthBarycentric);
    if (status < 0 || TtJd(seconds, tt) < 0) {
        return std::min(status, -1);
    }
    const TwoPartJd utc = UtcJd(seconds);
    night.ttMinusUtcSeconds = ((tt.whole - utc.whole) + (tt.part - utc.part)) * kSecondsPerDay;
    double moon[2][3];
    eraMoon98(tt.whole, tt.part, moon);
    double moonToSun[3];
    double moonToEarth[3];
    for (int i = 0; i < 3; ++i) {
        moonToSun[i] = -heliocentric[0][i] - moon[0][i];
        moonToEarth[i] = -moon[0][i];
    }
    const double phaseAngle = eraSepp(moonToSun, moonToEarth);
    night.moonFractionLit = (1.0 + std::cos(phaseAngle)) / 2.0;
    double distance = 0.0;
    eraPn(moon[0], &distance, night.moonDirection);
    return status;
}

// A star's upper transit reaches the least altitude h when its declination
// lies within 90 - h of the latitude. Aberration moves a star by less than
// the observer's speed in units of c, in radians: twice that is the margin.
void SetDeclinationsUp(PreparedNight& night) {
    const double reach = 90.0 - night.request.minAltitudeDeg;
    const double latitude = night.request.site.latitudeDeg;
    const double margin = 2.0 * std::sqrt(eraPdp(night.observerVelocity, night.observerVelocity));
    const double least = latitude - reach;
    const double most = latitude + reach;
    night.leastSinDecUp = least <= -90.0 ? -2.0 : std::sin(least * ERFA_DD2R) - margin;
    night.mostSinDecUp = most >= 90.0 ? 2.0 : std::sin(most * ERFA_DD2R) + margin;
}

} // namespace

std::string DescribeStatus(NightStatus status) {
    switch (status) {
    case NightStatus::Ok:
        return {};
    case NightStatus::BadSite:
        return "the site is not a place on the Earth";
    case NightStatus::BadLimits:
        return "the twilight or the minimum altitude is out of range";
    case NightStatus::BadZone:
        return "the time zone is not one of the system's";
    case NightStatus::BadDate:
        return "the night's date is not a calendar date from " + std::to_string(kFirstYear) +
               " to " + std::to_string(kLastYear);
    case NightStatus::BadTime:
        return "the date is outside what the astronomy routines take";
    }
    return {};
}

NightStatus PrepareNight(const NightRequest& request, PreparedNight& night) {
    const NightStatus checked = CheckRequest(request);
    if (checked != NightStatus::Ok) {
        return checked;
    }
    const date::time_zone* zone = FindZone(request.zone);
    if (zone == nullptr) {
        return NightStatus::BadZone;
    }
    SunTrack track;
    eraASTROM astrom{};
    SolarDay day{};
    PreparedNight prepared;
    if (SolarDayOf(request.site, *zone, request.date, track, astrom, day) < 0) {
        return NightStatus::BadTime;
    }
    const DarkWindow dark = FindDarkWindow(track, day, request.twilightDeg * ERFA_DD2R);
    prepared.request = request;
    prepared.startSeconds = day.start;
    prepared.endSeconds = day.end;
    prepared.solarMidnightSeconds = day.midnight;
    prepared.darkness = dark.darkness;
    prepared.darkStartSeconds = dark.start;
    prepared.darkEndSeconds = dark.end;
    prepared.darkFrom = RoundToMinute(dark.start);
    prepared.darkTo = RoundToMinute(dark.end);
    prepared.middleSeconds =
        dark.darkness == Darkness::None ? day.midnight : 0.5 * (dark.start + dark.end);

    if (PlaceMoon(prepared.middleSeconds, prepared) < 0) {
        return NightStatus::BadTime;
    }
    TwoPartJd endTt{};
    prepared.utcExtrapolated = TtJd(day.end, endTt) == kErfaDubiousYear;

    std::copy(astrom.v, astrom.v + 3, prepared.observerVelocity);
    prepared.sunDistanceAu = astrom.em;
    prepared.inverseLorentz = astrom.bm1;
    std::copy(&astrom.bpn[0][0], &astrom.bpn[0][0] + 9, &prepared.gcrsToCirs[0][0]);
    prepared.localEraAtMiddle =
        AngleAt(EarthRotationAt(prepared.middleSeconds), prepared.middleSeconds) + astrom.along;
    prepared.eraRadPerSecond = track.rotation.radPerSecond;
    prepared.latitudeRad = request.site.latitudeDeg * ERFA_DD2R;
    prepared.sinLatitude = std::sin(prepared.latitudeRad);
    prepared.cosLatitude = std::cos(prepared.latitudeRad);
    prepared.sinMinAltitude = std::sin(request.minAltitudeDeg * ERFA_DD2R);
    SetDeclinationsUp(prepared);

    prepared.zoneSpans = ZoneSpansOver(*zone, day.start - kSecondsPerDay, day.end + kSecondsPerDay);
    prepared.zone = zone;
    night = std::move(prepared);
    return NightStatus::Ok;
}

NightStatus NightDateAt(const Site& site, std::string_view zoneName, double nowSeconds,
                        CivilDate& nightDate) {
    if (!SiteIsValid(site)) {
        return NightStatus::BadSite;
    }
    const date::time_zone* zone = FindZone(zoneName);
    if (zone == nullptr) {
        return NightStatus::BadZone;
    }
    const CivilDate today = LocalDateAt(*zone, nowSeconds);
    if (!IsPlannableDate(today)) {
        return NightStatus::BadDate;
    }
    SunTrack track;
    eraASTROM astrom{};
    SolarDay day{};
    if (SolarDayOf(site, *zone, today, track, astrom, day) < 0) {
        return NightStatus::BadTime;
    }
    const CivilDate found = nowSeconds >= day.start ? today : DayBefore(today);
    if (!IsPlannableDate(found)) {
        return NightStatus::BadDate;
    }
    nightDate = found;
    return NightStatus::Ok;
}

} // namespace lumara::plan
