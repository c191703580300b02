#include "ui/win32/AboutDlg.h"

#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "support/paths.h"
#include "support/win32_text.h"
#include "ui/logic/main_layout.h"
#include "ui/win32/win32_window.h"

namespace quorvex {
namespace {

TdlgAbout::TUrlOpener& UrlOpener() {
    static TdlgAbout::TUrlOpener opener;
    return opener;
}

std::function<void(HWND)>& OnShown() {
    static std::function<void(HWND)> shown;
    return shown;
}

std::optional<TAboutLinks>& LinksSet() {
    static std::optional<TAboutLinks> links;
    return links;
}

void OpenUrl(const std::string& url) {
    // Whether the desktop could open it is not examined: the box stays open.
    if (UrlOpener())
        UrlOpener()(url);
    else
        ShellExecuteW(nullptr, L"open", Utf8ToWide(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

struct TAboutState {
    HFONT Font = nullptr;
    HFONT LinkFont = nullptr;
    HICON Icon = nullptr;
};

void Build(HWND dlg, TAboutState& state) {
    const UINT dpi = WindowDpi(dlg);
    auto s = [dpi](int v) { return ScaleForDpi(v, dpi); };
    state.Font = CreateWindowFont(dpi);
    LOGFONTW lf{};
    GetObjectW(state.Font, sizeof lf, &lf);
    lf.lfUnderline = TRUE;
    state.LinkFont = CreateFontIndirectW(&lf);
    state.Icon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, s(32), s(32), 0));

    SetWindowTextW(dlg, Utf8ToWide(kAboutCaption).c_str());
    HWND ok = nullptr;
    const TAboutLinks links = TdlgAbout::Links();
    for (const TAboutSpec& spec : kAboutItems) {
        const int id = AboutId(spec.Id);
        // A line without an address is there but hidden.
        const DWORD visible = AboutItemShown(spec.Id, links) ? WS_VISIBLE : 0;
        auto create = [&](const wchar_t* cls, const std::wstring& text, DWORD style, int width,
                          int height) {
            return CreateWindowExW(
                0, cls, text.c_str(), WS_CHILD | visible | style, s(spec.Left), s(spec.Top), width,
                height, dlg, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
        };
        switch (spec.Kind) {
            case TAboutKind::Image:
                // The banner is a picture of the Qt face's resources only.
                if (spec.Id == TAboutItem::imgProgram)
                    SendMessageW(create(L"STATIC", L"", SS_ICON, s(spec.Width), s(spec.Height)),
                                 STM_SETICON, reinterpret_cast<WPARAM>(state.Icon), 0);
                break;
            case TAboutKind::Label:
            case TAboutKind::Link: {
                const bool link = spec.Kind == TAboutKind::Link;
                const std::wstring text = Utf8ToWide(
                    spec.Caption                        ? std::string(spec.Caption)
                    : spec.Id == TAboutItem::lblVersion ? "Version " + GetFileVersionString()
                    : spec.Id == TAboutItem::Label6     ? links.WebUrl
                                                        : links.MailAddress);
                const HFONT font = link ? state.LinkFont : state.Font;
                const SIZE size = TextExtent(dlg, font, text);
                // A long address is shortened to fit the box.
                const int room = s(kAboutClientWidth - spec.Left - kAboutMargin);
                const DWORD style = link ? SS_NOTIFY | SS_NOPREFIX | SS_PATHELLIPSIS : SS_NOPREFIX;
                HWND c =
                    create(L"STATIC", text, SS_LEFT | style, std::min<int>(size.cx, room), size.cy);
                SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
                break;
            }
            case TAboutKind::Button:
                ok = create(L"BUTTON", Utf8ToWide(spec.Caption), WS_TABSTOP | BS_DEFPUSHBUTTON,
                            s(spec.Width), s(spec.Height));
                SendMessageW(ok, WM_SETFONT, reinterpret_cast<WPARAM>(state.Font), TRUE);
                break;
        }
    }

    // The designed client width and outer height; centred on the owner.
    RECT frame{0, 0, s(kAboutClientWidth), 0};
    AdjustRectForDpi(frame, static_cast<DWORD>(GetWindowLongPtrW(dlg, GWL_STYLE)),
                     static_cast<DWORD>(GetWindowLongPtrW(dlg, GWL_EXSTYLE)), false, dpi);
    const int width = frame.right - frame.left, height = s(kAboutOuterHeight);
    RECT owner{};
    HWND parent = GetWindow(dlg, GW_OWNER);
    if (parent)
        GetWindowRect(parent, &owner);
    else
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &owner, 0);
    SetWindowPos(dlg, nullptr, owner.left + (owner.right - owner.left - width) / 2,
                 owner.top + (owner.bottom - owner.top - height) / 2, width, height, SWP_NOZORDER);
    SetFocus(ok);
}

INT_PTR CALLBACK AboutProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    auto* state = reinterpret_cast<TAboutState*>(GetWindowLongPtrW(dlg, DWLP_USER));
    switch (msg) {
        case WM_INITDIALOG:
            state = new TAboutState;
            SetWindowLongPtrW(dlg, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
            Build(dlg, *state);
            if (OnShown()) PostMessageW(dlg, WM_APP, 0, 0);
            return FALSE;  // the focus is set
        case WM_APP:
            if (OnShown()) OnShown()(dlg);
            return TRUE;
        case WM_CTLCOLORSTATIC: {
            // The links in blue, as links are drawn.
            const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lp));
            if (id != TdlgAbout::Label6 && id != TdlgAbout::Label4) break;
            HDC dc = reinterpret_cast<HDC>(wp);
            SetTextColor(dc, RGB(0, 0, 255));
            SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
        }
        case WM_COMMAND:
            switch (LOWORD(wp)) {
                case IDOK:
                case IDCANCEL:  // Esc and the close box
                    EndDialog(dlg, IDOK);
                    return TRUE;
                case TdlgAbout::Label6:
                    if (HIWORD(wp) == STN_CLICKED && !TdlgAbout::WebUrl().empty())
                        OpenUrl(TdlgAbout::WebUrl());
                    return TRUE;
                case TdlgAbout::Label4:
                    if (HIWORD(wp) == STN_CLICKED && !TdlgAbout::MailAddress().empty())
                        OpenUrl("mailto:" + TdlgAbout::MailAddress());
                    return TRUE;
            }
            break;
        case WM_SETCURSOR: {
            const int id = GetDlgCtrlID(reinterpret_cast<HWND>(wp));
            if (id == TdlgAbout::Label6 || id == TdlgAbout::Label4) {
                SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));  // IDC_HAND
                SetWindowLongPtrW(dlg, DWLP_MSGRESULT, TRUE);
                return TRUE;
            }
            break;
        }
        case WM_DESTROY:
            if (state) {
                DeleteObject(state->Font);
                DeleteObject(state->LinkFont);
                if (state->Icon) DestroyIcon(state->Icon);
                delete state;
                SetWindowLongPtrW(dlg, DWLP_USER, 0);
            }
            break;
    }
    return FALSE;
}

}  // namespace

INT_PTR TdlgAbout::ShowModal(HWND owner) {
    // An empty dialog template: the controls are made at the monitor's dpi.
    struct alignas(DWORD) {
        DLGTEMPLATE Template;
        WORD Menu, Class, Title;
    } blank{};
    blank.Template.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &blank.Template, owner, AboutProc, 0);
}

void TdlgAbout::SetUrlOpener(TUrlOpener opener) {
    UrlOpener() = std::move(opener);
}

void TdlgAbout::SetOnShown(std::function<void(HWND)> shown) {
    OnShown() = std::move(shown);
}

TAboutLinks TdlgAbout::Links() {
    if (LinksSet()) return *LinksSet();
    return AboutLinks(QUORVEX_HOMEPAGE_URL, QUORVEX_CONTACT_EMAIL);
}

void TdlgAbout::SetLinks(std::optional<TAboutLinks> links) {
    LinksSet() = std::move(links);
}

std::string TdlgAbout::WebUrl() {
    return Links().WebUrl;
}

std::string TdlgAbout::MailAddress() {
    return Links().MailAddress;
}

std::string GetFileVersionString() {
    // The running program's own VERSIONINFO, as "major.minor.release.build".
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    if (size == 0) return std::string();
    std::vector<BYTE> data(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return std::string();
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info)
        return std::string();
    return std::to_string(HIWORD(info->dwFileVersionMS)) + "." +
           std::to_string(LOWORD(info->dwFileVersionMS)) + "." +
           std::to_string(HIWORD(info->dwFileVersionLS)) + "." +
           std::to_string(LOWORD(info->dwFileVersionLS));
}

}  // namespace quorvex
