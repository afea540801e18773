// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Reading a star line: the test that tells a star line from any other line,
// the stored form of a star line, and the decoding of each field from it.
#pragma once

#include <cstddef>

struct StarRecord;

namespace lumara {

// Whether the zero-terminated `text` is a star line: digits for R.A., a
// signed two-digit declination, a flag, a gap, and graphic characters where
// the name and the type start. Nothing past the terminator is read.
bool IsStarLine(const char* text);

// Stores the first `length` characters of `text` in record.line the way every
// star line is kept: a trailing carriage return dropped, then filled up with
// spaces or cut to exactly 75 characters. The record then holds a line alone,
// without details of its source.
void NormaliseLine(const char* text, std::size_t length, StarRecord& record);

// Each decodes its field from the record's stored line.
void DecodeRaHours(StarRecord& record);
void DecodeRaMinutes(StarRecord& record);
void DecodeDec(StarRecord& record);
void DecodeName(StarRecord& record);
void DecodeType(StarRecord& record);
void DecodeRange(StarRecord& record);
void DecodeMaxMag(StarRecord& record);
void DecodeMinMag(StarRecord& record);
void DecodePeriod(StarRecord& record);
void DecodeDescription(StarRecord& record);

// The fields a search tests: the position and the three numbers.
void DecodeTestedFields(StarRecord& record);
// Decodes every field of a record whose line is already stored.
void DecodeAllFields(StarRecord& record);

} // namespace lumara
