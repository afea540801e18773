// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Loading catalogue files: which lines become records and how they are kept.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "StarCatalog.h"
#include "TestFiles.h"

using namespace lumara::test;

namespace {

std::vector<std::string> StoredLines(const CStarCatalog& catalog) {
    std::vector<std::string> lines;
    for (const StarRecord* r = catalog.GetRecords(); r != nullptr; r = r->next) {
        lines.emplace_back(r->line);
    }
    return lines;
}

std::string Lines(std::initializer_list<std::string_view> lines, std::string_view end = "\n") {
    std::string text;
    for (const auto line : lines) {
        text.append(line).append(end);
    }
    return text;
}

} // namespace

TEST(LoadTest, KeepsTheStarLinesOfAFileInOrder) {
    CStarCatalog catalog;
    ASSERT_EQ(catalog.LoadCatalog(DataFile("five-lines.txt").c_str()), 3);
    EXPECT_EQ(StoredLines(catalog),
              (std::vector{Padded(kMiraLike), Padded(kEclipsing), Padded(kNoLightCurve)}));
    int expectedIndex = 1;
    for (const StarRecord* r = catalog.GetRecords(); r != nullptr; r = r->next) {
        EXPECT_EQ(r->index, expectedIndex++);
    }
    EXPECT_TRUE(catalog.IsLoaded());
    EXPECT_STREQ(catalog.GetCatalogPath(), DataFile("five-lines.txt").c_str());
}

TEST(LoadTest, ListsEveryRecordWithTheCursorOnTheFirst) {
    CStarCatalog catalog;
    ASSERT_EQ(catalog.LoadCatalog(DataFile("five-lines.txt").c_str()), 3);
    ASSERT_TRUE(catalog.HasResults());
    EXPECT_FALSE(catalog.IsCriteriaMode());
    EXPECT_EQ(catalog.GetFirstResult()->number, 1);
    EXPECT_EQ(catalog.GetLastResult()->number, 3);
    EXPECT_EQ(catalog.GetCursorResult(), catalog.GetFirstResult());
    EXPECT_TRUE(catalog.IsBOF());
    EXPECT_FALSE(catalog.IsEOF());
    EXPECT_STREQ(catalog.GetName(), "     RT Xyz");
}

TEST(LoadTest, LineEndsAndTheLastLineAlike) {
    TempDir dir;
    const auto expected = std::vector{Padded(kMiraLike), Padded(kEclipsing)};
    for (const std::string& text :
         {Lines({kMiraLike, kEclipsing}), Lines({kMiraLike, kEclipsing}, "\r\n"),
          Lines({kMiraLike}) + std::string(kEclipsing),
          Lines({kMiraLike}, "\r\n") + std::string(kEclipsing) + "\r"}) {
        CStarCatalog catalog;
        EXPECT_EQ(catalog.LoadCatalog(dir.Write("c.txt", text).c_str()), 2);
        EXPECT_EQ(StoredLines(catalog), expected);
    }
}

TEST(LoadTest, LinesAreCutOrFilledToSeventyFiveColumns) {
    TempDir dir;
    const std::string exact = Padded(kMiraLike);
    const std::string hundred = exact + std::string(25, '#');
    const std::string minimal = "0536+21   RT Xyz      M";
    CStarCatalog catalog;
    ASSERT_EQ(catalog.LoadCatalog(
                  dir.Write("c.txt", exact + "\r\n" + hundred + "\n" + minimal + "\n").c_str()),
              3);
    EXPECT_EQ(StoredLines(catalog), (std::vector{exact, exact, Padded(minimal)}));
}

TEST(LoadTest, FilesWithoutStarLinesLoadNothing) {
    TempDir dir;
    for (const std::string& path : {dir.Write("empty.txt", ""), DataFile("no-star-lines.txt"),
                                    dir.Write("blank.txt", std::string(1000, '\n')),
                                    dir.Write("cr.txt", std::string(1000, '\r'))}) {
        CStarCatalog catalog;
        EXPECT_EQ(catalog.LoadCatalog(path.c_str()), 0) << path;
        EXPECT_FALSE(catalog.IsLoaded());
        EXPECT_FALSE(catalog.HasResults());
    }
}

TEST(LoadTest, AFileThatCannotBeReadGivesMinusOne) {
    TempDir dir;
    CStarCatalog catalog;
    EXPECT_EQ(catalog.LoadCatalog(dir.PathOf("missing.txt").c_str()), -1);
    EXPECT_STREQ(catalog.GetCatalogPath(), dir.PathOf("missing.txt").c_str());
    EXPECT_EQ(catalog.LoadCatalog(dir.PathOf("").c_str()), -1) << "a folder is no catalogue";
    EXPECT_EQ(catalog.LoadCatalog(nullptr), -1);
}

TEST(LoadTest, DevicesAreRefusedRatherThanReadForever) {
    CStarCatalog catalog;
    for (const char* device : {"/dev/zero", "/dev/urandom", "/dev/null"}) {
        EXPECT_EQ(catalog.LoadCatalog(device), -1) << device;
    }
    // A link to a catalogue file is as good as the file.
    TempDir dir;
    std::filesystem::create_symlink(DataFile("three-stars.txt"), dir.PathOf("link.txt"));
    EXPECT_EQ(catalog.LoadCatalog(dir.PathOf("link.txt").c_str()), 3);
}

TEST(LoadTest, AFailedLoadLeavesNothingAndAWalkEnds) {
    TempDir dir;
    CStarCatalog catalog;
    ASSERT_EQ(catalog.LoadCatalog(DataFile("three-stars.txt").c_str()), 3);
    for (const std::string& path : {dir.PathOf("missing.txt"), dir.Write("e.txt", "")}) {
        ASSERT_LE(catalog.LoadCatalog(path.c_str()), 0);
        EXPECT_EQ(catalog.GetRecords(), nullptr);
        EXPECT_EQ(catalog.GetFirstResult(), nullptr);
        EXPECT_TRUE(catalog.IsBOF());
        EXPECT_TRUE(catalog.IsEOF());
        int rows = 0;
        for (catalog.MoveFirst(); !catalog.IsEOF() && rows < 10; catalog.MoveNext()) {
            ++rows;
        }
        EXPECT_EQ(rows, 0);
        EXPECT_EQ(catalog.GetRaHours(), 0);
        EXPECT_STREQ(catalog.GetName(), "");
        EXPECT_EQ(catalog.GetPeriod(), 0.0);
        EXPECT_EQ(catalog.Search(true, false, false), -1);
    }
}

TEST(LoadTest, ASecondFileReplacesTheFirst) {
    TempDir dir;
    CStarCatalog catalog;
    ASSERT_EQ(catalog.LoadCatalog(DataFile("three-stars.txt").c_str()), 3);
    ASSERT_EQ(catalog.LoadCatalog(dir.Write("one.txt", Lines({kEclipsing})).c_str()), 1);
    EXPECT_EQ(StoredLines(catalog), std::vector{Padded(kEclipsing)});
    EXPECT_EQ(catalog.GetRecords()->index, 1);
    EXPECT_EQ(catalog.GetLastResult()->number, 1);
}

TEST(LoadTest, AByteOrderMarkIsSkipped) {
    TempDir dir;
    CStarCatalog catalog;
    EXPECT_EQ(catalog.LoadCatalog(
                  dir.Write("bom.txt", "\xEF\xBB\xBF" + Lines({kMiraLike, kEclipsing})).c_str()),
              2);
    EXPECT_EQ(StoredLines(catalog).front(), Padded(kMiraLike));
    // Only at the very start: further on the same bytes make a line fail.
    EXPECT_EQ(catalog.LoadCatalog(
                  dir.Write("mid.txt", Lines({kMiraLike, "\xEF\xBB\xBF" + std::string(kEclipsing)}))
                      .c_str()),
              1);
}

TEST(LoadTest, ALongLineIsOneLine) {
    TempDir dir;
    // The tail of an overlong line would read as a star line if it were
    // taken for a line of its own.
    const std::string longLine =
        Padded(kMiraLike) + std::string(180, '.') + std::string(kEclipsing);
    ASSERT_GE(longLine.size(), 256u);
    CStarCatalog catalog;
    ASSERT_EQ(catalog.LoadCatalog(dir.Write("long.txt", Lines({longLine, kNoLightCurve})).c_str()),
              2);
    EXPECT_EQ(StoredLines(catalog), (std::vector{Padded(kMiraLike), Padded(kNoLightCurve)}));

    // A line far longer than a read block, with no line feed at all.
    const std::string huge = Padded(kEclipsing) + std::string(3'000'000, 'x');
    EXPECT_EQ(catalog.LoadCatalog(dir.Write("huge.txt", huge).c_str()), 1);
    EXPECT_EQ(catalog.LoadCatalog(dir.Write("huge2.txt", huge + "\n" + Lines({kMiraLike})).c_str()),
              2);
}

TEST(LoadTest, LinesAcrossReadBlocks) {
    TempDir dir;
    // Enough lines that many straddle the boundary between two reads.
    std::string text;
    int expected = 0;
    for (int i = 0; text.size() < 3'000'000; ++i) {
        if (i % 7 == 3) {
            text += "heading line\n";
        } else {
            text.append(i % 2 ? kMiraLike : kEclipsing).append(i % 3 ? "\n" : "\r\n");
            ++expected;
        }
    }
    CStarCatalog catalog;
    ASSERT_EQ(catalog.LoadCatalog(dir.Write("big.txt", text).c_str()), expected);
    for (const StarRecord* r = catalog.GetRecords(); r != nullptr; r = r->next) {
        ASSERT_TRUE(Padded(kMiraLike) == r->line || Padded(kEclipsing) == r->line) << r->index;
    }
}

TEST(LoadTest, JunkBytesAndZerosAreSkippedOrCut) {
    TempDir dir;
    std::string junk;
    for (int i = 0; i < 20000; ++i) {
        junk += static_cast<char>((i * 7919 + 13) % 256);
    }
    std::string withZero = std::string(kMiraLike);
    withZero[40] = '\0';
    CStarCatalog catalog;
    ASSERT_EQ(catalog.LoadCatalog(dir.Write("j.txt", junk + "\n" + withZero + "\n" + junk).c_str()),
              1);
    // The line ends at its zero byte.
    EXPECT_EQ(StoredLines(catalog).front(), Padded(kMiraLike.substr(0, 40)));
}

TEST(LoadTest, PathsLongerThan255Characters) {
    TempDir dir;
    std::string folder = dir.PathOf(std::string(200, 'd'));
    std::filesystem::create_directories(folder + "/" + std::string(200, 'e'));
    const std::string path = folder + "/" + std::string(200, 'e') + "/stars.txt";
    ASSERT_GT(path.size(), 400u);
    std::ofstream(path) << kMiraLike << "\n";
    CStarCatalog catalog;
    EXPECT_EQ(catalog.LoadCatalog(path.c_str()), 1);
    EXPECT_EQ(std::string(catalog.GetCatalogPath()), path);
}

TEST(LoadTest, TheDemoCatalogueLoads) {
    CStarCatalog catalog;
    EXPECT_GT(catalog.LoadCatalog(LUMARA_DEMO_CATALOGUE), 200);
}
