// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// The GCVS 5.1 main table. Bytes counted from 1, as the catalogue's own
// description counts them.
#include <cstring>

#include "SourceLayouts.h"

namespace lumara::import {

using format::IsDigit;
using format::IsLetter;

namespace {

constexpr std::size_t kSeparators[] = {8,   20,  41,  52,  62,  75,  88,  91,  104, 110, 131,
                                       137, 155, 167, 179, 193, 202, 204, 214, 225, 236};
constexpr std::size_t kLineBytes = 236;
constexpr std::size_t kComponent = 7;
constexpr std::size_t kNameFirst = 9, kNameLast = 18;
constexpr std::size_t kPositionFirst = 21, kPositionLast = 39;
constexpr std::size_t kRaHoursFirst = 21, kRaMinutesFirst = 23;
constexpr std::size_t kRaSecondsFirst = 25, kRaSecondsLast = 29;
constexpr std::size_t kDecSign = 31;
constexpr std::size_t kDecDegreesFirst = 32, kDecMinutesFirst = 34;
constexpr std::size_t kDecSecondsFirst = 36, kDecSecondsLast = 39;
constexpr std::size_t kPositionUncertain = 40;
constexpr std::size_t kTypeFirst = 42, kTypeLast = 51;
constexpr std::size_t kMaxLimit = 53, kMaxFirst = 54, kMaxLast = 59, kMaxUncertain = 60;
constexpr std::size_t kMinMarkFirst = 63, kMinMarkLast = 64;
constexpr std::size_t kMinFirst = 65, kMinLast = 70, kMinUncertain = 71;
constexpr std::size_t kSecondaryFirst = 78, kSecondaryLast = 83;
constexpr std::size_t kEpochFirst = 92, kEpochLast = 102;
constexpr std::size_t kPeriodMark = 111, kPeriodFirst = 112, kPeriodLast = 127;
constexpr std::size_t kPeriodUncertain = 128, kPeriodNoteFirst = 129, kPeriodNoteLast = 130;
constexpr std::size_t kDurationFirst = 132, kDurationLast = 134;
constexpr int kMaxDurationPercent = 100;
constexpr std::size_t kSpectrumFirst = 138, kSpectrumLast = 154;
constexpr int kMaxHours = 23, kMaxMinutes = 59, kMaxDegrees = 90;
constexpr std::int64_t kSixty = 60;
constexpr double kDegreesPerHour = 15.0;
constexpr double kMinutesPerDegree = 60.0;
constexpr double kSecondsPerDegree = 3600.0;

// The two-digit field from byte `first`, when it reads and is at most `most`.
bool ReadTwoDigits(const char* text, std::size_t length, std::size_t first, int most, int& value) {
    // Nearly always two digits: those need no general reading.
    if (first + 1 <= length && IsDigit(text[first - 1]) && IsDigit(text[first])) {
        value = 10 * (text[first - 1] - '0') + (text[first] - '0');
        return value <= most;
    }
    return ReadWhole(FieldAt(text, length, first, first + 1), most, value);
}

// Seconds may be blank (0); given, they are below 60.
bool ReadSeconds(Field field, double& seconds) {
    Decimal read;
    if (IsBlank(field)) {
        seconds = 0.0;
        return true;
    }
    if (!ReadBelow(field, kSixty, read)) {
        return false;
    }
    seconds = ValueOf(read);
    return true;
}

// Degrees (or hours) from the three parts of a sexagesimal value.
double Sexagesimal(int whole, int minutes, double seconds) {
    return whole + minutes / kMinutesPerDegree + seconds / kSecondsPerDegree;
}

// The separators a line cut short reaches are in place (the first two always).
bool SeparatorsReached(const char* text, std::size_t length) {
    for (const std::size_t separator : kSeparators) {
        if ((separator <= kSeparators[1] || separator <= length) &&
            ByteAt(text, length, separator) != '|') {
            return false;
        }
    }
    return true;
}

bool ReadPosition(const char* text, std::size_t length, SourceStar& star) {
    const char sign = ByteAt(text, length, kDecSign);
    if (sign != '+' && sign != '-') {
        return false;
    }
    star.decNegative = sign == '-';
    int decMinutes = 0;
    double raSeconds = 0.0;
    double decSeconds = 0.0;
    if (!ReadTwoDigits(text, length, kRaHoursFirst, kMaxHours, star.raHours) ||
        !ReadTwoDigits(text, length, kRaMinutesFirst, kMaxMinutes, star.raMinutes) ||
        !ReadSeconds(FieldAt(text, length, kRaSecondsFirst, kRaSecondsLast), raSeconds) ||
        !ReadTwoDigits(text, length, kDecDegreesFirst, kMaxDegrees, star.decDegrees) ||
        !(IsBlank(FieldAt(text, length, kDecMinutesFirst, kDecMinutesFirst + 1)) ||
          ReadTwoDigits(text, length, kDecMinutesFirst, kMaxMinutes, decMinutes)) ||
        !ReadSeconds(FieldAt(text, length, kDecSecondsFirst, kDecSecondsLast), decSeconds)) {
        return false;
    }
    star.raDeg = kDegreesPerHour * Sexagesimal(star.raHours, star.raMinutes, raSeconds);
    const double decDeg = Sexagesimal(star.decDegrees, decMinutes, decSeconds);
    star.decDeg = star.decNegative ? -decDeg : decDeg;
    return true;
}

// False for a value that does not read.
bool ReadMagnitude(Field value, char limit, bool uncertain, SourceMagnitude& magnitude) {
    const NumberRead read = ReadDecimal(value, magnitude.value);
    if (read == NumberRead::Broken) {
        return false;
    }
    magnitude.present = read == NumberRead::Number;
    magnitude.limit = IsLimitMark(limit) ? limit : ' ';
    magnitude.uncertain = uncertain;
    return true;
}

// The epoch, the period's marks, the duration and whether a secondary
// minimum is given: none of it can make the line unreadable.
void ReadSourceNotes(const char* text, std::size_t length, SourceStar& star) {
    Decimal epoch;
    star.epochJd =
        FullEpoch(ReadDecimal(FieldAt(text, length, kEpochFirst, kEpochLast), epoch), epoch);
    const char mark = ByteAt(text, length, kPeriodMark);
    star.periodLimit = IsLimitMark(mark) || mark == '(' ? mark : ' ';
    star.periodUncertain = ByteAt(text, length, kPeriodUncertain) == ':';
    KeepPeriodNote(FieldAt(text, length, kPeriodNoteFirst, kPeriodNoteLast), star);
    int duration = 0;
    star.durationPercent = ReadWhole(FieldAt(text, length, kDurationFirst, kDurationLast),
                                     kMaxDurationPercent, duration)
                               ? duration
                               : -1;
    Decimal secondary;
    star.secondaryMinimum = ReadDecimal(FieldAt(text, length, kSecondaryFirst, kSecondaryLast),
                                        secondary) == NumberRead::Number;
}

} // namespace

bool IsGcvsLine(const char* text, std::size_t length) {
    if (length < kLineBytes) {
        return false;
    }
    for (const std::size_t separator : kSeparators) {
        if (text[separator - 1] != '|') {
            return false;
        }
    }
    return true;
}

bool ReadGcvsStar(const char* text, std::size_t length, SourceStar& star, ImportReport& report) {
    // A whole line, as nearly every line is, is checked at once.
    const bool inLayout = IsGcvsLine(text, length) || SeparatorsReached(text, length);
    if (!inLayout) {
        report.Count(SkipReason::NotInLayout);
        return false;
    }
    if (IsBlank(FieldAt(text, length, kPositionFirst, kPositionLast))) {
        report.Count(SkipReason::NoPosition);
        return false;
    }
    if (!ReadPosition(text, length, star)) {
        report.Count(SkipReason::BrokenNumber);
        return false;
    }
    const Field minMarks = FieldAt(text, length, kMinMarkFirst, kMinMarkLast);
    const char* amplitude =
        static_cast<const char*>(std::memchr(minMarks.text, '(', minMarks.width));
    char minLimit = ' ';
    for (std::size_t i = 0; i < minMarks.width; ++i) {
        minLimit = IsLimitMark(minMarks.text[i]) ? minMarks.text[i] : minLimit;
    }
    if (!ReadMagnitude(FieldAt(text, length, kMaxFirst, kMaxLast), ByteAt(text, length, kMaxLimit),
                       ByteAt(text, length, kMaxUncertain) == ':', star.maximum) ||
        !ReadMagnitude(FieldAt(text, length, kMinFirst, kMinLast), minLimit,
                       ByteAt(text, length, kMinUncertain) == ':', star.minimum)) {
        report.Count(SkipReason::BrokenNumber);
        return false;
    }
    star.minimum.amplitude = amplitude != nullptr;
    const NumberRead period =
        ReadDecimal(FieldAt(text, length, kPeriodFirst, kPeriodLast), star.period);
    if (period == NumberRead::Broken) {
        report.Count(SkipReason::BrokenNumber);
        return false;
    }
    star.periodPresent = period == NumberRead::Number;
    const bool positionMarked = ByteAt(text, length, kPositionUncertain) == ':';
    const bool periodMarked = star.periodPresent && (ByteAt(text, length, kPeriodMark) != ' ' ||
                                                     ByteAt(text, length, kPeriodUncertain) == ':');
    star.markedValue = positionMarked ? FieldAt(text, length, kPositionFirst, kPositionUncertain)
                       : periodMarked ? FieldAt(text, length, kPeriodMark, kPeriodUncertain)
                                      : Field{};
    star.declination = FieldAt(text, length, kDecSign, kDecSecondsLast);
    ReadSourceNotes(text, length, star);
    const char component = ByteAt(text, length, kComponent);
    star.component = IsLetter(component) ? component : ' ';
    star.name = FieldAt(text, length, kNameFirst, kNameLast);
    star.type = FieldAt(text, length, kTypeFirst, kTypeLast);
    SetDescription(FieldAt(text, length, kSpectrumFirst, kSpectrumLast), star);
    return true;
}

} // namespace lumara::import
