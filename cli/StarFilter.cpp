// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "StarFilter.h"

#include <cstring>

#include "LineFormat.h"

namespace lumara::cli {

StarFilter::StarFilter(const SearchCriteria& searched) : criteria(searched) {
    ApplyCriteria(holder, criteria);
}

bool StarFilter::InPosition(const char* text) const {
    // A star line holds digits and a sign up to here.
    constexpr std::size_t kPositionChars = format::kDecDegreesColumn + 2;
    StarRecord record;
    std::memcpy(record.line, text, kPositionChars);
    CStarCatalog::DecodeRaHours(record);
    CStarCatalog::DecodeDec(record);
    // With the magnitude and period tests off, only the position counts.
    return holder.MatchesCriteria(record, false, false);
}

bool StarFilter::PositionDecides() const {
    return !criteria.noLightCurve && !criteria.useMagnitude && !criteria.usePeriod;
}

void StarFilter::DecodeTestedFields(StarRecord& record) {
    CStarCatalog::DecodeRaHours(record);
    CStarCatalog::DecodeDec(record);
    CStarCatalog::DecodeMaxMag(record);
    CStarCatalog::DecodeMinMag(record);
    CStarCatalog::DecodePeriod(record);
}

bool StarFilter::Matches(const StarRecord& record) const {
    return criteria.noLightCurve
               ? holder.MatchesNoLightCurve(record)
               : holder.MatchesCriteria(record, criteria.useMagnitude, criteria.usePeriod);
}

} // namespace lumara::cli
