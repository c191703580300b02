#include "ui/MainFrm.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
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
#include <exception>
#include <optional>

#include "engine/batch_list.h"
#include "engine/convert.h"
#include "mif/mif_numbers.h"
#include "mif/uniMifUtils.h"
#include "support/cp932.h"
#include "support/errors.h"
#include "support/paths.h"
#include "support/text.h"
#include "ui/app_icon.h"
#include "ui/help_window.h"

namespace quorvex {
namespace {

// The window speaks Japanese whatever the locale.
QString JapaneseText(const TMessage& m) {
    return QString::fromStdString(m.Text(TLanguage::Japanese));
}

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

// Texts from files are code page 932 bytes; paths are the system's own
// (UTF-8) bytes.
QString FromCp932(std::string_view bytes) {
    return QString::fromStdString(Cp932ToUtf8(bytes));
}
QString PathText(const std::string& bytes) {
    return QString::fromStdString(bytes);
}
std::string PathBytes(const QString& text) {
    return text.toStdString();
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
auto BusyCursor(TUiServices& services) {
    services.SetBusy(true);
    return TOnExit([&services] { services.SetBusy(false); });
}

// A text box showing code page 932 bytes keeps them: while it still shows
// them, they are used unchanged, so a name from a file survives even where
// decoding and encoding again would alter it or fail.
constexpr const char* kCp932Bytes = "cp932Bytes";

void SetCp932Text(QLineEdit* edit, const std::string& bytes) {
    edit->setText(FromCp932(bytes));
    edit->setProperty(kCp932Bytes, QByteArray(bytes.data(), qsizetype(bytes.size())));
}

// The text as code page 932 bytes; nothing when it holds a character the
// code page lacks.
std::optional<std::string> Cp932Text(const QLineEdit* edit) {
    const QByteArray kept = edit->property(kCp932Bytes).toByteArray();
    std::string bytes(kept.constData(), size_t(kept.size()));
    if (!kept.isNull() && edit->text() == FromCp932(bytes)) return bytes;
    return Utf8ToCp932(edit->text().toStdString());
}

}  // namespace

void TAttrComboBox::showPopup() {
    if (!OnDropDown || OnDropDown()) QComboBox::showPopup();
}

TfrmMain::TfrmMain(TUiServices& services, TPlacementStore store, QWidget* parent)
    : QMainWindow(parent), services_(services), store_(std::move(store)) {
    setObjectName("frmMain");
    setWindowTitle(QString::fromUtf8(kAppTitle));
    setWindowIcon(QuorvexIcon());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFont(QuorvexWindowFont());

    imageList1_ = {TickIcon(), CrossIcon()};
    openDialog1_ = {"OpenDialog1", TFileDialog::Open,
                    QStringLiteral("MapInfo インポート/エクスポート (*.mif)"), QString(),
                    QString()};
    saveDialog1_ = {"SaveDialog1", TFileDialog::Save, QStringLiteral("SIMAファイル (*.sim)"), "sim",
                    QString()};
    const QString batchFilter =
        QStringLiteral("Quorvexバッチファイル (*.txt);;すべてのファイル (*.*)");
    openDialog2_ = {"OpenDialog2", TFileDialog::Open, batchFilter, QString(), QString()};
    saveDialog2_ = {"SaveDialog2", TFileDialog::Save, batchFilter, "txt", QString()};

    CreateControls();
    CreateMenu();
    ConnectHandlers();
    resize(DesignedSize(this));
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
    edtSimFile->setFocus();

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

bool TfrmMain::Guard(const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (const std::exception& e) {
        services_.ShowError(this, JapaneseText(MessageOf(e)));
    }
    return false;
}

// ---- Start and end ----

void TfrmMain::FormCreate() {
    helpFile_ = HelpDocumentPath();
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
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    // A store that cannot be written is reported but never keeps the
    // program from ending.
    Guard([this] { FormClose(); });
    event->accept();
}

void TfrmMain::FormClose() {
    SaveFormPlacement(this, store_);
}

void TfrmMain::X1Click() {
    close();
}

// ---- Single conversion panel ----

bool TfrmMain::CheckInput() {
    auto refuse = [this](const QString& text) {
        services_.Message(this, TMessageKind::Warning, text);
        return false;
    };
    if (!FileExists(PathBytes(edtMifFile->text())))
        return refuse(QStringLiteral("変換元MIFのファイル名が不正です。"));
    if (Trim(PathBytes(edtSimFile->text())).empty())
        return refuse(QStringLiteral("変換後SIMAのファイル名が不正です。"));
    if (!chkKakuchi->isChecked() && !chkRosen->isChecked())
        return refuse(QStringLiteral("変換対象は最低1つは必要です。"));
    if (!Cp932Text(edtGenba))
        return refuse(QStringLiteral("現場名称に使用できない文字が含まれています。"));
    return true;
}

void TfrmMain::btnMifBrowseClick() {
    if (!services_.Execute(this, openDialog1_)) return;
    edtMifFile->setText(openDialog1_.FileName);
    edtSimFile->setText(PathText(ChangeFileExt(PathBytes(openDialog1_.FileName), ".sim")));
    cboAttrName->setCurrentIndex(-1);
}

void TfrmMain::btnSimBrowseClick() {
    if (services_.Execute(this, saveDialog1_)) edtSimFile->setText(saveDialog1_.FileName);
}

void TfrmMain::cboAttrNameDropDown() {
    const std::string mif = PathBytes(edtMifFile->text());
    if (!FileExists(mif)) return;
    cboAttrName->clear();
    cboAttrName->addItem(QString(), QByteArray());
    // The first entry of an empty list becomes the choice; nothing is chosen
    // until the user picks, also when the columns cannot be read.
    cboAttrName->setCurrentIndex(-1);
    const TMifTable table = ReadMifTable(mif);
    for (const TSFColumn& column : table.Columns)
        cboAttrName->addItem(FromCp932(column.Name),
                             QByteArray(column.Name.data(), qsizetype(column.Name.size())));
}

TConvertSettings TfrmMain::PanelSettings() const {
    TConvertSettings s;
    s.MifFile = PathBytes(edtMifFile->text());
    s.SimFile = PathBytes(edtSimFile->text());
    s.Genba = Cp932Text(edtGenba).value_or(std::string());
    s.AttrIndex = cboAttrName->currentIndex();
    s.Kakuchi = chkKakuchi->isChecked();
    s.Rosen = chkRosen->isChecked();
    s.SwapXY = chkYX->isChecked();
    s.CloseParcel = chkEnd->isChecked();
    return s;
}

std::string TfrmMain::ChosenAttrName() const {
    const int i = cboAttrName->currentIndex();
    return i < 0 ? std::string() : cboAttrName->itemData(i).toByteArray().toStdString();
}

TBatchRow TfrmMain::PanelRow() const {
    return RowFromSettings(PanelSettings(), ChosenAttrName());
}

void TfrmMain::btnConvertClick() {
    if (!CheckInput()) return;
    bool ok = false;
    {
        const auto busy = BusyCursor(services_);
        ok = ConvertFile(PanelSettings());
    }
    if (ok)
        services_.Message(this, TMessageKind::Information, QStringLiteral("変換に成功しました。"));
    else
        services_.Message(this, TMessageKind::Warning, QStringLiteral("変換に失敗しました。"));
}

// ---- Batch list ----

void TfrmMain::AppendRow(const TBatchRow& row) {
    rows_.push_back(row);
    new QTreeWidgetItem(lvwBatch);
    SetRow(RowCount() - 1, row);
}

void TfrmMain::SetRow(int i, const TBatchRow& row) {
    rows_[static_cast<size_t>(i)] = row;
    QTreeWidgetItem* item = lvwBatch->topLevelItem(i);
    item->setText(0, FromCp932(row.Caption));
    for (int k = 0; k < 8; ++k) {
        const std::string& text = row.SubItems[static_cast<size_t>(k)];
        const bool path = k == TBatchRow::MifFile || k == TBatchRow::SimFile;
        item->setText(k + 1, path ? PathText(text) : FromCp932(text));
        if (k >= TBatchRow::Kakuchi) item->setTextAlignment(k + 1, Qt::AlignCenter);
    }
    SetRowMark(i, kNoMark);
}

void TfrmMain::RemoveRow(int i) {
    rows_.erase(rows_.begin() + i);
    delete lvwBatch->takeTopLevelItem(i);
    // The view would select the next row; after a deletion none is selected.
    lvwBatch->clearSelection();
}

void TfrmMain::ClearRows() {
    rows_.clear();
    lvwBatch->clear();
}

void TfrmMain::SetRowMark(int i, int mark) {
    QTreeWidgetItem* item = lvwBatch->topLevelItem(i);
    item->setIcon(0, mark == kNoMark ? QIcon() : imageList1_[mark]);
    item->setData(0, Qt::UserRole, mark);
}

int TfrmMain::RowMark(int i) const {
    return lvwBatch->topLevelItem(i)->data(0, Qt::UserRole).toInt();
}

int TfrmMain::SelectedRow() const {
    const QList<QTreeWidgetItem*> selected = lvwBatch->selectedItems();
    return selected.isEmpty() ? -1 : lvwBatch->indexOfTopLevelItem(selected.constFirst());
}

void TfrmMain::btnAddClick() {
    if (running_ || !CheckInput()) return;
    AppendRow(PanelRow());
    lvwBatchChange();
}

void TfrmMain::btnReplaceClick() {
    if (running_ || !CheckInput()) return;
    const int i = SelectedRow();
    if (i < 0) return;
    SetRow(i, PanelRow());
    lvwBatchChange();
}

void TfrmMain::btnRemoveClick() {
    if (running_) return;
    const int i = SelectedRow();
    if (i >= 0) RemoveRow(i);
    lvwBatchChange();
}

void TfrmMain::btnClearClick() {
    if (running_) return;
    ClearRows();
    lvwBatchChange();
}

void TfrmMain::lvwBatchChange() {
    const bool selected = SelectedRow() >= 0 && !running_;
    btnReplace->setEnabled(selected);
    btnRemove->setEnabled(selected);
}

void TfrmMain::lvwBatchDblClick() {
    const int i = SelectedRow();
    if (running_ || i < 0) return;
    const TBatchRow row = Row(i);
    edtMifFile->setText(PathText(row.SubItems[TBatchRow::MifFile]));
    edtSimFile->setText(PathText(row.SubItems[TBatchRow::SimFile]));
    cboAttrNameDropDown();
    const int k = TryParseMifInteger(row.Caption).value_or(-1);
    cboAttrName->setCurrentIndex(k >= 0 && k < cboAttrName->count() ? k : -1);
    SetCp932Text(edtGenba, row.SubItems[TBatchRow::Genba]);
    chkKakuchi->setChecked(IsSwitchOn(row.SubItems[TBatchRow::Kakuchi]));
    chkRosen->setChecked(IsSwitchOn(row.SubItems[TBatchRow::Rosen]));
    chkYX->setChecked(IsSwitchOn(row.SubItems[TBatchRow::SwapXY]));
    chkEnd->setChecked(IsSwitchOn(row.SubItems[TBatchRow::CloseParcel]));
}

// ---- Batch list file ----

void TfrmMain::S1Click() {
    if (running_) return;
    if (rows_.empty()) {
        services_.Message(this, TMessageKind::Warning,
                          QStringLiteral("対象のバッチリストがありません。"));
        return;
    }
    if (!services_.Execute(this, saveDialog2_)) return;

    // The file is code page 932: paths and typed names are encoded here;
    // names that came from files are already its bytes. The first file line
    // that cannot be held is reported.
    int badLine = 0;
    auto held = [&badLine](std::optional<std::string> bytes, int line) {
        if (!bytes && badLine == 0) badLine = line;
        return std::move(bytes).value_or(std::string());
    };
    TBatchListFile list;
    list.Combine = chkCombine->isChecked();
    list.CombineFile = held(Cp932Text(edtConbineFile), 4);
    list.CombineGenba = held(Cp932Text(edtCombineGenba), 5);
    for (size_t i = 0; i < rows_.size(); ++i) {
        TBatchRow row = rows_[i];
        const int line = 6 + static_cast<int>(i);
        for (int k : {TBatchRow::MifFile, TBatchRow::SimFile})
            row.SubItems[size_t(k)] = held(Utf8ToCp932(row.SubItems[size_t(k)]), line);
        list.Rows.push_back(std::move(row));
    }
    if (badLine != 0) {
        services_.Message(
            this, TMessageKind::Warning,
            QStringLiteral("%1 行目に保存できない文字が含まれています。").arg(badLine));
        return;
    }
    try {
        SaveBatchList(PathBytes(saveDialog2_.FileName), list);
    } catch (const FileError& e) {
        services_.ShowError(this, JapaneseText({TMsg::BatchListCannotCreate,
                                                {saveDialog2_.FileName.toStdString()},
                                                e.message.SysError}));
    }
}

void TfrmMain::O1Click() {
    if (running_) return;
    if (!services_.Execute(this, openDialog2_)) return;
    // The list goes first, so a file that is refused leaves it empty.
    ClearRows();
    lvwBatchChange();
    TBatchListFile list;
    try {
        list = LoadBatchList(PathBytes(openDialog2_.FileName));
    } catch (const BatchListError& e) {
        services_.Message(this, TMessageKind::Error, JapaneseText(e.message));
        return;
    } catch (const FileError& e) {
        services_.ShowError(this, JapaneseText({TMsg::BatchListCannotOpen,
                                                {openDialog2_.FileName.toStdString()},
                                                e.message.SysError}));
        return;
    }
    chkCombine->setChecked(list.Combine);
    // On this system the decoded path is the path.
    SetCp932Text(edtConbineFile, list.CombineFile);
    SetCp932Text(edtCombineGenba, list.CombineGenba);
    for (TBatchRow& row : list.Rows) {
        for (int k : {TBatchRow::MifFile, TBatchRow::SimFile})
            row.SubItems[size_t(k)] = Cp932ToUtf8(row.SubItems[size_t(k)]);
        AppendRow(row);
    }
    lvwBatchChange();
}

// ---- Batch run ----

void TfrmMain::SetRunning(bool running) {
    running_ = running;
    // The run keeps the rows it started with: nothing may change the list,
    // and no other conversion may use the temporary files, until it ends.
    for (QWidget* w : {static_cast<QWidget*>(btnAdd), static_cast<QWidget*>(btnClear),
                       static_cast<QWidget*>(btnBatch), static_cast<QWidget*>(btnConvert)})
        w->setEnabled(!running);
    O1->setEnabled(!running);
    S1->setEnabled(!running);
    lvwBatchChange();
}

void TfrmMain::ShowCurrentRow(int i) {
    QApplication::processEvents();
    if (QTreeWidgetItem* item = lvwBatch->topLevelItem(i)) {
        lvwBatch->setCurrentItem(item);
        // A row that is partly visible counts as visible.
        if (!lvwBatch->visualItemRect(item).intersects(lvwBatch->viewport()->rect()))
            lvwBatch->scrollToItem(item);
    }
    QApplication::processEvents();
}

void TfrmMain::btnBatchClick() {
    if (running_) return;
    if (rows_.empty()) {
        services_.Message(this, TMessageKind::Warning,
                          QStringLiteral("対象のバッチリストがありません。"));
        return;
    }
    for (int i = 0; i < RowCount(); ++i)
        SetRowMark(i, kNoMark);
    const std::vector<TBatchRow> rows = rows_;

    if (chkCombine->isChecked()) {
        const auto genba = Cp932Text(edtCombineGenba);
        if (!genba) {
            services_.Message(this, TMessageKind::Warning,
                              QStringLiteral("現場名称に使用できない文字が含まれています。"));
            return;
        }
        TCombinedCallbacks callbacks;
        callbacks.InvalidOutputPath = [this] {
            services_.Message(this, TMessageKind::Warning,
                              QStringLiteral("統合後のファイル名が不正です。"));
        };
        callbacks.BeginRow = [this](size_t row) { ShowCurrentRow(static_cast<int>(row)); };
        callbacks.MarkRow = [this](size_t row, const TRunReport& r) {
            SetRowMark(static_cast<int>(row), r.Ok ? kMarkDone : kMarkFailed);
        };
        callbacks.SetBusy = [this](bool busy) { services_.SetBusy(busy); };
        SetRunning(true);
        TOnExit done([this] { SetRunning(false); });
        ConvertCombined(rows, PathBytes(edtConbineFile->text()), *genba, callbacks);
        return;
    }

    std::exception_ptr error;
    {
        SetRunning(true);
        TOnExit done([this] { SetRunning(false); });
        const auto busy = BusyCursor(services_);
        try {
            for (size_t i = 0; i < rows.size(); ++i) {
                ShowCurrentRow(static_cast<int>(i));
                const bool ok = ConvertFile(SettingsFromRow(rows[i]));
                SetRowMark(static_cast<int>(i), ok ? kMarkDone : kMarkFailed);
            }
        } catch (...) {
            error = std::current_exception();
        }
    }
    statusBar()->clearMessage();
    services_.Message(this, TMessageKind::Information, QStringLiteral("変換が終了しました。"));
    if (error) std::rethrow_exception(error);
}

void TfrmMain::btnCmbBrowseClick() {
    if (services_.Execute(this, saveDialog1_)) edtConbineFile->setText(saveDialog1_.FileName);
}

// ---- About box and help ----

void TfrmMain::A1Click() {
    services_.ShowAbout(this);
}

void TfrmMain::H2Click() {
    services_.ShowHelp(this, helpFile_);
}

}  // namespace quorvex
