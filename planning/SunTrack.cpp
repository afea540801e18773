// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "SunTrack.h"

#include <algorithm>
#include <cmath>

namespace lumara::plan {

namespace {

// The Sun's hour angle turns once a solar day; a step toward a transit
// divides by this rate, which is right to 0.3 %, so each step gains more
// than two digits and these steps reach well under a millisecond.
constexpr double kSolarRadPerSecond = ERFA_D2PI / kSecondsPerDay;
constexpr int kTransitSteps = 6;
// Halving a day this often leaves under a microsecond.
constexpr int kBisectionSteps = 40;
// Golden-section steps over a day: 0.618^50 of it is a few microseconds.
constexpr int kGoldenSteps = 50;
const double kGoldenRatio = (std::sqrt(5.0) - 1.0) / 2.0;

void SunDirectionAt(const SunTrack& track, double seconds, double direction[3]) {
    // Quadratic through the three nodes.
    const double u = (seconds - track.middleSeconds) / track.stepSeconds;
    const double before = 0.5 * u * (u - 1.0);
    const double middle = 1.0 - u * u;
    const double after = 0.5 * u * (u + 1.0);
    for (int i = 0; i < 3; ++i) {
        direction[i] =
            before * track.nodes[0][i] + middle * track.nodes[1][i] + after * track.nodes[2][i];
    }
}

// Hour angle and declination, radians.
void SunHaDec(const SunTrack& track, double seconds, double& hourAngle, double& dec) {
    double direction[3];
    SunDirectionAt(track, seconds, direction);
    double ra = 0.0;
    eraC2s(direction, &ra, &dec);
    hourAngle = eraAnpm(AngleAt(track.rotation, seconds) + track.localAngleOffset - ra);
}

// The instant near `seconds` at which the hour angle is `target`.
double SolveHourAngle(const SunTrack& track, double seconds, double target) {
    for (int step = 0; step < kTransitSteps; ++step) {
        seconds -= eraAnpm(SunHourAngle(track, seconds) - target) / kSolarRadPerSecond;
    }
    return seconds;
}

// `below(lo)` and `below(hi)` differ: the instant between where it changes.
double Bisect(const SunTrack& track, double twilightRad, double lo, double hi) {
    const bool belowAtLo = SunAltitude(track, lo) < twilightRad;
    for (int step = 0; step < kBisectionSteps; ++step) {
        const double mid = 0.5 * (lo + hi);
        if ((SunAltitude(track, mid) < twilightRad) == belowAtLo) {
            lo = mid;
        } else {
            hi = mid;
        }
    }
    return 0.5 * (lo + hi);
}

// The lowest point of the Sun between two upper transits: one minimum, even
// where the Sun's own motion in declination tilts the curve.
double LowestSun(const SunTrack& track, double lo, double hi) {
    double a = hi - kGoldenRatio * (hi - lo);
    double b = lo + kGoldenRatio * (hi - lo);
    double altitudeA = SunAltitude(track, a);
    double altitudeB = SunAltitude(track, b);
    for (int step = 0; step < kGoldenSteps; ++step) {
        if (altitudeA < altitudeB) {
            hi = b;
            b = a;
            altitudeB = altitudeA;
            a = hi - kGoldenRatio * (hi - lo);
            altitudeA = SunAltitude(track, a);
        } else {
            lo = a;
            a = b;
            altitudeA = altitudeB;
            b = lo + kGoldenRatio * (hi - lo);
            altitudeB = SunAltitude(track, b);
        }
    }
    return 0.5 * (lo + hi);
}

} // namespace

int BuildSunTrack(const Site& site, double middleSeconds, SunTrack& track,
                  eraASTROM& middleAstrom) {
    track.middleSeconds = middleSeconds;
    track.stepSeconds = kSecondsPerDay;
    track.latitudeRad = site.latitudeDeg * ERFA_DD2R;
    int worst = 0;
    for (int node = 0; node < 3; ++node) {
        const double seconds = middleSeconds + (node - 1) * track.stepSeconds;
        eraASTROM astrom{};
        double heliocentric[2][3];
        double barycentric[2][3];
        const int astromStatus = SiteAstrom(site, seconds, astrom);
        const int earthStatus = EarthState(seconds, heliocentric, barycentric);
        if (astromStatus < 0 || earthStatus < 0) {
            return std::min(astromStatus, earthStatus);
        }
        worst = std::max({worst, astromStatus, earthStatus});
        SunIntermediate(astrom, heliocentric[0], track.nodes[node]);
        if (node == 1) {
            middleAstrom = astrom;
        }
    }
    track.rotation = EarthRotationAt(middleSeconds);
    track.localAngleOffset = middleAstrom.along;
    return worst;
}

double SunHourAngle(const SunTrack& track, double seconds) {
    double hourAngle = 0.0;
    double dec = 0.0;
    SunHaDec(track, seconds, hourAngle, dec);
    return hourAngle;
}

double SunAltitude(const SunTrack& track, double seconds) {
    double hourAngle = 0.0;
    double dec = 0.0;
    SunHaDec(track, seconds, hourAngle, dec);
    double azimuth = 0.0;
    double altitude = 0.0;
    eraHd2ae(hourAngle, dec, track.latitudeRad, &azimuth, &altitude);
    return altitude;
}

SolarDay FindSolarDay(const SunTrack& track, double nearSeconds) {
    const double start = SolveHourAngle(track, nearSeconds, 0.0);
    const double midnight = SolveHourAngle(track, start + kSecondsPerDay / 2.0, ERFA_DPI);
    const double end = SolveHourAngle(track, start + kSecondsPerDay, 0.0);
    return {start, midnight, end};
}

DarkWindow FindDarkWindow(const SunTrack& track, const SolarDay& day, double twilightRad) {
    const double lowest = LowestSun(track, day.start, day.end);
    if (!(SunAltitude(track, lowest) < twilightRad)) {
        return {Darkness::None, day.midnight, day.midnight};
    }
    const bool darkAtStart = SunAltitude(track, day.start) < twilightRad;
    const bool darkAtEnd = SunAltitude(track, day.end) < twilightRad;
    const double start = darkAtStart ? day.start : Bisect(track, twilightRad, day.start, lowest);
    const double end = darkAtEnd ? day.end : Bisect(track, twilightRad, lowest, day.end);
    return {darkAtStart && darkAtEnd ? Darkness::Throughout : Darkness::Window, start, end};
}

} // namespace lumara::plan
