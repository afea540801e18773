// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>

#include <gtest/gtest.h>

#include "RunLumara.h"
#include "SearchCriteria.h"
#include "StarCatalog.h"
#include "TestFiles.h"

namespace {

using lumara::SearchCriteria;
using namespace lumara::test;

SearchCriteria With(void (*change)(SearchCriteria&)) {
    SearchCriteria criteria = Unlimited();
    change(criteria);
    return criteria;
}

struct SearchCase {
    const char* what;
    std::vector<std::string> options;
    SearchCriteria criteria;
};

// The options of each case and the criteria the window would search with.
const std::vector<SearchCase>& SearchCases() {
    static const std::vector<SearchCase> cases = {
        {"no criteria", {}, Unlimited()},
        {"R.A. wrapping through 0h", {"--ra", "22..2"}, With([](SearchCriteria& c) {
             c.raWest = 22, c.raEast = 2;
         })},
        {"one hour and a band", {"--ra", "5..5", "--dec", "-10..30"}, With([](SearchCriteria& c) {
             c.raWest = 5, c.raEast = 5, c.decSouth = -10, c.decNorth = 30;
         })},
        {"--max-mag alone keeps the window's Min <",
         {"--max-mag", "9"},
         With([](SearchCriteria& c) { c.useMagnitude = true, c.magMax = 9.0f; })},
        {"--min-mag alone leaves Max > open", {"--min-mag", "10.5"}, With([](SearchCriteria& c) {
             c.useMagnitude = true, c.magMin = 10.5f, c.magMax = lumara::kHighestMagnitudeLimit;
         })},
        {"signed ends and an open one",
         {"--dec", "-10..+10", "--ra", "+3..+9", "--period", "+0.5.."},
         With([](SearchCriteria& c) {
             c.decSouth = -10, c.decNorth = 10, c.raWest = 3, c.raEast = 9;
             c.usePeriod = true, c.periodLeast = 0.5, c.periodMost = lumara::kLongestPeriod;
         })},
        {"bands open to a pole", {"--dec", "+60..", "--period", "..2"}, With([](SearchCriteria& c) {
             c.decSouth = 60, c.usePeriod = true, c.periodLeast = 0, c.periodMost = 2;
         })},
        {"magnitudes and period",
         {"--max-mag", "12", "--min-mag", "9.3", "--period", "1..400"},
         With([](SearchCriteria& c) {
             c.useMagnitude = true, c.magMax = 12.0f, c.magMin = 9.3f;
             c.usePeriod = true, c.periodLeast = 1.0, c.periodMost = 400.0;
         })},
        {"period and the equator",
         {"--period", "0.5..50", "--dec", "0..0"},
         With([](SearchCriteria& c) {
             c.usePeriod = true, c.periodLeast = 0.5, c.periodMost = 50.0;
             c.decSouth = 0, c.decNorth = 0;
         })},
        {"no light curve alone", {"--no-light-curve"}, With([](SearchCriteria& c) {
             c.noLightCurve = true;
         })},
        {"no light curve ignores magnitudes",
         {"--no-light-curve", "--ra", "3..20", "--max-mag", "3"},
         With([](SearchCriteria& c) {
             c.noLightCurve = true, c.raWest = 3, c.raEast = 20;
             c.useMagnitude = true, c.magMax = 3.0f;
         })},
    };
    return cases;
}

class CommandTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        folder = std::make_unique<TempDir>();
        // Several reading blocks, with CR LF line ends.
        generated = MakeCatalogue(folder->PathOf("generated.txt"), 40000, 7, true);
        gcvs = MakeCatalogue(folder->PathOf("gcvs.txt"), 5000, 8, false, "gcvs");
        vsx = MakeCatalogue(folder->PathOf("vsx.txt"), 5000, 9, false, "vsx");
    }
    static void TearDownTestSuite() { folder.reset(); }

    static std::vector<std::string> Catalogues() {
        return {LUMARA_DEMO_CATALOGUE, generated, gcvs, vsx};
    }

    static inline std::unique_ptr<TempDir> folder;
    static inline std::string generated;
    static inline std::string gcvs;
    static inline std::string vsx;
};

std::vector<std::string> Search(const std::string& file, const std::vector<std::string>& options) {
    std::vector<std::string> arguments{"search", file};
    arguments.insert(arguments.end(), options.begin(), options.end());
    return arguments;
}

std::vector<std::string> Plus(std::vector<std::string> arguments,
                              std::initializer_list<std::string> more) {
    arguments.insert(arguments.end(), more);
    return arguments;
}

TEST_F(CommandTest, SearchWritesTheLibrarysExportsAndCount) {
    for (const std::string& file : Catalogues()) {
        for (const SearchCase& test : SearchCases()) {
            SCOPED_TRACE(file + ": " + test.what);
            const std::vector<std::string> arguments = Search(file, test.options);
            const std::string csv = LibraryExport(file, test.criteria, true);
            const std::string txt = LibraryExport(file, test.criteria, false);

            const ProgramRun asCsv = RunLumara(arguments);
            EXPECT_EQ(asCsv.status, 0) << asCsv.err;
            EXPECT_EQ(asCsv.out, csv);
            const ProgramRun asTxt = RunLumara(Plus(arguments, {"--format", "txt"}));
            EXPECT_EQ(asTxt.status, 0) << asTxt.err;
            EXPECT_EQ(asTxt.out, txt);
            const ProgramRun count = RunLumara(Plus(arguments, {"--count"}));
            EXPECT_EQ(count.status, 0) << count.err;
            EXPECT_EQ(count.out, std::to_string(LinesOf(txt).size()) + "\n");
        }
    }
}

TEST_F(CommandTest, DescendingWritesTheSameRowsInReverse) {
    for (const std::string& file : Catalogues()) {
        for (const SearchCase& test : SearchCases()) {
            SCOPED_TRACE(file + ": " + test.what);
            std::vector<std::string> rows = LinesOf(LibraryExport(file, test.criteria, true));
            std::reverse(rows.begin() + 1, rows.end());
            std::string expected;
            for (const std::string& row : rows) {
                expected += row;
            }
            const ProgramRun run = RunLumara(Plus(Search(file, test.options), {"--desc"}));
            EXPECT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(run.out, expected);
        }
    }
}

// What the window shows for West 22, East 2 with both boxes unticked.
TEST_F(CommandTest, CountOfAWrappingRangeIsTheWindows) {
    CStarCatalog catalog;
    ASSERT_GT(catalog.LoadCatalog(LUMARA_DEMO_CATALOGUE), 0);
    const SearchCriteria criteria = With([](SearchCriteria& c) { c.raWest = 22, c.raEast = 2; });
    const std::int32_t shown = lumara::SearchWith(catalog, criteria);
    ASSERT_GT(shown, 0);

    const ProgramRun run = RunLumara({"search", LUMARA_DEMO_CATALOGUE, "--ra", "22..2", "--count"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, std::to_string(shown) + "\n");
}

TEST_F(CommandTest, StandardInputAndOutputFileGiveTheSameBytes) {
    const std::vector<std::string> options = {"--ra", "22..2", "--max-mag", "11"};
    const std::string wanted = LibraryExport(generated, With([](SearchCriteria& c) {
                                                 c.raWest = 22, c.raEast = 2, c.useMagnitude = true,
                                                 c.magMax = 11.0f;
                                             }),
                                             true);

    const ProgramRun fromStdin = RunLumara(Search("-", options), {generated, false, ""});
    EXPECT_EQ(fromStdin.status, 0) << fromStdin.err;
    EXPECT_EQ(fromStdin.out, wanted);

    // An existing longer file is replaced whole.
    const std::string target = folder->Write("out.csv", wanted + wanted);
    const ProgramRun toFile = RunLumara(Plus(Search(generated, options), {"-o", target}));
    EXPECT_EQ(toFile.status, 0) << toFile.err;
    EXPECT_EQ(toFile.out, "");
    EXPECT_EQ(ReadFile(target), wanted);
}

TEST_F(CommandTest, ConvertWritesEveryStarLineAndReportsWhatItSkipped) {
    struct ConvertCase {
        std::string file;
        std::string says;
    };
    CStarCatalog catalog;
    const std::int32_t stars = catalog.LoadCatalog(LUMARA_DEMO_CATALOGUE);
    ASSERT_GT(stars, 0);
    const std::size_t lines = LinesOf(ReadFile(LUMARA_DEMO_CATALOGUE)).size();
    const ConvertCase cases[] = {
        {LUMARA_DEMO_CATALOGUE, "native, " + std::to_string(stars) + " stars, " +
                                    std::to_string(lines - static_cast<std::size_t>(stars)) +
                                    " lines skipped"},
        {gcvs, "Imported 5000 stars from a GCVS 5.1 file."},
        {vsx, "Imported 5000 stars from a VSX file."},
    };
    for (const ConvertCase& test : cases) {
        SCOPED_TRACE(test.file);
        const std::string target = folder->PathOf("converted.txt");
        const ProgramRun run = RunLumara({"convert", "-", "-o", target}, {test.file, false, ""});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(ReadFile(target) == LibraryExport(test.file, Unlimited(), false));
        EXPECT_NE(run.err.find(test.says), std::string::npos) << run.err;
        EXPECT_TRUE(!run.err.empty() && run.err.back() == '\n') << run.err;
    }
}

// Periods the line holds in thousands lie beyond what the window's Most
// takes; an open end lets them through, as it lets through the south pole.
TEST_F(CommandTest, OpenEndsAreTrulyOpen) {
    std::string longest = Padded(kMiraLike);
    longest.replace(46, 9, "9999K    ");
    longest.replace(4, 3, "-90");
    const std::string file = folder->Write("open.txt", longest + "\n" + Padded(kEclipsing) + "\n");
    const struct {
        std::vector<std::string> options;
        const char* count;
    } cases[] = {
        {{"--period", "400.."}, "2\n"},
        {{"--period", "400..100000"}, "1\n"},
        {{"--period", "13000.."}, "1\n"},
        {{"--dec", "..-89"}, "1\n"},
    };
    for (const auto& c : cases) {
        const ProgramRun run = RunLumara(Plus(Search(file, c.options), {"--count"}));
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, c.count) << c.options[1];
    }
}

// Without --format, -o writes what the window's save writes for the name,
// and a VOTable for .vot and .xml; --format wins, in any case.
TEST_F(CommandTest, TheOutputNameChoosesTheTable) {
    const std::string csv = LibraryExport(LUMARA_DEMO_CATALOGUE, Unlimited(), true);
    const std::string txt = LibraryExport(LUMARA_DEMO_CATALOGUE, Unlimited(), false);
    const std::string xml = "<?xml";
    const struct {
        const char* name;
        std::vector<std::string> format;
        std::string starts;
    } cases[] = {
        {"out.csv", {}, csv},
        {"OUT.Csv", {}, csv},
        {"out.txt", {}, txt},
        {"vsx.dat", {}, txt},
        {"named", {}, txt},
        {"table.vot", {}, xml},
        {"table.XML", {}, xml},
        {"out.csv", {"--format", "TXT"}, txt},
        {"out.txt", {"--format", "Csv"}, csv},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string target = folder->PathOf(c.name);
        std::vector<std::string> arguments = Search(LUMARA_DEMO_CATALOGUE, {"-o", target});
        arguments.insert(arguments.end(), c.format.begin(), c.format.end());
        const ProgramRun run = RunLumara(arguments);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(ReadFile(target).substr(0, c.starts.size()), c.starts);
    }
    EXPECT_EQ(RunLumara(Search(LUMARA_DEMO_CATALOGUE, {})).out, csv);
}

constexpr int kMinutesPerHour = 60;

// The value after `label` in the info text, and the one after " to ".
std::pair<double, double> SpreadOf(const std::string& info, const std::string& label) {
    const std::size_t at = info.find(label + ": ");
    EXPECT_NE(at, std::string::npos) << label;
    std::istringstream line(info.substr(at + label.size() + 2));
    double least = 0.0;
    double most = 0.0;
    std::string to;
    line >> least >> to >> most;
    return {least, most};
}

TEST_F(CommandTest, InfoGivesTheCountsAndSpreadOfTheLoadedStars) {
    for (const std::string& file : Catalogues()) {
        SCOPED_TRACE(file);
        CStarCatalog catalog;
        const std::int32_t stars = catalog.LoadCatalog(file.c_str());
        ASSERT_GT(stars, 0);
        double least[3] = {1e9, 1e9, 1e9};
        double most[3] = {0, 0, 0};
        int southmost = 90;
        int northmost = -90;
        int westmost = 24 * kMinutesPerHour; // minutes from 0h
        int eastmost = 0;
        for (const StarRecord* r = catalog.GetRecords(); r != nullptr; r = r->next) {
            const double values[3] = {r->maxMag, r->minMag, r->period};
            for (int i = 0; i < 3; ++i) {
                if (values[i] != 0.0) {
                    least[i] = std::min(least[i], values[i]);
                    most[i] = std::max(most[i], values[i]);
                }
            }
            westmost = std::min(westmost, r->raHours * kMinutesPerHour + r->raMinutes);
            eastmost = std::max(eastmost, r->raHours * kMinutesPerHour + r->raMinutes);
            southmost = std::min<int>(southmost, r->dec);
            northmost = std::max<int>(northmost, r->dec);
        }
        const std::size_t lines = LinesOf(ReadFile(file)).size();

        const ProgramRun run = RunLumara({"info", file});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.out.find("stars: " + std::to_string(stars) + "\n"), std::string::npos);
        EXPECT_NE(run.out.find(std::string("format: ") +
                               lumara::import::FormatName(catalog.GetImportReport().format) + "\n"),
                  std::string::npos)
            << run.out;
        EXPECT_NE(run.out.find("lines skipped: " +
                               std::to_string(lines - static_cast<std::size_t>(stars)) + "\n"),
                  std::string::npos);
        char ra[64];
        std::snprintf(ra, sizeof ra, "R.A.: %02dh%02dm to %02dh%02dm\n", westmost / kMinutesPerHour,
                      westmost % kMinutesPerHour, eastmost / kMinutesPerHour,
                      eastmost % kMinutesPerHour);
        EXPECT_NE(run.out.find(ra), std::string::npos) << run.out;
        const char* labels[3] = {"maximum magnitude", "minimum magnitude", "period"};
        for (int i = 0; i < 3; ++i) {
            const auto [low, high] = SpreadOf(run.out, labels[i]);
            EXPECT_NEAR(low, least[i], 1e-4 * least[i]) << labels[i];
            EXPECT_NEAR(high, most[i], 1e-4 * most[i]) << labels[i];
        }
        const auto [south, north] = SpreadOf(run.out, "declination");
        EXPECT_EQ(south, southmost);
        EXPECT_EQ(north, northmost);
    }
}

// info speaks of one star as one, and of an import tells that the spreads
// are of the values as listed and what the import changed; convert
// --report lists each change, a line per change the import counted.
TEST_F(CommandTest, InfoAndReportSayWhatTheImportChanged) {
    const std::string gcvsFields = LUMARA_IMPORT_DATA_DIR "/gcvs-fields.txt";
    const ProgramRun info = RunLumara({"info", LUMARA_IMPORT_DATA_DIR "/vsx-fields.txt"});
    EXPECT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find("maximum magnitude: 0.01 to 14.52 (1 star gives none)\n"),
              std::string::npos)
        << info.out;
    EXPECT_NE(info.out.find("the values above are as the catalogue lines list them; the import:\n"
                            "  3 long names are listed shortened"),
              std::string::npos)
        << info.out;
    EXPECT_NE(info.out.find("\n  1 magnitude brighter than 0.01 is listed as 0.01: the catalogue "
                            "line cannot hold a sign"),
              std::string::npos)
        << info.out;
    EXPECT_EQ(RunLumara({"info", LUMARA_DEMO_CATALOGUE}).out.find("the import"), std::string::npos);

    // A fixed layout's changes and a table's are listed alike, one line each.
    const struct {
        std::string source;
        std::string someLine;
    } cases[] = {
        // The fixture's eta Car is of magnitude -1.0 at maximum.
        {gcvsFields, "eta Car\tmagnitude raised to 0.01\t-1.0\n"},
        {LUMARA_IMPORT_DATA_DIR "/vsx-dump.csv", "ZZ Faint\tperiod in thousands\t100000\n"},
    };
    for (const auto& test : cases) {
        CStarCatalog catalog;
        ASSERT_GT(catalog.LoadCatalog(test.source.c_str()), 0) << test.source;
        std::int64_t changes = 0;
        for (const std::int64_t count : catalog.GetImportReport().changes) {
            changes += count;
        }
        const std::string report = folder->PathOf("changes.tsv");
        const ProgramRun convert =
            RunLumara({"convert", test.source, "-o", folder->PathOf("c.txt"), "--report", report});
        EXPECT_EQ(convert.status, 0) << convert.err;
        const std::vector<std::string> lines = LinesOf(ReadFile(report));
        EXPECT_EQ(static_cast<std::int64_t>(lines.size()), changes) << test.source;
        for (const std::string& line : lines) {
            EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 2) << line;
        }
        EXPECT_NE(std::find(lines.begin(), lines.end(), test.someLine), lines.end()) << test.source;
    }
}

TEST_F(CommandTest, HelpAndVersionSucceedOnEveryCommand) {
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"--help"}, {"search", "--help"}, {"convert", "--help"}, {"info", "--help"}}) {
        const ProgramRun run = RunLumara(arguments);
        EXPECT_EQ(run.status, 0) << arguments[0];
        EXPECT_NE(run.out.find("Usage:"), std::string::npos) << run.out;
    }
    const std::string help = RunLumara({"search", "--help"}).out;
    EXPECT_NE(help.find("alone, leaves the maximum open"), std::string::npos) << help;
    const ProgramRun version = RunLumara({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("lumara ", 0), 0u) << version.out;
}

} // namespace
