// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "NamedColumns.h"

#include <erfam.h>

#include <algorithm>
#include <iterator>
#include <string_view>

namespace lumara::import {

namespace {

struct RoleWord {
    std::string_view word; // lower case
    ColumnRole role;
};

using enum ColumnRole;

// The names of each role, compared without regard to case. For a role that
// several columns could fill, the earlier name wins: a catalogue's own
// position before one VizieR computed, VizieR's before a tool's.
constexpr RoleWord kNames[] = {
    {"raj2000", Ra},
    {"_raj2000", Ra},
    {"radeg", Ra},
    {"ra_icrs", Ra},
    {"_ra_icrs", Ra},
    {"ra", Ra},
    {"ra_deg", Ra},
    {"ra_j2000", Ra},
    {"dej2000", Dec},
    {"_dej2000", Dec},
    {"dedeg", Dec},
    {"de_icrs", Dec},
    {"dec_icrs", Dec},
    {"_de_icrs", Dec},
    {"dec", Dec},
    {"de", Dec},
    {"dec_deg", Dec},
    {"decdeg", Dec},
    {"dec_j2000", Dec},
    {"rah", RaHours},
    {"hr", RaHours},
    {"ram", RaMinutes},
    {"ras", RaSeconds},
    {"de-", DecSign},
    {"ded", DecDegrees},
    {"deg", DecDegrees},
    {"dem", DecMinutes},
    {"des", DecSeconds},
    {"name", Name},
    {"gcvs", Name},
    {"vsx", Name},
    {"designation", Name},
    {"main_id", Name},
    {"star", Name},
    {"id", Name},
    {"type", Type},
    {"vartype", Type},
    {"var_type", Type},
    {"max", Max},
    {"magmax", Max},
    {"maxmag", Max},
    {"mag_max", Max},
    {"l_max", MaxLimit},
    {"l_magmax", MaxLimit},
    {"limitflagonmax", MaxLimit},
    {"u_max", MaxUncertain},
    {"u_magmax", MaxUncertain},
    {"maxuncertaintyflag", MaxUncertain},
    {"n_max", MaxBand},
    {"n_magmax", MaxBand},
    {"maxpassband", MaxBand},
    {"min", Min},
    {"magmin", Min},
    {"minmag", Min},
    {"mag_min", Min},
    {"l_min", MinLimit},
    {"l_magmin", MinLimit},
    {"limitflagonmin", MinLimit},
    {"u_min", MinUncertain},
    {"u_magmin", MinUncertain},
    {"minuncertaintyflag", MinUncertain},
    {"n_min", MinBand},
    {"n_magmin", MinBand},
    {"minpassband", MinBand},
    {"f_min", MinAmplitude},
    {"f_magmin", MinAmplitude},
    {"minisamplitude", MinAmplitude},
    {"range", Range},
    {"epoch", Epoch},
    {"hjd", Epoch},
    {"jd", Epoch},
    {"mjd", Epoch},
    {"u_epoch", EpochUncertain},
    {"epochuncertaintyflag", EpochUncertain},
    {"period", Period},
    {"per", Period},
    {"p", Period},
    {"l_period", PeriodMark},
    {"limitflagonperiod", PeriodMark},
    {"u_period", PeriodFlags},
    {"perioduncertaintyflag", PeriodFlags},
    {"m-m/d", Duration},
    {"mmd", Duration},
    {"v", VariabilityFlag},
    {"varflag", VariabilityFlag},
    {"sptype", SpectralType},
    {"spectraltype", SpectralType},
    {"sp", SpectralType},
    {"desc", Description},
};

// UCDs (IVOA UCD1+, and the UCD1 words of older VOTables), for columns
// whose name says nothing.
constexpr RoleWord kUcds[] = {
    {"pos.eq.ra;meta.main", Ra},
    {"pos_eq_ra_main", Ra},
    {"pos.eq.ra", Ra},
    {"pos.eq.dec;meta.main", Dec},
    {"pos_eq_dec_main", Dec},
    {"pos.eq.dec", Dec},
    {"meta.id;meta.main", Name},
    {"id_main", Name},
    {"src.var.type", Type},
    {"meta.code.class", Type},
    {"phot.mag;stat.max", Max},
    {"phot.mag;stat.min", Min},
    {"time.period", Period},
    {"src.var;time.period", Period},
    {"time.period;src.var", Period},
    {"time.epoch", Epoch},
    {"time.epoch;src.var", Epoch},
};

// The R.A. minutes of a table that has an `Hr` column are called `Min`, as
// the minimum magnitude is: the first `Min` after `Hr` is the minutes.
constexpr std::string_view kAmbiguousMinutes = "min";

struct UnitFactor {
    std::string_view unit;
    double daysPerUnit;
};

constexpr UnitFactor kPeriodUnits[] = {
    {"", 1},
    {"d", 1},
    {"day", 1},
    {"days", 1},
    {"h", 1 / 24.0},
    {"hr", 1 / 24.0},
    {"hour", 1 / 24.0},
    {"hours", 1 / 24.0},
    {"min", 60 / ERFA_DAYSEC},
    {"s", 1 / ERFA_DAYSEC},
    {"yr", ERFA_DJY},
    {"a", ERFA_DJY},
    {"year", ERFA_DJY},
};

constexpr std::string_view kRaDegreeUnits[] = {"", "deg", "degree", "degrees", "h:m:s"};
constexpr std::string_view kRaHourUnits[] = {"h", "hour", "hours", "hr"};
constexpr std::string_view kDecUnits[] = {"", "deg", "degree", "degrees", "d:m:s"};
constexpr std::string_view kModifiedJd = "mjd";

// Lower case, without white space and the quotes VizieR writes around
// sexagesimal units ("h:m:s").
std::string Folded(std::string_view text) {
    std::string folded;
    for (const char c : text) {
        if (c != ' ' && c != '\t' && c != '"') {
            folded += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        }
    }
    return folded;
}

template <std::size_t N> std::size_t Find(const RoleWord (&words)[N], std::string_view word) {
    const auto match = std::find_if(std::begin(words), std::end(words),
                                    [&](const RoleWord& w) { return w.word == word; });
    return static_cast<std::size_t>(match - std::begin(words));
}

template <std::size_t N> bool IsOneOf(const std::string_view (&words)[N], std::string_view word) {
    return std::find(std::begin(words), std::end(words), word) != std::end(words);
}

} // namespace

void NamedColumns::Assign(const std::vector<ColumnHeading>& headings) {
    roles.assign(headings.size(), None);
    names.clear();
    std::fill(std::begin(columnOf), std::end(columnOf), kAbsent);
    // The rank of the word that placed each role's column; UCDs rank after
    // every name.
    std::size_t rank[kColumnRoles];
    std::fill(std::begin(rank), std::end(rank), kAbsent);
    for (std::size_t column = 0; column < headings.size(); ++column) {
        const std::string name = Folded(headings[column].name);
        names.push_back(headings[column].name);
        std::size_t word = Find(kNames, name);
        ColumnRole role = word < std::size(kNames) ? kNames[word].role : None;
        if (name == kAmbiguousMinutes && Has(RaHours) && !Has(RaMinutes)) {
            role = RaMinutes;
            word = 0;
        }
        if (role == None) {
            const std::size_t ucd = Find(kUcds, Folded(headings[column].ucd));
            role = ucd < std::size(kUcds) ? kUcds[ucd].role : None;
            word = std::size(kNames) + ucd;
        }
        if (role != None && word < rank[Index(role)]) {
            if (Has(role)) {
                roles[columnOf[Index(role)]] = None;
            }
            rank[Index(role)] = word;
            columnOf[Index(role)] = column;
            roles[column] = role;
        }
    }
    position = Has(Ra) && Has(Dec)               ? PositionForm::OneColumnEach
               : Has(RaHours) && Has(DecDegrees) ? PositionForm::Split
                                                 : PositionForm::None;
    ReadUnits(headings);
}

void NamedColumns::ReadUnits(const std::vector<ColumnHeading>& headings) {
    positionProblem.clear();
    raUnit = RaUnit::Degrees;
    if (position == PositionForm::OneColumnEach) {
        const std::string ra = Folded(headings[columnOf[Index(Ra)]].unit);
        const std::string dec = Folded(headings[columnOf[Index(Dec)]].unit);
        raUnit = IsOneOf(kRaHourUnits, ra) ? RaUnit::Hours : RaUnit::Degrees;
        if (raUnit == RaUnit::Degrees && !IsOneOf(kRaDegreeUnits, ra)) {
            positionProblem =
                "the R.A. column " + NameOf(Ra) + " is in " + ra + ", not in degrees or hours";
        } else if (!IsOneOf(kDecUnits, dec)) {
            positionProblem =
                "the declination column " + NameOf(Dec) + " is in " + dec + ", not in degrees";
        }
    }
    epochForm = EpochForm::Julian;
    if (Has(Epoch)) {
        const ColumnHeading& epoch = headings[columnOf[Index(Epoch)]];
        const bool modified = Folded(epoch.unit).find(kModifiedJd) != std::string::npos ||
                              Folded(epoch.name).find(kModifiedJd) != std::string::npos;
        epochForm = modified ? EpochForm::Modified : EpochForm::Julian;
    }
    periodDaysPerUnit = 1;
    periodUnit.clear();
    if (Has(Period)) {
        periodUnit = Folded(headings[columnOf[Index(Period)]].unit);
        const auto factor = std::find_if(std::begin(kPeriodUnits), std::end(kPeriodUnits),
                                         [&](const UnitFactor& u) { return u.unit == periodUnit; });
        periodDaysPerUnit = factor != std::end(kPeriodUnits) ? factor->daysPerUnit : 0;
    }
}

std::string NamedColumns::Names(std::initializer_list<ColumnRole> list) const {
    std::string text;
    for (const ColumnRole role : list) {
        if (Has(role)) {
            text += (text.empty() ? "" : "/") + NameOf(role);
        }
    }
    return text;
}

std::string NamedColumns::Describe() const {
    std::string text =
        "positions from " +
        (position == PositionForm::Split
             ? Names({RaHours, RaMinutes, RaSeconds, DecSign, DecDegrees, DecMinutes, DecSeconds})
             : Names({Ra, Dec}));
    text += Has(Name) ? ", names from " + NameOf(Name)
                      : ", no name column (looked for Name, GCVS, VSX, designation, main_id, "
                        "star, ID or the UCD meta.id;meta.main)";
    if (Has(Type)) {
        text += ", types from " + NameOf(Type);
    }
    if (Has(Range)) {
        text += ", magnitudes from " + NameOf(Range);
    } else if (Has(Max) || Has(Min)) {
        text += ", magnitudes from " + Names({Max, Min});
    }
    if (Has(Period)) {
        text += periodDaysPerUnit != 0
                    ? ", periods from " + NameOf(Period)
                    : ", periods not read (" + NameOf(Period) + " is in " + periodUnit +
                          ", not in days, hours, minutes, seconds or years)";
    }
    if (Has(Epoch)) {
        text += ", epochs from " + NameOf(Epoch);
    }
    return text;
}

std::string NamedColumns::PositionNames() {
    return "RAJ2000/DEJ2000, _RAJ2000/_DEJ2000, RAdeg/DEdeg, RA_ICRS/DE_ICRS, ra/dec, "
           "RAh/RAm/RAs with DE-/DEd/DEm/DEs, Hr/Min/Deg, or the UCDs pos.eq.ra;meta.main and "
           "pos.eq.dec;meta.main";
}

} // namespace lumara::import
