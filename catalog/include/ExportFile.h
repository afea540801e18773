// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// An export target, which reports whether every byte reached the file.
//
// A regular file, or a path where nothing stands yet, is never written in
// place: the bytes go to a new temporary file beside it, which replaces the
// target only once it is complete and on disk. Whatever fails, the old file
// stays as it was. Where the file system allows, the temporary file has no
// name until it is complete, so a save that is killed leaves nothing behind. A symbolic link stays
// a link; the file it leads to is replaced. Anything else that can be opened for writing (a device,
// a pipe) is written directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "ByteSink.h"

namespace lumara {

class ExportFile final : public ByteSink {
public:
    ExportFile();
    // Removes the temporary file unless Finish has put it in place.
    ~ExportFile();
    ExportFile(const ExportFile&) = delete;
    ExportFile& operator=(const ExportFile&) = delete;

    // Prepares to replace the file at `path`. False when it cannot be written
    // there: a missing folder, a folder as target, no permission, no space
    // for a new file.
    bool Open(const char* path);

    // Appends the bytes to the file and starts putting their whole pages on
    // disk. False once any write has failed, after which nothing more is
    // written. Not for two threads at once.
    bool Write(const char* data, std::size_t bytes) override;

    // Makes what was written durable and puts it in place.
    // True only when every step succeeded; otherwise the target is as it was.
    bool Finish();

    // Why the first step that failed did, as an errno value (ENOENT for a
    // missing folder, ENOSPC for a full disk); 0 while nothing has failed.
    int Error() const { return error; }

private:
    // What a replacement keeps of the file it replaces.
    struct Original {
        bool exists = false;
        std::uint32_t mode = 0;
        std::uint32_t owner = 0;
        std::uint32_t group = 0;
    };

    // Starts putting the whole pages among the `bytes` written at `offset`
    // on disk, beside whatever else runs: the last page, if partly written,
    // is left for the next stretch.
    void StartWriteback(std::uint64_t offset, std::uint64_t bytes) const;
    bool OpenDirect(const std::string& path);
    bool OpenReplacement(const std::string& path);
    // Takes the descriptor of the new content for the target `path`; `name`
    // is the temporary file's name, empty for an unnamed file.
    bool Adopt(int descriptor, const std::string& path, std::string name);
    bool NameTemporaryFile();
    bool KeepOriginalAttributes();
    void Discard();
    // Keeps errno as the reason, unless an earlier step failed; returns false.
    bool Fail();

    std::FILE* file = nullptr;
    bool failed = false;
    int error = 0;
    // Bytes written so far.
    std::uint64_t bytesWritten = 0;
    // Empty when the target is written directly.
    std::string target;
    // The temporary file's name once it has one: from the start where the
    // folder refuses unnamed files, otherwise only from just before the
    // rename.
    std::string temporary;
    Original original;
};

} // namespace lumara
