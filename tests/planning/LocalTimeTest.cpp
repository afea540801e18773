// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// Local times of a night as the site's clocks show them, the night that is
// in progress at a given moment, and requests that cannot be prepared.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "PlanLocalTime.h"
#include "PlanNight.h"
#include "PlanStar.h"

using namespace lumara::plan;

namespace {

PreparedNight Prepare(const Site& site, const char* zone, CivilDate date) {
    NightRequest request;
    request.site = site;
    request.zone = zone;
    request.date = date;
    PreparedNight night;
    EXPECT_EQ(PrepareNight(request, night), NightStatus::Ok) << zone;
    return night;
}

// The minute of a UTC time written as ISO 8601.
PosixMinute UtcMinute(int year, unsigned month, unsigned day, int hour, int minute) {
    // Days from the civil date (proleptic Gregorian), so the test needs no
    // time library of its own.
    const int y = year - (month <= 2 ? 1 : 0);
    const int era = y / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const long days = era * 146097L + static_cast<long>(doe) - 719468L;
    return days * 1440L + hour * 60L + minute;
}

std::string Iso(const PreparedNight& night, PosixMinute minute) {
    const IsoLocalText text = FormatIsoLocal(ToWallClock(night, minute));
    return std::string(text.data(), text.size());
}

TEST(LocalTime, EachTimeOfAClockChangeNightCarriesItsOwnOffset) {
    const PreparedNight night = Prepare({52.52, 13.40, 0.0}, "Europe/Berlin", {2026, 3, 28});
    EXPECT_EQ(Iso(night, UtcMinute(2026, 3, 29, 0, 59)), "2026-03-29T01:59+01:00");
    EXPECT_EQ(Iso(night, UtcMinute(2026, 3, 29, 1, 0)), "2026-03-29T03:00+02:00");
    EXPECT_EQ(ToWallClock(night, night.darkFrom).abbreviation, "CET");
    EXPECT_EQ(ToWallClock(night, night.darkTo).abbreviation, "CEST");
    const ClockText clock = FormatClock(ToWallClock(night, UtcMinute(2026, 3, 28, 19, 34)));
    EXPECT_EQ(std::string(clock.data(), clock.size()), "20:34");
    // A week on, beyond the prepared offsets: asked of the zone.
    EXPECT_EQ(Iso(night, UtcMinute(2026, 4, 5, 10, 0)), "2026-04-05T12:00+02:00");
}

TEST(LocalTime, OffsetsFarFromUtcAndOffHalfHours) {
    const PreparedNight tonga = Prepare({-21.14, -175.2, 0.0}, "Pacific/Tongatapu", {2026, 8, 10});
    EXPECT_EQ(Iso(tonga, UtcMinute(2026, 8, 10, 11, 0)), "2026-08-11T00:00+13:00");
    EXPECT_EQ(ToWallClock(tonga, tonga.darkFrom).date, (CivilDate{2026, 8, 10}));
    const PreparedNight newfoundland =
        Prepare({47.56, -52.71, 0.0}, "America/St_Johns", {2026, 1, 15});
    EXPECT_EQ(Iso(newfoundland, UtcMinute(2026, 1, 16, 2, 5)), "2026-01-15T22:35-03:30");
}

TEST(LocalTime, TonightIsTheNightInProgressUntilSolarNoon) {
    const Site amsterdam{52.37, 4.90, 0.0};
    const auto nightAt = [&](PosixMinute utc) {
        CivilDate date;
        EXPECT_EQ(NightDateAt(amsterdam, "Europe/Amsterdam", static_cast<double>(utc) * 60.0, date),
                  NightStatus::Ok);
        return date;
    };
    // Solar noon in Amsterdam in December is about 12:33 CET.
    EXPECT_EQ(nightAt(UtcMinute(2026, 12, 8, 20, 0)), (CivilDate{2026, 12, 8}));
    EXPECT_EQ(nightAt(UtcMinute(2026, 12, 8, 23, 30)), (CivilDate{2026, 12, 8}));
    EXPECT_EQ(nightAt(UtcMinute(2026, 12, 9, 11, 0)), (CivilDate{2026, 12, 8}));
    EXPECT_EQ(nightAt(UtcMinute(2026, 12, 9, 12, 0)), (CivilDate{2026, 12, 9}));
    // Across the year and into a leap day.
    EXPECT_EQ(nightAt(UtcMinute(2027, 1, 1, 3, 0)), (CivilDate{2026, 12, 31}));
    EXPECT_EQ(nightAt(UtcMinute(2028, 3, 1, 2, 0)), (CivilDate{2028, 2, 29}));
}

TEST(LocalTime, RequestsThatCannotBePreparedLeaveTheNightAlone) {
    NightRequest good;
    good.site = {52.37, 4.90, 0.0};
    good.zone = "Europe/Amsterdam";
    good.date = {2026, 12, 8};
    PreparedNight night;
    ASSERT_EQ(PrepareNight(good, night), NightStatus::Ok);
    const double start = night.startSeconds;

    struct Case {
        NightRequest request;
        NightStatus status;
    };
    std::vector<Case> cases;
    const auto with = [&](auto change, NightStatus status) {
        NightRequest request = good;
        change(request);
        cases.push_back({request, status});
    };
    with([](NightRequest& r) { r.site.latitudeDeg = 95.0; }, NightStatus::BadSite);
    with([](NightRequest& r) { r.site.longitudeDeg = -180.5; }, NightStatus::BadSite);
    with([](NightRequest& r) { r.site.heightM = std::nan(""); }, NightStatus::BadSite);
    with([](NightRequest& r) { r.minAltitudeDeg = 91.0; }, NightStatus::BadLimits);
    with([](NightRequest& r) { r.twilightDeg = 1.0; }, NightStatus::BadLimits);
    with([](NightRequest& r) { r.zone = "Mars/Olympus_Mons"; }, NightStatus::BadZone);
    with([](NightRequest& r) { r.zone = ""; }, NightStatus::BadZone);
    with([](NightRequest& r) { r.date = {2026, 2, 29}; }, NightStatus::BadDate);
    with([](NightRequest& r) { r.date = {2101, 1, 1}; }, NightStatus::BadDate);
    for (const Case& c : cases) {
        EXPECT_EQ(PrepareNight(c.request, night), c.status) << DescribeStatus(c.status);
        EXPECT_FALSE(DescribeStatus(c.status).empty());
    }
    EXPECT_EQ(night.startSeconds, start);
    CivilDate date;
    EXPECT_EQ(NightDateAt({95.0, 0.0, 0.0}, "UTC", 1.8e9, date), NightStatus::BadSite);
    EXPECT_EQ(NightDateAt({0.0, 0.0, 0.0}, "Nowhere", 1.8e9, date), NightStatus::BadZone);
}

// The catalogue calls from two threads at once on one prepared night; under
// ThreadSanitizer this also shows that nothing is written meanwhile.
TEST(LocalTime, TwoThreadsReadOneNightAlike) {
    const PreparedNight night = Prepare({52.52, 13.40, 0.0}, "Europe/Berlin", {2026, 3, 28});
    constexpr int kStars = 2000;
    const auto work = [&](std::vector<std::string>& out) {
        for (int i = 0; i < kStars; ++i) {
            const StarNight star = ObserveStar(night, {i * 0.18, i * 0.09 - 90.0});
            // A week on: beyond the prepared offsets, so the zone is asked.
            out.push_back(Iso(night, star.transit) + Iso(night, star.upTo + 7 * 1440));
        }
    };
    std::vector<std::string> helped;
    std::vector<std::string> own;
    std::thread helper(work, std::ref(helped));
    work(own);
    helper.join();
    EXPECT_EQ(helped, own);
}

} // namespace
