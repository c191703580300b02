#include "ui/qt/app_icon.h"

#include <QFontDatabase>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace quorvex {
namespace {

// The sizes rendered from packaging/icons/quorvex.svg and built into the
// program, the same files the desktop's icon theme gets.
constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

}  // namespace

QIcon QuorvexIcon() {
    QIcon icon;
    for (const int size : kIconSizes)
        icon.addFile(QStringLiteral(":/icons/quorvex-%1.png").arg(size), QSize(size, size));
    return icon;
}

QPixmap QuorvexBanner() {
    QPixmap pixmap(88, 31);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient face(0, 0, 0, 31);
    face.setColorAt(0, QColor(0x3c, 0xa0, 0x48));
    face.setColorAt(1, QColor(0x1b, 0x5e, 0x25));
    p.setPen(QColor(0x12, 0x40, 0x18));
    p.setBrush(face);
    p.drawRoundedRect(QRectF(0.5, 0.5, 87, 30), 4, 4);

    QFont font = QuorvexWindowFont();
    font.setPixelSize(12);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 1, 88, 16), Qt::AlignCenter, QStringLiteral("Quorvex"));
    font.setPixelSize(9);
    font.setBold(false);
    p.setFont(font);
    p.setPen(QColor(0xff, 0xf2, 0xa8));
    p.drawText(QRect(0, 15, 88, 14), Qt::AlignCenter, QStringLiteral("MIF \u2192 SIMA"));
    return pixmap;
}

QFont QuorvexWindowFont() {
    static const QString family = QFontDatabase::hasFamily(QStringLiteral("ＭＳ Ｐゴシック"))
                                      ? QStringLiteral("ＭＳ Ｐゴシック")
                                      : QStringLiteral("Noto Sans CJK JP");
    QFont font(family);
    font.setPixelSize(12);
    return font;
}

}  // namespace quorvex
