// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FieldExchange.h"
#include "DialogFramework.h"

#include <QApplication>
#include <gtest/gtest.h>

TEST(FieldExchangeTest, IntegersReadWithBlanksAndSignOnly) {
    EXPECT_EQ(ParseInteger(" 12 "), 12);
    EXPECT_EQ(ParseInteger("-90"), -90);
    EXPECT_EQ(ParseInteger("+5"), 5);
    for (const char* refused : {"", "  ", "1.0", "12a", "a12", "+-5", "--5", "+", "1 2", "0x10",
                                "99999999999999999999"}) {
        EXPECT_FALSE(ParseInteger(refused).has_value()) << refused;
    }
}

TEST(FieldExchangeTest, NumbersReadAsPlainDecimals) {
    EXPECT_EQ(ParseNumber(" 6.50 "), 6.5);
    EXPECT_EQ(ParseNumber("1e3"), 1000.0);
    EXPECT_EQ(ParseNumber("+.5"), 0.5);
    EXPECT_EQ(ParseNumber("7."), 7.0);
    EXPECT_EQ(ParseNumber("-2E-1"), -0.2);
    for (const char* refused :
         {"", ".", "-", "e3", "1e", "1e+", "inf", "nan", "0x1p3", "6,5", "1e999", "1.2.3", "5 5"}) {
        EXPECT_FALSE(ParseNumber(refused).has_value()) << refused;
    }
}

TEST(FieldExchangeTest, NumbersWriteInShortestGeneralNotation) {
    EXPECT_EQ(FormatNumber(6.5f, std::numeric_limits<float>::digits10), "6.5");
    EXPECT_EQ(FormatNumber(0.1f, std::numeric_limits<float>::digits10), "0.1");
    EXPECT_EQ(FormatNumber(1000.0, std::numeric_limits<double>::digits10), "1000");
    EXPECT_EQ(FormatNumber(0.0, std::numeric_limits<double>::digits10), "0");
    EXPECT_EQ(FormatNumber(1234567.0f, std::numeric_limits<float>::digits10), "1.23457e+06");
    EXPECT_EQ(FormatNumber(100000.0, std::numeric_limits<double>::digits10), "100000");
}

TEST(DialogUnitsTest, UnitsScaleWithTheFontAndRoundEachEdge) {
    const DialogUnits units(QApplication::font());
    const int width = units.BaseWidth();
    const int height = units.BaseHeight();
    ASSERT_GT(width, 0);
    ASSERT_GT(height, 0);
    EXPECT_EQ(units.Map({4, 8, 8, 16}), QRect(width, height, 2 * width, 2 * height));
    EXPECT_EQ(units.Map({400, 800, 4, 8}), QRect(100 * width, 100 * height, width, height));
    // Each edge rounds on its own, so neighbours never overlap or part.
    const QRect left = units.Map({0, 0, 3, 3});
    const QRect right = units.Map({3, 0, 3, 3});
    EXPECT_EQ(left.right() + 1, right.left());
    EXPECT_EQ(left.width(), (3 * width + 2) / 4);
}
