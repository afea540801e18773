// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// One night at one site, prepared once: when it begins and ends, when it is
// dark, the Moon, and what every star's computation needs from the night.
// A prepared night is never changed afterwards, so any number of threads may
// read it at once.
//
// Instants are POSIX seconds (UTC, leap seconds not counted); what is shown
// to the minute is a PosixMinute, rounded to the nearest minute. UT1 is taken
// as UTC (under 0.9 s apart) and polar motion as zero.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "PlanOptions.h"

namespace date {
class time_zone;
}

namespace lumara::plan {

using PosixMinute = std::int64_t;
inline constexpr double kSecondsPerMinute = 60.0;

// The nearest whole minute, halves upward. Inline and by truncation: every
// star rounds several times a night, and without SSE4.1 std::floor is a
// library call.
inline PosixMinute RoundToMinute(double seconds) {
    const double minutes = seconds / kSecondsPerMinute + 0.5;
    const auto truncated = static_cast<PosixMinute>(minutes);
    return truncated - (minutes < static_cast<double>(truncated) ? 1 : 0);
}

struct NightRequest {
    Site site;
    std::string zone; // a tzdata name
    CivilDate date;   // the local date on which the night begins
    double twilightDeg = kAstronomicalTwilight;
    double minAltitudeDeg = kDefaultMinAltitude;
};

enum class NightStatus {
    Ok,
    BadSite,   // latitude, longitude or height out of range
    BadLimits, // twilight or minimum altitude out of range
    BadZone,   // not a zone of the system's tzdata
    BadDate,   // not a calendar date from kFirstYear to kLastYear
    BadTime,   // ERFA refused the date (cannot happen within the years above)
};

// A message for the user; empty for Ok.
std::string DescribeStatus(NightStatus status);

enum class Darkness {
    None,       // the Sun stays at or above the twilight altitude all night
    Window,     // it goes below and, unless still below at the night's end, comes back
    Throughout, // it stays below from one noon to the next
};

// A stretch of the zone's time with one UTC offset.
struct ZoneSpan {
    double fromSeconds;
    std::int32_t offsetSeconds;
    std::string abbreviation; // "CET", "+13"
};

struct PreparedNight {
    NightRequest request;

    // The night runs from the Sun's upper transit (local solar noon) nearest
    // noon on the local date to the next one.
    double startSeconds = 0.0;
    double endSeconds = 0.0;
    double solarMidnightSeconds = 0.0; // the Sun's lower transit

    Darkness darkness = Darkness::None;
    // When there is darkness: the Sun's centre crossing the twilight altitude
    // (refraction left out), or the night's start or end where it is already
    // below. Equal to solar midnight when there is none.
    double darkStartSeconds = 0.0;
    double darkEndSeconds = 0.0;
    PosixMinute darkFrom = 0; // as shown
    PosixMinute darkTo = 0;
    // The middle of the dark window, or solar midnight when there is no
    // darkness: star transits are taken nearest it, the Moon at it.
    double middleSeconds = 0.0;

    // The Earth at the middle, au and au/day, BCRS axes: light-time
    // corrections of the events of variable stars (see PlanEvents.h).
    double earthHeliocentric[2][3] = {};
    double earthBarycentric[2][3] = {};
    double ttMinusUtcSeconds = 0.0;

    // Geocentric, by eraMoon98, at the middle.
    double moonFractionLit = 0.0;
    double moonDirection[3] = {}; // GCRS unit vector

    // The leap-second table ends before the night does: UTC is extrapolated
    // (ERFA's "dubious year"). A warning only.
    bool utcExtrapolated = false;

    // What the per-star computations read (see PlanStar.h).
    double observerVelocity[3] = {}; // barycentric, in units of c, at the middle
    double sunDistanceAu = 1.0;
    double inverseLorentz = 1.0;   // sqrt(1 - v^2)
    double gcrsToCirs[3][3] = {};  // ERFA's bias-precession-nutation matrix at the middle
    double localEraAtMiddle = 0.0; // Earth rotation angle plus longitude, radians
    double eraRadPerSecond = 0.0;
    double latitudeRad = 0.0;
    double sinLatitude = 0.0;
    double cosLatitude = 0.0;
    double sinMinAltitude = 0.0;
    // The sines of the apparent declinations between which a star reaches
    // the least altitude at its upper transit, widened by more than the
    // largest aberration, so that the J2000 direction carried through
    // gcrsToCirs alone can be tested against them.
    double leastSinDecUp = -1.0;
    double mostSinDecUp = 1.0;

    // The zone's offsets from a day before the night to a day after it, in
    // order, for turning the night's instants into local time without a
    // zone lookup; instants elsewhere ask the zone.
    std::vector<ZoneSpan> zoneSpans;
    const date::time_zone* zone = nullptr; // tzdata lives as long as the program
};

// Prepares the night the request asks for. On any status but Ok, `night` is
// left unchanged.
NightStatus PrepareNight(const NightRequest& request, PreparedNight& night);

// The local date of the night in progress at `nowSeconds` at `site`: the
// current local date from its solar noon on, the day before until then.
NightStatus NightDateAt(const Site& site, std::string_view zone, double nowSeconds,
                        CivilDate& date);

} // namespace lumara::plan
