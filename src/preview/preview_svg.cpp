#include "preview/preview_svg.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

#include "support/cp932.h"

namespace quorvex::preview {
namespace {

void AppendInt(std::string& out, int64_t n) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, n);
    out.append(buf, r.ptr);
}

void Attr(std::string& out, std::string_view name, double v) {
    out += ' ';
    out += name;
    out += "=\"";
    AppendFixed(out, v);
    out += '"';
}

void Text(std::string& out, double x, double y, std::string_view utf8Escaped,
          std::string_view extra = {}) {
    out += "<text";
    Attr(out, "x", x);
    Attr(out, "y", y);
    out += extra;
    out += '>';
    out += utf8Escaped;
    out += "</text>\n";
}

}  // namespace

void AppendFixed(std::string& out, double v) {
    // Hundredths, half away from zero. The frame keeps its values near the
    // drawing; anything else (not a number) is written as 0.
    if (!(v < 1e12 && v > -1e12)) v = 0;
    const double h = v * 100;
    int64_t n = static_cast<int64_t>(h < 0 ? h - 0.5 : h + 0.5);
    if (n < 0) {
        out += '-';
        n = -n;
    }
    AppendInt(out, n / 100);
    const int64_t f = n % 100;
    if (f == 0) return;
    out += '.';
    out += static_cast<char>('0' + f / 10);
    if (f % 10 != 0) out += static_cast<char>('0' + f % 10);
}

std::string XmlText(std::string_view cp932) {
    const std::string utf8 = Cp932ToUtf8(cp932);
    std::string out;
    out.reserve(utf8.size());
    for (const char c : utf8) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 && u != '\t' && u != '\n' && u != '\r') continue;
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

TView SvgFitView(const TPreviewScene& scene) {
    constexpr double kWidth = 1000, kMargin = 24;
    double height = 750;
    const TBox& e = scene.Extent();
    if (!e.Empty()) {
        const double spanE = e.MaxE - e.MinE, spanN = e.MaxN - e.MinN;
        double inner = spanE > 0 ? (kWidth - 2 * kMargin) * spanN / spanE : 1e9;
        if (inner != inner) inner = 1e9;  // spans beyond the doubles' range
        height = static_cast<double>(
            static_cast<int64_t>(std::clamp(inner + 2 * kMargin, 300.0, 1400.0) + 0.5));
    }
    TView view(kWidth, height);
    view.Fit(e, kMargin);
    return view;
}

std::string SvgOf(const TPreviewScene& scene, const TFrame& f) {
    std::string out;
    out.reserve(4096 + f.Xy.size() * 8 + (f.ParcelRuns.size() + f.RouteRuns.size()) * 24);
    const std::string title = XmlText(scene.File().Genba);
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n";
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\"";
    Attr(out, "width", f.Width);
    Attr(out, "height", f.Height);
    out += " viewBox=\"0 0 ";
    AppendInt(out, f.Width);
    out += ' ';
    AppendInt(out, f.Height);
    out += "\">\n<title>";
    out += title;
    out += "</title>\n";
    out += "<rect x=\"0\" y=\"0\"";
    Attr(out, "width", f.Width);
    Attr(out, "height", f.Height);
    out += " fill=\"#ffffff\"/>\n";

    const auto point = [&](uint32_t v) {
        AppendFixed(out, f.X(v));
        out += ',';
        AppendFixed(out, f.Y(v));
    };
    // Each run a rectangle one pixel high, all in one path.
    const auto runs = [&](const std::vector<TPixelRun>& list, std::string_view colour) {
        if (list.empty()) return;
        out += "<path fill=\"";
        out += colour;
        out += "\" d=\"";
        for (const TPixelRun& r : list) {
            out += 'M';
            AppendInt(out, r.X0);
            out += ',';
            AppendInt(out, r.Y);
            out += 'h';
            AppendInt(out, r.X1 - r.X0);
            out += "v1h";
            AppendInt(out, r.X0 - r.X1);
            out += 'z';
        }
        out += "\"/>\n";
    };

    out += "<g fill=\"";
    out += kParcelFill;
    out += "\" stroke=\"";
    out += kParcelStroke;
    out += "\" stroke-width=\"1\" stroke-linejoin=\"round\" fill-rule=\"evenodd\">\n";
    for (const TFramePolygon& p : f.Polygons) {
        out += "<path d=\"";
        for (uint32_t r = p.FirstRing; r < p.FirstRing + p.RingCount; ++r) {
            for (uint32_t v = f.RingStarts[r]; v < f.RingStarts[r + 1]; ++v) {
                out += v == f.RingStarts[r] ? (r == p.FirstRing ? "M" : " M") : " L";
                point(v);
            }
            out += " Z";
        }
        out += "\"/>\n";
    }
    out += "</g>\n";
    runs(f.ParcelRuns, kSmallParcelFill);

    out += "<g fill=\"none\" stroke=\"";
    out += kRouteStroke;
    out += "\" stroke-width=\"1.5\" stroke-linejoin=\"round\" stroke-linecap=\"round\">\n";
    for (const TFramePolyline& l : f.Polylines) {
        out += "<polyline points=\"";
        for (uint32_t v = l.First; v < l.First + l.Count; ++v) {
            if (v != l.First) out += ' ';
            point(v);
        }
        out += "\"/>\n";
    }
    out += "</g>\n";
    runs(f.RouteRuns, kRouteStroke);

    out += "<g font-family=\"sans-serif\" font-size=\"12\" text-anchor=\"middle\" fill=\"";
    out += kTextFill;
    out += "\">\n";
    for (const TFrameLabel& l : f.Labels) {
        const std::string_view name =
            l.Route ? scene.RouteName(l.Object) : scene.ParcelName(l.Object);
        // The baseline a little below the middle puts the text's middle there.
        Text(out, l.Box.X, l.Box.Y + 0.35 * kLabelFontPx, XmlText(name));
    }
    out += "</g>\n";

    // The site name, the scale bar and the north arrow.
    out += "<g font-family=\"sans-serif\" fill=\"";
    out += kTextFill;
    out += "\">\n";
    if (!title.empty()) Text(out, 16, 24, title, " font-size=\"14\"");
    const TScaleBar& bar = f.ScaleBar;
    out += "<path fill=\"none\" stroke=\"";
    out += kTextFill;
    out += "\" stroke-width=\"1.5\" d=\"M";
    AppendFixed(out, bar.X);
    out += ',';
    AppendFixed(out, bar.Y - 5);
    out += " V";
    AppendFixed(out, bar.Y);
    out += " H";
    AppendFixed(out, bar.X + bar.Length);
    out += " V";
    AppendFixed(out, bar.Y - 5);
    out += "\"/>\n";
    Text(out, bar.X + bar.Length / 2, bar.Y - 8, XmlText(bar.Text),
         " font-size=\"11\" text-anchor=\"middle\"");
    out += "<path d=\"M";
    AppendFixed(out, f.NorthX);
    out += ',';
    AppendFixed(out, f.NorthY);
    out += " L";
    AppendFixed(out, f.NorthX + 7);
    out += ',';
    AppendFixed(out, f.NorthY + f.NorthLength);
    out += " L";
    AppendFixed(out, f.NorthX);
    out += ',';
    AppendFixed(out, f.NorthY + f.NorthLength - 7);
    out += " L";
    AppendFixed(out, f.NorthX - 7);
    out += ',';
    AppendFixed(out, f.NorthY + f.NorthLength);
    out += " Z\"/>\n";
    Text(out, f.NorthX, f.NorthY + f.NorthLength + 14, "N",
         " font-size=\"12\" text-anchor=\"middle\"");
    out += "</g>\n</svg>\n";
    return out;
}

}  // namespace quorvex::preview
