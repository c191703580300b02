// The About box of the Win32 face: title, version and the project's home page
// and contact address (each line only when the build was configured with a
// real one), as a modal dialog.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "ui/logic/about_links.h"
#include "ui/logic/main_layout.h"

namespace quorvex {

// The control ID of an item of kAboutItems.
constexpr int AboutId(TAboutItem item) {
    return item == TAboutItem::Button1 ? IDOK : 300 + static_cast<int>(item);
}

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

    // The addresses the build was configured with, or those a test set;
    // nullopt goes back to the configured ones.
    static TAboutLinks Links();
    static void SetLinks(std::optional<TAboutLinks> links);
    // The addresses behind the links; empty when the line is hidden.
    static std::string WebUrl();
    static std::string MailAddress();

    // Control IDs of the items used by name.
    enum {
        Button1 = IDOK,
        lblVersion = AboutId(TAboutItem::lblVersion),
        lblUrlCaption = AboutId(TAboutItem::lblUrlCaption),
        lblMailCaption = AboutId(TAboutItem::lblMailCaption),
        Label6 = AboutId(TAboutItem::Label6),
        Label4 = AboutId(TAboutItem::Label4),
    };
};

// The file version read from the program's VERSIONINFO resource.
std::string GetFileVersionString();

}  // namespace quorvex
