// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The night's instants as the site's clocks show them: each with its own UTC
// offset and zone abbreviation, so that on a night when the clocks change
// the times before and after carry different ones. Instants within a day of
// the night use the offsets prepared with it, without a zone lookup.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "PlanNight.h"

namespace lumara::plan {

struct WallClock {
    CivilDate date;
    int hour = 0;
    int minute = 0;
    std::int32_t offsetMinutes = 0; // local minus UTC
    std::string abbreviation;       // "CET", "CEST", "+13"
};

WallClock ToWallClock(const PreparedNight& night, PosixMinute minute);

// "2026-12-08T21:14+01:00"
inline constexpr std::size_t kIsoLocalLength = 22;
using IsoLocalText = std::array<char, kIsoLocalLength>;
IsoLocalText FormatIsoLocal(const WallClock& time);

// "21:14"
inline constexpr std::size_t kClockLength = 5;
using ClockText = std::array<char, kClockLength>;
ClockText FormatClock(const WallClock& time);

} // namespace lumara::plan
