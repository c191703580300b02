// What the window logic needs from a window: its controls' texts, ticks and
// enabled states, the batch list's rows and marks, the drop-down lists, and
// the desktop around it (message boxes, file dialogs, the cursor, pending
// events). The Qt window and the Win32 window each implement it; the
// logic's tests implement it without any window system.
//
// Texts cross this interface as UTF-8. Texts that came from files (column
// names, site names, batch-list values) are decoded by the logic before they
// get here, and the logic keeps their original bytes itself.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "ui/logic/main_layout.h"

namespace quorvex {

enum class TMessageKind { Warning, Information, Error };

struct TPreviewSource;  // ui/logic/preview_logic.h

// One filter of a file dialog: "SIMAファイル" and "*.sim".
struct TFileFilter {
    std::string Description;
    std::string Pattern;
};

// One file dialog of the window. It lives as long as the window and opens
// with the file name chosen at its previous use.
struct TFileDialog {
    enum Kind { Open, Save };
    std::string Name;  // "OpenDialog1", "SaveDialog1", ...
    Kind DialogKind = Open;
    std::vector<TFileFilter> Filters;
    std::string DefaultExt;  // without the dot; empty for none
    std::string FileName;    // the last choice
    // The folder it opens in, FileName's name chosen there; empty: the
    // folder of FileName.
    std::string InitialDir;
};

// The cells of a batch row as shown: the caption, then the sub-items, then
// the zone ("IX"; empty for none).
using TRowCells = std::array<std::string, 10>;

class TWindowView {
  public:
    virtual ~TWindowView() = default;

    // Edit boxes, the check boxes' ticks, and any control's or menu item's
    // enabled state.
    virtual std::string GetText(TControl control) const = 0;
    virtual void SetText(TControl control, const std::string& text) = 0;
    virtual bool IsChecked(TControl control) const = 0;
    virtual void SetChecked(TControl control, bool checked) = 0;
    virtual void SetEnabled(TControl control, bool enabled) = 0;

    // Drop-down lists: the entries replaced, nothing chosen.
    virtual void SetItems(TControl control, const std::vector<std::string>& items) = 0;
    virtual int ItemCount(TControl control) const = 0;
    // -1 when nothing is chosen.
    virtual int ItemIndex(TControl control) const = 0;
    virtual void SetItemIndex(TControl control, int index) = 0;

    // The batch list.
    virtual void InsertRow(int index, const TRowCells& cells) = 0;
    virtual void SetRowCells(int index, const TRowCells& cells) = 0;
    // After a deletion no row is selected.
    virtual void DeleteRow(int index) = 0;
    virtual void ClearRows() = 0;
    virtual void SetRowMark(int index, TRowMark mark) = 0;
    // The tooltip of the row's mark: why the row failed, its warnings, or
    // nothing.
    virtual void SetRowMarkTip(int index, const std::string& text) = 0;
    // -1 when no row is selected.
    virtual int SelectedRow() const = 0;
    // Whether the control holds the keyboard focus.
    virtual bool HasFocus(TControl control) const = 0;
    // Selects the row and scrolls it into view unless part of it is visible.
    virtual void ShowRow(int index) = 0;
    // The status bar: progress of a batch run, what a conversion wrote.
    virtual void SetStatusText(const std::string& text) = 0;

    // The desktop.
    virtual void Message(TMessageKind kind, const std::string& text) = 0;
    // The standard error box of errors no handler caught.
    virtual void ShowError(const std::string& text) = 0;
    // Runs the dialog; true and dialog.FileName set when the user chose a file.
    virtual bool Execute(TFileDialog& dialog) = 0;
    // The application-wide hourglass cursor.
    virtual void SetBusy(bool busy) = 0;
    // Handles the events waiting in the queue (paints, clicks) and returns.
    virtual void ProcessMessages() = 0;
    virtual void ShowAbout() = 0;
    virtual void ShowHelp(const std::string& helpFile) = 0;
    // Shows the records in the preview window, opened beside the main
    // window if it is not open yet, and brings it to the front.
    virtual void ShowPreview(TPreviewSource&& source) = 0;
    virtual void Close() = 0;
};

}  // namespace quorvex
