// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "CatalogueStream.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <memory>
#include <new>
#include <string>

#include <unistd.h>

#include "FaultHook.h"

namespace lumara {

namespace {

constexpr unsigned char kByteOrderMark[] = {0xEF, 0xBB, 0xBF};
// The lines of a head too blank to tell the format by, kept while the
// stream is read on: fewer than the lines that tell, each cut and ended.
constexpr std::size_t kHeadBytes =
    (import::FormatDetector::kDetectionLines - 1) * (format::kMaxLineChars + 1);
// The kept head, what is carried into a block, the block, and the
// terminator the last line may get after the block's end.
constexpr std::size_t kInputBufferBytes =
    kHeadBytes + format::kMaxLineChars + kStreamBlockBytes + 1;

// Reads the stream in blocks of whole lines, the lane that takes a block
// reading it into its own buffer, and hands each block to the caller's
// work. The stream and the line carried from one block to the next are used
// only by the lane that holds the taking turn.
class BlockReader final : public OrderedWork {
public:
    // Every lane's block is taken at once: a lane that runs late, for want
    // of a thread, finds its block taken already.
    BlockReader(int input, StarWork& starWork) : descriptor(input), work(starWork) {
        for (Lane& lane : lanes) {
            lane.buffer = AllocateBuffer(kInputBufferBytes, FaultPoint::LoadBuffer);
            noMemory = noMemory || lane.buffer == nullptr;
        }
    }

    bool StartLane(std::size_t lane) override {
        if (lanes[lane].buffer == nullptr || !work.StartLane(lane)) {
            noMemory = true;
            return false;
        }
        return true;
    }

    Taken Take(std::size_t lane, std::size_t block) override {
        Lane& own = lanes[lane];
        if (noMemory) {
            return Taken::Failed;
        }
        if (ended) {
            return Taken::End;
        }
        if (table) {
            return TakeTableRows(lane);
        }
        if (!Fill(own)) {
            readError = errno;
            return Taken::Failed;
        }
        // Every later block is read, and so handled, only after this.
        if (block == 0 && (!SettleFormat(own) || !StartTable(lane))) {
            return Taken::Failed;
        }
        return Taken::Item;
    }

    void Handle(std::size_t lane, std::size_t, BufferedWriter* out) override {
        Lane& own = lanes[lane];
        import::ChangeList* const changes = work.ChangesOf(lane);
        StarBlock block =
            table ? StarBlock(own.rows, counts[lane], lane)
                  : StarBlock(own.begin, own.end, fileFormat, counts[lane], lane, changes);
        work.Handle(block, out);
    }

    bool Commit(std::size_t lane, std::size_t) override { return work.Commit(lane); }

    bool NoMemory() const { return noMemory; }
    int ReadError() const { return readError; }
    // Why a table could not be read; empty when it could, or it is none.
    const std::string& TableProblem() const { return tableProblem; }

    // Every lane's counts added up, with the format.
    StreamCounts Total() const {
        StreamCounts total;
        total.report.format = fileFormat;
        for (const StreamCounts& lane : counts) {
            total.Merge(lane);
        }
        if (table) {
            total.report.source = table->Source();
            for (const std::int64_t rows : total.report.skipped) {
                total.skipped += static_cast<std::uint64_t>(rows);
            }
        }
        return total;
    }

private:
    struct Lane {
        std::unique_ptr<char[]> buffer;
        char* begin = nullptr;
        char* end = nullptr;     // of the whole lines
        char* readEnd = nullptr; // of the bytes read, a carried line included
        // A table's stars of the bytes this lane took, read in the taking
        // turn, handled with the lane's block.
        std::vector<TableRowStar> rows;
    };

    // A file whose head is no fixed layout may be a table with named
    // columns: then every byte read goes to the table's reader, in order,
    // and no line is cut.
    bool StartTable(std::size_t laneIndex) {
        Lane& lane = lanes[laneIndex];
        if (fileFormat != import::CatalogueFormat::Native) {
            return true;
        }
        table = import::TableImporter::ForHead(
            lane.begin, static_cast<std::size_t>(lane.readEnd - lane.begin), IsStarLine);
        if (!table) {
            return true;
        }
        fileFormat = import::CatalogueFormat::Table;
        lane.rows.clear();
        return FeedTable(laneIndex, lane.begin, lane.readEnd);
    }

    // Reads the next bytes as they come, without looking for lines, and feeds
    // them to the table; at the file's end, the table's last rows.
    Taken TakeTableRows(std::size_t laneIndex) {
        Lane& lane = lanes[laneIndex];
        lane.rows.clear();
        std::size_t filled = 0;
        while (filled < kStreamBlockBytes) {
            const ssize_t got =
                ::read(descriptor, lane.buffer.get() + filled, kStreamBlockBytes - filled);
            if (got < 0) {
                if (errno == EINTR) {
                    continue;
                }
                readError = errno;
                return Taken::Failed;
            }
            if (got == 0) {
                ended = true;
                break;
            }
            filled += static_cast<std::size_t>(got);
        }
        return FeedTable(laneIndex, lane.buffer.get(), lane.buffer.get() + filled) ? Taken::Item
                                                                                   : Taken::Failed;
    }

    bool FeedTable(std::size_t laneIndex, const char* begin, const char* end) {
        std::vector<TableRowStar>& rows = lanes[laneIndex].rows;
        import::ImportReport& report = counts[laneIndex].report;
        import::ChangeList* const changes = work.ChangesOf(laneIndex);
        const auto keep = [&rows](const char* native, const StarDetails& details) {
            TableRowStar& row = rows.emplace_back();
            std::memcpy(row.native, native, sizeof row.native);
            row.details = details;
            row.name = details.name;
            row.type = details.type;
        };
        try {
            const bool read =
                table->Feed(begin, static_cast<std::size_t>(end - begin), report, changes, keep) &&
                (!ended || table->Finish(report, changes, keep));
            if (!read) {
                tableProblem = table->Problem();
            }
            return read;
        } catch (const std::bad_alloc&) {
            noMemory = true;
            return false;
        }
    }

    // Settles the format from the lines at the head of the file, each read
    // as far as a load reads it: its first characters, up to a zero. When
    // the first block holds too few lines that are not blank to tell, those
    // few are kept and the stream is read on behind them, into the same
    // block, until it tells or ends.
    bool SettleFormat(Lane& lane) {
        for (;;) {
            import::FormatDetector detector;
            head.clear();
            const char* at = lane.begin;
            while (at < lane.end && !detector.IsDecided()) {
                const auto* feed = static_cast<const char*>(
                    std::memchr(at, '\n', static_cast<std::size_t>(lane.end - at)));
                const char* lineEnd = feed != nullptr ? feed : lane.end;
                const std::size_t kept =
                    std::min(static_cast<std::size_t>(lineEnd - at), format::kMaxLineChars);
                const std::size_t seen = detector.LinesSeen();
                detector.Feed(at, ::strnlen(at, kept));
                if (detector.LinesSeen() > seen) {
                    head.append(at, kept).push_back('\n');
                }
                at = feed != nullptr ? feed + 1 : lane.end;
            }
            if (detector.IsDecided() || ended) {
                fileFormat = detector.Finish();
                head.clear();
                return true;
            }
            if (!Fill(lane)) {
                return false;
            }
        }
    }

    // Reads up to a block's bytes behind the kept head and the carried line,
    // and carries the last line on unless the stream has ended.
    bool Fill(Lane& lane) {
        char* buffer = lane.buffer.get();
        std::memcpy(buffer, head.data(), head.size());
        std::memcpy(buffer + head.size(), carry.data(), carried);
        std::size_t filled = head.size() + carried;
        const std::size_t limit = filled + kStreamBlockBytes;
        while (filled < limit) {
            const ssize_t got = ::read(descriptor, buffer + filled, limit - filled);
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
        lane.begin = buffer;
        if (atStart) {
            atStart = false;
            if (filled >= sizeof kByteOrderMark &&
                std::memcmp(buffer, kByteOrderMark, sizeof kByteOrderMark) == 0) {
                lane.begin += sizeof kByteOrderMark;
            }
        }
        lane.end = buffer + filled;
        lane.readEnd = lane.end;
        carried = 0;
        if (ended) {
            return true;
        }
        char* lastFeed = static_cast<char*>(
            ::memrchr(lane.begin, '\n', static_cast<std::size_t>(lane.end - lane.begin)));
        char* tail = lastFeed != nullptr ? lastFeed + 1 : lane.begin;
        const auto tailLength = static_cast<std::size_t>(lane.end - tail);
        // Of a line longer than that only its start counts; the rest, read
        // behind the carried start, is cut off with it.
        carried = std::min(tailLength, format::kMaxLineChars);
        std::memcpy(carry.data(), tail, carried);
        lane.end = tail;
        return true;
    }

    const int descriptor;
    StarWork& work;
    std::array<Lane, kLanes> lanes;
    std::array<StreamCounts, kLanes> counts{};
    // Held by the lane that takes.
    std::array<char, format::kMaxLineChars> carry{};
    std::size_t carried = 0;
    std::string head;
    bool atStart = true;
    bool ended = false;
    int readError = 0;
    // Settled from the first block before any block is handled.
    import::CatalogueFormat fileFormat = import::CatalogueFormat::Native;
    std::unique_ptr<import::TableImporter> table;
    std::string tableProblem;
    // Set when a lane could not start; a stream short of a lane fails, as
    // it would if a block had no room.
    std::atomic<bool> noMemory{false};
};

} // namespace

void StreamCounts::Merge(const StreamCounts& other) {
    stars += other.stars;
    skipped += other.skipped;
    report.Merge(other.report);
}

StreamResult StreamCatalogue(int descriptor, StarWork& work, ByteSink* sink, StreamCounts& total,
                             std::string& problem) {
    BlockReader reader(descriptor, work);
    const LanesResult result = RunOrderedLanes(reader, sink);
    total = reader.Total();
    switch (result) {
    case LanesResult::Done:
        return reader.NoMemory() ? StreamResult::NoMemory : StreamResult::Done;
    case LanesResult::TakeFailed:
        if (reader.NoMemory()) {
            return StreamResult::NoMemory;
        }
        if (!reader.TableProblem().empty()) {
            problem = reader.TableProblem();
            return StreamResult::BadTable;
        }
        errno = reader.ReadError();
        return StreamResult::ReadFailed;
    case LanesResult::WriteFailed:
        return StreamResult::WriteFailed;
    case LanesResult::CommitFailed:
    case LanesResult::NoLane:
        break;
    }
    return StreamResult::NoMemory;
}

} // namespace lumara
