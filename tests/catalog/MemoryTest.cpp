// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Running out of memory leaves a consistent catalogue and a failure result.
#include <gtest/gtest.h>

#include "FailingAllocations.h"
#include "StarCatalog.h"
#include "TestFiles.h"

using namespace lumara::test;

TEST(MemoryTest, ALoadWithoutMemoryFailsWhole) {
    // Two records chunks and no nodes, or one of each, or none.
    for (int allowed : {0, 1, 2}) {
        CStarCatalog catalog;
        FailingAllocations failing(allowed);
        EXPECT_EQ(catalog.LoadCatalog(LUMARA_DEMO_CATALOGUE), -1) << allowed;
        EXPECT_FALSE(catalog.IsLoaded());
        EXPECT_EQ(catalog.GetRecords(), nullptr);
        EXPECT_FALSE(catalog.HasResults());
        EXPECT_TRUE(catalog.IsEOF());
        EXPECT_EQ(catalog.SaveTxt("/nonexistent/never-written.txt"), 0);
    }
}

TEST(MemoryTest, ASearchWithoutMemoryLeavesNoPartialList) {
    CStarCatalog catalog;
    ASSERT_GT(catalog.LoadCatalog(LUMARA_DEMO_CATALOGUE), 0);
    {
        FailingAllocations failing(0);
        EXPECT_EQ(catalog.Search(true, false, false), -1);
    }
    EXPECT_TRUE(catalog.IsLoaded());
    EXPECT_FALSE(catalog.HasResults());
    EXPECT_EQ(catalog.GetFirstResult(), nullptr);
    EXPECT_TRUE(catalog.IsBOF());
    EXPECT_TRUE(catalog.IsEOF());
    EXPECT_GT(catalog.Search(true, false, false), 0) << "memory is back";
}

TEST(MemoryTest, ACopyWithoutMemoryHoldsNothing) {
    CStarCatalog source;
    ASSERT_GT(source.LoadCatalog(LUMARA_DEMO_CATALOGUE), 0);
    FailingAllocations failing(1);
    CStarCatalog copy(source);
    EXPECT_FALSE(copy.IsLoaded());
    EXPECT_EQ(copy.GetRecords(), nullptr);
    EXPECT_FALSE(copy.HasResults());
}
