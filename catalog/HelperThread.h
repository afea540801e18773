// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A task for a second thread, in a library that reports errors as results:
// when no thread can be started, the task runs on the caller's thread when it
// is joined, so the work is done either way.
#pragma once

#include "FaultHook.h"

#include <cstddef>
#include <new>
#include <system_error>
#include <thread>
#include <utility>

namespace lumara {

template <typename Task> class HelperThread {
public:
    explicit HelperThread(Task work) : task(std::move(work)) {
        if (FaultInjected(FaultPoint::Thread)) {
            return;
        }
        try {
            thread = std::thread([this] { task(); });
        } catch (const std::system_error&) {
        } catch (const std::bad_alloc&) {
        }
    }
    ~HelperThread() { Join(); }
    HelperThread(const HelperThread&) = delete;
    HelperThread& operator=(const HelperThread&) = delete;

    // Returns once the task has run.
    void Join() {
        if (thread.joinable()) {
            thread.join();
        } else if (!done) {
            task();
        }
        done = true;
    }

private:
    Task task;
    std::thread thread;
    bool done = false;
};

} // namespace lumara
