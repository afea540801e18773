// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "RunLumara.h"

#include <cstdlib>
#include <filesystem>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "StarCatalog.h"
#include "TestFiles.h"

namespace lumara::test {

namespace {

// Runs `program` with its output in two files of `folder`.
ProgramRun RunProgram(const std::vector<std::string>& command, const RunOptions& options) {
    const TempDir folder;
    const std::string outPath = folder.PathOf("out");
    const std::string errPath = folder.PathOf("err");
    const pid_t child = ::fork();
    if (child == 0) {
        const int in =
            ::open(options.input.empty() ? "/dev/null" : options.input.c_str(), O_RDONLY);
        const std::string& outTarget = options.output.empty() ? outPath : options.output;
        const int out = ::open(outTarget.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0 || err < 0) {
            ::_exit(127);
        }
        ::dup2(in, STDIN_FILENO);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(err, STDERR_FILENO);
        if (options.closeStandardOutput) {
            ::close(STDOUT_FILENO);
        }
        std::vector<char*> argv;
        for (const std::string& word : command) {
            argv.push_back(const_cast<char*>(word.c_str()));
        }
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ProgramRun run;
    int status = 0;
    if (child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status)) {
        run.status = WEXITSTATUS(status);
    }
    run.out = ReadFile(outPath);
    run.err = ReadFile(errPath);
    return run;
}

} // namespace

ProgramRun RunLumara(const std::vector<std::string>& arguments, const RunOptions& options) {
    std::vector<std::string> command{LUMARA_CLI};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return RunProgram(command, options);
}

ProgramRun RunScript(const std::string& script) {
    ::setenv("LUMARA", LUMARA_CLI, 1);
    return RunProgram({"/bin/bash", "-c", script}, {});
}

std::string MakeCatalogue(const std::string& path, int stars, int seed, bool crlf,
                          const std::string& format) {
    std::vector<std::string> command{LUMARA_MAKE_CATALOGUE,
                                     "--stars",
                                     std::to_string(stars),
                                     "--seed",
                                     std::to_string(seed),
                                     "--format",
                                     format,
                                     "--output",
                                     path};
    if (crlf) {
        command.emplace_back("--crlf");
    }
    const ProgramRun run = RunProgram(command, {});
    EXPECT_EQ(run.status, 0) << run.err;
    return path;
}

std::string LibraryExport(const std::string& path, const SearchCriteria& criteria, bool asCsv,
                          std::span<const SortBy> sort) {
    const TempDir folder;
    CStarCatalog catalog;
    EXPECT_GT(catalog.LoadCatalog(path.c_str()), 0) << path;
    EXPECT_GE(SearchWith(catalog, criteria), 0);
    if (!sort.empty()) {
        EXPECT_GE(catalog.SortResults(sort, criteria.tonight.get()), 0);
    }
    const std::string exported = folder.PathOf(asCsv ? "export.csv" : "export.txt");
    EXPECT_GE(asCsv ? catalog.SaveCsv(exported.c_str()) : catalog.SaveTxt(exported.c_str()), 0);
    return ReadFile(exported);
}

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find('\n', begin);
        end = end == std::string::npos ? text.size() : end + 1;
        lines.push_back(text.substr(begin, end - begin));
        begin = end;
    }
    return lines;
}

SearchCriteria Unlimited() {
    SearchCriteria criteria;
    criteria.useMagnitude = false;
    criteria.usePeriod = false;
    return criteria;
}

} // namespace lumara::test
