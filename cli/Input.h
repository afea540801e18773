// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The catalogue a command reads: a file, a pipe, or standard input.
#pragma once

#include <string>

#include "CatalogueFile.h"

namespace lumara::cli {

class Input {
public:
    // Standard input for "-"; any other path as the window opens a catalogue.
    // False when it cannot be read.
    bool Open(const std::string& path);
    int Descriptor() const;
    // For messages: the path, or "standard input".
    const std::string& Name() const { return name; }
    // Why Open failed.
    const std::string& Problem() const;

private:
    bool fromStandardInput = false;
    std::string name;
    std::string standardInputProblem;
    CatalogueFile file;
};

} // namespace lumara::cli
