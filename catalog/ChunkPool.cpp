// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ChunkPool.h"

namespace lumara {

namespace {
ChunkAllocator chunkAllocator = &std::malloc;
}

ChunkAllocator SetChunkAllocator(ChunkAllocator allocator) {
    const ChunkAllocator previous = chunkAllocator;
    chunkAllocator = allocator != nullptr ? allocator : &std::malloc;
    return previous;
}

void* AllocateChunk(std::size_t bytes) {
    return chunkAllocator(bytes);
}

} // namespace lumara
