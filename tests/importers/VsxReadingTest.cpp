// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// The two readings of a VSX line agree.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "SourceLayouts.h"
#include "TestFiles.h"

using namespace lumara::import;
using namespace lumara::test;

namespace {

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t feed; (feed = text.find('\n', start)) != std::string::npos; start = feed + 1) {
        lines.push_back(text.substr(start, feed - start));
    }
    return lines;
}

// VSX's own lines are read from fixed places, every other line the general
// way. Generated lines, and each of them with one byte of a field the fixed
// reading relies on replaced by each of a few telling bytes, must give the
// same native line and the same counts either way.
TEST(VsxReadingTest, LinesInVsxsOwnFormReadAsTheGeneralReadingReadsThem) {
    constexpr int kStars = 400;
    // R.A., declination, the maximum with its marks, the minimum with its
    // amplitude mark, the period with its mark and flags, and the decimal
    // points that tell the 2013 width.
    constexpr std::size_t kFirstByte = 41, kLastByte = 158;
    const char kReplacements[] = {' ', '-', '+', '.', '0', '9', '\t', 'x', '<', '(', ':', '\xB0'};
    TempDir dir;
    const std::string generated = dir.PathOf("generated.dat");
    const std::string command = std::string(LUMARA_MAKE_CATALOGUE) + " --stars " +
                                std::to_string(kStars) + " --seed 3 --format vsx --output " +
                                generated;
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::vector<std::string> lines;
    for (const std::string& line : LinesOf(ReadFile(generated))) {
        lines.push_back(line);
        for (std::size_t at = kFirstByte; at <= kLastByte; ++at) {
            for (const char replacement : kReplacements) {
                std::string changed = line;
                changed[at - 1] = replacement;
                lines.push_back(changed);
            }
        }
    }
    int standard = 0;
    for (const std::string& line : lines) {
        SourceStar fixed;
        if (!IsVsxLine(line.c_str(), line.size()) ||
            !ReadVsxStarInStandardForm(line.c_str(), line.size(), fixed)) {
            continue;
        }
        ++standard;
        SourceStar general;
        ImportReport generalReport;
        ASSERT_TRUE(ReadVsxStarInAnyForm(line.c_str(), line.size(), general, generalReport))
            << line;
        char fromFixed[lumara::format::kStoredLineChars + 1];
        char fromGeneral[lumara::format::kStoredLineChars + 1];
        ImportReport fixedReport;
        ASSERT_EQ(WriteNativeLine(fixed, fromFixed, fixedReport),
                  WriteNativeLine(general, fromGeneral, generalReport))
            << line;
        ASSERT_STREQ(fromFixed, fromGeneral) << line;
        for (std::size_t i = 0; i < kChanges; ++i) {
            ASSERT_EQ(fixedReport.changes[i], generalReport.changes[i]) << line << "\nchange " << i;
        }
        lumara::StarDetails fixedDetails;
        lumara::StarDetails generalDetails;
        DescribeSource(fixed, fixedDetails);
        DescribeSource(general, generalDetails);
        ASSERT_TRUE(fixedDetails == generalDetails) << line;
    }
    // Every generated line and most of the changed ones take the fixed way.
    EXPECT_GT(standard, static_cast<int>(lines.size()) / 2);
}

} // namespace
