// Splits a file into lines, reading it in large blocks.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>

#include "LineFormat.h"

namespace lumara {

class LineReader {
public:
    static constexpr std::size_t kBlockBytes = std::size_t{1} << 20;

    struct Line {
        // Zero-terminated after at most kMaxLineChars characters; valid until
        // the next call. The bytes may hold further zeros of their own.
        const char* text;
        std::size_t length;
    };
    enum class Status { Line, End, Error };

    explicit LineReader(std::FILE* file);

    // Reads the next line. A line ends at a line feed, which is not kept, or
    // at the end of the file; of a longer line only the first kMaxLineChars
    // characters are kept. A UTF-8 byte-order mark before the first line is
    // skipped.
    Status Next(Line& line);

private:
    bool Refill();

    std::FILE* file;
    std::unique_ptr<char[]> block;
    std::size_t position = 0;
    std::size_t filled = 0;
    bool atEnd = false;
    bool atStart = true;
    char carry[format::kMaxLineChars + 1];
};

} // namespace lumara
