// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Splits a file into lines, reading it in large blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>

#include "LineFormat.h"

namespace lumara {

class LineReader {
public:
    static constexpr std::size_t kBlockBytes = std::size_t{1} << 20;
    static constexpr std::uint64_t kToEnd = std::numeric_limits<std::uint64_t>::max();

    struct Line {
        // Zero-terminated after at most kMaxLineChars characters; valid until
        // the next call. The bytes may hold further zeros of their own.
        const char* text;
        std::size_t length;
    };
    enum class Status { Line, End, Error };

    // Reads a pipe or a file from where the descriptor stands to its end.
    explicit LineReader(int descriptor);
    // Reads the bytes of a file from offset `begin` up to `end` (or its end),
    // leaving the descriptor's own position alone, so that several readers
    // can share one descriptor.
    LineReader(int descriptor, std::uint64_t begin, std::uint64_t end);

    // Reads the next line. A line ends at a line feed, which is not kept, or
    // at the end of what is read; of a longer line only the first
    // kMaxLineChars characters are kept. A UTF-8 byte-order mark at the start
    // of the file is skipped.
    Status Next(Line& line);

private:
    bool Refill();

    int descriptor;
    bool positional;
    std::uint64_t offset;
    std::uint64_t end;
    std::unique_ptr<char[]> block;
    std::size_t position = 0;
    std::size_t filled = 0;
    bool atEnd = false;
    bool atStart;
    char carry[format::kMaxLineChars + 1];
};

} // namespace lumara
