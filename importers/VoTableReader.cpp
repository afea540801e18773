// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "VoTableReader.h"

#include <strings.h>

#include <algorithm>
#include <cstring>
#include <string_view>

namespace lumara::import {

namespace {

// Expat is fed in pieces of this size, so that a long run of bytes it holds
// back is noticed while it is still short.
constexpr std::size_t kPieceBytes = std::size_t{64} << 10;
constexpr std::string_view kSerialisations[] = {"BINARY", "BINARY2", "FITS"};
constexpr char kLatin1[] = "ISO-8859-1";
// UTF-8 writes U+0080 to U+00FF as one of these lead bytes and a
// continuation byte.
constexpr unsigned char kLatin1Leads[] = {0xC2, 0xC3};
constexpr unsigned kLeadBits = 0x03;
constexpr unsigned kContinuationBits = 0x3F;
constexpr unsigned kContinuationMark = 0x80;
constexpr unsigned kContinuationMask = 0xC0;
constexpr int kBitsPerContinuation = 6;

// The VOTable's defaults: a COOSYS without a system is FK5, without an
// equinox J2000.
constexpr std::string_view kDefaultSystem = "eq_FK5";
constexpr std::string_view kIcrs = "ICRS";
constexpr double kJ2000 = 2000;

// The element's name without a namespace prefix.
std::string_view LocalName(const char* name) {
    const char* colon = std::strrchr(name, ':');
    return colon != nullptr ? colon + 1 : name;
}

const char* Attribute(const char** attributes, const char* name) {
    for (; attributes[0] != nullptr; attributes += 2) {
        if (LocalName(attributes[0]) == name) {
            return attributes[1];
        }
    }
    return nullptr;
}

std::string AttributeText(const char** attributes, const char* name) {
    const char* value = Attribute(attributes, name);
    return value != nullptr ? value : "";
}

// J2000, 2000 or 2000.0, say.
bool IsJ2000(std::string_view equinox) {
    if (!equinox.empty() && equinox.front() == 'J') {
        equinox.remove_prefix(1);
    }
    Decimal year;
    return ReadTableNumber(equinox, year) == NumberRead::Number && !year.negative &&
           year.scaled == static_cast<std::int64_t>(kJ2000) * kPowersOfTen[year.scale];
}

// Texts of a document declared ISO-8859-1 back in that encoding: expat
// gives every text in UTF-8. Returns the new length.
std::size_t ToLatin1(char* text, std::size_t length) {
    std::size_t out = 0;
    for (std::size_t at = 0; at < length; ++at) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const bool pair =
            at + 1 < length &&
            std::find(std::begin(kLatin1Leads), std::end(kLatin1Leads), lead) !=
                std::end(kLatin1Leads) &&
            (static_cast<unsigned char>(text[at + 1]) & kContinuationMask) == kContinuationMark;
        if (pair) {
            const auto next = static_cast<unsigned char>(text[++at]);
            text[out++] = static_cast<char>(((lead & kLeadBits) << kBitsPerContinuation) |
                                            (next & kContinuationBits));
        } else {
            text[out++] = text[at];
        }
    }
    return out;
}

} // namespace

VoTableReader::VoTableReader(TableRowHandler handler)
    : TableReader("VOTable", std::move(handler)), parser(XML_ParserCreate(nullptr)) {
    if (parser == nullptr) {
        Fail("No memory for the XML parser.");
        return;
    }
    XML_SetUserData(parser, this);
    XML_SetElementHandler(parser, OnStart, OnEnd);
    XML_SetCharacterDataHandler(parser, OnText);
    XML_SetXmlDeclHandler(parser, OnDeclaration);
}

VoTableReader::~VoTableReader() {
    if (parser != nullptr) {
        XML_ParserFree(parser);
    }
}

void VoTableReader::Read(const char* bytes, std::size_t length) {
    for (std::size_t at = 0; at < length && !Failed(); at += kPieceBytes) {
        Parse(bytes + at, std::min(kPieceBytes, length - at), false);
    }
}

void VoTableReader::End() {
    Parse(nullptr, 0, true);
}

void VoTableReader::Parse(const char* bytes, std::size_t length, bool last) {
    if (XML_Parse(parser, bytes, static_cast<int>(length), last ? XML_TRUE : XML_FALSE) ==
        XML_STATUS_ERROR) {
        Fail("The VOTable is not well-formed XML: " +
             std::string(XML_ErrorString(XML_GetErrorCode(parser))) + " at line " +
             std::to_string(XML_GetCurrentLineNumber(parser)) + ", column " +
             std::to_string(XML_GetCurrentColumnNumber(parser)) + ".");
        return;
    }
    fed += static_cast<std::int64_t>(length);
    if (fed - reported > static_cast<std::int64_t>(kMaxXmlTokenBytes)) {
        Fail("The VOTable has a tag, comment or name longer than " +
             std::to_string(kMaxXmlTokenBytes) + " bytes.");
    }
}

void VoTableReader::Start(const char* name, const char** attributes) {
    const std::string_view element = LocalName(name);
    if (++depth > kMaxXmlDepth) {
        Fail("The XML is nested deeper than " + std::to_string(kMaxXmlDepth) + " elements.");
        return;
    }
    if (root) {
        root = false;
        if (element != "VOTABLE") {
            Fail("The XML document is not a VOTable: its root element is " + std::string(element) +
                 ".");
        }
        return;
    }
    if (element == "TD" && inRows) {
        inCell = true;
        cellRole = RoleOf(column);
        if (cellRole != ColumnRole::None) {
            Cells().Start(cellRole);
        }
    } else if (element == "TR" && inRows) {
        column = 0;
    } else if (element == "FIELD" && inTable && !inRows) {
        if (headings.size() == kMaxColumns) {
            Fail("The table has more than " + std::to_string(kMaxColumns) + " FIELDs.");
            return;
        }
        headings.push_back({AttributeText(attributes, "name"), AttributeText(attributes, "unit"),
                            AttributeText(attributes, "ucd")});
        fields.push_back({AttributeText(attributes, "ref"), {}, false});
        inField = true;
    } else if (element == "VALUES" && inField) {
        const char* null = Attribute(attributes, "null");
        fields.back().hasNull = null != nullptr;
        fields.back().null = null != nullptr ? null : "";
    } else if (element == "TABLE") {
        // A TABLE even where none belongs starts afresh: nothing read
        // before it counts for its FIELDs and rows.
        inTable = true;
        inField = false;
        inRows = false;
        inCell = false;
        headings.clear();
        fields.clear();
    } else if (element == "COOSYS") {
        CoordinateSystemElement(attributes);
    } else if (element == "TABLEDATA" && inTable) {
        StartRows();
    } else if (std::find(std::begin(kSerialisations), std::end(kSerialisations), element) !=
               std::end(kSerialisations)) {
        Fail("The VOTable's rows are in its " + std::string(element) +
             " serialisation; only TABLEDATA is read. Save the table with TABLEDATA rows.");
    }
}

void VoTableReader::Finish(const char* name) {
    const std::string_view element = LocalName(name);
    --depth;
    if (element == "TD" && inCell) {
        EndCell();
    } else if (element == "TR" && inRows) {
        EndRow(column);
    } else if (element == "TABLEDATA") {
        inRows = false;
    } else if (element == "FIELD") {
        inField = false;
    } else if (element == "TABLE") {
        inTable = false;
    }
}

void VoTableReader::Text(const char* text, int length) {
    if (inCell && cellRole != ColumnRole::None &&
        !Cells().Append(cellRole, text, static_cast<std::size_t>(length))) {
        Fail("A TD is longer than " + std::to_string(kMaxCellBytes) + " bytes (row " +
             std::to_string(Rows() + 1) + ").");
    }
}

void VoTableReader::EndCell() {
    inCell = false;
    if (cellRole != ColumnRole::None) {
        if (latin1) {
            Cells().Shrink(cellRole,
                           ToLatin1(Cells().Text(cellRole), Cells().Cell(cellRole).size()));
        }
        if (fields[column].hasNull && Cells().Cell(cellRole) == fields[column].null) {
            Cells().Shrink(cellRole, 0);
        }
        ReadGatheredCell(cellRole);
    }
    if (++column > kMaxColumns) {
        Fail("A row has more than " + std::to_string(kMaxColumns) + " TDs (row " +
             std::to_string(Rows() + 1) + ").");
    }
}

void VoTableReader::CoordinateSystemElement(const char** attributes) {
    CoordinateSystem system;
    system.id = AttributeText(attributes, "ID");
    const char* kind = Attribute(attributes, "system");
    const std::string_view name = kind != nullptr ? kind : kDefaultSystem;
    const std::string equinox = AttributeText(attributes, "equinox");
    system.readable =
        name == kIcrs || (name == kDefaultSystem && (equinox.empty() || IsJ2000(equinox)));
    system.description = std::string(name) + (equinox.empty() ? "" : " equinox " + equinox);
    systems.push_back(std::move(system));
}

// The system of the position columns: the COOSYS a column refers to, and
// for a column that refers to none, every COOSYS of the document.
bool VoTableReader::PositionSystemReadable(std::string& problem) const {
    NamedColumns columns;
    columns.Assign(headings);
    for (const ColumnRole role :
         {ColumnRole::Ra, ColumnRole::Dec, ColumnRole::RaHours, ColumnRole::DecDegrees}) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (columns.RoleOf(i) != role) {
                continue;
            }
            for (const CoordinateSystem& system : systems) {
                if ((fields[i].ref.empty() || fields[i].ref == system.id) && !system.readable) {
                    problem = system.description;
                    return false;
                }
            }
        }
    }
    return true;
}

void VoTableReader::StartRows() {
    std::string problem;
    if (!PositionSystemReadable(problem)) {
        Fail("The table's positions are in the coordinate system " + problem +
             "; only ICRS and FK5 J2000 positions are read, none is converted.");
        return;
    }
    StartTable(headings);
    inRows = true;
}

void XMLCALL VoTableReader::OnStart(void* reader, const XML_Char* name,
                                    const XML_Char** attributes) {
    auto& self = *static_cast<VoTableReader*>(reader);
    self.reported = XML_GetCurrentByteIndex(self.parser);
    self.Start(name, attributes);
    if (self.Failed()) {
        XML_StopParser(self.parser, XML_FALSE);
    }
}

void XMLCALL VoTableReader::OnEnd(void* reader, const XML_Char* name) {
    auto& self = *static_cast<VoTableReader*>(reader);
    self.reported = XML_GetCurrentByteIndex(self.parser);
    self.Finish(name);
    if (self.Failed()) {
        XML_StopParser(self.parser, XML_FALSE);
    }
}

void XMLCALL VoTableReader::OnText(void* reader, const XML_Char* text, int length) {
    auto& self = *static_cast<VoTableReader*>(reader);
    self.reported = XML_GetCurrentByteIndex(self.parser);
    self.Text(text, length);
    if (self.Failed()) {
        XML_StopParser(self.parser, XML_FALSE);
    }
}

void XMLCALL VoTableReader::OnDeclaration(void* reader, const XML_Char*, const XML_Char* encoding,
                                          int) {
    auto& self = *static_cast<VoTableReader*>(reader);
    self.latin1 = encoding != nullptr && strcasecmp(encoding, kLatin1) == 0;
}

} // namespace lumara::import
