// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The catalogue a command reads: a file, a pipe, or standard input.
#pragma once

#include <string>

namespace lumara::cli {

class Input {
public:
    Input() = default;
    ~Input();
    Input(const Input&) = delete;
    Input& operator=(const Input&) = delete;

    // Standard input for "-". As when the window loads a catalogue, only
    // regular files and pipes are opened: a device could never end. False
    // when the file cannot be opened.
    bool Open(const std::string& path);
    int Descriptor() const { return descriptor; }
    // For messages: the path, or "standard input".
    const std::string& Name() const { return name; }
    // Why Open failed.
    const std::string& Problem() const { return problem; }

private:
    bool Failed(const char* why);

    int descriptor = -1;
    bool owned = false;
    std::string name;
    std::string problem;
};

} // namespace lumara::cli
