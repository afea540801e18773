// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The About box: the icon, the program's name and version, and who made it.
#pragma once

#include "DialogFramework.h"

class CAboutDlg : public CDialog {
    Q_OBJECT
public:
    CAboutDlg(UserDialogs& dialogs, QWidget* owner);

protected:
    void DoDataExchange(CDataExchange&) override {}
};
