// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// VOTable 1.x with its rows in TABLEDATA, read with expat as it streams.
#pragma once

#include <expat.h>

#include <string>
#include <vector>

#include "TableReader.h"

namespace lumara::import {

// Limits of the XML, each an error when passed.
inline constexpr int kMaxXmlDepth = 64;
// Bytes expat may hold without reporting anything: a tag, a comment or a
// name that long is no table's.
inline constexpr std::size_t kMaxXmlTokenBytes = std::size_t{1} << 20;

// Every TABLE's FIELDs give its columns (by name, else by UCD; a FIELD's
// VALUES null="..." is a null like an empty TD). Rows in BINARY, BINARY2 or
// FITS are refused, and so are positions whose COOSYS is neither ICRS nor
// FK5 at equinox J2000. A document declared ISO-8859-1 gives its texts in
// that encoding again, as Lumara's own export writes them.
class VoTableReader final : public TableReader {
public:
    explicit VoTableReader(TableRowHandler handler);
    ~VoTableReader() override;

private:
    struct FieldDetails {
        std::string ref;  // the COOSYS it refers to
        std::string null; // the text that stands for no value
        bool hasNull = false;
    };
    struct CoordinateSystem {
        std::string id;
        std::string description; // for the message
        bool readable = false;
    };

    void Read(const char* bytes, std::size_t length) override;
    void End() override;

    void Parse(const char* bytes, std::size_t length, bool last);
    void Start(const char* name, const char** attributes);
    void Finish(const char* name);
    void Text(const char* text, int length);
    void CoordinateSystemElement(const char** attributes);
    void StartRows();
    bool PositionSystemReadable(std::string& problem) const;
    void EndCell();

    static void XMLCALL OnStart(void* reader, const XML_Char* name, const XML_Char** attributes);
    static void XMLCALL OnEnd(void* reader, const XML_Char* name);
    static void XMLCALL OnText(void* reader, const XML_Char* text, int length);
    static void XMLCALL OnDeclaration(void* reader, const XML_Char* version,
                                      const XML_Char* encoding, int standalone);

    XML_Parser parser;
    std::int64_t fed = 0;      // bytes given to expat
    std::int64_t reported = 0; // where expat last reported something
    int depth = 0;
    bool latin1 = false;
    bool root = true;
    bool inTable = false;
    bool inField = false;
    bool inRows = false;
    bool inCell = false;
    ColumnRole cellRole = ColumnRole::None;
    std::size_t column = 0;
    std::vector<ColumnHeading> headings;
    std::vector<FieldDetails> fields;
    std::vector<CoordinateSystem> systems;
};

} // namespace lumara::import
