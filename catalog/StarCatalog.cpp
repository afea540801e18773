#include "StarCatalog.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>

#include "LineReader.h"
#include "StarLine.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// A catalogue is a file or a pipe. A device such as /dev/zero would never
// end, and a folder holds no lines.
bool IsReadableKind(const std::string& path) {
    std::error_code error;
    const std::filesystem::file_type type = std::filesystem::status(path, error).type();
    return type == std::filesystem::file_type::regular || type == std::filesystem::file_type::fifo;
}

// The record index and every count are 32-bit; a file with more star lines
// than that is refused rather than miscounted.
constexpr std::int32_t kMaxRecords = std::numeric_limits<std::int32_t>::max();

} // namespace

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

void CStarCatalog::CopyFrom(const CStarCatalog& source, bool isNew) {
    if (this == &source) {
        return;
    }
    raFrom = source.raFrom;
    raTo = source.raTo;
    decSouth = source.decSouth;
    decNorth = source.decNorth;
    periodLeast = source.periodLeast;
    periodMost = source.periodMost;
    minMagLimit = source.minMagLimit;
    maxMagLimit = source.maxMagLimit;
    catalogPath = source.catalogPath;
    exportPath = source.exportPath;
    if (!isNew) {
        FreeRecords();
    }

    StarRecord* tail = nullptr;
    for (const StarRecord* from = source.records; from != nullptr; from = from->next) {
        StarRecord* record = AppendRecord(tail);
        if (record == nullptr) {
            FreeRecords();
            return;
        }
        *record = *from;
        record->next = nullptr;
        tail = record;
    }
    loaded = source.loaded;

    // Result lists follow catalogue order, so one walk of the new records
    // finds each node's record.
    StarRecord* record = records;
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
    }
    hasResults = source.hasResults;
    criteriaMode = source.criteriaMode;
    bof = source.bof;
    eof = source.eof;
}

std::int32_t CStarCatalog::LoadCatalog(const char* path) {
    FreeRecords();
    catalogPath = path != nullptr ? path : "";

    if (!IsReadableKind(catalogPath)) {
        return -1;
    }
    FileHandle file(std::fopen(catalogPath.c_str(), "rb"));
    if (file == nullptr) {
        return -1;
    }
    // Lines are taken from large blocks; a stdio buffer would only copy twice.
    std::setvbuf(file.get(), nullptr, _IONBF, 0);

    lumara::LineReader reader(file.get());
    lumara::LineReader::Line line{};
    lumara::LineReader::Status status;
    std::int32_t count = 0;
    StarRecord* tail = nullptr;
    while ((status = reader.Next(line)) == lumara::LineReader::Status::Line) {
        if (!IsStarLine(line.text)) {
            continue;
        }
        StarRecord* record = count < kMaxRecords ? AppendRecord(tail) : nullptr;
        // Every record is listed as it is made: one pass over fresh memory.
        if (record == nullptr || !AppendResult(*record)) {
            status = lumara::LineReader::Status::Error;
            break;
        }
        lumara::NormaliseLine(line.text, std::strlen(line.text), *record);
        record->index = ++count;
        lumara::DecodeAllFields(*record);
        record->next = nullptr;
        tail = record;
    }
    if (status == lumara::LineReader::Status::Error) {
        FreeRecords();
        return -1;
    }
    if (count == 0) {
        return 0;
    }
    loaded = true;
    StartResultWalk();
    return count;
}

// Storage for a record linked after `tail` (first when tail is none), or
// nullptr when memory runs out. The caller fills it, `next` included.
StarRecord* CStarCatalog::AppendRecord(StarRecord* tail) {
    StarRecord* record = recordPool.Allocate();
    if (record != nullptr) {
        (tail != nullptr ? tail->next : records) = record;
    }
    return record;
}

// Links a node for the record after the last one; false when memory runs out.
bool CStarCatalog::AppendResult(StarRecord& record) {
    ResultNode* node = resultPool.Allocate();
    if (node == nullptr) {
        return false;
    }
    *node = {last != nullptr ? last->number + 1 : 1, last, &record, nullptr};
    (last != nullptr ? last->next : first) = node;
    last = node;
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
    resultPool.Release();
    ClearResultState();
}

void CStarCatalog::FreeRecords() {
    // Nodes point at records, so they go first.
    FreeResults();
    recordPool.Release();
    records = nullptr;
    loaded = false;
}
