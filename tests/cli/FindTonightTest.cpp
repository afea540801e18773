// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Finding by type and name, sorting, and the night's stars, through the
// built lumara: the rows the library gives for the same criteria, and the
// messages and statuses of what is refused.
#include <cstdlib>
#include <memory>
#include <variant>

#include <gtest/gtest.h>

#include "RunLumara.h"
#include "StarCatalog.h"
#include "StarDetails.h"
#include "TestFiles.h"
#include "Tonight.h"

namespace {

using lumara::SearchCriteria;
using lumara::SortField;
using namespace lumara::test;

// The night the runs below ask lumara for: 2026-12-08 at Amsterdam, with
// the events of `eventNights` nights.
lumara::plan::NightStatus AmsterdamNight(lumara::TonightContext& context, int eventNights) {
    lumara::plan::PlanSettings settings;
    settings.site = lumara::plan::Site{52.37, 4.90, 0.0};
    settings.zone = "Europe/Amsterdam";
    return lumara::PrepareTonight(settings, {2026, 12, 8}, context, eventNights);
}

// Every run reads a settings folder of its own, empty unless a test writes
// the site there.
class FindTonightTest : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("XDG_CONFIG_HOME", config.PathOf("").c_str(), 1); }
    void TearDown() override { ::unsetenv("XDG_CONFIG_HOME"); }
    TempDir config;
    const std::string realStyle = std::string(LUMARA_TEST_DATA_DIR) + "/real-style.txt";
};

} // namespace

TEST_F(FindTonightTest, FoundAndSortedRowsAreTheLibrarys) {
    TempDir dir;
    const std::string generated = MakeCatalogue(dir.PathOf("many.txt"), 40000, 7);
    SearchCriteria semiregular = Unlimited();
    semiregular.types = std::get<lumara::TypeMatcher>(lumara::TypeMatcher::Parse("SR*"));
    SearchCriteria eclipsing = Unlimited();
    eclipsing.families = lumara::MaskOf(lumara::Family::Eclipsing);
    SearchCriteria cygnus = Unlimited();
    cygnus.name = std::get<lumara::NameMatcher>(lumara::NameMatcher::Prepare("Cyg"));
    const lumara::SortBy faintFirst[] = {{SortField::MaxMag, true}};
    const lumara::SortBy byName[] = {{SortField::Name, false}};
    const lumara::SortBy periodThenMax[] = {{SortField::Period, false}, {SortField::MaxMag, true}};
    const struct {
        std::vector<std::string> options;
        const SearchCriteria& criteria;
        std::span<const lumara::SortBy> sort;
    } cases[] = {
        {{"--type", "SR*", "--sort", "-max"}, semiregular, faintFirst},
        {{"--family", "ECLIPSING", "--sort", "name"}, eclipsing, byName},
        {{"--name", "Cyg", "--sort", "period,-max"}, cygnus, periodThenMax},
    };
    for (const std::string& file : {realStyle, generated}) {
        for (const auto& test : cases) {
            std::vector<std::string> arguments = {"search", file};
            arguments.insert(arguments.end(), test.options.begin(), test.options.end());
            SCOPED_TRACE(file + " " + test.options[1]);
            const ProgramRun run = RunLumara(arguments);
            ASSERT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(run.out, LibraryExport(file, test.criteria, true, test.sort));
        }
    }
}

TEST_F(FindTonightTest, TonightListsTheLibrarysObservableStarsWithTheirTimes) {
    const ProgramRun run = RunLumara({"tonight", LUMARA_DEMO_CATALOGUE, "--lat", "52.37", "--lon",
                                      "4.90", "--tz", "Europe/Amsterdam", "--night", "2026-12-08"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err.find("2026-12-08 Europe/Amsterdam: Dark 18:3"), 0u) << run.err;
    const std::vector<std::string> rows = LinesOf(run.out);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0], "Name,Type,RAdeg,DEdeg,MaxMag,MinMag,Period,Transit,TransitAlt,UpFrom,"
                       "UpTo,UpHours,MoonSep\r\n");

    const auto tonight = std::make_shared<lumara::TonightContext>();
    ASSERT_EQ(AmsterdamNight(*tonight, 0), lumara::plan::NightStatus::Ok);
    SearchCriteria criteria = Unlimited();
    criteria.tonight = tonight;
    CStarCatalog catalog;
    ASSERT_GT(catalog.LoadCatalog(LUMARA_DEMO_CATALOGUE), 0);
    ASSERT_EQ(static_cast<std::size_t>(catalog.Search(criteria)), rows.size() - 1);
    std::size_t row = 1;
    for (const ResultNode* node = catalog.GetFirstResult(); node != nullptr; node = node->next) {
        const lumara::plan::StarNight night = lumara::ObserveRecord(*tonight, *node->record).night;
        const std::string from = lumara::ClockAt(*tonight, night.upFrom);
        ASSERT_EQ(rows[row].find(std::string(lumara::FullNameOf(*node->record)) + ","), 0u)
            << rows[row];
        EXPECT_NE(rows[row].find("T" + from + "+01:00,"), std::string::npos) << rows[row];
        ++row;
    }

    // A file named as a VOTable gets one, as a search's does.
    const std::string table = config.PathOf("tonight.vot");
    ASSERT_EQ(RunLumara({"tonight", LUMARA_DEMO_CATALOGUE, "--lat", "52.37", "--lon", "4.90",
                         "--night", "2026-12-08", "-o", table})
                  .status,
              0);
    EXPECT_EQ(ReadFile(table).rfind("<?xml", 0), 0u);
}

TEST_F(FindTonightTest, RefusedOptionsSayWhyWithStatusTwo) {
    const struct {
        std::vector<std::string> arguments;
        const char* message;
    } cases[] = {
        {{"search", realStyle, "--sort", "brightness"}, "unknown key 'brightness'"},
        {{"search", realStyle, "--sort", "transit"}, "needs a night"},
        {{"search", realStyle, "--sort", "max", "--desc"}, "give a key as -KEY"},
        {{"search", realStyle, "--type", "M,,SR"}, "is empty"},
        {{"search", realStyle, "--family", "variables"}, "the families are mira,"},
        {{"tonight", realStyle}, "no site to plan for"},
        {{"tonight", realStyle, "--lat", "95", "--lon", "4"}, "latitude 95 is out of range"},
        {{"tonight", realStyle, "--lat", "52"}, "--lat and --lon go together"},
        {{"tonight", realStyle, "--lat", "52", "--lon", "4", "--night", "2027-02-29"},
         "not a day of the calendar"},
        {{"tonight", realStyle, "--lat", "52", "--lon", "4", "--tz", "Mars/Olympus"},
         "not one of this system's"},
    };
    for (const auto& test : cases) {
        const ProgramRun run = RunLumara(test.arguments);
        EXPECT_EQ(run.status, 2) << test.message;
        EXPECT_NE(run.err.find(test.message), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty());
    }
}

// The site the window saved serves when no option gives one.
TEST_F(FindTonightTest, TheSavedSiteServesWithoutOptions) {
    lumara::plan::PlanSettings settings;
    settings.site = lumara::plan::Site{-33.9, 18.4, 0.0};
    settings.zone = "Africa/Johannesburg";
    std::string problem;
    ASSERT_TRUE(lumara::SavePlanSettings(settings, problem)) << problem;
    const ProgramRun saved =
        RunLumara({"tonight", LUMARA_DEMO_CATALOGUE, "--night", "2026-12-08", "--count"});
    const ProgramRun given =
        RunLumara({"tonight", LUMARA_DEMO_CATALOGUE, "--night", "2026-12-08", "--count", "--lat",
                   "33 54 S", "--lon", "18.4E", "--tz", "Africa/Johannesburg"});
    ASSERT_EQ(saved.status, 0) << saved.err;
    EXPECT_EQ(saved.out, given.out);
    EXPECT_NE(saved.err.find("SAST"), std::string::npos) << saved.err;
}

// A row per minimum or maximum, as the library predicts them for each star
// over the nights asked for.
TEST_F(FindTonightTest, EventsAreTheLibrarysPredictions) {
    TempDir dir;
    const std::string vsx = MakeCatalogue(dir.PathOf("vsx.dat"), 3000, 5, false, "vsx");
    const ProgramRun run =
        RunLumara({"tonight", vsx, "--lat", "52.37", "--lon", "4.90", "--tz", "Europe/Amsterdam",
                   "--night", "2026-12-08", "--events", "--nights", "10"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> rows = LinesOf(run.out);
    ASSERT_GT(rows.size(), 1u);
    EXPECT_NE(rows[0].find(",MoonSep,Event,EventTime,Cycles\r\n"), std::string::npos);

    lumara::TonightContext context;
    ASSERT_EQ(AmsterdamNight(context, 10), lumara::plan::NightStatus::Ok);
    CStarCatalog catalog;
    ASSERT_EQ(catalog.LoadCatalog(vsx.c_str()), 3000);
    std::size_t row = 1;
    for (const StarRecord* r = catalog.GetRecords(); r != nullptr; r = r->next) {
        std::vector<lumara::plan::StarEvent> events;
        lumara::EventsOf(context, *r, events);
        for (const lumara::plan::StarEvent& event : events) {
            ASSERT_LT(row, rows.size());
            const lumara::plan::IsoLocalText at =
                lumara::plan::FormatIsoLocal(lumara::plan::ToWallClock(context.night, event.at));
            EXPECT_NE(rows[row].find("," + lumara::EventName(event) + "," +
                                     std::string(at.data(), at.size()) + ","),
                      std::string::npos)
                << rows[row];
            ++row;
        }
    }
    EXPECT_EQ(row, rows.size());
}

// A sorted night writes the rows of the unsorted one in the order the
// library sorts the same stars, the imported full names and the night's
// values included.
TEST_F(FindTonightTest, SortedNightRowsAreInTheLibrarysOrder) {
    TempDir dir;
    const std::string vsx = MakeCatalogue(dir.PathOf("vsx.dat"), 3000, 9, false, "vsx");
    const std::vector<std::string> night = {"tonight", vsx,          "--lat",   "52.37",
                                            "--lon",   "4.90",       "--tz",    "Europe/Amsterdam",
                                            "--night", "2026-12-08", "--events"};
    const ProgramRun plain = RunLumara(night);
    ASSERT_EQ(plain.status, 0) << plain.err;
    std::vector<std::string> sortedArguments = night;
    sortedArguments.insert(sortedArguments.end(), {"--sort", "transit,-name"});
    const ProgramRun sorted = RunLumara(sortedArguments);
    ASSERT_EQ(sorted.status, 0) << sorted.err;

    // The unsorted rows star by star (a star's events stay together; a
    // star without any has none).
    const auto context = std::make_shared<lumara::TonightContext>();
    ASSERT_EQ(AmsterdamNight(*context, 1), lumara::plan::NightStatus::Ok);
    CStarCatalog catalog;
    ASSERT_EQ(catalog.LoadCatalog(vsx.c_str()), 3000);
    ASSERT_EQ(catalog.Search(Unlimited()), 3000);
    const std::vector<std::string> rows = LinesOf(plain.out);
    ASSERT_GT(rows.size(), 2u);
    std::vector<std::string> starRows;
    std::size_t row = 1;
    for (const ResultNode* node = catalog.GetFirstResult(); node != nullptr; node = node->next) {
        std::vector<lumara::plan::StarEvent> events;
        lumara::EventsOf(*context, *node->record, events);
        std::string text;
        for (std::size_t event = 0; event < events.size() && row < rows.size(); ++event) {
            text += rows[row++];
        }
        starRows.push_back(text);
    }
    ASSERT_EQ(row, rows.size());

    const lumara::SortBy keys[] = {{SortField::Transit, false}, {SortField::Name, true}};
    ASSERT_EQ(catalog.SortResults(keys, context.get()), 3000);
    std::string expected = rows[0];
    for (std::int32_t i = 0; catalog.GetSortedResult(i) != nullptr; ++i) {
        expected += starRows[static_cast<std::size_t>(catalog.GetSortedResult(i)->number - 1)];
    }
    EXPECT_EQ(sorted.out, expected);
}
