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
#include <string_view>
#include <tuple>
#include <variant>
#include <vector>

#include <pthread.h>

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
// A misspelt command is told its likely name when it is this many edits
// from it or fewer.
constexpr std::size_t kMostEditsOfASlip = 2;

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

// A pair whose ends came in the wrong order, as the user reads it.
struct SwappedPair {
    CriteriaField lower;
    CriteriaField upper;
    const char* option;
    const char* lowerEnd;
    const char* upperEnd;
    const char* above; // how the lower end lies beyond the upper
};
constexpr SwappedPair kSwappedPairs[] = {
    {CriteriaField::DecSouth, CriteriaField::DecNorth, "--dec", "SOUTH", "NORTH", "north of"},
    {CriteriaField::PeriodLeast, CriteriaField::PeriodMost, "--period", "LEAST", "MOST",
     "longer than"},
};

std::string FaultMessage(const lumara::CriteriaFault& fault, const SearchCriteria& criteria) {
    char text[200];
    for (const SwappedPair& pair : kSwappedPairs) {
        if (fault.abovePartner && fault.field == pair.lower) {
            std::snprintf(text, sizeof text, "%s: %s (%g) is %s %s (%g)", pair.option,
                          pair.lowerEnd, lumara::ValueOf(criteria, pair.lower), pair.above,
                          pair.upperEnd, lumara::ValueOf(criteria, pair.upper));
            return text;
        }
    }
    const lumara::FieldRange& allowed = fault.allowed;
    std::snprintf(text, sizeof text, "%s must be %s %s %g %s %g", OptionOf(fault.field),
                  allowed.integral ? "a whole number" : "a number",
                  allowed.minIncluded ? "from" : "above", allowed.min,
                  allowed.minIncluded ? "to" : "and at most", allowed.max);
    return text;
}

// A number that takes the whole text, with or without a leading +.
template <typename T> std::optional<T> NumberFrom(std::string_view text) {
    if (text.size() > 1 && text.front() == '+' && text[1] != '-' && text[1] != '+') {
        text.remove_prefix(1);
    }
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// The two ends of a range; an end left open has no value.
template <typename T> struct RangeEnds {
    std::optional<T> low;
    std::optional<T> high;
};

// "LOW..HIGH" as two numbers; where `openEnds`, "LOW.." and "..HIGH" leave
// one of them open.
template <typename T>
std::optional<RangeEnds<T>> RangeFrom(const std::string& text, bool openEnds) {
    const std::size_t separator = text.find(kRangeSeparator);
    if (separator == std::string::npos) {
        return std::nullopt;
    }
    const std::string_view whole(text);
    RangeEnds<T> ends;
    for (const auto& [end, part] :
         {std::pair{&ends.low, whole.substr(0, separator)},
          std::pair{&ends.high, whole.substr(separator + kRangeSeparator.size())}}) {
        *end = NumberFrom<T>(part);
        if (!*end && !(openEnds && part.empty())) {
            return std::nullopt;
        }
    }
    return ends;
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

// A value as the help shows it.
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
    command
        .add_option("--dec", texts.dec,
                    "Declination SOUTH..NORTH in whole degrees; SOUTH.. or ..NORTH leaves the "
                    "other end at the pole")
        ->type_name("SOUTH..NORTH");
    command
        .add_option("--max-mag", texts.maxMag,
                    "The window's \"Max >\": a star's maximum magnitude at most X (switches the "
                    "magnitude test on; alone, leaves the minimum open, as \"Min < " +
                        Number(lumara::kLowestMagnitudeLimit) + "\")")
        ->type_name("X");
    command
        .add_option("--min-mag", texts.minMag,
                    "The window's \"Min <\": a star's minimum magnitude at least Y (switches the "
                    "magnitude test on; alone, leaves the maximum open, as \"Max > " +
                        Number(lumara::kHighestMagnitudeLimit) + "\")")
        ->type_name("Y");
    command
        .add_option("--period", texts.period,
                    "Period LEAST..MOST in days (switches the period test on); LEAST.. or "
                    "..MOST leaves one end open")
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
                                    std::vector<lumara::SortBy>& keys) {
    if (!texts.sort) {
        return std::nullopt;
    }
    std::string_view rest = *texts.sort;
    while (true) {
        const std::size_t comma = rest.find(',');
        std::string_view key = rest.substr(0, comma);
        lumara::SortBy sortBy;
        if (!key.empty() && key.front() == '-') {
            sortBy.descending = true;
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
        sortBy.field = *field;
        keys.push_back(sortBy);
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

// The criteria the texts ask for, or a message saying what is wrong. One
// magnitude alone leaves the other side open, as the window's "Max > 99" or
// "Min < 0" does; an open end of --dec is the pole, of --period no limit.
std::optional<std::string> CriteriaFrom(const CriteriaTexts& texts, SearchCriteria& criteria) {
    criteria.useMagnitude = texts.maxMag.has_value() || texts.minMag.has_value();
    criteria.usePeriod = !texts.period.empty();
    criteria.noLightCurve = texts.noLightCurve;
    if (!texts.ra.empty()) {
        const auto hours = RangeFrom<long>(texts.ra, false);
        if (!hours) {
            return "--ra takes WEST..EAST in whole hours, such as 22..2";
        }
        criteria.raWest = Clamped16(*hours->low);
        criteria.raEast = Clamped16(*hours->high);
    }
    if (!texts.dec.empty()) {
        const auto degrees = RangeFrom<long>(texts.dec, true);
        if (!degrees) {
            return "--dec takes SOUTH..NORTH in whole degrees, such as -10..+25, -10.. or ..25";
        }
        criteria.decSouth = Clamped16(degrees->low.value_or(lumara::kSouthPole));
        criteria.decNorth = Clamped16(degrees->high.value_or(lumara::kNorthPole));
    }
    if (criteria.useMagnitude) {
        criteria.magMax = ClampedMagnitude(texts.maxMag.value_or(lumara::kHighestMagnitudeLimit));
        criteria.magMin = ClampedMagnitude(texts.minMag.value_or(lumara::kLowestMagnitudeLimit));
    }
    if (criteria.usePeriod) {
        const auto days = RangeFrom<double>(texts.period, true);
        if (!days) {
            return "--period takes LEAST..MOST in days, such as 100..500, 400.. or ..1";
        }
        criteria.periodLeast = days->low.value_or(lumara::kShortestPeriod);
        criteria.periodMost = days->high.value_or(lumara::kNoMostPeriod);
    }
    if (const auto fault = lumara::CheckCriteria(criteria)) {
        return FaultMessage(*fault, criteria);
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

// How many single-character edits turn one word into the other.
std::size_t EditsBetween(std::string_view from, std::string_view to) {
    std::vector<std::size_t> row(to.size() + 1);
    for (std::size_t j = 0; j <= to.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= from.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= to.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min(
                {above + 1, row[j - 1] + 1, diagonal + (from[i - 1] == to[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[to.size()];
}

// Where the command stands: the first argument that is no option.
std::optional<std::string_view> CommandWord(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] != '-') {
            return argv[i];
        }
    }
    return std::nullopt;
}

// For a word that names no command, what to say: the command it is closest
// to, if it lies within a slip of the keys, or else every command.
std::optional<std::string> UnknownCommand(const CLI::App& app, std::string_view word) {
    std::string names;
    std::string closest;
    std::size_t fewest = kMostEditsOfASlip + 1;
    for (const CLI::App* command : app.get_subcommands({})) {
        const std::string& name = command->get_name();
        if (name == word) {
            return std::nullopt;
        }
        names += (names.empty() ? "" : ", ") + name;
        if (const std::size_t edits = EditsBetween(word, name); edits < fewest) {
            fewest = edits;
            closest = name;
        }
    }
    const std::string unknown = "unknown command '" + std::string(word) + "'";
    return closest.empty() ? unknown + "; the commands are " + names
                           : unknown + "; did you mean '" + closest + "'?";
}

// Ends the program as the broken-pipe signal ends cat and grep, quietly:
// the reader of standard output has what it wanted. Returns only where the
// signal cannot be delivered, and the exit status then says the same.
void EndByBrokenPipe() {
    static_assert(kReaderWentAway == 128 + SIGPIPE);
    std::signal(SIGPIPE, SIG_DFL);
    sigset_t brokenPipe;
    sigemptyset(&brokenPipe);
    sigaddset(&brokenPipe, SIGPIPE);
    pthread_sigmask(SIG_UNBLOCK, &brokenPipe, nullptr);
    std::raise(SIGPIPE);
}

} // namespace

int main(int argc, char** argv) {
    // Every write that fails is seen as such, a file or pipe named by -o
    // with its status; only a reader of standard output that goes away ends
    // the program by this signal, once the command has stopped and put its
    // files away.
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
    std::string format;
    searchCommand
        ->add_option("--format", format,
                     "Output table, in any case; without it, csv to standard output, and for "
                     "-o by the name: csv for .csv, votable for .vot and .xml, else txt")
        ->transform(CLI::IsMember(formats, CLI::ignore_case));
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
    std::string tonightFormat;
    tonightCommand
        ->add_option("--format", tonightFormat,
                     "Output table, in any case; without it, votable for an OUT named .vot or "
                     ".xml, else csv")
        ->transform(CLI::IsMember(tonightFormats, CLI::ignore_case));
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

    ConvertRequest convert;
    CLI::App* convertCommand = app.add_subcommand(
        "convert",
        "Writes the stars of a catalogue as native catalogue lines; what the import changed or "
        "skipped goes to standard error.");
    convertCommand->add_option("FILE", convert.input, "The catalogue")->required();
    convertCommand
        ->add_option("-o,--output", convert.output,
                     "The catalogue to write (- for standard output)")
        ->type_name("OUT")
        ->required();
    convertCommand
        ->add_option("--report", convert.report,
                     "Also list each change the import made, a line each: the star's name, the "
                     "change and the source's value, apart by tabs")
        ->type_name("REPORT");

    std::string infoInput;
    CLI::App* infoCommand = app.add_subcommand(
        "info", "Describes a catalogue: format, stars, lines skipped and the spread of values.");
    infoCommand->add_option("FILE", infoInput, "The catalogue")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& done) {
        return app.exit(done);
    } catch (const CLI::ParseError& error) {
        const std::optional<std::string_view> word = CommandWord(argc, argv);
        const std::optional<std::string> unknown = word ? UnknownCommand(app, *word) : std::nullopt;
        ReportError(unknown ? *unknown : error.what());
        return kUsageError;
    }

    int status = kSuccess;

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
        search.format = !format.empty()                    ? formats.at(format)
                        : search.output == kStandardStream ? OutputFormat::Csv
                                                           : lumara::FormatForName(search.output);
        status = RunSearch(search);
    } else if (*tonightCommand) {
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
        const bool namedVoTable = tonight.output != kStandardStream &&
                                  lumara::FormatForName(tonight.output) == OutputFormat::VoTable;
        tonight.format = !tonightFormat.empty() ? tonightFormats.at(tonightFormat)
                         : namedVoTable         ? TonightFormat::VoTable
                                                : TonightFormat::Csv;
        status = RunTonight(std::move(tonight));
    } else if (*convertCommand) {
        if (convert.report == kStandardStream && convert.output == kStandardStream) {
            ReportError("--report and -o cannot both be standard output");
            return kUsageError;
        }
        status = RunConvert(convert);
    } else {
        status = RunInfo(infoInput);
    }
    if (status == kReaderWentAway) {
        EndByBrokenPipe();
    }
    return status;
}
