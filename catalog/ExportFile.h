// An export target written through a large buffer, which reports whether
// every byte reached the file.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string_view>

namespace lumara {

class ExportFile {
public:
    static constexpr std::size_t kBufferBytes = std::size_t{1} << 20;

    ExportFile();
    ~ExportFile();
    ExportFile(const ExportFile&) = delete;
    ExportFile& operator=(const ExportFile&) = delete;

    // Creates the file, or empties an existing one. False when it cannot be
    // opened for writing.
    bool Open(const char* path);

    // Room for at least `bytes` (at most kBufferBytes) further bytes; hand
    // what was written there back with Advance.
    char* Reserve(std::size_t bytes);
    void Advance(std::size_t bytes) { used += bytes; }
    void Append(std::string_view text);

    // Writes out what is buffered and closes the file. True only when every
    // write and the close succeeded.
    bool Finish();

private:
    void Flush();

    std::FILE* file = nullptr;
    std::unique_ptr<char[]> buffer;
    std::size_t used = 0;
    bool failed = false;
};

} // namespace lumara
