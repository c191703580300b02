// The main window's position and state between runs, kept in section
// "Window" of an INI file named after the executable. Each face reads the
// window's frame and applies it; which folder serves as the user's fallback
// is the face's too (ForExecutable and Default live with each face).
#pragma once

#include <string>

namespace quorvex {

// Where the placement lives: beside the executable, or, when that place
// cannot be written, under the same name in the user's configuration folder.
// An installed program keeps it in the configuration folder only.
struct TPlacementStore {
    std::string Path;
    std::string FallbackPath;
    // Path lies in the configuration folder, which the first save creates.
    bool CreateFolder = false;

    // "<dir of exe>/<name of exe without extension>.INI", the fallback in
    // the system's folder for the user's settings.
    static TPlacementStore ForExecutable(const std::string& exePath);
    // The store of the running program.
    static TPlacementStore Default();
    // The store of the program at `exePath`, named "<name of exe>.INI": for a
    // program installed under a prefix (see InstalledDataDir) in `configDir`
    // from the first start, even when the program could write beside itself
    // (as root); otherwise beside the executable with `configDir` as fallback.
    static TPlacementStore Locate(const std::string& exePath, const std::string& configDir);
    static TPlacementStore ForExecutable(const std::string& exePath, const std::string& configDir) {
        return Locate(exePath, configDir);
    }

    // The one file a run of the program reads and writes, chosen once when
    // it starts: beside the executable when that file can be written (or
    // created), else the one in the user's folder. Reading where the
    // program writes keeps a read-only file beside it from pinning the
    // window to an old place.
    TPlacementStore Chosen() const;
};

enum TWindowState { kStateNormal = 0, kStateMaximised = 1, kStateMinimised = 2 };

// The outer rectangle of the window in the normal state, and its state.
struct TFormPlacement {
    int Left = 20;
    int Top = 20;
    int Width = 700;
    int Height = 500;
    TWindowState State = kStateNormal;
    // Width and Height were both read from the store, not defaulted.
    bool SizeStored = false;
};

// What the frame adds around the client area on each side: borders, the
// title bar, and a menu bar drawn outside the client area.
struct TFrameMargins {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

struct TOuterSize {
    int Width = 0, Height = 0;
    bool operator==(const TOuterSize&) const = default;
};

// The outer size that leaves a client area of the given size inside `frame`.
TOuterSize NeededOuterSize(int clientWidth, int clientHeight, const TFrameMargins& frame);

// The outer size the window opens at. The layout is fixed in client pixels,
// so no frame may eat into it: the first start (no stored size) gets the
// needed size, and a stored size is kept where it is at least the needed
// one and enlarged to it where it falls short.
TOuterSize ShownOuterSize(const TFormPlacement& stored, TOuterSize needed);

// Reads the store (the one beside the executable while it exists); missing
// or malformed values give the defaults, an unknown state the normal one.
// SizeStored tells whether Width and Height were there.
TFormPlacement ReadFormPlacement(const TPlacementStore& store);
// Writes "State", and before it "Left", "Top", "Width", "Height" when the
// window is in the normal state; other lines of the file stay. Throws
// FileError ("<path> に書き込めません") when neither place can be written.
void WriteFormPlacement(const TPlacementStore& store, const TFormPlacement& placement);

}  // namespace quorvex
