// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// Numbers are written two digits at a time, from a table of "00" to "99".
#pragma once

#include <array>
#include <cstring>

namespace lumara {

inline constexpr unsigned kDigitPairCount = 100;

inline constexpr auto kDigitPairs = [] {
    std::array<char, 2 * kDigitPairCount> pairs{};
    for (unsigned value = 0; value < kDigitPairCount; ++value) {
        pairs[2 * value] = static_cast<char>('0' + value / 10);
        pairs[2 * value + 1] = static_cast<char>('0' + value % 10);
    }
    return pairs;
}();

// Writes the two digits of `value` (below 100), the first 0 below 10, and
// returns the next place.
inline char* TwoDigits(char* out, unsigned value) {
    std::memcpy(out, &kDigitPairs[2 * value], 2);
    return out + 2;
}

// Writes the four digits of `value` (below 10 000), leading zeros included,
// and returns the next place.
inline char* FourDigits(char* out, unsigned value) {
    return TwoDigits(TwoDigits(out, value / kDigitPairCount), value % kDigitPairCount);
}

} // namespace lumara
