// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The reference the planner is held to: ERFA's rigorous ICRS-to-observed
// path, refraction off, evaluated minute by minute, stars and the Sun alike.
// Shares nothing with the library but ERFA itself.
#pragma once

#include <vector>

namespace lumara::plan::testing {

struct Observer {
    double latitudeDeg;
    double longitudeDeg;
    double heightM;
};

// J2000 place, degrees; the Sun when `sun` is set.
struct Body {
    double raDeg = 0.0;
    double decDeg = 0.0;
    bool sun = false;
};

struct ObservedPlace {
    double altitudeDeg;
    double azimuthDeg;
    double hourAngleRad; // -pi to pi
};

// eraAtco13 with pressure 0, split as ERFA itself splits it (eraApco13 once
// per instant, then eraAtciq and eraAtioq per body), UT1 = UTC, no polar
// motion. The Sun's catalogue place is its geocentric direction from
// eraEpv00.
std::vector<ObservedPlace> ObserveRigorously(const Observer& observer,
                                             const std::vector<Body>& bodies, double seconds);

// The places of every body at every whole minute from `fromSeconds` to
// `toSeconds`: samples[minute][body].
struct MinuteSamples {
    double firstSeconds;
    std::vector<std::vector<ObservedPlace>> samples;
    double SecondsAt(std::size_t minute) const {
        return firstSeconds + 60.0 * static_cast<double>(minute);
    }
};
MinuteSamples SampleMinutes(const Observer& observer, const std::vector<Body>& bodies,
                            double fromSeconds, double toSeconds);

// Where, between whole minutes, the body's hour angle passes 0 upward (its
// upper transits), by linear interpolation.
std::vector<double> UpperTransits(const MinuteSamples& sky, std::size_t body);

// Stretches in which `sunBody` is below `twilightDeg` and `star` at or above
// `minAltitudeDeg` (a star equal to the Sun asks for darkness alone), ends
// interpolated, clipped to fromSeconds..toSeconds.
struct Stretch {
    double from;
    double to;
};
std::vector<Stretch> DarkStretches(const MinuteSamples& sky, std::size_t sunBody,
                                   double twilightDeg, std::size_t star, double minAltitudeDeg,
                                   double fromSeconds, double toSeconds);

// The body's altitude at an instant within the samples, interpolated.
double AltitudeAt(const MinuteSamples& sky, std::size_t body, double seconds);

} // namespace lumara::plan::testing
