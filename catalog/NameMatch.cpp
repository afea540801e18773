// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The text is matched as a set of positions, one bit each, that every
// character of the name moves forward at once: no backtracking, so a text
// full of '*' costs no more than any other.

#include "NameMatch.h"

#include <array>

namespace lumara {

namespace {

constexpr char kAnyRun = '*';
constexpr char kAnyCharacter = '?';
constexpr char kBlank = ' ';

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsLetterOrDigit(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || IsDigit(c);
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

unsigned char Byte(char c) {
    return static_cast<unsigned char>(c);
}

std::uint64_t Bit(std::size_t position) {
    return std::uint64_t{1} << position;
}

// A character's bit in a 64-bit set: a letter and its capital share one,
// blanks share one, and other bytes share the bits left over.
constexpr std::size_t kLetters = 26;
constexpr std::size_t kDigits = 10;
constexpr std::size_t kBlankBit = kLetters + kDigits;
constexpr std::size_t kFirstOtherBit = kBlankBit + 1;
constexpr std::size_t kSetBits = 64;

constexpr std::array<std::uint64_t, kByteValues> kCharacterBits = [] {
    std::array<std::uint64_t, kByteValues> bits{};
    for (std::size_t c = 0; c < bits.size(); ++c) {
        std::size_t bit = kFirstOtherBit + c % (kSetBits - kFirstOtherBit);
        if (c >= 'a' && c <= 'z') {
            bit = c - 'a';
        } else if (c >= 'A' && c <= 'Z') {
            bit = c - 'A';
        } else if (c >= '0' && c <= '9') {
            bit = kLetters + (c - '0');
        } else if (c == ' ' || c == '\t') {
            bit = kBlankBit;
        }
        bits[c] = std::uint64_t{1} << bit;
    }
    return bits;
}();

std::uint64_t CharacterSet(std::string_view text) {
    std::uint64_t set = 0;
    for (const char c : text) {
        set |= kCharacterBits[static_cast<unsigned char>(c)];
    }
    return set;
}

// Lower case, no blanks at either end, one blank for each run of blanks and
// one '*' for each run of them.
std::string Folded(std::string_view text) {
    std::string folded;
    bool pendingBlank = false;
    for (const char c : text) {
        if (IsBlank(c)) {
            pendingBlank = !folded.empty();
            continue;
        }
        if (pendingBlank) {
            folded += kBlank;
            pendingBlank = false;
        }
        if (c != kAnyRun || folded.empty() || folded.back() != kAnyRun) {
            folded += Lower(c);
        }
    }
    return folded;
}

} // namespace

std::string Describe(NamePatternError error) {
    switch (error) {
    case NamePatternError::Empty:
        return "the name to find is empty";
    case NamePatternError::TooLong:
        return "the name to find is longer than " + std::to_string(kMaxNamePatternChars) +
               " characters";
    }
    return "the name to find is not valid";
}

std::variant<NameMatcher, NamePatternError> NameMatcher::Prepare(std::string_view text) {
    const std::string folded = Folded(text);
    if (folded.empty()) {
        return NamePatternError::Empty;
    }
    if (folded.size() > kMaxNamePatternChars) {
        return NamePatternError::TooLong;
    }
    NameMatcher matcher;
    for (std::size_t i = 0; i < folded.size(); ++i) {
        const char c = folded[i];
        const std::uint64_t bit = Bit(i);
        const bool afterDigit = i > 0 && IsDigit(folded[i - 1]);
        if (c == kAnyRun) {
            matcher.anyRun |= bit;
        } else if (c == kAnyCharacter) {
            for (Positions& accepting : matcher.accepting) {
                accepting |= bit;
            }
        } else {
            matcher.accepting[Byte(c)] |= bit;
            matcher.accepting[Byte(Upper(c))] |= bit;
            // A leading zero of the text may stand for none in the name.
            if (c != '0') {
                matcher.required |= kCharacterBits[Byte(c)];
            }
        }
        if (!afterDigit) {
            matcher.outsideNumbers |= bit;
        } else if (!IsDigit(c)) {
            matcher.numberEnds |= bit;
        }
        const bool leadsNumber = !afterDigit || (matcher.paddingZeros & Bit(i - 1)) != 0;
        if (c == '0' && leadsNumber && i + 1 < folded.size() && IsDigit(folded[i + 1])) {
            matcher.paddingZeros |= bit;
        }
    }
    matcher.whole = Bit(folded.size());
    if (IsDigit(folded.back())) {
        matcher.numberEnds |= matcher.whole;
    }
    return matcher;
}

void NameMatcher::Close(Positions& free, Positions& strict, bool atNumberStart) const {
    if (atNumberStart) {
        for (Positions more = (free & paddingZeros) << 1; (more & ~strict) != 0;
             more = (strict & paddingZeros) << 1) {
            strict |= more;
        }
    }
    free |= (free & anyRun) << 1;
}

bool NameMatcher::Matches(std::string_view name) const {
    if ((CharacterSet(name) & required) != required) {
        return false;
    }
    Positions free = 0;
    Positions strict = 0;
    bool afterBlank = true; // so that leading blanks are skipped
    bool afterWordCharacter = false;
    bool afterDigit = false;
    bool afterPadding = false;
    for (std::size_t j = 0; j < name.size(); ++j) {
        const bool blank = IsBlank(name[j]);
        if (blank && afterBlank) {
            continue;
        }
        const char c = blank ? kBlank : name[j];
        const bool digit = IsDigit(c);
        // A match that left out the text's leading zeros holds only where
        // the name's number ends with the text's.
        if (!digit) {
            free |= strict & numberEnds;
        }
        strict &= ~numberEnds;
        if (!afterWordCharacter) {
            free |= 1;
        }
        Close(free, strict, !afterDigit);
        if ((free & whole) != 0) {
            return true;
        }
        const bool padding = c == '0' && (!afterDigit || afterPadding) && j + 1 < name.size() &&
                             IsDigit(name[j + 1]);
        const Positions accepts = accepting[Byte(c)];
        Positions next = ((free & accepts) << 1) | (free & anyRun);
        if (padding) {
            next |= free & outsideNumbers;
        }
        strict = (strict & accepts) << 1;
        free = next;
        afterBlank = blank;
        afterWordCharacter = IsLetterOrDigit(c);
        afterDigit = digit;
        afterPadding = padding;
    }
    free |= strict & numberEnds;
    Close(free, strict, !afterDigit);
    return (free & whole) != 0;
}

} // namespace lumara
