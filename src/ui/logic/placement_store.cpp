#include "ui/logic/placement_store.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>

#include "support/errors.h"
#include "support/file_access.h"
#include "support/ini_file.h"
#include "support/install_layout.h"
#include "support/paths.h"
#include "ui/logic/main_logic.h"
#include "ui/logic/messages.h"

namespace quorvex {
namespace {

constexpr const char* kSection = "Window";

// Paths are UTF-8 inside on every system.
std::filesystem::path Utf8Path(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace

TPlacementStore TPlacementStore::Locate(const std::string& exePath, const std::string& configDir) {
    const std::string name = GetBaseName(exePath) + ".INI";
    std::string inConfig;
    if (!configDir.empty()) {
        const char last = configDir.back();
        inConfig = configDir + (last == '/' || last == '\\' ? "" : "/") + name;
    }
    TPlacementStore store;
    if (!inConfig.empty() && !InstalledDataDir(exePath).empty()) {
        store.Path = inConfig;
        store.CreateFolder = true;
    } else {
        store.Path = GetFileDir(exePath) + name;
        store.FallbackPath = inConfig;
    }
    return store;
}

TPlacementStore TPlacementStore::Chosen() const {
    TPlacementStore one;
    one.Path = FallbackPath.empty() || CanWriteFile(Path) ? Path : FallbackPath;
    one.CreateFolder = CreateFolder || one.Path != Path;
    return one;
}

TFormPlacement ReadFormPlacement(const TPlacementStore& store) {
    const bool besideExe = FileExists(store.Path) || store.FallbackPath.empty();
    const TIniFile ini(besideExe ? store.Path : store.FallbackPath);
    TFormPlacement p;
    p.Left = ini.ReadInteger(kSection, "Left", p.Left);
    p.Top = ini.ReadInteger(kSection, "Top", p.Top);
    // Two different defaults tell a stored number from a missing one.
    const auto stored = [&](const char* key, int& value) {
        const int32_t a = ini.ReadInteger(kSection, key, 0);
        const bool found = a == ini.ReadInteger(kSection, key, 1);
        if (found) value = a;
        return found;
    };
    const bool width = stored("Width", p.Width);
    const bool height = stored("Height", p.Height);
    p.SizeStored = width && height;
    const int state = ini.ReadInteger(kSection, "State", kStateNormal);
    p.State = state == kStateMaximised   ? kStateMaximised
              : state == kStateMinimised ? kStateMinimised
                                         : kStateNormal;
    return p;
}

TOuterSize NeededOuterSize(int clientWidth, int clientHeight, const TFrameMargins& frame) {
    return {clientWidth + frame.Left + frame.Right, clientHeight + frame.Top + frame.Bottom};
}

TOuterSize ShownOuterSize(const TFormPlacement& stored, TOuterSize needed) {
    if (!stored.SizeStored) return needed;
    return {std::max(stored.Width, needed.Width), std::max(stored.Height, needed.Height)};
}

void WriteFormPlacement(const TPlacementStore& store, const TFormPlacement& p) {
    auto write = [&](const std::string& path) {
        TIniFile ini(path);
        if (p.State == kStateNormal) {
            ini.WriteInteger(kSection, "Left", p.Left);
            ini.WriteInteger(kSection, "Top", p.Top);
            ini.WriteInteger(kSection, "Width", p.Width);
            ini.WriteInteger(kSection, "Height", p.Height);
        }
        ini.WriteInteger(kSection, "State", p.State);
        return ini.UpdateFile();
    };
    if (write(store.Path)) return;
    // A store chosen at start may be the user's one, whose folder is made at
    // its first use.
    std::error_code made;
    if ((store.CreateFolder || store.FallbackPath.empty()) &&
        std::filesystem::create_directories(Utf8Path(GetFileDir(store.Path)), made) &&
        write(store.Path))
        return;
    if (!store.FallbackPath.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(Utf8Path(GetFileDir(store.FallbackPath)), ec);
        if (write(store.FallbackPath)) return;
    }
    throw FileError({TMsg::StoreNotWritable, {store.Path}}, store.Path);
}

}  // namespace quorvex
