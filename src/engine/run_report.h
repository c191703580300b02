// What a conversion run tells its caller: whether it wrote its file, why not,
// and what it wrote. Inside the engine errors are exceptions; at its
// interface every outcome it can foresee becomes one of these results.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "engine/coordinate_system.h"
#include "mif/mif_coordsys.h"
#include "support/messages.h"

namespace quorvex {

struct TConvertCounts {
    int64_t Parcels = 0;        // parcel blocks written
    int64_t Routes = 0;         // route blocks written
    int64_t Points = 0;         // coordinate lines written (distinct points)
    int64_t SkippedPoints = 0;  // point and multipoint objects, which SIMA has no block for
    int64_t SkippedTexts = 0;   // text objects

    TConvertCounts& operator+=(const TConvertCounts& o);
    TConvertCounts operator-(const TConvertCounts& o) const;
    bool operator==(const TConvertCounts&) const = default;
};

// Why a run, or one input of it, failed.
enum class TRunFailure {
    None,
    Refused,          // a check refused the job before anything was read
    NoDestination,    // no output path
    Missing,          // the MIF or MID file is not there (or is a folder, a link loop)
    Open,             // a file could not be opened or created, or read before the objects
    Input,            // the MIF header or column block does not convert
    Conversion,       // an object or its MID row does not convert
    Output,           // the SIMA file or a scratch file could not be written
    AllInputsFailed,  // a merged run without one input that converted
    Cancelled,        // stopped by the caller
    Other,            // out of memory, or an error nobody foresaw
};

// The file and line an error was found at; line 0 when it concerns the
// file as a whole, an empty file when it is not known.
struct TWhere {
    std::string File;
    int64_t Line = 0;
};

// One input of a run.
struct TRunReport {
    bool Ok = false;
    TRunFailure Failure = TRunFailure::None;
    TMessage Error;  // why it failed
    TWhere Where;
    std::string Input;               // the MIF file
    std::vector<TMessage> Warnings;  // of an input that converted
    TConvertCounts Counts;           // what was written; for a combined row, that row's share
    // What the table's coordinates are and the extent of those written, for
    // DescribeCoordSys and CoordSysWarning; the extent only of a run that
    // wrote its file, or of a combined row.
    TCoordSys CoordSys;
    TExtent Extent;
};

// A run: what was written, and each input's success or failure.
struct TRunResult {
    std::string Output;     // the file meant; "-" for standard output
    bool Written = false;   // the output holds a complete SIMA file
    TConvertCounts Counts;  // what it holds
    // Why the run as a whole failed; None when it wrote its file (inputs
    // of a merged run may still have failed).
    TRunFailure Failure = TRunFailure::None;
    TMessage Error;
    TWhere Where;
    std::vector<TRunReport> Inputs;  // in order; inputs not reached are absent

    size_t FailedInputs() const;
    // Written, and no input failed.
    bool Ok() const { return Written && FailedInputs() == 0; }
};

// The failure an engine error stands for. `opening`: it came while the files
// were opened and the table's header and columns read; else a FileError is
// an input's when its path is one of `inputs`, the output's otherwise.
void SetFailure(TRunReport& r, const std::exception& e, bool opening,
                const std::vector<std::string>& inputs = {});
// A failure the engine found itself.
void SetFailure(TRunReport& r, TRunFailure failure, TMessage why);
// The result of a run of one input.
TRunResult ResultOf(const std::string& output, TRunReport report);

// "画地 1,234、路線 56、座標 4,567" or "parcels 1,234, routes 56, points 4,567",
// followed by the skipped points and texts when there were any.
std::string CountsText(const TConvertCounts& counts, TLanguage language);

}  // namespace quorvex
