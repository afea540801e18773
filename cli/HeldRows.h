// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The matches of a stream held for a sort: each one's rows as they will be
// written and the values it is sorted by, nothing else of the stream. Rows
// are formatted as the stream is read, on both lanes and in file order, so
// that writing them sorted is copying bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "OrderedLanes.h"
#include "StarColumns.h"
#include "TextArena.h"

namespace lumara::cli {

class HeldRows {
public:
    explicit HeldRows(std::span<const SortBy> keys);

    // Holds a match found on `lane`: its rows, and its values for the keys
    // (`tonight` for the fields of the night). False when memory runs out.
    bool Hold(std::size_t lane, std::string_view rows, const StarRecord& record,
              const StarTonight* tonight);
    // Puts the matches the lane held since its last commit behind every
    // earlier one; called in the stream's order. False when memory ran out.
    bool Commit(std::size_t lane);
    // The held matches' positions in sorted order; false when memory runs
    // out.
    bool Order(std::vector<std::uint32_t>& order) const { return values.Order(order); }
    // The rows of the match held at `position`, in catalogue order.
    std::string_view Rows(std::size_t position) const { return rows[position]; }

private:
    struct alignas(kCacheLineBytes) Lane {
        explicit Lane(std::span<const SortBy> keys) : blockValues(keys) {}
        TextArena texts;
        std::vector<std::string_view> blockRows;
        SortValues blockValues;
        bool outOfMemory = false;
    };
    std::array<Lane, kLanes> lanes;
    std::vector<std::string_view> rows;
    SortValues values;
};

} // namespace lumara::cli
