#include "engine/run_report.h"

#include <algorithm>
#include <charconv>
#include <new>

#include "support/errors.h"

namespace quorvex {
namespace {

TWhere WhereOf(const TMessage& m) {
    TWhere where;
    if (!IsAboutALine(m.Id) || m.Args.size() < 2) return where;
    where.File = m.Args[0];
    const std::string& line = m.Args[1];
    std::from_chars(line.data(), line.data() + line.size(), where.Line);
    return where;
}

}  // namespace

size_t TRunResult::FailedInputs() const {
    return static_cast<size_t>(
        std::count_if(Inputs.begin(), Inputs.end(), [](const TRunReport& r) { return !r.Ok; }));
}

void SetFailure(TRunReport& r, TRunFailure failure, TMessage why) {
    r.Ok = false;
    r.Failure = failure;
    r.Where = WhereOf(why);
    r.Error = std::move(why);
}

void SetFailure(TRunReport& r, const std::exception& e, bool opening,
                const std::vector<std::string>& inputs) {
    TRunFailure failure = TRunFailure::Other;
    if (const auto* f = dynamic_cast<const FileError*>(&e)) {
        const bool input = std::find(inputs.begin(), inputs.end(), f->path) != inputs.end();
        failure = opening ? TRunFailure::Open : input ? TRunFailure::Input : TRunFailure::Output;
    } else if (dynamic_cast<const ConversionError*>(&e)) {
        failure = opening ? TRunFailure::Input : TRunFailure::Conversion;
    }
    SetFailure(r, failure, MessageOf(e));
    if (const auto* f = dynamic_cast<const FileError*>(&e); f && r.Where.File.empty())
        r.Where.File = f->path;
}

TRunResult ResultOf(const std::string& output, TRunReport report) {
    TRunResult result;
    result.Output = output;
    result.Written = report.Ok;
    if (report.Ok) {
        result.Counts = report.Counts;
    } else {
        result.Failure = report.Failure;
        result.Error = report.Error;
        result.Where = report.Where;
    }
    result.Inputs.push_back(std::move(report));
    return result;
}

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
