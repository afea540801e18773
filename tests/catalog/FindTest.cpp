// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Finding stars by type, name and night, and sorting what was found, through
// the catalogue, on stars with real-style names and types.
#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "FailingAllocations.h"
#include "StarCatalog.h"
#include "StarDetails.h"
#include "TestFiles.h"
#include "Tonight.h"

using namespace lumara::test;
using lumara::SearchCriteria;

namespace {

std::vector<std::string> FoundNames(const CStarCatalog& catalog) {
    std::vector<std::string> names;
    for (const ResultNode* node = catalog.GetFirstResult(); node != nullptr; node = node->next) {
        names.emplace_back(lumara::FullNameOf(*node->record));
    }
    return names;
}

// Every star, whatever its magnitudes and period.
SearchCriteria Everything() {
    SearchCriteria criteria;
    criteria.useMagnitude = false;
    criteria.usePeriod = false;
    return criteria;
}

lumara::TypeMatcher Types(std::string_view list) {
    return std::get<lumara::TypeMatcher>(lumara::TypeMatcher::Parse(list));
}

class FindTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(catalog.LoadCatalog(DataFile("real-style.txt").c_str()), 16);
    }
    CStarCatalog catalog;
};

} // namespace

TEST_F(FindTest, TypeFamiliesAndPatternsMatchWholeCodes) {
    SearchCriteria miras = Everything();
    miras.families = lumara::MaskOf(lumara::Family::Mira);
    miras.usePeriod = true;
    miras.periodLeast = 200;
    miras.periodMost = 400;
    ASSERT_EQ(catalog.Search(miras), 1);
    EXPECT_EQ(FoundNames(catalog), std::vector<std::string>{"R     Leo"});

    SearchCriteria eclipsing = Everything();
    eclipsing.families = lumara::MaskOf(lumara::Family::Eclipsing);
    catalog.Search(eclipsing);
    // ELL is no eclipsing binary; EA/GS cut to 8 columns still starts EA.
    EXPECT_EQ(FoundNames(catalog),
              (std::vector<std::string>{"V0393 Cyg", "V999  Cyg", "SW    Cas"}));

    SearchCriteria semiregular = Everything();
    semiregular.types = Types("SR*");
    catalog.Search(semiregular);
    EXPECT_EQ(FoundNames(catalog),
              (std::vector<std::string>{"AR    Leo", "CH    Cyg", "Y     CVn"}));
}

TEST_F(FindTest, ANameStartsAWordAndIgnoresPaddingAndBlanks) {
    const auto found = [&](std::string_view text) {
        SearchCriteria criteria = Everything();
        criteria.name = std::get<lumara::NameMatcher>(lumara::NameMatcher::Prepare(text));
        catalog.Search(criteria);
        return FoundNames(catalog);
    };
    EXPECT_EQ(found("R Leo"), std::vector<std::string>{"R     Leo"});
    EXPECT_EQ(found("v393  cyg"), std::vector<std::string>{"V0393 Cyg"});
    EXPECT_EQ(found("Cyg").size(), 6u);
}

TEST_F(FindTest, AnImportedStarIsFoundByItsFullTypeAndName) {
    CStarCatalog vsx;
    ASSERT_GT(vsx.LoadCatalog(std::string(LUMARA_IMPORT_DATA_DIR "/vsx-fields.txt").c_str()), 3);
    SearchCriteria byType = Everything();
    byType.types = Types("BY");
    ASSERT_EQ(vsx.Search(byType), 1);
    EXPECT_EQ(FoundNames(vsx), std::vector<std::string>{"Gaia DR3 4111834567779557376"});
    SearchCriteria byName = Everything();
    byName.name = std::get<lumara::NameMatcher>(lumara::NameMatcher::Prepare("J054134"));
    ASSERT_EQ(vsx.Search(byName), 1);
}

TEST_F(FindTest, RowsSortWithoutMovingTheListAndSaveInTheirOrder) {
    ASSERT_EQ(catalog.Search(Everything()), 16);
    const lumara::SortBy brightestFirst[] = {{lumara::SortField::MaxMag, false}};
    ASSERT_EQ(catalog.SortResults(brightestFirst), 16);
    ASSERT_TRUE(catalog.IsSorted());
    EXPECT_EQ(lumara::FullNameOf(*catalog.GetSortedResult(0)->record), "V1500 Cyg");
    EXPECT_EQ(lumara::FullNameOf(*catalog.GetSortedResult(15)->record), "V1118 Ori");
    EXPECT_EQ(catalog.GetFirstResult()->record->index, 1) << "the list stays in catalogue order";

    // Periods of 0 give none, and come last in both directions.
    const lumara::SortBy longestFirst[] = {{lumara::SortField::Period, true}};
    ASSERT_EQ(catalog.SortResults(longestFirst), 16);
    EXPECT_EQ(lumara::FullNameOf(*catalog.GetSortedResult(0)->record), "R     Leo");
    EXPECT_EQ(catalog.GetSortedResult(15)->record->period, 0.0);

    TempDir dir;
    ASSERT_EQ(catalog.SaveTxt(dir.PathOf("sorted.txt").c_str()), 16);
    EXPECT_EQ(ReadFile(dir.PathOf("sorted.txt")).substr(10, 9), "R     Leo");
    catalog.Search(Everything());
    EXPECT_FALSE(catalog.IsSorted()) << "a search returns the rows to catalogue order";
}

// A search for the night's stars is tested on both lanes when the
// catalogue is large: the same stars, in catalogue order, numbered on.
TEST_F(FindTest, ObservableTonightKeepsTheStarsUpLongEnoughInTheDark) {
    lumara::plan::PlanSettings settings;
    settings.site = lumara::plan::Site{52.37, 4.90, 0.0};
    settings.zone = "Europe/Amsterdam";
    auto tonight = std::make_shared<lumara::TonightContext>();
    ASSERT_EQ(lumara::PrepareTonight(settings, {2026, 12, 8}, *tonight),
              lumara::plan::NightStatus::Ok);
    SearchCriteria criteria = Everything();
    criteria.tonight = tonight;

    std::string many;
    const std::string demo = ReadFile(LUMARA_DEMO_CATALOGUE);
    for (int copy = 0; copy < 200; ++copy) {
        many += demo;
    }
    CStarCatalog large;
    ASSERT_EQ(large.LoadCatalog(TempDir().Write("many.txt", many).c_str()), 60000);
    for (CStarCatalog* searched : {&catalog, &large}) {
        const std::int32_t found = searched->Search(criteria);
        std::vector<const StarRecord*> expected;
        for (const StarRecord* r = searched->GetRecords(); r != nullptr; r = r->next) {
            if (lumara::plan::IsObservable(lumara::ObserveRecord(*tonight, *r).night,
                                           tonight->minUpMinutes)) {
                expected.push_back(r);
            }
        }
        ASSERT_EQ(found, static_cast<std::int32_t>(expected.size()));
        std::int32_t number = 0;
        for (const ResultNode* node = searched->GetFirstResult(); node != nullptr;
             node = node->next) {
            ASSERT_EQ(node->number, ++number);
            ASSERT_EQ(node->record, expected[static_cast<std::size_t>(number - 1)]);
        }
        // Some stars are too far south, or up only by day, in December.
        EXPECT_GT(found, 0);
        EXPECT_LT(found, searched == &catalog ? 16 : 60000);
    }
    // A native star's direction is looked up by its cell rather than
    // computed: the same night either way.
    for (const StarRecord* r = large.GetRecords(); r->index <= 300; r = r->next) {
        const lumara::SkyPlace place = lumara::PlaceOf(*r);
        const lumara::plan::StarNight computed =
            lumara::plan::ObserveStar(tonight->night, {place.raDeg, place.decDeg});
        const lumara::plan::StarNight looked = lumara::ObserveRecord(*tonight, *r).night;
        ASSERT_EQ(looked.transit, computed.transit) << r->index;
        ASSERT_EQ(looked.upFrom, computed.upFrom) << r->index;
        ASSERT_EQ(looked.upTo, computed.upTo) << r->index;
    }
    // Running out of memory on either lane leaves no partial list.
    for (int allowed : {0, 2, 5}) {
        const lumara::test::FailingAllocations failing(allowed);
        EXPECT_EQ(large.Search(criteria), -1) << allowed;
        EXPECT_EQ(large.GetFirstResult(), nullptr);
        EXPECT_TRUE(large.IsEOF());
    }
}
