// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "SortOrder.h"

namespace {

using lumara::SortDirection;
using lumara::SortKey;
using lumara::SortKeyKind;
using lumara::SortStatus;
using Order = std::vector<std::uint32_t>;

constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();
constexpr auto kAscending = SortDirection::Ascending;
constexpr auto kDescending = SortDirection::Descending;

SortKey Numbers(const std::vector<double>& values, SortDirection direction) {
    return {SortKeyKind::Number, values, {}, direction};
}

SortKey Texts(const std::vector<std::string_view>& values, SortDirection direction) {
    return {SortKeyKind::Text, {}, values, direction};
}

Order Sorted(std::vector<SortKey> keys, std::size_t count) {
    Order order(count);
    EXPECT_EQ(lumara::SortOrder(keys, order), SortStatus::Sorted);
    return order;
}

TEST(SortOrderTest, NumbersWithTiesAndMissingValues) {
    const std::vector<double> values = {5, kNoValue, 3, 5, -0.0, 0.0, kNoValue, -1};
    EXPECT_EQ(Sorted({Numbers(values, kAscending)}, values.size()),
              (Order{7, 4, 5, 2, 0, 3, 1, 6}));
    EXPECT_EQ(Sorted({Numbers(values, kDescending)}, values.size()),
              (Order{0, 3, 2, 4, 5, 7, 1, 6}));
}

TEST(SortOrderTest, NamesInNaturalOrder) {
    const std::vector<std::string_view> names = {
        "  V1234 Cyg", "   V999 Cyg", "    R     Leo", "",
        "  V0999 Cyg", "    alf Cyg", "     AR Leo",   "           ",
        "  V0393 Cyg", "   V393 Aql", "   v393 cep"};
    // The V393 stars tie in the bits sorted first and are told apart after.
    EXPECT_EQ(Sorted({Texts(names, kAscending)}, names.size()),
              (Order{5, 6, 2, 9, 10, 8, 1, 4, 0, 3, 7}));
    EXPECT_EQ(Sorted({Texts(names, kDescending)}, names.size()),
              (Order{0, 1, 4, 8, 10, 9, 2, 6, 5, 3, 7}));
}

TEST(SortOrderTest, TextsWithNumbersTooLongForTheSortedBytes) {
    const std::string longer = "X" + std::string(256, '9');
    const std::string shorter = "X" + std::string(255, '9');
    const std::vector<std::string_view> texts = {longer, "X0", shorter, "x00", "X 1", "X5"};
    EXPECT_EQ(Sorted({Texts(texts, kAscending)}, texts.size()), (Order{4, 1, 3, 5, 2, 0}));
}

TEST(SortOrderTest, LaterKeysOrderTheTiesOfEarlierOnes) {
    const std::vector<std::string_view> types = {"M", "SRB", "M", "M", "SRB", ""};
    const std::vector<double> maxima = {7.0, 9.0, 8.0, kNoValue, 9.0, 1.0};
    // --sort type,-max
    EXPECT_EQ(Sorted({Texts(types, kAscending), Numbers(maxima, kDescending)}, types.size()),
              (Order{2, 0, 3, 1, 4, 5}));
    EXPECT_EQ(Sorted({Numbers(maxima, kAscending), Texts(types, kDescending)}, types.size()),
              (Order{5, 0, 2, 1, 4, 3}));
    EXPECT_EQ(Sorted({}, 3), (Order{0, 1, 2}));
    EXPECT_EQ(Sorted({Texts({}, kAscending), Numbers({}, kDescending)}, 0), Order{});
}

TEST(SortOrderTest, RefusesKeysOfAnotherSize) {
    const std::vector<double> values = {1, 2};
    Order order = {7, 7, 7};
    EXPECT_EQ(lumara::SortOrder(std::vector{Numbers(values, kAscending)}, order),
              SortStatus::KeySizeMismatch);
    EXPECT_EQ(order, (Order{7, 7, 7}));
}

// Sizes above the one from which both threads sort, checked against a
// plain stable sort of the same values.
TEST(SortOrderTest, LargeListsOnTwoThreadsAgreeWithAStableSort) {
    constexpr std::size_t kItems = 300'000;
    std::mt19937 random(22);
    std::uniform_int_distribution<int> hundredths(-200, 2500);
    std::vector<double> magnitudes(kItems);
    for (double& magnitude : magnitudes) {
        magnitude = random() % 20 == 0 ? kNoValue : hundredths(random) / 100.0;
    }
    for (const SortDirection direction : {kAscending, kDescending}) {
        Order expected(kItems);
        std::iota(expected.begin(), expected.end(), 0u);
        std::stable_sort(expected.begin(), expected.end(), [&](std::uint32_t a, std::uint32_t b) {
            const double x = magnitudes[a];
            const double y = magnitudes[b];
            if (std::isnan(x) || std::isnan(y)) {
                return !std::isnan(x) && std::isnan(y);
            }
            return direction == kAscending ? x < y : x > y;
        });
        EXPECT_EQ(Sorted({Numbers(magnitudes, direction)}, kItems), expected);
    }

    // Names V1 .. V9999 in ten constellations, padded or not at random; the
    // first ones all V393, tied for long enough to be sorted again by radix.
    constexpr int kNumbers = 9999;
    constexpr std::size_t kOneNumber = 40'000;
    const char* constellations[] = {"And", "Aql", "Cep", "Cyg", "Her",
                                    "Leo", "Lyr", "Ori", "Sco", "Sgr"};
    std::vector<std::string> storage(kItems);
    std::vector<std::string_view> names(kItems);
    std::vector<std::pair<int, int>> number(kItems); // what the name says, in order
    for (std::size_t i = 0; i < kItems; ++i) {
        const int v = i < kOneNumber ? 393 : static_cast<int>(random() % kNumbers) + 1;
        const int constellation = static_cast<int>(random() % std::size(constellations));
        char name[16];
        std::snprintf(name, sizeof name, random() % 2 ? "V%04d %s" : "V%d %s", v,
                      constellations[constellation]);
        storage[i] = name;
        names[i] = storage[i];
        number[i] = {v, constellation};
    }
    Order expected(kItems);
    std::iota(expected.begin(), expected.end(), 0u);
    std::stable_sort(expected.begin(), expected.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return number[a] > number[b]; });
    EXPECT_EQ(Sorted({Texts(names, kDescending)}, kItems), expected);
}

} // namespace
