// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "StarFilter.h"

namespace lumara::cli {

StarFilter::StarFilter(const SearchCriteria& searched) : criteria(searched) {
    ApplyCriteria(holder, criteria);
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
