// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "TableStar.h"

#include <cmath>

#include "SourceLayouts.h"

namespace lumara::import {

namespace {

constexpr auto kUnitsPerDegree = static_cast<double>(kPlacedUnitsPerDegree);
// Far beyond the sky and well within 64 bits: below it a count of units
// converts to an integer safely, and PlaceDegrees tells whether it is on the
// sky.
constexpr double kConvertibleUnits = 1e12;

Field FieldOf(std::string_view text) {
    return {text.data(), text.size()};
}

SourceMagnitude ToSourceMagnitude(const TableMagnitude& magnitude) {
    SourceMagnitude source;
    source.present = magnitude.present;
    source.value = magnitude.value;
    source.limit = magnitude.limit;
    source.uncertain = magnitude.uncertain;
    source.amplitude = magnitude.amplitude;
    return source;
}

// A description column as written; else, where the row gives VSX's
// variability flag, VSX's passband and flag; else the spectral type, as
// GCVS's; else the passband.
void Describe(const TableStar& table, SourceStar& star) {
    const bool flagged = table.variabilityFlag >= '0' && table.variabilityFlag <= kVsxLastFlag;
    if (!table.description.empty()) {
        SetDescription(FieldOf(table.description), star);
    } else if (flagged || table.spectralType.empty()) {
        DescribeVsxStar(FieldOf(table.maximum.band), FieldOf(table.minimum.band),
                        flagged ? table.variabilityFlag : '0', star);
    } else {
        SetDescription(FieldOf(table.spectralType), star);
    }
}

} // namespace

bool ToSourceStar(const TableStar& table, SourceStar& star) {
    // Units of 1e-5 degree hold every quarter degree (one minute of R.A.)
    // exactly, so the truncation falls where the decimal one does.
    const double ra = std::floor(table.raDegrees * kUnitsPerDegree);
    const double dec = std::trunc(std::fabs(table.decDegrees) * kUnitsPerDegree);
    if (!(std::fabs(ra) < kConvertibleUnits && dec < kConvertibleUnits) ||
        !PlaceDegrees(static_cast<std::int64_t>(ra), static_cast<std::int64_t>(dec),
                      table.decDegrees < 0, star)) {
        return false;
    }
    star.name = FieldOf(table.name);
    star.type = FieldOf(table.type);
    star.maximum = ToSourceMagnitude(table.maximum);
    star.minimum = ToSourceMagnitude(table.minimum);
    star.periodPresent = table.period.present;
    star.period = table.period.days;
    // The list of changes shows what the table wrote beside the period: its
    // flags, or the mark before it.
    const bool periodMarked =
        table.period.present && (table.period.mark != ' ' || table.period.uncertain);
    star.markedValue = !periodMarked                 ? Field{}
                       : !table.period.flags.empty() ? FieldOf(table.period.flags)
                                                     : Field{&table.period.mark, 1};
    Describe(table, star);
    // Kept beside the line at the table's own precision.
    star.raDeg = table.raDegrees;
    star.decDeg = table.decDegrees;
    star.epochJd = table.epochPresent ? table.epochJd : 0.0;
    star.periodLimit = table.period.mark;
    star.periodUncertain = table.period.uncertain;
    KeepPeriodNote(FieldOf(table.period.flags), star);
    star.durationPercent = table.durationPercent;
    return true;
}

bool WriteTableStar(const TableStar& table, char* native, ImportReport& report,
                    StarDetails* details, ChangeList* changes) {
    SourceStar star;
    if (!ToSourceStar(table, star)) {
        report.Count(SkipReason::BrokenNumber);
        return false;
    }
    if (!WriteNativeLine(star, native, report, changes)) {
        return false;
    }
    if (details != nullptr) {
        DescribeSource(star, *details);
    }
    return true;
}

} // namespace lumara::import
