// The preview window's logic, the same on every system: the drawing loaded
// from a conversion job or a SIMA file, the view with its zoom and pan, what
// the pointer is over, the object chosen, and the marks of what a surveyor
// checks first. A preview window of either face owns one, lets it reach the
// window through TPreviewView and paints the frame it builds.
//
// Texts cross to the window as UTF-8; the lot numbers, route names and site
// name of the records stay code page 932 bytes until a text is made of them.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "preview/preview_frame.h"
#include "preview/preview_marks.h"
#include "preview/preview_scene.h"
#include "preview/preview_view.h"
#include "sima/sima_records.h"
#include "ui/logic/window_view.h"

namespace quorvex {

// What a preview shows: the records, the name for the window's title, and
// one line on what their coordinates are.
struct TPreviewSource {
    std::string Name;  // UTF-8: "town.mif", "site.sim"
    TSimaFile File;
    std::string CoordSysText;  // UTF-8
};

// A SIMA file read from disk as a preview source.
TPreviewSource PreviewSourceOfFile(const std::string& path);

// What the preview logic needs from its window.
class TPreviewView {
  public:
    virtual ~TPreviewView() = default;
    virtual void SetTitle(const std::string& text) = 0;
    virtual void SetStatusText(const std::string& text) = 0;
    // What the chosen object is; empty when nothing is chosen.
    virtual void SetInfoText(const std::string& text) = 0;
    // The side panel's list of marks, replaced.
    virtual void SetMarkItems(const std::vector<std::string>& items) = 0;
    // The drawing changed: paint the logic's frame again.
    virtual void Redraw() = 0;
    virtual void Message(TMessageKind kind, const std::string& text) = 0;
    virtual void ShowError(const std::string& text) = 0;
    virtual bool Execute(TFileDialog& dialog) = 0;
    virtual void SetBusy(bool busy) = 0;
};

// The object chosen by a click or a mark.
struct TPreviewSelection {
    enum Kind { None, Parcel, Route, Points };
    Kind What = None;
    uint32_t Index = 0;  // the parcel or route; for Points the first point
    uint32_t Other = 0;  // for Points the second point
};

class TPreviewLogic {
  public:
    // A wheel notch zooms by this factor.
    static constexpr double kWheelFactor = 1.25;
    // A press and release closer than this many pixels is a click, not a drag.
    static constexpr double kClickSlop = 3;
    // Marks listed of each kind at most; a file of many slips lists the first.
    static constexpr size_t kMarksPerKind = 1000;

    explicit TPreviewLogic(TPreviewView& view);

    // Shows the records in place of what was shown, fitted to the window.
    void Load(TPreviewSource source);
    // "開く": a SIMA file chosen in the open dialog.
    void OpenClick();
    void OpenFile(const std::string& path);
    // Files dropped on the window: one SIMA file.
    void FilesDropped(const std::vector<std::string>& paths);

    // The drawing area's size in pixels; the centre and scale are kept,
    // and a first size fits the drawing.
    void Resize(double width, double height);
    // Home, the fit button: the whole file in sight.
    void Fit();
    // The wheel turned by `notches` (positive away from the user: closer)
    // with the pointer at `at`.
    void Wheel(preview::TScreenPoint at, double notches);
    // A button pressed, the pointer moved (pressed or not), released.
    void MousePress(preview::TScreenPoint at);
    void MouseMove(preview::TScreenPoint at);
    void MouseRelease(preview::TScreenPoint at);
    // The pointer left the drawing.
    void MouseLeave();
    // A click on the drawing: the parcel or route there, or nothing.
    void Click(preview::TScreenPoint at);
    // An entry of the side panel's list chosen: its object chosen and zoomed to.
    void MarkActivated(int index);

    // Runs a handler; an error that escapes it is shown in the standard error box.
    bool Guard(const std::function<void()>& handler);

    bool Loaded() const { return loaded_; }
    const preview::TPreviewScene& Scene() const { return scene_; }
    const preview::TView& View() const { return view_; }
    const std::vector<preview::TMark>& Marks() const { return marks_; }
    const TPreviewSelection& Selection() const { return selection_; }
    // The frame of the current view, built when the view or drawing changed.
    const preview::TFrame& Frame();
    // The chosen object's outline in pixels: rings of a parcel (closed),
    // the line of a route (open), or the two points as one-point lines.
    struct TOutline {
        bool Closed = false;
        std::vector<preview::TScreenPoint> Points;
    };
    std::vector<TOutline> SelectionOutline() const;

    std::string Title() const;
    std::string StatusText() const;
    std::string InfoText() const;
    std::vector<std::string> MarkTexts() const;

  private:
    void ViewChanged();
    void Select(TPreviewSelection selection);
    void UpdateStatus();

    TPreviewView& window_;
    bool loaded_ = false;
    std::string name_;
    std::string coordSysText_;
    preview::TPreviewScene scene_;
    preview::TView view_;
    bool sized_ = false;
    std::vector<preview::TMark> marks_;
    TPreviewSelection selection_;
    preview::TFrame frame_;
    bool frameValid_ = false;
    std::optional<preview::TScreenPoint> pointer_;
    std::optional<preview::TScreenPoint> pressedAt_, lastDragAt_;
    bool dragging_ = false;
    TFileDialog openDialog_;
};

}  // namespace quorvex
