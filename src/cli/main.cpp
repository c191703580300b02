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
#include "cli/svg_command.h"
#include "engine/batch_list.h"
#include "engine/convert.h"
#include "engine/coordinate_system.h"
#include "engine/run_inputs.h"
#include "mif/mid_values.h"
#include "mif/mif_numbers.h"
#include "mif/uniMifUtils.h"
#include "preview/preview_job.h"
#include "support/charset.h"
#include "support/cp932.h"
#include "support/errors.h"
#include "support/file_access.h"
#include "support/messages.h"
#include "support/output_file.h"
#include "support/paths.h"
#include "support/std_streams.h"
#include "support/text.h"

namespace quorvex::cli {
namespace {

enum ExitCode { kOk = 0, kJobFailed = 1, kUsageError = 2 };

// Where the command's words go: standard error, in the user's language.
class TReporter {
  public:
    TReporter(TLanguage language, bool verbose, int32_t zone = 0)
        : language_(language), verbose_(verbose), zone_(zone) {}

    // "quorvex-convert: <message>"
    void Error(const TMessage& m) const {
        WriteMessage("quorvex-convert: " + m.Text(language_) + "\n");
    }
    // One line per job: "ok FILE" or "failed FILE: reason"; with -v the
    // counts of a job that wrote its file follow on a line of their own.
    void Job(const std::string& file, const TRunReport& r) const {
        if (!r.Ok) {
            Line({TMsg::JobFailed, {file, r.Error.Text(language_)}});
            return;
        }
        Line({TMsg::JobOk, {file}});
        Counts(r.Counts);
    }
    // With -v, what a job wrote, on a line of its own.
    void Counts(const TConvertCounts& counts) const {
        if (verbose_) WriteMessage("  " + CountsText(counts, language_) + "\n");
    }
    // After the line of a job that converted `input`: with -v what its
    // coordinates are; whatever the options, a warning when they were written
    // as they stand (no --zone) and are not plane rectangular metres.
    void CoordSys(const std::string& input, const TRunReport& r) const {
        if (!r.Ok) return;
        if (verbose_) WriteMessage("  " + DescribeCoordSys(r.CoordSys, language_) + "\n");
        if (zone_ != 0) return;
        if (const auto warning = CoordSysWarning(r.CoordSys, r.Extent))
            Line({TMsg::JobWarning, {input, warning->Text(language_)}});
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
    int32_t zone_;  // the coordinates were projected to it; 0: written as read
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

// The --attr position: 0 or -1 for none, else 1 or more; nothing for any
// other number (negative, or beyond any table).
std::optional<int32_t> AttrPosition(const std::string& attr) {
    const auto n = TryParseMifInteger(attr);
    if (!n || *n < -1) return std::nullopt;
    return *n;
}

// Position of the --attr value in the columns of `mif`: a number is taken as
// it stands, a name is looked up: in a code page 932 table its bytes first,
// then as given; in a table of another character set by the decoded names.
std::optional<int32_t> ResolveAttr(const Options& o, const std::string& mif, TMessage& why) {
    if (o.attr.empty()) return -1;
    if (IsPositionText(o.attr)) return AttrPosition(o.attr).value_or(-1);
    try {
        const TMifTable table = ReadMifTable(mif);
        const TSFColumns& columns = table.Columns;
        const TCharset set = DisplayCharsetOf(table.Header);
        if (set.Kind == TCharsetKind::Cp932) {
            const std::string encoded = Utf8ToCp932(o.attr).value_or(std::string());
            for (const std::string& name : {encoded, o.attr}) {
                for (size_t i = 0; i < columns.size(); ++i)
                    if (!name.empty() && columns[i].Name == name)
                        return static_cast<int32_t>(i + 1);
            }
        } else {
            for (size_t i = 0; i < columns.size(); ++i)
                if (DisplayText(set, columns[i].Name) == o.attr) return static_cast<int32_t>(i + 1);
        }
        why = {TMsg::NoSuchColumn, {o.attr}};
    } catch (const std::exception& e) {
        why = MessageOf(e);
    }
    return std::nullopt;
}

// Why the position `attr` names no column of the table of `mif`; nothing
// when it does, or when the table cannot be read (the run then tells why).
std::optional<TMessage> CheckAttrPosition(const std::string& attr, const std::string& mif) {
    const auto n = AttrPosition(attr);
    if (n && *n <= 0) return std::nullopt;
    try {
        const TMifTable table = ReadMifTable(mif);
        if (n && static_cast<size_t>(*n) <= table.Columns.size()) return std::nullopt;
        return AttrOutOfRange(attr, table);
    } catch (const std::exception&) {
        if (!n) return TMessage(TMsg::AttrNotAPosition, {attr});
        return std::nullopt;
    }
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

class TStdoutOutput;

// One job through ConvertFile, or onto standard output when given; its line
// comes after the delivery, which may fail.
bool RunOne(const TReporter& out, const TConvertSettings& s, TStdoutOutput* stdoutFile = nullptr);

// Merged run, onto standard output when given; see below.
bool RunCombined(const TReporter& out, const std::vector<TBatchRow>& rows,
                 const std::string& output, const std::string& genba,
                 TStdoutOutput* stdoutFile = nullptr, size_t failedBefore = 0);

// "-" as an output: the run goes to a nameless scratch file, copied to
// standard output only once it has succeeded, so a failure writes nothing
// there and a killed run leaves no file behind.
class TStdoutOutput {
  public:
    explicit TStdoutOutput(const std::string& output) {
        if (output == "-") scratch_.emplace();
    }
    // The run's file, or null when the output is a path.
    TFileWriter* Stream() { return scratch_ ? &*scratch_ : nullptr; }
    // Copies the result; throws FileError when standard output fails or was
    // closed when the program started.
    void Deliver() {
        if (!scratch_) return;
        std::fflush(stdout);
        TStandardOutput stdoutFile;
        scratch_->CopyTo(stdoutFile);
        stdoutFile.Close();
    }

  private:
    std::optional<TScratchFile> scratch_;
};

bool RunOne(const TReporter& out, const TConvertSettings& s, TStdoutOutput* stdoutFile) {
    TRunReport r;
    try {
        if (stdoutFile && stdoutFile->Stream())
            ConvertFileInto(s, *stdoutFile->Stream(), &r);
        else
            ConvertFile(s, &r);
        if (r.Ok && stdoutFile) stdoutFile->Deliver();
    } catch (const std::exception& e) {
        r.Ok = false;
        r.Error = MessageOf(e);
    }
    out.Job(s.SimFile, r);
    out.CoordSys(s.MifFile, r);
    return r.Ok;
}

// Merged run, onto standard output when given; `failedBefore` inputs failed
// before it started and were reported by the caller. The file is written (and
// delivered) with the inputs that did not fail; true only when none failed.
bool RunCombined(const TReporter& out, const std::vector<TBatchRow>& rows,
                 const std::string& output, const std::string& genba, TStdoutOutput* stdoutFile,
                 size_t failedBefore) {
    if (output.empty()) {
        out.Failed("(combined)", TMsg::MergedFileNameEmpty);
        return false;
    }
    size_t failed = failedBefore;
    TCombinedCallbacks cb;
    cb.MarkRow = [&](size_t i, const TRunReport& r) {
        out.Job(rows[i].SubItems[TBatchRow::MifFile], r);
        out.CoordSys(rows[i].SubItems[TBatchRow::MifFile], r);
        if (!r.Ok) ++failed;
    };
    TRunReport merged;
    try {
        merged.Ok =
            stdoutFile && stdoutFile->Stream()
                ? ConvertCombinedInto(rows, *stdoutFile->Stream(), genba, cb, &merged.Counts)
                : ConvertCombined(rows, output, genba, cb, &merged.Counts);
        // The report line comes after the delivery, which may fail.
        if (merged.Ok && stdoutFile) stdoutFile->Deliver();
    } catch (const std::exception& e) {
        out.Failed(output, MessageOf(e));
        return false;
    }
    if (!merged.Ok) {
        out.Failed(output, TMsg::AllInputsFailed);
        return false;
    }
    // The file holds the good inputs; the failed ones are named above.
    if (failed > 0) {
        out.MergedWithout(output, failed, merged.Counts);
        return false;
    }
    out.Job(output, merged);
    return true;
}

// --svg: the drawing of the job's SIMA file, reported as a job on its own.
int RunSvg(const TReporter& out, const TConvertSettings& s, const std::string& svg) {
    TRunReport r;
    WriteSvgDrawing(s, svg, r);
    out.Job(svg, r);
    if (!preview::IsSimaPath(s.MifFile)) out.CoordSys(s.MifFile, r);
    return r.Ok ? kOk : kJobFailed;
}

int ListColumns(const TReporter& out, const std::string& mif) {
    try {
        // Code page 932 names are printed as the bytes they are, as ever;
        // names in other character sets as UTF-8.
        const TMifTable table = ReadMifTable(mif);
        const TCharset set = DisplayCharsetOf(table.Header);
        std::string names;
        for (const auto& c : table.Columns) {
            names += set.Kind == TCharsetKind::Cp932 ? c.Name : DisplayText(set, c.Name);
            names += '\n';
        }
        return WriteStdout(out, names) ? kOk : kJobFailed;
    } catch (const std::exception& e) {
        out.Error(MessageOf(e));
        return kJobFailed;
    }
}

int RunBatch(const TReporter& out, const std::string& listPath) {
    TBatchListFile list;
    try {
        // A blank job line could only fail: it is left out.
        list = LoadBatchList(listPath, TBlankJobLines::Skip);
    } catch (const BatchListError& e) {
        out.Error({TMsg::NotABatchList, {listPath, e.message.Text(out.Language())}});
        return kJobFailed;
    } catch (const std::exception& e) {
        out.Error(MessageOf(e));
        return kJobFailed;
    }
    // The file holds code page 932 paths; the system's are UTF-8. Site names
    // stay bytes, as the engine writes them unchanged.
    for (TBatchRow& row : list.Rows) {
        row.SubItems[TBatchRow::MifFile] = Cp932ToUtf8(row.SubItems[TBatchRow::MifFile]);
        row.SubItems[TBatchRow::SimFile] = Cp932ToUtf8(row.SubItems[TBatchRow::SimFile]);
    }
    if (list.Combine)
        return RunCombined(out, list.Rows, Cp932ToUtf8(list.CombineFile), list.CombineGenba)
                   ? kOk
                   : kJobFailed;
    // Rows that must not run are named before any conversion starts; a row
    // without a SIMA file by its line in the list.
    const std::vector<std::optional<TMessage>> refused = RefusedBatchRows(list.Rows);
    bool allOk = true;
    for (size_t i = 0; i < list.Rows.size(); ++i) {
        if (!refused[i]) continue;
        const TBatchRow& row = list.Rows[i];
        const std::string& sim = row.SubItems[TBatchRow::SimFile];
        const std::string line = listPath + ":" + std::to_string(list.RowLines[i]);
        if (refused[i]->Id == TMsg::NoDestination)
            out.Failed(line, {TMsg::BatchRowNoDestination, {row.SubItems[TBatchRow::MifFile]}});
        else
            out.Failed(sim.empty() ? line : sim, *refused[i]);
        allOk = false;
    }
    for (size_t i = 0; i < list.Rows.size(); ++i)
        if (!refused[i]) allOk = RunOne(out, SettingsFromRow(list.Rows[i])) && allOk;
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
    const TReporter out(language, o.verbose, o.zone);
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
    if (o.mode == Mode::Combine && IsPositionText(o.attr) && !AttrPosition(o.attr)) {
        out.Error({TMsg::AttrNotAPosition, {o.attr}});
        return kUsageError;
    }

    switch (o.mode) {
        case Mode::Help:
            return WriteStdout(out, kUsage) ? kOk : kJobFailed;
        case Mode::Version:
            return WriteStdout(out, std::string("quorvex-convert ") + QUORVEX_VERSION + "\n")
                       ? kOk
                       : kJobFailed;
        case Mode::Columns:
            return ListColumns(out, o.inputs[0]);
        case Mode::Batch:
            return RunBatch(out, o.batchList);
        case Mode::Convert: {
            TConvertSettings s = SettingsFor(o, genba);
            s.MifFile = o.inputs[0];
            // A SIMA file is drawn as it stands: it has no columns.
            if (!o.svg.empty() && preview::IsSimaPath(s.MifFile)) return RunSvg(out, s, o.svg);
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
                if (const auto why = CheckAttrPosition(o.attr, s.MifFile)) {
                    out.Error(*why);
                    return kUsageError;
                }
            }
            if (!o.svg.empty()) return RunSvg(out, s, o.svg);
            try {
                TStdoutOutput stdoutFile(s.SimFile);
                return RunOne(out, s, &stdoutFile) ? kOk : kJobFailed;
            } catch (const std::exception& e) {
                out.Failed(s.SimFile, MessageOf(e));
                return kJobFailed;
            }
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
            try {
                TStdoutOutput stdoutFile(o.output);
                return RunCombined(out, rows, o.output, genba, &stdoutFile, failed) ? kOk
                                                                                    : kJobFailed;
            } catch (const std::exception& e) {
                out.Failed(o.output, MessageOf(e));
                return kJobFailed;
            }
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
