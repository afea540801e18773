// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Output.h"

#include <cerrno>
#include <cstring>

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

bool Output::ReaderWentAway() const {
    return !toFile && standardOutputError == EPIPE;
}

std::string Output::Problem() const {
    return std::strerror(toFile ? file.Error() : standardOutputError);
}

} // namespace lumara::cli
