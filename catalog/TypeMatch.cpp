// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "TypeMatch.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <iterator>
#include <utility>

namespace lumara {

namespace {

// What ends a code in a type: the separators of compound types, the
// uncertainty mark, the importer's cut mark and the field's blank padding.
constexpr std::string_view kCodeEnds = "/+|,:~ ";
// The separators of compound types, refused in a pattern.
constexpr std::string_view kCompoundMarks = "/+|";
// What a code holds besides letters and digits.
constexpr std::string_view kCodePunctuation = "().-";
constexpr char kAnyRun = '*';
constexpr char kAnyCharacter = '?';
constexpr char kUncertain = ':';
constexpr char kListSeparator = ',';
constexpr char kSubtypeOpen = '(';
constexpr std::string_view kBlanks = " \t";

bool IsLetterOrDigit(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool Contains(std::string_view set, char c) {
    return set.find(c) != std::string_view::npos;
}

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// Whether `code` matches `pattern` as a whole, '*' taking any run and '?' one
// character; `pattern` is upper case. On a mismatch the last '*' takes one
// more character, which bounds the work by the product of the lengths.
bool WildcardMatches(std::string_view pattern, std::string_view code) {
    std::size_t p = 0;
    std::size_t c = 0;
    std::size_t lastRun = std::string_view::npos;
    std::size_t runTakenTo = 0;
    while (c < code.size()) {
        if (p < pattern.size() && pattern[p] == kAnyRun) {
            lastRun = p++;
            runTakenTo = c;
        } else if (p < pattern.size() &&
                   (pattern[p] == kAnyCharacter || pattern[p] == Upper(code[c]))) {
            ++p;
            ++c;
        } else if (lastRun != std::string_view::npos) {
            p = lastRun + 1;
            c = ++runTakenTo;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == kAnyRun) {
        ++p;
    }
    return p == pattern.size();
}

// Calls visit(code) for each code of `type`, and for a code with a
// parenthesised part also for the code before it, until visit returns true;
// returns whether it did.
template <typename Visit> bool AnyCode(std::string_view type, Visit visit) {
    std::size_t start = 0;
    while (start < type.size()) {
        std::size_t end = start;
        while (end < type.size() && !Contains(kCodeEnds, type[end])) {
            ++end;
        }
        const std::string_view code = type.substr(start, end - start);
        const std::size_t open = code.find(kSubtypeOpen);
        if (!code.empty() && (visit(code) || (open != std::string_view::npos && open > 0 &&
                                              visit(code.substr(0, open))))) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

// The first character that cannot stand in a pattern, with the reason.
std::optional<std::pair<TypePatternError, char>> RefusedCharacter(std::string_view pattern) {
    for (const char c : pattern) {
        if (Contains(kCompoundMarks, c)) {
            return std::pair{TypePatternError::Compound, c};
        }
        if (!IsLetterOrDigit(c) && !Contains(kCodePunctuation, c) && c != kAnyRun &&
            c != kAnyCharacter) {
            return std::pair{TypePatternError::BadCharacter, c};
        }
    }
    return std::nullopt;
}

std::string Shown(char c) {
    if (c >= ' ' && c <= '~') {
        return std::string{'\'', c, '\''};
    }
    char code[sizeof "byte 0xFF"];
    std::snprintf(code, sizeof code, "byte 0x%02X", static_cast<unsigned char>(c));
    return code;
}

// --- The family table -------------------------------------------------------

constexpr std::string_view kMiraCodes[] = {"M"};
constexpr std::string_view kSemiregularCodes[] = {"SR", "SRA", "SRB", "SRC", "SRD", "SRS"};
constexpr std::string_view kIrregularCodes[] = {"L",  "LB", "LC",  "I",  "IA",
                                                "IB", "IS", "ISA", "ISB"};
constexpr std::string_view kEclipsingCodes[] = {"E", "EA", "EB", "EW", "EC", "ED", "ESD"};
constexpr std::string_view kRrLyraeCodes[] = {"RR", "RRAB", "RRC", "RRD"};
constexpr std::string_view kCepheidCodes[] = {"CEP", "DCEP", "DCEPS", "CW",
                                              "CWA", "CWB",  "ACEP",  "BLBOO"};
constexpr std::string_view kDeltaScutiCodes[] = {"DSCT", "DSCTC", "HADS", "SXPHE"};
constexpr std::string_view kNovaCodes[] = {"N", "NA", "NB", "NC", "NR"};
constexpr std::string_view kCataclysmicCodes[] = {"UG", "UGSS", "UGSU", "UGZ",  "UGWZ", "UGER",
                                                  "NL", "AM",   "DQ",   "IBWD", "CV",   "ZAND",
                                                  "N",  "NA",   "NB",   "NC",   "NR"};
constexpr std::string_view kYoungStellarCodes[] = {"IN",   "INA",  "INB",  "INT",  "IT",   "INS",
                                                   "INSA", "INSB", "INST", "FU",   "FUOR", "EXOR",
                                                   "UXOR", "YSO",  "TTS",  "CTTS", "WTTS"};
constexpr std::string_view kRCrBCodes[] = {"RCB", "DYPER"};

constexpr FamilyInfo kFamilies[] = {
    {Family::Mira, "Miras", "mira", kMiraCodes},
    {Family::Semiregular, "Semiregulars", "semiregular", kSemiregularCodes},
    {Family::Irregular, "Irregulars", "irregular", kIrregularCodes},
    {Family::Eclipsing, "Eclipsing binaries", "eclipsing", kEclipsingCodes},
    {Family::RrLyrae, "RR Lyrae", "rrlyrae", kRrLyraeCodes},
    {Family::Cepheid, "Cepheids", "cepheid", kCepheidCodes},
    {Family::DeltaScuti, "\u03B4 Scuti", "deltascuti", kDeltaScutiCodes},
    {Family::Cataclysmic, "Cataclysmic", "cataclysmic", kCataclysmicCodes},
    {Family::Nova, "Novae", "nova", kNovaCodes},
    {Family::YoungStellar, "Young stellar objects", "yso", kYoungStellarCodes},
    {Family::RCrB, "R CrB", "rcrb", kRCrBCodes},
};
static_assert(std::size(kFamilies) == kFamilyCount);

constexpr bool InFamilyOrder() {
    for (std::size_t i = 0; i < kFamilyCount; ++i) {
        if (static_cast<std::size_t>(kFamilies[i].family) != i) {
            return false;
        }
    }
    return true;
}
static_assert(InFamilyOrder(), "Families() is indexed by Family");

// Every code once, with the families that list it, sorted for a binary search.
struct CodeFamilies {
    std::string_view code;
    FamilyMask families;
};

constexpr std::size_t kListedCodes = [] {
    std::size_t count = 0;
    for (const FamilyInfo& family : kFamilies) {
        count += family.codes.size();
    }
    return count;
}();

constexpr std::size_t kLongestCode = [] {
    std::size_t longest = 0;
    for (const FamilyInfo& family : kFamilies) {
        for (const std::string_view code : family.codes) {
            longest = std::max(longest, code.size());
        }
    }
    return longest;
}();

struct CodeTable {
    std::array<CodeFamilies, kListedCodes> entries{};
    std::size_t count = 0;
};

constexpr CodeTable kCodeTable = [] {
    CodeTable table;
    for (const FamilyInfo& family : kFamilies) {
        for (const std::string_view code : family.codes) {
            table.entries[table.count++] = {code, MaskOf(family.family)};
        }
    }
    auto byCode = [](const CodeFamilies& a, const CodeFamilies& b) { return a.code < b.code; };
    std::sort(table.entries.begin(), table.entries.end(), byCode);
    // A code listed by two families appears once with both bits.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < table.count; ++i) {
        if (kept > 0 && table.entries[kept - 1].code == table.entries[i].code) {
            table.entries[kept - 1].families |= table.entries[i].families;
        } else {
            table.entries[kept++] = table.entries[i];
        }
    }
    table.count = kept;
    return table;
}();

FamilyMask FamiliesOfCode(std::string_view code) {
    if (code.size() > kLongestCode) {
        return 0;
    }
    std::array<char, kLongestCode> upper{};
    for (std::size_t i = 0; i < upper.size() && i < code.size(); ++i) {
        upper[i] = Upper(code[i]);
    }
    const std::string_view key(upper.data(), code.size());
    const auto end = kCodeTable.entries.begin() + static_cast<std::ptrdiff_t>(kCodeTable.count);
    const auto found = std::lower_bound(
        kCodeTable.entries.begin(), end, key,
        [](const CodeFamilies& entry, std::string_view wanted) { return entry.code < wanted; });
    return found != end && found->code == key ? found->families : FamilyMask{0};
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return Upper(x) == Upper(y); });
}

} // namespace

std::string Describe(const TypePatternFault& fault) {
    const std::string which = "type pattern " + std::to_string(fault.number);
    switch (fault.error) {
    case TypePatternError::NoPattern:
        return "no type pattern given: give codes such as M or SR*, separated by commas";
    case TypePatternError::Empty:
        return which + " is empty: give codes such as M or SR*, separated by commas";
    case TypePatternError::Compound:
        return which + " \"" + fault.pattern + "\" holds " + Shown(fault.character) +
               ", which joins the codes of a compound type: a pattern matches one code, such "
               "as EA or SD";
    case TypePatternError::BadCharacter:
        return which + " \"" + fault.pattern + "\" holds " + Shown(fault.character) +
               ", which no type code holds: codes are letters, digits and ( ) . -, with * for "
               "any run of characters and ? for one";
    }
    return which;
}

TypeMatcher::TypeMatcher(std::vector<std::string> upperCasePatterns)
    : patterns(std::move(upperCasePatterns)) {
}

std::variant<TypeMatcher, TypePatternFault> TypeMatcher::Parse(std::string_view list) {
    std::vector<std::string> patterns;
    std::size_t number = 0;
    for (std::size_t start = 0; start <= list.size();) {
        std::size_t end = list.find(kListSeparator, start);
        if (end == std::string_view::npos) {
            end = list.size();
        }
        ++number;
        const std::string_view given = Trimmed(list.substr(start, end - start));
        std::string_view pattern = given;
        if (!pattern.empty() && pattern.back() == kUncertain) {
            pattern.remove_suffix(1);
        }
        if (pattern.empty()) {
            const bool wholeList = number == 1 && end == list.size();
            return TypePatternFault{wholeList ? TypePatternError::NoPattern
                                              : TypePatternError::Empty,
                                    number, std::string(given), '\0'};
        }
        if (const auto refused = RefusedCharacter(pattern)) {
            return TypePatternFault{refused->first, number, std::string(given), refused->second};
        }
        std::string upper(pattern);
        std::transform(upper.begin(), upper.end(), upper.begin(), Upper);
        patterns.push_back(std::move(upper));
        start = end + 1;
    }
    return TypeMatcher(std::move(patterns));
}

bool TypeMatcher::Matches(std::string_view type) const {
    return AnyCode(type, [this](std::string_view code) {
        return std::any_of(patterns.begin(), patterns.end(), [code](const std::string& pattern) {
            return WildcardMatches(pattern, code);
        });
    });
}

std::span<const FamilyInfo> Families() {
    return kFamilies;
}

FamilyMask FamiliesOf(std::string_view type) {
    FamilyMask families = 0;
    AnyCode(type, [&families](std::string_view code) {
        families |= FamiliesOfCode(code);
        return false;
    });
    return families;
}

std::optional<Family> FamilyByCommandName(std::string_view name) {
    for (const FamilyInfo& family : kFamilies) {
        if (EqualIgnoringCase(family.commandName, name)) {
            return family.family;
        }
    }
    return std::nullopt;
}

std::string DescribeUnknownFamily(std::string_view name) {
    std::string message = "unknown family \"" + std::string(name) + "\"; the families are";
    const char* separator = " ";
    for (const FamilyInfo& family : kFamilies) {
        message += separator;
        message += family.commandName;
        separator = ", ";
    }
    return message;
}

} // namespace lumara
