// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The VOTable is read back by STILTS, the virtual observatory's own table
// tool, which says what another program would find in it.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "RunLumara.h"
#include "StarCatalog.h"
#include "TestFiles.h"

namespace {

using namespace lumara::test;

constexpr const char* kStilts = "/usr/bin/stilts";

// Lines that XML has to escape or cannot hold as they are: markup
// characters, an 8-bit byte and a control character.
constexpr std::string_view kAwkwardLines =
    "0536+21   RT & Xyz    M<      >   6.20 - 9.85  371.5   \"a\" <b> \xE9t\x01\n"
    "2210-05a  V1234 Xyz   EA/SD     < 9.10 -10.35   12K3   eclipsing system\n";

// One CSV record as STILTS writes it: quoted fields with inner quotes doubled.
std::vector<std::string> FieldsOf(const std::string& line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            fields.back() += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            fields.emplace_back();
        } else if (c != '\n' && c != '\r') {
            fields.back() += c;
        }
    }
    return fields;
}

// A record's text as a VOTable reader gets it: without the padding blanks,
// read as ISO-8859-1 (written out in UTF-8), control characters replaced.
std::string TableText(const char* text) {
    std::string value(text);
    value.erase(0, value.find_first_not_of(' '));
    value.erase(value.find_last_not_of(' ') + 1);
    std::string utf8;
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80) {
            utf8 += static_cast<char>(0xC0 | (byte >> 6));
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        } else {
            utf8 += byte < ' ' ? '?' : c;
        }
    }
    return utf8;
}

void ExpectNumber(const std::string& cell, double value, const char* column) {
    if (value == 0.0) {
        EXPECT_EQ(cell, "") << column << ": a value the line does not give is null";
    } else {
        ASSERT_FALSE(cell.empty()) << column;
        EXPECT_NEAR(std::stod(cell), value, 1e-6 * value) << column;
    }
}

TEST(VoTableTest, StiltsReadsTheColumnsTypesNullsAndValues) {
    if (!std::filesystem::exists(kStilts)) {
        GTEST_SKIP() << "STILTS is not installed";
    }
    const TempDir folder;
    const std::string catalogue =
        folder.Write("stars.txt", ReadFile(LUMARA_DEMO_CATALOGUE) + std::string(kAwkwardLines));
    const std::string table = folder.PathOf("stars.vot");
    const ProgramRun search =
        RunLumara({"search", catalogue, "--dec", "-40..90", "--format", "votable", "-o", table});
    ASSERT_EQ(search.status, 0) << search.err;

    const ProgramRun meta =
        RunScript(std::string(kStilts) + " tpipe in='" + table + "' ifmt=votable omode=meta");
    ASSERT_EQ(meta.status, 0) << meta.err;
    for (const char* column : {"RAh(Short)/h", "RAm(Short)/min", "DEd(Short)/deg", "Name(String)",
                               "Type(String)", "Range(String)", "Desc(String)",
                               "MaxMag(Double)/mag", "MinMag(Double)/mag", "Period(Double)/d"}) {
        EXPECT_NE(meta.out.find(column), std::string::npos) << column << "\n" << meta.out;
    }

    const ProgramRun csv =
        RunScript(std::string(kStilts) + " tpipe in='" + table + "' ifmt=votable ofmt=csv");
    ASSERT_EQ(csv.status, 0) << csv.err;
    const std::vector<std::string> rows = LinesOf(csv.out);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0], "RAh,RAm,DEd,Name,Type,Range,Desc,MaxMag,MinMag,Period\n");

    CStarCatalog catalog;
    ASSERT_GT(catalog.LoadCatalog(catalogue.c_str()), 0);
    lumara::SearchCriteria criteria;
    criteria.decSouth = -40;
    criteria.useMagnitude = false;
    criteria.usePeriod = false;
    ASSERT_EQ(lumara::SearchWith(catalog, criteria) + 1, static_cast<std::int32_t>(rows.size()));
    std::size_t row = 1;
    bool sawAwkward = false;
    for (const ResultNode* node = catalog.GetFirstResult(); node != nullptr; node = node->next) {
        const StarRecord& star = *node->record;
        const std::vector<std::string> cells = FieldsOf(rows[row++]);
        ASSERT_EQ(cells.size(), 10u) << rows[row - 1];
        SCOPED_TRACE(rows[row - 1]);
        EXPECT_EQ(cells[0], std::to_string(star.raHours));
        EXPECT_EQ(cells[1], std::to_string(star.raMinutes));
        EXPECT_EQ(cells[2], std::to_string(star.dec));
        EXPECT_EQ(cells[3], TableText(star.name));
        EXPECT_EQ(cells[4], TableText(star.type));
        EXPECT_EQ(cells[5], TableText(star.range));
        EXPECT_EQ(cells[6], TableText(star.desc));
        ExpectNumber(cells[7], star.maxMag, "MaxMag");
        ExpectNumber(cells[8], star.minMag, "MinMag");
        ExpectNumber(cells[9], star.period, "Period");
        sawAwkward = sawAwkward || cells[3] == "RT & Xyz";
    }
    EXPECT_TRUE(sawAwkward);

    // In reverse: the same table with its rows, one a line, last to first.
    std::vector<std::string> lines = LinesOf(ReadFile(table));
    const auto isRow = [](const std::string& line) { return line.rfind("<TR>", 0) == 0; };
    const auto firstRow = std::find_if(lines.begin(), lines.end(), isRow);
    std::reverse(firstRow, std::find_if_not(firstRow, lines.end(), isRow));
    std::string reversed;
    for (const std::string& line : lines) {
        reversed += line;
    }
    const ProgramRun descending =
        RunLumara({"search", catalogue, "--dec", "-40..90", "--format", "votable", "--desc"});
    EXPECT_EQ(descending.status, 0) << descending.err;
    EXPECT_TRUE(descending.out == reversed) << "reversed table differs";
}

} // namespace
