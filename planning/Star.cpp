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

constexpr double kMinutesPerHour = 60.0;

} // namespace

StarDirection DirectionOf(const StarPlace& star) {
    double direction[3];
    eraS2c(star.raDeg * ERFA_DD2R, star.decDeg * ERFA_DD2R, direction);
    return {direction[0], direction[1], direction[2]};
}

StarSky SkyOf(const PreparedNight& night, const StarPlace& star) {
    return SkyOf(night, DirectionOf(star));
}

StarSky SkyOf(const PreparedNight& night, const StarDirection& star) {
    StarSky sky{};
    sky.direction[0] = star.x;
    sky.direction[1] = star.y;
    sky.direction[2] = star.z;
    // ERFA's C interface takes its inputs unqualified; it only reads them.
    double aberrated[3];
    eraAb(sky.direction, const_cast<double*>(night.observerVelocity), night.sunDistanceAu,
          night.inverseLorentz, aberrated);
    double intermediate[3];
    eraRxp(const_cast<double(*)[3]>(night.gcrsToCirs), aberrated, intermediate);
    // The right ascension as eraC2s finds it; the declination's sine and
    // cosine read off the unit vector, its angle left to DeclinationOf.
    sky.ra = intermediate[0] == 0.0 && intermediate[1] == 0.0
                 ? 0.0
                 : std::atan2(intermediate[1], intermediate[0]);
    sky.sinDec = intermediate[2];
    sky.cosDec = std::hypot(intermediate[0], intermediate[1]);
    // cos H = (sin h - sin phi sin dec) / (cos phi cos dec). At a pole, or
    // for a star at one, the altitude never changes: the quotient is then
    // infinite, or NaN when the star stands exactly at the limit, which
    // counts as up.
    const double cosLimit =
        (night.sinMinAltitude - night.sinLatitude * sky.sinDec) / (night.cosLatitude * sky.cosDec);
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

double DeclinationOf(const StarSky& sky) {
    return std::atan2(sky.sinDec, sky.cosDec);
}

double TransitNearMiddle(const PreparedNight& night, const StarSky& sky) {
    // The hour angle into -pi..pi as eraAnpm would, without its fmod: the
    // events of a star ask for this once a night.
    const double turns = (night.localEraAtMiddle - sky.ra) / ERFA_D2PI;
    const double hourAngle = ERFA_D2PI * (turns - static_cast<double>(RoundToWhole(turns)));
    return night.middleSeconds - hourAngle / night.eraRadPerSecond;
}

StretchesUp StretchesUpInDark(const PreparedNight& night, const StarSky& sky, double transit) {
    StretchesUp up;
    if (night.darkness == Darkness::None || sky.reach == Reach::Never) {
        return up;
    }
    if (sky.reach == Reach::Always) {
        up.stretches[up.count++] = {night.darkFrom, night.darkTo};
        return up;
    }
    const double siderealDay = ERFA_D2PI / night.eraRadPerSecond;
    const double halfUp = sky.limitHourAngle / night.eraRadPerSecond;
    for (int k = -1; k <= 1; ++k) {
        const double at = transit + k * siderealDay;
        const double from = std::max(night.darkStartSeconds, at - halfUp);
        const double to = std::min(night.darkEndSeconds, at + halfUp);
        if (from <= to) {
            up.stretches[up.count++] = {RoundToMinute(from), RoundToMinute(to)};
        }
    }
    return up;
}

bool MayBeUpInDark(const PreparedNight& night, const StarDirection& star) {
    const double(&toCirs)[3][3] = night.gcrsToCirs;
    const double sinDec = toCirs[2][0] * star.x + toCirs[2][1] * star.y + toCirs[2][2] * star.z;
    return night.darkness != Darkness::None && sinDec >= night.leastSinDecUp &&
           sinDec <= night.mostSinDecUp;
}

StarNight ObserveStar(const PreparedNight& night, const StarPlace& star) {
    return ObserveDirection(night, DirectionOf(star));
}

namespace {

// The star's stretches up in the dark into `result`'s up, upFrom, upTo,
// upMinutes and totalUpMinutes.
void FindTimeUp(const PreparedNight& night, const StarSky& sky, double transit, StarNight& result) {
    const StretchesUp up = StretchesUpInDark(night, sky, transit);
    if (up.count == 0) {
        return;
    }
    const ShownStretch* longest = &up.stretches[0];
    for (int i = 0; i < up.count; ++i) {
        const ShownStretch& stretch = up.stretches[i];
        result.totalUpMinutes += static_cast<std::int32_t>(stretch.to - stretch.from);
        if (stretch.to - stretch.from > longest->to - longest->from) {
            longest = &stretch;
        }
    }
    result.up = true;
    result.upFrom = longest->from;
    result.upTo = longest->to;
    result.upMinutes = static_cast<std::int32_t>(longest->to - longest->from);
}

} // namespace

StarNight ObserveDirection(const PreparedNight& night, const StarDirection& star) {
    const StarSky sky = SkyOf(night, star);
    const double transit = TransitNearMiddle(night, sky);
    StarNight result;
    result.transit = RoundToMinute(transit);
    // At the upper transit sin h = cos(phi - dec).
    result.transitAltitudeDeg =
        90.0 - std::fabs(night.latitudeRad - DeclinationOf(sky)) * ERFA_DR2D;
    result.transitInDark = night.darkness != Darkness::None && night.darkFrom <= result.transit &&
                           result.transit <= night.darkTo;
    FindTimeUp(night, sky, transit, result);
    return result;
}

bool IsObservableDirection(const PreparedNight& night, const StarDirection& star,
                           std::int32_t minMinutes) {
    const StarSky sky = SkyOf(night, star);
    StarNight result;
    FindTimeUp(night, sky, TransitNearMiddle(night, sky), result);
    return IsObservable(result, minMinutes);
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
    eraHd2ae(hourAngle, DeclinationOf(sky), night.latitudeRad, &azimuth, &altitude);
    return {altitude * ERFA_DR2D, azimuth * ERFA_DR2D};
}

double MoonSeparationDeg(const PreparedNight& night, const StarPlace& star) {
    return MoonSeparationOfDirection(night, DirectionOf(star));
}

double MoonSeparationOfDirection(const PreparedNight& night, const StarDirection& star) {
    double j2000[3] = {star.x, star.y, star.z};
    double moon[3] = {night.moonDirection[0], night.moonDirection[1], night.moonDirection[2]};
    return eraSepp(j2000, moon) * ERFA_DR2D;
}

} // namespace lumara::plan
