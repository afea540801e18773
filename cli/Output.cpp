// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Output.h"

#include <cerrno>

#include <unistd.h>

namespace lumara::cli {

bool Output::Open(const std::string& path) {
    if (path == kStandardStream) {
        return true;
    }
    toFile = true;
    name = path;
    return file.Open(path.c_str());
}

// A closed standard output or a reader that went away makes the write fail;
// SIGPIPE is ignored so that this is reported rather than fatal.
bool Output::Write(const char* data, std::size_t bytes) {
    if (toFile) {
        return file.Write(data, bytes);
    }
    while (bytes > 0 && !failed) {
        const ssize_t wrote = ::write(STDOUT_FILENO, data, bytes);
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        failed = wrote <= 0;
        if (!failed) {
            data += wrote;
            bytes -= static_cast<std::size_t>(wrote);
        }
    }
    return !failed;
}

bool Output::Finish() {
    return toFile ? file.Finish() : !failed;
}

} // namespace lumara::cli
