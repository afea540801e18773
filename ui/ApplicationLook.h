// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What the program and the snapshot tool share: the program's name, icon and
// widget style.
#pragma once

#include <QIcon>

// Names the application after its executable file without folder and
// extension (message boxes carry that name), and sets style and icon.
void ApplyApplicationLook(const char* programPath);

QIcon MainIcon();
