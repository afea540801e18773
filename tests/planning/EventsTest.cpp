// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// Minima and maxima against astropy's light-travel-time
// (tools/planning_reference.py): near the correction's +8 and -8 minute
// extremes, across a year change in a barycentric epoch and a clock change;
// then the type table, the period marks and the phase window.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "PlanEvents.h"

using namespace lumara::plan;

namespace {

constexpr double kEventToleranceS = 60.0;

struct EventCase {
    NightRequest request;
    int nights = 0;
    StarPlace star;
    Ephemeris ephemeris;
    std::map<double, double> utcByCycles; // the reference
};

std::map<std::string, EventCase> ReadCases() {
    std::map<std::string, EventCase> cases;
    std::ifstream file(LUMARA_PLANNING_DATA_DIR "/events.txt");
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        std::string word, name;
        fields >> word >> name;
        if (word == "case") {
            EventCase& c = cases[name];
            std::string date, scale, type;
            int secondaryGiven = 0;
            fields >> c.request.site.latitudeDeg >> c.request.site.longitudeDeg >>
                c.request.site.heightM >> c.request.zone >> date >> c.nights >>
                c.request.twilightDeg >> c.request.minAltitudeDeg >> c.star.raDeg >>
                c.star.decDeg >> c.ephemeris.epochJd >> scale >> c.ephemeris.periodDays >> type >>
                secondaryGiven;
            c.request.date = ParseDate(date).value;
            c.ephemeris.scale = scale == "BJD" ? EpochScale::BjdTdb : EpochScale::HjdUtc;
            c.ephemeris.rule = RuleForType(type);
            c.ephemeris.secondaryMinimumGiven = secondaryGiven != 0;
        } else if (word == "event") {
            double cycles = 0.0, utc = 0.0;
            fields >> cycles >> utc;
            cases[name].utcByCycles[cycles] = utc;
        }
    }
    return cases;
}

// The night of the series holding an instant.
const PreparedNight* NightAt(const std::vector<PreparedNight>& nights, double seconds) {
    for (const PreparedNight& night : nights) {
        if (night.startSeconds <= seconds && seconds < night.endSeconds) {
            return &night;
        }
    }
    return nullptr;
}

TEST(Events, AgreeWithAstropysLightTravelTime) {
    const std::map<std::string, EventCase> cases = ReadCases();
    ASSERT_EQ(cases.size(), 4u);
    double worst = 0.0;
    for (const auto& [name, c] : cases) {
        std::vector<PreparedNight> nights;
        ASSERT_EQ(PrepareNights(c.request, c.nights, nights), NightStatus::Ok) << name;
        std::vector<StarEvent> events;
        ASSERT_EQ(PredictEvents(nights, c.star, c.ephemeris, events), Prediction::Made) << name;
        EXPECT_TRUE(
            std::is_sorted(events.begin(), events.end(),
                           [](const StarEvent& a, const StarEvent& b) { return a.at < b.at; }))
            << name;
        for (const StarEvent& event : events) {
            const auto reference = c.utcByCycles.find(event.cycles);
            ASSERT_NE(reference, c.utcByCycles.end()) << name << " cycle " << event.cycles;
            const double error =
                std::fabs(static_cast<double>(event.at) * 60.0 - reference->second);
            worst = std::max(worst, error);
            EXPECT_LE(error, kEventToleranceS) << name << " cycle " << event.cycles;
            const bool half = event.cycles != std::floor(event.cycles);
            const EventKind whole =
                c.ephemeris.rule.minimum ? EventKind::Minimum : EventKind::Maximum;
            EXPECT_EQ(event.kind, half ? EventKind::SecondaryMinimum : whole) << name;
            EXPECT_EQ(&nights[static_cast<std::size_t>(event.night)],
                      NightAt(nights, static_cast<double>(event.at) * 60.0));
        }
        // Every reference event well inside the dark and well above the
        // minimum altitude is found.
        int inside = 0;
        for (const auto& [cycles, utc] : c.utcByCycles) {
            const PreparedNight* night = NightAt(nights, utc);
            if (night == nullptr || night->darkness == Darkness::None ||
                utc < static_cast<double>(night->darkFrom + 3) * 60.0 ||
                utc > static_cast<double>(night->darkTo - 3) * 60.0 ||
                HorizontalAt(*night, c.star, utc).altitudeDeg < c.request.minAltitudeDeg + 0.5) {
                continue;
            }
            ++inside;
            const bool found = std::any_of(events.begin(), events.end(),
                                           [&](const StarEvent& e) { return e.cycles == cycles; });
            EXPECT_TRUE(found) << name << " misses cycle " << cycles;
        }
        EXPECT_GE(inside, 2) << name;
    }
    std::printf("Worst event time against astropy: %.1f s\n", worst);
}

TEST(Events, TheTypeTableDecidesWhichEventTheEpochMarks) {
    struct Case {
        const char* type;
        EventRule rule;
    };
    const EventRule eclipsingIfGiven{true, true, true, SecondaryMinima::IfGiven, false};
    const EventRule twoMinima{true, true, true, SecondaryMinima::Always, false};
    const EventRule pulsating{true, false, true, SecondaryMinima::None, false};
    const EventRule nearMaximum{true, false, false, SecondaryMinima::None, false};
    const EventRule nearMinimum{true, true, false, SecondaryMinima::None, false};
    EventRule uncertainTwoMinima = twoMinima;
    uncertainTwoMinima.uncertain = true;
    EventRule uncertainNearMaximum = nearMaximum;
    uncertainNearMaximum.uncertain = true;
    const Case cases[] = {
        {"EA", eclipsingIfGiven},
        {"EA/DM", eclipsingIfGiven},
        {"E", eclipsingIfGiven},
        {"EB/KE", twoMinima},
        {"EW/KW:", uncertainTwoMinima},
        {"EB|EW", uncertainTwoMinima},
        {"ELL", twoMinima},
        {"EP", {true, true, true, SecondaryMinima::None, false}},
        {"UGSU+E", eclipsingIfGiven},
        {"BY+EA/RS", eclipsingIfGiven},
        {"RRAB", pulsating},
        {"rrc", pulsating},
        {"DCEP(B)", pulsating},
        {"DSCTC", pulsating},
        {"HADS", pulsating},
        {"M", nearMaximum},
        {"SRB:", uncertainNearMaximum},
        {"RVA", nearMinimum},
        {"UGSS", {}},
        {"BY", {}},
        {"CST", {}},
        {"", {}},
        {"EAXXXXXXXXXX", {}},
    };
    for (const Case& c : cases) {
        const EventRule rule = RuleForType(c.type);
        EXPECT_EQ(rule.predicted, c.rule.predicted) << c.type;
        EXPECT_EQ(rule.minimum, c.rule.minimum) << c.type;
        EXPECT_EQ(rule.exact, c.rule.exact) << c.type;
        EXPECT_EQ(rule.secondary, c.rule.secondary) << c.type;
        EXPECT_EQ(rule.uncertain, c.rule.uncertain) << c.type;
    }
}

// The Opposition case with other periods, marks and types.
EventCase Opposition() {
    return ReadCases().at("Opposition");
}

TEST(Events, PeriodsGivenAsLimitsOrMeanCyclesAndStarsWithoutEpochsGetNone) {
    EventCase base = Opposition();
    std::vector<PreparedNight> nights;
    ASSERT_EQ(PrepareNights(base.request, base.nights, nights), NightStatus::Ok);
    const auto predict = [&](Ephemeris ephemeris, std::size_t& count) {
        std::vector<StarEvent> events;
        const Prediction prediction = PredictEvents(nights, base.star, ephemeris, events);
        count = events.size();
        return prediction;
    };
    struct Case {
        const char* marks;
        Prediction prediction;
    };
    std::size_t count = 0;
    for (const Case& c : {Case{"<", Prediction::PeriodLimit}, Case{">", Prediction::PeriodLimit},
                          Case{"()", Prediction::MeanCycle}, Case{"/N", Prediction::UnknownPart}}) {
        Ephemeris ephemeris = base.ephemeris;
        ephemeris.periodMarks = ReadPeriodMarks(c.marks);
        EXPECT_EQ(predict(ephemeris, count), c.prediction) << c.marks;
        EXPECT_EQ(count, 0u) << c.marks;
    }
    Ephemeris none = base.ephemeris;
    none.epochJd = 0.0;
    EXPECT_EQ(predict(none, count), Prediction::NoEpoch);
    none = base.ephemeris;
    none.periodDays = kShortestPeriodDays / 2.0;
    EXPECT_EQ(predict(none, count), Prediction::NoPeriod);
    none = base.ephemeris;
    none.rule = RuleForType("UGSS");
    EXPECT_EQ(predict(none, count), Prediction::NotPeriodic);
    EXPECT_EQ(count, 0u);

    // Uncertain periods are predicted and marked; so is an uncertain type.
    for (const char* marks : {":", "*", "2"}) {
        Ephemeris ephemeris = base.ephemeris;
        ephemeris.periodMarks = ReadPeriodMarks(marks);
        std::vector<StarEvent> events;
        ASSERT_EQ(PredictEvents(nights, base.star, ephemeris, events), Prediction::Made);
        ASSERT_FALSE(events.empty());
        EXPECT_TRUE(std::all_of(events.begin(), events.end(), [](const StarEvent& e) {
            return e.uncertain;
        })) << marks;
    }
}

TEST(Events, SecondaryMinimaOfAnEaOnlyWhereTheSourceGivesOneAndDurationsPassThrough) {
    EventCase c = Opposition();
    std::vector<PreparedNight> nights;
    ASSERT_EQ(PrepareNights(c.request, c.nights, nights), NightStatus::Ok);
    c.ephemeris.eclipseDurationPercent = 10.0;
    std::vector<StarEvent> withSecondaries;
    PredictEvents(nights, c.star, c.ephemeris, withSecondaries);
    c.ephemeris.secondaryMinimumGiven = false;
    std::vector<StarEvent> primaries;
    PredictEvents(nights, c.star, c.ephemeris, primaries);
    const auto secondaries =
        std::count_if(withSecondaries.begin(), withSecondaries.end(),
                      [](const StarEvent& e) { return e.kind == EventKind::SecondaryMinimum; });
    EXPECT_GT(secondaries, 0);
    EXPECT_EQ(primaries.size() + static_cast<std::size_t>(secondaries), withSecondaries.size());
    ASSERT_FALSE(primaries.empty());
    // 10 % of 0.8765432 days.
    EXPECT_EQ(primaries[0].durationMinutes, 126);
}

TEST(Events, MirasAreNearMaximumWithinATenthOfAPeriod) {
    EventCase c = Opposition();
    const int kNights = 60;
    std::vector<PreparedNight> nights;
    ASSERT_EQ(PrepareNights(c.request, kNights, nights), NightStatus::Ok);
    c.ephemeris.rule = RuleForType("M");
    c.ephemeris.periodDays = 300.0;
    // A maximum at 2026-12-10 00:00 UTC; a tenth of the period is 30 days.
    c.ephemeris.epochJd = 2461384.5;
    c.star = {60.0, 40.0};
    std::vector<StarEvent> events;
    ASSERT_EQ(PredictEvents(nights, c.star, c.ephemeris, events), Prediction::Made);
    ASSERT_FALSE(events.empty());
    for (const StarEvent& event : events) {
        EXPECT_EQ(event.kind, EventKind::NearMaximum);
        EXPECT_LE(std::fabs(event.phase), kNearPhase);
        EXPECT_EQ(event.cycles, 0.0);
    }
    // One a night, from the first night to about 30 days after the maximum
    // (the series begins on 4 December).
    EXPECT_EQ(events.front().night, 0);
    EXPECT_NEAR(events.back().night, 36, 1);
    EXPECT_EQ(static_cast<int>(events.size()), events.back().night + 1);
}

} // namespace
