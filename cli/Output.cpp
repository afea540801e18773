// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Output.h"

#include <cerrno>
#include <csignal>
#include <cstring>

#include <pthread.h>
#include <unistd.h>

namespace lumara::cli {

namespace {

// SIGPIPE is ignored, so that a file named by -o that is a pipe fails as a
// write with its status. A reader of standard output that goes away is no
// failure, though: it has read what it wanted, and the program stops as the
// signal would have stopped it, quietly, both lanes at once. This returns
// only where the signal cannot be delivered.
void EndAsBrokenPipe() {
    std::signal(SIGPIPE, SIG_DFL);
    sigset_t brokenPipe;
    sigemptyset(&brokenPipe);
    sigaddset(&brokenPipe, SIGPIPE);
    pthread_sigmask(SIG_UNBLOCK, &brokenPipe, nullptr);
    std::raise(SIGPIPE);
}

} // namespace

bool Output::Open(const std::string& path) {
    if (path == kStandardStream) {
        return true;
    }
    toFile = true;
    name = path;
    return file.Open(path.c_str());
}

bool Output::Write(const char* data, std::size_t bytes) {
    if (toFile) {
        return file.Write(data, bytes);
    }
    while (bytes > 0 && standardOutputError == 0) {
        const ssize_t wrote = ::write(STDOUT_FILENO, data, bytes);
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            standardOutputError = wrote < 0 ? errno : EIO;
            if (standardOutputError == EPIPE) {
                EndAsBrokenPipe();
            }
            break;
        }
        data += wrote;
        bytes -= static_cast<std::size_t>(wrote);
    }
    return standardOutputError == 0;
}

bool Output::Finish() {
    return toFile ? file.Finish() : standardOutputError == 0;
}

std::string Output::Problem() const {
    return std::strerror(toFile ? file.Error() : standardOutputError);
}

} // namespace lumara::cli
