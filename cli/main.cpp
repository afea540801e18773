// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// lumara: searches, converts and describes catalogues of variable stars from
// the command line, with the window's criteria and the library's exports.
#include <algorithm>
#include <charconv>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <variant>
#include <vector>

#include <CLI/CLI.hpp>

#include "Commands.h"
#include "ExitStatus.h"
#include "Output.h"
#include "SearchCriteria.h"
#include "Version.h"

namespace {

using lumara::CriteriaField;
using lumara::OutputFormat;
using lumara::SearchCriteria;
using lumara::TonightFormat;
using namespace lumara::cli;

constexpr std::string_view kRangeSeparator = "..";

// The option and the part of it that sets each field, for messages.
const char* OptionOf(CriteriaField field) {
    switch (field) {
    case CriteriaField::RaWest:
        return "--ra WEST";
    case CriteriaField::RaEast:
        return "--ra EAST";
    case CriteriaField::DecSouth:
        return "--dec SOUTH";
    case CriteriaField::DecNorth:
        return "--dec NORTH";
    case CriteriaField::MagMax:
        return "--max-mag";
    case CriteriaField::MagMin:
        return "--min-mag";
    case CriteriaField::PeriodLeast:
        return "--period LEAST";
    case CriteriaField::PeriodMost:
        return "--period MOST";
    }
    return "";
}

std::string FaultMessage(const lumara::CriteriaFault& fault) {
    const lumara::FieldRange& allowed = fault.allowed;
    char text[200];
    std::snprintf(text, sizeof text, "%s must be %s %s %g %s %g", OptionOf(fault.field),
                  allowed.integral ? "a whole number" : "a number",
                  allowed.minIncluded ? "from" : "above", allowed.min,
                  allowed.minIncluded ? "to" : "and at most", allowed.max);
    return text;
}

// A number that takes the whole text.
template <typename T> std::optional<T> NumberFrom(std::string_view text) {
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// "LOW..HIGH" as two numbers.
template <typename T> std::optional<std::pair<T, T>> RangeFrom(const std::string& text) {
    const std::size_t separator = text.find(kRangeSeparator);
    if (separator == std::string::npos) {
        return std::nullopt;
    }
    const std::string_view whole(text);
    const auto low = NumberFrom<T>(whole.substr(0, separator));
    const auto high = NumberFrom<T>(whole.substr(separator + kRangeSeparator.size()));
    if (!low || !high) {
        return std::nullopt;
    }
    return std::pair{*low, *high};
}

// A whole number beyond 16 bits stays beyond every limit the criteria have.
std::int16_t Clamped16(long value) {
    return static_cast<std::int16_t>(std::clamp<long>(
        value, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()));
}

// A magnitude beyond what a float holds stays beyond the highest limit.
float ClampedMagnitude(double value) {
    const double largest = std::numeric_limits<float>::max();
    return value != value ? std::numeric_limits<float>::quiet_NaN()
                          : static_cast<float>(std::clamp(value, -largest, largest));
}

// A default as the help shows it.
std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// The option texts as the user gave them; empty when not given.
struct CriteriaTexts {
    std::string ra;
    std::string dec;
    std::optional<double> maxMag;
    std::optional<double> minMag;
    std::string period;
    bool noLightCurve = false;
    std::optional<std::string> type;
    std::optional<std::string> family;
    std::optional<std::string> name;
    std::optional<std::string> sort;
};

// The options of the night, as the user gave them.
struct SiteTexts {
    std::optional<std::string> latitude;
    std::optional<std::string> longitude;
    std::optional<std::string> height;
    std::optional<std::string> zone;
    std::optional<std::string> night;
    std::optional<std::string> twilight;
    std::optional<std::string> minAltitude;
    std::optional<std::string> minHours;
};

// The families' command-line names, for the help.
std::string FamilyNames() {
    std::string names;
    for (const lumara::FamilyInfo& family : lumara::Families()) {
        names += (names.empty() ? "" : ", ") + std::string(family.commandName);
    }
    return names;
}

void AddCriteriaOptions(CLI::App& command, CriteriaTexts& texts) {
    command
        .add_option("--ra", texts.ra, "R.A. WEST..EAST in whole hours 0-23; 22..2 wraps through 0h")
        ->type_name("WEST..EAST");
    command.add_option("--dec", texts.dec, "Declination SOUTH..NORTH in whole degrees")
        ->type_name("SOUTH..NORTH");
    command
        .add_option("--max-mag", texts.maxMag,
                    "The window's \"Max >\": a star's maximum magnitude at most X "
                    "(switches the magnitude test on; default " +
                        Number(lumara::kWindowCriteria.magMax) + ")")
        ->type_name("X");
    command
        .add_option("--min-mag", texts.minMag,
                    "The window's \"Min <\": a star's minimum magnitude at least Y "
                    "(switches the magnitude test on; default " +
                        Number(lumara::kWindowCriteria.magMin) + ")")
        ->type_name("Y");
    command
        .add_option("--period", texts.period,
                    "Period LEAST..MOST in days (switches the period test on)")
        ->type_name("LEAST..MOST");
    command.add_flag("--no-light-curve", texts.noLightCurve,
                     "Only the stars in the position criteria without magnitudes and period");
    command
        .add_option("--type", texts.type,
                    "Variability types: comma-separated codes as catalogues write them, * and ? "
                    "as wildcards (M,SR*); each code of a compound type is matched")
        ->type_name("PATTERNS");
    command
        .add_option("--family", texts.family,
                    "A family of types, a fixed list of codes: " + FamilyNames())
        ->type_name("NAME");
    command
        .add_option("--name", texts.name,
                    "Names containing TEXT from the start of a word, case and zero padding "
                    "ignored, * and ? as wildcards")
        ->type_name("TEXT");
    command
        .add_option("--sort", texts.sort,
                    "Order the rows by KEY[,KEY...], -KEY for descending: " +
                        lumara::SortFieldNames())
        ->type_name("KEYS");
}

void AddSiteOptions(CLI::App& command, SiteTexts& site) {
    const auto add = [&](const char* name, std::optional<std::string>& text, const char* type,
                         const std::string& help) {
        command.add_option(name, text, help)->type_name(type);
    };
    add("--lat", site.latitude, "DEG",
        "Latitude, decimal or degrees minutes seconds, N positive or with N/S (default: the "
        "site the window saved)");
    add("--lon", site.longitude, "DEG", "Longitude, E positive or with E/W");
    add("--height", site.height, "M", "Height above sea level in metres (default 0)");
    add("--tz", site.zone, "ZONE",
        "Time zone, such as Europe/Amsterdam (default: saved, else "
        "the system's)");
    add("--night", site.night, "YYYY-MM-DD",
        "The night that begins on this date (default "
        "tonight)");
    add("--twilight", site.twilight, "KIND",
        "astronomical, nautical, civil, or the Sun's altitude in degrees (default "
        "astronomical)");
    add("--min-alt", site.minAltitude, "DEG",
        "Least altitude of a star that counts as up (default " +
            Number(lumara::plan::kDefaultMinAltitude) + ")");
    add("--min-hours", site.minHours, "H",
        "Least time up in the dark (default " + Number(lumara::plan::kDefaultMinHours) + ")");
}

// The sort keys, "-KEY" descending; the night's keys only where there is a
// night.
std::optional<std::string> SortFrom(const CriteriaTexts& texts, bool hasNight,
                                    std::vector<lumara::SortSpec>& keys) {
    if (!texts.sort) {
        return std::nullopt;
    }
    std::string_view rest = *texts.sort;
    while (true) {
        const std::size_t comma = rest.find(',');
        std::string_view key = rest.substr(0, comma);
        lumara::SortSpec spec;
        if (!key.empty() && key.front() == '-') {
            spec.descending = true;
            key.remove_prefix(1);
        }
        const std::optional<lumara::SortField> field = lumara::SortFieldNamed(key);
        if (!field) {
            return "--sort: unknown key '" + std::string(key) + "': the keys are " +
                   lumara::SortFieldNames();
        }
        if (lumara::NeedsNight(*field) && !hasNight) {
            return "--sort: the key '" + std::string(key) + "' needs a night: use lumara tonight";
        }
        spec.field = *field;
        keys.push_back(spec);
        if (comma == std::string_view::npos) {
            return std::nullopt;
        }
        rest.remove_prefix(comma + 1);
    }
}

// The site and the night from the options, on top of what the window saved.
std::optional<std::string> SiteFrom(const SiteTexts& texts, TonightRequest& request) {
    using lumara::plan::Quantity;
    const lumara::SettingsLoad saved = lumara::LoadPlanSettings();
    if (!saved.problem.empty()) {
        ReportError("ignoring the saved site: " + saved.problem);
    }
    lumara::plan::PlanSettings& settings = request.settings;
    settings = saved.settings;
    const auto read = [](Quantity quantity, const std::optional<std::string>& text,
                         double& value) -> std::optional<std::string> {
        if (!text) {
            return std::nullopt;
        }
        const lumara::plan::Parsed<double> parsed = lumara::plan::ParseQuantity(quantity, *text);
        if (!parsed.ok()) {
            return parsed.error;
        }
        value = parsed.value;
        return std::nullopt;
    };
    if (texts.latitude.has_value() != texts.longitude.has_value()) {
        return "--lat and --lon go together";
    }
    if (texts.latitude) {
        lumara::plan::Site site;
        for (const auto& [quantity, text, value] :
             {std::tuple{Quantity::Latitude, &texts.latitude, &site.latitudeDeg},
              std::tuple{Quantity::Longitude, &texts.longitude, &site.longitudeDeg},
              std::tuple{Quantity::Height, &texts.height, &site.heightM}}) {
            if (auto problem = read(quantity, *text, *value)) {
                return problem;
            }
        }
        settings.site = site;
    } else if (texts.height && settings.site) {
        if (auto problem = read(Quantity::Height, texts.height, settings.site->heightM)) {
            return problem;
        }
    }
    if (!settings.site) {
        return "no site to plan for: give --lat and --lon, or set the site in the window "
               "(Observe, Site and Night...)";
    }
    for (const auto& [quantity, text, value] :
         {std::tuple{Quantity::Twilight, &texts.twilight, &settings.twilightDeg},
          std::tuple{Quantity::MinAltitude, &texts.minAltitude, &settings.minAltitudeDeg},
          std::tuple{Quantity::MinHours, &texts.minHours, &settings.minHours}}) {
        if (auto problem = read(quantity, *text, *value)) {
            return problem;
        }
    }
    if (texts.zone) {
        const lumara::plan::Parsed<std::string> zone = lumara::plan::ParseZone(*texts.zone);
        if (!zone.ok()) {
            return zone.error;
        }
        settings.zone = zone.value;
    }
    if (texts.night) {
        const lumara::plan::Parsed<lumara::plan::CivilDate> date =
            lumara::plan::ParseDate(*texts.night);
        if (!date.ok()) {
            return date.error;
        }
        request.date = date.value;
    } else if (lumara::TonightDate(settings, request.date) != lumara::plan::NightStatus::Ok) {
        return "cannot tell tonight's date in " + settings.zone;
    }
    return std::nullopt;
}

// The criteria the texts ask for, or a message saying what is wrong.
std::optional<std::string> CriteriaFrom(const CriteriaTexts& texts, SearchCriteria& criteria) {
    criteria.useMagnitude = texts.maxMag.has_value() || texts.minMag.has_value();
    criteria.usePeriod = !texts.period.empty();
    criteria.noLightCurve = texts.noLightCurve;
    if (!texts.ra.empty()) {
        const auto hours = RangeFrom<long>(texts.ra);
        if (!hours) {
            return "--ra takes WEST..EAST in whole hours, such as 22..2";
        }
        criteria.raWest = Clamped16(hours->first);
        criteria.raEast = Clamped16(hours->second);
    }
    if (!texts.dec.empty()) {
        const auto degrees = RangeFrom<long>(texts.dec);
        if (!degrees) {
            return "--dec takes SOUTH..NORTH in whole degrees, such as -10..25";
        }
        criteria.decSouth = Clamped16(degrees->first);
        criteria.decNorth = Clamped16(degrees->second);
    }
    if (texts.maxMag) {
        criteria.magMax = ClampedMagnitude(*texts.maxMag);
    }
    if (texts.minMag) {
        criteria.magMin = ClampedMagnitude(*texts.minMag);
    }
    if (criteria.usePeriod) {
        const auto days = RangeFrom<double>(texts.period);
        if (!days) {
            return "--period takes LEAST..MOST in days, such as 100..500";
        }
        criteria.periodLeast = days->first;
        criteria.periodMost = days->second;
    }
    if (const auto fault = lumara::CheckCriteria(criteria)) {
        return FaultMessage(*fault);
    }
    if (texts.type) {
        auto parsed = lumara::TypeMatcher::Parse(*texts.type);
        if (const auto* fault = std::get_if<lumara::TypePatternFault>(&parsed)) {
            return "--type: " + lumara::Describe(*fault);
        }
        criteria.types = std::get<lumara::TypeMatcher>(std::move(parsed));
    }
    if (texts.family) {
        const std::optional<lumara::Family> family = lumara::FamilyByCommandName(*texts.family);
        if (!family) {
            return "--family: " + lumara::DescribeUnknownFamily(*texts.family);
        }
        criteria.families = lumara::MaskOf(*family);
    }
    if (texts.name) {
        auto prepared = lumara::NameMatcher::Prepare(*texts.name);
        if (const auto* error = std::get_if<lumara::NamePatternError>(&prepared)) {
            return "--name: " + lumara::Describe(*error);
        }
        criteria.name = std::get<lumara::NameMatcher>(std::move(prepared));
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv) {
    // A reader that goes away makes the write fail, which is reported.
    std::signal(SIGPIPE, SIG_IGN);

    CLI::App app{"Searches, plans, converts and describes catalogues of variable stars.", "lumara"};
    app.set_version_flag("--version", "lumara " LUMARA_FULL_VERSION);
    app.require_subcommand(1);
    app.footer("FILE is a native, GCVS 5.1 or VSX catalogue, or - for standard input.");

    SearchRequest search;
    search.output = kStandardStream;
    CriteriaTexts texts;
    const std::map<std::string, OutputFormat> formats = {
        {"csv", OutputFormat::Csv}, {"txt", OutputFormat::Txt}, {"votable", OutputFormat::VoTable}};
    CLI::App* searchCommand = app.add_subcommand(
        "search", "Writes the stars that meet the criteria, in catalogue order.");
    searchCommand->add_option("FILE", search.input, "The catalogue")->required();
    AddCriteriaOptions(*searchCommand, texts);
    searchCommand->add_flag("--desc", search.descending, "Reverse catalogue order");
    std::string format = "csv";
    searchCommand->add_option("--format", format, "Output table (default csv)")
        ->check(CLI::IsMember(formats));
    searchCommand
        ->add_option("-o,--output", search.output, "Write to OUT instead of standard output")
        ->type_name("OUT");
    searchCommand->add_flag("--count", search.countOnly, "Print only the number of matches");

    TonightRequest tonight;
    tonight.output = kStandardStream;
    CriteriaTexts tonightTexts;
    SiteTexts site;
    const std::map<std::string, TonightFormat> tonightFormats = {
        {"csv", TonightFormat::Csv}, {"votable", TonightFormat::VoTable}};
    CLI::App* tonightCommand = app.add_subcommand(
        "tonight", "Writes the stars observable in the night from a site, with their transit, "
                   "their time up in the dark and the Moon's distance; the dark window and the "
                   "Moon go to standard error.");
    tonightCommand->add_option("FILE", tonight.input, "The catalogue")->required();
    AddSiteOptions(*tonightCommand, site);
    AddCriteriaOptions(*tonightCommand, tonightTexts);
    std::string tonightFormat = "csv";
    tonightCommand->add_option("--format", tonightFormat, "Output table (default csv)")
        ->check(CLI::IsMember(tonightFormats));
    tonightCommand
        ->add_option("-o,--output", tonight.output, "Write to OUT instead of standard output")
        ->type_name("OUT");
    tonightCommand->add_flag("--count", tonight.countOnly, "Print only the number of rows");
    tonightCommand->add_flag("--events", tonight.events,
                             "A row per minimum or maximum predicted while the star is up in the "
                             "dark, with the columns Event, EventTime and Cycles");
    tonightCommand
        ->add_option("--nights", tonight.nights,
                     "With --events, the nights to look through from the first on (default 1)")
        ->check(CLI::Range(1, lumara::plan::kMostNights))
        ->type_name("N");

    std::string convertInput;
    std::string convertOutput;
    CLI::App* convertCommand = app.add_subcommand(
        "convert",
        "Writes the stars of a catalogue as native catalogue lines; what the import changed or "
        "skipped goes to standard error.");
    convertCommand->add_option("FILE", convertInput, "The catalogue")->required();
    convertCommand
        ->add_option("-o,--output", convertOutput, "The catalogue to write (- for standard output)")
        ->type_name("OUT")
        ->required();

    std::string infoInput;
    CLI::App* infoCommand = app.add_subcommand(
        "info", "Describes a catalogue: format, stars, lines skipped and the spread of values.");
    infoCommand->add_option("FILE", infoInput, "The catalogue")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& done) {
        return app.exit(done);
    } catch (const CLI::ParseError& error) {
        ReportError(error.what());
        return kUsageError;
    }

    if (*searchCommand) {
        std::optional<std::string> problem = CriteriaFrom(texts, search.criteria);
        if (!problem) {
            problem = SortFrom(texts, false, search.sort);
        }
        if (!problem && search.descending && !search.sort.empty()) {
            problem = "--desc cannot go with --sort: give a key as -KEY to sort it in reverse, "
                      "such as --sort -max";
        }
        if (problem) {
            ReportError(*problem);
            return kUsageError;
        }
        search.format = formats.at(format);
        return RunSearch(search);
    }
    if (*tonightCommand) {
        std::optional<std::string> problem = CriteriaFrom(tonightTexts, tonight.criteria);
        if (!problem) {
            problem = SortFrom(tonightTexts, true, tonight.sort);
        }
        if (!problem) {
            problem = SiteFrom(site, tonight);
        }
        if (problem) {
            ReportError(*problem);
            return kUsageError;
        }
        tonight.format = tonightFormats.at(tonightFormat);
        return RunTonight(std::move(tonight));
    }
    if (*convertCommand) {
        return RunConvert(convertInput, convertOutput);
    }
    return RunInfo(infoInput);
}
