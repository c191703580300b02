#include "ui/qt/AboutDlg.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <algorithm>

#include "ui/qt/app_icon.h"
#include "ui/qt/help_window.h"
#include "ui/qt/placement.h"

namespace quorvex {
namespace {

constexpr int kClientWidth = 361;
constexpr int kOuterHeight = 214;
constexpr int kLinkLeft = 152;
constexpr int kMargin = 8;

TdlgAbout::TUrlOpener& UrlOpener() {
    static TdlgAbout::TUrlOpener opener;
    return opener;
}

void OpenUrl(const QUrl& url) {
    // Whether the desktop could open it is not examined: the box stays open.
    if (UrlOpener())
        UrlOpener()(url);
    else
        QDesktopServices::openUrl(url);
}

}  // namespace

TdlgAbout::TdlgAbout(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("dlgAbout"));
    setWindowTitle(QStringLiteral("バージョン情報"));
    setFont(QuorvexWindowFont());

    imgProgram = new QLabel(this);
    imgProgram->setObjectName(QStringLiteral("imgProgram"));
    imgProgram->setPixmap(QuorvexIcon().pixmap(32, 32));
    imgProgram->setGeometry(64, 16, 32, 32);

    lblTitle = AddLabel("lblTitle", QStringLiteral("Quorvex Converter"), 104, 16);
    lblVersion = AddLabel("lblVersion", QStringLiteral("Version "), 104, 32);

    imgBanner = new QLabel(this);
    imgBanner->setObjectName(QStringLiteral("imgBanner"));
    imgBanner->setPixmap(QuorvexBanner());
    imgBanner->setGeometry(8, 80, 88, 31);

    lblUrlCaption = AddLabel("lblUrlCaption", QStringLiteral("URL"), 104, 112);
    Label6 = AddLink("Label6", WebUrl().toString(), kLinkLeft, 112);
    lblMailCaption = AddLabel("lblMailCaption", QStringLiteral("E-MAIL"), 104, 128);
    Label4 = AddLink("Label4", MailAddress(), kLinkLeft, 128);

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(144, 152, 75, 21);
    Button1->setDefault(true);
    Button1->setFocus();
    connect(Button1, &QPushButton::clicked, this, &TdlgAbout::Button1Click);

    ApplyOuterHeight();
}

QLabel* TdlgAbout::AddLabel(const char* name, const QString& text, int left, int top) {
    auto* label = new QLabel(text, this);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    label->adjustSize();
    return label;
}

QLabel* TdlgAbout::AddLink(const char* name, const QString& text, int left, int top) {
    QLabel* label = AddLabel(name, text, left, top);
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::blue);
    label->setPalette(palette);
    label->setCursor(Qt::PointingHandCursor);
    // A long address (the local help page) is shortened in the middle to fit
    // the box; the whole address is in the tool tip.
    const int width = kClientWidth - left - kMargin;
    label->setText(label->fontMetrics().elidedText(text, Qt::ElideMiddle, width));
    label->setToolTip(text);
    label->resize(std::min(label->sizeHint().width(), width), label->sizeHint().height());
    label->installEventFilter(this);
    return label;
}

void TdlgAbout::Prepare() {
    lblVersion->setText(QStringLiteral("Version ") + GetFileVersionString());
    lblVersion->adjustSize();
    ApplyOuterHeight();
}

// The outer height includes the title bar and frame, which are known only
// once the window system has decorated the box; until then they count as 0.
// Once shown, the box keeps the centre it was given.
void TdlgAbout::ApplyOuterHeight() {
    const int frame = isVisible() ? frameGeometry().height() - geometry().height() : 0;
    const int height = kOuterHeight - frame;
    if (height == this->height() && height == minimumHeight()) return;
    const int shift = (this->height() - height) / 2;
    setFixedSize(kClientWidth, height);
    if (isVisible()) move(pos() + QPoint(0, shift));
}

void TdlgAbout::SetUrlOpener(TUrlOpener opener) {
    UrlOpener() = std::move(opener);
}

QUrl TdlgAbout::WebUrl() {
    const QString configured = QStringLiteral(QUORVEX_HELP_WEB_URL);
    if (!configured.isEmpty()) return QUrl(configured);
    return QUrl::fromLocalFile(HelpDocumentPath());
}

QString TdlgAbout::MailAddress() {
    return QStringLiteral(QUORVEX_SUPPORT_MAIL);
}

void TdlgAbout::Button1Click() {
    done(QDialog::Accepted);
}

void TdlgAbout::Label6Click() {
    OpenUrl(WebUrl());
}

void TdlgAbout::Label4Click() {
    OpenUrl(QUrl(QStringLiteral("mailto:") + MailAddress()));
}

bool TdlgAbout::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const auto* label = static_cast<QLabel*>(watched);
        if (mouse->button() == Qt::LeftButton &&
            label->rect().contains(mouse->position().toPoint())) {
            if (watched == Label6) Label6Click();
            if (watched == Label4) Label4Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// Esc is the OK button's key as well, so the box closes with the result OK
// however the keyboard closes it.
void TdlgAbout::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        Button1->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TdlgAbout::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ApplyOuterHeight();
    // Under a window manager the frame becomes known only after the box is
    // mapped: then its outer height is set and it is centred on its owner.
    if (QGuiApplication::platformName() == "xcb") PlaceOnceFrameKnown(100, 0);
}

void TdlgAbout::PlaceOnceFrameKnown(int triesLeft, int steady) {
    QTimer::singleShot(20, this, [this, triesLeft, steady] {
        const QWindow* handle = windowHandle();
        const QMargins m = handle ? handle->frameMargins() : QMargins();
        const bool ready = isVisible() && handle && handle->isExposed() && !m.isNull();
        if (!ready) {
            if (triesLeft > 0) PlaceOnceFrameKnown(triesLeft - 1, 0);
            return;
        }
        setFixedSize(kClientWidth, kOuterHeight - m.top() - m.bottom());
        QRect target(QPoint(), QSize(kClientWidth + m.left() + m.right(), kOuterHeight));
        target.moveCenter(parentWidget() ? parentWidget()->window()->frameGeometry().center()
                                         : frameGeometry().center());
        if (frameGeometry() != target) {
            move(target.topLeft());
            if (triesLeft > 0) PlaceOnceFrameKnown(triesLeft - 1, 0);
        } else if (steady < 4 && triesLeft > 0) {
            PlaceOnceFrameKnown(triesLeft - 1, steady + 1);
        }
    });
}

}  // namespace quorvex
