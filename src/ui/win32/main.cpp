// The Windows program: the main window and its message loop.
#include <windows.h>

#include "support/std_streams.h"
#include "ui/win32/MainFrm.h"
#include "ui/win32/desktop.h"
#include "ui/win32/instances.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    quorvex::GuardStandardStreams();
    // The arguments are files to open; with the window already open they go
    // to it instead.
    const std::vector<std::string> files = quorvex::CommandLineFiles(GetCommandLineW());
    if (quorvex::PassFilesToFirstStart(files)) return 0;
    quorvex::TDesktop desktop;
    quorvex::TfrmMain frmMain(desktop);
    frmMain.SetQuitOnDestroy(true);
    frmMain.Show();
    frmMain.OpenFiles(files);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (frmMain.PreTranslateMessage(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
