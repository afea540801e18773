// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The star-line test, normalisation and the ten decoders.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "StarLine.h"
#include "StarRecord.h"
#include "TestFiles.h"

using namespace lumara::test;

namespace {

StarRecord Decoded(std::string_view typed) {
    StarRecord record{};
    const std::string line = Padded(typed);
    std::memcpy(record.line, line.data(), 75);
    lumara::DecodeAllFields(record);
    return record;
}

// Puts text at a column of an otherwise blank 75-column line.
std::string At(std::size_t column, std::string_view text, std::string line = std::string(75, ' ')) {
    line.replace(column, text.size(), text);
    return line;
}

} // namespace

TEST(StarLineTest, AcceptsTheExampleLines) {
    EXPECT_TRUE(lumara::IsStarLine(std::string(kMiraLike).c_str()));
    EXPECT_TRUE(lumara::IsStarLine(std::string(kEclipsing).c_str()));
    EXPECT_TRUE(lumara::IsStarLine(std::string(kNoLightCurve).c_str()));
}

TEST(StarLineTest, EachRuleRejectsOnItsOwn) {
    const std::string good = "0536+21   RT Xyz      M";
    ASSERT_TRUE(lumara::IsStarLine(good.c_str()));
    const struct {
        std::size_t column;
        char replacement;
    } faults[] = {{0, 'x'},  {3, ' '},   {4, '*'},  {4, ' '},     {5, 'a'},
                  {6, '-'},  {7, '7'},   {7, '.'},  {8, 'x'},     {9, '1'},
                  {10, ' '}, {10, '\t'}, {22, ' '}, {22, '\x7f'}, {22, '\xe9'}};
    for (const auto& fault : faults) {
        std::string line = good;
        line[fault.column] = fault.replacement;
        EXPECT_FALSE(lumara::IsStarLine(line.c_str()))
            << "column " << fault.column << " holding " << int(fault.replacement);
    }
}

TEST(StarLineTest, WhiteSpaceAndLettersWhereAllowed) {
    for (const char c : {'\t', '\v', '\f', '\r', 'a', 'z', 'A', 'Z'}) {
        std::string line = "0536+21   RT Xyz      M";
        line[7] = c;
        EXPECT_TRUE(lumara::IsStarLine(line.c_str())) << int(c);
    }
    std::string tabs = "0536-21\t\t\tRT Xyz      ~";
    EXPECT_TRUE(lumara::IsStarLine(tabs.c_str()));
    // The last digit and the first graphic character.
    EXPECT_TRUE(lumara::IsStarLine("2959+99   !           !"));
}

TEST(StarLineTest, AShortLineFailsWhereItEnds) {
    EXPECT_FALSE(lumara::IsStarLine(""));
    EXPECT_FALSE(lumara::IsStarLine("0536+21"));
    EXPECT_FALSE(lumara::IsStarLine("0536+21   RT Xyz"));
    EXPECT_FALSE(lumara::IsStarLine("0536+21   RT Xyz     "));
    // Room after the terminator holds a graphic character that must not be read.
    char buffer[30] = "0536+21   RT";
    std::memset(buffer + 13, 'M', sizeof buffer - 14);
    EXPECT_FALSE(lumara::IsStarLine(buffer));
    EXPECT_FALSE(lumara::IsStarLine("0536+21   R          M"));
    EXPECT_TRUE(lumara::IsStarLine("0536+21   R           M"));
}

TEST(DecodeTest, TheExampleLinesToTheLastDigit) {
    const StarRecord first = Decoded(kMiraLike);
    EXPECT_EQ(first.raHours, 5);
    EXPECT_EQ(first.raMinutes, 36);
    EXPECT_EQ(first.dec, 21);
    EXPECT_STREQ(first.name, "     RT Xyz");
    EXPECT_STREQ(first.type, "M       ");
    EXPECT_STREQ(first.range, "  6.20 - 9.85 ");
    EXPECT_EQ(first.maxMag, 6.200000002980232);
    EXPECT_EQ(first.minMag, 9.850000010803342);
    EXPECT_EQ(first.period, 371.5);
    EXPECT_STREQ(first.desc, "long-period giant   ");

    const StarRecord second = Decoded(kEclipsing);
    EXPECT_EQ(second.raHours, 22);
    EXPECT_EQ(second.raMinutes, 10);
    EXPECT_EQ(second.dec, -5);
    EXPECT_STREQ(second.name, "  V1234 Xyz");
    EXPECT_STREQ(second.type, "EA/SD   ");
    EXPECT_STREQ(second.range, "< 9.10 -10.35 ");
    EXPECT_EQ(second.maxMag, 9.100000001490116);
    EXPECT_EQ(second.minMag, 10.350000003352761);
    EXPECT_EQ(second.period, 12000.3);
    EXPECT_STREQ(second.desc, "eclipsing system    ");

    const StarRecord third = Decoded(kNoLightCurve);
    EXPECT_EQ(third.raHours, 0);
    EXPECT_EQ(third.raMinutes, 12);
    EXPECT_EQ(third.dec, 0);
    EXPECT_STREQ(third.name, "          Q");
    EXPECT_STREQ(third.type, "CST     ");
    EXPECT_STREQ(third.range, "              ");
    EXPECT_EQ(third.maxMag, 0.0);
    EXPECT_EQ(third.minMag, 0.0);
    EXPECT_EQ(third.period, 0.0);
    EXPECT_STREQ(third.desc, "no light curve      ");
}

TEST(DecodeTest, MagnitudesCarryTheSinglePrecisionWeights) {
    const struct {
        const char* text;
        double value;
    } cases[] = {{" 6.50", 6.500000007450581},
                 {" 9.85", 9.850000010803342},
                 {" 6.05", 6.049999998882413},
                 {" 6.19", 6.189999999478459},
                 {" 7.00", 7.0},
                 {"-1.46", 1.46000000461936},
                 {"     ", 0.0},
                 {"15.20", 15.200000002980232}};
    for (const auto& c : cases) {
        StarRecord record = Decoded(At(33, c.text));
        EXPECT_EQ(record.maxMag, c.value) << c.text;
        record = Decoded(At(40, c.text));
        EXPECT_EQ(record.minMag, c.value) << c.text;
    }
}

TEST(DecodeTest, PeriodColumnsAndTheThousandsMarker) {
    const struct {
        const char* text;
        double value;
    } cases[] = {{"  12K3   ", 12000.3}, {"  12k3   ", 12.3},  {"1234.5678", 1234.5678},
                 {"   1.5   ", 1.5},     {" 409.2   ", 409.2}, {"9999K9999", 9999000.9999},
                 {"   0.0001", 0.0001},  {"         ", 0.0},   {"  12 3   ", 12.3},
                 {"  1x.5   ", 10.5}};
    for (const auto& c : cases) {
        EXPECT_EQ(Decoded(At(46, c.text)).period, c.value) << c.text;
    }
}

TEST(DecodeTest, TwoDigitNumbersAndTheSign) {
    EXPECT_EQ(Decoded("0012-00   Q           C").dec, 0);
    EXPECT_EQ(Decoded("9999+99   Q           C").raHours, 99);
    EXPECT_EQ(Decoded("9999+99   Q           C").raMinutes, 99);
    EXPECT_EQ(Decoded("0000-90   Q           C").dec, -90);
    // Only a minus sign negates; a digit column without a digit adds nothing.
    StarRecord record = Decoded("0x0y+x5   Q           C");
    EXPECT_EQ(record.raHours, 0);
    EXPECT_EQ(record.raMinutes, 0);
    EXPECT_EQ(record.dec, 5);
}

TEST(DecodeTest, NamesAreRightJustified) {
    EXPECT_STREQ(Decoded("0000+00   ABCDEFGHIJK C").name, "ABCDEFGHIJK");
    EXPECT_STREQ(Decoded("0000+00   Q           C").name, "          Q");
    // A tab is part of the name; only spaces are moved to the front.
    EXPECT_STREQ(Decoded("0000+00   A\tB        C").name, "        A\tB");
    EXPECT_STREQ(Decoded("0000+00   A B         C").name, "        A B");
}

TEST(DecodeTest, TextsKeepEveryCharacterAndEndAtColumn74) {
    const StarRecord record = Decoded(At(55, "a \"quoted\", comma   ") + "tail");
    EXPECT_STREQ(record.desc, "a \"quoted\", comma   ");
    const StarRecord shortLine = Decoded("0000+00   Q           X");
    EXPECT_STREQ(shortLine.type, "X       ");
    EXPECT_STREQ(shortLine.range, "              ");
    EXPECT_STREQ(shortLine.desc, "                    ");
    EXPECT_EQ(shortLine.maxMag, 0.0);
    EXPECT_EQ(shortLine.period, 0.0);
}

// The line is copied in pieces whose sizes depend on its length, so every
// length up to past the stored width is tried, with and without a CR.
TEST(NormaliseTest, EveryLengthKeepsItsTextThenSpacesThenZeros) {
    std::string source;
    for (std::size_t i = 0; i < 90; ++i) {
        source += static_cast<char>('!' + i % 90);
    }
    for (std::size_t length = 0; length <= 80; ++length) {
        for (const bool withReturn : {false, true}) {
            SCOPED_TRACE("length " + std::to_string(length) + (withReturn ? " and a CR" : ""));
            std::string text = source.substr(0, length) + (withReturn ? "\r" : "");
            StarRecord record;
            std::memset(&record, 'z', sizeof record);
            lumara::NormaliseLine(text.data(), text.size(), record);
            const std::size_t kept = std::min<std::size_t>(length, 75);
            EXPECT_EQ(std::string(record.line, 75),
                      source.substr(0, kept) + std::string(75 - kept, ' '));
            EXPECT_EQ(std::string(record.line + 75, sizeof record.line - 75),
                      std::string(sizeof record.line - 75, '\0'));
        }
    }
}
