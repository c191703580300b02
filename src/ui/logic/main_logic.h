// The main window's logic, the same on every system: the input check, the
// panel and its job, the batch list and its file, the batch runs, and the
// messages in their order. A window (TfrmMain of either face) owns one, lets
// it reach its controls through TWindowView, and calls its handlers from its
// events.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "engine/convert_settings.h"
#include "ui/logic/daily_use.h"
#include "ui/logic/window_view.h"

namespace quorvex {

struct TRunResult;

// "%1", "%2" … of a message replaced by the arguments in order.
std::string FormatMessage(const char* pattern, const std::vector<std::string>& args);

class TMainLogic {
  public:
    // `helpFile` is the face's help document (".html" or ".chm").
    TMainLogic(TWindowView& view, std::string helpFile);

    // Runs the handler of a command under Guard: what a face calls for
    // every event of kMainControls. False when an error was shown.
    bool Handle(TCommand command);

    // Handlers, named after the window's events.
    void X1Click();
    bool CheckInput();
    void btnMifBrowseClick();
    void btnSimBrowseClick();
    void cboAttrNameDropDown();
    void btnConvertClick();
    void btnAddClick();
    void btnReplaceClick();
    void btnRemoveClick();
    void btnClearClick();
    void lvwBatchChange();
    void lvwBatchDblClick();
    void lvwBatchEnter();
    void S1Click();
    void O1Click();
    void btnBatchClick();
    void btnCmbBrowseClick();
    void A1Click();
    void H2Click();
    // The preview of the selected row's job when the list has the focus,
    // else of the panel's job.
    void P1Click();
    // Files dropped on the single panel or the batch list.
    void FilesDropped(TDropTarget target, const std::vector<std::string>& paths);
    // Whether the window may close now. During a batch run it may not: the
    // run ends after the current row, then the window closes (Close).
    bool FormCloseQuery();

    // Runs a handler; an error that escapes it is shown in the standard
    // error box and the program goes on. False when an error was shown.
    bool Guard(const std::function<void()>& handler);

    // The batch list as data: rows hold bytes (paths in UTF-8, attribute and
    // site names in code page 932).
    int RowCount() const { return static_cast<int>(rows_.size()); }
    const TBatchRow& Row(int i) const { return rows_[static_cast<size_t>(i)]; }
    TRowMark RowMark(int i) const { return marks_[static_cast<size_t>(i)]; }
    bool Running() const { return running_; }
    const std::string& HelpFile() const { return helpFile_; }

    // The panel's job and the attribute name chosen with it.
    TConvertSettings PanelSettings() const;
    std::string ChosenAttrName() const;

    // Shows code page 932 bytes from a file in an edit box and keeps them:
    // while the box still shows them, they are used unchanged, so a name
    // from a file survives even where decoding and encoding again would
    // alter it or fail.
    void SetCp932Text(TControl control, const std::string& bytes);
    // The box's text as code page 932 bytes; nothing when it holds a
    // character the code page lacks.
    std::optional<std::string> Cp932Text(TControl control) const;

  private:
    TBatchRow PanelRow() const;
    // The row of a MIF file dropped on the list, with the panel's settings
    // `s` for it.
    TBatchRow DroppedRow(TConvertSettings s) const;
    void AppendRow(const TBatchRow& row);
    void SetRow(int i, const TBatchRow& row);
    void RemoveRow(int i);
    void ClearRows();
    void ListChanged();
    void SetRowMark(int i, TRowMark mark, const std::string& tip = {});
    // The MIF file chosen by the browse button or dropped on the panel.
    void ChooseMifFile(const std::string& path);
    // The batch-list file chosen by "開く" or dropped on the list.
    void LoadListFile(const std::string& path);
    // Runs a batch-list dialog; the folder chosen is both dialogs' next one.
    bool ExecuteListDialog(TFileDialog& dialog);
    // The end of a batch run: the close asked for during it.
    void CloseIfAsked();
    // Selects the row and scrolls it into view between two rounds of
    // pending events, so the window shows the row being worked on.
    void ShowCurrentRow(int i);
    void SetRunning(bool running);
    // The status bar's summary of a run, naming the rows it did not reach.
    static std::string SummaryText(size_t count, size_t succeeded, size_t failed);
    // The marks and the summary at the end of a merged run.
    void EndCombinedRun(const TRunResult& result, size_t count);
    void Warn(const std::string& text);
    // The job the preview shows, or nothing (and the user told why).
    std::optional<TConvertSettings> PreviewJob();

    TWindowView& view_;
    std::string helpFile_;
    bool running_ = false;
    bool closeRequested_ = false;
    std::vector<TBatchRow> rows_;
    std::vector<TRowMark> marks_;
    std::vector<std::string> tips_;  // why each crossed row failed
    // The attribute list's entries as shown, and the column names behind
    // them in code page 932 (none for a name of another character set that
    // code page 932 cannot hold).
    std::vector<std::string> attrCaptions_;
    std::vector<std::optional<std::string>> attrNames_;
    std::map<TControl, std::string> keptBytes_;
    TFileDialog openDialog1_, saveDialog1_, openDialog2_, saveDialog2_;
};

}  // namespace quorvex
