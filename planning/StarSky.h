// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A star's place in the night's intermediate frame and the hour angle at
// which it crosses the minimum altitude: what every per-star answer starts
// from.
#pragma once

#include <cstdint>

#include "PlanStar.h"

namespace lumara::plan {

// The nearest whole number, halves upward, for values well inside the range
// of a 64-bit integer.
inline std::int64_t RoundToWhole(double value) {
    const double shifted = value + 0.5;
    const auto truncated = static_cast<std::int64_t>(shifted);
    return truncated - (shifted < static_cast<double>(truncated) ? 1 : 0);
}

// How the star stands against the minimum altitude through a day.
enum class Reach {
    Never,  // stays below it
    Always, // stays at or above it
    Between // crosses it at hour angles +-limitHourAngle
};

struct StarSky {
    double direction[3]; // J2000 unit vector
    double ra;           // intermediate right ascension, radians
    double sinDec;       // of the intermediate declination
    double cosDec;
    Reach reach;
    double limitHourAngle; // radians, 0 to pi, when reach is Between
};

StarSky SkyOf(const PreparedNight& night, const StarPlace& star);
StarSky SkyOf(const PreparedNight& night, const StarDirection& star);

// The intermediate declination, radians: asked for only by the answers that
// show an altitude, since the arc tangent costs as much as the rest of a
// star's test.
double DeclinationOf(const StarSky& sky);

// The upper transit nearest the night's middle, POSIX seconds.
double TransitNearMiddle(const PreparedNight& night, const StarSky& sky);

// A stretch of time as shown, ends included.
struct ShownStretch {
    PosixMinute from;
    PosixMinute to;
};

// A dark window is at most a solar day and the star's transit lies within
// half a sidereal day of its middle, so the stretches up around the transits
// before and after are the only others that can reach into it.
inline constexpr int kMostStretches = 3;

struct StretchesUp {
    int count = 0;
    ShownStretch stretches[kMostStretches];
};

// The star's stretches at or above the minimum altitude within the dark
// window, in time order; `transit` as TransitNearMiddle gives it.
StretchesUp StretchesUpInDark(const PreparedNight& night, const StarSky& sky, double transit);

} // namespace lumara::plan
