// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Writes a catalogue of invented variable stars in the fixed-column line
// format, for demonstrations, tests and benchmarks. The same seed and count
// always give the same bytes.
//
//   make_catalogue [--stars N] [--seed S] [--crlf] [--output FILE]
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "LineFormat.h"

namespace {

using namespace lumara::format;

constexpr long long kDefaultStars = 300;
constexpr std::uint64_t kDefaultSeed = 1;
// Every this many stars a heading or a blank line stands between them.
constexpr std::uint64_t kStarsPerInterlude = 40;

// Invented constellations: no sky has them.
constexpr const char* kConstellations[] = {"Xyz", "Qzr", "Wxo", "Jyk", "Zuv",
                                           "Kqx", "Yph", "Xov", "Qel", "Vzb"};
constexpr const char* kTypes[] = {"M",  "EA/SD", "EA",  "EB",   "EW",  "SR",   "SRB",
                                  "LB", "RRAB",  "RRC", "DCEP", "CST", "UGSS", "BY"};
constexpr const char* kWords[] = {"long-period giant",  "eclipsing system",    "no light curve",
                                  "pulsating dwarf",    "red semiregular",     "blue flare star",
                                  "contact binary",     "nova remnant",        "dusty envelope",
                                  "cepheid \"bright\"", "near cluster, faint", "suspected"};
constexpr const char* kHeadings[] = {
    "Catalogue of invented variable stars - demonstration data",
    "RA   Dec    Name        Type      Magnitude     Period   Description",
    "----------------------------------------------------------------------",
    "# Note: these stars exist only in this file.",
};

// splitmix64: small, fast and the same on every platform.
class Random {
public:
    explicit Random(std::uint64_t seed) : state(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    template <typename Bound> int Below(Bound bound) {
        return static_cast<int>(Next() % static_cast<std::uint64_t>(bound));
    }
    bool Chance(int percent) { return Below(100) < percent; }

private:
    std::uint64_t state;
};

void Put(std::string& line, std::size_t column, std::string_view text) {
    line.replace(column, text.size(), text);
}

std::string Formatted(const char* format, auto... values) {
    char text[64];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

std::string StarName(Random& random, const char* constellation) {
    if (random.Chance(60)) {
        return Formatted("V%d %s", 335 + random.Below(9000), constellation);
    }
    const char first = static_cast<char>('R' + random.Below(9));
    const char second = static_cast<char>(first + random.Below('Z' - first + 1));
    return Formatted("%c%c %s", first, second, constellation);
}

// The magnitude range: a maximum, and usually a minimum.
void PutRange(std::string& line, Random& random) {
    const int brightest = 300 + random.Below(1500); // hundredths of a magnitude
    const int amplitude = 10 + random.Below(700);
    if (random.Chance(12)) {
        Put(line, kRangeColumn, "<");
    }
    Put(line, kMaxMagDigitColumns[0], Formatted("%5.2f", brightest / 100.0));
    if (random.Chance(90)) {
        Put(line, kMinMagDigitColumns[0] - 1, "-");
        Put(line, kMinMagDigitColumns[0], Formatted("%5.2f", (brightest + amplitude) / 100.0));
    }
}

// Period: four integer digits, the point or the thousands marker, up to four
// decimals.
void PutPeriod(std::string& line, Random& random) {
    const int decimals = 1 + random.Below(4);
    const int scale[] = {1, 10, 100, 1000, 10000};
    const int fraction = random.Below(scale[decimals]);
    if (random.Chance(3)) {
        Put(line, kPeriodIntegerColumns[0],
            Formatted("%4d%c%0*d", 10 + random.Below(90), kThousandsMarker, decimals, fraction));
        return;
    }
    const int whole = random.Chance(50) ? random.Below(10) : random.Below(2000);
    Put(line, kPeriodIntegerColumns[0], Formatted("%4d.%0*d", whole, decimals, fraction));
}

std::string StarLine(Random& random) {
    std::string line(kStoredLineChars, ' ');
    const char* constellation = kConstellations[random.Below(std::size(kConstellations))];
    Put(line, kRaHoursColumn, Formatted("%02d%02d", random.Below(24), random.Below(60)));
    const int degrees = random.Below(91);
    Put(line, kDecSignColumn, Formatted("%c%02d", random.Chance(50) ? '-' : '+', degrees));
    if (random.Chance(5)) {
        line[kFlagColumn] = static_cast<char>('a' + random.Below(3));
    } else if (random.Chance(3)) {
        line[kFlagColumn] = '\t';
    }
    if (random.Chance(2)) {
        line[kGapColumn] = '\t';
    }
    Put(line, kNameColumn, StarName(random, constellation));
    Put(line, kTypeColumn, kTypes[random.Below(std::size(kTypes))]);

    // About a tenth give no light-curve data, a third magnitudes only.
    const int kind = random.Below(30);
    if (kind >= 3) {
        PutRange(line, random);
    }
    if (kind >= 13) {
        PutPeriod(line, random);
    }
    Put(line, kDescColumn, kWords[random.Below(std::size(kWords))]);
    // Many catalogue files do not keep the trailing blanks.
    if (random.Chance(50)) {
        line.erase(line.find_last_not_of(' ') + 1);
    }
    return line;
}

int Usage() {
    std::fputs("usage: make_catalogue [--stars N] [--seed S] [--crlf] [--output FILE]\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    long long stars = kDefaultStars;
    std::uint64_t seed = kDefaultSeed;
    const char* lineEnd = "\n";
    const char* outputPath = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        const bool hasValue = i + 1 < argc;
        if (option == "--stars" && hasValue) {
            stars = std::atoll(argv[++i]);
        } else if (option == "--seed" && hasValue) {
            seed = std::strtoull(argv[++i], nullptr, 10);
        } else if (option == "--crlf") {
            lineEnd = "\r\n";
        } else if (option == "--output" && hasValue) {
            outputPath = argv[++i];
        } else {
            return Usage();
        }
    }
    if (stars < 0) {
        return Usage();
    }

    std::FILE* out = outputPath != nullptr ? std::fopen(outputPath, "wb") : stdout;
    if (out == nullptr) {
        std::perror(outputPath);
        return 1;
    }
    Random random(seed);
    for (const char* heading : kHeadings) {
        std::fprintf(out, "%s%s", heading, lineEnd);
    }
    for (long long i = 0; i < stars; ++i) {
        if (i > 0 && i % kStarsPerInterlude == 0) {
            std::fprintf(out, "%s%s", random.Chance(50) ? "" : kHeadings[3], lineEnd);
        }
        std::fprintf(out, "%s%s", StarLine(random).c_str(), lineEnd);
    }
    const bool written = std::fflush(out) == 0 && std::ferror(out) == 0;
    if ((out != stdout && std::fclose(out) != 0) || !written) {
        std::perror(outputPath != nullptr ? outputPath : "output");
        return 1;
    }
    return 0;
}
