// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// GCVS 5.1 and VSX files load as the native lines written for their stars,
// whichever way the file is read; everything else keeps loading as before.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "Import.h"
#include "StarCatalog.h"
#include "StarDetails.h"
#include "TestFiles.h"

using namespace lumara::import;
using namespace lumara::test;

namespace {

// A file of the importers' fixtures.
std::string ImportData(std::string_view name) {
    return std::string(LUMARA_IMPORT_DATA_DIR) + "/" + std::string(name);
}

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t feed; (feed = text.find('\n', start)) != std::string::npos; start = feed + 1) {
        lines.push_back(text.substr(start, feed - start));
    }
    return lines;
}

std::vector<std::string> StoredLines(const CStarCatalog& catalog) {
    std::vector<std::string> lines;
    for (const StarRecord* r = catalog.GetRecords(); r != nullptr; r = r->next) {
        lines.emplace_back(r->line);
    }
    return lines;
}

// Every decoded field of two records, the links and the index aside.
void ExpectSameStar(const StarRecord& a, const StarRecord& b) {
    EXPECT_STREQ(a.line, b.line);
    EXPECT_EQ(a.raHours, b.raHours);
    EXPECT_EQ(a.raMinutes, b.raMinutes);
    EXPECT_EQ(a.dec, b.dec);
    EXPECT_STREQ(a.name, b.name);
    EXPECT_STREQ(a.type, b.type);
    EXPECT_STREQ(a.range, b.range);
    EXPECT_STREQ(a.desc, b.desc);
    EXPECT_EQ(a.maxMag, b.maxMag);
    EXPECT_EQ(a.minMag, b.minMag);
    EXPECT_EQ(a.period, b.period);
}

void ExpectSameStars(const CStarCatalog& a, const CStarCatalog& b) {
    const StarRecord* x = a.GetRecords();
    const StarRecord* y = b.GetRecords();
    for (; x != nullptr && y != nullptr; x = x->next, y = y->next) {
        ExpectSameStar(*x, *y);
    }
    EXPECT_TRUE(x == nullptr && y == nullptr) << "different numbers of stars";
}

struct Fixture {
    const char* file;
    CatalogueFormat format;
    std::int64_t skipped[kSkipReasons];
    std::int64_t changes[kChanges];
};

// Counted by hand from the fixtures, field by field. Changes, in order: names
// shortened, names shortened to degrees, types shortened, types filled,
// magnitudes rounded, raised, dropped, limits, amplitudes to minima,
// amplitudes dropped, periods rounded, in thousands, dropped, -00
// declinations, marks dropped.
const Fixture kFixtures[] = {
    {"gcvs-fields",
     CatalogueFormat::Gcvs51,
     {0, 1, 1, 1},
     {0, 0, 1, 1, 4, 2, 2, 3, 2, 0, 1, 1, 0, 1, 2}},
    {"vsx-fields",
     CatalogueFormat::Vsx,
     {0, 1, 2, 0},
     {3, 0, 1, 1, 0, 1, 1, 2, 1, 0, 2, 2, 0, 1, 2}},
};

std::string FixturePath(const Fixture& fixture, const char* extension) {
    return ImportData(std::string(fixture.file) + extension);
}

TEST(ImportFileTest, EveryFieldFormGivesTheGoldenLineAndCountsWhatChanged) {
    for (const Fixture& fixture : kFixtures) {
        SCOPED_TRACE(fixture.file);
        const std::vector<std::string> golden = LinesOf(ReadFile(FixturePath(fixture, ".native")));
        CStarCatalog imported;
        ASSERT_EQ(imported.LoadCatalog(FixturePath(fixture, ".txt").c_str()),
                  static_cast<std::int32_t>(golden.size()));
        EXPECT_EQ(StoredLines(imported), golden);

        // The golden lines loaded as a native file decode to the same stars.
        CStarCatalog native;
        ASSERT_EQ(native.LoadCatalog(FixturePath(fixture, ".native").c_str()),
                  static_cast<std::int32_t>(golden.size()));
        ExpectSameStars(imported, native);
        EXPECT_EQ(native.GetImportReport().format, CatalogueFormat::Native);

        const ImportReport& report = imported.GetImportReport();
        EXPECT_EQ(report.format, fixture.format);
        EXPECT_EQ(report.stars, static_cast<std::int64_t>(golden.size()));
        for (std::size_t i = 0; i < kSkipReasons; ++i) {
            EXPECT_EQ(report.skipped[i], fixture.skipped[i]) << "skip reason " << i;
        }
        for (std::size_t i = 0; i < kChanges; ++i) {
            EXPECT_EQ(report.changes[i], fixture.changes[i]) << "change " << i;
        }
        const std::string text = DescribeReport(report);
        EXPECT_NE(text.find(FormatName(fixture.format)), std::string::npos) << text;
        EXPECT_NE(text.find(std::to_string(golden.size()) + " stars"), std::string::npos) << text;
    }
}

// The first line of a fixture, without its line end.
std::string FirstLineOf(const char* fixture) {
    std::string line = LinesOf(ReadFile(ImportData(fixture)))[0];
    return line;
}

TEST(ImportFileTest, OnlyFilesThatOpenWithLinesOfALayoutAreImported) {
    const std::string gcvs = FirstLineOf("gcvs-fields.txt");
    const std::string vsx = FirstLineOf("vsx-fields.txt");
    std::string misplaced = gcvs;
    misplaced[40] = ' '; // the separator at byte 41
    const std::string native = std::string(kMiraLike);
    const struct {
        const char* what;
        std::string bytes;
        CatalogueFormat format;
        std::int32_t stars;
    } cases[] = {
        {"native lines", native + "\n" + native + "\n", CatalogueFormat::Native, 2},
        {"a GCVS line before native lines", gcvs + "\n" + native + "\n" + native + "\n",
         CatalogueFormat::Native, 2},
        {"a GCVS line among native lines", native + "\n" + gcvs + "\n" + native + "\n",
         CatalogueFormat::Native, 2},
        {"a GCVS line and a VSX line", gcvs + "\n" + vsx + "\n" + gcvs + "\n",
         CatalogueFormat::Native, 0},
        {"a misplaced separator", misplaced + "\n" + gcvs + "\n" + gcvs + "\n",
         CatalogueFormat::Native, 0},
        {"junk", std::string("\x01\xff|||||||||\n\0\0\0|\n", 16) + std::string(300, '|') + "\n",
         CatalogueFormat::Native, 0},
        {"a heading before VSX lines", "OID     Name\n" + vsx + "\n" + vsx + "\n" + vsx + "\n",
         CatalogueFormat::Native, 0},
        {"blank lines before VSX lines", "\n  \r\n\t\n" + vsx + "\r\n" + vsx + "\n" + vsx,
         CatalogueFormat::Vsx, 3},
        {"two GCVS lines and nothing else", gcvs + "\n\n" + gcvs, CatalogueFormat::Gcvs51, 2},
        {"one VSX line", vsx, CatalogueFormat::Vsx, 1},
    };
    TempDir dir;
    for (const auto& c : cases) {
        CStarCatalog catalog;
        const std::int32_t stars = catalog.LoadCatalog(dir.Write("file", c.bytes).c_str());
        EXPECT_EQ(catalog.GetImportReport().format, c.format) << c.what;
        EXPECT_EQ(stars, c.stars) << c.what;
    }
    CStarCatalog demo;
    EXPECT_GT(demo.LoadCatalog(LUMARA_DEMO_CATALOGUE), 0);
    EXPECT_EQ(demo.GetImportReport().format, CatalogueFormat::Native);
    EXPECT_EQ(DescribeReport(demo.GetImportReport()), "");
}

// The format is the first three non-blank lines' alike: a file whose third
// line is a native star, or a line of the other layout, is no import, and
// loads its native stars only.
TEST(ImportFileTest, TheThirdLineDecidesAsMuchAsTheFirstTwo) {
    const std::string gcvs = FirstLineOf("gcvs-fields.txt");
    const std::string vsx = FirstLineOf("vsx-fields.txt");
    const std::string native = std::string(kMiraLike);
    const struct {
        std::string layout;
        std::string third;
        std::int32_t stars;
    } cases[] = {
        {gcvs, native, 1},
        {gcvs, vsx, 0},
        {vsx, native, 1},
        {vsx, gcvs, 0},
    };
    TempDir dir;
    for (const auto& c : cases) {
        const std::string bytes =
            c.layout + "\n\n" + c.layout + "\n" + c.third + "\n" + c.layout + "\n";
        CStarCatalog catalog;
        EXPECT_EQ(catalog.LoadCatalog(dir.Write("file", bytes).c_str()), c.stars) << c.third;
        EXPECT_EQ(catalog.GetImportReport().format, CatalogueFormat::Native) << c.third;
        EXPECT_EQ(DescribeReport(catalog.GetImportReport()), "") << c.third;
    }
}

// A file of `copies` times the VSX fixture, large enough to be read in two
// stretches.
std::string RepeatedFixture(std::size_t copies, std::string head = {}) {
    const std::string fixture = ReadFile(ImportData("vsx-fields.txt"));
    head.reserve(head.size() + copies * fixture.size());
    for (std::size_t i = 0; i < copies; ++i) {
        head += fixture;
    }
    return head;
}

TEST(ImportFileTest, EveryBlockOfALargeFileIsConvertedAlike) {
    const std::vector<std::string> golden = LinesOf(ReadFile(ImportData("vsx-fields.native")));
    constexpr std::size_t kCopies = 700; // over 1 MiB
    const struct {
        const char* what;
        std::string head;
    } cases[] = {
        {"the stars start the file", ""},
        // The head is blank for several blocks, so the format is looked for
        // on behind them.
        {"a blank first half", std::string(std::size_t{3} << 20, '\n')},
    };
    TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string bytes = RepeatedFixture(kCopies, c.head);
        ASSERT_GE(bytes.size(), std::size_t{1} << 20);
        CStarCatalog catalog;
        ASSERT_EQ(catalog.LoadCatalog(dir.Write("large", bytes).c_str()),
                  static_cast<std::int32_t>(kCopies * golden.size()));
        const std::vector<std::string> lines = StoredLines(catalog);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            ASSERT_EQ(lines[i], golden[i % golden.size()]) << "star " << i + 1;
        }
        const ImportReport& report = catalog.GetImportReport();
        EXPECT_EQ(report.format, CatalogueFormat::Vsx);
        for (std::size_t i = 0; i < kChanges; ++i) {
            EXPECT_EQ(report.changes[i],
                      static_cast<std::int64_t>(kCopies) * kFixtures[1].changes[i])
                << "change " << i;
        }
        EXPECT_EQ(report.Skipped(SkipReason::BrokenNumber), static_cast<std::int64_t>(kCopies) * 2);
    }
}

TEST(ImportFileTest, APipeIsImportedAsItStreams) {
    TempDir dir;
    const std::string pipe = dir.PathOf("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string bytes = "\n\n" + ReadFile(ImportData("gcvs-fields.txt"));
    std::thread writer([&] { dir.Write("pipe", bytes); });
    CStarCatalog piped;
    const std::int32_t stars = piped.LoadCatalog(pipe.c_str());
    writer.join();
    CStarCatalog file;
    ASSERT_EQ(stars, file.LoadCatalog(ImportData("gcvs-fields.txt").c_str()));
    ExpectSameStars(piped, file);
    EXPECT_EQ(piped.GetImportReport().format, CatalogueFormat::Gcvs51);
}

TEST(ImportFileTest, TenThousandGeneratedStarsSurviveASaveAndAReload) {
    constexpr std::int32_t kStars = 10000;
    const struct {
        const char* options;
        CatalogueFormat format;
    } cases[] = {
        {"--format gcvs", CatalogueFormat::Gcvs51},
        {"--format vsx --crlf", CatalogueFormat::Vsx},
    };
    TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        const std::string generated = dir.PathOf("generated");
        const std::string command = std::string(LUMARA_MAKE_CATALOGUE) + " --stars " +
                                    std::to_string(kStars) + " --seed 7 " + c.options +
                                    " --output " + generated;
        ASSERT_EQ(std::system(command.c_str()), 0);
        CStarCatalog imported;
        ASSERT_EQ(imported.LoadCatalog(generated.c_str()), kStars);
        const ImportReport& report = imported.GetImportReport();
        EXPECT_EQ(report.format, c.format);
        EXPECT_EQ(report.stars, kStars);
        for (std::size_t i = 0; i < kSkipReasons; ++i) {
            EXPECT_EQ(report.skipped[i], 0) << "skip reason " << i;
        }

        const std::string saved = dir.PathOf("saved.txt");
        ASSERT_EQ(imported.SaveTxt(saved.c_str()), kStars);
        CStarCatalog reloaded;
        ASSERT_EQ(reloaded.LoadCatalog(saved.c_str()), kStars);
        EXPECT_EQ(reloaded.GetImportReport().format, CatalogueFormat::Native);
        ExpectSameStars(imported, reloaded);
    }
}

// What the native line cannot hold is kept beside it, in a copy too; a
// native star has none and is placed at the centre of its cell.
TEST(ImportFileTest, WhatTheSourceSaysBeyondTheLineIsKept) {
    CStarCatalog vsx;
    ASSERT_GT(vsx.LoadCatalog(ImportData("vsx-fields.txt").c_str()), 3);
    const CStarCatalog copy(vsx);
    for (const CStarCatalog* catalog : {static_cast<const CStarCatalog*>(&vsx), &copy}) {
        const StarRecord* first = catalog->GetRecords();
        ASSERT_NE(first->details, nullptr);
        EXPECT_DOUBLE_EQ(first->details->raDeg, 6.00813);
        EXPECT_DOUBLE_EQ(first->details->decDeg, 38.57703);
        EXPECT_EQ(first->details->name, "R And");
        EXPECT_EQ(first->details->type, "M");
        EXPECT_DOUBLE_EQ(first->details->epochJd, 2453820.0);
        EXPECT_EQ(first->details->epochScale, lumara::TimeScale::HjdUtc);
        EXPECT_DOUBLE_EQ(first->details->period, 409.2);
        const StarRecord* second = first->next;
        EXPECT_EQ(lumara::FullNameOf(*second), "ASASSN-V J054134.00+052231.4");
        EXPECT_DOUBLE_EQ(second->details->epochJd, 2457000.1234);
        EXPECT_EQ(second->next->details->type, "EA+GDOR+BY");
        EXPECT_EQ(second->next->details->epochScale, lumara::TimeScale::None);
        EXPECT_EQ(second->next->next->details->periodLimit, '(');
    }
    EXPECT_NE(copy.GetRecords()->details, vsx.GetRecords()->details);

    CStarCatalog gcvs;
    ASSERT_GT(gcvs.LoadCatalog(ImportData("gcvs-fields.txt").c_str()), 2);
    const StarRecord* rAnd = gcvs.GetRecords();
    EXPECT_NEAR(rAnd->details->raDeg, 15 * (24 + 1.95 / 60) / 60, 1e-9);
    EXPECT_NEAR(rAnd->details->decDeg, 38 + (34 + 37.3 / 60) / 60, 1e-9);
    EXPECT_DOUBLE_EQ(rAnd->details->epochJd, 2453820.0);
    EXPECT_EQ(rAnd->next->details->periodLimit, '(');

    CStarCatalog native;
    ASSERT_GT(native.LoadCatalog(TempDir()
                                     .Write("native.txt", std::string(kMiraLike) + "\n" +
                                                              std::string(kNoLightCurve) + "\n")
                                     .c_str()),
              0);
    const StarRecord* mira = native.GetRecords();
    EXPECT_EQ(mira->details, nullptr);
    EXPECT_DOUBLE_EQ(lumara::PlaceOf(*mira).raDeg, (5 + 36.5 / 60) * 15);
    EXPECT_DOUBLE_EQ(lumara::PlaceOf(*mira).decDeg, 21.5);
    EXPECT_DOUBLE_EQ(lumara::PlaceOf(*mira->next).decDeg, -0.5);
    EXPECT_EQ(lumara::FullNameOf(*mira), "RT Xyz");
}

// Tables with named columns come in through the same door as every
// catalogue: detected, converted by the same policy, their stars keeping what
// the table gave; a table that cannot be read says why; and the library's
// own CSV and VOTable exports load back as the stars they hold.
TEST(ImportFileTest, TablesWithNamedColumnsLoadThroughTheSameDoor) {
    const struct {
        const char* file;
        const char* source;
    } tables[] = {
        {"vizier-vsx.tsv", "VizieR table: positions from RAJ2000/DEJ2000"},
        {"vsx-dump.csv", "CSV table: positions from RAdeg/DEdeg"},
        {"topcat.csv", "CSV table"},
        {"ucds.vot", "VOTable"},
    };
    for (const auto& table : tables) {
        CStarCatalog catalog;
        ASSERT_GT(catalog.LoadCatalog(ImportData(table.file).c_str()), 0) << table.file;
        const ImportReport& report = catalog.GetImportReport();
        EXPECT_EQ(report.format, CatalogueFormat::Table);
        EXPECT_EQ(report.source.find(table.source), 0u) << report.source;
        EXPECT_EQ(DescribeReport(report).find("Imported "), 0u);
        EXPECT_NE(catalog.GetRecords()->details, nullptr) << table.file;
    }
    CStarCatalog dump;
    ASSERT_EQ(dump.LoadCatalog(ImportData("vsx-dump.csv").c_str()), 3);
    const StarRecord* second = dump.GetRecords()->next;
    EXPECT_EQ(second->details->name, "V0400 And, B");
    EXPECT_DOUBLE_EQ(second->details->decDeg, -10.25);
    EXPECT_EQ(dump.GetRecords()->details->epochJd, 2459000.1234);

    TempDir dir;
    CStarCatalog broken;
    EXPECT_EQ(broken.LoadCatalog(dir.Write("open.csv", "RAdeg,DEdeg,Name\n1,2,\"X\n").c_str()), -1);
    EXPECT_NE(broken.GetLoadProblem().find("not closed"), std::string::npos);
    EXPECT_EQ(broken.LoadCatalog(dir.Write("none.csv", "Name,Type,Period\nX,M,3\n").c_str()), -1);
    EXPECT_NE(broken.GetLoadProblem().find("looked for RAJ2000/DEJ2000"), std::string::npos);

    CStarCatalog demo;
    ASSERT_GT(demo.LoadCatalog(LUMARA_DEMO_CATALOGUE), 0);
    for (const lumara::OutputFormat format :
         {lumara::OutputFormat::Csv, lumara::OutputFormat::VoTable}) {
        const std::string saved = dir.PathOf("demo.table");
        ASSERT_GT(demo.Save(saved.c_str(), format), 0);
        CStarCatalog back;
        ASSERT_EQ(back.LoadCatalog(saved.c_str()), demo.GetLastResult()->number);
        const StarRecord* from = demo.GetRecords();
        for (const StarRecord* r = back.GetRecords(); r != nullptr;
             r = r->next, from = from->next) {
            ASSERT_EQ(r->raHours, from->raHours) << from->line;
            ASSERT_EQ(r->raMinutes, from->raMinutes) << from->line;
            ASSERT_EQ(r->dec, from->dec) << from->line;
            ASSERT_STREQ(r->name, from->name);
            ASSERT_STREQ(r->type, from->type);
            ASSERT_EQ(r->maxMag, from->maxMag) << from->line;
            ASSERT_EQ(r->minMag, from->minMag) << from->line;
        }
    }
}

} // namespace
