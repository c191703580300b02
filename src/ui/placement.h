// The main window's position and state between runs, kept in an INI file
// named after the executable, and the program's version text.
#pragma once

#include <QString>
#include <string>

class QWidget;

namespace quorvex {

// Where the placement lives: beside the executable, or, when that place
// cannot be written, under the same name in the user's configuration folder.
struct TPlacementStore {
    std::string Path;
    std::string FallbackPath;

    // "<dir of exe>/<name of exe without extension>.INI".
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
