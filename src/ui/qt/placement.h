// The main window's placement in the Qt face: the stored frame applied to
// the window and read back from it, and the program's version text.
#pragma once

#include <QString>

#include "ui/logic/placement_store.h"

class QWidget;

namespace quorvex {

// Reads section "Window" (defaults 20, 20, 700, 500, state normal) and applies
// it to the window: position, size, then state.
void LoadFormPlacement(QWidget* form, const TPlacementStore& store = TPlacementStore::Default());
// Writes the window's frame and state. Throws FileError ("<path> に書き込めません")
// when neither place of the store can be written.
void SaveFormPlacement(QWidget* form, const TPlacementStore& store = TPlacementStore::Default());

// The file version compiled into the program.
QString GetFileVersionString();

}  // namespace quorvex
