// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Making the calls behind the fault hook fail on purpose, or watching them.
#pragma once

#include <atomic>

#include "FaultHook.h"

namespace lumara::test {

// While it lives, lets a number of calls at one fault point through and
// fails every further one; calls at other points go through. It counts the
// calls at its point, so that a test can tell the fault was reached.
class InjectedFault {
public:
    using Watch = void (*)();

    explicit InjectedFault(FaultPoint point, int allowed = 0, Watch watch = nullptr) {
        failing = point;
        remaining = allowed;
        calls = 0;
        watcher = watch;
        previous = SetFaultHook(&Decide);
    }
    // Fails nothing; runs `watch` at each call at `point` before it is made.
    InjectedFault(FaultPoint point, Watch watch) : InjectedFault(point, kNeverFails, watch) {}
    ~InjectedFault() { SetFaultHook(previous); }
    InjectedFault(const InjectedFault&) = delete;
    InjectedFault& operator=(const InjectedFault&) = delete;

    int Calls() const { return calls; }

private:
    static constexpr int kNeverFails = 1 << 30;

    static bool Decide(FaultPoint point) {
        if (point != failing) {
            return false;
        }
        ++calls;
        if (const Watch watch = watcher) {
            watch();
        }
        return remaining-- <= 0;
    }

    // Exports and large loads call from two threads.
    static inline std::atomic<FaultPoint> failing{};
    static inline std::atomic<int> remaining = 0;
    static inline std::atomic<int> calls = 0;
    static inline std::atomic<Watch> watcher = nullptr;
    FaultHook previous;
};

} // namespace lumara::test
