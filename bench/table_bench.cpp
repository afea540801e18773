// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The readers of tables with named columns against the parsers they are
// built on, in the same run and on the same bytes: CSV and VizieR's
// separated text against libcsv's own parse with empty callbacks, VOTable
// against expat's own parse with empty handlers. Each table is generated in
// memory and fed in blocks as a loader reads a file. The ratios of each
// reader to its floor are printed at the end; the target is 1.5 at most.
// The heap a reader grows by while it reads shows that it holds no more
// than the row it is on.
//
//   table_bench [--stars=ROWS] [Google Benchmark options]
#include <benchmark/benchmark.h>
#include <csv.h>
#include <expat.h>
#include <malloc.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>

#include "BenchSetup.h"
#include "TableReader.h"

namespace {

using namespace lumara::import;

constexpr long long kDefaultRows = 1'000'000;
constexpr std::size_t kBlockBytes = std::size_t{1} << 20; // as the loader reads
constexpr int kHeapSampleRows = 65536;
constexpr unsigned kSeed = 2026;

struct Row {
    long oid;
    double ra;
    double dec;
    const char* type;
    double max;
    double min;
    double period;
};

constexpr const char* kTypes[] = {"M", "EA", "RRAB", "SRB", "EW", "DSCT", "UGSU+E", "ROT"};

std::vector<Row> MakeRows(long long count) {
    std::mt19937_64 random(kSeed);
    std::uniform_real_distribution<double> unit(0, 1);
    std::vector<Row> rows(static_cast<std::size_t>(count));
    for (long long i = 0; i < count; ++i) {
        const double max = 5 + 15 * unit(random);
        rows[static_cast<std::size_t>(i)] = {
            i + 1, 360 * unit(random),     180 * unit(random) - 90, kTypes[i % 8],
            max,   max + 3 * unit(random), 1000 * unit(random)};
    }
    return rows;
}

std::string Format(const char* format, const Row& row, char separator = ',') {
    char text[512];
    const int length = std::snprintf(text, sizeof text, format, row.oid, separator, row.oid,
                                     separator, row.ra, separator, row.dec, separator, row.type,
                                     separator, row.max, separator, row.min, separator, row.period);
    return {text, static_cast<std::size_t>(length)};
}

// What AAVSO's VSX file has, a quoted spectral type included.
std::string MakeCsv(const std::vector<Row>& rows) {
    std::string table = "#OID,Name,RAdeg,DEdeg,Type,MagMax,MagMin,Period,SpectralType\n";
    for (const Row& row : rows) {
        table += Format("%ld%cASASSN-V J%06ld.00+052231.4%c%.5f%c%.5f%c%s%c%.3f%c%.3f%c%.7f", row) +
                 ",\"K0 III, e\"\n";
    }
    return table;
}

std::string MakeSeparated(const std::vector<Row>& rows) {
    std::string table = "#RESOURCE=yCat_2027\n#Name: B/vsx\n"
                        "OID\tName\tRAJ2000\tDEJ2000\tType\tmax\tmin\tPeriod\n"
                        "\t\tdeg\tdeg\t\tmag\tmag\td\n"
                        "-------\t------\t---------\t---------\t----\t------\t------\t--------\n";
    for (const Row& row : rows) {
        table += Format("%7ld%cASASSN-V J%06ld.00+052231.4%c%9.5f%c%+9.5f%c%-6s%c%6.3f%c%6.3f%c%."
                        "7f\n",
                        row, '\t');
    }
    return table;
}

std::string MakeVoTable(const std::vector<Row>& rows) {
    std::string table =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<VOTABLE version=\"1.4\">\n<RESOURCE>\n"
        "<COOSYS ID=\"icrs\" system=\"ICRS\"/>\n<TABLE>\n"
        "<FIELD name=\"OID\" datatype=\"int\"/>\n"
        "<FIELD name=\"Name\" datatype=\"char\" arraysize=\"*\" ucd=\"meta.id;meta.main\"/>\n"
        "<FIELD name=\"RAJ2000\" datatype=\"double\" unit=\"deg\" ref=\"icrs\"/>\n"
        "<FIELD name=\"DEJ2000\" datatype=\"double\" unit=\"deg\" ref=\"icrs\"/>\n"
        "<FIELD name=\"Type\" datatype=\"char\" arraysize=\"*\"/>\n"
        "<FIELD name=\"max\" datatype=\"float\"/>\n<FIELD name=\"min\" datatype=\"float\"/>\n"
        "<FIELD name=\"Period\" datatype=\"double\" unit=\"d\"/>\n<DATA><TABLEDATA>\n";
    for (const Row& row : rows) {
        table += Format("<TR><TD>%ld</TD><TD%cASASSN-V J%06ld.00+052231.4</TD><TD%c%.5f</TD><TD%c"
                        "%.5f</TD><TD%c%s</TD><TD%c%.3f</TD><TD%c%.3f</TD><TD%c%.7f</TD></TR>\n",
                        row, '>');
    }
    return table + "</TABLEDATA></DATA>\n</TABLE>\n</RESOURCE>\n</VOTABLE>\n";
}

struct Tables {
    std::string csv;
    std::string separated;
    std::string voTable;
    long long rows = 0;
};

Tables& Generated(long long rows = 0) {
    static Tables tables;
    if (tables.rows == 0) {
        const std::vector<Row> generated = MakeRows(rows);
        tables = {MakeCsv(generated), MakeSeparated(generated), MakeVoTable(generated), rows};
    }
    return tables;
}

// Google Benchmark reports a skipped benchmark but still exits with 0; the
// smoke run must fail instead.
bool anyFailed = false;

void Fail(benchmark::State& state, const std::string& what) {
    anyFailed = true;
    state.SkipWithError(what.c_str());
}

void Finish(benchmark::State& state, const std::string& bytes) {
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
    state.counters["rows"] = static_cast<double>(Generated().rows);
    state.counters["table_bytes"] = static_cast<double>(bytes.size());
}

// --- The floors: the parsers with nothing to do ----------------------------

void NoCell(void*, std::size_t, void*) {
}
void NoRow(int, void*) {
}

void LibcsvFloor(benchmark::State& state, const std::string* bytes, char delimiter) {
    for (auto _ : state) {
        csv_parser parser;
        // As the reader sets it up: strict for CSV; for the separated
        // text without quoting and with every line end reported.
        csv_init(&parser, delimiter == ',' ? CSV_STRICT | CSV_STRICT_FINI : CSV_REPALL_NL);
        csv_set_delim(&parser, static_cast<unsigned char>(delimiter));
        if (delimiter != ',') {
            csv_set_quote(&parser, 0);
        }
        for (std::size_t at = 0; at < bytes->size(); at += kBlockBytes) {
            const std::size_t length = std::min(kBlockBytes, bytes->size() - at);
            if (csv_parse(&parser, bytes->data() + at, length, NoCell, NoRow, nullptr) != length) {
                Fail(state, "libcsv refused the table");
            }
        }
        csv_fini(&parser, NoCell, NoRow, nullptr);
        csv_free(&parser);
    }
    Finish(state, *bytes);
}

void XMLCALL NoStart(void*, const XML_Char*, const XML_Char**) {
}
void XMLCALL NoEnd(void*, const XML_Char*) {
}
void XMLCALL NoText(void*, const XML_Char*, int) {
}

void ExpatFloor(benchmark::State& state, const std::string* bytes) {
    for (auto _ : state) {
        XML_Parser parser = XML_ParserCreate(nullptr);
        XML_SetElementHandler(parser, NoStart, NoEnd);
        XML_SetCharacterDataHandler(parser, NoText);
        for (std::size_t at = 0; at < bytes->size(); at += kBlockBytes) {
            const std::size_t length = std::min(kBlockBytes, bytes->size() - at);
            if (XML_Parse(parser, bytes->data() + at, static_cast<int>(length), XML_FALSE) !=
                XML_STATUS_OK) {
                Fail(state, "expat refused the table");
            }
        }
        XML_Parse(parser, nullptr, 0, XML_TRUE);
        XML_ParserFree(parser);
    }
    Finish(state, *bytes);
}

// --- The readers -----------------------------------------------------------

void Reader(benchmark::State& state, const std::string* bytes, TableForm form) {
    long long stars = 0;
    std::size_t heapGrowth = 0;
    for (auto _ : state) {
        stars = 0;
        const std::size_t heapBefore = mallinfo2().uordblks;
        const auto reader = MakeTableReader(form, [&](const TableStar& star) {
            benchmark::DoNotOptimize(star.raDegrees);
            if (++stars % kHeapSampleRows == 0) {
                const std::size_t heap = mallinfo2().uordblks;
                heapGrowth = std::max(heapGrowth, heap > heapBefore ? heap - heapBefore : 0);
            }
        });
        for (std::size_t at = 0; at < bytes->size(); at += kBlockBytes) {
            reader->Feed(bytes->data() + at, std::min(kBlockBytes, bytes->size() - at));
        }
        if (const TableStatus status = reader->Finish(); !status.ok) {
            Fail(state, status.message);
        }
    }
    if (stars != Generated().rows) {
        Fail(state, "the reader gave " + std::to_string(stars) + " stars");
    }
    state.counters["heap_growth_bytes"] = static_cast<double>(heapGrowth);
    Finish(state, *bytes);
}

// Prints the results as usual and then each reader's time over its floor's:
// CPU time, which a machine shared with others disturbs less than the time
// on the clock (each benchmark runs on one thread).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        // The mean of the repetitions when there are several.
        for (const Run& run : runs) {
            const bool mean = run.run_type == Run::RT_Aggregate && run.aggregate_name == "mean";
            if (!run.error_occurred &&
                (mean || (run.run_type == Run::RT_Iteration && run.repetitions <= 1))) {
                seconds[run.run_name.function_name] = run.GetAdjustedCPUTime();
            }
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const auto& [reader, floor] : {std::pair{"CsvReader", "CsvLibcsvFloor"},
                                            std::pair{"SeparatedReader", "SeparatedLibcsvFloor"},
                                            std::pair{"VoTableReader", "VoTableExpatFloor"}}) {
            if (seconds.count(reader) != 0 && seconds.count(floor) != 0) {
                std::printf("%s / %s = %.2f (target at most 1.5)\n", reader, floor,
                            seconds[reader] / seconds[floor]);
            }
        }
    }

private:
    std::map<std::string, double> seconds;
};

} // namespace

int main(int argc, char** argv) {
    lumara::bench::Options options;
    if (!lumara::bench::TakeOptions(argc, argv, options) || options.stars.size() > 1) {
        std::fprintf(stderr, "usage: table_bench [--stars=ROWS] [benchmark options]\n");
        return 2;
    }
    const Tables& tables = Generated(options.stars.empty() ? kDefaultRows : options.stars[0]);
    for (benchmark::internal::Benchmark* b :
         {benchmark::RegisterBenchmark("CsvLibcsvFloor", LibcsvFloor, &tables.csv, ','),
          benchmark::RegisterBenchmark("CsvReader", Reader, &tables.csv,
                                       TableForm{TableKind::Csv, ','}),
          benchmark::RegisterBenchmark("SeparatedLibcsvFloor", LibcsvFloor, &tables.separated,
                                       '\t'),
          benchmark::RegisterBenchmark("SeparatedReader", Reader, &tables.separated,
                                       TableForm{TableKind::Separated, '\t'}),
          benchmark::RegisterBenchmark("VoTableExpatFloor", ExpatFloor, &tables.voTable),
          benchmark::RegisterBenchmark("VoTableReader", Reader, &tables.voTable,
                                       TableForm{TableKind::VoTable, '\0'})}) {
        b->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return anyFailed ? 1 : 0;
}
