#include "ui/win32/win32_window.h"

namespace quorvex {
namespace {

bool FontInstalled(const wchar_t* face) {
    LOGFONTW lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
    HDC dc = GetDC(nullptr);
    bool found = false;
    EnumFontFamiliesExW(
        dc, &lf,
        [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM result) -> int {
            *reinterpret_cast<bool*>(result) = true;
            return 0;
        },
        reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, dc);
    return found;
}

// A function of user32 that older systems lack; nullptr there.
template <class F>
F User32(const char* name) {
    static HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

}  // namespace

UINT WindowDpi(HWND window) {
    using TGetDpiForWindow = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = User32<TGetDpiForWindow>("GetDpiForWindow");
    const UINT dpi = window && getDpiForWindow ? getDpiForWindow(window) : 0;
    if (dpi != 0) return dpi;
    HDC dc = GetDC(nullptr);
    const int systemDpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return systemDpi > 0 ? static_cast<UINT>(systemDpi) : 96;
}

std::wstring WindowFontFace() {
    static const std::wstring face = [] {
        for (const wchar_t* f : {L"ＭＳ Ｐゴシック", L"MS PGothic", L"Meiryo UI", L"Yu Gothic UI",
                                 L"Noto Sans CJK JP"})
            if (FontInstalled(f)) return std::wstring(f);
        return std::wstring();
    }();
    return face;
}

HFONT CreateWindowFont(UINT dpi) {
    const std::wstring face = WindowFontFace();
    if (!face.empty())
        return CreateFontW(-ScaleForDpi(12, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                           DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
    using TSystemParametersInfoForDpi = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
    static const auto forDpi = User32<TSystemParametersInfoForDpi>("SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (forDpi) {
        forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi);
    } else {
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        metrics.lfMessageFont.lfHeight =
            MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(dpi), int(WindowDpi(nullptr)));
    }
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

void AdjustRectForDpi(RECT& rect, DWORD style, DWORD exStyle, bool menu, UINT dpi) {
    using TAdjust = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjust = User32<TAdjust>("AdjustWindowRectExForDpi");
    if (adjust)
        adjust(&rect, style, menu, exStyle, dpi);
    else
        AdjustWindowRectEx(&rect, style, menu, exStyle);
}

SIZE TextExtent(HWND window, HFONT font, const std::wstring& text) {
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return size;
}

void SetFontOnChildren(HWND window, HFONT font) {
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    EnumChildWindows(
        window,
        [](HWND child, LPARAM childFont) -> BOOL {
            SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(childFont), TRUE);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(font));
}

void ShowBusyCursor(int busy) {
    // IDC_WAIT and IDC_ARROW by number: the names take the character set's form.
    SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(busy > 0 ? 32514 : 32512)));
}

}  // namespace quorvex
