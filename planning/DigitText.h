// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Fixed-width digits for dates and clock times, written in place.
#pragma once

#include <cstddef>

#include "PlanOptions.h"

namespace lumara::plan {

inline constexpr std::size_t kDateLength = 10; // YYYY-MM-DD

// Two digits of a value from 0 to 99.
inline void PutTwoDigits(char* out, int value) {
    out[0] = static_cast<char>('0' + value / 10);
    out[1] = static_cast<char>('0' + value % 10);
}

// YYYY-MM-DD, for the planner's years.
inline void PutDate(char* out, const CivilDate& date) {
    PutTwoDigits(out, date.year / 100);
    PutTwoDigits(out + 2, date.year % 100);
    out[4] = '-';
    PutTwoDigits(out + 5, date.month);
    out[7] = '-';
    PutTwoDigits(out + 8, date.day);
}

} // namespace lumara::plan
