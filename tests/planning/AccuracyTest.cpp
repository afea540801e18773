// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// The planner against ERFA's rigorous path evaluated minute by minute, on a
// grid of sites and nights that reaches every kind of night and every awkward
// star: night bounds and transits within a minute, altitudes within 0.1
// degree, dark-window and stretch ends within two minutes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "PlanNight.h"
#include "PlanStar.h"
#include "RigorousSky.h"

using namespace lumara::plan;
using namespace lumara::plan::testing;

namespace {

constexpr double kTransitToleranceS = 60.0;
constexpr double kEndToleranceS = 120.0;
constexpr double kAltitudeToleranceDeg = 0.1;
constexpr double kMinAltitude = 30.0;
// Sampling reaches this far beyond the night the library found.
constexpr double kMarginS = 1800.0;

struct GridNight {
    const char* label;
    Observer site;
    const char* zone;
    CivilDate date;
    double twilightDeg;
    Darkness darkness;
};

const GridNight kGrid[] = {
    {"Equator", {0.0, -78.5, 2800.0}, "America/Guayaquil", {2026, 3, 20}, -18.0, Darkness::Window},
    {"Lat52December",
     {52.37, 4.90, 0.0},
     "Europe/Amsterdam",
     {2026, 12, 8},
     -18.0,
     Darkness::Window},
    {"Lat52MidsummerAstronomical",
     {52.37, 4.90, 0.0},
     "Europe/Amsterdam",
     {2026, 6, 21},
     -18.0,
     Darkness::None},
    {"Lat52MidsummerNautical",
     {52.37, 4.90, 0.0},
     "Europe/Amsterdam",
     {2026, 6, 21},
     -12.0,
     Darkness::Window},
    {"Lat70Midsummer", {69.65, 18.96, 0.0}, "Europe/Oslo", {2026, 6, 21}, -6.0, Darkness::None},
    {"Lat86SouthJune",
     {-86.0, 45.0, 2800.0},
     "Antarctica/Vostok",
     {2026, 6, 21},
     -18.0,
     Darkness::Throughout},
    {"Longitude180", {-17.0, 180.0, 0.0}, "Pacific/Fiji", {2026, 9, 15}, -18.0, Darkness::Window},
    {"LongitudeMinus180",
     {65.0, -180.0, 0.0},
     "Asia/Anadyr",
     {2026, 10, 10},
     -18.0,
     Darkness::Window},
    {"BerlinClocksForward",
     {52.52, 13.40, 0.0},
     "Europe/Berlin",
     {2026, 3, 28},
     -18.0,
     Darkness::Window},
    {"Utc13Tongatapu",
     {-21.14, -175.2, 0.0},
     "Pacific/Tongatapu",
     {2026, 8, 10},
     -18.0,
     Darkness::Window},
    {"YearChange",
     {-33.45, -70.67, 500.0},
     "America/Santiago",
     {2026, 12, 31},
     -18.0,
     Darkness::Window},
    {"LeapDay", {35.68, 139.69, 40.0}, "Asia/Tokyo", {2028, 2, 29}, -18.0, Darkness::Window},
};

// The stars every night is tried with, placed against its latitude.
std::vector<StarPlace> StarsFor(double latitude) {
    const double side = latitude >= 0.0 ? 1.0 : -1.0;
    const double toward = latitude >= 0.0 ? -1.0 : 1.0; // from the zenith toward the equator
    std::vector<StarPlace> stars = {
        {37.95, 89.26},   // near the north pole
        {317.19, -88.95}, // near the south pole
        // Culminating 0.05 degree above and below the minimum altitude, on
        // the equator's side of the zenith.
        {100.0, latitude + toward * (90.0 - kMinAltitude - 0.05)},
        {160.0, latitude + toward * (90.0 - kMinAltitude + 0.05)},
        // Straddling 0h.
        {359.995, std::clamp(latitude - side * 10.0, -89.0, 89.0)},
        {0.005, std::clamp(latitude - side * 10.0, -89.0, 89.0)},
    };
    if (std::fabs(latitude) > 10.0) {
        stars.push_back({200.0, side * (90.0 - std::fabs(latitude) / 2.0)});   // circumpolar
        stars.push_back({250.0, -side * (90.0 - std::fabs(latitude) + 10.0)}); // never rises
    }
    for (double ra = 15.0; ra < 360.0; ra += 30.0) {
        stars.push_back({ra, std::clamp(latitude - side * 25.0 + ra / 36.0, -85.0, 85.0)});
    }
    return stars;
}

// The worst deviations over the whole grid, printed at the end.
struct Worst {
    double transitS = 0.0;
    double altitudeDeg = 0.0;
    double endS = 0.0;
    double darkS = 0.0;
    double nightS = 0.0;
};
Worst gWorst;

double Nearest(const std::vector<double>& times, double to) {
    double best = times.front();
    for (double t : times) {
        if (std::fabs(t - to) < std::fabs(best - to)) {
            best = t;
        }
    }
    return best;
}

void ExpectWithin(double actual, double expected, double tolerance, double& worst,
                  const std::string& what) {
    const double error = std::fabs(actual - expected);
    worst = std::max(worst, error);
    EXPECT_LE(error, tolerance) << what << ": " << actual << " against " << expected;
}

double MinuteSeconds(PosixMinute minute) {
    return static_cast<double>(minute) * 60.0;
}

NightRequest RequestOf(const GridNight& grid) {
    NightRequest request;
    request.site = {grid.site.latitudeDeg, grid.site.longitudeDeg, grid.site.heightM};
    request.zone = grid.zone;
    request.date = grid.date;
    request.twilightDeg = grid.twilightDeg;
    request.minAltitudeDeg = kMinAltitude;
    return request;
}

class GridTest : public ::testing::TestWithParam<GridNight> {};

TEST_P(GridTest, AgreesWithRigorousPathMinuteByMinute) {
    const GridNight& grid = GetParam();
    PreparedNight night;
    ASSERT_EQ(PrepareNight(RequestOf(grid), night), NightStatus::Ok);
    // This ERFA's leap-second table is trusted up to the end of 2026.
    constexpr double kFirstDubiousSecond = 1798761600.0; // 2027-01-01T00:00Z
    EXPECT_EQ(night.utcExtrapolated, night.endSeconds >= kFirstDubiousSecond);

    const std::vector<StarPlace> stars = StarsFor(grid.site.latitudeDeg);
    std::vector<Body> bodies;
    for (const StarPlace& star : stars) {
        bodies.push_back({star.raDeg, star.decDeg, false});
    }
    const std::size_t sun = bodies.size();
    bodies.push_back({0.0, 0.0, true});
    const MinuteSamples sky = SampleMinutes(grid.site, bodies, night.startSeconds - kMarginS,
                                            night.endSeconds + kMarginS);

    // The night: from one upper transit of the Sun to the next.
    const std::vector<double> noons = UpperTransits(sky, sun);
    ASSERT_EQ(noons.size(), 2u);
    ExpectWithin(night.startSeconds, noons[0], kTransitToleranceS, gWorst.nightS, "night start");
    ExpectWithin(night.endSeconds, noons[1], kTransitToleranceS, gWorst.nightS, "night end");

    // The dark window.
    EXPECT_EQ(night.darkness, grid.darkness);
    const std::vector<Stretch> dark =
        DarkStretches(sky, sun, grid.twilightDeg, sun, 0.0, noons[0], noons[1]);
    if (grid.darkness == Darkness::None) {
        EXPECT_TRUE(dark.empty());
    } else {
        ASSERT_EQ(dark.size(), 1u);
        ExpectWithin(MinuteSeconds(night.darkFrom), dark[0].from, kEndToleranceS, gWorst.darkS,
                     "dark from");
        ExpectWithin(MinuteSeconds(night.darkTo), dark[0].to, kEndToleranceS, gWorst.darkS,
                     "dark to");
    }

    for (std::size_t i = 0; i < stars.size(); ++i) {
        const std::string label =
            "star " + std::to_string(stars[i].raDeg) + " " + std::to_string(stars[i].decDeg);
        const StarNight star = ObserveStar(night, stars[i]);

        const std::vector<double> transits = UpperTransits(sky, i);
        ASSERT_FALSE(transits.empty()) << label;
        const double transit = Nearest(transits, night.middleSeconds);
        ExpectWithin(MinuteSeconds(star.transit), transit, kTransitToleranceS, gWorst.transitS,
                     label + " transit");
        ExpectWithin(star.transitAltitudeDeg, AltitudeAt(sky, i, transit), kAltitudeToleranceDeg,
                     gWorst.altitudeDeg, label + " transit altitude");

        for (double at : {night.startSeconds + 3600.0, night.middleSeconds, transit + 1800.0}) {
            const Horizontal place = HorizontalAt(night, stars[i], at);
            const ObservedPlace reference = ObserveRigorously(grid.site, {bodies[i]}, at)[0];
            ExpectWithin(place.altitudeDeg, reference.altitudeDeg, kAltitudeToleranceDeg,
                         gWorst.altitudeDeg, label + " altitude");
            if (reference.altitudeDeg < 80.0) {
                const double azimuthError =
                    std::remainder(place.azimuthDeg - reference.azimuthDeg, 360.0);
                EXPECT_LE(std::fabs(azimuthError) * std::cos(reference.altitudeDeg * M_PI / 180.0),
                          kAltitudeToleranceDeg)
                    << label << " azimuth";
            }
        }

        const std::vector<Stretch> up =
            DarkStretches(sky, sun, grid.twilightDeg, i, kMinAltitude, noons[0], noons[1]);
        ASSERT_EQ(star.up, !up.empty()) << label;
        if (up.empty()) {
            continue;
        }
        const Stretch longest =
            *std::max_element(up.begin(), up.end(), [](const Stretch& a, const Stretch& b) {
                return a.to - a.from < b.to - b.from;
            });
        ExpectWithin(MinuteSeconds(star.upFrom), longest.from, kEndToleranceS, gWorst.endS,
                     label + " up from");
        ExpectWithin(MinuteSeconds(star.upTo), longest.to, kEndToleranceS, gWorst.endS,
                     label + " up to");
        EXPECT_EQ(star.upMinutes, star.upTo - star.upFrom);
        double total = 0.0;
        for (const Stretch& stretch : up) {
            total += stretch.to - stretch.from;
        }
        EXPECT_NEAR(star.totalUpMinutes * 60.0, total,
                    2.0 * kEndToleranceS * static_cast<double>(up.size()))
            << label;
    }
}

// The cheap test a search makes first never refuses a star that is up in
// the dark, on a dense net of places that crosses the edges of the band of
// declinations it lets through; and it does refuse some.
// The cheap test, and the test that skips the shown columns, answer as the
// whole computation does.
TEST_P(GridTest, TheShortCutsAnswerAsTheWholeComputation) {
    const GridNight& grid = GetParam();
    PreparedNight night;
    ASSERT_EQ(PrepareNight(RequestOf(grid), night), NightStatus::Ok);
    int refused = 0;
    for (double dec = -90.0; dec <= 90.0; dec += 0.05) {
        for (double ra = 0.0; ra < 360.0; ra += 15.0) {
            const StarDirection star = DirectionOf({ra, dec});
            const StarNight whole = ObserveDirection(night, star);
            if (!MayBeUpInDark(night, star)) {
                ++refused;
                ASSERT_FALSE(whole.up) << ra << " " << dec;
            }
            for (const std::int32_t minutes : {0, 60, 300}) {
                ASSERT_EQ(IsObservableDirection(night, star, minutes), IsObservable(whole, minutes))
                    << ra << " " << dec << " " << minutes;
            }
        }
    }
    EXPECT_GT(refused, 0);
}

INSTANTIATE_TEST_SUITE_P(Grid, GridTest, ::testing::ValuesIn(kGrid),
                         [](const ::testing::TestParamInfo<GridNight>& param) {
                             return std::string(param.param.label);
                         });

// The Moon against astropy's own Sun and Moon (tools/planning_reference.py).
TEST(Moon, LitFractionAndDistancesAgreeWithAstropy) {
    std::ifstream file(LUMARA_PLANNING_DATA_DIR "/moon.txt");
    ASSERT_TRUE(file.is_open());
    std::string line;
    int compared = 0;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream fields(line);
        std::string date;
        NightRequest request;
        double middle = 0.0, fraction = 0.0, separation = 0.0;
        StarPlace star;
        fields >> date >> request.site.latitudeDeg >> request.site.longitudeDeg >>
            request.site.heightM >> request.zone >> middle >> fraction >> star.raDeg >>
            star.decDeg >> separation;
        ASSERT_TRUE(fields) << line;
        request.date = ParseDate(date).value;
        PreparedNight night;
        ASSERT_EQ(PrepareNight(request, night), NightStatus::Ok);
        // The instants astropy was asked about are these nights' middles.
        ASSERT_NEAR(night.middleSeconds, middle, 1.0) << line;
        EXPECT_NEAR(night.moonFractionLit, fraction, 0.005) << line;
        EXPECT_NEAR(MoonSeparationDeg(night, star), separation, 0.05) << line;
        ++compared;
    }
    EXPECT_EQ(compared, 20);
}

// Printed once for the record: how close the grid came.
class WorstReport : public ::testing::Environment {
public:
    void TearDown() override {
        std::printf("Worst over the grid: night bounds %.1f s, transits %.1f s, altitudes %.4f "
                    "deg, dark ends %.1f s, stretch ends %.1f s\n",
                    gWorst.nightS, gWorst.transitS, gWorst.altitudeDeg, gWorst.darkS, gWorst.endS);
    }
};
const auto* const gReport = ::testing::AddGlobalTestEnvironment(new WorstReport);

} // namespace
