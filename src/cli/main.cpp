// quorvex-convert: every conversion of the window, without the window.
#include <cerrno>
#include <cstdio>
#include <exception>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "cli/console.h"
#include "cli/options.h"
#include "engine/coordinate_system.h"
#include "engine/jobs.h"
#include "engine/mif_info.h"
#include "support/cp932.h"
#include "support/errors.h"
#include "support/messages.h"
#include "support/paths.h"
#include "support/std_streams.h"
#include "support/text.h"

namespace quorvex::cli {
namespace {

enum ExitCode { kOk = 0, kJobFailed = 1, kUsageError = 2 };

// Where the command's words go: standard error, in the user's language.
class TReporter {
  public:
    TReporter(TLanguage language, bool verbose, bool quiet = false)
        : language_(language), verbose_(verbose), quiet_(quiet) {}

    // "quorvex-convert: <message>"
    void Error(const TMessage& m) const {
        WriteMessage("quorvex-convert: " + m.Text(language_) + "\n");
    }
    // One line per job: "ok FILE" or "failed FILE: reason"; with -v the
    // counts of a job that wrote its file follow on a line of their own.
    // With -q a job that succeeded says nothing.
    void Job(const std::string& file, const TRunReport& r) const {
        if (!r.Ok) {
            Line({TMsg::JobFailed, {file, r.Error.Text(language_)}});
            return;
        }
        if (quiet_) return;
        Line({TMsg::JobOk, {file}});
        Counts(r.Counts);
    }
    // With -v, what a job wrote, on a line of its own.
    void Counts(const TConvertCounts& counts) const {
        if (verbose_ && !quiet_) WriteMessage("  " + CountsText(counts, language_) + "\n");
    }
    // After the line of a job that converted its input: with -v what its
    // coordinates are; whatever the options, its warnings (coordinates
    // written as they stand that are not plane rectangular metres).
    void CoordSys(const TRunReport& r) const {
        if (!r.Ok) return;
        if (verbose_ && !quiet_)
            WriteMessage("  " + DescribeCoordSys(r.CoordSys, language_) + "\n");
        for (const TMessage& warning : r.Warnings)
            Line({TMsg::JobWarning, {r.Input, warning.Text(language_)}});
    }
    void Failed(const std::string& file, const TMessage& why) const {
        TRunReport r;
        r.Error = why;
        Job(file, r);
    }
    // A merged file written without the inputs that failed.
    void MergedWithout(const std::string& file, size_t failed, const TConvertCounts& counts) const {
        Line(failed == 1 ? TMessage{TMsg::MergedWithoutOneFailed, {file}}
                         : TMessage{TMsg::MergedWithoutFailed, {file, std::to_string(failed)}});
        Counts(counts);
    }
    TLanguage Language() const { return language_; }

  private:
    void Line(const TMessage& m) const { WriteMessage(m.Text(language_) + "\n"); }
    TLanguage language_;
    bool verbose_;
    bool quiet_;
};

// Writes `text` (help, version, column names) to standard output and flushes
// it; false, reported, when it did not arrive: a full disk or a closed stream
// is an error, not success.
bool WriteStdout(const TReporter& out, std::string_view text) {
    if (StandardStreamWasClosed(1)) {
        out.Error(TMsg::StdoutClosed);
        return false;
    }
    errno = 0;
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    if (std::fflush(stdout) == 0 && written) return true;
    out.Error({TMsg::StdoutWriteFailed, {}, errno != 0 ? errno : EIO});
    return false;
}

// Whether the --attr value is written as a number (a position), whatever its
// size, rather than a name.
bool IsPositionText(std::string_view attr) {
    if (!attr.empty() && (attr[0] == '-' || attr[0] == '+')) attr.remove_prefix(1);
    if (attr.empty()) return false;
    for (const char c : attr)
        if (c < '0' || c > '9') return false;
    return true;
}

// Position of the --attr value in the columns of `mif`: a number is taken as
// it stands, a name is looked up.
std::optional<int32_t> ResolveAttr(const Options& o, const std::string& mif, TMessage& why) {
    if (o.attr.empty()) return -1;
    if (IsPositionText(o.attr)) return AttrPositionOf(o.attr).value_or(-1);
    return ColumnPositionOf(mif, o.attr, why);
}

TConvertSettings SettingsFor(const Options& o, const std::string& genba) {
    TConvertSettings s;
    s.Genba = genba;
    s.Kakuchi = o.parcels;
    s.Rosen = o.routes;
    s.SwapXY = o.swapXY;
    s.CloseParcel = o.closeParcel;
    s.Zone = o.zone;
    return s;
}

// One job; its line comes after the delivery to standard output, which may
// fail.
bool RunOne(const TReporter& out, const TConvertSettings& s) {
    const TRunResult result = RunJob(s);
    TRunReport r = result.Inputs.empty() ? TRunReport() : result.Inputs[0];
    if (!result.Written && (r.Ok || result.Inputs.empty())) {
        // Converted, but standard output did not take it.
        r.Ok = false;
        r.Error = result.Error;
    }
    out.Job(s.SimFile, r);
    out.CoordSys(r);
    return result.Ok();
}

// Merged run; `failedBefore` inputs failed before it started and were
// reported by the caller. The file is written (and delivered) with the
// inputs that did not fail; true only when none failed.
bool RunCombined(const TReporter& out, const std::vector<TBatchRow>& rows,
                 const std::string& output, const std::string& genba, size_t failedBefore = 0) {
    TRunCallbacks cb;
    cb.MarkRow = [&](size_t, const TRunReport& r) {
        out.Job(r.Input, r);
        out.CoordSys(r);
    };
    const TRunResult merged = RunMergedJobs(rows, output, genba, cb);
    if (!merged.Written) {
        out.Failed(merged.Failure == TRunFailure::NoDestination ? "(combined)" : output,
                   merged.Error);
        return false;
    }
    // The file holds the good inputs; the failed ones are named above.
    if (const size_t failed = failedBefore + merged.FailedInputs(); failed > 0) {
        out.MergedWithout(output, failed, merged.Counts);
        return false;
    }
    TRunReport r;
    r.Ok = true;
    r.Counts = merged.Counts;
    out.Job(output, r);
    return true;
}

// The names in the terminal's encoding, spelt as --attr accepts them.
int ListColumns(const TReporter& out, const std::string& mif) {
    try {
        std::string names;
        for (const std::string& name : MifColumnNames(mif))
            names += name + '\n';
        return WriteStdout(out, ForTerminal(names)) ? kOk : kJobFailed;
    } catch (const std::exception& e) {
        out.Error(MessageOf(e));
        return kJobFailed;
    }
}

// What --info tells of `mif`; JSON is UTF-8 whatever the terminal.
int ShowInfo(const TReporter& out, const std::string& mif, bool json) {
    try {
        const TMifInfo info = InspectMif(mif, out.Language());
        return WriteStdout(out, json ? InfoJson(info, out.Language())
                                     : ForTerminal(InfoText(info, out.Language())))
                   ? kOk
                   : kJobFailed;
    } catch (const std::exception& e) {
        out.Error(MessageOf(e));
        return kJobFailed;
    }
}

int RunBatch(const TReporter& out, const std::string& listPath) {
    TBatchListFile list;
    try {
        // A blank job line could only fail: it is left out.
        list = LoadJobList(listPath, TBlankJobLines::Skip);
    } catch (const BatchListError& e) {
        out.Error({TMsg::NotABatchList, {listPath, e.message.Text(out.Language())}});
        return kJobFailed;
    } catch (const std::exception& e) {
        out.Error(MessageOf(e));
        return kJobFailed;
    }
    // Site names stay bytes, as the engine writes them unchanged.
    if (list.Combine)
        return RunCombined(out, list.Rows, Cp932ToUtf8(list.CombineFile), list.CombineGenba)
                   ? kOk
                   : kJobFailed;
    // Rows that must not run are named before any conversion starts; a row
    // without a SIMA file by its line in the list.
    TRunCallbacks cb;
    cb.RefuseRow = [&](size_t i, const TRunReport& r) {
        const std::string& sim = list.Rows[i].SubItems[TBatchRow::SimFile];
        const std::string line = listPath + ":" + std::to_string(list.RowLines[i]);
        if (r.Error.Id == TMsg::NoDestination)
            out.Failed(line, {TMsg::BatchRowNoDestination, {r.Input}});
        else
            out.Failed(sim.empty() ? line : sim, r.Error);
    };
    cb.MarkRow = [&](size_t i, const TRunReport& r) {
        out.Job(list.Rows[i].SubItems[TBatchRow::SimFile], r);
        out.CoordSys(r);
    };
    bool allOk = true;
    for (const TRunResult& result : RunBatchJobs(list.Rows, cb))
        allOk = allOk && result.Ok();
    return allOk ? kOk : kJobFailed;
}

int Run(int argc, char** argv) {
    const TLanguage language = UserLanguage();
    Options o;
    try {
        o = ParseOptions(argc, argv);
    } catch (const UsageError& e) {
        const TReporter out(language, false);
        out.Error(e.message);
        WriteMessage(TMessage(TMsg::TryHelp).Text(language) + "\n");
        return kUsageError;
    }
    const TReporter out(language, o.verbose, o.quiet);
    std::string genba;
    if (o.genba) {
        const auto encoded = Utf8ToCp932(*o.genba);
        if (!encoded) {
            out.Error(TMsg::GenbaNotCp932);
            return kUsageError;
        }
        // A line break would let the name write SIMA lines of its own.
        if (HasControlCharacter(*encoded)) {
            out.Error(TMsg::GenbaControl);
            return kUsageError;
        }
        genba = *encoded;
    }
    // A position no table can have is refused before any work.
    if (o.mode == Mode::Combine && IsPositionText(o.attr) && !AttrPositionOf(o.attr)) {
        out.Error({TMsg::AttrNotAPosition, {o.attr}});
        return kUsageError;
    }

    switch (o.mode) {
        case Mode::Help:
            return WriteStdout(out, ForTerminal(HelpText(language))) ? kOk : kJobFailed;
        case Mode::Version:
            return WriteStdout(out, std::string("quorvex-convert ") + QUORVEX_VERSION + "\n")
                       ? kOk
                       : kJobFailed;
        case Mode::Columns:
            return ListColumns(out, o.inputs[0]);
        case Mode::Info:
            return ShowInfo(out, o.inputs[0], o.json);
        case Mode::Batch:
            return RunBatch(out, o.batchList);
        case Mode::Convert: {
            TConvertSettings s = SettingsFor(o, genba);
            s.MifFile = o.inputs[0];
            s.SimFile = o.output.empty() ? ChangeFileExt(s.MifFile, ".sim") : o.output;
            TMessage why;
            const auto attr = ResolveAttr(o, s.MifFile, why);
            if (!attr) {
                out.Failed(s.SimFile, why);
                return kJobFailed;
            }
            s.AttrIndex = *attr;
            if (IsPositionText(o.attr)) {
                // One table: a position outside its columns is the user's
                // slip, told with the columns there are.
                if (const auto why = AttrPositionProblem(o.attr, s.MifFile)) {
                    out.Error(*why);
                    return kUsageError;
                }
            }
            return RunOne(out, s) ? kOk : kJobFailed;
        }
        case Mode::Combine: {
            std::vector<TBatchRow> rows;
            size_t failed = 0;
            for (const std::string& input : o.inputs) {
                TConvertSettings s = SettingsFor(o, {});
                s.MifFile = input;
                TMessage why;
                const auto attr = ResolveAttr(o, input, why);
                if (!attr) {
                    out.Failed(input, why);
                    ++failed;
                    continue;
                }
                s.AttrIndex = *attr;
                rows.push_back(RowFromSettings(s, {}));
            }
            if (rows.empty()) {
                out.Failed(o.output, TMsg::AllInputsFailed);
                return kJobFailed;
            }
            return RunCombined(out, rows, o.output, genba, failed) ? kOk : kJobFailed;
        }
    }
    return kOk;
}

}  // namespace
}  // namespace quorvex::cli

int main(int argc, char** argv) {
    // Before any file is opened, so none takes the place of a closed stream.
    quorvex::GuardStandardStreams();
    std::vector<std::string> args = quorvex::cli::StartConsole(argc, argv);
    std::vector<char*> pointers;
    for (std::string& a : args)
        pointers.push_back(a.data());
    pointers.push_back(nullptr);
    return quorvex::cli::Run(static_cast<int>(args.size()), pointers.data());
}
