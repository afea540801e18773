// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "Import.h"

#include <cstring>

#include "SourceLayouts.h"

namespace lumara::import {

namespace {

// What the user reads for each count, in the order of the enumerations.
constexpr const char* kSkipLabels[kSkipReasons] = {
    "lines not in the file's layout skipped",
    "stars without a position skipped",
    "lines with a number that does not read skipped",
    "stars without a readable name skipped",
};
constexpr const char* kChangeLabels[kChanges] = {
    "names shortened",
    "types shortened",
    "blank types written as VAR",
    "magnitudes rounded to two decimals",
    "magnitudes of 0.00 or brighter written as 0.01",
    "magnitudes of 100 or fainter left out",
    "limits kept as < or > in the range",
    "amplitudes written as minima (maximum + amplitude)",
    "amplitudes without a maximum left out",
    "periods rounded to four decimals",
    "periods of 10000 days or more written in thousands (K)",
    "periods that do not fit left out",
    "declinations between 0 and -1 degree written -00",
    "uncertainty or limit marks on positions and periods left out",
    "descriptions cut to 20 characters",
};

// The line without a carriage return before its line feed.
std::size_t WithoutReturn(const char* text, std::size_t length) {
    return length > 0 && text[length - 1] == '\r' ? length - 1 : length;
}

bool IsBlankLine(const char* text, std::size_t length) {
    return IsBlank(Field{text, length});
}

CatalogueFormat LayoutOf(const char* text, std::size_t length) {
    if (IsGcvsLine(text, length)) {
        return CatalogueFormat::Gcvs51;
    }
    return IsVsxLine(text, length) ? CatalogueFormat::Vsx : CatalogueFormat::Native;
}

// Appended piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) about
// a sum of strings here.
void AppendCount(std::string& text, std::int64_t count, const char* label) {
    if (count != 0) {
        text += '\n';
        text += std::to_string(count);
        text += ' ';
        text += label;
    }
}

} // namespace

void ImportReport::Merge(const ImportReport& other) {
    stars += other.stars;
    for (std::size_t i = 0; i < kSkipReasons; ++i) {
        skipped[i] += other.skipped[i];
    }
    for (std::size_t i = 0; i < kChanges; ++i) {
        changes[i] += other.changes[i];
    }
}

const char* FormatName(CatalogueFormat format) {
    switch (format) {
    case CatalogueFormat::Gcvs51:
        return "GCVS 5.1";
    case CatalogueFormat::Vsx:
        return "VSX";
    case CatalogueFormat::Table:
        return "table";
    case CatalogueFormat::Native:
        break;
    }
    return "native";
}

std::string DescribeReport(const ImportReport& report) {
    if (report.format == CatalogueFormat::Native) {
        return {};
    }
    const std::string from = report.format == CatalogueFormat::Table
                                 ? report.source
                                 : std::string(FormatName(report.format)) + " file";
    std::string text =
        std::string("Imported ") + std::to_string(report.stars) + " stars from a " + from + ".";
    for (std::size_t i = 0; i < kChanges; ++i) {
        AppendCount(text, report.changes[i], kChangeLabels[i]);
    }
    for (std::size_t i = 0; i < kSkipReasons; ++i) {
        AppendCount(text, report.skipped[i], kSkipLabels[i]);
    }
    return text;
}

bool FormatDetector::Feed(const char* text, std::size_t length) {
    if (decided) {
        return true;
    }
    const std::size_t kept = WithoutReturn(text, length);
    if (IsBlankLine(text, kept)) {
        return false;
    }
    const CatalogueFormat layout = LayoutOf(text, kept);
    ++seen;
    if (layout == CatalogueFormat::Native || (seen > 1 && layout != candidate)) {
        candidate = CatalogueFormat::Native;
        decided = true;
    } else {
        candidate = layout;
        decided = seen == kDetectionLines;
    }
    return decided;
}

CatalogueFormat FormatDetector::Finish() {
    decided = true;
    return candidate;
}

bool ConvertLine(CatalogueFormat format, const char* text, std::size_t length, char* native,
                 ImportReport& report, StarDetails* details) {
    length = WithoutReturn(text, length);
    if (IsBlankLine(text, length)) {
        return false;
    }
    SourceStar star;
    const bool read = format == CatalogueFormat::Gcvs51 ? ReadGcvsStar(text, length, star, report)
                                                        : ReadVsxStar(text, length, star, report);
    if (!read || !WriteNativeLine(star, native, report)) {
        return false;
    }
    if (details != nullptr) {
        DescribeSource(star, *details);
    }
    return true;
}

} // namespace lumara::import
