#include "ExportFile.h"

#include <cstring>

namespace lumara {

ExportFile::ExportFile() : buffer(new char[kBufferBytes]) {
}

ExportFile::~ExportFile() {
    if (file != nullptr) {
        std::fclose(file);
    }
}

bool ExportFile::Open(const char* path) {
    file = std::fopen(path, "wb");
    if (file == nullptr) {
        return false;
    }
    std::setvbuf(file, nullptr, _IONBF, 0);
    return true;
}

void ExportFile::Flush() {
    if (used > 0 && !failed && std::fwrite(buffer.get(), 1, used, file) != used) {
        failed = true;
    }
    used = 0;
}

char* ExportFile::Reserve(std::size_t bytes) {
    if (kBufferBytes - used < bytes) {
        Flush();
    }
    return buffer.get() + used;
}

void ExportFile::Append(std::string_view text) {
    std::memcpy(Reserve(text.size()), text.data(), text.size());
    Advance(text.size());
}

bool ExportFile::Finish() {
    Flush();
    const bool written = !failed && std::fflush(file) == 0 && std::ferror(file) == 0;
    const bool closed = std::fclose(file) == 0;
    file = nullptr;
    return written && closed;
}

} // namespace lumara
