// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What a search asks for: the eight limits and the three switches, as one
// value, and the one test of a star against it. The limits a user may give,
// the rule that ties each pair together and the test live here, so that the
// catalogue, the window and the command line check and match alike.
#pragma once

#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "NameMatch.h"
#include "TypeMatch.h"

class CStarCatalog;
struct StarRecord;

namespace lumara {
struct TonightContext;
}

namespace lumara {

inline constexpr std::int16_t kFirstRaHour = 0;
inline constexpr std::int16_t kLastRaHour = 23;
inline constexpr std::int16_t kSouthPole = -90;
inline constexpr std::int16_t kNorthPole = 90;
// A catalogue line holds two digits of whole magnitudes.
inline constexpr float kLowestMagnitudeLimit = 0.0f;
inline constexpr float kHighestMagnitudeLimit = 99.0f;
// Days; a most period must lie above the shortest.
inline constexpr double kShortestPeriod = 0.0;
inline constexpr double kLongestPeriod = 100000.0;
// A most period that leaves the period test open above: every period
// passes, also one beyond kLongestPeriod that a line holds in thousands.
// The catalogue's setter refuses it; the command line's open end uses it.
inline constexpr double kNoMostPeriod = std::numeric_limits<double>::infinity();

// The fields in the order a user reads them, which is the order they are
// checked in.
enum class CriteriaField {
    RaWest,
    RaEast,
    DecSouth,
    DecNorth,
    MagMax,
    MagMin,
    PeriodLeast,
    PeriodMost,
};

// The values a field may take: min to max, min itself only when
// minIncluded.
struct FieldRange {
    double min;
    double max;
    bool minIncluded;
    bool integral;
};

// Starts as the search window does; the command line starts the same way.
struct SearchCriteria {
    std::int16_t raWest = 0; // first R.A. hour; above raEast the range wraps through 0h
    std::int16_t raEast = 23;
    std::int16_t decSouth = -90;
    std::int16_t decNorth = 90;
    float magMax = 6.0f; // a star's maximum magnitude must not lie above it
    float magMin = 0.0f; // a star's minimum magnitude must not lie below it
    double periodLeast = 0.0;
    double periodMost = 1000.0;
    bool useMagnitude = true;
    bool usePeriod = true;
    bool noLightCurve = false;

    // The variability type: the families picked and the patterns given; a
    // star matches when its type is in a family or matches a pattern. No
    // test when neither is given.
    FamilyMask families = 0;
    std::optional<TypeMatcher> types{};
    // The name: the native line's or, for an imported star, the source's.
    std::optional<NameMatcher> name{};
    // The night the two tests below read; neither is made without one.
    std::shared_ptr<const TonightContext> tonight{};
    // "Observable tonight": the star's longest stretch at or above the
    // night's minimum altitude in the dark lasts at least its minimum time.
    bool observableTonight = true;
    // "With a minimum or maximum tonight": the star has one while it is up
    // in the dark on the first of the night's event nights.
    bool eventTonight = false;
};

// The values a new catalogue holds before it is given any.
inline const SearchCriteria kCatalogueSeedCriteria{
    .magMax = 7.0f, .magMin = 6.0f, .periodMost = 10000.0};

// The window's first values.
inline const SearchCriteria kWindowCriteria{};

// What a search decides once per distinct type rather than once per star:
// whether each type of a catalogue's type table passes the type criterion,
// by type id (see TypeTable.h).
using TypeVerdicts = std::vector<bool>;

// Whether a type, as the star's source or line gives it, passes the type
// criterion; true when there is none.
bool MatchesType(const SearchCriteria& criteria, std::string_view type, FamilyMask families);
bool HasTypeCriterion(const SearchCriteria& criteria);

// Whether the star lies inside the R.A. hours (a first hour above the last
// wraps through 0h) and the declination band.
bool InPosition(const SearchCriteria& criteria, const StarRecord& record);
// Whether the star meets the criteria: inside the position criteria, and
// either passing the magnitude and period tests switched on, or, in a search
// for stars without a light curve, giving no magnitudes and no period. The
// limits are compared without tolerance; 0 in a record means the line gives
// no value.
// The type is looked up in `verdicts` by the record's type id when given
// one; the criteria's other tests are decided for the star alone.
bool Matches(const SearchCriteria& criteria, const StarRecord& record,
             const TypeVerdicts* verdicts = nullptr);
// Whether the position alone decides Matches.
bool PositionDecides(const SearchCriteria& criteria);

// A field the search does not read: a pair whose test is switched off, and
// both light-curve pairs in a search for stars without a light curve.
bool IsInUse(const SearchCriteria& criteria, CriteriaField field);

double ValueOf(const SearchCriteria& criteria, CriteriaField field);

// The values a field may take on its own.
FieldRange RangeOf(CriteriaField field);

// For the lower field of a pair (South, Least): the values it may take below
// its partner's current value. Other fields: as RangeOf.
FieldRange RangeBelowPartner(const SearchCriteria& criteria, CriteriaField field);

struct CriteriaFault {
    CriteriaField field;
    FieldRange allowed;
    // The lower field of a pair lies above its partner (South north of
    // North, Least above Most); `allowed` is then RangeBelowPartner.
    bool abovePartner = false;
};

// The first field in use that lies outside its range, fields in reading
// order; a pair out of order is reported on its lower field once its upper
// field has been read. A most period of kNoMostPeriod is valid. Nothing when
// every field in use is valid.
std::optional<CriteriaFault> CheckCriteria(const SearchCriteria& criteria);

// CStarCatalog::SetCriteria and CStarCatalog::Search with the whole value.
void ApplyCriteria(CStarCatalog& catalog, const SearchCriteria& criteria);
std::int32_t SearchWith(CStarCatalog& catalog, const SearchCriteria& criteria);

} // namespace lumara
