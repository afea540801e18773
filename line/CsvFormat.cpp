// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "CsvFormat.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

#include "ByteWords.h"
#include "DigitPairs.h"
#include "LineFormat.h"
#include "StarRecord.h"

namespace lumara::csv {

namespace {

// Magnitudes keep six significant digits in general notation, which is
// exact for values written with two decimals.
constexpr int kMagnitudeSignificantDigits = 6;
constexpr double kHundredths = 100.0;
constexpr double kPeriodScale = 10000.0; // 10 to the power of kPeriodDecimals
// Below this a period times kPeriodScale is held exactly enough to round,
// and its whole days have at most kWholeDaysDigits digits.
constexpr double kLargestFastPeriod = 1e11;
constexpr std::size_t kWholeDaysDigits = 8;
constexpr std::uint32_t kWholeDaysLimit = 100'000'000;
static_assert(kLargestFastPeriod / kPeriodScale <= kWholeDaysLimit);

// The digit counts of catalogue numbers follow no pattern a branch predictor
// could learn, so the numbers below are written without branching on them:
// every digit is written and only the ones that count are kept, which leaves
// a few spare characters after the number for the next field to overwrite.

// 0 to 99 in one or two digits.
char* UpToTwoDigits(char* out, unsigned value) {
    const unsigned single = value < 10 ? 1 : 0;
    std::memcpy(out, &kDigitPairs[2 * value + single], 2);
    return out + 2 - single;
}

// Below 10 to the power of kWholeDaysDigits, without leading zeros.
char* WholeDays(char* out, std::uint32_t value) {
    // The digits sit at the front; the copy below may read into the back.
    char digits[2 * kWholeDaysDigits] = {};
    constexpr std::uint32_t kFourDigits = kDigitPairCount * kDigitPairCount;
    const std::uint32_t high = value / kFourDigits;
    const std::uint32_t low = value % kFourDigits;
    FourDigits(FourDigits(digits, high), low);
    std::size_t length = 1;
    for (std::uint32_t power = 10; power < kWholeDaysLimit; power *= 10) {
        length += value >= power ? 1 : 0;
    }
    std::memcpy(out, digits + kWholeDaysDigits - length, kWholeDaysDigits);
    return out + length;
}

char* Integer(char* out, long long value) {
    // Hours, minutes and degrees have one or two digits.
    if (value > -static_cast<long long>(kDigitPairCount) &&
        value < static_cast<long long>(kDigitPairCount)) {
        *out = '-';
        out += value < 0 ? 1 : 0;
        return UpToTwoDigits(out, static_cast<unsigned>(value < 0 ? -value : value));
    }
    return std::to_chars(out, out + kMaxNumberBytes, value).ptr;
}

// A text read from a catalogue line fills its columns and rarely holds a
// quote, so it is checked a word at a time and copied whole; the words may
// overlap, which checks a byte twice and never reads past the field.
template <std::size_t N> bool FillsWithoutQuotes(const char (&text)[N]) {
    constexpr std::size_t kColumns = N - 1;
    constexpr std::size_t kWordBytes = words::kBytes;
    static_assert(kColumns >= kWordBytes, "every field of a record is at least a word wide");
    if (text[kColumns] != '\0') {
        return false;
    }
    for (std::size_t at = 0; at < kColumns; at += kWordBytes) {
        const words::Word word = words::Load(text + std::min(at, kColumns - kWordBytes));
        if ((words::Equal(word, '\0') | words::Equal(word, '"')) != 0) {
            return false;
        }
    }
    return true;
}

// Quoted as every CSV reader expects: a double quote inside is doubled.
template <std::size_t N> char* QuotedText(char* out, const char (&text)[N]) {
    *out++ = '"';
    if (FillsWithoutQuotes(text)) {
        std::memcpy(out, text, N - 1);
        out += N - 1;
    } else {
        const std::size_t length = std::char_traits<char>::length(text);
        for (std::size_t i = 0; i < length; ++i) {
            if (text[i] == '"') {
                *out++ = '"';
            }
            *out++ = text[i];
        }
    }
    *out++ = '"';
    return out;
}

char* GeneralMagnitude(char* out, double value) {
    return std::to_chars(out, out + kMaxNumberBytes, value, std::chars_format::general,
                         kMagnitudeSignificantDigits)
        .ptr;
}

// Every magnitude that a catalogue line can give is one of ten thousand
// values, so their texts are made once and looked up.
class MagnitudeTexts {
public:
    MagnitudeTexts() {
        for (int code = 0; code < format::kMagnitudeValues; ++code) {
            Entry& entry = entries[static_cast<std::size_t>(code)];
            char text[kMaxNumberBytes];
            entry.value = ValueOf(code);
            const char* end = GeneralMagnitude(text, entry.value);
            entry.length = static_cast<unsigned char>(end - text);
            std::memcpy(entry.text, text, std::min(sizeof entry.text, std::size_t{entry.length}));
        }
    }

    char* Write(char* out, double value) const {
        const double rounded = value * kHundredths + 0.5;
        if (value >= 0.0 && rounded < format::kMagnitudeValues) {
            const Entry& entry = entries[static_cast<std::size_t>(rounded)];
            // Only a value decoded from a catalogue line has its text here.
            if (entry.length <= sizeof entry.text && entry.value == value) {
                std::memcpy(out, entry.text, sizeof entry.text);
                return out + entry.length;
            }
        }
        return GeneralMagnitude(out, value);
    }

private:
    static double ValueOf(int code) {
        const int digits[format::kMagnitudeDigits] = {code / 1000, code / 100 % 10, code / 10 % 10,
                                                      code % 10};
        return format::MagnitudeValue(digits);
    }

    // "99.99" is the longest text. The value that an entry was made for is
    // kept beside its text, so telling a decoded value costs one comparison.
    struct Entry {
        double value;
        char text[7];
        unsigned char length;
    };
    std::array<Entry, format::kMagnitudeValues> entries{};
};

} // namespace

char* WriteMagnitude(char* out, double value) {
    static const MagnitudeTexts texts;
    return texts.Write(out, value);
}

// The period keeps every decimal the catalogue can hold, without trailing
// zeros and never in exponent form.
char* WritePeriod(char* out, double value) {
    const double scaled = value * kPeriodScale;
    if (value >= 0.0 && scaled < kLargestFastPeriod &&
        std::fabs(scaled - static_cast<double>(static_cast<long long>(scaled + 0.5))) < 0.25) {
        // Decoded periods sit this close to a whole number of ten-thousandths,
        // so rounding to four decimals cannot go either way.
        const auto units = static_cast<std::uint64_t>(scaled + 0.5);
        const auto scale = static_cast<std::uint64_t>(kPeriodScale);
        char* end = WholeDays(out, static_cast<std::uint32_t>(units / scale));
        // The point and every decimal are written; trailing zeros, and the
        // point when nothing follows it, are then given back.
        const auto decimals = static_cast<unsigned>(units % scale);
        static_assert(kPeriodScale == kDigitPairCount * kDigitPairCount, "four decimals");
        *end = '.';
        FourDigits(end + 1, decimals);
        const unsigned trailingZeros = (decimals % 10 == 0 ? 1 : 0) +
                                       (decimals % 100 == 0 ? 1 : 0) +
                                       (decimals % 1000 == 0 ? 1 : 0);
        return end + (decimals == 0 ? 0 : 1 + format::kPeriodDecimals - trailingZeros);
    }
    const auto [fixedEnd, error] = std::to_chars(out, out + kMaxNumberBytes, value,
                                                 std::chars_format::fixed, format::kPeriodDecimals);
    if (error != std::errc{}) {
        return std::to_chars(out, out + kMaxNumberBytes, value).ptr;
    }
    char* end = fixedEnd;
    while (end[-1] == '0') {
        --end;
    }
    if (end[-1] == '.') {
        --end;
    }
    return end;
}

namespace {

template <table::Field kField> char* WriteCell(char* out, const StarRecord& record) {
    using table::Field;
    if constexpr (kField == Field::RaHours) {
        return Integer(out, record.raHours);
    } else if constexpr (kField == Field::RaMinutes) {
        return Integer(out, record.raMinutes);
    } else if constexpr (kField == Field::Dec) {
        return Integer(out, record.dec);
    } else if constexpr (kField == Field::Name) {
        return QuotedText(out, record.name);
    } else if constexpr (kField == Field::Type) {
        return QuotedText(out, record.type);
    } else if constexpr (kField == Field::Range) {
        return QuotedText(out, record.range);
    } else if constexpr (kField == Field::Description) {
        return QuotedText(out, record.desc);
    } else if constexpr (kField == Field::MaxMag) {
        return WriteMagnitude(out, record.maxMag);
    } else if constexpr (kField == Field::MinMag) {
        return WriteMagnitude(out, record.minMag);
    } else {
        static_assert(kField == Field::Period);
        return WritePeriod(out, record.period);
    }
}

// Every cell in the order of the column list, each but the last followed by
// a comma; unrolled, so a row costs what its cells cost.
template <std::size_t... kIndex>
char* WriteCells(char* out, const StarRecord& record, std::index_sequence<kIndex...>) {
    ((out = WriteCell<table::kColumns[kIndex].field>(out, record), *out = ',',
      out += kIndex + 1 < table::kColumnCount ? 1 : 0),
     ...);
    return out;
}

} // namespace

std::size_t FormatRow(const StarRecord& record, char* out) {
    char* p = WriteCells(out, record, std::make_index_sequence<table::kColumnCount>{});
    *p++ = '\r';
    *p++ = '\n';
    return static_cast<std::size_t>(p - out);
}

} // namespace lumara::csv
