// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "PlanStar.h"

#include <erfa.h>
#include <erfam.h>

#include <algorithm>
#include <cmath>

#include "ErfaCalls.h"
#include "StarSky.h"

namespace lumara::plan {

namespace {

// A dark window is at most a solar day and the star's transit lies within
// half a sidereal day of its middle, so the transits before and after are
// the only others whose stretches up can reach into it.
constexpr int kTransitsAround = 1;
constexpr double kMinutesPerHour = 60.0;

struct Stretch {
    PosixMinute from;
    PosixMinute to;
};

} // namespace

StarSky SkyOf(const PreparedNight& night, const StarPlace& star) {
    double j2000[3];
    eraS2c(star.raDeg * ERFA_DD2R, star.decDeg * ERFA_DD2R, j2000);
    // ERFA's C interface takes its inputs unqualified; it only reads them.
    double aberrated[3];
    eraAb(j2000, const_cast<double*>(night.observerVelocity), night.sunDistanceAu,
          night.inverseLorentz, aberrated);
    double intermediate[3];
    eraRxp(const_cast<double(*)[3]>(night.gcrsToCirs), aberrated, intermediate);
    StarSky sky{};
    eraC2s(intermediate, &sky.ra, &sky.dec);
    // cos H = (sin h - sin phi sin dec) / (cos phi cos dec), with the sine
    // and cosine of the declination read off the unit vector. At a pole, or
    // for a star at one, the altitude never changes: the quotient is then
    // infinite, or NaN when the star stands exactly at the limit, which
    // counts as up.
    const double sinDec = intermediate[2];
    const double cosDec = std::hypot(intermediate[0], intermediate[1]);
    const double cosLimit =
        (night.sinMinAltitude - night.sinLatitude * sinDec) / (night.cosLatitude * cosDec);
    if (!(cosLimit > -1.0)) {
        sky.reach = Reach::Always;
    } else if (cosLimit > 1.0) {
        sky.reach = Reach::Never;
    } else {
        sky.reach = Reach::Between;
        sky.limitHourAngle = std::acos(cosLimit);
    }
    return sky;
}

double TransitNearMiddle(const PreparedNight& night, const StarSky& sky) {
    const double hourAngle = eraAnpm(night.localEraAtMiddle - sky.ra);
    return night.middleSeconds - hourAngle / night.eraRadPerSecond;
}

StarNight ObserveStar(const PreparedNight& night, const StarPlace& star) {
    const StarSky sky = SkyOf(night, star);
    const double transit = TransitNearMiddle(night, sky);
    StarNight result;
    result.transit = RoundToMinute(transit);
    // At the upper transit sin h = cos(phi - dec).
    result.transitAltitudeDeg = 90.0 - std::fabs(night.latitudeRad - sky.dec) * ERFA_DR2D;
    result.transitInDark = night.darkness != Darkness::None && night.darkFrom <= result.transit &&
                           result.transit <= night.darkTo;
    if (night.darkness == Darkness::None || sky.reach == Reach::Never) {
        return result;
    }
    Stretch longest{0, -1};
    std::int32_t total = 0;
    const double siderealDay = ERFA_D2PI / night.eraRadPerSecond;
    const double halfUp = sky.limitHourAngle / night.eraRadPerSecond;
    for (int k = -kTransitsAround; k <= kTransitsAround; ++k) {
        double from = night.darkStartSeconds;
        double to = night.darkEndSeconds;
        if (sky.reach == Reach::Between) {
            const double at = transit + k * siderealDay;
            from = std::max(from, at - halfUp);
            to = std::min(to, at + halfUp);
        } else if (k != 0) {
            continue;
        }
        if (from > to) {
            continue;
        }
        const Stretch shown{RoundToMinute(from), RoundToMinute(to)};
        total += static_cast<std::int32_t>(shown.to - shown.from);
        if (shown.to - shown.from > longest.to - longest.from) {
            longest = shown;
        }
    }
    if (longest.to < longest.from) {
        return result;
    }
    result.up = true;
    result.upFrom = longest.from;
    result.upTo = longest.to;
    result.upMinutes = static_cast<std::int32_t>(longest.to - longest.from);
    result.totalUpMinutes = total;
    return result;
}

std::int32_t MinimumMinutes(double minHours) {
    return static_cast<std::int32_t>(std::lround(minHours * kMinutesPerHour));
}

bool IsObservable(const StarNight& star, std::int32_t minMinutes) {
    return star.up && star.upMinutes >= minMinutes;
}

Horizontal HorizontalAt(const PreparedNight& night, const StarPlace& star, double seconds) {
    const StarSky sky = SkyOf(night, star);
    const double hourAngle =
        night.localEraAtMiddle + night.eraRadPerSecond * (seconds - night.middleSeconds) - sky.ra;
    double azimuth = 0.0;
    double altitude = 0.0;
    eraHd2ae(hourAngle, sky.dec, night.latitudeRad, &azimuth, &altitude);
    return {altitude * ERFA_DR2D, azimuth * ERFA_DR2D};
}

double MoonSeparationDeg(const PreparedNight& night, const StarPlace& star) {
    double j2000[3];
    eraS2c(star.raDeg * ERFA_DD2R, star.decDeg * ERFA_DD2R, j2000);
    double moon[3] = {night.moonDirection[0], night.moonDirection[1], night.moonDirection[2]};
    return eraSepp(j2000, moon) * ERFA_DR2D;
}

} // namespace lumara::plan
