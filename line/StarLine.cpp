// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "StarLine.h"

#include <cstring>

#include "ByteWords.h"
#include "LineFormat.h"
#include "StarRecord.h"

namespace lumara {

using namespace format;

namespace {

// A column that holds no digit contributes nothing.
int DigitAt(const char* line, std::size_t column) {
    const unsigned digit = static_cast<unsigned char>(line[column]) - unsigned{'0'};
    return digit <= 9 ? static_cast<int>(digit) : 0;
}

std::int16_t TwoDigitsAt(const char* line, std::size_t column) {
    return static_cast<std::int16_t>(10 * DigitAt(line, column) + DigitAt(line, column + 1));
}

double MagnitudeFrom(const char* line, const std::size_t (&columns)[kMagnitudeDigits]) {
    const int digits[kMagnitudeDigits] = {DigitAt(line, columns[0]), DigitAt(line, columns[1]),
                                          DigitAt(line, columns[2]), DigitAt(line, columns[3])};
    return MagnitudeValue(digits);
}

// Each text of the record holds its columns and a terminator.
static_assert(sizeof StarRecord::name == kNameChars + 1);
static_assert(sizeof StarRecord::type == kTypeChars + 1);
static_assert(sizeof StarRecord::range == kRangeChars + 1);
static_assert(sizeof StarRecord::desc == kDescChars + 1);
static_assert(sizeof StarRecord::line > kStoredLineChars);

template <std::size_t N> void CopyColumns(char (&field)[N], const char* line, std::size_t column) {
    std::memcpy(field, line + column, N - 1);
    field[N - 1] = '\0';
}

} // namespace

bool IsStarLine(const char* text) {
    // Each test stops at the terminator, which belongs to no class, so
    // nothing past the end of a short line is read.
    for (std::size_t column = kRaHoursColumn; column < kDecSignColumn; ++column) {
        if (!IsDigit(text[column])) {
            return false;
        }
    }
    if (text[kDecSignColumn] != '+' && text[kDecSignColumn] != '-') {
        return false;
    }
    if (!IsDigit(text[kDecDegreesColumn]) || !IsDigit(text[kDecDegreesColumn + 1])) {
        return false;
    }
    if (!IsSpace(text[kFlagColumn]) && !IsLetter(text[kFlagColumn])) {
        return false;
    }
    if (!IsSpace(text[kGapColumn]) || !IsSpace(text[kGapColumn + 1])) {
        return false;
    }
    if (!IsGraphic(text[kNameColumn])) {
        return false;
    }
    // memchr stops at the first zero it finds, so this never reads past the
    // end of a shorter line.
    if (std::memchr(text + kNameColumn + 1, '\0', kTypeColumn - kNameColumn - 1) != nullptr) {
        return false;
    }
    return IsGraphic(text[kTypeColumn]);
}

void DecodeRaHours(StarRecord& record) {
    record.raHours = TwoDigitsAt(record.line, kRaHoursColumn);
}

void DecodeRaMinutes(StarRecord& record) {
    record.raMinutes = TwoDigitsAt(record.line, kRaMinutesColumn);
}

void DecodeDec(StarRecord& record) {
    const std::int16_t degrees = TwoDigitsAt(record.line, kDecDegreesColumn);
    record.dec = record.line[kDecSignColumn] == '-' ? static_cast<std::int16_t>(-degrees) : degrees;
}

void DecodeName(StarRecord& record) {
    const char* column = record.line + kNameColumn;
    std::size_t trailingSpaces = 0;
    while (trailingSpaces < kNameChars && column[kNameChars - 1 - trailingSpaces] == ' ') {
        ++trailingSpaces;
    }
    std::memset(record.name, ' ', trailingSpaces);
    std::memcpy(record.name + trailingSpaces, column, kNameChars - trailingSpaces);
    record.name[kNameChars] = '\0';
}

void DecodeType(StarRecord& record) {
    CopyColumns(record.type, record.line, kTypeColumn);
}

void DecodeRange(StarRecord& record) {
    CopyColumns(record.range, record.line, kRangeColumn);
}

void DecodeDescription(StarRecord& record) {
    CopyColumns(record.desc, record.line, kDescColumn);
}

void DecodeMaxMag(StarRecord& record) {
    record.maxMag = MagnitudeFrom(record.line, kMaxMagDigitColumns);
}

void DecodeMinMag(StarRecord& record) {
    record.minMag = MagnitudeFrom(record.line, kMinMagDigitColumns);
}

void DecodePeriod(StarRecord& record) {
    // The whole days add up exactly, so they are summed as integers.
    int wholeDays = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        wholeDays += DigitAt(record.line, kPeriodIntegerColumns[i]) * kPeriodIntegerWeights[i];
    }
    if (record.line[kPeriodMarkerColumn] == kThousandsMarker) {
        wholeDays *= kThousands;
    }
    double value = wholeDays;
    for (std::size_t i = 0; i < 4; ++i) {
        value += DigitAt(record.line, kPeriodDecimalColumns[i]) * kPeriodDecimalWeights[i];
    }
    record.period = value;
}

void NormaliseLine(const char* text, std::size_t length, StarRecord& record) {
    if (length > 0 && text[length - 1] == '\r') {
        --length;
    }
    const std::size_t kept = length < kStoredLineChars ? length : kStoredLineChars;
    record.details = nullptr;
    std::memset(record.line, ' ', kStoredLineChars);
    std::memset(record.line + kStoredLineChars, '\0', sizeof record.line - kStoredLineChars);
    // Every star line passes here: copied in fixed pieces, not by a call.
    words::CopyShort(record.line, text, kept);
}

// Flattened: loading calls this for every star line.
[[gnu::flatten]] void DecodeAllFields(StarRecord& record) {
    DecodeRaHours(record);
    DecodeRaMinutes(record);
    DecodeDec(record);
    DecodeName(record);
    DecodeType(record);
    DecodeRange(record);
    DecodeMaxMag(record);
    DecodeMinMag(record);
    DecodePeriod(record);
    DecodeDescription(record);
}

void DecodeTestedFields(StarRecord& record) {
    DecodeRaHours(record);
    DecodeDec(record);
    DecodeMaxMag(record);
    DecodeMinMag(record);
    DecodePeriod(record);
}

} // namespace lumara
