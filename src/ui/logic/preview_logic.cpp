#include "ui/logic/preview_logic.h"

#include <cmath>
#include <exception>
#include <utility>

#include "engine/run_report.h"
#include "preview/preview_job.h"
#include "support/cp932.h"
#include "support/errors.h"
#include "support/messages.h"
#include "support/paths.h"
#include "ui/logic/main_logic.h"
#include "ui/logic/messages.h"

namespace quorvex {
namespace {

using preview::TScreenPoint;
using preview::TWorldPoint;

// `v` with `decimals` places, rounded half away from zero, by integer
// arithmetic so that every system shows the same digits.
std::string Fixed(double v, int decimals) {
    double factor = 1;
    for (int i = 0; i < decimals; ++i)
        factor *= 10;
    if (!(std::fabs(v) * factor < 9e18)) return "-";
    const double scaled = v * factor;
    int64_t n = static_cast<int64_t>(scaled < 0 ? scaled - 0.5 : scaled + 0.5);
    std::string out;
    if (n < 0) {
        out += '-';
        n = -n;
    }
    const auto f = static_cast<int64_t>(factor);
    out += std::to_string(n / f);
    if (decimals > 0) {
        std::string frac = std::to_string(n % f);
        out += '.';
        out += std::string(size_t(decimals) - frac.size(), '0') + frac;
    }
    return out;
}

bool Blank(std::string_view s) {
    for (const char c : s)
        if (static_cast<unsigned char>(c) > 32) return false;
    return true;
}

}  // namespace

TPreviewSource PreviewSourceOfFile(const std::string& path) {
    TPreviewSource source;
    source.Name = std::string(GetFileName(path));
    source.File = ReadSimaFile(path);
    source.CoordSysText = msg::kSimaCoordSys;
    return source;
}

TPreviewLogic::TPreviewLogic(TPreviewView& view) : window_(view) {
    openDialog_ = {"PreviewOpenDialog",
                   TFileDialog::Open,
                   {{"SIMAファイル", "*.sim"}, {"すべてのファイル", "*.*"}},
                   "",
                   "",
                   ""};
}

bool TPreviewLogic::Guard(const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (const std::exception& e) {
        window_.ShowError(MessageOf(e).Text(TLanguage::Japanese));
    }
    return false;
}

void TPreviewLogic::Load(TPreviewSource source) {
    window_.SetBusy(true);
    struct TIdle {
        TPreviewView& w;
        ~TIdle() { w.SetBusy(false); }
    } idle{window_};
    name_ = std::move(source.Name);
    coordSysText_ = std::move(source.CoordSysText);
    scene_ = preview::TPreviewScene(std::move(source.File));
    marks_ = preview::FindMarks(scene_, kMarksPerKind);
    loaded_ = true;
    selection_ = {};
    window_.SetTitle(Title());
    window_.SetMarkItems(MarkTexts());
    window_.SetInfoText(std::string());
    Fit();
}

void TPreviewLogic::OpenClick() {
    if (window_.Execute(openDialog_)) OpenFile(openDialog_.FileName);
}

void TPreviewLogic::OpenFile(const std::string& path) {
    TPreviewSource source;
    {
        window_.SetBusy(true);
        struct TIdle {
            TPreviewView& w;
            ~TIdle() { w.SetBusy(false); }
        } idle{window_};
        source = PreviewSourceOfFile(path);
    }
    openDialog_.FileName = path;
    Load(std::move(source));
}

void TPreviewLogic::FilesDropped(const std::vector<std::string>& paths) {
    if (paths.size() != 1 || !preview::IsSimaPath(paths[0]))
        return window_.Message(TMessageKind::Warning, msg::kPreviewDropOnly);
    OpenFile(paths[0]);
}

void TPreviewLogic::Resize(double width, double height) {
    view_.Resize(width, height);
    if (!sized_ && width > 0 && height > 0) {
        // The first size the window gets shows the whole drawing.
        sized_ = true;
        view_.Fit(scene_.Extent());
    }
    ViewChanged();
}

void TPreviewLogic::Fit() {
    view_.Fit(scene_.Extent());
    ViewChanged();
}

void TPreviewLogic::Wheel(TScreenPoint at, double notches) {
    if (notches == 0) return;
    view_.ZoomAt(at, std::pow(kWheelFactor, notches));
    ViewChanged();
}

void TPreviewLogic::MousePress(TScreenPoint at) {
    pressedAt_ = lastDragAt_ = at;
    dragging_ = false;
}

void TPreviewLogic::MouseMove(TScreenPoint at) {
    pointer_ = at;
    if (pressedAt_) {
        const double dx = at.X - pressedAt_->X, dy = at.Y - pressedAt_->Y;
        if (!dragging_ && dx * dx + dy * dy > kClickSlop * kClickSlop) dragging_ = true;
        if (dragging_) {
            view_.Pan(at.X - lastDragAt_->X, at.Y - lastDragAt_->Y);
            lastDragAt_ = at;
            ViewChanged();
            return;
        }
    }
    UpdateStatus();
}

void TPreviewLogic::MouseRelease(TScreenPoint at) {
    if (!pressedAt_) return;
    const bool click = !dragging_;
    if (dragging_) MouseMove(at);
    pressedAt_.reset();
    lastDragAt_.reset();
    dragging_ = false;
    if (click) Click(at);
}

void TPreviewLogic::MouseLeave() {
    pointer_.reset();
    UpdateStatus();
}

void TPreviewLogic::Click(TScreenPoint at) {
    if (!loaded_) return;
    const preview::THit hit = preview::HitTest(scene_, view_, at);
    if (!hit.Found)
        Select({});
    else
        Select({hit.Route ? TPreviewSelection::Route : TPreviewSelection::Parcel, hit.Index, 0});
}

void TPreviewLogic::MarkActivated(int index) {
    if (index < 0 || static_cast<size_t>(index) >= marks_.size()) return;
    const preview::TMark& mark = marks_[size_t(index)];
    // Room around the object to see what lies beside it.
    view_.Fit(preview::MarkBox(scene_, mark), 48);
    ViewChanged();
    if (mark.Kind == preview::TMarkKind::ClosePoints)
        Select({TPreviewSelection::Points, mark.Object, mark.Other});
    else
        Select({TPreviewSelection::Parcel, mark.Object, 0});
}

const preview::TFrame& TPreviewLogic::Frame() {
    if (!frameValid_) {
        frame_ = preview::BuildFrame(scene_, view_);
        frameValid_ = true;
    }
    return frame_;
}

void TPreviewLogic::ViewChanged() {
    frameValid_ = false;
    UpdateStatus();
    window_.Redraw();
}

void TPreviewLogic::Select(TPreviewSelection selection) {
    selection_ = selection;
    window_.SetInfoText(InfoText());
    window_.Redraw();
}

void TPreviewLogic::UpdateStatus() {
    window_.SetStatusText(StatusText());
}

std::vector<TPreviewLogic::TOutline> TPreviewLogic::SelectionOutline() const {
    std::vector<TOutline> out;
    const auto& points = scene_.Points();
    switch (selection_.What) {
        case TPreviewSelection::None:
            break;
        case TPreviewSelection::Parcel: {
            const preview::TParcelShape& s = scene_.Parcels()[selection_.Index];
            for (uint32_t r = s.FirstRing; r < s.FirstRing + s.RingCount; ++r) {
                const preview::TRing& ring = scene_.Rings()[r];
                TOutline line{true, {}};
                for (uint32_t v = ring.First; v < ring.First + ring.Count; ++v)
                    line.Points.push_back(view_.ToScreen(points[scene_.RingVertices()[v]]));
                out.push_back(std::move(line));
            }
            break;
        }
        case TPreviewSelection::Route: {
            const auto [first, last] =
                scene_.File().VerticesOf(scene_.File().Routes[selection_.Index]);
            TOutline line{false, {}};
            for (const uint32_t* v = first; v != last; ++v)
                line.Points.push_back(view_.ToScreen(points[*v]));
            out.push_back(std::move(line));
            break;
        }
        case TPreviewSelection::Points:
            out.push_back({false, {view_.ToScreen(points[selection_.Index])}});
            out.push_back({false, {view_.ToScreen(points[selection_.Other])}});
            break;
    }
    return out;
}

std::string TPreviewLogic::Title() const {
    return loaded_ ? FormatMessage(msg::kPreviewTitleOf, {name_}) : msg::kPreviewTitle;
}

std::string TPreviewLogic::StatusText() const {
    if (!loaded_) return std::string();
    std::string text;
    if (pointer_) {
        // SIMA X is the northing, Y the easting.
        const TWorldPoint p = view_.ToWorld(*pointer_);
        text = FormatMessage(msg::kPreviewPointer, {Fixed(p.N, 3), Fixed(p.E, 3)}) + "　";
    }
    TConvertCounts counts;
    counts.Parcels = static_cast<int64_t>(scene_.File().Parcels.size());
    counts.Routes = static_cast<int64_t>(scene_.File().Routes.size());
    counts.Points = static_cast<int64_t>(scene_.File().Points.size());
    text += CountsText(counts, TLanguage::Japanese);
    if (!coordSysText_.empty()) text += "　" + coordSysText_;
    return text;
}

std::string TPreviewLogic::InfoText() const {
    const TSimaFile& file = scene_.File();
    const auto name = [](std::string_view cp932) {
        return Blank(cp932) ? std::string(msg::kNoName) : Cp932ToUtf8(cp932);
    };
    switch (selection_.What) {
        case TPreviewSelection::None:
            return std::string();
        case TPreviewSelection::Parcel: {
            const TSimaBlock& b = file.Parcels[selection_.Index];
            return FormatMessage(
                msg::kParcelInfo,
                {std::to_string(b.Number), name(b.Name), std::to_string(b.VertexCount),
                 Fixed(scene_.Parcels()[selection_.Index].Area, 2)});
        }
        case TPreviewSelection::Route: {
            const TSimaBlock& b = file.Routes[selection_.Index];
            return FormatMessage(msg::kRouteInfo, {std::to_string(b.Number), name(b.Name),
                                                   std::to_string(b.VertexCount)});
        }
        case TPreviewSelection::Points: {
            const TWorldPoint a = scene_.Points()[selection_.Index];
            const TWorldPoint b = scene_.Points()[selection_.Other];
            const double d = std::hypot(a.E - b.E, a.N - b.N);
            return FormatMessage(
                msg::kPointsInfo,
                {std::to_string(file.Points[selection_.Index].Number),
                 std::to_string(file.Points[selection_.Other].Number), Fixed(d * 1000, 3)});
        }
    }
    return std::string();
}

std::vector<std::string> TPreviewLogic::MarkTexts() const {
    const TSimaFile& file = scene_.File();
    const auto parcel = [&](uint32_t i) {
        const TSimaBlock& b = file.Parcels[i];
        const std::string number = std::to_string(b.Number);
        return Blank(b.Name) ? FormatMessage(msg::kParcelOf, {number})
                             : FormatMessage(msg::kParcelNamed, {number, Cp932ToUtf8(b.Name)});
    };
    std::vector<std::string> texts;
    texts.reserve(marks_.size());
    for (const preview::TMark& m : marks_) {
        const char* pattern = msg::kMarkNoLotNumber;
        switch (m.Kind) {
            case preview::TMarkKind::NoLotNumber:
                pattern = msg::kMarkNoLotNumber;
                break;
            case preview::TMarkKind::SharedLotNumber:
                pattern = msg::kMarkSharedLotNumber;
                break;
            case preview::TMarkKind::SelfCrossing:
                pattern = msg::kMarkSelfCrossing;
                break;
            case preview::TMarkKind::ZeroArea:
                pattern = msg::kMarkZeroArea;
                break;
            case preview::TMarkKind::Unsplittable:
                pattern = msg::kMarkUnsplittable;
                break;
            case preview::TMarkKind::ClosePoints:
                texts.push_back(FormatMessage(msg::kMarkClosePoints,
                                              {std::to_string(file.Points[m.Object].Number),
                                               std::to_string(file.Points[m.Other].Number)}));
                continue;
        }
        texts.push_back(FormatMessage(pattern, {parcel(m.Object)}));
    }
    return texts;
}

}  // namespace quorvex
