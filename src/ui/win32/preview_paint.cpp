#include "ui/win32/preview_paint.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "preview/preview_svg.h"
#include "support/cp932.h"
#include "support/win32_text.h"

namespace quorvex {

using preview::TFrame;

TMemoryBitmap::~TMemoryBitmap() {
    if (dc_) {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    if (bitmap_) DeleteObject(bitmap_);
}

void TMemoryBitmap::Resize(int width, int height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (bitmap_ && width == width_ && height == height_) return;
    if (!dc_) {
        dc_ = CreateCompatibleDC(nullptr);
        if (!dc_) throw std::bad_alloc();
    }
    BITMAPINFO info{};
    // Negative height: the first row is the top one.
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) throw std::bad_alloc();
    HGDIOBJ previous = SelectObject(dc_, bitmap);
    if (bitmap_) {
        DeleteObject(bitmap_);
    } else {
        old_ = previous;
    }
    bitmap_ = bitmap;
    bits_ = static_cast<uint32_t*>(bits);
    width_ = width;
    height_ = height;
}

COLORREF TMemoryBitmap::Pixel(int x, int y) const {
    if (!bits_ || x < 0 || y < 0 || x >= width_ || y >= height_) return RGB(0, 0, 0);
    GdiFlush();
    const uint32_t p = bits_[size_t(y) * size_t(width_) + size_t(x)];
    // The DIB holds blue in the low byte.
    return RGB((p >> 16) & 0xff, (p >> 8) & 0xff, p & 0xff);
}

void TMemoryBitmap::FillRow(int y, int x0, int x1, COLORREF colour) {
    if (!bits_ || y < 0 || y >= height_) return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, width_);
    const uint32_t pixel = uint32_t(GetRValue(colour)) << 16 | uint32_t(GetGValue(colour)) << 8 |
                           uint32_t(GetBValue(colour));
    uint32_t* row = bits_ + size_t(y) * size_t(width_);
    for (int x = x0; x < x1; ++x)
        row[x] = pixel;
}

namespace {

// A GDI object selected for the painter's lifetime.
class TSelected {
  public:
    TSelected(HDC dc, HGDIOBJ object) : dc_(dc), object_(object), old_(SelectObject(dc, object)) {}
    ~TSelected() {
        SelectObject(dc_, old_);
        DeleteObject(object_);
    }
    TSelected(const TSelected&) = delete;
    TSelected& operator=(const TSelected&) = delete;

  private:
    HDC dc_;
    HGDIOBJ object_, old_;
};

class TPainter {
  public:
    TPainter(TMemoryBitmap& target, const preview::TPreviewScene& scene, const TFrame& frame,
             double zoom, const std::wstring& fontFace)
        : target_(target),
          dc_(target.Dc()),
          scene_(scene),
          f_(frame),
          zoom_(zoom > 0 ? zoom : 1),
          face_(fontFace) {}

    void Paint(const std::vector<TPreviewLogic::TOutline>& selection) {
        const RECT all{0, 0, D(f_.Width), D(f_.Height)};
        FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SetPolyFillMode(dc_, ALTERNATE);
        Parcels();
        Runs(f_.ParcelRuns, ColourOf(preview::kSmallParcelFill));
        Routes();
        Runs(f_.RouteRuns, ColourOf(preview::kRouteStroke));
        Selection(selection);
        SetBkMode(dc_, TRANSPARENT);
        SetTextColor(dc_, ColourOf(preview::kTextFill));
        Labels();
        Furniture();
    }

  private:
    // A frame length in device pixels.
    int D(double v) const { return static_cast<int>(std::lround(v * zoom_)); }
    POINT P(uint32_t vertex) const { return {D(f_.X(vertex)), D(f_.Y(vertex))}; }
    // A pen one device pixel wide is cosmetic, by far GDI's fastest on a
    // dense frame; wider ones have round ends and joins.
    HPEN Pen(double width, COLORREF colour) const {
        return CreatePen(PS_SOLID, std::max(1, D(width)), colour);
    }
    HFONT Font(double pixels) const {
        return CreateFontW(-std::max(1, D(pixels)), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                           DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, face_.c_str());
    }

    // The rings of one polygon into points_ and counts_.
    void Rings(const preview::TFramePolygon& p) {
        points_.clear();
        counts_.clear();
        for (uint32_t r = p.FirstRing; r < p.FirstRing + p.RingCount; ++r) {
            const uint32_t first = f_.RingStarts[r], end = f_.RingStarts[r + 1];
            for (uint32_t v = first; v < end; ++v)
                points_.push_back(P(v));
            counts_.push_back(static_cast<INT>(end - first));
        }
    }
    void Polygon(const preview::TFramePolygon& p) {
        Rings(p);
        // One vertex or two draw as a line; PolyPolygon wants two a ring.
        bool lines = false;
        for (const INT c : counts_)
            lines |= c < 2;
        if (lines) {
            size_t at = 0;
            for (const INT c : counts_) {
                if (c == 1) {
                    MoveToEx(dc_, points_[at].x, points_[at].y, nullptr);
                    LineTo(dc_, points_[at].x + 1, points_[at].y);
                } else {
                    Polyline(dc_, points_.data() + at, c);
                }
                at += size_t(c);
            }
            return;
        }
        PolyPolygon(dc_, points_.data(), counts_.data(), static_cast<int>(counts_.size()));
    }

    void Parcels() {
        TSelected pen(dc_, Pen(1, ColourOf(preview::kParcelStroke)));
        TSelected brush(dc_, CreateSolidBrush(ColourOf(preview::kParcelFill)));
        for (const preview::TFramePolygon& p : f_.Polygons)
            Polygon(p);
    }

    void Routes() {
        TSelected pen(dc_, Pen(1.5, ColourOf(preview::kRouteStroke)));
        for (const preview::TFramePolyline& l : f_.Polylines)
            Line(l);
    }
    void Line(const preview::TFramePolyline& l) {
        points_.clear();
        for (uint32_t v = l.First; v < l.First + l.Count; ++v)
            points_.push_back(P(v));
        Polyline(dc_, points_.data(), static_cast<int>(points_.size()));
    }

    void Runs(const std::vector<preview::TPixelRun>& runs, COLORREF colour) {
        if (runs.empty()) return;
        // The polygons drawn so far reach the bits before they are written.
        GdiFlush();
        for (const preview::TPixelRun& r : runs) {
            const int x0 = D(r.X0), x1 = std::max(x0 + 1, D(r.X1));
            const int y0 = D(r.Y), y1 = std::max(y0 + 1, D(r.Y + 1));
            for (int y = y0; y < y1; ++y)
                target_.FillRow(y, x0, x1, colour);
        }
    }

    void Selection(const std::vector<TPreviewLogic::TOutline>& outlines) {
        TSelected pen(dc_, Pen(3, ColourOf(kSelectionStroke)));
        HGDIOBJ oldBrush = SelectObject(dc_, GetStockObject(NULL_BRUSH));
        for (const TPreviewLogic::TOutline& o : outlines) {
            points_.clear();
            for (const preview::TScreenPoint& p : o.Points)
                points_.push_back({D(Clamp(p.X)), D(Clamp(p.Y))});
            if (points_.size() == 1) {
                // A point: a ring around it.
                const POINT c = points_[0];
                const int r = D(5);
                Ellipse(dc_, c.x - r, c.y - r, c.x + r + 1, c.y + r + 1);
            } else if (o.Closed) {
                ::Polygon(dc_, points_.data(), static_cast<int>(points_.size()));
            } else {
                Polyline(dc_, points_.data(), static_cast<int>(points_.size()));
            }
        }
        SelectObject(dc_, oldBrush);
    }
    // The outline is in pixels unbounded: kept within what GDI takes.
    static double Clamp(double v) { return v == v ? std::clamp(v, -1e6, 1e6) : 0; }

    void Text(double x, double y, const std::wstring& text) {
        TextOutW(dc_, D(x), D(y), text.c_str(), static_cast<int>(text.size()));
    }

    void Labels() {
        if (f_.Labels.empty()) return;
        TSelected font(dc_, Font(preview::kLabelFontPx));
        SetTextAlign(dc_, TA_BASELINE | TA_CENTER | TA_NOUPDATECP);
        for (const preview::TFrameLabel& l : f_.Labels) {
            const std::string_view name =
                l.Route ? scene_.RouteName(l.Object) : scene_.ParcelName(l.Object);
            // The baseline a little below the middle, as in the SVG file.
            Text(l.Box.X, l.Box.Y + 0.35 * preview::kLabelFontPx, Utf8ToWide(Cp932ToUtf8(name)));
        }
    }

    // The site name, the scale bar and the north arrow.
    void Furniture() {
        const COLORREF ink = ColourOf(preview::kTextFill);
        if (!scene_.File().Genba.empty()) {
            TSelected font(dc_, Font(14));
            SetTextAlign(dc_, TA_BASELINE | TA_LEFT | TA_NOUPDATECP);
            Text(16, 24, Utf8ToWide(Cp932ToUtf8(scene_.File().Genba)));
        }
        const preview::TScaleBar& bar = f_.ScaleBar;
        {
            TSelected pen(dc_, Pen(1.5, ink));
            const POINT tick[] = {{D(bar.X), D(bar.Y - 5)},
                                  {D(bar.X), D(bar.Y)},
                                  {D(bar.X + bar.Length), D(bar.Y)},
                                  {D(bar.X + bar.Length), D(bar.Y - 5)}};
            Polyline(dc_, tick, 4);
        }
        TSelected font(dc_, Font(11));
        SetTextAlign(dc_, TA_BASELINE | TA_CENTER | TA_NOUPDATECP);
        Text(bar.X + bar.Length / 2, bar.Y - 8, Utf8ToWide(bar.Text));

        const double x = f_.NorthX, y = f_.NorthY, l = f_.NorthLength;
        const POINT arrow[] = {
            {D(x), D(y)}, {D(x + 7), D(y + l)}, {D(x), D(y + l - 7)}, {D(x - 7), D(y + l)}};
        {
            TSelected pen(dc_, CreatePen(PS_SOLID, 1, ink));
            TSelected brush(dc_, CreateSolidBrush(ink));
            ::Polygon(dc_, arrow, 4);
        }
        TSelected north(dc_, Font(12));
        Text(x, y + l + 14, L"N");
    }

    TMemoryBitmap& target_;
    HDC dc_;
    const preview::TPreviewScene& scene_;
    const TFrame& f_;
    const double zoom_;
    const std::wstring& face_;
    std::vector<POINT> points_;
    std::vector<INT> counts_;
};

}  // namespace

void PaintPreview(TMemoryBitmap& target, const preview::TPreviewScene& scene, const TFrame& frame,
                  double zoom, const std::vector<TPreviewLogic::TOutline>& selection,
                  const std::wstring& fontFace) {
    TPainter(target, scene, frame, zoom, fontFace).Paint(selection);
}

}  // namespace quorvex
