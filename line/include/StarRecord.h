// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// A star as loaded: its stored line and the fields decoded from it. The
// catalogue owns every record; everything else only reads them.
#pragma once

#include <cstdint>

namespace lumara {
struct StarDetails;
}

// One star line of a catalogue file, stored normalised and decoded.
struct StarRecord {
    std::int32_t index;     // position among the file's star lines, from 1
    char line[82];          // the normalised 75-character line
    std::int16_t raHours;   // columns 0-1
    std::int16_t raMinutes; // columns 2-3
    std::int16_t dec;       // columns 4-6, signed whole degrees
    char name[12];          // columns 10-20, right-justified in 11 characters
    char type[9];           // columns 22-29 as they stand
    char range[15];         // columns 32-45 as they stand
    char desc[21];          // columns 55-74 as they stand
    // The catalogue's number for the star's type among the distinct types
    // it holds, for searches by type.
    std::uint16_t typeId;
    double maxMag;    // 0 means the line gives no value
    double minMag;    // 0 means the line gives no value
    double period;    // days; 0 means the line gives no value
    StarRecord* next; // next record in file order
    // What an imported star's source said beyond the line; nullptr for a
    // native line. Owned by the catalogue with the record.
    const lumara::StarDetails* details;
};
