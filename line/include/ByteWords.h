// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// Eight bytes of a line at a time, as one 64-bit word: the first byte in
// the lowest eight bits on every machine. A test on a word answers for all
// its bytes at once, with 0x80 set in each byte that passes; the tests are
// exact for every byte value, 8-bit bytes included.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace lumara::words {

using Word = std::uint64_t;
inline constexpr int kBytes = 8;

constexpr Word Repeated(unsigned char byte) {
    return Word{0x0101010101010101} * byte;
}

inline constexpr Word kHighBits = Repeated(0x80);
inline constexpr Word kLowBits = Repeated(0x7F);

inline Word Load(const char* at) {
    Word word;
    std::memcpy(&word, at, sizeof word);
    if constexpr (std::endian::native == std::endian::big) {
        word = __builtin_bswap64(word);
    }
    return word;
}

// The bytes from `first` to `last` (0 to 7, counted from the first byte),
// all bits set.
constexpr Word BytesFrom(int first, int last) {
    const Word upTo = last >= kBytes - 1 ? ~Word{0} : (Word{1} << (8 * (last + 1))) - 1;
    return upTo & ~((Word{1} << (8 * first)) - 1);
}

// Bytes equal to `byte`.
constexpr Word Equal(Word word, unsigned char byte) {
    const Word x = word ^ Repeated(byte);
    return ~(((x & kLowBits) + kLowBits) | x | kLowBits);
}

// Bytes from `low` to `high` (both below 0x80).
constexpr Word InRange(Word word, unsigned char low, unsigned char high) {
    const Word seven = word & kLowBits;
    const Word atLeastLow = seven + Repeated(static_cast<unsigned char>(0x80 - low));
    const Word aboveHigh = seven + Repeated(static_cast<unsigned char>(0x7F - high));
    return atLeastLow & ~aboveHigh & ~word & kHighBits;
}

constexpr Word Digits(Word word) {
    return InRange(word, '0', '9');
}

// White space as the line format counts it: blanks, tabs to carriage returns.
constexpr Word Spaces(Word word) {
    return Equal(word, ' ') | InRange(word, '\t', '\r');
}

// Every bit of each byte that has its 0x80 flag set in `flags`.
constexpr Word Widened(Word flags) {
    return (flags >> 7) * 0xFF;
}

// The value of eight digit characters, the first one the most significant.
constexpr std::uint64_t EightDigits(Word word) {
    word = (word & Repeated(0x0F)) * (1 + (10 << 8)) >> 8;
    word = (word & 0x00FF00FF00FF00FF) * (1 + (100 << 16)) >> 16;
    return (word & 0x0000FFFF0000FFFF) * (1 + (std::uint64_t{10000} << 32)) >> 32;
}

// Copies `bytes` in pieces of fixed size, the last ones
// overlapping those before, which compile to a few moves each: a copy of a
// length known only at run time is otherwise a call whose start-up costs more
// than a short copy itself. Reads and writes exactly `bytes` bytes.
inline void CopyShort(char* out, const char* in, std::size_t bytes) {
    constexpr std::size_t kPiece = 16;
    constexpr std::size_t kHalf = kPiece / 2;
    constexpr std::size_t kQuarter = kPiece / 4;
    if (bytes >= kPiece) {
        for (std::size_t at = 0; at + kPiece < bytes; at += kPiece) {
            std::memcpy(out + at, in + at, kPiece);
        }
        std::memcpy(out + bytes - kPiece, in + bytes - kPiece, kPiece);
    } else if (bytes >= kHalf) {
        std::memcpy(out, in, kHalf);
        std::memcpy(out + bytes - kHalf, in + bytes - kHalf, kHalf);
    } else if (bytes >= kQuarter) {
        std::memcpy(out, in, kQuarter);
        std::memcpy(out + bytes - kQuarter, in + bytes - kQuarter, kQuarter);
    } else {
        for (std::size_t at = 0; at < bytes; ++at) {
            out[at] = in[at];
        }
    }
}

} // namespace lumara::words
