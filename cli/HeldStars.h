// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The matches of a stream held for a sort: each stored as a loaded
// catalogue stores a star, with what its source said beyond the line, and
// nothing else of the stream.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <vector>

#include "ChunkPool.h"
#include "DetailStore.h"
#include "OrderedLanes.h"
#include "StarRecord.h"

namespace lumara::cli {

class HeldStars {
public:
    // Holds a match found on `lane`; false when memory runs out.
    bool Hold(std::size_t lane, const char* text, const StarDetails* details);
    // Puts the matches the lane held since its last commit behind every
    // earlier one; called in the stream's order. False when memory ran out.
    bool Commit(std::size_t lane);
    // Every match, in catalogue order.
    std::span<const StarRecord* const> Stars() const { return ordered; }

private:
    struct alignas(kCacheLineBytes) Lane {
        ChunkPool<StarRecord> records;
        DetailStore details;
        std::vector<const StarRecord*> block;
        bool outOfMemory = false;
    };
    std::array<Lane, kLanes> lanes;
    std::vector<const StarRecord*> ordered;
};

} // namespace lumara::cli
