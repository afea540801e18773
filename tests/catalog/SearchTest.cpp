// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Criteria setters, the two predicates and the search states.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "StarCatalog.h"
#include "TestFiles.h"

using namespace lumara::test;

namespace {

StarRecord Star(std::int16_t hours, std::int16_t dec, double maxMag = 0, double minMag = 0,
                double period = 0) {
    StarRecord record{};
    record.raHours = hours;
    record.dec = dec;
    record.maxMag = maxMag;
    record.minMag = minMag;
    record.period = period;
    return record;
}

std::vector<int> Indexes(CStarCatalog& catalog) {
    std::vector<int> indexes;
    for (const ResultNode* node = catalog.GetFirstResult(); node != nullptr; node = node->next) {
        indexes.push_back(node->record->index);
    }
    return indexes;
}

} // namespace

TEST(SetterTest, BoundsRefuseSilently) {
    CStarCatalog catalog;
    catalog.SetRaFrom(24);
    catalog.SetRaTo(-1);
    EXPECT_EQ(catalog.GetRaFrom(), 0);
    EXPECT_EQ(catalog.GetRaTo(), 23);
    catalog.SetRaFrom(23);
    catalog.SetRaTo(0);
    EXPECT_EQ(catalog.GetRaFrom(), 23);
    EXPECT_EQ(catalog.GetRaTo(), 0);

    catalog.SetDecSouth(-91);
    catalog.SetDecNorth(91);
    EXPECT_EQ(catalog.GetDecSouth(), -90);
    EXPECT_EQ(catalog.GetDecNorth(), 90);

    catalog.SetPeriodMost(0);
    EXPECT_EQ(catalog.GetPeriodMost(), 10000.0);
    catalog.SetPeriodLeast(-0.5);
    catalog.SetPeriodLeast(0);
    EXPECT_EQ(catalog.GetPeriodLeast(), 0.0);

    catalog.SetMinMagLimit(-1);
    EXPECT_EQ(catalog.GetMinMagLimit(), 6.0f);
    catalog.SetMinMagLimit(100);
    EXPECT_EQ(catalog.GetMinMagLimit(), 100.0f);
    catalog.SetMaxMagLimit(6.3);
    EXPECT_EQ(double{catalog.GetMaxMagLimit()}, 6.300000190734863);

    const double nan = std::numeric_limits<double>::quiet_NaN();
    catalog.SetPeriodLeast(nan);
    catalog.SetPeriodMost(nan);
    catalog.SetMinMagLimit(nan);
    catalog.SetMaxMagLimit(nan);
    EXPECT_EQ(catalog.GetPeriodLeast(), 0.0);
    EXPECT_EQ(catalog.GetPeriodMost(), 10000.0);
    EXPECT_EQ(catalog.GetMinMagLimit(), 100.0f);
    EXPECT_FALSE(std::isnan(catalog.GetMaxMagLimit()));
}

TEST(SetterTest, PairsAreTestedAgainstThePartnerInTheFixedOrder) {
    CStarCatalog catalog;
    catalog.SetDecSouth(10);
    catalog.SetDecNorth(20);
    catalog.SetDecSouth(30); // above the current north: refused
    catalog.SetDecNorth(40);
    EXPECT_EQ(catalog.GetDecSouth(), 10);
    EXPECT_EQ(catalog.GetDecNorth(), 40);
    catalog.SetDecSouth(30);
    catalog.SetDecNorth(40);
    EXPECT_EQ(catalog.GetDecSouth(), 30);

    CStarCatalog reversed;
    reversed.SetDecSouth(20);
    reversed.SetDecNorth(10);
    EXPECT_EQ(reversed.GetDecSouth(), 20);
    EXPECT_EQ(reversed.GetDecNorth(), 90);
    reversed.SetDecNorth(20); // equal limits are allowed
    EXPECT_EQ(reversed.GetDecNorth(), 20);

    CStarCatalog periods;
    periods.SetPeriodMost(1000);
    periods.SetPeriodLeast(2000);
    periods.SetPeriodMost(3000);
    EXPECT_EQ(periods.GetPeriodLeast(), 0.0);
    EXPECT_EQ(periods.GetPeriodMost(), 3000.0);
    periods.SetPeriodLeast(2000);
    periods.SetPeriodMost(1999);
    EXPECT_EQ(periods.GetPeriodLeast(), 2000.0);
    EXPECT_EQ(periods.GetPeriodMost(), 3000.0);
}

TEST(MatchesCriteriaTest, RightAscensionWrapsThroughZero) {
    CStarCatalog catalog;
    catalog.SetRaFrom(22);
    catalog.SetRaTo(2);
    for (std::int16_t hour = 0; hour < 24; ++hour) {
        const bool inside = hour >= 22 || hour <= 2;
        EXPECT_EQ(catalog.MatchesCriteria(Star(hour, 0), false, false), inside) << hour;
    }
    EXPECT_TRUE(catalog.MatchesCriteria(Star(99, 0), false, false));
    catalog.SetRaFrom(5);
    catalog.SetRaTo(5);
    EXPECT_TRUE(catalog.MatchesCriteria(Star(5, 0), false, false));
    EXPECT_FALSE(catalog.MatchesCriteria(Star(6, 0), false, false));
    EXPECT_FALSE(catalog.MatchesCriteria(Star(99, 0), false, false));
}

TEST(MatchesCriteriaTest, DeclinationBandIsInclusive) {
    CStarCatalog catalog;
    catalog.SetDecNorth(0);
    catalog.SetDecSouth(0);
    EXPECT_TRUE(catalog.MatchesCriteria(Star(1, 0), false, false));
    EXPECT_FALSE(catalog.MatchesCriteria(Star(1, 1), false, false));
    EXPECT_FALSE(catalog.MatchesCriteria(Star(1, -1), false, false));
}

TEST(MatchesCriteriaTest, MagnitudeLimitsAndMissingValues) {
    CStarCatalog catalog; // maximum limit 7.0, minimum limit 6.0
    EXPECT_TRUE(catalog.MatchesCriteria(Star(1, 0, 7.0, 8.2), true, false));
    EXPECT_FALSE(catalog.MatchesCriteria(Star(1, 0, 0.0, 8.2), true, false));
    EXPECT_TRUE(catalog.MatchesCriteria(Star(1, 0, 5.5, 0.0), true, false));
    EXPECT_FALSE(catalog.MatchesCriteria(Star(1, 0, 5.5, 5.9), true, false));
    EXPECT_FALSE(catalog.MatchesCriteria(Star(1, 0, 7.000001, 8.2), true, false));
    EXPECT_TRUE(catalog.MatchesCriteria(Star(1, 0, 9.0, 1.0), false, false));
}

TEST(MatchesCriteriaTest, FloatLimitsAreComparedExactly) {
    CStarCatalog catalog;
    catalog.SetMinMagLimit(6.3); // held as 6.300000190734863
    EXPECT_FALSE(catalog.MatchesCriteria(Star(1, 0, 5.0, 6.300000004470348), true, false));
    catalog.SetMaxMagLimit(6.5); // exactly 6.5
    EXPECT_FALSE(catalog.MatchesCriteria(Star(1, 0, 6.500000007450581, 0), true, false));
    catalog.SetMaxMagLimit(7);
    EXPECT_TRUE(catalog.MatchesCriteria(Star(1, 0, 7.0, 0), true, false));
}

TEST(MatchesCriteriaTest, PeriodRange) {
    CStarCatalog catalog; // 0 to 10000 days
    EXPECT_FALSE(catalog.MatchesCriteria(Star(1, 0, 0, 0, 0.0), false, true));
    EXPECT_TRUE(catalog.MatchesCriteria(Star(1, 0, 0, 0, 0.0001), false, true));
    EXPECT_TRUE(catalog.MatchesCriteria(Star(1, 0, 0, 0, 10000.0), false, true));
    EXPECT_FALSE(catalog.MatchesCriteria(Star(1, 0, 0, 0, 12000.3), false, true));
    catalog.SetPeriodMost(5);
    catalog.SetPeriodLeast(5);
    EXPECT_TRUE(catalog.MatchesCriteria(Star(1, 0, 0, 0, 5.0), false, true));
    EXPECT_FALSE(catalog.MatchesCriteria(Star(1, 0, 0, 0, 4.9999), false, true));
}

TEST(MatchesNoLightCurveTest, PositionAndNoDataOnly) {
    CStarCatalog catalog;
    catalog.SetMaxMagLimit(0);
    catalog.SetPeriodMost(0.5);
    EXPECT_TRUE(catalog.MatchesNoLightCurve(Star(3, 10)));
    EXPECT_FALSE(catalog.MatchesNoLightCurve(Star(3, 10, 0, 0, 1.0)));
    EXPECT_FALSE(catalog.MatchesNoLightCurve(Star(3, 10, 0, 9.0)));
    EXPECT_FALSE(catalog.MatchesNoLightCurve(Star(3, 10, 9.0)));
    catalog.SetDecNorth(5);
    EXPECT_FALSE(catalog.MatchesNoLightCurve(Star(3, 10)));
}

TEST(SearchTest, TheWorkedExample) {
    CStarCatalog catalog;
    ASSERT_EQ(catalog.LoadCatalog(DataFile("three-stars.txt").c_str()), 3);
    EXPECT_EQ(catalog.Search(true, true, true), 1);
    EXPECT_EQ(Indexes(catalog), std::vector{1});
    EXPECT_TRUE(catalog.IsCriteriaMode());
    EXPECT_EQ(catalog.Search(true, false, true), 1);
    EXPECT_EQ(Indexes(catalog), std::vector{1});
    EXPECT_EQ(catalog.Search(true, false, false), 3);
    EXPECT_EQ(catalog.Search(false, true, true), 1);
    EXPECT_EQ(Indexes(catalog), std::vector{3});
    EXPECT_FALSE(catalog.IsCriteriaMode());
    catalog.SetRaFrom(22);
    catalog.SetRaTo(2);
    EXPECT_EQ(catalog.Search(true, false, false), 2);
    EXPECT_EQ(Indexes(catalog), (std::vector{2, 3}));
}

TEST(SearchTest, ResultsAreNumberedFromOneWithTheCursorOnTheFirst) {
    CStarCatalog catalog;
    ASSERT_EQ(catalog.LoadCatalog(DataFile("three-stars.txt").c_str()), 3);
    catalog.SetRaFrom(22);
    catalog.SetRaTo(2);
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(catalog.Search(true, false, false), 2);
        EXPECT_EQ(catalog.GetFirstResult()->number, 1);
        EXPECT_EQ(catalog.GetFirstResult()->prev, nullptr);
        EXPECT_EQ(catalog.GetLastResult()->number, 2);
        EXPECT_EQ(catalog.GetLastResult()->prev, catalog.GetFirstResult());
        EXPECT_EQ(catalog.GetLastResult()->next, nullptr);
        EXPECT_EQ(catalog.GetCursorResult(), catalog.GetFirstResult());
        EXPECT_TRUE(catalog.IsBOF());
        EXPECT_FALSE(catalog.IsEOF());
    }
}

TEST(SearchTest, NothingFoundAndNothingLoaded) {
    CStarCatalog catalog;
    EXPECT_EQ(catalog.Search(true, true, true), -1);
    ASSERT_EQ(catalog.LoadCatalog(DataFile("three-stars.txt").c_str()), 3);
    catalog.SetDecNorth(-60);
    EXPECT_EQ(catalog.Search(true, false, false), 0);
    EXPECT_FALSE(catalog.HasResults());
    EXPECT_FALSE(catalog.IsCriteriaMode());
    EXPECT_TRUE(catalog.IsBOF());
    EXPECT_TRUE(catalog.IsEOF());
    EXPECT_EQ(catalog.GetFirstResult(), nullptr);
    catalog.MoveFirst();
    EXPECT_TRUE(catalog.IsEOF());
}

TEST(SetterTest, MagnitudeLimitsRoundToTheNearestFloat) {
    CStarCatalog catalog;
    catalog.SetMaxMagLimit(0x1.fffffe8p127); // just above the largest float, below the midpoint
    EXPECT_EQ(catalog.GetMaxMagLimit(), std::numeric_limits<float>::max());
    catalog.SetMaxMagLimit(1e300);
    EXPECT_EQ(catalog.GetMaxMagLimit(), std::numeric_limits<float>::infinity());
    EXPECT_TRUE(catalog.MatchesCriteria(Star(0, 0, 99.99), true, false));
}
