// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// What every table reader must do with arbitrary bytes: never crash, give
// only stars on the sky, write each as a native star line, tell what went
// wrong in words, and read the same stars and the same outcome whether the
// bytes come in one block or in blocks of any size. (The words may differ:
// expat places an error a column apart depending on where a block ends.)
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "StarLine.h"
#include "TableReader.h"

namespace lumara::fuzz {

inline void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

struct Outcome {
    std::vector<std::string> lines;
    import::TableStatus status;
    std::string description;
};

inline Outcome ReadTable(const import::TableForm& form, const char* bytes, std::size_t size,
                         std::size_t block) {
    using namespace import;
    Outcome outcome;
    ImportReport report;
    const auto reader = MakeTableReader(form, [&](const TableStar& star) {
        Require(star.raDegrees >= 0 && star.raDegrees < 360);
        Require(star.decDegrees >= -90 && star.decDegrees <= 90);
        char native[lumara::format::kStoredLineChars + 1];
        if (WriteTableStar(star, native, report)) {
            Require(std::strlen(native) == lumara::format::kStoredLineChars &&
                    lumara::IsStarLine(native));
            outcome.lines.emplace_back(native);
        } else {
            outcome.lines.emplace_back();
        }
    });
    for (std::size_t at = 0; at < size && outcome.status.ok; at += block) {
        outcome.status = reader->Feed(bytes + at, std::min(block, size - at));
    }
    if (outcome.status.ok) {
        outcome.status = reader->Finish();
    }
    Require(outcome.status.ok || !outcome.status.message.empty());
    outcome.description = reader->Describe();
    return outcome;
}

// The first byte chooses the size of the blocks the rest is fed in.
inline void FuzzTable(const import::TableForm& form, const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return;
    }
    const std::size_t block = std::size_t{data[0]} + 1;
    const char* bytes = reinterpret_cast<const char*>(data + 1);
    --size;
    const Outcome whole = ReadTable(form, bytes, size, size + 1);
    const Outcome pieces = ReadTable(form, bytes, size, block);
    Require(whole.lines == pieces.lines && whole.status.ok == pieces.status.ok &&
            whole.description == pieces.description);
    // Detection reads the head as the reader does, and says nothing it
    // could not read.
    const auto detected = import::DetectTable(bytes, size, lumara::IsStarLine);
    Require(!detected || detected->kind != import::TableKind::Separated ||
            std::strchr("\t;|", detected->delimiter) != nullptr);
}

} // namespace lumara::fuzz
