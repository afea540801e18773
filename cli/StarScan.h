// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The star lines of a streamed catalogue, whatever its format: native lines
// as they stand, GCVS 5.1 and VSX lines as the native lines the importers
// write for them, exactly as a load would store them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "HelperThread.h"
#include "Import.h"
#include "StarCatalog.h"
#include "StreamBlocks.h"

namespace lumara::cli {

// What one lane has seen; lanes count side by side, so each has cache lines
// of its own.
struct alignas(kCacheLineBytes) LaneCounts {
    std::uint64_t stars = 0;
    std::uint64_t skipped = 0; // lines that gave no star, blank ones included
    std::uint64_t matches = 0;
    import::ImportReport report;
};

class StarScan {
public:
    // Settles the format from the first block, which must hold the file's
    // first lines, as a load settles it from the file's head.
    void Detect(const char* begin, const char* end);

    // Calls star(text) with the native line of each star of a block, ended
    // by a zero, and counts the lines that give none.
    template <typename Star>
    void ForEachStar(char* begin, char* end, std::size_t lane, Star&& star) {
        LaneCounts& counts = lanes[lane];
        ForEachLine(begin, end, [&](const char* text) {
            if (format == import::CatalogueFormat::Native) {
                if (!CStarCatalog::IsStarLine(text)) {
                    ++counts.skipped;
                    return;
                }
                ++counts.stars;
                star(text);
                return;
            }
            // Written whole from fields that end at their first zero, so the
            // line holds no zero before its end.
            char native[import::kNativeChars + 1];
            if (!import::ConvertLine(format, text, std::strlen(text), native, counts.report)) {
                ++counts.skipped;
                return;
            }
            ++counts.stars;
            star(static_cast<const char*>(native));
        });
    }

    // Every lane's counts added up, the import report with the format.
    LaneCounts Total() const;
    LaneCounts& Lane(std::size_t lane) { return lanes[lane]; }

private:
    import::CatalogueFormat format = import::CatalogueFormat::Native;
    std::array<LaneCounts, kStreamLanes> lanes{};
};

} // namespace lumara::cli
