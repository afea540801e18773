// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The planner's readers of user text on arbitrary bytes: every quantity,
// the date, the time zone and the whole settings file, and the readers of
// what catalogues write (variability types, period marks). None may crash
// or hang; whatever one accepts must lie in its range, and must come back
// unchanged from the settings text written for it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "PlanEvents.h"
#include "PlanOptions.h"
#include "PlanSettings.h"

using namespace lumara::plan;

namespace {

constexpr Quantity kQuantities[] = {Quantity::Latitude, Quantity::Longitude,   Quantity::Height,
                                    Quantity::Twilight, Quantity::MinAltitude, Quantity::MinHours};

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void RequireRoundTrip(const PlanSettings& settings) {
    const SettingsRead read = ParseSettings(FormatSettings(settings));
    Require(read.error.empty() && read.ignored.empty());
    Require(read.settings == settings);
}

// Settings with `value` in the place of `quantity`.
PlanSettings WithValue(Quantity quantity, double value) {
    PlanSettings settings;
    switch (quantity) {
    case Quantity::Latitude:
        settings.site = Site{value, 0.0, 0.0};
        break;
    case Quantity::Longitude:
        settings.site = Site{0.0, value, 0.0};
        break;
    case Quantity::Height:
        settings.site = Site{0.0, 0.0, value};
        break;
    case Quantity::Twilight:
        settings.twilightDeg = value;
        break;
    case Quantity::MinAltitude:
        settings.minAltitudeDeg = value;
        break;
    case Quantity::MinHours:
        settings.minHours = value;
        break;
    }
    return settings;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    for (Quantity quantity : kQuantities) {
        const Parsed<double> parsed = ParseQuantity(quantity, text);
        if (parsed.ok()) {
            Require(CheckQuantity(quantity, parsed.value).empty());
            RequireRoundTrip(WithValue(quantity, parsed.value));
        } else {
            Require(!parsed.error.empty());
        }
    }

    const Parsed<CivilDate> date = ParseDate(text);
    if (date.ok()) {
        const Parsed<CivilDate> again = ParseDate(FormatDate(date.value));
        Require(again.ok() && again.value == date.value);
    }

    const Parsed<std::string> zone = ParseZone(text);
    if (zone.ok()) {
        PlanSettings settings;
        settings.zone = zone.value;
        RequireRoundTrip(settings);
    }

    // A type the table does not know predicts nothing.
    const EventRule rule = RuleForType(text);
    Require(rule.predicted || (!rule.minimum && !rule.exact && !rule.uncertain));
    ReadPeriodMarks(text);

    const SettingsRead read = ParseSettings(text);
    if (read.error.empty()) {
        RequireRoundTrip(read.settings);
    }
    return 0;
}
