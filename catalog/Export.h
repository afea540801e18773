// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// How the catalogue writes its result list.
#pragma once

#include <cstddef>

namespace lumara {

// Enough rows that a batch usually goes out in one large write; the helper
// thread is started only for an export of more than one batch.
inline constexpr std::size_t kExportRowsPerBatch = 8192;

} // namespace lumara
