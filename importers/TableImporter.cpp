// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <algorithm>

#include "Import.h"
#include "TableReader.h"

namespace lumara::import {

namespace {

// The table reader, with the star handler, the report and the list of
// changes of the Feed or Finish in progress.
class ReadingTable final : public TableImporter {
public:
    explicit ReadingTable(const TableForm& form)
        : reader(MakeTableReader(form, [this](const TableStar& row) { Convert(row); })) {}

    bool Feed(const char* bytes, std::size_t length, ImportReport& report, ChangeList* changes,
              const StarHandler& star) override {
        return Run(report, changes, star, [&] { return reader->Feed(bytes, length); });
    }

    bool Finish(ImportReport& report, ChangeList* changes, const StarHandler& star) override {
        return Run(report, changes, star, [&] { return reader->Finish(); });
    }

    const std::string& Problem() const override { return problem; }
    std::string Source() const override { return reader->Source(); }

private:
    // The reader counts the rows it skips in a report of its own; they are
    // passed on as they grow.
    template <typename Step>
    bool Run(ImportReport& report, ChangeList* changes, const StarHandler& star, const Step& step) {
        current = &report;
        changeList = changes;
        handler = &star;
        const TableStatus status = step();
        const ImportReport& skips = reader->Report();
        for (std::size_t i = 0; i < kSkipReasons; ++i) {
            report.skipped[i] += skips.skipped[i] - skipsPassed[i];
            skipsPassed[i] = skips.skipped[i];
        }
        if (!status.ok) {
            problem = status.message;
        }
        return status.ok;
    }

    void Convert(const TableStar& row) {
        char native[format::kStoredLineChars + 1];
        StarDetails details;
        if (WriteTableStar(row, native, *current, &details, changeList)) {
            (*handler)(native, details);
        }
    }

    std::unique_ptr<TableReader> reader;
    ImportReport* current = nullptr;
    ChangeList* changeList = nullptr;
    const StarHandler* handler = nullptr;
    std::int64_t skipsPassed[kSkipReasons] = {};
    std::string problem;
};

} // namespace

std::unique_ptr<TableImporter> TableImporter::ForHead(const char* head, std::size_t length,
                                                      bool (*isStarLine)(const char* line)) {
    const std::optional<TableForm> form =
        DetectTable(head, std::min(length, kTableHeadBytes), isStarLine);
    if (!form) {
        return nullptr;
    }
    return std::make_unique<ReadingTable>(*form);
}

} // namespace lumara::import
