// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ByteSink.h"

#include <cstring>

namespace lumara {

void BufferedWriter::Append(std::string_view text) {
    // An empty view may hold no pointer, which memcpy must not be given.
    if (text.empty()) {
        return;
    }
    std::memcpy(Reserve(text.size()), text.data(), text.size());
    Advance(text.size());
}

bool BufferedWriter::Flush() {
    failed = failed || (used > 0 && !sink.Write(data.get(), used));
    used = 0;
    return !failed;
}

} // namespace lumara
