// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The planner's few calls into ERFA, with the choices it makes for all of
// them in one place: UT1 taken as UTC, no polar motion, no refraction, TDB
// taken as TT (under 2 ms apart). ERFA statuses are passed on: negative
// refuses the date, +1 is its "dubious year" warning (a UTC beyond the
// leap-second table), which the planner accepts.
#pragma once

#include <erfa.h>
#include <erfam.h>

#include "PlanNight.h"

namespace lumara::plan {

inline constexpr double kPosixEpochJd = 2440587.5;
inline constexpr double kSecondsPerDay = 86400.0;

struct TwoPartJd {
    double whole;
    double part;
};

// The quasi Julian date ERFA takes for UTC (and, here, UT1).
TwoPartJd UtcJd(double seconds);

// Terrestrial Time of a POSIX instant.
int TtJd(double seconds, TwoPartJd& tt);

// The star-independent ICRS-to-observed parameters at an instant.
int SiteAstrom(const Site& site, double seconds, eraASTROM& astrom);

// The Earth's heliocentric and barycentric position (au) and velocity
// (au/day), BCRS axes.
int EarthState(double seconds, double heliocentric[2][3], double barycentric[2][3]);

// The Sun's place in the intermediate frame (CIRS) for a terrestrial observer
// at the instant `astrom` was prepared for: its geocentric direction from
// the Earth ephemeris, through aberration and the bias-precession-nutation
// matrix. Unit vector.
void SunIntermediate(const eraASTROM& astrom, const double earthHeliocentric[3],
                     double direction[3]);

// The Earth rotation angle (radians) is linear in UT1: its value at an
// instant and its rate.
struct EarthRotation {
    double atSeconds;
    double angle;
    double radPerSecond;
};
EarthRotation EarthRotationAt(double seconds);
double AngleAt(const EarthRotation& rotation, double seconds);

} // namespace lumara::plan
