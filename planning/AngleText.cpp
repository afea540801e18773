// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "AngleText.h"

#include <array>
#include <charconv>
#include <cstddef>
#include <system_error>

namespace lumara::plan {

namespace {

// Degrees, minutes, seconds.
constexpr int kAngleParts = 3;
constexpr double kPartsPerWhole = 60.0;
constexpr double kMinutesPerDegree = 60.0;
constexpr double kSecondsPerDegree = 3600.0;
// A double written in fixed notation needs at most this many characters.
constexpr std::size_t kLongestFixedDouble = 400;

// The marks after each part: ASCII letters and quotes, and the typographic
// signs in UTF-8.
constexpr std::array<std::string_view, 3> kDegreeMarks = {"\xC2\xB0", "d", "D"};
constexpr std::array<std::string_view, 4> kMinuteMarks = {"\xE2\x80\xB2", "'", "m", "M"};
// Two apostrophes, as typed for want of a double prime, close seconds too.
constexpr std::array<std::string_view, 3> kSecondMarks = {"\xE2\x80\xB3", "\"", "''"};

constexpr std::string_view kShapeHelp =
    "give decimal degrees (52.37) or degrees, minutes and seconds (52 22 12)";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Reading position in a text.
struct Reader {
    std::string_view text;
    std::size_t at = 0;

    bool AtEnd() const { return at >= text.size(); }
    char Peek() const { return AtEnd() ? '\0' : text[at]; }
    void SkipBlanks() {
        while (!AtEnd() && IsBlank(text[at])) {
            ++at;
        }
    }
    bool Take(std::string_view word) {
        if (text.substr(at, word.size()) != word) {
            return false;
        }
        at += word.size();
        return true;
    }
};

// Which part a mark closes, or -1 when none stands here. Seconds are tried
// before minutes so that '' is not read as a minute mark.
int TakeMark(Reader& reader) {
    for (std::string_view mark : kSecondMarks) {
        if (reader.Take(mark)) {
            return 2;
        }
    }
    for (std::string_view mark : kMinuteMarks) {
        if (reader.Take(mark)) {
            return 1;
        }
    }
    for (std::string_view mark : kDegreeMarks) {
        if (reader.Take(mark)) {
            return 0;
        }
    }
    return -1;
}

// The hemisphere letter at the reader, if any: +1, -1, or 0.
int TakeHemisphere(Reader& reader, Hemispheres hemispheres) {
    if (hemispheres.positive == '\0' || reader.AtEnd()) {
        return 0;
    }
    const char letter = Upper(reader.Peek());
    if (letter != hemispheres.positive && letter != hemispheres.negative) {
        return 0;
    }
    ++reader.at;
    return letter == hemispheres.positive ? 1 : -1;
}

struct Number {
    double value = 0.0;
    bool fractional = false;
    bool found = false;
    bool tooLarge = false;
};

Number TakeNumber(Reader& reader) {
    const std::size_t first = reader.at;
    Number number;
    bool digits = false;
    while (IsDigit(reader.Peek())) {
        ++reader.at;
        digits = true;
    }
    if (reader.Peek() == '.') {
        ++reader.at;
        number.fractional = true;
        while (IsDigit(reader.Peek())) {
            ++reader.at;
            digits = true;
        }
    }
    if (!digits) {
        reader.at = first;
        return number;
    }
    const char* begin = reader.text.data() + first;
    const char* end = reader.text.data() + reader.at;
    const auto result = std::from_chars(begin, end, number.value, std::chars_format::fixed);
    number.found = true;
    number.tooLarge = result.ec == std::errc::result_out_of_range;
    return number;
}

std::string Quoted(std::string_view text) {
    return "'" + std::string(text) + "'";
}

} // namespace

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

Parsed<double> ReadDecimal(std::string_view text) {
    Reader reader{TrimBlanks(text)};
    const bool negative = reader.Peek() == '-';
    if (negative || reader.Peek() == '+') {
        ++reader.at;
    }
    const Number number = TakeNumber(reader);
    if (!number.found || !reader.AtEnd()) {
        return {0.0, Quoted(reader.text) + " is not a number such as 12 or -3.5"};
    }
    if (number.tooLarge) {
        return {0.0, Quoted(reader.text) + " is too large"};
    }
    return {negative ? -number.value : number.value, {}};
}

Parsed<double> ReadAngle(std::string_view text, Hemispheres hemispheres) {
    Reader reader{TrimBlanks(text)};
    const std::string notAngle =
        Quoted(reader.text) + " is not an angle: " + std::string(kShapeHelp);
    int hemisphere = TakeHemisphere(reader, hemispheres);
    reader.SkipBlanks();
    int sign = 1;
    if (reader.Peek() == '-' || reader.Peek() == '+') {
        sign = reader.Peek() == '-' ? -1 : 1;
        ++reader.at;
        if (hemisphere != 0) {
            return {0.0, Quoted(reader.text) + " has both a sign and a hemisphere"};
        }
    }
    std::array<double, kAngleParts> parts{};
    int count = 0;
    bool fractional = false;
    bool colon = false; // the last part ended in ':', so another must follow
    while (count < kAngleParts) {
        reader.SkipBlanks();
        const Number number = TakeNumber(reader);
        if (!number.found) {
            break;
        }
        colon = false;
        if (fractional) {
            return {0.0, Quoted(reader.text) + ": only the last number may have decimals"};
        }
        if (number.tooLarge) {
            return {0.0, Quoted(reader.text) + " is too large"};
        }
        fractional = number.fractional;
        parts[static_cast<std::size_t>(count)] = number.value;
        reader.SkipBlanks();
        const int mark = TakeMark(reader);
        if (mark >= 0 && mark != count) {
            return {0.0, notAngle};
        }
        ++count;
        if (mark < 0 && reader.Peek() == ':' && count < kAngleParts) {
            ++reader.at;
            colon = true;
        }
    }
    if (count == 0 || colon) {
        return {0.0, notAngle};
    }
    reader.SkipBlanks();
    if (hemisphere == 0) {
        hemisphere = TakeHemisphere(reader, hemispheres);
        if (hemisphere != 0 && sign < 0) {
            return {0.0, Quoted(reader.text) + " has both a sign and a hemisphere"};
        }
    }
    reader.SkipBlanks();
    if (!reader.AtEnd()) {
        return {0.0, notAngle};
    }
    if (parts[1] >= kPartsPerWhole || parts[2] >= kPartsPerWhole) {
        return {0.0, Quoted(reader.text) + ": minutes and seconds must be below 60"};
    }
    const double magnitude = parts[0] + parts[1] / kMinutesPerDegree + parts[2] / kSecondsPerDegree;
    return {(hemisphere < 0 ? -1 : sign) * magnitude, {}};
}

std::string ShortestDecimal(double value) {
    std::array<char, kLongestFixedDouble> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed);
    return std::string(buffer.data(), result.ptr);
}

} // namespace lumara::plan
