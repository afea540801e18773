// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "RowFormats.h"

#include "CsvFormat.h"
#include "TxtFormat.h"
#include "VoTable.h"

namespace lumara {

RowFormat FormatOf(OutputFormat format) {
    switch (format) {
    case OutputFormat::Txt:
        return {{}, {}, txt::FormatRow, txt::kRowBytes};
    case OutputFormat::VoTable:
        return {votable::Prologue(), votable::kEpilogue, votable::FormatRow, votable::kMaxRowBytes};
    case OutputFormat::Csv:
        break;
    }
    return {csv::kHeader, {}, csv::FormatRow, csv::kMaxRowBytes};
}

} // namespace lumara
