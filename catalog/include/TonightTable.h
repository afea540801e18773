// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The table of the stars observable tonight, as `lumara tonight` writes it:
// CSV with fixed column names that scripts can rely on, or a VOTable with
// the same columns.
#pragma once

#include <string>
#include <string_view>

#include "PlanEvents.h"

struct StarRecord;

namespace lumara {

struct TonightContext;
struct StarTonight;

enum class TonightFormat { Csv, VoTable };

// What comes before the first row, and after the last. With events, the
// table has the columns Event, EventTime and Cycles too.
std::string TonightPrologue(TonightFormat format, bool withEvents);
std::string_view TonightEpilogue(TonightFormat format);

// Appends the star's row: its name and type as the source wrote them, its
// J2000 place, magnitudes and period, its night with times in the site's
// zone, and `event` when the table has events (a row per event); empty cells
// for what the star does not have.
void AppendTonightRow(TonightFormat format, const StarRecord& record, const TonightContext& context,
                      const StarTonight& tonight, const plan::StarEvent* event, std::string& out);

} // namespace lumara
