// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Opening a catalogue to read. A catalogue is a regular file or a pipe: a
// device such as /dev/zero would never end, and a folder holds no lines.
#pragma once

#include <string>

namespace lumara {

class CatalogueFile {
public:
    CatalogueFile() = default;
    ~CatalogueFile();
    CatalogueFile(const CatalogueFile&) = delete;
    CatalogueFile& operator=(const CatalogueFile&) = delete;

    // False when the path names no regular file or pipe, or it cannot be
    // opened for reading.
    bool Open(const char* path);
    int Descriptor() const { return descriptor; }
    // Why Open failed, for the user: the system's reason, or "not a file or
    // a pipe".
    const std::string& Problem() const { return problem; }

private:
    bool Failed(const char* why);

    int descriptor = -1;
    std::string problem;
};

} // namespace lumara
