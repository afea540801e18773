// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// An export formatted in batches of rows by the calling thread and one
// helper at once, and written strictly in the order of the batches: while
// one thread writes a batch, the other formats the next.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

namespace lumara {

class ExportFile;
class BatchTurns;

// Enough rows that a batch usually goes out in one large write; the helper
// thread is started only for an export of more than one batch.
inline constexpr std::size_t kRowsPerBatch = 8192;
// The calling thread and the helper.
inline constexpr std::size_t kMaxExportLanes = 2;

// One thread's room for the batch it formats. What does not fit is written
// out as soon as every earlier batch has been.
class BatchBuffer {
public:
    static constexpr std::size_t kBytes = std::size_t{1} << 20;

    // Room for at least `bytes` (at most kBytes) further bytes; hand what was
    // written there back with Advance.
    char* Reserve(std::size_t bytes) {
        if (kBytes - used < bytes) {
            Spill();
        }
        return data.get() + used;
    }
    void Advance(std::size_t bytes) { used += bytes; }
    void Append(std::string_view text);

private:
    friend class BatchTurns;

    // A piece of the file: where it starts and how long it is.
    struct Stretch {
        std::uint64_t offset = 0;
        std::uint64_t bytes = 0;
    };

    explicit BatchBuffer(BatchTurns& turns);
    void Start(std::size_t index);
    void Spill();
    void Finish();
    void WriteBuffered();

    BatchTurns& turns;
    std::unique_ptr<char[]> data;
    std::size_t used = 0;
    std::size_t batch = 0;
    // Set once every earlier batch is written; from then on this thread
    // writes whenever the buffer is full.
    bool writing = false;
    // What the last write put in the file.
    Stretch written;
};

// Formats the rows of batch `batch` into `out`. Each lane (0 for the calling
// thread, 1 for the helper) takes its batches in rising order.
using BatchFormatter = std::function<void(std::size_t lane, std::size_t batch, BatchBuffer& out)>;

// Writes batches 0 to batches - 1 to `file`, in that order. False when a
// batch was left out, because there was no memory to format it in or a
// failed write stopped the lanes; the file should then not be finished. A
// failed write also fails the file, whose Finish then reports it.
bool WriteBatches(ExportFile& file, std::size_t batches, const BatchFormatter& format);

} // namespace lumara
