// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <filesystem>

#include <gtest/gtest.h>

#include "FileSystemFaults.h"
#include "RunLumara.h"
#include "TestFiles.h"

namespace {

using namespace lumara::test;

// The statuses the README documents.
constexpr int kNoStarLines = 1;
constexpr int kUsageError = 2;
constexpr int kUnreadableInput = 3;
constexpr int kUnwritableOutput = 4;
constexpr int kOutOfMemory = 5;
// What the shell says of a program ended by SIGPIPE: 128 + 13.
constexpr int kKilledByBrokenPipe = 141;

struct FailureCase {
    const char* what;
    std::vector<std::string> arguments;
    int status;
    std::string says; // part of the one line on standard error
    RunOptions options = {};
};

TEST(ErrorTest, EachFailureIsOneLineAndItsDocumentedStatus) {
    const TempDir folder;
    const std::string demo = LUMARA_DEMO_CATALOGUE;
    const std::string headings = DataFile("no-star-lines.txt");
    const std::string missing = folder.PathOf("missing/out.csv");
    const FailureCase cases[] = {
        {"a file without star lines", {"search", headings}, kNoStarLines, "holds no star lines"},
        {"empty standard input", {"info", "-"}, kNoStarLines, "standard input holds no star lines"},
        {"convert without star lines",
         {"convert", headings, "-o", folder.PathOf("c.txt")},
         kNoStarLines,
         "no star lines"},
        {"an hour out of range", {"search", demo, "--ra", "24..1"}, kUsageError, "--ra WEST"},
        {"an hour beyond 16 bits", {"search", demo, "--ra", "65536..1"}, kUsageError, "--ra WEST"},
        {"an east hour out of range", {"search", demo, "--ra", "1..-1"}, kUsageError, "--ra EAST"},
        {"a band out of order",
         {"search", demo, "--dec", "10..-10"},
         kUsageError,
         "--dec: SOUTH (10) is north of NORTH (-10)"},
        {"a pole passed", {"search", demo, "--dec", "0..91"}, kUsageError, "--dec NORTH"},
        {"periods out of order",
         {"search", demo, "--period", "400..+200"},
         kUsageError,
         "--period: LEAST (400) is longer than MOST (200)"},
        {"a plus before a minus", {"search", demo, "--dec", "+-5..5"}, kUsageError, "--dec takes"},
        {"an open east hour", {"search", demo, "--ra", "22.."}, kUsageError, "--ra takes"},
        {"a most period of 0", {"search", demo, "--period", "0..0"}, kUsageError, "--period MOST"},
        {"a negative magnitude", {"search", demo, "--max-mag", "-1"}, kUsageError, "--max-mag"},
        {"a magnitude beyond a float",
         {"search", demo, "--min-mag", "1e300"},
         kUsageError,
         "--min-mag"},
        {"hours that are not whole", {"search", demo, "--ra", "1.5..3"}, kUsageError, "--ra takes"},
        {"a range without its dots", {"search", demo, "--dec", "10"}, kUsageError, "--dec takes"},
        {"an unknown format", {"search", demo, "--format", "xml"}, kUsageError, "--format"},
        {"an unknown option", {"search", demo, "--bright"}, kUsageError, "--bright"},
        {"no subcommand", {}, kUsageError, "subcommand"},
        {"a misspelt command",
         {"serch", demo, "--count"},
         kUsageError,
         "unknown command 'serch'; did you mean 'search'?"},
        {"a word that is no command",
         {"xyzzy", demo},
         kUsageError,
         "unknown command 'xyzzy'; the commands are search, tonight, convert, info"},
        {"convert without -o", {"convert", demo}, kUsageError, "--output"},
        {"a missing file", {"search", folder.PathOf("none.txt")}, kUnreadableInput, "none.txt"},
        {"a folder", {"info", folder.PathOf("")}, kUnreadableInput, "not a file"},
        {"a device", {"search", "/dev/zero"}, kUnreadableInput, "/dev/zero"},
        {"a folder as standard input",
         {"search", "-"},
         kUnreadableInput,
         "standard input",
         {folder.PathOf(""), false, ""}},
        {"an output in a missing folder",
         {"search", demo, "-o", missing},
         kUnwritableOutput,
         "cannot write " + missing + ": No such file or directory"},
        {"a report in a missing folder",
         {"convert", demo, "-o", folder.PathOf("c.txt"), "--report", missing},
         kUnwritableOutput,
         "cannot write " + missing + ": No such file or directory"},
        {"a folder as output",
         {"convert", demo, "-o", folder.PathOf("")},
         kUnwritableOutput,
         ": Is a directory"},
        {"a full device as output",
         {"search", demo, "-o", "/dev/full"},
         kUnwritableOutput,
         "cannot write /dev/full: No space left on device"},
        {"a closed standard output",
         {"search", demo},
         kUnwritableOutput,
         "cannot write standard output: Bad file descriptor",
         {"", true, ""}},
        {"a full standard output",
         {"search", demo},
         kUnwritableOutput,
         "cannot write standard output: No space left on device",
         {"", false, "/dev/full"}},
        {"a report and the catalogue both to standard output",
         {"convert", demo, "-o", "-", "--report", "-"},
         kUsageError,
         "--report"},
    };
    for (const FailureCase& test : cases) {
        SCOPED_TRACE(test.what);
        const ProgramRun run = RunLumara(test.arguments, test.options);
        EXPECT_EQ(run.status, test.status);
        EXPECT_EQ(run.err.rfind("lumara: ", 0), 0u) << run.err;
        EXPECT_EQ(LinesOf(run.err).size(), 1u) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(test.says), std::string::npos) << run.err;
    }
    EXPECT_FALSE(std::filesystem::exists(folder.PathOf("missing")));
}

// Root writes anywhere; an ordinary user is told why a folder refuses.
TEST(ErrorTest, AFolderTheUserMayNotWriteToIsNamedWithTheReason) {
    const TempDir folder;
    OpenFolderToEveryone(folder.PathOf(""), false);
    const std::string target = folder.PathOf("out.csv");
    const int result = RunAsOrdinaryUser([&target] {
        const ProgramRun run = RunLumara({"search", LUMARA_DEMO_CATALOGUE, "-o", target});
        return run.status == kUnwritableOutput &&
                       run.err == "lumara: cannot write " + target + ": Permission denied\n"
                   ? 0
                   : 1;
    });
    if (result == kNoOrdinaryUser) {
        GTEST_SKIP() << "cannot run as an ordinary user";
    }
    EXPECT_EQ(result, 0) << "status 4 and \"Permission denied\" expected";
}

TEST(ErrorTest, AFailedSearchLeavesNoOutputFile) {
    const TempDir folder;
    const std::string target = folder.PathOf("out.csv");
    const ProgramRun noStars = RunLumara({"search", DataFile("no-star-lines.txt"), "-o", target});
    EXPECT_EQ(noStars.status, kNoStarLines);
    EXPECT_FALSE(std::filesystem::exists(target));

    // The old file stays when the new one cannot be made.
    const std::string kept = folder.Write("kept.txt", "old bytes\n");
    const ProgramRun unreadable = RunLumara({"convert", folder.PathOf("none"), "-o", kept});
    EXPECT_EQ(unreadable.status, kUnreadableInput);
    EXPECT_EQ(ReadFile(kept), "old bytes\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.PathOf("")),
                            std::filesystem::directory_iterator()),
              1);
}

// A reader of standard output that has what it wants (head, a pager) ends
// lumara as it ends cat: at once, by the broken-pipe signal, without a word,
// whichever lane was writing. A pipe named by -o is a file whose write failed.
TEST(ErrorTest, AReaderThatGoesAwayEndsTheProgramQuietly) {
    const TempDir folder;
    // Enough output that the pipe fills before the reader leaves.
    const std::string catalogue = MakeCatalogue(folder.PathOf("big.txt"), 50000, 3);
    for (const std::string command : {"search", "search --desc", "convert -o -"}) {
        SCOPED_TRACE(command);
        const ProgramRun run = RunScript("\"$LUMARA\" " + command + " '" + catalogue +
                                         "' | head -2 >/dev/null; echo \"${PIPESTATUS[0]}\"");
        EXPECT_EQ(run.out, std::to_string(kKilledByBrokenPipe) + "\n");
        EXPECT_EQ(run.err, "");
    }
    const ProgramRun named = RunScript("cd '" + folder.PathOf("") +
                                       "' && mkfifo out.txt && { head -c 10 out.txt >/dev/null & } "
                                       "&& \"$LUMARA\" search big.txt -o out.txt; echo $?");
    EXPECT_EQ(named.out, std::to_string(kUnwritableOutput) + "\n");
    EXPECT_EQ(named.err, "lumara: cannot write out.txt: Broken pipe\n");
}

// A search streams in a few blocks of memory, so it runs in an address space
// far smaller than the file; one in reverse holds its matches, and says so
// when they do not fit. (The sanitizers need a vast address space of their
// own.)
TEST(ErrorTest, OnlyAReversedSearchCanRunOutOfMemory) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "an address-space limit stops the sanitizer itself";
#endif
    const TempDir folder;
    // 15 MB of stars in 16 MB of address space.
    const std::string catalogue = MakeCatalogue(folder.PathOf("stars.txt"), 200000, 5);
    const std::string limited = "ulimit -v 16384; \"$LUMARA\" search '" + catalogue + "' ";
    const ProgramRun inOrder = RunScript(limited + ">/dev/null; echo $?");
    EXPECT_EQ(inOrder.out, "0\n") << inOrder.err;
    const ProgramRun reversed = RunScript(limited + "--desc >/dev/null; echo $?");
    EXPECT_EQ(reversed.out, std::to_string(kOutOfMemory) + "\n");
    EXPECT_EQ(reversed.err, "lumara: out of memory\n");
}

} // namespace
