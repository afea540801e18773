// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "RigorousSky.h"

#include <erfa.h>
#include <erfam.h>

#include <algorithm>
#include <cmath>

namespace lumara::plan::testing {

namespace {

constexpr double kPosixEpochJd = 2440587.5;
constexpr double kDay = 86400.0;
constexpr double kMinute = 60.0;

// Where a quantity sampled at two instants passes through zero.
double ZeroBetween(double t0, double v0, double t1, double v1) {
    return t0 + (t1 - t0) * v0 / (v0 - v1);
}

} // namespace

std::vector<ObservedPlace> ObserveRigorously(const Observer& observer,
                                             const std::vector<Body>& bodies, double seconds) {
    const double utc1 = kPosixEpochJd;
    const double utc2 = seconds / kDay;
    eraASTROM astrom;
    double eo = 0.0;
    eraApco13(utc1, utc2, 0.0, observer.longitudeDeg * ERFA_DD2R, observer.latitudeDeg * ERFA_DD2R,
              observer.heightM, 0.0, 0.0, 0.0, 0.0, 0.0, 0.55, &astrom, &eo);
    double tai1 = 0.0, tai2 = 0.0, tt1 = 0.0, tt2 = 0.0;
    eraUtctai(utc1, utc2, &tai1, &tai2);
    eraTaitt(tai1, tai2, &tt1, &tt2);
    double pvh[2][3], pvb[2][3];
    eraEpv00(tt1, tt2, pvh, pvb);
    double toSun[3] = {-pvh[0][0], -pvh[0][1], -pvh[0][2]};
    double sunRa = 0.0, sunDec = 0.0;
    eraC2s(toSun, &sunRa, &sunDec);

    std::vector<ObservedPlace> places;
    for (const Body& body : bodies) {
        const double rc = body.sun ? sunRa : body.raDeg * ERFA_DD2R;
        const double dc = body.sun ? sunDec : body.decDeg * ERFA_DD2R;
        double ri = 0.0, di = 0.0, aob = 0.0, zob = 0.0, hob = 0.0, dob = 0.0, rob = 0.0;
        eraAtciq(rc, dc, 0.0, 0.0, 0.0, 0.0, &astrom, &ri, &di);
        eraAtioq(ri, di, &astrom, &aob, &zob, &hob, &dob, &rob);
        places.push_back({90.0 - zob * ERFA_DR2D, aob * ERFA_DR2D, eraAnpm(hob)});
    }
    return places;
}

MinuteSamples SampleMinutes(const Observer& observer, const std::vector<Body>& bodies,
                            double fromSeconds, double toSeconds) {
    MinuteSamples sky{std::floor(fromSeconds / kMinute) * kMinute, {}};
    for (double t = sky.firstSeconds; t <= toSeconds + kMinute; t += kMinute) {
        sky.samples.push_back(ObserveRigorously(observer, bodies, t));
    }
    return sky;
}

std::vector<double> UpperTransits(const MinuteSamples& sky, std::size_t body) {
    std::vector<double> transits;
    for (std::size_t i = 0; i + 1 < sky.samples.size(); ++i) {
        const double h0 = sky.samples[i][body].hourAngleRad;
        const double h1 = sky.samples[i + 1][body].hourAngleRad;
        // Upward through 0, not the jump from +pi to -pi.
        if (h0 < 0.0 && h1 >= 0.0 && h1 - h0 < ERFA_DPI) {
            transits.push_back(ZeroBetween(sky.SecondsAt(i), h0, sky.SecondsAt(i + 1), h1));
        }
    }
    return transits;
}

std::vector<Stretch> DarkStretches(const MinuteSamples& sky, std::size_t sunBody,
                                   double twilightDeg, std::size_t star, double minAltitudeDeg,
                                   double fromSeconds, double toSeconds) {
    // Positive where each condition holds.
    const auto dark = [&](std::size_t i) {
        return twilightDeg - sky.samples[i][sunBody].altitudeDeg;
    };
    const auto up = [&](std::size_t i) {
        return star == sunBody ? 1.0 : sky.samples[i][star].altitudeDeg - minAltitudeDeg;
    };
    const auto holds = [&](std::size_t i) { return dark(i) > 0.0 && up(i) >= 0.0; };
    std::vector<Stretch> stretches;
    double openedAt = 0.0;
    bool open = false;
    for (std::size_t i = 0; i < sky.samples.size(); ++i) {
        if (i == 0) {
            open = holds(0);
            openedAt = sky.SecondsAt(0);
            continue;
        }
        if (holds(i) == open) {
            continue;
        }
        const double t0 = sky.SecondsAt(i - 1);
        const double t1 = sky.SecondsAt(i);
        // The crossing of whichever condition changed: on opening the later
        // of them, on closing the earlier.
        const bool darkChanged = (dark(i - 1) > 0.0) != (dark(i) > 0.0);
        const bool upChanged = (up(i - 1) >= 0.0) != (up(i) >= 0.0);
        const double idle = open ? t1 : t0; // neutral for min on closing, max on opening
        const double darkAt = darkChanged ? ZeroBetween(t0, dark(i - 1), t1, dark(i)) : idle;
        const double upAt = upChanged ? ZeroBetween(t0, up(i - 1), t1, up(i)) : idle;
        if (open) {
            stretches.push_back({openedAt, std::min(darkAt, upAt)});
        } else {
            openedAt = std::max(darkAt, upAt);
        }
        open = !open;
    }
    if (open) {
        stretches.push_back({openedAt, sky.SecondsAt(sky.samples.size() - 1)});
    }
    std::vector<Stretch> clipped;
    for (Stretch s : stretches) {
        s.from = std::max(s.from, fromSeconds);
        s.to = std::min(s.to, toSeconds);
        if (s.from <= s.to) {
            clipped.push_back(s);
        }
    }
    return clipped;
}

double AltitudeAt(const MinuteSamples& sky, std::size_t body, double seconds) {
    const double index = (seconds - sky.firstSeconds) / kMinute;
    const auto i = static_cast<std::size_t>(
        std::clamp(std::floor(index), 0.0, static_cast<double>(sky.samples.size() - 2)));
    const double f = index - static_cast<double>(i);
    return sky.samples[i][body].altitudeDeg * (1.0 - f) + sky.samples[i + 1][body].altitudeDeg * f;
}

} // namespace lumara::plan::testing
