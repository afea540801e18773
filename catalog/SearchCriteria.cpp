// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "SearchCriteria.h"

#include "LineFormat.h"
#include "StarCatalog.h"
#include "StarDetails.h"
#include "StarRecord.h"
#include "Tonight.h"

namespace lumara {

namespace {

bool InMagnitudePair(CriteriaField field) {
    return field == CriteriaField::MagMax || field == CriteriaField::MagMin;
}

bool InPeriodPair(CriteriaField field) {
    return field == CriteriaField::PeriodLeast || field == CriteriaField::PeriodMost;
}

bool Allows(const FieldRange& range, double value) {
    const bool aboveMin = range.minIncluded ? value >= range.min : value > range.min;
    return aboveMin && value <= range.max;
}

// The open end stands beyond the range a user may type.
bool IsOpenEnd(CriteriaField field, double value) {
    return field == CriteriaField::PeriodMost && value == kNoMostPeriod;
}

// Each field on its own, and each pair once both of its fields are read.
struct CheckStep {
    CriteriaField field;
    bool againstPartner;
};
constexpr CheckStep kCheckOrder[] = {
    {CriteriaField::RaWest, false},     {CriteriaField::RaEast, false},
    {CriteriaField::DecSouth, false},   {CriteriaField::DecNorth, false},
    {CriteriaField::DecSouth, true},    {CriteriaField::MagMax, false},
    {CriteriaField::MagMin, false},     {CriteriaField::PeriodLeast, false},
    {CriteriaField::PeriodMost, false}, {CriteriaField::PeriodLeast, true},
};

} // namespace

bool IsInUse(const SearchCriteria& criteria, CriteriaField field) {
    if (InMagnitudePair(field)) {
        return criteria.useMagnitude && !criteria.noLightCurve;
    }
    if (InPeriodPair(field)) {
        return criteria.usePeriod && !criteria.noLightCurve;
    }
    return true;
}

double ValueOf(const SearchCriteria& criteria, CriteriaField field) {
    switch (field) {
    case CriteriaField::RaWest:
        return criteria.raWest;
    case CriteriaField::RaEast:
        return criteria.raEast;
    case CriteriaField::DecSouth:
        return criteria.decSouth;
    case CriteriaField::DecNorth:
        return criteria.decNorth;
    case CriteriaField::MagMax:
        return criteria.magMax;
    case CriteriaField::MagMin:
        return criteria.magMin;
    case CriteriaField::PeriodLeast:
        return criteria.periodLeast;
    case CriteriaField::PeriodMost:
        return criteria.periodMost;
    }
    return 0.0;
}

FieldRange RangeOf(CriteriaField field) {
    switch (field) {
    case CriteriaField::RaWest:
    case CriteriaField::RaEast:
        return {kFirstRaHour, kLastRaHour, true, true};
    case CriteriaField::DecSouth:
    case CriteriaField::DecNorth:
        return {kSouthPole, kNorthPole, true, true};
    case CriteriaField::MagMax:
    case CriteriaField::MagMin:
        return {kLowestMagnitudeLimit, kHighestMagnitudeLimit, true, false};
    case CriteriaField::PeriodLeast:
        return {kShortestPeriod, kLongestPeriod, true, false};
    case CriteriaField::PeriodMost:
        // The catalogue takes no most period of 0.
        return {kShortestPeriod, kLongestPeriod, false, false};
    }
    return {0.0, 0.0, true, false};
}

FieldRange RangeBelowPartner(const SearchCriteria& criteria, CriteriaField field) {
    FieldRange range = RangeOf(field);
    if (field == CriteriaField::DecSouth) {
        range.max = criteria.decNorth;
    } else if (field == CriteriaField::PeriodLeast) {
        range.max = criteria.periodMost;
    }
    return range;
}

std::optional<CriteriaFault> CheckCriteria(const SearchCriteria& criteria) {
    for (const CheckStep& step : kCheckOrder) {
        if (!IsInUse(criteria, step.field)) {
            continue;
        }
        const FieldRange allowed =
            step.againstPartner ? RangeBelowPartner(criteria, step.field) : RangeOf(step.field);
        const double value = ValueOf(criteria, step.field);
        if (!IsOpenEnd(step.field, value) && !Allows(allowed, value)) {
            return CriteriaFault{step.field, allowed, step.againstPartner};
        }
    }
    return std::nullopt;
}

bool InPosition(const SearchCriteria& criteria, const StarRecord& record) {
    const std::int16_t hour = record.raHours;
    const bool insideRa = criteria.raWest <= criteria.raEast
                              ? hour >= criteria.raWest && hour <= criteria.raEast
                              : hour >= criteria.raWest || hour <= criteria.raEast;
    return insideRa && record.dec >= criteria.decSouth && record.dec <= criteria.decNorth;
}

bool HasTypeCriterion(const SearchCriteria& criteria) {
    return criteria.families != 0 || criteria.types.has_value();
}

bool MatchesType(const SearchCriteria& criteria, std::string_view type, FamilyMask families) {
    return !HasTypeCriterion(criteria) || (criteria.families & families) != 0 ||
           (criteria.types && criteria.types->Matches(type));
}

namespace {

bool MatchesLightCurve(const SearchCriteria& criteria, const StarRecord& record) {
    if (criteria.noLightCurve) {
        return record.maxMag == 0.0 && record.minMag == 0.0 && record.period == 0.0;
    }
    // The float limits are widened exactly to double.
    if (criteria.useMagnitude) {
        const bool brightEnough = record.maxMag != 0.0 && record.maxMag <= double{criteria.magMax};
        const bool faintEnough = record.minMag == 0.0 || record.minMag >= double{criteria.magMin};
        if (!brightEnough || !faintEnough) {
            return false;
        }
    }
    if (criteria.usePeriod) {
        if (record.period == 0.0 || record.period < criteria.periodLeast ||
            record.period > criteria.periodMost) {
            return false;
        }
    }
    return true;
}

// A native line's name, or also the source's for an imported star.
bool MatchesName(const NameMatcher& name, const StarRecord& record) {
    return name.Matches(std::string_view(record.name, format::kNameChars)) ||
           (record.details != nullptr && name.Matches(record.details->name));
}

bool MatchesTypeOf(const SearchCriteria& criteria, const StarRecord& record,
                   const TypeVerdicts* verdicts) {
    if (!HasTypeCriterion(criteria)) {
        return true;
    }
    if (verdicts != nullptr && record.typeId < verdicts->size()) {
        return (*verdicts)[record.typeId];
    }
    const std::string_view type = FullTypeOf(record);
    return MatchesType(criteria, type, FamiliesOf(type));
}

} // namespace

// The cheap tests first: most stars fail the position or the light curve.
bool Matches(const SearchCriteria& criteria, const StarRecord& record,
             const TypeVerdicts* verdicts) {
    return InPosition(criteria, record) && MatchesLightCurve(criteria, record) &&
           MatchesTypeOf(criteria, record, verdicts) &&
           (!criteria.name || MatchesName(*criteria.name, record)) &&
           (!criteria.tonight || !criteria.observableTonight ||
            IsObservableTonight(*criteria.tonight, record)) &&
           (!criteria.tonight || !criteria.eventTonight ||
            HasEventTonight(*criteria.tonight, record));
}

bool PositionDecides(const SearchCriteria& criteria) {
    return !criteria.noLightCurve && !criteria.useMagnitude && !criteria.usePeriod &&
           !HasTypeCriterion(criteria) && !criteria.name && !criteria.tonight;
}

void ApplyCriteria(CStarCatalog& catalog, const SearchCriteria& criteria) {
    catalog.SetCriteria(criteria);
}

std::int32_t SearchWith(CStarCatalog& catalog, const SearchCriteria& criteria) {
    return catalog.Search(criteria);
}

} // namespace lumara
