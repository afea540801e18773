// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Reading a catalogue file into records, each listed in a result node.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ChunkPool.h"
#include "HelperThread.h"
#include "Import.h"
#include "StarRecord.h"

namespace lumara {

// A file at least this large is read as two stretches at once, one on a
// helper thread; below it a thread costs more than it saves.
inline constexpr std::uint64_t kSplitLoadBytes = std::uint64_t{1} << 20;
// How far past the middle of the file the split looks for a line start; a
// file whose middle line is longer is read in one stretch.
inline constexpr std::size_t kMaxSplitSearchBytes = std::size_t{64} << 10;

// Links `record` after `last`, as the first when there is none.
inline void LinkRecord(StarRecord& record, StarRecord*& first, StarRecord*& last) {
    record.next = nullptr;
    (last != nullptr ? last->next : first) = &record;
    last = &record;
}

// Links `node`, for `record`, after `last`, numbering it on.
inline void LinkResult(ResultNode& node, StarRecord& record, ResultNode*& first,
                       ResultNode*& last) {
    node = {last != nullptr ? last->number + 1 : 1, last, &record, nullptr};
    (last != nullptr ? last->next : first) = &node;
    last = &node;
}

// Star lines in file order, stored as records from a pool of their own, each
// with the result node that lists it. The two threads of a split load each
// fill one at every line, so each has cache lines of its own.
struct alignas(kCacheLineBytes) LoadedStars {
    ChunkPool<StarRecord> recordPool;
    ChunkPool<ResultNode> nodePool;
    StarRecord* firstRecord = nullptr;
    StarRecord* lastRecord = nullptr;
    ResultNode* firstNode = nullptr;
    ResultNode* lastNode = nullptr;
    std::int32_t count = 0;
    // What importing a GCVS or VSX file changed; format Native otherwise.
    import::ImportReport report;

    // Stores a star line as the next record and lists it; false when memory
    // or the 32-bit count runs out.
    bool Add(const char* text, std::size_t length);
    // Moves every star of `later` behind these, numbering them on, and adds
    // its report to this one; false when the 32-bit count would overflow,
    // and then nothing moves.
    bool Append(LoadedStars& later);
};

// Reads the star lines of an open file or pipe, or imports its stars when
// its first lines are GCVS 5.1 or VSX lines. False on a read error or
// when memory runs out; `stars` then holds an unspecified part of the file.
bool LoadStarLines(int descriptor, LoadedStars& stars);

} // namespace lumara
