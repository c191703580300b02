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
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/convert_settings.h"
#include "ui/logic/main_logic.h"
#include "ui/logic/window_view.h"
#include "ui/qt/placement.h"
#include "ui/qt/ui_services.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace quorvex {

// The attribute drop-down: asks its owner to refill the list each time the
// list is about to open.
class TAttrComboBox : public QComboBox {
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
    // Row marks: the images of ImageList1.
    static constexpr TRowMark kNoMark = quorvex::kNoMark;
    static constexpr TRowMark kMarkDone = quorvex::kMarkDone;
    static constexpr TRowMark kMarkFailed = quorvex::kMarkFailed;

    explicit TfrmMain(TUiServices& services, TPlacementStore store = TPlacementStore::Default(),
                      QWidget* parent = nullptr);
    ~TfrmMain() override;

    // Handlers. The widgets call them through Guard; tests may call them
    // directly. Those of the panel, the list and the menu are the shared
    // logic's.
    void FormCreate();
    void FormShow();
    void FormClose();
    void X1Click() { logic_.X1Click(); }
    bool CheckInput() { return logic_.CheckInput(); }
    void btnMifBrowseClick() { logic_.btnMifBrowseClick(); }
    void btnSimBrowseClick() { logic_.btnSimBrowseClick(); }
    void cboAttrNameDropDown() { logic_.cboAttrNameDropDown(); }
    void btnConvertClick() { logic_.btnConvertClick(); }
    void btnAddClick() { logic_.btnAddClick(); }
    void btnReplaceClick() { logic_.btnReplaceClick(); }
    void btnRemoveClick() { logic_.btnRemoveClick(); }
    void btnClearClick() { logic_.btnClearClick(); }
    void lvwBatchChange() { logic_.lvwBatchChange(); }
    void lvwBatchDblClick() { logic_.lvwBatchDblClick(); }
    void S1Click() { logic_.S1Click(); }
    void O1Click() { logic_.O1Click(); }
    void btnBatchClick() { logic_.btnBatchClick(); }
    void btnCmbBrowseClick() { logic_.btnCmbBrowseClick(); }
    void A1Click() { logic_.A1Click(); }
    void H2Click() { logic_.H2Click(); }

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

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void CreateControls();
    // Where a drop at `pos` (window coordinates) goes; nothing outside the
    // panel and the list.
    std::optional<TDropTarget> DropTargetAt(const QPoint& pos) const;
    // The position and outer size the window opens with, applied again
    // once the window manager has told the frame's size.
    void PlaceOnceFrameKnown(const QPoint& framePos, int triesLeft, int steady);
    void CreateMenu();
    void ConnectHandlers();
    QWidget* ControlWidget(TControl control) const;
    QLineEdit* Edit(TControl control) const;

    // TWindowView
    std::string GetText(TControl control) const override;
    void SetText(TControl control, const std::string& text) override;
    bool IsChecked(TControl control) const override;
    void SetChecked(TControl control, bool checked) override;
    void SetEnabled(TControl control, bool enabled) override;
    void SetAttrItems(const std::vector<std::string>& items) override;
    int AttrItemCount() const override;
    int AttrIndex() const override;
    void SetAttrIndex(int index) override;
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
    void Close() override;

    TUiServices& services_;
    TPlacementStore store_;
    TMainLogic logic_;
    bool shown_ = false;
    // ImageList1: the green tick and the red cross.
    QList<QIcon> imageList1_;

    QLineEdit* edtMifFile = nullptr;
    QPushButton* btnMifBrowse = nullptr;
    QLineEdit* edtSimFile = nullptr;
    QPushButton* btnSimBrowse = nullptr;
    TAttrComboBox* cboAttrName = nullptr;
    QLineEdit* edtGenba = nullptr;
    QGroupBox* grpTarget = nullptr;
    QCheckBox* chkKakuchi = nullptr;
    QCheckBox* chkRosen = nullptr;
    QGroupBox* grpOption = nullptr;
    QCheckBox* chkYX = nullptr;
    QCheckBox* chkEnd = nullptr;
    QPushButton* btnAdd = nullptr;
    QPushButton* btnReplace = nullptr;
    QPushButton* btnConvert = nullptr;
    QTreeWidget* lvwBatch = nullptr;
    QCheckBox* chkCombine = nullptr;
    QPushButton* btnClear = nullptr;
    QPushButton* btnRemove = nullptr;
    QPushButton* btnBatch = nullptr;
    QLineEdit* edtConbineFile = nullptr;
    QPushButton* btnCmbBrowse = nullptr;
    QLineEdit* edtCombineGenba = nullptr;

    QAction* O1 = nullptr;
    QAction* S1 = nullptr;
    QAction* X1 = nullptr;
    QAction* H2 = nullptr;
    QAction* A1 = nullptr;
};

}  // namespace quorvex
