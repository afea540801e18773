// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Minima and maxima of variable stars from their epoch and period, on the
// nights ahead, kept when they fall while the star is up in the dark.
//
// An event of cycle n happens at epoch + n * period in the epoch's own time:
// heliocentric (HJD, on UTC) unless the source says barycentric (BJD, on
// TDB; the two differ by about a minute, mostly TT - UTC). The light-time
// correction to the Earth's centre, up to about 8 minutes, comes from the
// Earth's position (eraEpv00) and the star's direction, with the Earth's
// motion through the night.
//
// Which event the epoch marks, and how precisely it can be told, follows the
// star's variability type (RuleForType). Strictly periodic types get times to
// the minute; Miras and semiregulars, whose maxima drift by weeks, and RV
// Tauri stars get "near maximum" ("near minimum") on the nights when their
// phase lies within kNearPhase of the epoch's.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "PlanNight.h"
#include "PlanStar.h"

namespace lumara::plan {

// Half-width of the phase window around an extreme of a long-period star.
inline constexpr double kNearPhase = 0.1;
// Shorter periods (days) give no predictions: below ten minutes a time to
// the minute tells nothing, and the events would flood the list.
inline constexpr double kShortestPeriodDays = 0.007;
// Epochs outside these Julian dates (years 763 to 2406) are taken for none:
// no catalogue's epoch lies there, and cycle counts stay within integers.
inline constexpr double kEarliestEpochJd = 2000000.0;
inline constexpr double kLatestEpochJd = 2600000.0;
// The most nights one series may prepare.
inline constexpr int kMostNights = 60;

enum class EpochScale {
    HjdUtc, // heliocentric, UTC
    BjdTdb, // barycentric, TDB
};

// What the marks a source writes around a period say of it.
struct PeriodMarks {
    bool limit = false;       // '<' or '>': only a bound
    bool meanCycle = false;   // '(' ... ')': a mean cycle of an irregular star
    bool uncertain = false;   // ':', '*' or '2'
    bool unknownPart = false; // "/N": the period is a part of a true one not known
};

// Reads every mark character the source wrote before and after the period,
// in any order ("<", "(", ")", ":", "*", "/N", "2").
PeriodMarks ReadPeriodMarks(std::string_view marks);

enum class SecondaryMinima {
    None,
    IfGiven, // only where the source gives a secondary minimum (EA, E)
    Always,  // EB, EW, ELL: two minima each period
};

// What a variability type lets the planner predict.
struct EventRule {
    bool predicted = false; // the type is in the table
    bool minimum = false;   // the epoch marks a minimum, else a maximum
    bool exact = false;     // times to the minute, else a phase window
    SecondaryMinima secondary = SecondaryMinima::None;
    bool uncertain = false; // the type is marked ':' or given as alternatives ('|')
};

// The rule for a full type as the source wrote it: "EA/DM", "EW/KW:",
// "UGSU+E", "RRAB", "M", "SRB", "EB|EW". Components joined by '+' or given
// as alternatives by '|' are looked up one by one, subtypes after '/' and
// remarks in parentheses set aside; an eclipsing component decides (its
// epochs are minima), else the first component the table knows.
EventRule RuleForType(std::string_view type);

// What the catalogue keeps of a variable star for its events.
struct Ephemeris {
    double epochJd = 0.0; // full Julian date; 0 (or any outside the range above) for none
    EpochScale scale = EpochScale::HjdUtc;
    double periodDays = 0.0; // 0 when none
    PeriodMarks periodMarks;
    EventRule rule;
    bool secondaryMinimumGiven = false;  // the source lists a secondary minimum
    double eclipseDurationPercent = 0.0; // GCVS's D, of the period; 0 when not given
};

enum class Prediction {
    Made,
    NoEpoch,     // none, or one outside kEarliestEpochJd..kLatestEpochJd
    NoPeriod,    // none, or one below kShortestPeriodDays
    PeriodLimit, // '<' or '>'
    MeanCycle,   // '('
    UnknownPart, // "/N"
    NotPeriodic, // a type outside the table
};

// Whether the star's events can be predicted, and if not, why.
Prediction Predictability(const Ephemeris& ephemeris);

enum class EventKind {
    Minimum,
    SecondaryMinimum,
    Maximum,
    NearMinimum,
    NearMaximum,
};

struct StarEvent {
    EventKind kind = EventKind::Minimum;
    int night = 0;                    // index in the series, 0 for its first night
    PosixMinute at = 0;               // geocentric UTC, as shown; for a phase window the
                                      // moment of the star's stretch nearest the extreme
    double cycles = 0.0;              // since the epoch; a half for a secondary minimum
    double phase = 0.0;               // at `at`, from the extreme, -0.5 to 0.5; 0 for exact times
    bool uncertain = false;           // the period or the type is marked so
    std::int32_t durationMinutes = 0; // the eclipse's, from GCVS's D; 0 when not known
};

// Nights from `first.date` on, one a day, each prepared as PrepareNight does.
NightStatus PrepareNights(const NightRequest& first, int count, std::vector<PreparedNight>& nights);

// Appends the star's events that fall inside its stretches up in the dark
// (ends as shown, included) over the nights, in time order. Nothing is
// appended unless the answer is Made.
Prediction PredictEvents(std::span<const PreparedNight> nights, const StarPlace& star,
                         const Ephemeris& ephemeris, std::vector<StarEvent>& events);

} // namespace lumara::plan
