#include "ui/qt/placement.h"

#include <QStandardPaths>
#include <QWidget>

#include "support/paths.h"

namespace quorvex {

TPlacementStore TPlacementStore::ForExecutable(const std::string& exePath) {
    return ForExecutable(
        exePath, QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation).toStdString());
}

TPlacementStore TPlacementStore::Default() {
    return ForExecutable(GetExePath());
}

void LoadFormPlacement(QWidget* form, const TPlacementStore& store) {
    const TFormPlacement p = ReadFormPlacement(store);
    form->move(p.Left, p.Top);
    // The store holds the outer size; Qt sizes the client area.
    const QSize frame = form->frameGeometry().size() - form->size();
    form->resize(p.Width - frame.width(), p.Height - frame.height());
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
