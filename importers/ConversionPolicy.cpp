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

// Counts what one star's conversion changes and, when Listing, adds each
// change to the list with the source's value. Nearly every conversion lists
// nothing, and its counting costs no more for the list.
template <bool Listing> class StarChanges {
public:
    StarChanges(const SourceStar& source, ImportReport& counts, ChangeList* listed)
        : star(source), report(counts), list(listed) {}

    // A text field, listed without the white space around it.
    void CountIf(Change change, bool happened, Field value) {
        report.CountIf(change, happened);
        if constexpr (Listing) {
            if (happened) {
                const Field text = Trimmed(value);
                List(change, {text.text, text.width});
            }
        }
    }
    void CountIf(Change change, bool happened, const Decimal& value) {
        report.CountIf(change, happened);
        if constexpr (Listing) {
            if (happened) {
                char text[kNumberTextBytes];
                List(change, NumberText(value, text));
            }
        }
    }
    void CountIf(Change change, bool happened, const SourceMagnitude& value) {
        report.CountIf(change, happened);
        if constexpr (Listing) {
            if (happened) {
                char text[kMagnitudeTextBytes];
                List(change, MagnitudeText(value, text));
            }
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

template <typename Changes>
void WritePosition(const SourceStar& star, char* native, Changes& changes) {
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

// Coordinates in hours and degrees after the J at `j`: R.A. digits (points
// between them passed), a sign and declination digits, of which the first
// six and four are kept. Returns the characters written, 0 when there are
// too few.
std::size_t HourCoordinates(const char* j, const char* end, char* out) {
    std::size_t raDigits = 0;
    const char* const sign = CopyDigitRun(j + 1, end, kNameRaDigits, out, raDigits);
    if (raDigits != kNameRaDigits || sign == end || (*sign != '+' && *sign != '-')) {
        return 0;
    }
    out[kNameRaDigits] = *sign;
    std::size_t decDigits = 0;
    CopyDigitRun(sign + 1, end, kNameDecDigits, out + kNameRaDigits + 1, decDigits);
    return decDigits == kNameDecDigits ? kNameRaDigits + 1 + kNameDecDigits : 0;
}

// Coordinates in decimal degrees after the J at `j`: up to three whole
// degrees of R.A., a point and decimals, a sign and up to two whole degrees
// of declination, perhaps with decimals. The digits of the other form would
// read as hours and minutes, so these keep their points: two decimals of
// R.A. and one of declination, the digits as they stand. Returns the
// characters written, 0 for any other text.
std::size_t DegreeCoordinates(const char* j, const char* end, char* out) {
    // Most names with coordinates have them in the other form: a fourth
    // digit before any point tells at once.
    const char* at = j + 1;
    while (at < end && IsDigit(*at) && at - j <= static_cast<std::ptrdiff_t>(kDegreeNameRaWhole)) {
        ++at;
    }
    if (at == j + 1 || at == end || *at != '.') {
        return 0;
    }
    char* to = std::copy(j + 1, at, out);
    std::size_t digits = 0;
    *to++ = '.';
    at = CopyDigits(at + 1, end, kDegreeNameRaDecimals, to, digits);
    if (digits == 0 || at == end || (*at != '+' && *at != '-')) {
        return 0;
    }
    *to++ = *at;
    at = CopyDigits(at + 1, end, kDegreeNameDecWhole, to, digits);
    if (digits == 0 || digits > kDegreeNameDecWhole) {
        return 0;
    }
    if (end - at > 1 && *at == '.' && IsDigit(at[1])) {
        *to++ = '.';
        CopyDigits(at + 1, end, kDegreeNameDecDecimals, to, digits);
    }
    return static_cast<std::size_t>(to - out);
}

// A name with coordinates (a J that ends no word, then the coordinates in
// one of two forms) is told apart by them: the survey prefix is the same for
// thousands of stars. Returns the characters written, 0 for any other name;
// `change` says which form they had.
std::size_t CoordinateName(Field name, char* out, Change& change) {
    const char* const end = name.text + name.width;
    for (const char* j = name.text; j < end; ++j) {
        if (*j != 'J' || (j > name.text && IsLetter(j[-1]))) {
            continue;
        }
        change = Change::NameInDegrees;
        std::size_t written = DegreeCoordinates(j, end, out);
        if (written != 0) {
            return written;
        }
        change = Change::NameShortened;
        written = HourCoordinates(j, end, out);
        if (written != 0) {
            return written;
        }
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
template <typename Changes>
std::int64_t HundredthsFor(std::int64_t hundredths, const SourceMagnitude& source,
                           Changes& changes) {
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
template <typename Changes>
void WriteRange(const SourceStar& star, char* native, Changes& changes) {
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

template <typename Changes>
void WritePeriod(const SourceStar& star, char* native, Changes& changes) {
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
// what `shorten` makes of it, which tells how it shortened it in `change`;
// returns the characters written. `change` is Change::Count for a text that
// fits.
template <typename Shorten>
std::size_t FittedChars(Field field, std::size_t room, char* out, Change& change, Shorten shorten) {
    const Field text = Trimmed(field);
    change = Change::Count;
    if (text.width <= room) {
        words::CopyShort(out, text.text, text.width);
        return text.width;
    }
    return shorten(text, out, change);
}

// A long name keeps its coordinates, in degrees or in hours and degrees, or
// else its head and most of its tail; `change` says which.
std::size_t ShortenedName(Field text, char* out, Change& change) {
    const std::size_t written = CoordinateName(text, out, change);
    if (written != 0) {
        return written;
    }
    change = Change::NameShortened;
    std::memcpy(out, text.text, kNameHeadChars);
    out[kNameHeadChars] = kCutMark;
    constexpr std::size_t kTail = kNameChars - kNameHeadChars - 1;
    std::memcpy(out + kNameHeadChars + 1, text.text + text.width - kTail, kTail);
    return kNameChars;
}

std::size_t ShortenedType(Field text, char* out, Change& change) {
    change = Change::TypeShortened;
    return CutAtComponent(text, "+|/,", out, kTypeChars);
}

// The name and type as the line's columns hold them, in `out`; each returns
// its length and says in `change` how it was shortened, Change::Count when
// it was not.
std::size_t NameChars(Field name, char* out, Change& change) {
    return FittedChars(name, kNameChars, out, change, ShortenedName);
}

std::size_t TypeChars(Field type, char* out, Change& change) {
    return FittedChars(type, kTypeChars, out, change, ShortenedType);
}

// Each text is written straight into the line, which starts all blanks, so
// that no piece is written in bytes and read back as a word.
template <bool Listing>
bool WriteLine(const SourceStar& star, char* native, ImportReport& report, ChangeList* list) {
    std::memset(native, ' ', format::kStoredLineChars);
    native[format::kStoredLineChars] = '\0';
    Change nameChange = Change::Count;
    NameChars(star.name, native + kNameColumn, nameChange);
    if (!IsGraphic(native[kNameColumn])) {
        report.Count(SkipReason::NoName);
        return false;
    }
    StarChanges<Listing> changes(star, report, list);
    changes.CountIf(Change::NameShortened, nameChange == Change::NameShortened, star.name);
    changes.CountIf(Change::NameInDegrees, nameChange == Change::NameInDegrees, star.name);
    WritePosition(star, native, changes);

    Change typeChange = Change::Count;
    TypeChars(star.type, native + kTypeColumn, typeChange);
    changes.CountIf(Change::TypeShortened, typeChange == Change::TypeShortened, star.type);
    if (!IsGraphic(native[kTypeColumn])) {
        std::memset(native + kTypeColumn, ' ', kTypeChars);
        std::memcpy(native + kTypeColumn, kUnknownType, sizeof kUnknownType - 1);
        changes.CountIf(Change::TypeFilled, true, star.type);
    }

    WriteRange(star, native, changes);
    WritePeriod(star, native, changes);
    changes.CountIf(Change::MarkDropped, star.markedValue.width != 0, star.markedValue);
    changes.CountIf(Change::DescriptionCut, star.cutDescription.width != 0, star.cutDescription);
    words::CopyShort(native + kDescColumn, star.description, star.descriptionChars);
    ++report.stars;
    return true;
}

} // namespace

bool ShortenName(Field name, char (&out)[kNameChars + 1]) {
    Change change = Change::Count;
    out[NameChars(name, out, change)] = '\0';
    return change != Change::Count;
}

bool ShortenType(Field type, char (&out)[kTypeChars + 1]) {
    Change change = Change::Count;
    out[TypeChars(type, out, change)] = '\0';
    return change != Change::Count;
}

bool WriteNativeLine(const SourceStar& star, char* native, ImportReport& report, ChangeList* list) {
    return list != nullptr ? WriteLine<true>(star, native, report, list)
                           : WriteLine<false>(star, native, report, list);
}

void SetDescription(Field text, SourceStar& star) {
    const Field trimmed = Trimmed(text);
    const bool cut = trimmed.width > kDescChars;
    star.cutDescription = cut ? trimmed : Field{};
    star.descriptionChars = cut ? kDescChars : trimmed.width;
    std::memcpy(star.description, trimmed.text, star.descriptionChars);
}

void KeepPeriodNote(Field marks, SourceStar& star) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < marks.width && kept + 1 < sizeof star.periodNote; ++i) {
        const char c = marks.text[i];
        if (IsGraphic(c) && c != ':' && c != ')') {
            star.periodNote[kept++] = c;
        }
    }
    star.periodNote[kept] = '\0';
}

double FullEpoch(NumberRead read, const Decimal& written) {
    if (read != NumberRead::Number || written.negative || written.scaled == 0) {
        return 0.0;
    }
    const double value = ValueOf(written);
    return value < kLeastFullEpoch ? value + kShortEpochBase : value;
}

void DescribeSource(const SourceStar& star, StarDetails& details) {
    const Field name = Trimmed(star.name);
    const Field type = Trimmed(star.type);
    details.raDeg = star.raDeg;
    details.decDeg = star.decDeg;
    details.name = {name.text, name.width};
    details.type = {type.text, type.width};
    details.epochJd = star.epochJd;
    details.epochScale = star.epochJd > 0.0 ? TimeScale::HjdUtc : TimeScale::None;
    details.period = star.periodPresent && !star.period.negative ? ValueOf(star.period) : 0.0;
    details.periodLimit = star.periodLimit;
    details.periodUncertain = star.periodUncertain;
    std::memcpy(details.periodNote, star.periodNote, sizeof details.periodNote);
    details.durationPercent = static_cast<std::int16_t>(star.durationPercent);
    details.secondaryMinimum = star.secondaryMinimum;
}

} // namespace lumara::import
