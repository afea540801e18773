// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ExportBatches.h"

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <new>

#include "ExportFile.h"
#include "FaultHook.h"
#include "HelperThread.h"

namespace lumara {

// What the lanes share: which batch is taken next, which one is written
// next, and whether a write has failed, after which nothing more is
// written and every lane stops.
class BatchTurns {
public:
    BatchTurns(ExportFile& target, std::size_t count) : file(target), batches(count) {}

    // Formats and writes batches until none is left. A lane without memory
    // for its buffer takes none, and leaves them to the other lane.
    void RunLane(std::size_t lane, const BatchFormatter& format) {
        BatchBuffer buffer(*this);
        if (buffer.data == nullptr) {
            return;
        }
        for (std::size_t batch = next++; batch < batches && !Failed(); batch = next++) {
            buffer.Start(batch);
            format(lane, batch, buffer);
            buffer.Finish();
        }
    }

    // Waits until every batch before `batch` is written. False when a write
    // failed meanwhile.
    bool WaitForTurn(std::size_t batch) {
        std::unique_lock lock(mutex);
        turnChanged.wait(lock, [&] { return turn == batch || failed; });
        return !failed;
    }

    // Only for the lane whose turn it is. Returns where the bytes went, or
    // nothing after a failed write.
    BatchBuffer::Stretch Write(const char* data, std::size_t bytes) {
        if (!file.Write(data, bytes)) {
            const std::lock_guard lock(mutex);
            failed = true;
            turnChanged.notify_all();
            return {};
        }
        const BatchBuffer::Stretch stretch{offset, bytes};
        offset += bytes;
        return stretch;
    }

    void StartWriteback(const BatchBuffer::Stretch& stretch) const {
        file.StartWriteback(stretch.offset, stretch.bytes);
    }

    void PassTurn(std::size_t batch) {
        const std::lock_guard lock(mutex);
        turn = batch + 1;
        turnChanged.notify_all();
    }

    bool Failed() {
        const std::lock_guard lock(mutex);
        return failed;
    }

    // Once the lanes are done: whether every batch had its turn.
    bool AllWritten() {
        const std::lock_guard lock(mutex);
        return turn == batches;
    }

private:
    ExportFile& file;
    const std::size_t batches;
    std::atomic<std::size_t> next{0};
    std::mutex mutex;
    std::condition_variable turnChanged;
    std::size_t turn = 0;
    bool failed = false;
    // Bytes written so far; kept by the lane whose turn it is.
    std::uint64_t offset = 0;
};

// Without memory the buffer is left empty, rather than throwing.
BatchBuffer::BatchBuffer(BatchTurns& shared)
    : turns(shared), data(AllocateBuffer(kBytes, FaultPoint::ExportBuffer)) {
}

void BatchBuffer::Append(std::string_view text) {
    std::memcpy(Reserve(text.size()), text.data(), text.size());
    Advance(text.size());
}

void BatchBuffer::Start(std::size_t index) {
    batch = index;
    used = 0;
    writing = false;
}

// A full buffer is written out as soon as this batch's turn has come.
void BatchBuffer::Spill() {
    WriteBuffered();
    turns.StartWriteback(written);
}

// The writeback of a batch's last bytes starts after the turn has passed, so
// that the next batch is written meanwhile.
void BatchBuffer::Finish() {
    WriteBuffered();
    if (writing) {
        turns.PassTurn(batch);
        turns.StartWriteback(written);
    }
}

// After a failed write the bytes are dropped: the export has failed, and
// the rest of the batch only needs to run out.
void BatchBuffer::WriteBuffered() {
    writing = writing || turns.WaitForTurn(batch);
    written = writing ? turns.Write(data.get(), used) : Stretch{};
    used = 0;
}

bool WriteBatches(ExportFile& file, std::size_t batches, const BatchFormatter& format) {
    BatchTurns turns(file, batches);
    if (batches > 1) {
        // Without a thread of its own the helper's lane runs after the
        // calling thread's, which has taken every batch by then.
        HelperThread helper([&] { turns.RunLane(1, format); });
        turns.RunLane(0, format);
    } else {
        turns.RunLane(0, format);
    }
    return turns.AllWritten();
}

} // namespace lumara
