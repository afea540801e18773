// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Input.h"

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

#include "Output.h"

namespace lumara::cli {

namespace {
constexpr const char* kFolder = "not a file or a pipe";
} // namespace

// Whatever the shell connects to standard input is read, a terminal
// included, but a folder holds no lines.
bool Input::Open(const std::string& path) {
    if (path != kStandardStream) {
        name = path;
        return file.Open(path.c_str());
    }
    fromStandardInput = true;
    name = "standard input";
    struct stat status {};
    if (::fstat(STDIN_FILENO, &status) != 0) {
        standardInputProblem = std::strerror(errno);
        return false;
    }
    if (S_ISDIR(status.st_mode)) {
        standardInputProblem = kFolder;
        return false;
    }
    return true;
}

int Input::Descriptor() const {
    return fromStandardInput ? STDIN_FILENO : file.Descriptor();
}

const std::string& Input::Problem() const {
    return fromStandardInput ? standardInputProblem : file.Problem();
}

} // namespace lumara::cli
