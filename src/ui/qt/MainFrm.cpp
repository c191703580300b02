#include "ui/qt/MainFrm.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>
#include <QWindow>
#include <cmath>
#include <type_traits>

#include "ui/logic/main_layout.h"
#include "ui/qt/app_icon.h"
#include "ui/qt/help_window.h"

namespace quorvex {
namespace {

// The client area below the menu bar, laid out at 96 dpi: the controls end
// at 787, the status bar (19 high) starts at 378.
constexpr int kClientWidth = kMainClientWidth;
constexpr int kStatusTop = kMainStatusTop;
constexpr int kStatusHeight = kMainStatusHeight;
// The window's outer size whenever it is shown.
constexpr QSize kShownSize(kMainOuterWidth, kMainOuterHeight);

// The window just large enough for the designed client area.
QSize DesignedSize(QMainWindow* form) {
    return {kClientWidth, form->menuBar()->sizeHint().height() + kStatusTop + kStatusHeight};
}

QString Q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

QPixmap NewPixmap(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    return pm;
}

QIcon TickIcon() {
    QPixmap pm = NewPixmap(16);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 160, 0), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(3, 8.5), QPointF(6.5, 12), QPointF(13, 4)}));
    return QIcon(pm);
}

QIcon CrossIcon() {
    QPixmap pm = NewPixmap(16);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(215, 0, 0), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(4, 4), QPointF(12, 12));
    p.drawLine(QPointF(12, 4), QPointF(4, 12));
    return QIcon(pm);
}

// Fonts other than the designed one may set a caption wider than its
// control; the letters are then closed up until it fits.
void FitCaption(QAbstractButton* button) {
    const int excess = button->sizeHint().width() - button->width();
    if (excess <= 0 || button->text().isEmpty()) return;
    QFont font = button->font();
    font.setLetterSpacing(QFont::AbsoluteSpacing,
                          -std::ceil(10.0 * excess / button->text().size()) / 10.0);
    button->setFont(font);
}

}  // namespace

void TAttrComboBox::showPopup() {
    if (!OnDropDown || OnDropDown()) QComboBox::showPopup();
}

TfrmMain::TfrmMain(TUiServices& services, TPlacementStore store, QWidget* parent)
    : QMainWindow(parent),
      services_(services),
      store_(store.Chosen()),
      logic_(*this, HelpDocumentPath().toStdString()) {
    setObjectName("frmMain");
    setWindowTitle(QString::fromUtf8(kAppTitle));
    setWindowIcon(QuorvexIcon());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFont(QuorvexWindowFont());

    imageList1_ = {TickIcon(), CrossIcon()};
    CreateControls();
    CreateMenu();
    ConnectHandlers();
    resize(DesignedSize(this));
    // Files dropped on the panel or the list reach the window itself.
    for (QLineEdit* edit : findChildren<QLineEdit*>())
        edit->setAcceptDrops(false);
    setAcceptDrops(true);
    Guard([this] { FormCreate(); });
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::CreateControls() {
    auto* client = new QWidget(this);
    client->setObjectName("client");
    setCentralWidget(client);

    // The shared layout, in its order, which is the keyboard order.
    QList<QWidget*> order;
    for (const TControlSpec& spec : kMainControls) {
        QWidget* owner = spec.Parent ? client->findChild<QWidget*>(spec.Parent) : client;
        const QString caption = Q(spec.Caption);
        QWidget* w = nullptr;
        switch (spec.Kind) {
            case TControlKind::Label: {
                auto* l = new QLabel(caption, owner);
                w = l;
                break;
            }
            case TControlKind::Edit:
                w = new QLineEdit(owner);
                break;
            case TControlKind::Button: {
                auto* b = new QPushButton(caption, owner);
                b->setAutoDefault(false);
                w = b;
                break;
            }
            case TControlKind::DropDownList:
                w = new TAttrComboBox(owner);
                break;
            case TControlKind::GroupBox:
                w = new QGroupBox(caption, owner);
                break;
            case TControlKind::CheckBox: {
                auto* c = new QCheckBox(caption, owner);
                c->setChecked(spec.Checked);
                w = c;
                break;
            }
            case TControlKind::ListView:
                w = new QTreeWidget(owner);
                break;
        }
        w->setObjectName(spec.Name);
        if (spec.Kind == TControlKind::Label) {
            w->move(spec.Left, spec.Top);
            w->adjustSize();
        } else {
            w->setGeometry(spec.Left, spec.Top, spec.Width, spec.Height);
        }
        if (auto* c = qobject_cast<QCheckBox*>(w)) FitCaption(c);
        w->setEnabled(spec.Enabled);
        if (spec.Id) order.append(w);
    }
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);

    auto find = [client](auto*& member, const char* name) {
        member = client->findChild<std::remove_reference_t<decltype(*member)>*>(name);
    };
    find(edtSimFile, "edtSimFile");
    find(btnSimBrowse, "btnSimBrowse");
    find(edtMifFile, "edtMifFile");
    find(btnMifBrowse, "btnMifBrowse");
    find(cboAttrName, "cboAttrName");
    find(edtGenba, "edtGenba");
    find(grpTarget, "GroupBox1");
    find(chkKakuchi, "chkKakuchi");
    find(chkRosen, "chkRosen");
    find(grpOption, "GroupBox2");
    find(chkYX, "chkYX");
    find(chkEnd, "chkEnd");
    find(btnAdd, "btnAdd");
    find(btnReplace, "btnReplace");
    find(btnConvert, "btnConvert");
    find(lvwBatch, "lvwBatch");
    find(chkCombine, "chkCombine");
    find(btnClear, "btnClear");
    find(btnRemove, "btnRemove");
    find(btnBatch, "btnBatch");
    find(edtConbineFile, "edtConbineFile");
    find(btnCmbBrowse, "btnCmbBrowse");
    find(edtCombineGenba, "edtCombineGenba");

    lvwBatch->setColumnCount(9);
    QStringList headers;
    for (const TColumnSpec& column : kBatchColumns)
        headers << Q(column.Caption);
    lvwBatch->setHeaderLabels(headers);
    lvwBatch->setRootIsDecorated(false);
    lvwBatch->setItemsExpandable(false);
    lvwBatch->setUniformRowHeights(true);
    lvwBatch->setAllColumnsShowFocus(true);
    lvwBatch->setSelectionMode(QAbstractItemView::SingleSelection);
    lvwBatch->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvwBatch->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvwBatch->setSortingEnabled(false);
    lvwBatch->setIconSize(QSize(16, 16));
    // Long paths lose their middle, so the file name stays in sight.
    lvwBatch->setTextElideMode(Qt::ElideMiddle);
    QHeaderView* header = lvwBatch->header();
    header->setSectionsClickable(false);
    header->setSectionsMovable(false);
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(16);
    for (int c = 0; c < 9; ++c) {
        lvwBatch->setColumnWidth(c, kBatchColumns[c].Width);
        lvwBatch->headerItem()->setTextAlignment(
            c, (kBatchColumns[c].Centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
    }

    QStatusBar* bar = statusBar();
    bar->setObjectName("StatusBar1");
    bar->setFixedHeight(kStatusHeight);
}

void TfrmMain::CreateMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu1");
    QMenu* menus[2];
    const char* names[2] = {"F1", "H1"};
    for (int m = 0; m < 2; ++m) {
        menus[m] = bar->addMenu(Q(kMenuCaptions[m]));
        menus[m]->setObjectName(names[m]);
        menus[m]->setFont(font());
    }
    for (const TMenuSpec& item : kMenuItems) {
        if (item.SeparatorBefore) menus[item.Menu]->addSeparator();
        QAction* a = menus[item.Menu]->addAction(Q(item.Caption));
        a->setObjectName(item.Name);
        if (*item.Shortcut) a->setShortcut(QKeySequence(QString::fromLatin1(item.Shortcut)));
    }
    O1 = bar->findChild<QAction*>("O1");
    S1 = bar->findChild<QAction*>("S1");
    X1 = bar->findChild<QAction*>("X1");
    H2 = bar->findChild<QAction*>("H2");
    A1 = bar->findChild<QAction*>("A1");
}

void TfrmMain::ConnectHandlers() {
    using Handler = void (TfrmMain::*)();
    auto guarded = [this](Handler h) { return [this, h] { Guard([this, h] { (this->*h)(); }); }; };
    connect(btnMifBrowse, &QPushButton::clicked, this, guarded(&TfrmMain::btnMifBrowseClick));
    connect(btnSimBrowse, &QPushButton::clicked, this, guarded(&TfrmMain::btnSimBrowseClick));
    connect(btnConvert, &QPushButton::clicked, this, guarded(&TfrmMain::btnConvertClick));
    connect(btnAdd, &QPushButton::clicked, this, guarded(&TfrmMain::btnAddClick));
    connect(btnReplace, &QPushButton::clicked, this, guarded(&TfrmMain::btnReplaceClick));
    connect(btnRemove, &QPushButton::clicked, this, guarded(&TfrmMain::btnRemoveClick));
    connect(btnClear, &QPushButton::clicked, this, guarded(&TfrmMain::btnClearClick));
    connect(btnBatch, &QPushButton::clicked, this, guarded(&TfrmMain::btnBatchClick));
    connect(btnCmbBrowse, &QPushButton::clicked, this, guarded(&TfrmMain::btnCmbBrowseClick));
    connect(lvwBatch, &QTreeWidget::itemSelectionChanged, this, guarded(&TfrmMain::lvwBatchChange));
    connect(lvwBatch, &QTreeWidget::itemDoubleClicked, this, guarded(&TfrmMain::lvwBatchDblClick));
    connect(O1, &QAction::triggered, this, guarded(&TfrmMain::O1Click));
    connect(S1, &QAction::triggered, this, guarded(&TfrmMain::S1Click));
    connect(X1, &QAction::triggered, this, guarded(&TfrmMain::X1Click));
    connect(H2, &QAction::triggered, this, guarded(&TfrmMain::H2Click));
    connect(A1, &QAction::triggered, this, guarded(&TfrmMain::A1Click));
    // A list that could not be read stays closed; the error has been shown.
    cboAttrName->OnDropDown = [this] { return Guard([this] { cboAttrNameDropDown(); }); };
}

// ---- Start and end ----

void TfrmMain::FormCreate() {
    edtSimFile->setFocus();
}

void TfrmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // Restoring from the minimised state shows the window again; the
    // placement is read once, at the first showing.
    if (shown_) return;
    shown_ = true;
    Guard([this] { FormShow(); });
}

void TfrmMain::FormShow() {
    setWindowTitle(QString::fromUtf8(kAppTitle));
    LoadFormPlacement(this, store_);
    // Whatever size was stored, the window opens at its own; never so small,
    // though, that a tall title bar would push the status bar over controls.
    const QSize frame = frameGeometry().size() - size();
    resize((kShownSize - frame).expandedTo(DesignedSize(this)));
    // Under a window manager a window not yet mapped is placed by its
    // client, and its frame may be unknown: the position and the outer
    // size are applied again once it is mapped and its frame known.
    if (windowState() == Qt::WindowNoState && QGuiApplication::platformName() == "xcb")
        PlaceOnceFrameKnown(pos(), 100, 0);
}

void TfrmMain::PlaceOnceFrameKnown(const QPoint& framePos, int triesLeft, int steady) {
    QTimer::singleShot(20, this, [this, framePos, triesLeft, steady] {
        const QWindow* handle = windowHandle();
        const QMargins m = handle ? handle->frameMargins() : QMargins();
        const bool ready = handle && handle->isExposed() && !m.isNull();
        if (!ready && triesLeft > 0) return PlaceOnceFrameKnown(framePos, triesLeft - 1, 0);
        if (!ready || windowState() != Qt::WindowNoState) return;
        resize((kShownSize - QSize(m.left() + m.right(), m.top() + m.bottom()))
                   .expandedTo(DesignedSize(this)));
        std::vector<TScreenRect> screens;
        for (const QScreen* s : QGuiApplication::screens()) {
            const QRect a = s->availableGeometry();
            screens.push_back({a.x(), a.y(), a.width(), a.height()});
        }
        const QRect outer = frameGeometry();
        const TScreenRect at = KeepTitleBarOnScreen(
            {framePos.x(), framePos.y(), outer.width(), outer.height()}, m.top(), screens);
        const QPoint target(at.Left, at.Top);
        // A shown window moves by its frame's top-left corner. The window
        // manager may still be placing it after the first move, so the
        // place is checked until it has held a few rounds.
        if (outer.topLeft() != target) {
            move(target);
            if (triesLeft > 0) PlaceOnceFrameKnown(target, triesLeft - 1, 0);
        } else if (steady < 4 && triesLeft > 0) {
            PlaceOnceFrameKnown(target, triesLeft - 1, steady + 1);
        }
    });
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    // During a batch run the run ends first, after its current row; then
    // the logic closes the window again.
    if (!logic_.FormCloseQuery()) {
        event->ignore();
        return;
    }
    // A store that cannot be written is reported but never keeps the
    // program from ending.
    Guard([this] { FormClose(); });
    event->accept();
}

void TfrmMain::FormClose() {
    SaveFormPlacement(this, store_);
}

// ---- The controls, as the shared logic sees them ----

QWidget* TfrmMain::ControlWidget(TControl control) const {
    switch (control) {
        case TControl::edtMifFile:
            return edtMifFile;
        case TControl::btnMifBrowse:
            return btnMifBrowse;
        case TControl::edtSimFile:
            return edtSimFile;
        case TControl::btnSimBrowse:
            return btnSimBrowse;
        case TControl::cboAttrName:
            return cboAttrName;
        case TControl::edtGenba:
            return edtGenba;
        case TControl::chkKakuchi:
            return chkKakuchi;
        case TControl::chkRosen:
            return chkRosen;
        case TControl::chkYX:
            return chkYX;
        case TControl::chkEnd:
            return chkEnd;
        case TControl::btnAdd:
            return btnAdd;
        case TControl::btnReplace:
            return btnReplace;
        case TControl::btnConvert:
            return btnConvert;
        case TControl::lvwBatch:
            return lvwBatch;
        case TControl::chkCombine:
            return chkCombine;
        case TControl::btnClear:
            return btnClear;
        case TControl::btnRemove:
            return btnRemove;
        case TControl::btnBatch:
            return btnBatch;
        case TControl::edtConbineFile:
            return edtConbineFile;
        case TControl::btnCmbBrowse:
            return btnCmbBrowse;
        case TControl::edtCombineGenba:
            return edtCombineGenba;
        case TControl::O1:
        case TControl::S1:
            return nullptr;
    }
    return nullptr;
}

QLineEdit* TfrmMain::Edit(TControl control) const {
    return qobject_cast<QLineEdit*>(ControlWidget(control));
}

std::string TfrmMain::GetText(TControl control) const {
    const QLineEdit* edit = Edit(control);
    return edit ? edit->text().toStdString() : std::string();
}

void TfrmMain::SetText(TControl control, const std::string& text) {
    if (QLineEdit* edit = Edit(control)) edit->setText(Q(text));
}

bool TfrmMain::IsChecked(TControl control) const {
    const auto* box = qobject_cast<const QCheckBox*>(ControlWidget(control));
    return box && box->isChecked();
}

void TfrmMain::SetChecked(TControl control, bool checked) {
    if (auto* box = qobject_cast<QCheckBox*>(ControlWidget(control))) box->setChecked(checked);
}

void TfrmMain::SetEnabled(TControl control, bool enabled) {
    if (control == TControl::O1) return O1->setEnabled(enabled);
    if (control == TControl::S1) return S1->setEnabled(enabled);
    if (QWidget* w = ControlWidget(control)) w->setEnabled(enabled);
}

void TfrmMain::SetAttrItems(const std::vector<std::string>& items) {
    cboAttrName->clear();
    for (const std::string& item : items)
        cboAttrName->addItem(Q(item));
    // The first entry added becomes the choice; none is chosen.
    cboAttrName->setCurrentIndex(-1);
}

int TfrmMain::AttrItemCount() const {
    return cboAttrName->count();
}

int TfrmMain::AttrIndex() const {
    return cboAttrName->currentIndex();
}

void TfrmMain::SetAttrIndex(int index) {
    cboAttrName->setCurrentIndex(index);
}

void TfrmMain::InsertRow(int index, const TRowCells& cells) {
    lvwBatch->insertTopLevelItem(index, new QTreeWidgetItem());
    SetRowCells(index, cells);
}

void TfrmMain::SetRowCells(int index, const TRowCells& cells) {
    QTreeWidgetItem* item = lvwBatch->topLevelItem(index);
    for (int c = 0; c < int(cells.size()); ++c) {
        item->setText(c, Q(cells[size_t(c)]));
        // The whole text of a cell that may be shown cut short; the mark's
        // column has the mark's tip instead.
        if (c > 0) item->setToolTip(c, Q(cells[size_t(c)]));
        // The four switches are centred.
        if (c > TBatchRow::Kakuchi) item->setTextAlignment(c, Qt::AlignCenter);
    }
}

void TfrmMain::DeleteRow(int index) {
    delete lvwBatch->takeTopLevelItem(index);
    // The view would select the next row; after a deletion none is selected.
    lvwBatch->clearSelection();
}

void TfrmMain::ClearRows() {
    lvwBatch->clear();
}

void TfrmMain::SetRowMarkTip(int index, const std::string& text) {
    lvwBatch->topLevelItem(index)->setToolTip(0, Q(text));
}

std::optional<TDropTarget> TfrmMain::DropTargetAt(const QPoint& pos) const {
    const QPoint at = centralWidget()->mapFrom(this, pos);
    if (lvwBatch->geometry().contains(at)) return TDropTarget::BatchList;
    if (at.x() < lvwBatch->x()) return TDropTarget::Panel;
    return std::nullopt;
}

void TfrmMain::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TfrmMain::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasUrls() && DropTargetAt(event->position().toPoint()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TfrmMain::dropEvent(QDropEvent* event) {
    const std::optional<TDropTarget> target = DropTargetAt(event->position().toPoint());
    if (!target) return event->ignore();
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls())
        paths.push_back(url.isLocalFile() ? url.toLocalFile().toStdString()
                                          : url.toString().toStdString());
    event->acceptProposedAction();
    Guard([&] { logic_.FilesDropped(*target, paths); });
}

void TfrmMain::SetRowMark(int index, TRowMark mark) {
    lvwBatch->topLevelItem(index)->setIcon(0, mark == kNoMark ? QIcon() : imageList1_[mark]);
}

int TfrmMain::SelectedRow() const {
    const QList<QTreeWidgetItem*> selected = lvwBatch->selectedItems();
    return selected.isEmpty() ? -1 : lvwBatch->indexOfTopLevelItem(selected.constFirst());
}

void TfrmMain::ShowRow(int index) {
    QTreeWidgetItem* item = lvwBatch->topLevelItem(index);
    if (!item) return;
    lvwBatch->setCurrentItem(item);
    // A row that is partly visible counts as visible.
    if (!lvwBatch->visualItemRect(item).intersects(lvwBatch->viewport()->rect()))
        lvwBatch->scrollToItem(item);
}

void TfrmMain::SetStatusText(const std::string& text) {
    if (text.empty())
        statusBar()->clearMessage();
    else
        statusBar()->showMessage(Q(text));
}

void TfrmMain::Message(TMessageKind kind, const std::string& text) {
    services_.Message(this, kind, Q(text));
}

void TfrmMain::ShowError(const std::string& text) {
    services_.ShowError(this, Q(text));
}

bool TfrmMain::Execute(TFileDialog& dialog) {
    return services_.Execute(this, dialog);
}

void TfrmMain::SetBusy(bool busy) {
    services_.SetBusy(busy);
}

void TfrmMain::ProcessMessages() {
    QApplication::processEvents();
}

void TfrmMain::ShowAbout() {
    services_.ShowAbout(this);
}

void TfrmMain::ShowHelp(const std::string& helpFile) {
    services_.ShowHelp(this, Q(helpFile));
}

void TfrmMain::Close() {
    close();
}

}  // namespace quorvex
