#include "ui/qt/MainFrm.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QWindow>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeWidget>
#include <cmath>

#include "ui/qt/app_icon.h"
#include "ui/qt/help_window.h"

namespace quorvex {
namespace {

// The client area below the menu bar, laid out at 96 dpi: the controls end
// at 787, the status bar (19 high) starts at 378.
constexpr int kClientWidth = 792;
constexpr int kStatusTop = 378;
constexpr int kStatusHeight = 19;
// The window's outer size whenever it is shown.
constexpr QSize kShownSize(800, 451);

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

    auto place = [](QWidget* w, const char* name, int left, int top, int width, int height) {
        w->setObjectName(name);
        w->setGeometry(left, top, width, height);
    };
    auto label = [client](const char* name, const QString& text, int left, int top) {
        auto* l = new QLabel(text, client);
        l->setObjectName(name);
        l->move(left, top);
        l->adjustSize();
    };
    auto button = [&](const char* name, const QString& text, int left, int top, int width) {
        auto* b = new QPushButton(text, client);
        place(b, name, left, top, width, 21);
        b->setAutoDefault(false);
        return b;
    };
    auto check = [&](QWidget* owner, const char* name, const QString& text, int left, int top,
                     int width, bool checked) {
        auto* c = new QCheckBox(text, owner);
        place(c, name, left, top, width, 17);
        c->setChecked(checked);
        FitCaption(c);
        return c;
    };

    label("Label1", QStringLiteral("変換元MIFのファイル名"), 8, 8);
    label("Label2", QStringLiteral("変換後SIMAのファイル名"), 8, 48);
    label("Label3", QStringLiteral("SIMAの地番、路線名フィールドに格納する属性名"), 8, 96);
    label("Label4", QStringLiteral("SIMAに登録する現場名称"), 8, 144);
    label("Label5", QStringLiteral("バッチリスト"), 328, 8);
    label("Label6", QStringLiteral("統合後のSIMAに登録する現場名称"), 328, 272);
    label("Label7", QStringLiteral("統合後のファイル名"), 328, 312);

    // Created in keyboard order.
    edtSimFile = new QLineEdit(client);
    place(edtSimFile, "edtSimFile", 8, 64, 249, 20);
    btnSimBrowse = button("btnSimBrowse", QStringLiteral("参照"), 264, 64, 49);
    edtMifFile = new QLineEdit(client);
    place(edtMifFile, "edtMifFile", 8, 24, 249, 20);
    btnMifBrowse = button("btnMifBrowse", QStringLiteral("参照"), 264, 24, 49);
    cboAttrName = new TAttrComboBox(client);
    place(cboAttrName, "cboAttrName", 8, 112, 249, 22);
    edtGenba = new QLineEdit(client);
    place(edtGenba, "edtGenba", 8, 160, 249, 20);

    grpTarget = new QGroupBox(QStringLiteral("変換対象"), client);
    place(grpTarget, "GroupBox1", 8, 192, 305, 73);
    chkKakuchi =
        check(grpTarget, "chkKakuchi", QStringLiteral("ポリゴン、円、長方形を画地として変換する。"),
              16, 24, 281, true);
    chkRosen = check(grpTarget, "chkRosen", QStringLiteral("線、ポリラインを路線として変換する。"),
                     16, 48, 281, true);
    grpOption = new QGroupBox(QStringLiteral("変換オプション"), client);
    place(grpOption, "GroupBox2", 8, 272, 305, 73);
    chkYX =
        check(grpOption, "chkYX", QStringLiteral("X座標とY座標を入れ替える。"), 16, 24, 257, true);
    chkEnd = check(grpOption, "chkEnd", QStringLiteral("画地の最終点に始点と同一点を登録する。"),
                   16, 48, 281, false);

    btnAdd = button("btnAdd", QStringLiteral("追加"), 80, 352, 75);
    btnReplace = button("btnReplace", QStringLiteral("置換"), 160, 352, 75);
    btnReplace->setEnabled(false);
    btnConvert = button("btnConvert", QStringLiteral("すぐに変換"), 240, 352, 75);

    lvwBatch = new QTreeWidget(client);
    place(lvwBatch, "lvwBatch", 328, 24, 457, 217);
    lvwBatch->setColumnCount(9);
    lvwBatch->setHeaderLabels({QString(), QStringLiteral("元ファイル"),
                               QStringLiteral("先ファイル"), QStringLiteral("属性名"),
                               QStringLiteral("現場名"), QStringLiteral("画"), QStringLiteral("路"),
                               QStringLiteral("替"), QStringLiteral("同")});
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
    const int widths[9] = {18, 122, 122, 62, 62, 28, 28, 28, 28};
    for (int c = 0; c < 9; ++c) {
        lvwBatch->setColumnWidth(c, widths[c]);
        lvwBatch->headerItem()->setTextAlignment(
            c, (c >= 5 ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
    }

    chkCombine =
        check(client, "chkCombine",
              QStringLiteral(
                  "ファイルを統合する (XY座標の入替についてはリストの先頭の値で処理を行います。)"),
              328, 248, 457, false);
    btnClear = button("btnClear", QStringLiteral("クリア"), 552, 352, 75);
    btnRemove = button("btnRemove", QStringLiteral("削除"), 632, 352, 75);
    btnRemove->setEnabled(false);
    btnBatch = button("btnBatch", QStringLiteral("変換開始"), 712, 352, 75);
    edtConbineFile = new QLineEdit(client);
    place(edtConbineFile, "edtConbineFile", 328, 328, 401, 20);
    btnCmbBrowse = button("btnCmbBrowse", QStringLiteral("参照"), 736, 328, 49);
    edtCombineGenba = new QLineEdit(client);
    place(edtCombineGenba, "edtCombineGenba", 328, 288, 401, 20);

    const QList<QWidget*> order = {
        edtSimFile,     btnSimBrowse, edtMifFile,     btnMifBrowse, cboAttrName, edtGenba,
        chkKakuchi,     chkRosen,     chkYX,          chkEnd,       btnAdd,      btnReplace,
        btnConvert,     lvwBatch,     chkCombine,     btnClear,     btnRemove,   btnBatch,
        edtConbineFile, btnCmbBrowse, edtCombineGenba};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);

    QStatusBar* bar = statusBar();
    bar->setObjectName("StatusBar1");
    bar->setFixedHeight(kStatusHeight);
}

void TfrmMain::CreateMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu1");
    auto menu = [&](const char* name, const QString& title) {
        QMenu* m = bar->addMenu(title);
        m->setObjectName(name);
        m->setFont(font());
        return m;
    };
    auto item = [](QMenu* m, const char* name, const QString& text, const QKeySequence& key) {
        QAction* a = m->addAction(text);
        a->setObjectName(name);
        if (!key.isEmpty()) a->setShortcut(key);
        return a;
    };
    QMenu* file = menu("F1", QStringLiteral("ファイル(&F)"));
    O1 = item(file, "O1", QStringLiteral("開く(&O)..."), QKeySequence(Qt::CTRL | Qt::Key_O));
    S1 = item(file, "S1", QStringLiteral("保存(&S)..."), QKeySequence(Qt::CTRL | Qt::Key_S));
    file->addSeparator();
    X1 = item(file, "X1", QStringLiteral("終了(&X)"), QKeySequence());
    QMenu* help = menu("H1", QStringLiteral("ヘルプ(&H)"));
    H2 = item(help, "H2", QStringLiteral("トピックの検索(&H)"), QKeySequence(Qt::Key_F1));
    help->addSeparator();
    A1 = item(help, "A1", QStringLiteral("バージョン情報(&A)..."), QKeySequence());
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
        PlaceOnceFrameKnown(pos(), 100);
}

void TfrmMain::PlaceOnceFrameKnown(const QPoint& framePos, int triesLeft) {
    QTimer::singleShot(20, this, [this, framePos, triesLeft] {
        const QWindow* handle = windowHandle();
        const QMargins m = handle ? handle->frameMargins() : QMargins();
        const bool ready = handle && handle->isExposed() && !m.isNull();
        if (!ready && triesLeft > 0) return PlaceOnceFrameKnown(framePos, triesLeft - 1);
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
        // A shown window moves by its frame's top-left corner; the window
        // manager may still be settling, so the result is checked.
        move(at.Left, at.Top);
        if (frameGeometry().topLeft() != QPoint(at.Left, at.Top) && triesLeft > 0)
            PlaceOnceFrameKnown(QPoint(at.Left, at.Top), triesLeft - 1);
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
        paths.push_back(url.isLocalFile() ? url.toLocalFile().toStdString() : url.toString().toStdString());
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
