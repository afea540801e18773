// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Making the calls behind the fault hook fail on purpose, or watching them.
#pragma once

#include <array>
#include <atomic>
#include <initializer_list>

#include "FaultHook.h"

namespace lumara::test {

// While it lives, lets a number of calls at the given fault points through
// and fails every further one; calls at other points go through. It counts
// the calls at every point, so that a test can tell a fault was reached.
class InjectedFault {
public:
    using Watch = void (*)();

    explicit InjectedFault(std::initializer_list<FaultPoint> points, int allowed = 0,
                           Watch watch = nullptr) {
        unsigned bits = 0;
        for (const FaultPoint point : points) {
            bits |= Bit(point);
        }
        failing = bits;
        remaining = allowed;
        for (auto& count : calls) {
            count = 0;
        }
        watcher = watch;
        previous = SetFaultHook(&Decide);
    }
    explicit InjectedFault(FaultPoint point, int allowed = 0) : InjectedFault({point}, allowed) {}
    // Fails nothing; runs `watch` at each call at `point` before it is made.
    InjectedFault(FaultPoint point, Watch watch) : InjectedFault({point}, kNeverFails, watch) {}
    ~InjectedFault() { SetFaultHook(previous); }
    InjectedFault(const InjectedFault&) = delete;
    InjectedFault& operator=(const InjectedFault&) = delete;

    int Calls(FaultPoint point) const { return calls[Index(point)]; }

private:
    static constexpr int kNeverFails = 1 << 30;
    // Room for every fault point, one bit each.
    static constexpr std::size_t kMaxPoints = 32;

    static std::size_t Index(FaultPoint point) { return static_cast<std::size_t>(point); }
    static unsigned Bit(FaultPoint point) { return 1U << Index(point); }

    static bool Decide(FaultPoint point) {
        ++calls[Index(point)];
        if ((failing & Bit(point)) == 0) {
            return false;
        }
        if (const Watch watch = watcher) {
            watch();
        }
        return remaining-- <= 0;
    }

    // Exports and large loads call from two threads.
    static inline std::atomic<unsigned> failing = 0;
    static inline std::atomic<int> remaining = 0;
    static inline std::array<std::atomic<int>, kMaxPoints> calls{};
    static inline std::atomic<Watch> watcher = nullptr;
    FaultHook previous;
};

} // namespace lumara::test
