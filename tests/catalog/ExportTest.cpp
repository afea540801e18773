// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The CSV and TXT exports, byte for byte, and their failures.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "StarCatalog.h"
#include "TestFiles.h"

using namespace lumara::test;

namespace {

class ExportTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(catalog.LoadCatalog(DataFile("three-stars.txt").c_str()), 3);
    }

    // Loads one star line and returns its CSV data row.
    std::string CsvRowOf(const std::string& line) {
        EXPECT_EQ(catalog.LoadCatalog(dir.Write("one.txt", line + "\n").c_str()), 1);
        EXPECT_EQ(catalog.SaveCsv(dir.PathOf("one.csv").c_str()), 1);
        const std::string csv = ReadFile(dir.PathOf("one.csv"));
        return csv.substr(csv.find('\n') + 1);
    }

    TempDir dir;
    CStarCatalog catalog;
};

std::string WithPeriod(std::string_view period) {
    std::string line = Padded(kMiraLike);
    line.replace(46, 9, period);
    return line;
}

} // namespace

TEST_F(ExportTest, CsvOfTheExampleLines) {
    EXPECT_EQ(catalog.SaveCsv(dir.PathOf("stars.csv").c_str()), 3);
    EXPECT_EQ(ReadFile(dir.PathOf("stars.csv")), ReadFile(DataFile("three-stars.csv")));
    EXPECT_STREQ(catalog.GetExportPath(), dir.PathOf("stars.csv").c_str());
}

TEST_F(ExportTest, TxtOfTheExampleLines) {
    EXPECT_EQ(catalog.SaveTxt(dir.PathOf("stars.txt").c_str()), 3);
    EXPECT_EQ(ReadFile(dir.PathOf("stars.txt")), ReadFile(DataFile("three-stars-saved.txt")));
}

TEST_F(ExportTest, SavedLinesLoadAgainAsTheSameCatalogue) {
    ASSERT_GT(catalog.LoadCatalog(LUMARA_DEMO_CATALOGUE), 0);
    const int count = catalog.SaveTxt(dir.PathOf("again.txt").c_str());
    ASSERT_GT(count, 0);
    ASSERT_EQ(catalog.SaveCsv(dir.PathOf("first.csv").c_str()), count);
    CStarCatalog reloaded;
    ASSERT_EQ(reloaded.LoadCatalog(dir.PathOf("again.txt").c_str()), count);
    ASSERT_EQ(reloaded.SaveCsv(dir.PathOf("second.csv").c_str()), count);
    EXPECT_EQ(ReadFile(dir.PathOf("first.csv")), ReadFile(dir.PathOf("second.csv")));
    ASSERT_EQ(reloaded.SaveTxt(dir.PathOf("third.txt").c_str()), count);
    EXPECT_EQ(ReadFile(dir.PathOf("again.txt")), ReadFile(dir.PathOf("third.txt")));
}

TEST_F(ExportTest, QuotesInsideTextsAreDoubled) {
    std::string line = Padded(kMiraLike);
    line.replace(55, 20, "say \"hi\", twice     ");
    line.replace(22, 8, "\"A\"     ");
    EXPECT_EQ(CsvRowOf(line), "5,36,21,\"     RT Xyz\",\"\"\"A\"\"     \",\"  6.20 - 9.85 \","
                              "\"say \"\"hi\"\", twice     \",6.2,9.85,371.5\r\n");
}

// Texts are checked a word at a time, the last word of each overlapping the
// one before it: a lone quote in a text's last columns is doubled too.
TEST_F(ExportTest, AQuoteInTheLastColumnOfEachText) {
    std::string line = Padded(kMiraLike);
    for (const std::size_t column : {20, 29, 45, 74}) {
        line[column] = '"';
    }
    EXPECT_EQ(CsvRowOf(line), "5,36,21,\"RT Xyz    \"\"\",\"M      \"\"\",\"  6.20 - 9.85\"\"\","
                              "\"long-period giant  \"\"\",6.2,9.85,371.5\r\n");
}

TEST_F(ExportTest, PeriodsKeepEveryDecimalTheCatalogueHolds) {
    const struct {
        const char* columns;
        const char* written;
    } cases[] = {
        {"1234.5678", "1234.5678"}, {"  12K3   ", "12000.3"},   {"         ", "0"},
        {"   1.5000", "1.5"},       {" 409.2   ", "409.2"},     {"9999K9999", "9999000.9999"},
        {"   0.0001", "0.0001"},    {"1000.    ", "1000"},      {"1234K    ", "1234000"},
        {"  45.0700", "45.07"},     {" 123K4560", "123000.456"}};
    for (const auto& c : cases) {
        const std::string row = CsvRowOf(WithPeriod(c.columns));
        EXPECT_EQ(row.substr(row.rfind(',') + 1), std::string(c.written) + "\r\n") << c.columns;
    }
}

TEST_F(ExportTest, NumbersOfAStarInTheSouthAtZeroHours) {
    std::string line = Padded("0007-05   N           X");
    line.replace(33, 12, "15.20 -16.05");
    EXPECT_EQ(CsvRowOf(line), "0,7,-5,\"          N\",\"X       \",\" 15.20 -16.05 \","
                              "\"                    \",15.2,16.05,0\r\n");
}

// A name is shown right-aligned by moving the blanks after it in front of
// it; a tab is part of the name's text, wherever it stands, and the name
// keeps its place.
TEST_F(ExportTest, ATabInTheNameFieldStaysWhereItIs) {
    const struct {
        const char* columns; // 10-20
        const char* shown;
    } cases[] = {
        {"RT Xyz\t    ", "    RT Xyz\t"},
        {"RT Xyz  \t  ", "  RT Xyz  \t"},
        {"RT\tXyz     ", "     RT\tXyz"},
    };
    for (const auto& c : cases) {
        std::string line = Padded(kMiraLike);
        line.replace(10, 11, c.columns);
        EXPECT_EQ(CsvRowOf(line).substr(0, 21), "5,36,21,\"" + std::string(c.shown) + "\"")
            << c.columns;
    }
}

TEST_F(ExportTest, AnEmptyResultListWritesTheHeaderOrNothing) {
    catalog.SetDecNorth(-89);
    ASSERT_EQ(catalog.Search(true, false, false), 0);
    EXPECT_EQ(catalog.SaveCsv(dir.PathOf("none.csv").c_str()), 0);
    EXPECT_EQ(ReadFile(dir.PathOf("none.csv")),
              "Hr,Min,Deg,Name,Type,Range,Desc,Max,Min,Period\r\n");
    EXPECT_EQ(catalog.SaveTxt(dir.PathOf("none.txt").c_str()), 0);
    EXPECT_TRUE(std::filesystem::exists(dir.PathOf("none.txt")));
    EXPECT_EQ(ReadFile(dir.PathOf("none.txt")), "");
}

TEST_F(ExportTest, WithoutACatalogueNoFileIsTouched) {
    CStarCatalog empty;
    EXPECT_EQ(empty.SaveCsv(dir.PathOf("x.csv").c_str()), 0);
    EXPECT_EQ(empty.SaveTxt(dir.PathOf("x.txt").c_str()), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.PathOf("x.csv")));
    EXPECT_FALSE(std::filesystem::exists(dir.PathOf("x.txt")));
    EXPECT_STREQ(empty.GetExportPath(), "");
}

TEST_F(ExportTest, FailuresAreReportedAsFailures) {
    const std::string missing = dir.PathOf("no-such-folder/stars.csv");
    EXPECT_EQ(catalog.SaveCsv(missing.c_str()), -1);
    EXPECT_STREQ(catalog.GetExportPath(), missing.c_str());
    EXPECT_EQ(catalog.SaveTxt(dir.PathOf("").c_str()), -1) << "a folder";
    EXPECT_EQ(catalog.SaveCsv("/dev/full"), -1);
    EXPECT_EQ(catalog.SaveTxt("/dev/full"), -1);
    // A failure leaves the next export unaffected.
    EXPECT_EQ(catalog.SaveTxt(dir.PathOf("fine.txt").c_str()), 3);
}

TEST_F(ExportTest, ALongerOldFileLeavesNoTrace) {
    const std::string path = dir.Write("old.txt", std::string(10000, 'z'));
    ASSERT_EQ(catalog.SaveTxt(path.c_str()), 3);
    EXPECT_EQ(ReadFile(path), ReadFile(DataFile("three-stars-saved.txt")));
}

TEST_F(ExportTest, WritesFirstToLastAndLeavesTheCursor) {
    catalog.MoveLast();
    catalog.MovePrev();
    const ResultNode* before = catalog.GetCursorResult();
    ASSERT_EQ(catalog.SaveTxt(dir.PathOf("order.txt").c_str()), 3);
    EXPECT_EQ(ReadFile(dir.PathOf("order.txt")), ReadFile(DataFile("three-stars-saved.txt")));
    EXPECT_EQ(catalog.GetCursorResult(), before);
    EXPECT_FALSE(catalog.IsBOF());
    EXPECT_FALSE(catalog.IsEOF());
}

TEST_F(ExportTest, PathsLongerThan255Characters) {
    const std::string folder = dir.PathOf(std::string(250, 'f'));
    std::filesystem::create_directory(folder);
    const std::string path = folder + "/" + std::string(100, 'g') + ".csv";
    EXPECT_EQ(catalog.SaveCsv(path.c_str()), 3);
    EXPECT_EQ(ReadFile(path), ReadFile(DataFile("three-stars.csv")));
    EXPECT_EQ(std::string(catalog.GetExportPath()), path);
}

TEST(CsvNumberTest, EveryCatalogueMagnitudeIsWrittenAsGeneralSixDigits) {
    TempDir dir;
    std::string text;
    for (int code = 0; code < 10000; ++code) {
        std::string line = Padded("0000+00   N           X");
        char range[16];
        std::snprintf(range, sizeof range, "%02d.%02d - %02d.%02d", code / 100, code % 100,
                      (9999 - code) / 100, (9999 - code) % 100);
        line.replace(33, 12, range);
        std::snprintf(range, sizeof range, "%4d.%04d", code, (code * 7) % 10000);
        line.replace(46, 9, range);
        text += line + "\n";
    }
    CStarCatalog catalog;
    ASSERT_EQ(catalog.LoadCatalog(dir.Write("all.txt", text).c_str()), 10000);
    ASSERT_EQ(catalog.SaveCsv(dir.PathOf("all.csv").c_str()), 10000);
    const std::string csv = ReadFile(dir.PathOf("all.csv"));
    std::size_t row = csv.find('\n') + 1;
    for (const StarRecord* r = catalog.GetRecords(); r != nullptr; r = r->next) {
        char expected[96];
        char period[32];
        std::snprintf(period, sizeof period, "%.4f", r->period);
        std::string trimmed = period;
        trimmed.erase(trimmed.find_last_not_of('0') + 1);
        if (trimmed.back() == '.') {
            trimmed.pop_back();
        }
        std::snprintf(expected, sizeof expected, ",%g,%g,%s\r\n", r->maxMag, r->minMag,
                      trimmed.c_str());
        const std::size_t end = csv.find('\n', row) + 1;
        const std::string line = csv.substr(row, end - row);
        ASSERT_EQ(line.substr(line.size() - std::strlen(expected)), expected) << line;
        row = end;
    }
}
