// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Exports of more than one batch, which two threads format and write in
// turn: byte for byte what a small export of the same lines gives on the
// calling thread alone, and the same failures.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <sys/stat.h>

#include "ByteSink.h"
#include "Export.h"
#include "FileSystemFaults.h"
#include "InjectedFaults.h"
#include "LineFormat.h"
#include "StarCatalog.h"
#include "TestFiles.h"

namespace fs = std::filesystem;
using namespace lumara::test;

namespace {

// Room for the first batch of a TXT export, but not for the whole of it.
constexpr const char* kOneBatchDisk = "size=1m";

std::string Repeated(const std::string& text, std::size_t copies) {
    std::string repeated;
    repeated.reserve(text.size() * copies);
    for (std::size_t i = 0; i < copies; ++i) {
        repeated += text;
    }
    return repeated;
}

// What a CSV export of `copies` repetitions of a list holds, from the CSV
// export of the list: its header once, then its rows again and again.
std::string RepeatedCsv(const std::string& once, std::size_t copies) {
    const std::size_t rows = once.find('\n') + 1;
    return once.substr(0, rows) + Repeated(once.substr(rows), copies);
}

std::set<std::string> Entries(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// A star line at `position` (four digits of R.A., sign and two of
// declination) whose every text column holds double quotes, so that its CSV
// row is half as long again as usual.
std::string QuotedEverywhere(std::string_view position) {
    using namespace lumara::format;
    std::string line = Padded(kMiraLike);
    line.replace(kRaHoursColumn, position.size(), position);
    for (const auto& [column, width] :
         {std::pair{kNameColumn, kNameChars}, std::pair{kTypeColumn, kTypeChars},
          std::pair{kRangeColumn, kRangeChars}, std::pair{kDescColumn, kDescChars}}) {
        line.replace(column, width, std::string(width, '"'));
    }
    return line;
}

class LargeExportTest : public testing::Test {
protected:
    // Loads a small catalogue of `lines` and a large one of `repetitions`
    // repetitions of them, and exports the small one.
    void Load(const std::vector<std::string>& lines, std::size_t repetitions) {
        std::string text;
        for (const std::string& line : lines) {
            text += line + "\n";
        }
        const auto count = static_cast<int>(lines.size());
        ASSERT_EQ(small.LoadCatalog(dir.Write("small.txt", text).c_str()), count);
        ASSERT_EQ(large.LoadCatalog(dir.Write("large.txt", Repeated(text, repetitions)).c_str()),
                  count * static_cast<int>(repetitions));
        copies = repetitions;
        ExportSmall();
    }

    // Exports the small catalogue's result list, which a large export is
    // compared with.
    void ExportSmall() {
        const int count = small.GetLastResult() != nullptr ? small.GetLastResult()->number : 0;
        ASSERT_EQ(small.SaveCsv(dir.PathOf("small.csv").c_str()), count);
        ASSERT_EQ(small.SaveTxt(dir.PathOf("small-saved.txt").c_str()), count);
        smallCsv = ReadFile(dir.PathOf("small.csv"));
        smallTxt = ReadFile(dir.PathOf("small-saved.txt"));
    }

    int LargeRows() const { return large.GetLastResult()->number; }

    // Both exports of the large catalogue to `csv` and `txt`, each checked
    // against the small exports repeated.
    void ExpectLargeExportsMatch(const std::string& csv, const std::string& txt) {
        ASSERT_GT(static_cast<std::size_t>(LargeRows()), lumara::kExportRowsPerBatch)
            << "too few rows for a second thread";
        EXPECT_EQ(large.SaveCsv(csv.c_str()), LargeRows());
        EXPECT_EQ(ReadFile(csv), RepeatedCsv(smallCsv, copies));
        EXPECT_EQ(large.SaveTxt(txt.c_str()), LargeRows());
        EXPECT_EQ(ReadFile(txt), Repeated(smallTxt, copies));
    }

    // Copies of four lines that make up `batches` batches and a bit.
    static std::size_t CopiesOfFourFor(std::size_t batches) {
        return batches * lumara::kExportRowsPerBatch / 4 + 7;
    }

    static std::vector<std::string> FourLines() {
        std::string quoted = Padded(kMiraLike);
        quoted.replace(55, 20, "say \"hi\", twice     ");
        return {std::string(kMiraLike), std::string(kEclipsing), std::string(kNoLightCurve),
                quoted};
    }

    TempDir dir;
    CStarCatalog small;
    CStarCatalog large;
    std::size_t copies = 0;
    std::string smallCsv;
    std::string smallTxt;
};

} // namespace

TEST_F(LargeExportTest, EveryRowAsTheCallingThreadAloneWritesIt) {
    Load(FourLines(), CopiesOfFourFor(3));
    ExpectLargeExportsMatch(dir.PathOf("large.csv"), dir.PathOf("large-saved.txt"));
}

// Without a helper thread, or without memory for one lane's buffer, the
// other lane formats every batch; without memory for either the export
// fails rather than leaving an empty file.
TEST_F(LargeExportTest, ALaneThatCannotStartLeavesItsBatchesToTheOther) {
    Load(FourLines(), CopiesOfFourFor(3));
    for (const auto& [point, allowed] : {std::pair{lumara::FaultPoint::Thread, 0},
                                         std::pair{lumara::FaultPoint::ExportBuffer, 1}}) {
        for (const bool csv : {true, false}) {
            const std::string path = dir.PathOf(csv ? "large.csv" : "large.txt");
            const InjectedFault fault(point, allowed);
            EXPECT_EQ(csv ? large.SaveCsv(path.c_str()) : large.SaveTxt(path.c_str()), LargeRows());
            EXPECT_EQ(ReadFile(path),
                      csv ? RepeatedCsv(smallCsv, copies) : Repeated(smallTxt, copies));
            EXPECT_GT(fault.Calls(point), 0);
        }
    }
    const std::string path = dir.Write("old.csv", "yesterday's stars\n");
    const InjectedFault noBuffers(lumara::FaultPoint::ExportBuffer);
    EXPECT_EQ(large.SaveCsv(path.c_str()), -1);
    EXPECT_EQ(large.SaveTxt(dir.PathOf("new.txt").c_str()), -1);
    EXPECT_EQ(ReadFile(path), "yesterday's stars\n");
    EXPECT_FALSE(fs::exists(dir.PathOf("new.txt")));
}

TEST_F(LargeExportTest, ASearchedListIsWrittenWhole) {
    Load(FourLines(), CopiesOfFourFor(5));
    for (CStarCatalog* catalog : {&small, &large}) {
        catalog->SetDecSouth(0);
        ASSERT_GT(catalog->Search(true, false, false), 0);
    }
    ExportSmall();
    ASSERT_LT(small.GetLastResult()->number, 4) << "the search leaves some lines out";
    ExpectLargeExportsMatch(dir.PathOf("found.csv"), dir.PathOf("found.txt"));
}

// A batch of such rows outgrows its buffer, so its thread writes part of it
// as soon as its turn comes and the rest when it is done.
TEST_F(LargeExportTest, BatchesLongerThanTheirBuffer) {
    Load({QuotedEverywhere("0536+21"), QuotedEverywhere("1742-05")},
         3 * lumara::kExportRowsPerBatch / 2 + 1);
    const std::size_t rowPairBytes = smallCsv.size() - smallCsv.find('\n') - 1;
    ASSERT_GT(rowPairBytes * lumara::kExportRowsPerBatch / 2, lumara::BufferedWriter::kBytes);
    ExpectLargeExportsMatch(dir.PathOf("long.csv"), dir.PathOf("long.txt"));
}

// A user limited to one process cannot start a thread; the calling thread
// then formats every batch. Root is never limited, so the user nobody runs
// the export.
TEST_F(LargeExportTest, WithoutASecondThreadTheCallingThreadWritesEverything) {
    Load(FourLines(), CopiesOfFourFor(3));
    const std::string folder = dir.PathOf("limited");
    fs::create_directory(folder);
    OpenFolderToEveryone(dir.PathOf(""), false);
    OpenFolderToEveryone(folder, true);
    const std::string csv = folder + "/large.csv";
    const std::string txt = folder + "/large.txt";
    const int result = RunAsOrdinaryUser([&] {
        if (!ForbidMoreThreads()) {
            return kPremiseFailed;
        }
        const bool csvSaved = large.SaveCsv(csv.c_str()) == LargeRows();
        const bool txtSaved = large.SaveTxt(txt.c_str()) == LargeRows();
        return (csvSaved ? 0 : 1) | (txtSaved ? 0 : 2);
    });
    if (result == kNoOrdinaryUser || result == kPremiseFailed) {
        GTEST_SKIP() << "cannot run as a user who may not start a thread";
    }
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadFile(csv), RepeatedCsv(smallCsv, copies));
    EXPECT_EQ(ReadFile(txt), Repeated(smallTxt, copies));
}

// The first batch is written, a later one does not fit: the thread that
// fails stops the other, and the old file stays.
TEST_F(LargeExportTest, AFullFileSystemPartWayKeepsTheOldFile) {
    Load(FourLines(), CopiesOfFourFor(3));
    const std::string folder = dir.PathOf("small-disk");
    fs::create_directory(folder);
    PrivateMount disk(folder, kOneBatchDisk);
    if (!disk.Mounted()) {
        GTEST_SKIP() << "no small file system to fill: " << disk.Error();
    }
    const std::string path = folder + "/stars.txt";
    std::ofstream(path) << "yesterday's stars\n";
    ASSERT_LT(lumara::kExportRowsPerBatch * smallTxt.size() / 4, fs::space(folder).available)
        << "the first batch fits";
    EXPECT_EQ(large.SaveTxt(path.c_str()), -1);
    EXPECT_EQ(large.SaveCsv(path.c_str()), -1);
    EXPECT_EQ(large.SaveCsv((folder + "/new.csv").c_str()), -1);
    EXPECT_EQ(ReadFile(path), "yesterday's stars\n");
    EXPECT_EQ(Entries(folder), std::set<std::string>{"stars.txt"}) << "nothing is left behind";
}

TEST_F(LargeExportTest, AFullDeviceFails) {
    Load(FourLines(), CopiesOfFourFor(3));
    EXPECT_EQ(large.SaveTxt("/dev/full"), -1);
    EXPECT_EQ(large.SaveCsv("/dev/full"), -1);
}

TEST_F(LargeExportTest, APipeGetsEveryBatchInOrder) {
    Load(FourLines(), CopiesOfFourFor(3));
    const std::string pipe = dir.PathOf("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    int written = 0;
    const std::string received =
        ReadPipeWhile(pipe, [&] { written = large.SaveCsv(pipe.c_str()); });
    EXPECT_EQ(written, LargeRows());
    EXPECT_EQ(received, RepeatedCsv(smallCsv, copies));
}
