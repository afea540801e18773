// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "StarLoader.h"

#include <array>
#include <cstring>
#include <limits>
#include <new>

#include "CatalogueStream.h"
#include "DetailStore.h"
#include "StarDetails.h"
#include "StarLine.h"

namespace lumara {

namespace {

// The record index and every count are 32-bit; a file with more star lines
// than that is refused rather than miscounted.
constexpr std::int32_t kMaxRecords = std::numeric_limits<std::int32_t>::max();

// The stars of one block, linked and numbered from 1 among themselves.
struct BlockStars {
    StarRecord* firstRecord = nullptr;
    StarRecord* lastRecord = nullptr;
    ResultNode* firstNode = nullptr;
    ResultNode* lastNode = nullptr;
    std::int32_t count = 0;
};

// One lane's stars: the pools it allocates from and the block in hand. The
// lanes fill theirs side by side, at nearly every line, so each has cache
// lines of its own.
struct alignas(kCacheLineBytes) LaneStars {
    ChunkPool<StarRecord> recordPool;
    ChunkPool<ResultNode> nodePool;
    DetailStore detailStore;
    BlockStars block;
    bool outOfMemory = false;

    // Stores a star line, with what its source said beyond it when it was
    // imported, as the next record of the block and lists it; false when
    // memory or the 32-bit count runs out.
    bool Add(const char* text, std::size_t length, const StarDetails* details) {
        if (block.count == kMaxRecords) {
            return false;
        }
        StarRecord* record = recordPool.Allocate();
        ResultNode* node = nodePool.Allocate();
        if (record == nullptr || node == nullptr) {
            return false;
        }
        NormaliseLine(text, length, *record);
        if (details != nullptr && (record->details = detailStore.Keep(*details)) == nullptr) {
            return false;
        }
        record->index = ++block.count;
        DecodeAllFields(*record);
        LinkRecord(*record, block.firstRecord, block.lastRecord);
        LinkResult(*node, *record, block.firstNode, block.lastNode);
        return true;
    }
};

// Each block's stars are stored on the lane that reads it; the blocks are
// then joined in file order, numbered on from the stars before them while
// they are still in the cache.
class StarLoad final : public StarWork {
public:
    explicit StarLoad(LoadedStars& loaded) : stars(loaded) {}

    void Handle(StarBlock& block, BufferedWriter*) override {
        LaneStars& lane = lanes[block.Lane()];
        lane.block = {};
        block.ForEachStar([&lane](const char* text, const StarDetails* details) {
            lane.outOfMemory = lane.outOfMemory || !lane.Add(text, std::strlen(text), details);
        });
    }

    bool Commit(std::size_t laneIndex) override {
        LaneStars& lane = lanes[laneIndex];
        const BlockStars& block = lane.block;
        if (lane.outOfMemory || block.count > kMaxRecords - stars.count) {
            return false;
        }
        if (block.count == 0) {
            return true;
        }
        const std::int32_t base = stars.count;
        for (ResultNode* node = block.firstNode;; node = node->next) {
            node->number += base;
            StarRecord& record = *node->record;
            record.index += base;
            record.typeId = stars.types.Intern(FullTypeOf(record));
            NoteBatchStart(record);
            if (node == block.lastNode) {
                break;
            }
        }
        if (stars.count == 0) {
            stars.firstRecord = block.firstRecord;
            stars.firstNode = block.firstNode;
        } else {
            lastRecord->next = block.firstRecord;
            stars.lastNode->next = block.firstNode;
            block.firstNode->prev = stars.lastNode;
        }
        lastRecord = block.lastRecord;
        stars.lastNode = block.lastNode;
        stars.count += block.count;
        return true;
    }

    // Notes the record that starts a search batch.
    void NoteBatchStart(StarRecord& record) {
        if ((record.index - 1) % kSearchBatchRecords != 0 || batchesLost) {
            return;
        }
        try {
            stars.batchStarts.push_back(&record);
        } catch (const std::bad_alloc&) {
            stars.batchStarts.clear();
            batchesLost = true;
        }
    }

    // Hands every lane's pools to the loaded stars.
    void AdoptPools() {
        for (LaneStars& lane : lanes) {
            stars.recordPool.Adopt(lane.recordPool);
            stars.nodePool.Adopt(lane.nodePool);
            stars.detailStore.Adopt(lane.detailStore);
        }
    }

private:
    LoadedStars& stars;
    StarRecord* lastRecord = nullptr;
    bool batchesLost = false;
    std::array<LaneStars, kLanes> lanes;
};

} // namespace

bool LoadStarLines(int descriptor, LoadedStars& stars) {
    StarLoad load(stars);
    StreamCounts total;
    const StreamResult result = StreamCatalogue(descriptor, load, nullptr, total, stars.problem);
    load.AdoptPools();
    stars.report = total.report;
    return result == StreamResult::Done;
}

} // namespace lumara
