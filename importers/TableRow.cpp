// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "TableRow.h"

#include <erfam.h>

#include <algorithm>
#include <cmath>

#include "ByteWords.h"

namespace lumara::import {

namespace {

using enum ColumnRole;
using format::IsDigit;
using format::IsSpace;

constexpr int kMaxExponentDigits = 3;
constexpr std::string_view kNotANumber = "nan";

// Positions: the sky's limits, and sexagesimal parts.
constexpr double kFullCircle = 360;
constexpr double kPole = 90;
constexpr double kSixty = 60;
constexpr double kSecondsPerUnit = kSixty * kSixty;
constexpr double kDegreesPerHour = 15;
constexpr double kTimeSecondsPerDegree = kSecondsPerUnit / kDegreesPerHour;
constexpr int kMostSexagesimalParts = 3;
// Separators of sexagesimal parts: white space, ':', and the unit letters
// and marks of forms such as 05h36m12.3s and +21d04'05".
constexpr std::string_view kPartSeparators = " \t:hmsdHMSD'\"";

// Epochs below this are JD - 2400000 (GCVS's form); full dates of any
// observation are far above it.
constexpr double kFullJdFrom = 1e6;
constexpr double kReducedJdZero = ERFA_DJM0 - 0.5;

// A period given in another unit than days is kept to this many decimals
// of a day, and below kMostConvertedDays days.
constexpr int kConvertedPeriodDecimals = 10;
constexpr double kMostConvertedDays = 1e6;

constexpr int kMostDurationPercent = 999; // GCVS's three digits

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// In ASCII a letter's lower case is its upper case with this bit set.
constexpr char kLowerCaseBit = 0x20;

bool IsNotANumber(std::string_view text) {
    if (text.size() != kNotANumber.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((text[i] | kLowerCaseBit) != kNotANumber[i]) {
            return false;
        }
    }
    return true;
}

double ToDouble(const Decimal& number) {
    const double value =
        static_cast<double>(number.scaled) / static_cast<double>(kPowersOfTen[number.scale]);
    return number.negative ? -value : value;
}

constexpr unsigned char kDelete = 0x7F;

bool IsControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < ' ' || byte == kDelete;
}

// Texts rarely hold a control byte: they are checked a word at a time.
bool HasControlBytes(const char* text, std::size_t length) {
    std::size_t at = 0;
    for (; at + words::kBytes <= length; at += words::kBytes) {
        const words::Word word = words::Load(text + at);
        if ((words::InRange(word, 0, ' ' - 1) | words::Equal(word, kDelete)) != 0) {
            return true;
        }
    }
    for (; at < length; ++at) {
        if (IsControl(text[at])) {
            return true;
        }
    }
    return false;
}

// A number with the marks a table may write around it: a leading '<', '>'
// or '(' and a trailing ':' or ')'.
struct MarkedNumber {
    NumberRead read = NumberRead::Blank;
    Decimal value;
    char lead = ' ';
    bool uncertain = false;
};

MarkedNumber ReadMarkedNumber(std::string_view cell) {
    MarkedNumber number;
    if (cell.empty()) {
        return number; // a column the table does not have, or an empty cell
    }
    std::string_view text = Trim(cell);
    if (!text.empty() && (text.front() == '<' || text.front() == '>' || text.front() == '(')) {
        number.lead = text.front();
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ':' || text.back() == ')')) {
        number.uncertain |= text.back() == ':';
        text.remove_suffix(1);
    }
    number.read = ReadTableNumber(text, number.value);
    return number;
}

char FirstOf(std::string_view cell, std::string_view marks) {
    const std::string_view text = Trim(cell);
    return !text.empty() && marks.find(text.front()) != std::string_view::npos ? text.front() : ' ';
}

bool HasColon(std::string_view cell) {
    return cell.find(':') != std::string_view::npos;
}

// A flag column set: '(' or ')' (VizieR's amplitude marks) or a true value.
bool IsSet(std::string_view cell) {
    const std::string_view text = Trim(cell);
    return text.find_first_of("()") != std::string_view::npos || text == "1" || text == "T" ||
           text == "t" || text == "true" || text == "True" || text == "TRUE" || text == "yes";
}

// A number of the common form: an optional sign, at most kMaxNumberDigits
// digits, at most kMaxIntegerDigits of them before an optional point, and
// nothing else. False, with `number` not to be used, for any other text.
bool ReadPlainNumber(std::string_view text, Decimal& number) {
    const char* at = text.data();
    const char* const end = at + text.size();
    const bool negative = at < end && *at == '-';
    at += at < end && (*at == '-' || *at == '+') ? 1 : 0;
    std::uint64_t value = 0;
    const char* const wholeStart = at;
    for (unsigned digit; at < end && (digit = static_cast<unsigned char>(*at) - unsigned{'0'}) <= 9;
         ++at) {
        value = value * 10 + digit;
    }
    const auto whole = at - wholeStart;
    const char* decimalStart = at;
    if (at < end && *at == '.') {
        decimalStart = ++at;
        for (unsigned digit;
             at < end && (digit = static_cast<unsigned char>(*at) - unsigned{'0'}) <= 9; ++at) {
            value = value * 10 + digit;
        }
    }
    const auto decimals = at - decimalStart;
    if (at != end || whole + decimals == 0 || whole + decimals > kMaxNumberDigits ||
        whole > kMaxIntegerDigits) {
        return false;
    }
    number.scaled = static_cast<std::int64_t>(value);
    number.scale = static_cast<int>(decimals);
    number.negative = negative;
    return true;
}

// --- Positions ---------------------------------------------------------------

// An angle as one decimal number (`parts` 1) or as sexagesimal parts, then
// as seconds of its first part's unit; false when it does not read.
struct Angle {
    int parts = 0;
    bool negative = false;
    double value = 0;   // the decimal number, when one part
    double seconds = 0; // first part * 3600 + minutes * 60 + seconds
};

bool ReadAngle(std::string_view cell, Angle& angle) {
    std::string_view text = Trim(cell);
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        angle.negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // Nearly always one decimal number.
    if (Decimal plain; ReadPlainNumber(text, plain)) {
        angle.parts = 1;
        angle.value = ToDouble(plain);
        return true;
    }
    double weight = kSecondsPerUnit;
    while (!text.empty()) {
        const std::size_t end = text.find_first_of(kPartSeparators);
        const std::string_view part = text.substr(0, end);
        Decimal number;
        if (angle.parts == kMostSexagesimalParts ||
            ReadTableNumber(part, number) != NumberRead::Number || number.negative) {
            return false;
        }
        const double value = ToDouble(number);
        if (angle.parts > 0 && value >= kSixty) {
            return false;
        }
        angle.value = value;
        angle.seconds += value * weight;
        weight /= kSixty;
        ++angle.parts;
        const std::size_t next = text.find_first_not_of(kPartSeparators, end);
        text.remove_prefix(next == std::string_view::npos ? text.size() : next);
    }
    return angle.parts > 0;
}

// The R.A. in degrees: decimal in the column's unit, sexagesimal in hours.
bool ReadRa(std::string_view cell, RaUnit unit, double& degrees) {
    Angle angle;
    if (!ReadAngle(cell, angle) || angle.negative) {
        return false;
    }
    degrees = angle.parts > 1         ? angle.seconds / kTimeSecondsPerDegree
              : unit == RaUnit::Hours ? angle.value * kDegreesPerHour
                                      : angle.value;
    return true;
}

bool ReadDec(std::string_view cell, double& degrees) {
    Angle angle;
    if (!ReadAngle(cell, angle)) {
        return false;
    }
    degrees = angle.parts > 1 ? angle.seconds / kSecondsPerUnit : angle.value;
    degrees = angle.negative ? -degrees : degrees;
    return true;
}

// A part of a split position: blank is 0 (a table may give no seconds).
bool SplitPart(std::string_view cell, double& value) {
    Decimal number;
    const NumberRead read = ReadTableNumber(cell, number);
    value = read == NumberRead::Number ? ToDouble(number) : 0;
    return read != NumberRead::Broken && !number.negative && value < kSixty;
}

bool IsBlankCell(std::string_view cell) {
    return Trim(cell).empty();
}

// --- Magnitudes, epoch, period -------------------------------------------------

// Reads one magnitude of a range text from `at`; false when what stands
// there is no number.
bool ReadRangeMagnitude(std::string_view text, std::size_t& at, TableMagnitude& magnitude) {
    const std::size_t start = at;
    while (at < text.size() && (IsDigit(text[at]) || text[at] == '.')) {
        ++at;
    }
    magnitude.present =
        ReadTableNumber(text.substr(start, at - start), magnitude.value) == NumberRead::Number;
    magnitude.uncertain = at < text.size() && text[at] == ':';
    at += magnitude.uncertain ? 1 : 0;
    return magnitude.present;
}

void SkipBlanks(std::string_view text, std::size_t& at) {
    while (at < text.size() && IsSpace(text[at])) {
        ++at;
    }
}

// A range as one text, as the native line writes it: "< 9.10 -10.35:":
// an optional limit, the maximum and ':', then '-' or the minimum's limit,
// the minimum and ':'. Either magnitude may be missing.
bool ReadRange(std::string_view text, TableMagnitude& maximum, TableMagnitude& minimum) {
    std::size_t at = 0;
    SkipBlanks(text, at);
    maximum.limit = FirstOf(text.substr(at), "<>");
    at += maximum.limit != ' ' ? 1 : 0;
    SkipBlanks(text, at);
    maximum.present = false;
    if (at < text.size() && text[at] != '-' && !ReadRangeMagnitude(text, at, maximum)) {
        return false;
    }
    SkipBlanks(text, at);
    minimum.present = false;
    if (at < text.size()) {
        const char mark = FirstOf(text.substr(at), "-<>");
        if (mark == ' ') {
            return false;
        }
        minimum.limit = mark == '-' ? ' ' : mark;
        ++at;
        SkipBlanks(text, at);
        if (!ReadRangeMagnitude(text, at, minimum)) {
            return false;
        }
        SkipBlanks(text, at);
    }
    return at == text.size();
}

// The period in days, exact as written when it is given in days.
bool InDays(const NamedColumns& columns, Decimal& period) {
    const double daysPerUnit = columns.PeriodDaysPerUnit();
    if (daysPerUnit == 1) {
        return true;
    }
    const double days = std::fabs(ToDouble(period)) * daysPerUnit;
    if (!(days < kMostConvertedDays)) {
        return false;
    }
    period.scaled =
        std::llround(days * static_cast<double>(kPowersOfTen[kConvertedPeriodDecimals]));
    period.scale = kConvertedPeriodDecimals;
    return true;
}

bool IsText(ColumnRole role) {
    return role == Name || role == Type || role == MaxBand || role == MinBand ||
           role == PeriodFlags || role == SpectralType || role == Description;
}

bool IsSplitPosition(ColumnRole role) {
    return role >= RaHours && role <= DecSeconds;
}

} // namespace

NumberRead ReadTableNumber(std::string_view cell, Decimal& number) {
    const std::string_view text = Trim(cell);
    if (text.empty() || IsNotANumber(text)) {
        return NumberRead::Blank;
    }
    if (ReadPlainNumber(text, number)) {
        return NumberRead::Number;
    }
    std::size_t at = 0;
    const bool negative = text[0] == '-';
    at += negative || text[0] == '+' ? 1 : 0;
    std::uint64_t value = 0;
    int significant = 0;
    int scale = 0;
    int droppedWhole = 0;
    bool anyDigit = false;
    bool point = false;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (!IsDigit(c)) {
            break;
        }
        anyDigit = true;
        if (significant < kMaxNumberDigits && (significant > 0 || c != '0')) {
            value = value * 10 + static_cast<unsigned>(c - '0');
            ++significant;
            scale += point ? 1 : 0;
        } else if (significant == 0) {
            scale += point ? 1 : 0; // a leading zero
        } else {
            droppedWhole += point ? 0 : 1; // a dropped decimal leaves the value as it is
        }
    }
    int exponent = 0;
    if (anyDigit && at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        const bool exponentNegative = at < text.size() && text[at] == '-';
        at += at < text.size() && (text[at] == '-' || text[at] == '+') ? 1 : 0;
        int digits = 0;
        for (; at < text.size() && IsDigit(text[at]) && digits <= kMaxExponentDigits; ++at) {
            exponent = exponent * 10 + (text[at] - '0');
            ++digits;
        }
        if (digits == 0 || digits > kMaxExponentDigits) {
            return NumberRead::Broken;
        }
        exponent = exponentNegative ? -exponent : exponent;
    }
    if (!anyDigit || at != text.size()) {
        return NumberRead::Broken;
    }
    scale -= exponent + droppedWhole;
    for (; scale < 0; ++scale) {
        if (value >= static_cast<std::uint64_t>(kPowersOfTen[kMaxNumberDigits] / 10)) {
            return NumberRead::Broken;
        }
        value *= 10;
    }
    for (; scale > kMaxNumberDigits; --scale) {
        value /= 10;
    }
    if (value / static_cast<std::uint64_t>(kPowersOfTen[scale]) >=
        static_cast<std::uint64_t>(kPowersOfTen[kMaxIntegerDigits])) {
        return NumberRead::Broken;
    }
    number.scaled = static_cast<std::int64_t>(value);
    number.scale = scale;
    number.negative = negative;
    return NumberRead::Number;
}

// What a column the table lacks would give stays as it starts, for every
// row: each column's cell sets all that it gives, in every row.
void RowReader::StartTable(const NamedColumns& tableColumns) {
    columns = &tableColumns;
    cells = RowCells();
    star = TableStar();
    given = Gathered();
}

void RowReader::NewRow() {
    cells.NewRow();
    given.broken = false;
}

void RowReader::Read(ColumnRole role, const char* text, std::size_t length) {
    if (IsText(role)) {
        cells.Start(role);
        cells.Append(role, text, length);
        ReadGathered(role);
    } else {
        ReadValue(role, {text, length});
    }
}

// A text becomes the star's at the end of the row, when the buffer holds
// every cell and moves no more; its control bytes (a line break inside a
// quoted CSV field, say) are made spaces now, since a native line is one
// line of text.
void RowReader::ReadGathered(ColumnRole role) {
    if (!IsText(role)) {
        ReadValue(role, cells.Cell(role));
        return;
    }
    char* const text = cells.Text(role);
    const std::size_t length = cells.Cell(role).size();
    if (HasControlBytes(text, length)) {
        std::replace_if(text, text + length, IsControl, ' ');
    }
}

void RowReader::ReadValue(ColumnRole role, std::string_view text) {
    switch (role) {
    case Max:
    case Min: {
        const MarkedNumber number = ReadMarkedNumber(text);
        TableMagnitude& magnitude = role == Max ? star.maximum : star.minimum;
        magnitude.present = number.read == NumberRead::Number;
        magnitude.value = number.value;
        (role == Max ? given.maxLead : given.minLead) = number.lead;
        (role == Max ? given.maxNumberUncertain : given.minNumberUncertain) = number.uncertain;
        given.broken |= number.read == NumberRead::Broken;
        break;
    }
    case MaxLimit:
        given.maxLimit = FirstOf(text, "<>");
        break;
    case MinLimit:
        given.minLimit = FirstOf(text, "<>");
        break;
    case MaxUncertain:
        given.maxColumnUncertain = HasColon(text);
        break;
    case MinUncertain:
        given.minColumnUncertain = HasColon(text);
        break;
    case MinAmplitude:
        given.amplitudeColumn = IsSet(text);
        break;
    case Range:
        given.rangeRead = ReadRange(text, given.rangeMaximum, given.rangeMinimum);
        break;
    case Epoch: {
        const MarkedNumber number = ReadMarkedNumber(text);
        star.epochPresent = number.read == NumberRead::Number;
        given.epochNumberUncertain = number.uncertain;
        given.epoch = number.value;
        given.broken |= number.read == NumberRead::Broken;
        break;
    }
    case EpochUncertain:
        given.epochColumnUncertain = HasColon(text);
        break;
    case Period:
        ReadPeriod(text);
        break;
    case PeriodMark:
        given.periodMark = FirstOf(text, "<>(");
        break;
    case Duration: {
        const MarkedNumber number = ReadMarkedNumber(text);
        const bool written = number.read == NumberRead::Number;
        const std::int64_t whole = written ? TruncatedTo(number.value, 0) : -1;
        const bool readable = written && !number.value.negative && whole <= kMostDurationPercent;
        star.durationPercent = readable ? static_cast<int>(whole) : -1;
        given.broken |=
            number.read == NumberRead::Broken || (number.read == NumberRead::Number && !readable);
        break;
    }
    case VariabilityFlag: {
        // One digit, so that a V magnitude under the same name is no flag.
        const std::string_view flag = Trim(text);
        star.variabilityFlag = flag.size() == 1 ? FirstOf(flag, "0123") : ' ';
        break;
    }
    default:
        ReadPosition(role, text);
        break;
    }
}

// Only the columns of the position form the table has are read.
void RowReader::ReadPosition(ColumnRole role, std::string_view text) {
    const bool split = columns->Position() == PositionForm::Split;
    if (IsSplitPosition(role) != split) {
        return;
    }
    bool readable = true;
    switch (role) {
    case Ra:
        given.raGiven = !IsBlankCell(text);
        readable = !given.raGiven || ReadRa(text, columns->RaIn(), star.raDegrees);
        break;
    case Dec:
        given.decGiven = !IsBlankCell(text);
        readable = !given.decGiven || ReadDec(text, star.decDegrees);
        break;
    case RaHours:
        given.raGiven = !IsBlankCell(text);
        readable = !given.raGiven || (ReadTableNumber(text, given.raHours) == NumberRead::Number &&
                                      !given.raHours.negative);
        break;
    case DecDegrees:
        given.decGiven = !IsBlankCell(text);
        readable = !given.decGiven || ReadTableNumber(text, given.decDegrees) == NumberRead::Number;
        break;
    case RaMinutes:
        readable = SplitPart(text, given.raMinutes);
        break;
    case RaSeconds:
        readable = SplitPart(text, given.raSeconds);
        break;
    case DecMinutes:
        readable = SplitPart(text, given.decMinutes);
        break;
    case DecSeconds:
        readable = SplitPart(text, given.decSeconds);
        break;
    default: // DecSign
        given.decSignNegative = FirstOf(text, "-") == '-';
        break;
    }
    given.broken |= !readable;
}

void RowReader::ReadPeriod(std::string_view text) {
    MarkedNumber number = ReadMarkedNumber(text);
    const bool inDays = number.read != NumberRead::Number || InDays(*columns, number.value);
    given.broken |= number.read == NumberRead::Broken || !inDays;
    star.period.present = number.read == NumberRead::Number && columns->PeriodDaysPerUnit() != 0;
    star.period.days = number.value;
    given.periodNumberUncertain = number.uncertain;
    given.periodLead = number.lead;
}

RowRead RowReader::FinishPosition() {
    if (!given.raGiven || !given.decGiven) {
        return RowRead::NoPosition;
    }
    if (given.broken) {
        return RowRead::BrokenNumber;
    }
    if (columns->Position() == PositionForm::Split) {
        const double raSeconds =
            ToDouble(given.raHours) * kSecondsPerUnit + given.raMinutes * kSixty + given.raSeconds;
        star.raDegrees = raSeconds / kTimeSecondsPerDegree;
        const double decSeconds = std::fabs(ToDouble(given.decDegrees)) * kSecondsPerUnit +
                                  given.decMinutes * kSixty + given.decSeconds;
        const bool negative = given.decDegrees.negative || given.decSignNegative;
        star.decDegrees = (negative ? -decSeconds : decSeconds) / kSecondsPerUnit;
    }
    const bool onSky =
        star.raDegrees >= 0 && star.raDegrees < kFullCircle && std::fabs(star.decDegrees) <= kPole;
    return onSky ? RowRead::Star : RowRead::BrokenNumber;
}

// A limit column's mark, else one written before the value; a range that
// reads gives both magnitudes (a column called Range that holds something
// else leaves them to the magnitude columns).
void RowReader::FinishMagnitudes() {
    const auto limitOf = [](char column, char lead) {
        return column != ' ' ? column : lead == '<' || lead == '>' ? lead : ' ';
    };
    star.maximum.limit = limitOf(given.maxLimit, given.maxLead);
    star.minimum.limit = limitOf(given.minLimit, given.minLead);
    star.maximum.uncertain = given.maxNumberUncertain || given.maxColumnUncertain;
    star.minimum.uncertain = given.minNumberUncertain || given.minColumnUncertain;
    star.maximum.amplitude = false;
    star.minimum.amplitude = given.amplitudeColumn || given.minLead == '(';
    if (given.rangeRead) {
        for (const auto& [range, magnitude] : {std::pair{&given.rangeMaximum, &star.maximum},
                                               std::pair{&given.rangeMinimum, &star.minimum}}) {
            magnitude->present = range->present;
            magnitude->value = range->value;
            magnitude->limit = range->limit;
            magnitude->uncertain = range->uncertain;
            magnitude->amplitude = false;
        }
    }
    star.maximum.band = TextOf(MaxBand);
    star.minimum.band = TextOf(MinBand);
}

std::string_view RowReader::TextOf(ColumnRole role) const {
    return Trim(cells.Cell(role));
}

RowRead RowReader::Finish() {
    const RowRead position = FinishPosition();
    if (position != RowRead::Star) {
        return position;
    }
    FinishMagnitudes();
    const double epoch = ToDouble(given.epoch);
    star.epochJd = !star.epochPresent                          ? 0
                   : columns->EpochIn() == EpochForm::Modified ? epoch + ERFA_DJM0
                   : epoch >= kFullJdFrom                      ? epoch
                                                               : epoch + kReducedJdZero;
    star.period.mark = given.periodMark != ' ' ? given.periodMark : given.periodLead;
    star.period.flags = TextOf(PeriodFlags);
    star.period.uncertain = given.periodNumberUncertain || HasColon(star.period.flags);
    star.epochUncertain = given.epochNumberUncertain || given.epochColumnUncertain;
    star.name = TextOf(Name);
    star.type = TextOf(Type);
    star.spectralType = TextOf(SpectralType);
    star.description = TextOf(Description);
    return RowRead::Star;
}

} // namespace lumara::import
