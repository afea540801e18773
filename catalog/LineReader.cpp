#include "LineReader.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace lumara {

namespace {
constexpr unsigned char kByteOrderMark[] = {0xEF, 0xBB, 0xBF};
}

LineReader::LineReader(std::FILE* source)
    : file(source), block(new (std::nothrow) char[kBlockBytes]) {
}

bool LineReader::Refill() {
    filled = std::fread(block.get(), 1, kBlockBytes, file);
    position = 0;
    if (filled < kBlockBytes) {
        if (std::ferror(file)) {
            return false;
        }
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
