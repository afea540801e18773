// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The night a search and the tonight columns ask about, for the programs:
// the planner's site, night and star computations applied to catalogue
// records, and the settings file the window and `lumara` share, saved as
// safely as an export.
#pragma once

#include <cstdint>
#include <string>

#include "PlanLocalTime.h"
#include "PlanNight.h"
#include "PlanOptions.h"
#include "PlanSettings.h"
#include "PlanStar.h"

struct StarRecord;

namespace lumara {

// A prepared night and the least time up that makes a star observable;
// never changed once made, so any number of lanes may read it.
struct TonightContext {
    plan::PreparedNight night;
    std::int32_t minUpMinutes = 0;
};

// Prepares the night of `date` at the site, zone and limits of `settings`,
// which must give a site.
plan::NightStatus PrepareTonight(const plan::PlanSettings& settings, const plan::CivilDate& date,
                                 TonightContext& context);

// The local date of the night in progress now at the site of `settings`.
plan::NightStatus TonightDate(const plan::PlanSettings& settings, plan::CivilDate& date);

// A star in the night, at the best place the catalogue holds for it.
struct StarTonight {
    plan::StarNight night;
    double moonSeparationDeg = 0.0;
};
StarTonight ObserveRecord(const TonightContext& context, const StarRecord& record);
bool IsObservableTonight(const TonightContext& context, const StarRecord& record);

// The dark window and the Moon in one line, times in the site's zone: "Dark
// 18:34–06:31 CET, Moon 1 % lit"; each end with its own zone on a night when
// the clocks change.
std::string DescribeNight(const TonightContext& context);

// A minute of the night on the site's clock: "21:14".
std::string ClockAt(const TonightContext& context, plan::PosixMinute minute);

// The settings file at plan::SettingsPath(). A missing file gives the
// defaults with `found` false; a file that does not read gives the defaults
// and names the problem.
struct SettingsLoad {
    plan::PlanSettings settings;
    bool found = false;
    std::string problem;
};
SettingsLoad LoadPlanSettings();
// Writes the settings file as an export is written, its folder made first;
// false, with the reason, when it cannot be written.
bool SavePlanSettings(const plan::PlanSettings& settings, std::string& problem);

} // namespace lumara
