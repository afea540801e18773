// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// Catalogues observers download, turned line by line into the native
// 75-column line. Everything here works on one line at a time with fixed
// memory, so a loader can run it on several stretches of a file at once and a
// command can run it on a pipe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "LineFormat.h"
#include "StarDetails.h"

namespace lumara::import {

// Table: a table with named columns (CSV, VizieR's separated text, VOTable).
enum class CatalogueFormat { Native, Gcvs51, Vsx, Table };

// Why a line of a GCVS or VSX file gave no star.
enum class SkipReason {
    NotInLayout,  // not a line of the file's layout (a note, a stray line)
    NoPosition,   // the position is blank
    BrokenNumber, // a number that does not read, or a position out of range
    NoName,       // no name, or one that starts with an unreadable byte
    Count
};

// What was written differently from the source, one count per kind.
enum class Change {
    NameShortened,
    NameInDegrees, // a name with coordinates in decimal degrees, shortened to them
    TypeShortened,
    TypeFilled,         // a blank type written as kUnknownType
    MagnitudeRounded,   // more than two decimals
    MagnitudeRaised,    // 0.00 or brighter, written as the brightest value the line keeps
    MagnitudeDropped,   // 100 or fainter: beyond the line's two digits
    LimitMarked,        // a limit kept as a mark in the range
    AmplitudeToMinimum, // minimum written as maximum + amplitude
    AmplitudeDropped,   // an amplitude without a maximum to add it to
    PeriodRounded,      // more than four decimals
    PeriodInThousands,  // 10 000 days or more, written in the K form
    PeriodDropped,      // negative, or beyond the K form
    DecMinusZero,       // a declination between 0 and -1 degree written -00
    MarkDropped,        // an uncertainty or limit mark on a position or period
    DescriptionCut,     // a description longer than the line's columns
    Count
};

inline constexpr std::size_t kSkipReasons = static_cast<std::size_t>(SkipReason::Count);
inline constexpr std::size_t kChanges = static_cast<std::size_t>(Change::Count);

// What an import did, as plain counts. Each stretch of a file keeps its own;
// they are merged at the end.
struct ImportReport {
    CatalogueFormat format = CatalogueFormat::Native;
    // For a table: its kind and the columns read, as DescribeReport says
    // them ("VizieR table: positions from RAJ2000/DEJ2000, ...").
    std::string source;
    std::int64_t stars = 0;
    std::int64_t skipped[kSkipReasons] = {};
    std::int64_t changes[kChanges] = {};

    void Count(SkipReason reason) { ++skipped[static_cast<std::size_t>(reason)]; }
    void Count(Change change) { ++changes[static_cast<std::size_t>(change)]; }
    // Counts `change` when `happened`, without a branch: what a line needs
    // varies from line to line, and a mispredicted branch costs more.
    void CountIf(Change change, bool happened) {
        changes[static_cast<std::size_t>(change)] += happened ? 1 : 0;
    }
    std::int64_t Skipped(SkipReason reason) const {
        return skipped[static_cast<std::size_t>(reason)];
    }
    std::int64_t Changed(Change change) const { return changes[static_cast<std::size_t>(change)]; }
    // Adds the counts of `other`; the format stays this report's.
    void Merge(const ImportReport& other);
};

// The changes a conversion made, star by star, for those who want to know
// which stars changed: a line per change holding the star's name as the
// source gives it, the kind of change (ChangeName) and the source's value,
// apart by tabs.
class ChangeList {
public:
    void Add(std::string_view star, Change change, std::string_view value);
    const std::string& Text() const { return text; }
    void Clear() { text.clear(); }
    // False once a line could not be added for want of memory.
    bool Complete() const { return complete; }

private:
    std::string text;
    bool complete = true;
};

// The format's name as the user knows it ("GCVS 5.1", "VSX", "native").
const char* FormatName(CatalogueFormat format);
// A few words naming the kind of change, as the list of changes gives it.
const char* ChangeName(Change change);

// A short text for the user: the format, the number of stars, and one line per
// kind of change or skip that happened. Empty for a native file.
std::string DescribeReport(const ImportReport& report);
// The lines of DescribeReport after its first: per kind of change or skip
// that happened, how many, what the user sees and why, in plain words.
std::string DescribeChanges(const ImportReport& report);

// Decides a file's format from its first non-blank lines. A file is GCVS 5.1
// or VSX only when each of its first kDetectionLines non-blank lines (or all
// of them, in a shorter file) is a line of that layout; anything else is
// native, so headings, junk and a stray GCVS-like line never switch a native
// file.
class FormatDetector {
public:
    static constexpr std::size_t kDetectionLines = 3;

    // Takes the next line of the file (its text up to `length`, without the
    // line feed). True once the format is decided.
    bool Feed(const char* text, std::size_t length);
    // At the end of the file: decides from what was seen, if not yet decided.
    CatalogueFormat Finish();
    bool IsDecided() const { return decided; }
    CatalogueFormat Format() const { return candidate; }
    // The non-blank lines fed so far.
    std::size_t LinesSeen() const { return seen; }

private:
    std::size_t seen = 0;
    CatalogueFormat candidate = CatalogueFormat::Native;
    bool decided = false;
};

// Writes the native line for one line of a GCVS 5.1 or VSX file (`format`
// must be one of them) into `native` (format::kStoredLineChars + 1 bytes) and counts the
// star and whatever did not fit, adding each change to `changes` when given.
// Returns false for a blank line (not counted) or a line that gives no star
// (counted by reason); `native` then holds no line. With `details`, also says
// there what the source gives beyond the line; its texts are views into `text`.
// `text` holds no zero byte: a line is cut at its first one when it is read.
bool ConvertLine(CatalogueFormat format, const char* text, std::size_t length, char* native,
                 ImportReport& report, StarDetails* details = nullptr,
                 ChangeList* changes = nullptr);

// A table with named columns, read as it streams: the file's bytes are fed
// block by block, and each row's star is handed over as its native line and
// what the table gives beyond it as soon as the row is complete. One thread
// reads it: a quoted field may hold line breaks.
class TableImporter {
public:
    // The star's native line (format::kStoredLineChars characters and a
    // terminator) and details; both valid only during the call.
    using StarHandler = std::function<void(const char* native, const StarDetails& details)>;

    // The importer for a file whose head (its first bytes after any
    // byte-order mark, kTableHeadBytes or all of a shorter file) is a table;
    // nullptr for any other head, such as one holding a native star line.
    static constexpr std::size_t kTableHeadBytes = std::size_t{64} << 10;
    static std::unique_ptr<TableImporter> ForHead(const char* head, std::size_t length,
                                                  bool (*isStarLine)(const char* line));
    virtual ~TableImporter() = default;

    // Reads the next bytes, counting stars, changes and skipped rows in
    // `report` and listing each change in `changes` when given. False once
    // the table fails, with Problem() saying why; after that nothing more is
    // read.
    virtual bool Feed(const char* bytes, std::size_t length, ImportReport& report,
                      ChangeList* changes, const StarHandler& star) = 0;
    // At the file's end: reads what was held back.
    virtual bool Finish(ImportReport& report, ChangeList* changes, const StarHandler& star) = 0;
    virtual const std::string& Problem() const = 0;
    // The table's kind and the columns read, for ImportReport::source.
    virtual std::string Source() const = 0;
};

} // namespace lumara::import
