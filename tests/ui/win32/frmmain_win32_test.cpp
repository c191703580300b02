// The Win32 window under test: its controls against the layout, and the
// conversions, batch runs, list files, About box and help driven through
// the window, with the desktop answered by a recorder.
#include <windows.h>
// After windows.h:
#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <iterator>
#include <optional>
#include <thread>

#include "support/ini_file.h"
#include "support/paths.h"
#include "support/win32_text.h"
#include "test_util.h"
#include "ui/logic/main_layout.h"
#include "ui/logic/messages.h"
#include "ui/logic/window_files.h"
#include "ui/win32/AboutDlg.h"
#include "ui/win32/MainFrm.h"
#include "ui/win32/desktop.h"
#include "ui/win32/win32_screenshot.h"
#include "ui/win32/win32_window.h"

namespace quorvex {
namespace {

using test::ReadBytes;
using test::SaveScreenshot;
using test::WriteBytes;
using test::WriteMifPair;

class TRecorder : public TWin32Desktop {
  public:
    std::vector<std::string> Log;
    std::deque<std::optional<std::string>> Answers;
    std::vector<TFileDialog> Dialogs;

    void Message(HWND, TMessageKind kind, const std::string& text) override {
        Log.push_back(std::string(kind == TMessageKind::Warning       ? "warning:"
                                  : kind == TMessageKind::Information ? "information:"
                                                                      : "error:") +
                      text);
    }
    void ShowError(HWND, const std::string& text) override { Log.push_back("fault:" + text); }
    bool Execute(HWND, TFileDialog& dialog) override {
        Dialogs.push_back(dialog);
        if (Answers.empty()) return false;
        const auto answer = Answers.front();
        Answers.pop_front();
        if (!answer) return false;
        dialog.FileName = *answer;
        return true;
    }
    void ShowAbout(HWND) override { Log.push_back("about"); }
    void ShowHelp(HWND, const std::string& helpFile) override { Log.push_back("help:" + helpFile); }
};

// The file's bytes, read through the UTF-16 file calls.
std::string ReadWide(const std::string& path) {
    HANDLE file = CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot read " + path);
    std::string bytes;
    char buffer[65536];
    DWORD n = 0;
    while (ReadFile(file, buffer, sizeof buffer, &n, nullptr) && n > 0)
        bytes.append(buffer, n);
    CloseHandle(file);
    return bytes;
}

std::string Text(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), int(text.size()))));
    return WideToUtf8(text);
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// The client area (below the menu bar) the layout needs at `dpi`: the
// designed one, or down to the status bar's bottom where the bar, sized by
// its font, is higher than designed.
SIZE NeededClient(HWND statusBar, UINT dpi) {
    RECT bar{};
    GetWindowRect(statusBar, &bar);
    return {ScaleForDpi(kMainClientWidth, dpi),
            std::max<LONG>(ScaleForDpi(kMainClientHeight, dpi),
                           ScaleForDpi(kMainStatusTop, dpi) + bar.bottom - bar.top)};
}

// The outer size that leaves that client area inside the window's frame.
SIZE NeededOuter(HWND window, HWND statusBar, UINT dpi) {
    const SIZE client = NeededClient(statusBar, dpi);
    RECT r{0, 0, client.cx, client.cy};
    AdjustRectForDpi(r, DWORD(GetWindowLongPtrW(window, GWL_STYLE)),
                     DWORD(GetWindowLongPtrW(window, GWL_EXSTYLE)), true, dpi);
    return {r.right - r.left, r.bottom - r.top};
}

// A control's rectangle in the client area of its top-level window.
RECT InClient(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetAncestor(control, GA_ROOT), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

class Win32Window : public testing::Test {
  protected:
    void SetUp() override {
        store.Path = dir / "Quorvex.INI";
        store.FallbackPath = dir / "config/Quorvex.INI";
        frm = std::make_unique<TfrmMain>(ui, store);
        mif = dir / "town.mif";
        WriteMifPair(mif);
    }
    HWND C(const char* name) { return frm->Control(name); }
    void Type(const char* name, const std::string& text) {
        SetWindowTextW(C(name), Utf8ToWide(text).c_str());
    }
    void Click(const char* name) { SendMessageW(C(name), BM_CLICK, 0, 0); }
    void Menu(const char* name) {
        SendMessageW(frm->Handle(), WM_COMMAND, ControlId(FindControlSpec(name)->Id), 0);
    }
    int Rows() { return int(SendMessageW(C("lvwBatch"), LVM_GETITEMCOUNT, 0, 0)); }
    int Image(int row) {
        LVITEMW item{};
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        SendMessageW(C("lvwBatch"), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        return item.iImage;
    }
    std::string Cell(int row, int column) {
        wchar_t buffer[1024] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer;
        item.cchTextMax = 1024;
        SendMessageW(C("lvwBatch"), LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&item));
        return WideToUtf8(buffer);
    }
    // The status bar's text, and the tip the list shows for a row.
    std::string Status() {
        wchar_t text[256] = {};
        SendMessageW(frm->StatusBar(), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
        return WideToUtf8(text);
    }
    std::string Tip(int row) {
        wchar_t tip[512] = {};
        NMLVGETINFOTIPW info{};
        info.hdr = {C("lvwBatch"), static_cast<UINT_PTR>(GetDlgCtrlID(C("lvwBatch"))),
                    LVN_GETINFOTIPW};
        info.pszText = tip;
        info.cchTextMax = 512;
        info.iItem = row;
        SendMessageW(frm->Handle(), WM_NOTIFY, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info));
        return WideToUtf8(tip);
    }
    int S(int v) { return ScaleForDpi(v, frm->Dpi()); }

    test::TempDir dir;
    TRecorder ui;
    TPlacementStore store;
    std::unique_ptr<TfrmMain> frm;
    std::string mif;
};

// ---- The window as designed ----

TEST_F(Win32Window, EveryControlHasItsClassIdCaptionRectangleAndStartState) {
    for (const TControlSpec& spec : kMainControls) {
        SCOPED_TRACE(spec.Name);
        HWND c = C(spec.Name);
        if (!IsClientControl(spec.Kind)) {
            EXPECT_EQ(c, nullptr);
            continue;
        }
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(GetParent(c), frm->Handle());
        EXPECT_EQ(GetDlgCtrlID(c), ControlId(spec.Id));
        const std::wstring expectedClass[] = {L"Static", L"Edit",   L"Button",       L"ComboBox",
                                              L"Button", L"Button", L"SysListView32"};
        EXPECT_EQ(_wcsicmp(ClassOf(c).c_str(), expectedClass[int(spec.Kind)].c_str()), 0);
        // A drop-down list's text is its choice.
        EXPECT_EQ(Text(c), spec.Items.empty() ? spec.Caption : spec.Items[0]);
        RECT r{};
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, frm->Handle(), reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, S(ClientLeft(spec)));
        EXPECT_EQ(r.top, S(ClientTop(spec)));
        if (spec.Kind != TControlKind::Label && spec.Kind != TControlKind::DropDownList) {
            EXPECT_EQ(r.right - r.left, S(spec.Width));
            EXPECT_EQ(r.bottom - r.top, S(spec.Height));
        }
        const LONG_PTR style = GetWindowLongPtrW(c, GWL_STYLE);
        EXPECT_EQ(IsWindowEnabled(c) != FALSE, spec.Enabled);
        if (spec.Kind == TControlKind::CheckBox) {
            EXPECT_EQ(style & BS_TYPEMASK, BS_AUTOCHECKBOX);
            EXPECT_EQ(SendMessageW(c, BM_GETCHECK, 0, 0) == BST_CHECKED, spec.Checked);
        }
        if (spec.Kind == TControlKind::GroupBox) {
            EXPECT_EQ(style & BS_TYPEMASK, BS_GROUPBOX);
        }
        if (spec.Kind == TControlKind::DropDownList) {
            EXPECT_EQ(style & 3, CBS_DROPDOWNLIST);
            // A fixed list holds its entries from the start, the first chosen.
            EXPECT_EQ(SendMessageW(c, CB_GETCOUNT, 0, 0), LRESULT(spec.Items.size()));
            EXPECT_EQ(SendMessageW(c, CB_GETCURSEL, 0, 0), spec.Items.empty() ? CB_ERR : 0);
            for (size_t k = 0; k < spec.Items.size(); ++k) {
                wchar_t item[64] = {};
                SendMessageW(c, CB_GETLBTEXT, k, reinterpret_cast<LPARAM>(item));
                EXPECT_EQ(WideToUtf8(item), spec.Items[k]);
            }
        }
    }
    HWND list = C("lvwBatch");
    const LONG_PTR style = GetWindowLongPtrW(list, GWL_STYLE);
    EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_TRUE(style & LVS_SINGLESEL);
    EXPECT_TRUE(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(
        reinterpret_cast<HIMAGELIST>(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0)), &cx,
        &cy);
    EXPECT_EQ(cx, S(16));
    EXPECT_EQ(cy, S(16));
    for (int c = 0; c < int(std::size(kBatchColumns)); ++c) {
        wchar_t caption[32] = {};
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = caption;
        column.cchTextMax = 32;
        SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(c),
                     reinterpret_cast<LPARAM>(&column));
        EXPECT_EQ(WideToUtf8(caption), kBatchColumns[c].Caption);
        EXPECT_EQ(column.cx, S(kBatchColumns[c].Width));
    }
}

TEST_F(Win32Window, WindowMenuAndStatusBar) {
    frm->Show();
    // The first start: just the designed client area inside the frame.
    RECT r{};
    GetWindowRect(frm->Handle(), &r);
    const SIZE outer = NeededOuter(frm->Handle(), frm->StatusBar(), frm->Dpi());
    EXPECT_EQ(r.right - r.left, outer.cx);
    EXPECT_EQ(r.bottom - r.top, outer.cy);
    EXPECT_EQ(std::make_pair(r.left, r.top), std::make_pair(20L, 20L));
    GetClientRect(frm->Handle(), &r);
    const SIZE needed = NeededClient(frm->StatusBar(), frm->Dpi());
    EXPECT_EQ(r.right, needed.cx);
    EXPECT_EQ(r.bottom, needed.cy);
    EXPECT_EQ(Text(frm->Handle()), msg::kAppTitle);
    const LONG_PTR style = GetWindowLongPtrW(frm->Handle(), GWL_STYLE);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_EQ(ClassOf(frm->StatusBar()), STATUSCLASSNAMEW);
    RECT client{}, bar{};
    GetClientRect(frm->Handle(), &client);
    GetWindowRect(frm->StatusBar(), &bar);
    MapWindowPoints(nullptr, frm->Handle(), reinterpret_cast<POINT*>(&bar), 2);
    EXPECT_EQ(bar.bottom, client.bottom);
    // Below the lowest row of buttons, however high its font makes it.
    EXPECT_LE(InClient(C("btnBatch")).bottom, bar.top);

    HMENU menu = GetMenu(frm->Handle());
    ASSERT_EQ(GetMenuItemCount(menu), 3);
    wchar_t text[64] = {};
    GetMenuStringW(menu, 0, text, 64, MF_BYPOSITION);
    EXPECT_EQ(WideToUtf8(text), "ファイル(&F)");
    GetMenuStringW(menu, 1, text, 64, MF_BYPOSITION);
    EXPECT_EQ(WideToUtf8(text), "表示(&V)");
    GetMenuStringW(menu, ControlId(TControl::P1), text, 64, MF_BYCOMMAND);
    EXPECT_EQ(WideToUtf8(text), "プレビュー(&P)\tCtrl+P");
    GetMenuStringW(menu, ControlId(TControl::O1), text, 64, MF_BYCOMMAND);
    EXPECT_EQ(WideToUtf8(text), "開く(&O)...\tCtrl+O");
    GetMenuStringW(menu, ControlId(TControl::H2), text, 64, MF_BYCOMMAND);
    EXPECT_EQ(WideToUtf8(text), "トピックの検索(&H)\tF1");
    EXPECT_EQ(CopyAcceleratorTableW(frm->Accelerators(), nullptr, 0), 4);
    // Every item of the table, under its own ID; the list's in its own menu.
    for (const TControlSpec& spec : kMainControls) {
        if (spec.Kind != TControlKind::MenuItem) continue;
        HMENU owner = IsPopupItem(spec) ? frm->ListMenu() : menu;
        ASSERT_GT(GetMenuStringW(owner, UINT(ControlId(spec.Id)), text, 64, MF_BYCOMMAND), 0);
        EXPECT_EQ(WideToUtf8(text),
                  std::string(spec.Caption) + (*spec.Shortcut ? "\t" : "") + spec.Shortcut);
    }
}

TEST_F(Win32Window, ADpiChangeScalesControlsAndFontAndGrowsTheWindow) {
    frm->Show();
    RECT before{};
    GetWindowRect(frm->Handle(), &before);
    const int widthBefore = before.right - before.left;
    const int dpi = int(frm->Dpi()) * 3 / 2;
    RECT suggested{10, 10, 10 + MulDiv(widthBefore, dpi, int(frm->Dpi())),
                   10 + MulDiv(before.bottom - before.top, dpi, int(frm->Dpi()))};
    SendMessageW(frm->Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(frm->Dpi(), UINT(dpi));
    // The window takes the suggested rectangle as far as the screen allows
    // (the X server keeps it within the screen); the controls scale fully.
    RECT r{};
    GetWindowRect(frm->Handle(), &r);
    EXPECT_GT(r.right - r.left, widthBefore);
    GetWindowRect(C("btnBatch"), &r);
    MapWindowPoints(nullptr, frm->Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, ScaleForDpi(712, UINT(dpi)));
    EXPECT_EQ(r.right - r.left, ScaleForDpi(75, UINT(dpi)));
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(C("btnBatch"), WM_GETFONT, 0, 0)), sizeof font,
               &font);
    EXPECT_EQ(font.lfHeight,
              WindowFontFace().empty() ? font.lfHeight : -ScaleForDpi(12, UINT(dpi)));
}

TEST_F(Win32Window, TabOrderFollowsTheDesign) {
    frm->Show();
    const char* order[] = {"edtSimFile",  "btnSimBrowse",   "edtMifFile",   "btnMifBrowse",
                           "cboAttrName", "edtGenba",       "cboZone",      "chkKakuchi",
                           "chkRosen",    "chkYX",          "chkEnd",       "btnAdd",
                           "btnConvert",  "lvwBatch",       "chkCombine",   "btnClear",
                           "btnBatch",    "edtConbineFile", "btnCmbBrowse", "edtCombineGenba"};
    // btnReplace and btnRemove start disabled and are passed over.
    HWND at = C(order[0]);
    for (size_t i = 1; i < std::size(order); ++i) {
        at = GetNextDlgTabItem(frm->Handle(), at, FALSE);
        EXPECT_EQ(at, C(order[i])) << order[i];
    }
    EXPECT_EQ(GetNextDlgTabItem(frm->Handle(), at, FALSE), C(order[0]));
}

// ---- Driven through the window ----

TEST_F(Win32Window, SingleConversionWritesTheCommandLinesBytes) {
    frm->Show();
    Click("btnConvert");
    EXPECT_EQ(ui.Log, std::vector<std::string>{std::string("warning:") + msg::kBadMifFile});
    ui.Answers = {mif};
    Click("btnMifBrowse");
    EXPECT_EQ(Text(C("edtSimFile")), dir / "town.sim");
    Type("edtGenba", "北地区");
    SendMessageW(C("chkEnd"), BM_CLICK, 0, 0);
    // The attribute list is filled as it opens.
    SendMessageW(frm->Handle(), WM_COMMAND,
                 MAKEWPARAM(GetDlgCtrlID(C("cboAttrName")), CBN_DROPDOWN),
                 reinterpret_cast<LPARAM>(C("cboAttrName")));
    ASSERT_EQ(SendMessageW(C("cboAttrName"), CB_GETCOUNT, 0, 0), 4);
    SendMessageW(C("cboAttrName"), CB_SETCURSEL, 2, 0);
    ui.Log.clear();
    Click("btnConvert");
    EXPECT_EQ(ui.Log, std::vector<std::string>{std::string("information:") + msg::kConvertOk});

    const test::ProgramResult cli = test::RunProgram(
        QUORVEX_CLI, {"--attr", "2", "--genba", "北地区", "--close", mif, dir / "cli.sim"});
    ASSERT_EQ(cli.status, 0) << cli.out;
    EXPECT_EQ(ReadBytes(dir / "town.sim"), ReadBytes(dir / "cli.sim"));
}

TEST_F(Win32Window, TwoRowBatchPerFileAndCombinedThenSavedAndLoaded) {
    frm->Show();
    // A Japanese name whose code page 932 form has 0x5C as its trail byte.
    ASSERT_TRUE(CopyFileW(Utf8ToWide(mif).c_str(), Utf8ToWide(dir / "表.mif").c_str(), FALSE));
    ASSERT_TRUE(
        CopyFileW(Utf8ToWide(dir / "town.mid").c_str(), Utf8ToWide(dir / "表.mid").c_str(), FALSE));
    for (const std::string& m : {mif, dir / "表.mif"}) {
        Type("edtMifFile", m);
        Type("edtSimFile", m.substr(0, m.size() - 4) + ".sim");
        Click("btnAdd");
    }
    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(frm->CellText(1, 1), dir / "表.mif");
    EXPECT_EQ(Cell(0, 5), "○");
    Type("edtGenba", "北地区");
    Click("btnBatch");
    SaveScreenshot(frm->Handle(), "window-windows.bmp");
    EXPECT_EQ(ui.Log, std::vector<std::string>{std::string("information:") + msg::kBatchDone});
    EXPECT_EQ(Image(0), 0);
    EXPECT_EQ(Image(1), 0);
    EXPECT_EQ(ReadBytes(dir / "town.sim"), ReadWide(dir / "表.sim"));
    EXPECT_TRUE(IsWindowEnabled(C("btnBatch")));

    SendMessageW(C("chkCombine"), BM_CLICK, 0, 0);
    Type("edtConbineFile", dir / "all.sim");
    ui.Log.clear();
    Click("btnBatch");
    EXPECT_TRUE(ui.Log.empty());
    EXPECT_EQ(Image(1), 0);
    EXPECT_FALSE(ReadBytes(dir / "all.sim").empty());

    ui.Answers = {dir / "list.txt", dir / "list.txt"};
    Menu("S1");
    Click("btnClear");
    EXPECT_EQ(Rows(), 0);
    Menu("O1");
    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(frm->CellText(1, 1), dir / "表.mif");
    EXPECT_EQ(SendMessageW(C("chkCombine"), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(ui.Dialogs[0].Name, "SaveDialog2");
    EXPECT_EQ(ui.Dialogs[1].Name, "OpenDialog2");
    EXPECT_EQ(
        DialogFilter(ui.Dialogs[0]),
        std::wstring(L"Quorvexバッチファイル (*.txt)\0*.txt\0すべてのファイル (*.*)\0*.*\0\0", 49));

    // Selecting a row enables replace and remove; a double-click copies it back.
    LVITEMW item{};
    item.stateMask = item.state = LVIS_SELECTED;
    SendMessageW(C("lvwBatch"), LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_TRUE(IsWindowEnabled(C("btnRemove")));
    NMHDR dbl{C("lvwBatch"), static_cast<UINT_PTR>(GetDlgCtrlID(C("lvwBatch"))), NM_DBLCLK};
    SendMessageW(frm->Handle(), WM_NOTIFY, dbl.idFrom, reinterpret_cast<LPARAM>(&dbl));
    EXPECT_EQ(Text(C("edtMifFile")), dir / "表.mif");
    Click("btnRemove");
    EXPECT_EQ(Rows(), 1);
    EXPECT_FALSE(IsWindowEnabled(C("btnRemove")));
}

// A drop from the shell: WM_DROPFILES with the files in a DROPFILES block,
// at `at` in the window's client area.
void DropFiles(HWND window, POINT at, const std::vector<std::string>& paths) {
    std::wstring names;
    for (const std::string& p : paths)
        names += Utf8ToWide(p) + L'\0';
    names += L'\0';
    const size_t size = sizeof(DROPFILES) + names.size() * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GHND, size);
    auto* files = static_cast<DROPFILES*>(GlobalLock(block));
    files->pFiles = sizeof(DROPFILES);
    files->pt = at;
    files->fNC = FALSE;
    files->fWide = TRUE;
    memcpy(reinterpret_cast<char*>(files) + sizeof(DROPFILES), names.data(),
           names.size() * sizeof(wchar_t));
    GlobalUnlock(block);
    // The window frees the block (DragFinish).
    SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0);
}

TEST_F(Win32Window, DroppedFilesAndTheStatusTextOfARun) {
    frm->Show();
    RECT list{};
    GetWindowRect(C("lvwBatch"), &list);
    MapWindowPoints(nullptr, frm->Handle(), reinterpret_cast<POINT*>(&list), 2);
    const POINT onList{(list.left + list.right) / 2, (list.top + list.bottom) / 2};
    ASSERT_TRUE(CopyFileW(Utf8ToWide(mif).c_str(), Utf8ToWide(dir / "表.mif").c_str(), FALSE));
    ASSERT_TRUE(
        CopyFileW(Utf8ToWide(dir / "town.mid").c_str(), Utf8ToWide(dir / "表.mid").c_str(), FALSE));
    DropFiles(frm->Handle(), onList, {mif, dir / "表.mif", dir / "gone.mif"});
    ASSERT_EQ(Rows(), 3);
    EXPECT_EQ(frm->CellText(1, 2), dir / "表.sim");
    DropFiles(frm->Handle(), POINT{S(20), S(30)}, {dir / "表.mif"});
    EXPECT_EQ(Text(C("edtMifFile")), dir / "表.mif");
    EXPECT_EQ(Text(C("edtSimFile")), dir / "表.sim");
    DropFiles(frm->Handle(), POINT{S(20), S(30)}, {dir / "list.txt"});
    EXPECT_EQ(ui.Log, std::vector<std::string>{std::string("warning:") + msg::kDropOnPanel});

    // The run's end in the status bar; the failed row's cause for its tip.
    ui.Log.clear();
    Click("btnBatch");
    EXPECT_EQ(Status(), "3 件中 2 件成功、1 件失敗");
    EXPECT_EQ(Image(2), 1);
    EXPECT_EQ(Tip(2), "MIFファイル「" + std::string(dir / "gone.mif") + "」が見つかりません。");
}

// The button that started a run has the focus again when the run is done.
TEST_F(Win32Window, TheFocusReturnsToTheButtonThatStartedTheRun) {
    frm->Show();
    SetForegroundWindow(frm->Handle());
    Type("edtMifFile", mif);
    Type("edtSimFile", dir / "a.sim");
    Click("btnAdd");
    ASSERT_EQ(Rows(), 1);
    SetFocus(C("btnBatch"));
    ASSERT_EQ(GetFocus(), C("btnBatch"));
    Click("btnBatch");
    EXPECT_EQ(Image(0), 0);
    EXPECT_EQ(GetFocus(), C("btnBatch"));
}

// Enter on a crossed row shows its cause in a message box.
TEST_F(Win32Window, EnterOnACrossedRowShowsItsCause) {
    frm->Show();
    WriteMifPair(dir / "gone.mif");
    Type("edtMifFile", dir / "gone.mif");
    Type("edtSimFile", dir / "a.sim");
    Click("btnAdd");
    std::filesystem::remove(dir / "gone.mid");
    ASSERT_EQ(Rows(), 1);
    Click("btnBatch");
    ASSERT_EQ(Image(0), 1);
    ui.Log.clear();
    LVITEMW item{};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(C("lvwBatch"), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
    MSG enter{C("lvwBatch"), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_TRUE(frm->PreTranslateMessage(enter));
    ASSERT_EQ(ui.Log.size(), 1u);
    EXPECT_EQ(ui.Log[0],
              "error:MIDファイル「" + std::string(dir / "gone.mid") + "」が見つかりません。");
}

// ---- The list's cells, keys and context menu ----

// A path cell shows the file's name, the folders giving way; the tooltip over
// it has the whole path.
TEST_F(Win32Window, PathCellsKeepTheFileNameAndTipTheWholePath) {
    const std::string deep = dir / "a folder with a rather long name\\and another one";
    ASSERT_TRUE(
        CreateDirectoryW(Utf8ToWide(dir / "a folder with a rather long name").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(Utf8ToWide(deep).c_str(), nullptr));
    WriteMifPair(deep + "\\表.mif");
    const std::string longName = deep + "\\調査結果一覧表_北地区_令和六年度_第二回の提出分.mif";
    WriteMifPair(longName);
    for (const std::string& m : {deep + "\\表.mif", longName}) {
        Type("edtMifFile", m);
        Type("edtSimFile", deep + "\\result.sim");
        Click("btnAdd");
    }
    frm->Show();
    ASSERT_EQ(Rows(), 2);
    const std::string ellipsis = "\xE2\x80\xA6";
    EXPECT_EQ(frm->CellText(0, 1), deep + "\\表.mif");
    const std::string shown = Cell(0, 1);
    EXPECT_EQ(shown.substr(0, ellipsis.size() + 1), ellipsis + "\\") << shown;
    auto endsWith = [](const std::string& text, const std::string& tail) {
        return text.size() >= tail.size() &&
               text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
    };
    EXPECT_TRUE(endsWith(shown, "\\表.mif")) << shown;
    EXPECT_EQ(Cell(0, 2).substr(0, ellipsis.size() + 1), ellipsis + "\\") << Cell(0, 2);
    const std::string name = Cell(1, 1);
    EXPECT_EQ(name.substr(0, 3), "調") << name;
    EXPECT_NE(name.find(ellipsis), std::string::npos) << name;
    EXPECT_TRUE(endsWith(name, "分.mif")) << name;
    // The text fits its column in the list's font.
    HWND list = C("lvwBatch");
    HDC dc = GetDC(list);
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
    for (const std::string& text : {shown, name}) {
        const std::wstring wide = Utf8ToWide(text);
        SIZE size{};
        GetTextExtentPoint32W(dc, wide.c_str(), int(wide.size()), &size);
        EXPECT_LE(size.cx, SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0)) << text;
    }
    SelectObject(dc, old);
    ReleaseDC(list, dc);

    // The tooltip over the path is the path; over the mark, the mark's.
    auto tipAt = [&](int column) {
        RECT cell{};
        cell.top = column;
        cell.left = LVIR_BOUNDS;
        SendMessageW(list, LVM_GETSUBITEMRECT, 1, reinterpret_cast<LPARAM>(&cell));
        POINT at{(column == 0 ? cell.left + 4 : (cell.left + cell.right) / 2),
                 (cell.top + cell.bottom) / 2};
        ClientToScreen(list, &at);
        SetCursorPos(at.x, at.y);
        wchar_t tip[512] = {};
        NMLVGETINFOTIPW info{};
        info.hdr = {list, static_cast<UINT_PTR>(GetDlgCtrlID(list)), LVN_GETINFOTIPW};
        info.pszText = tip;
        info.cchTextMax = 512;
        info.iItem = 1;
        SendMessageW(frm->Handle(), WM_NOTIFY, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info));
        return WideToUtf8(tip);
    };
    EXPECT_EQ(tipAt(1), longName);
    EXPECT_EQ(tipAt(2), deep + "\\result.sim");
    EXPECT_EQ(tipAt(0), "");
    // A column wide enough shows it all.
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 1, S(700));
    EXPECT_EQ(Cell(0, 1), deep + "\\表.mif");
}

// Delete and Alt+Up/Down on the list, the context menu's commands and
// states, the results on the clipboard, and nothing of it during a run.
TEST_F(Win32Window, ListKeysAndMenuMoveDeleteAndCopyResults) {
    frm->Show();
    for (const char* sim : {"a.sim", "b.sim", "c.sim"}) {
        Type("edtMifFile", mif);
        Type("edtSimFile", dir / sim);
        Click("btnAdd");
    }
    HWND list = C("lvwBatch");
    auto select = [&](int row) {
        LVITEMW item{};
        item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&item));
    };
    auto sims = [&] {
        std::string order;
        for (int i = 0; i < Rows(); ++i)
            order += std::string(GetFileName(frm->CellText(i, 2))) + " ";
        return order;
    };
    auto enabled = [&] {
        std::string states;
        for (TControl c : {TControl::mnuMoveUp, TControl::mnuMoveDown, TControl::mnuRemove,
                           TControl::mnuToPanel, TControl::mnuShowError, TControl::mnuCopyResults})
            states += GetMenuState(frm->ListMenu(), UINT(ControlId(c)), MF_BYCOMMAND) & MF_GRAYED
                          ? '0'
                          : '1';
        return states;
    };
    auto selected = [&] {
        return int(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    };
    EXPECT_EQ(enabled(), "000001");
    select(2);
    EXPECT_EQ(enabled(), "101101");
    MSG altUp{list, WM_SYSKEYDOWN, VK_UP, 0x20000000, 0, {}};
    EXPECT_TRUE(frm->PreTranslateMessage(altUp));
    EXPECT_EQ(sims(), "a.sim c.sim b.sim ");
    EXPECT_EQ(selected(), 1);
    EXPECT_EQ(enabled(), "111101");
    MSG altDown{list, WM_SYSKEYDOWN, VK_DOWN, 0x20000000, 0, {}};
    EXPECT_TRUE(frm->PreTranslateMessage(altDown));
    EXPECT_EQ(sims(), "a.sim b.sim c.sim ");
    MSG del{list, WM_KEYDOWN, VK_DELETE, 0, 0, {}};
    EXPECT_TRUE(frm->PreTranslateMessage(del));
    EXPECT_EQ(sims(), "a.sim b.sim ");
    // Delete elsewhere is the edit box's.
    MSG delInEdit{C("edtGenba"), WM_KEYDOWN, VK_DELETE, 0, 0, {}};
    frm->PreTranslateMessage(delInEdit);
    EXPECT_EQ(Rows(), 2);

    // The menu's commands arrive as the menu sends them.
    select(1);
    Menu("mnuMoveUp");
    EXPECT_EQ(sims(), "b.sim a.sim ");
    Menu("mnuToPanel");
    EXPECT_EQ(Text(C("edtSimFile")), dir / "b.sim");
    Menu("mnuCopyResults");
    ASSERT_TRUE(OpenClipboard(frm->Handle()));
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(data, nullptr);
    const std::string copied = WideToUtf8(static_cast<const wchar_t*>(GlobalLock(data)));
    GlobalUnlock(data);
    CloseClipboard();
    EXPECT_EQ(copied,
              "元ファイル\t結果\t内容\r\n" + mif + "\t未実行\t\r\n" + mif + "\t未実行\t\r\n");

    // Keys and commands waiting while a run goes on change nothing.
    select(1);
    PostMessageW(list, WM_KEYDOWN, VK_DELETE, 0);
    PostMessageW(list, WM_SYSKEYDOWN, VK_UP, 0x20000000);
    PostMessageW(frm->Handle(), WM_COMMAND, ControlId(TControl::mnuRemove), 0);
    PostMessageW(frm->Handle(), WM_COMMAND, ControlId(TControl::mnuMoveUp), 0);
    Click("btnBatch");
    EXPECT_EQ(Image(0), 0);
    EXPECT_EQ(Image(1), 0);
    EXPECT_EQ(sims(), "b.sim a.sim ");
}

// A file dialog given a folder opens there, whatever folder its last
// choice was in.
TEST(Win32FileDialog, OpensInItsFolder) {
    test::TempDir dir;
    ASSERT_TRUE(CreateDirectoryW(Utf8ToWide(dir / "here").c_str(), nullptr));
    TFileDialog dialog{
        "SaveDialog1", TFileDialog::Save, {{"SIMAファイル", "*.sim"}}, "sim", "", ""};
    dialog.FileName = dir / "a.sim";
    dialog.InitialDir = dir / "here";
    wchar_t folder[MAX_PATH] = {};
    const DWORD self = GetCurrentThreadId();
    // The dialog runs its own loop on this thread; another one reads it and
    // cancels it.
    std::thread reader([&] {
        for (int i = 0; i < 200; ++i) {
            Sleep(50);
            HWND found = nullptr;
            EnumThreadWindows(
                self,
                [](HWND w, LPARAM out) {
                    wchar_t name[16] = {};
                    GetClassNameW(w, name, 16);
                    if (std::wstring(name) != L"#32770" || !IsWindowVisible(w)) return TRUE;
                    *reinterpret_cast<HWND*>(out) = w;
                    return FALSE;
                },
                reinterpret_cast<LPARAM>(&found));
            if (!found) continue;
            SendMessageW(found, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder));
            PostMessageW(found, WM_COMMAND, IDCANCEL, 0);
            return;
        }
    });
    TDesktop desktop;
    EXPECT_FALSE(desktop.Execute(nullptr, dialog));
    reader.join();
    std::wstring want = Utf8ToWide(dir / "here");
    for (wchar_t& c : want)
        if (c == L'/') c = L'\\';
    EXPECT_EQ(lstrcmpiW(folder, want.c_str()), 0) << WideToUtf8(folder);
}

// The zone drop-down: its zone in the conversion and the rows, the row's zone
// in its column and back by a double click, the coordinates in the status
// bar, a warning in the tick's tip.
TEST_F(Win32Window, ZoneGoesIntoTheConversionAndTheRowsAndComesBack) {
    frm->Show();
    const std::string lonLat = dir / "lonlat.mif";
    WriteBytes(lonLat,
               "Version 300\r\nCharset \"Neutral\"\r\nDelimiter \",\"\r\n"
               "CoordSys Earth Projection 1, 152\r\nColumns 1\r\n  ID Integer\r\nData\r\n"
               "Line 139.7 35.6 139.95 35.9\r\n");
    WriteBytes(dir / "lonlat.mid", "1\r\n");
    Type("edtMifFile", lonLat);
    Type("edtSimFile", dir / "z.sim");
    SendMessageW(C("cboZone"), CB_SETCURSEL, 9, 0);
    Click("btnConvert");
    EXPECT_EQ(ui.Log, std::vector<std::string>{std::string("information:") + msg::kConvertOk});
    EXPECT_EQ(Status(), "画地 0、路線 1、座標 2　経緯度（度、JGD2000） → 第IX系");
    EXPECT_NE(ReadBytes(dir / "z.sim").find("A01,1,1,-44369.4985042834,-12081.0357751727,0,"),
              std::string::npos);
    Click("btnAdd");
    SendMessageW(C("cboZone"), CB_SETCURSEL, 0, 0);
    Type("edtSimFile", dir / "plain.sim");
    Click("btnAdd");
    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(frm->Logic().Row(0).Zone, 9);
    EXPECT_EQ(Cell(0, 9), "IX");
    EXPECT_EQ(Cell(1, 9), "");

    ui.Log.clear();
    Click("btnBatch");
    EXPECT_EQ(Status(), "2 件中 2 件成功、0 件失敗、警告 1 件");
    EXPECT_EQ(Image(1), 0);
    EXPECT_NE(Tip(1).find("経緯度"), std::string::npos) << Tip(1);

    // A double click puts the row's zone back.
    LVITEMW item{};
    item.stateMask = item.state = LVIS_SELECTED;
    SendMessageW(C("lvwBatch"), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
    NMHDR dbl{C("lvwBatch"), static_cast<UINT_PTR>(GetDlgCtrlID(C("lvwBatch"))), NM_DBLCLK};
    SendMessageW(frm->Handle(), WM_NOTIFY, dbl.idFrom, reinterpret_cast<LPARAM>(&dbl));
    EXPECT_EQ(SendMessageW(C("cboZone"), CB_GETCURSEL, 0, 0), 9);
}

TEST_F(Win32Window, KeysReachTheMenuCommandsAndHelpIsTheProgramsChm) {
    frm->Show();
    MSG f1{frm->Handle(), WM_KEYDOWN, VK_F1, 0, 0, {}};
    EXPECT_TRUE(frm->PreTranslateMessage(f1));
    ASSERT_EQ(ui.Log.size(), 1u);
    EXPECT_EQ(ui.Log[0].substr(ui.Log[0].size() - 4), ".chm");
    EXPECT_EQ(ui.Log[0].find("help:"), 0u);
    Menu("A1");
    EXPECT_EQ(ui.Log.back(), "about");
    ui.Answers = {std::nullopt};
    MSG ctrlO{frm->Handle(), WM_KEYDOWN, 'O', 0, 0, {}};
    // Ctrl is read from the keyboard state.
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    EXPECT_TRUE(frm->PreTranslateMessage(ctrlO));
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    ASSERT_EQ(ui.Dialogs.size(), 1u);
    EXPECT_EQ(ui.Dialogs[0].Name, "OpenDialog2");
}

// A stored outer size is the user's and comes back, unless today's frame
// would leave too small a client area in it.
TEST_F(Win32Window, StoredSizeIsKeptUnlessTheClientAreaWouldNotFit) {
    const SIZE needed = NeededOuter(frm->Handle(), frm->StatusBar(), frm->Dpi());
    WriteBytes(store.Path, "[Window]\r\nLeft=30\r\nTop=20\r\nWidth=" +
                               std::to_string(needed.cx + 100) + "\r\nHeight=200\r\n");
    frm->Show();
    RECT r{};
    GetWindowRect(frm->Handle(), &r);
    EXPECT_EQ(r.right - r.left, needed.cx + 100);
    EXPECT_EQ(r.bottom - r.top, needed.cy);
}

// Windows 10 and 11 draw thicker frames and captions than the design's
// 800 x 451 allowed for. This runs in a Wine prefix whose window metrics
// are Windows 10's (thick_frames.sh, QUORVEX_THICK_FRAMES set); under the
// usual metrics it has nothing to show and skips.
TEST_F(Win32Window, ThickFramesCoverNoControl) {
    // The design's client area in the frame, without the status bar's growth.
    RECT design{0, 0, S(kMainClientWidth), S(kMainClientHeight)};
    AdjustRectForDpi(design, DWORD(GetWindowLongPtrW(frm->Handle(), GWL_STYLE)),
                     DWORD(GetWindowLongPtrW(frm->Handle(), GWL_EXSTYLE)), true, frm->Dpi());
    if (design.right - design.left <= S(800) && design.bottom - design.top <= S(451)) {
        ASSERT_EQ(GetEnvironmentVariableW(L"QUORVEX_THICK_FRAMES", nullptr, 0), 0u)
            << "the prefix's frames are not thick: caption " << GetSystemMetrics(SM_CYCAPTION)
            << ", frame " << GetSystemMetrics(SM_CXFRAME);
        GTEST_SKIP() << "the frames here leave 800 x 451 room enough";
    }
    // The first start, and a size stored by the design's outer size.
    for (const char* size : {"", "Width=800\r\nHeight=451\r\n"}) {
        SCOPED_TRACE(size);
        WriteBytes(store.Path, std::string("[Window]\r\nLeft=30\r\nTop=20\r\n") + size);
        TfrmMain form(ui, store);
        form.Show();
        if (!*size) SaveScreenshot(form.Handle(), "window-windows10.bmp");
        RECT client{};
        GetClientRect(form.Handle(), &client);
        const SIZE needed = NeededClient(form.StatusBar(), form.Dpi());
        EXPECT_EQ(client.right, needed.cx);
        EXPECT_EQ(client.bottom, needed.cy);
        const RECT bar = InClient(form.StatusBar());
        EXPECT_EQ(bar.bottom, client.bottom);
        for (const char* button :
             {"btnAdd", "btnReplace", "btnConvert", "btnClear", "btnRemove", "btnBatch"})
            EXPECT_LE(InClient(form.Control(button)).bottom, bar.top) << button;
        for (const char* right : {"lvwBatch", "chkCombine", "btnCmbBrowse", "btnBatch"})
            EXPECT_LE(InClient(form.Control(right)).right, client.right) << right;
    }
}

TEST_F(Win32Window, ClosingStoresThePlacementInTheIni) {
    WriteBytes(store.Path, "[Recent]\r\nFile=a.txt\r\n[Window]\r\nLeft=40\r\nTop=30\r\n");
    frm->Show();
    RECT r{};
    GetWindowRect(frm->Handle(), &r);
    EXPECT_EQ(r.left, 40);
    EXPECT_EQ(r.top, 30);
    const LONG width = r.right - r.left;
    SetWindowPos(frm->Handle(), nullptr, 70, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Menu("X1");
    EXPECT_FALSE(IsWindow(frm->Handle()));
    const TIniFile ini(store.Path);
    EXPECT_EQ(ini.ReadInteger("Window", "Left", -1), 70);
    EXPECT_EQ(ini.ReadInteger("Window", "Top", -1), 60);
    EXPECT_EQ(ini.ReadInteger("Window", "Width", -1), width);
    EXPECT_EQ(ini.ReadInteger("Window", "State", -1), 0);
    EXPECT_EQ(ReadBytes(store.Path).substr(0, 22), "[Recent]\r\nFile=a.txt\r\n");
}

// The box as shown: its caption, version and outer height, which of its
// address lines are visible, and what clicking both links opened.
struct TAboutSeen {
    std::string Caption, Version;
    int Height = 0;
    std::vector<bool> LinesVisible;
    std::string WebText, MailText;
    std::vector<std::string> Opened;
};

TAboutSeen ShowAboutAndClickLinks() {
    TAboutSeen seen;
    TdlgAbout::SetUrlOpener([&](const std::string& url) { seen.Opened.push_back(url); });
    TdlgAbout::SetOnShown([&](HWND dlg) {
        seen.Caption = Text(dlg);
        seen.Version = Text(GetDlgItem(dlg, TdlgAbout::lblVersion));
        RECT r{};
        GetWindowRect(dlg, &r);
        seen.Height = r.bottom - r.top;
        for (int id : {TdlgAbout::lblUrlCaption, TdlgAbout::Label6, TdlgAbout::lblMailCaption,
                       TdlgAbout::Label4})
            seen.LinesVisible.push_back(
                (GetWindowLongPtrW(GetDlgItem(dlg, id), GWL_STYLE) & WS_VISIBLE) != 0);
        seen.WebText = Text(GetDlgItem(dlg, TdlgAbout::Label6));
        seen.MailText = Text(GetDlgItem(dlg, TdlgAbout::Label4));
        for (int id : {TdlgAbout::Label6, TdlgAbout::Label4})
            SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(id, STN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
        PostMessageW(dlg, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(TdlgAbout::ShowModal(nullptr), IDOK);
    TdlgAbout::SetOnShown({});
    TdlgAbout::SetUrlOpener({});
    return seen;
}

TEST(Win32About, ShowsTitleVersionAndClosesWithOkWithoutAddressLinesByDefault) {
    EXPECT_EQ(GetFileVersionString(), "2.0.0.77");
    // The default build is configured with no home page and no contact.
    EXPECT_EQ(TdlgAbout::WebUrl(), "");
    EXPECT_EQ(TdlgAbout::MailAddress(), "");
    const TAboutSeen seen = ShowAboutAndClickLinks();
    EXPECT_EQ(seen.Caption, kAboutCaption);
    EXPECT_EQ(seen.Version, "Version 2.0.0.77");
    EXPECT_EQ(seen.Height, ScaleForDpi(kAboutOuterHeight, WindowDpi(nullptr)));
    EXPECT_EQ(seen.LinesVisible, std::vector<bool>(4, false));
    EXPECT_TRUE(seen.Opened.empty());
}

TEST(Win32About, ConfiguredAddressesAreShownAndOpened) {
    TdlgAbout::SetLinks(AboutLinks("https://www.quorvex.co.jp/", "support@quorvex.co.jp"));
    const TAboutSeen seen = ShowAboutAndClickLinks();
    TdlgAbout::SetLinks(std::nullopt);
    EXPECT_EQ(seen.LinesVisible, std::vector<bool>(4, true));
    EXPECT_EQ(seen.WebText, "https://www.quorvex.co.jp/");
    EXPECT_EQ(seen.MailText, "support@quorvex.co.jp");
    EXPECT_EQ(seen.Opened, (std::vector<std::string>{"https://www.quorvex.co.jp/",
                                                     "mailto:support@quorvex.co.jp"}));
}

}  // namespace
}  // namespace quorvex
