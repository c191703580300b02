// Helpers the Win32 windows share: the window font and 96-dpi lengths
// scaled to a monitor's dpi. The per-monitor dpi functions of Windows 10 are
// looked up at run time, so the program still starts on older systems.
#pragma once

#include <windows.h>

#include <string>

namespace quorvex {

// A length of the 96-dpi design at `dpi`.
inline int ScaleForDpi(int length, UINT dpi) {
    return MulDiv(length, static_cast<int>(dpi), 96);
}

// The dpi of the window's monitor (96 when the system cannot tell).
UINT WindowDpi(HWND window);

// "ＭＳ Ｐゴシック" 12 px at 96 dpi, scaled; where it is missing, the first of
// the usual Japanese UI fonts installed, else the system's message font.
// The caller deletes it.
HFONT CreateWindowFont(UINT dpi);
// The face name of the font the window font is made from.
std::wstring WindowFontFace();

// The outer rectangle of a window whose client is `rect`, at `dpi`.
void AdjustRectForDpi(RECT& rect, DWORD style, DWORD exStyle, bool menu, UINT dpi);

// The size of `text` in `font`.
SIZE TextExtent(HWND window, HFONT font, const std::wstring& text);

// Sets `font` on the window and all its children.
void SetFontOnChildren(HWND window, HFONT font);

// The wait cursor while `busy`, a window's count of nested busy spells, is
// above zero, else the arrow.
void ShowBusyCursor(int busy);

}  // namespace quorvex
