// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "HeldRows.h"

#include <new>

namespace lumara::cli {

static_assert(kLanes == 2, "one Lane per lane below");

HeldRows::HeldRows(std::span<const SortBy> keys) : lanes{Lane(keys), Lane(keys)}, values(keys) {
}

bool HeldRows::Hold(std::size_t laneIndex, std::string_view matchRows, const StarRecord& record,
                    const StarTonight* tonight) {
    Lane& lane = lanes[laneIndex];
    std::string_view kept;
    if (!lane.texts.Copy(matchRows, kept) || !lane.blockValues.Add(record, tonight)) {
        lane.outOfMemory = true;
        return false;
    }
    try {
        lane.blockRows.push_back(kept);
    } catch (const std::bad_alloc&) {
        lane.outOfMemory = true;
        return false;
    }
    return true;
}

bool HeldRows::Commit(std::size_t laneIndex) {
    Lane& lane = lanes[laneIndex];
    if (lane.outOfMemory) {
        return false;
    }
    try {
        rows.insert(rows.end(), lane.blockRows.begin(), lane.blockRows.end());
    } catch (const std::bad_alloc&) {
        return false;
    }
    lane.blockRows.clear();
    return values.Append(lane.blockValues);
}

} // namespace lumara::cli
