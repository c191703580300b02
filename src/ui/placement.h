// The main window's position and state between runs, kept in an INI file
// named after the executable, and the program's version text.
#pragma once

#include <QString>
#include <string>

class QWidget;

namespace quorvex {

// Where the placement lives: beside the executable, or, when that place
// cannot be written, under the same name in the user's configuration folder.
// An installed program keeps it in the configuration folder only.
struct TPlacementStore {
    std::string Path;
    std::string FallbackPath;
    // Path lies in the configuration folder, which the first save creates.
    bool CreateFolder = false;

    // The store of the program at `exePath`, named "<name of exe>.INI": for a
    // program installed under a prefix (see InstalledDataDir) in `configDir`
    // from the first start, even when the program could write beside itself
    // (as root); otherwise beside the executable with `configDir` as fallback.
    static TPlacementStore Locate(const std::string& exePath, const std::string& configDir);
    // Locate with the user's configuration folder of this application.
    static TPlacementStore ForExecutable(const std::string& exePath);
    // The store of the running program.
    static TPlacementStore Default();
};

// Reads section "Window" (defaults 20, 20, 700, 500, state normal) and applies
// it to the window: position, size, then state.
void LoadFormPlacement(QWidget* form, const TPlacementStore& store = TPlacementStore::Default());
// Writes "State", and before it "Left", "Top", "Width", "Height" when the
// window is in the normal state. Throws FileError ("<path> に書き込めません")
// when neither place of the store can be written.
void SaveFormPlacement(QWidget* form, const TPlacementStore& store = TPlacementStore::Default());

// The file version compiled into the program.
QString GetFileVersionString();

}  // namespace quorvex
