// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The subcommands of lumara, each once its options are parsed. Each returns
// an ExitStatus and has reported any failure on standard error.
#pragma once

#include <string>
#include <vector>

#include "RowFormats.h"
#include "SearchCriteria.h"
#include "StarColumns.h"
#include "Tonight.h"
#include "TonightTable.h"

namespace lumara::cli {

struct SearchRequest {
    std::string input;
    std::string output;
    // Checked by CheckCriteria.
    SearchCriteria criteria = kWindowCriteria;
    OutputFormat format = OutputFormat::Csv;
    bool descending = false;
    bool countOnly = false;
    // The order of the rows; catalogue order when empty.
    std::vector<SortBy> sort;
};

struct TonightRequest {
    std::string input;
    std::string output;
    // Checked by CheckCriteria; its night is set from `settings` and `date`.
    SearchCriteria criteria = kWindowCriteria;
    plan::PlanSettings settings; // with a site
    plan::CivilDate date;
    TonightFormat format = TonightFormat::Csv;
    bool countOnly = false;
    std::vector<SortBy> sort;
    // A row per minimum or maximum up in the dark over `nights` nights,
    // rather than a row per observable star.
    bool events = false;
    int nights = 1;
};

struct ConvertRequest {
    std::string input;
    std::string output;
    // Where each change the import made is listed; empty for nowhere.
    std::string report;
};

int RunSearch(const SearchRequest& request);
// The stars observable in the night, with their times; the dark window and
// the Moon on standard error.
int RunTonight(TonightRequest request);
int RunConvert(const ConvertRequest& request);
int RunInfo(const std::string& input);

} // namespace lumara::cli
