#include "CsvFormat.h"

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
            const int digits[format::kMagnitudeDigits] = {code / 1000, code / 100 % 10,
                                                          code / 10 % 10, code % 10};
            Entry& entry = entries[static_cast<std::size_t>(code)];
            entry.value = format::MagnitudeValue(digits);
            entry.length =
                static_cast<unsigned char>(GeneralMagnitude(entry.text, entry.value) - entry.text);
        }
    }

    char* Write(char* out, double value) const {
        if (value >= 0.0 && value < format::kMagnitudeValues / kHundredths) {
            const auto code = static_cast<std::size_t>(std::lround(value * kHundredths));
            if (code < entries.size() && entries[code].value == value) {
                std::memcpy(out, entries[code].text, entries[code].length);
                return out + entries[code].length;
            }
        }
        return GeneralMagnitude(out, value);
    }

private:
    struct Entry {
        double value;
        char text[kNumberChars - sizeof(double) - 1];
        unsigned char length;
    };
    std::array<Entry, format::kMagnitudeValues> entries;
};

char* Magnitude(char* out, double value) {
    static const MagnitudeTexts texts;
    return texts.Write(out, value);
}

// The period keeps every decimal the catalogue can hold, without trailing
// zeros and never in exponent form.
char* Period(char* out, double value) {
    char* end;
    const double scaled = value * kPeriodScale;
    const double rounded = std::round(scaled);
    if (value >= 0.0 && scaled < kLargestFastPeriod && std::fabs(scaled - rounded) < 0.25) {
        // Decoded periods sit this close to a whole number of ten-thousandths,
        // so rounding to four decimals cannot go either way.
        const auto units = static_cast<long long>(rounded);
        const auto scale = static_cast<long long>(kPeriodScale);
        end = Integer(out, units / scale);
        *end++ = '.';
        const std::to_chars_result decimals =
            std::to_chars(end, end + kNumberChars, units % scale + scale);
        // The leading 1 of the added scale keeps the decimals' leading zeros.
        std::memmove(end, end + 1, static_cast<std::size_t>(decimals.ptr - end - 1));
        end = decimals.ptr - 1;
    } else {
        const auto [fixedEnd, error] = std::to_chars(
            out, out + kNumberChars, value, std::chars_format::fixed, format::kPeriodDecimals);
        if (error != std::errc{}) {
            return std::to_chars(out, out + kNumberChars, value).ptr;
        }
        end = fixedEnd;
    }
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
