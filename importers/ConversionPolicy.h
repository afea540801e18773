// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// How a star read from a published catalogue is written as a native line:
// every rule about what does not fit the 75 columns lives here, the same for
// every source layout.
#pragma once

#include <cstddef>
#include <cstdint>

#include "FixedField.h"
#include "Import.h"
#include "LineFormat.h"
#include "StarDetails.h"

namespace lumara::import {

// Written for a star whose type is blank: the native line needs one, and
// this is the catalogues' own word for an unclassified variable.
inline constexpr char kUnknownType[] = "VAR";
// Marks where a shortened name or type was cut.
inline constexpr char kCutMark = '~';
// A shortened name that is no coordinate name keeps this many characters of
// its head and the rest of its tail.
inline constexpr std::size_t kNameHeadChars = 2;
// Coordinate names keep this many digits of R.A. and of declination.
inline constexpr std::size_t kNameRaDigits = 6;
inline constexpr std::size_t kNameDecDigits = 4;
// Names with coordinates in decimal degrees (`ATO J302.3604+14.4949`) have
// up to this many whole degrees of R.A. and of declination, and keep this
// many of their decimals: `302.36+14.4`.
inline constexpr std::size_t kDegreeNameRaWhole = 3;
inline constexpr std::size_t kDegreeNameRaDecimals = 2;
inline constexpr std::size_t kDegreeNameDecWhole = 2;
inline constexpr std::size_t kDegreeNameDecDecimals = 1;
static_assert(kDegreeNameRaWhole + 1 + kDegreeNameRaDecimals + 1 + kDegreeNameDecWhole + 1 +
                  kDegreeNameDecDecimals ==
              format::kNameChars);
// Magnitudes are written in hundredths, from 0.01 to 99.99.
inline constexpr int kMagnitudeDecimals = 2;
inline constexpr std::int64_t kBrightestMagnitude = 1;
inline constexpr std::int64_t kMagnitudeLimit = 10000;
// Periods are written to four decimals below 10 000 days, in whole
// thousands (the K form) up to 9999 thousand.
inline constexpr std::int64_t kPeriodDecimalUnit = 10000;
inline constexpr std::int64_t kThousandsFrom = 10000 * kPeriodDecimalUnit;
inline constexpr std::int64_t kThousandUnits = 1000 * kPeriodDecimalUnit;
inline constexpr std::int64_t kMaxThousands = 9999;

// The marks that make a magnitude a limit.
inline bool IsLimitMark(char c) {
    return c == '<' || c == '>';
}

struct SourceMagnitude {
    bool present = false;
    Decimal value;
    char limit = ' ';       // '<' or '>' when the value is a limit
    bool uncertain = false; // ':'
    bool amplitude = false; // the value is an amplitude, to add to the maximum
};

// One star as a source layout gives it, before any of the policy applies.
struct SourceStar {
    int raHours = 0;
    int raMinutes = 0;
    bool decNegative = false;
    int decDegrees = 0; // whole degrees, truncated toward zero
    char component = ' ';
    Field name{};
    Field type{};
    SourceMagnitude maximum;
    SourceMagnitude minimum;
    bool periodPresent = false;
    Decimal period;
    Field declination{}; // as the source writes it, for the list of changes
    // The value whose uncertainty or limit mark the line cannot hold, with
    // its marks; empty when there is none.
    Field markedValue{};
    // The source's description as written, when the line's columns cut it.
    Field cutDescription{};
    char description[format::kDescChars] = {}; // descriptionChars of them written
    std::size_t descriptionChars = 0;

    // What the native line cannot hold, kept beside it; none of it ever
    // makes a line unreadable.
    double raDeg = 0.0; // J2000, at the source's precision
    double decDeg = 0.0;
    double epochJd = 0.0;   // a full Julian date; 0 for none
    char periodLimit = ' '; // '<', '>' or '('
    bool periodUncertain = false;
    char periodNote[3] = {};
    int durationPercent = -1;
    bool secondaryMinimum = false;
};

// Sets the description to `text` without the white space around it, cut to
// the line's columns when longer.
void SetDescription(Field text, SourceStar& star);

// GCVS writes epochs less this.
inline constexpr double kShortEpochBase = 2400000.0;
// Epochs below this are written less kShortEpochBase.
inline constexpr double kLeastFullEpoch = 1000000.0;

// The full Julian date of an epoch as a layout writes it, full or less
// kShortEpochBase; 0 for none (nothing read, or not above 0).
double FullEpoch(NumberRead read, const Decimal& written);

// Keeps the period's notes as the source wrote them: up to two characters
// of those that are no blank and no uncertainty mark.
void KeepPeriodNote(Field marks, SourceStar& star);

// Writes `star` as a native line of format::kStoredLineChars characters and a
// terminator and counts what it changed, adding each change to `changes` when
// given. False, writing nothing useful, when the star has no readable name.
bool WriteNativeLine(const SourceStar& star, char* native, ImportReport& report,
                     ChangeList* changes = nullptr);

// What `star` says beyond its native line. The texts are views into the
// source line.
void DescribeSource(const SourceStar& star, StarDetails& details);

// The name as written in the native line's 11 columns; returns whether it
// had to be shortened. Exposed for the tests.
bool ShortenName(Field name, char (&out)[format::kNameChars + 1]);
bool ShortenType(Field type, char (&out)[format::kTypeChars + 1]);

} // namespace lumara::import
