// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "LineReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <unistd.h>

#include "FaultHook.h"

namespace lumara {

namespace {
constexpr unsigned char kByteOrderMark[] = {0xEF, 0xBB, 0xBF};
}

LineReader::LineReader(int source)
    : descriptor(source), positional(false), offset(0), end(kToEnd),
      block(AllocateBuffer(kBlockBytes, FaultPoint::LoadBuffer)), atStart(true) {
}

LineReader::LineReader(int source, std::uint64_t begin, std::uint64_t stop)
    : descriptor(source), positional(true), offset(begin), end(stop),
      block(AllocateBuffer(kBlockBytes, FaultPoint::LoadBuffer)), atStart(begin == 0) {
}

// Fills the whole block unless the bytes run out: a pipe may hand over less
// than was asked for long before its end.
bool LineReader::Refill() {
    const std::size_t wanted =
        static_cast<std::size_t>(std::min<std::uint64_t>(kBlockBytes, end - offset));
    filled = 0;
    position = 0;
    while (filled < wanted) {
        char* into = block.get() + filled;
        const std::size_t room = wanted - filled;
        const ssize_t got = positional ? ::pread(descriptor, into, room, static_cast<off_t>(offset))
                                       : ::read(descriptor, into, room);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (got == 0) {
            break;
        }
        filled += static_cast<std::size_t>(got);
        offset += static_cast<std::uint64_t>(got);
    }
    if (filled < kBlockBytes) {
        atEnd = true;
    }
    if (atStart) {
        atStart = false;
        if (filled >= sizeof kByteOrderMark &&
            std::memcmp(block.get(), kByteOrderMark, sizeof kByteOrderMark) == 0) {
            position = sizeof kByteOrderMark;
        }
    }
    return true;
}

LineReader::Status LineReader::Next(Line& line) {
    if (block == nullptr) {
        return Status::Error; // no memory for the block
    }
    std::size_t carried = 0;
    bool carrying = false;
    for (;;) {
        if (position == filled) {
            if (atEnd) {
                if (!carrying) {
                    return Status::End;
                }
                carry[carried] = '\0';
                line = {carry, carried};
                return Status::Line;
            }
            if (!Refill()) {
                return Status::Error;
            }
            continue;
        }
        char* start = block.get() + position;
        const std::size_t available = filled - position;
        char* feed = static_cast<char*>(std::memchr(start, '\n', available));
        const std::size_t pieceLength =
            feed != nullptr ? static_cast<std::size_t>(feed - start) : available;
        if (feed != nullptr && !carrying) {
            // The whole line lies in the block: terminate it in place.
            position += pieceLength + 1;
            const std::size_t length = std::min(pieceLength, format::kMaxLineChars);
            start[length] = '\0';
            line = {start, length};
            return Status::Line;
        }
        // The line goes on into the next block: keep what fits of it.
        const std::size_t taken = std::min(pieceLength, format::kMaxLineChars - carried);
        std::memcpy(carry + carried, start, taken);
        carried += taken;
        carrying = true;
        position += pieceLength;
        if (feed != nullptr) {
            ++position;
            carry[carried] = '\0';
            line = {carry, carried};
            return Status::Line;
        }
    }
}

} // namespace lumara
