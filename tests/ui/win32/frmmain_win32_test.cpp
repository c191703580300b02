// The Win32 window under test: its controls against the layout, and the
// conversions, batch runs, list files, About box and help driven through
// the window, with the desktop answered by a recorder.
#include <windows.h>
// After windows.h:
#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <deque>
#include <iterator>
#include <optional>
#include <thread>

#include "support/ini_file.h"
#include "support/win32_text.h"
#include "test_util.h"
#include "ui/logic/main_layout.h"
#include "ui/logic/messages.h"
#include "ui/logic/window_files.h"
#include "ui/win32/AboutDlg.h"
#include "ui/win32/MainFrm.h"
#include "ui/win32/desktop.h"
#include "ui/win32/win32_window.h"

namespace quorvex {
namespace {

using test::ReadBytes;
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

// With QUORVEX_SCREENSHOT_DIR set, the window as the screen shows it, frame
// included, saved there as a 24-bit BMP.
void SaveScreenshot(HWND window, const char* name) {
    wchar_t dir[1024] = {};
    if (!GetEnvironmentVariableW(L"QUORVEX_SCREENSHOT_DIR", dir, 1024)) return;
    // Let everything paint.
    for (int i = 0; i < 20; ++i) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(50);
    }
    RECT r{};
    GetWindowRect(window, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    BitBlt(dc, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    SelectObject(dc, old);
    const DWORD stride = (DWORD(w) * 3 + 3) & ~3u, size = stride * DWORD(h);
    BITMAPFILEHEADER file{0x4D42, DWORD(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)) + size,
                          0, 0, DWORD(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER))};
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    bytes.append(static_cast<const char*>(bits), size);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    WriteBytes(WideToUtf8(dir) + "\\" + name, bytes);
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
    RECT r{};
    GetWindowRect(frm->Handle(), &r);
    EXPECT_EQ(r.right - r.left, S(kMainOuterWidth));
    EXPECT_EQ(r.bottom - r.top, S(kMainOuterHeight));
    EXPECT_EQ(std::make_pair(r.left, r.top), std::make_pair(20L, 20L));
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
    // Every item of the table, under its own ID.
    for (const TControlSpec& spec : kMainControls) {
        if (spec.Kind != TControlKind::MenuItem) continue;
        ASSERT_GT(GetMenuStringW(menu, UINT(ControlId(spec.Id)), text, 64, MF_BYCOMMAND), 0);
        EXPECT_EQ(WideToUtf8(text),
                  std::string(spec.Caption) + (*spec.Shortcut ? "\t" : "") + spec.Shortcut);
    }
}

TEST_F(Win32Window, ADpiChangeScalesControlsAndFontAndGrowsTheWindow) {
    frm->Show();
    const int widthBefore = S(kMainOuterWidth);
    const int dpi = int(frm->Dpi()) * 3 / 2;
    RECT suggested{10, 10, 10 + ScaleForDpi(kMainOuterWidth, UINT(dpi)),
                   10 + ScaleForDpi(kMainOuterHeight, UINT(dpi))};
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
    EXPECT_EQ(Cell(1, 1), dir / "表.mif");
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
    EXPECT_EQ(Cell(1, 1), dir / "表.mif");
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
    EXPECT_EQ(Cell(1, 2), dir / "表.sim");
    DropFiles(frm->Handle(), POINT{S(20), S(30)}, {dir / "表.mif"});
    EXPECT_EQ(Text(C("edtMifFile")), dir / "表.mif");
    EXPECT_EQ(Text(C("edtSimFile")), dir / "表.sim");
    DropFiles(frm->Handle(), POINT{S(20), S(30)}, {dir / "list.txt"});
    EXPECT_EQ(ui.Log, std::vector<std::string>{std::string("warning:") + msg::kDropOnPanel});

    // The run's end in the status bar; the failed row's cause for its tip.
    ui.Log.clear();
    Click("btnBatch");
    wchar_t status[256] = {};
    SendMessageW(frm->StatusBar(), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(status));
    EXPECT_EQ(WideToUtf8(status), "3 件中 2 件成功、1 件失敗");
    EXPECT_EQ(Image(2), 1);
    wchar_t tip[512] = {};
    NMLVGETINFOTIPW info{};
    info.hdr = {C("lvwBatch"), static_cast<UINT_PTR>(GetDlgCtrlID(C("lvwBatch"))), LVN_GETINFOTIPW};
    info.pszText = tip;
    info.cchTextMax = 512;
    info.iItem = 2;
    SendMessageW(frm->Handle(), WM_NOTIFY, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(WideToUtf8(tip),
              "MIFファイル「" + std::string(dir / "gone.mif") + "」が見つかりません。");
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
    auto status = [this] {
        wchar_t text[256] = {};
        SendMessageW(frm->StatusBar(), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
        return WideToUtf8(text);
    };
    Type("edtMifFile", lonLat);
    Type("edtSimFile", dir / "z.sim");
    SendMessageW(C("cboZone"), CB_SETCURSEL, 9, 0);
    Click("btnConvert");
    EXPECT_EQ(ui.Log, std::vector<std::string>{std::string("information:") + msg::kConvertOk});
    EXPECT_EQ(status(), "画地 0、路線 1、座標 2　経緯度（度、JGD2000） → 第IX系");
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
    EXPECT_EQ(status(), "2 件中 2 件成功、0 件失敗、警告 1 件");
    EXPECT_EQ(Image(1), 0);
    wchar_t tip[512] = {};
    NMLVGETINFOTIPW info{};
    info.hdr = {C("lvwBatch"), static_cast<UINT_PTR>(GetDlgCtrlID(C("lvwBatch"))), LVN_GETINFOTIPW};
    info.pszText = tip;
    info.cchTextMax = 512;
    info.iItem = 1;
    SendMessageW(frm->Handle(), WM_NOTIFY, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info));
    EXPECT_NE(WideToUtf8(tip).find("経緯度"), std::string::npos) << WideToUtf8(tip);

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

TEST_F(Win32Window, ClosingStoresThePlacementInTheIni) {
    WriteBytes(store.Path, "[Recent]\r\nFile=a.txt\r\n[Window]\r\nLeft=40\r\nTop=30\r\n");
    frm->Show();
    RECT r{};
    GetWindowRect(frm->Handle(), &r);
    EXPECT_EQ(r.left, 40);
    EXPECT_EQ(r.top, 30);
    SetWindowPos(frm->Handle(), nullptr, 70, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Menu("X1");
    EXPECT_FALSE(IsWindow(frm->Handle()));
    const TIniFile ini(store.Path);
    EXPECT_EQ(ini.ReadInteger("Window", "Left", -1), 70);
    EXPECT_EQ(ini.ReadInteger("Window", "Top", -1), 60);
    EXPECT_EQ(ini.ReadInteger("Window", "Width", -1), S(kMainOuterWidth));
    EXPECT_EQ(ini.ReadInteger("Window", "State", -1), 0);
    EXPECT_EQ(ReadBytes(store.Path).substr(0, 22), "[Recent]\r\nFile=a.txt\r\n");
}

TEST(Win32About, ShowsTitleVersionAndLinksAndClosesWithOk) {
    EXPECT_EQ(GetFileVersionString(), "2.0.0.77");
    std::vector<std::string> opened;
    TdlgAbout::SetUrlOpener([&](const std::string& url) { opened.push_back(url); });
    std::string caption, version;
    int height = 0;
    TdlgAbout::SetOnShown([&](HWND dlg) {
        caption = Text(dlg);
        version = Text(GetDlgItem(dlg, TdlgAbout::lblVersion));
        RECT r{};
        GetWindowRect(dlg, &r);
        height = r.bottom - r.top;
        SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(TdlgAbout::Label4, STN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dlg, TdlgAbout::Label4)));
        PostMessageW(dlg, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(TdlgAbout::ShowModal(nullptr), IDOK);
    TdlgAbout::SetOnShown({});
    TdlgAbout::SetUrlOpener({});
    EXPECT_EQ(caption, kAboutCaption);
    EXPECT_EQ(version, "Version 2.0.0.77");
    EXPECT_EQ(height, ScaleForDpi(kAboutOuterHeight, WindowDpi(nullptr)));
    EXPECT_EQ(opened, std::vector<std::string>{"mailto:" + TdlgAbout::MailAddress()});
}

}  // namespace
}  // namespace quorvex
