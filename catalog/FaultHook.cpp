// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FaultHook.h"

#include <atomic>
#include <new>

namespace lumara {

namespace {
std::atomic<FaultHook> faultHook{nullptr};
}

FaultHook SetFaultHook(FaultHook hook) {
    return faultHook.exchange(hook);
}

bool FaultInjected(FaultPoint point) {
    const FaultHook hook = faultHook.load(std::memory_order_relaxed);
    return hook != nullptr && hook(point);
}

std::unique_ptr<char[]> AllocateBuffer(std::size_t bytes, FaultPoint point) {
    if (FaultInjected(point)) {
        return nullptr;
    }
    return std::unique_ptr<char[]>(new (std::nothrow) char[bytes]);
}

} // namespace lumara
