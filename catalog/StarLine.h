// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Turning a line as read into the stored form of a star line.
#pragma once

#include <cstddef>

struct StarRecord;

namespace lumara {

// Stores the first `length` characters of `text` in record.line the way every
// star line is kept: a trailing carriage return dropped, then filled up with
// spaces or cut to exactly 75 characters.
void NormaliseLine(const char* text, std::size_t length, StarRecord& record);

// Decodes every field of a record whose line is already stored.
void DecodeAllFields(StarRecord& record);

} // namespace lumara
