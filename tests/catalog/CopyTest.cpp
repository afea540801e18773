// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Copies hold the same records and result list, taken from memory.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "StarCatalog.h"
#include "TestFiles.h"

using namespace lumara::test;

namespace {

void ExpectSameState(const CStarCatalog& copy, const CStarCatalog& source) {
    EXPECT_EQ(copy.IsLoaded(), source.IsLoaded());
    EXPECT_EQ(copy.HasResults(), source.HasResults());
    EXPECT_EQ(copy.IsCriteriaMode(), source.IsCriteriaMode());
    EXPECT_EQ(copy.IsBOF(), source.IsBOF());
    EXPECT_EQ(copy.IsEOF(), source.IsEOF());
    EXPECT_STREQ(copy.GetCatalogPath(), source.GetCatalogPath());
    EXPECT_EQ(copy.GetRaFrom(), source.GetRaFrom());
    EXPECT_EQ(copy.GetDecNorth(), source.GetDecNorth());
    EXPECT_EQ(copy.GetMaxMagLimit(), source.GetMaxMagLimit());
    EXPECT_EQ(copy.GetPeriodMost(), source.GetPeriodMost());
    const StarRecord* a = copy.GetRecords();
    const StarRecord* b = source.GetRecords();
    for (; a != nullptr && b != nullptr; a = a->next, b = b->next) {
        EXPECT_NE(a, b) << "records are the copy's own";
        EXPECT_STREQ(a->line, b->line);
        EXPECT_EQ(a->index, b->index);
    }
    EXPECT_EQ(a, b) << "same number of records";
    const ResultNode* x = copy.GetFirstResult();
    const ResultNode* y = source.GetFirstResult();
    for (; x != nullptr && y != nullptr; x = x->next, y = y->next) {
        EXPECT_EQ(x->number, y->number);
        EXPECT_EQ(x->record->index, y->record->index);
        EXPECT_EQ(x == copy.GetCursorResult(), y == source.GetCursorResult());
    }
    EXPECT_EQ(x, y) << "same number of results";
}

} // namespace

TEST(CopyTest, CopiesASearchedCatalogueWithItsCursor) {
    TempDir dir;
    const std::string path = dir.Write("c.txt", ReadFile(LUMARA_DEMO_CATALOGUE));
    CStarCatalog source;
    ASSERT_GT(source.LoadCatalog(path.c_str()), 0);
    source.SetRaFrom(20);
    source.SetRaTo(4);
    ASSERT_GT(source.Search(true, false, true), 2);
    source.MoveFirst();
    source.MoveNext();

    // The file is gone: a copy that read it again would come out empty.
    std::filesystem::remove(path);
    CStarCatalog copy(source);
    ExpectSameState(copy, source);
    EXPECT_STREQ(copy.GetName(), source.GetName());

    CStarCatalog assigned;
    ASSERT_EQ(assigned.LoadCatalog(DataFile("three-stars.txt").c_str()), 3);
    assigned = source;
    ExpectSameState(assigned, source);

    // Each goes its own way afterwards.
    copy.MoveLast();
    EXPECT_NE(std::string(copy.GetName()), std::string(source.GetName()));
}

TEST(CopyTest, CopiesTheEmptyStates) {
    CStarCatalog fresh;
    fresh.SetDecSouth(-10);
    CStarCatalog copy(fresh);
    ExpectSameState(copy, fresh);

    CStarCatalog nothingFound;
    ASSERT_EQ(nothingFound.LoadCatalog(DataFile("three-stars.txt").c_str()), 3);
    nothingFound.SetDecNorth(-80);
    ASSERT_EQ(nothingFound.Search(true, false, false), 0);
    CStarCatalog second(nothingFound);
    ExpectSameState(second, nothingFound);
    EXPECT_EQ(second.Search(true, false, false), 0) << "still loaded";

    CStarCatalog& self = second;
    second = self;
    ExpectSameState(second, nothingFound);
}

TEST(CopyTest, CopyFromReplacesWhatTheTargetHeldWhateverIsNewSays) {
    CStarCatalog source;
    ASSERT_GT(source.LoadCatalog(LUMARA_DEMO_CATALOGUE), 3);
    ASSERT_GT(source.Search(true, false, true), 0);
    for (const bool isNew : {true, false}) {
        CStarCatalog target;
        ASSERT_EQ(target.LoadCatalog(DataFile("three-stars.txt").c_str()), 3);
        ASSERT_EQ(target.Search(true, false, false), 3);
        target.CopyFrom(source, isNew);
        ExpectSameState(target, source);
    }
}
