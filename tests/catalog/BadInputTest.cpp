// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Hostile and damaged catalogue files, and files that move under our feet:
// a clear result every time, and nothing lost.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

#include "FileSystemFaults.h"
#include "StarCatalog.h"
#include "TestFiles.h"

namespace fs = std::filesystem;
using namespace lumara::test;

namespace {

constexpr std::size_t kGigabyte = std::size_t{1} << 30;
constexpr std::size_t kFeedChunkBytes = std::size_t{1} << 20;
constexpr std::size_t kTenMillion = 10'000'000;

std::string StarLines() {
    return std::string(kMiraLike) + "\n" + std::string(kEclipsing) + "\n";
}

} // namespace

// Root reads every file whatever its permission bits, so the check runs as
// the user nobody.
TEST(BadInputTest, AFileWithoutReadPermission) {
    TempDir dir;
    OpenFolderToEveryone(dir.PathOf(""), false);
    const std::string path = dir.Write("secret.txt", StarLines());
    fs::permissions(path, fs::perms::owner_write);
    const int result = RunAsOrdinaryUser([&] {
        CStarCatalog catalog;
        return catalog.LoadCatalog(path.c_str()) == -1 && !catalog.IsLoaded() ? 0 : 1;
    });
    if (result == kNoOrdinaryUser) {
        GTEST_SKIP() << "cannot run as an ordinary user";
    }
    EXPECT_EQ(result, 0) << "an unreadable file must give -1";
}

// A pipe fed as fast as the loader reads: the line is never held whole, and
// the star line after it is still found.
TEST(BadInputTest, AGigabyteLineWithoutALineFeed) {
    TempDir dir;
    const std::string pipe = dir.PathOf("huge");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    bool fed = false;
    std::thread feeder([&] {
        std::FILE* out = std::fopen(pipe.c_str(), "wb");
        if (out == nullptr) {
            return;
        }
        const std::string chunk(kFeedChunkBytes, 'x');
        bool ok = std::fputs(kEclipsing.data(), out) >= 0;
        for (std::size_t sent = 0; ok && sent < kGigabyte; sent += chunk.size()) {
            ok = std::fwrite(chunk.data(), 1, chunk.size(), out) == chunk.size();
        }
        ok = ok && std::fputs(("\n" + std::string(kMiraLike)).c_str(), out) >= 0;
        fed = std::fclose(out) == 0 && ok;
    });
    CStarCatalog catalog;
    const int count = catalog.LoadCatalog(pipe.c_str());
    feeder.join();
    ASSERT_TRUE(fed);
    EXPECT_EQ(count, 2);
    ASSERT_TRUE(catalog.IsLoaded());
    EXPECT_STREQ(catalog.GetRecords()->line, Padded(std::string(kEclipsing) + "xxxx").c_str());
    EXPECT_STREQ(catalog.GetRecords()->next->line, Padded(kMiraLike).c_str());
}

TEST(BadInputTest, TenMillionBlankLines) {
    TempDir dir;
    const std::string blank(kTenMillion, '\n');
    CStarCatalog catalog;
    EXPECT_EQ(catalog.LoadCatalog(dir.Write("blank.txt", blank).c_str()), 0);
    EXPECT_FALSE(catalog.IsLoaded());
    const std::string path =
        dir.Write("between.txt", std::string(kMiraLike) + blank + std::string(kEclipsing));
    EXPECT_EQ(catalog.LoadCatalog(path.c_str()), 2);
}

TEST(BadInputTest, LinesOfOnlyCarriageReturns) {
    TempDir dir;
    std::string crLines;
    for (std::size_t i = 0; i < kTenMillion / 10; ++i) {
        crLines += "\r\n";
    }
    const std::string crRun(kTenMillion, '\r');
    CStarCatalog catalog;
    EXPECT_EQ(catalog.LoadCatalog(dir.Write("cr-lines.txt", crLines).c_str()), 0);
    EXPECT_EQ(catalog.LoadCatalog(dir.Write("cr-run.txt", crRun).c_str()), 0);
    EXPECT_EQ(
        catalog.LoadCatalog(
            dir.Write("mixed.txt", crLines + StarLines() + crRun + "\n" + StarLines()).c_str()),
        4);
}

TEST(BadInputTest, ATruncatedLastLine) {
    TempDir dir;
    const std::string star(kMiraLike);
    CStarCatalog catalog;
    // Cut before the type column: no longer a star line.
    EXPECT_EQ(catalog.LoadCatalog(dir.Write("a.txt", StarLines() + star.substr(0, 15)).c_str()), 2);
    // Cut after it: still a star, filled up with spaces.
    ASSERT_EQ(catalog.LoadCatalog(dir.Write("b.txt", StarLines() + star.substr(0, 40)).c_str()), 3);
    catalog.MoveLast();
    EXPECT_STREQ(catalog.GetLine(), Padded(star.substr(0, 40)).c_str());
    EXPECT_STREQ(catalog.GetRange(), "  6.20 -      ");
}

// The records live in memory: what happens to the file after the load does
// not change what is saved.
TEST(BadInputTest, AFileThatChangesOrDisappearsBeforeTheSave) {
    TempDir dir;
    const std::string path = dir.Write("stars.txt", StarLines());
    CStarCatalog catalog;
    ASSERT_EQ(catalog.LoadCatalog(path.c_str()), 2);
    const std::string saved = Padded(kMiraLike) + "\r\n" + Padded(kEclipsing) + "\r\n";

    dir.Write("stars.txt", "0000+00   changed     X\n");
    ASSERT_EQ(catalog.SaveTxt(dir.PathOf("after-change.txt").c_str()), 2);
    EXPECT_EQ(ReadFile(dir.PathOf("after-change.txt")), saved);

    fs::remove(path);
    ASSERT_EQ(catalog.SaveTxt(path.c_str()), 2) << "saved where the file was";
    EXPECT_EQ(ReadFile(path), saved);

    fs::remove(path);
    EXPECT_EQ(catalog.LoadCatalog(path.c_str()), -1) << "a vanished file cannot be loaded";
    EXPECT_FALSE(catalog.IsLoaded());
}

TEST(BadInputTest, APathWithSpacesAndNonAsciiBytes) {
    TempDir dir;
    // UTF-8 and a byte that is no UTF-8 at all: paths are bytes.
    const std::string folder = dir.PathOf("Meine Sterne \xC3\xBC \xFF");
    fs::create_directory(folder);
    const std::string path = folder + "/Kat alog \xE9.txt";
    dir.Write(path.substr(dir.PathOf("").size()), StarLines());
    CStarCatalog catalog;
    ASSERT_EQ(catalog.LoadCatalog(path.c_str()), 2);
    EXPECT_STREQ(catalog.GetCatalogPath(), path.c_str());
    EXPECT_EQ(catalog.SaveTxt((folder + "/aus gabe \xFE.txt").c_str()), 2);
    EXPECT_EQ(catalog.SaveCsv((folder + "/aus gabe \xFE.csv").c_str()), 2);
    EXPECT_EQ(ReadFile(folder + "/aus gabe \xFE.txt"),
              Padded(kMiraLike) + "\r\n" + Padded(kEclipsing) + "\r\n");
    EXPECT_TRUE(fs::exists(folder + "/aus gabe \xFE.csv"));
}
