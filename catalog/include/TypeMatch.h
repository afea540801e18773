// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Variability types as catalogues write them: the patterns a user asks for
// and the families an observer picks by name.
//
// A star's type is read one code at a time. The codes of a compound type are
// split at '/', '+', '|' and ','; an uncertainty mark ':' ends a code, the
// importer's cut mark '~' ends a shortened type, and blanks (the padding of
// the 8-column field) separate too. Case does not matter. A code with a
// parenthesised part (CEP(B), RR(B), IN(YY)) is matched whole and also as
// the code before the parenthesis, so CEP finds CEP(B) while CEP(B) finds
// only the double-mode stars.
//
// Both tests read nothing but the type text, so a catalogue that keeps the
// few thousand distinct type texts of its stars once, with an id per star,
// can run TypeMatcher::Matches once per distinct text and search on the
// answers by id, and can compute FamiliesOf once per distinct text at load.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace lumara {

// --- Patterns -----------------------------------------------------------------

enum class TypePatternError {
    NoPattern,    // the list is empty or blank
    Empty,        // nothing between two commas, or around one
    Compound,     // a separator of compound types: a pattern matches one code
    BadCharacter, // a character no type code holds
};

struct TypePatternFault {
    TypePatternError error;
    std::size_t number;  // which pattern of the list, from 1
    std::string pattern; // that pattern as given, blanks around it removed
    char character;      // the character refused; '\0' for NoPattern and Empty
};

// One line for the user, naming the pattern and what a pattern may hold.
std::string Describe(const TypePatternFault& fault);

// Matches a star's type against a comma-separated list of patterns: codes as
// catalogues write them (M, SRB, EA, RRAB, UGSS), where '*' stands for any
// run of characters and '?' for one. A star matches when any of its codes
// matches any pattern as a whole. A trailing ':' on a pattern is ignored, as
// on a type.
class TypeMatcher {
public:
    static std::variant<TypeMatcher, TypePatternFault> Parse(std::string_view list);

    // `type`: the native line's 8-column field as it stands, or the full type
    // a source gave.
    bool Matches(std::string_view type) const;

private:
    explicit TypeMatcher(std::vector<std::string> upperCasePatterns);

    std::vector<std::string> patterns;
};

// --- Families -----------------------------------------------------------------

// In the order the window offers them.
enum class Family : std::uint8_t {
    Mira,
    Semiregular,
    Irregular,
    Eclipsing,
    RrLyrae,
    Cepheid,
    DeltaScuti,
    Cataclysmic,
    Nova,
    YoungStellar,
    RCrB,
};
inline constexpr std::size_t kFamilyCount = 11;

// One bit per family, so that a family criterion on a star is one AND.
using FamilyMask = std::uint16_t;
static_assert(kFamilyCount <= sizeof(FamilyMask) * 8);

constexpr FamilyMask MaskOf(Family family) {
    return static_cast<FamilyMask>(1u << static_cast<unsigned>(family));
}

// A family is the explicit list of its codes, never a prefix: E* would take
// the ellipsoidal ELL and the young EXOR, *CEP* the beta Cephei stars BCEP, N*
// the nova-like NL.
struct FamilyInfo {
    Family family;
    std::string_view label;       // for the window, UTF-8
    std::string_view commandName; // for the command line, lower case
    std::span<const std::string_view> codes;
};

// Every family, in the order of Family.
std::span<const FamilyInfo> Families();

// The families any code of `type` belongs to.
FamilyMask FamiliesOf(std::string_view type);

// Case-insensitive.
std::optional<Family> FamilyByCommandName(std::string_view name);

// One line for the user, listing the names there are.
std::string DescribeUnknownFamily(std::string_view name);

} // namespace lumara
