#include "ui/placement.h"

#include <QDir>
#include <QStandardPaths>
#include <QWidget>
#include <filesystem>

#include "support/errors.h"
#include "support/ini_file.h"
#include "support/paths.h"

namespace quorvex {
namespace {

constexpr const char* kSection = "Window";

enum TStoredState { kNormal = 0, kMaximised = 1, kMinimised = 2 };

int StoredState(const QWidget* form) {
    if (form->isMinimized()) return kMinimised;
    if (form->isMaximized()) return kMaximised;
    return kNormal;
}

}  // namespace

TPlacementStore TPlacementStore::ForExecutable(const std::string& exePath) {
    const std::string name = GetBaseName(exePath) + ".INI";
    TPlacementStore store;
    store.Path = GetFileDir(exePath) + name;
    const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    if (!config.isEmpty())
        store.FallbackPath = QDir(config).filePath(QString::fromStdString(name)).toStdString();
    return store;
}

TPlacementStore TPlacementStore::Default() {
    return ForExecutable(GetExePath());
}

void LoadFormPlacement(QWidget* form, const TPlacementStore& store) {
    const bool besideExe = FileExists(store.Path) || store.FallbackPath.empty();
    const TIniFile ini(besideExe ? store.Path : store.FallbackPath);
    form->move(ini.ReadInteger(kSection, "Left", 20), ini.ReadInteger(kSection, "Top", 20));
    // The store holds the outer size; Qt sizes the client area.
    const QSize frame = form->frameGeometry().size() - form->size();
    form->resize(ini.ReadInteger(kSection, "Width", 700) - frame.width(),
                 ini.ReadInteger(kSection, "Height", 500) - frame.height());
    switch (ini.ReadInteger(kSection, "State", kNormal)) {
        case kMaximised:
            form->setWindowState(Qt::WindowMaximized);
            break;
        case kMinimised:
            form->setWindowState(Qt::WindowMinimized);
            break;
        default:
            form->setWindowState(Qt::WindowNoState);
            break;
    }
}

void SaveFormPlacement(QWidget* form, const TPlacementStore& store) {
    const int state = StoredState(form);
    const QRect frame = form->frameGeometry();
    auto write = [&](const std::string& path) {
        TIniFile ini(path);
        if (state == kNormal) {
            ini.WriteInteger(kSection, "Left", frame.x());
            ini.WriteInteger(kSection, "Top", frame.y());
            ini.WriteInteger(kSection, "Width", frame.width());
            ini.WriteInteger(kSection, "Height", frame.height());
        }
        ini.WriteInteger(kSection, "State", state);
        return ini.UpdateFile();
    };
    if (write(store.Path)) return;
    if (!store.FallbackPath.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(GetFileDir(store.FallbackPath), ec);
        if (write(store.FallbackPath)) return;
    }
    throw FileError({TMsg::StoreNotWritable, {store.Path}}, store.Path);
}

QString GetFileVersionString() {
    return QStringLiteral(QUORVEX_VERSION);
}

}  // namespace quorvex
