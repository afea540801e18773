// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// How much memory a catalogue costs: the growth of the process's peak
// resident set from before a load to after the load and a search that lists
// every star, next to the bytes of one StarRecord and one ResultNode per star.
// Prints one JSON object.
//
//   peak_memory [--stars=N] [--dir=DIR]
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>

#include "BenchSetup.h"
#include "StarCatalog.h"

namespace {

constexpr long long kDefaultStars = 1'000'000;
constexpr long long kBytesPerKiB = 1024;

// A field of /proc/self/status in bytes, or -1 when it is missing.
long long StatusBytes(std::string_view field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with(field) && line.size() > field.size() && line[field.size()] == ':') {
            return std::stoll(line.substr(field.size() + 1)) * kBytesPerKiB;
        }
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    lumara::bench::Options options{{kDefaultStars}};
    const std::string path =
        lumara::bench::OneCatalogue(argc, argv, options, "peak_memory [--stars=N] [--dir=DIR]");
    if (path.empty()) {
        return 1;
    }
    const long long stars = options.stars.front();

    CStarCatalog catalog;
    const long long before = StatusBytes("VmRSS");
    const std::int32_t loaded = catalog.LoadCatalog(path.c_str());
    const std::int32_t listed = catalog.Search(true, false, false);
    const long long peak = StatusBytes("VmHWM");
    const long long after = StatusBytes("VmRSS");
    if (loaded != stars || listed != stars || before < 0 || peak < 0) {
        std::fprintf(stderr, "%s: loaded %d and listed %d of %lld stars\n", path.c_str(), loaded,
                     listed, stars);
        return 1;
    }
    const long long data = stars * static_cast<long long>(sizeof(StarRecord) + sizeof(ResultNode));
    std::printf("{\"stars\": %lld, \"data_bytes\": %lld, \"rss_before\": %lld, "
                "\"peak_growth\": %lld, \"rss_growth\": %lld, \"ratio\": %.4f}\n",
                stars, data, before, peak - before, after - before,
                static_cast<double>(peak - before) / static_cast<double>(data));
    return 0;
}
