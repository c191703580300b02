#include "ui/qt/placement.h"

#include <QStandardPaths>
#include <QWidget>
#include <QWindow>

#include "support/paths.h"

namespace quorvex {

TPlacementStore TPlacementStore::ForExecutable(const std::string& exePath) {
    return ForExecutable(
        exePath, QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation).toStdString());
}

TPlacementStore TPlacementStore::Default() {
    return ForExecutable(GetExePath());
}

QMargins FrameMargins(const QWidget* form) {
    const QWindow* handle = form->windowHandle();
    if (handle && !handle->frameMargins().isNull()) return handle->frameMargins();
    const QRect outer = form->frameGeometry();
    const QRect inner = form->geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

QRect NormalFrame(const TFormPlacement& stored, QSize client, const QMargins& m) {
    const TOuterSize size =
        ShownOuterSize(stored, NeededOuterSize(client.width(), client.height(),
                                               {m.left(), m.top(), m.right(), m.bottom()}));
    return {stored.Left, stored.Top, size.Width, size.Height};
}

TFormPlacement LoadFormPlacement(QWidget* form, QSize client, const TPlacementStore& store) {
    const TFormPlacement p = ReadFormPlacement(store);
    const QMargins m = FrameMargins(form);
    const QRect frame = NormalFrame(p, client, m);
    form->move(frame.topLeft());
    // The store holds the outer size; Qt sizes the client area.
    form->resize(frame.width() - m.left() - m.right(), frame.height() - m.top() - m.bottom());
    switch (p.State) {
        case kStateMaximised:
            form->setWindowState(Qt::WindowMaximized);
            break;
        case kStateMinimised:
            form->setWindowState(Qt::WindowMinimized);
            break;
        default:
            form->setWindowState(Qt::WindowNoState);
            break;
    }
    return p;
}

void SaveFormPlacement(QWidget* form, const TPlacementStore& store) {
    TFormPlacement p;
    p.State = form->isMinimized()   ? kStateMinimised
              : form->isMaximized() ? kStateMaximised
                                    : kStateNormal;
    const QRect frame = form->frameGeometry();
    p.Left = frame.x();
    p.Top = frame.y();
    p.Width = frame.width();
    p.Height = frame.height();
    WriteFormPlacement(store, p);
}

QString GetFileVersionString() {
    return QStringLiteral(QUORVEX_VERSION);
}

}  // namespace quorvex
