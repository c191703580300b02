// The About box of the Win32 face: title, version and two links, the web
// page and the support mail address, as a modal dialog.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace quorvex {

class TdlgAbout {
  public:
    using TUrlOpener = std::function<void(const std::string& url)>;

    // Shows the box until OK, Enter or Esc closes it; IDOK.
    static INT_PTR ShowModal(HWND owner);
    // How links are opened: ShellExecuteW "open" when none is set. Tests
    // set a recorder so no browser or mail program starts.
    static void SetUrlOpener(TUrlOpener opener);
    // Runs once the box is up, with its window; tests look at it here.
    static void SetOnShown(std::function<void(HWND)> shown);

    // The addresses behind the links.
    static std::string WebUrl();
    static std::string MailAddress();

    // Control IDs.
    enum {
        Button1 = IDOK,
        lblTitle = 300,
        lblVersion,
        lblUrlCaption,
        Label6,
        lblMailCaption,
        Label4,
        imgProgram
    };
};

// The file version read from the program's VERSIONINFO resource.
std::string GetFileVersionString();

}  // namespace quorvex
