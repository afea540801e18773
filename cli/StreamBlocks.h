// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// One pass over a catalogue stream on two threads: the threads take turns at
// reading the next block of whole lines, handle the blocks they read side
// by side, and write what they made of them strictly in the order the blocks
// were read. Memory stays a few blocks whatever the stream's size.
#pragma once

#include <cstddef>
#include <cstring>
#include <functional>

#include "ByteSink.h"
#include "LineFormat.h"

namespace lumara::cli {

// Bytes read from the stream per block, beyond a line carried over from the
// block before.
inline constexpr std::size_t kInputBlockBytes = std::size_t{256} << 10;
// The calling thread and one helper.
inline constexpr std::size_t kStreamLanes = 2;

// Handles a block on the thread of `lane`: the bytes from `begin` to `end`
// hold whole lines, each ended by a line feed except perhaps the stream's
// last. One byte past `end` may be written. What it writes to `out` goes
// out in the order of the blocks; a full buffer is written as soon as every
// earlier block has been.
using BlockHandler =
    std::function<void(std::size_t lane, char* begin, char* end, BufferedWriter& out)>;

enum class StreamResult { Done, ReadFailed, WriteFailed, NoMemory };

// Sees the first block, from `begin` to `end`, before any block is handled;
// it must leave the bytes as they are.
using HeadHandler = std::function<void(const char* begin, const char* end)>;

// Reads `input` (a file or a pipe, from where it stands) to its end. A UTF-8
// byte-order mark at its start is skipped, and of a line longer than
// format::kMaxLineChars only the first kMaxLineChars characters reach the
// handler, the way the catalogue reads a file. After ReadFailed, errno tells
// why.
StreamResult StreamBlocks(int input, ByteSink& sink, const HeadHandler& head,
                          const BlockHandler& handle);

// Calls `visit` with each line of a block, terminated after at most
// format::kMaxLineChars characters in place of its line feed; as for a loaded
// catalogue, its text ends at its first zero byte.
template <typename Visit> void ForEachLine(char* begin, char* end, Visit&& visit) {
    while (begin < end) {
        char* feed =
            static_cast<char*>(std::memchr(begin, '\n', static_cast<std::size_t>(end - begin)));
        char* lineEnd = feed != nullptr ? feed : end;
        const auto length = static_cast<std::size_t>(lineEnd - begin);
        begin[length < format::kMaxLineChars ? length : format::kMaxLineChars] = '\0';
        visit(static_cast<const char*>(begin));
        begin = feed != nullptr ? feed + 1 : end;
    }
}

} // namespace lumara::cli
