#include "engine/run_report.h"

namespace quorvex {

TConvertCounts& TConvertCounts::operator+=(const TConvertCounts& o) {
    Parcels += o.Parcels;
    Routes += o.Routes;
    Points += o.Points;
    SkippedPoints += o.SkippedPoints;
    SkippedTexts += o.SkippedTexts;
    return *this;
}

TConvertCounts TConvertCounts::operator-(const TConvertCounts& o) const {
    return {Parcels - o.Parcels, Routes - o.Routes, Points - o.Points,
            SkippedPoints - o.SkippedPoints, SkippedTexts - o.SkippedTexts};
}

std::string CountsText(const TConvertCounts& c, TLanguage language) {
    std::string text = TMessage(TMsg::Counts, {GroupDigits(c.Parcels), GroupDigits(c.Routes),
                                               GroupDigits(c.Points)})
                           .Text(language);
    if (c.SkippedPoints != 0 || c.SkippedTexts != 0)
        text += TMessage(TMsg::Skipped, {GroupDigits(c.SkippedPoints), GroupDigits(c.SkippedTexts)})
                    .Text(language);
    return text;
}

}  // namespace quorvex
