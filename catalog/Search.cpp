// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <array>
#include <limits>
#include <new>

#include "OrderedLanes.h"
#include "SearchCriteria.h"
#include "StarCatalog.h"
#include "StarLoader.h"

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

// What the catalogue takes for each limit. Every comparison with a NaN is
// false, so the double limits refuse it.
constexpr bool IsHour(std::int16_t v) {
    return v >= kFirstRaHour && v <= kLastRaHour;
}
constexpr bool IsDegree(std::int16_t v) {
    return v >= kSouthPole && v <= kNorthPole;
}
constexpr bool IsDecBand(std::int16_t south, std::int16_t north) {
    return IsDegree(south) && IsDegree(north) && south <= north;
}
constexpr bool IsMagnitudeLimit(double x) {
    return x >= 0.0;
}
constexpr bool IsPeriodRange(double least, double most) {
    return least >= 0.0 && most > 0.0 && least <= most;
}

// One lane's matches in the batch it handles, linked and numbered from 1
// among themselves, from a pool of its own. The lanes fill theirs side by
// side, so each has cache lines of its own.
struct alignas(lumara::kCacheLineBytes) LaneMatches {
    ChunkPool<ResultNode> pool;
    ResultNode* first = nullptr;
    ResultNode* last = nullptr;
    bool outOfMemory = false;
};

// The records in batches, each lane testing the batches it takes; the
// matches of each batch are joined to the list in record order, numbered on
// from the matches before them.
template <typename Predicate> class BatchSearch final : public lumara::OrderedWork {
public:
    BatchSearch(const std::vector<StarRecord*>& batchStarts, const Predicate& test)
        : starts(batchStarts), matches(test) {}

    Taken Take(std::size_t, std::size_t batch) override {
        return batch < starts.size() ? Taken::Item : Taken::End;
    }

    void Handle(std::size_t lane, std::size_t batch, lumara::BufferedWriter*) override {
        LaneMatches& own = lanes[lane];
        own.first = own.last = nullptr;
        StarRecord* record = starts[batch];
        for (std::int32_t n = 0; n < lumara::kSearchBatchRecords && record != nullptr;
             ++n, record = record->next) {
            if (!matches(*record)) {
                continue;
            }
            ResultNode* node = own.pool.Allocate();
            if (node == nullptr) {
                own.outOfMemory = true;
                return;
            }
            lumara::LinkResult(*node, *record, own.first, own.last);
        }
    }

    bool Commit(std::size_t lane, std::size_t) override {
        LaneMatches& own = lanes[lane];
        if (own.outOfMemory) {
            return false;
        }
        if (own.first == nullptr) {
            return true;
        }
        const std::int32_t base = last != nullptr ? last->number : 0;
        for (ResultNode* node = own.first; node != nullptr; node = node->next) {
            node->number += base;
        }
        if (last == nullptr) {
            first = own.first;
        } else {
            last->next = own.first;
            own.first->prev = last;
        }
        last = own.last;
        return true;
    }

    // Hands the joined list and every lane's nodes over.
    void Adopt(ChunkPool<ResultNode>& pool, ResultNode*& listFirst, ResultNode*& listLast) {
        for (LaneMatches& lane : lanes) {
            pool.Adopt(lane.pool);
        }
        listFirst = first;
        listLast = last;
    }

private:
    const std::vector<StarRecord*>& starts;
    const Predicate& matches;
    std::array<LaneMatches, lumara::kLanes> lanes;
    ResultNode* first = nullptr;
    ResultNode* last = nullptr;
};

} // namespace

void CStarCatalog::SetRaFrom(std::int16_t v) {
    if (IsHour(v)) {
        criteria.raWest = v;
    }
}

void CStarCatalog::SetRaTo(std::int16_t v) {
    if (IsHour(v)) {
        criteria.raEast = v;
    }
}

void CStarCatalog::SetDecSouth(std::int16_t v) {
    if (IsDecBand(v, criteria.decNorth)) {
        criteria.decSouth = v;
    }
}

void CStarCatalog::SetDecNorth(std::int16_t v) {
    if (IsDecBand(criteria.decSouth, v)) {
        criteria.decNorth = v;
    }
}

void CStarCatalog::SetPeriodLeast(double x) {
    if (IsPeriodRange(x, criteria.periodMost)) {
        criteria.periodLeast = x;
    }
}

void CStarCatalog::SetPeriodMost(double x) {
    if (IsPeriodRange(criteria.periodLeast, x)) {
        criteria.periodMost = x;
    }
}

void CStarCatalog::SetMinMagLimit(double x) {
    if (IsMagnitudeLimit(x)) {
        criteria.magMin = NearestFloat(x);
    }
}

void CStarCatalog::SetMaxMagLimit(double x) {
    if (IsMagnitudeLimit(x)) {
        criteria.magMax = NearestFloat(x);
    }
}

// A pair is taken whole or not at all, so its order against the values held
// before does not matter.
void CStarCatalog::SetCriteria(const lumara::SearchCriteria& wanted) {
    using lumara::CriteriaField;
    SetRaFrom(wanted.raWest);
    SetRaTo(wanted.raEast);
    if (IsDecBand(wanted.decSouth, wanted.decNorth)) {
        criteria.decSouth = wanted.decSouth;
        criteria.decNorth = wanted.decNorth;
    }
    if (lumara::IsInUse(wanted, CriteriaField::MagMin)) {
        SetMinMagLimit(wanted.magMin);
        SetMaxMagLimit(wanted.magMax);
    }
    if (lumara::IsInUse(wanted, CriteriaField::PeriodLeast) &&
        IsPeriodRange(wanted.periodLeast, wanted.periodMost)) {
        criteria.periodLeast = wanted.periodLeast;
        criteria.periodMost = wanted.periodMost;
    }
}

bool CStarCatalog::MatchesCriteria(const StarRecord& record, bool useMagnitude,
                                   bool usePeriod) const {
    lumara::SearchCriteria asked = criteria;
    asked.useMagnitude = useMagnitude;
    asked.usePeriod = usePeriod;
    asked.noLightCurve = false;
    return lumara::Matches(asked, record);
}

bool CStarCatalog::MatchesNoLightCurve(const StarRecord& record) const {
    lumara::SearchCriteria asked = criteria;
    asked.noLightCurve = true;
    return lumara::Matches(asked, record);
}

// Puts the cursor on the list just built and counts it.
std::int32_t CStarCatalog::FinishResults() {
    StartResultWalk();
    return last != nullptr ? last->number : 0;
}

template <typename Predicate> std::int32_t CStarCatalog::BuildResults(Predicate matches) {
    FreeResults();
    for (StarRecord* record = records; record != nullptr; record = record->next) {
        if (matches(*record) && !AppendResult(*record)) {
            FreeResults();
            return -1;
        }
    }
    return FinishResults();
}

template <typename Predicate>
std::int32_t CStarCatalog::BuildResultsOnLanes(const Predicate& matches) {
    FreeResults();
    BatchSearch<Predicate> search(recordBatches, matches);
    const bool built = lumara::RunOrderedLanes(search, nullptr) == lumara::LanesResult::Done;
    search.Adopt(resultPool, first, last);
    if (!built) {
        FreeResults();
        return -1;
    }
    return FinishResults();
}

void CStarCatalog::ListAll() {
    if (loaded) {
        BuildResults([](const StarRecord&) { return true; });
    }
}

std::int32_t CStarCatalog::Search(bool byCriteria, bool useMagnitude, bool usePeriod) {
    lumara::SearchCriteria asked = criteria;
    asked.useMagnitude = useMagnitude;
    asked.usePeriod = usePeriod;
    asked.noLightCurve = !byCriteria;
    return SearchFor(asked);
}

std::int32_t CStarCatalog::Search(const lumara::SearchCriteria& wanted) {
    SetCriteria(wanted);
    // The limits as the catalogue holds them, the switches and the other
    // tests as asked.
    lumara::SearchCriteria asked = wanted;
    asked.raWest = criteria.raWest;
    asked.raEast = criteria.raEast;
    asked.decSouth = criteria.decSouth;
    asked.decNorth = criteria.decNorth;
    asked.magMax = criteria.magMax;
    asked.magMin = criteria.magMin;
    asked.periodLeast = criteria.periodLeast;
    asked.periodMost = criteria.periodMost;
    return SearchFor(asked);
}

std::int32_t CStarCatalog::SearchFor(const lumara::SearchCriteria& asked) {
    if (!loaded) {
        return -1;
    }
    // The type test is decided once per distinct type.
    lumara::TypeVerdicts verdicts;
    if (lumara::HasTypeCriterion(asked)) {
        try {
            verdicts.resize(typeTable.Size());
        } catch (const std::bad_alloc&) {
            FreeResults();
            return -1;
        }
        for (std::size_t id = 0; id < typeTable.Size(); ++id) {
            const auto typeId = static_cast<lumara::TypeId>(id);
            verdicts[id] =
                lumara::MatchesType(asked, typeTable.Text(typeId), typeTable.Families(typeId));
        }
    }
    const std::int32_t count = BuildResults(
        [&](const StarRecord& record) { return lumara::Matches(asked, record, &verdicts); });
    criteriaMode = count > 0 && !asked.noLightCurve;
    return count;
}
