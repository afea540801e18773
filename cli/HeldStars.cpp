// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "HeldStars.h"

#include <cstring>
#include <new>

#include "StarLine.h"

namespace lumara::cli {

bool HeldStars::Hold(std::size_t laneIndex, const char* text, const StarDetails* details) {
    Lane& lane = lanes[laneIndex];
    StarRecord* record = lane.records.Allocate();
    if (record == nullptr) {
        lane.outOfMemory = true;
        return false;
    }
    NormaliseLine(text, std::strlen(text), *record);
    DecodeAllFields(*record);
    record->index = 0;
    record->next = nullptr;
    if (details != nullptr && (record->details = lane.details.Keep(*details)) == nullptr) {
        lane.outOfMemory = true;
        return false;
    }
    try {
        lane.block.push_back(record);
    } catch (const std::bad_alloc&) {
        lane.outOfMemory = true;
        return false;
    }
    return true;
}

bool HeldStars::Commit(std::size_t laneIndex) {
    Lane& lane = lanes[laneIndex];
    if (lane.outOfMemory) {
        return false;
    }
    try {
        ordered.insert(ordered.end(), lane.block.begin(), lane.block.end());
    } catch (const std::bad_alloc&) {
        return false;
    }
    lane.block.clear();
    return true;
}

} // namespace lumara::cli
