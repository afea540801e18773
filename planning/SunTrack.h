// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The Sun over a night, from three rigorous places: its intermediate
// direction at three instants a day apart, interpolated between them (the
// Sun moves a degree a day, and the interpolation error stays under an
// arcsecond), against the Earth's rotation. From it the night's bounds and
// its dark window, found by a fixed number of cheap steps.
#pragma once

#include <erfa.h>
#include <erfam.h>

#include "ErfaCalls.h"
#include "PlanNight.h"

namespace lumara::plan {

struct SunTrack {
    double middleSeconds = 0.0;
    double stepSeconds = 0.0; // between nodes
    double nodes[3][3] = {};  // unit vectors at middle - step, middle, middle + step
    EarthRotation rotation{};
    double localAngleOffset = 0.0; // longitude and s', radians
    double latitudeRad = 0.0;
};

// The track covering a day either side of `middleSeconds`; `middleAstrom`
// receives ERFA's parameters at the middle. The worst ERFA status.
int BuildSunTrack(const Site& site, double middleSeconds, SunTrack& track, eraASTROM& middleAstrom);

// The Sun's local hour angle (-pi to pi) and geometric altitude, radians.
double SunHourAngle(const SunTrack& track, double seconds);
double SunAltitude(const SunTrack& track, double seconds);

struct SolarDay {
    double start;    // upper transit nearest `nearSeconds`
    double midnight; // the lower transit after it
    double end;      // the next upper transit
};
SolarDay FindSolarDay(const SunTrack& track, double nearSeconds);

struct DarkWindow {
    Darkness darkness;
    double start;
    double end;
};
DarkWindow FindDarkWindow(const SunTrack& track, const SolarDay& day, double twilightRad);

} // namespace lumara::plan
