// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Large files are read as two stretches at once and joined: whatever the
// middle of the file falls on, the catalogue is the one a front-to-back read
// gives.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "FailingAllocations.h"
#include "FileSystemFaults.h"
#include "StarCatalog.h"
#include "StarLoader.h"
#include "TestFiles.h"

using namespace lumara::test;

namespace {

std::string NameFor(int number) {
    char name[12];
    std::snprintf(name, sizeof name, "S%06d", number);
    return name;
}

// A star line whose name tells which star it is.
std::string NumberedStar(int number) {
    std::string line(kMiraLike);
    line.replace(10, 11, NameFor(number) + std::string(11 - 7, ' '));
    return line;
}

std::string NameOf(const StarRecord& record) {
    return std::string(record.line + 10, 7);
}

std::vector<std::string> NamesIn(const CStarCatalog& catalog) {
    std::vector<std::string> names;
    for (const StarRecord* r = catalog.GetRecords(); r != nullptr; r = r->next) {
        names.push_back(NameOf(*r));
    }
    return names;
}

// A catalogue holds exactly the stars named, in order, numbered from 1 and
// listed both ways.
void ExpectCatalogueOf(const CStarCatalog& catalog, const std::vector<std::string>& names) {
    int index = 0;
    for (const StarRecord* r = catalog.GetRecords(); r != nullptr; r = r->next) {
        ASSERT_EQ(r->index, ++index);
    }
    ASSERT_EQ(NamesIn(catalog), names);

    const StarRecord* record = catalog.GetRecords();
    const ResultNode* previous = nullptr;
    for (const ResultNode* node = catalog.GetFirstResult(); node != nullptr; node = node->next) {
        ASSERT_EQ(node->record, record);
        ASSERT_EQ(node->number, record->index);
        ASSERT_EQ(node->prev, previous);
        previous = node;
        record = record->next;
    }
    EXPECT_EQ(record, nullptr);
    EXPECT_EQ(catalog.GetLastResult(), previous);
}

// Star lines and headings, with CR LF on some, until the text is `bytes` long.
std::string FillerStars(std::size_t bytes, int& number, std::vector<std::string>& names) {
    std::string text;
    while (text.size() < bytes) {
        if (number % 5 == 4) {
            text += "  heading between stars\n";
        }
        text += NumberedStar(number) + (number % 3 == 0 ? "\r\n" : "\n");
        names.push_back(NameFor(number));
        ++number;
    }
    return text;
}

// A file of numbered stars, at least `bytes` long, and their names in order.
struct StarsFile {
    StarsFile(const TempDir& dir, std::size_t bytes) {
        int number = 1;
        path = dir.Write("stars.txt", FillerStars(bytes, number, names));
    }
    std::vector<std::string> names;
    std::string path;
};

} // namespace

TEST(SplitLoadTest, EveryStarOnceInOrderWhereverTheMiddleFalls) {
    // An overlong star line, a heading and a short star line sit where the
    // middle of the file falls; growing the first line moves the middle
    // across all of them, a few bytes at a time.
    const std::size_t half = lumara::kSplitLoadBytes / 2;
    std::vector<std::string> names;
    int number = 1;
    const std::string before = FillerStars(half, number, names);
    const std::string overlong = NumberedStar(number) + std::string(300, 'x');
    names.push_back(NameFor(number++));
    const std::string shortStar = NumberedStar(number).substr(0, 24);
    names.push_back(NameFor(number++));
    const std::string middle = overlong + "\n# a heading\n" + shortStar + "\r\n";
    const std::string after = FillerStars(half + middle.size(), number, names);

    TempDir dir;
    CStarCatalog catalog;
    for (std::size_t grow = 0; grow < 2 * (middle.size() + 40); grow += 9) {
        const std::string file = std::string(grow, '#') + "\n" + before + middle + after;
        ASSERT_GE(file.size(), lumara::kSplitLoadBytes);
        ASSERT_EQ(catalog.LoadCatalog(dir.Write("stars.txt", file).c_str()),
                  static_cast<int>(names.size()))
            << grow;
        ExpectCatalogueOf(catalog, names);
        if (::testing::Test::HasFailure()) {
            FAIL() << "first line grown by " << grow;
        }
    }
}

TEST(SplitLoadTest, StarsInOneHalfOnly) {
    // A byte-order mark is skipped only at the start of the file; anywhere
    // else it spoils the star line behind it, also where the second stretch
    // begins.
    const std::string markedStars = [] {
        std::string text;
        for (int number = 900000; text.size() < 2 * lumara::kSplitLoadBytes; ++number) {
            text += "\xEF\xBB\xBF" + NumberedStar(number) + "\n";
        }
        return text;
    }();
    std::vector<std::string> names;
    int number = 1;
    const std::string stars = "\xEF\xBB\xBF" + FillerStars(lumara::kSplitLoadBytes, number, names);

    TempDir dir;
    CStarCatalog catalog;
    ASSERT_EQ(catalog.LoadCatalog(dir.Write("first.txt", stars + markedStars).c_str()),
              static_cast<int>(names.size()));
    ExpectCatalogueOf(catalog, names);
    ASSERT_EQ(
        catalog.LoadCatalog(dir.Write("second.txt", "#\n" + markedStars + stars.substr(3)).c_str()),
        static_cast<int>(names.size()));
    ExpectCatalogueOf(catalog, names);
    EXPECT_EQ(catalog.LoadCatalog(dir.Write("none.txt", "#\n" + markedStars).c_str()), 0);
    EXPECT_FALSE(catalog.IsLoaded());
}

TEST(SplitLoadTest, AMiddleLineTooLongToSplitAtIsReadInOneStretch) {
    std::vector<std::string> names;
    int number = 1;
    const std::string before = FillerStars(lumara::kSplitLoadBytes / 2, number, names);
    const std::string after = FillerStars(lumara::kSplitLoadBytes / 2, number, names);
    const std::string file =
        before + std::string(3 * lumara::kMaxSplitSearchBytes, '=') + "\n" + after;

    TempDir dir;
    CStarCatalog catalog;
    ASSERT_EQ(catalog.LoadCatalog(dir.Write("stars.txt", file).c_str()),
              static_cast<int>(names.size()));
    ExpectCatalogueOf(catalog, names);
}

TEST(SplitLoadTest, RunningOutOfMemoryInEitherHalfFailsWhole) {
    TempDir dir;
    const StarsFile stars(dir, 3 * lumara::kSplitLoadBytes);
    for (int allowed : {0, 1, 4, 9, 16, 24}) {
        CStarCatalog catalog;
        lumara::test::FailingAllocations failing(allowed);
        EXPECT_EQ(catalog.LoadCatalog(stars.path.c_str()), -1) << allowed;
        EXPECT_FALSE(catalog.IsLoaded());
        EXPECT_EQ(catalog.GetRecords(), nullptr);
        EXPECT_EQ(catalog.GetFirstResult(), nullptr);
        EXPECT_TRUE(catalog.IsEOF());
    }
    CStarCatalog catalog;
    ASSERT_EQ(catalog.LoadCatalog(stars.path.c_str()), static_cast<int>(stars.names.size()));
    ExpectCatalogueOf(catalog, stars.names);
}

// A user limited to one process cannot start a thread; both stretches are
// then read on the calling thread. Root is never limited, so the user nobody
// loads the file.
TEST(SplitLoadTest, WithoutASecondThreadBothStretchesAreReadInTurn) {
    TempDir dir;
    const StarsFile stars(dir, 2 * lumara::kSplitLoadBytes);
    OpenFolderToEveryone(dir.PathOf(""), false);
    const int result = RunAsOrdinaryUser([&] {
        if (!ForbidMoreThreads()) {
            return kPremiseFailed;
        }
        CStarCatalog catalog;
        const auto count = static_cast<int>(stars.names.size());
        return catalog.LoadCatalog(stars.path.c_str()) == count &&
                       NamesIn(catalog) == stars.names && catalog.GetLastResult()->number == count
                   ? 0
                   : 1;
    });
    if (result == kNoOrdinaryUser || result == kPremiseFailed) {
        GTEST_SKIP() << "cannot run as a user who may not start a thread";
    }
    EXPECT_EQ(result, 0);
}
