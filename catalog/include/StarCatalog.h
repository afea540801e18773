// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The star catalogue: loading a fixed-column catalogue of variable stars,
// searching it, walking the result list and exporting it.
//
// This is the only header a program needs. Errors are integer results,
// never exceptions.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "ChunkPool.h"
#include "DetailStore.h"
#include "Import.h"
#include "ResultNode.h"
#include "RowFormats.h"
#include "SearchCriteria.h"
#include "StarColumns.h"
#include "TypeTable.h"

class CStarCatalog {
public:
    CStarCatalog();
    ~CStarCatalog();
    CStarCatalog(const CStarCatalog& source);
    CStarCatalog& operator=(const CStarCatalog& source);

    // Copies criteria, paths, records and the result list (with its cursor and
    // flags) from memory. This object's own records and results are released
    // first, whatever isNew says. Running out of memory leaves this object
    // without records.
    void CopyFrom(const CStarCatalog& source, bool isNew);

    // --- Loading ---------------------------------------------------------
    // Replaces the records by the star lines of the file and lists them all.
    // Returns the number of star lines, 0 when there are none, -1 when the
    // file cannot be opened or read (only regular files and pipes are read),
    // or memory runs out.
    std::int32_t LoadCatalog(const char* path);
    // Makes the result list hold every record; does nothing without records.
    void ListAll();
    void FreeResults();
    void FreeRecords();

    // --- The line format (the free functions of StarLine.h) ----------------
    static bool IsStarLine(const char* text);
    static void DecodeRaHours(StarRecord& record);
    static void DecodeRaMinutes(StarRecord& record);
    static void DecodeDec(StarRecord& record);
    static void DecodeName(StarRecord& record);
    static void DecodeType(StarRecord& record);
    static void DecodeRange(StarRecord& record);
    static void DecodeMaxMag(StarRecord& record);
    static void DecodeMinMag(StarRecord& record);
    static void DecodePeriod(StarRecord& record);
    static void DecodeDescription(StarRecord& record);

    // --- Cursor over the result list -------------------------------------
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrev();
    bool IsBOF() const { return bof; }
    bool IsEOF() const { return eof; }

    std::int16_t GetRaHours() const;
    std::int16_t GetRaMinutes() const;
    std::int16_t GetDec() const;
    const char* GetName() const;
    const char* GetType() const;
    const char* GetRange() const;
    double GetPeriod() const;
    const char* GetDescription() const;
    const char* GetLine() const;

    // --- Criteria and search ---------------------------------------------
    // A setter silently keeps the old value when it refuses the new one.
    void SetRaFrom(std::int16_t v);
    void SetRaTo(std::int16_t v);
    void SetDecSouth(std::int16_t v);
    void SetDecNorth(std::int16_t v);
    void SetPeriodLeast(double x);
    void SetPeriodMost(double x);
    void SetMinMagLimit(double x);
    void SetMaxMagLimit(double x);

    std::int16_t GetRaFrom() const { return criteria.raWest; }
    std::int16_t GetRaTo() const { return criteria.raEast; }
    std::int16_t GetDecSouth() const { return criteria.decSouth; }
    std::int16_t GetDecNorth() const { return criteria.decNorth; }
    double GetPeriodLeast() const { return criteria.periodLeast; }
    double GetPeriodMost() const { return criteria.periodMost; }
    float GetMinMagLimit() const { return criteria.magMin; }
    float GetMaxMagLimit() const { return criteria.magMax; }

    // Takes the limits of the fields that `wanted` uses, each by the
    // setters' rules, a pair whole or not at all; the switches are not kept,
    // since each search gives its own.
    void SetCriteria(const lumara::SearchCriteria& wanted);
    const lumara::SearchCriteria& GetCriteria() const { return criteria; }

    bool MatchesCriteria(const StarRecord& record, bool useMagnitude, bool usePeriod) const;
    bool MatchesNoLightCurve(const StarRecord& record) const;

    // Rebuilds the result list from the matching records, in catalogue order.
    // Returns the number of matches, 0 for none, -1 without a catalogue or
    // when memory runs out (the result list is then empty).
    std::int32_t Search(bool byCriteria, bool useMagnitude, bool usePeriod);
    // Takes the criteria as SetCriteria does and runs the search their
    // switches ask for.
    std::int32_t Search(const lumara::SearchCriteria& wanted);

    // --- Sorting -----------------------------------------------------------
    // The result list and its cursor stay in catalogue order; a sort orders
    // the rows the list shows and a save writes.
    //
    // Orders the result list's rows by `keys`, the first deciding first;
    // ties keep catalogue order. Fields of the night read `tonight`. Returns
    // the number of rows, -1 when memory runs out (the rows then keep the
    // order they had).
    std::int32_t SortResults(std::span<const lumara::SortBy> keys,
                             const lumara::TonightContext* tonight = nullptr);
    // Back to catalogue order; every search and load does this too.
    void ClearSort() { sortedResults.clear(); }
    bool IsSorted() const { return !sortedResults.empty(); }
    // The node of row `row` (from 0) in the sorted order; nullptr when the
    // rows are not sorted or there is no such row.
    const ResultNode* GetSortedResult(std::int32_t row) const;

    // --- Export ------------------------------------------------------------
    // Write the result list from first to last, or in the sorted order
    // when the rows are sorted. Return the number of stars written, 0
    // without a catalogue (no file is touched), -1 on any failure.
    std::int32_t SaveCsv(const char* path);
    std::int32_t SaveTxt(const char* path);
    // As the two above, in any of the tables a search can write.
    std::int32_t Save(const char* path, lumara::OutputFormat format);

    // --- Read-only views ---------------------------------------------------
    const StarRecord* GetRecords() const { return records; }
    const ResultNode* GetFirstResult() const { return first; }
    const ResultNode* GetCursorResult() const { return cursor; }
    const ResultNode* GetLastResult() const { return last; }
    bool IsLoaded() const { return loaded; }
    bool HasResults() const { return hasResults; }
    bool IsCriteriaMode() const { return criteriaMode; }
    const char* GetCatalogPath() const { return catalogPath.c_str(); }
    const char* GetExportPath() const { return exportPath.c_str(); }
    // What the last load imported from a GCVS or VSX file, and what it
    // changed or skipped; format Native after any other load.
    const lumara::import::ImportReport& GetImportReport() const { return importReport; }
    // Why the last load gave -1, when it can say more than that the file
    // could not be read: what is wrong with a table with named columns.
    // Empty otherwise.
    const std::string& GetLoadProblem() const { return loadProblem; }
    // The catalogue's distinct types, by the ids its records hold.
    const lumara::TypeTable& GetTypeTable() const { return typeTable; }

private:
    template <typename Predicate> std::int32_t BuildResults(Predicate matches);
    // As BuildResults, the records tested in batches on two lanes.
    template <typename Predicate> std::int32_t BuildResultsOnLanes(const Predicate& matches);
    // Rebuilds the result list from the records that meet `asked` whole.
    std::int32_t SearchFor(const lumara::SearchCriteria& asked);
    bool AppendResult(StarRecord& record);
    void NoteRecordBatches();
    void StartResultWalk();
    std::int32_t FinishResults();
    void ClearResultState();

    std::string catalogPath;
    std::string exportPath;
    std::string loadProblem;
    StarRecord* records = nullptr;
    ResultNode* first = nullptr;
    ResultNode* cursor = nullptr;
    ResultNode* last = nullptr;
    ChunkPool<StarRecord> recordPool;
    ChunkPool<ResultNode> resultPool;
    lumara::DetailStore detailStore;
    lumara::TypeTable typeTable;
    // The rows in sorted order; empty in catalogue order.
    std::vector<const ResultNode*> sortedResults;
    // The first record of every batch a two-lane search takes; empty when a
    // search runs on one lane only.
    std::vector<StarRecord*> recordBatches;
    lumara::import::ImportReport importReport;
    // The limits; its switches are unused.
    lumara::SearchCriteria criteria = lumara::kCatalogueSeedCriteria;
    bool loaded = false;
    bool hasResults = false;
    bool criteriaMode = false;
    // Without a result list both read true, so a walk ends at once.
    bool bof = true;
    bool eof = true;
};
