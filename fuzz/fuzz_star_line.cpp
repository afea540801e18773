// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The star-line test and the ten decoders on arbitrary bytes, taken the way
// the loader takes a line: at most kMaxLineChars characters, ending at the
// first zero byte, then normalised into a record.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "LineFormat.h"
#include "StarCatalog.h"
#include "StarLine.h"

using namespace lumara::format;

namespace {

constexpr double kLargestMagnitude = 99.99 + 1e-6;
constexpr double kLargestPeriod = 9999.0 * kThousands + 0.9999 + 1e-6;
constexpr std::int16_t kLargestTwoDigits = 99;

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// A text field is its columns of the stored line, zero-terminated.
template <std::size_t N>
void RequireColumns(const char (&field)[N], const char* line, std::size_t column) {
    Require(std::memcmp(field, line + column, N - 1) == 0 && field[N - 1] == '\0');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::size_t taken = std::min(size, kMaxLineChars);
    // Exactly as long as the text, so that reading past its end is caught.
    const std::size_t length = ::strnlen(reinterpret_cast<const char*>(data), taken);
    auto text = std::make_unique<char[]>(length + 1);
    std::memcpy(text.get(), data, length);
    text[length] = '\0';

    const bool isStar = CStarCatalog::IsStarLine(text.get());
    if (isStar) {
        Require(length > kTypeColumn);
    }

    // The decoders must cope with any stored line, star line or not.
    auto record = std::make_unique<StarRecord>();
    lumara::NormaliseLine(text.get(), length, *record);
    Require(std::strlen(record->line) <= kStoredLineChars);
    CStarCatalog::DecodeRaHours(*record);
    CStarCatalog::DecodeRaMinutes(*record);
    CStarCatalog::DecodeDec(*record);
    CStarCatalog::DecodeName(*record);
    CStarCatalog::DecodeType(*record);
    CStarCatalog::DecodeRange(*record);
    CStarCatalog::DecodeMaxMag(*record);
    CStarCatalog::DecodeMinMag(*record);
    CStarCatalog::DecodePeriod(*record);
    CStarCatalog::DecodeDescription(*record);

    Require(record->raHours >= 0 && record->raHours <= kLargestTwoDigits);
    Require(record->raMinutes >= 0 && record->raMinutes <= kLargestTwoDigits);
    Require(record->dec >= -kLargestTwoDigits && record->dec <= kLargestTwoDigits);
    Require(record->maxMag >= 0.0 && record->maxMag <= kLargestMagnitude);
    Require(record->minMag >= 0.0 && record->minMag <= kLargestMagnitude);
    Require(record->period >= 0.0 && record->period <= kLargestPeriod);
    RequireColumns(record->type, record->line, kTypeColumn);
    RequireColumns(record->range, record->line, kRangeColumn);
    RequireColumns(record->desc, record->line, kDescColumn);
    Require(std::strlen(record->name) == kNameChars);
    if (isStar) {
        // The first 23 columns stand unchanged in the stored line, so it is
        // still a star line and loads again as one.
        Require(std::memcmp(record->line, text.get(), kTypeColumn + 1) == 0);
        Require(CStarCatalog::IsStarLine(record->line));
        Require(record->name[kNameChars - 1] != ' ');
    }
    return 0;
}
