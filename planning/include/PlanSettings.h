// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The site and the night's limits that the window remembers and `lumara`
// reads: one plain text file of "key = value" lines. This library reads and
// writes its text; saving it safely is the caller's.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "PlanOptions.h"

namespace lumara::plan {

// The name of the system's own time zone; "UTC" when the system names none.
std::string SystemZoneName();

struct PlanSettings {
    std::optional<Site> site; // none until the user gives one
    std::string zone = SystemZoneName();
    double twilightDeg = kAstronomicalTwilight;
    double minAltitudeDeg = kDefaultMinAltitude;
    double minHours = kDefaultMinHours;
    bool operator==(const PlanSettings&) const = default;
};

struct SettingsRead {
    PlanSettings settings;
    // Empty when the text was read; else names the line and the key.
    std::string error;
    // Lines with a key this version does not know, e.g. from a newer one:
    // skipped, one note each, so that the file still reads.
    std::vector<std::string> ignored;
};

// Reads the file's text. Keys: latitude, longitude, height, time-zone,
// twilight, minimum-altitude, minimum-hours, each at most once, values as
// ParseQuantity, ParseZone read them. Blank lines and everything after "#"
// are skipped. Latitude and longitude come together or not at all; height
// only with them. A key left out keeps PlanSettings' default.
SettingsRead ParseSettings(std::string_view text);

// The text ParseSettings reads back as the same value: numbers in the
// fewest decimals that give them exactly, the three named twilights by name.
std::string FormatSettings(const PlanSettings& settings);

// $XDG_CONFIG_HOME/lumara/site.conf, else ~/.config/lumara/site.conf; empty
// when neither variable gives an absolute folder.
std::string SettingsPath();

} // namespace lumara::plan
