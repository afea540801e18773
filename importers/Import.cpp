// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "Import.h"

#include <cstring>
#include <new>

#include "SourceLayouts.h"

namespace lumara::import {

namespace {

// What the user reads for a count: the words after the number, for one and
// for more.
struct CountWords {
    const char* one;
    const char* many;
};

// Each line says what the user sees and why, in the order of the
// enumerations.
constexpr CountWords kSkipWords[kSkipReasons] = {
    {"line not in the file's layout is skipped", "lines not in the file's layout are skipped"},
    {"star without a position is skipped: a search needs one",
     "stars without a position are skipped: a search needs one"},
    {"line with a number that does not read, or a position off the sky, is skipped",
     "lines with a number that does not read, or a position off the sky, are skipped"},
    {"star without a readable name is skipped", "stars without a readable name are skipped"},
};
constexpr CountWords kChangeWords[kChanges] = {
    {"long name is listed shortened to the coordinates it holds, or to its start, ~ and end: "
     "the catalogue line holds 11 characters",
     "long names are listed shortened to the coordinates they hold, or to their start, ~ and "
     "end: the catalogue line holds 11 characters"},
    {"name with coordinates in degrees is listed as those degrees, such as 302.36+14.4: the "
     "catalogue line holds 11 characters",
     "names with coordinates in degrees are listed as those degrees, such as 302.36+14.4: the "
     "catalogue line holds 11 characters"},
    {"long type is listed shortened to its first parts and ~: the catalogue line holds 8 "
     "characters",
     "long types are listed shortened to their first parts and ~: the catalogue line holds 8 "
     "characters"},
    {"star without a type is listed as VAR: the catalogue line needs one",
     "stars without a type are listed as VAR: the catalogue line needs one"},
    {"magnitude is listed rounded to two decimals: the catalogue line holds no more",
     "magnitudes are listed rounded to two decimals: the catalogue line holds no more"},
    {"magnitude brighter than 0.01 is listed as 0.01: the catalogue line cannot hold a sign, "
     "and 0.00 means none",
     "magnitudes brighter than 0.01 are listed as 0.01: the catalogue line cannot hold a sign, "
     "and 0.00 means none"},
    {"magnitude of 100 or fainter is left out: the catalogue line holds two digits before the "
     "point",
     "magnitudes of 100 or fainter are left out: the catalogue line holds two digits before the "
     "point"},
    {"magnitude that is a limit shows < or > in the range; a search takes the limit as the "
     "value",
     "magnitudes that are limits show < or > in the range; a search takes the limit as the "
     "value"},
    {"amplitude is listed as the minimum it gives (maximum + amplitude): the catalogue line "
     "holds magnitudes",
     "amplitudes are listed as the minima they give (maximum + amplitude): the catalogue line "
     "holds magnitudes"},
    {"amplitude without a maximum is left out: it gives no minimum on its own",
     "amplitudes without a maximum are left out: they give no minimum on their own"},
    {"period is listed rounded to four decimals: the catalogue line holds no more",
     "periods are listed rounded to four decimals: the catalogue line holds no more"},
    {"period of 10000 days or more is listed in whole thousands (12K is 12000 days): the "
     "catalogue line holds four digits of days",
     "periods of 10000 days or more are listed in whole thousands (12K is 12000 days): the "
     "catalogue line holds four digits of days"},
    {"period that does not fit is left out: negative, beyond 9999K days or too short for four "
     "decimals",
     "periods that do not fit are left out: negative, beyond 9999K days or too short for four "
     "decimals"},
    {"star less than 1 degree south is listed at declination -00, which a search takes as 0: "
     "the catalogue line holds whole degrees",
     "stars less than 1 degree south are listed at declination -00, which a search takes as 0: "
     "the catalogue line holds whole degrees"},
    {"star loses the uncertainty or limit mark of its position or period: the catalogue line "
     "has no place for it",
     "stars lose the uncertainty or limit marks of their position or period: the catalogue "
     "line has no place for them"},
};
// The kinds of change as the list of changes names them.
constexpr const char* kChangeNames[kChanges] = {
    "name shortened",         "name shortened to degrees",
    "type shortened",         "no type, listed as VAR",
    "magnitude rounded",      "magnitude raised to 0.01",
    "magnitude left out",     "magnitude limit",
    "amplitude made minimum", "amplitude left out",
    "period rounded",         "period in thousands",
    "period left out",        "declination -00",
    "mark left out",          "description cut",
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

// The count and its words on a line of their own, when it is not 0; appended
// piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) about a sum of
// strings here.
void AppendCount(std::string& text, std::int64_t count, const CountWords& words) {
    if (count != 0) {
        if (!text.empty()) {
            text += '\n';
        }
        text += std::to_string(count);
        text += ' ';
        text += count == 1 ? words.one : words.many;
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

const char* ChangeName(Change change) {
    return kChangeNames[static_cast<std::size_t>(change)];
}

void ChangeList::Add(std::string_view star, Change change, std::string_view value) {
    if (!complete) {
        return;
    }
    try {
        text.append(star).append(1, '\t').append(ChangeName(change)).append(1, '\t');
        text.append(value).append(1, '\n');
    } catch (const std::bad_alloc&) {
        complete = false;
    }
}

std::string DescribeChanges(const ImportReport& report) {
    std::string text;
    for (std::size_t i = 0; i < kChanges; ++i) {
        AppendCount(text, report.changes[i], kChangeWords[i]);
    }
    for (std::size_t i = 0; i < kSkipReasons; ++i) {
        AppendCount(text, report.skipped[i], kSkipWords[i]);
    }
    return text;
}

std::string DescribeReport(const ImportReport& report) {
    if (report.format == CatalogueFormat::Native) {
        return {};
    }
    const std::string from = report.format == CatalogueFormat::Table
                                 ? report.source
                                 : std::string(FormatName(report.format)) + " file";
    const std::string changes = DescribeChanges(report);
    std::string text = "Imported ";
    text += std::to_string(report.stars);
    text += report.stars == 1 ? " star from a " : " stars from a ";
    text += from;
    text += '.';
    if (!changes.empty()) {
        text += '\n';
        text += changes;
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
                 ImportReport& report, StarDetails* details, ChangeList* changes) {
    length = WithoutReturn(text, length);
    if (IsBlankLine(text, length)) {
        return false;
    }
    SourceStar star;
    const bool read = format == CatalogueFormat::Gcvs51 ? ReadGcvsStar(text, length, star, report)
                                                        : ReadVsxStar(text, length, star, report);
    if (!read || !WriteNativeLine(star, native, report, changes)) {
        return false;
    }
    if (details != nullptr) {
        DescribeSource(star, *details);
    }
    return true;
}

} // namespace lumara::import
