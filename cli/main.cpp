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
};

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
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv) {
    // A reader that goes away makes the write fail, which is reported.
    std::signal(SIGPIPE, SIG_IGN);

    CLI::App app{"Searches, converts and describes catalogues of variable stars.", "lumara"};
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
    searchCommand
        ->add_option("--ra", texts.ra,
                     "R.A. WEST..EAST in whole hours 0-23; 22..2 wraps through 0h")
        ->type_name("WEST..EAST");
    searchCommand->add_option("--dec", texts.dec, "Declination SOUTH..NORTH in whole degrees")
        ->type_name("SOUTH..NORTH");
    searchCommand
        ->add_option("--max-mag", texts.maxMag,
                     "The window's \"Max >\": a star's maximum magnitude at most X "
                     "(switches the magnitude test on; default " +
                         Number(lumara::kWindowCriteria.magMax) + ")")
        ->type_name("X");
    searchCommand
        ->add_option("--min-mag", texts.minMag,
                     "The window's \"Min <\": a star's minimum magnitude at least Y "
                     "(switches the magnitude test on; default " +
                         Number(lumara::kWindowCriteria.magMin) + ")")
        ->type_name("Y");
    searchCommand
        ->add_option("--period", texts.period,
                     "Period LEAST..MOST in days (switches the period test on)")
        ->type_name("LEAST..MOST");
    searchCommand->add_flag("--no-light-curve", texts.noLightCurve,
                            "Only the stars in the position criteria without magnitudes and "
                            "period");
    searchCommand->add_flag("--desc", search.descending, "Reverse catalogue order");
    std::string format = "csv";
    searchCommand->add_option("--format", format, "Output table (default csv)")
        ->check(CLI::IsMember(formats));
    searchCommand
        ->add_option("-o,--output", search.output, "Write to OUT instead of standard output")
        ->type_name("OUT");
    searchCommand->add_flag("--count", search.countOnly, "Print only the number of matches");

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
        if (const auto problem = CriteriaFrom(texts, search.criteria)) {
            ReportError(*problem);
            return kUsageError;
        }
        search.format = formats.at(format);
        return RunSearch(search);
    }
    if (*convertCommand) {
        return RunConvert(convertInput, convertOutput);
    }
    return RunInfo(infoInput);
}
