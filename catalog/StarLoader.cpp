// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "StarLoader.h"

#include <cerrno>
#include <cstring>
#include <limits>

#include <sys/stat.h>
#include <unistd.h>

#include "HelperThread.h"
#include "LineReader.h"
#include "StarLine.h"

namespace lumara {

namespace {

// The record index and every count are 32-bit; a file with more star lines
// than that is refused rather than miscounted.
constexpr std::int32_t kMaxRecords = std::numeric_limits<std::int32_t>::max();
constexpr std::size_t kSplitSearchPieceBytes = 4096;

bool ReadStretch(LineReader& reader, LoadedStars& stars) {
    LineReader::Line line{};
    LineReader::Status status;
    while ((status = reader.Next(line)) == LineReader::Status::Line) {
        if (CStarCatalog::IsStarLine(line.text) && !stars.Add(line.text, std::strlen(line.text))) {
            return false;
        }
    }
    return status == LineReader::Status::End;
}

// The offset of the first line that starts in the second half of the file,
// or 0 when there is none close enough to the middle.
std::uint64_t FindSplit(int descriptor, std::uint64_t size) {
    const std::uint64_t middle = size / 2;
    char piece[kSplitSearchPieceBytes];
    // A line starts at the middle when the byte before it ends a line.
    std::uint64_t offset = middle - 1;
    while (offset < size && offset < middle + kMaxSplitSearchBytes) {
        const ssize_t got = ::pread(descriptor, piece, sizeof piece, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return 0;
        }
        const auto* feed =
            static_cast<const char*>(std::memchr(piece, '\n', static_cast<std::size_t>(got)));
        if (feed != nullptr) {
            const std::uint64_t split = offset + static_cast<std::uint64_t>(feed - piece) + 1;
            return split < size ? split : 0;
        }
        offset += static_cast<std::uint64_t>(got);
    }
    return 0;
}

// Reads the two stretches of a file split at `split`, the later one on a
// helper thread, and joins them.
bool LoadSplit(int descriptor, std::uint64_t split, LoadedStars& stars) {
    LineReader earlierReader(descriptor, 0, split);
    LineReader laterReader(descriptor, split, LineReader::kToEnd);
    LoadedStars later;
    bool laterRead = false;
    HelperThread helper([&] { laterRead = ReadStretch(laterReader, later); });
    const bool earlierRead = ReadStretch(earlierReader, stars);
    helper.Join();
    return earlierRead && laterRead && stars.Append(later);
}

} // namespace

bool LoadedStars::Add(const char* text, std::size_t length) {
    if (count == kMaxRecords) {
        return false;
    }
    StarRecord* record = recordPool.Allocate();
    ResultNode* node = nodePool.Allocate();
    if (record == nullptr || node == nullptr) {
        return false;
    }
    NormaliseLine(text, length, *record);
    record->index = ++count;
    DecodeAllFields(*record);
    LinkRecord(*record, firstRecord, lastRecord);
    LinkResult(*node, *record, firstNode, lastNode);
    return true;
}

bool LoadedStars::Append(LoadedStars& later) {
    if (later.count == 0) {
        return true;
    }
    if (later.count > kMaxRecords - count) {
        return false;
    }
    // The pools hold exactly the stars of `later`; walking them in memory
    // order rather than along the lists keeps many reads in flight.
    const std::int32_t base = count;
    later.recordPool.ForEach([base](StarRecord& record) { record.index += base; });
    later.nodePool.ForEach([base](ResultNode& node) { node.number += base; });
    if (count == 0) {
        firstRecord = later.firstRecord;
        firstNode = later.firstNode;
    } else {
        lastRecord->next = later.firstRecord;
        lastNode->next = later.firstNode;
        later.firstNode->prev = lastNode;
    }
    lastRecord = later.lastRecord;
    lastNode = later.lastNode;
    count += later.count;
    recordPool.Adopt(later.recordPool);
    nodePool.Adopt(later.nodePool);
    later.firstRecord = later.lastRecord = nullptr;
    later.firstNode = later.lastNode = nullptr;
    later.count = 0;
    return true;
}

bool LoadStarLines(int descriptor, LoadedStars& stars) {
    struct stat status {};
    if (::fstat(descriptor, &status) != 0) {
        return false;
    }
    const auto size = static_cast<std::uint64_t>(status.st_size);
    if (S_ISREG(status.st_mode) && size >= kSplitLoadBytes) {
        const std::uint64_t split = FindSplit(descriptor, size);
        if (split != 0) {
            return LoadSplit(descriptor, split, stars);
        }
    }
    LineReader reader(descriptor);
    return ReadStretch(reader, stars);
}

} // namespace lumara
