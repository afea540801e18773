// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Tonight.h"

#include <array>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <system_error>

#include "ExportFile.h"
#include "LineFormat.h"
#include "StarDetails.h"
#include "StarRecord.h"

namespace lumara {

namespace {

constexpr double kPercent = 100.0;
constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;
constexpr std::string_view kEnDash = "\xE2\x80\x93";

// The directions of the centres of the native line's cells: a minute of
// R.A. and a degree of declination each, so a native star's direction is two
// look-ups rather than its trigonometry.
constexpr int kMinutesPerDay = 24 * format::kMinutesPerHour;
constexpr int kDegreeCells = 100; // two digits of whole degrees
constexpr double kDegreesPerMinuteOfRa = 0.25;

struct CellDirections {
    std::array<double, kMinutesPerDay> cosRa{};
    std::array<double, kMinutesPerDay> sinRa{};
    std::array<double, kDegreeCells> cosDec{};
    std::array<double, kDegreeCells> sinDec{};

    CellDirections() {
        for (int minute = 0; minute < kMinutesPerDay; ++minute) {
            const double ra = (minute + 0.5) * kDegreesPerMinuteOfRa * kRadiansPerDegree;
            cosRa[static_cast<std::size_t>(minute)] = std::cos(ra);
            sinRa[static_cast<std::size_t>(minute)] = std::sin(ra);
        }
        for (int degrees = 0; degrees < kDegreeCells; ++degrees) {
            const double dec = (degrees + 0.5) * kRadiansPerDegree;
            cosDec[static_cast<std::size_t>(degrees)] = std::cos(dec);
            sinDec[static_cast<std::size_t>(degrees)] = std::sin(dec);
        }
    }
};

plan::StarDirection DirectionOfRecord(const StarRecord& record) {
    const int minute = record.raHours * format::kMinutesPerHour + record.raMinutes;
    const int degrees = std::abs(record.dec);
    if (record.details != nullptr || record.raMinutes >= format::kMinutesPerHour ||
        minute >= kMinutesPerDay || degrees >= kDegreeCells) {
        const SkyPlace place = PlaceOf(record);
        return plan::DirectionOf({place.raDeg, place.decDeg});
    }
    static const CellDirections cells;
    const auto ra = static_cast<std::size_t>(minute);
    const auto dec = static_cast<std::size_t>(degrees);
    const double sinDec =
        record.line[format::kDecSignColumn] == '-' ? -cells.sinDec[dec] : cells.sinDec[dec];
    return {cells.cosDec[dec] * cells.cosRa[ra], cells.cosDec[dec] * cells.sinRa[ra], sinDec};
}

std::string WithZone(const plan::WallClock& time) {
    const plan::ClockText clock = plan::FormatClock(time);
    return std::string(clock.data(), clock.size());
}

plan::Prediction EventsOver(std::span<const plan::PreparedNight> nights, const StarRecord& record,
                            std::vector<plan::StarEvent>& events) {
    const std::optional<plan::Ephemeris> ephemeris = EphemerisOf(record);
    if (!ephemeris) {
        return plan::Prediction::NoEpoch;
    }
    const SkyPlace place = PlaceOf(record);
    return plan::PredictEvents(nights, {place.raDeg, place.decDeg}, *ephemeris, events);
}

// The rest of a star's night: the Moon's distance and the first event.
StarTonight WithMoonAndEvent(const TonightContext& context, const StarRecord& record,
                             const plan::StarDirection& star, const plan::StarNight& night) {
    StarTonight tonight{night, plan::MoonSeparationOfDirection(context.night, star), std::nullopt};
    if (!context.eventNights.empty()) {
        std::vector<plan::StarEvent> events;
        EventsOf(context, record, events);
        if (!events.empty()) {
            tonight.firstEvent = events.front();
        }
    }
    return tonight;
}

} // namespace

plan::NightStatus PrepareTonight(const plan::PlanSettings& settings, const plan::CivilDate& date,
                                 TonightContext& context, int eventNights) {
    if (!settings.site) {
        return plan::NightStatus::BadSite;
    }
    const plan::NightRequest request{*settings.site, settings.zone, date, settings.twilightDeg,
                                     settings.minAltitudeDeg};
    plan::NightStatus status = plan::PrepareNight(request, context.night);
    if (status == plan::NightStatus::Ok && eventNights > 0) {
        status = plan::PrepareNights(request, eventNights, context.eventNights);
    }
    if (status == plan::NightStatus::Ok) {
        context.minUpMinutes = plan::MinimumMinutes(settings.minHours);
    }
    return status;
}

plan::NightStatus TonightDate(const plan::PlanSettings& settings, plan::CivilDate& date) {
    if (!settings.site) {
        return plan::NightStatus::BadSite;
    }
    const auto now =
        std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch());
    return plan::NightDateAt(*settings.site, settings.zone, now.count(), date);
}

StarTonight ObserveRecord(const TonightContext& context, const StarRecord& record) {
    const plan::StarDirection star = DirectionOfRecord(record);
    return WithMoonAndEvent(context, record, star, plan::ObserveDirection(context.night, star));
}

std::optional<StarTonight> ObservableTonight(const TonightContext& context,
                                             const StarRecord& record) {
    const plan::StarDirection star = DirectionOfRecord(record);
    if (!plan::MayBeUpInDark(context.night, star)) {
        return std::nullopt;
    }
    const plan::StarNight night = plan::ObserveDirection(context.night, star);
    if (!plan::IsObservable(night, context.minUpMinutes)) {
        return std::nullopt;
    }
    return WithMoonAndEvent(context, record, star, night);
}

std::optional<plan::Ephemeris> EphemerisOf(const StarRecord& record) {
    const StarDetails* details = record.details;
    if (details == nullptr || details->epochJd == 0.0) {
        return std::nullopt;
    }
    plan::Ephemeris ephemeris;
    ephemeris.epochJd = details->epochJd;
    ephemeris.scale = details->epochScale == TimeScale::BjdTdb ? plan::EpochScale::BjdTdb
                                                               : plan::EpochScale::HjdUtc;
    ephemeris.periodDays = details->period > 0.0 ? details->period : record.period;
    std::string marks(1, details->periodLimit);
    marks += details->periodUncertain ? ":" : "";
    marks += details->periodNote;
    ephemeris.periodMarks = plan::ReadPeriodMarks(marks);
    ephemeris.rule = plan::RuleForType(details->type);
    ephemeris.secondaryMinimumGiven = details->secondaryMinimum;
    ephemeris.eclipseDurationPercent = details->durationPercent > 0 ? details->durationPercent : 0;
    return ephemeris;
}

plan::Prediction EventsOf(const TonightContext& context, const StarRecord& record,
                          std::vector<plan::StarEvent>& events) {
    return EventsOver(context.eventNights, record, events);
}

bool HasEventTonight(const TonightContext& context, const StarRecord& record) {
    if (context.eventNights.empty()) {
        return false;
    }
    // Tonight's events only: the nights after it are not looked at.
    std::vector<plan::StarEvent> events;
    EventsOver(std::span(context.eventNights).first(1), record, events);
    return !events.empty();
}

std::string EventName(const plan::StarEvent& event) {
    std::string name;
    switch (event.kind) {
    case plan::EventKind::Minimum:
        name = "min";
        break;
    case plan::EventKind::SecondaryMinimum:
        name = "min II";
        break;
    case plan::EventKind::Maximum:
        name = "max";
        break;
    case plan::EventKind::NearMinimum:
        name = "near min";
        break;
    case plan::EventKind::NearMaximum:
        name = "near max";
        break;
    }
    return event.uncertain ? name + ":" : name;
}

bool IsObservableTonight(const TonightContext& context, const StarRecord& record) {
    const plan::StarDirection star = DirectionOfRecord(record);
    return plan::MayBeUpInDark(context.night, star) &&
           plan::IsObservableDirection(context.night, star, context.minUpMinutes);
}

std::string ClockAt(const TonightContext& context, plan::PosixMinute minute) {
    return WithZone(plan::ToWallClock(context.night, minute));
}

std::string DescribeNight(const TonightContext& context) {
    const plan::PreparedNight& night = context.night;
    std::string text;
    switch (night.darkness) {
    case plan::Darkness::None:
        text = "No darkness tonight";
        break;
    case plan::Darkness::Throughout:
        text = "Dark all night";
        break;
    case plan::Darkness::Window: {
        const plan::WallClock from = plan::ToWallClock(night, night.darkFrom);
        const plan::WallClock to = plan::ToWallClock(night, night.darkTo);
        text = "Dark " + WithZone(from);
        if (from.abbreviation != to.abbreviation) {
            text += " " + from.abbreviation;
        }
        text += std::string(kEnDash) + WithZone(to) + " " + to.abbreviation;
        break;
    }
    }
    const auto lit = static_cast<int>(std::lround(night.moonFractionLit * kPercent));
    return text + ", Moon " + std::to_string(lit) + " % lit";
}

SettingsLoad LoadPlanSettings() {
    SettingsLoad load;
    const std::string path = plan::SettingsPath();
    std::error_code error;
    if (path.empty() || !std::filesystem::is_regular_file(path, error)) {
        return load;
    }
    std::ifstream file(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    if (!file.good() && !file.eof()) {
        load.problem = "cannot read " + path;
        return load;
    }
    load.found = true;
    const plan::SettingsRead read = plan::ParseSettings(text);
    if (!read.error.empty()) {
        load.problem = path + ": " + read.error;
        return load;
    }
    load.settings = read.settings;
    return load;
}

bool SavePlanSettings(const plan::PlanSettings& settings, std::string& problem) {
    const std::string path = plan::SettingsPath();
    if (path.empty()) {
        problem = "no folder for settings: neither XDG_CONFIG_HOME nor HOME is set";
        return false;
    }
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    const std::string text = plan::FormatSettings(settings);
    ExportFile file;
    if (!file.Open(path.c_str()) || !file.Write(text.data(), text.size()) || !file.Finish()) {
        problem = "cannot write " + path;
        return false;
    }
    return true;
}

} // namespace lumara
