// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A pool that hands out storage for plain records in large chunks, so that a
// million records cost little more than their size and are released in one
// walk over the chunks.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <new>
#include <type_traits>

namespace lumara {

// Where every chunk's memory comes from. Tests replace it to make allocation
// fail; it must behave like std::malloc.
using ChunkAllocator = void* (*)(std::size_t bytes);
ChunkAllocator SetChunkAllocator(ChunkAllocator allocator);
void* AllocateChunk(std::size_t bytes);

} // namespace lumara

template <typename T> class ChunkPool {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>,
                  "the pool neither constructs nor destroys its items");

public:
    static constexpr std::size_t kFirstChunkItems = 256;
    static constexpr std::size_t kLargestChunkItems = std::size_t{1} << 16;

    ChunkPool() = default;
    ~ChunkPool() { Release(); }
    ChunkPool(const ChunkPool&) = delete;
    ChunkPool& operator=(const ChunkPool&) = delete;

    // Uninitialised storage for one item, or nullptr when memory runs out.
    T* Allocate() {
        if (chunks == nullptr || chunks->used == chunks->capacity) {
            if (!AddChunk()) {
                return nullptr;
            }
        }
        return chunks->Items() + chunks->used++;
    }

    // Calls visit(item) for every item handed out, in no particular order.
    template <typename Visit> void ForEach(Visit visit) {
        for (Chunk* chunk = chunks; chunk != nullptr; chunk = chunk->next) {
            T* items = chunk->Items();
            for (std::size_t i = 0; i < chunk->used; ++i) {
                visit(items[i]);
            }
        }
    }

    // Takes over every item of `other`, which is left empty.
    void Adopt(ChunkPool& other) {
        if (other.chunks == nullptr) {
            return;
        }
        Chunk* oldest = other.chunks;
        while (oldest->next != nullptr) {
            oldest = oldest->next;
        }
        // Items are handed out from the newest chunk, which stays this pool's.
        if (chunks == nullptr) {
            chunks = other.chunks;
            nextCapacity = other.nextCapacity;
        } else {
            oldest->next = chunks->next;
            chunks->next = other.chunks;
        }
        other.chunks = nullptr;
        other.nextCapacity = kFirstChunkItems;
    }

    // Frees every item at once.
    void Release() {
        while (chunks != nullptr) {
            Chunk* next = chunks->next;
            std::free(chunks);
            chunks = next;
        }
        nextCapacity = kFirstChunkItems;
    }

private:
    struct Chunk {
        Chunk* next;
        std::size_t capacity;
        std::size_t used;

        static constexpr std::size_t kItemsOffset =
            (sizeof(Chunk*) + 2 * sizeof(std::size_t) + alignof(T) - 1) / alignof(T) * alignof(T);
        T* Items() {
            return std::launder(reinterpret_cast<T*>(reinterpret_cast<char*>(this) + kItemsOffset));
        }
    };

    bool AddChunk() {
        void* memory = lumara::AllocateChunk(Chunk::kItemsOffset + nextCapacity * sizeof(T));
        if (memory == nullptr) {
            return false;
        }
        Chunk* chunk = new (memory) Chunk{chunks, nextCapacity, 0};
        chunks = chunk;
        nextCapacity = std::min(nextCapacity * 2, kLargestChunkItems);
        return true;
    }

    Chunk* chunks = nullptr;
    std::size_t nextCapacity = kFirstChunkItems;
};
