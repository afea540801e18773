// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// CSV and VizieR's separated text on arbitrary bytes. The first byte
// chooses the separator, the rest is as for every table reader.
#include "TableFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace lumara::import;
    constexpr char kSeparators[] = {',', '\t', ';', '|'};
    if (size == 0) {
        return 0;
    }
    const char separator = kSeparators[data[0] % sizeof kSeparators];
    const TableForm form{separator == ',' ? TableKind::Csv : TableKind::Separated, separator};
    lumara::fuzz::FuzzTable(form, data + 1, size - 1);
    return 0;
}
