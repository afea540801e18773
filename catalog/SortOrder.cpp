// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Each key is turned into 64 bits per item whose unsigned order is the key's
// order in the key's direction, and the items are sorted by those bits with
// a stable least-significant-digit radix sort, the previous key's order
// being the input of the next: so the keys are applied from the last to the
// first. A text key's bits hold the first bytes of its natural form; items
// whose bits tie while more of their text follows are sorted again by the
// next bytes, and so on.

#include "SortOrder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <numeric>

#include "TwoLanes.h"

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

// Runs of tied text are sorted by merging blocks of this many pairs sorted
// by insertion, and by radix from kRadixSortItems on, where the counts of
// each pass cost less than the merges.
constexpr std::size_t kInsertionSortItems = 32;
constexpr std::size_t kRadixSortItems = std::size_t{1} << 14;
// --- The sort's memory --------------------------------------------------------

// Pairs of (bits, item), stored as two arrays.
struct Pairs {
    Bits* bits;
    Item* items;
};
// One read and one written by each pass.
using PairArrays = std::array<Pairs, 2>;

Pairs Offset(const Pairs& pairs, std::size_t by) {
    return {pairs.bits + by, pairs.items + by};
}

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
    PairArrays Arrays() const {
        return {Pairs{bits[0].get(), items[0].get()}, Pairs{bits[1].get(), items[1].get()}};
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
std::array<Histogram, kMaxLanes> CountDigit(const Bits* bits, std::size_t count, unsigned digit,
                                            std::size_t lanes) {
    std::array<Histogram, kMaxLanes> counts{};
    OnLanes(lanes, [&](std::size_t lane) {
        const Stretch stretch = StretchOf(lane, lanes, count);
        Histogram& histogram = counts[lane];
        for (std::size_t i = stretch.begin; i < stretch.end; ++i) {
            ++histogram[DigitOf(bits[i], digit)];
        }
    });
    return counts;
}

// Sorts the first `count` pairs of arrays[0] by their bits, stably; returns
// the index of the arrays that hold the result. Each lane moves its own
// stretch to places set aside for it, and counts the next digit of what it
// writes by the stretch it lands in, so that a pass reads its items once.
std::size_t RadixSort(const PairArrays& arrays, std::size_t count, std::size_t lanes) {
    const std::size_t split = StretchOf(0, lanes, count).end;
    std::array<Histogram, kMaxLanes> counts = CountDigit(arrays[0].bits, count, 0, lanes);
    std::size_t from = 0;
    for (unsigned digit = 0; digit < kDigits; ++digit) {
        const unsigned nextDigit = digit + 1 < kDigits ? digit + 1 : digit;
        if (AllInOneBucket(counts, count)) {
            if (nextDigit != digit) {
                counts = CountDigit(arrays[from].bits, count, nextDigit, lanes);
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
        const Bits* bitsIn = arrays[from].bits;
        const Item* itemsIn = arrays[from].items;
        Bits* bitsOut = arrays[1 - from].bits;
        Item* itemsOut = arrays[1 - from].items;
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

// Stable, for a few pairs: moves each pair back past the larger ones.
void InsertionSort(const Pairs& pairs, std::size_t count) {
    for (std::size_t i = 1; i < count; ++i) {
        const Bits bits = pairs.bits[i];
        const Item item = pairs.items[i];
        std::size_t to = i;
        for (; to > 0 && pairs.bits[to - 1] > bits; --to) {
            pairs.bits[to] = pairs.bits[to - 1];
            pairs.items[to] = pairs.items[to - 1];
        }
        pairs.bits[to] = bits;
        pairs.items[to] = item;
    }
}

// Stable, for runs too short to repay a radix sort's counts: sorts blocks by
// insertion and merges them, between `pairs` and `scratch`, each of `count`
// pairs. The result is in `pairs`.
void MergeSort(const Pairs& pairs, const Pairs& scratch, std::size_t count) {
    for (std::size_t start = 0; start < count; start += kInsertionSortItems) {
        InsertionSort(Offset(pairs, start), std::min(kInsertionSortItems, count - start));
    }
    Pairs from = pairs;
    Pairs to = scratch;
    for (std::size_t width = kInsertionSortItems; width < count; width *= 2) {
        for (std::size_t left = 0; left < count; left += 2 * width) {
            const std::size_t middle = std::min(left + width, count);
            const std::size_t right = std::min(left + 2 * width, count);
            std::size_t a = left;
            std::size_t b = middle;
            for (std::size_t out = left; out < right; ++out) {
                const bool takeA = b == right || (a < middle && from.bits[a] <= from.bits[b]);
                const std::size_t taken = takeA ? a++ : b++;
                to.bits[out] = from.bits[taken];
                to.items[out] = from.items[taken];
            }
        }
        std::swap(from, to);
    }
    if (from.bits != pairs.bits) {
        std::copy(from.bits, from.bits + count, pairs.bits);
        std::copy(from.items, from.items + count, pairs.items);
    }
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

// The natural form of a text: bytes whose order, a form that starts another
// coming first, is the texts' natural order. A token gives its byte, and a
// number then its count of digits and its digits: the count in one byte
// below kLongNumber, or kLongNumber and the count in eight bytes. Calls
// put(byte) for each byte until it returns false.
constexpr unsigned kByteBits = 8;
constexpr std::size_t kLongNumber = 0xFF;

template <typename Put> void PutNaturalForm(std::string_view text, Put put) {
    NaturalReader reader(text);
    NaturalToken token{};
    const auto putCount = [&put](std::size_t count) {
        if (count < kLongNumber) {
            return put(static_cast<unsigned char>(count));
        }
        bool going = put(static_cast<unsigned char>(kLongNumber));
        for (std::size_t byte = sizeof count; going && byte-- > 0;) {
            going = put(static_cast<unsigned char>(count >> (byte * kByteBits)));
        }
        return going;
    };
    while (reader.Next(token)) {
        if (!put(token.byte) || (token.byte == kNumberByte && !putCount(token.digits.size()))) {
            return;
        }
        for (const char digit : token.digits) {
            if (!put(static_cast<unsigned char>(digit))) {
                return;
            }
        }
    }
}

// The bits of chunk `chunk` of a text's natural form: kChunkBytes bytes from
// byte chunk * kChunkBytes on, then a low byte with how many of them the form
// fills, or kMoreFollows when it goes on. Bits that tie with a low byte below
// kMoreFollows belong to equal texts, as far as the chunks before tie too.
constexpr std::size_t kChunkBytes = sizeof(Bits) - 1;
constexpr Bits kMoreFollows = kChunkBytes + 1;
constexpr Bits kFillMask = 0xFF;

Bits ChunkBits(std::string_view text, std::size_t chunk) {
    const std::size_t skip = chunk * kChunkBytes;
    std::size_t seen = 0;
    Bits bits = 0;
    Bits filled = 0;
    PutNaturalForm(text, [&](unsigned char byte) {
        if (seen++ < skip) {
            return true;
        }
        if (filled == kChunkBytes) {
            filled = kMoreFollows;
            return false;
        }
        bits |= Bits{byte} << (kKeyBits - kByteBits * static_cast<unsigned>(++filled));
        return true;
    });
    return bits | filled;
}

Bits Directed(Bits bits, SortDirection direction) {
    return direction == SortDirection::Descending ? ~bits : bits;
}

bool MoreFollows(Bits bits, SortDirection direction) {
    return (Directed(bits, direction) & kFillMask) == kMoreFollows;
}

// The bits of no value: those of a number are never 0, nor those of a text
// that has a character.
constexpr Bits kNoValue = 0;

// An item's bits in ascending order.
Bits AscendingBits(const SortKey& key, Item item) {
    if (key.kind == SortKeyKind::Number) {
        return std::isnan(key.numbers[item]) ? kNoValue : NumberBits(key.numbers[item]);
    }
    NaturalToken token{};
    return NaturalReader(key.texts[item]).Next(token) ? ChunkBits(key.texts[item], 0) : kNoValue;
}

// For a key after the first the items come in the order of the keys after
// it: their bits are worked out in item order first, reading the key's values
// in sequence, and looked up by item after.
void AscendingBitsByItem(const SortKey& key, Bits* bits, std::size_t count) {
    const std::size_t lanes = LanesFor(count);
    OnLanes(lanes, [&](std::size_t lane) {
        const Stretch stretch = StretchOf(lane, lanes, count);
        for (std::size_t item = stretch.begin; item < stretch.end; ++item) {
            bits[item] = AscendingBits(key, static_cast<Item>(item));
        }
    });
}

void SortRunByChunk(const SortKey& key, const PairArrays& arrays, std::size_t holder,
                    std::size_t begin, std::size_t end, std::size_t chunk);

// Sorts again each run of [begin, end) of arrays[holder] whose bits, chunk
// `chunk` of their texts, tie while more of the texts follows.
void OrderTextTies(const SortKey& key, const PairArrays& arrays, std::size_t holder,
                   std::size_t begin, std::size_t end, std::size_t chunk) {
    const Bits* bits = arrays[holder].bits;
    for (std::size_t start = begin; start < end;) {
        std::size_t stop = start + 1;
        while (stop < end && bits[stop] == bits[start]) {
            ++stop;
        }
        if (stop - start > 1 && MoreFollows(bits[start], key.direction)) {
            SortRunByChunk(key, arrays, holder, start, stop, chunk + 1);
        }
        start = stop;
    }
}

// Sorts the run [begin, end) of arrays[holder] by chunk `chunk` of its texts,
// using the same places of the other arrays, and leaves it in arrays[holder].
void SortRunByChunk(const SortKey& key, const PairArrays& arrays, std::size_t holder,
                    std::size_t begin, std::size_t end, std::size_t chunk) {
    const Pairs run = Offset(arrays[holder], begin);
    const Pairs spare = Offset(arrays[1 - holder], begin);
    const std::size_t count = end - begin;
    for (std::size_t i = 0; i < count; ++i) {
        spare.items[i] = run.items[i];
        spare.bits[i] = Directed(ChunkBits(key.texts[run.items[i]], chunk), key.direction);
    }
    std::size_t sorted = 1 - holder;
    if (count < kRadixSortItems) {
        MergeSort(spare, run, count);
    } else if (RadixSort({spare, run}, count, 1) == 1) {
        sorted = holder;
    }
    OrderTextTies(key, arrays, sorted, begin, end, chunk);
    if (sorted != holder) {
        std::copy(arrays[sorted].items + begin, arrays[sorted].items + end, run.items);
    }
}

// After the radix sort by the first chunk. The lanes take the runs on either
// side of the first run boundary past the middle.
void OrderTextTies(const SortKey& key, const PairArrays& arrays, std::size_t holder,
                   std::size_t count) {
    const Bits* bits = arrays[holder].bits;
    const std::size_t lanes = LanesFor(count);
    std::size_t boundary = StretchOf(0, lanes, count).end;
    while (boundary > 0 && boundary < count && bits[boundary] == bits[boundary - 1]) {
        ++boundary;
    }
    OnLanes(lanes, [&](std::size_t lane) {
        OrderTextTies(key, arrays, holder, lane == 0 ? 0 : boundary, lane == 0 ? boundary : count,
                      0);
    });
}

// --- One key ------------------------------------------------------------------

// Puts the bits and items of the items of `order` that have a value for
// `key` at the start of `gathered`, in order, and the others at the start of
// `order`, in order; returns how many have a value. `byItem`: the items'
// ascending bits by item, or nullptr to work them out here.
std::size_t GatherKey(const SortKey& key, std::span<Item> order, const Pairs& gathered,
                      const Bits* byItem) {
    const std::size_t count = order.size();
    const std::size_t lanes = LanesFor(count);
    std::array<std::size_t, kMaxLanes> withValue{};
    std::array<std::size_t, kMaxLanes> without{};
    Bits* bits = gathered.bits;
    Item* items = gathered.items;
    OnLanes(lanes, [&](std::size_t lane) {
        const Stretch stretch = StretchOf(lane, lanes, count);
        std::size_t kept = 0;
        std::size_t left = 0;
        for (std::size_t i = stretch.begin; i < stretch.end; ++i) {
            const Item item = order[i];
            const Bits ascending = byItem != nullptr ? byItem[item] : AscendingBits(key, item);
            if (ascending != kNoValue) {
                bits[stretch.begin + kept] = Directed(ascending, key.direction);
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

// `inItemOrder`: whether `order` is still 0, 1, 2 ...
void SortByKey(const SortKey& key, std::span<Item> order, const PairArrays& arrays,
               bool inItemOrder) {
    const Bits* byItem = nullptr;
    if (!inItemOrder) {
        AscendingBitsByItem(key, arrays[1].bits, order.size());
        byItem = arrays[1].bits;
    }
    const std::size_t withValue = GatherKey(key, order, arrays[0], byItem);
    const std::size_t sorted = RadixSort(arrays, withValue, LanesFor(withValue));
    if (key.kind == SortKeyKind::Text) {
        OrderTextTies(key, arrays, sorted, withValue);
    }
    const Item* items = arrays[sorted].items;
    std::memmove(order.data() + withValue, order.data(), (order.size() - withValue) * sizeof(Item));
    std::copy(items, items + withValue, order.begin());
}

bool HoldsOnePerItem(const SortKey& key, std::size_t count) {
    return (key.kind == SortKeyKind::Number ? key.numbers.size() : key.texts.size()) == count;
}

} // namespace

SortStatus SortOrder(std::span<const SortKey> keys, std::span<std::uint32_t> order) {
    const std::size_t count = order.size();
    if (count == 0) {
        return SortStatus::Sorted; // nothing to order, and an empty span may hold no storage at all
    }
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
        SortByKey(*key, order, buffers.Arrays(), key == keys.rbegin());
    }
    return SortStatus::Sorted;
}

} // namespace lumara
