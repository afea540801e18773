#include "CsvFormat.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

#include "LineFormat.h"
#include "StarCatalog.h"

namespace lumara::csv {

namespace {

// Magnitudes keep six significant digits in general notation, which is
// exact for values written with two decimals.
constexpr int kMagnitudeSignificantDigits = 6;
constexpr std::size_t kNumberChars = 32;
constexpr double kHundredths = 100.0;
constexpr double kPeriodScale = 10000.0; // 10 to the power of kPeriodDecimals
// Below this a period times kPeriodScale is held exactly enough to round.
constexpr double kLargestFastPeriod = 1e11;

char* Integer(char* out, long long value) {
    // Hours, minutes and degrees have one or two digits.
    if (value < 0 && value > -100) {
        *out++ = '-';
        value = -value;
    }
    if (value >= 0 && value < 100) {
        if (value >= 10) {
            *out++ = static_cast<char>('0' + value / 10);
        }
        *out++ = static_cast<char>('0' + value % 10);
        return out;
    }
    return std::to_chars(out, out + kNumberChars, value).ptr;
}

// Quoted as every CSV reader expects: a double quote inside is doubled.
template <std::size_t N> char* QuotedText(char* out, const char (&text)[N]) {
    const std::size_t length = std::char_traits<char>::length(text);
    *out++ = '"';
    if (std::memchr(text, '"', length) == nullptr) {
        std::memcpy(out, text, length);
        out += length;
    } else {
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
    return std::to_chars(out, out + kNumberChars, value, std::chars_format::general,
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
            char text[kNumberChars];
            const char* end = GeneralMagnitude(text, ValueOf(code));
            entry.length = static_cast<unsigned char>(end - text);
            std::memcpy(entry.text, text, std::min(sizeof entry.text, std::size_t{entry.length}));
        }
    }

    char* Write(char* out, double value) const {
        if (value >= 0.0 && value < format::kMagnitudeValues / kHundredths) {
            const auto code = static_cast<int>(value * kHundredths + 0.5);
            const Entry& entry = entries[static_cast<std::size_t>(code)];
            // Only a value decoded from a catalogue line has its text here.
            if (entry.length <= sizeof entry.text && ValueOf(code) == value) {
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

    // "99.99" is the longest text; the table stays small enough for the cache.
    struct Entry {
        char text[7];
        unsigned char length;
    };
    std::array<Entry, format::kMagnitudeValues> entries{};
};

char* Magnitude(char* out, double value) {
    static const MagnitudeTexts texts;
    return texts.Write(out, value);
}

// The period keeps every decimal the catalogue can hold, without trailing
// zeros and never in exponent form.
char* Period(char* out, double value) {
    const double scaled = value * kPeriodScale;
    if (value >= 0.0 && scaled < kLargestFastPeriod &&
        std::fabs(scaled - static_cast<double>(static_cast<long long>(scaled + 0.5))) < 0.25) {
        // Decoded periods sit this close to a whole number of ten-thousandths,
        // so rounding to four decimals cannot go either way.
        const auto units = static_cast<long long>(scaled + 0.5);
        const auto scale = static_cast<long long>(kPeriodScale);
        char* end = Integer(out, units / scale);
        long long decimals = units % scale;
        if (decimals != 0) {
            *end++ = '.';
        }
        for (long long place = scale / 10; decimals != 0; place /= 10) {
            *end++ = static_cast<char>('0' + decimals / place);
            decimals %= place;
        }
        return end;
    }
    const auto [fixedEnd, error] = std::to_chars(out, out + kNumberChars, value,
                                                 std::chars_format::fixed, format::kPeriodDecimals);
    if (error != std::errc{}) {
        return std::to_chars(out, out + kNumberChars, value).ptr;
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

} // namespace

std::size_t FormatRow(const StarRecord& record, char* out) {
    char* p = out;
    p = Integer(p, record.raHours);
    *p++ = ',';
    p = Integer(p, record.raMinutes);
    *p++ = ',';
    p = Integer(p, record.dec);
    *p++ = ',';
    p = QuotedText(p, record.name);
    *p++ = ',';
    p = QuotedText(p, record.type);
    *p++ = ',';
    p = QuotedText(p, record.range);
    *p++ = ',';
    p = QuotedText(p, record.desc);
    *p++ = ',';
    p = Magnitude(p, record.maxMag);
    *p++ = ',';
    p = Magnitude(p, record.minMag);
    *p++ = ',';
    p = Period(p, record.period);
    *p++ = '\r';
    *p++ = '\n';
    return static_cast<std::size_t>(p - out);
}

} // namespace lumara::csv
