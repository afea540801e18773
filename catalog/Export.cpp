// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <algorithm>
#include <array>
#include <span>

#include "Export.h"
#include "ExportFile.h"
#include "OrderedLanes.h"
#include "StarCatalog.h"

namespace {

using lumara::kCacheLineBytes;

constexpr std::size_t kRowsPerBatch = lumara::kExportRowsPerBatch;
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

// The result list in batches of rows, each lane formatting the batches it
// takes; the table's prologue goes before the first row, its epilogue after
// the last.
class ListExport final : public lumara::OrderedWork {
public:
    // The rows follow the list from `first`, or `sorted` when it holds any.
    ListExport(const ResultNode* first, std::span<const ResultNode* const> sortedRows,
               std::size_t rows, const lumara::RowFormat& rowFormat)
        // An empty list still makes a file, with the table's prologue.
        : format(rowFormat), sorted(sortedRows),
          batches(std::max<std::size_t>(1, (rows + kRowsPerBatch - 1) / kRowsPerBatch)) {
        places.fill({first, 0});
    }

    std::size_t Batches() const { return batches; }

    Taken Take(std::size_t, std::size_t batch) override {
        return batch < batches ? Taken::Item : Taken::End;
    }

    void Handle(std::size_t lane, std::size_t batch, lumara::BufferedWriter* out) override {
        if (batch == 0) {
            out->Append(format.prologue);
        }
        if (sorted.empty()) {
            FormatBatch(places[lane], batch, *out);
        } else {
            FormatSortedBatch(batch, *out);
        }
        if (batch + 1 == batches) {
            out->Append(format.epilogue);
        }
    }

private:
    // Formats the rows of `batch`, walking on from where the lane stands past
    // the batches that the other lane takes.
    void FormatBatch(ListPlace& place, std::size_t batch, lumara::BufferedWriter& out) const {
        const ResultNode* node = place.node;
        for (std::size_t rows = (batch - place.batch) * kRowsPerBatch; rows > 0 && node != nullptr;
             --rows) {
            node = node->next;
        }
        const ResultNode* ahead = node;
        for (std::size_t row = 0; row < kPrefetchRows && ahead != nullptr; ++row) {
            ahead = ahead->next;
        }
        for (std::size_t row = 0; row < kRowsPerBatch && node != nullptr; ++row) {
            if (ahead != nullptr) {
                Prefetch(*ahead->record);
                ahead = ahead->next;
            }
            out.Advance(format.formatRow(*node->record, out.Reserve(format.maxRowBytes)));
            node = node->next;
        }
        place = {node, batch + 1};
    }

    // The rows of `batch` in the sorted order, whose records lie anywhere.
    void FormatSortedBatch(std::size_t batch, lumara::BufferedWriter& out) const {
        const std::size_t begin = batch * kRowsPerBatch;
        const std::size_t end = std::min(sorted.size(), begin + kRowsPerBatch);
        for (std::size_t row = begin; row < end; ++row) {
            if (row + kPrefetchRows < end) {
                Prefetch(*sorted[row + kPrefetchRows]->record);
            }
            out.Advance(format.formatRow(*sorted[row]->record, out.Reserve(format.maxRowBytes)));
        }
    }

    const lumara::RowFormat format;
    const std::span<const ResultNode* const> sorted;
    const std::size_t batches;
    std::array<ListPlace, lumara::kLanes> places;
};

} // namespace

std::int32_t CStarCatalog::SaveCsv(const char* path) {
    return Save(path, lumara::OutputFormat::Csv);
}

std::int32_t CStarCatalog::SaveTxt(const char* path) {
    return Save(path, lumara::OutputFormat::Txt);
}

// Writes the whole result list from first to last, whatever the cursor and
// whatever order the list was shown in.
std::int32_t CStarCatalog::Save(const char* path, lumara::OutputFormat format) {
    if (!loaded) {
        return 0;
    }
    exportPath = path != nullptr ? path : "";
    lumara::ExportFile file;
    if (!file.Open(exportPath.c_str())) {
        return -1;
    }
    const std::int32_t count = last != nullptr ? last->number : 0;
    ListExport work(first, sortedResults, static_cast<std::size_t>(count),
                    lumara::FormatOf(format));
    // A batch that was not written leaves the temporary file to be removed.
    const std::size_t lanes = work.Batches() > 1 ? lumara::kLanes : 1;
    if (lumara::RunOrderedLanes(work, &file, lanes) != lumara::LanesResult::Done) {
        return -1;
    }
    return file.Finish() ? count : -1;
}
