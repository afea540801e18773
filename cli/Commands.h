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

int RunSearch(const SearchRequest& request);
int RunConvert(const std::string& input, const std::string& output);
int RunInfo(const std::string& input);

} // namespace lumara::cli
