// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// One pass over numbered items on two lanes, the calling thread and a
// helper: the lanes take turns at taking the next item, handle the items
// they took side by side, and write what they made of them, and commit
// them, strictly in the order the items were taken. Loading, streaming and
// exporting a catalogue all run on it.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

#include "ByteSink.h"

namespace lumara {

// The calling thread and one helper.
inline constexpr std::size_t kLanes = 2;
// What two lanes write side by side stays this far apart: a cache line that
// both write goes back and forth between the cores at every write.
inline constexpr std::size_t kCacheLineBytes = 64;

class OrderedWork {
public:
    enum class Taken { Item, End, Failed };

    // Prepares `lane` before it takes its first item (a lane without a thread
    // of its own only after the other lane is done); false leaves the lane
    // out, and its items to the other lane.
    virtual bool StartLane(std::size_t lane) {
        static_cast<void>(lane);
        return true;
    }
    // Takes item `item` for `lane`. One lane at a time, items numbered from
    // 0 in the order they are taken; End when there are no more items.
    virtual Taken Take(std::size_t lane, std::size_t item) = 0;
    // Handles the item on its lane's thread, side by side with the other
    // lane. What it writes to `out` (nullptr when the run has no sink)
    // reaches the sink in item order; a full buffer is written as soon as
    // every earlier item has been.
    virtual void Handle(std::size_t lane, std::size_t item, BufferedWriter* out) = 0;
    // Called in item order, once every earlier item is committed and this
    // one's output written. False stops every lane.
    virtual bool Commit(std::size_t lane, std::size_t item) {
        static_cast<void>(lane);
        static_cast<void>(item);
        return true;
    }

protected:
    ~OrderedWork() = default;
};

enum class LanesResult {
    Done,
    TakeFailed,   // Take answered Failed
    WriteFailed,  // the sink refused a write
    CommitFailed, // Commit answered false
    NoLane,       // no lane could start, for want of memory
};

// Runs `work` on `lanes` lanes (1 or kLanes) until every item is taken and
// committed or something fails, writing to `sink` when there is one. A lane
// whose output buffer cannot be had, or that StartLane leaves out, takes no
// items. Without a thread of its own, the helper's lane runs after the
// calling thread's, which has taken every item by then.
LanesResult RunOrderedLanes(OrderedWork& work, ByteSink* sink, std::size_t lanes = kLanes);

// Writes a table of `rows` rows to `sink` on both lanes, in batches, strictly
// in row order: `prologue`, each row as write(lane, row, out) writes it, then
// `epilogue`. `write` must be safe to call from both lanes at once. False
// when a write failed or memory ran out.
using RowWriter = std::function<void(std::size_t lane, std::size_t row, BufferedWriter& out)>;
bool WriteRowsOnLanes(std::size_t rows, std::string_view prologue, std::string_view epilogue,
                      ByteSink& sink, const RowWriter& write);

} // namespace lumara
