// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What a list shows of a star and what a list is sorted by: the one list of
// the window's columns, the command line's sort keys, and the values and
// texts of both, so that the window and `lumara` sort and show alike.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct StarRecord;
struct ResultNode;

namespace lumara {

struct TonightContext;
struct StarTonight;

// What a star can be sorted by.
enum class SortField : std::uint8_t {
    Ra,
    Dec,
    Name,
    Type,
    MaxMag,
    MinMag,
    Period,
    Description,
    // The tonight fields need a night.
    Transit,
    TransitAltitude,
    UpHours,
    MoonSeparation,
    NextEvent,
};

struct SortBy {
    SortField field = SortField::Ra;
    bool descending = false;
};

// The command line's names: ra, dec, name, type, max, min, period, transit,
// alt, up, moon, event.
std::optional<SortField> SortFieldNamed(std::string_view name);
// The names there are, for a message.
std::string SortFieldNames();
bool NeedsNight(SortField field);

// A field's value to sort by: a number, NaN when the star has none (a
// magnitude or period of 0, a star never up in the dark), or a text. Each
// star's tonight is computed when `tonight` is given and the field needs it.
bool IsTextField(SortField field);
double NumberOf(SortField field, const StarRecord& record, const StarTonight* tonight);
std::string_view TextOf(SortField field, const StarRecord& record);

// The values of the sort keys of stars gathered one at a time, for a caller
// that keeps the stars' rows rather than their records: `lumara --sort`
// holds only these and each match's written rows.
class SortValues {
public:
    explicit SortValues(std::span<const SortBy> keys);
    ~SortValues();

    // Adds the next star's values, its texts copied into this value's own
    // store; `tonight` for the fields of the night. False when memory runs
    // out.
    bool Add(const StarRecord& record, const StarTonight* tonight);
    // Adds the values of the stars of `rows`, whose texts outlive this
    // value, key by key; `nights` (one per row) for the fields of the
    // night, or empty. False when memory runs out.
    bool AddLasting(std::span<const ResultNode* const> rows, std::span<const StarTonight> nights);
    // Moves every star of `later` behind this value's; false when memory
    // runs out.
    bool Append(SortValues& later);
    std::size_t Count() const { return count; }
    // The positions 0 .. Count() - 1 sorted by the keys, the first deciding
    // first, ties in the order added (see SortOrder.h for the rules of
    // numbers, texts and values missing). False when memory runs out;
    // `order` is then as it was.
    bool Order(std::vector<std::uint32_t>& order) const;

private:
    struct Column;
    std::vector<SortBy> sortBy;
    std::vector<Column> columns;
    std::size_t count = 0;
};

// --- The window's list ---------------------------------------------------

enum class ListColumnId : std::uint8_t {
    Ra,
    Dec,
    Name,
    Type,
    Magnitude,
    Period,
    Description,
    Transit,
    TransitAltitude,
    Up,
    MoonSeparation,
    NextEvent,
};

struct ListColumn {
    ListColumnId id;
    const char* title;
    bool alignRight;
    int widthPixels; // at a font whose average character is 6 pixels wide
    SortField sortBy;
    bool tonight; // shown only while the window asks about a night
};

// Every column, in the order the list shows them.
std::span<const ListColumn> ListColumns();

// A cell as the list shows it, in UTF-8 (the catalogue's 8-bit texts read as
// ISO-8859-1). The tonight columns read `tonight`, which the caller computes
// for the star (ObserveRecord); other columns ignore it.
std::string CellText(ListColumnId column, const StarRecord& record, const TonightContext* context,
                     const StarTonight* tonight);

} // namespace lumara
