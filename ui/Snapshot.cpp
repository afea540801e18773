// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Renders the search window to a PNG file after loading a catalogue and
// searching it in ascending order, so the window can be looked at without
// running it: lumara-snapshot CATALOGUE PICTURE

#include "ApplicationLook.h"
#include "LumaraGUIDlg.h"
#include "Resource.h"
#include "UserDialogs.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <cstdio>

namespace {
constexpr int kExpectedArguments = 3;
}

int main(int argc, char** argv) {
    if (argc != kExpectedArguments) {
        std::fprintf(stderr, "usage: %s CATALOGUE PICTURE.png\n", argv[0]);
        return 2;
    }
    QApplication application(argc, argv);
    ApplyApplicationLook("Lumara");

    ScriptedUserDialogs dialogs;
    dialogs.AnswerWith(QString::fromLocal8Bit(argv[1]));
    CLumaraGUIDlg window(dialogs);
    window.show();
    window.GetCommand(ID_FILE_LOADDATA)->trigger();
    qobject_cast<QPushButton*>(window.GetDlgItem(IDC_SEARCH_ASC))->click();
    QApplication::processEvents();

    for (const QString& message : dialogs.Messages()) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
    }
    if (!window.grab().save(QString::fromLocal8Bit(argv[2]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    return dialogs.Messages().isEmpty() ? 0 : 1;
}
