// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <variant>

#include "TypeMatch.h"

namespace {

using lumara::Family;
using lumara::FamilyMask;
using lumara::MaskOf;
using lumara::TypeMatcher;
using lumara::TypePatternError;
using lumara::TypePatternFault;

TypeMatcher Parsed(const char* list) {
    auto parsed = TypeMatcher::Parse(list);
    EXPECT_TRUE(std::holds_alternative<TypeMatcher>(parsed)) << list;
    return std::get<TypeMatcher>(std::move(parsed));
}

TypePatternFault Refused(const char* list) {
    auto parsed = TypeMatcher::Parse(list);
    EXPECT_TRUE(std::holds_alternative<TypePatternFault>(parsed)) << list;
    return std::get<TypePatternFault>(std::move(parsed));
}

struct MatchCase {
    const char* patterns;
    const char* type;
    bool matches;
};

TEST(TypeMatchTest, MatchesEachCodeOfRealTypes) {
    const MatchCase cases[] = {
        {"M", "M       ", true}, // the native field, blank-padded
        {"M", "M:", true},
        {"M", "MM", false},
        {"M", "SRB", false},
        {"M", "M|SRB", true},
        {"SRB", "M|SRB", true},
        {"SR*", "SRB:", true},
        {"SR*", "SR", true},
        {"SR*", "LB", false},
        {"EA", "EA/SD", true},
        {"SD", "EA/SD", true},
        {"E", "EA/SD", false},
        {"E*", "EA/SD", true},
        {"ZAND", "EA/GS+ZAND", true},
        {"ZAND", "EA/GS~  ", false}, // shortened in the native field
        {"GS", "EA/GS~  ", true},
        {"e", "UGSS+E", true},
        {"rrab", "RRAB", true},
        {"UGSU", "ugsu:+e", true},
        {"CEP", "CEP(B)", true},
        {"CEP(B)", "CEP(B)", true},
        {"CEP(B)", "CEP", false},
        {"RR", "RR(B)", true},
        {"IN", "IN(YY):", true},
        {"*(B)", "DCEP(B)", true},
        {"SXPHE", "SXPHE(B~", true}, // cut inside the code
        {"?R", "SR", true},
        {"?R", "SRB", false},
        {"R*B", "RRAB", true},
        {"R*C", "RRAB", false},
        {"DSCT", "DSCTC", false},
        {"SRB:", "SRB", true},
        {"M, SR*", "SRA", true},
        {"M,SR*", "LB:", false},
        {"*", "        ", false}, // a blank type has no code
    };
    for (const MatchCase& test : cases) {
        EXPECT_EQ(Parsed(test.patterns).Matches(test.type), test.matches)
            << test.patterns << " on " << test.type;
    }
}

TEST(TypeMatchTest, RefusesEmptyAndImpossiblePatternsSayingWhich) {
    EXPECT_EQ(Refused("").error, TypePatternError::NoPattern);
    EXPECT_EQ(Refused("   ").error, TypePatternError::NoPattern);

    const TypePatternFault between = Refused("M,,SR");
    EXPECT_EQ(between.error, TypePatternError::Empty);
    EXPECT_EQ(between.number, 2u);
    EXPECT_NE(lumara::Describe(between).find("type pattern 2 is empty"), std::string::npos);
    EXPECT_EQ(Refused("M,").number, 2u);
    EXPECT_EQ(Refused(" : ").error, TypePatternError::NoPattern);

    const TypePatternFault compound = Refused("M, EA/SD");
    EXPECT_EQ(compound.error, TypePatternError::Compound);
    EXPECT_EQ(compound.pattern, "EA/SD");
    EXPECT_NE(lumara::Describe(compound).find("\"EA/SD\" holds '/'"), std::string::npos);

    EXPECT_EQ(Refused("S R").character, ' ');
    EXPECT_EQ(Refused("M;SR").character, ';');
    const TypePatternFault control = Refused("M\x07");
    EXPECT_EQ(control.error, TypePatternError::BadCharacter);
    EXPECT_NE(lumara::Describe(control).find("byte 0x07"), std::string::npos);
}

struct FamilyCase {
    const char* type;
    FamilyMask families;
};

TEST(TypeMatchTest, FamiliesAreListsOfCodesNotPrefixes) {
    // Each trap is taken by the prefix pattern, and left out by the family.
    const MatchCase traps[] = {
        {"E*", "ELL", true}, {"E*", "EXOR", true}, {"*CEP*", "BCEP", true}, {"N*", "NL", true}};
    for (const MatchCase& trap : traps) {
        EXPECT_EQ(Parsed(trap.patterns).Matches(trap.type), trap.matches) << trap.type;
    }
    const FamilyCase cases[] = {
        {"ELL", 0},
        {"EXOR", MaskOf(Family::YoungStellar)},
        {"BCEP", 0},
        {"BCEPS", 0},
        {"NL", MaskOf(Family::Cataclysmic)},
        {"N", MaskOf(Family::Nova) | MaskOf(Family::Cataclysmic)},
        {"NA:", MaskOf(Family::Nova) | MaskOf(Family::Cataclysmic)},
        {"M       ", MaskOf(Family::Mira)},
        {"SRB:", MaskOf(Family::Semiregular)},
        {"M|SRB", MaskOf(Family::Mira) | MaskOf(Family::Semiregular)},
        {"UGSS+E", MaskOf(Family::Cataclysmic) | MaskOf(Family::Eclipsing)},
        {"EA/GS+ZAND", MaskOf(Family::Eclipsing) | MaskOf(Family::Cataclysmic)},
        {"EA/GS~", MaskOf(Family::Eclipsing)},
        {"CEP(B)", MaskOf(Family::Cepheid)},
        {"dceps", MaskOf(Family::Cepheid)},
        {"RR(B)", MaskOf(Family::RrLyrae)},
        {"IN(YY)", MaskOf(Family::YoungStellar)},
        {"HADS(B)", MaskOf(Family::DeltaScuti)},
        {"LPB", 0},
        {"EP", 0},
        {"RV", 0},
        {"VAR", 0},
        {"", 0},
    };
    for (const FamilyCase& test : cases) {
        EXPECT_EQ(lumara::FamiliesOf(test.type), test.families) << test.type;
    }
}

TEST(TypeMatchTest, TheFamilyTableIsWellFormed) {
    std::set<std::string> commandNames;
    std::set<std::string> codesSeen;
    for (const lumara::FamilyInfo& family : lumara::Families()) {
        EXPECT_FALSE(family.label.empty());
        EXPECT_TRUE(commandNames.insert(std::string(family.commandName)).second);
        EXPECT_EQ(lumara::FamilyByCommandName(family.commandName), family.family);
        for (const std::string_view code : family.codes) {
            // Every code can be asked for as a pattern and leads to its family.
            EXPECT_TRUE(Parsed(std::string(code).c_str()).Matches(code)) << code;
            EXPECT_NE(lumara::FamiliesOf(code) & MaskOf(family.family), 0) << code;
            // Only the novae are listed twice, among the cataclysmic stars too.
            const bool novaInBoth =
                lumara::FamiliesOf(code) == (MaskOf(Family::Nova) | MaskOf(Family::Cataclysmic));
            EXPECT_TRUE(codesSeen.insert(std::string(code)).second || novaInBoth) << code;
        }
    }
    EXPECT_EQ(commandNames.size(), lumara::kFamilyCount);
}

TEST(TypeMatchTest, FamilyNamesAreFoundIgnoringCaseAndTheErrorListsThem) {
    EXPECT_EQ(lumara::FamilyByCommandName("MIRA"), Family::Mira);
    EXPECT_EQ(lumara::FamilyByCommandName("RCrB"), Family::RCrB);
    EXPECT_EQ(lumara::FamilyByCommandName("miras"), std::nullopt);
    EXPECT_EQ(lumara::FamilyByCommandName(""), std::nullopt);
    const std::string message = lumara::DescribeUnknownFamily("miras");
    EXPECT_NE(message.find("\"miras\""), std::string::npos);
    EXPECT_NE(message.find("mira, semiregular, irregular"), std::string::npos);
    EXPECT_NE(message.find("yso, rcrb"), std::string::npos);
}

} // namespace
