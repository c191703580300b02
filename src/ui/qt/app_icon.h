// The program's own pictures and window font: the icon built in from its
// rendered sizes, the banner drawn in code.
#pragma once

#include <QFont>
#include <QIcon>
#include <QPixmap>

namespace quorvex {

// A parcel outline with its corner points, 16 to 256 pixels.
QIcon QuorvexIcon();
// The About box banner, 88 x 31 on a transparent background.
QPixmap QuorvexBanner();
// "ＭＳ Ｐゴシック" at 12 pixels where installed, else Noto Sans CJK JP.
QFont QuorvexWindowFont();

}  // namespace quorvex
