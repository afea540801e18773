// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The one way a catalogue's lines come in, for a load and for a stream
// alike: a file or a pipe read in blocks of whole lines on two lanes, a
// UTF-8 byte-order mark skipped at its start, every line cut after
// format::kMaxLineChars characters and at its first zero byte, the format
// settled from the head of the file, and each line that gives a star handed
// on as a native star line: a native line as it stands, a GCVS 5.1 or VSX
// line as the native line the importers write for it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "Import.h"
#include "LineFormat.h"
#include "OrderedLanes.h"
#include "StarDetails.h"
#include "StarLine.h"

namespace lumara {

// Bytes read from the stream per block, beyond a line carried over from the
// block before.
inline constexpr std::size_t kStreamBlockBytes = std::size_t{256} << 10;

// What one lane has seen; lanes count side by side, so each has cache lines
// of its own.
struct alignas(kCacheLineBytes) StreamCounts {
    std::uint64_t stars = 0;
    std::uint64_t skipped = 0; // lines that gave no star, blank ones included
    // What importing changed; its format is the catalogue's.
    import::ImportReport report;

    // Adds the counts of `other`; the format stays this one's.
    void Merge(const StreamCounts& other);
};

// A star of a table, as its reader gave it: the native line written for it
// and what the table gives beyond it, its texts held here.
struct TableRowStar {
    char native[format::kStoredLineChars + 1];
    StarDetails details;
    std::string name;
    std::string type;
};

// The whole lines of one block, as the catalogue's format has them, or the
// stars a table's reader gave for the block's bytes.
class StarBlock {
public:
    // The import's changes go to `changeList` as well, when there is one.
    StarBlock(char* first, char* last, import::CatalogueFormat fileFormat, StreamCounts& laneCounts,
              std::size_t laneIndex, import::ChangeList* changeList)
        : begin(first), end(last), layout(fileFormat), counts(laneCounts), lane(laneIndex),
          changes(changeList) {}
    // A table's stars, converted as they were read, their changes listed then.
    StarBlock(std::vector<TableRowStar>& tableRows, StreamCounts& laneCounts, std::size_t laneIndex)
        : begin(nullptr), end(nullptr), layout(import::CatalogueFormat::Table), rows(&tableRows),
          counts(laneCounts), lane(laneIndex), changes(nullptr) {}

    std::size_t Lane() const { return lane; }

    // Calls star(text, details) with the native line of each star of the
    // block, ended by a zero, and what its source said beyond the line
    // (nullptr for a native line; texts valid only during the call), and
    // counts the lines that give none.
    template <typename Star> void ForEachStar(Star&& star) {
        if (rows != nullptr) {
            for (TableRowStar& row : *rows) {
                ++counts.stars;
                row.details.name = row.name;
                row.details.type = row.type;
                star(static_cast<const char*>(row.native),
                     static_cast<const StarDetails*>(&row.details));
            }
            return;
        }
        ForEachLine([&](const char* text) {
            if (layout == import::CatalogueFormat::Native) {
                if (!IsStarLine(text)) {
                    ++counts.skipped;
                    return;
                }
                ++counts.stars;
                star(text, static_cast<const StarDetails*>(nullptr));
                return;
            }
            // Written whole from fields that end at their first zero, so the
            // line holds no zero before its end.
            char native[format::kStoredLineChars + 1];
            StarDetails details;
            if (!import::ConvertLine(layout, text, std::strlen(text), native, counts.report,
                                     &details, changes)) {
                ++counts.skipped;
                return;
            }
            ++counts.stars;
            star(static_cast<const char*>(native), static_cast<const StarDetails*>(&details));
        });
    }

private:
    // Calls `visit` with each line, terminated after at most
    // format::kMaxLineChars characters in place of its line feed; its text
    // ends at its first zero byte.
    template <typename Visit> void ForEachLine(Visit&& visit) {
        char* at = begin;
        while (at < end) {
            char* feed =
                static_cast<char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)));
            char* lineEnd = feed != nullptr ? feed : end;
            const auto length = static_cast<std::size_t>(lineEnd - at);
            at[length < format::kMaxLineChars ? length : format::kMaxLineChars] = '\0';
            visit(static_cast<const char*>(at));
            at = feed != nullptr ? feed + 1 : end;
        }
    }

    char* begin;
    char* end;
    import::CatalogueFormat layout;
    std::vector<TableRowStar>* rows = nullptr;
    StreamCounts& counts;
    std::size_t lane;
    import::ChangeList* changes;
};

// What a caller does with the stars of a catalogue, block by block.
class StarWork {
public:
    // Prepares `lane`; false leaves the whole stream short of memory.
    virtual bool StartLane(std::size_t lane) {
        static_cast<void>(lane);
        return true;
    }
    // Where `lane` lists each change the import makes, for a caller who
    // wants them; nullptr for none.
    virtual import::ChangeList* ChangesOf(std::size_t lane) {
        static_cast<void>(lane);
        return nullptr;
    }
    // Handles one block on its lane's thread, side by side with the other
    // lane; what it writes to `out` goes out in block order.
    virtual void Handle(StarBlock& block, BufferedWriter* out) = 0;
    // Called in block order, once every earlier block is committed. False
    // stops the stream short of memory.
    virtual bool Commit(std::size_t lane) {
        static_cast<void>(lane);
        return true;
    }

protected:
    ~StarWork() = default;
};

// BadTable: a table with named columns that cannot be read.
enum class StreamResult { Done, ReadFailed, WriteFailed, NoMemory, BadTable };

// Reads the catalogue at `descriptor` (a file or a pipe, from where it
// stands) to its end and hands its blocks to `work`, writing to `sink` when
// there is one, and adds up what the lanes saw in `total`. After
// ReadFailed, errno tells why; after BadTable, `problem` does.
StreamResult StreamCatalogue(int descriptor, StarWork& work, ByteSink* sink, StreamCounts& total,
                             std::string& problem);

} // namespace lumara
