// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Lumara: one modal search window; the program ends when it closes.
// Lumara FILE opens the window with FILE loaded, which is how the desktop
// entry and the file manager's "Open With" hand over a catalogue.

#include "ApplicationLook.h"
#include "LumaraGUIDlg.h"
#include "UserDialogs.h"

#include <QApplication>
#include <QFile>
#include <QTimer>

class CLumaraGUIApp {
public:
    // Runs the whole program and returns its exit status; catalogue may be
    // null.
    int InitInstance(char* programPath, const char* catalogue);
};

int CLumaraGUIApp::InitInstance(char* programPath, const char* catalogue) {
    // Qt is given the program's name alone: the catalogue is the only
    // argument meant to change what the program does.
    int argumentCount = 1;
    char* arguments[] = {programPath, nullptr};
    QApplication application(argumentCount, arguments);
    ApplyApplicationLook(programPath);

    QtUserDialogs dialogs;
    CLumaraGUIDlg window(dialogs);
    if (catalogue != nullptr) {
        // Once the window is on screen, so that a message about the file
        // has its window to stand over, as after File > Load Data....
        QTimer::singleShot(0, &window, [&window, path = QFile::decodeName(catalogue)] {
            window.LoadDataFile(path);
        });
    }
    window.DoModal();
    return 0;
}

namespace {
CLumaraGUIApp theApp;
} // namespace

int main(int argc, char** argv) {
    // A desktop entry's %f passes at most one file; further arguments are
    // ignored.
    return theApp.InitInstance(argv[0], argc > 1 ? argv[1] : nullptr);
}
