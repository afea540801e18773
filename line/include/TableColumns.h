// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The columns of the tables written from star records, in their order. The
// CSV header, the VOTable's fields and both row writers are made from this
// one list.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace lumara::table {

// What a column shows of a star record.
enum class Field {
    RaHours,
    RaMinutes,
    Dec,
    Name,
    Type,
    Range,
    Description,
    MaxMag,
    MinMag,
    Period
};

struct Column {
    Field field;
    std::string_view csvName;
    // The VOTable FIELD: its name, datatype, unit and UCD (empty when none)
    // and a description (empty when the name says it all).
    std::string_view voName;
    std::string_view voDatatype;
    std::string_view unit;
    std::string_view ucd;
    std::string_view description;
};

inline constexpr std::array<Column, 10> kColumns = {{
    {Field::RaHours, "Hr", "RAh", "short", "h", "pos.eq.ra;meta.main", "Right ascension, hours"},
    {Field::RaMinutes, "Min", "RAm", "short", "min", "pos.eq.ra", "Right ascension, minutes"},
    {Field::Dec, "Deg", "DEd", "short", "deg", "pos.eq.dec;meta.main",
     "Declination, whole degrees"},
    {Field::Name, "Name", "Name", "char", "", "meta.id;meta.main", ""},
    {Field::Type, "Type", "Type", "char", "", "meta.code.class", "Variability type"},
    {Field::Range, "Range", "Range", "char", "", "", "Magnitude range as the catalogue gives it"},
    {Field::Description, "Desc", "Desc", "char", "", "meta.note", ""},
    {Field::MaxMag, "Max", "MaxMag", "double", "mag", "phot.mag;stat.max",
     "Maximum (brightest) magnitude"},
    {Field::MinMag, "Min", "MinMag", "double", "mag", "phot.mag;stat.min",
     "Minimum (faintest) magnitude"},
    {Field::Period, "Period", "Period", "double", "d", "time.period", ""},
}};

inline constexpr std::size_t kColumnCount = kColumns.size();

} // namespace lumara::table
