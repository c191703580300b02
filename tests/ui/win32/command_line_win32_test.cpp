// Files named on the Windows program's command line, and files that a later
// start of the program hands to the window already open.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "support/win32_text.h"
#include "test_util.h"
#include "ui/logic/messages.h"
#include "ui/logic/window_files.h"
#include "ui/win32/MainFrm.h"
#include "ui/win32/instances.h"

namespace quorvex {
namespace {

using test::WriteMifPair;

class TRecorder : public TWin32Desktop {
  public:
    std::vector<std::string> Log;
    void Message(HWND, TMessageKind, const std::string& text) override { Log.push_back(text); }
    void ShowError(HWND, const std::string& text) override { Log.push_back("fault:" + text); }
    bool Execute(HWND, TFileDialog&) override { return false; }
    void ShowAbout(HWND) override {}
    void ShowHelp(HWND, const std::string&) override {}
};

std::string Backslashed(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// Dispatches the thread's messages until `done` holds (at most a minute, so
// a fault fails the test instead of hanging it).
bool PumpUntil(const std::function<bool()>& done) {
    const ULONGLONG end = GetTickCount64() + 60000;
    while (!done()) {
        if (GetTickCount64() > end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return true;
}

class CurrentFolder {
  public:
    explicit CurrentFolder(const std::filesystem::path& folder) {
        wchar_t old[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, old);
        old_ = old;
        SetCurrentDirectoryW(folder.wstring().c_str());
    }
    ~CurrentFolder() { SetCurrentDirectoryW(old_.c_str()); }

  private:
    std::wstring old_;
};

TEST(Win32CommandLine, FilesAfterTheProgramNameAsWholeUtf8Paths) {
    test::TempDir dir;
    const CurrentFolder here(dir.path());
    using Files = std::vector<std::string>;
    EXPECT_EQ(CommandLineFiles(L"quorvex.exe"), Files{});
    EXPECT_EQ(CommandLineFiles(L"\"C:\\Program Files\\Quorvex\\quorvex.exe\" \"\""), Files{});
    EXPECT_EQ(CommandLineFiles(L"\"C:\\Program Files\\Quorvex\\quorvex.exe\" town.mif "
                               L"\"C:\\測量 データ\\北.mif\" sub\\..\\list.txt"),
              (Files{Backslashed(dir / "town.mif"), "C:\\測量 データ\\北.mif",
                     Backslashed(dir / "list.txt")}));
}

TEST(Win32CommandLine, PackedFilesComeBackAndBadDataGivesNone) {
    const std::vector<std::string> files{"C:\\測量\\a.mif", "D:\\b.mif"};
    const std::string data = PackFiles(files);
    EXPECT_EQ(data, std::string("C:\\測量\\a.mif\0D:\\b.mif\0", data.size()));
    EXPECT_EQ(UnpackFiles(data.data(), DWORD(data.size())), files);
    EXPECT_EQ(UnpackFiles("a\0\0b\0", 5), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(UnpackFiles("a.mif", 5).empty());  // not ended by a zero byte
    EXPECT_TRUE(UnpackFiles(nullptr, 4).empty());
    EXPECT_TRUE(UnpackFiles(data.data(), 0).empty());
    const std::string huge(kMaxCopyDataFiles + 1, '\0');
    EXPECT_TRUE(UnpackFiles(huge.data(), DWORD(huge.size())).empty());
}

class Win32OpenFiles : public testing::Test {
  protected:
    void SetUp() override {
        store.Path = dir / "Quorvex.INI";
        store.FallbackPath = dir / "config/Quorvex.INI";
        frm = std::make_unique<TfrmMain>(ui, store);
        mif = dir / "town.mif";
        WriteMifPair(mif);
    }
    std::string Text(const char* name) {
        HWND c = frm->Control(name);
        std::wstring text(static_cast<size_t>(GetWindowTextLengthW(c)) + 1, L'\0');
        text.resize(static_cast<size_t>(GetWindowTextW(c, text.data(), int(text.size()))));
        return WideToUtf8(text);
    }
    int Rows() { return int(SendMessageW(frm->Control("lvwBatch"), LVM_GETITEMCOUNT, 0, 0)); }

    test::TempDir dir;
    TRecorder ui;
    TPlacementStore store;
    std::unique_ptr<TfrmMain> frm;
    std::string mif;
};

TEST_F(Win32OpenFiles, AFileOnTheCommandLineFillsThePanel) {
    const CurrentFolder here(dir.path());
    frm->Show();
    frm->OpenFiles(CommandLineFiles(L"quorvex.exe town.mif"));
    ASSERT_TRUE(PumpUntil([&] { return !Text("edtMifFile").empty(); }));
    EXPECT_EQ(Text("edtMifFile"), Backslashed(mif));
    EXPECT_EQ(Text("edtSimFile"), Backslashed(dir / "town.sim"));
    EXPECT_EQ(Rows(), 0);
    EXPECT_TRUE(ui.Log.empty());
}

TEST_F(Win32OpenFiles, FilesHandedOverByLaterStartsBecomeRowsTogether) {
    frm->Show();
    ASSERT_EQ(TfrmMain::FindRunning(), frm->Handle());
    // A file manager's one start per file: each hands over one file.
    EXPECT_TRUE(SendFilesToWindow(TfrmMain::FindRunning(), {dir / "a.mif"}));
    EXPECT_TRUE(SendFilesToWindow(TfrmMain::FindRunning(), {dir / "b.mif"}));
    ASSERT_TRUE(PumpUntil([&] { return Rows() > 0 || !ui.Log.empty(); }));
    EXPECT_EQ(frm->Logic().RowCount(), 2);
    EXPECT_EQ(frm->Logic().Row(1).SubItems[TBatchRow::MifFile], dir / "b.mif");
    EXPECT_EQ(Text("edtMifFile"), "");
    EXPECT_TRUE(ui.Log.empty());

    // Another program's data, or none, is not taken.
    COPYDATASTRUCT other{0x1234, 6, const_cast<char*>("a.mif")};
    EXPECT_EQ(SendMessageW(frm->Handle(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&other)), 0);
    EXPECT_FALSE(SendFilesToWindow(frm->Handle(), {}));
    // Closed, the window is no longer found.
    SendMessageW(frm->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(TfrmMain::FindRunning(), nullptr);
}

// The program as the file manager starts it: with a file, then a second
// start with two more, which hands them to the first and ends.
class Win32Program : public testing::Test {
  protected:
    void SetUp() override {
        // A copy, so its placement file is written beside it here.
        exe = dir / "quorvex.exe";
        ASSERT_TRUE(CopyFileW(Utf8ToWide(QUORVEX_WINDOW).c_str(), Utf8ToWide(exe).c_str(), TRUE));
        for (const char* name : {"town.mif", "a.mif", "b.mif"})
            WriteMifPair(dir / name);
    }
    void TearDown() override {
        for (PROCESS_INFORMATION& p : started) {
            if (WaitForSingleObject(p.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(p.hProcess, 1);
            WaitForSingleObject(p.hProcess, 10000);
            CloseHandle(p.hProcess);
            CloseHandle(p.hThread);
        }
    }
    HANDLE Start(const std::string& arguments) {
        std::wstring line = L"\"" + Utf8ToWide(exe) + L"\" " + Utf8ToWide(arguments);
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION p{};
        if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            dir.path().wstring().c_str(), &si, &p))
            return nullptr;
        started.push_back(p);
        return p.hProcess;
    }
    static std::string ControlText(HWND window, TControl control) {
        wchar_t text[1024] = {};
        SendMessageW(GetDlgItem(window, ControlId(control)), WM_GETTEXT, 1024,
                     reinterpret_cast<LPARAM>(text));
        return WideToUtf8(text);
    }
    static int Rows(HWND window) {
        return int(SendMessageW(GetDlgItem(window, ControlId(TControl::lvwBatch)), LVM_GETITEMCOUNT,
                                0, 0));
    }

    test::TempDir dir;
    std::string exe;
    std::vector<PROCESS_INFORMATION> started;
};

TEST_F(Win32Program, AFileArgumentFillsThePanelAndALaterStartHandsItsFilesOver) {
    ASSERT_EQ(TfrmMain::FindRunning(), nullptr);
    ASSERT_TRUE(Start("town.mif"));
    HWND window = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        window = TfrmMain::FindRunning();
        return window && !ControlText(window, TControl::edtMifFile).empty();
    }));
    EXPECT_EQ(ControlText(window, TControl::edtMifFile), Backslashed(dir / "town.mif"));
    EXPECT_EQ(Rows(window), 0);

    const HANDLE second = Start("a.mif \"" + dir / "b.mif" + "\"");
    ASSERT_TRUE(second);
    // It ends once the first window has the files.
    ASSERT_TRUE(PumpUntil([&] { return WaitForSingleObject(second, 0) == WAIT_OBJECT_0; }));
    DWORD code = 1;
    GetExitCodeProcess(second, &code);
    EXPECT_EQ(code, 0u);
    ASSERT_TRUE(PumpUntil([&] { return Rows(window) > 0; }));
    EXPECT_EQ(Rows(window), 2);
    EXPECT_EQ(TfrmMain::FindRunning(), window);  // no second window

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(
        PumpUntil([&] { return WaitForSingleObject(started[0].hProcess, 0) == WAIT_OBJECT_0; }));
}

}  // namespace
}  // namespace quorvex
