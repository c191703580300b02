// The main window of the Win32 face: the controls of the shared layout as
// the system's own controls, scaled to the monitor's dpi, with the menu, its
// accelerators and the status bar. Events go to the shared window logic
// (TMainLogic), which reaches the controls back through TWindowView; the
// desktop (message boxes, dialogs, help) is reached through TWin32Desktop.
#pragma once

#include <windows.h>
// After windows.h:
#include <commctrl.h>
#include <shellapi.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/logic/main_layout.h"
#include "ui/logic/main_logic.h"
#include "ui/logic/placement_store.h"
#include "ui/logic/window_view.h"
#include "ui/win32/PreviewWnd.h"
#include "ui/win32/desktop.h"

namespace quorvex {

// Control and menu item IDs: kFirstControlId + TControl.
inline constexpr int kFirstControlId = 100;
inline constexpr int kStatusBarId = 99;

constexpr int ControlId(TControl control) {
    return kFirstControlId + static_cast<int>(control);
}

class TfrmMain : private TWindowView {
  public:
    explicit TfrmMain(TWin32Desktop& desktop, TPlacementStore store = TPlacementStore::Default());
    ~TfrmMain() override;
    TfrmMain(const TfrmMain&) = delete;
    TfrmMain& operator=(const TfrmMain&) = delete;

    HWND Handle() const { return hwnd_; }
    HACCEL Accelerators() const { return accel_; }
    // The window ends the message loop when it is destroyed.
    void SetQuitOnDestroy(bool quit) { quitOnDestroy_ = quit; }
    // Reads the placement and shows the window.
    void Show();
    // Accelerators and keyboard navigation; true when the message was used.
    bool PreTranslateMessage(MSG& msg);
    // Files from the command line or handed over by a later start
    // (WM_COPYDATA): opened together once none has come for a moment, so
    // files from one start per file still make one list.
    void OpenFiles(const std::vector<std::string>& paths);
    // This program's main window open in the session; nullptr if none.
    static HWND FindRunning();

    // Handlers: those of the panel, the list and the menu are the shared
    // logic's.
    void FormShow();
    void FormClose();
    TMainLogic& Logic() { return logic_; }
    bool Guard(const std::function<void()>& handler) { return logic_.Guard(handler); }

    // The control of the layout with this name ("edtMifFile", "Label1" …).
    HWND Control(const char* name) const;
    HWND Control(TControl control) const;
    HWND StatusBar() const { return status_; }
    // The batch list's context menu.
    HMENU ListMenu() const { return popup_; }
    // A batch-list cell's whole text, as the logic gave it.
    std::string CellText(int row, int column) const;
    // The preview window; nullptr until the first preview.
    TfrmPreview* Preview() const { return preview_.get(); }
    UINT Dpi() const { return dpi_; }

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    void CreateControls();
    void CreateMenuBar();
    void CreateImageList();
    // Places every control for the current dpi and gives it the font.
    void Layout();
    // The outer size that leaves the designed client area (below the menu
    // bar) inside this window's frame at the current dpi.
    TOuterSize NeededOuterSize() const;
    // Events of the controls and the menu, to the logic as their rows say.
    void OnCommand(int id, int code);
    // A button's command, the focus kept where it was.
    void Press(TCommand command);
    void OnNotify(const NMHDR& header);
    // Files dropped from the shell (WM_DROPFILES).
    void OnDropFiles(HDROP drop);
    // The files gathered by OpenFiles, once their moment is over.
    void OpenPendingFiles();
    // The path as the column has room for it in the list's font.
    std::string ShownPath(int column, const std::string& path) const;
    // The list's context menu at the point of WM_CONTEXTMENU, its items'
    // states set first.
    void PopupListMenu(LPARAM at);

    // TWindowView
    std::string GetText(TControl control) const override;
    void SetText(TControl control, const std::string& text) override;
    bool IsChecked(TControl control) const override;
    void SetChecked(TControl control, bool checked) override;
    void SetEnabled(TControl control, bool enabled) override;
    void SetItems(TControl control, const std::vector<std::string>& items) override;
    int ItemCount(TControl control) const override;
    int ItemIndex(TControl control) const override;
    void SetItemIndex(TControl control, int index) override;
    void InsertRow(int index, const TRowCells& cells) override;
    void SetRowCells(int index, const TRowCells& cells) override;
    void DeleteRow(int index) override;
    void ClearRows() override;
    void SetRowMark(int index, TRowMark mark) override;
    void SetRowMarkTip(int index, const std::string& text) override;
    int SelectedRow() const override;
    void ShowRow(int index) override;
    void SetStatusText(const std::string& text) override;
    void SetClipboardText(const std::string& text) override;
    void Message(TMessageKind kind, const std::string& text) override;
    void ShowError(const std::string& text) override;
    bool Execute(TFileDialog& dialog) override;
    void SetBusy(bool busy) override;
    void ProcessMessages() override;
    void ShowAbout() override;
    void ShowHelp(const std::string& helpFile) override;
    bool HasFocus(TControl control) const override;
    void ShowPreview(TPreviewSource&& source) override;
    void Close() override;

    TWin32Desktop& desktop_;
    TPlacementStore store_;
    TMainLogic logic_;
    HWND hwnd_ = nullptr;
    HWND status_ = nullptr;
    HMENU menu_ = nullptr;
    HMENU popup_ = nullptr;  // the batch list's context menu
    HACCEL accel_ = nullptr;
    HFONT font_ = nullptr;
    HIMAGELIST imageList1_ = nullptr;
    UINT dpi_ = 96;
    int busy_ = 0;
    bool quitOnDestroy_ = false;
    std::array<HWND, kControlCount> controls_{};  // none for the menus
    std::vector<std::wstring> markTips_;          // per row: why it failed
    std::vector<std::string> pendingFiles_;       // for OpenPendingFiles
    std::vector<TRowCells> cells_;                // per row: the whole texts
    std::unique_ptr<TfrmPreview> preview_;
};

}  // namespace quorvex
