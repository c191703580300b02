#include "ui/logic/main_logic.h"

#include <exception>
#include <utility>

#include "engine/coordinate_system.h"
#include "engine/jobs.h"
#include "preview/preview_job.h"
#include "support/cp932.h"
#include "support/errors.h"
#include "support/paths.h"
#include "support/text.h"
#include "ui/logic/messages.h"
#include "ui/logic/preview_logic.h"

namespace quorvex {
namespace {

// Runs `f` when the scope ends.
template <class F>
class TOnExit {
  public:
    explicit TOnExit(F f) : f_(std::move(f)) {}
    ~TOnExit() { f_(); }
    TOnExit(const TOnExit&) = delete;
    TOnExit& operator=(const TOnExit&) = delete;

  private:
    F f_;
};

// Sets the application-wide hourglass; the normal cursor comes back when the
// returned guard ends, on every path.
auto BusyCursor(TWindowView& view) {
    view.SetBusy(true);
    return TOnExit([&view] { view.SetBusy(false); });
}

// The window speaks Japanese whatever the locale.
std::string Japanese(const TMessage& m) {
    return m.Text(TLanguage::Japanese);
}

TRowCells CellsOf(const TBatchRow& row) {
    TRowCells cells;
    cells[0] = Cp932ToUtf8(row.Caption);
    for (size_t k = 0; k < row.SubItems.size(); ++k) {
        const bool path = k == TBatchRow::MifFile || k == TBatchRow::SimFile;
        const bool unheld = k == TBatchRow::AttrName && !row.UnheldAttrName.empty();
        cells[k + 1] = path     ? row.SubItems[k]
                       : unheld ? row.UnheldAttrName
                                : Cp932ToUtf8(row.SubItems[k]);
    }
    if (row.Zone >= 1 && row.Zone <= 19) cells[9] = RomanZoneNumber(row.Zone);
    return cells;
}

// An input's warnings, one a line, for a message's second line or a
// mark's tooltip.
std::string WarningsText(const TRunReport& r) {
    std::string text;
    for (const TMessage& w : r.Warnings) {
        if (!text.empty()) text += '\n';
        text += Japanese(w);
    }
    return text;
}

size_t RowsWithWarnings(const std::vector<TRunReport>& inputs) {
    size_t n = 0;
    for (const TRunReport& r : inputs)
        if (r.Ok && !r.Warnings.empty()) ++n;
    return n;
}

// The summary's count of rows that converted with warnings; nothing when
// none did, so a run without them reads as it always did.
std::string WarningsCountText(size_t rows) {
    return rows == 0 ? std::string() : FormatMessage(msg::kBatchWarnings, {std::to_string(rows)});
}

// Failures the window shows in the standard error box, as errors rather than
// results: a file that cannot be opened or created, a table whose header does
// not convert, an error nobody foresaw.
bool ShownAsError(TRunFailure failure) {
    return failure == TRunFailure::Open || failure == TRunFailure::Input ||
           failure == TRunFailure::Other;
}

// What the table's coordinates are, and the zone they were projected to.
std::string CoordSysLine(const TRunReport& report, int32_t zone) {
    std::string text = DescribeCoordSys(report.CoordSys, TLanguage::Japanese);
    if (zone != 0) text += FormatMessage(msg::kProjectedToZone, {RomanZoneNumber(zone)});
    return text;
}

std::vector<TFileFilter> BatchFilters() {
    return {{"Quorvexバッチファイル", "*.txt"}, {"すべてのファイル", "*.*"}};
}

}  // namespace

std::string FormatMessage(const char* pattern, const std::vector<std::string>& args) {
    std::string out;
    for (const char* p = pattern; *p; ++p) {
        if (p[0] == '%' && p[1] >= '1' && p[1] <= '9' &&
            static_cast<size_t>(p[1] - '1') < args.size()) {
            out += args[static_cast<size_t>(p[1] - '1')];
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

TMainLogic::TMainLogic(TWindowView& view, std::string helpFile)
    : view_(view), helpFile_(std::move(helpFile)) {
    openDialog1_ = {"OpenDialog1",
                    TFileDialog::Open,
                    {{"MapInfo インポート/エクスポート", "*.mif"}},
                    "",
                    "",
                    ""};
    saveDialog1_ = {"SaveDialog1", TFileDialog::Save, {{"SIMAファイル", "*.sim"}}, "sim", "", ""};
    openDialog2_ = {"OpenDialog2", TFileDialog::Open, BatchFilters(), "", "", ""};
    saveDialog2_ = {"SaveDialog2", TFileDialog::Save, BatchFilters(), "txt", "", ""};
}

bool TMainLogic::Guard(const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (const std::exception& e) {
        view_.ShowError(Japanese(MessageOf(e)));
    }
    return false;
}

bool TMainLogic::Handle(TCommand command) {
    using Handler = void (TMainLogic::*)();
    static constexpr std::pair<TCommand, Handler> kHandlers[] = {
        {TCommand::btnMifBrowseClick, &TMainLogic::btnMifBrowseClick},
        {TCommand::btnSimBrowseClick, &TMainLogic::btnSimBrowseClick},
        {TCommand::cboAttrNameDropDown, &TMainLogic::cboAttrNameDropDown},
        {TCommand::btnConvertClick, &TMainLogic::btnConvertClick},
        {TCommand::btnAddClick, &TMainLogic::btnAddClick},
        {TCommand::btnReplaceClick, &TMainLogic::btnReplaceClick},
        {TCommand::btnRemoveClick, &TMainLogic::btnRemoveClick},
        {TCommand::btnClearClick, &TMainLogic::btnClearClick},
        {TCommand::lvwBatchChange, &TMainLogic::lvwBatchChange},
        {TCommand::lvwBatchDblClick, &TMainLogic::lvwBatchDblClick},
        {TCommand::btnBatchClick, &TMainLogic::btnBatchClick},
        {TCommand::btnCmbBrowseClick, &TMainLogic::btnCmbBrowseClick},
        {TCommand::O1Click, &TMainLogic::O1Click},
        {TCommand::S1Click, &TMainLogic::S1Click},
        {TCommand::X1Click, &TMainLogic::X1Click},
        {TCommand::H2Click, &TMainLogic::H2Click},
        {TCommand::A1Click, &TMainLogic::A1Click},
        {TCommand::lvwBatchEnter, &TMainLogic::lvwBatchEnter},
        {TCommand::P1Click, &TMainLogic::P1Click},
    };
    for (const auto& [c, handler] : kHandlers)
        if (c == command) return Guard([this, h = handler] { (this->*h)(); });
    return true;
}

void TMainLogic::Warn(const std::string& text) {
    view_.Message(TMessageKind::Warning, text);
}

void TMainLogic::SetCp932Text(TControl control, const std::string& bytes) {
    view_.SetText(control, Cp932ToUtf8(bytes));
    keptBytes_[control] = bytes;
}

std::optional<std::string> TMainLogic::Cp932Text(TControl control) const {
    const std::string text = view_.GetText(control);
    const auto kept = keptBytes_.find(control);
    if (kept != keptBytes_.end() && text == Cp932ToUtf8(kept->second)) return kept->second;
    return Utf8ToCp932(text);
}

void TMainLogic::X1Click() {
    view_.Close();
}

// ---- Single conversion panel ----

bool TMainLogic::CheckInput() {
    auto refuse = [this](const char* text) {
        Warn(text);
        return false;
    };
    if (!FileExists(view_.GetText(TControl::edtMifFile))) return refuse(msg::kBadMifFile);
    if (Trim(view_.GetText(TControl::edtSimFile)).empty()) return refuse(msg::kBadSimFile);
    if (!view_.IsChecked(TControl::chkKakuchi) && !view_.IsChecked(TControl::chkRosen))
        return refuse(msg::kNoTarget);
    const std::optional<std::string> genba = Cp932Text(TControl::edtGenba);
    if (!genba) return refuse(msg::kBadGenba);
    // A line break in the site name would write SIMA lines of its own.
    if (HasControlCharacter(*genba)) return refuse(msg::kBadGenba);
    return true;
}

void TMainLogic::btnMifBrowseClick() {
    if (view_.Execute(openDialog1_)) ChooseMifFile(openDialog1_.FileName);
}

void TMainLogic::ChooseMifFile(const std::string& path) {
    view_.SetText(TControl::edtMifFile, path);
    view_.SetText(TControl::edtSimFile, ChangeFileExt(path, ".sim"));
    view_.SetItemIndex(TControl::cboAttrName, -1);
}

void TMainLogic::btnSimBrowseClick() {
    // With no SIMA name yet, the file usually goes beside its MIF file.
    const std::string mif(Trim(view_.GetText(TControl::edtMifFile)));
    const bool beside = Trim(view_.GetText(TControl::edtSimFile)).empty() && !mif.empty();
    saveDialog1_.InitialDir = beside ? GetFileDir(mif) : std::string();
    if (view_.Execute(saveDialog1_)) view_.SetText(TControl::edtSimFile, saveDialog1_.FileName);
    saveDialog1_.InitialDir.clear();
}

bool TMainLogic::ExecuteListDialog(TFileDialog& dialog) {
    if (!view_.Execute(dialog)) return false;
    // Both batch-list dialogs open where the last list was opened or saved.
    openDialog2_.InitialDir = saveDialog2_.InitialDir = GetFileDir(dialog.FileName);
    return true;
}

void TMainLogic::cboAttrNameDropDown() {
    const std::string mif = view_.GetText(TControl::edtMifFile);
    if (!FileExists(mif)) return;
    // The first entry of an empty list becomes the choice; nothing is chosen
    // until the user picks, also when the columns cannot be read.
    attrCaptions_ = {std::string()};
    attrNames_ = {std::string()};
    view_.SetItems(TControl::cboAttrName, attrCaptions_);
    // Names of tables in other character sets are shown decoded; one that
    // code page 932 cannot hold has no bytes for the batch list.
    for (const TColumnName& name : ReadTableColumns(mif).Names) {
        attrCaptions_.push_back(name.Shown);
        attrNames_.push_back(name.Cp932);
    }
    view_.SetItems(TControl::cboAttrName, attrCaptions_);
}

TConvertSettings TMainLogic::PanelSettings() const {
    TConvertSettings s;
    s.MifFile = view_.GetText(TControl::edtMifFile);
    s.SimFile = view_.GetText(TControl::edtSimFile);
    s.Genba = Cp932Text(TControl::edtGenba).value_or(std::string());
    s.AttrIndex = view_.ItemIndex(TControl::cboAttrName);
    s.Kakuchi = view_.IsChecked(TControl::chkKakuchi);
    s.Rosen = view_.IsChecked(TControl::chkRosen);
    s.SwapXY = view_.IsChecked(TControl::chkYX);
    s.CloseParcel = view_.IsChecked(TControl::chkEnd);
    // Entry k of the zone list is zone k; nothing chosen writes as read.
    const int zone = view_.ItemIndex(TControl::cboZone);
    s.Zone = zone >= 1 && zone <= 19 ? zone : 0;
    return s;
}

std::string TMainLogic::ChosenAttrName() const {
    const int i = view_.ItemIndex(TControl::cboAttrName);
    if (i < 0 || static_cast<size_t>(i) >= attrNames_.size()) return std::string();
    return attrNames_[size_t(i)].value_or(std::string());
}

TBatchRow TMainLogic::PanelRow() const {
    TBatchRow row = RowFromSettings(PanelSettings(), ChosenAttrName());
    const int i = view_.ItemIndex(TControl::cboAttrName);
    if (i > 0 && static_cast<size_t>(i) < attrNames_.size() && !attrNames_[size_t(i)])
        row.UnheldAttrName = attrCaptions_[size_t(i)];
    return row;
}

void TMainLogic::btnConvertClick() {
    if (!CheckInput()) return;
    TRunResult result;
    const TConvertSettings settings = PanelSettings();
    view_.SetStatusText(std::string());
    {
        const auto busy = BusyCursor(view_);
        result = RunConvert(settings);
    }
    if (result.Written) {
        const int32_t zone = settings.Zone;
        std::string status = CountsText(result.Counts, TLanguage::Japanese);
        std::string warnings;
        if (!result.Inputs.empty()) {
            status = FormatMessage(msg::kConvertedStatus,
                                   {status, CoordSysLine(result.Inputs[0], zone)});
            warnings = WarningsText(result.Inputs[0]);
        }
        view_.SetStatusText(status);
        // A warning, like a failure's cause, on a line of its own.
        if (warnings.empty())
            view_.Message(TMessageKind::Information, msg::kConvertOk);
        else
            Warn(std::string(msg::kConvertOk) + "\n" + warnings);
    } else if (ShownAsError(result.Failure)) {
        view_.ShowError(Japanese(result.Error));
    } else {
        // The cause, on a line of its own under the message.
        Warn(std::string(msg::kConvertFailed) + "\n" + Japanese(result.Error));
    }
}

// ---- Batch list ----

void TMainLogic::AppendRow(const TBatchRow& row) {
    ListChanged();
    rows_.push_back(row);
    marks_.push_back(kNoMark);
    tips_.emplace_back();
    view_.InsertRow(RowCount() - 1, CellsOf(row));
    SetRowMark(RowCount() - 1, kNoMark);
}

void TMainLogic::SetRow(int i, const TBatchRow& row) {
    ListChanged();
    rows_[static_cast<size_t>(i)] = row;
    view_.SetRowCells(i, CellsOf(row));
    SetRowMark(i, kNoMark);
}

void TMainLogic::RemoveRow(int i) {
    ListChanged();
    rows_.erase(rows_.begin() + i);
    marks_.erase(marks_.begin() + i);
    tips_.erase(tips_.begin() + i);
    view_.DeleteRow(i);
}

void TMainLogic::ClearRows() {
    ListChanged();
    rows_.clear();
    marks_.clear();
    tips_.clear();
    view_.ClearRows();
}

void TMainLogic::ListChanged() {
    // What the status bar says of the last run or conversion is about
    // another list now.
    view_.SetStatusText(std::string());
}

void TMainLogic::SetRowMark(int i, TRowMark mark, const std::string& tip) {
    marks_[static_cast<size_t>(i)] = mark;
    tips_[static_cast<size_t>(i)] = tip;
    view_.SetRowMark(i, mark);
    view_.SetRowMarkTip(i, tip);
}

void TMainLogic::btnAddClick() {
    if (running_ || !CheckInput()) return;
    AppendRow(PanelRow());
    lvwBatchChange();
}

void TMainLogic::btnReplaceClick() {
    if (running_ || !CheckInput()) return;
    const int i = view_.SelectedRow();
    if (i < 0) return;
    SetRow(i, PanelRow());
    lvwBatchChange();
}

void TMainLogic::btnRemoveClick() {
    if (running_) return;
    const int i = view_.SelectedRow();
    if (i >= 0) RemoveRow(i);
    lvwBatchChange();
}

void TMainLogic::btnClearClick() {
    if (running_) return;
    ClearRows();
    lvwBatchChange();
}

void TMainLogic::lvwBatchChange() {
    const bool selected = view_.SelectedRow() >= 0 && !running_;
    view_.SetEnabled(TControl::btnReplace, selected);
    view_.SetEnabled(TControl::btnRemove, selected);
}

void TMainLogic::lvwBatchDblClick() {
    const int i = view_.SelectedRow();
    if (running_ || i < 0) return;
    const TBatchRow row = Row(i);
    view_.SetText(TControl::edtMifFile, row.SubItems[TBatchRow::MifFile]);
    view_.SetText(TControl::edtSimFile, row.SubItems[TBatchRow::SimFile]);
    cboAttrNameDropDown();
    const int k = AttrChoiceOfCaption(row.Caption);
    view_.SetItemIndex(TControl::cboAttrName,
                       k >= 0 && k < view_.ItemCount(TControl::cboAttrName) ? k : -1);
    SetCp932Text(TControl::edtGenba, row.SubItems[TBatchRow::Genba]);
    view_.SetChecked(TControl::chkKakuchi, IsSwitchOn(row.SubItems[TBatchRow::Kakuchi]));
    view_.SetChecked(TControl::chkRosen, IsSwitchOn(row.SubItems[TBatchRow::Rosen]));
    view_.SetChecked(TControl::chkYX, IsSwitchOn(row.SubItems[TBatchRow::SwapXY]));
    view_.SetChecked(TControl::chkEnd, IsSwitchOn(row.SubItems[TBatchRow::CloseParcel]));
    view_.SetItemIndex(TControl::cboZone, row.Zone >= 1 && row.Zone <= 19 ? row.Zone : 0);
}

void TMainLogic::lvwBatchEnter() {
    // The tooltip's text for those who do not hover: the cause of a cross.
    const int i = view_.SelectedRow();
    if (i < 0 || i >= RowCount() || marks_[size_t(i)] != kMarkFailed) return;
    view_.Message(TMessageKind::Error, tips_[size_t(i)]);
}

// ---- Batch list file ----

void TMainLogic::S1Click() {
    if (running_) return;
    if (rows_.empty()) return Warn(msg::kNoBatchList);
    if (!ExecuteListDialog(saveDialog2_)) return;

    // The file is code page 932: paths and typed names are encoded here;
    // names that came from files are already its bytes. The first file line
    // that cannot be held is reported.
    int badLine = 0;
    auto held = [&badLine](std::optional<std::string> bytes, int line) {
        if (!bytes && badLine == 0) badLine = line;
        return std::move(bytes).value_or(std::string());
    };
    TBatchListFile list;
    list.Combine = view_.IsChecked(TControl::chkCombine);
    list.CombineFile = held(Cp932Text(TControl::edtConbineFile), 4);
    list.CombineGenba = held(Cp932Text(TControl::edtCombineGenba), 5);
    for (size_t i = 0; i < rows_.size(); ++i) {
        TBatchRow row = rows_[i];
        const int line = 6 + static_cast<int>(i);
        for (int k : {TBatchRow::MifFile, TBatchRow::SimFile})
            row.SubItems[size_t(k)] = held(Utf8ToCp932(row.SubItems[size_t(k)]), line);
        if (!row.UnheldAttrName.empty()) held(std::nullopt, line);
        list.Rows.push_back(std::move(row));
    }
    if (badLine != 0) return Warn(FormatMessage(msg::kUnsavableLine, {std::to_string(badLine)}));
    try {
        SaveBatchList(saveDialog2_.FileName, list);
    } catch (const FileError& e) {
        view_.ShowError(
            Japanese({TMsg::BatchListCannotCreate, {saveDialog2_.FileName}, e.message.SysError}));
    }
}

void TMainLogic::O1Click() {
    if (running_) return;
    if (ExecuteListDialog(openDialog2_)) LoadListFile(openDialog2_.FileName);
}

void TMainLogic::LoadListFile(const std::string& path) {
    // The list goes first, so a file that is refused leaves it empty.
    ClearRows();
    lvwBatchChange();
    TBatchListFile list;
    try {
        list = LoadJobList(path);
    } catch (const BatchListError& e) {
        view_.Message(TMessageKind::Error, Japanese(e.message));
        return;
    } catch (const FileError& e) {
        view_.ShowError(Japanese({TMsg::BatchListCannotOpen, {path}, e.message.SysError}));
        return;
    }
    view_.SetChecked(TControl::chkCombine, list.Combine);
    // Paths are UTF-8 inside: the decoded path is the path.
    SetCp932Text(TControl::edtConbineFile, list.CombineFile);
    SetCp932Text(TControl::edtCombineGenba, list.CombineGenba);
    for (const TBatchRow& row : list.Rows)
        AppendRow(row);
    lvwBatchChange();
}

// ---- Batch run ----

void TMainLogic::SetRunning(bool running) {
    running_ = running;
    // The run keeps the rows it started with: nothing may change the list,
    // and no other conversion may use the temporary files, until it ends.
    for (TControl c : {TControl::btnAdd, TControl::btnClear, TControl::btnBatch,
                       TControl::btnConvert, TControl::O1, TControl::S1})
        view_.SetEnabled(c, !running);
    lvwBatchChange();
}

void TMainLogic::ShowCurrentRow(int i) {
    view_.ProcessMessages();
    view_.ShowRow(i);
    view_.ProcessMessages();
}

void TMainLogic::btnBatchClick() {
    if (running_) return;
    // A summary of an earlier run would no longer be true.
    view_.SetStatusText(std::string());
    if (rows_.empty()) return Warn(msg::kNoBatchList);
    for (int i = 0; i < RowCount(); ++i)
        SetRowMark(i, kNoMark);
    const std::vector<TBatchRow> rows = rows_;
    const bool combine = view_.IsChecked(TControl::chkCombine);
    const auto genba = Cp932Text(TControl::edtCombineGenba);
    if (combine && !genba) return Warn(msg::kBadGenba);

    // An error that ends a per-file run at its row: shown after the run; the
    // row gets its cross.
    std::optional<TMessage> error;
    TRunCallbacks callbacks;
    callbacks.BeginRow = [&](size_t row) {
        view_.SetStatusText(
            BatchProgressText(row, rows.size(), rows[row].SubItems[TBatchRow::MifFile]));
        ShowCurrentRow(static_cast<int>(row));
    };
    callbacks.MarkRow = [&](size_t row, const TRunReport& r) {
        if (!combine && ShownAsError(r.Failure)) error = r.Error;
        SetRowMark(static_cast<int>(row), r.Ok ? kMarkDone : kMarkFailed,
                   r.Ok ? WarningsText(r) : Japanese(r.Error));
    };
    callbacks.SetBusy = [this](bool busy) { view_.SetBusy(busy); };
    // A close asked for during the run ends it after the current row.
    callbacks.Cancelled = [&] { return closeRequested_ || error.has_value(); };

    if (combine) {
        TRunResult result;
        {
            // The run ends (running_ false) before a close asked for in it.
            TOnExit close([this] { CloseIfAsked(); });
            SetRunning(true);
            TOnExit end([this] { SetRunning(false); });
            result =
                ConvertCombined(rows, view_.GetText(TControl::edtConbineFile), *genba, callbacks);
            EndCombinedRun(result, rows.size());
            // Every row failed: the file was left as it was.
            if (result.Failure == TRunFailure::NoDestination ||
                result.Failure == TRunFailure::AllInputsFailed)
                Warn(Japanese(result.Error));
        }
        // A file that could not be created or written, or a merge refused:
        // the standard error box, once the run has ended.
        if (!result.Written && result.Failure != TRunFailure::NoDestination &&
            result.Failure != TRunFailure::AllInputsFailed &&
            result.Failure != TRunFailure::Cancelled)
            view_.ShowError(Japanese(result.Error));
        return;
    }

    std::vector<TRunResult> results;
    {
        SetRunning(true);
        TOnExit end([this] { SetRunning(false); });
        results = RunBatchJobs(rows, callbacks);
    }
    size_t failed = 0;
    std::vector<TRunReport> inputs;
    for (const TRunResult& r : results) {
        if (!r.Ok()) ++failed;
        inputs.insert(inputs.end(), r.Inputs.begin(), r.Inputs.end());
    }
    view_.SetStatusText(SummaryText(rows.size(), results.size() - failed, failed) +
                        WarningsCountText(RowsWithWarnings(inputs)));
    view_.Message(TMessageKind::Information, msg::kBatchDone);
    // Shown here, after the end message, so that a close asked for during the
    // run still follows it.
    if (error) view_.ShowError(Japanese(*error));
    CloseIfAsked();
}

std::string TMainLogic::SummaryText(size_t count, size_t succeeded, size_t failed) {
    std::string text = BatchSummaryText(count, succeeded, failed);
    if (succeeded + failed < count)
        text += Japanese({TMsg::BatchRowsNotRun, {std::to_string(count - succeeded - failed)}});
    return text;
}

void TMainLogic::EndCombinedRun(const TRunResult& result, size_t count) {
    const size_t reached = result.Inputs.size();
    if (reached == 0) return;
    size_t failed = result.FailedInputs();
    if (result.Written) {
        view_.SetStatusText(
            SummaryText(count, reached - failed, failed) +
            WarningsCountText(RowsWithWarnings(result.Inputs)) +
            (failed > 0 ? FormatMessage(msg::kCombinedWithoutFailed, {std::to_string(failed)})
                        : std::string()));
        return;
    }
    // Nothing was written: no row keeps its tick. A stopped run leaves the
    // rows it converted unmarked; a run whose file could not be made
    // crosses them with the cause.
    const bool stopped = result.Failure == TRunFailure::Cancelled;
    for (size_t i = 0; i < reached; ++i) {
        if (!result.Inputs[i].Ok) continue;
        if (stopped) {
            SetRowMark(static_cast<int>(i), kNoMark);
        } else {
            SetRowMark(static_cast<int>(i), kMarkFailed, Japanese(result.Error));
            ++failed;
        }
    }
    view_.SetStatusText(SummaryText(count, 0, failed));
}

bool TMainLogic::FormCloseQuery() {
    if (!running_) return true;
    closeRequested_ = true;
    return false;
}

void TMainLogic::CloseIfAsked() {
    if (!closeRequested_) return;
    closeRequested_ = false;
    view_.Close();
}

void TMainLogic::FilesDropped(TDropTarget target, const std::vector<std::string>& paths) {
    // The list stays as it is while a run works through it.
    if (running_) return;
    const TDrop drop = ClassifyDrop(target, paths);
    switch (drop.What) {
        case TDrop::Refused:
            return Warn(drop.Message);
        case TDrop::MifFile:
            return ChooseMifFile(drop.Paths[0]);
        case TDrop::BatchList:
            return LoadListFile(drop.Paths[0]);
        case TDrop::MifFiles:
            break;
    }
    // Each file a row with the panel's settings, its SIMA file beside it.
    if (!view_.IsChecked(TControl::chkKakuchi) && !view_.IsChecked(TControl::chkRosen))
        return Warn(msg::kNoTarget);
    if (!Cp932Text(TControl::edtGenba)) return Warn(msg::kBadGenba);
    TConvertSettings s = PanelSettings();
    for (const std::string& path : drop.Paths) {
        s.MifFile = path;
        s.SimFile = ChangeFileExt(path, ".sim");
        AppendRow(DroppedRow(s));
    }
    lvwBatchChange();
}

TBatchRow TMainLogic::DroppedRow(TConvertSettings s) const {
    // The panel's attribute belongs to the panel's table: another file has
    // it only under the same column name, wherever that column stands.
    const int i = view_.ItemIndex(TControl::cboAttrName);
    s.AttrIndex = -1;
    if (i <= 0 || static_cast<size_t>(i) >= attrNames_.size()) return RowFromSettings(s, "");
    TMessage why;
    const std::optional<int32_t> position =
        ColumnPositionOf(s.MifFile, attrCaptions_[size_t(i)], why);
    if (!position) return RowFromSettings(s, "");
    s.AttrIndex = *position;
    TBatchRow row = RowFromSettings(s, attrNames_[size_t(i)].value_or(std::string()));
    if (!attrNames_[size_t(i)]) row.UnheldAttrName = attrCaptions_[size_t(i)];
    return row;
}

void TMainLogic::btnCmbBrowseClick() {
    if (view_.Execute(saveDialog1_)) view_.SetText(TControl::edtConbineFile, saveDialog1_.FileName);
}

// ---- Preview ----

std::optional<TConvertSettings> TMainLogic::PreviewJob() {
    const int i = view_.SelectedRow();
    if (view_.HasFocus(TControl::lvwBatch) && i >= 0 && i < RowCount())
        return SettingsFromRow(rows_[size_t(i)]);
    // The panel's job needs what a conversion needs but its SIMA file: the
    // preview writes none.
    if (Trim(view_.GetText(TControl::edtMifFile)).empty()) {
        Warn(msg::kNothingToPreview);
        return std::nullopt;
    }
    if (!FileExists(view_.GetText(TControl::edtMifFile))) {
        Warn(msg::kBadMifFile);
        return std::nullopt;
    }
    if (!view_.IsChecked(TControl::chkKakuchi) && !view_.IsChecked(TControl::chkRosen)) {
        Warn(msg::kNoTarget);
        return std::nullopt;
    }
    const std::optional<std::string> genba = Cp932Text(TControl::edtGenba);
    if (!genba || HasControlCharacter(*genba)) {
        Warn(msg::kBadGenba);
        return std::nullopt;
    }
    return PanelSettings();
}

void TMainLogic::P1Click() {
    const std::optional<TConvertSettings> job = PreviewJob();
    if (!job) return;
    TPreviewSource source;
    source.Name = std::string(GetFileName(job->MifFile));
    TRunReport report;
    try {
        const auto busy = BusyCursor(view_);
        source.File = preview::ConvertAndReadBack(*job, &report);
    } catch (const std::exception& e) {
        // As a conversion shows its failure: the cause under the message,
        // or the standard error box for files that could not be opened.
        if (ShownAsError(report.Failure))
            view_.ShowError(Japanese(MessageOf(e)));
        else
            Warn(std::string(msg::kPreviewFailed) + "\n" + Japanese(MessageOf(e)));
        return;
    }
    source.CoordSysText = CoordSysLine(report, job->Zone);
    view_.ShowPreview(std::move(source));
}

// ---- About box and help ----

void TMainLogic::A1Click() {
    view_.ShowAbout();
}

void TMainLogic::H2Click() {
    view_.ShowHelp(helpFile_);
}

}  // namespace quorvex
