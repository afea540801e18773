// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "PlanOptions.h"

#include <array>
#include <charconv>
#include <cstddef>

#include "AngleText.h"
#include "DigitText.h"
#include "Zones.h"

namespace lumara::plan {

namespace {

// What each quantity may be and how a user is told so.
struct QuantityRule {
    Quantity quantity;
    const char* name;
    const char* unit; // after the value in a message
    QuantityRange range;
    const char* help; // what to give instead
};

constexpr double kLowestHeightM = -500.0; // the shores of the Dead Sea lie above it
constexpr double kHighestHeightM = 9000.0;
constexpr double kMostMinHours = 24.0;

constexpr std::array<QuantityRule, 6> kRules = {{
    {Quantity::Latitude,
     "latitude",
     "",
     {-90.0, 90.0},
     "give -90 to 90 degrees (north positive), or a value with N or S"},
    {Quantity::Longitude,
     "longitude",
     "",
     {-180.0, 180.0},
     "give -180 to 180 degrees (east positive), or a value with E or W"},
    {Quantity::Height,
     "height",
     " m",
     {kLowestHeightM, kHighestHeightM},
     "give -500 to 9000 metres"},
    {Quantity::Twilight,
     "twilight",
     "",
     {-90.0, 0.0},
     "give the Sun's altitude from -90 to 0 degrees, or astronomical, nautical or civil"},
    {Quantity::MinAltitude, "minimum altitude", "", {0.0, 90.0}, "give 0 to 90 degrees"},
    {Quantity::MinHours, "minimum time", " h", {0.0, kMostMinHours}, "give 0 to 24 hours"},
}};

const QuantityRule& RuleOf(Quantity quantity) {
    return kRules[static_cast<std::size_t>(quantity)];
}

struct NamedTwilight {
    std::string_view name;
    double sunAltitudeDeg;
};
constexpr std::array<NamedTwilight, 3> kNamedTwilights = {{
    {"astronomical", kAstronomicalTwilight},
    {"nautical", kNauticalTwilight},
    {"civil", kCivilTwilight},
}};

bool SameLetters(std::string_view text, std::string_view lowerCase) {
    if (text.size() != lowerCase.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        if (lower != lowerCase[i]) {
            return false;
        }
    }
    return true;
}

Parsed<double> ReadTwilight(std::string_view text) {
    for (const NamedTwilight& named : kNamedTwilights) {
        if (SameLetters(TrimBlanks(text), named.name)) {
            return {named.sunAltitudeDeg, {}};
        }
    }
    return ReadAngle(text, kNoHemispheres);
}

// A height may carry its unit.
Parsed<double> ReadHeight(std::string_view text) {
    text = TrimBlanks(text);
    if (!text.empty() && (text.back() == 'm' || text.back() == 'M')) {
        text.remove_suffix(1);
    }
    return ReadDecimal(text);
}

Parsed<double> ReadText(Quantity quantity, std::string_view text) {
    switch (quantity) {
    case Quantity::Latitude:
        return ReadAngle(text, kNorthSouth);
    case Quantity::Longitude:
        return ReadAngle(text, kEastWest);
    case Quantity::Height:
        return ReadHeight(text);
    case Quantity::Twilight:
        return ReadTwilight(text);
    case Quantity::MinAltitude:
        return ReadAngle(text, kNoHemispheres);
    case Quantity::MinHours:
        return ReadDecimal(text);
    }
    return {0.0, "unknown quantity"};
}

// Reads exactly `count` digits at `at`.
bool ReadDigits(std::string_view text, std::size_t at, std::size_t count, int& value) {
    if (at + count > text.size()) {
        return false;
    }
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
    }
    const auto result = std::from_chars(text.data() + at, text.data() + at + count, value);
    return result.ec == std::errc{};
}

} // namespace

QuantityRange RangeOf(Quantity quantity) {
    return RuleOf(quantity).range;
}

std::string CheckQuantity(Quantity quantity, double value) {
    const QuantityRule& rule = RuleOf(quantity);
    if (value >= rule.range.least && value <= rule.range.most) {
        return {};
    }
    return std::string(rule.name) + " " + ShortestDecimal(value) + rule.unit +
           " is out of range: " + rule.help;
}

Parsed<double> ParseQuantity(Quantity quantity, std::string_view text) {
    const QuantityRule& rule = RuleOf(quantity);
    Parsed<double> read = ReadText(quantity, text);
    if (!read.ok()) {
        read.error = std::string(rule.name) + ": " + read.error;
        return read;
    }
    read.error = CheckQuantity(quantity, read.value);
    return read;
}

Parsed<CivilDate> ParseDate(std::string_view text) {
    text = TrimBlanks(text);
    CivilDate date;
    const bool shaped = text.size() == kDateLength && text[4] == '-' && text[7] == '-' &&
                        ReadDigits(text, 0, 4, date.year) && ReadDigits(text, 5, 2, date.month) &&
                        ReadDigits(text, 8, 2, date.day);
    const std::string quoted = "'" + std::string(text) + "'";
    if (!shaped) {
        return {{}, "date " + quoted + " is not YYYY-MM-DD"};
    }
    if (date.year < kFirstYear || date.year > kLastYear) {
        return {{},
                "date " + quoted + " is out of range: give a year from " +
                    std::to_string(kFirstYear) + " to " + std::to_string(kLastYear)};
    }
    if (!IsPlannableDate(date)) {
        return {{}, "date " + quoted + " is not a day of the calendar"};
    }
    return {date, {}};
}

std::string FormatDate(const CivilDate& date) {
    std::string text(kDateLength, ' ');
    PutDate(text.data(), date);
    return text;
}

Parsed<std::string> ParseZone(std::string_view text) {
    text = TrimBlanks(text);
    if (text.empty()) {
        return {{}, "no time zone given: give a name such as Europe/Amsterdam or UTC"};
    }
    if (FindZone(text) == nullptr) {
        return {{},
                "time zone '" + std::string(text) +
                    "' is not one of this system's: give a name such as Europe/Amsterdam"};
    }
    return {std::string(text), {}};
}

} // namespace lumara::plan
