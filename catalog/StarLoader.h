// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Reading a catalogue file into records, each listed in a result node.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ChunkPool.h"
#include "DetailStore.h"
#include "Import.h"
#include "ResultNode.h"
#include "TypeTable.h"

namespace lumara {

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

// A search whose test costs much per star runs on two lanes, each taking
// batches of this many records in turn.
inline constexpr std::int32_t kSearchBatchRecords = 16384;

// Star lines in file order, stored as records from a pool of their own, each
// with the result node that lists it.
struct LoadedStars {
    ChunkPool<StarRecord> recordPool;
    ChunkPool<ResultNode> nodePool;
    DetailStore detailStore;
    // The distinct types, each star's id among them in its record.
    TypeTable types;
    // The first record of every search batch; empty when there was no
    // memory to note them (searches then run on one lane).
    std::vector<StarRecord*> batchStarts;
    StarRecord* firstRecord = nullptr;
    ResultNode* firstNode = nullptr;
    ResultNode* lastNode = nullptr;
    std::int32_t count = 0;
    // What importing a GCVS or VSX file changed; format Native otherwise.
    import::ImportReport report;
    // Why a table could not be read.
    std::string problem;
};

// Reads the star lines of an open file or pipe, or imports its stars when
// its first lines are GCVS 5.1 or VSX lines. False on a read error, when
// memory runs out or when the file holds more stars than a 32-bit count;
// `stars` then holds an unspecified part of the file.
bool LoadStarLines(int descriptor, LoadedStars& stars);

} // namespace lumara
