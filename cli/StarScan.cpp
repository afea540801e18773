// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "StarScan.h"

#include <algorithm>

#include "LineFormat.h"

namespace lumara::cli {

void StarScan::Detect(const char* begin, const char* end) {
    import::FormatDetector detector;
    while (begin < end && !detector.IsDecided()) {
        const auto* feed = static_cast<const char*>(
            std::memchr(begin, '\n', static_cast<std::size_t>(end - begin)));
        const char* lineEnd = feed != nullptr ? feed : end;
        // What a line's text is once read: its first characters, up to a zero.
        const std::size_t kept =
            std::min(static_cast<std::size_t>(lineEnd - begin), format::kMaxLineChars);
        detector.Feed(begin, ::strnlen(begin, kept));
        begin = feed != nullptr ? feed + 1 : end;
    }
    format = detector.Finish();
}

LaneCounts StarScan::Total() const {
    LaneCounts total;
    total.report.format = format;
    for (const LaneCounts& lane : lanes) {
        total.stars += lane.stars;
        total.skipped += lane.skipped;
        total.matches += lane.matches;
        total.report.Merge(lane.report);
    }
    return total;
}

} // namespace lumara::cli
