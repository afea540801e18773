// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "AboutDlg.h"

#include "ApplicationLook.h"
#include "Resource.h"
#include "Version.h"

#include <QPushButton>

namespace {
constexpr QSize kAboutUnits{235, 73};

constexpr ControlTemplate kAboutTemplate[] = {
    {IDC_STATIC, ControlKind::Icon, "", {7, 7, 21, 20}, 0},
    {IDC_STATIC, ControlKind::Label, "Lumara Version " LUMARA_SHORT_VERSION, {42, 22, 119, 8}, 0},
    {IDC_STATIC, ControlKind::Label, "Copyright (C) the Lumara developers", {42, 34, 119, 8}, 0},
    {IDOK, ControlKind::PushButton, "OK", {178, 7, 50, 13}, kDefaultButton},
    {IDC_STATIC, ControlKind::Label, "No web site yet: see README.md", {42, 46, 119, 8}, 0},
};
} // namespace

CAboutDlg::CAboutDlg(UserDialogs& dialogs, QWidget* owner)
    : CDialog(dialogs, kAboutUnits, QStringLiteral("About Lumara"), DialogFrame::Fixed, owner) {
    setWindowIcon(MainIcon());
    CreateControls(kAboutTemplate);
    connect(qobject_cast<QPushButton*>(GetDlgItem(IDOK)), &QPushButton::clicked, this,
            &CAboutDlg::OnOK);
}
