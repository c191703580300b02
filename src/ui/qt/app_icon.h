// The program's own pictures and window font, drawn and chosen in code so the
// program needs no image files.
#pragma once

#include <QFont>
#include <QIcon>
#include <QPixmap>

namespace quorvex {

// A parcel outline with numbered corner points; 16 and 32 pixels and up.
QIcon QuorvexIcon();
// The About box banner, 88 x 31 on a transparent background.
QPixmap QuorvexBanner();
// "ＭＳ Ｐゴシック" at 12 pixels where installed, else Noto Sans CJK JP.
QFont QuorvexWindowFont();

}  // namespace quorvex
