// An export target written through a large buffer, which reports whether
// every byte reached the file.
//
// A regular file, or a path where nothing stands yet, is never written in
// place: the bytes go to a new temporary file beside it, which replaces the
// target only once it is complete and on disk. Whatever fails, the old file
// stays as it was. A symbolic link stays a link; the file it leads to is
// replaced. Anything else that can be opened for writing (a device, a pipe)
// is written directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace lumara {

class ExportFile {
public:
    static constexpr std::size_t kBufferBytes = std::size_t{1} << 20;

    ExportFile();
    // Removes the temporary file unless Finish has put it in place.
    ~ExportFile();
    ExportFile(const ExportFile&) = delete;
    ExportFile& operator=(const ExportFile&) = delete;

    // Prepares to replace the file at `path`. False when it cannot be written
    // there: a missing folder, a folder as target, no permission, no space
    // for a new file.
    bool Open(const char* path);

    // Room for at least `bytes` (at most kBufferBytes) further bytes; hand
    // what was written there back with Advance.
    char* Reserve(std::size_t bytes);
    void Advance(std::size_t bytes) { used += bytes; }
    void Append(std::string_view text);

    // Writes out what is buffered, makes it durable and puts it in place.
    // True only when every step succeeded; otherwise the target is as it was.
    bool Finish();

private:
    // What a replacement keeps of the file it replaces.
    struct Original {
        bool exists = false;
        std::uint32_t mode = 0;
        std::uint32_t owner = 0;
        std::uint32_t group = 0;
    };

    bool OpenDirect(const std::string& path);
    bool OpenReplacement(const std::string& path);
    bool Flush();
    void StartWriteback();
    bool KeepOriginalAttributes();
    void Discard();

    std::FILE* file = nullptr;
    std::unique_ptr<char[]> buffer;
    std::size_t used = 0;
    bool failed = false;
    // Bytes in the file, and where the writeback not yet started begins.
    std::uint64_t bytesWritten = 0;
    std::uint64_t writebackStart = 0;
    // Empty when the target is written directly.
    std::string target;
    std::string temporary;
    Original original;
};

} // namespace lumara
