// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// Which column of a table gives what: found by the names VSX, GCVS, VizieR
// and common tools use (in any case), and in a VOTable also by UCD.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace lumara::import {

enum class ColumnRole : unsigned char {
    // A position in one column each, decimal or sexagesimal ...
    Ra,
    Dec,
    // ... or split into columns.
    RaHours,
    RaMinutes,
    RaSeconds,
    DecSign,
    DecDegrees,
    DecMinutes,
    DecSeconds,
    Name,
    Type,
    Max,
    MaxLimit,
    MaxUncertain,
    MaxBand,
    Min,
    MinLimit,
    MinUncertain,
    MinBand,
    MinAmplitude,
    Range, // a magnitude range as one text, as Lumara's own exports write it
    Epoch,
    EpochUncertain,
    Period,
    PeriodMark,
    PeriodFlags,
    Duration,
    VariabilityFlag,
    SpectralType,
    Description,
    None
};

inline constexpr std::size_t kColumnRoles = static_cast<std::size_t>(ColumnRole::None);

// What a table says of one column. Units and UCDs may be empty.
struct ColumnHeading {
    std::string name;
    std::string unit;
    std::string ucd;
};

enum class PositionForm { None, OneColumnEach, Split };

// How the units of a table's columns are read.
enum class RaUnit { Degrees, Hours };
enum class EpochForm { Julian, Modified }; // a full JD or JD - 2400000, told by size; or MJD

class NamedColumns {
public:
    // Finds the columns among `headings`. A name always wins over a UCD, and
    // of two names the one earlier in the list of names for a role.
    void Assign(const std::vector<ColumnHeading>& headings);

    std::size_t Count() const { return roles.size(); }
    ColumnRole RoleOf(std::size_t column) const {
        return column < roles.size() ? roles[column] : ColumnRole::None;
    }
    bool Has(ColumnRole role) const { return columnOf[Index(role)] != kAbsent; }
    PositionForm Position() const { return position; }
    // Why a table with position columns cannot be read ("" when it can): a
    // position in units other than degrees or hours.
    const std::string& PositionProblem() const { return positionProblem; }

    RaUnit RaIn() const { return raUnit; }
    EpochForm EpochIn() const { return epochForm; }
    // Days per unit of the period column; 0 for a unit that is not read.
    double PeriodDaysPerUnit() const { return periodDaysPerUnit; }

    // The columns used, for the user: "positions from RAJ2000/DEJ2000,
    // names from Name, magnitudes from max/min, periods from Period".
    std::string Describe() const;
    // The names looked for when a table has no position.
    static std::string PositionNames();

private:
    static constexpr std::size_t kAbsent = static_cast<std::size_t>(-1);
    static std::size_t Index(ColumnRole role) { return static_cast<std::size_t>(role); }
    const std::string& NameOf(ColumnRole role) const { return names[columnOf[Index(role)]]; }
    void ReadUnits(const std::vector<ColumnHeading>& headings);
    std::string Names(std::initializer_list<ColumnRole> list) const;

    std::vector<ColumnRole> roles;
    std::vector<std::string> names;
    std::size_t columnOf[kColumnRoles] = {};
    PositionForm position = PositionForm::None;
    std::string positionProblem;
    RaUnit raUnit = RaUnit::Degrees;
    EpochForm epochForm = EpochForm::Julian;
    double periodDaysPerUnit = 1;
    std::string periodUnit;
};

} // namespace lumara::import
