#include "ui/win32/MainFrm.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

#include "support/paths.h"
#include "support/win32_text.h"
#include "ui/logic/main_layout.h"
#include "ui/logic/messages.h"
#include "ui/logic/path_elide.h"
#include "ui/win32/instances.h"
#include "ui/win32/win32_window.h"

namespace quorvex {
namespace {

constexpr wchar_t kWindowClass[] = L"TfrmMain";
// Marks the window as this program's among others of the same class name.
constexpr wchar_t kProgramProperty[] = L"QuorvexConverter.Main";
constexpr UINT_PTR kOpenFilesTimer = 1;
constexpr UINT kOpenFilesDelay = 400;  // ms without further files
constexpr int kBlankImage = 2;         // ImageList1's third image: no mark
// What the list view leaves free on either side of a sub-item's text, at 96
// dpi, with a pixel or two to spare: a text any wider it cuts at its end.
constexpr int kCellPadding = 7;

bool IsPathColumn(int column) {
    return column == 1 + TBatchRow::MifFile || column == 1 + TBatchRow::SimFile;
}

std::wstring W(const std::string& utf8) {
    return Utf8ToWide(utf8);
}

std::string WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), int(text.size()))));
    return WideToUtf8(text);
}

// An image of ImageList1 painted from its shape, or blank; magenta is
// transparent.
HBITMAP MarkBitmap(int image, int size) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
    ReleaseDC(nullptr, screen);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    RECT all{0, 0, size, size};
    HBRUSH back = CreateSolidBrush(RGB(255, 0, 255));
    FillRect(dc, &all, back);
    DeleteObject(back);
    auto at = [size](double v) { return static_cast<int>(v * size / kMarkBox + 0.5); };
    if (image != kBlankImage) {
        const TMarkShape& shape = kMarkShapes[image];
        HPEN pen = CreatePen(PS_SOLID, std::max(2, at(shape.PenWidth)),
                             RGB(shape.Red, shape.Green, shape.Blue));
        HGDIOBJ oldPen = SelectObject(dc, pen);
        for (int k = 0; k < shape.StrokeCount; ++k) {
            const TMarkStroke& stroke = shape.Strokes[k];
            POINT points[3];
            for (int i = 0; i < stroke.Count; ++i)
                points[i] = {at(stroke.Points[i].X), at(stroke.Points[i].Y)};
            Polyline(dc, points, stroke.Count);
        }
        SelectObject(dc, oldPen);
        DeleteObject(pen);
    }
    SelectObject(dc, oldBitmap);
    DeleteDC(dc);
    return bitmap;
}

// "Ctrl+O", "F1", "Alt+Up", "Del" as an accelerator for the command `id`.
ACCEL Accelerator(std::string_view key, WORD id) {
    BYTE flags = FVIRTKEY;
    for (auto [prefix, flag] : {std::pair{std::string_view("Ctrl+"), BYTE(FCONTROL)},
                                std::pair{std::string_view("Alt+"), BYTE(FALT)}}) {
        if (key.substr(0, prefix.size()) == prefix) {
            flags |= flag;
            key.remove_prefix(prefix.size());
        }
    }
    for (auto [name, vk] : {std::pair{std::string_view("Del"), WORD(VK_DELETE)},
                            std::pair{std::string_view("Up"), WORD(VK_UP)},
                            std::pair{std::string_view("Down"), WORD(VK_DOWN)}})
        if (key == name) return {flags, vk, id};
    if (key.size() > 1 && key[0] == 'F')
        return {flags, static_cast<WORD>(VK_F1 + std::stoi(std::string(key.substr(1))) - 1), id};
    return {flags, static_cast<WORD>(key[0]), id};
}

// Whether the key message is the accelerator's key with its modifiers, the
// modifiers read from the keyboard state.
bool IsKey(const MSG& msg, const ACCEL& key) {
    if ((msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) || msg.wParam != key.key)
        return false;
    auto down = [](int vk) { return (GetKeyState(vk) & 0x8000) != 0; };
    const bool alt = msg.message == WM_SYSKEYDOWN || down(VK_MENU);
    return alt == ((key.fVirt & FALT) != 0) && down(VK_CONTROL) == ((key.fVirt & FCONTROL) != 0) &&
           down(VK_SHIFT) == ((key.fVirt & FSHIFT) != 0);
}

// The window class and styles of each kind of client control.
struct TWindowClass {
    const wchar_t* Name;
    DWORD Style, ExStyle;
};
const TWindowClass kClasses[] = {
    {L"STATIC", SS_LEFT | SS_NOPREFIX, 0},            // Label
    {L"EDIT", ES_AUTOHSCROLL, WS_EX_CLIENTEDGE},      // Edit
    {L"BUTTON", BS_PUSHBUTTON, 0},                    // Button
    {L"COMBOBOX", WS_VSCROLL | CBS_DROPDOWNLIST, 0},  // DropDownList
    {L"BUTTON", BS_GROUPBOX, 0},                      // GroupBox
    {L"BUTTON", BS_AUTOCHECKBOX, 0},                  // CheckBox
    {WC_LISTVIEWW, LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
     WS_EX_CLIENTEDGE},  // ListView
};

ATOM RegisterMainClass(WNDPROC proc) {
    static const ATOM atom = [proc] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hIcon = LoadIconW(wc.hInstance, MAKEINTRESOURCEW(1));
        wc.hIconSm = wc.hIcon;
        wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kWindowClass;
        return RegisterClassExW(&wc);
    }();
    return atom;
}

}  // namespace

TfrmMain::TfrmMain(TWin32Desktop& desktop, TPlacementStore store)
    : desktop_(desktop),
      store_(store.Chosen()),
      logic_(*this, ChangeFileExt(GetExePath(), ".chm")) {
    static const bool commonControls = [] {
        INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX),
                                 ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
        return InitCommonControlsEx(&icc) != FALSE;
    }();
    (void)commonControls;
    RegisterMainClass(&TfrmMain::WindowProc);
    // No maximise button; resizable.
    const DWORD style = WS_OVERLAPPEDWINDOW & ~WS_MAXIMIZEBOX;
    hwnd_ = CreateWindowExW(WS_EX_CONTROLPARENT, kWindowClass, W(msg::kAppTitle).c_str(), style,
                            CW_USEDEFAULT, CW_USEDEFAULT, kMainClientWidth, kMainClientHeight,
                            nullptr, nullptr, GetModuleHandleW(nullptr), this);
    dpi_ = WindowDpi(hwnd_);
    CreateMenuBar();
    CreateControls();
    CreateImageList();
    Layout();
    const TOuterSize outer = NeededOuterSize();
    SetWindowPos(hwnd_, nullptr, 0, 0, outer.Width, outer.Height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    DragAcceptFiles(hwnd_, TRUE);
    SetPropW(hwnd_, kProgramProperty, reinterpret_cast<HANDLE>(1));
}

TfrmMain::~TfrmMain() {
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
    if (accel_) DestroyAcceleratorTable(accel_);
    if (popup_) DestroyMenu(popup_);
    if (imageList1_) ImageList_Destroy(imageList1_);
    if (font_) DeleteObject(font_);
}

void TfrmMain::CreateMenuBar() {
    menu_ = CreateMenu();
    std::array<HMENU, kControlCount> menus{};
    std::vector<ACCEL> keys;
    for (const TControlSpec& spec : kMainControls) {
        const UINT id = static_cast<UINT>(ControlId(spec.Id));
        if (spec.Kind == TControlKind::Menu) {
            menus[size_t(spec.Id)] = CreatePopupMenu();
            AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(menus[size_t(spec.Id)]),
                        W(spec.Caption).c_str());
        } else if (spec.Kind == TControlKind::PopupMenu) {
            menus[size_t(spec.Id)] = popup_ = CreatePopupMenu();
        } else if (spec.Kind == TControlKind::MenuItem) {
            HMENU menu = menus[size_t(*spec.Parent)];
            if (spec.SeparatorBefore) AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            std::string caption = spec.Caption;
            if (*spec.Shortcut) {
                caption += std::string("\t") + spec.Shortcut;
                // A context menu's keys work on the list alone
                // (PreTranslateMessage): Delete must still delete text.
                if (!IsPopupItem(spec))
                    keys.push_back(Accelerator(spec.Shortcut, static_cast<WORD>(id)));
            }
            AppendMenuW(menu, MF_STRING | (spec.Enabled ? MF_ENABLED : MF_GRAYED), id,
                        W(caption).c_str());
        }
    }
    SetMenu(hwnd_, menu_);
    accel_ = CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
}

void TfrmMain::CreateControls() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    // Created in table order, which is the Tab order.
    for (const TControlSpec& spec : kMainControls) {
        if (!IsClientControl(spec.Kind)) continue;
        const TWindowClass& c = kClasses[size_t(spec.Kind)];
        const DWORD style =
            WS_CHILD | WS_VISIBLE | (TakesFocus(spec.Kind) ? WS_TABSTOP : 0) | c.Style;
        HWND control = CreateWindowExW(
            c.ExStyle, c.Name, W(spec.Caption).c_str(), style, 0, 0, 0, 0, hwnd_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(spec.Id))), instance, nullptr);
        if (spec.Kind == TControlKind::CheckBox)
            SendMessageW(control, BM_SETCHECK, spec.Checked ? BST_CHECKED : BST_UNCHECKED, 0);
        if (!spec.Enabled) EnableWindow(control, FALSE);
        // A fixed list starts at its first entry.
        for (const char* item : spec.Items)
            SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(item).c_str()));
        if (!spec.Items.empty()) SendMessageW(control, CB_SETCURSEL, 0, 0);
        controls_[size_t(spec.Id)] = control;
    }

    HWND list = Control(TControl::lvwBatch);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP | LVS_EX_INFOTIP);
    for (int c = 0; c < int(std::size(kBatchColumns)); ++c) {
        std::wstring caption = W(kBatchColumns[c].Caption);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        column.fmt = kBatchColumns[c].Centred ? LVCFMT_CENTER : LVCFMT_LEFT;
        column.cx = kBatchColumns[c].Width;
        column.pszText = caption.data();
        column.iSubItem = c;
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(c),
                     reinterpret_cast<LPARAM>(&column));
    }

    status_ = CreateWindowExW(
        0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, hwnd_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusBarId)), instance, nullptr);
    SetWindowTextW(status_, L"");
    SetFocus(Control(TControl::edtSimFile));
}

void TfrmMain::CreateImageList() {
    if (imageList1_) ImageList_Destroy(imageList1_);
    const int size = ScaleForDpi(kMarkBox, dpi_);
    imageList1_ = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 3, 0);
    for (int image : {int(kMarkDone), int(kMarkFailed), kBlankImage}) {
        HBITMAP bitmap = MarkBitmap(image, size);
        ImageList_AddMasked(imageList1_, bitmap, RGB(255, 0, 255));
        DeleteObject(bitmap);
    }
    SendMessageW(Control(TControl::lvwBatch), LVM_SETIMAGELIST, LVSIL_SMALL,
                 reinterpret_cast<LPARAM>(imageList1_));
}

void TfrmMain::Layout() {
    HFONT font = CreateWindowFont(dpi_);
    auto s = [this](int v) { return ScaleForDpi(v, dpi_); };
    for (const TControlSpec& spec : kMainControls) {
        if (!IsClientControl(spec.Kind)) continue;
        int width = s(spec.Width), height = s(spec.Height);
        if (spec.Kind == TControlKind::Label) {
            const SIZE text = TextExtent(hwnd_, font, W(spec.Caption));
            width = text.cx;
            height = text.cy;
        }
        // A drop-down list's height includes its open list.
        if (spec.Kind == TControlKind::DropDownList) height = s(spec.Height + 200);
        SetWindowPos(controls_[size_t(spec.Id)], nullptr, s(ClientLeft(spec)), s(ClientTop(spec)),
                     width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    HWND list = Control(TControl::lvwBatch);
    for (int c = 0; c < int(std::size(kBatchColumns)); ++c)
        SendMessageW(list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(c), s(kBatchColumns[c].Width));
    SetFontOnChildren(hwnd_, font);
    if (font_) DeleteObject(font_);
    font_ = font;
    // A drop-down's closed height follows from the font; set it to the design's.
    for (const TControlSpec& spec : kMainControls)
        if (spec.Kind == TControlKind::DropDownList)
            SendMessageW(Control(spec.Id), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1),
                         s(spec.Height) - 6);
    SendMessageW(status_, SB_SETMINHEIGHT, static_cast<WPARAM>(s(kMainStatusHeight)), 0);
    SendMessageW(status_, WM_SIZE, 0, 0);
}

TOuterSize TfrmMain::NeededOuterSize() const {
    // Frames differ by system and theme (Windows 10 and 11 draw thicker
    // ones than the design assumed), so the outer size follows from them.
    // The status bar takes the height its font needs, which may be more
    // than the design's; the buttons above it stay clear either way.
    RECT bar{};
    GetWindowRect(status_, &bar);
    const int barHeight = std::max<int>(bar.bottom - bar.top, ScaleForDpi(kMainStatusHeight, dpi_));
    RECT r{0, 0, ScaleForDpi(kMainClientWidth, dpi_),
           ScaleForDpi(kMainStatusTop, dpi_) + barHeight};
    AdjustRectForDpi(r, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)),
                     static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)), true, dpi_);
    return {r.right - r.left, r.bottom - r.top};
}

HWND TfrmMain::Control(const char* name) const {
    const TControlSpec* spec = FindControlSpec(name);
    return spec ? Control(spec->Id) : nullptr;
}

HWND TfrmMain::Control(TControl control) const {
    return controls_[size_t(control)];
}

// ---- Start and end ----

void TfrmMain::Show() {
    if (!Guard([this] { FormShow(); })) ShowWindow(hwnd_, SW_SHOWNORMAL);
}

void TfrmMain::FormShow() {
    const TFormPlacement p = ReadFormPlacement(store_);
    // The stored outer size, unless today's frame would leave too small a
    // client area in it; the needed size alone at the first start.
    const TOuterSize outer = ShownOuterSize(p, NeededOuterSize());
    SetWindowPos(hwnd_, nullptr, p.Left, p.Top, outer.Width, outer.Height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(hwnd_, p.State == kStateMinimised   ? SW_SHOWMINIMIZED
                      : p.State == kStateMaximised ? SW_SHOWMAXIMIZED
                                                   : SW_SHOWNORMAL);
    UpdateWindow(hwnd_);
}

void TfrmMain::FormClose() {
    TFormPlacement p;
    p.State = IsIconic(hwnd_) ? kStateMinimised : IsZoomed(hwnd_) ? kStateMaximised : kStateNormal;
    RECT r{};
    GetWindowRect(hwnd_, &r);
    p.Left = r.left;
    p.Top = r.top;
    p.Width = r.right - r.left;
    p.Height = r.bottom - r.top;
    WriteFormPlacement(store_, p);
}

HWND TfrmMain::FindRunning() {
    for (HWND w = FindWindowExW(nullptr, nullptr, kWindowClass, nullptr); w;
         w = FindWindowExW(nullptr, w, kWindowClass, nullptr))
        if (GetPropW(w, kProgramProperty)) return w;
    return nullptr;
}

void TfrmMain::OpenFiles(const std::vector<std::string>& paths) {
    if (paths.empty() || !hwnd_) return;
    pendingFiles_.insert(pendingFiles_.end(), paths.begin(), paths.end());
    SetTimer(hwnd_, kOpenFilesTimer, kOpenFilesDelay, nullptr);
}

void TfrmMain::OpenPendingFiles() {
    // A run keeps the list as it is: the files wait for its end.
    if (logic_.Running()) return;
    KillTimer(hwnd_, kOpenFilesTimer);
    const std::vector<std::string> files = std::move(pendingFiles_);
    pendingFiles_.clear();
    Guard([&] { logic_.CommandLineFiles(files); });
}

bool TfrmMain::PreTranslateMessage(MSG& msg) {
    if (!hwnd_) return false;
    if (preview_ && preview_->PreTranslateMessage(msg)) return true;
    // The menu's keys belong to this window, not to the preview's.
    const bool own = msg.hwnd == hwnd_ || IsChild(hwnd_, msg.hwnd);
    if (own && accel_ && TranslateAcceleratorW(hwnd_, accel_, &msg)) return true;
    // Enter on the list, which the dialog keys would take for a button.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN &&
        msg.hwnd == Control(TControl::lvwBatch)) {
        logic_.Handle(TCommand::lvwBatchEnter);
        return true;
    }
    // The context menu's keys on the list: Delete, Alt+Up, Alt+Down.
    if (msg.hwnd == Control(TControl::lvwBatch)) {
        for (const TControlSpec& spec : kMainControls) {
            if (!IsPopupItem(spec) || !*spec.Shortcut || !IsKey(msg, Accelerator(spec.Shortcut, 0)))
                continue;
            logic_.Handle(spec.Command);
            return true;
        }
    }
    return IsDialogMessageW(hwnd_, &msg) != FALSE;
}

// ---- Events ----

LRESULT CALLBACK TfrmMain::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<TfrmMain*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TfrmMain*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return self ? self->OnMessage(msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT TfrmMain::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND:
            OnCommand(LOWORD(wp), HIWORD(wp));
            return 0;
        case WM_NOTIFY:
            OnNotify(*reinterpret_cast<const NMHDR*>(lp));
            return 0;
        case WM_SIZE:
            if (status_) SendMessageW(status_, WM_SIZE, 0, 0);
            return 0;
        case WM_SETCURSOR:
            if (busy_ > 0) {
                ShowBusyCursor(busy_);
                return TRUE;
            }
            break;
        case WM_DPICHANGED: {
            // Crisp at the new dpi: font, controls and window scaled anew.
            dpi_ = HIWORD(wp);
            CreateImageList();
            Layout();
            // The suggested rectangle scales the old frame, whose parts do
            // not all grow with the dpi: never smaller than the client needs.
            const RECT* r = reinterpret_cast<const RECT*>(lp);
            const TOuterSize needed = NeededOuterSize();
            SetWindowPos(
                hwnd_, nullptr, r->left, r->top, std::max<int>(r->right - r->left, needed.Width),
                std::max<int>(r->bottom - r->top, needed.Height), SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_DROPFILES:
            OnDropFiles(reinterpret_cast<HDROP>(wp));
            return 0;
        case WM_COPYDATA: {
            // Files from a later start: taken here, opened once the sender
            // is free again.
            const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lp);
            if (!copy || copy->dwData != kCopyDataFiles) break;
            const std::vector<std::string> files = UnpackFiles(copy->lpData, copy->cbData);
            if (files.empty()) return FALSE;
            OpenFiles(files);
            if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
            SetForegroundWindow(hwnd_);
            return TRUE;
        }
        case WM_TIMER:
            if (wp != kOpenFilesTimer) break;
            OpenPendingFiles();
            return 0;
        case WM_CONTEXTMENU:
            if (reinterpret_cast<HWND>(wp) != Control(TControl::lvwBatch)) break;
            PopupListMenu(lp);
            return 0;
        case WM_CLOSE:
            // During a batch run the run ends first, after its current row.
            if (!logic_.FormCloseQuery()) return 0;
            // A store that cannot be written is reported but never keeps
            // the program from ending.
            Guard([this] { FormClose(); });
            DestroyWindow(hwnd_);
            return 0;
        case WM_DESTROY:
            RemovePropW(hwnd_, kProgramProperty);
            hwnd_ = nullptr;
            if (quitOnDestroy_) PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

void TfrmMain::OnCommand(int id, int code) {
    const int index = id - kFirstControlId;
    if (index < 0 || size_t(index) >= kControlCount) return;
    const TControlSpec& spec = kMainControls[index];
    if (spec.Command == TCommand::None) return;
    if (spec.Kind == TControlKind::MenuItem) logic_.Handle(spec.Command);
    if (spec.Kind == TControlKind::Button && code == BN_CLICKED) Press(spec.Command);
    // A list that could not be read stays closed; the error has been shown.
    if (spec.Kind == TControlKind::DropDownList && code == CBN_DROPDOWN &&
        !logic_.Handle(spec.Command))
        PostMessageW(controls_[size_t(index)], CB_SHOWDROPDOWN, FALSE, 0);
}

void TfrmMain::Press(TCommand command) {
    // A run disables the button it was started from, which leaves the
    // keyboard nowhere; the focus comes back once the handler is done.
    const HWND focused = GetFocus();
    logic_.Handle(command);
    if (hwnd_ && focused && IsWindow(focused) && IsChild(hwnd_, focused) &&
        IsWindowEnabled(focused) && GetFocus() != focused)
        SetFocus(focused);
}

void TfrmMain::OnNotify(const NMHDR& header) {
    const int index = static_cast<int>(header.idFrom) - kFirstControlId;
    if (index < 0 || size_t(index) >= kControlCount) return;
    const TControlSpec& spec = kMainControls[index];
    if (spec.Kind != TControlKind::ListView || header.hwndFrom != controls_[size_t(index)]) return;
    if (header.code == LVN_ITEMCHANGED) {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        if ((change.uChanged & LVIF_STATE) &&
            ((change.uOldState ^ change.uNewState) & LVIS_SELECTED))
            logic_.Handle(spec.Command);
    } else if (header.code == NM_DBLCLK) {
        logic_.Handle(spec.DblClick);
    } else if (header.code == LVN_GETINFOTIPW) {
        // Over a path, the whole path; elsewhere the mark's tooltip: why the
        // row failed. The notice does not say which cell, the mouse does.
        auto& tip = const_cast<NMLVGETINFOTIPW&>(reinterpret_cast<const NMLVGETINFOTIPW&>(header));
        if (tip.iItem < 0 || size_t(tip.iItem) >= markTips_.size() || tip.cchTextMax <= 0) return;
        LVHITTESTINFO hit{};
        GetCursorPos(&hit.pt);
        ScreenToClient(header.hwndFrom, &hit.pt);
        SendMessageW(header.hwndFrom, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        const std::wstring text = hit.iItem == tip.iItem && IsPathColumn(hit.iSubItem)
                                      ? W(cells_[size_t(tip.iItem)][size_t(hit.iSubItem)])
                                      : markTips_[size_t(tip.iItem)];
        if (!text.empty()) lstrcpynW(tip.pszText, text.c_str(), tip.cchTextMax);
    } else if (header.code == LVN_GETDISPINFOW) {
        auto& info = const_cast<NMLVDISPINFOW&>(reinterpret_cast<const NMLVDISPINFOW&>(header));
        const int row = info.item.iItem, column = info.item.iSubItem;
        if (!(info.item.mask & LVIF_TEXT) || row < 0 || size_t(row) >= cells_.size() ||
            !IsPathColumn(column) || info.item.cchTextMax <= 0)
            return;
        const std::wstring text = W(ShownPath(column, cells_[size_t(row)][size_t(column)]));
        lstrcpynW(info.item.pszText, text.c_str(), info.item.cchTextMax);
    }
}

std::string TfrmMain::ShownPath(int column, const std::string& path) const {
    HWND list = Control(TControl::lvwBatch);
    const int width =
        static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0)) -
        2 * ScaleForDpi(kCellPadding, dpi_);
    HDC dc = GetDC(list);
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
    const std::string shown = ElidePath(path, width, [dc](std::string_view text) {
        const std::wstring wide = W(std::string(text));
        SIZE size{};
        GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
        return static_cast<int>(size.cx);
    });
    SelectObject(dc, old);
    ReleaseDC(list, dc);
    return shown;
}

void TfrmMain::PopupListMenu(LPARAM at) {
    HWND list = Control(TControl::lvwBatch);
    POINT p{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    // From the keyboard (Shift+F10, the menu key): at the selected row, or
    // the list's corner.
    if (at == static_cast<LPARAM>(-1)) {
        RECT r{};
        const int row = SelectedRow();
        r.left = LVIR_LABEL;
        if (row < 0 || !SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                                     reinterpret_cast<LPARAM>(&r)))
            r = {};
        p = {r.left, r.bottom};
        ClientToScreen(list, &p);
    }
    logic_.Handle(Spec(TControl::PopupMenu1).Command);
    TrackPopupMenu(popup_, TPM_LEFTALIGN | TPM_RIGHTBUTTON, p.x, p.y, 0, hwnd_, nullptr);
}

void TfrmMain::OnDropFiles(HDROP drop) {
    std::vector<std::string> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
        paths.push_back(WideToUtf8(path));
    }
    POINT at{};
    DragQueryPoint(drop, &at);
    DragFinish(drop);
    // On the list: the list; on the left half: the single panel.
    RECT list{};
    GetWindowRect(Control(TControl::lvwBatch), &list);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&list), 2);
    if (PtInRect(&list, at))
        Guard([&] { logic_.FilesDropped(TDropTarget::BatchList, paths); });
    else if (at.x < list.left)
        Guard([&] { logic_.FilesDropped(TDropTarget::Panel, paths); });
}

// ---- The controls, as the shared logic sees them ----

std::string TfrmMain::GetText(TControl control) const {
    return WindowText(Control(control));
}

void TfrmMain::SetText(TControl control, const std::string& text) {
    SetWindowTextW(Control(control), W(text).c_str());
}

bool TfrmMain::IsChecked(TControl control) const {
    return SendMessageW(Control(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TfrmMain::SetChecked(TControl control, bool checked) {
    SendMessageW(Control(control), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TfrmMain::SetEnabled(TControl control, bool enabled) {
    if (Spec(control).Kind == TControlKind::MenuItem) {
        EnableMenuItem(IsPopupItem(Spec(control)) ? popup_ : menu_,
                       static_cast<UINT>(ControlId(control)),
                       MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
        return;
    }
    EnableWindow(Control(control), enabled);
}

void TfrmMain::SetItems(TControl control, const std::vector<std::string>& items) {
    HWND combo = Control(control);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const std::string& item : items)
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(item).c_str()));
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

int TfrmMain::ItemCount(TControl control) const {
    return static_cast<int>(SendMessageW(Control(control), CB_GETCOUNT, 0, 0));
}

int TfrmMain::ItemIndex(TControl control) const {
    const LRESULT i = SendMessageW(Control(control), CB_GETCURSEL, 0, 0);
    return i == CB_ERR ? -1 : static_cast<int>(i);
}

void TfrmMain::SetItemIndex(TControl control, int index) {
    SendMessageW(Control(control), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void TfrmMain::InsertRow(int index, const TRowCells& cells) {
    markTips_.insert(markTips_.begin() + std::min(size_t(index), markTips_.size()), std::wstring());
    cells_.insert(cells_.begin() + std::min(size_t(index), cells_.size()), TRowCells());
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = index;
    std::wstring caption = W(cells[0]);
    item.pszText = caption.data();
    item.iImage = kBlankImage;
    SendMessageW(Control(TControl::lvwBatch), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    SetRowCells(index, cells);
}

void TfrmMain::SetRowCells(int index, const TRowCells& cells) {
    HWND list = Control(TControl::lvwBatch);
    if (size_t(index) < cells_.size()) cells_[size_t(index)] = cells;
    for (int c = 0; c < int(cells.size()); ++c) {
        std::wstring text = W(cells[size_t(c)]);
        LVITEMW item{};
        item.iSubItem = c;
        // Paths are asked for when drawn (LVN_GETDISPINFOW), shortened to
        // the column's width at that moment.
        item.pszText = IsPathColumn(c) ? LPSTR_TEXTCALLBACKW : text.data();
        SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&item));
    }
    // A cell that was asked for before is asked for again.
    SendMessageW(list, LVM_REDRAWITEMS, static_cast<WPARAM>(index), index);
}

void TfrmMain::DeleteRow(int index) {
    if (size_t(index) < markTips_.size()) markTips_.erase(markTips_.begin() + index);
    if (size_t(index) < cells_.size()) cells_.erase(cells_.begin() + index);
    HWND list = Control(TControl::lvwBatch);
    SendMessageW(list, LVM_DELETEITEM, static_cast<WPARAM>(index), 0);
    // After a deletion no row is selected.
    LVITEMW none{};
    none.stateMask = LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
}

void TfrmMain::ClearRows() {
    markTips_.clear();
    cells_.clear();
    SendMessageW(Control(TControl::lvwBatch), LVM_DELETEALLITEMS, 0, 0);
}

void TfrmMain::SetRowMarkTip(int index, const std::string& text) {
    if (size_t(index) < markTips_.size()) markTips_[size_t(index)] = W(text);
}

void TfrmMain::SetRowMark(int index, TRowMark mark) {
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = index;
    item.iImage = mark == kNoMark ? kBlankImage : int(mark);
    SendMessageW(Control(TControl::lvwBatch), LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

int TfrmMain::SelectedRow() const {
    return static_cast<int>(SendMessageW(Control(TControl::lvwBatch), LVM_GETNEXTITEM,
                                         static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void TfrmMain::ShowRow(int index) {
    HWND list = Control(TControl::lvwBatch);
    LVITEMW item{};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&item));
    // A row that is partly visible counts as visible.
    SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), TRUE);
}

void TfrmMain::SetStatusText(const std::string& text) {
    SendMessageW(status_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(W(text).c_str()));
}

void TfrmMain::SetClipboardText(const std::string& text) {
    // Windows ends the lines of text on the clipboard with CR LF.
    std::wstring wide;
    for (wchar_t c : W(text)) {
        if (c == L'\n') wide += L'\r';
        wide += c;
    }
    if (!OpenClipboard(hwnd_)) return;
    EmptyClipboard();
    const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        if (void* p = GlobalLock(block)) {
            memcpy(p, wide.c_str(), bytes);
            GlobalUnlock(block);
            // The clipboard owns the block once it has taken it.
            if (!SetClipboardData(CF_UNICODETEXT, block)) GlobalFree(block);
        } else {
            GlobalFree(block);
        }
    }
    CloseClipboard();
}

std::string TfrmMain::CellText(int row, int column) const {
    if (row < 0 || size_t(row) >= cells_.size() || column < 0 || column >= int(TRowCells().size()))
        return std::string();
    return cells_[size_t(row)][size_t(column)];
}

void TfrmMain::Message(TMessageKind kind, const std::string& text) {
    desktop_.Message(hwnd_, kind, text);
}

void TfrmMain::ShowError(const std::string& text) {
    desktop_.ShowError(hwnd_, text);
}

bool TfrmMain::Execute(TFileDialog& dialog) {
    return desktop_.Execute(hwnd_, dialog);
}

void TfrmMain::SetBusy(bool busy) {
    busy_ += busy ? 1 : -1;
    ShowBusyCursor(busy_);
}

void TfrmMain::ProcessMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Left for the message loop to end the program.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (PreTranslateMessage(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void TfrmMain::ShowAbout() {
    desktop_.ShowAbout(hwnd_);
}

void TfrmMain::ShowHelp(const std::string& helpFile) {
    desktop_.ShowHelp(hwnd_, helpFile);
}

bool TfrmMain::HasFocus(TControl control) const {
    return GetFocus() == Control(control);
}

void TfrmMain::ShowPreview(TPreviewSource&& source) {
    // One preview window, made at its first use and kept (hidden) when closed.
    if (!preview_) preview_ = std::make_unique<TfrmPreview>(desktop_, hwnd_);
    preview_->Show();
    preview_->ShowSource(std::move(source));
}

void TfrmMain::Close() {
    SendMessageW(hwnd_, WM_CLOSE, 0, 0);
}

}  // namespace quorvex
