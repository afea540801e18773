// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A star in a prepared night: its transit, how long it stands at or above
// the minimum altitude while it is dark, where it stands at a given moment,
// and how far the Moon is. Each call is a few dozen floating-point
// operations on the prepared night, which it only reads: call it from any
// number of threads.
//
// Method: the star's J2000 direction, with the annual aberration of the
// night's middle, is turned into the night's intermediate (CIRS) frame by the
// matrix prepared there (light deflection left out: hundredths of an
// arcsecond for a star in a dark sky), and the hour angle is the local
// Earth rotation angle less the intermediate right ascension. Rising and
// setting at the minimum altitude come from the closed form for the hour
// angle at that altitude, intersected with the dark window. Altitudes are
// geometric (no refraction).
#pragma once

#include <cstdint>

#include "PlanNight.h"

namespace lumara::plan {

// J2000 (ICRS) place, degrees.
struct StarPlace {
    double raDeg = 0.0;
    double decDeg = 0.0;
};

struct StarNight {
    // The upper transit nearest the night's middle, and the altitude there.
    PosixMinute transit = 0;
    double transitAltitudeDeg = 0.0;
    bool transitInDark = false; // within darkFrom..darkTo, as shown

    // The star's longest continuous stretch at or above the minimum altitude
    // within the dark window, ends as shown; none when it never gets there
    // while dark. Of two stretches of equal length, the earlier.
    bool up = false;
    PosixMinute upFrom = 0;
    PosixMinute upTo = 0;
    std::int32_t upMinutes = 0; // upTo - upFrom
    // All its stretches together, each counted from its ends as shown: more
    // than upMinutes when the dark window holds a setting and a rising.
    std::int32_t totalUpMinutes = 0;
};

// The same place as a J2000 unit vector, for a caller that has it at hand
// (the trigonometry of a place costs as much as the rest of a star).
struct StarDirection {
    double x = 1.0;
    double y = 0.0;
    double z = 0.0;
};
StarDirection DirectionOf(const StarPlace& star);

StarNight ObserveStar(const PreparedNight& night, const StarPlace& star);
StarNight ObserveDirection(const PreparedNight& night, const StarDirection& star);

// False only for a star that ObserveDirection would find never up in the
// dark: on a night without darkness, or one whose apparent declination keeps
// it below the least altitude all day. A few multiplications, where
// ObserveDirection costs as much as the rest of a search: a search tests
// this first.
bool MayBeUpInDark(const PreparedNight& night, const StarDirection& star);

// Whole minutes, to the nearest.
std::int32_t MinimumMinutes(double minHours);

// "Observable tonight": the longest stretch lasts at least minMinutes, as
// shown; both the altitude and the time limit included.
bool IsObservable(const StarNight& star, std::int32_t minMinutes);
// The same answer as IsObservable(ObserveDirection(...)), without working
// out what only the shown columns need.
bool IsObservableDirection(const PreparedNight& night, const StarDirection& star,
                           std::int32_t minMinutes);

struct Horizontal {
    double altitudeDeg;
    double azimuthDeg; // from north through east, 0 to 360
};

// Where the star stands at an instant of the night (or within a day of it).
Horizontal HorizontalAt(const PreparedNight& night, const StarPlace& star, double seconds);

// The angle between the star and the Moon's geocentric place at the night's
// middle, degrees.
double MoonSeparationDeg(const PreparedNight& night, const StarPlace& star);
double MoonSeparationOfDirection(const PreparedNight& night, const StarDirection& star);

} // namespace lumara::plan
