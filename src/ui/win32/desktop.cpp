#include "ui/win32/desktop.h"

#include <commdlg.h>
#include <htmlhelp.h>

#include <vector>

#include "support/win32_text.h"
#include "ui/logic/messages.h"
#include "ui/win32/AboutDlg.h"

namespace quorvex {

void TDesktop::Message(HWND owner, TMessageKind kind, const std::string& text) {
    const char* caption = kind == TMessageKind::Warning       ? msg::kCaptionWarning
                          : kind == TMessageKind::Information ? msg::kCaptionInformation
                                                              : msg::kCaptionError;
    const UINT icon = kind == TMessageKind::Warning       ? MB_ICONWARNING
                      : kind == TMessageKind::Information ? MB_ICONINFORMATION
                                                          : MB_ICONERROR;
    MessageBoxW(owner, Utf8ToWide(text).c_str(), Utf8ToWide(caption).c_str(), MB_OK | icon);
}

void TDesktop::ShowError(HWND owner, const std::string& text) {
    MessageBoxW(owner, Utf8ToWide(text).c_str(), Utf8ToWide(msg::kAppTitle).c_str(),
                MB_OK | MB_ICONERROR);
}

std::wstring DialogFilter(const TFileDialog& dialog) {
    std::wstring filter;
    for (const TFileFilter& f : dialog.Filters) {
        filter += Utf8ToWide(f.Description + " (" + f.Pattern + ")");
        filter += L'\0';
        filter += Utf8ToWide(f.Pattern);
        filter += L'\0';
    }
    filter += L'\0';
    return filter;
}

bool TDesktop::Execute(HWND owner, TFileDialog& dialog) {
    const std::wstring filter = DialogFilter(dialog);
    const std::wstring defExt = Utf8ToWide(dialog.DefaultExt);
    std::wstring last = Utf8ToWide(dialog.FileName);
    for (wchar_t& c : last)
        if (c == L'/') c = L'\\';
    std::wstring initialDir = Utf8ToWide(dialog.InitialDir);
    // A folder to open in: the last choice gives only its name, or its
    // folder would win.
    if (!initialDir.empty()) last = last.substr(last.find_last_of(L"\\:") + 1);
    std::vector<wchar_t> file(32768, L'\0');
    last.copy(file.data(), std::min(last.size(), file.size() - 1));

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrDefExt = defExt.empty() ? nullptr : defExt.c_str();
    ofn.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
    // A typed name need not exist (a missing file fails when it is read),
    // and replacing an existing file is not questioned.
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    const BOOL ok =
        dialog.DialogKind == TFileDialog::Save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    if (!ok) return false;
    dialog.FileName = WideToUtf8(file.data());
    return true;
}

void TDesktop::ShowAbout(HWND owner) {
    TdlgAbout::ShowModal(owner);
}

void TDesktop::ShowHelp(HWND owner, const std::string& helpFile) {
    // HTML Help lives in hhctrl.ocx, loaded when help is first asked for.
    using THtmlHelpW = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
    static const auto htmlHelp = [] {
        HMODULE module = LoadLibraryW(L"hhctrl.ocx");
        return module ? reinterpret_cast<THtmlHelpW>(
                            reinterpret_cast<void*>(GetProcAddress(module, "HtmlHelpW")))
                      : nullptr;
    }();
    if (!htmlHelp) return;
    htmlHelp(owner, Utf8ToWide(helpFile).c_str(), HH_DISPLAY_INDEX,
             reinterpret_cast<DWORD_PTR>(L""));
}

}  // namespace quorvex
