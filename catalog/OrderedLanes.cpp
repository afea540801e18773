// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "OrderedLanes.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>

#include "FaultHook.h"
#include "HelperThread.h"

namespace lumara {

namespace {

// What the lanes share: whether a lane is taking an item, how many items
// were taken, which item is committed next, and whether the run has failed,
// after which every lane stops.
class Turns {
public:
    Turns(OrderedWork& shared, ByteSink* target) : work(shared), sink(target) {}

    // Takes every lane's output buffer before any lane runs: a lane that
    // runs late, for want of a thread, finds its buffer taken already.
    void PrepareBuffers(std::size_t lanes) {
        if (sink == nullptr) {
            return;
        }
        for (std::size_t lane = 0; lane < lanes; ++lane) {
            buffers[lane] = AllocateBuffer(BufferedWriter::kBytes, FaultPoint::ExportBuffer);
        }
    }

    void RunLane(std::size_t lane);

    LanesResult Result() {
        const std::lock_guard lock(mutex);
        return result == LanesResult::Done && lanesStarted == 0 ? LanesResult::NoLane : result;
    }

private:
    // A lane's way to the sink: the item it handles is written once every
    // earlier item has been, and after a failure nothing more is.
    class LaneTurn final : public ByteSink {
    public:
        explicit LaneTurn(Turns& shared) : turns(shared) {}
        bool Write(const char* data, std::size_t bytes) override {
            return Take() && turns.Write(data, bytes);
        }
        // Waits for the item's turn. False when the run has failed.
        bool Take() {
            holding = holding || turns.WaitForTurn(item);
            return holding;
        }
        void Start(std::size_t next) {
            item = next;
            holding = false;
        }

    private:
        Turns& turns;
        std::size_t item = 0;
        bool holding = false;
    };

    // The next item for `lane`, or nothing when the items have run out or
    // the run has failed.
    std::optional<std::size_t> TakeNext(std::size_t lane) {
        std::size_t item = 0;
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return !taking || result != LanesResult::Done; });
            if (ended || result != LanesResult::Done) {
                return std::nullopt;
            }
            taking = true;
            item = taken++;
        }
        // Taking may wait for a pipe, so it runs outside the lock.
        const OrderedWork::Taken outcome = work.Take(lane, item);
        const std::lock_guard lock(mutex);
        taking = false;
        ended = outcome == OrderedWork::Taken::End;
        if (outcome == OrderedWork::Taken::Failed) {
            FailLocked(LanesResult::TakeFailed);
        }
        changed.notify_all();
        if (outcome != OrderedWork::Taken::Item) {
            return std::nullopt;
        }
        return item;
    }

    bool WaitForTurn(std::size_t item) {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return turn == item || result != LanesResult::Done; });
        return result == LanesResult::Done;
    }

    // Only for the lane whose turn it is.
    bool Write(const char* data, std::size_t bytes) {
        if (!sink->Write(data, bytes)) {
            Fail(LanesResult::WriteFailed);
            return false;
        }
        return true;
    }

    void PassTurn(std::size_t item) {
        const std::lock_guard lock(mutex);
        turn = item + 1;
        changed.notify_all();
    }

    void Fail(LanesResult why) {
        const std::lock_guard lock(mutex);
        FailLocked(why);
    }

    void FailLocked(LanesResult why) {
        if (result == LanesResult::Done) {
            result = why;
        }
        changed.notify_all();
    }

    OrderedWork& work;
    ByteSink* const sink;
    std::array<std::unique_ptr<char[]>, kLanes> buffers;
    std::mutex mutex;
    std::condition_variable changed;
    bool taking = false;
    bool ended = false;
    std::size_t taken = 0;
    std::size_t turn = 0;
    std::size_t lanesStarted = 0;
    LanesResult result = LanesResult::Done;
};

void Turns::RunLane(std::size_t lane) {
    LaneTurn laneTurn(*this);
    std::optional<BufferedWriter> out;
    if (sink != nullptr) {
        if (buffers[lane] == nullptr) {
            return;
        }
        out.emplace(laneTurn, std::move(buffers[lane]));
    }
    if (!work.StartLane(lane)) {
        return;
    }
    {
        const std::lock_guard lock(mutex);
        ++lanesStarted;
    }
    while (const std::optional<std::size_t> item = TakeNext(lane)) {
        laneTurn.Start(*item);
        work.Handle(lane, *item, out ? &*out : nullptr);
        if ((out && !out->Flush()) || !laneTurn.Take()) {
            return;
        }
        if (!work.Commit(lane, *item)) {
            Fail(LanesResult::CommitFailed);
            return;
        }
        PassTurn(*item);
    }
}

} // namespace

namespace {

// The rows of a table in batches, each lane writing the batches it takes.
class RowBatches final : public OrderedWork {
public:
    static constexpr std::size_t kRowsPerBatch = 8192;

    RowBatches(std::size_t rowCount, std::string_view head, std::string_view tail,
               const RowWriter& writer)
        : rows(rowCount), prologue(head), epilogue(tail), write(writer),
          batches(std::max<std::size_t>(1, (rowCount + kRowsPerBatch - 1) / kRowsPerBatch)) {}

    Taken Take(std::size_t, std::size_t batch) override {
        return batch < batches ? Taken::Item : Taken::End;
    }

    void Handle(std::size_t lane, std::size_t batch, BufferedWriter* out) override {
        if (batch == 0) {
            out->Append(prologue);
        }
        const std::size_t end = std::min(rows, (batch + 1) * kRowsPerBatch);
        for (std::size_t row = batch * kRowsPerBatch; row < end; ++row) {
            write(lane, row, *out);
        }
        if (batch + 1 == batches) {
            out->Append(epilogue);
        }
    }

    std::size_t Batches() const { return batches; }

private:
    const std::size_t rows;
    const std::string_view prologue;
    const std::string_view epilogue;
    const RowWriter& write;
    const std::size_t batches;
};

} // namespace

bool WriteRowsOnLanes(std::size_t rows, std::string_view prologue, std::string_view epilogue,
                      ByteSink& sink, const RowWriter& write) {
    RowBatches work(rows, prologue, epilogue, write);
    return RunOrderedLanes(work, &sink, work.Batches() > 1 ? kLanes : 1) == LanesResult::Done;
}

LanesResult RunOrderedLanes(OrderedWork& work, ByteSink* sink, std::size_t lanes) {
    Turns turns(work, sink);
    turns.PrepareBuffers(lanes);
    if (lanes > 1) {
        HelperThread helper([&] { turns.RunLane(1); });
        turns.RunLane(0);
    } else {
        turns.RunLane(0);
    }
    return turns.Result();
}

} // namespace lumara
