// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// What users type for the site and the night, and the settings file that
// remembers it: every accepted spelling, the refusals and their messages,
// and a file that reads back as the value it was written from.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "PlanOptions.h"
#include "PlanSettings.h"

using namespace lumara::plan;

namespace {

struct Accepted {
    Quantity quantity;
    const char* text;
    double value;
};

TEST(Options, AcceptsDecimalAndSexagesimalSpellings) {
    const Accepted cases[] = {
        {Quantity::Latitude, "52.37", 52.37},
        {Quantity::Latitude, " -33.45 ", -33.45},
        {Quantity::Latitude, "52 22 12 N", 52.37},
        {Quantity::Latitude,
         "52\xC2\xB0"
         "22'12\"N",
         52.37},
        {Quantity::Latitude,
         "52\xC2\xB0"
         "22\xE2\x80\xB2"
         "12\xE2\x80\xB3 n",
         52.37},
        {Quantity::Latitude, "52d22m12''N", 52.37},
        {Quantity::Latitude, "52:22:12", 52.37},
        {Quantity::Latitude, "S 33 27", -33.45},
        {Quantity::Latitude, "33 27.0 s", -33.45},
        {Quantity::Latitude, "-90", -90.0},
        {Quantity::Longitude, "4d54m E", 4.9},
        {Quantity::Longitude, "71 30 W", -71.5},
        {Quantity::Longitude, "+180", 180.0},
        {Quantity::Longitude, "180 W", -180.0},
        {Quantity::Height, "1200", 1200.0},
        {Quantity::Height, "-28.5 m", -28.5},
        {Quantity::Twilight, "astronomical", kAstronomicalTwilight},
        {Quantity::Twilight, "Nautical", kNauticalTwilight},
        {Quantity::Twilight, "CIVIL", kCivilTwilight},
        {Quantity::Twilight, "-15.5", -15.5},
        {Quantity::MinAltitude, "30", 30.0},
        {Quantity::MinAltitude, "25 30", 25.5},
        {Quantity::MinHours, "1.5", 1.5},
        {Quantity::MinHours, "0", 0.0},
    };
    for (const Accepted& c : cases) {
        const Parsed<double> parsed = ParseQuantity(c.quantity, c.text);
        EXPECT_TRUE(parsed.ok()) << c.text << ": " << parsed.error;
        EXPECT_NEAR(parsed.value, c.value, 1e-12) << c.text;
    }
}

struct Refused {
    Quantity quantity;
    const char* text;
    const char* message; // a part of it
};

TEST(Options, RefusesWithAMessageNamingTheQuantity) {
    const std::string tooLarge(400, '9');
    const Refused cases[] = {
        {Quantity::Latitude, "95", "latitude 95 is out of range: give -90 to 90"},
        {Quantity::Latitude, "90 0 1 N", "latitude"},
        {Quantity::Latitude, "52 22 12 E", "not an angle"},
        {Quantity::Latitude, "-52 S", "both a sign and a hemisphere"},
        {Quantity::Latitude, "N -52", "both a sign and a hemisphere"},
        {Quantity::Latitude, "52 61", "below 60"},
        {Quantity::Latitude, "52 30 60", "below 60"},
        {Quantity::Latitude, "52.5 30", "only the last number"},
        {Quantity::Latitude, "52,37", "not an angle"},
        {Quantity::Latitude, "5e1", "not an angle"},
        {Quantity::Latitude, "nan", "not an angle"},
        {Quantity::Latitude, "52:", "not an angle"},
        {Quantity::Latitude, "52 22 12 4", "not an angle"},
        {Quantity::Latitude, "", "not an angle"},
        {Quantity::Latitude, "N", "not an angle"},
        {Quantity::Longitude, "181", "longitude 181 is out of range"},
        {Quantity::Longitude, "4 54 N", "not an angle"},
        {Quantity::Height, "10000", "height 10000 m is out of range"},
        {Quantity::Height, "tall", "height: 'tall' is not a number"},
        {Quantity::Twilight, "5", "twilight 5 is out of range"},
        {Quantity::Twilight, "dusk", "twilight"},
        {Quantity::MinAltitude, "-5", "minimum altitude -5 is out of range"},
        {Quantity::MinHours, "25", "minimum time 25 h is out of range"},
        {Quantity::MinHours, "1 30", "not a number"},
        {Quantity::MinHours, tooLarge.c_str(), "minimum time"},
    };
    for (const Refused& c : cases) {
        const Parsed<double> parsed = ParseQuantity(c.quantity, c.text);
        EXPECT_NE(parsed.error.find(c.message), std::string::npos)
            << "'" << c.text << "' gave '" << parsed.error << "'";
    }
    EXPECT_FALSE(CheckQuantity(Quantity::Latitude, std::nan("")).empty());
}

TEST(Options, DatesAreRealCalendarDaysWithinTheYearsPlanned) {
    EXPECT_EQ(ParseDate("2028-02-29").value, (CivilDate{2028, 2, 29}));
    EXPECT_EQ(ParseDate(" 2026-12-31 ").value, (CivilDate{2026, 12, 31}));
    EXPECT_EQ(FormatDate({2028, 2, 29}), "2028-02-29");
    for (const char* bad :
         {"2026-02-29", "2100-02-29", "2026-04-31", "2026-13-01", "2026-00-10", "2026-1-05",
          "20261208", "2026/12/08", "1899-12-31", "2101-01-01", "+026-12-08", ""}) {
        EXPECT_FALSE(ParseDate(bad).ok()) << bad;
    }
    EXPECT_NE(ParseDate("2026-02-29").error.find("not a day of the calendar"), std::string::npos);
}

TEST(Options, ZonesAreNamesOfTheSystemsTzdata) {
    EXPECT_EQ(ParseZone(" Europe/Berlin ").value, "Europe/Berlin");
    EXPECT_TRUE(ParseZone("UTC").ok());
    for (const char* bad : {"", "Mars/Olympus_Mons", "../../etc/passwd", "europe/berlin"}) {
        EXPECT_FALSE(ParseZone(bad).ok()) << bad;
    }
}

TEST(Settings, ReadBackAsTheValueTheyWereWrittenFrom) {
    PlanSettings settings;
    settings.site = Site{-33.456789012345, 179.999999, -12.25};
    settings.zone = "America/Santiago";
    settings.twilightDeg = -15.125;
    settings.minAltitudeDeg = 20.0;
    settings.minHours = 0.75;
    const SettingsRead read = ParseSettings(FormatSettings(settings));
    EXPECT_TRUE(read.error.empty()) << read.error;
    EXPECT_EQ(read.settings, settings);

    settings.site.reset();
    settings.twilightDeg = kNauticalTwilight;
    const std::string text = FormatSettings(settings);
    EXPECT_NE(text.find("twilight = nautical\n"), std::string::npos);
    EXPECT_EQ(text.find("latitude"), std::string::npos);
    EXPECT_EQ(ParseSettings(text).settings, settings);
}

TEST(Settings, ReadsWhatAPersonWrites) {
    const SettingsRead read = ParseSettings("\xEF\xBB\xBF# my garden\r\n"
                                            "latitude = 52 22 12 N   # Amsterdam\r\n"
                                            "\r\n"
                                            "  longitude=4d54m E\n"
                                            "time-zone = Europe/Amsterdam\n"
                                            "colour = red\n"
                                            "twilight = civil");
    ASSERT_TRUE(read.error.empty()) << read.error;
    ASSERT_TRUE(read.settings.site.has_value());
    EXPECT_NEAR(read.settings.site->latitudeDeg, 52.37, 1e-12);
    EXPECT_NEAR(read.settings.site->longitudeDeg, 4.9, 1e-12);
    EXPECT_EQ(read.settings.site->heightM, 0.0);
    EXPECT_EQ(read.settings.zone, "Europe/Amsterdam");
    EXPECT_EQ(read.settings.twilightDeg, kCivilTwilight);
    EXPECT_EQ(read.settings.minAltitudeDeg, kDefaultMinAltitude);
    ASSERT_EQ(read.ignored.size(), 1u);
    EXPECT_NE(read.ignored[0].find("line 6"), std::string::npos);
}

TEST(Settings, ErrorsNameTheLineAndTheKey) {
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"latitude = 95\nlongitude = 4.9\n", "line 1: latitude: latitude 95 is out of range"},
        {"\n\nlongitude = 4.9\nlongitude = 5\n", "line 4: longitude is given twice"},
        {"time-zone = Nowhere/Land", "line 1: time-zone: time zone 'Nowhere/Land'"},
        {"# x\nminimum-hours =\n", "line 2: minimum-hours has no value"},
        {"latitude 52\n", "line 1: 'latitude 52' is not \"key = value\""},
        {"latitude = 52\n", "latitude is given without longitude"},
        {"height = 12\n", "height is given without latitude and longitude"},
    };
    for (const auto& c : cases) {
        EXPECT_NE(ParseSettings(c.text).error.find(c.message), std::string::npos)
            << c.text << " gave '" << ParseSettings(c.text).error << "'";
    }
}

TEST(Settings, LiveInTheUsersConfigurationFolder) {
    const char* savedConfig = std::getenv("XDG_CONFIG_HOME");
    const char* savedHome = std::getenv("HOME");
    const std::string config = savedConfig ? savedConfig : "";
    const std::string home = savedHome ? savedHome : "";

    setenv("XDG_CONFIG_HOME", "/tmp/config", 1);
    setenv("HOME", "/home/ann", 1);
    EXPECT_EQ(SettingsPath(), "/tmp/config/lumara/site.conf");
    setenv("XDG_CONFIG_HOME", "relative", 1); // not absolute: ignored, as XDG says
    EXPECT_EQ(SettingsPath(), "/home/ann/.config/lumara/site.conf");
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("HOME");
    EXPECT_EQ(SettingsPath(), "");

    savedConfig ? setenv("XDG_CONFIG_HOME", config.c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
    savedHome ? setenv("HOME", home.c_str(), 1) : unsetenv("HOME");
}

} // namespace
