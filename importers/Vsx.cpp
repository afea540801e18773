// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// The AAVSO VSX catalogue. Bytes counted from 1, as its own description
// counts them. The 2013 edition had 3-byte passbands, so everything after the
// minimum's passband stands 3 bytes earlier; each line says which width it
// has by where the decimal points of its epoch and period fall.
#include <cstring>
#include <string_view>

#include "SourceLayouts.h"

namespace lumara::import {

using format::IsDigit;
using format::IsGraphic;

namespace {

constexpr std::size_t kOidFirst = 1, kOidLast = 7;
constexpr std::size_t kNameFirst = 9, kNameLast = 38;
constexpr std::size_t kFlag = 40;
constexpr std::size_t kBlanks[] = {8, 39, 41};
constexpr std::size_t kRaFirst = 42, kRaLast = 50;
constexpr std::size_t kDecFirst = 52, kDecLast = 60;
constexpr std::size_t kTypeFirst = 62, kTypeLast = 91;
constexpr std::size_t kMaxLimit = 94, kMaxFirst = 95, kMaxLast = 100, kMaxUncertain = 101;
constexpr std::size_t kMaxBandFirst = 102, kMaxBandLast = 107;
constexpr std::size_t kAmplitude = 109, kMinLimit = 110, kMinFirst = 111, kMinLast = 116;
constexpr std::size_t kMinUncertain = 117, kMinBandFirst = 118, kMinBandLast = 123;
constexpr std::size_t kPeriodMark = 139, kPeriodFirst = 140, kPeriodLast = 155;
constexpr std::size_t kPeriodFlagsFirst = 156, kPeriodFlagsLast = 158;
// The decimals each number is written with (F9.5, F6.3 and F16.10).
constexpr int kWrittenPositionDecimals = 5;
constexpr int kWrittenMagnitudeDecimals = 3;
constexpr int kWrittenPeriodDecimals = 10;
// Where the decimal points of the epoch (F12.4) and the period (F16.10)
// stand, and how much earlier the 2013 width puts them.
constexpr std::size_t kEpochPoint = 132, kPeriodPoint = 145;
constexpr std::size_t kNarrowShift = 3;

// R.A. in degrees, read to 1e-5 degree; one minute of R.A. is a quarter degree.
constexpr int kRaDecimals = 5;
constexpr std::int64_t kUnitsPerDegree = 100000;
constexpr std::int64_t kRaUnitsPerMinute = kUnitsPerDegree / 4;
constexpr std::int64_t kRaLimitDegrees = 360;
constexpr std::int64_t kDecLimitUnits = 90 * kUnitsPerDegree;
constexpr int kMinutesPerHour = 60;

constexpr std::string_view kFlagWords[] = {"", "suspected", "not variable", "duplicate?"};
constexpr char kLastFlag = '3';

bool IsMark(char c) {
    return c == '<' || c == '>';
}

bool IsNarrow(const char* text, std::size_t length) {
    const auto pointAt = [&](std::size_t position) {
        return ByteAt(text, length, position) == '.';
    };
    return (pointAt(kPeriodPoint - kNarrowShift) && !pointAt(kPeriodPoint)) ||
           (pointAt(kEpochPoint - kNarrowShift) && !pointAt(kEpochPoint));
}

// NoPosition or BrokenNumber, or Count when the position reads.
SkipReason ReadPosition(const char* text, std::size_t length, SourceStar& star) {
    Decimal ra;
    Decimal dec;
    const NumberRead raRead =
        ReadFixedDecimal<kWrittenPositionDecimals>(FieldAt(text, length, kRaFirst, kRaLast), ra);
    const NumberRead decRead =
        ReadFixedDecimal<kWrittenPositionDecimals>(FieldAt(text, length, kDecFirst, kDecLast), dec);
    if (raRead == NumberRead::Broken || decRead == NumberRead::Broken) {
        return SkipReason::BrokenNumber;
    }
    if (raRead == NumberRead::Blank || decRead == NumberRead::Blank) {
        return SkipReason::NoPosition;
    }
    // Whole degrees from the units already truncated: truncating twice
    // toward zero gives what truncating once does, without another division
    // by a power of ten known only at run time.
    const std::int64_t raUnits = TruncatedTo(ra, kRaDecimals);
    const std::int64_t decUnits = TruncatedTo(dec, kRaDecimals);
    if (ra.negative || raUnits / kUnitsPerDegree >= kRaLimitDegrees || decUnits > kDecLimitUnits ||
        decUnits < -kDecLimitUnits) {
        return SkipReason::BrokenNumber;
    }
    const std::int64_t minutes = raUnits / kRaUnitsPerMinute;
    star.raHours = static_cast<int>(minutes / kMinutesPerHour);
    star.raMinutes = static_cast<int>(minutes % kMinutesPerHour);
    const std::int64_t degrees = decUnits / kUnitsPerDegree;
    star.decNegative = dec.negative && dec.scaled != 0;
    star.decDegrees = static_cast<int>(degrees < 0 ? -degrees : degrees);
    return SkipReason::Count;
}

bool ReadMagnitude(Field value, char limit, char uncertain, SourceMagnitude& magnitude) {
    const NumberRead read = ReadFixedDecimal<kWrittenMagnitudeDecimals>(value, magnitude.value);
    magnitude.present = read == NumberRead::Number;
    magnitude.limit = IsMark(limit) ? limit : ' ';
    magnitude.uncertain = uncertain == ':';
    return read != NumberRead::Broken;
}

// The passband, and what the variability flag says when it is not plain
// "variable".
void Describe(const char* text, std::size_t length, std::size_t minBandLast, SourceStar& star) {
    Field band = Trimmed(FieldAt(text, length, kMaxBandFirst, kMaxBandLast));
    if (band.width == 0) {
        band = Trimmed(FieldAt(text, length, kMinBandFirst, minBandLast));
    }
    const std::string_view word = kFlagWords[ByteAt(text, length, kFlag) - '0'];
    char* at = star.description;
    std::memcpy(at, band.text, band.width);
    at += band.width;
    if (band.width > 0 && !word.empty()) {
        *at++ = ' ';
    }
    std::memcpy(at, word.data(), word.size());
    star.descriptionChars = static_cast<std::size_t>(at - star.description) + word.size();
}

} // namespace

bool IsVsxLine(const char* text, std::size_t length) {
    if (length < kFlag + 1) {
        return false;
    }
    for (std::size_t i = kOidFirst; i <= kOidLast; ++i) {
        if (!IsDigit(text[i - 1]) && (text[i - 1] != ' ' || i == kOidLast)) {
            return false;
        }
    }
    for (const std::size_t blank : kBlanks) {
        if (text[blank - 1] != ' ') {
            return false;
        }
    }
    const char flag = text[kFlag - 1];
    return IsGraphic(text[kNameFirst - 1]) && flag >= '0' && flag <= kLastFlag;
}

bool ReadVsxStar(const char* text, std::size_t length, SourceStar& star, ImportReport& report) {
    if (!IsVsxLine(text, length)) {
        report.Count(SkipReason::NotInLayout);
        return false;
    }
    const SkipReason position = ReadPosition(text, length, star);
    if (position != SkipReason::Count) {
        report.Count(position);
        return false;
    }
    const std::size_t shift = IsNarrow(text, length) ? kNarrowShift : 0;
    const NumberRead period = ReadFixedDecimal<kWrittenPeriodDecimals>(
        FieldAt(text, length, kPeriodFirst - shift, kPeriodLast - shift), star.period);
    if (!ReadMagnitude(FieldAt(text, length, kMaxFirst, kMaxLast), ByteAt(text, length, kMaxLimit),
                       ByteAt(text, length, kMaxUncertain), star.maximum) ||
        !ReadMagnitude(FieldAt(text, length, kMinFirst, kMinLast), ByteAt(text, length, kMinLimit),
                       ByteAt(text, length, kMinUncertain), star.minimum) ||
        period == NumberRead::Broken) {
        report.Count(SkipReason::BrokenNumber);
        return false;
    }
    star.minimum.amplitude = ByteAt(text, length, kAmplitude) == '(';
    star.periodPresent = period == NumberRead::Number;
    bool periodUncertain = false;
    for (std::size_t i = kPeriodFlagsFirst; i <= kPeriodFlagsLast; ++i) {
        periodUncertain |= ByteAt(text, length, i - shift) == ':';
    }
    star.markDropped =
        star.periodPresent && (ByteAt(text, length, kPeriodMark - shift) != ' ' || periodUncertain);
    star.name = FieldAt(text, length, kNameFirst, kNameLast);
    star.type = FieldAt(text, length, kTypeFirst, kTypeLast);
    Describe(text, length, kMinBandLast - shift, star);
    return true;
}

} // namespace lumara::import
