// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What the benchmark programs share: their own command-line options and the
// generated catalogues they measure.
#pragma once

#include <string>
#include <vector>

#include <benchmark/benchmark.h>

namespace lumara::bench {

inline constexpr const char* kDefaultDir = "/tmp/lumara-bench";

struct Options {
    std::vector<long long> stars;  // one catalogue per count
    std::string dir = kDefaultDir; // generated catalogues and exports go here
    int rounds = 0;                // of a measurement timed by hand
};

// Takes --stars=N[,N...], --dir=DIR and --rounds=R out of argv and leaves
// every other argument, in order, for Google Benchmark or Qt. Returns false,
// with a message on stderr, for a malformed value.
bool TakeOptions(int& argc, char** argv, Options& options);

// For a program that measures one catalogue: takes the options, which must
// leave nothing else and name one count, and generates the catalogue.
// Returns its path, or an empty string after a message on stderr.
std::string OneCatalogue(int& argc, char** argv, Options& options, const char* usage);

// Writes a fresh catalogue of `stars` stars into dir with the
// catalogue generator and returns its path, or an empty string on failure.
// Fresh every run, so a changed generator never leaves a stale file behind.
// `format` is the generator's: native, gcvs or vsx.
std::string MakeCatalogue(const std::string& dir, long long stars, const char* format = "native");

// Registers `function(state, work)` as "NAME/STARS", in milliseconds of
// wall-clock time: the measured operations use both cores.
template <typename Work, typename Function>
void RegisterOn(Work& work, long long stars, const char* name, Function function) {
    Work* measured = &work;
    const std::string named = std::string(name).append("/").append(std::to_string(stars));
    benchmark::RegisterBenchmark(
        named.c_str(),
        [measured, function](benchmark::State& state) { function(state, *measured); })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
}

} // namespace lumara::bench
