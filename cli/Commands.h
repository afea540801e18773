// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The subcommands of lumara, each once its options are parsed. Each returns
// an ExitStatus and has reported any failure on standard error.
#pragma once

#include <string>

#include "RowFormats.h"
#include "SearchCriteria.h"

namespace lumara::cli {

struct SearchRequest {
    std::string input;
    std::string output;
    // Checked by CheckCriteria.
    SearchCriteria criteria = kWindowCriteria;
    OutputFormat format = OutputFormat::Csv;
    bool descending = false;
    bool countOnly = false;
};

struct ConvertRequest {
    std::string input;
    std::string output;
    // Where each change the import made is listed; empty for nowhere.
    std::string report;
};

int RunSearch(const SearchRequest& request);
int RunConvert(const ConvertRequest& request);
int RunInfo(const std::string& input);

} // namespace lumara::cli
