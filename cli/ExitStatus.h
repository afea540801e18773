// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The exit statuses of lumara, as the README and the manual page list them.
#pragma once

#include <string_view>

namespace lumara::cli {

enum ExitStatus : int {
    kSuccess = 0,
    kNoStarLines = 1,
    kUsageError = 2,
    kUnreadableInput = 3,
    kUnwritableOutput = 4,
    kOutOfMemory = 5,
    // The reader of standard output went away: the program ends by SIGPIPE,
    // which the shell reports as 128 + 13.
    kReaderWentAway = 141,
};

// Every failure is one line on standard error, named after the program.
void ReportError(std::string_view message);

} // namespace lumara::cli
