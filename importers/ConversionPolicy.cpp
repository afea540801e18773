// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ConversionPolicy.h"

#include <cstring>

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

void WritePosition(const SourceStar& star, char* native, ImportReport& report) {
    TwoDigits(native + kRaHoursColumn, star.raHours);
    TwoDigits(native + kRaMinutesColumn, star.raMinutes);
    native[kDecSignColumn] = star.decNegative ? '-' : '+';
    TwoDigits(native + kDecDegreesColumn, star.decDegrees);
    report.CountIf(Change::DecMinusZero, star.decNegative && star.decDegrees == 0);
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

// A name with coordinates (J followed by R.A. digits, a sign and declination
// digits) is told apart by them: the survey prefix is the same for
// thousands of stars. Returns the characters written, 0 for any other name.
std::size_t CoordinateName(Field name, char* out) {
    const char* const end = name.text + name.width;
    for (const char* j = name.text; j < end; ++j) {
        if (*j != 'J' || (j > name.text && IsLetter(j[-1]))) {
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

// dd.dd, the tens blank below 10 (`hundredths` is below kMagnitudeLimit).
void WriteMagnitude(std::int64_t hundredths, char* at) {
    const auto whole = static_cast<int>(hundredths / 100);
    at[0] = whole >= 10 ? static_cast<char>('0' + whole / 10) : ' ';
    at[1] = static_cast<char>('0' + whole % 10);
    at[2] = '.';
    TwoDigits(at + 3, static_cast<int>(hundredths % 100));
}

// The magnitude in hundredths as the line can hold it, or -1 for none.
std::int64_t HundredthsFor(std::int64_t hundredths, ImportReport& report) {
    if (hundredths >= kMagnitudeLimit) {
        report.Count(Change::MagnitudeDropped);
        return -1;
    }
    if (hundredths < kBrightestMagnitude) {
        report.Count(Change::MagnitudeRaised);
        return kBrightestMagnitude;
    }
    return hundredths;
}

// The range: an optional limit mark, the maximum, an optional ':', then '-'
// or the minimum's limit mark, the minimum and an optional ':'. An amplitude
// is added to the maximum as read, before a maximum too bright is raised.
void WriteRange(const SourceStar& star, char* native, ImportReport& report) {
    bool rounded = false;
    std::int64_t maximum = -1;
    std::int64_t maximumAsRead = 0;
    if (star.maximum.present) {
        maximumAsRead = RoundedTo(star.maximum.value, kMagnitudeDecimals, rounded);
        report.CountIf(Change::MagnitudeRounded, rounded);
        maximum = HundredthsFor(maximumAsRead, report);
    }
    std::int64_t minimum = -1;
    if (star.minimum.present) {
        std::int64_t value = RoundedTo(star.minimum.value, kMagnitudeDecimals, rounded);
        report.CountIf(Change::MagnitudeRounded, rounded);
        if (star.minimum.amplitude && !star.maximum.present) {
            report.Count(Change::AmplitudeDropped);
        } else {
            if (star.minimum.amplitude) {
                value += maximumAsRead;
                report.Count(Change::AmplitudeToMinimum);
            }
            minimum = HundredthsFor(value, report);
        }
    }
    if (maximum >= 0) {
        WriteMagnitude(maximum, native + kMaxValueColumn);
        native[kMaxUncertainColumn] = star.maximum.uncertain ? ':' : ' ';
        native[kMaxLimitColumn] = star.maximum.limit;
        report.CountIf(Change::LimitMarked, star.maximum.limit != ' ');
    }
    if (minimum >= 0) {
        WriteMagnitude(minimum, native + kMinValueColumn);
        native[kMinMarkColumn] = star.minimum.limit != ' ' ? star.minimum.limit : '-';
        native[kMinUncertainColumn] = star.minimum.uncertain ? ':' : ' ';
        report.CountIf(Change::LimitMarked, star.minimum.limit != ' ');
    }
}

void WritePeriod(const SourceStar& star, char* native, ImportReport& report) {
    if (!star.periodPresent) {
        return;
    }
    bool rounded = false;
    const std::int64_t units = RoundedTo(star.period, format::kPeriodDecimals, rounded);
    if (units < 0) {
        report.Count(Change::PeriodDropped);
        return;
    }
    if (units == 0) {
        // 0 is what the line says for no period; a period too short for four
        // decimals is lost.
        if (rounded) {
            report.Count(Change::PeriodDropped);
        }
        return;
    }
    char* at = native + kPeriodIntegerColumns[0];
    if (units >= kThousandsFrom) {
        const std::int64_t thousands = (units + kThousandUnits / 2) / kThousandUnits;
        if (thousands > kMaxThousands) {
            report.Count(Change::PeriodDropped);
            return;
        }
        WriteNumber(at, static_cast<int>(thousands));
        native[kPeriodMarkerColumn] = kThousandsMarker;
        report.Count(Change::PeriodInThousands);
        return;
    }
    report.CountIf(Change::PeriodRounded, rounded);
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

// A long name keeps its coordinates, or else its head and most of its tail.
std::size_t ShortenedName(Field text, char* out) {
    const std::size_t written = CoordinateName(text, out);
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
// its length.
std::size_t NameChars(Field name, char* out, bool& shortened) {
    return FittedChars(name, kNameChars, out, shortened, ShortenedName);
}

std::size_t TypeChars(Field type, char* out, bool& shortened) {
    return FittedChars(type, kTypeChars, out, shortened, ShortenedType);
}

} // namespace

bool ShortenName(Field name, char (&out)[kNameChars + 1]) {
    bool shortened = false;
    out[NameChars(name, out, shortened)] = '\0';
    return shortened;
}

bool ShortenType(Field type, char (&out)[kTypeChars + 1]) {
    bool shortened = false;
    out[TypeChars(type, out, shortened)] = '\0';
    return shortened;
}

void SetDescription(Field text, SourceStar& star) {
    const Field trimmed = Trimmed(text);
    star.descriptionCut = trimmed.width > kDescChars;
    star.descriptionChars = star.descriptionCut ? kDescChars : trimmed.width;
    std::memcpy(star.description, trimmed.text, star.descriptionChars);
}

// Each text is written straight into the line, which starts all blanks, so
// that no piece is written in bytes and read back as a word.
bool WriteNativeLine(const SourceStar& star, char* native, ImportReport& report) {
    std::memset(native, ' ', format::kStoredLineChars);
    native[format::kStoredLineChars] = '\0';
    bool nameShortened = false;
    NameChars(star.name, native + kNameColumn, nameShortened);
    if (!IsGraphic(native[kNameColumn])) {
        report.Count(SkipReason::NoName);
        return false;
    }
    report.CountIf(Change::NameShortened, nameShortened);
    WritePosition(star, native, report);

    bool typeShortened = false;
    TypeChars(star.type, native + kTypeColumn, typeShortened);
    report.CountIf(Change::TypeShortened, typeShortened);
    if (!IsGraphic(native[kTypeColumn])) {
        std::memset(native + kTypeColumn, ' ', kTypeChars);
        std::memcpy(native + kTypeColumn, kUnknownType, sizeof kUnknownType - 1);
        report.Count(Change::TypeFilled);
    }

    WriteRange(star, native, report);
    WritePeriod(star, native, report);
    report.CountIf(Change::MarkDropped, star.markDropped);
    report.CountIf(Change::DescriptionCut, star.descriptionCut);
    words::CopyShort(native + kDescColumn, star.description, star.descriptionChars);
    ++report.stars;
    return true;
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
