#include "ui/win32/PreviewWnd.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>

#include "support/win32_text.h"
#include "ui/logic/messages.h"
#include "ui/win32/win32_window.h"

namespace quorvex {
namespace {

constexpr wchar_t kWindowClass[] = L"TfrmPreview";
constexpr wchar_t kCanvasClass[] = L"TPreviewCanvas";
constexpr int kOpenId = 101, kFitId = 102, kInfoId = 103, kMarksLabelId = 104, kMarksId = 105,
              kCanvasId = 106, kStatusId = 107;
// The design at 96 dpi.
constexpr int kOuterWidth = 900, kOuterHeight = 640;
constexpr int kPanelWidth = 264, kGap = 6, kButtonWidth = 96, kButtonHeight = 26;
constexpr int kInfoHeight = 64, kLabelHeight = 16;

std::wstring W(const std::string& utf8) {
    return Utf8ToWide(utf8);
}

void RegisterClasses(WNDPROC window, WNDPROC canvas) {
    static const bool registered = [window, canvas] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = window;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hIcon = LoadIconW(wc.hInstance, MAKEINTRESOURCEW(1));
        wc.hIconSm = wc.hIcon;
        wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kWindowClass;
        RegisterClassExW(&wc);
        // The canvas paints every pixel itself: no background brush.
        wc.lpfnWndProc = canvas;
        wc.hIcon = wc.hIconSm = nullptr;
        wc.hbrBackground = nullptr;
        wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32515));  // IDC_CROSS
        wc.lpszClassName = kCanvasClass;
        RegisterClassExW(&wc);
        return true;
    }();
    (void)registered;
}

}  // namespace

TfrmPreview::TfrmPreview(TWin32Desktop& desktop, HWND owner) : desktop_(desktop), logic_(*this) {
    RegisterClasses(&TfrmPreview::WindowProc, &TfrmPreview::CanvasProc);
    hwnd_ = CreateWindowExW(WS_EX_CONTROLPARENT, kWindowClass, W(logic_.Title()).c_str(),
                            WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, kOuterWidth,
                            kOuterHeight, owner, nullptr, GetModuleHandleW(nullptr), this);
    dpi_ = WindowDpi(hwnd_);
    CreateControls();
    ApplyFont();
    SetWindowPos(hwnd_, nullptr, 0, 0, ScaleForDpi(kOuterWidth, dpi_),
                 ScaleForDpi(kOuterHeight, dpi_), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Layout();
    DragAcceptFiles(hwnd_, TRUE);
}

TfrmPreview::~TfrmPreview() {
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        SetWindowLongPtrW(canvas_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
    if (font_) DeleteObject(font_);
}

void TfrmPreview::CreateControls() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    const auto child = [&](const wchar_t* cls, const std::string& text, DWORD style, DWORD exStyle,
                           int id) {
        return CreateWindowExW(exStyle, cls, W(text).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0,
                               0, 0, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               instance, this);
    };
    // Creation order is the Tab order: the buttons, the drawing, the marks.
    open_ = child(L"BUTTON", msg::kPreviewOpen, WS_TABSTOP | BS_PUSHBUTTON, 0, kOpenId);
    fit_ = child(L"BUTTON", msg::kPreviewFit, WS_TABSTOP | BS_PUSHBUTTON, 0, kFitId);
    canvas_ = child(kCanvasClass, "", WS_TABSTOP, WS_EX_CLIENTEDGE, kCanvasId);
    info_ = child(L"STATIC", "", SS_LEFT | SS_NOPREFIX, WS_EX_CLIENTEDGE, kInfoId);
    marksLabel_ = child(L"STATIC", msg::kPreviewMarks, SS_LEFT | SS_NOPREFIX, 0, kMarksLabelId);
    marks_ = child(L"LISTBOX", "",
                   WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS,
                   WS_EX_CLIENTEDGE, kMarksId);
    status_ = CreateWindowExW(
        0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, hwnd_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusId)), instance, nullptr);
}

void TfrmPreview::ApplyFont() {
    HFONT font = CreateWindowFont(dpi_);
    SetFontOnChildren(hwnd_, font);
    if (font_) DeleteObject(font_);
    font_ = font;
}

void TfrmPreview::Layout() {
    if (!hwnd_ || !status_) return;
    const auto s = [this](int v) { return ScaleForDpi(v, dpi_); };
    SendMessageW(status_, WM_SIZE, 0, 0);
    RECT client{}, bar{};
    GetClientRect(hwnd_, &client);
    GetWindowRect(status_, &bar);
    const int bottom = int(client.bottom - (bar.bottom - bar.top)) - s(kGap);
    const int panelLeft = std::max(int(client.right) - s(kGap) - s(kPanelWidth), s(kGap) * 2);
    const int top = s(kGap) * 2 + s(kButtonHeight);
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    const auto place = [&](HWND w, int x, int y, int width, int height) {
        SetWindowPos(w, nullptr, x, y, std::max(width, 1), std::max(height, 1), flags);
    };
    place(open_, s(kGap), s(kGap), s(kButtonWidth), s(kButtonHeight));
    place(fit_, s(kGap) * 2 + s(kButtonWidth), s(kGap), s(kButtonWidth), s(kButtonHeight));
    place(canvas_, s(kGap), top, panelLeft - s(kGap) * 2, bottom - top);
    place(info_, panelLeft, top, s(kPanelWidth), s(kInfoHeight));
    const int labelTop = top + s(kInfoHeight) + s(kGap);
    place(marksLabel_, panelLeft, labelTop, s(kPanelWidth), s(kLabelHeight));
    const int listTop = labelTop + s(kLabelHeight);
    place(marks_, panelLeft, listTop, s(kPanelWidth), bottom - listTop);
}

void TfrmPreview::Show() {
    if (IsIconic(hwnd_))
        ShowWindow(hwnd_, SW_RESTORE);
    else
        ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    UpdateWindow(hwnd_);
}

void TfrmPreview::ShowSource(TPreviewSource&& source) {
    logic_.Guard([&] { logic_.Load(std::move(source)); });
}

bool TfrmPreview::PreTranslateMessage(MSG& msg) {
    if (!hwnd_ || (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd))) return false;
    if (msg.message == WM_KEYDOWN) {
        // The window's own keys: Ctrl+O opens, Home fits (but in the list,
        // where it goes to the first mark).
        if (msg.wParam == 'O' && GetKeyState(VK_CONTROL) < 0) {
            logic_.Guard([this] { logic_.OpenClick(); });
            return true;
        }
        if (msg.wParam == VK_HOME && msg.hwnd != marks_) {
            logic_.Guard([this] { logic_.Fit(); });
            return true;
        }
    }
    return IsDialogMessageW(hwnd_, &msg) != FALSE;
}

POINT TfrmPreview::ToDevice(preview::TScreenPoint p) const {
    const double k = dpi_ / 96.0;
    return {static_cast<LONG>(std::lround(p.X * k)), static_cast<LONG>(std::lround(p.Y * k))};
}

preview::TScreenPoint TfrmPreview::ToFrame(int x, int y) const {
    // The logic works in pixels of 96 dpi, as the SVG file does: labels
    // and marks keep their size on any monitor.
    const double k = 96.0 / dpi_;
    return {x * k, y * k};
}

void TfrmPreview::CanvasResized() {
    RECT r{};
    GetClientRect(canvas_, &r);
    // Not yet placed: the first real size is the one the drawing is fitted to.
    if (r.right <= 0 || r.bottom <= 0) return;
    bitmap_.Resize(r.right, r.bottom);
    const preview::TScreenPoint size = ToFrame(bitmap_.Width(), bitmap_.Height());
    logic_.Resize(size.X, size.Y);
}

// ---- The logic's window ----

void TfrmPreview::SetTitle(const std::string& text) {
    SetWindowTextW(hwnd_, W(text).c_str());
}

void TfrmPreview::SetStatusText(const std::string& text) {
    SendMessageW(status_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(W(text).c_str()));
}

void TfrmPreview::SetInfoText(const std::string& text) {
    SetWindowTextW(info_, W(text).c_str());
}

void TfrmPreview::SetMarkItems(const std::vector<std::string>& items) {
    SendMessageW(marks_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(marks_, LB_RESETCONTENT, 0, 0);
    for (const std::string& item : items)
        SendMessageW(marks_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(item).c_str()));
    SendMessageW(marks_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(marks_, nullptr, TRUE);
}

void TfrmPreview::Redraw() {
    if (!canvas_ || !bitmap_.Dc()) return;
    PaintPreview(bitmap_, logic_.Scene(), logic_.Frame(), dpi_ / 96.0, logic_.SelectionOutline(),
                 WindowFontFace());
    InvalidateRect(canvas_, nullptr, FALSE);
}

void TfrmPreview::Message(TMessageKind kind, const std::string& text) {
    desktop_.Message(hwnd_, kind, text);
}

void TfrmPreview::ShowError(const std::string& text) {
    desktop_.ShowError(hwnd_, text);
}

bool TfrmPreview::Execute(TFileDialog& dialog) {
    return desktop_.Execute(hwnd_, dialog);
}

void TfrmPreview::SetBusy(bool busy) {
    busy_ += busy ? 1 : -1;
    ShowBusyCursor(busy_);
}

// ---- Events ----

LRESULT CALLBACK TfrmPreview::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self =
            static_cast<TfrmPreview*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TfrmPreview*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    // After WM_DESTROY the window is on its own.
    return self && self->hwnd_ == hwnd ? self->OnMessage(msg, wp, lp)
                                       : DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK TfrmPreview::CanvasProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self =
            static_cast<TfrmPreview*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->canvas_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TfrmPreview*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    // After the window's WM_DESTROY the canvas is on its own.
    return self && self->canvas_ == hwnd ? self->OnCanvas(msg, wp, lp)
                                         : DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT TfrmPreview::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND: {
            const int id = LOWORD(wp), code = HIWORD(wp);
            if (id == kOpenId && code == BN_CLICKED) logic_.Guard([this] { logic_.OpenClick(); });
            if (id == kFitId && code == BN_CLICKED) logic_.Guard([this] { logic_.Fit(); });
            if (id == kMarksId && code == LBN_SELCHANGE) {
                const int i = static_cast<int>(SendMessageW(marks_, LB_GETCURSEL, 0, 0));
                logic_.Guard([this, i] { logic_.MarkActivated(i); });
            }
            return 0;
        }
        case WM_SIZE:
            Layout();
            return 0;
        case WM_MOUSEWHEEL:
            // The wheel goes to the focused control; the drawing takes it.
            return SendMessageW(canvas_, msg, wp, lp);
        case WM_DPICHANGED: {
            // Crisp at the new dpi: font, controls and bitmap anew.
            dpi_ = HIWORD(wp);
            const RECT* r = reinterpret_cast<const RECT*>(lp);
            SetWindowPos(hwnd_, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            ApplyFont();
            Layout();
            logic_.Guard([this] { CanvasResized(); });
            return 0;
        }
        case WM_DROPFILES:
            OnDropFiles(reinterpret_cast<HDROP>(wp));
            return 0;
        case WM_SETCURSOR:
            if (busy_ > 0) {
                ShowBusyCursor(busy_);
                return TRUE;
            }
            break;
        case WM_CLOSE:
            // Hidden, not destroyed: the next preview shows it again.
            ShowWindow(hwnd_, SW_HIDE);
            return 0;
        case WM_DESTROY:
            hwnd_ = nullptr;
            canvas_ = nullptr;
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

void TfrmPreview::OnDropFiles(HDROP drop) {
    std::vector<std::string> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
        paths.push_back(WideToUtf8(path));
    }
    DragFinish(drop);
    logic_.Guard([&] { logic_.FilesDropped(paths); });
}

LRESULT TfrmPreview::OnCanvas(UINT msg, WPARAM wp, LPARAM lp) {
    const auto at = [this, lp] { return ToFrame(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); };
    switch (msg) {
        case WM_SIZE:
            // A bitmap the system cannot give is an error shown, not a crash.
            logic_.Guard([this] { CanvasResized(); });
            return 0;
        case WM_ERASEBKGND:
            // The bitmap covers every pixel: nothing erased, nothing flickers.
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(canvas_, &ps);
            BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
                   ps.rcPaint.bottom - ps.rcPaint.top, bitmap_.Dc(), ps.rcPaint.left,
                   ps.rcPaint.top, SRCCOPY);
            EndPaint(canvas_, &ps);
            return 0;
        }
        case WM_MOUSEWHEEL: {
            // The wheel reports the cursor on the screen.
            POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            ScreenToClient(canvas_, &p);
            const double notches = GET_WHEEL_DELTA_WPARAM(wp) / double(WHEEL_DELTA);
            logic_.Guard([&] { logic_.Wheel(ToFrame(p.x, p.y), notches); });
            return 0;
        }
        case WM_LBUTTONDOWN:
            SetFocus(canvas_);
            SetCapture(canvas_);
            dragging_ = true;
            logic_.Guard([&] { logic_.MousePress(at()); });
            return 0;
        case WM_MOUSEMOVE:
            if (!tracking_) {
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, canvas_, 0};
                tracking_ = TrackMouseEvent(&track) != FALSE;
            }
            logic_.Guard([&] { logic_.MouseMove(at()); });
            return 0;
        case WM_MOUSELEAVE:
            tracking_ = false;
            logic_.Guard([this] { logic_.MouseLeave(); });
            return 0;
        case WM_LBUTTONUP:
            if (!dragging_) return 0;
            dragging_ = false;
            ReleaseCapture();
            logic_.Guard([&] { logic_.MouseRelease(at()); });
            return 0;
        case WM_CAPTURECHANGED:
            // Capture taken away mid-press (a message box, Alt+Tab): the
            // press ends where the pointer is.
            if (dragging_) {
                dragging_ = false;
                POINT p{};
                GetCursorPos(&p);
                ScreenToClient(canvas_, &p);
                logic_.Guard([&] { logic_.MouseRelease(ToFrame(p.x, p.y)); });
            }
            return 0;
        case WM_KEYDOWN:
            if (wp == VK_HOME) {
                logic_.Guard([this] { logic_.Fit(); });
                return 0;
            }
            break;
        default:
            break;
    }
    return DefWindowProcW(canvas_, msg, wp, lp);
}

}  // namespace quorvex
