// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

#include "SortOrder.h"
#include "StarCatalog.h"
#include "TextArena.h"
#include "Tonight.h"
#include "TwoLanes.h"

namespace lumara {

// One key's values, star by star; texts copied here live as long as it.
struct SortValues::Column {
    std::vector<double> numbers;
    std::vector<std::string_view> texts;
    std::unique_ptr<TextArena> copies = std::make_unique<TextArena>();
};

SortValues::SortValues(std::span<const SortBy> keys)
    : sortBy(keys.begin(), keys.end()), columns(keys.size()) {
}

SortValues::~SortValues() = default;

bool SortValues::Add(const StarRecord& record, const StarTonight* tonight) {
    try {
        for (std::size_t k = 0; k < sortBy.size(); ++k) {
            const SortField field = sortBy[k].field;
            Column& column = columns[k];
            if (!IsTextField(field)) {
                column.numbers.push_back(NumberOf(field, record, tonight));
                continue;
            }
            std::string_view text;
            if (!column.copies->Copy(TextOf(field, record), text)) {
                return false;
            }
            column.texts.push_back(text);
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    ++count;
    return true;
}

bool SortValues::AddLasting(std::span<const ResultNode* const> rows,
                            std::span<const StarTonight> nights) {
    try {
        for (std::size_t k = 0; k < sortBy.size(); ++k) {
            const SortField field = sortBy[k].field;
            Column& column = columns[k];
            if (IsTextField(field)) {
                column.texts.reserve(count + rows.size());
                for (const ResultNode* row : rows) {
                    column.texts.push_back(TextOf(field, *row->record));
                }
                continue;
            }
            column.numbers.resize(count + rows.size());
            double* const numbers = column.numbers.data() + count;
            ForEachOnLanes(rows.size(), [&](std::size_t i) {
                numbers[i] =
                    NumberOf(field, *rows[i]->record, nights.empty() ? nullptr : &nights[i]);
            });
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    count += rows.size();
    return true;
}

bool SortValues::Append(SortValues& later) {
    try {
        for (std::size_t k = 0; k < columns.size(); ++k) {
            Column& column = columns[k];
            Column& other = later.columns[k];
            column.numbers.insert(column.numbers.end(), other.numbers.begin(), other.numbers.end());
            column.texts.insert(column.texts.end(), other.texts.begin(), other.texts.end());
            column.copies->Adopt(*other.copies);
            other.numbers.clear();
            other.texts.clear();
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    count += later.count;
    later.count = 0;
    return true;
}

bool SortValues::Order(std::vector<std::uint32_t>& order) const {
    try {
        std::vector<SortKey> keys;
        for (std::size_t k = 0; k < sortBy.size(); ++k) {
            SortKey key;
            key.direction =
                sortBy[k].descending ? SortDirection::Descending : SortDirection::Ascending;
            key.kind = IsTextField(sortBy[k].field) ? SortKeyKind::Text : SortKeyKind::Number;
            key.numbers = columns[k].numbers;
            key.texts = columns[k].texts;
            keys.push_back(key);
        }
        std::vector<std::uint32_t> sorted(count);
        if (SortOrder(keys, sorted) != SortStatus::Sorted) {
            return false;
        }
        order = std::move(sorted);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace lumara

std::int32_t CStarCatalog::SortResults(std::span<const lumara::SortBy> keys,
                                       const lumara::TonightContext* tonight) {
    try {
        std::vector<const ResultNode*> rows;
        rows.reserve(last != nullptr ? static_cast<std::size_t>(last->number) : 0);
        for (const ResultNode* node = first; node != nullptr; node = node->next) {
            rows.push_back(node);
        }
        // Each star's night once, whatever number of keys read it.
        std::vector<lumara::StarTonight> nights;
        if (tonight != nullptr && std::any_of(keys.begin(), keys.end(), [](const auto& key) {
                return lumara::NeedsNight(key.field);
            })) {
            nights.resize(rows.size());
            lumara::ForEachOnLanes(rows.size(), [&](std::size_t i) {
                nights[i] = lumara::ObserveRecord(*tonight, *rows[i]->record);
            });
        }
        lumara::SortValues values(keys);
        std::vector<std::uint32_t> order;
        if (!values.AddLasting(rows, nights) || !values.Order(order)) {
            return -1;
        }
        std::vector<const ResultNode*> sorted(rows.size());
        lumara::ForEachOnLanes(order.size(), [&](std::size_t i) { sorted[i] = rows[order[i]]; });
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
