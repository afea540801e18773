// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// The VOTable reader on arbitrary bytes, as for every table reader.
#include "TableFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    lumara::fuzz::FuzzTable({lumara::import::TableKind::VoTable, '\0'}, data, size);
    return 0;
}
