// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The window when the catalogue runs out of memory: a load that fails for
// want of memory is a failed load, and the window says so.
#include "FailingAllocations.h"
#include "WindowFixture.h"

TEST_F(WindowTest, ALoadWithoutMemoryIsReportedAsAFailedLoad) {
    LoadExamples();
    Search();
    ASSERT_GT(RowCount(), 0);
    m_dialogs.Forget();
    {
        lumara::test::FailingAllocations failing(0);
        Load(PathOf("examples.txt"));
    }
    EXPECT_EQ(m_dialogs.Messages(), QStringList{QStringLiteral("Data File Error!")});
    EXPECT_FALSE(m_window->GetCatalog().IsLoaded());
    EXPECT_EQ(RowCount(), 0);
    EXPECT_EQ(Texts({IDC_FILE_NAME, IDC_RECORDS_LOADED, IDC_STARS_FOUND}),
              QStringList({"", "0", "0"}));
}

TEST_F(WindowTest, ASearchWithoutMemoryIsReportedAndListsNothing) {
    LoadExamples();
    Search();
    ASSERT_GT(RowCount(), 0);
    m_dialogs.Forget();
    {
        lumara::test::FailingAllocations failing(0);
        Search();
    }
    EXPECT_EQ(
        m_dialogs.Messages(),
        QStringList{QStringLiteral("Search Error! Not enough memory to list the stars found.")});
    EXPECT_TRUE(m_window->GetCatalog().IsLoaded());
    EXPECT_EQ(RowCount(), 0);
    EXPECT_EQ(Texts({IDC_STARS_FOUND}), QStringList{"0"});
}
