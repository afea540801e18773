// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ErfaCalls.h"

namespace lumara::plan {

namespace {

constexpr double kUt1MinusUtc = 0.0;
constexpr double kPolarMotionX = 0.0;
constexpr double kPolarMotionY = 0.0;
// Zero pressure switches refraction off; the rest then does not matter.
constexpr double kPressureHpa = 0.0;
constexpr double kTemperatureC = 0.0;
constexpr double kRelativeHumidity = 0.0;
constexpr double kWavelengthMicrons = 0.55;

} // namespace

TwoPartJd UtcJd(double seconds) {
    return {kPosixEpochJd, seconds / kSecondsPerDay};
}

int TtJd(double seconds, TwoPartJd& tt) {
    const TwoPartJd utc = UtcJd(seconds);
    double tai1 = 0.0;
    double tai2 = 0.0;
    const int status = eraUtctai(utc.whole, utc.part, &tai1, &tai2);
    if (status < 0) {
        return status;
    }
    eraTaitt(tai1, tai2, &tt.whole, &tt.part);
    return status;
}

int SiteAstrom(const Site& site, double seconds, eraASTROM& astrom) {
    const TwoPartJd utc = UtcJd(seconds);
    double equationOfOrigins = 0.0;
    return eraApco13(utc.whole, utc.part, kUt1MinusUtc, site.longitudeDeg * ERFA_DD2R,
                     site.latitudeDeg * ERFA_DD2R, site.heightM, kPolarMotionX, kPolarMotionY,
                     kPressureHpa, kTemperatureC, kRelativeHumidity, kWavelengthMicrons, &astrom,
                     &equationOfOrigins);
}

int EarthState(double seconds, double heliocentric[2][3], double barycentric[2][3]) {
    TwoPartJd tt{};
    const int status = TtJd(seconds, tt);
    if (status < 0) {
        return status;
    }
    // Outside 1900-2100 eraEpv00 warns of lesser accuracy; the dates the
    // planner takes stay inside, so only the time status is passed on.
    eraEpv00(tt.whole, tt.part, heliocentric, barycentric);
    return status;
}

void SunIntermediate(const eraASTROM& astrom, const double earthHeliocentric[3],
                     double direction[3]) {
    double toSun[3] = {-earthHeliocentric[0], -earthHeliocentric[1], -earthHeliocentric[2]};
    double ra = 0.0;
    double dec = 0.0;
    eraC2s(toSun, &ra, &dec);
    double intermediateRa = 0.0;
    double intermediateDec = 0.0;
    eraASTROM parameters = astrom; // ERFA takes it unqualified
    eraAtciq(ra, dec, 0.0, 0.0, 0.0, 0.0, &parameters, &intermediateRa, &intermediateDec);
    eraS2c(intermediateRa, intermediateDec, direction);
}

EarthRotation EarthRotationAt(double seconds) {
    const TwoPartJd ut1 = UtcJd(seconds);
    const double angle = eraEra00(ut1.whole, ut1.part);
    const double dayLater = eraEra00(ut1.whole, ut1.part + 1.0);
    // A day turns the Earth once and a little more.
    const double rate = (ERFA_D2PI + eraAnp(dayLater - angle)) / kSecondsPerDay;
    return {seconds, angle, rate};
}

double AngleAt(const EarthRotation& rotation, double seconds) {
    return rotation.angle + rotation.radPerSecond * (seconds - rotation.atSeconds);
}

} // namespace lumara::plan
