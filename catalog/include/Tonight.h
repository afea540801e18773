// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The night a search and the tonight columns ask about, for the programs:
// the planner's site, night and star computations applied to catalogue
// records, and the settings file the window and `lumara` share, saved as
// safely as an export.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "PlanEvents.h"
#include "PlanLocalTime.h"
#include "PlanNight.h"
#include "PlanOptions.h"
#include "PlanSettings.h"
#include "PlanStar.h"

struct StarRecord;

namespace lumara {

// A prepared night and the least time up that makes a star observable, and
// the nights whose minima and maxima are looked for; never changed once
// made, so any number of lanes may read it.
struct TonightContext {
    plan::PreparedNight night;
    std::int32_t minUpMinutes = 0;
    // The night and those after it, for events; empty when none are wanted.
    std::vector<plan::PreparedNight> eventNights;
};

// Prepares the night of `date` at the site, zone and limits of `settings`,
// which must give a site; with `eventNights` (1 to plan::kMostNights), also
// that many nights from it on for the stars' minima and maxima.
plan::NightStatus PrepareTonight(const plan::PlanSettings& settings, const plan::CivilDate& date,
                                 TonightContext& context, int eventNights = 0);

// The local date of the night in progress now at the site of `settings`.
plan::NightStatus TonightDate(const plan::PlanSettings& settings, plan::CivilDate& date);

// A star in the night, at the best place the catalogue holds for it, with
// its first minimum or maximum up in the dark when events are wanted.
struct StarTonight {
    plan::StarNight night;
    double moonSeparationDeg = 0.0;
    std::optional<plan::StarEvent> firstEvent;
};
StarTonight ObserveRecord(const TonightContext& context, const StarRecord& record);
bool IsObservableTonight(const TonightContext& context, const StarRecord& record);
// The star's night when it is observable tonight, else nothing: the cheap
// tests first, each part worked out once.
std::optional<StarTonight> ObservableTonight(const TonightContext& context,
                                             const StarRecord& record);

// What an imported star's source says for its events: its epoch and period
// with their marks, and the rule its type follows. None for a native star,
// whose line holds no epoch.
std::optional<plan::Ephemeris> EphemerisOf(const StarRecord& record);
// Appends the star's minima and maxima that fall while it is up in the dark
// on the context's event nights, in time order.
plan::Prediction EventsOf(const TonightContext& context, const StarRecord& record,
                          std::vector<plan::StarEvent>& events);
// Whether the star has a minimum or maximum while it is up in the dark on
// the first of the event nights.
bool HasEventTonight(const TonightContext& context, const StarRecord& record);

// An event as the list and the table name it: "min", "min II", "max", "near
// min", "near max", with ":" when uncertain.
std::string EventName(const plan::StarEvent& event);

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
