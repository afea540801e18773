// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "NameMatch.h"

namespace {

using lumara::NameMatcher;
using lumara::NamePatternError;

struct NameCase {
    const char* text;
    const char* name;
    bool matches;
};

void ExpectMatches(const NameCase& test) {
    const auto prepared = NameMatcher::Prepare(test.text);
    ASSERT_TRUE(std::holds_alternative<NameMatcher>(prepared)) << test.text;
    EXPECT_EQ(std::get<NameMatcher>(prepared).Matches(test.name), test.matches)
        << '"' << test.text << "\" in \"" << test.name << '"';
}

TEST(NameMatchTest, FindsTheTextStartingAtAWord) {
    const NameCase cases[] = {
        {"R Leo", "    R     Leo", true}, // the native field: right-justified, inner blanks
        {"R Leo", "   AR     Leo", false},
        {"  r   LEO ", "R Leo", true},
        {"R Leo", "R\tLeo", true},
        {"Cyg", "  V0393 Cyg", true},
        {"Cyg", "     CH Cyg", true},
        {"cyg", "    alf Cyg", true},
        {"yg", "     CH Cyg", false},
        {"Leo", "R Leonis", true}, // the text may end inside a word
        {"14ab", "ASASSN-14ab", true},
        {"SN-14", "ASASSN-14ab", false},
    };
    for (const NameCase& test : cases) {
        ExpectMatches(test);
    }
}

TEST(NameMatchTest, IgnoresZeroPaddingOfWholeNumbers) {
    const NameCase cases[] = {
        {"V393 Cyg", "  V0393 Cyg", true},
        {"V0393 Cyg", "   V393 Cyg", true},
        {"V0393", "   V393 Cyg", true},
        {"V00393", "V0393 Cyg", true},
        {"V39", "V0393 Cyg", true},
        {"V0", "V0393 Cyg", true},
        {"V393 Cyg", "V3930 Cyg", false},
        {"V393", "V1393 Cyg", false},
        {"V0393", "V3930 Cyg", false},
        {"V0393", "V0393 Cyg", true},
        // Coordinates: zeros typed stand for zeros unless the number ends.
        {"J0000", "J000012+1234", true},
        {"J00001", "J000012+1234", true},
        {"J00001", "J123456+1234", false},
        {"J00001", "J1+2", true},
    };
    for (const NameCase& test : cases) {
        ExpectMatches(test);
    }
}

TEST(NameMatchTest, Wildcards) {
    const NameCase cases[] = {
        {"V*Cyg", "  V0393 Cyg", true},
        {"V?393", "V0393 Cyg", true},
        {"S? Cyg", "     SS Cyg", true},
        {"S? Cyg", "    SSS Cyg", false},
        {"*Leo", "     AR Leo", true},
        {"R*Leo", "     AR Leo", false},
        {"R*Leo", "R     Leo", true},
        {"r**  leo", "R Leo", true},
        {"*", "anything", true},
        // Stars that would make a backtracking match take exponential time.
        {"*a*a*a*a*a*a*a*a*a*a*a*a*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", false},
    };
    for (const NameCase& test : cases) {
        ExpectMatches(test);
    }
}

TEST(NameMatchTest, RefusesAnEmptyOrOverlongText) {
    const auto refused = [](const std::string& text) {
        const auto prepared = NameMatcher::Prepare(text);
        return std::holds_alternative<NamePatternError>(prepared)
                   ? std::optional(std::get<NamePatternError>(prepared))
                   : std::nullopt;
    };
    EXPECT_EQ(refused(""), NamePatternError::Empty);
    EXPECT_EQ(refused(" \t "), NamePatternError::Empty);
    const std::string longest(lumara::kMaxNamePatternChars, 'x');
    EXPECT_EQ(refused(longest), std::nullopt);
    EXPECT_EQ(refused("  " + longest + "  "), std::nullopt);
    EXPECT_EQ(refused(longest + "x"), NamePatternError::TooLong);
    EXPECT_NE(lumara::Describe(NamePatternError::TooLong).find("63"), std::string::npos);
}

} // namespace
