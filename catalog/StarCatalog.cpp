// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "StarCatalog.h"

#include <new>
#include <vector>

#include "CatalogueFile.h"
#include "HelperThread.h"
#include "StarDetails.h"
#include "StarLine.h"
#include "StarLoader.h"

bool CStarCatalog::IsStarLine(const char* text) {
    return lumara::IsStarLine(text);
}
void CStarCatalog::DecodeRaHours(StarRecord& record) {
    lumara::DecodeRaHours(record);
}
void CStarCatalog::DecodeRaMinutes(StarRecord& record) {
    lumara::DecodeRaMinutes(record);
}
void CStarCatalog::DecodeDec(StarRecord& record) {
    lumara::DecodeDec(record);
}
void CStarCatalog::DecodeName(StarRecord& record) {
    lumara::DecodeName(record);
}
void CStarCatalog::DecodeType(StarRecord& record) {
    lumara::DecodeType(record);
}
void CStarCatalog::DecodeRange(StarRecord& record) {
    lumara::DecodeRange(record);
}
void CStarCatalog::DecodeMaxMag(StarRecord& record) {
    lumara::DecodeMaxMag(record);
}
void CStarCatalog::DecodeMinMag(StarRecord& record) {
    lumara::DecodeMinMag(record);
}
void CStarCatalog::DecodePeriod(StarRecord& record) {
    lumara::DecodePeriod(record);
}
void CStarCatalog::DecodeDescription(StarRecord& record) {
    lumara::DecodeDescription(record);
}

CStarCatalog::CStarCatalog() = default;

CStarCatalog::~CStarCatalog() = default;

CStarCatalog::CStarCatalog(const CStarCatalog& source) {
    CopyFrom(source, true);
}

CStarCatalog& CStarCatalog::operator=(const CStarCatalog& source) {
    if (this != &source) {
        CopyFrom(source, false);
    }
    return *this;
}

void CStarCatalog::CopyFrom(const CStarCatalog& source, bool /*isNew*/) {
    if (this == &source) {
        return;
    }
    criteria = source.criteria;
    catalogPath = source.catalogPath;
    exportPath = source.exportPath;
    importReport = source.importReport;
    // Whatever the caller says, rows already held would come before the
    // copied ones; for a new object releasing costs nothing.
    FreeRecords();

    StarRecord* tail = nullptr;
    for (const StarRecord* from = source.records; from != nullptr; from = from->next) {
        StarRecord* record = recordPool.Allocate();
        if (record == nullptr) {
            FreeRecords();
            return;
        }
        *record = *from;
        if (from->details != nullptr &&
            (record->details = detailStore.Keep(*from->details)) == nullptr) {
            FreeRecords();
            return;
        }
        record->typeId = typeTable.Intern(lumara::FullTypeOf(*record));
        lumara::LinkRecord(*record, records, tail);
    }
    loaded = source.loaded;
    NoteRecordBatches();

    // Result lists follow catalogue order, so one walk of the new records
    // finds each node's record.
    StarRecord* record = records;
    std::vector<const ResultNode*> byNumber;
    try {
        byNumber.reserve(source.sortedResults.empty() ? 0 : source.sortedResults.size());
        for (const ResultNode* from = source.first; from != nullptr; from = from->next) {
            while (record->index != from->record->index) {
                record = record->next;
            }
            if (!AppendResult(*record)) {
                FreeRecords();
                return;
            }
            if (from == source.cursor) {
                cursor = last;
            }
            if (!source.sortedResults.empty()) {
                byNumber.push_back(last);
            }
        }
        // The sorted rows, by the numbers the copied nodes share.
        sortedResults.reserve(source.sortedResults.size());
        for (const ResultNode* row : source.sortedResults) {
            sortedResults.push_back(byNumber[static_cast<std::size_t>(row->number - 1)]);
        }
    } catch (const std::bad_alloc&) {
        FreeRecords();
        return;
    }
    hasResults = source.hasResults;
    criteriaMode = source.criteriaMode;
    bof = source.bof;
    eof = source.eof;
}

std::int32_t CStarCatalog::LoadCatalog(const char* path) {
    // The previous catalogue's memory goes back to the system while the new
    // one is read.
    ChunkPool<StarRecord> previousRecords;
    ChunkPool<ResultNode> previousResults;
    lumara::DetailStore previousDetails;
    previousRecords.Adopt(recordPool);
    previousResults.Adopt(resultPool);
    previousDetails.Adopt(detailStore);
    FreeRecords();
    lumara::HelperThread release([&] {
        previousResults.Release();
        previousRecords.Release();
        previousDetails.Release();
    });
    catalogPath = path != nullptr ? path : "";
    importReport = {};
    loadProblem.clear();

    lumara::CatalogueFile file;
    if (!file.Open(catalogPath.c_str())) {
        return -1;
    }
    lumara::LoadedStars stars;
    if (!lumara::LoadStarLines(file.Descriptor(), stars)) {
        loadProblem = stars.problem;
        return -1;
    }
    importReport = stars.report;
    if (stars.count == 0) {
        return 0;
    }
    recordPool.Adopt(stars.recordPool);
    resultPool.Adopt(stars.nodePool);
    detailStore.Adopt(stars.detailStore);
    typeTable = std::move(stars.types);
    recordBatches = std::move(stars.batchStarts);
    records = stars.firstRecord;
    first = stars.firstNode;
    last = stars.lastNode;
    loaded = true;
    StartResultWalk();
    return stars.count;
}

// Without room to note them, searches run on one lane.
void CStarCatalog::NoteRecordBatches() {
    recordBatches.clear();
    try {
        for (StarRecord* record = records; record != nullptr; record = record->next) {
            if ((record->index - 1) % lumara::kSearchBatchRecords == 0) {
                recordBatches.push_back(record);
            }
        }
    } catch (const std::bad_alloc&) {
        recordBatches = {};
    }
}

// Links a node for the record after the last one; false when memory runs out.
bool CStarCatalog::AppendResult(StarRecord& record) {
    ResultNode* node = resultPool.Allocate();
    if (node == nullptr) {
        return false;
    }
    lumara::LinkResult(*node, record, first, last);
    return true;
}

// Puts the cursor as MoveFirst does on the list just built.
void CStarCatalog::StartResultWalk() {
    cursor = first;
    hasResults = first != nullptr;
    criteriaMode = false;
    bof = true;
    eof = !hasResults;
}

void CStarCatalog::ClearResultState() {
    first = nullptr;
    cursor = nullptr;
    last = nullptr;
    hasResults = false;
    criteriaMode = false;
    bof = true;
    eof = true;
}

void CStarCatalog::FreeResults() {
    sortedResults.clear();
    resultPool.Release();
    ClearResultState();
}

void CStarCatalog::FreeRecords() {
    // Nodes point at records, so they go first.
    FreeResults();
    recordPool.Release();
    detailStore.Release();
    typeTable.Clear();
    recordBatches.clear();
    records = nullptr;
    loaded = false;
}
