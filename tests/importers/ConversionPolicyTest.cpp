// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// The edges of the conversion policy, one VSX line per case: truncation of
// positions, rounding of magnitudes and periods at the line's limits, and
// shortened names and types.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ConversionPolicy.h"
#include "FixedField.h"
#include "Import.h"

using namespace lumara::import;

namespace {

struct VsxFields {
    const char* name = "Star1";
    const char* ra = "10.00000";
    const char* dec = "10.00000";
    const char* max = "";
    const char* min = "";
    const char* period = "";
};

// Puts text right-aligned in bytes first..last (counted from 1).
void PutRight(std::string& line, std::size_t first, std::size_t last, const std::string& text) {
    line.replace(last - text.size(), text.size(), text);
    ASSERT_GE(last - text.size() + 1, first);
}

std::string VsxLine(const VsxFields& fields) {
    std::string line(158, ' ');
    PutRight(line, 1, 7, "42");
    line.replace(8, std::strlen(fields.name), fields.name);
    line[39] = '0';
    PutRight(line, 42, 50, fields.ra);
    PutRight(line, 52, 60, fields.dec);
    line.replace(61, 2, "EA");
    PutRight(line, 95, 100, fields.max);
    PutRight(line, 111, 116, fields.min);
    PutRight(line, 140, 155, fields.period);
    return line;
}

std::string Converted(const VsxFields& fields, ImportReport& report,
                      ChangeList* changes = nullptr) {
    const std::string line = VsxLine(fields);
    char native[lumara::format::kStoredLineChars + 1];
    if (!ConvertLine(CatalogueFormat::Vsx, line.c_str(), line.size(), native, report, nullptr,
                     changes)) {
        return "skipped";
    }
    return native;
}

TEST(ConversionPolicyTest, PositionsAreTruncatedNeverRoundedUp) {
    const struct {
        const char* ra;
        const char* dec;
        const char* written; // columns 0-6
    } cases[] = {
        {"359.99999", "89.99999", "2359+89"}, {"14.99999", "-0.00001", "0059-00"},
        {"15.00000", "-1.00000", "0100-01"},  {"0.24999", "-0.00000", "0000+00"},
        {"0.25", "-90", "0001-90"},           {"180", "0.99999", "1200+00"},
    };
    for (const auto& c : cases) {
        ImportReport report;
        const std::string native = Converted({.ra = c.ra, .dec = c.dec}, report);
        EXPECT_EQ(native.substr(0, 7), c.written) << c.ra << " " << c.dec;
        EXPECT_EQ(report.Changed(Change::DecMinusZero),
                  c.written[4] == '-' && c.written[6] == '0' && c.written[5] == '0')
            << c.dec;
    }
    for (const char* ra : {"360.00000", "-0.00001", "1e2"}) {
        ImportReport report;
        EXPECT_EQ(Converted({.ra = ra}, report), "skipped") << ra;
        EXPECT_EQ(report.Skipped(SkipReason::BrokenNumber), 1) << ra;
    }
}

TEST(ConversionPolicyTest, MagnitudesAreRoundedToTheLinesTwoDecimals) {
    const struct {
        const char* max;
        const char* min;
        const char* range; // columns 32-45
        Change counted;
    } cases[] = {
        {"9.995", "10.004", "  10.00 -10.00 ", Change::MagnitudeRounded},
        {"0.005", "99.994", "   0.01 -99.99 ", Change::MagnitudeRounded},
        {"0.004", "", "   0.01        ", Change::MagnitudeRaised},
        {"-1.46", "0", "   0.01 - 0.01 ", Change::MagnitudeRaised},
        {"12.0", "99.995", "  12.00        ", Change::MagnitudeDropped},
    };
    for (const auto& c : cases) {
        ImportReport report;
        const std::string native = Converted({.max = c.max, .min = c.min}, report);
        EXPECT_EQ(native.substr(31, 15), c.range) << c.max << " " << c.min;
        EXPECT_GE(report.Changed(c.counted), 1) << c.max << " " << c.min;
    }
}

TEST(ConversionPolicyTest, PeriodsKeepFourDecimalsBelowTenThousandDaysAndThousandsAbove) {
    const struct {
        const char* period;
        const char* written; // columns 46-54
    } cases[] = {
        {"9999.9999400000", "9999.9999"},
        {"9999.9999500000", "  10K    "},
        {"9999499.9", "9999K    "},
        {"9999500", "         "},
        {"0.0000400000", "         "},
        {"0.0000500000", "   0.0001"},
        {"-3.5", "         "},
        {"365", " 365.    "},
    };
    for (const auto& c : cases) {
        ImportReport report;
        EXPECT_EQ(Converted({.period = c.period}, report).substr(46, 9), c.written) << c.period;
    }
}

TEST(ConversionPolicyTest, LongNamesKeepWhatTellsThemApart) {
    const struct {
        const char* name;
        const char* written;
    } cases[] = {
        {"  R And  ", "R And"},
        {"ABCDEFGHIJK", "ABCDEFGHIJK"},
        {"ASASSN-V J054134.00+052231.4", "054134+0522"},
        {"2MASS J19401234-0012345", "194012-0012"},
        {"CSS_J001122.3+334455", "001122+3344"},
        {"NSVS 12345678", "NS~12345678"},
        {"XYZ J1234-5678", "XY~234-5678"},   // too few R.A. digits for coordinates
        {"HIJ123456+123456", "HI~6+123456"}, // a J inside a word is no coordinate
        // Decimal degrees keep their points, so they cannot read as hours.
        {"ATO J302.3604+14.4949", "302.36+14.4"},
        {"ATO J000.0012-05.0007", "000.00-05.0"},
        {"ATO J359.9999+89", "359.99+89"},
        {"SURVEY NAME J7.5-3.25", "7.5-3.2"},
        {"PKS J1234.5+1234.5", "PK~5+1234.5"}, // four whole digits: no degrees
    };
    for (const auto& c : cases) {
        char out[lumara::format::kNameChars + 1];
        const std::string name = c.name;
        const bool shortened = ShortenName(Field{name.data(), name.size()}, out);
        EXPECT_STREQ(out, c.written) << c.name;
        EXPECT_EQ(shortened, Trimmed(Field{name.data(), name.size()}).width > 11) << c.name;
    }
}

// Each form of name is a kind of change of its own in the import's report.
TEST(ConversionPolicyTest, NamesInDegreesAreCountedApart) {
    const struct {
        const char* name;
        std::int64_t shortened;
        std::int64_t inDegrees;
    } cases[] = {
        {"ATO J302.3604+14.4949", 0, 1},
        {"ASASSN-V J054134.00+052231.4", 1, 0},
        {"NSVS 12345678", 1, 0},
        {"V1234 Sgr", 0, 0},
    };
    for (const auto& c : cases) {
        ImportReport report;
        EXPECT_NE(Converted({.name = c.name}, report), "skipped") << c.name;
        EXPECT_EQ(report.Changed(Change::NameShortened), c.shortened) << c.name;
        EXPECT_EQ(report.Changed(Change::NameInDegrees), c.inDegrees) << c.name;
    }
}

// Whoever asks is told which star changed, how, and from what value, in the
// order the line is written.
TEST(ConversionPolicyTest, EachChangeIsListedWithTheSourceValue) {
    ImportReport report;
    ChangeList changes;
    Converted({.name = "ATO J302.3604+14.4949",
               .dec = "-0.51234",
               .max = "-1.46",
               .min = "12.345",
               .period = "12345.6"},
              report, &changes);
    const std::string star = "ATO J302.3604+14.4949\t";
    EXPECT_EQ(changes.Text(),
              star + "name shortened to degrees\tATO J302.3604+14.4949\n" + star +
                  "declination -00\t-0.51234\n" + star + "magnitude raised to 0.01\t-1.46\n" +
                  star + "magnitude rounded\t12.345\n" + star + "period in thousands\t12345.6\n");
    EXPECT_TRUE(changes.Complete());

    // Without a list, the same counts.
    ImportReport unlisted;
    Converted({.name = "ATO J302.3604+14.4949",
               .dec = "-0.51234",
               .max = "-1.46",
               .min = "12.345",
               .period = "12345.6"},
              unlisted);
    for (std::size_t i = 0; i < kChanges; ++i) {
        EXPECT_EQ(unlisted.changes[i], report.changes[i]) << i;
    }
}

TEST(ConversionPolicyTest, LongTypesKeepTheirLeadingComponents) {
    const struct {
        const char* type;
        const char* written;
    } cases[] = {
        {"EA/GS+ELL", "EA/GS~"},
        {"EA+GDOR+BY", "EA+GDOR~"},
        {"ROTATIONAL", "ROTATIO~"},
        {"SR|L|M+E", "SR|L|M+E"},
    };
    for (const auto& c : cases) {
        char out[lumara::format::kTypeChars + 1];
        const std::string type = c.type;
        ShortenType(Field{type.data(), type.size()}, out);
        EXPECT_STREQ(out, c.written) << c.type;
    }
}

TEST(ConversionPolicyTest, NumbersReadOnlyWhenWellFormed) {
    const struct {
        const char* text;
        NumberRead read;
    } cases[] = {
        {"   ", NumberRead::Blank},
        {" -0.5 ", NumberRead::Number},
        {"12.", NumberRead::Number},
        {".5", NumberRead::Number},
        {"1.2.3", NumberRead::Broken},
        {"+", NumberRead::Broken},
        {".", NumberRead::Broken},
        {"1 2", NumberRead::Broken},
        {"--1", NumberRead::Broken},
        {"1234567890", NumberRead::Broken},
        {"0.123456789012345678", NumberRead::Broken},
    };
    for (const auto& c : cases) {
        const std::string text = c.text;
        Decimal number;
        EXPECT_EQ(ReadDecimal(Field{text.data(), text.size()}, number), c.read) << c.text;
    }
}

// The layouts' F format is read without the general reader; every field, in
// that form or not, must read exactly as the general reader reads it.
TEST(ConversionPolicyTest, FixedFormNumbersReadAsTheGeneralReaderReadsThem) {
    const char* const fields[] = {
        "328.22465", " 54.28519", "-32.63947", "  0.00001",        "-00.00000",
        "   .12345", "  -.12345", "+12.34567", "1234.5678",        "12 .34567",
        " 1-2.3456", "--1.23456", " 12.3456 ", " 12.34a67",        "\t12.34567",
        "  +-.1234", " 12,34567", "         ", "1234567890.12345", "123456789012.12345",
        "1.",        ".12345",
    };
    for (const char* text : fields) {
        const Field field{text, std::strlen(text)};
        Decimal general;
        Decimal fixed;
        const NumberRead expected = ReadDecimal(field, general);
        EXPECT_EQ(ReadFixedDecimal<5>(field, fixed), expected) << text;
        if (expected == NumberRead::Number) {
            EXPECT_EQ(fixed.scaled, general.scaled) << text;
            EXPECT_EQ(fixed.scale, general.scale) << text;
            EXPECT_EQ(fixed.negative, general.negative) << text;
        }
    }
}

} // namespace
