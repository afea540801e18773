// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Where a command's output goes: standard output, or a file replaced safely
// only once every byte is on disk.
#pragma once

#include <cstddef>
#include <string>

#include "ByteSink.h"
#include "ExportFile.h"

namespace lumara::cli {

// The path that names standard input or standard output.
inline constexpr const char* kStandardStream = "-";

class Output final : public ByteSink {
public:
    // Standard output for kStandardStream, else the file at `path`. False
    // when the file cannot be written there; nothing is made then.
    bool Open(const std::string& path);
    bool Write(const char* data, std::size_t bytes) override;
    // Puts a file in place. True only when every byte reached it.
    bool Finish();
    // What failed, for the user: the file's name or "standard output".
    const std::string& Name() const { return name; }
    // Why it failed, in the system's words ("No space left on device").
    std::string Problem() const;
    // Whether writing failed because the reader of standard output has gone
    // away, which is no failure: it has read what it wanted.
    bool ReaderWentAway() const;

private:
    bool toFile = false;
    // The errno of a failed write to standard output; 0 while none failed.
    int standardOutputError = 0;
    std::string name = "standard output";
    ExportFile file;
};

} // namespace lumara::cli
