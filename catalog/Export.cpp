#include <cstring>

#include "CsvFormat.h"
#include "ExportFile.h"
#include "LineFormat.h"
#include "StarCatalog.h"

namespace {
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::size_t kTxtRowBytes = lumara::format::kStoredLineChars + kLineEnd.size();
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
    if (asCsv) {
        file.Append(lumara::csv::kHeader);
    }
    std::int32_t count = 0;
    for (const ResultNode* node = first; node != nullptr; node = node->next) {
        if (asCsv) {
            file.Advance(
                lumara::csv::FormatRow(*node->record, file.Reserve(lumara::csv::kMaxRowBytes)));
        } else {
            char* out = file.Reserve(kTxtRowBytes);
            std::memcpy(out, node->record->line, lumara::format::kStoredLineChars);
            std::memcpy(out + lumara::format::kStoredLineChars, kLineEnd.data(), kLineEnd.size());
            file.Advance(kTxtRowBytes);
        }
        ++count;
    }
    return file.Finish() ? count : -1;
}
