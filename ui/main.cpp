// Lumara: one modal search window; the program ends when it closes.

#include "ApplicationLook.h"
#include "LumaraGUIDlg.h"
#include "UserDialogs.h"

#include <QApplication>

class CLumaraGUIApp {
public:
    // Runs the whole program and returns its exit status.
    int InitInstance(char* programPath);
};

int CLumaraGUIApp::InitInstance(char* programPath) {
    // Qt is given the program's name alone: no command-line argument is
    // meant to change what the program does.
    int argumentCount = 1;
    char* arguments[] = {programPath, nullptr};
    QApplication application(argumentCount, arguments);
    ApplyApplicationLook(programPath);

    QtUserDialogs dialogs;
    CLumaraGUIDlg window(dialogs);
    window.DoModal();
    return 0;
}

namespace {
CLumaraGUIApp theApp;
} // namespace

int main(int, char** argv) {
    return theApp.InitInstance(argv[0]);
}
