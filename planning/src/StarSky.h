// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A star's place in the night's intermediate frame and the hour angle at
// which it crosses the minimum altitude: what every per-star answer starts
// from.
#pragma once

#include "PlanStar.h"

namespace lumara::plan {

// How the star stands against the minimum altitude through a day.
enum class Reach {
    Never,  // stays below it
    Always, // stays at or above it
    Between // crosses it at hour angles +-limitHourAngle
};

struct StarSky {
    double ra;  // intermediate right ascension, radians
    double dec; // radians
    Reach reach;
    double limitHourAngle; // radians, 0 to pi, when reach is Between
};

StarSky SkyOf(const PreparedNight& night, const StarPlace& star);

// The upper transit nearest the night's middle, POSIX seconds.
double TransitNearMiddle(const PreparedNight& night, const StarSky& sky);

} // namespace lumara::plan
