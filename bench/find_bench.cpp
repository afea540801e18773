// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Finding and sorting on generated columns, measured in the same run as the
// floors and peers that bound them: the sort order by a magnitude against a
// plain pass over the magnitudes, against std::stable_sort of the same
// values and against a search of every star of a generated catalogue of as
// many stars; name and type tests per star against a plain comparison of
// the field.
//
//   find_bench [--stars=N[,N...]] [--dir=DIR] [Google Benchmark options]
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "BenchSetup.h"
#include "LineFormat.h"
#include "NameMatch.h"
#include "SearchCriteria.h"
#include "SortOrder.h"
#include "StarCatalog.h"
#include "TypeMatch.h"

namespace {

constexpr long long kDefaultStars[] = {1'000'000, 10'000'000};
constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();
constexpr unsigned kSeed = 22;
constexpr int kMissingEveryN = 20; // about 5 % of the magnitudes
constexpr int kBrightestHundredths = -150;
constexpr int kFaintestHundredths = 2000;
constexpr double kHundredth = 0.01;
constexpr std::size_t kNameChars = lumara::format::kNameChars;
constexpr std::size_t kTypeChars = lumara::format::kTypeChars;
constexpr int kHighestVNumber = 9999;
constexpr int kVNumberDigits = 4; // as GCVS writes them: V0393

constexpr std::string_view kConstellations[] = {
    "And", "Aql", "Aur", "Boo", "Cas", "Cen", "Cep", "Cet", "Cyg", "Del", "Dra", "Gem",
    "Her", "Hya", "Lac", "Leo", "Lyr", "Oph", "Ori", "Peg", "Per", "Sco", "Sgr", "Tau"};
constexpr std::string_view kLetterNames[] = {"R",  "S",  "T",  "U",  "V",  "W",   "X",  "Y",
                                             "Z",  "RR", "RS", "SS", "SU", "TT",  "UV", "XY",
                                             "AR", "AB", "BL", "CH", "DY", "alf", "del"};
constexpr std::string_view kTypes[] = {
    "M",     "M:",    "SRB",   "SRA",    "SR",   "SRD",   "SRB:",   "LB",   "LC",   "L",
    "EA",    "EA/SD", "EA/DM", "EB/KE",  "EW",   "EW/KW", "EA:",    "E/RS", "RRAB", "RRC",
    "RR(B)", "DCEP",  "DCEPS", "CEP(B)", "CWA",  "BCEP",  "DSCTC",  "HADS", "UGSS", "UGSU+E",
    "UGZ",   "NL",    "NA",    "NB",     "ZAND", "INT",   "IN(YY)", "ISA",  "INSA", "RCB",
    "ELL",   "ROT",   "BY",    "RS",     "GCAS", "ACV",   "UV",     "RV",   "VAR",  "EA/GS+~"};

bool anyFailed = false;

void Fail(benchmark::State& state, const std::string& what) {
    anyFailed = true;
    state.SkipWithError(what.c_str());
}

// Fixed-width text columns as the native lines hold them: right-justified
// names, blank-padded types.
template <std::size_t Width> class FixedColumn {
public:
    void Add(std::string_view text, bool rightJustified) {
        std::array<char, Width> field;
        field.fill(' ');
        const std::size_t at = rightJustified ? Width - text.size() : 0;
        std::copy(text.begin(), text.end(), field.begin() + static_cast<std::ptrdiff_t>(at));
        fields.push_back(field);
    }
    std::string_view operator[](std::size_t i) const { return {fields[i].data(), Width}; }
    std::size_t Size() const { return fields.size(); }

private:
    std::vector<std::array<char, Width>> fields;
};

// The columns of `stars` generated stars, made on first use.
class Columns {
public:
    Columns(long long count, std::string catalogue)
        : stars(static_cast<std::size_t>(count)), path(std::move(catalogue)) {}

    std::size_t Stars() const { return stars; }

    // The generated catalogue of as many stars, loaded on first use; nullptr
    // when it cannot be loaded.
    CStarCatalog* Catalog() {
        if (catalog == nullptr) {
            catalog = std::make_unique<CStarCatalog>();
            if (catalog->LoadCatalog(path.c_str()) != static_cast<std::int32_t>(stars)) {
                catalog.reset();
            }
        }
        return catalog.get();
    }

    const Columns& Made() {
        if (magnitudes.empty()) {
            Make();
        }
        return *this;
    }

    std::vector<double> magnitudes;
    FixedColumn<kNameChars> names;
    FixedColumn<kTypeChars> types;
    std::vector<std::string_view> nameViews;
    std::vector<std::string_view> typeViews;
    std::vector<std::uint16_t> typeIds; // index into kTypes
    std::vector<lumara::FamilyMask> families;

private:
    void Make() {
        std::mt19937 random(kSeed);
        std::uniform_int_distribution<int> hundredths(kBrightestHundredths, kFaintestHundredths);
        std::uniform_int_distribution<int> vNumber(1, kHighestVNumber);
        magnitudes.resize(stars);
        for (std::size_t i = 0; i < stars; ++i) {
            magnitudes[i] =
                random() % kMissingEveryN == 0 ? kNoValue : hundredths(random) * kHundredth;
            const std::string_view constellation =
                kConstellations[random() % std::size(kConstellations)];
            char name[kNameChars + 1];
            if (random() % 2 == 0) {
                std::snprintf(name, sizeof name, "%s %s",
                              kLetterNames[random() % std::size(kLetterNames)].data(),
                              constellation.data());
            } else {
                std::snprintf(name, sizeof name, "V%0*d %s", kVNumberDigits, vNumber(random),
                              constellation.data());
            }
            names.Add(name, true);
            const auto type = static_cast<std::uint16_t>(random() % std::size(kTypes));
            types.Add(kTypes[type], false);
            typeIds.push_back(type);
            families.push_back(lumara::FamiliesOf(kTypes[type]));
        }
        for (std::size_t i = 0; i < stars; ++i) {
            nameViews.push_back(names[i]);
            typeViews.push_back(types[i]);
        }
    }

    std::size_t stars;
    std::string path;
    std::unique_ptr<CStarCatalog> catalog;
};

void PerStar(benchmark::State& state, const Columns& columns) {
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(columns.Stars()));
}

// The search whose results a sort puts in order: every star of the catalogue.
void SearchEvery(benchmark::State& state, Columns& work) {
    CStarCatalog* catalog = work.Catalog();
    if (catalog == nullptr) {
        Fail(state, "cannot load the catalogue");
        return;
    }
    lumara::SearchCriteria everyStar;
    everyStar.useMagnitude = false;
    everyStar.usePeriod = false;
    std::int32_t found = 0;
    for (auto _ : state) {
        found = lumara::SearchWith(*catalog, everyStar);
    }
    if (found != static_cast<std::int32_t>(work.Stars())) {
        Fail(state, "found " + std::to_string(found) + " stars");
    }
    PerStar(state, work);
}

// --- Sorting ------------------------------------------------------------------

// Ascending, values before NaN, ties in catalogue order.
bool InOrder(const std::vector<double>& values, const std::vector<std::uint32_t>& order) {
    for (std::size_t i = 1; i < order.size(); ++i) {
        const double a = values[order[i - 1]];
        const double b = values[order[i]];
        const bool tie = (std::isnan(a) && std::isnan(b)) || a == b;
        if (tie ? order[i - 1] > order[i] : !(std::isnan(b) || a < b)) {
            return false;
        }
    }
    return true;
}

// The floor: one pass that reads every key.
void KeysFloor(benchmark::State& state, Columns& work) {
    const Columns& columns = work.Made();
    std::size_t present = 0;
    for (auto _ : state) {
        present = static_cast<std::size_t>(
            std::count_if(columns.magnitudes.begin(), columns.magnitudes.end(),
                          [](double value) { return !std::isnan(value); }));
        benchmark::DoNotOptimize(present);
    }
    PerStar(state, columns);
}

void SortMagnitudes(benchmark::State& state, Columns& work) {
    const Columns& columns = work.Made();
    std::vector<std::uint32_t> order(columns.Stars());
    const lumara::SortKey keys[] = {
        {lumara::SortKeyKind::Number, columns.magnitudes, {}, lumara::SortDirection::Ascending}};
    for (auto _ : state) {
        if (lumara::SortOrder(keys, order) != lumara::SortStatus::Sorted) {
            Fail(state, "not sorted");
        }
    }
    if (!InOrder(columns.magnitudes, order)) {
        Fail(state, "wrong order");
    }
    PerStar(state, columns);
}

// The peer: a comparison sort of the positions by the same values.
void StableSortMagnitudes(benchmark::State& state, Columns& work) {
    const Columns& columns = work.Made();
    const std::vector<double>& values = columns.magnitudes;
    std::vector<std::uint32_t> order(columns.Stars());
    for (auto _ : state) {
        std::iota(order.begin(), order.end(), 0u);
        std::stable_sort(order.begin(), order.end(), [&values](std::uint32_t a, std::uint32_t b) {
            return !std::isnan(values[a]) && (std::isnan(values[b]) || values[a] < values[b]);
        });
    }
    if (!InOrder(values, order)) {
        Fail(state, "wrong order");
    }
    PerStar(state, columns);
}

void SortBy(benchmark::State& state, Columns& work, bool byTypeThenMagnitude) {
    const Columns& columns = work.Made();
    std::vector<std::uint32_t> order(columns.Stars());
    std::vector<lumara::SortKey> keys;
    if (byTypeThenMagnitude) {
        keys.push_back(
            {lumara::SortKeyKind::Text, {}, columns.typeViews, lumara::SortDirection::Ascending});
        keys.push_back({lumara::SortKeyKind::Number,
                        columns.magnitudes,
                        {},
                        lumara::SortDirection::Descending});
    } else {
        keys.push_back(
            {lumara::SortKeyKind::Text, {}, columns.nameViews, lumara::SortDirection::Ascending});
    }
    for (auto _ : state) {
        if (lumara::SortOrder(keys, order) != lumara::SortStatus::Sorted) {
            Fail(state, "not sorted");
        }
    }
    PerStar(state, columns);
}

// --- Finding ------------------------------------------------------------------

// Runs test(i) on every star per iteration, after prepare() once.
template <typename Prepare, typename Test>
void PerStarTest(benchmark::State& state, const Columns& columns, std::size_t expected,
                 Prepare prepare, Test test) {
    std::size_t found = 0;
    for (auto _ : state) {
        prepare();
        found = 0;
        for (std::size_t i = 0; i < columns.Stars(); ++i) {
            found += test(i) ? 1 : 0;
        }
        benchmark::DoNotOptimize(found);
    }
    if (expected != found) {
        Fail(state, "found " + std::to_string(found) + " of " + std::to_string(expected));
    }
    PerStar(state, columns);
}

template <typename Test>
void PerStarTest(benchmark::State& state, const Columns& columns, std::size_t expected, Test test) {
    PerStarTest(
        state, columns, expected, [] {}, test);
}

std::size_t CountIf(const Columns& columns, bool (*test)(std::string_view name)) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < columns.Stars(); ++i) {
        count += test(columns.names[i]) ? 1 : 0;
    }
    return count;
}

// The floor: the field compared with a fixed text.
void NameFloor(benchmark::State& state, Columns& work) {
    const Columns& columns = work.Made();
    constexpr std::string_view kField = "      R Leo";
    const std::size_t expected =
        CountIf(columns, [](std::string_view name) { return name == kField; });
    PerStarTest(state, columns, expected,
                [&](std::size_t i) { return columns.names[i] == kField; });
}

void NameMatch(benchmark::State& state, Columns& work, const char* text,
               bool (*sameAs)(std::string_view name)) {
    const Columns& columns = work.Made();
    const auto prepared = lumara::NameMatcher::Prepare(text);
    const lumara::NameMatcher& matcher = std::get<lumara::NameMatcher>(prepared);
    PerStarTest(state, columns, CountIf(columns, sameAs),
                [&](std::size_t i) { return matcher.Matches(columns.names[i]); });
}

bool IsRLeo(std::string_view name) {
    return name == "      R Leo";
}

// The generated names write V numbers with four digits.
bool IsV393(std::string_view name) {
    return name == "  V0393 Cyg";
}

constexpr std::string_view kMira = "M       ";

void TypeFloor(benchmark::State& state, Columns& work) {
    const Columns& columns = work.Made();
    const auto expected = static_cast<std::size_t>(
        std::count(columns.typeViews.begin(), columns.typeViews.end(), kMira));
    PerStarTest(state, columns, expected, [&](std::size_t i) { return columns.types[i] == kMira; });
}

lumara::TypeMatcher MirasAndSemiregulars() {
    return std::get<lumara::TypeMatcher>(lumara::TypeMatcher::Parse("M,SR*"));
}

std::size_t MirasAndSemiregularsExpected(const Columns& columns) {
    std::size_t count = 0;
    for (const std::uint16_t id : columns.typeIds) {
        count += kTypes[id].starts_with("M") || kTypes[id].starts_with("SR") ? 1 : 0;
    }
    return count;
}

void TypeMatch(benchmark::State& state, Columns& work) {
    const Columns& columns = work.Made();
    const lumara::TypeMatcher matcher = MirasAndSemiregulars();
    PerStarTest(state, columns, MirasAndSemiregularsExpected(columns),
                [&](std::size_t i) { return matcher.Matches(columns.types[i]); });
}

// As a catalogue that keeps its distinct types once would: each distinct
// type matched once per search, then a look-up per star.
void TypeMatchInterned(benchmark::State& state, Columns& work) {
    const Columns& columns = work.Made();
    const lumara::TypeMatcher matcher = MirasAndSemiregulars();
    std::array<bool, std::size(kTypes)> matched{};
    PerStarTest(
        state, columns, MirasAndSemiregularsExpected(columns),
        [&] {
            for (std::size_t type = 0; type < matched.size(); ++type) {
                matched[type] = matcher.Matches(kTypes[type]);
            }
        },
        [&](std::size_t i) { return matched[columns.typeIds[i]]; });
}

void FamilyMask(benchmark::State& state, Columns& work) {
    const Columns& columns = work.Made();
    constexpr lumara::FamilyMask kMiras = lumara::MaskOf(lumara::Family::Mira);
    const auto expected = static_cast<std::size_t>(
        std::count_if(columns.families.begin(), columns.families.end(),
                      [](lumara::FamilyMask mask) { return (mask & kMiras) != 0; }));
    PerStarTest(state, columns, expected,
                [&](std::size_t i) { return (columns.families[i] & kMiras) != 0; });
}

void Register(Columns& work) {
    const auto add = [&work](const char* name, auto function) {
        lumara::bench::RegisterOn(work, work.Stars(), name, function);
    };
    add("SearchEvery", SearchEvery);
    add("KeysFloor", KeysFloor);
    add("SortMagnitudes", SortMagnitudes);
    add("StableSortMagnitudes", StableSortMagnitudes);
    add("SortNames", [](benchmark::State& s, Columns& c) { SortBy(s, c, false); });
    add("SortTypeThenMagnitude", [](benchmark::State& s, Columns& c) { SortBy(s, c, true); });
    add("NameFloor", NameFloor);
    add("NameMatchRLeo", [](benchmark::State& s, Columns& c) { NameMatch(s, c, "R Leo", IsRLeo); });
    add("NameMatchV393Cyg",
        [](benchmark::State& s, Columns& c) { NameMatch(s, c, "V393 Cyg", IsV393); });
    add("TypeFloor", TypeFloor);
    add("TypeMatch", TypeMatch);
    add("TypeMatchInterned", TypeMatchInterned);
    add("FamilyMask", FamilyMask);
}

} // namespace

int main(int argc, char** argv) {
    lumara::bench::Options options{{std::begin(kDefaultStars), std::end(kDefaultStars)}};
    if (!lumara::bench::TakeOptions(argc, argv, options)) {
        return 2;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 2;
    }
    std::vector<std::unique_ptr<Columns>> columns;
    for (const long long stars : options.stars) {
        std::string catalogue = lumara::bench::MakeCatalogue(options.dir, stars);
        if (catalogue.empty()) {
            return 1;
        }
        columns.push_back(std::make_unique<Columns>(stars, std::move(catalogue)));
        Register(*columns.back());
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return anyFailed ? 1 : 0;
}
