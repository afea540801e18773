// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>

#include "CsvFormat.h"
#include "ExportBatches.h"
#include "ExportFile.h"
#include "HelperThread.h"
#include "LineFormat.h"
#include "StarCatalog.h"
#include "TxtFormat.h"

namespace {

using lumara::kCacheLineBytes;

// How far ahead of the row being formatted its record is fetched.
constexpr std::size_t kPrefetchRows = 8;

// Following the list from node to record leaves the processor waiting for
// every record, so the records a few rows ahead are asked for early.
void Prefetch(const StarRecord& record) {
    const char* bytes = reinterpret_cast<const char*>(&record);
    for (std::size_t at = 0; at < sizeof record; at += kCacheLineBytes) {
        __builtin_prefetch(bytes + at);
    }
    __builtin_prefetch(bytes + sizeof record - 1);
}

// Where a lane stands in the result list: at the first node of a batch.
// Lanes read the list side by side, so each place has a cache line of its
// own.
struct alignas(kCacheLineBytes) ListPlace {
    const ResultNode* node;
    std::size_t batch;
};

// Formats the rows of `batch`, walking on from where the lane stands past
// the batches that the other lane takes.
template <std::size_t (*FormatRow)(const StarRecord&, char*), std::size_t kMaxRowBytes>
void FormatBatch(ListPlace& place, std::size_t batch, lumara::BatchBuffer& out) {
    const ResultNode* node = place.node;
    for (std::size_t rows = (batch - place.batch) * lumara::kRowsPerBatch;
         rows > 0 && node != nullptr; --rows) {
        node = node->next;
    }
    const ResultNode* ahead = node;
    for (std::size_t row = 0; row < kPrefetchRows && ahead != nullptr; ++row) {
        ahead = ahead->next;
    }
    for (std::size_t row = 0; row < lumara::kRowsPerBatch && node != nullptr; ++row) {
        if (ahead != nullptr) {
            Prefetch(*ahead->record);
            ahead = ahead->next;
        }
        out.Advance(FormatRow(*node->record, out.Reserve(kMaxRowBytes)));
        node = node->next;
    }
    place = {node, batch + 1};
}

} // namespace

std::int32_t CStarCatalog::SaveCsv(const char* path) {
    return Export(path, true);
}

std::int32_t CStarCatalog::SaveTxt(const char* path) {
    return Export(path, false);
}

// Writes the whole result list from first to last, whatever the cursor and
// whatever order the list was shown in.
std::int32_t CStarCatalog::Export(const char* path, bool asCsv) {
    if (!loaded) {
        return 0;
    }
    exportPath = path != nullptr ? path : "";
    lumara::ExportFile file;
    if (!file.Open(exportPath.c_str())) {
        return -1;
    }
    const std::int32_t count = last != nullptr ? last->number : 0;
    const auto rows = static_cast<std::size_t>(count);
    // An empty list still makes a file, with the CSV header.
    const std::size_t batches =
        std::max<std::size_t>(1, (rows + lumara::kRowsPerBatch - 1) / lumara::kRowsPerBatch);
    std::array<ListPlace, lumara::kMaxExportLanes> places;
    places.fill({first, 0});
    const auto format = [&](std::size_t lane, std::size_t batch, lumara::BatchBuffer& out) {
        if (!asCsv) {
            FormatBatch<lumara::txt::FormatRow, lumara::txt::kRowBytes>(places[lane], batch, out);
            return;
        }
        if (batch == 0) {
            out.Append(lumara::csv::kHeader);
        }
        FormatBatch<lumara::csv::FormatRow, lumara::csv::kMaxRowBytes>(places[lane], batch, out);
    };
    // A batch that was not written leaves the temporary file to be removed.
    // Handed over by reference, the formatter fits inside the std::function,
    // which then allocates nothing and so cannot throw.
    if (!lumara::WriteBatches(file, batches, std::cref(format))) {
        return -1;
    }
    return file.Finish() ? count : -1;
}
