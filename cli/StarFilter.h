// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The window's test of one star against a set of criteria, for stars that
// stream past rather than sit in a loaded catalogue.
#pragma once

#include "SearchCriteria.h"
#include "StarCatalog.h"

namespace lumara::cli {

class StarFilter {
public:
    // The criteria must have passed CheckCriteria.
    explicit StarFilter(const SearchCriteria& criteria);

    // Whether the star line `text` lies inside the R.A. range and the
    // declination band. Read from the line's first columns alone, so that
    // the many stars elsewhere in the sky cost little; a star outside
    // never matches.
    bool InPosition(const char* text) const;
    // True when nothing but the position is tested, so that InPosition
    // alone decides.
    bool PositionDecides() const;
    // Decodes what the test reads from the record's stored line.
    static void DecodeTestedFields(StarRecord& record);
    // The test the catalogue's Search applies to each of its records.
    bool Matches(const StarRecord& record) const;

private:
    SearchCriteria criteria;
    // Holds no stars: only the criteria, applied as the window applies them,
    // and the predicates that read them.
    CStarCatalog holder;
};

} // namespace lumara::cli
