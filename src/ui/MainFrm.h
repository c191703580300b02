// The main window: the single conversion panel on the left, the batch list
// with its run and the combine settings on the right. Every event handler
// holds its logic here; the desktop (message boxes, dialogs, cursor) is
// reached through TUiServices.
#pragma once

#include <QComboBox>
#include <QIcon>
#include <QList>
#include <QMainWindow>
#include <functional>
#include <string>
#include <vector>

#include "engine/convert_settings.h"
#include "ui/placement.h"
#include "ui/ui_services.h"

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

class TfrmMain : public QMainWindow {
    Q_OBJECT
  public:
    // Row marks: the images of ImageList1.
    enum TRowMark { kNoMark = -1, kMarkDone = 0, kMarkFailed = 1 };

    explicit TfrmMain(TUiServices& services, TPlacementStore store = TPlacementStore::Default(),
                      QWidget* parent = nullptr);
    ~TfrmMain() override;

    // Handlers. The widgets call them through Guard; tests may call them
    // directly.
    void FormCreate();
    void FormShow();
    void FormClose();
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
    void S1Click();
    void O1Click();
    void btnBatchClick();
    void btnCmbBrowseClick();
    void A1Click();
    void H2Click();

    // Runs a handler; an error that escapes it is shown in the standard
    // error box and the program goes on. False when an error was shown.
    bool Guard(const std::function<void()>& handler);

    // The batch list as data: rows hold bytes (paths in the system's
    // encoding, attribute and site names in code page 932).
    int RowCount() const { return static_cast<int>(rows_.size()); }
    const TBatchRow& Row(int i) const { return rows_[static_cast<size_t>(i)]; }
    int RowMark(int i) const;
    int SelectedRow() const;

    const QString& HelpFile() const { return helpFile_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void CreateControls();
    void CreateMenu();
    void ConnectHandlers();

    // The panel's job and the attribute name chosen with it.
    TConvertSettings PanelSettings() const;
    std::string ChosenAttrName() const;
    TBatchRow PanelRow() const;

    void AppendRow(const TBatchRow& row);
    void SetRow(int i, const TBatchRow& row);
    void RemoveRow(int i);
    void ClearRows();
    void SetRowMark(int i, int mark);
    // Selects the row and scrolls it into view between two rounds of
    // pending events, so the window shows the row being worked on.
    void ShowCurrentRow(int i);
    void SetRunning(bool running);

    TUiServices& services_;
    TPlacementStore store_;
    QString helpFile_;
    bool shown_ = false;
    bool running_ = false;
    std::vector<TBatchRow> rows_;
    // ImageList1: the green tick and the red cross.
    QList<QIcon> imageList1_;

    TFileDialog openDialog1_, saveDialog1_, openDialog2_, saveDialog2_;

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
