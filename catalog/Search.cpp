// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <limits>

#include "SearchCriteria.h"
#include "StarCatalog.h"

namespace {

using lumara::kFirstRaHour;
using lumara::kLastRaHour;
using lumara::kNorthPole;
using lumara::kSouthPole;

// Half an ulp above the largest float: from here on the nearest float is
// infinity, and a plain conversion would be undefined.
constexpr double kFloatOverflow = 0x1.ffffffp127;

float NearestFloat(double x) {
    return x >= kFloatOverflow ? std::numeric_limits<float>::infinity() : static_cast<float>(x);
}

constexpr bool IsHour(std::int16_t v) {
    return v >= kFirstRaHour && v <= kLastRaHour;
}
constexpr bool IsDegree(std::int16_t v) {
    return v >= kSouthPole && v <= kNorthPole;
}

// Whole hours only: a start above the end wraps through 0h.
bool InsidePosition(const StarRecord& record, std::int16_t raFrom, std::int16_t raTo,
                    std::int16_t decSouth, std::int16_t decNorth) {
    const std::int16_t hour = record.raHours;
    const bool insideRa =
        raFrom <= raTo ? hour >= raFrom && hour <= raTo : hour >= raFrom || hour <= raTo;
    return insideRa && record.dec >= decSouth && record.dec <= decNorth;
}

} // namespace

void CStarCatalog::SetRaFrom(std::int16_t v) {
    if (IsHour(v)) {
        raFrom = v;
    }
}

void CStarCatalog::SetRaTo(std::int16_t v) {
    if (IsHour(v)) {
        raTo = v;
    }
}

void CStarCatalog::SetDecSouth(std::int16_t v) {
    if (IsDegree(v) && v <= decNorth) {
        decSouth = v;
    }
}

void CStarCatalog::SetDecNorth(std::int16_t v) {
    if (IsDegree(v) && v >= decSouth) {
        decNorth = v;
    }
}

// Every comparison with a NaN is false, so the double setters refuse it.
void CStarCatalog::SetPeriodLeast(double x) {
    if (x >= 0.0 && x <= periodMost) {
        periodLeast = x;
    }
}

void CStarCatalog::SetPeriodMost(double x) {
    if (x > 0.0 && x >= periodLeast) {
        periodMost = x;
    }
}

void CStarCatalog::SetMinMagLimit(double x) {
    if (x >= 0.0) {
        minMagLimit = NearestFloat(x);
    }
}

void CStarCatalog::SetMaxMagLimit(double x) {
    if (x >= 0.0) {
        maxMagLimit = NearestFloat(x);
    }
}

bool CStarCatalog::MatchesCriteria(const StarRecord& record, bool useMagnitude,
                                   bool usePeriod) const {
    if (!InsidePosition(record, raFrom, raTo, decSouth, decNorth)) {
        return false;
    }
    // The limits are widened exactly to double and compared without
    // tolerance; 0 in a record means the line gives no value.
    if (useMagnitude) {
        const bool brightEnough = record.maxMag != 0.0 && record.maxMag <= double{maxMagLimit};
        const bool faintEnough = record.minMag == 0.0 || record.minMag >= double{minMagLimit};
        if (!brightEnough || !faintEnough) {
            return false;
        }
    }
    if (usePeriod) {
        if (record.period == 0.0 || record.period < periodLeast || record.period > periodMost) {
            return false;
        }
    }
    return true;
}

bool CStarCatalog::MatchesNoLightCurve(const StarRecord& record) const {
    return InsidePosition(record, raFrom, raTo, decSouth, decNorth) && record.maxMag == 0.0 &&
           record.minMag == 0.0 && record.period == 0.0;
}

template <typename Predicate> std::int32_t CStarCatalog::BuildResults(Predicate matches) {
    FreeResults();
    for (StarRecord* record = records; record != nullptr; record = record->next) {
        if (matches(*record) && !AppendResult(*record)) {
            FreeResults();
            return -1;
        }
    }
    StartResultWalk();
    return last != nullptr ? last->number : 0;
}

void CStarCatalog::ListAll() {
    if (loaded) {
        BuildResults([](const StarRecord&) { return true; });
    }
}

std::int32_t CStarCatalog::Search(bool byCriteria, bool useMagnitude, bool usePeriod) {
    if (!loaded) {
        return -1;
    }
    const std::int32_t count =
        byCriteria
            ? BuildResults([&](const StarRecord& record) {
                  return MatchesCriteria(record, useMagnitude, usePeriod);
              })
            : BuildResults([&](const StarRecord& record) { return MatchesNoLightCurve(record); });
    criteriaMode = count > 0 && byCriteria;
    return count;
}
