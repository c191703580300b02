// The preview's drawing as a plain SVG 1.1 file: parcels, routes, labels,
// the scale bar, the north arrow and the site name as title. Numbers are
// written by our own formatter and texts converted from code page 932 to
// UTF-8, so the bytes are the same on every system.
#pragma once

#include <string>
#include <string_view>

#include "preview/preview_frame.h"
#include "preview/preview_scene.h"

namespace quorvex::preview {

// Colours of the drawing, shared with the faces.
inline constexpr std::string_view kParcelFill = "#d8e8f8";
inline constexpr std::string_view kParcelStroke = "#1f4e8c";
inline constexpr std::string_view kRouteStroke = "#b03020";
// Parcels too small to outline: between their fill and their outline.
inline constexpr std::string_view kSmallParcelFill = "#7c9cc4";
inline constexpr std::string_view kTextFill = "#202020";

// The fit-all view the command line draws: 1000 pixels wide, as high as the
// drawing's shape asks (300 to 1400).
TView SvgFitView(const TPreviewScene& scene);

std::string SvgOf(const TPreviewScene& scene, const TFrame& frame);

// Code page 932 bytes as UTF-8 for XML: escaped, without the control
// characters XML does not allow.
std::string XmlText(std::string_view cp932);
// `v` to two decimals, without trailing zeros ("12.5", "-3", "0.06").
void AppendFixed(std::string& out, double v);

}  // namespace quorvex::preview
