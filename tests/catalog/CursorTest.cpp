// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Walking the result list with the cursor, and what the getters read.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StarCatalog.h"
#include "TestFiles.h"

using namespace lumara::test;

namespace {

std::vector<std::string> WalkForward(CStarCatalog& catalog) {
    std::vector<std::string> names;
    for (catalog.MoveFirst(); !catalog.IsEOF(); catalog.MoveNext()) {
        names.emplace_back(catalog.GetName());
    }
    return names;
}

std::vector<std::string> WalkBackward(CStarCatalog& catalog) {
    std::vector<std::string> names;
    for (catalog.MoveLast(); !catalog.IsBOF(); catalog.MovePrev()) {
        names.emplace_back(catalog.GetName());
    }
    return names;
}

class CursorTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(catalog.LoadCatalog(DataFile("five-lines.txt").c_str()), 3); }
    CStarCatalog catalog;
};

} // namespace

TEST_F(CursorTest, WalksReadEveryResultOnceInEitherDirection) {
    EXPECT_EQ(WalkForward(catalog),
              (std::vector<std::string>{"     RT Xyz", "  V1234 Xyz", "          Q"}));
    EXPECT_EQ(WalkBackward(catalog),
              (std::vector<std::string>{"          Q", "  V1234 Xyz", "     RT Xyz"}));
}

TEST_F(CursorTest, FlagsAtTheEnds) {
    catalog.MoveLast();
    EXPECT_FALSE(catalog.IsBOF());
    EXPECT_TRUE(catalog.IsEOF());
    catalog.MoveNext(); // no further node: stays on the last
    EXPECT_TRUE(catalog.IsEOF());
    EXPECT_STREQ(catalog.GetName(), "          Q");
    catalog.MovePrev();
    EXPECT_FALSE(catalog.IsBOF());
    EXPECT_FALSE(catalog.IsEOF());
    catalog.MovePrev(); // onto the first node: both flags still clear
    EXPECT_FALSE(catalog.IsBOF());
    EXPECT_FALSE(catalog.IsEOF());
    EXPECT_STREQ(catalog.GetName(), "     RT Xyz");
    catalog.MovePrev();
    EXPECT_TRUE(catalog.IsBOF());
    EXPECT_STREQ(catalog.GetName(), "     RT Xyz");
    // A loop that tests the start flag before reading reads nothing.
    catalog.MoveFirst();
    EXPECT_TRUE(catalog.IsBOF());
    EXPECT_FALSE(catalog.IsEOF());
}

TEST_F(CursorTest, GettersReadTheRecordUnderTheCursor) {
    catalog.MoveFirst();
    catalog.MoveNext();
    EXPECT_EQ(catalog.GetRaHours(), 22);
    EXPECT_EQ(catalog.GetRaMinutes(), 10);
    EXPECT_EQ(catalog.GetDec(), -5);
    EXPECT_STREQ(catalog.GetType(), "EA/SD   ");
    EXPECT_STREQ(catalog.GetRange(), "< 9.10 -10.35 ");
    EXPECT_EQ(catalog.GetPeriod(), 12000.3);
    EXPECT_STREQ(catalog.GetDescription(), "eclipsing system    ");
    EXPECT_EQ(std::string(catalog.GetLine()), Padded(kEclipsing));
}

TEST_F(CursorTest, OneResult) {
    catalog.SetRaFrom(5);
    catalog.SetRaTo(5);
    ASSERT_EQ(catalog.Search(true, false, false), 1);
    catalog.MoveFirst();
    EXPECT_TRUE(catalog.IsBOF());
    EXPECT_FALSE(catalog.IsEOF());
    catalog.MoveNext();
    EXPECT_TRUE(catalog.IsEOF());
    EXPECT_STREQ(catalog.GetName(), "     RT Xyz");
    EXPECT_EQ(WalkForward(catalog).size(), 1u);
    EXPECT_EQ(WalkBackward(catalog).size(), 1u);
}

TEST(CursorWithoutResultsTest, MovesDoNothingAndWalksEnd) {
    CStarCatalog fresh;
    EXPECT_TRUE(WalkForward(fresh).empty());
    EXPECT_TRUE(WalkBackward(fresh).empty());
    EXPECT_TRUE(fresh.IsBOF());
    EXPECT_TRUE(fresh.IsEOF());
    EXPECT_EQ(fresh.GetCursorResult(), nullptr);
    EXPECT_EQ(fresh.GetDec(), 0);
    EXPECT_STREQ(fresh.GetLine(), "");
    EXPECT_STREQ(fresh.GetDescription(), "");
}

TEST(ListAllTest, RebuildsTheFullListAfterASearch) {
    CStarCatalog catalog;
    ASSERT_EQ(catalog.LoadCatalog(DataFile("three-stars.txt").c_str()), 3);
    ASSERT_EQ(catalog.Search(true, true, true), 1);
    catalog.ListAll();
    EXPECT_FALSE(catalog.IsCriteriaMode());
    EXPECT_EQ(WalkForward(catalog).size(), 3u);
    EXPECT_EQ(catalog.GetLastResult()->number, 3);

    CStarCatalog empty;
    empty.ListAll();
    EXPECT_FALSE(empty.HasResults());
}
