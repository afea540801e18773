// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The few places where the library asks the system for something that
// almost never fails: a temporary file and its name, fsync, rename, a
// buffer, a thread.
// Tests make them fail on purpose here to see that each failure is reported
// and loses nothing; without a hook each check is one load of a pointer.
#pragma once

#include <cstddef>
#include <memory>

namespace lumara {

enum class FaultPoint {
    NamedTemporaryFile, // creating the named temporary file an export is written to
    Fsync,              // making an export durable before it replaces the old file
    Rename,             // putting a finished export in place
    ExportBuffer,       // the buffer a batch of an export is formatted in
    LoadBuffer,         // the block a catalogue is read through
    Thread,             // starting a helper thread
    // Creating the unnamed file an export is written to first. A failure here
    // reads as a folder that refuses unnamed files: the named temporary file
    // is tried instead.
    UnnamedTemporaryFile,
    // Naming the finished unnamed file, just before it replaces the old one.
    LinkTemporaryFile,
};

// Returns true when the call at `point` is to fail. Called from any thread.
using FaultHook = bool (*)(FaultPoint point);

// Installs `hook` (nullptr for none) and returns the one it replaces.
FaultHook SetFaultHook(FaultHook hook);

// Whether the installed hook wants the call at `point` to fail.
bool FaultInjected(FaultPoint point);

// A buffer of `bytes` for the work at `point`, or nullptr when memory runs
// out.
std::unique_ptr<char[]> AllocateBuffer(std::size_t bytes, FaultPoint point);

} // namespace lumara
