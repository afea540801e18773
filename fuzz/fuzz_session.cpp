// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A whole session on arbitrary bytes. The input ends in a two-byte length
// (little endian) of a control part that stands just before it; everything in
// front of the control part is the catalogue file. The file is loaded from a
// scratch folder, then the control part is played as a sequence of setter
// calls, searches, walks, copies, exports and allocation failures, and the
// catalogue's promises are checked after every step. The control part may
// first ask for the file to be put behind a long filler line, so that its
// lines straddle the boundary between two blocks of the reader, or between
// headings so that it lies where a large file is split to be read by two
// threads.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <set>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

#include "CatalogueStream.h"
#include "FailingAllocations.h"
#include "Import.h"
#include "LineFormat.h"
#include "StarCatalog.h"
#include "StarLine.h"

namespace fs = std::filesystem;
using namespace lumara::format;
using lumara::test::FailingAllocations;

namespace {

constexpr std::size_t kControlLengthBytes = 2;
constexpr int kMaxSteps = 64;
constexpr int kMaxCursorMoves = 16;
constexpr int kMaxAllocationsBeforeFailure = 3;
constexpr std::size_t kExportedLineBytes = kStoredLineChars + 2;
// How far before the end of the reader's first block the file may start.
constexpr std::uint16_t kMaxStraddle = 1024;
constexpr std::size_t kHeadingLineBytes = 64;
constexpr std::string_view kCsvHeader = "Hr,Min,Deg,Name,Type,Range,Desc,Max,Min,Period\r\n";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Heading lines of '#', `bytes` long in all.
std::string Headings(std::size_t bytes) {
    std::string text(bytes, '#');
    for (std::size_t feed = kHeadingLineBytes - 1; feed < bytes; feed += kHeadingLineBytes) {
        text[feed] = '\n';
    }
    return text;
}

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken promise: %s\n", what);
        std::abort();
    }
}

// One folder per fuzzing process, removed when it ends.
class Scratch {
public:
    Scratch() {
        std::string pattern = (fs::temp_directory_path() / "lumara-fuzz-XXXXXX").string();
        Require(::mkdtemp(pattern.data()) != nullptr, "a scratch folder");
        root = pattern;
    }
    ~Scratch() {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
    std::string PathOf(std::string_view name) const { return (root / name).string(); }
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(root)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

private:
    fs::path root;
};

const Scratch& TheScratch() {
    static const Scratch scratch;
    return scratch;
}

std::string ReadAll(const std::string& path) {
    std::string bytes;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        char block[4096];
        std::size_t got;
        while ((got = std::fread(block, 1, sizeof block, file)) > 0) {
            bytes.append(block, got);
        }
        std::fclose(file);
    }
    return bytes;
}

void WriteAll(const std::string& path, std::string_view bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    Require(file != nullptr, "the scratch catalogue can be written");
    Require(std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() &&
                std::fclose(file) == 0,
            "the scratch catalogue is written");
}

// The star lines of a file as the loader must store them, worked out the
// slow way: split at line feeds, a byte-order mark skipped at the start, each
// line cut at its first zero byte and after kMaxLineChars characters; a file
// whose head is GCVS or VSX has each line converted, any other keeps its
// star lines.
std::vector<std::string> ExpectedLines(std::string_view file) {
    if (file.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        file.remove_prefix(kByteOrderMark.size());
    }
    std::vector<std::string> read;
    lumara::import::FormatDetector detector;
    while (!file.empty()) {
        const std::size_t feed = file.find('\n');
        std::string line(file.substr(0, std::min({feed, kMaxLineChars, file.size()})));
        line.resize(std::strlen(line.c_str()));
        file.remove_prefix(feed == std::string_view::npos ? file.size() : feed + 1);
        detector.Feed(line.c_str(), line.size());
        read.push_back(std::move(line));
    }
    const lumara::import::CatalogueFormat format = detector.Finish();
    std::vector<std::string> lines;
    for (const std::string& line : read) {
        char native[lumara::format::kStoredLineChars + 1];
        lumara::import::ImportReport report;
        if (format != lumara::import::CatalogueFormat::Native) {
            if (lumara::import::ConvertLine(format, line.c_str(), line.size(), native, report)) {
                lines.emplace_back(native);
            }
        } else if (CStarCatalog::IsStarLine(line.c_str())) {
            StarRecord record;
            lumara::NormaliseLine(line.c_str(), line.size(), record);
            lines.emplace_back(record.line);
        }
    }
    return lines;
}

std::vector<std::string> RecordLines(const CStarCatalog& catalog) {
    std::vector<std::string> lines;
    for (const StarRecord* record = catalog.GetRecords(); record != nullptr;
         record = record->next) {
        lines.emplace_back(record->line);
    }
    return lines;
}

std::vector<std::string> ResultLines(const CStarCatalog& catalog) {
    std::vector<std::string> lines;
    for (const ResultNode* node = catalog.GetFirstResult(); node != nullptr; node = node->next) {
        lines.emplace_back(node->record->line);
    }
    return lines;
}

// The result list, walked both ways through the cursor as the window walks
// it, must hold exactly `expected` stars, numbered from 1, whose getters read
// the record under the cursor.
void CheckWalks(CStarCatalog& catalog, std::int32_t expected) {
    Require(catalog.HasResults() == (expected > 0), "results exist exactly when listed");
    Require(catalog.HasResults() ||
                (catalog.GetFirstResult() == nullptr && catalog.GetLastResult() == nullptr &&
                 catalog.IsBOF() && catalog.IsEOF()),
            "without results the list is empty and both flags are set");
    Require(!catalog.HasResults() || catalog.IsLoaded(), "results only over loaded records");
    std::int32_t seen = 0;
    for (catalog.MoveFirst(); !catalog.IsEOF(); catalog.MoveNext()) {
        Require(seen < expected, "a forward walk ends");
        const ResultNode* node = catalog.GetCursorResult();
        Require(node->number == ++seen, "forward numbering");
        Require(std::strcmp(catalog.GetLine(), node->record->line) == 0 &&
                    catalog.GetRaHours() == node->record->raHours &&
                    std::strcmp(catalog.GetName(), node->record->name) == 0 &&
                    std::strlen(catalog.GetDescription()) == kDescChars,
                "getters read the record under the cursor");
    }
    Require(seen == expected, "a forward walk reads every result");
    for (catalog.MoveLast(); !catalog.IsBOF(); catalog.MovePrev()) {
        Require(seen > 0, "a backward walk ends");
        Require(catalog.GetCursorResult()->number == seen--, "backward numbering");
    }
    Require(seen == 0, "a backward walk reads every result");
}

void CheckCriteria(const CStarCatalog& catalog) {
    Require(catalog.GetRaFrom() >= 0 && catalog.GetRaFrom() <= 23 && catalog.GetRaTo() >= 0 &&
                catalog.GetRaTo() <= 23,
            "hours stay within 0..23");
    Require(catalog.GetDecSouth() >= -90 && catalog.GetDecSouth() <= catalog.GetDecNorth() &&
                catalog.GetDecNorth() <= 90,
            "the declination band stays ordered within the poles");
    Require(catalog.GetPeriodLeast() >= 0.0 &&
                catalog.GetPeriodLeast() <= catalog.GetPeriodMost() &&
                catalog.GetPeriodMost() > 0.0,
            "the period range stays ordered and positive");
    Require(catalog.GetMinMagLimit() >= 0.0f && catalog.GetMaxMagLimit() >= 0.0f,
            "magnitude limits stay non-negative numbers");
}

std::int16_t Hour(FuzzedDataProvider& input) {
    static constexpr std::int16_t kEdges[] = {
        std::numeric_limits<std::int16_t>::min(), -91, -90, -1, 0, 1, 22, 23, 24, 89, 90, 91,
        std::numeric_limits<std::int16_t>::max()};
    return input.ConsumeBool() ? input.PickValueInArray(kEdges)
                               : input.ConsumeIntegral<std::int16_t>();
}

double Number(FuzzedDataProvider& input) {
    using limits = std::numeric_limits<double>;
    static constexpr double kEdges[] = {limits::quiet_NaN(),
                                        -limits::quiet_NaN(),
                                        limits::infinity(),
                                        -limits::infinity(),
                                        0.0,
                                        -0.0,
                                        limits::denorm_min(),
                                        -1.0,
                                        6.3,
                                        7.0,
                                        10000.0,
                                        1e300,
                                        limits::max(),
                                        limits::lowest()};
    return input.ConsumeBool() ? input.PickValueInArray(kEdges)
                               : std::bit_cast<double>(input.ConsumeIntegral<std::uint64_t>());
}

class Session {
public:
    Session(std::string_view file, const Scratch& scratch)
        : scratch(scratch), cataloguePath(scratch.PathOf("catalogue.txt")),
          csvPath(scratch.PathOf("out.csv")), txtPath(scratch.PathOf("out.txt")),
          expectedRecords(ExpectedLines(file)) {
        WriteAll(cataloguePath, file);
        Load();
    }

    void Play(FuzzedDataProvider& input) {
        for (int step = 0; step < kMaxSteps && input.remaining_bytes() > 0; ++step) {
            Step(input, input.ConsumeIntegralInRange(0, 15));
            CheckCriteria(catalog);
            CheckWalks(catalog, listed);
        }
    }

private:
    void Step(FuzzedDataProvider& input, int what) {
        switch (what) {
        case 0:
            catalog.SetRaFrom(Hour(input));
            break;
        case 1:
            catalog.SetRaTo(Hour(input));
            break;
        case 2:
            catalog.SetDecSouth(Hour(input));
            break;
        case 3:
            catalog.SetDecNorth(Hour(input));
            break;
        case 4:
            catalog.SetMinMagLimit(Number(input));
            break;
        case 5:
            catalog.SetMaxMagLimit(Number(input));
            break;
        case 6:
            catalog.SetPeriodLeast(Number(input));
            break;
        case 7:
            catalog.SetPeriodMost(Number(input));
            break;
        case 8:
            Search(input.ConsumeBool(), input.ConsumeBool(), input.ConsumeBool());
            break;
        case 9:
            ListAll();
            break;
        case 10:
            MoveAround(input);
            break;
        case 11:
            SaveCsv();
            break;
        case 12:
            SaveTxt();
            break;
        case 13:
            Copy(input.ConsumeBool());
            break;
        case 14:
            Load();
            break;
        default:
            WithoutMemory(input);
            break;
        }
    }

    void Load() {
        const std::int32_t count = catalog.LoadCatalog(cataloguePath.c_str());
        Require(count == static_cast<std::int32_t>(expectedRecords.size()),
                "a load counts the star lines");
        Require(RecordLines(catalog) == expectedRecords, "a load stores the star lines");
        Require(catalog.IsLoaded() == (count > 0), "loaded exactly when stars were found");
        Require(!catalog.IsCriteriaMode(), "a load lists every star");
        listed = count;
    }

    void Search(bool byCriteria, bool useMagnitude, bool usePeriod) {
        std::int32_t matches = 0;
        for (const StarRecord* record = catalog.GetRecords(); record != nullptr;
             record = record->next) {
            matches += byCriteria ? catalog.MatchesCriteria(*record, useMagnitude, usePeriod)
                                  : catalog.MatchesNoLightCurve(*record);
        }
        const std::int32_t result = catalog.Search(byCriteria, useMagnitude, usePeriod);
        if (!catalog.IsLoaded()) {
            Require(result == -1, "a search without a catalogue fails and changes nothing");
            return;
        }
        Require(result == matches, "a search counts the matching records");
        Require(catalog.IsCriteriaMode() == (byCriteria && result > 0), "criteria mode");
        listed = result;
    }

    void ListAll() {
        catalog.ListAll();
        if (catalog.IsLoaded()) {
            listed = static_cast<std::int32_t>(expectedRecords.size());
            Require(ResultLines(catalog) == expectedRecords, "a full listing holds every record");
        }
    }

    void MoveAround(FuzzedDataProvider& input) {
        const int moves = input.ConsumeIntegralInRange(0, kMaxCursorMoves);
        for (int i = 0; i < moves; ++i) {
            switch (input.ConsumeIntegralInRange(0, 3)) {
            case 0:
                catalog.MoveFirst();
                break;
            case 1:
                catalog.MoveLast();
                break;
            case 2:
                catalog.MoveNext();
                break;
            default:
                catalog.MovePrev();
                break;
            }
            Require((catalog.GetCursorResult() != nullptr) == catalog.HasResults(),
                    "the cursor stays on a node exactly while there are results");
            Require(std::strlen(catalog.GetType()) == (catalog.HasResults() ? kTypeChars : 0) &&
                        std::strlen(catalog.GetRange()) ==
                            (catalog.HasResults() ? kRangeChars : 0) &&
                        !std::isnan(catalog.GetPeriod()),
                    "getters read a whole record or nothing");
        }
    }

    // Exports return what they wrote and leave nothing else in the folder.
    template <typename Save> std::int32_t Export(const std::string& path, Save save) {
        const std::string before = ReadAll(path);
        const auto namesBefore = scratch.Names();
        const std::int32_t written = save(path.c_str());
        if (!catalog.IsLoaded()) {
            Require(written == 0, "an export without a catalogue writes nothing");
            Require(ReadAll(path) == before, "an export without a catalogue touches no file");
        } else {
            Require(written == listed, "an export writes every result");
        }
        auto namesAfter = scratch.Names();
        namesAfter.erase(fs::path(path).filename().string());
        auto expectedNames = namesBefore;
        expectedNames.erase(fs::path(path).filename().string());
        Require(namesAfter == expectedNames, "an export leaves no other file behind");
        return written;
    }

    void SaveCsv() {
        const std::int32_t written =
            Export(csvPath, [this](const char* path) { return catalog.SaveCsv(path); });
        if (!catalog.IsLoaded()) {
            return;
        }
        const std::string csv = ReadAll(csvPath);
        Require(csv.starts_with(kCsvHeader), "a CSV export starts with its header");
        Require(std::count(csv.begin(), csv.end(), '\n') == written + 1,
                "a CSV export has one row per star");
    }

    void SaveTxt() {
        const std::int32_t written =
            Export(txtPath, [this](const char* path) { return catalog.SaveTxt(path); });
        if (!catalog.IsLoaded()) {
            return;
        }
        Require(ReadAll(txtPath).size() == static_cast<std::size_t>(written) * kExportedLineBytes,
                "a TXT export holds one stored line per star");
        CStarCatalog reloaded;
        Require(reloaded.LoadCatalog(txtPath.c_str()) == written,
                "a TXT export loads again with the same count");
        Require(RecordLines(reloaded) == ResultLines(catalog),
                "a TXT export loads again as the same lines");
    }

    void Copy(bool construct) {
        if (construct) {
            CStarCatalog copy(catalog);
            CompareCopy(copy);
        } else {
            CStarCatalog copy;
            copy.LoadCatalog(cataloguePath.c_str());
            copy = catalog;
            CompareCopy(copy);
        }
    }

    void CompareCopy(CStarCatalog& copy) const {
        Require(RecordLines(copy) == RecordLines(catalog), "a copy holds the same records");
        Require(ResultLines(copy) == ResultLines(catalog), "a copy holds the same results");
        Require(copy.IsBOF() == catalog.IsBOF() && copy.IsEOF() == catalog.IsEOF() &&
                    std::strcmp(copy.GetLine(), catalog.GetLine()) == 0,
                "a copy has the same cursor");
        CheckWalks(copy, listed);
    }

    // With allocation failing part-way, an operation may fail, but must leave
    // a catalogue that tells the truth about what it holds.
    void WithoutMemory(FuzzedDataProvider& input) {
        const int allowed = input.ConsumeIntegralInRange(0, kMaxAllocationsBeforeFailure);
        const int what = input.ConsumeIntegralInRange(0, 3);
        const bool byCriteria = input.ConsumeBool();
        {
            FailingAllocations failing(allowed);
            if (what == 0) {
                const std::int32_t count = catalog.LoadCatalog(cataloguePath.c_str());
                Require(count == -1 || count == static_cast<std::int32_t>(expectedRecords.size()),
                        "a load without memory fails whole");
                Require(count != -1 || (!catalog.IsLoaded() && catalog.GetRecords() == nullptr),
                        "a failed load holds no records");
            } else if (what == 1) {
                const std::int32_t count = catalog.Search(byCriteria, false, false);
                Require(count != -1 || !catalog.HasResults(), "a failed search lists nothing");
            } else if (what == 2) {
                catalog.ListAll();
            } else {
                const CStarCatalog copy(catalog);
                Require(copy.IsLoaded() ? RecordLines(copy) == RecordLines(catalog)
                                        : copy.GetRecords() == nullptr && !copy.HasResults(),
                        "a copy without memory holds all or nothing");
            }
        }
        std::int32_t nodes = 0;
        for (const ResultNode* node = catalog.GetFirstResult(); node != nullptr;
             node = node->next) {
            ++nodes;
        }
        listed = nodes;
        if (catalog.IsLoaded()) {
            Require(RecordLines(catalog) == expectedRecords, "records survive a failed step");
        }
    }

    const Scratch& scratch;
    const std::string cataloguePath;
    const std::string csvPath;
    const std::string txtPath;
    const std::vector<std::string> expectedRecords;
    CStarCatalog catalog;
    std::int32_t listed = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < kControlLengthBytes) {
        return 0;
    }
    const std::size_t body = size - kControlLengthBytes;
    const std::size_t controlLength =
        std::min<std::size_t>(body, data[body] | std::size_t{data[body + 1]} << 8);
    const std::size_t fileLength = body - controlLength;
    FuzzedDataProvider control(data + fileLength, controlLength);

    const std::string_view bytes(reinterpret_cast<const char*>(data), fileLength);
    std::string file;
    switch (control.ConsumeIntegralInRange<int>(0, 2)) {
    case 1: {
        const std::size_t straddle = control.ConsumeIntegralInRange<std::uint16_t>(1, kMaxStraddle);
        file.assign(lumara::kStreamBlockBytes - straddle, '#');
        file.back() = control.ConsumeBool() ? '\n' : '#';
        file.append(bytes);
        break;
    }
    case 2: {
        // Several blocks, so that both lanes read some, with the end of the
        // second block a chosen number of bytes into the input.
        const std::size_t into = control.ConsumeIntegralInRange<std::uint16_t>(0, kMaxStraddle);
        file = Headings(2 * lumara::kStreamBlockBytes - into);
        file.append(bytes);
        file += Headings(lumara::kStreamBlockBytes);
        break;
    }
    default:
        file.append(bytes);
    }
    Session session(file, TheScratch());
    session.Play(control);
    return 0;
}
