// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What a user gives the planner, as text or as numbers: the site, the limits
// of the night and its date, each with the values it may take and the
// message that refuses the rest. The window, the command line and the
// settings file all read through here, so a value is judged alike wherever
// it is typed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumara::plan {

// Sun altitudes, degrees, that end each kind of twilight.
inline constexpr double kAstronomicalTwilight = -18.0;
inline constexpr double kNauticalTwilight = -12.0;
inline constexpr double kCivilTwilight = -6.0;

inline constexpr double kDefaultMinAltitude = 30.0;
inline constexpr double kDefaultMinHours = 1.0;

// The years a night may fall in: where ERFA's Earth ephemeris (eraEpv00)
// keeps its stated accuracy.
inline constexpr int kFirstYear = 1900;
inline constexpr int kLastYear = 2100;

// Every number a user may give the planner.
enum class Quantity {
    Latitude,    // degrees, north positive; text may end in N or S
    Longitude,   // degrees, east positive; text may end in E or W
    Height,      // metres above the ellipsoid
    Twilight,    // the Sun's altitude, degrees, below which it is dark
    MinAltitude, // degrees; a star counts as up at or above it
    MinHours,    // the least time up in the dark that makes a star observable
};

struct QuantityRange {
    double least;
    double most;
};

// Both ends are included.
QuantityRange RangeOf(Quantity quantity);

// Empty when the value lies in its range (NaN never does), else a message for
// the user that names the quantity and what it may be.
std::string CheckQuantity(Quantity quantity, double value);

// What reading one text gave: the value, or the message that refuses it.
template <typename T> struct Parsed {
    T value{};
    std::string error;
    bool ok() const { return error.empty(); }
};

// Reads a quantity as a user types it. Angles (latitude, longitude, minimum
// altitude, a twilight in degrees) are decimal degrees with an optional sign
// ("52.37", "-4.9") or degrees, minutes and seconds separated by blanks,
// colons or marks ("52 22 12", "52:22:12", "52°22'12\"", "4d54m"); latitude
// and longitude may instead carry their hemisphere letter before or after
// ("52 22 12 N", "W 71.5"). Twilight also reads "astronomical", "nautical"
// and "civil". Height and hours are decimal numbers. No exponents, no
// decimal commas.
Parsed<double> ParseQuantity(Quantity quantity, std::string_view text);

struct Site {
    double latitudeDeg = 0.0;  // geodetic, north positive
    double longitudeDeg = 0.0; // east positive
    double heightM = 0.0;
    bool operator==(const Site&) const = default;
};

// A calendar date in the site's time zone.
struct CivilDate {
    int year = kFirstYear;
    int month = 1;
    int day = 1;
    bool operator==(const CivilDate&) const = default;
};

// "YYYY-MM-DD" exactly: a real calendar date (29 February only in leap
// years) from kFirstYear to kLastYear.
Parsed<CivilDate> ParseDate(std::string_view text);

// "YYYY-MM-DD".
std::string FormatDate(const CivilDate& date);

// A time zone name of the system's tzdata ("Europe/Amsterdam", "UTC"),
// returned as given.
Parsed<std::string> ParseZone(std::string_view text);

// Every zone name of the system's tzdata, in its order (by name); empty
// when there is none to read.
std::vector<std::string> ZoneNames();

} // namespace lumara::plan
