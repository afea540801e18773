// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Which event a variability type's epoch marks: the one table.

#include <array>
#include <cstddef>
#include <string>

#include "AngleText.h"
#include "PlanEvents.h"

namespace lumara::plan {

namespace {

enum class Family {
    EclipsingSecondaryIfGiven, // EA, E: the secondary minimum may be shallow or absent
    EclipsingTwoMinima,        // EB, EW, ELL: a minimum each half period
    Transit,                   // EP: a planet's transit, no secondary to see
    Pulsating,                 // strictly periodic, epochs of maximum
    LongPeriod,                // Miras and semiregulars: maxima drift by weeks
    RvTauri,                   // epochs of (deep) minimum, cycles that wander
};

struct TypeEntry {
    std::string_view code;
    Family family;
};

// GCVS and VSX codes. ELL, an ellipsoidal binary, is counted among the
// eclipsing ones: its catalogues give epochs of minimum, and it has two
// minima each orbit.
constexpr std::array<TypeEntry, 35> kTable = {{
    {"E", Family::EclipsingSecondaryIfGiven},
    {"EA", Family::EclipsingSecondaryIfGiven},
    {"EB", Family::EclipsingTwoMinima},
    {"EW", Family::EclipsingTwoMinima},
    {"ELL", Family::EclipsingTwoMinima},
    {"EP", Family::Transit},
    {"RR", Family::Pulsating},
    {"RRAB", Family::Pulsating},
    {"RRC", Family::Pulsating},
    {"RRD", Family::Pulsating},
    {"CEP", Family::Pulsating},
    {"DCEP", Family::Pulsating},
    {"DCEPS", Family::Pulsating},
    {"CW", Family::Pulsating},
    {"CWA", Family::Pulsating},
    {"CWB", Family::Pulsating},
    {"ACEP", Family::Pulsating},
    {"BLBOO", Family::Pulsating},
    {"DSCT", Family::Pulsating},
    {"DSCTC", Family::Pulsating},
    {"HADS", Family::Pulsating},
    {"SXPHE", Family::Pulsating},
    {"BCEP", Family::Pulsating},
    {"BCEPS", Family::Pulsating},
    {"M", Family::LongPeriod},
    {"LPV", Family::LongPeriod},
    {"SR", Family::LongPeriod},
    {"SRA", Family::LongPeriod},
    {"SRB", Family::LongPeriod},
    {"SRC", Family::LongPeriod},
    {"SRD", Family::LongPeriod},
    {"SRS", Family::LongPeriod},
    {"RV", Family::RvTauri},
    {"RVA", Family::RvTauri},
    {"RVB", Family::RvTauri},
}};

// The longest code in the table; longer components cannot match.
constexpr std::size_t kLongestCode = 5;

bool IsEclipsing(Family family) {
    return family == Family::EclipsingSecondaryIfGiven || family == Family::EclipsingTwoMinima ||
           family == Family::Transit;
}

EventRule RuleOf(Family family) {
    EventRule rule;
    switch (family) {
    case Family::EclipsingSecondaryIfGiven:
        rule = {true, true, true, SecondaryMinima::IfGiven, false};
        break;
    case Family::EclipsingTwoMinima:
        rule = {true, true, true, SecondaryMinima::Always, false};
        break;
    case Family::Transit:
        rule = {true, true, true, SecondaryMinima::None, false};
        break;
    case Family::Pulsating:
        rule = {true, false, true, SecondaryMinima::None, false};
        break;
    case Family::LongPeriod:
        rule = {true, false, false, SecondaryMinima::None, false};
        break;
    case Family::RvTauri:
        rule = {true, true, false, SecondaryMinima::None, false};
        break;
    }
    return rule;
}

// A component's code: upper case, without uncertainty marks, its subtype
// after '/' and remarks in parentheses. Empty when it is longer than any
// code in the table.
std::string CodeOf(std::string_view component, bool& uncertain) {
    // A mark anywhere, after the subtype too ("EW/KW:"), makes the type uncertain.
    uncertain = component.find(':') != std::string_view::npos;
    std::string code;
    int depth = 0;
    for (char c : component) {
        if (c == '/') {
            break;
        }
        if (c == ':') {
            continue;
        }
        if (c == '(') {
            ++depth;
        } else if (c == ')') {
            depth = depth > 0 ? depth - 1 : 0;
        } else if (depth == 0 && c != ' ') {
            code += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
            if (code.size() > kLongestCode) {
                return {};
            }
        }
    }
    return code;
}

const TypeEntry* Find(std::string_view code) {
    for (const TypeEntry& entry : kTable) {
        if (entry.code == code) {
            return &entry;
        }
    }
    return nullptr;
}

} // namespace

EventRule RuleForType(std::string_view type) {
    type = TrimBlanks(type);
    const TypeEntry* chosen = nullptr;
    bool chosenUncertain = false;
    const bool alternatives = type.find('|') != std::string_view::npos;
    while (!type.empty()) {
        const std::size_t end = type.find_first_of("+|");
        const std::string_view component = type.substr(0, end);
        type.remove_prefix(end == std::string_view::npos ? type.size() : end + 1);
        bool componentUncertain = false;
        const TypeEntry* entry = Find(CodeOf(component, componentUncertain));
        if (entry == nullptr) {
            continue;
        }
        const bool better =
            chosen == nullptr || (IsEclipsing(entry->family) && !IsEclipsing(chosen->family));
        if (better) {
            chosen = entry;
            chosenUncertain = componentUncertain;
        }
    }
    if (chosen == nullptr) {
        return {};
    }
    EventRule rule = RuleOf(chosen->family);
    rule.uncertain = alternatives || chosenUncertain;
    return rule;
}

PeriodMarks ReadPeriodMarks(std::string_view marks) {
    PeriodMarks read;
    for (std::size_t i = 0; i < marks.size(); ++i) {
        switch (marks[i]) {
        case '<':
        case '>':
            read.limit = true;
            break;
        case '(':
        case ')':
            read.meanCycle = true;
            break;
        case ':':
        case '*':
        case '2':
            read.uncertain = true;
            break;
        case '/':
            read.unknownPart = true;
            break;
        default:
            break;
        }
    }
    return read;
}

} // namespace lumara::plan
