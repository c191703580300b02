// The main window of the Qt face: the single conversion panel on the left,
// the batch list with its run and the combine settings on the right. The
// window creates the controls and wires their events to the shared window
// logic (TMainLogic), which reaches the controls back through TWindowView;
// the desktop (message boxes, dialogs, cursor) is reached through
// TUiServices.
#pragma once

#include <QComboBox>
#include <QIcon>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/convert_settings.h"
#include "ui/logic/main_layout.h"
#include "ui/logic/main_logic.h"
#include "ui/logic/window_view.h"
#include "ui/qt/PreviewWnd.h"
#include "ui/qt/placement.h"
#include "ui/qt/ui_services.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace quorvex {

// A drop-down list that asks its owner to refill the list each time the
// list is about to open.
class TDropDownList : public QComboBox {
    Q_OBJECT
  public:
    using QComboBox::QComboBox;
    // Runs before the list opens; false keeps it closed.
    std::function<bool()> OnDropDown;
    void showPopup() override;
};

class TfrmMain : public QMainWindow, private TWindowView {
    Q_OBJECT
  public:
    explicit TfrmMain(TUiServices& services, TPlacementStore store = TPlacementStore::Default(),
                      QWidget* parent = nullptr);
    ~TfrmMain() override;

    // The window's own handlers; those of the controls and the menu are the
    // shared logic's, which its events reach through TMainLogic::Handle.
    void FormCreate();
    void FormShow();
    void FormClose();
    TMainLogic& Logic() { return logic_; }

    // Runs a handler; an error that escapes it is shown in the standard
    // error box and the program goes on. False when an error was shown.
    bool Guard(const std::function<void()>& handler) { return logic_.Guard(handler); }

    // The batch list as data: rows hold bytes (paths in the system's
    // encoding, attribute and site names in code page 932).
    int RowCount() const { return logic_.RowCount(); }
    const TBatchRow& Row(int i) const { return logic_.Row(i); }
    int RowMark(int i) const { return logic_.RowMark(i); }
    int SelectedRow() const override;

    QString HelpFile() const { return QString::fromStdString(logic_.HelpFile()); }
    // The preview window, once the preview has been asked for; none before.
    TfrmPreview* Preview() const { return preview_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CreateControls();
    // Where a drop at `pos` (window coordinates) goes; nothing outside the
    // panel and the list.
    std::optional<TDropTarget> DropTargetAt(const QPoint& pos) const;
    // The position and outer size the window opens with, applied again
    // once the window manager has told the frame's size.
    void PlaceOnceFrameKnown(const QPoint& framePos, int triesLeft, int steady);
    void CreateMenu();
    // Each control's and menu item's events to the logic, as its row says.
    void ConnectHandlers();
    // A button's command, the focus kept where it was.
    void Press(TCommand command);
    template <class T>
    T* Get(TControl control) const {
        return qobject_cast<T*>(controls_[static_cast<size_t>(control)]);
    }
    QTreeWidget* List() const;

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
    void ShowRow(int index) override;
    void SetStatusText(const std::string& text) override;
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

    TUiServices& services_;
    TPlacementStore store_;
    TMainLogic logic_;
    bool shown_ = false;
    // ImageList1: the green tick and the red cross.
    QList<QIcon> imageList1_;
    QPointer<TfrmPreview> preview_;

    // The widgets, menus and menu actions of kMainControls, by TControl.
    std::array<QObject*, kControlCount> controls_{};
};

}  // namespace quorvex
