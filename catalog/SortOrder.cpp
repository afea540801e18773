// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Each key is turned into 64 bits per item whose unsigned order is the key's
// order in the key's direction, and the items are sorted by those bits with
// a stable least-significant-digit radix sort, the previous key's order
// being the input of the next: so the keys are applied from the last to the
// first. A text key's bits hold the first bytes of its natural form; items
// whose bits tie without holding all of their text are put in order by the
// full comparison afterwards.

#include "SortOrder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <numeric>

#include "HelperThread.h"

namespace lumara {

namespace {

using Bits = std::uint64_t;
using Item = std::uint32_t;

constexpr unsigned kDigitBits = 11;
constexpr std::size_t kBuckets = std::size_t{1} << kDigitBits;
constexpr Bits kDigitMask = kBuckets - 1;
constexpr unsigned kKeyBits = 64;
constexpr unsigned kDigits = (kKeyBits + kDigitBits - 1) / kDigitBits;
constexpr Bits kSignBit = Bits{1} << (kKeyBits - 1);

// Below this many items a second thread costs more than it saves.
constexpr std::size_t kTwoLanesFrom = std::size_t{1} << 16;
constexpr std::size_t kMaxLanes = 2;

// --- Two lanes ----------------------------------------------------------------

struct Stretch {
    std::size_t begin;
    std::size_t end;
};

// Lane 0 takes the first half, so that a stable pass over the stretches in
// lane order is stable over the whole.
Stretch StretchOf(std::size_t lane, std::size_t lanes, std::size_t count) {
    const std::size_t split = lanes == 1 ? count : count / 2;
    return lane == 0 ? Stretch{0, split} : Stretch{split, count};
}

std::size_t LanesFor(std::size_t count) {
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

// --- The sort's memory --------------------------------------------------------

// Two arrays of (bits, item) pairs, one read and one written by each pass.
struct PairBuffers {
    std::unique_ptr<Bits[]> bits[2];
    std::unique_ptr<Item[]> items[2];

    bool Allocate(std::size_t count) {
        for (std::size_t i = 0; i < 2; ++i) {
            bits[i].reset(new (std::nothrow) Bits[count]);
            items[i].reset(new (std::nothrow) Item[count]);
            if (bits[i] == nullptr || items[i] == nullptr) {
                return false;
            }
        }
        return true;
    }
};

// --- Radix sort ---------------------------------------------------------------

using Histogram = std::array<std::size_t, kBuckets>;

std::size_t DigitOf(Bits bits, unsigned digit) {
    return static_cast<std::size_t>((bits >> (digit * kDigitBits)) & kDigitMask);
}

bool AllInOneBucket(const std::array<Histogram, kMaxLanes>& counts, std::size_t count) {
    for (std::size_t bucket = 0; bucket < kBuckets; ++bucket) {
        if (counts[0][bucket] + counts[1][bucket] == count) {
            return true;
        }
    }
    return false;
}

// Per stretch of `bits`, how many items have each value of `digit`.
std::array<Histogram, kMaxLanes> CountDigit(const Bits* bits, std::size_t count, unsigned digit) {
    std::array<Histogram, kMaxLanes> counts{};
    const std::size_t lanes = LanesFor(count);
    OnLanes(lanes, [&](std::size_t lane) {
        const Stretch stretch = StretchOf(lane, lanes, count);
        Histogram& histogram = counts[lane];
        for (std::size_t i = stretch.begin; i < stretch.end; ++i) {
            ++histogram[DigitOf(bits[i], digit)];
        }
    });
    return counts;
}

// Sorts the first `count` pairs of buffer 0 by their bits, stably; returns
// the buffer that holds the result. Each lane moves its own stretch to
// places set aside for it, and counts the next digit of what it writes by
// the stretch it lands in, so that a pass reads its items once.
std::size_t RadixSort(PairBuffers& buffers, std::size_t count) {
    const std::size_t lanes = LanesFor(count);
    const std::size_t split = StretchOf(0, lanes, count).end;
    std::array<Histogram, kMaxLanes> counts = CountDigit(buffers.bits[0].get(), count, 0);
    std::size_t from = 0;
    for (unsigned digit = 0; digit < kDigits; ++digit) {
        const unsigned nextDigit = digit + 1 < kDigits ? digit + 1 : digit;
        if (AllInOneBucket(counts, count)) {
            if (nextDigit != digit) {
                counts = CountDigit(buffers.bits[from].get(), count, nextDigit);
            }
            continue;
        }
        std::array<Histogram, kMaxLanes> places{};
        std::size_t place = 0;
        for (std::size_t bucket = 0; bucket < kBuckets; ++bucket) {
            for (std::size_t lane = 0; lane < kMaxLanes; ++lane) {
                places[lane][bucket] = place;
                place += counts[lane][bucket];
            }
        }
        // [lane writing][stretch written to]
        std::array<std::array<Histogram, kMaxLanes>, kMaxLanes> nextCounts{};
        const Bits* bitsIn = buffers.bits[from].get();
        const Item* itemsIn = buffers.items[from].get();
        Bits* bitsOut = buffers.bits[1 - from].get();
        Item* itemsOut = buffers.items[1 - from].get();
        OnLanes(lanes, [&](std::size_t lane) {
            const Stretch stretch = StretchOf(lane, lanes, count);
            Histogram& next = places[lane];
            std::array<Histogram, kMaxLanes>& counted = nextCounts[lane];
            for (std::size_t i = stretch.begin; i < stretch.end; ++i) {
                const Bits bits = bitsIn[i];
                const std::size_t to = next[DigitOf(bits, digit)]++;
                bitsOut[to] = bits;
                itemsOut[to] = itemsIn[i];
                ++counted[to >= split ? 1 : 0][DigitOf(bits, nextDigit)];
            }
        });
        for (std::size_t stretch = 0; stretch < kMaxLanes; ++stretch) {
            for (std::size_t bucket = 0; bucket < kBuckets; ++bucket) {
                counts[stretch][bucket] =
                    nextCounts[0][stretch][bucket] + nextCounts[1][stretch][bucket];
            }
        }
        from = 1 - from;
    }
    return from;
}

// --- Keys as bits -------------------------------------------------------------

// Unsigned order of the result is the numeric order of the doubles.
Bits NumberBits(double value) {
    const Bits bits = std::bit_cast<Bits>(value == 0.0 ? 0.0 : value);
    return (bits & kSignBit) != 0 ? ~bits : bits | kSignBit;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// A run of digits reads as one token whose byte is that of a digit, so that
// it sorts against other characters as a digit would.
constexpr unsigned char kNumberByte = '0';

struct NaturalToken {
    unsigned char byte;
    std::string_view digits; // a number's digits without its leading zeros
};

// Reads a text as natural order compares it, one token at a time: a lower
// case character, one blank for a run of blanks inside the text, or a
// number.
class NaturalReader {
public:
    explicit NaturalReader(std::string_view read) : text(read) { SkipBlanks(); }

    bool Next(NaturalToken& token) {
        if (at == text.size()) {
            return false;
        }
        if (IsBlank(text[at])) {
            SkipBlanks();
            token = {' ', {}};
            return at < text.size();
        }
        if (!IsDigit(text[at])) {
            token = {static_cast<unsigned char>(Lower(text[at++])), {}};
            return true;
        }
        while (at < text.size() && text[at] == '0') {
            ++at;
        }
        const std::size_t first = at;
        while (at < text.size() && IsDigit(text[at])) {
            ++at;
        }
        token = {kNumberByte, text.substr(first, at - first)};
        return true;
    }

private:
    void SkipBlanks() {
        while (at < text.size() && IsBlank(text[at])) {
            ++at;
        }
    }

    std::string_view text;
    std::size_t at = 0;
};

int CompareNatural(std::string_view a, std::string_view b) {
    NaturalReader readA(a);
    NaturalReader readB(b);
    NaturalToken tokenA{};
    NaturalToken tokenB{};
    for (;;) {
        const bool hasA = readA.Next(tokenA);
        const bool hasB = readB.Next(tokenB);
        if (!hasA || !hasB) {
            return static_cast<int>(hasA) - static_cast<int>(hasB);
        }
        if (tokenA.byte != tokenB.byte) {
            return tokenA.byte < tokenB.byte ? -1 : 1;
        }
        if (tokenA.digits.size() != tokenB.digits.size()) {
            return tokenA.digits.size() < tokenB.digits.size() ? -1 : 1;
        }
        if (const int digits = tokenA.digits.compare(tokenB.digits); digits != 0) {
            return digits < 0 ? -1 : 1;
        }
    }
}

// A text's bits: the first kPrefixBytes bytes of its natural form (each
// token's byte, and for a number its count of digits and the digits), then a
// low byte that is 0 when they hold the whole text and 1 when more follows.
// The bits of two texts never order them against their natural order; equal
// bits with the low byte 0 mean equal texts.
constexpr unsigned kByteBits = 8;
constexpr std::size_t kPrefixBytes = sizeof(Bits) - 1;
constexpr Bits kIncomplete = 1;
constexpr Bits kFlagMask = 0xFF;
// A number of this many digits or more stands as this byte and ends the
// prefix: longer numbers are told apart by the full comparison.
constexpr std::size_t kLongNumber = 0xFF;

class PrefixWriter {
public:
    bool Put(unsigned char byte) {
        if (used == kPrefixBytes) {
            return false;
        }
        bits |= Bits{byte} << (kKeyBits - kByteBits * (++used));
        return true;
    }
    // Writes the number's length and digits; false when they do not all fit.
    bool PutNumber(std::string_view digits) {
        if (digits.size() >= kLongNumber) {
            Put(static_cast<unsigned char>(kLongNumber));
            return false;
        }
        bool fits = Put(static_cast<unsigned char>(digits.size()));
        for (std::size_t i = 0; fits && i < digits.size(); ++i) {
            fits = Put(static_cast<unsigned char>(digits[i]));
        }
        return fits;
    }
    Bits Written() const { return bits; }

private:
    Bits bits = 0;
    std::size_t used = 0;
};

// False for a text without a value.
bool TextBits(std::string_view text, Bits& bits) {
    NaturalReader reader(text);
    NaturalToken token{};
    if (!reader.Next(token)) {
        return false;
    }
    PrefixWriter writer;
    bool complete = true;
    do {
        complete =
            writer.Put(token.byte) && (token.byte != kNumberByte || writer.PutNumber(token.digits));
    } while (complete && reader.Next(token));
    bits = writer.Written() | (complete ? 0 : kIncomplete);
    return true;
}

bool KeyBits(const SortKey& key, Item item, Bits& bits) {
    if (key.kind == SortKeyKind::Number) {
        if (std::isnan(key.numbers[item])) {
            return false;
        }
        bits = NumberBits(key.numbers[item]);
    } else if (!TextBits(key.texts[item], bits)) {
        return false;
    }
    if (key.direction == SortDirection::Descending) {
        bits = ~bits;
    }
    return true;
}

// After the radix sort by text bits: puts each run of equal bits that do not
// hold their whole text in natural order. The lanes take the runs on either
// side of the first run boundary past the middle.
void OrderTextTies(const SortKey& key, const Bits* bits, Item* items, std::size_t count) {
    const bool descending = key.direction == SortDirection::Descending;
    const Bits incomplete = descending ? (~kIncomplete & kFlagMask) : kIncomplete;
    const auto before = [&key, descending](Item a, Item b) {
        const int order = CompareNatural(key.texts[a], key.texts[b]);
        return descending ? order > 0 : order < 0;
    };
    const std::size_t lanes = LanesFor(count);
    std::size_t boundary = StretchOf(0, lanes, count).end;
    while (boundary > 0 && boundary < count && bits[boundary] == bits[boundary - 1]) {
        ++boundary;
    }
    OnLanes(lanes, [&](std::size_t lane) {
        const std::size_t last = lane == 0 ? boundary : count;
        for (std::size_t start = lane == 0 ? 0 : boundary; start < last;) {
            std::size_t end = start + 1;
            while (end < last && bits[end] == bits[start]) {
                ++end;
            }
            if (end - start > 1 && (bits[start] & kFlagMask) == incomplete) {
                std::stable_sort(items + start, items + end, before);
            }
            start = end;
        }
    });
}

// --- One key ------------------------------------------------------------------

// Puts the bits and items of the items of `order` that have a value for
// `key` at the start of buffer 0, in order, and the others at the start of
// `order`, in order; returns how many have a value.
std::size_t GatherKey(const SortKey& key, std::span<Item> order, PairBuffers& buffers) {
    const std::size_t count = order.size();
    const std::size_t lanes = LanesFor(count);
    std::array<std::size_t, kMaxLanes> withValue{};
    std::array<std::size_t, kMaxLanes> without{};
    Bits* bits = buffers.bits[0].get();
    Item* items = buffers.items[0].get();
    OnLanes(lanes, [&](std::size_t lane) {
        const Stretch stretch = StretchOf(lane, lanes, count);
        std::size_t kept = 0;
        std::size_t left = 0;
        for (std::size_t i = stretch.begin; i < stretch.end; ++i) {
            const Item item = order[i];
            if (KeyBits(key, item, bits[stretch.begin + kept])) {
                items[stretch.begin + kept++] = item;
            } else {
                order[stretch.begin + left++] = item; // never ahead of i
            }
        }
        withValue[lane] = kept;
        without[lane] = left;
    });
    if (lanes > 1) {
        const std::size_t second = StretchOf(1, lanes, count).begin;
        std::memmove(bits + withValue[0], bits + second, withValue[1] * sizeof(Bits));
        std::memmove(items + withValue[0], items + second, withValue[1] * sizeof(Item));
        std::memmove(order.data() + without[0], order.data() + second, without[1] * sizeof(Item));
    }
    return withValue[0] + withValue[1];
}

void SortByKey(const SortKey& key, std::span<Item> order, PairBuffers& buffers) {
    const std::size_t withValue = GatherKey(key, order, buffers);
    const std::size_t sorted = RadixSort(buffers, withValue);
    const Bits* bits = buffers.bits[sorted].get();
    Item* items = buffers.items[sorted].get();
    if (key.kind == SortKeyKind::Text) {
        OrderTextTies(key, bits, items, withValue);
    }
    std::memmove(order.data() + withValue, order.data(), (order.size() - withValue) * sizeof(Item));
    std::copy(items, items + withValue, order.begin());
}

bool HoldsOnePerItem(const SortKey& key, std::size_t count) {
    return (key.kind == SortKeyKind::Number ? key.numbers.size() : key.texts.size()) == count;
}

} // namespace

SortStatus SortOrder(std::span<const SortKey> keys, std::span<std::uint32_t> order) {
    const std::size_t count = order.size();
    if (count > kMaxSortItems) {
        return SortStatus::TooManyItems;
    }
    if (!std::all_of(keys.begin(), keys.end(),
                     [count](const SortKey& key) { return HoldsOnePerItem(key, count); })) {
        return SortStatus::KeySizeMismatch;
    }
    PairBuffers buffers;
    if (!keys.empty() && !buffers.Allocate(count)) {
        return SortStatus::OutOfMemory;
    }
    std::iota(order.begin(), order.end(), Item{0});
    for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
        SortByKey(*key, order, buffers);
    }
    return SortStatus::Sorted;
}

} // namespace lumara
