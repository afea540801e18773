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

std::int32_t CStarCatalog::SortResults(std::span<const lumara::SortSpec> keys,
                                       const lumara::TonightContext* tonight) {
    try {
        std::vector<const ResultNode*> rows;
        rows.reserve(last != nullptr ? static_cast<std::size_t>(last->number) : 0);
        for (const ResultNode* node = first; node != nullptr; node = node->next) {
            rows.push_back(node);
        }
        // Each star's night once, whatever number of keys read it.
        std::vector<lumara::StarTonight> nights;
        const bool needsNight =
            tonight != nullptr &&
            std::any_of(keys.begin(), keys.end(),
                        [](const lumara::SortSpec& k) { return lumara::NeedsNight(k.field); });
        if (needsNight) {
            nights.reserve(rows.size());
            for (const ResultNode* row : rows) {
                nights.push_back(lumara::ObserveRecord(*tonight, *row->record));
            }
        }
        std::vector<KeyValues> values(keys.size());
        std::vector<lumara::SortKey> sortKeys;
        for (std::size_t k = 0; k < keys.size(); ++k) {
            const lumara::SortField field = keys[k].field;
            lumara::SortKey key;
            key.direction = keys[k].descending ? lumara::SortDirection::Descending
                                               : lumara::SortDirection::Ascending;
            if (lumara::IsTextField(field)) {
                key.kind = lumara::SortKeyKind::Text;
                values[k].texts.reserve(rows.size());
                for (const ResultNode* row : rows) {
                    values[k].texts.push_back(lumara::TextOf(field, *row->record));
                }
                key.texts = values[k].texts;
            } else {
                key.kind = lumara::SortKeyKind::Number;
                values[k].numbers.reserve(rows.size());
                for (std::size_t i = 0; i < rows.size(); ++i) {
                    values[k].numbers.push_back(lumara::NumberOf(
                        field, *rows[i]->record, needsNight ? &nights[i] : nullptr));
                }
                key.numbers = values[k].numbers;
            }
            sortKeys.push_back(key);
        }
        std::vector<std::uint32_t> order(rows.size());
        if (lumara::SortOrder(sortKeys, order) != lumara::SortStatus::Sorted) {
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
