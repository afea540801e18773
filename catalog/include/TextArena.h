// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The texts of many stars, copied one after another into large chunks and
// released in one walk over the chunks, as ChunkPool does for records.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "ChunkPool.h"

namespace lumara {

class TextArena {
public:
    static constexpr std::size_t kChunkBytes = std::size_t{64} << 10;

    TextArena() = default;
    ~TextArena() { Release(); }
    TextArena(const TextArena&) = delete;
    TextArena& operator=(const TextArena&) = delete;

    // A lasting copy of `text`, or false when memory runs out.
    bool Copy(std::string_view text, std::string_view& copy) {
        if (text.empty()) {
            copy = {};
            return true;
        }
        if (chunks == nullptr || chunks->capacity - chunks->used < text.size()) {
            if (!AddChunk(text.size())) {
                return false;
            }
        }
        char* at = chunks->Data() + chunks->used;
        std::memcpy(at, text.data(), text.size());
        chunks->used += text.size();
        copy = {at, text.size()};
        return true;
    }

    // Takes over every text of `other`, which is left empty.
    void Adopt(TextArena& other) {
        if (other.chunks == nullptr) {
            return;
        }
        Chunk* oldest = other.chunks;
        while (oldest->next != nullptr) {
            oldest = oldest->next;
        }
        oldest->next = chunks;
        chunks = other.chunks;
        other.chunks = nullptr;
    }

    void Release() {
        while (chunks != nullptr) {
            Chunk* next = chunks->next;
            std::free(chunks);
            chunks = next;
        }
    }

private:
    struct Chunk {
        Chunk* next;
        std::size_t capacity;
        std::size_t used;
        char* Data() { return reinterpret_cast<char*>(this + 1); }
    };

    // A text longer than a chunk gets a chunk of its own size.
    bool AddChunk(std::size_t least) {
        const std::size_t capacity = least > kChunkBytes ? least : kChunkBytes;
        void* memory = AllocateChunk(sizeof(Chunk) + capacity);
        if (memory == nullptr) {
            return false;
        }
        chunks = new (memory) Chunk{chunks, capacity, 0};
        return true;
    }

    Chunk* chunks = nullptr;
};

} // namespace lumara
