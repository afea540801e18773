// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "RowFormats.h"

#include <algorithm>

#include "CsvFormat.h"
#include "TxtFormat.h"
#include "VoTable.h"

namespace lumara {

namespace {

// The endings that name a table other than catalogue lines.
struct NamedFormat {
    std::string_view ending;
    OutputFormat format;
};
constexpr NamedFormat kNamedFormats[] = {
    {"csv", OutputFormat::Csv},
    {"vot", OutputFormat::VoTable},
    {"xml", OutputFormat::VoTable},
};

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

OutputFormat FormatForName(std::string_view path) {
    const std::string_view name = path.substr(path.rfind('/') + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) {
        return OutputFormat::Txt;
    }
    const std::string_view ending = name.substr(dot + 1);
    for (const NamedFormat& named : kNamedFormats) {
        if (std::equal(ending.begin(), ending.end(), named.ending.begin(), named.ending.end(),
                       [](char a, char b) { return AsciiLower(a) == b; })) {
            return named.format;
        }
    }
    return OutputFormat::Txt;
}

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
