// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "CatalogueFile.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumara {

namespace {
constexpr const char* kNotAFileOrPipe = "not a file or a pipe";
} // namespace

CatalogueFile::~CatalogueFile() {
    if (descriptor >= 0) {
        ::close(descriptor);
    }
}

bool CatalogueFile::Open(const char* path) {
    struct stat status {};
    if (path == nullptr || ::stat(path, &status) != 0) {
        return Failed(path == nullptr ? std::strerror(ENOENT) : std::strerror(errno));
    }
    if (!S_ISREG(status.st_mode) && !S_ISFIFO(status.st_mode)) {
        return Failed(kNotAFileOrPipe);
    }
    descriptor = ::open(path, O_RDONLY | O_CLOEXEC);
    return descriptor >= 0 || Failed(std::strerror(errno));
}

bool CatalogueFile::Failed(const char* why) {
    problem = why;
    return false;
}

} // namespace lumara
