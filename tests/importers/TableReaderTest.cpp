// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// Tables with named columns: told from the head of a file, read in blocks of
// any size into the stars their rows give, Lumara's own exports loaded back,
// and every kind of bad table refused with a message.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "CsvFormat.h"
#include "StarLine.h"
#include "StarRecord.h"
#include "TableReader.h"
#include "TestFiles.h"
#include "VoTable.h"
#include "VoTableReader.h"

using namespace lumara::import;
using namespace lumara::test;

namespace {

struct TableRead {
    std::vector<TableStar> stars; // their texts in `texts`
    std::deque<std::string> texts;
    std::vector<std::string> lines; // the native lines written for them
    TableStatus status;
    std::string description;
    ImportReport report; // the skipped rows and the written stars alike
};

TableForm FormOf(const std::string& bytes) {
    const std::optional<TableForm> form =
        DetectTable(bytes.data(), std::min(bytes.size(), kDetectionHeadBytes), lumara::IsStarLine);
    EXPECT_TRUE(form.has_value());
    return form.value_or(TableForm{});
}

TableRead Read(const std::string& bytes, const TableForm& form, std::size_t block = 4096) {
    TableRead read;
    const std::unique_ptr<TableReader> reader = MakeTableReader(form, [&](const TableStar& star) {
        read.stars.push_back(star);
        // The views are the reader's only while the handler runs.
        for (std::string_view* text :
             {&read.stars.back().name, &read.stars.back().type, &read.stars.back().spectralType,
              &read.stars.back().description, &read.stars.back().maximum.band,
              &read.stars.back().minimum.band, &read.stars.back().period.flags}) {
            *text = read.texts.emplace_back(*text);
        }
        char native[lumara::format::kStoredLineChars + 1];
        read.lines.emplace_back(WriteTableStar(star, native, read.report) ? native : "");
    });
    for (std::size_t at = 0; at < bytes.size() && read.status.ok; at += block) {
        read.status = reader->Feed(bytes.data() + at, std::min(block, bytes.size() - at));
    }
    if (read.status.ok) {
        read.status = reader->Finish();
    }
    read.description = reader->Describe();
    read.report.Merge(reader->Report());
    return read;
}

TableRead ReadFixture(const char* name, std::size_t block = 4096) {
    const std::string bytes = ReadFile(DataFile(name));
    return Read(bytes, FormOf(bytes), block);
}

std::string Text(const Decimal& number) {
    std::string digits = std::to_string(number.scaled);
    const auto scale = static_cast<std::size_t>(number.scale);
    if (digits.size() <= scale) {
        digits.insert(0, scale + 1 - digits.size(), '0');
    }
    if (scale > 0) {
        digits.insert(digits.size() - scale, ".");
    }
    return (number.negative ? "-" : "") + digits;
}

} // namespace

TEST(TableDetectionTest, EachTableIsToldByItsHeading) {
    const struct {
        const char* file;
        TableKind kind;
        char delimiter;
    } tables[] = {
        {"vizier-vsx.tsv", TableKind::Separated, '\t'},
        {"vizier-gcvs-semicolon.tsv", TableKind::Separated, ';'},
        {"vizier-bar.tsv", TableKind::Separated, '|'},
        {"vsx-dump.csv", TableKind::Csv, ','},
        {"topcat.csv", TableKind::Csv, ','},
        {"icrs_fk5.csv", TableKind::Csv, ','},
        {"ucds.vot", TableKind::VoTable, '\0'},
        {"names.vot", TableKind::VoTable, '\0'},
        {"irsa-nph-m31.xml", TableKind::VoTable, '\0'},
    };
    for (const auto& table : tables) {
        const TableForm form = FormOf(ReadFile(DataFile(table.file)));
        EXPECT_EQ(form.kind, table.kind) << table.file;
        if (table.kind == TableKind::Separated) {
            EXPECT_EQ(form.delimiter, table.delimiter) << table.file;
        }
    }
    // A head cut inside a long table is judged on its whole lines.
    std::string longCsv = "RAJ2000,DEJ2000,Name\n";
    while (longCsv.size() < 2 * kDetectionHeadBytes) {
        longCsv += "12.5,-33.25,Some Star With A Longish Name\n";
    }
    EXPECT_EQ(FormOf(longCsv).kind, TableKind::Csv);
}

TEST(TableDetectionTest, EveryFileThatLoadsTodayStaysNative) {
    std::vector<std::string> files = {LUMARA_DEMO_CATALOGUE};
    for (const char* folder : {LUMARA_TEST_DATA_DIR, LUMARA_CATALOG_TEST_DATA_DIR}) {
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            const std::string name = entry.path().filename();
            // Tables, and Lumara's CSV export, which loads no star today.
            const bool table = name.ends_with(".tsv") || name.ends_with(".csv") ||
                               name.ends_with(".vot") || name.ends_with(".xml");
            if (!table) {
                files.push_back(entry.path());
            }
        }
    }
    // A native catalogue under a heading that reads as a table's.
    const TempDir dir;
    files.push_back(
        dir.Write("headed.txt", "RAJ2000,DEJ2000,Name\n" + std::string(kMiraLike) + "\n"));
    // Two GCVS lines broken into one that no layout takes (as a fuzzer made
    // it): its "V" and "p" cells name a table's columns, its numbers make it
    // a row.
    const std::string gcvs = ReadFile(DataFile("gcvs-fields.txt"));
    const std::string first = gcvs.substr(0, gcvs.find('\n'));
    const std::string broken =
        first.substr(0, first.find("|        | |") + 12) + gcvs.substr(gcvs.find("65041.0:|SRB"));
    files.push_back(dir.Write("broken.txt", broken.substr(0, broken.find('\n') + 1)));
    std::string junk(kDetectionHeadBytes, '\0');
    std::mt19937 random(1);
    for (char& c : junk) {
        c = static_cast<char>(random());
    }
    for (const std::string& path : files) {
        const std::string bytes = ReadFile(path);
        ASSERT_FALSE(bytes.empty()) << path;
        EXPECT_FALSE(DetectTable(bytes.data(), std::min(bytes.size(), kDetectionHeadBytes),
                                 lumara::IsStarLine))
            << path;
    }
    EXPECT_FALSE(DetectTable(junk.data(), junk.size(), lumara::IsStarLine));
}

TEST(TableReaderTest, AVizierTableGivesEveryFieldAsWritten) {
    const TableRead read = ReadFixture("vizier-vsx.tsv");
    ASSERT_TRUE(read.status.ok) << read.status.message;
    ASSERT_EQ(read.stars.size(), 3U);
    const TableStar& rAnd = read.stars[0];
    EXPECT_EQ(rAnd.name, "R And");
    EXPECT_DOUBLE_EQ(rAnd.raDegrees, 0.40958);
    EXPECT_DOUBLE_EQ(rAnd.decDegrees, 38.57474);
    EXPECT_EQ(Text(rAnd.maximum.value), "5.800");
    EXPECT_EQ(rAnd.maximum.band, "V");
    EXPECT_DOUBLE_EQ(rAnd.epochJd, 2459000.1234);
    EXPECT_EQ(Text(rAnd.period.days), "409.2000000000");
    EXPECT_EQ(read.lines[0], Padded("0001+38   R And       M           5.80 -15.20  409.2000V"));

    const TableStar& survey = read.stars[1];
    EXPECT_EQ(survey.name, "ASASSN-V J054134.00+052231.4");
    EXPECT_EQ(survey.type, "EA+RS");
    EXPECT_EQ(survey.maximum.limit, '<');
    EXPECT_TRUE(survey.maximum.uncertain);
    EXPECT_TRUE(survey.minimum.amplitude);
    EXPECT_TRUE(survey.period.uncertain);
    EXPECT_EQ(survey.variabilityFlag, '1');
    EXPECT_FALSE(survey.epochPresent);
    // 12.34 + an amplitude of 0.45; the period's mark has no place.
    EXPECT_EQ(read.lines[1],
              Padded("0541+05   054134+0522 EA+RS     <12.34:-12.79    1.2346CV suspected"));

    const TableStar& aur = read.stars[2];
    EXPECT_EQ(aur.minimum.limit, '<');
    EXPECT_EQ(aur.period.mark, '(');
    EXPECT_EQ(aur.period.flags, "*");
    EXPECT_DOUBLE_EQ(aur.epochJd, 2458500.5); // JD - 2400000
    EXPECT_EQ(read.lines[2], Padded("0600-00   V0393 Aur   SRB         8.10 <10.50:3000.0   V"));

    EXPECT_EQ(read.report.stars, 3);
    EXPECT_EQ(read.report.Changed(Change::MarkDropped), 2);
    EXPECT_EQ(read.report.Changed(Change::DecMinusZero), 1);
    EXPECT_EQ(read.description,
              "VizieR table: positions from RAJ2000/DEJ2000, names from Name, types from Type, "
              "magnitudes from max/min, periods from Period, epochs from Epoch, 1 rows without a "
              "position skipped, 1 rows with a number that does not read skipped");
}

TEST(TableReaderTest, SexagesimalPositionsAmplitudesAndLaterTables) {
    const TableRead gcvs = ReadFixture("vizier-gcvs-semicolon.tsv");
    ASSERT_TRUE(gcvs.status.ok) << gcvs.status.message;
    ASSERT_EQ(gcvs.stars.size(), 3U);
    EXPECT_DOUBLE_EQ(gcvs.stars[0].raDegrees, (24 * 60 + 1.95) / 240);
    EXPECT_DOUBLE_EQ(gcvs.stars[0].decDegrees, 38 + 34 / 60.0 + 37.3 / 3600);
    EXPECT_DOUBLE_EQ(gcvs.stars[0].epochJd, 2453820);
    EXPECT_EQ(gcvs.stars[0].durationPercent, 38);
    // GCVS's own description is the spectral type; 0.0 is raised.
    EXPECT_EQ(gcvs.lines[0],
              Padded("0024+38   R And       M           5.80 -15.20  409.2   S3,5e-S8,8e(M7e)"));
    EXPECT_EQ(gcvs.lines[1],
              Padded("0555+07   alf Ori     SRC         0.01 - 1.60 2335.    M1-M2Ia-Iab"));
    // 23h59m59.99s stays in minute 59; a declination just below 0 is -00.
    EXPECT_EQ(gcvs.lines[2], Padded("2359-00   V0001 Xyz   EA/SD      10.20 -11.05:   2.5   A0"));

    const TableRead bars = ReadFixture("vizier-bar.tsv", 1);
    ASSERT_TRUE(bars.status.ok) << bars.status.message;
    ASSERT_EQ(bars.stars.size(), 3U);
    EXPECT_EQ(bars.lines[1], Padded("2210-05   V1234 Xyz   EA/SD       9.10 -10.35   12K"));
    EXPECT_EQ(bars.stars[2].name, "Second Star");
    EXPECT_DOUBLE_EQ(bars.stars[2].raDegrees, 150);
}

TEST(TableReaderTest, CsvQuotingEmptyFieldsAndFlags) {
    const TableRead vsx = ReadFixture("vsx-dump.csv", 3);
    ASSERT_TRUE(vsx.status.ok) << vsx.status.message;
    ASSERT_EQ(vsx.stars.size(), 3U);
    EXPECT_EQ(vsx.stars[0].spectralType, "S3,5e-S8,8e(M7e)");
    EXPECT_EQ(vsx.stars[1].name, "V0400 And, B");
    EXPECT_EQ(vsx.stars[1].spectralType, "K0 \"III\"");
    EXPECT_TRUE(vsx.stars[1].minimum.amplitude);
    EXPECT_EQ(vsx.lines[1],
              Padded("0006-10   V0~0 And, B EA/GS~    <11.25:-11.75    0.1235CV suspected"));
    EXPECT_FALSE(vsx.stars[2].maximum.present);
    EXPECT_EQ(vsx.lines[2],
              Padded("2359-89   ZZ Faint    VAR              >21.00: 100K    g duplicate?"));
    EXPECT_EQ(vsx.report.Skipped(SkipReason::NoPosition), 1);

    const TableRead topcat = ReadFixture("topcat.csv", 2);
    ASSERT_TRUE(topcat.status.ok) << topcat.status.message;
    ASSERT_EQ(topcat.stars.size(), 3U);
    EXPECT_EQ(topcat.stars[0].name, "* alf Ori");
    EXPECT_EQ(topcat.stars[1].name, "V* RR  Lyr"); // a line break in a name is no line's
    EXPECT_DOUBLE_EQ(topcat.stars[1].raDegrees, 291.36625);
    EXPECT_EQ(Text(topcat.stars[1].period.days), "0.5668378");
}

TEST(TableReaderTest, VoTablesByUcdAndByName) {
    const TableRead ucds = ReadFixture("ucds.vot", 5);
    ASSERT_TRUE(ucds.status.ok) << ucds.status.message;
    ASSERT_EQ(ucds.stars.size(), 2U);
    EXPECT_EQ(ucds.stars[0].name, "R & S <Xyz>");
    EXPECT_DOUBLE_EQ(ucds.stars[0].epochJd, 2459000.75); // MJD 59000.25
    EXPECT_EQ(ucds.lines[0], Padded("0536+21   R & S <Xyz> M           6.20 - 9.85  371.5"));
    // Empty TDs, NaN and the FIELD's own null are no values.
    const TableStar& nulls = ucds.stars[1];
    EXPECT_DOUBLE_EQ(nulls.raDegrees, 10);
    EXPECT_DOUBLE_EQ(nulls.decDegrees, -1.25);
    EXPECT_FALSE(nulls.maximum.present || nulls.minimum.present || nulls.period.present ||
                 nulls.epochPresent);

    const TableRead names = ReadFixture("names.vot");
    ASSERT_TRUE(names.status.ok) << names.status.message;
    ASSERT_EQ(names.stars.size(), 1U);
    EXPECT_DOUBLE_EQ(names.stars[0].decDegrees, 21.5);
    EXPECT_EQ(Text(names.stars[0].period.days), "0.5000000000"); // 12 h

    // Texts come back in the encoding the document declares, as written.
    for (const std::string encoding : {"ISO-8859-1", "UTF-8"}) {
        const std::string name = encoding == "UTF-8" ? "B\xC3\xA9 Xyz" : "B\xE9 Xyz";
        const TableRead read =
            Read("<?xml version=\"1.0\" encoding=\"" + encoding +
                     "\"?><VOTABLE><RESOURCE><TABLE><FIELD name=\"ra\"/>"
                     "<FIELD name=\"dec\"/><FIELD name=\"Name\"/><DATA>"
                     "<TABLEDATA><TR><TD>1</TD><TD>2</TD><TD>" +
                     name + "</TD></TR></TABLEDATA></DATA></TABLE></RESOURCE></VOTABLE>",
                 {TableKind::VoTable, '\0'});
        ASSERT_EQ(read.stars.size(), 1U) << encoding << ": " << read.status.message;
        EXPECT_EQ(read.stars[0].name, name) << encoding;
    }
}

TEST(TableReaderTest, RealTablesFromAnotherProject) {
    const TableRead irsa = ReadFixture("irsa-nph-m31.xml", 1000);
    ASSERT_TRUE(irsa.status.ok) << irsa.status.message;
    ASSERT_EQ(irsa.stars.size(), 18U);
    EXPECT_EQ(irsa.stars[0].name, "00424398+4116028");
    EXPECT_DOUBLE_EQ(irsa.stars[0].raDegrees, 10.683263);
    EXPECT_DOUBLE_EQ(irsa.stars[0].decDegrees, 41.267456);
    EXPECT_EQ(irsa.description, "VOTable: positions from ra/dec, names from designation");

    // Without a name column the rows read, and every star is skipped for it.
    const TableRead frames = ReadFixture("icrs_fk5.csv");
    ASSERT_TRUE(frames.status.ok) << frames.status.message;
    ASSERT_FALSE(frames.stars.empty());
    EXPECT_DOUBLE_EQ(frames.stars[0].raDegrees, 334.679023415);
    EXPECT_EQ(frames.report.stars, 0);
    EXPECT_EQ(frames.report.Skipped(SkipReason::NoName),
              static_cast<std::int64_t>(frames.stars.size()));
    EXPECT_NE(frames.description.find("no name column"), std::string::npos);
}

TEST(TableReaderTest, EveryBlockSizeReadsTheSameStars) {
    for (const char* file : {"vizier-vsx.tsv", "vizier-bar.tsv", "vsx-dump.csv", "topcat.csv",
                             "ucds.vot", "names.vot"}) {
        const TableRead whole = ReadFixture(file, 1 << 20);
        for (const std::size_t block : {1, 2, 3, 7, 64}) {
            const TableRead pieces = ReadFixture(file, block);
            EXPECT_EQ(pieces.lines, whole.lines) << file << " in blocks of " << block;
            EXPECT_EQ(pieces.description, whole.description) << file;
        }
    }
}

// Lumara's CSV and VOTable exports load back to the stars the library
// decodes from the catalogue, whichever of the CSV's two Min is which.
TEST(TableReaderTest, LumarasOwnExportsLoadBack) {
    // The demo catalogue's stars as a load decodes them, and both exports
    // of them as the row writers write them.
    std::vector<StarRecord> stars;
    std::string csv(lumara::csv::kHeader);
    std::string voTable(lumara::votable::Prologue());
    std::istringstream demo(ReadFile(LUMARA_DEMO_CATALOGUE));
    for (std::string line; std::getline(demo, line);) {
        if (!lumara::IsStarLine(line.c_str())) {
            continue;
        }
        StarRecord& record = stars.emplace_back();
        lumara::NormaliseLine(line.data(), line.size(), record);
        lumara::DecodeAllFields(record);
        char row[lumara::votable::kMaxRowBytes];
        csv.append(row, lumara::csv::FormatRow(record, row));
        voTable.append(row, lumara::votable::FormatRow(record, row));
    }
    voTable += lumara::votable::kEpilogue;
    ASSERT_GT(stars.size(), 0u);
    for (const std::string& bytes : {csv, voTable}) {
        const TableRead read = Read(bytes, FormOf(bytes));
        ASSERT_TRUE(read.status.ok) << read.status.message;
        std::size_t i = 0;
        for (const StarRecord* r = stars.data(); r != stars.data() + stars.size(); ++r, ++i) {
            ASSERT_LT(i, read.lines.size());
            StarRecord back{};
            lumara::NormaliseLine(read.lines[i].data(), read.lines[i].size(), back);
            lumara::DecodeAllFields(back);
            EXPECT_EQ(back.raHours, r->raHours) << r->line;
            EXPECT_EQ(back.raMinutes, r->raMinutes) << r->line;
            EXPECT_EQ(back.dec, r->dec) << r->line;
            EXPECT_STREQ(back.name, r->name);
            EXPECT_STREQ(back.type, r->type);
            EXPECT_STREQ(back.range, r->range);
            EXPECT_STREQ(back.desc, r->desc);
            EXPECT_EQ(back.maxMag, r->maxMag) << r->line;
            EXPECT_EQ(back.minMag, r->minMag) << r->line;
            // The policy writes 10 000 days and more in whole thousands.
            const bool fractionOfThousands =
                r->period >= 10000 && r->period != 1000 * std::floor(r->period / 1000);
            if (!fractionOfThousands) {
                EXPECT_EQ(back.period, r->period) << r->line;
            }
        }
        EXPECT_EQ(i, read.lines.size());
    }
}

TEST(TableReaderTest, ReadingNumbersAsTablesWriteThem) {
    const struct {
        const char* text;
        NumberRead read;
        const char* value;
    } numbers[] = {
        {" 12.5 ", NumberRead::Number, "12.5"},
        {"-0.000125", NumberRead::Number, "-0.000125"},
        {"1.5E3", NumberRead::Number, "1500"},
        {"2.5e-3", NumberRead::Number, "0.0025"},
        {"+7", NumberRead::Number, "7"},
        {"NaN", NumberRead::Blank, ""},
        {"  ", NumberRead::Blank, ""},
        {"1e", NumberRead::Broken, ""},
        {"1.2.3", NumberRead::Broken, ""},
        {"12 5", NumberRead::Broken, ""},
        {"1e9999", NumberRead::Broken, ""},
        {"1234567890", NumberRead::Broken, ""},
        {"0.123456789012345678901", NumberRead::Number, "0.12345678901234567"},
    };
    for (const auto& number : numbers) {
        Decimal value;
        EXPECT_EQ(ReadTableNumber(number.text, value), number.read) << number.text;
        if (number.read == NumberRead::Number) {
            EXPECT_EQ(Text(value), number.value) << number.text;
        }
    }
    // A number too long to read makes its row's, whichever column it is in.
    const TableRead read = Read("ra,dec,name,M-m/D\n1,2,X," + std::string(30, '7') + "\n3,4,Y,5\n",
                                {TableKind::Csv, ','});
    EXPECT_EQ(read.stars.size(), 1U);
    EXPECT_EQ(read.report.Skipped(SkipReason::BrokenNumber), 1);
}

// Of a table with both forms of position, only the columns of the form it
// reads are read. A text's control bytes become spaces wherever they stand.
TEST(TableReaderTest, OnlyThePositionFormReadIsReadFromItsColumns) {
    const TableForm csv{TableKind::Csv, ','};
    const TableRead oneColumn =
        Read("RAJ2000,DEJ2000,RAh,DEs,Name\n10,20,,x,ABCDEFGH\x7FIJ\n", csv);
    ASSERT_EQ(oneColumn.stars.size(), 1U);
    EXPECT_DOUBLE_EQ(oneColumn.stars[0].raDegrees, 10);
    EXPECT_EQ(oneColumn.stars[0].name, "ABCDEFGH IJ");
    const TableRead split = Read("RAh,RAm,RAs,DEd,DEm,DEs,RAJ2000\n1,30,0,-20,30,0,x\n", csv);
    ASSERT_EQ(split.stars.size(), 1U);
    EXPECT_DOUBLE_EQ(split.stars[0].raDegrees, 22.5);
    EXPECT_DOUBLE_EQ(split.stars[0].decDegrees, -20.5);
}

TEST(TableReaderTest, BadTablesAreRefusedWithAMessage) {
    const TableForm csv{TableKind::Csv, ','};
    const TableForm vot{TableKind::VoTable, '\0'};
    const std::string fields =
        "<VOTABLE><RESOURCE><TABLE><FIELD name=\"ra\"/><FIELD name=\"dec\"/>";
    std::string deep = "<VOTABLE>";
    for (int i = 0; i < kMaxXmlDepth; ++i) {
        deep += "<GROUP>";
    }
    const struct {
        std::string bytes;
        TableForm form;
        const char* says;
    } bad[] = {
        {"ra,dec,name\n1,2,\"open\n3,4,x\n", csv, "not closed"},
        {"ra,dec,name\n1,2,a\"b\n", csv, "quoting is broken"},
        {"name,mag\nX,5\n", csv, "RAJ2000/DEJ2000"},
        {"ra,dec\n1,\"" + std::string(kMaxCellBytes + 1, 'x') + "\"\n", csv, "longer than"},
        {"ra;dec\nrad;deg\n---;---\n1;2\n", TableForm{TableKind::Separated, ';'}, "rad"},
        {fields + "<DATA><BINARY2><STREAM encoding=\"base64\">AAAA</STREAM></BINARY2></DATA>", vot,
         "BINARY2"},
        {"<VOTABLE><COOSYS ID=\"b\" system=\"eq_FK4\" equinox=\"B1950\"/><RESOURCE><TABLE>"
         "<FIELD name=\"ra\" ref=\"b\"/><FIELD name=\"dec\" ref=\"b\"/><DATA><TABLEDATA>",
         vot, "eq_FK4 equinox B1950"},
        {"<VOTABLE><COOSYS system=\"galactic\"/><RESOURCE><TABLE><FIELD name=\"ra\"/>"
         "<FIELD name=\"dec\"/><DATA><TABLEDATA>",
         vot, "galactic"},
        {deep, vot, "deeper than"},
        {fields + "<DATA><TABLEDATA><TR><TD>1</TD>", vot, "not well-formed"},
        {"<html><body/></html>", vot, "not a VOTable"},
    };
    for (const auto& table : bad) {
        const TableRead read = Read(table.bytes, table.form);
        EXPECT_FALSE(read.status.ok) << table.bytes.substr(0, 60);
        EXPECT_NE(read.status.message.find(table.says), std::string::npos)
            << table.bytes.substr(0, 60) << ": " << read.status.message;
    }
}

// A line of a billion fields is refused once it passes a limit, having been
// read in blocks and held nowhere: as a heading by its length, as a row by
// its number of fields.
TEST(TableReaderTest, ABillionColumnLineIsRefusedAsItStreams) {
    constexpr std::size_t kBlock = 64 << 10;
    constexpr std::size_t kBillion = 1'000'000'000;
    const std::string commas(kBlock, ',');
    const struct {
        std::string start;
        std::size_t limit;
    } lines[] = {{"ra,dec", kMaxHeadingLineBytes}, {"ra,dec\n1,2", kMaxColumns}};
    for (const auto& line : lines) {
        const std::unique_ptr<TableReader> reader =
            MakeTableReader({TableKind::Csv, ','}, [](const TableStar&) {});
        TableStatus status = reader->Feed(line.start.data(), line.start.size());
        std::size_t fed = 0;
        for (; status.ok && fed < kBillion; fed += kBlock) {
            status = reader->Feed(commas.data(), commas.size());
        }
        EXPECT_FALSE(status.ok);
        EXPECT_NE(status.message.find(std::to_string(line.limit)), std::string::npos)
            << status.message;
        EXPECT_LE(fed, kMaxHeadingLineBytes + kBlock);
    }
}
