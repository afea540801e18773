// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Files are read in blocks, two lanes at once, and the blocks joined in
// order: wherever a block ends, the catalogue is the one a front-to-back
// read gives.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "CatalogueStream.h"
#include "FailingAllocations.h"
#include "FileSystemFaults.h"
#include "InjectedFaults.h"
#include "StarCatalog.h"
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

constexpr std::size_t kBlock = lumara::kStreamBlockBytes;

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

TEST(BlockLoadTest, EveryStarOnceInOrderWhereverABlockEnds) {
    // An overlong star line, a heading and a short star line sit where the
    // first block ends; growing the first line moves the block's end across
    // all of them, a few bytes at a time. The rest makes several blocks for
    // each lane.
    std::vector<std::string> names;
    int number = 1;
    const std::string before = FillerStars(kBlock - 400, number, names);
    const std::string overlong = NumberedStar(number) + std::string(300, 'x');
    names.push_back(NameFor(number++));
    const std::string shortStar = NumberedStar(number).substr(0, 24);
    names.push_back(NameFor(number++));
    const std::string middle = overlong + "\n# a heading\n" + shortStar + "\r\n";
    const std::string after = FillerStars(5 * kBlock, number, names);

    TempDir dir;
    CStarCatalog catalog;
    for (std::size_t grow = 0; grow < 400 + middle.size() + 40; grow += 9) {
        const std::string file = std::string(grow, '#') + "\n" + before + middle + after;
        ASSERT_EQ(catalog.LoadCatalog(dir.Write("stars.txt", file).c_str()),
                  static_cast<int>(names.size()))
            << grow;
        ExpectCatalogueOf(catalog, names);
        if (::testing::Test::HasFailure()) {
            FAIL() << "first line grown by " << grow;
        }
    }
}

TEST(BlockLoadTest, AByteOrderMarkCountsOnlyAtTheStart) {
    // A byte-order mark is skipped only at the start of the file; anywhere
    // else, a block's start included, it spoils the star line behind it.
    const std::string markedStars = [] {
        std::string text;
        for (int number = 900000; text.size() < 2 * kBlock; ++number) {
            text += "\xEF\xBB\xBF" + NumberedStar(number) + "\n";
        }
        return text;
    }();
    std::vector<std::string> names;
    int number = 1;
    const std::string stars = "\xEF\xBB\xBF" + FillerStars(3 * kBlock, number, names);

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

    // A block that starts with a mark, behind a heading that fills the
    // block before it.
    const std::string marked =
        std::string(kBlock - 1, '=') + "\n\xEF\xBB\xBF" + NumberedStar(0) + "\n" + stars.substr(3);
    ASSERT_EQ(catalog.LoadCatalog(dir.Write("marked.txt", marked).c_str()),
              static_cast<int>(names.size()));
    ExpectCatalogueOf(catalog, names);
}

TEST(BlockLoadTest, ALineLongerThanABlockIsCutLikeAnyOther) {
    std::vector<std::string> names;
    int number = 1;
    const std::string before = FillerStars(kBlock / 2, number, names);
    const std::string after = FillerStars(2 * kBlock, number, names);
    const std::string file = before + std::string(3 * kBlock, '=') + "\n" + after;

    TempDir dir;
    CStarCatalog catalog;
    ASSERT_EQ(catalog.LoadCatalog(dir.Write("stars.txt", file).c_str()),
              static_cast<int>(names.size()));
    ExpectCatalogueOf(catalog, names);
    // A star line that goes on for blocks keeps its first characters.
    const std::string longStar = before + NumberedStar(0) + std::string(2 * kBlock, ' ') + "\n";
    ASSERT_EQ(catalog.LoadCatalog(dir.Write("long.txt", longStar + after).c_str()),
              static_cast<int>(names.size()) + 1);
}

TEST(BlockLoadTest, RunningOutOfMemoryOnEitherLaneFailsWhole) {
    TempDir dir;
    const StarsFile stars(dir, 12 * kBlock);
    // However the blocks fall to the lanes, the stars need at least 16
    // chunks: the last of them fails too.
    for (int allowed : {0, 1, 4, 9, 15}) {
        CStarCatalog catalog;
        lumara::test::FailingAllocations failing(allowed);
        EXPECT_EQ(catalog.LoadCatalog(stars.path.c_str()), -1) << allowed;
        EXPECT_FALSE(catalog.IsLoaded());
        EXPECT_EQ(catalog.GetRecords(), nullptr);
        EXPECT_EQ(catalog.GetFirstResult(), nullptr);
        EXPECT_TRUE(catalog.IsEOF());
    }
    // Each lane takes a block buffer of its own.
    for (int allowed : {0, 1}) {
        CStarCatalog catalog;
        const InjectedFault noBlock(lumara::FaultPoint::LoadBuffer, allowed);
        EXPECT_EQ(catalog.LoadCatalog(stars.path.c_str()), -1) << allowed;
        EXPECT_FALSE(catalog.IsLoaded());
        EXPECT_EQ(noBlock.Calls(lumara::FaultPoint::LoadBuffer), 2);
    }
    CStarCatalog catalog;
    ASSERT_EQ(catalog.LoadCatalog(stars.path.c_str()), static_cast<int>(stars.names.size()));
    ExpectCatalogueOf(catalog, stars.names);
}

// A user limited to one process cannot start a thread; the calling thread
// then reads every block. Root is never limited, so the user nobody loads
// the file.
TEST(BlockLoadTest, WithoutASecondThreadTheCallingThreadReadsEveryBlock) {
    TempDir dir;
    const StarsFile stars(dir, 8 * kBlock);
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
