#include "CsvFormat.h"

#include <charconv>
#include <cstring>

#include "LineFormat.h"
#include "StarCatalog.h"

namespace lumara::csv {

namespace {

// Magnitudes keep six significant digits in general notation, which is
// exact for values written with two decimals.
constexpr int kMagnitudeDigits = 6;
constexpr std::size_t kNumberChars = 32;

char* Integer(char* out, std::int16_t value) {
    return std::to_chars(out, out + kNumberChars, value).ptr;
}

// Quoted as every CSV reader expects: a double quote inside is doubled.
char* QuotedText(char* out, const char* text) {
    *out++ = '"';
    for (; *text != '\0'; ++text) {
        if (*text == '"') {
            *out++ = '"';
        }
        *out++ = *text;
    }
    *out++ = '"';
    return out;
}

char* Magnitude(char* out, double value) {
    return std::to_chars(out, out + kNumberChars, value, std::chars_format::general,
                         kMagnitudeDigits)
        .ptr;
}

// The period keeps every decimal the catalogue can hold, without trailing
// zeros and never in exponent form.
char* Period(char* out, double value) {
    const auto [end, error] = std::to_chars(out, out + kNumberChars, value,
                                            std::chars_format::fixed, format::kPeriodDecimals);
    if (error != std::errc{}) {
        return std::to_chars(out, out + kNumberChars, value).ptr;
    }
    char* last = end;
    while (last[-1] == '0') {
        --last;
    }
    if (last[-1] == '.') {
        --last;
    }
    return last;
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
