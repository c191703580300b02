#include "ui/qt/MainFrm.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>
#include <QWindow>
#include <cmath>
#include <iterator>

#include "ui/logic/main_layout.h"
#include "ui/logic/path_elide.h"
#include "ui/logic/preview_logic.h"
#include "ui/qt/PreviewWnd.h"
#include "ui/qt/app_icon.h"
#include "ui/qt/help_window.h"

namespace quorvex {
namespace {

// The client area the layout needs: the menu bar over the designed area.
QSize DesignedSize(QMainWindow* form) {
    return {kMainClientWidth, form->menuBar()->sizeHint().height() + kMainClientHeight};
}

QString Q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// A row mark's image, painted from its shape.
QIcon MarkIcon(const TMarkShape& shape) {
    QPixmap pm(kMarkBox, kMarkBox);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(shape.Red, shape.Green, shape.Blue), shape.PenWidth, Qt::SolidLine,
                  Qt::RoundCap, Qt::RoundJoin));
    for (int k = 0; k < shape.StrokeCount; ++k) {
        const TMarkStroke& stroke = shape.Strokes[k];
        QPolygonF line;
        for (int i = 0; i < stroke.Count; ++i)
            line << QPointF(stroke.Points[i].X, stroke.Points[i].Y);
        p.drawPolyline(line);
    }
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

// A path cell: the folders give way before the file's name does. The item
// keeps the whole path for its tooltip.
class TPathDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (!(option->features & QStyleOptionViewItem::HasDisplay)) return;
        const QWidget* view = option->widget;
        const QStyle* style = view ? view->style() : QApplication::style();
        // The style draws the text inside these margins of its rectangle.
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
        const int width =
            style->subElementRect(QStyle::SE_ItemViewItemText, option, view).width() - 2 * margin;
        const QFontMetrics metrics(option->font);
        option->text = Q(ElidePath(option->text.toStdString(), width, [&](std::string_view text) {
            return metrics.horizontalAdvance(
                QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
        }));
    }
};

// The key of a key press as a shortcut reads it; the keypad counts as the
// main keys.
QKeySequence KeyOf(const QKeyEvent& key) {
    return QKeySequence(QKeyCombination(key.modifiers() & ~Qt::KeypadModifier, Qt::Key(key.key())));
}

}  // namespace

void TDropDownList::showPopup() {
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

    imageList1_ = {MarkIcon(kMarkShapes[kMarkDone]), MarkIcon(kMarkShapes[kMarkFailed])};
    CreateControls();
    CreateMenu();
    ConnectHandlers();
    resize(DesignedSize(this));
    // Files dropped on the panel or the list reach the window itself.
    for (const TControlSpec& spec : kMainControls)
        if (auto* edit = Get<QLineEdit>(spec.Id)) edit->setAcceptDrops(false);
    setAcceptDrops(true);
    Guard([this] { FormCreate(); });
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::CreateControls() {
    auto* client = new QWidget(this);
    client->setObjectName("client");
    setCentralWidget(client);

    // The shared layout, in its order, which is the keyboard order.
    QWidget* previous = nullptr;
    for (const TControlSpec& spec : kMainControls) {
        if (!IsClientControl(spec.Kind)) continue;
        QWidget* owner = spec.Parent ? Get<QWidget>(*spec.Parent) : client;
        const QString caption = Q(spec.Caption);
        QWidget* w = nullptr;
        switch (spec.Kind) {
            case TControlKind::Label:
                w = new QLabel(caption, owner);
                break;
            case TControlKind::Edit:
                w = new QLineEdit(owner);
                break;
            case TControlKind::Button: {
                auto* b = new QPushButton(caption, owner);
                b->setAutoDefault(false);
                w = b;
                break;
            }
            case TControlKind::DropDownList: {
                // A fixed list starts at its first entry.
                auto* d = new TDropDownList(owner);
                for (const char* item : spec.Items)
                    d->addItem(Q(item));
                w = d;
                break;
            }
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
            case TControlKind::Menu:
            case TControlKind::MenuItem:
            case TControlKind::PopupMenu:
                continue;
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
        controls_[static_cast<size_t>(spec.Id)] = w;
        if (!TakesFocus(spec.Kind)) continue;
        if (previous) setTabOrder(previous, w);
        previous = w;
    }

    QTreeWidget* list = List();
    list->setColumnCount(int(std::size(kBatchColumns)));
    QStringList headers;
    for (const TColumnSpec& column : kBatchColumns)
        headers << Q(column.Caption);
    list->setHeaderLabels(headers);
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSortingEnabled(false);
    list->setIconSize(QSize(kMarkBox, kMarkBox));
    // Long paths lose their folders first, so the file name stays in sight.
    list->setTextElideMode(Qt::ElideMiddle);
    for (int k : {TBatchRow::MifFile, TBatchRow::SimFile})
        list->setItemDelegateForColumn(1 + k, new TPathDelegate(list));
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    QHeaderView* header = list->header();
    header->setSectionsClickable(false);
    header->setSectionsMovable(false);
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(16);
    for (int c = 0; c < int(std::size(kBatchColumns)); ++c) {
        list->setColumnWidth(c, kBatchColumns[c].Width);
        list->headerItem()->setTextAlignment(
            c, (kBatchColumns[c].Centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
    }

    QStatusBar* bar = statusBar();
    bar->setObjectName("StatusBar1");
    bar->setFixedHeight(kMainStatusHeight);
}

void TfrmMain::CreateMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu1");
    for (const TControlSpec& spec : kMainControls) {
        QObject* made = nullptr;
        if (spec.Kind == TControlKind::Menu || spec.Kind == TControlKind::PopupMenu) {
            QMenu* menu =
                spec.Kind == TControlKind::Menu ? bar->addMenu(Q(spec.Caption)) : new QMenu(this);
            menu->setFont(font());
            made = menu;
        } else if (spec.Kind == TControlKind::MenuItem) {
            QMenu* menu = Get<QMenu>(*spec.Parent);
            if (spec.SeparatorBefore) menu->addSeparator();
            QAction* a = menu->addAction(Q(spec.Caption));
            if (*spec.Shortcut) a->setShortcut(QKeySequence(QString::fromLatin1(spec.Shortcut)));
            // The menu shows the key; the list's own key handling runs it
            // (eventFilter), so Delete still deletes text in the edit boxes.
            if (IsPopupItem(spec)) a->setShortcutContext(Qt::WidgetShortcut);
            a->setEnabled(spec.Enabled);
            made = a;
        } else {
            continue;
        }
        made->setObjectName(spec.Name);
        controls_[static_cast<size_t>(spec.Id)] = made;
    }
}

void TfrmMain::ConnectHandlers() {
    for (const TControlSpec& spec : kMainControls) {
        const TCommand command = spec.Command, dblClick = spec.DblClick;
        auto run = [this, command] { logic_.Handle(command); };
        if (auto* b = Get<QPushButton>(spec.Id); b && command != TCommand::None) {
            connect(b, &QPushButton::clicked, this, [this, command] { Press(command); });
            b->installEventFilter(this);
        }
        if (auto* a = Get<QAction>(spec.Id); a && command != TCommand::None)
            connect(a, &QAction::triggered, this, run);
        // A list that could not be read stays closed; the error has been shown.
        if (auto* d = Get<TDropDownList>(spec.Id); d && command != TCommand::None)
            d->OnDropDown = [this, command] { return logic_.Handle(command); };
        if (auto* l = Get<QTreeWidget>(spec.Id)) {
            if (command != TCommand::None)
                connect(l, &QTreeWidget::itemSelectionChanged, this, run);
            if (dblClick != TCommand::None)
                connect(l, &QTreeWidget::itemDoubleClicked, this,
                        [this, dblClick] { logic_.Handle(dblClick); });
            connect(l, &QWidget::customContextMenuRequested, this,
                    [this, l](const QPoint& at) { PopupListMenu(l->viewport()->mapToGlobal(at)); });
            l->installEventFilter(this);
        }
    }
}

void TfrmMain::Press(TCommand command) {
    // A run disables the button it was started from, and Qt hands the focus
    // on to the next control (the merged file's name, all of it selected);
    // it comes back once the handler is done.
    const QPointer<QWidget> focused = QApplication::focusWidget();
    logic_.Handle(command);
    if (focused && focused->isEnabled() && focused->isVisible() &&
        QApplication::focusWidget() != focused)
        focused->setFocus(Qt::OtherFocusReason);
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    // A menu asked for from the keyboard (Shift+F10, the menu key) reaches
    // the list itself, at a point of its own frame rather than of the rows:
    // it opens at the selected row, as on Windows.
    if (watched == List() && event->type() == QEvent::ContextMenu &&
        static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
        QTreeWidgetItem* item = List()->currentItem();
        const QPoint at = item ? List()->visualItemRect(item).center() : QPoint(0, 0);
        PopupListMenu(List()->viewport()->mapToGlobal(at));
        return true;
    }
    // Enter and the keypad's Enter press the focused button, as on Windows.
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (watched == List() && enter && mods == Qt::NoModifier) {
            logic_.Handle(TCommand::lvwBatchEnter);
            return true;
        }
        // The context menu's keys: Delete, Alt+Up, Alt+Down.
        if (watched == List()) {
            for (const TControlSpec& spec : kMainControls) {
                if (!IsPopupItem(spec) || !*spec.Shortcut ||
                    KeyOf(*key) != QKeySequence(QString::fromLatin1(spec.Shortcut)))
                    continue;
                logic_.Handle(spec.Command);
                return true;
            }
        }
        auto* button = qobject_cast<QPushButton*>(watched);
        if (button && button->isEnabled() && mods == Qt::NoModifier &&
            (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            button->click();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

QTreeWidget* TfrmMain::List() const {
    return Get<QTreeWidget>(TControl::lvwBatch);
}

void TfrmMain::PopupListMenu(const QPoint& globalPos) {
    logic_.Handle(Spec(TControl::PopupMenu1).Command);
    Get<QMenu>(TControl::PopupMenu1)->exec(globalPos);
}

// ---- Start and end ----

void TfrmMain::FormCreate() {
    Get<QWidget>(TControl::edtSimFile)->setFocus();
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
    placement_ = LoadFormPlacement(this, DesignedSize(this), store_);
    // Under a window manager a window not yet mapped is placed by its
    // client, and its frame is unknown: the position and the outer size
    // are applied again once it is mapped and its frame known. A window
    // shown maximised or minimised gets them when it first comes back to
    // the normal state, which the window manager would otherwise take from
    // the frameless guess.
    if (QGuiApplication::platformName() != "xcb") return;
    if (windowState() == Qt::WindowNoState)
        PlaceOnceFrameKnown(pos(), 100, 0);
    else
        placeWhenRestored_ = true;
}

void TfrmMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !placeWhenRestored_ ||
        windowState() != Qt::WindowNoState)
        return;
    placeWhenRestored_ = false;
    PlaceOnceFrameKnown({placement_.Left, placement_.Top}, 100, 0);
}

void TfrmMain::PlaceOnceFrameKnown(const QPoint& framePos, int triesLeft, int steady) {
    QTimer::singleShot(20, this, [this, framePos, triesLeft, steady] {
        const QWindow* handle = windowHandle();
        const QMargins m = handle ? handle->frameMargins() : QMargins();
        const bool ready = handle && handle->isExposed() && !m.isNull();
        if (!ready && triesLeft > 0) return PlaceOnceFrameKnown(framePos, triesLeft - 1, 0);
        if (!ready || windowState() != Qt::WindowNoState) return;
        const QRect normal = NormalFrame(placement_, DesignedSize(this), m);
        std::vector<TScreenRect> screens;
        for (const QScreen* s : QGuiApplication::screens()) {
            const QRect a = s->availableGeometry();
            screens.push_back({a.x(), a.y(), a.width(), a.height()});
        }
        const TScreenRect at = KeepTitleBarOnScreen(
            {framePos.x(), framePos.y(), normal.width(), normal.height()}, m.top(), screens);
        const QPoint target(at.Left, at.Top);
        // The client's rectangle is set, inside the margins the window
        // manager told: Qt's own idea of the frame may lag behind them. The
        // window manager may still be placing the window after the first
        // change, so the place is checked until it has held a few rounds.
        const QRect client = QRect(target, normal.size()).marginsRemoved(m);
        if (geometry() != client) {
            setGeometry(client);
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

std::string TfrmMain::GetText(TControl control) const {
    const auto* edit = Get<QLineEdit>(control);
    return edit ? edit->text().toStdString() : std::string();
}

void TfrmMain::SetText(TControl control, const std::string& text) {
    if (auto* edit = Get<QLineEdit>(control)) edit->setText(Q(text));
}

bool TfrmMain::IsChecked(TControl control) const {
    const auto* box = Get<QCheckBox>(control);
    return box && box->isChecked();
}

void TfrmMain::SetChecked(TControl control, bool checked) {
    if (auto* box = Get<QCheckBox>(control)) box->setChecked(checked);
}

void TfrmMain::SetEnabled(TControl control, bool enabled) {
    if (auto* a = Get<QAction>(control)) a->setEnabled(enabled);
    if (auto* w = Get<QWidget>(control)) w->setEnabled(enabled);
}

void TfrmMain::SetItems(TControl control, const std::vector<std::string>& items) {
    auto* combo = Get<QComboBox>(control);
    combo->clear();
    for (const std::string& item : items)
        combo->addItem(Q(item));
    // The first entry added becomes the choice; none is chosen.
    combo->setCurrentIndex(-1);
}

int TfrmMain::ItemCount(TControl control) const {
    return Get<QComboBox>(control)->count();
}

int TfrmMain::ItemIndex(TControl control) const {
    return Get<QComboBox>(control)->currentIndex();
}

void TfrmMain::SetItemIndex(TControl control, int index) {
    Get<QComboBox>(control)->setCurrentIndex(index);
}

void TfrmMain::InsertRow(int index, const TRowCells& cells) {
    List()->insertTopLevelItem(index, new QTreeWidgetItem());
    SetRowCells(index, cells);
}

void TfrmMain::SetRowCells(int index, const TRowCells& cells) {
    QTreeWidgetItem* item = List()->topLevelItem(index);
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
    delete List()->takeTopLevelItem(index);
    // The view would select the next row; after a deletion none is selected.
    List()->clearSelection();
}

void TfrmMain::ClearRows() {
    List()->clear();
}

void TfrmMain::SetRowMarkTip(int index, const std::string& text) {
    List()->topLevelItem(index)->setToolTip(0, Q(text));
}

std::optional<TDropTarget> TfrmMain::DropTargetAt(const QPoint& pos) const {
    const QPoint at = centralWidget()->mapFrom(this, pos);
    const QRect list = List()->geometry();
    if (list.contains(at)) return TDropTarget::BatchList;
    if (at.x() < list.x()) return TDropTarget::Panel;
    return std::nullopt;
}

void TfrmMain::OpenCommandLineFiles(const QStringList& files) {
    std::vector<std::string> paths;
    for (const QString& file : files)
        paths.push_back(QDir::cleanPath(QFileInfo(file).absoluteFilePath()).toStdString());
    Guard([&] { logic_.CommandLineFiles(paths); });
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
    List()->topLevelItem(index)->setIcon(0, mark == kNoMark ? QIcon() : imageList1_[mark]);
}

int TfrmMain::SelectedRow() const {
    const QTreeWidget* list = List();
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->indexOfTopLevelItem(selected.constFirst());
}

void TfrmMain::ShowRow(int index) {
    QTreeWidget* list = List();
    QTreeWidgetItem* item = list->topLevelItem(index);
    if (!item) return;
    list->setCurrentItem(item);
    // A row that is partly visible counts as visible.
    if (!list->visualItemRect(item).intersects(list->viewport()->rect())) list->scrollToItem(item);
}

void TfrmMain::SetStatusText(const std::string& text) {
    if (text.empty())
        statusBar()->clearMessage();
    else
        statusBar()->showMessage(Q(text));
}

void TfrmMain::SetClipboardText(const std::string& text) {
    QGuiApplication::clipboard()->setText(Q(text));
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

bool TfrmMain::HasFocus(TControl control) const {
    const auto* w = Get<QWidget>(control);
    return w && w->hasFocus();
}

void TfrmMain::ShowPreview(TPreviewSource&& source) {
    // One preview window, beside the main window and closed with it.
    if (!preview_) preview_ = new TfrmPreview(services_, this);
    preview_->Load(std::move(source));
    preview_->show();
    preview_->raise();
    preview_->activateWindow();
}

void TfrmMain::Close() {
    close();
}

}  // namespace quorvex
