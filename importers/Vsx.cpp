// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// The AAVSO VSX catalogue. Bytes counted from 1, as its own description
// counts them. The 2013 edition had 3-byte passbands, so everything after the
// minimum's passband stands 3 bytes earlier; each line says which width it
// has by where the decimal points of its epoch and period fall.
#include <algorithm>
#include <cstring>
#include <iterator>
#include <string_view>

#include "ByteWords.h"
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
constexpr std::size_t kEpochFirst = 125, kEpochLast = 136;
constexpr std::size_t kPeriodMark = 139, kPeriodFirst = 140, kPeriodLast = 155;
constexpr std::size_t kPeriodFlagsFirst = 156, kPeriodFlagsLast = 158;
// The decimals each number is written with (F9.5, F6.3 and F16.10).
constexpr int kWrittenPositionDecimals = 5;
constexpr int kWrittenMagnitudeDecimals = 3;
constexpr int kWrittenPeriodDecimals = 10;
constexpr int kWrittenEpochDecimals = 4;
// Where the decimal points of the epoch (F12.4) and the period (F16.10)
// stand, and how much earlier the 2013 width puts them.
constexpr std::size_t kEpochPoint = 132, kPeriodPoint = 145;
constexpr std::size_t kNarrowShift = 3;

// R.A. in degrees, read to 1e-5 degree; one minute of R.A. is a quarter degree.
constexpr int kRaDecimals = 5;
constexpr std::int64_t kUnitsPerDegree = kPlacedUnitsPerDegree;
constexpr std::int64_t kRaUnitsPerMinute = kUnitsPerDegree / 4;
constexpr std::int64_t kRaLimitDegrees = 360;
constexpr std::int64_t kDecLimitUnits = 90 * kUnitsPerDegree;
constexpr double kDegreesPerUnit = 1.0 / kUnitsPerDegree;

constexpr std::string_view kFlagWords[] = {"", "suspected", "not variable", "duplicate?"};
static_assert(std::size(kFlagWords) == kVsxLastFlag - '0' + 1);

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
    const std::int64_t decUnits = TruncatedTo(dec, kRaDecimals);
    return !ra.negative &&
                   PlaceDegrees(TruncatedTo(ra, kRaDecimals), decUnits < 0 ? -decUnits : decUnits,
                                dec.negative && dec.scaled != 0, star)
               ? SkipReason::Count
               : SkipReason::BrokenNumber;
}

bool ReadMagnitude(Field value, SourceMagnitude& magnitude) {
    const NumberRead read = ReadFixedDecimal<kWrittenMagnitudeDecimals>(value, magnitude.value);
    magnitude.present = read == NumberRead::Number;
    return read != NumberRead::Broken;
}

void MarkMagnitude(char limit, char uncertain, SourceMagnitude& magnitude) {
    magnitude.limit = IsLimitMark(limit) ? limit : ' ';
    magnitude.uncertain = uncertain == ':';
}

void Describe(const char* text, std::size_t length, std::size_t minBandLast, SourceStar& star) {
    DescribeVsxStar(FieldAt(text, length, kMaxBandFirst, kMaxBandLast),
                    FieldAt(text, length, kMinBandFirst, minBandLast), ByteAt(text, length, kFlag),
                    star);
}

// Everything of a star but its numbers, read alike whatever form the
// numbers have; `star.periodPresent` is already known. `shift` is the 2013
// width's.
void ReadMarksAndTexts(const char* text, std::size_t length, std::size_t shift, SourceStar& star) {
    MarkMagnitude(ByteAt(text, length, kMaxLimit), ByteAt(text, length, kMaxUncertain),
                  star.maximum);
    MarkMagnitude(ByteAt(text, length, kMinLimit), ByteAt(text, length, kMinUncertain),
                  star.minimum);
    star.minimum.amplitude = ByteAt(text, length, kAmplitude) == '(';
    bool periodUncertain = false;
    for (std::size_t i = kPeriodFlagsFirst; i <= kPeriodFlagsLast; ++i) {
        periodUncertain |= ByteAt(text, length, i - shift) == ':';
    }
    const char periodMark = ByteAt(text, length, kPeriodMark - shift);
    const bool periodMarked = star.periodPresent && (periodMark != ' ' || periodUncertain);
    star.markedValue = periodMarked
                           ? FieldAt(text, length, kPeriodMark - shift, kPeriodFlagsLast - shift)
                           : Field{};
    star.declination = FieldAt(text, length, kDecFirst, kDecLast);
    star.periodLimit = IsLimitMark(periodMark) || periodMark == '(' ? periodMark : ' ';
    star.periodUncertain = periodUncertain;
    KeepPeriodNote(FieldAt(text, length, kPeriodFlagsFirst - shift, kPeriodFlagsLast - shift),
                   star);
    Decimal epoch;
    star.epochJd =
        FullEpoch(ReadFixedDecimal<kWrittenEpochDecimals>(
                      FieldAt(text, length, kEpochFirst - shift, kEpochLast - shift), epoch),
                  epoch);
    star.name = FieldAt(text, length, kNameFirst, kNameLast);
    star.type = FieldAt(text, length, kTypeFirst, kTypeLast);
    Describe(text, length, kMinBandLast - shift, star);
}

// --- Lines in the form VSX writes them --------------------------------------
// Nearly every line of a VSX file is full width, with every number at its
// fixed place and with its fixed decimals. Such a line is read here straight
// from those places, each byte once and with few branches; a line in any
// other form is left to the general reading below, which reads every form
// into the same SourceStar.

constexpr std::size_t kStandardChars = 158;

// Reads a number in the fixed form F(Whole + 1 + Decimals).Decimals whose
// field starts at `field`, as eight digits or fewer: leading spaces, an
// optional sign, whole digits up to the point (at least the last one), the
// point and every decimal. The `Lead` bytes before the field are read and
// ignored: the digits are gathered from two overlapping words, one of them
// a byte later so that the point drops out. False for any other form, a
// blank field included.
template <std::size_t Whole, std::size_t Decimals>
bool ReadStandardDigits(const char* field, std::uint64_t& value, bool& negative) {
    using namespace words;
    static_assert(Whole > 0 && Whole + Decimals <= kBytes);
    constexpr int kLead = kBytes - static_cast<int>(Whole + Decimals);
    constexpr int kLastWhole = kLead + static_cast<int>(Whole) - 1;
    constexpr Word kWhole = BytesFrom(kLead, kLastWhole) & kHighBits;
    constexpr Word kDecimals = Decimals == 0 ? 0 : BytesFrom(kLastWhole + 1, kBytes - 1);
    constexpr Word kMustBeDigits = (kDecimals | BytesFrom(kLastWhole, kLastWhole)) & kHighBits;
    const Word text = (Load(field - kLead) & BytesFrom(kLead, kLastWhole)) |
                      (Load(field - kLead + 1) & kDecimals);
    const Word digits = Digits(text);
    const Word spaces = Equal(text, ' ') & kWhole;
    const Word minus = Equal(text, '-') & kWhole;
    const Word signs = minus | (Equal(text, '+') & kWhole);
    const Word wholeDigits = digits & kWhole;
    const Word notDigits = spaces | signs;
    // Spaces, then at most one sign, then digits only.
    const bool wellFormed = field[Whole] == '.' && (digits & kMustBeDigits) == kMustBeDigits &&
                            (wholeDigits | notDigits) == kWhole && (signs & (signs - 1)) == 0 &&
                            notDigits < (wholeDigits & (~wholeDigits + 1)) &&
                            (signs == 0 || spaces < signs);
    value = EightDigits(text & Widened(digits));
    negative = minus != 0;
    return wellFormed;
}

template <std::size_t Whole, std::size_t Decimals>
bool ReadStandardNumber(const char* field, Decimal& number) {
    std::uint64_t value = 0;
    bool wellFormed = false;
    if constexpr (Whole + Decimals <= words::kBytes) {
        wellFormed = ReadStandardDigits<Whole, Decimals>(field, value, number.negative);
    } else {
        // The decimals beyond the first word, read as whole digits of a
        // field of their own that has no point.
        constexpr std::size_t kFirstDecimals = words::kBytes - Whole;
        constexpr std::size_t kRest = Decimals - kFirstDecimals;
        static_assert(kRest < words::kBytes);
        const char* const rest = field + Whole + 1 + kFirstDecimals;
        const words::Word restText = words::Load(rest - (words::kBytes - kRest)) &
                                     words::BytesFrom(words::kBytes - kRest, 7);
        constexpr words::Word kRestDigits =
            words::BytesFrom(words::kBytes - kRest, 7) & words::kHighBits;
        wellFormed = ReadStandardDigits<Whole, kFirstDecimals>(field, value, number.negative) &&
                     (words::Digits(restText) & kRestDigits) == kRestDigits;
        value = value * static_cast<std::uint64_t>(kPowersOfTen[kRest]) +
                words::EightDigits(restText & words::Widened(words::Digits(restText)));
    }
    number.scaled = static_cast<std::int64_t>(value);
    number.scale = static_cast<int>(Decimals);
    return wellFormed;
}

// A fixed-form number, or a blank field (`present` false).
template <std::size_t Whole, std::size_t Decimals>
bool ReadStandardField(const char* field, Decimal& number, bool& present) {
    present = ReadStandardNumber<Whole, Decimals>(field, number);
    return present || IsBlank(Field{field, Whole + 1 + Decimals});
}

// A magnitude that is not negative, or none.
bool ReadStandardMagnitude(Field field, SourceMagnitude& magnitude) {
    constexpr std::size_t kWhole = kMaxLast - kMaxFirst - kWrittenMagnitudeDecimals;
    return ReadStandardField<kWhole, kWrittenMagnitudeDecimals>(field.text, magnitude.value,
                                                                magnitude.present) &&
           !magnitude.value.negative;
}

} // namespace

// Whole degrees come from the units already truncated: truncating twice
// toward zero gives what truncating once does.
bool PlaceDegrees(std::int64_t raUnits, std::int64_t decUnits, bool decNegative, SourceStar& star) {
    if (raUnits < 0 || raUnits >= kRaLimitDegrees * kUnitsPerDegree || decUnits < 0 ||
        decUnits > kDecLimitUnits) {
        return false;
    }
    const std::int64_t minutes = raUnits / kRaUnitsPerMinute;
    star.raHours = static_cast<int>(minutes / format::kMinutesPerHour);
    star.raMinutes = static_cast<int>(minutes % format::kMinutesPerHour);
    star.decNegative = decNegative;
    star.decDegrees = static_cast<int>(decUnits / kUnitsPerDegree);
    star.raDeg = static_cast<double>(raUnits) * kDegreesPerUnit;
    const double decDeg = static_cast<double>(decUnits) * kDegreesPerUnit;
    star.decDeg = decNegative ? -decDeg : decDeg;
    return true;
}

// A passband wider than VSX's own field (only a table can give one) is cut.
void DescribeVsxStar(Field maxBand, Field minBand, char flag, SourceStar& star) {
    constexpr std::size_t kBandChars = kMaxBandLast - kMaxBandFirst + 1;
    Field band = Trimmed(maxBand);
    if (band.width == 0) {
        band = Trimmed(minBand);
    }
    star.cutDescription = band.width > kBandChars ? band : Field{};
    band.width = std::min(band.width, kBandChars);
    const std::string_view word = kFlagWords[flag - '0'];
    char* at = star.description;
    words::CopyShort(at, band.text, band.width);
    at += band.width;
    if (band.width > 0 && !word.empty()) {
        *at++ = ' ';
    }
    words::CopyShort(at, word.data(), word.size());
    star.descriptionChars = static_cast<std::size_t>(at - star.description) + word.size();
}

// `text` is a VSX line, as IsVsxLine tells.
bool ReadVsxStarInStandardForm(const char* text, std::size_t length, SourceStar& star) {
    constexpr std::size_t kPositionWhole = kRaLast - kRaFirst - kWrittenPositionDecimals;
    constexpr std::size_t kPeriodWhole = kPeriodLast - kPeriodFirst - kWrittenPeriodDecimals;
    if (length != kStandardChars || IsNarrow(text, length)) {
        return false;
    }
    // The fields' decimals are as many as the standard writes, so their
    // units are the position's units as they stand.
    static_assert(kWrittenPositionDecimals == kRaDecimals);
    Decimal ra;
    Decimal dec;
    if (!ReadStandardNumber<kPositionWhole, kWrittenPositionDecimals>(
            FieldAt(text, length, kRaFirst, kRaLast).text, ra) ||
        !ReadStandardNumber<kPositionWhole, kWrittenPositionDecimals>(
            FieldAt(text, length, kDecFirst, kDecLast).text, dec) ||
        ra.negative ||
        !PlaceDegrees(ra.scaled, dec.scaled, dec.negative && dec.scaled != 0, star) ||
        !ReadStandardField<kPeriodWhole, kWrittenPeriodDecimals>(
            FieldAt(text, length, kPeriodFirst, kPeriodLast).text, star.period,
            star.periodPresent) ||
        star.period.negative ||
        !ReadStandardMagnitude(FieldAt(text, length, kMaxFirst, kMaxLast), star.maximum) ||
        !ReadStandardMagnitude(FieldAt(text, length, kMinFirst, kMinLast), star.minimum)) {
        return false;
    }
    ReadMarksAndTexts(text, length, 0, star);
    return true;
}

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
    return IsGraphic(text[kNameFirst - 1]) && flag >= '0' && flag <= kVsxLastFlag;
}

bool ReadVsxStar(const char* text, std::size_t length, SourceStar& star, ImportReport& report) {
    return (IsVsxLine(text, length) && ReadVsxStarInStandardForm(text, length, star)) ||
           ReadVsxStarInAnyForm(text, length, star, report);
}

bool ReadVsxStarInAnyForm(const char* text, std::size_t length, SourceStar& star,
                          ImportReport& report) {
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
    if (!ReadMagnitude(FieldAt(text, length, kMaxFirst, kMaxLast), star.maximum) ||
        !ReadMagnitude(FieldAt(text, length, kMinFirst, kMinLast), star.minimum) ||
        period == NumberRead::Broken) {
        report.Count(SkipReason::BrokenNumber);
        return false;
    }
    star.periodPresent = period == NumberRead::Number;
    ReadMarksAndTexts(text, length, shift, star);
    return true;
}

} // namespace lumara::import
