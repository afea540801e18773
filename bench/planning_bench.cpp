// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The planner's cost: preparing a night, and the tonight computation for
// every star of a catalogue's worth of random positions, on the calling
// thread alone and with one helper, as the catalogue will call it. The floor
// beside it reads the same positions and does nothing with them. Then the
// events of variable stars over 30 nights beside the tonight computation of
// the same stars: once with the types, epochs and periods the generated VSX
// catalogue has (tools/make_catalogue.cpp: periods spread evenly up to
// 10 000 days), once with short-period stars only.
//
//   planning_bench [--stars=N[,N...]] [Google Benchmark options]
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "BenchSetup.h"
#include "PlanEvents.h"
#include "PlanNight.h"
#include "PlanStar.h"

using namespace lumara::plan;

namespace {

constexpr long long kDefaultStars[] = {1000000, 10000000};
constexpr std::uint64_t kSeed = 20261208;
constexpr int kEventNights = 30;
// Ephemerides cost memory; larger counts measure the tonight computation only.
constexpr long long kMostEventStars = 1000000;

// The generated VSX catalogue's types, long ones included.
constexpr const char* kVsxTypes[] = {
    "M",   "EA/SD", "EA",  "EB",   "EW", "SR",        "SRB",        "LB",         "RRAB",
    "RRC", "DCEP",  "CST", "UGSS", "BY", "EA/GS+ELL", "EA+GDOR+BY", "ROT|ELL|BY", "UGSU+E+ZZ"};
constexpr const char* kShortPeriodTypes[] = {"EA", "EB", "EW", "RRAB", "RRC", "DSCT"};

enum class Mix { Vsx, ShortPeriods };

struct VariableStar {
    StarPlace place;
    Ephemeris ephemeris;
};

NightRequest AmsterdamInDecember() {
    NightRequest request;
    request.site = {52.37, 4.90, 0.0};
    request.zone = "Europe/Amsterdam";
    request.date = {2026, 12, 8};
    return request;
}

// Uniform over the sky, the same every run.
const std::vector<StarPlace>& Positions(long long count) {
    static std::map<long long, std::vector<StarPlace>> cache;
    std::vector<StarPlace>& stars = cache[count];
    if (stars.empty()) {
        std::mt19937_64 random(kSeed);
        std::uniform_real_distribution<double> ra(0.0, 360.0);
        std::uniform_real_distribution<double> sinDec(-1.0, 1.0);
        stars.resize(static_cast<std::size_t>(count));
        for (StarPlace& star : stars) {
            star = {ra(random), std::asin(sinDec(random)) * 180.0 / M_PI};
        }
    }
    return stars;
}

// Every one with an epoch and a period, its type decoded once as the
// catalogue keeps it.
const std::vector<VariableStar>& Variables(long long count, Mix mix) {
    static std::map<std::pair<long long, Mix>, std::vector<VariableStar>> cache;
    std::vector<VariableStar>& stars = cache[{count, mix}];
    if (stars.empty()) {
        std::mt19937_64 random(kSeed + static_cast<std::uint64_t>(mix));
        std::uniform_real_distribution<double> unit(0.0, 1.0);
        const std::vector<StarPlace>& places = Positions(count);
        stars.resize(static_cast<std::size_t>(count));
        for (std::size_t i = 0; i < stars.size(); ++i) {
            VariableStar& star = stars[i];
            star.place = places[i];
            star.ephemeris.epochJd = 2450000.0 + 10000.0 * unit(random);
            if (mix == Mix::Vsx) {
                star.ephemeris.rule = RuleForType(kVsxTypes[random() % std::size(kVsxTypes)]);
                star.ephemeris.periodDays =
                    unit(random) < 0.02 ? 10000.0 + 90000.0 * unit(random) : 10000.0 * unit(random);
            } else {
                star.ephemeris.rule =
                    RuleForType(kShortPeriodTypes[random() % std::size(kShortPeriodTypes)]);
                star.ephemeris.periodDays = 0.05 + 1.95 * unit(random);
            }
            star.ephemeris.secondaryMinimumGiven = unit(random) < 0.5;
        }
    }
    return stars;
}

const std::vector<PreparedNight>& Nights() {
    static const std::vector<PreparedNight> nights = [] {
        std::vector<PreparedNight> prepared;
        if (PrepareNights(AmsterdamInDecember(), kEventNights, prepared) != NightStatus::Ok) {
            std::fprintf(stderr, "the benchmark nights do not prepare\n");
        }
        return prepared;
    }();
    return nights;
}

const PreparedNight& Night() {
    static const PreparedNight night = [] {
        PreparedNight prepared;
        if (PrepareNight(AmsterdamInDecember(), prepared) != NightStatus::Ok) {
            std::fprintf(stderr, "the benchmark night does not prepare\n");
        }
        return prepared;
    }();
    return night;
}

// Runs `work(first, last)` over the stars on the calling thread, or split in
// two halves with one helper thread, and adds up what it returns.
template <typename Work> std::int64_t Split(std::size_t count, int threads, Work work) {
    if (threads == 1) {
        return work(0, count);
    }
    std::int64_t helped = 0;
    std::thread helper([&] { helped = work(count / 2, count); });
    const std::int64_t own = work(0, count / 2);
    helper.join();
    return own + helped;
}

void PerStar(benchmark::State& state, std::size_t count) {
    state.counters["ns_per_star"] = benchmark::Counter(
        static_cast<double>(count),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void PrepareNightAlone(benchmark::State& state) {
    const NightRequest request = AmsterdamInDecember();
    for (auto _ : state) {
        PreparedNight night;
        benchmark::DoNotOptimize(PrepareNight(request, night));
        benchmark::DoNotOptimize(night.darkFrom);
    }
}

void PositionsFloor(benchmark::State& state, long long count, int threads) {
    const std::vector<StarPlace>& stars = Positions(count);
    for (auto _ : state) {
        const std::int64_t sum =
            Split(stars.size(), threads, [&](std::size_t first, std::size_t last) {
                double total = 0.0;
                for (std::size_t i = first; i < last; ++i) {
                    total += stars[i].raDeg + stars[i].decDeg;
                }
                return static_cast<std::int64_t>(total);
            });
        benchmark::DoNotOptimize(sum);
    }
    PerStar(state, stars.size());
}

void Tonight(benchmark::State& state, long long count, int threads) {
    const std::vector<StarPlace>& stars = Positions(count);
    const PreparedNight& night = Night();
    const std::int32_t minMinutes = MinimumMinutes(kDefaultMinHours);
    std::int64_t observable = 0;
    for (auto _ : state) {
        observable = Split(stars.size(), threads, [&](std::size_t first, std::size_t last) {
            std::int64_t found = 0;
            for (std::size_t i = first; i < last; ++i) {
                found += IsObservable(ObserveStar(night, stars[i]), minMinutes) ? 1 : 0;
            }
            return found;
        });
    }
    state.counters["observable"] = static_cast<double>(observable) / static_cast<double>(count);
    PerStar(state, stars.size());
}

void PrepareThirtyNights(benchmark::State& state) {
    const NightRequest request = AmsterdamInDecember();
    for (auto _ : state) {
        std::vector<PreparedNight> nights;
        benchmark::DoNotOptimize(PrepareNights(request, kEventNights, nights));
    }
}

void TonightOfVariables(benchmark::State& state, long long count, Mix mix, int threads) {
    const std::vector<VariableStar>& stars = Variables(count, mix);
    const PreparedNight& night = Night();
    const std::int32_t minMinutes = MinimumMinutes(kDefaultMinHours);
    for (auto _ : state) {
        const std::int64_t observable =
            Split(stars.size(), threads, [&](std::size_t first, std::size_t last) {
                std::int64_t found = 0;
                for (std::size_t i = first; i < last; ++i) {
                    found += IsObservable(ObserveStar(night, stars[i].place), minMinutes) ? 1 : 0;
                }
                return found;
            });
        benchmark::DoNotOptimize(observable);
    }
    PerStar(state, stars.size());
}

void EventsOverNights(benchmark::State& state, long long count, Mix mix, int threads) {
    const std::vector<VariableStar>& stars = Variables(count, mix);
    const std::vector<PreparedNight>& nights = Nights();
    std::int64_t found = 0;
    for (auto _ : state) {
        found = Split(stars.size(), threads, [&](std::size_t first, std::size_t last) {
            std::vector<StarEvent> events;
            std::int64_t total = 0;
            for (std::size_t i = first; i < last; ++i) {
                events.clear();
                PredictEvents(nights, stars[i].place, stars[i].ephemeris, events);
                total += static_cast<std::int64_t>(events.size());
            }
            return total;
        });
    }
    state.counters["events_per_star"] = static_cast<double>(found) / static_cast<double>(count);
    PerStar(state, stars.size());
}

void RegisterEvents(long long count) {
    const std::string stars = std::to_string(count);
    for (Mix mix : {Mix::Vsx, Mix::ShortPeriods}) {
        const std::string kind = mix == Mix::Vsx ? "Vsx" : "ShortPeriods";
        for (int threads : {1, 2}) {
            const std::string suffix = kind + "/" + stars + "/threads:" + std::to_string(threads);
            benchmark::RegisterBenchmark(("TonightOf" + suffix).c_str(),
                                         [count, mix, threads](benchmark::State& state) {
                                             TonightOfVariables(state, count, mix, threads);
                                         })
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
            benchmark::RegisterBenchmark(("Events30NightsOf" + suffix).c_str(),
                                         [count, mix, threads](benchmark::State& state) {
                                             EventsOverNights(state, count, mix, threads);
                                         })
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
        }
    }
}

void Register(long long count) {
    const std::string stars = std::to_string(count);
    for (int threads : {1, 2}) {
        const std::string suffix = "/" + stars + "/threads:" + std::to_string(threads);
        benchmark::RegisterBenchmark(
            ("PositionsFloor" + suffix).c_str(),
            [count, threads](benchmark::State& state) { PositionsFloor(state, count, threads); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(
            ("Tonight" + suffix).c_str(),
            [count, threads](benchmark::State& state) { Tonight(state, count, threads); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
}

} // namespace

int main(int argc, char** argv) {
    lumara::bench::Options options;
    if (!lumara::bench::TakeOptions(argc, argv, options)) {
        return 2;
    }
    if (options.stars.empty()) {
        options.stars.assign(std::begin(kDefaultStars), std::end(kDefaultStars));
    }
    benchmark::RegisterBenchmark("PrepareNight", PrepareNightAlone)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Prepare30Nights", PrepareThirtyNights)
        ->Unit(benchmark::kMillisecond);
    for (long long count : options.stars) {
        Register(count);
        if (count <= kMostEventStars) {
            RegisterEvents(count);
        }
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 2;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
