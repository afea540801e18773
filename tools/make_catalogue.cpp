// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Writes a catalogue of invented variable stars in the fixed-column line
// format, or in the GCVS 5.1 or VSX layout, for demonstrations, tests and
// benchmarks. The same seed, count and format always give the same bytes.
//
//   make_catalogue [--stars N] [--seed S] [--crlf] [--format native|gcvs|vsx]
//                  [--output FILE]
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

// The published layouts count bytes from 1.
void PutAt(std::string& line, std::size_t byte, std::string_view text) {
    line.replace(byte - 1, text.size(), text);
}

constexpr std::size_t kGcvsSeparators[] = {8,   20,  41,  52,  62,  75,  88,  91,  104, 110, 131,
                                           137, 155, 167, 179, 193, 202, 204, 214, 225, 236};
constexpr std::size_t kGcvsBytes = 236;
constexpr std::size_t kVsxBytes = 158;
constexpr int kConstellationCount = 88;
// Types longer than the native line keeps, as both catalogues have them.
constexpr const char* kLongTypes[] = {"EA/GS+ELL", "EA+GDOR+BY", "ROT|ELL|BY", "UGSU+E+ZZ"};
constexpr const char* kSpectra[] = {"M5e-M8e", "A5-F5",       "G2V", "K0III",
                                    "B5:III",  "M1-M2Ia-Ibe", ""};
constexpr const char* kPassbands[] = {"V", "p", "B", "CV", "Hp", "g", "TESS"};
constexpr const char* kSurveys[] = {"ASASSN-V J", "ZTF J", "CSS_J", "2MASS J"};

// A magnitude with one to three decimals, in thousandths.
std::string Magnitude(int thousandths, int decimals) {
    const int scale[] = {1, 100, 10, 1};
    return Formatted("%6.*f", decimals, (thousandths / scale[decimals]) * scale[decimals] / 1000.0);
}

// Where a layout keeps its magnitudes, bytes counted from 1.
struct MagnitudeBytes {
    std::size_t maxLimit, max, amplitude, minLimit, min, close;
};

// A maximum, then an amplitude in brackets, a minimum (now and then a limit)
// or nothing.
void PutMagnitudes(std::string& line, Random& random, const MagnitudeBytes& at, int brightest,
                   int maxDecimals, int minDecimals) {
    if (random.Chance(5)) {
        PutAt(line, at.maxLimit, "<");
    }
    PutAt(line, at.max, Magnitude(brightest, maxDecimals));
    const int kind = random.Below(10);
    if (kind < 2) {
        PutAt(line, at.amplitude, "(");
        PutAt(line, at.min, Magnitude(50 + random.Below(2000), minDecimals));
        PutAt(line, at.close, ")");
    } else if (kind < 9) {
        PutAt(line, at.minLimit, random.Chance(10) ? "<" : " ");
        PutAt(line, at.min, Magnitude(brightest + 100 + random.Below(6000), minDecimals));
    }
}

std::string GcvsLine(Random& random, long long number) {
    std::string line(kGcvsBytes, ' ');
    for (const std::size_t separator : kGcvsSeparators) {
        line[separator - 1] = '|';
    }
    const char* constellation = kConstellations[random.Below(std::size(kConstellations))];
    PutAt(line, 1,
          Formatted("%02d%04d", 1 + static_cast<int>(number % kConstellationCount),
                    static_cast<int>(number / kConstellationCount % 10000)));
    PutAt(line, 9, StarName(random, constellation));
    PutAt(line, 21,
          Formatted("%02d%02d%05.2f", random.Below(24), random.Below(60),
                    random.Below(6000) / 100.0));
    PutAt(line, 31,
          Formatted("%c%02d%02d%04.1f", random.Chance(50) ? '-' : '+', random.Below(90),
                    random.Below(60), random.Below(600) / 10.0));
    PutAt(line, 42,
          random.Chance(5) ? kLongTypes[random.Below(std::size(kLongTypes))]
                           : kTypes[random.Below(std::size(kTypes))]);
    const int brightest = random.Below(18000) - 1000; // thousandths, a few below 0
    PutMagnitudes(line, random, {53, 54, 63, 63, 65, 74}, brightest, 1 + random.Below(3),
                  1 + random.Below(3));
    if (random.Chance(10)) {
        PutAt(line, 71, ":");
    }
    PutAt(line, 89, random.Chance(70) ? "V" : "p");
    if (random.Chance(70)) {
        const double period =
            random.Chance(3) ? 10000.0 + random.Below(90000) : random.Below(100000000) / 100000.0;
        PutAt(line, 112, Formatted("%.*f", random.Below(8), period));
    }
    PutAt(line, 138, kSpectra[random.Below(std::size(kSpectra))]);
    return line;
}

std::string VsxName(Random& random, double ra, double dec) {
    if (random.Chance(40)) {
        return StarName(random, kConstellations[random.Below(std::size(kConstellations))]);
    }
    const double hours = ra / 15.0;
    const double degrees = dec < 0 ? -dec : dec;
    return Formatted("%s%02d%02d%05.2f%c%02d%02d%04.1f",
                     kSurveys[random.Below(std::size(kSurveys))], static_cast<int>(hours),
                     static_cast<int>(hours * 60) % 60,
                     static_cast<int>(hours * 360000) % 6000 / 100.0, dec < 0 ? '-' : '+',
                     static_cast<int>(degrees), static_cast<int>(degrees * 60) % 60,
                     static_cast<int>(degrees * 36000) % 600 / 10.0);
}

std::string VsxLine(Random& random, long long number) {
    std::string line(kVsxBytes, ' ');
    const double ra = random.Below(36000000) / 100000.0;
    const double dec = (random.Below(18000000) - 9000000) / 100000.0;
    PutAt(line, 1, Formatted("%7lld", number + 1));
    PutAt(line, 9, VsxName(random, ra, dec));
    PutAt(line, 40, Formatted("%d", random.Chance(90) ? 0 : 1 + random.Below(3)));
    PutAt(line, 42, Formatted("%9.5f", ra));
    PutAt(line, 52, Formatted("%9.5f", dec));
    PutAt(line, 62,
          random.Chance(5) ? kLongTypes[random.Below(std::size(kLongTypes))]
                           : kTypes[random.Below(std::size(kTypes))]);
    const char* band = kPassbands[random.Below(std::size(kPassbands))];
    const int brightest = random.Below(20000);
    PutMagnitudes(line, random, {94, 95, 109, 110, 111, 117}, brightest, 3, 3);
    PutAt(line, 102, band);
    PutAt(line, 118, band);
    if (random.Chance(80)) {
        PutAt(line, 125, Formatted("%12.4f", 2450000.0 + random.Below(100000000) / 10000.0));
        const double period =
            random.Chance(2) ? 10000.0 + random.Below(90000) : random.Below(1000000000) / 100000.0;
        PutAt(line, 140, Formatted("%16.10f", period));
    }
    if (random.Chance(5)) {
        PutAt(line, 156, ":");
    }
    return line;
}

void WriteNative(std::FILE* out, Random& random, long long stars, const char* lineEnd) {
    for (const char* heading : kHeadings) {
        std::fprintf(out, "%s%s", heading, lineEnd);
    }
    for (long long i = 0; i < stars; ++i) {
        if (i > 0 && i % kStarsPerInterlude == 0) {
            std::fprintf(out, "%s%s", random.Chance(50) ? "" : kHeadings[3], lineEnd);
        }
        std::fprintf(out, "%s%s", StarLine(random).c_str(), lineEnd);
    }
}

int Usage() {
    std::fputs("usage: make_catalogue [--stars N] [--seed S] [--crlf] [--format native|gcvs|vsx]"
               " [--output FILE]\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    long long stars = kDefaultStars;
    std::uint64_t seed = kDefaultSeed;
    const char* lineEnd = "\n";
    const char* outputPath = nullptr;
    std::string_view format = "native";
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        const bool hasValue = i + 1 < argc;
        if (option == "--stars" && hasValue) {
            stars = std::atoll(argv[++i]);
        } else if (option == "--seed" && hasValue) {
            seed = std::strtoull(argv[++i], nullptr, 10);
        } else if (option == "--crlf") {
            lineEnd = "\r\n";
        } else if (option == "--format" && hasValue) {
            format = argv[++i];
        } else if (option == "--output" && hasValue) {
            outputPath = argv[++i];
        } else {
            return Usage();
        }
    }
    const bool native = format == "native";
    std::string (*published)(Random&, long long) = format == "gcvs" ? GcvsLine : VsxLine;
    if (stars < 0 || !(native || format == "gcvs" || format == "vsx")) {
        return Usage();
    }

    std::FILE* out = outputPath != nullptr ? std::fopen(outputPath, "wb") : stdout;
    if (out == nullptr) {
        std::perror(outputPath);
        return 1;
    }
    Random random(seed);
    if (native) {
        WriteNative(out, random, stars, lineEnd);
    }
    // The published catalogues have neither headings nor notes.
    for (long long i = 0; !native && i < stars; ++i) {
        std::fprintf(out, "%s%s", published(random, i).c_str(), lineEnd);
    }
    const bool written = std::fflush(out) == 0 && std::ferror(out) == 0;
    if ((out != stdout && std::fclose(out) != 0) || !written) {
        std::perror(outputPath != nullptr ? outputPath : "output");
        return 1;
    }
    return 0;
}
