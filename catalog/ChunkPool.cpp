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
