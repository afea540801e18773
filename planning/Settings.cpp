// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "PlanSettings.h"

#include <date/tz.h>

#include <array>
#include <cstdlib>
#include <exception>

#include "AngleText.h"

namespace lumara::plan {

namespace {

enum class Key { Latitude, Longitude, Height, Zone, Twilight, MinAltitude, MinHours, Count };

struct KeyName {
    Key key;
    std::string_view name;
};
// In the order the file is written.
constexpr std::array<KeyName, static_cast<std::size_t>(Key::Count)> kKeys = {{
    {Key::Latitude, "latitude"},
    {Key::Longitude, "longitude"},
    {Key::Height, "height"},
    {Key::Zone, "time-zone"},
    {Key::Twilight, "twilight"},
    {Key::MinAltitude, "minimum-altitude"},
    {Key::MinHours, "minimum-hours"},
}};

constexpr std::string_view kHeader = "# Lumara: the observing site and the limits of the night.\n"
                                     "# Lines are \"key = value\"; \"#\" starts a comment.\n";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kFolder = "/lumara/site.conf";
constexpr std::string_view kHomeConfig = "/.config";

Quantity QuantityOf(Key key) {
    switch (key) {
    case Key::Latitude:
        return Quantity::Latitude;
    case Key::Longitude:
        return Quantity::Longitude;
    case Key::Height:
        return Quantity::Height;
    case Key::Twilight:
        return Quantity::Twilight;
    case Key::MinAltitude:
        return Quantity::MinAltitude;
    default:
        return Quantity::MinHours;
    }
}

const KeyName* FindKey(std::string_view name) {
    for (const KeyName& key : kKeys) {
        if (key.name == name) {
            return &key;
        }
    }
    return nullptr;
}

// The values read so far, before the rules that tie keys together.
struct ReadValues {
    std::array<bool, static_cast<std::size_t>(Key::Count)> seen{};
    std::array<double, static_cast<std::size_t>(Key::Count)> numbers{};
    std::string zone;
};

std::string LineError(std::size_t line, std::string_view message) {
    return "line " + std::to_string(line) + ": " + std::string(message);
}

// One "key = value" line; an error text, empty when it read.
std::string ReadLine(std::string_view text, std::size_t lineNumber, ReadValues& values,
                     std::vector<std::string>& ignored) {
    const std::size_t hash = text.find('#');
    const std::string_view content = TrimBlanks(text.substr(0, hash));
    if (content.empty()) {
        return {};
    }
    const std::size_t equals = content.find('=');
    if (equals == std::string_view::npos) {
        return LineError(lineNumber, "'" + std::string(content) + "' is not \"key = value\"");
    }
    const std::string_view name = TrimBlanks(content.substr(0, equals));
    const std::string_view value = TrimBlanks(content.substr(equals + 1));
    const KeyName* key = FindKey(name);
    if (key == nullptr) {
        ignored.push_back(LineError(lineNumber, "unknown key '" + std::string(name) + "' skipped"));
        return {};
    }
    const auto index = static_cast<std::size_t>(key->key);
    const std::string keyText = std::string(key->name);
    if (values.seen[index]) {
        return LineError(lineNumber, keyText + " is given twice");
    }
    if (value.empty()) {
        return LineError(lineNumber, keyText + " has no value");
    }
    if (key->key == Key::Zone) {
        Parsed<std::string> zone = ParseZone(value);
        if (!zone.ok()) {
            return LineError(lineNumber, keyText + ": " + zone.error);
        }
        values.zone = std::move(zone.value);
    } else {
        const Parsed<double> number = ParseQuantity(QuantityOf(key->key), value);
        if (!number.ok()) {
            return LineError(lineNumber, keyText + ": " + number.error);
        }
        values.numbers[index] = number.value;
    }
    values.seen[index] = true;
    return {};
}

bool Seen(const ReadValues& values, Key key) {
    return values.seen[static_cast<std::size_t>(key)];
}
double Number(const ReadValues& values, Key key) {
    return values.numbers[static_cast<std::size_t>(key)];
}

// The rules between keys, then the values into the settings.
std::string Settle(const ReadValues& values, PlanSettings& settings) {
    const bool latitude = Seen(values, Key::Latitude);
    const bool longitude = Seen(values, Key::Longitude);
    if (latitude != longitude) {
        return latitude ? "latitude is given without longitude"
                        : "longitude is given without latitude";
    }
    if (Seen(values, Key::Height) && !latitude) {
        return "height is given without latitude and longitude";
    }
    if (latitude) {
        settings.site = Site{Number(values, Key::Latitude), Number(values, Key::Longitude),
                             Seen(values, Key::Height) ? Number(values, Key::Height) : 0.0};
    }
    if (Seen(values, Key::Zone)) {
        settings.zone = values.zone;
    }
    if (Seen(values, Key::Twilight)) {
        settings.twilightDeg = Number(values, Key::Twilight);
    }
    if (Seen(values, Key::MinAltitude)) {
        settings.minAltitudeDeg = Number(values, Key::MinAltitude);
    }
    if (Seen(values, Key::MinHours)) {
        settings.minHours = Number(values, Key::MinHours);
    }
    return {};
}

std::string TwilightText(double sunAltitudeDeg) {
    if (sunAltitudeDeg == kAstronomicalTwilight) {
        return "astronomical";
    }
    if (sunAltitudeDeg == kNauticalTwilight) {
        return "nautical";
    }
    if (sunAltitudeDeg == kCivilTwilight) {
        return "civil";
    }
    return ShortestDecimal(sunAltitudeDeg);
}

void PutLine(std::string& text, Key key, std::string_view value) {
    text += kKeys[static_cast<std::size_t>(key)].name;
    text += " = ";
    text += value;
    text += '\n';
}

} // namespace

std::string SystemZoneName() {
    try {
        return std::string(date::current_zone()->name());
    } catch (const std::exception&) {
        // No /etc/localtime, or one that names no zone of tzdata.
        return "UTC";
    }
}

SettingsRead ParseSettings(std::string_view text) {
    SettingsRead read;
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        text.remove_prefix(kByteOrderMark.size());
    }
    ReadValues values;
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        read.error = ReadLine(line, lineNumber, values, read.ignored);
        if (!read.error.empty()) {
            return read;
        }
    }
    read.error = Settle(values, read.settings);
    return read;
}

std::string FormatSettings(const PlanSettings& settings) {
    std::string text(kHeader);
    if (settings.site) {
        PutLine(text, Key::Latitude, ShortestDecimal(settings.site->latitudeDeg));
        PutLine(text, Key::Longitude, ShortestDecimal(settings.site->longitudeDeg));
        PutLine(text, Key::Height, ShortestDecimal(settings.site->heightM));
    }
    PutLine(text, Key::Zone, settings.zone);
    PutLine(text, Key::Twilight, TwilightText(settings.twilightDeg));
    PutLine(text, Key::MinAltitude, ShortestDecimal(settings.minAltitudeDeg));
    PutLine(text, Key::MinHours, ShortestDecimal(settings.minHours));
    return text;
}

std::string SettingsPath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') {
        return std::string(config) + std::string(kFolder);
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return std::string(home) + std::string(kHomeConfig) + std::string(kFolder);
    }
    return {};
}

} // namespace lumara::plan
