// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The order of a list sorted by one or more of its columns, the same for the
// window and the command line. The caller hands one array of values per
// column, item i's value at i in catalogue order, and gets back the items'
// positions in sorted order; nothing of the items themselves is copied.
//
// - Stable: items that tie on every key keep catalogue order.
// - Items without a value for a key come after all others, in either
//   direction, among themselves in the order the later keys give.
// - Numbers sort as numbers (-0 ties with 0).
// - Texts sort naturally: case does not matter, blanks at either end are
//   dropped and a run of blanks counts as one, and a run of digits counts as
//   its number, so V999 Cyg comes before V1234 Cyg and V0393 Cyg ties with
//   V393 Cyg (the tie kept in catalogue order). Other characters compare by
//   their byte values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string_view>

namespace lumara {

// Items are numbered with 32 bits.
inline constexpr std::size_t kMaxSortItems = std::numeric_limits<std::uint32_t>::max();

enum class SortDirection : std::uint8_t { Ascending, Descending };
enum class SortKeyKind : std::uint8_t { Number, Text };

// One column to sort by; its values outlive the sort.
struct SortKey {
    SortKeyKind kind = SortKeyKind::Number;
    std::span<const double> numbers;         // Number: NaN for no value
    std::span<const std::string_view> texts; // Text: empty or blank for no value
    SortDirection direction = SortDirection::Ascending;
};

enum class SortStatus {
    Sorted,
    TooManyItems,    // more than kMaxSortItems
    KeySizeMismatch, // a key holds more or fewer values than there are items
    OutOfMemory,     // for the temporary arrays; `order` is left as it was
};

// Writes into `order` the positions 0 .. order.size() - 1 sorted by `keys`,
// the first key deciding first. Temporary memory: 24 bytes per item with a
// value. Large lists are sorted on two threads.
SortStatus SortOrder(std::span<const SortKey> keys, std::span<std::uint32_t> order);

} // namespace lumara
