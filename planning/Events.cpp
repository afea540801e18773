// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "PlanEvents.h"

#include <erfa.h>
#include <erfam.h>

#include <algorithm>
#include <cmath>

#include "ErfaCalls.h"
#include "StarSky.h"
#include "Zones.h"

namespace lumara::plan {

namespace {

// The light-time correction stays within 8.4 minutes and TT - UTC within a
// few minutes over the planner's years: an event this far outside a night
// in the epoch's time cannot fall inside it in UTC.
constexpr double kLightTimeMarginS = 900.0;
// Half a minute either side of a shown minute rounds to it.
constexpr double kHalfMinuteS = kSecondsPerMinute / 2.0;
constexpr double kPercent = 100.0;
constexpr double kMinutesPerDay = kSecondsPerDay / kSecondsPerMinute;

// A star's ephemeris in POSIX seconds of the epoch's own time scale.
struct Clock {
    double epoch;  // seconds
    double period; // seconds
    double step;   // between successive events: the period, or half of it with secondaries
    bool secondaries;
    bool barycentric;
};

// Turns the star's time into UTC at the Earth's centre on one night: its
// time t_star = t_utc + offset + (delay at the middle + rate * (t_utc - middle)).
struct NightClock {
    double middle;
    double offset; // TT - UTC for a barycentric epoch, else 0
    double delayAtMiddle;
    double rate; // seconds of delay per second
    double ToUtc(double starTime) const {
        return (starTime - offset - delayAtMiddle + rate * middle) / (1.0 + rate);
    }
    double ToStar(double utc) const { return utc + offset + delayAtMiddle + rate * (utc - middle); }
};

NightClock ClockOn(const PreparedNight& night, const StarSky& sky, bool barycentric) {
    const double(&earth)[2][3] = barycentric ? night.earthBarycentric : night.earthHeliocentric;
    // The Earth ahead of the Sun toward the star sees its light first.
    double position[3] = {earth[0][0], earth[0][1], earth[0][2]};
    double velocity[3] = {earth[1][0], earth[1][1], earth[1][2]};
    double direction[3] = {sky.direction[0], sky.direction[1], sky.direction[2]};
    return {night.middleSeconds, barycentric ? night.ttMinusUtcSeconds : 0.0,
            eraPdp(position, direction) * ERFA_AULT,
            eraPdp(velocity, direction) * ERFA_AULT / kSecondsPerDay};
}

struct Collector {
    std::span<const PreparedNight> nights;
    const StarSky& sky;
    const Ephemeris& ephemeris;
    const Clock& clock;
    std::vector<StarEvent>& events;

    void Emit(StarEvent event) {
        // A night dark throughout ends where the next begins: one minute
        // shown on both.
        if (!events.empty() && events.back().at == event.at &&
            events.back().cycles == event.cycles) {
            return;
        }
        event.uncertain = ephemeris.periodMarks.uncertain || ephemeris.rule.uncertain;
        events.push_back(event);
    }

    // Exact events: each half or whole cycle whose instant, as shown, lies
    // within the stretch.
    void Exact(int index, const NightClock& on, const ShownStretch& stretch) {
        const double first =
            on.ToStar(static_cast<double>(stretch.from) * kSecondsPerMinute - kHalfMinuteS);
        const double last =
            on.ToStar(static_cast<double>(stretch.to) * kSecondsPerMinute + kHalfMinuteS);
        const double lo = std::ceil((first - clock.epoch) / clock.step);
        const double hi = std::floor((last - clock.epoch) / clock.step);
        // With secondaries every other step is one.
        bool secondary = clock.secondaries && (RoundToWhole(lo) & 1) != 0;
        for (double h = lo; h <= hi; h += 1.0, secondary = clock.secondaries && !secondary) {
            const double cycles = clock.secondaries ? h / 2.0 : h;
            const PosixMinute at = RoundToMinute(on.ToUtc(clock.epoch + h * clock.step));
            if (at < stretch.from || at > stretch.to) {
                continue;
            }
            StarEvent event;
            event.kind = secondary
                             ? EventKind::SecondaryMinimum
                             : (ephemeris.rule.minimum ? EventKind::Minimum : EventKind::Maximum);
            event.night = index;
            event.at = at;
            event.cycles = cycles;
            if (ephemeris.rule.minimum && ephemeris.eclipseDurationPercent > 0.0) {
                event.durationMinutes = static_cast<std::int32_t>(
                    std::lround(ephemeris.eclipseDurationPercent / kPercent * ephemeris.periodDays *
                                kMinutesPerDay));
            }
            Emit(event);
        }
    }

    // A phase window: the moment of the stretch nearest the extreme, when
    // it lies within kNearPhase of it. True when one was found.
    bool Near(int index, const NightClock& on, const ShownStretch& stretch) {
        const double from = static_cast<double>(stretch.from) * kSecondsPerMinute;
        const double to = static_cast<double>(stretch.to) * kSecondsPerMinute;
        const double middle = on.ToStar(0.5 * (from + to));
        const double cycles = std::nearbyint((middle - clock.epoch) / clock.period);
        const double extreme = on.ToUtc(clock.epoch + cycles * clock.period);
        const double at = std::clamp(extreme, from, to);
        const double phase = (on.ToStar(at) - clock.epoch) / clock.period - cycles;
        if (std::fabs(phase) > kNearPhase) {
            return false;
        }
        StarEvent event;
        event.kind = ephemeris.rule.minimum ? EventKind::NearMinimum : EventKind::NearMaximum;
        event.night = index;
        event.at = RoundToMinute(at);
        event.cycles = cycles;
        event.phase = phase;
        Emit(event);
        return true;
    }

    void Night(int index) {
        const PreparedNight& night = nights[static_cast<std::size_t>(index)];
        const StretchesUp up = StretchesUpInDark(night, sky, TransitNearMiddle(night, sky));
        if (up.count == 0) {
            return;
        }
        const NightClock on = ClockOn(night, sky, clock.barycentric);
        for (int i = 0; i < up.count; ++i) {
            if (ephemeris.rule.exact) {
                Exact(index, on, up.stretches[i]);
            } else if (Near(index, on, up.stretches[i])) {
                return; // one a night
            }
        }
    }
};

Clock ClockOf(const Ephemeris& ephemeris) {
    Clock clock{};
    clock.epoch = (ephemeris.epochJd - kPosixEpochJd) * kSecondsPerDay;
    clock.period = ephemeris.periodDays * kSecondsPerDay;
    const SecondaryMinima secondary = ephemeris.rule.secondary;
    clock.secondaries = secondary == SecondaryMinima::Always ||
                        (secondary == SecondaryMinima::IfGiven && ephemeris.secondaryMinimumGiven);
    clock.step = clock.secondaries ? clock.period / 2.0 : clock.period;
    clock.barycentric = ephemeris.scale == EpochScale::BjdTdb;
    return clock;
}

// Events more than a day apart: only the nights that can hold one are
// visited, found from the events' instants in the series.
void VisitNightsOfEvents(Collector& collector) {
    const auto& nights = collector.nights;
    const Clock& clock = collector.clock;
    const int count = static_cast<int>(nights.size());
    const double first = nights.front().startSeconds - kLightTimeMarginS;
    const double last = nights.back().endSeconds + kLightTimeMarginS;
    const double lo = std::ceil((first - clock.epoch) / clock.step);
    const double hi = std::floor((last - clock.epoch) / clock.step);
    int night = 0;
    int visitedUpTo = 0;
    for (double h = lo; h <= hi; h += 1.0) {
        const double at = clock.epoch + h * clock.step;
        while (night < count &&
               nights[static_cast<std::size_t>(night)].endSeconds < at - kLightTimeMarginS) {
            ++night;
        }
        for (int k = std::max(night, visitedUpTo);
             k < count &&
             nights[static_cast<std::size_t>(k)].startSeconds <= at + kLightTimeMarginS;
             ++k) {
            collector.Night(k);
            visitedUpTo = k + 1;
        }
    }
}

} // namespace

Prediction Predictability(const Ephemeris& ephemeris) {
    if (!(ephemeris.epochJd >= kEarliestEpochJd && ephemeris.epochJd <= kLatestEpochJd)) {
        return Prediction::NoEpoch;
    }
    if (!(ephemeris.periodDays >= kShortestPeriodDays) || !std::isfinite(ephemeris.periodDays)) {
        return Prediction::NoPeriod;
    }
    if (ephemeris.periodMarks.limit) {
        return Prediction::PeriodLimit;
    }
    if (ephemeris.periodMarks.meanCycle) {
        return Prediction::MeanCycle;
    }
    if (ephemeris.periodMarks.unknownPart) {
        return Prediction::UnknownPart;
    }
    if (!ephemeris.rule.predicted) {
        return Prediction::NotPeriodic;
    }
    return Prediction::Made;
}

NightStatus PrepareNights(const NightRequest& first, int count,
                          std::vector<PreparedNight>& nights) {
    if (count < 1 || count > kMostNights) {
        return NightStatus::BadLimits;
    }
    std::vector<PreparedNight> prepared(static_cast<std::size_t>(count));
    NightRequest request = first;
    for (PreparedNight& night : prepared) {
        const NightStatus status = PrepareNight(request, night);
        if (status != NightStatus::Ok) {
            return status;
        }
        request.date = DayAfter(request.date);
    }
    nights = std::move(prepared);
    return NightStatus::Ok;
}

Prediction PredictEvents(std::span<const PreparedNight> nights, const StarPlace& star,
                         const Ephemeris& ephemeris, std::vector<StarEvent>& events) {
    const Prediction prediction = Predictability(ephemeris);
    if (prediction != Prediction::Made || nights.empty()) {
        return prediction;
    }
    // One place for the whole series, from its middle night: over the most
    // nights a series holds the place moves by seconds of arc.
    const StarSky sky = SkyOf(nights[nights.size() / 2], star);
    if (sky.reach == Reach::Never) {
        return prediction;
    }
    const Clock clock = ClockOf(ephemeris);
    Collector collector{nights, sky, ephemeris, clock, events};
    if (ephemeris.rule.exact && clock.step >= kSecondsPerDay) {
        VisitNightsOfEvents(collector);
    } else {
        for (int k = 0; k < static_cast<int>(nights.size()); ++k) {
            collector.Night(k);
        }
    }
    return prediction;
}

} // namespace lumara::plan
