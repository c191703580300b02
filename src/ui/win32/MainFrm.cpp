#include "ui/win32/MainFrm.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

#include "support/paths.h"
#include "support/win32_text.h"
#include "ui/logic/main_layout.h"
#include "ui/logic/messages.h"
#include "ui/win32/win32_window.h"

namespace quorvex {
namespace {

constexpr wchar_t kWindowClass[] = L"TfrmMain";
constexpr int kBlankImage = 2;  // ImageList1's third image: no mark

int IndexOf(TControl control) {
    for (size_t i = 0; i < std::size(kMainControls); ++i)
        if (kMainControls[i].Id == control) return static_cast<int>(i);
    return -1;
}

int MenuId(const char* name) {
    for (size_t i = 0; i < std::size(kMenuItems); ++i)
        if (std::string_view(kMenuItems[i].Name) == name) return kFirstMenuId + static_cast<int>(i);
    return 0;
}

std::wstring W(const std::string& utf8) {
    return Utf8ToWide(utf8);
}

std::string WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), int(text.size()))));
    return WideToUtf8(text);
}

// A 16 x 16 image of ImageList1 drawn with a pen: the tick, the cross, or
// nothing; magenta is transparent.
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
    auto at = [size](double v) { return static_cast<int>(v * size / 16.0 + 0.5); };
    if (image != kBlankImage) {
        HPEN pen = CreatePen(PS_SOLID, std::max(2, at(2.5)),
                             image == kMarkDone ? RGB(0, 160, 0) : RGB(215, 0, 0));
        HGDIOBJ oldPen = SelectObject(dc, pen);
        if (image == kMarkDone) {
            const POINT tick[3] = {{at(3), at(8.5)}, {at(6.5), at(12)}, {at(13), at(4)}};
            Polyline(dc, tick, 3);
        } else {
            MoveToEx(dc, at(4), at(4), nullptr);
            LineTo(dc, at(12), at(12));
            MoveToEx(dc, at(12), at(4), nullptr);
            LineTo(dc, at(4), at(12));
        }
        SelectObject(dc, oldPen);
        DeleteObject(pen);
    }
    SelectObject(dc, oldBitmap);
    DeleteDC(dc);
    return bitmap;
}

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
                            CW_USEDEFAULT, CW_USEDEFAULT, kMainOuterWidth, kMainOuterHeight,
                            nullptr, nullptr, GetModuleHandleW(nullptr), this);
    dpi_ = WindowDpi(hwnd_);
    CreateMenuBar();
    CreateControls();
    CreateImageList();
    Layout();
    SetWindowPos(hwnd_, nullptr, 0, 0, ScaleForDpi(kMainOuterWidth, dpi_),
                 ScaleForDpi(kMainOuterHeight, dpi_), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    DragAcceptFiles(hwnd_, TRUE);
}

TfrmMain::~TfrmMain() {
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
    if (accel_) DestroyAcceleratorTable(accel_);
    if (imageList1_) ImageList_Destroy(imageList1_);
    if (font_) DeleteObject(font_);
}

void TfrmMain::CreateMenuBar() {
    menu_ = CreateMenu();
    HMENU menus[2] = {CreatePopupMenu(), CreatePopupMenu()};
    std::vector<ACCEL> keys;
    for (size_t i = 0; i < std::size(kMenuItems); ++i) {
        const TMenuSpec& item = kMenuItems[i];
        const UINT id = kFirstMenuId + static_cast<UINT>(i);
        if (item.SeparatorBefore) AppendMenuW(menus[item.Menu], MF_SEPARATOR, 0, nullptr);
        std::string caption = item.Caption;
        if (*item.Shortcut) caption += std::string("\t") + item.Shortcut;
        AppendMenuW(menus[item.Menu], MF_STRING, id, W(caption).c_str());
        const std::string_view key = item.Shortcut;
        if (key == "Ctrl+O") keys.push_back({FVIRTKEY | FCONTROL, 'O', static_cast<WORD>(id)});
        if (key == "Ctrl+S") keys.push_back({FVIRTKEY | FCONTROL, 'S', static_cast<WORD>(id)});
        if (key == "F1") keys.push_back({FVIRTKEY, VK_F1, static_cast<WORD>(id)});
    }
    for (int m = 0; m < 2; ++m)
        AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(menus[m]),
                    W(kMenuCaptions[m]).c_str());
    SetMenu(hwnd_, menu_);
    accel_ = CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
}

void TfrmMain::CreateControls() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    // Created in table order, which is the Tab order.
    for (size_t i = 0; i < std::size(kMainControls); ++i) {
        const TControlSpec& spec = kMainControls[i];
        const wchar_t* cls = L"STATIC";
        DWORD style = WS_CHILD | WS_VISIBLE;
        DWORD exStyle = 0;
        switch (spec.Kind) {
            case TControlKind::Label:
                style |= SS_LEFT | SS_NOPREFIX;
                break;
            case TControlKind::Edit:
                cls = L"EDIT";
                style |= WS_TABSTOP | ES_AUTOHSCROLL;
                exStyle = WS_EX_CLIENTEDGE;
                break;
            case TControlKind::Button:
                cls = L"BUTTON";
                style |= WS_TABSTOP | BS_PUSHBUTTON;
                break;
            case TControlKind::DropDownList:
                cls = L"COMBOBOX";
                style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
                break;
            case TControlKind::GroupBox:
                cls = L"BUTTON";
                style |= BS_GROUPBOX;
                break;
            case TControlKind::CheckBox:
                cls = L"BUTTON";
                style |= WS_TABSTOP | BS_AUTOCHECKBOX;
                break;
            case TControlKind::ListView:
                cls = WC_LISTVIEWW;
                style |=
                    WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER;
                exStyle = WS_EX_CLIENTEDGE;
                break;
        }
        HWND control =
            CreateWindowExW(exStyle, cls, W(spec.Caption).c_str(), style, 0, 0, 0, 0, hwnd_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + int(i))),
                            instance, nullptr);
        if (spec.Kind == TControlKind::CheckBox)
            SendMessageW(control, BM_SETCHECK, spec.Checked ? BST_CHECKED : BST_UNCHECKED, 0);
        if (!spec.Enabled) EnableWindow(control, FALSE);
        controls_.push_back(control);
    }

    HWND list = Control(TControl::lvwBatch);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP | LVS_EX_INFOTIP);
    for (int c = 0; c < 9; ++c) {
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
    const int size = ScaleForDpi(16, dpi_);
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
    for (size_t i = 0; i < std::size(kMainControls); ++i) {
        const TControlSpec& spec = kMainControls[i];
        int left = spec.Left, top = spec.Top;
        if (spec.Parent) {
            const TControlSpec* group = FindControlSpec(spec.Parent);
            left += group->Left;
            top += group->Top;
        }
        int width = s(spec.Width), height = s(spec.Height);
        if (spec.Kind == TControlKind::Label) {
            const SIZE text = TextExtent(hwnd_, font, W(spec.Caption));
            width = text.cx;
            height = text.cy;
        }
        // A drop-down list's height includes its open list.
        if (spec.Kind == TControlKind::DropDownList) height = s(spec.Height + 200);
        SetWindowPos(controls_[i], nullptr, s(left), s(top), width, height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    HWND list = Control(TControl::lvwBatch);
    for (int c = 0; c < 9; ++c)
        SendMessageW(list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(c), s(kBatchColumns[c].Width));
    SetFontOnChildren(hwnd_, font);
    if (font_) DeleteObject(font_);
    font_ = font;
    // The drop-down's closed height follows from the font; the design's is 22.
    SendMessageW(Control(TControl::cboAttrName), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1),
                 s(22) - 6);
    SendMessageW(status_, SB_SETMINHEIGHT, static_cast<WPARAM>(s(kMainStatusHeight)), 0);
    SendMessageW(status_, WM_SIZE, 0, 0);
}

HWND TfrmMain::Control(const char* name) const {
    for (size_t i = 0; i < std::size(kMainControls); ++i)
        if (std::string_view(kMainControls[i].Name) == name && i < controls_.size())
            return controls_[i];
    return nullptr;
}

HWND TfrmMain::Control(TControl control) const {
    const int i = IndexOf(control);
    return i < 0 || size_t(i) >= controls_.size() ? nullptr : controls_[size_t(i)];
}

// ---- Start and end ----

void TfrmMain::Show() {
    if (!Guard([this] { FormShow(); })) ShowWindow(hwnd_, SW_SHOWNORMAL);
}

void TfrmMain::FormShow() {
    const TFormPlacement p = ReadFormPlacement(store_);
    // Whatever size was stored, the window opens at its own.
    SetWindowPos(hwnd_, nullptr, p.Left, p.Top, ScaleForDpi(kMainOuterWidth, dpi_),
                 ScaleForDpi(kMainOuterHeight, dpi_), SWP_NOZORDER | SWP_NOACTIVATE);
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

bool TfrmMain::PreTranslateMessage(MSG& msg) {
    if (!hwnd_) return false;
    if (accel_ && TranslateAcceleratorW(hwnd_, accel_, &msg)) return true;
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
                SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)));  // IDC_WAIT
                return TRUE;
            }
            break;
        case WM_DPICHANGED: {
            // Crisp at the new dpi: font, controls and window scaled anew.
            dpi_ = HIWORD(wp);
            CreateImageList();
            Layout();
            const RECT* r = reinterpret_cast<const RECT*>(lp);
            SetWindowPos(hwnd_, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_DROPFILES:
            OnDropFiles(reinterpret_cast<HDROP>(wp));
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
            hwnd_ = nullptr;
            if (quitOnDestroy_) PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

void TfrmMain::OnCommand(int id, int code) {
    using Handler = void (TMainLogic::*)();
    auto run = [this](Handler h) { Guard([this, h] { (logic_.*h)(); }); };
    if (id >= kFirstMenuId && id < kFirstMenuId + int(std::size(kMenuItems))) {
        const std::string_view name = kMenuItems[id - kFirstMenuId].Name;
        if (name == "O1") run(&TMainLogic::O1Click);
        if (name == "S1") run(&TMainLogic::S1Click);
        if (name == "X1") run(&TMainLogic::X1Click);
        if (name == "H2") run(&TMainLogic::H2Click);
        if (name == "A1") run(&TMainLogic::A1Click);
        return;
    }
    const int index = id - kFirstControlId;
    if (index < 0 || index >= int(std::size(kMainControls)) || !kMainControls[index].Id) return;
    const TControl control = *kMainControls[index].Id;
    if (control == TControl::cboAttrName) {
        // A list that could not be read stays closed; the error has been shown.
        if (code == CBN_DROPDOWN && !Guard([this] { logic_.cboAttrNameDropDown(); }))
            PostMessageW(controls_[size_t(index)], CB_SHOWDROPDOWN, FALSE, 0);
        return;
    }
    if (code != BN_CLICKED) return;
    switch (control) {
        case TControl::btnMifBrowse:
            return run(&TMainLogic::btnMifBrowseClick);
        case TControl::btnSimBrowse:
            return run(&TMainLogic::btnSimBrowseClick);
        case TControl::btnConvert:
            return run(&TMainLogic::btnConvertClick);
        case TControl::btnAdd:
            return run(&TMainLogic::btnAddClick);
        case TControl::btnReplace:
            return run(&TMainLogic::btnReplaceClick);
        case TControl::btnRemove:
            return run(&TMainLogic::btnRemoveClick);
        case TControl::btnClear:
            return run(&TMainLogic::btnClearClick);
        case TControl::btnBatch:
            return run(&TMainLogic::btnBatchClick);
        case TControl::btnCmbBrowse:
            return run(&TMainLogic::btnCmbBrowseClick);
        default:
            return;
    }
}

void TfrmMain::OnNotify(const NMHDR& header) {
    if (header.hwndFrom != Control(TControl::lvwBatch)) return;
    if (header.code == LVN_ITEMCHANGED) {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        if ((change.uChanged & LVIF_STATE) &&
            ((change.uOldState ^ change.uNewState) & LVIS_SELECTED))
            Guard([this] { logic_.lvwBatchChange(); });
    } else if (header.code == NM_DBLCLK) {
        Guard([this] { logic_.lvwBatchDblClick(); });
    } else if (header.code == LVN_GETINFOTIPW) {
        // The mark's tooltip: why the row failed.
        auto& tip = const_cast<NMLVGETINFOTIPW&>(reinterpret_cast<const NMLVGETINFOTIPW&>(header));
        if (tip.iItem >= 0 && size_t(tip.iItem) < markTips_.size() && tip.cchTextMax > 0 &&
            !markTips_[size_t(tip.iItem)].empty())
            lstrcpynW(tip.pszText, markTips_[size_t(tip.iItem)].c_str(), tip.cchTextMax);
    }
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
    if (control == TControl::O1 || control == TControl::S1) {
        const int id = MenuId(control == TControl::O1 ? "O1" : "S1");
        EnableMenuItem(menu_, static_cast<UINT>(id),
                       MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
        return;
    }
    EnableWindow(Control(control), enabled);
}

void TfrmMain::SetAttrItems(const std::vector<std::string>& items) {
    HWND combo = Control(TControl::cboAttrName);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const std::string& item : items)
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(item).c_str()));
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

int TfrmMain::AttrItemCount() const {
    return static_cast<int>(SendMessageW(Control(TControl::cboAttrName), CB_GETCOUNT, 0, 0));
}

int TfrmMain::AttrIndex() const {
    const LRESULT i = SendMessageW(Control(TControl::cboAttrName), CB_GETCURSEL, 0, 0);
    return i == CB_ERR ? -1 : static_cast<int>(i);
}

void TfrmMain::SetAttrIndex(int index) {
    SendMessageW(Control(TControl::cboAttrName), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void TfrmMain::InsertRow(int index, const TRowCells& cells) {
    markTips_.insert(markTips_.begin() + std::min(size_t(index), markTips_.size()), std::wstring());
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
    for (int c = 0; c < int(cells.size()); ++c) {
        std::wstring text = W(cells[size_t(c)]);
        LVITEMW item{};
        item.iSubItem = c;
        item.pszText = text.data();
        SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&item));
    }
}

void TfrmMain::DeleteRow(int index) {
    if (size_t(index) < markTips_.size()) markTips_.erase(markTips_.begin() + index);
    HWND list = Control(TControl::lvwBatch);
    SendMessageW(list, LVM_DELETEITEM, static_cast<WPARAM>(index), 0);
    // After a deletion no row is selected.
    LVITEMW none{};
    none.stateMask = LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
}

void TfrmMain::ClearRows() {
    markTips_.clear();
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
    SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(busy_ > 0 ? 32514 : 32512)));
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

void TfrmMain::Close() {
    SendMessageW(hwnd_, WM_CLOSE, 0, 0);
}

}  // namespace quorvex
