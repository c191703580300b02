// The main window's placement in the Qt face: the stored frame applied to
// the window and read back from it, and the program's version text.
#pragma once

#include <QMargins>
#include <QRect>
#include <QString>

#include "ui/logic/placement_store.h"

class QWidget;

namespace quorvex {

// The frame around the window's client area (QMainWindow's geometry, menu
// bar included): the window manager's margins once it has told them, else
// what Qt knows of the frame so far (nothing before the first mapping).
QMargins FrameMargins(const QWidget* form);

// The outer rectangle of the normal state: the stored position, and the
// stored size kept or enlarged until a client area of `client` fits in
// the frame `margins` (that size alone at the first start).
QRect NormalFrame(const TFormPlacement& stored, QSize client, const QMargins& margins);

// Reads section "Window" (defaults 20, 20, 700, 500, state normal) and applies
// it to the window: position, the size of NormalFrame, then state. Returns
// what it read.
TFormPlacement LoadFormPlacement(QWidget* form, QSize client,
                                 const TPlacementStore& store = TPlacementStore::Default());
// Writes the window's frame and state. Throws FileError ("<path> に書き込めません")
// when neither place of the store can be written.
void SaveFormPlacement(QWidget* form, const TPlacementStore& store = TPlacementStore::Default());

// The file version compiled into the program.
QString GetFileVersionString();

}  // namespace quorvex
