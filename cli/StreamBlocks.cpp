// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "StreamBlocks.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <new>

#include <unistd.h>

#include "HelperThread.h"

namespace lumara::cli {

namespace {

constexpr unsigned char kByteOrderMark[] = {0xEF, 0xBB, 0xBF};
// A block, what is carried into it, and the terminator the handler may
// write after its last line.
constexpr std::size_t kInputBufferBytes = format::kMaxLineChars + kInputBlockBytes + 1;

} // namespace

// What the lanes share: the stream and the line carried from one block to
// the next (both used only by the lane that holds the reading turn), which
// block is written next, and whether the stream has failed, after which
// every lane stops.
class StreamTurns {
public:
    // A lane's way to the output: the block it handles is written once every
    // earlier block has been, and after a failed write nothing more is.
    class LaneTurn : public ByteSink {
    public:
        explicit LaneTurn(StreamTurns& shared) : turns(shared) {}
        bool Write(const char* data, std::size_t bytes) override {
            return Take() && turns.Write(data, bytes);
        }
        // Waits for the block's turn. False when the stream has failed.
        bool Take() {
            writing = writing || turns.WaitForTurn(block);
            return writing;
        }

        std::size_t block = 0;
        bool writing = false;

    private:
        StreamTurns& turns;
    };

    StreamTurns(int descriptor, ByteSink& target, const HeadHandler& headHandler,
                const BlockHandler& handler)
        : input(descriptor), sink(target), head(headHandler), handle(handler) {}

    void RunLane(std::size_t lane, std::unique_ptr<char[]> in, std::unique_ptr<char[]> outBuffer) {
        LaneTurn turn(*this);
        BufferedWriter out(turn, std::move(outBuffer));
        char* begin = nullptr;
        char* end = nullptr;
        while (ReadBlock(in.get(), turn.block, begin, end)) {
            turn.writing = false;
            handle(lane, begin, end, out);
            out.Flush();
            if (turn.Take()) {
                PassTurn(turn.block);
            }
        }
    }

    StreamResult Result() {
        const std::lock_guard lock(mutex);
        return result;
    }

    int ReadError() {
        const std::lock_guard lock(mutex);
        return readError;
    }

    // Waits until every earlier block is written. False when the stream
    // failed meanwhile.
    bool WaitForTurn(std::size_t block) {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return writeTurn == block || result != StreamResult::Done; });
        return result == StreamResult::Done;
    }

    // Only for the lane whose turn it is.
    bool Write(const char* data, std::size_t bytes) {
        if (!sink.Write(data, bytes)) {
            Fail(StreamResult::WriteFailed);
            return false;
        }
        return true;
    }

private:
    // Takes the reading turn and reads the next block into `buffer`. False
    // when the stream has ended or failed.
    bool ReadBlock(char* buffer, std::size_t& block, char*& begin, char*& end) {
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return !reading || result != StreamResult::Done; });
            if (ended || result != StreamResult::Done) {
                return false;
            }
            reading = true;
            block = blocksRead++;
        }
        const bool read = Fill(buffer, begin, end);
        // Every later block is read, and so handled, only after this.
        if (read && block == 0) {
            head(begin, end);
        }
        const std::lock_guard lock(mutex);
        reading = false;
        if (!read) {
            readError = errno;
            result = StreamResult::ReadFailed;
        }
        changed.notify_all();
        return read;
    }

    // Reads up to a block's bytes behind the carried line, and carries the
    // last line on unless the stream has ended.
    bool Fill(char* buffer, char*& begin, char*& end) {
        std::memcpy(buffer, carry.data(), carried);
        std::size_t filled = carried;
        const std::size_t limit = carried + kInputBlockBytes;
        while (filled < limit) {
            const ssize_t got = ::read(input, buffer + filled, limit - filled);
            if (got < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return false;
            }
            if (got == 0) {
                ended = true;
                break;
            }
            filled += static_cast<std::size_t>(got);
        }
        begin = buffer;
        if (atStart) {
            atStart = false;
            if (filled >= sizeof kByteOrderMark &&
                std::memcmp(buffer, kByteOrderMark, sizeof kByteOrderMark) == 0) {
                begin += sizeof kByteOrderMark;
            }
        }
        end = buffer + filled;
        carried = 0;
        if (ended) {
            return true;
        }
        char* lastFeed =
            static_cast<char*>(::memrchr(begin, '\n', static_cast<std::size_t>(end - begin)));
        char* tail = lastFeed != nullptr ? lastFeed + 1 : begin;
        const auto tailLength = static_cast<std::size_t>(end - tail);
        // Of a line longer than that only its start counts; the rest, read
        // behind the carried start, is cut off with it.
        carried = std::min(tailLength, format::kMaxLineChars);
        std::memcpy(carry.data(), tail, carried);
        end = tail;
        return true;
    }

    void PassTurn(std::size_t block) {
        const std::lock_guard lock(mutex);
        writeTurn = block + 1;
        changed.notify_all();
    }

    void Fail(StreamResult why) {
        const std::lock_guard lock(mutex);
        if (result == StreamResult::Done) {
            result = why;
        }
        changed.notify_all();
    }

    const int input;
    ByteSink& sink;
    const HeadHandler& head;
    const BlockHandler& handle;
    std::mutex mutex;
    std::condition_variable changed;
    bool reading = false;
    bool ended = false;
    std::size_t blocksRead = 0;
    std::size_t writeTurn = 0;
    StreamResult result = StreamResult::Done;
    int readError = 0;
    // Held by the lane that reads.
    std::array<char, format::kMaxLineChars> carry{};
    std::size_t carried = 0;
    bool atStart = true;
};

StreamResult StreamBlocks(int input, ByteSink& sink, const HeadHandler& head,
                          const BlockHandler& handle) {
    std::array<std::unique_ptr<char[]>, kStreamLanes> in;
    std::array<std::unique_ptr<char[]>, kStreamLanes> out;
    for (std::size_t lane = 0; lane < kStreamLanes; ++lane) {
        in[lane].reset(new (std::nothrow) char[kInputBufferBytes]);
        out[lane] = BufferedWriter::NewBuffer();
        if (in[lane] == nullptr || out[lane] == nullptr) {
            return StreamResult::NoMemory;
        }
    }
    StreamTurns turns(input, sink, head, handle);
    {
        HelperThread helper([&] { turns.RunLane(1, std::move(in[1]), std::move(out[1])); });
        turns.RunLane(0, std::move(in[0]), std::move(out[0]));
    }
    if (turns.Result() == StreamResult::ReadFailed) {
        errno = turns.ReadError();
    }
    return turns.Result();
}

} // namespace lumara::cli
