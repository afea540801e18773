// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <algorithm>
#include <new>
#include <vector>

#include "SortOrder.h"
#include "StarCatalog.h"
#include "Tonight.h"

namespace {

// The values of every key for the rows in list order.
struct KeyValues {
    std::vector<double> numbers;
    std::vector<std::string_view> texts;
};

} // namespace

namespace lumara {

bool SortRecords(std::span<const StarRecord* const> records, std::span<const SortSpec> keys,
                 const TonightContext* tonight, std::vector<std::uint32_t>& order) {
    try {
        // Each star's night once, whatever number of keys read it.
        std::vector<StarTonight> nights;
        const bool needsNight =
            tonight != nullptr && std::any_of(keys.begin(), keys.end(), [](const SortSpec& key) {
                return NeedsNight(key.field);
            });
        if (needsNight) {
            nights.reserve(records.size());
            for (const StarRecord* record : records) {
                nights.push_back(ObserveRecord(*tonight, *record));
            }
        }
        std::vector<KeyValues> values(keys.size());
        std::vector<SortKey> sortKeys;
        for (std::size_t k = 0; k < keys.size(); ++k) {
            const SortField field = keys[k].field;
            SortKey key;
            key.direction =
                keys[k].descending ? SortDirection::Descending : SortDirection::Ascending;
            if (IsTextField(field)) {
                key.kind = SortKeyKind::Text;
                values[k].texts.reserve(records.size());
                for (const StarRecord* record : records) {
                    values[k].texts.push_back(TextOf(field, *record));
                }
                key.texts = values[k].texts;
            } else {
                key.kind = SortKeyKind::Number;
                values[k].numbers.reserve(records.size());
                for (std::size_t i = 0; i < records.size(); ++i) {
                    values[k].numbers.push_back(
                        NumberOf(field, *records[i], needsNight ? &nights[i] : nullptr));
                }
                key.numbers = values[k].numbers;
            }
            sortKeys.push_back(key);
        }
        std::vector<std::uint32_t> sorted(records.size());
        if (SortOrder(sortKeys, sorted) != SortStatus::Sorted) {
            return false;
        }
        order = std::move(sorted);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace lumara

std::int32_t CStarCatalog::SortResults(std::span<const lumara::SortSpec> keys,
                                       const lumara::TonightContext* tonight) {
    try {
        std::vector<const ResultNode*> rows;
        std::vector<const StarRecord*> stars;
        const std::size_t count = last != nullptr ? static_cast<std::size_t>(last->number) : 0;
        rows.reserve(count);
        stars.reserve(count);
        for (const ResultNode* node = first; node != nullptr; node = node->next) {
            rows.push_back(node);
            stars.push_back(node->record);
        }
        std::vector<std::uint32_t> order;
        if (!lumara::SortRecords(stars, keys, tonight, order)) {
            return -1;
        }
        std::vector<const ResultNode*> sorted(rows.size());
        for (std::size_t i = 0; i < order.size(); ++i) {
            sorted[i] = rows[order[i]];
        }
        sortedResults = std::move(sorted);
        return static_cast<std::int32_t>(sortedResults.size());
    } catch (const std::bad_alloc&) {
        return -1;
    }
}

const ResultNode* CStarCatalog::GetSortedResult(std::int32_t row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= sortedResults.size()) {
        return nullptr;
    }
    return sortedResults[static_cast<std::size_t>(row)];
}
