// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Input.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Output.h"

namespace lumara::cli {

namespace {

constexpr const char* kNotAFileOrPipe = "not a file or a pipe";

} // namespace

Input::~Input() {
    if (owned) {
        ::close(descriptor);
    }
}

bool Input::Open(const std::string& path) {
    if (path == kStandardStream) {
        name = "standard input";
        descriptor = STDIN_FILENO;
        struct stat status {};
        if (::fstat(descriptor, &status) != 0) {
            return Failed(std::strerror(errno));
        }
        return !S_ISDIR(status.st_mode) || Failed(kNotAFileOrPipe);
    }
    name = path;
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return Failed(std::strerror(errno));
    }
    if (!S_ISREG(status.st_mode) && !S_ISFIFO(status.st_mode)) {
        return Failed(kNotAFileOrPipe);
    }
    descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    owned = descriptor >= 0;
    return owned || Failed(std::strerror(errno));
}

bool Input::Failed(const char* why) {
    problem = why;
    return false;
}

} // namespace lumara::cli
