// What the benchmark programs share: their own command-line options and the
// generated catalogues they measure.
#pragma once

#include <string>
#include <vector>

namespace lumara::bench {

struct Options {
    std::vector<long long> stars; // one catalogue per count
    std::string dir;              // generated catalogues and exports go here
};

// Takes --stars=N[,N...] and --dir=DIR out of argv and leaves every other
// argument, in order, for Google Benchmark. Returns false, with a message on
// stderr, for a malformed value.
bool TakeOptions(int& argc, char** argv, Options& options);

// Writes a fresh catalogue of `stars` stars into dir with the
// catalogue generator and returns its path, or an empty string on failure.
// Fresh every run, so a changed generator never leaves a stale file behind.
std::string MakeCatalogue(const std::string& dir, long long stars);

} // namespace lumara::bench
