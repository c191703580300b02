// The Windows program: the main window and its message loop.
#include <windows.h>

#include "support/std_streams.h"
#include "ui/win32/MainFrm.h"
#include "ui/win32/desktop.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    quorvex::GuardStandardStreams();
    // The program reads no command line.
    quorvex::TDesktop desktop;
    quorvex::TfrmMain frmMain(desktop);
    frmMain.SetQuitOnDestroy(true);
    frmMain.Show();
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (frmMain.PreTranslateMessage(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
