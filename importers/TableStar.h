// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// One star as a table with named columns gives it, at the precision the
// table writes, and its native line written by the same conversion policy as
// the fixed layouts'.
#pragma once

#include <string_view>

#include "ConversionPolicy.h"

namespace lumara::import {

struct TableMagnitude {
    bool present = false;
    Decimal value;          // exact as written
    char limit = ' ';       // '<' or '>' when the value is a limit
    bool uncertain = false; // ':'
    bool amplitude = false; // the value is an amplitude, to add to the maximum
    std::string_view band;  // the passband as written, if a column gives it
};

struct TablePeriod {
    bool present = false;
    Decimal days;           // exact as written when the unit is days
    char mark = ' ';        // '<' or '>' a limit, '(' a mean
    bool uncertain = false; // ':' after the value or among the flags
    std::string_view flags; // the flags as written: ':', '*', "/N", '2', ')'
};

// Everything one data row gives. A row without a position gives none. The
// texts are views into the reader's row, valid while the row handler runs:
// a store that keeps them copies them.
struct TableStar {
    double raDegrees = 0;  // J2000 (ICRS), 0 to below 360
    double decDegrees = 0; // J2000 (ICRS), -90 to 90
    std::string_view name; // full, as written, without the white space around it
    std::string_view type; // full, as written
    TableMagnitude maximum;
    TableMagnitude minimum;
    bool epochPresent = false;
    double epochJd = 0; // a full Julian date, whatever form the table wrote
    bool epochUncertain = false;
    TablePeriod period;
    int durationPercent = -1;   // GCVS's rise time or eclipse duration; -1 for none
    char variabilityFlag = ' '; // VSX's: '0' variable to '3' duplicate; ' ' none
    std::string_view spectralType;
    std::string_view description; // a column of descriptions, as Lumara's own exports have
};

// The source star for the conversion policy. Its name and type point into
// `table`, which must outlive it. False for a position outside the sky.
bool ToSourceStar(const TableStar& table, SourceStar& star);

// Writes the native line for `table` (format::kStoredLineChars + 1 bytes)
// and counts the star and what changed, as ConvertLine does for a fixed
// layout's line, listing each change in `changes` when given; with
// `details`, also what the table gives beyond the line, its texts views into
// the table's row.
bool WriteTableStar(const TableStar& table, char* native, ImportReport& report,
                    StarDetails* details = nullptr, ChangeList* changes = nullptr);

} // namespace lumara::import
