// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <vector>

#include "SearchCriteria.h"
#include "StarCatalog.h"
#include "TestFiles.h"

namespace {

using lumara::CriteriaField;
using lumara::SearchCriteria;

struct FaultCase {
    const char* what;
    SearchCriteria criteria;
    std::optional<CriteriaField> fault;
};

SearchCriteria With(void (*change)(SearchCriteria&)) {
    SearchCriteria criteria;
    change(criteria);
    return criteria;
}

TEST(SearchCriteriaTest, NamesTheFirstFieldAtFaultAndSkipsFieldsNotInUse) {
    const FaultCase cases[] = {
        {"the window's first values", {}, std::nullopt},
        {"West 24", With([](SearchCriteria& c) { c.raWest = 24; }), CriteriaField::RaWest},
        {"East -1", With([](SearchCriteria& c) { c.raEast = -1; }), CriteriaField::RaEast},
        {"a wrapping range", With([](SearchCriteria& c) { c.raWest = 22, c.raEast = 2; }),
         std::nullopt},
        {"North 91", With([](SearchCriteria& c) { c.decNorth = 91; }), CriteriaField::DecNorth},
        {"South above North", With([](SearchCriteria& c) { c.decSouth = 30, c.decNorth = 20; }),
         CriteriaField::DecSouth},
        {"South equal to North", With([](SearchCriteria& c) { c.decSouth = c.decNorth = 5; }),
         std::nullopt},
        {"South above North before a bad magnitude",
         With([](SearchCriteria& c) { c.decSouth = 30, c.decNorth = 20, c.magMax = 150; }),
         CriteriaField::DecSouth},
        {"Max 150", With([](SearchCriteria& c) { c.magMax = 150; }), CriteriaField::MagMax},
        {"Max 150, magnitude off",
         With([](SearchCriteria& c) { c.magMax = 150, c.useMagnitude = false; }), std::nullopt},
        {"Min -1", With([](SearchCriteria& c) { c.magMin = -1; }), CriteriaField::MagMin},
        {"Most 0", With([](SearchCriteria& c) { c.periodMost = 0; }), CriteriaField::PeriodMost},
        {"Least above Most",
         With([](SearchCriteria& c) { c.periodLeast = 5000, c.periodMost = 1000; }),
         CriteriaField::PeriodLeast},
        {"Least equal to Most",
         With([](SearchCriteria& c) { c.periodLeast = c.periodMost = 1000; }), std::nullopt},
        {"Most left open", With([](SearchCriteria& c) { c.periodMost = lumara::kNoMostPeriod; }),
         std::nullopt},
        {"Most beyond the longest",
         With([](SearchCriteria& c) { c.periodMost = 2 * lumara::kLongestPeriod; }),
         CriteriaField::PeriodMost},
        {"Least above Most, period off", With([](SearchCriteria& c) {
             c.periodLeast = 5000, c.periodMost = 1000, c.usePeriod = false;
         }),
         std::nullopt},
        {"bad light-curve fields, no-light-curve search",
         With([](SearchCriteria& c) { c.magMax = 150, c.periodMost = 0, c.noLightCurve = true; }),
         std::nullopt},
        {"bad position, no-light-curve search",
         With([](SearchCriteria& c) { c.raEast = 30, c.noLightCurve = true; }),
         CriteriaField::RaEast},
    };
    for (const FaultCase& test : cases) {
        const auto fault = lumara::CheckCriteria(test.criteria);
        ASSERT_EQ(fault.has_value(), test.fault.has_value()) << test.what;
        if (fault) {
            EXPECT_EQ(fault->field, *test.fault) << test.what;
        }
    }
}

TEST(SearchCriteriaTest, TheFaultCarriesTheRangeToTell) {
    const auto south =
        lumara::CheckCriteria(With([](SearchCriteria& c) { c.decSouth = 30, c.decNorth = 20; }));
    ASSERT_TRUE(south.has_value());
    EXPECT_EQ(south->allowed.min, -90);
    EXPECT_EQ(south->allowed.max, 20);
    EXPECT_TRUE(south->allowed.integral);
    EXPECT_TRUE(south->abovePartner);
    const auto most = lumara::CheckCriteria(With([](SearchCriteria& c) { c.periodMost = 0; }));
    ASSERT_TRUE(most.has_value());
    EXPECT_FALSE(most->allowed.minIncluded);
    EXPECT_EQ(most->allowed.max, 100000);
    EXPECT_FALSE(most->abovePartner);
}

TEST(SearchCriteriaTest, APairInOrderIsAppliedWholeFromEitherSide) {
    struct Pairs {
        std::int16_t south, north;
        double least, most;
    };
    // Each step's lower limits lie above the upper ones in force, or its
    // upper limits below the lower ones.
    const Pairs steps[] = {{10, 20, 0, 1000}, {30, 40, 2000, 3000}, {-40, -30, 1, 2}};
    CStarCatalog catalog;
    for (const Pairs& step : steps) {
        SearchCriteria criteria;
        criteria.decSouth = step.south;
        criteria.decNorth = step.north;
        criteria.periodLeast = step.least;
        criteria.periodMost = step.most;
        lumara::ApplyCriteria(catalog, criteria);
        EXPECT_EQ(catalog.GetDecSouth(), step.south);
        EXPECT_EQ(catalog.GetDecNorth(), step.north);
        EXPECT_EQ(catalog.GetPeriodLeast(), step.least);
        EXPECT_EQ(catalog.GetPeriodMost(), step.most);
    }
}

TEST(SearchCriteriaTest, FieldsNotInUseLeaveTheCataloguesValues) {
    CStarCatalog catalog;
    SearchCriteria criteria;
    criteria.magMax = 12;
    criteria.magMin = 3;
    criteria.periodLeast = 5;
    criteria.periodMost = 50;
    lumara::ApplyCriteria(catalog, criteria);

    SearchCriteria unused = criteria;
    unused.magMax = 150;
    unused.periodLeast = 5000;
    unused.periodMost = 1000;
    for (auto change : {+[](SearchCriteria& c) { c.useMagnitude = c.usePeriod = false; },
                        +[](SearchCriteria& c) { c.noLightCurve = true; }}) {
        SearchCriteria off = unused;
        change(off);
        lumara::ApplyCriteria(catalog, off);
        EXPECT_EQ(catalog.GetMaxMagLimit(), 12.0f);
        EXPECT_EQ(catalog.GetMinMagLimit(), 3.0f);
        EXPECT_EQ(catalog.GetPeriodLeast(), 5);
        EXPECT_EQ(catalog.GetPeriodMost(), 50);
    }
}

// The three example stars: RT Xyz with magnitudes and a period of 371.5
// days, V1234 Xyz with magnitudes and 12000.3 days, Q with no light curve.
TEST(SearchCriteriaTest, SearchWithRunsTheSearchTheSwitchesAskFor) {
    CStarCatalog catalog;
    ASSERT_EQ(catalog.LoadCatalog(lumara::test::DataFile("three-stars.txt").c_str()), 3);
    const struct {
        bool useMagnitude, usePeriod, noLightCurve;
        std::vector<int> found;
    } cases[] = {
        {true, true, false, {1}},         {true, false, false, {1, 2}}, {false, true, false, {1}},
        {false, false, false, {1, 2, 3}}, {false, false, true, {3}},
    };
    for (const auto& c : cases) {
        SearchCriteria criteria;
        criteria.magMax = 10;
        criteria.useMagnitude = c.useMagnitude;
        criteria.usePeriod = c.usePeriod;
        criteria.noLightCurve = c.noLightCurve;
        EXPECT_EQ(lumara::SearchWith(catalog, criteria), static_cast<int>(c.found.size()));
        std::vector<int> found;
        for (const ResultNode* node = catalog.GetFirstResult(); node != nullptr;
             node = node->next) {
            found.push_back(node->record->index);
        }
        EXPECT_EQ(found, c.found) << c.useMagnitude << c.usePeriod << c.noLightCurve;
    }
}

} // namespace
