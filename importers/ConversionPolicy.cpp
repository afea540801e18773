// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ConversionPolicy.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "ByteWords.h"
#include "DigitPairs.h"

namespace lumara::import {

using namespace format;

namespace {

// The range's own columns, beside the digits that the decoders read.
constexpr std::size_t kMaxLimitColumn = kRangeColumn;         // '<' before the maximum
constexpr std::size_t kMaxValueColumn = kRangeColumn + 1;     // dd.dd
constexpr std::size_t kMaxUncertainColumn = kRangeColumn + 6; // ':' after it
constexpr std::size_t kMinMarkColumn = kRangeColumn + 7;      // '-', or the minimum's limit
constexpr std::size_t kMinValueColumn = kRangeColumn + 8;
constexpr std::size_t kMinUncertainColumn = kRangeColumn + 13;

// Right-aligned in four columns without leading zeros, the last digit always
// written (`value` is below 10 000).
void WriteNumber(char* at, int value) {
    FourDigits(at, value);
    for (int below = 1000; below > 1 && value < below; below /= 10) {
        *at++ = ' ';
    }
}

// Room for a number as the source wrote it: a sign, kMaxNumberDigits digits
// and a point.
constexpr std::size_t kNumberTextBytes = kMaxNumberDigits + 3;
// Room for a magnitude with its marks: a limit, brackets, ':'.
constexpr std::size_t kMagnitudeTextBytes = kNumberTextBytes + 4;

// The number with the digits it was written with.
std::string_view NumberText(const Decimal& number, char (&out)[kNumberTextBytes]) {
    const std::int64_t unit = kPowersOfTen[number.scale];
    const auto whole = static_cast<long long>(number.scaled / unit);
    const auto decimals = static_cast<long long>(number.scaled % unit);
    const char* sign = number.negative ? "-" : "";
    const int written = number.scale == 0 ? std::snprintf(out, sizeof out, "%s%lld", sign, whole)
                                          : std::snprintf(out, sizeof out, "%s%lld.%0*lld", sign,
                                                          whole, number.scale, decimals);
    return {out, static_cast<std::size_t>(written)};
}

// A magnitude with its marks: a limit before it, an amplitude in brackets,
// ':' after an uncertain one.
std::string_view MagnitudeText(const SourceMagnitude& magnitude, char (&out)[kMagnitudeTextBytes]) {
    char* at = out;
    if (magnitude.limit != ' ') {
        *at++ = magnitude.limit;
    }
    if (magnitude.amplitude) {
        *at++ = '(';
    }
    char number[kNumberTextBytes];
    const std::string_view value = NumberText(magnitude.value, number);
    at = std::copy(value.begin(), value.end(), at);
    if (magnitude.amplitude) {
        *at++ = ')';
    }
    if (magnitude.uncertain) {
        *at++ = ':';
    }
    return {out, static_cast<std::size_t>(at - out)};
}

// Counts what one star's conversion changes and, for a caller who lists the
// changes, adds each with the source's value. Nearly every conversion lists
// nothing: the list is looked at only for a change that happened.
class StarChanges {
public:
    StarChanges(const SourceStar& source, ImportReport& counts, ChangeList* listed)
        : star(source), report(counts), list(listed) {}

    // A text field, listed without the white space around it.
    void CountIf(Change change, bool happened, Field value) {
        report.CountIf(change, happened);
        if (list != nullptr && happened) [[unlikely]] {
            const Field text = Trimmed(value);
            List(change, {text.text, text.width});
        }
    }
    void CountIf(Change change, bool happened, const Decimal& value) {
        report.CountIf(change, happened);
        if (list != nullptr && happened) [[unlikely]] {
            char text[kNumberTextBytes];
            List(change, NumberText(value, text));
        }
    }
    void CountIf(Change change, bool happened, const SourceMagnitude& value) {
        report.CountIf(change, happened);
        if (list != nullptr && happened) [[unlikely]] {
            char text[kMagnitudeTextBytes];
            List(change, MagnitudeText(value, text));
        }
    }

private:
    void List(Change change, std::string_view value) {
        const Field name = Trimmed(star.name);
        list->Add({name.text, name.width}, change, value);
    }

    const SourceStar& star;
    ImportReport& report;
    ChangeList* list;
};

void WritePosition(const SourceStar& star, char* native, StarChanges& changes) {
    TwoDigits(native + kRaHoursColumn, star.raHours);
    TwoDigits(native + kRaMinutesColumn, star.raMinutes);
    native[kDecSignColumn] = star.decNegative ? '-' : '+';
    TwoDigits(native + kDecDegreesColumn, star.decDegrees);
    changes.CountIf(Change::DecMinusZero, star.decNegative && star.decDegrees == 0,
                    star.declination);
    native[kFlagColumn] = IsLetter(star.component) ? star.component : ' ';
}

// Keeps the leading components of a compound text (split at `separators`)
// that fit in `room` - 1 characters and marks the cut; a first component
// that does not fit keeps its head.
std::size_t CutAtComponent(Field text, const char* separators, char* out, std::size_t room) {
    std::size_t kept = room - 1;
    for (std::size_t i = room - 1; i > 0; --i) {
        if (std::strchr(separators, text.text[i]) != nullptr) {
            kept = i;
            break;
        }
    }
    words::CopyShort(out, text.text, kept);
    out[kept] = kCutMark;
    return kept + 1;
}

// Copies up to `most` digits of a run of digits and points from `at` to
// `out`, counting them in `copied`; returns where the run ends.
const char* CopyDigitRun(const char* at, const char* end, std::size_t most, char* out,
                         std::size_t& copied) {
    for (; at < end; ++at) {
        if (IsDigit(*at)) {
            if (copied < most) {
                out[copied++] = *at;
            }
        } else if (*at != '.') {
            break;
        }
    }
    return at;
}

// Where the coordinates of a name start: a J that ends no word.
bool StartsCoordinates(Field name, const char* at) {
    return *at == 'J' && (at == name.text || !IsLetter(at[-1]));
}

// A name with coordinates (J followed by R.A. digits, a sign and declination
// digits) is told apart by them: the survey prefix is the same for
// thousands of stars. Returns the characters written, 0 for any other name.
std::size_t CoordinateName(Field name, char* out) {
    const char* const end = name.text + name.width;
    for (const char* j = name.text; j < end; ++j) {
        if (!StartsCoordinates(name, j)) {
            continue;
        }
        std::size_t raDigits = 0;
        const char* const sign = CopyDigitRun(j + 1, end, kNameRaDigits, out, raDigits);
        if (raDigits != kNameRaDigits || sign == end || (*sign != '+' && *sign != '-')) {
            continue;
        }
        out[kNameRaDigits] = *sign;
        std::size_t decDigits = 0;
        CopyDigitRun(sign + 1, end, kNameDecDigits, out + kNameRaDigits + 1, decDigits);
        if (decDigits == kNameDecDigits) {
            return kNameRaDigits + 1 + kNameDecDigits;
        }
    }
    return 0;
}

// Copies up to `most` digits of the run of digits at `at` to `out`, which
// moves on past them, and counts the run's digits in `digits`; returns where
// the run ends.
const char* CopyDigits(const char* at, const char* end, std::size_t most, char*& out,
                       std::size_t& digits) {
    for (digits = 0; at < end && IsDigit(*at); ++at, ++digits) {
        if (digits < most) {
            *out++ = *at;
        }
    }
    return at;
}

// A name with coordinates in decimal degrees: J, up to three whole degrees
// of R.A., a point and decimals, a sign and up to two whole degrees of
// declination, perhaps with decimals. Its R.A. would read as hours and
// minutes in the form of CoordinateName, so it keeps its point: two
// decimals of R.A. and one of declination, the digits as they stand.
// Returns the characters written, 0 for any other name.
std::size_t DegreeName(Field name, char* out) {
    const char* const end = name.text + name.width;
    for (const char* j = name.text; j < end; ++j) {
        if (!StartsCoordinates(name, j)) {
            continue;
        }
        char* to = out;
        std::size_t digits = 0;
        const char* at = CopyDigits(j + 1, end, kDegreeNameRaWhole, to, digits);
        if (digits == 0 || digits > kDegreeNameRaWhole || at == end || *at != '.') {
            continue;
        }
        *to++ = '.';
        at = CopyDigits(at + 1, end, kDegreeNameRaDecimals, to, digits);
        if (digits == 0 || at == end || (*at != '+' && *at != '-')) {
            continue;
        }
        *to++ = *at;
        at = CopyDigits(at + 1, end, kDegreeNameDecWhole, to, digits);
        if (digits == 0 || digits > kDegreeNameDecWhole) {
            continue;
        }
        if (end - at > 1 && *at == '.' && IsDigit(at[1])) {
            *to++ = '.';
            CopyDigits(at + 1, end, kDegreeNameDecDecimals, to, digits);
        }
        return static_cast<std::size_t>(to - out);
    }
    return 0;
}

// dd.dd, the tens blank below 10 (`hundredths` is below kMagnitudeLimit).
void WriteMagnitude(std::int64_t hundredths, char* at) {
    const auto whole = static_cast<int>(hundredths / 100);
    at[0] = whole >= 10 ? static_cast<char>('0' + whole / 10) : ' ';
    at[1] = static_cast<char>('0' + whole % 10);
    at[2] = '.';
    TwoDigits(at + 3, static_cast<int>(hundredths % 100));
}

// The magnitude in hundredths as the line can hold it, or -1 for none;
// `source` is the magnitude it was read from.
std::int64_t HundredthsFor(std::int64_t hundredths, const SourceMagnitude& source,
                           StarChanges& changes) {
    if (hundredths >= kMagnitudeLimit) {
        changes.CountIf(Change::MagnitudeDropped, true, source);
        return -1;
    }
    if (hundredths < kBrightestMagnitude) {
        changes.CountIf(Change::MagnitudeRaised, true, source);
        return kBrightestMagnitude;
    }
    return hundredths;
}

// The range: an optional limit mark, the maximum, an optional ':', then '-'
// or the minimum's limit mark, the minimum and an optional ':'. An amplitude
// is added to the maximum as read, before a maximum too bright is raised.
void WriteRange(const SourceStar& star, char* native, StarChanges& changes) {
    bool rounded = false;
    std::int64_t maximum = -1;
    std::int64_t maximumAsRead = 0;
    if (star.maximum.present) {
        maximumAsRead = RoundedTo(star.maximum.value, kMagnitudeDecimals, rounded);
        changes.CountIf(Change::MagnitudeRounded, rounded, star.maximum);
        maximum = HundredthsFor(maximumAsRead, star.maximum, changes);
    }
    std::int64_t minimum = -1;
    if (star.minimum.present) {
        std::int64_t value = RoundedTo(star.minimum.value, kMagnitudeDecimals, rounded);
        changes.CountIf(Change::MagnitudeRounded, rounded, star.minimum);
        if (star.minimum.amplitude && !star.maximum.present) {
            changes.CountIf(Change::AmplitudeDropped, true, star.minimum);
        } else {
            if (star.minimum.amplitude) {
                value += maximumAsRead;
                changes.CountIf(Change::AmplitudeToMinimum, true, star.minimum);
            }
            minimum = HundredthsFor(value, star.minimum, changes);
        }
    }
    if (maximum >= 0) {
        WriteMagnitude(maximum, native + kMaxValueColumn);
        native[kMaxUncertainColumn] = star.maximum.uncertain ? ':' : ' ';
        native[kMaxLimitColumn] = star.maximum.limit;
        changes.CountIf(Change::LimitMarked, star.maximum.limit != ' ', star.maximum);
    }
    if (minimum >= 0) {
        WriteMagnitude(minimum, native + kMinValueColumn);
        native[kMinMarkColumn] = star.minimum.limit != ' ' ? star.minimum.limit : '-';
        native[kMinUncertainColumn] = star.minimum.uncertain ? ':' : ' ';
        changes.CountIf(Change::LimitMarked, star.minimum.limit != ' ', star.minimum);
    }
}

void WritePeriod(const SourceStar& star, char* native, StarChanges& changes) {
    if (!star.periodPresent) {
        return;
    }
    bool rounded = false;
    const std::int64_t units = RoundedTo(star.period, format::kPeriodDecimals, rounded);
    if (units < 0) {
        changes.CountIf(Change::PeriodDropped, true, star.period);
        return;
    }
    if (units == 0) {
        // 0 is what the line says for no period; a period too short for four
        // decimals is lost.
        changes.CountIf(Change::PeriodDropped, rounded, star.period);
        return;
    }
    char* at = native + kPeriodIntegerColumns[0];
    if (units >= kThousandsFrom) {
        const std::int64_t thousands = (units + kThousandUnits / 2) / kThousandUnits;
        if (thousands > kMaxThousands) {
            changes.CountIf(Change::PeriodDropped, true, star.period);
            return;
        }
        WriteNumber(at, static_cast<int>(thousands));
        native[kPeriodMarkerColumn] = kThousandsMarker;
        changes.CountIf(Change::PeriodInThousands, true, star.period);
        return;
    }
    changes.CountIf(Change::PeriodRounded, rounded, star.period);
    WriteNumber(at, static_cast<int>(units / kPeriodDecimalUnit));
    native[kPeriodMarkerColumn] = '.';
    // As many decimals as the source wrote, up to four.
    FourDigits(native + kPeriodDecimalColumns[0],
               static_cast<unsigned>(units % kPeriodDecimalUnit));
    for (int i = star.period.scale; i < format::kPeriodDecimals; ++i) {
        native[kPeriodDecimalColumns[i]] = ' ';
    }
}

// Writes the trimmed text to `out` when it fits in `room` characters, else
// what `shorten` makes of it; returns the characters written.
template <typename Shorten>
std::size_t FittedChars(Field field, std::size_t room, char* out, bool& shortened,
                        Shorten shorten) {
    const Field text = Trimmed(field);
    shortened = text.width > room;
    if (!shortened) {
        words::CopyShort(out, text.text, text.width);
        return text.width;
    }
    return shorten(text, out);
}

// A long name keeps its coordinates, in degrees or in hours and degrees, or
// else its head and most of its tail; `change` says which.
std::size_t ShortenedName(Field text, char* out, Change& change) {
    change = Change::NameInDegrees;
    std::size_t written = DegreeName(text, out);
    if (written != 0) {
        return written;
    }
    change = Change::NameShortened;
    written = CoordinateName(text, out);
    if (written != 0) {
        return written;
    }
    std::memcpy(out, text.text, kNameHeadChars);
    out[kNameHeadChars] = kCutMark;
    constexpr std::size_t kTail = kNameChars - kNameHeadChars - 1;
    std::memcpy(out + kNameHeadChars + 1, text.text + text.width - kTail, kTail);
    return kNameChars;
}

std::size_t ShortenedType(Field text, char* out) {
    return CutAtComponent(text, "+|/,", out, kTypeChars);
}

// The name and type as the line's columns hold them, in `out`; each returns
// its length. `change` says how the name was shortened, Change::Count when
// it was not.
std::size_t NameChars(Field name, char* out, Change& change) {
    bool shortened = false;
    change = Change::Count;
    return FittedChars(name, kNameChars, out, shortened,
                       [&change](Field text, char* to) { return ShortenedName(text, to, change); });
}

std::size_t TypeChars(Field type, char* out, bool& shortened) {
    return FittedChars(type, kTypeChars, out, shortened, ShortenedType);
}

} // namespace

bool ShortenName(Field name, char (&out)[kNameChars + 1]) {
    Change change = Change::Count;
    out[NameChars(name, out, change)] = '\0';
    return change != Change::Count;
}

bool ShortenType(Field type, char (&out)[kTypeChars + 1]) {
    bool shortened = false;
    out[TypeChars(type, out, shortened)] = '\0';
    return shortened;
}

// Each text is written straight into the line, which starts all blanks, so
// that no piece is written in bytes and read back as a word.
bool WriteNativeLine(const SourceStar& star, char* native, ImportReport& report, ChangeList* list) {
    std::memset(native, ' ', format::kStoredLineChars);
    native[format::kStoredLineChars] = '\0';
    Change nameChange = Change::Count;
    NameChars(star.name, native + kNameColumn, nameChange);
    if (!IsGraphic(native[kNameColumn])) {
        report.Count(SkipReason::NoName);
        return false;
    }
    StarChanges changes(star, report, list);
    changes.CountIf(Change::NameShortened, nameChange == Change::NameShortened, star.name);
    changes.CountIf(Change::NameInDegrees, nameChange == Change::NameInDegrees, star.name);
    WritePosition(star, native, changes);

    bool typeShortened = false;
    TypeChars(star.type, native + kTypeColumn, typeShortened);
    changes.CountIf(Change::TypeShortened, typeShortened, star.type);
    if (!IsGraphic(native[kTypeColumn])) {
        std::memset(native + kTypeColumn, ' ', kTypeChars);
        std::memcpy(native + kTypeColumn, kUnknownType, sizeof kUnknownType - 1);
        changes.CountIf(Change::TypeFilled, true, star.type);
    }

    WriteRange(star, native, changes);
    WritePeriod(star, native, changes);
    changes.CountIf(Change::MarkDropped, star.markedValue.width != 0, star.markedValue);
    words::CopyShort(native + kDescColumn, star.description, star.descriptionChars);
    ++report.stars;
    return true;
}

} // namespace lumara::import
