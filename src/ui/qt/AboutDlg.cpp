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
#include "ui/qt/placement.h"

namespace quorvex {
namespace {

constexpr int kClientWidth = kAboutClientWidth;
constexpr int kOuterHeight = kAboutOuterHeight;

TdlgAbout::TUrlOpener& UrlOpener() {
    static TdlgAbout::TUrlOpener opener;
    return opener;
}

std::optional<TAboutLinks>& LinksSet() {
    static std::optional<TAboutLinks> links;
    return links;
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
    setWindowTitle(QString::fromUtf8(kAboutCaption));
    setFont(QuorvexWindowFont());

    for (const TAboutSpec& spec : kAboutItems) {
        QWidget* w = nullptr;
        switch (spec.Kind) {
            case TAboutKind::Image: {
                auto* image = new QLabel(this);
                image->setPixmap(spec.Id == TAboutItem::imgProgram ? QuorvexIcon().pixmap(32, 32)
                                                                   : QuorvexBanner());
                image->setGeometry(spec.Left, spec.Top, spec.Width, spec.Height);
                w = image;
                break;
            }
            case TAboutKind::Label:
                w = AddLabel(spec.Caption ? QString::fromUtf8(spec.Caption) : "Version ", spec);
                break;
            case TAboutKind::Link:
                w = AddLink(spec.Id == TAboutItem::Label6 ? WebUrl().toString() : MailAddress(),
                            spec);
                break;
            case TAboutKind::Button: {
                auto* ok = new QPushButton(QString::fromUtf8(spec.Caption), this);
                ok->setGeometry(spec.Left, spec.Top, spec.Width, spec.Height);
                ok->setDefault(true);
                ok->setFocus();
                connect(ok, &QPushButton::clicked, this, &TdlgAbout::Button1Click);
                w = ok;
                break;
            }
        }
        w->setObjectName(QString::fromLatin1(spec.Name));
        if (!AboutItemShown(spec.Id, Links())) w->hide();
        items_[static_cast<size_t>(spec.Id)] = w;
    }

    ApplyOuterHeight();
}

QLabel* TdlgAbout::AddLabel(const QString& text, const TAboutSpec& spec) {
    auto* label = new QLabel(text, this);
    label->move(spec.Left, spec.Top);
    label->adjustSize();
    return label;
}

QLabel* TdlgAbout::AddLink(const QString& text, const TAboutSpec& spec) {
    QLabel* label = AddLabel(text, spec);
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::blue);
    label->setPalette(palette);
    label->setCursor(Qt::PointingHandCursor);
    // A long address is shortened in the middle to fit the box; the whole
    // address is in the tool tip.
    const int width = kClientWidth - spec.Left - kAboutMargin;
    label->setText(label->fontMetrics().elidedText(text, Qt::ElideMiddle, width));
    label->setToolTip(text);
    label->resize(std::min(label->sizeHint().width(), width), label->sizeHint().height());
    label->installEventFilter(this);
    return label;
}

void TdlgAbout::Prepare() {
    auto* version = Item<QLabel>(TAboutItem::lblVersion);
    version->setText(QStringLiteral("Version ") + GetFileVersionString());
    version->adjustSize();
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

TAboutLinks TdlgAbout::Links() {
    if (LinksSet()) return *LinksSet();
    return AboutLinks(QUORVEX_HOMEPAGE_URL, QUORVEX_CONTACT_EMAIL);
}

void TdlgAbout::SetLinks(std::optional<TAboutLinks> links) {
    LinksSet() = std::move(links);
}

QUrl TdlgAbout::WebUrl() {
    return QUrl(QString::fromStdString(Links().WebUrl));
}

QString TdlgAbout::MailAddress() {
    return QString::fromStdString(Links().MailAddress);
}

void TdlgAbout::Button1Click() {
    done(QDialog::Accepted);
}

void TdlgAbout::Label6Click() {
    if (!WebUrl().isEmpty()) OpenUrl(WebUrl());
}

void TdlgAbout::Label4Click() {
    if (!MailAddress().isEmpty()) OpenUrl(QUrl(QStringLiteral("mailto:") + MailAddress()));
}

bool TdlgAbout::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const auto* label = static_cast<QLabel*>(watched);
        if (mouse->button() == Qt::LeftButton &&
            label->rect().contains(mouse->position().toPoint())) {
            if (watched == Item<QLabel>(TAboutItem::Label6)) Label6Click();
            if (watched == Item<QLabel>(TAboutItem::Label4)) Label4Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// Esc is the OK button's key as well, so the box closes with the result OK
// however the keyboard closes it.
void TdlgAbout::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        Item<QPushButton>(TAboutItem::Button1)->click();
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
