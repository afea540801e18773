// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Finding stars by name: the text a user types is looked for in a star's
// name, starting at a word.
//
// - Case does not matter; blanks at either end of the text are dropped and a
//   run of blanks, in the text or in a name, counts as one blank. So "R Leo"
//   finds the native name "    R     Leo".
// - The text must start where a word of the name starts: at the name's first
//   character or after a character that is no letter or digit. "R Leo" does
//   not find AR Leo; "Cyg" finds V0393 Cyg, CH Cyg and alf Cyg. The text may
//   end anywhere: "V39" finds V393 Cyg.
// - '*' stands for any run of characters, blanks included, '?' for one.
// - Zero padding of numbers is ignored. Leading zeros of a number in a name
//   may be left out of the text ("V393 Cyg" and "V39" find V0393 Cyg).
//   Leading zeros in the text may stand for none in the name only where the
//   name's number ends with the text's: "V0393 Cyg" and "V0393" find V393
//   Cyg, but "J00001" does not find J123456 (it finds J000012 as typed).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace lumara {

// The longest text, after blanks are folded, that a name is matched with:
// each character is one bit of a word. Catalogue names are far shorter.
inline constexpr std::size_t kMaxNamePatternChars = 63;
// The values a character of a name may take, each with its own entry in a
// matcher's tables.
inline constexpr std::size_t kByteValues = 256;

enum class NamePatternError {
    Empty,   // nothing but blanks
    TooLong, // more than kMaxNamePatternChars characters
};

// One line for the user.
std::string Describe(NamePatternError error);

// A name text prepared once; Matches allocates nothing and reads each
// character of the name once.
class NameMatcher {
public:
    static std::variant<NameMatcher, NamePatternError> Prepare(std::string_view text);

    bool Matches(std::string_view name) const;

private:
    using Positions = std::uint64_t; // bit i: the first i characters of the text matched

    NameMatcher() = default;
    // Adds the positions reached without reading a character: past a '*',
    // and at the start of a number in the name past the text's leading
    // zeros, which then holds the match to the whole number (`strict`).
    void Close(Positions& free, Positions& strict, bool atNumberStart) const;

    std::array<Positions, kByteValues> accepting{}; // per character: the positions that read it
    Positions anyRun = 0;                           // positions of '*'
    Positions paddingZeros = 0;                     // leading zeros of a number, not its last digit
    Positions outsideNumbers = 0;                   // positions not preceded by a digit
    Positions numberEnds = 0; // positions right after the last digit of a number
    Positions whole = 0;      // the whole text matched
    // The characters any matching name holds, as a set of one bit per
    // character: most names lack one and are refused after one quick pass.
    std::uint64_t required = 0;
};

} // namespace lumara
