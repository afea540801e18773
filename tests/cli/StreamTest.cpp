// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// lumara reads a stream block by block on two threads; the library loads a
// whole file. On files whose lines straddle the blocks in every way, the
// two must find the same stars.
#include <random>

#include <gtest/gtest.h>

#include "RunLumara.h"
#include "SearchCriteria.h"
#include "TestFiles.h"

namespace {

using lumara::SearchCriteria;
using namespace lumara::test;

constexpr std::size_t kMiB = std::size_t{1} << 20;

// Generated stars with, between them, the lines a catalogue file may hold
// besides: headings, blank and CR-only lines, binary junk with zeros, star
// lines followed by a long tail (some far longer than a reading block), and
// perhaps a byte-order mark in front and no line feed at the end.
std::string RandomCatalogue(const std::string& stars, unsigned seed) {
    std::mt19937 random(seed);
    const std::vector<std::string> lines = LinesOf(stars);
    // A byte-order mark in front of a star line hides it unless skipped.
    std::string file = random() % 2 == 0 ? "\xEF\xBB\xBF" + lines[lines.size() / 2] : "";
    for (const std::string& line : lines) {
        switch (random() % 40) {
        case 0:
            file += "\n\r\n";
            break;
        case 1: {
            std::string junk(random() % 300, '\0');
            for (char& c : junk) {
                c = static_cast<char>(random() % 256 == 0 ? '\n' : random() % 256);
            }
            file += junk + "\n";
            break;
        }
        case 2: {
            // A star line whose tail the reader has to skip.
            const std::size_t tail =
                random() % 8 == 0 ? kMiB + random() % (2 * kMiB) : random() % 400;
            file += line.substr(0, line.size() - 1) + std::string(tail, 'x') + "\n";
            continue;
        }
        case 3:
            file += "\r\n";
            break;
        default:
            break;
        }
        file += line;
    }
    if (random() % 2 == 0 && !file.empty() && file.back() == '\n') {
        file.pop_back();
    }
    return file;
}

TEST(StreamTest, RandomCataloguesGiveTheLibrarysExports) {
    const TempDir folder;
    const std::string stars = ReadFile(MakeCatalogue(folder.PathOf("stars.txt"), 60000, 11));
    SearchCriteria everything;
    everything.useMagnitude = false;
    everything.usePeriod = false;
    SearchCriteria some = everything;
    some.raWest = 20, some.raEast = 3, some.useMagnitude = true, some.magMax = 10.0f;

    for (unsigned seed = 1; seed <= 4; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const std::string file = folder.Write("random.txt", RandomCatalogue(stars, seed));
        const std::string txt = LibraryExport(file, everything, false);
        const std::string csv = LibraryExport(file, some, true);

        const ProgramRun all = RunLumara({"search", file, "--format", "txt"});
        EXPECT_EQ(all.status, 0) << all.err;
        EXPECT_TRUE(all.out == txt) << "whole catalogue differs";
        const ProgramRun found = RunLumara({"search", file, "--ra", "20..3", "--max-mag", "10"});
        EXPECT_EQ(found.status, 0) << found.err;
        EXPECT_TRUE(found.out == csv) << "search differs";
        // Through a pipe, reads come in pieces of their own size.
        const ProgramRun piped =
            RunScript("cat '" + file + "' | \"$LUMARA\" search - --format txt");
        EXPECT_EQ(piped.status, 0) << piped.err;
        EXPECT_TRUE(piped.out == txt) << "piped catalogue differs";
        // A long line cut in two would count one line more.
        const ProgramRun info = RunLumara({"info", file});
        const std::size_t starLines = LinesOf(txt).size();
        EXPECT_NE(info.out.find("lines skipped: " +
                                std::to_string(LinesOf(ReadFile(file)).size() - starLines) + "\n"),
                  std::string::npos)
            << info.out;
    }
}

} // namespace
