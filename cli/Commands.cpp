// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Commands.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>

#include "CatalogueStream.h"
#include "CsvFormat.h"
#include "ExitStatus.h"
#include "HeldRows.h"
#include "Input.h"
#include "LineFormat.h"
#include "Output.h"
#include "StarLine.h"
#include "StarRecord.h"
#include "TxtFormat.h"

namespace lumara::cli {

namespace {

using format::kMinutesPerHour;

// Lines that belong to the line above them start with this.
constexpr std::string_view kIndent = "  ";

// A star line as a loaded catalogue stores it.
void Store(const char* text, StarRecord& record) {
    NormaliseLine(text, std::strlen(text), record);
}

// Matching lines held for a search in reverse: only the stored lines, one
// after the other.
class HeldLines : public ByteSink {
public:
    bool Write(const char* data, std::size_t bytes) override {
        try {
            lines.append(data, bytes);
            return true;
        } catch (const std::bad_alloc&) {
            return false;
        }
    }
    std::size_t Count() const { return lines.size() / format::kStoredLineChars; }
    void Restore(std::size_t index, StarRecord& record) const {
        std::memcpy(record.line, lines.data() + index * format::kStoredLineChars,
                    format::kStoredLineChars);
        std::memset(record.line + format::kStoredLineChars, '\0',
                    sizeof record.line - format::kStoredLineChars);
    }

private:
    std::string lines;
};

// Writes what precedes the rows only once there is something to follow it
// or the stream has ended with stars, so that a file without star lines
// leaves standard output empty.
class PrologueFirst : public ByteSink {
public:
    PrologueFirst(ByteSink& sink, std::string_view text) : target(sink), prologue(text) {}
    bool Write(const char* data, std::size_t bytes) override {
        return Start() && target.Write(data, bytes);
    }
    bool Start() {
        if (started) {
            return true;
        }
        started = true;
        return prologue.empty() || target.Write(prologue.data(), prologue.size());
    }

private:
    ByteSink& target;
    std::string_view prologue;
    bool started = false;
};

// Reports that `output` cannot be written, and why; a reader of standard
// output that went away is no failure to report.
int CannotWrite(const Output& output) {
    if (output.ReaderWentAway()) {
        return kReaderWentAway;
    }
    ReportError("cannot write " + output.Name() + ": " + output.Problem());
    return kUnwritableOutput;
}

// Opens both ends, reporting what failed; kSuccess when both are open.
int OpenEnds(Input& input, const std::string& inputPath, Output& output,
             const std::string& outputPath) {
    if (!input.Open(inputPath)) {
        ReportError("cannot read " + input.Name() + ": " + input.Problem());
        return kUnreadableInput;
    }
    if (!output.Open(outputPath)) {
        return CannotWrite(output);
    }
    return kSuccess;
}

// The exit status after a stream, reporting what failed. A write that
// failed into a holding sink means memory ran out.
int StreamStatus(StreamResult result, const std::string& problem, const Input& input,
                 const Output& output, bool held) {
    switch (result) {
    case StreamResult::Done:
        return kSuccess;
    case StreamResult::ReadFailed:
        ReportError("cannot read " + input.Name() + ": " + std::strerror(errno));
        return kUnreadableInput;
    case StreamResult::BadTable:
        ReportError("cannot read " + input.Name() + ": " + problem);
        return kUnreadableInput;
    case StreamResult::WriteFailed:
        if (!held) {
            return CannotWrite(output);
        }
        break;
    case StreamResult::NoMemory:
        break;
    }
    ReportError("out of memory");
    return kOutOfMemory;
}

int NoStarLines(const Input& input) {
    ReportError(input.Name() + " holds no star lines");
    return kNoStarLines;
}

// Streams the input through `work` into `target`, the format settled from
// the input's head, and adds up what the lanes saw. kSuccess when the input
// held stars and nothing failed; otherwise the status of what went wrong,
// which is reported. A target that holds in memory fails only for want of it.
int Scan(const Input& input, const Output& output, ByteSink* target, bool held, StarWork& work,
         StreamCounts& total) {
    std::string problem;
    const StreamResult result = StreamCatalogue(input.Descriptor(), work, target, total, problem);
    if (const int status = StreamStatus(result, problem, input, output, held); status != kSuccess) {
        return status;
    }
    return total.stars == 0 ? NoStarLines(input) : kSuccess;
}

int Finished(Output& output, bool written) {
    if (!written || !output.Finish()) {
        return CannotWrite(output);
    }
    return kSuccess;
}

// Writes the held matches last to first.
bool WriteReversed(const HeldLines& held, const RowFormat& format, ByteSink& sink) {
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[BufferedWriter::kBytes]);
    if (buffer == nullptr) {
        return false;
    }
    BufferedWriter writer(sink, std::move(buffer));
    writer.Append(format.prologue);
    for (std::size_t index = held.Count(); index-- > 0;) {
        StarRecord record;
        held.Restore(index, record);
        DecodeAllFields(record);
        writer.Advance(format.formatRow(record, writer.Reserve(format.maxRowBytes)));
    }
    writer.Append(format.epilogue);
    return writer.Flush();
}

// How far ahead of the row being written its bytes are fetched.
constexpr std::size_t kPrefetchRows = 8;

// Writes the held rows in sorted order, on both lanes. False when the sink
// fails; `outOfMemory` is set when the order cannot be made.
bool WriteHeld(const HeldRows& held, std::string_view prologue, std::string_view epilogue,
               ByteSink& sink, bool& outOfMemory) {
    std::vector<std::uint32_t> order;
    outOfMemory = !held.Order(order);
    if (outOfMemory) {
        return false;
    }
    const RowWriter rowWriter = [&](std::size_t, std::size_t row, BufferedWriter& out) {
        if (row + kPrefetchRows < order.size()) {
            __builtin_prefetch(held.Rows(order[row + kPrefetchRows]).data());
        }
        out.Append(held.Rows(order[row]));
    };
    return WriteRowsOnLanes(order.size(), prologue, epilogue, sink, rowWriter);
}

bool WriteText(ByteSink& sink, const std::string& text) {
    return sink.Write(text.data(), text.size());
}

// The least and most of one value over the stars that give it.
struct ValueSpread {
    double least = std::numeric_limits<double>::infinity();
    double most = -std::numeric_limits<double>::infinity();
    std::uint64_t without = 0;

    // 0 means the line gives no value.
    void Add(double value) {
        if (value == 0.0) {
            ++without;
            return;
        }
        least = std::min(least, value);
        most = std::max(most, value);
    }
    void Merge(const ValueSpread& other) {
        least = std::min(least, other.least);
        most = std::max(most, other.most);
        without += other.without;
    }
};

struct alignas(kCacheLineBytes) LaneSpread {
    int leastRa = std::numeric_limits<int>::max(); // minutes from 0h
    int mostRa = std::numeric_limits<int>::min();
    int leastDec = std::numeric_limits<int>::max();
    int mostDec = std::numeric_limits<int>::min();
    ValueSpread maxMag;
    ValueSpread minMag;
    ValueSpread period;

    void Add(const StarRecord& record) {
        const int ra = record.raHours * kMinutesPerHour + record.raMinutes;
        leastRa = std::min(leastRa, ra);
        mostRa = std::max(mostRa, ra);
        leastDec = std::min<int>(leastDec, record.dec);
        mostDec = std::max<int>(mostDec, record.dec);
        maxMag.Add(record.maxMag);
        minMag.Add(record.minMag);
        period.Add(record.period);
    }
    void Merge(const LaneSpread& other) {
        leastRa = std::min(leastRa, other.leastRa);
        mostRa = std::max(mostRa, other.mostRa);
        leastDec = std::min(leastDec, other.leastDec);
        mostDec = std::max(mostDec, other.mostDec);
        maxMag.Merge(other.maxMag);
        minMag.Merge(other.minMag);
        period.Merge(other.period);
    }
};

std::string Number(char* (*write)(char*, double), double value) {
    char text[csv::kMaxNumberBytes + csv::kMaxNumberBytes];
    return {text, write(text, value)};
}

std::string Hours(int minutes) {
    char text[csv::kMaxNumberBytes];
    std::snprintf(text, sizeof text, "%02dh%02dm", minutes / kMinutesPerHour,
                  minutes % kMinutesPerHour);
    return text;
}

std::string SpreadLine(const char* label, const ValueSpread& spread, char* (*write)(char*, double),
                       const char* unit) {
    std::string line = std::string(label) + ": ";
    if (spread.least <= spread.most) {
        line += Number(write, spread.least) + " to " + Number(write, spread.most) + unit;
    } else {
        line += "none";
    }
    return line + " (" + std::to_string(spread.without) +
           (spread.without == 1 ? " star gives" : " stars give") + " none)\n";
}

// What an import changed or skipped, a line each under a heading; nothing
// for a file whose lines stand as they are.
std::string ChangesText(const import::ImportReport& report) {
    const std::string changes = import::DescribeChanges(report);
    if (changes.empty()) {
        return {};
    }
    std::string text = "the values above are as the catalogue lines list them; the import:\n";
    for (std::size_t begin = 0; begin < changes.size();) {
        const std::size_t end = std::min(changes.find('\n', begin), changes.size());
        text += kIndent;
        text.append(changes, begin, end - begin).push_back('\n');
        begin = end + 1;
    }
    return text;
}

std::string InfoText(const Input& input, const StreamCounts& total, const LaneSpread& spread) {
    char dec[csv::kMaxNumberBytes];
    std::snprintf(dec, sizeof dec, "%+d to %+d", spread.leastDec, spread.mostDec);
    const std::string format = total.report.format == import::CatalogueFormat::Table
                                   ? total.report.source
                                   : import::FormatName(total.report.format);
    return "file: " + input.Name() + "\nformat: " + format +
           "\nstars: " + std::to_string(total.stars) +
           "\nlines skipped: " + std::to_string(total.skipped) +
           "\nR.A.: " + Hours(spread.leastRa) + " to " + Hours(spread.mostRa) +
           "\ndeclination: " + dec + " degrees\n" +
           SpreadLine("maximum magnitude", spread.maxMag, csv::WriteMagnitude, "") +
           SpreadLine("minimum magnitude", spread.minMag, csv::WriteMagnitude, "") +
           SpreadLine("period", spread.period, csv::WritePeriod, " days") +
           ChangesText(total.report);
}

// What a conversion did: for a native file the stars and the lines without
// one, for an imported file the importers' report.
std::string ImportText(const Input& input, const StreamCounts& total) {
    if (total.report.format == import::CatalogueFormat::Native) {
        return input.Name() + ": native, " + std::to_string(total.stars) + " stars, " +
               std::to_string(total.skipped) + " lines skipped\n";
    }
    return input.Name() + ": " + import::DescribeReport(total.report) + "\n";
}

// A work that counts the rows it finds on each lane and, for a sort, holds
// their rows and sort values until every block is read.
class MatchingWork : public StarWork {
public:
    MatchingWork(HeldRows& sortHeld, bool sorting) : held(sortHeld), sorted(sorting) {}

    bool Commit(std::size_t lane) override { return !sorted || held.Commit(lane); }

    std::uint64_t Matches() const {
        std::uint64_t total = 0;
        for (const LaneMatches& lane : counts) {
            total += lane.matches;
        }
        return total;
    }

protected:
    // Counts `rows` rows of a star found on `lane`.
    void Found(std::size_t lane, std::uint64_t rows) { counts[lane].matches += rows; }
    // Writes a found star's rows, or holds them for the sort; a failed hold
    // is told by the lane's commit.
    void Emit(std::size_t lane, std::string_view rows, const StarRecord& record,
              const StarTonight* tonight, BufferedWriter& out) {
        if (sorted) {
            held.Hold(lane, rows, record, tonight);
        } else {
            out.Append(rows);
        }
    }
    bool Sorted() const { return sorted; }

private:
    struct alignas(kCacheLineBytes) LaneMatches {
        std::uint64_t matches = 0;
    };

    HeldRows& held;
    const bool sorted;
    std::array<LaneMatches, kLanes> counts{};
};

// The stars that meet the criteria, written as rows in catalogue order, or
// their stored lines held for a search in reverse, or held whole for a
// sort, or only counted.
class SearchWork final : public MatchingWork {
public:
    SearchWork(const SearchRequest& searched, const RowFormat& rowFormat, HeldRows& sortHeld)
        : MatchingWork(sortHeld, !searched.sort.empty() && !searched.countOnly), request(searched),
          format(rowFormat), positionDecides(PositionDecides(searched.criteria)),
          readsTexts(HasTypeCriterion(searched.criteria) || searched.criteria.name.has_value()) {}

    void Handle(StarBlock& block, BufferedWriter* out) override {
        const std::size_t lane = block.Lane();
        block.ForEachStar([&](const char* text, const StarDetails* details) {
            if (!InPositionOf(text)) {
                return;
            }
            // Counting a position search needs no more than its first columns.
            if (positionDecides && request.countOnly) {
                Found(lane, 1);
                return;
            }
            StarRecord record;
            Store(text, record);
            record.details = details;
            if (!positionDecides) {
                if (readsTexts) {
                    DecodeAllFields(record);
                } else {
                    DecodeTestedFields(record);
                }
                if (!lumara::Matches(request.criteria, record)) {
                    return;
                }
            }
            Found(lane, 1);
            if (request.countOnly) {
                return;
            }
            if (request.descending) {
                out->Append({record.line, format::kStoredLineChars});
                return;
            }
            DecodeAllFields(record);
            if (!Sorted()) {
                out->Advance(format.formatRow(record, out->Reserve(format.maxRowBytes)));
                return;
            }
            std::string& row = rows[lane].text;
            row.resize(format.maxRowBytes);
            row.resize(format.formatRow(record, row.data()));
            Emit(lane, row, record, nullptr, *out);
        });
    }

private:
    // Read from the line's first columns alone, so that the many stars
    // elsewhere in the sky cost little; a star outside never matches.
    bool InPositionOf(const char* text) const {
        // A star line holds digits and a sign up to here.
        constexpr std::size_t kPositionChars = format::kDecDegreesColumn + 2;
        StarRecord record;
        std::memcpy(record.line, text, kPositionChars);
        DecodeRaHours(record);
        DecodeDec(record);
        return InPosition(request.criteria, record);
    }

    struct alignas(kCacheLineBytes) LaneRow {
        std::string text;
    };

    const SearchRequest& request;
    const RowFormat format;
    const bool positionDecides;
    // The name or the type is tested, not only the numbers.
    const bool readsTexts;
    std::array<LaneRow, kLanes> rows;
};

// Every star as its native line; with a report, each change the import
// made, written in file order as each block is committed.
class ConvertWork final : public StarWork {
public:
    explicit ConvertWork(ByteSink* changeReport) : report(changeReport) {}

    import::ChangeList* ChangesOf(std::size_t lane) override {
        return report != nullptr ? &lists[lane].changes : nullptr;
}

    void Handle(StarBlock& block, BufferedWriter* out) override {
    block.ForEachStar([out](const char* text, const StarDetails*) {
        StarRecord record;
        Store(text, record);
        out->Advance(txt::FormatRow(record, out->Reserve(txt::kRowBytes)));
    });
}

// A list short of memory stops the stream; a report that cannot be
// written is told after it.
bool Commit(std::size_t lane) override {
    import::ChangeList& changes = lists[lane].changes;
    if (!changes.Complete()) {
        return false;
    }
    const std::string& text = changes.Text();
    reportWritten = reportWritten && (text.empty() || report->Write(text.data(), text.size()));
    changes.Clear();
    return true;
}

bool ReportWritten() const {
    return reportWritten;
}

private:
struct alignas(kCacheLineBytes) LaneChanges {
    import::ChangeList changes;
};

ByteSink* report;
std::array<LaneChanges, kLanes> lists;
// Only Commit writes it, one block at a time.
bool reportWritten = true;
}; // namespace

// The spread of every star's values.
class InfoWork final : public StarWork {
public:
    void Handle(StarBlock& block, BufferedWriter*) override {
        LaneSpread& spread = spreads[block.Lane()];
        block.ForEachStar([&spread](const char* text, const StarDetails*) {
            StarRecord record;
            Store(text, record);
            DecodeAllFields(record);
            spread.Add(record);
        });
    }

    LaneSpread Spread() const {
        LaneSpread whole;
        for (const LaneSpread& lane : spreads) {
            whole.Merge(lane);
        }
        return whole;
    }

private:
    std::array<LaneSpread, kLanes> spreads{};
};

// The stars that meet the criteria and are observable in the night, written
// with their times in catalogue order, or held whole for a sort, or only
// counted. Each star's night is worked out once, after the cheaper tests.
class TonightWork final : public MatchingWork {
public:
    TonightWork(const TonightRequest& asked, const TonightContext& night, HeldRows& sortHeld)
        : MatchingWork(sortHeld, !asked.sort.empty() && !asked.countOnly), request(asked),
          context(night), others(asked.criteria) {
        others.tonight = nullptr;
    }

    // The star's rows: one, or one per event; none when it has no place in
    // the table.
    static void AppendRows(const TonightRequest& request, const TonightContext& context,
                           const StarRecord& record, const StarTonight& tonight,
                           std::vector<plan::StarEvent>& events, std::string& rows) {
        if (!request.events) {
            AppendTonightRow(request.format, record, context, tonight, nullptr, rows);
            return;
        }
        for (const plan::StarEvent& event : events) {
            AppendTonightRow(request.format, record, context, tonight, &event, rows);
        }
    }

    void Handle(StarBlock& block, BufferedWriter* out) override {
        const std::size_t lane = block.Lane();
        Lane& own = lanes[lane];
        block.ForEachStar([&](const char* text, const StarDetails* details) {
            StarRecord record;
            Store(text, record);
            record.details = details;
            DecodeAllFields(record);
            if (!lumara::Matches(others, record)) {
                return;
            }
            own.events.clear();
            std::optional<StarTonight> tonight;
            if (request.events ? (EventsOf(context, record, own.events), own.events.empty())
                               : !(tonight = ObservableTonight(context, record))) {
                return;
            }
            Found(lane, request.events ? own.events.size() : 1);
            if (request.countOnly) {
                return;
            }
            if (!tonight) {
                tonight = ObserveRecord(context, record);
            }
            own.row.clear();
            AppendRows(request, context, record, *tonight, own.events, own.row);
            Emit(lane, own.row, record, &*tonight, *out);
        });
    }

private:
    struct alignas(kCacheLineBytes) Lane {
        std::string row;
        std::vector<plan::StarEvent> events;
    };

    const TonightRequest& request;
    const TonightContext& context;
    // The criteria but the night's, which is tested last.
    SearchCriteria others;
    std::array<Lane, kLanes> lanes{};
};

} // namespace lumara::cli

void ReportError(std::string_view message) {
    std::fprintf(stderr, "lumara: %.*s\n", static_cast<int>(message.size()), message.data());
}

int RunSearch(const SearchRequest& request) {
    Input input;
    Output output;
    if (const int status = OpenEnds(input, request.input, output, request.output);
        status != kSuccess) {
        return status;
    }
    const RowFormat format = FormatOf(request.format);
    PrologueFirst inOrder(output, format.prologue);
    HeldLines held;
    HeldRows sortHeld(request.sort);
    SearchWork work(request, format, sortHeld);
    // What is held fails only for want of memory.
    const bool holding = request.descending || !request.sort.empty();
    ByteSink& streamTarget = request.descending ? static_cast<ByteSink&>(held) : inOrder;
    StreamCounts total;
    if (const int status = Scan(input, output, &streamTarget, holding, work, total);
        status != kSuccess) {
        return status;
    }
    bool written = true;
    if (request.countOnly) {
        written = WriteText(output, std::to_string(work.Matches()) + "\n");
    } else if (!request.sort.empty()) {
        bool outOfMemory = false;
        written = WriteHeld(sortHeld, format.prologue, format.epilogue, output, outOfMemory);
        if (outOfMemory) {
            ReportError("out of memory");
            return kOutOfMemory;
        }
    } else if (request.descending) {
        written = WriteReversed(held, format, output);
    } else {
        written = inOrder.Start() && WriteText(output, std::string(format.epilogue));
    }
    return Finished(output, written);
}

int RunTonight(TonightRequest request) {
    auto context = std::make_shared<TonightContext>();
    if (const plan::NightStatus status = PrepareTonight(request.settings, request.date, *context,
                                                        request.events ? request.nights : 0);
        status != plan::NightStatus::Ok) {
        ReportError(plan::DescribeStatus(status));
        return kUsageError;
    }
    request.criteria.tonight = context;
    Input input;
    Output output;
    if (const int status = OpenEnds(input, request.input, output, request.output);
        status != kSuccess) {
        return status;
    }
    const std::string prologue = TonightPrologue(request.format, request.events);
    PrologueFirst inOrder(output, prologue);
    HeldRows sortHeld(request.sort);
    TonightWork work(request, *context, sortHeld);
    StreamCounts total;
    if (const int status = Scan(input, output, &inOrder, !request.sort.empty(), work, total);
        status != kSuccess) {
        return status;
    }
    std::fprintf(stderr, "%s %s: %s\n", plan::FormatDate(request.date).c_str(),
                 request.settings.zone.c_str(), DescribeNight(*context).c_str());
    bool written = true;
    if (request.countOnly) {
        written = WriteText(output, std::to_string(work.Matches()) + "\n");
    } else if (!request.sort.empty()) {
        bool outOfMemory = false;
        written =
            WriteHeld(sortHeld, prologue, TonightEpilogue(request.format), output, outOfMemory);
        if (outOfMemory) {
            ReportError("out of memory");
            return kOutOfMemory;
        }
    } else {
        written =
            inOrder.Start() && WriteText(output, std::string(TonightEpilogue(request.format)));
    }
    return Finished(output, written);
}

int RunConvert(const ConvertRequest& request) {
    Input input;
    Output output;
    if (const int status = OpenEnds(input, request.input, output, request.output);
        status != kSuccess) {
        return status;
    }
    Output report;
    if (!request.report.empty() && !report.Open(request.report)) {
        return CannotWrite(report);
    }
    ConvertWork work(request.report.empty() ? nullptr : &report);
    StreamCounts total;
    if (const int status = Scan(input, output, &output, false, work, total); status != kSuccess) {
        return status;
    }
    if (!work.ReportWritten()) {
        return CannotWrite(report);
    }
    int status = Finished(output, true);
    if (status == kSuccess && !request.report.empty()) {
        status = Finished(report, true);
    }
    if (status == kSuccess) {
        std::fputs(ImportText(input, total).c_str(), stderr);
    }
    return status;
}

int RunInfo(const std::string& inputPath) {
    Input input;
    Output output;
    if (const int status = OpenEnds(input, inputPath, output, kStandardStream);
        status != kSuccess) {
        return status;
    }
    InfoWork work;
    StreamCounts total;
    if (const int status = Scan(input, output, nullptr, false, work, total); status != kSuccess) {
        return status;
    }
    return Finished(output, WriteText(output, InfoText(input, total, work.Spread())));
}

} // namespace lumara::cli
