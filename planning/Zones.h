// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The few questions the planner asks the time-zone database, each answered
// without an exception.
#pragma once

#include <string_view>
#include <vector>

#include "PlanNight.h"

namespace lumara::plan {

// The zone of that name in the system's tzdata; nullptr when there is none.
const date::time_zone* FindZone(std::string_view name);

// The instant of 12:00 on `date` in `zone` (the earlier one where the clocks
// repeat it, the moment they jump where they skip it).
double LocalNoonSeconds(const date::time_zone& zone, const CivilDate& date);

// The local calendar date at an instant.
CivilDate LocalDateAt(const date::time_zone& zone, double seconds);

// The zone's stretches of one offset that cover fromSeconds..toSeconds.
std::vector<ZoneSpan> ZoneSpansOver(const date::time_zone& zone, double fromSeconds,
                                    double toSeconds);

CivilDate DayBefore(const CivilDate& date);
CivilDate DayAfter(const CivilDate& date);

// Whether `date` is a calendar date within the planner's years.
bool IsPlannableDate(const CivilDate& date);

} // namespace lumara::plan
