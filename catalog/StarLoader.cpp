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
#include "StarCatalog.h"
#include "StarLine.h"

namespace lumara {

namespace {

// The record index and every count are 32-bit; a file with more star lines
// than that is refused rather than miscounted.
constexpr std::int32_t kMaxRecords = std::numeric_limits<std::int32_t>::max();
constexpr std::size_t kSplitSearchPieceBytes = 4096;

// Stores one line as the file's format has it: a native star line as it
// stands, a GCVS or VSX line as the native line written for it.
bool AddLine(import::CatalogueFormat format, const char* text, LoadedStars& stars) {
    // Most lines of a native file are stars, but the length is wanted only
    // for those that are.
    if (format == import::CatalogueFormat::Native) {
        return !CStarCatalog::IsStarLine(text) || stars.Add(text, std::strlen(text));
    }
    char native[import::kNativeChars + 1];
    return !import::ConvertLine(format, text, std::strlen(text), native, stars.report) ||
           stars.Add(native, import::kNativeChars);
}

bool ReadStretch(LineReader& reader, import::CatalogueFormat format, LoadedStars& stars) {
    LineReader::Line line{};
    LineReader::Status status;
    while ((status = reader.Next(line)) == LineReader::Status::Line) {
        if (!AddLine(format, line.text, stars)) {
            return false;
        }
    }
    return status == LineReader::Status::End;
}

// Feeds lines to the detector until it decides or the reader ends; false on
// a read error.
bool Detect(LineReader& reader, import::FormatDetector& detector) {
    LineReader::Line line{};
    LineReader::Status status = LineReader::Status::End;
    while (!detector.IsDecided() && (status = reader.Next(line)) == LineReader::Status::Line) {
        detector.Feed(line.text, std::strlen(line.text));
    }
    return status != LineReader::Status::Error;
}

// Settles the format and stores the lines the detector held meanwhile, which
// come before anything still unread.
bool StartImport(import::FormatDetector& detector, LoadedStars& stars) {
    stars.report.format = detector.Finish();
    for (std::size_t i = 0; i < detector.HeldLines(); ++i) {
        if (!AddLine(stars.report.format, detector.HeldText(i), stars)) {
            return false;
        }
    }
    return true;
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
// helper thread, and joins them. The format is settled from the file's head
// first, so that both stretches read it alike; a head that does not settle
// it within the earlier stretch is looked for on into the later one.
bool LoadSplit(int descriptor, std::uint64_t split, LoadedStars& stars) {
    LineReader earlierReader(descriptor, 0, split);
    LineReader laterReader(descriptor, split, LineReader::kToEnd);
    import::FormatDetector detector;
    if (!Detect(earlierReader, detector) ||
        (!detector.IsDecided() && !Detect(laterReader, detector)) ||
        !StartImport(detector, stars)) {
        return false;
    }
    LoadedStars later;
    later.report.format = stars.report.format;
    bool laterRead = false;
    HelperThread helper([&] { laterRead = ReadStretch(laterReader, stars.report.format, later); });
    const bool earlierRead = ReadStretch(earlierReader, stars.report.format, stars);
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
    report.Merge(later.report);
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
    import::FormatDetector detector;
    return Detect(reader, detector) && StartImport(detector, stars) &&
           ReadStretch(reader, stars.report.format, stars);
}

} // namespace lumara
