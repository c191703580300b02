#include "ui/qt/app_icon.h"

#include <QFontDatabase>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace quorvex {
namespace {

// The picture is designed on a 32 x 32 grid and scaled to the size asked for.
QPixmap DrawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);

    const QPolygonF parcel({{5, 10}, {21, 4}, {28, 19}, {12, 28}});
    p.setPen(QPen(QColor(0x1f, 0x7a, 0x1f), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(0xc8, 0xec, 0xc0));
    p.drawPolygon(parcel);

    // Corner points; their numbers only where there is room to read them.
    p.setPen(QPen(QColor(0xb0, 0x1c, 0x1c), 1.2));
    p.setBrush(Qt::white);
    for (const QPointF& corner : parcel)
        p.drawEllipse(corner, 2.6, 2.6);
    if (size >= 32) {
        QFont font = QuorvexWindowFont();
        font.setPixelSize(8);
        font.setBold(true);
        p.setFont(font);
        p.setPen(QColor(0x10, 0x10, 0x60));
        const QPointF labels[] = {{0, 19}, {24, 9}, {26, 30}, {4, 33}};
        for (int i = 0; i < 4; ++i)
            p.drawText(labels[i], QString::number(i + 1));
    }
    return pixmap;
}

}  // namespace

QIcon QuorvexIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64})
        icon.addPixmap(DrawIcon(size));
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
