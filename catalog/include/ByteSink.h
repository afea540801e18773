// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Where output goes, and the one buffer in front of it that writes in large
// pieces.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

namespace lumara {

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // False once any write has failed.
    virtual bool Write(const char* data, std::size_t bytes) = 0;
};

class BufferedWriter {
public:
    static constexpr std::size_t kBytes = std::size_t{1} << 20;

    // `buffer` holds kBytes bytes.
    BufferedWriter(ByteSink& target, std::unique_ptr<char[]> buffer)
        : sink(target), data(std::move(buffer)) {}

    // Room for `bytes` (at most kBytes) further bytes; hand what was written
    // there back with Advance.
    char* Reserve(std::size_t bytes) {
        if (kBytes - used < bytes) {
            Flush();
        }
        return data.get() + used;
    }
    void Advance(std::size_t bytes) { used += bytes; }
    void Append(std::string_view text);
    // Writes what is held. False once any write has failed; what is held
    // then is dropped.
    bool Flush();

private:
    ByteSink& sink;
    std::unique_ptr<char[]> data;
    std::size_t used = 0;
    bool failed = false;
};

} // namespace lumara
