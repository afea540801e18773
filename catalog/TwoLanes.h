// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Work over a list split between the calling thread and one helper: the
// first half on the caller's lane 0, the second on lane 1.
#pragma once

#include <cstddef>

#include "HelperThread.h"

namespace lumara {

// Below this many items a second thread costs more than it saves.
inline constexpr std::size_t kTwoLanesFrom = std::size_t{1} << 16;
inline constexpr std::size_t kMaxLanes = 2;

struct Stretch {
    std::size_t begin;
    std::size_t end;
};

// Lane 0 takes the first half, so that a stable pass over the stretches in
// lane order is stable over the whole.
inline Stretch StretchOf(std::size_t lane, std::size_t lanes, std::size_t count) {
    const std::size_t split = lanes == 1 ? count : count / 2;
    return lane == 0 ? Stretch{0, split} : Stretch{split, count};
}

inline std::size_t LanesFor(std::size_t count) {
    return count >= kTwoLanesFrom ? kMaxLanes : 1;
}

// Runs work(lane) for each lane, lane 1 on a helper thread.
template <typename Work> void OnLanes(std::size_t lanes, Work work) {
    if (lanes == 1) {
        work(std::size_t{0});
        return;
    }
    HelperThread helper([&work] { work(std::size_t{1}); });
    work(std::size_t{0});
    helper.Join();
}

// Runs work(i) for i in 0 .. count - 1, split between the lanes.
template <typename Work> void ForEachOnLanes(std::size_t count, Work work) {
    const std::size_t lanes = LanesFor(count);
    OnLanes(lanes, [&](std::size_t lane) {
        const Stretch stretch = StretchOf(lane, lanes, count);
        for (std::size_t i = stretch.begin; i < stretch.end; ++i) {
            work(i);
        }
    });
}

} // namespace lumara
