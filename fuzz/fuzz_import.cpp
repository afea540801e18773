// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// Both importers on arbitrary bytes taken as a file: split into lines the way
// the loader splits them, the format detected from the head, and every line
// converted as GCVS 5.1 and as VSX. Whatever a line holds, a written line is
// a star line that decodes within the native line's ranges, every line is
// either a star, a blank line or counted as skipped, and a VSX line read from
// its fixed places gives what the general reading gives. Listing the changes
// changes nothing else and lists each one.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "Import.h"
#include "LineFormat.h"
#include "SourceLayouts.h"
#include "StarCatalog.h"
#include "StarLine.h"

using namespace lumara::import;

namespace {

constexpr double kLargestMagnitude = 99.99 + 1e-6;
constexpr double kLargestPeriod = 9999.0 * lumara::format::kThousands + 1e-6;
constexpr std::int16_t kLastHour = 23;
constexpr std::int16_t kLastMinute = 59;
constexpr std::int16_t kPole = 90;
constexpr CatalogueFormat kImported[] = {CatalogueFormat::Gcvs51, CatalogueFormat::Vsx};

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

template <std::size_t N> std::int64_t Total(const std::int64_t (&counts)[N]) {
    std::int64_t total = 0;
    for (const std::int64_t count : counts) {
        total += count;
    }
    return total;
}

void RequireReadableStar(const char* native) {
    Require(std::strlen(native) == lumara::format::kStoredLineChars);
    Require(CStarCatalog::IsStarLine(native));
    auto record = std::make_unique<StarRecord>();
    lumara::NormaliseLine(native, lumara::format::kStoredLineChars, *record);
    lumara::DecodeAllFields(*record);
    Require(record->raHours >= 0 && record->raHours <= kLastHour);
    Require(record->raMinutes >= 0 && record->raMinutes <= kLastMinute);
    Require(record->dec >= -kPole && record->dec <= kPole);
    Require(record->maxMag >= 0.0 && record->maxMag <= kLargestMagnitude);
    Require(record->minMag >= 0.0 && record->minMag <= kLargestMagnitude);
    Require(record->period >= 0.0 && record->period <= kLargestPeriod);
}

// A line that VSX's own form reads from fixed places must give what the
// general reading gives.
void RequireStandardFormAgrees(const char* text, std::size_t length) {
    SourceStar fixed;
    if (!IsVsxLine(text, length) || !ReadVsxStarInStandardForm(text, length, fixed)) {
        return;
    }
    SourceStar general;
    ImportReport generalReport;
    Require(ReadVsxStarInAnyForm(text, length, general, generalReport));
    char fromFixed[lumara::format::kStoredLineChars + 1];
    char fromGeneral[lumara::format::kStoredLineChars + 1];
    ImportReport fixedReport;
    Require(WriteNativeLine(fixed, fromFixed, fixedReport) ==
            WriteNativeLine(general, fromGeneral, generalReport));
    Require(std::strcmp(fromFixed, fromGeneral) == 0);
    Require(std::memcmp(fixedReport.changes, generalReport.changes, sizeof fixedReport.changes) ==
            0);
    lumara::StarDetails fixedDetails;
    lumara::StarDetails generalDetails;
    DescribeSource(fixed, fixedDetails);
    DescribeSource(general, generalDetails);
    Require(fixedDetails == generalDetails);
}

// Listing the changes writes the same line and counts, and a line of the
// list for each change counted.
void RequireListAgrees(CatalogueFormat format, const char* text, std::size_t length) {
    ImportReport unlisted;
    ImportReport listed;
    ChangeList list;
    char plain[lumara::format::kStoredLineChars + 1] = {};
    char withList[lumara::format::kStoredLineChars + 1] = {};
    const bool converted = ConvertLine(format, text, length, plain, unlisted);
    Require(ConvertLine(format, text, length, withList, listed, nullptr, &list) == converted);
    Require(std::memcmp(&unlisted.changes, &listed.changes, sizeof listed.changes) == 0);
    Require(std::memcmp(&unlisted.skipped, &listed.skipped, sizeof listed.skipped) == 0);
    Require(!converted || std::strcmp(plain, withList) == 0);
    Require(list.Complete());
    Require(std::count(list.Text().begin(), list.Text().end(), '\n') == Total(listed.changes));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    FormatDetector detector;
    ImportReport reports[std::size(kImported)];
    std::int64_t lines = 0;
    std::int64_t blanks[std::size(kImported)] = {};
    for (std::size_t start = 0; start < size;) {
        const char* feed = static_cast<const char*>(std::memchr(bytes + start, '\n', size - start));
        const std::size_t end = feed != nullptr ? static_cast<std::size_t>(feed - bytes) : size;
        // As the loader keeps a line: its first kMaxLineChars characters, up
        // to the first zero byte, in a buffer exactly that long.
        const std::size_t kept = std::min(end - start, lumara::format::kMaxLineChars);
        const std::size_t length = ::strnlen(bytes + start, kept);
        auto text = std::make_unique<char[]>(length + 1);
        std::memcpy(text.get(), bytes + start, length);
        text[length] = '\0';
        start = end + 1;
        ++lines;

        RequireStandardFormAgrees(text.get(), length);
        const bool wasDecided = detector.IsDecided();
        const std::size_t seen = detector.LinesSeen();
        detector.Feed(text.get(), length);
        for (std::size_t f = 0; f < std::size(kImported); ++f) {
            const std::int64_t notInLayout = reports[f].Skipped(SkipReason::NotInLayout);
            const std::int64_t before = reports[f].stars + Total(reports[f].skipped);
            char native[lumara::format::kStoredLineChars + 1];
            std::memset(native, 0, sizeof native);
            if (ConvertLine(kImported[f], text.get(), length, native, reports[f])) {
                RequireReadableStar(native);
            }
            RequireListAgrees(kImported[f], text.get(), length);
            const std::int64_t after = reports[f].stars + Total(reports[f].skipped);
            Require(after - before <= 1);
            blanks[f] += 1 - (after - before);
            // A line the detector took as this layout is never refused as
            // being outside it.
            if (!wasDecided && detector.LinesSeen() > seen && detector.Format() == kImported[f]) {
                Require(reports[f].Skipped(SkipReason::NotInLayout) == notInLayout);
            }
        }
    }
    detector.Finish();
    Require(detector.LinesSeen() <= FormatDetector::kDetectionLines);
    for (std::size_t f = 0; f < std::size(kImported); ++f) {
        Require(reports[f].stars + Total(reports[f].skipped) + blanks[f] == lines);
    }
    return 0;
}
