// What the Win32 main window asks of the desktop beyond its own controls:
// message boxes, the common file dialogs, the hourglass, the About box and
// the HTML Help call. Tests give the window a recorder instead.
#pragma once

#include <windows.h>

#include <string>

#include "ui/logic/window_view.h"

namespace quorvex {

class TWin32Desktop {
  public:
    virtual ~TWin32Desktop() = default;
    // A box captioned by its kind ("警告", "情報", "エラー") with one "OK".
    virtual void Message(HWND owner, TMessageKind kind, const std::string& text) = 0;
    // The standard error box: captioned with the program's title.
    virtual void ShowError(HWND owner, const std::string& text) = 0;
    // GetOpenFileNameW / GetSaveFileNameW; true and dialog.FileName set when
    // the user chose a file.
    virtual bool Execute(HWND owner, TFileDialog& dialog) = 0;
    virtual void ShowAbout(HWND owner) = 0;
    // HtmlHelpW(owner, helpFile, HH_DISPLAY_INDEX, "").
    virtual void ShowHelp(HWND owner, const std::string& helpFile) = 0;
};

class TDesktop : public TWin32Desktop {
  public:
    void Message(HWND owner, TMessageKind kind, const std::string& text) override;
    void ShowError(HWND owner, const std::string& text) override;
    bool Execute(HWND owner, TFileDialog& dialog) override;
    void ShowAbout(HWND owner) override;
    void ShowHelp(HWND owner, const std::string& helpFile) override;
};

// The double-NUL list of a file dialog: "text (*.ext)\0*.ext\0…\0".
std::wstring DialogFilter(const TFileDialog& dialog);

}  // namespace quorvex
