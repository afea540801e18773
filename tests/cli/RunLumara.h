// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Runs the built programs as a user's shell would, and the library's exports
// to compare them with.
#pragma once

#include <string>
#include <vector>

#include <span>

#include "SearchCriteria.h"
#include "StarColumns.h"

namespace lumara::test {

struct ProgramRun {
    int status = -1; // the exit status, or -1 when the program did not exit
    std::string out;
    std::string err;
};

struct RunOptions {
    // Standard input is read from this file; empty: /dev/null.
    std::string input;
    bool closeStandardOutput = false;
    // Standard output goes to this file instead of ProgramRun::out.
    std::string output;
};

ProgramRun RunLumara(const std::vector<std::string>& arguments, const RunOptions& options = {});

// Runs a bash script in which $LUMARA names the program.
ProgramRun RunScript(const std::string& script);

// Writes a catalogue of `stars` generated stars, in the generator's format
// ("native", "gcvs" or "vsx"), and returns its path.
std::string MakeCatalogue(const std::string& path, int stars, int seed, bool crlf = false,
                          const std::string& format = "native");

// What the library writes for `criteria` on the catalogue at `path`: the CSV
// or the TXT export of the search the window would run, its rows sorted by
// `sort` when it names any key.
std::string LibraryExport(const std::string& path, const SearchCriteria& criteria, bool asCsv,
                          std::span<const SortBy> sort = {});

// What lumara searches for when no option says otherwise: the whole sky,
// magnitude and period tests off.
SearchCriteria Unlimited();

// The lines of a text, each with its line end.
std::vector<std::string> LinesOf(const std::string& text);

} // namespace lumara::test
