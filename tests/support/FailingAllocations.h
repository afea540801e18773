// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Making the catalogue run out of memory on purpose.
#pragma once

#include <atomic>
#include <cstdlib>

#include "ChunkPool.h"

namespace lumara::test {

// While it lives, allows a number of chunk allocations and fails every
// further one.
class FailingAllocations {
public:
    explicit FailingAllocations(int allowed) {
        remaining = allowed;
        previous = lumara::SetChunkAllocator(&Allocate);
    }
    ~FailingAllocations() { lumara::SetChunkAllocator(previous); }
    FailingAllocations(const FailingAllocations&) = delete;
    FailingAllocations& operator=(const FailingAllocations&) = delete;

private:
    static void* Allocate(std::size_t bytes) {
        return remaining-- > 0 ? std::malloc(bytes) : nullptr;
    }
    // Large files are loaded by two threads at once.
    static inline std::atomic<int> remaining = 0;
    lumara::ChunkAllocator previous;
};

} // namespace lumara::test
