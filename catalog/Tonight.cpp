// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Tonight.h"

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "ExportFile.h"
#include "StarDetails.h"
#include "StarRecord.h"

namespace lumara {

namespace {

constexpr double kPercent = 100.0;
constexpr std::string_view kEnDash = "\xE2\x80\x93";

std::string WithZone(const plan::WallClock& time) {
    const plan::ClockText clock = plan::FormatClock(time);
    return std::string(clock.data(), clock.size());
}

} // namespace

plan::NightStatus PrepareTonight(const plan::PlanSettings& settings, const plan::CivilDate& date,
                                 TonightContext& context) {
    if (!settings.site) {
        return plan::NightStatus::BadSite;
    }
    const plan::NightRequest request{*settings.site, settings.zone, date, settings.twilightDeg,
                                     settings.minAltitudeDeg};
    const plan::NightStatus status = plan::PrepareNight(request, context.night);
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
    const SkyPlace place = PlaceOf(record);
    const plan::StarPlace star{place.raDeg, place.decDeg};
    return {plan::ObserveStar(context.night, star), plan::MoonSeparationDeg(context.night, star)};
}

bool IsObservableTonight(const TonightContext& context, const StarRecord& record) {
    const SkyPlace place = PlaceOf(record);
    return plan::IsObservable(plan::ObserveStar(context.night, {place.raDeg, place.decDeg}),
                              context.minUpMinutes);
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
