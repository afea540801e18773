// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What a published catalogue says of a star beyond the native line: the
// J2000 position in degrees, the name and type as the source wrote them,
// the epoch with its time scale, the period with its marks, and GCVS's rise
// or eclipse duration. Kept for every imported star; a native line gives
// none of it, and its position is taken from the centre of its cell.
#pragma once

#include <cstdint>
#include <string_view>

struct StarRecord;

namespace lumara {

enum class TimeScale : std::uint8_t {
    None,
    HjdUtc, // heliocentric Julian date on UTC, as GCVS and VSX write epochs
    BjdTdb, // barycentric, on TDB
};

struct StarDetails {
    double raDeg = 0.0; // J2000
    double decDeg = 0.0;
    // As the source wrote them, without the blanks around them.
    std::string_view name;
    std::string_view type;
    // A full Julian date; 0 when the source gives none.
    double epochJd = 0.0;
    TimeScale epochScale = TimeScale::None;
    // Days, at the source's full precision; 0 when it gives none.
    double period = 0.0;
    char periodLimit = ' '; // '<' or '>': a limit; '(': a mean cycle
    bool periodUncertain = false;
    // A note on the period as the source wrote it ("*", "/N", "2"), zero-ended.
    char periodNote[3] = {};
    // GCVS: the rise time, or the eclipse's duration, in per cent of the
    // period; -1 when not given.
    std::int16_t durationPercent = -1;
    // The source gives a secondary minimum.
    bool secondaryMinimum = false;

    // Texts compare by content.
    bool operator==(const StarDetails&) const = default;
};

struct SkyPlace {
    double raDeg = 0.0;
    double decDeg = 0.0;
};

// The best place held for a star: the source's own when it gave one,
// otherwise the centre of the native line's cell, R.A. minute + 30 seconds
// and half a degree away from zero on the line's side ("-00" is -0.5). A
// cell is a minute of R.A. and a degree of declination, so the centre is
// off by up to 7.5 arcminutes in R.A. (at the equator) and half a degree in
// declination.
SkyPlace PlaceOf(const StarRecord& record);

// The name and type as the source wrote them, or as the native line holds
// them, without the blanks that pad their columns.
std::string_view FullNameOf(const StarRecord& record);
std::string_view FullTypeOf(const StarRecord& record);

} // namespace lumara
