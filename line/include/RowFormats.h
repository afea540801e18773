// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The tables a search can write: what comes before the rows, each row, and
// what comes after them.
#pragma once

#include <cstddef>
#include <string_view>

struct StarRecord;

namespace lumara {

enum class OutputFormat { Csv, Txt, VoTable };

struct RowFormat {
    std::string_view prologue;
    std::string_view epilogue;
    // Writes one row of at most maxRowBytes bytes and returns its length.
    std::size_t (*formatRow)(const StarRecord& record, char* out);
    std::size_t maxRowBytes;
};

RowFormat FormatOf(OutputFormat format);

// The table a file is written as when its name alone decides, for the
// window and lumara alike: CSV for a name ending in .csv, a VOTable for .vot
// and .xml, catalogue lines for any other name; the ending in any case.
OutputFormat FormatForName(std::string_view path);

} // namespace lumara
