// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "BenchSetup.h"

#include <spawn.h>
#include <sys/wait.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <system_error>

extern char** environ;

namespace lumara::bench {

namespace {

constexpr std::string_view kStarsOption = "--stars=";
constexpr std::string_view kDirOption = "--dir=";
constexpr std::string_view kRoundsOption = "--rounds=";

template <typename Number> bool ParseWhole(std::string_view text, Number& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size() && value > 0;
}

// Every item between the commas must be a count: "3," and "1,,2" are refused.
bool ParseCounts(std::string_view text, std::vector<long long>& counts) {
    counts.clear();
    for (;;) {
        const std::size_t comma = text.find(',');
        long long count = 0;
        if (!ParseWhole(text.substr(0, comma), count)) {
            return false;
        }
        counts.push_back(count);
        if (comma == std::string_view::npos) {
            return true;
        }
        text.remove_prefix(comma + 1);
    }
}

} // namespace

bool TakeOptions(int& argc, char** argv, Options& options) {
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument.starts_with(kStarsOption)) {
            if (!ParseCounts(argument.substr(kStarsOption.size()), options.stars)) {
                std::fprintf(stderr, "%s: expected --stars=N[,N...] with counts above 0\n",
                             argv[i]);
                return false;
            }
        } else if (argument.starts_with(kDirOption)) {
            options.dir = argument.substr(kDirOption.size());
        } else if (argument.starts_with(kRoundsOption)) {
            if (!ParseWhole(argument.substr(kRoundsOption.size()), options.rounds)) {
                std::fprintf(stderr, "%s: expected --rounds=R with R above 0\n", argv[i]);
                return false;
            }
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
    argv[argc] = nullptr;
    return true;
}

std::string OneCatalogue(int& argc, char** argv, Options& options, const char* usage) {
    if (!TakeOptions(argc, argv, options) || argc != 1 || options.stars.size() != 1) {
        std::fprintf(stderr, "usage: %s\n", usage);
        return {};
    }
    return MakeCatalogue(options.dir, options.stars.front());
}

std::string MakeCatalogue(const std::string& dir, long long stars, const char* format) {
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error) {
        std::fprintf(stderr, "%s: %s\n", dir.c_str(), error.message().c_str());
        return {};
    }
    const bool native = std::strcmp(format, "native") == 0;
    const std::string path = dir + "/" + (native ? "stars" : format) + "-" + std::to_string(stars) +
                             (native ? ".txt" : ".dat");
    const std::string count = std::to_string(stars);
    const char* arguments[] = {
        LUMARA_MAKE_CATALOGUE, "--stars", count.c_str(), "--format", format, "--output",
        path.c_str(),          nullptr};
    pid_t child = 0;
    int status = 0;
    if (posix_spawn(&child, LUMARA_MAKE_CATALOGUE, nullptr, nullptr,
                    const_cast<char* const*>(arguments), environ) != 0 ||
        waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s: could not generate %lld stars\n", path.c_str(), stars);
        return {};
    }
    return path;
}

} // namespace lumara::bench
