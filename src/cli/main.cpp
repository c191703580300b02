// quorvex-convert: every conversion of the window, without the window.
#include <cstdio>
#include <exception>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "cli/console.h"
#include "cli/options.h"
#include "engine/batch_list.h"
#include "engine/convert.h"
#include "mif/mid_values.h"
#include "mif/mif_numbers.h"
#include "mif/uniMifUtils.h"
#include "support/charset.h"
#include "support/cp932.h"
#include "support/errors.h"
#include "support/file_access.h"
#include "support/messages.h"
#include "support/output_file.h"
#include "support/paths.h"

namespace quorvex::cli {
namespace {

enum ExitCode { kOk = 0, kJobFailed = 1, kUsageError = 2 };

// Where the command's words go: standard error, in the user's language.
class TReporter {
  public:
    TReporter(TLanguage language, bool verbose) : language_(language), verbose_(verbose) {}

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
};

// Position of the --attr value in the columns of `mif`: a number is taken as
// it stands, a name is looked up: in a code page 932 table its bytes first,
// then as given; in a table of another character set by the decoded names.
std::optional<int32_t> ResolveAttr(const Options& o, const std::string& mif, TMessage& why) {
    if (o.attr.empty()) return -1;
    if (const auto n = TryParseMifInteger(o.attr)) return *n;
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

TConvertSettings SettingsFor(const Options& o, const std::string& genba) {
    TConvertSettings s;
    s.Genba = genba;
    s.Kakuchi = o.parcels;
    s.Rosen = o.routes;
    s.SwapXY = o.swapXY;
    s.CloseParcel = o.closeParcel;
    return s;
}

// One job through ConvertFile, or into `stream` (standard output's scratch
// file) when given.
bool RunOne(const TReporter& out, const TConvertSettings& s, TFileWriter* stream = nullptr) {
    TRunReport r;
    try {
        if (stream)
            ConvertFileInto(s, *stream, &r);
        else
            ConvertFile(s, &r);
    } catch (const std::exception& e) {
        r.Ok = false;
        r.Error = MessageOf(e);
    }
    out.Job(s.SimFile, r);
    return r.Ok;
}

// Merged run, into `stream` when given; `failedBefore` inputs failed before
// it started and were reported by the caller. True only when every input
// went into the file; *written tells whether the file was written at all.
bool RunCombined(const TReporter& out, const std::vector<TBatchRow>& rows,
                 const std::string& output, const std::string& genba, TFileWriter* stream = nullptr,
                 size_t failedBefore = 0, bool* written = nullptr) {
    if (written) *written = false;
    if (output.empty()) {
        out.Failed("(combined)", TMsg::MergedFileNameEmpty);
        return false;
    }
    size_t failed = failedBefore;
    TCombinedCallbacks cb;
    cb.MarkRow = [&](size_t i, const TRunReport& r) {
        out.Job(rows[i].SubItems[TBatchRow::MifFile], r);
        if (!r.Ok) ++failed;
    };
    TRunReport merged;
    try {
        merged.Ok = stream ? ConvertCombinedInto(rows, *stream, genba, cb, &merged.Counts)
                           : ConvertCombined(rows, output, genba, cb, &merged.Counts);
    } catch (const std::exception& e) {
        out.Failed(output, MessageOf(e));
        return false;
    }
    if (!merged.Ok) {
        out.Failed(output, TMsg::AllInputsFailed);
        return false;
    }
    if (written) *written = true;
    // The file holds the good inputs; the failed ones are named above.
    if (failed > 0) {
        out.MergedWithout(output, failed, merged.Counts);
        return false;
    }
    out.Job(output, merged);
    return true;
}

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
    // Copies the result; false (reported) when standard output fails.
    bool Deliver(const TReporter& out) {
        if (!scratch_) return true;
        try {
            std::fflush(stdout);
            TStandardOutput stdoutFile;
            scratch_->CopyTo(stdoutFile);
            stdoutFile.Close();
            return true;
        } catch (const std::exception& e) {
            out.Failed("-", MessageOf(e));
            return false;
        }
    }

  private:
    std::optional<TScratchFile> scratch_;
};

int ListColumns(const TReporter& out, const std::string& mif) {
    try {
        // Code page 932 names are printed as the bytes they are, as ever;
        // names in other character sets as UTF-8.
        const TMifTable table = ReadMifTable(mif);
        const TCharset set = DisplayCharsetOf(table.Header);
        for (const auto& c : table.Columns) {
            const std::string name =
                set.Kind == TCharsetKind::Cp932 ? c.Name : DisplayText(set, c.Name);
            std::fwrite(name.data(), 1, name.size(), stdout);
            std::fputc('\n', stdout);
        }
        return kOk;
    } catch (const std::exception& e) {
        out.Error(MessageOf(e));
        return kJobFailed;
    }
}

int RunBatch(const TReporter& out, const std::string& listPath) {
    TBatchListFile list;
    try {
        list = LoadBatchList(listPath);
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
    bool allOk = true;
    // Rows without a destination are named before any conversion starts.
    for (const TBatchRow& row : list.Rows) {
        if (row.SubItems[TBatchRow::SimFile].empty()) {
            out.Failed(row.SubItems[TBatchRow::MifFile], TMsg::NoDestination);
            allOk = false;
        }
    }
    for (const TBatchRow& row : list.Rows)
        if (!row.SubItems[TBatchRow::SimFile].empty())
            allOk = RunOne(out, SettingsFromRow(row)) && allOk;
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
    const TReporter out(language, o.verbose);
    std::string genba;
    if (o.genba) {
        const auto encoded = Utf8ToCp932(*o.genba);
        if (!encoded) {
            out.Error(TMsg::GenbaNotCp932);
            return kUsageError;
        }
        genba = *encoded;
    }

    switch (o.mode) {
        case Mode::Help:
            std::fputs(kUsage, stdout);
            return kOk;
        case Mode::Version:
            std::printf("quorvex-convert %s\n", QUORVEX_VERSION);
            return kOk;
        case Mode::Columns:
            return ListColumns(out, o.inputs[0]);
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
            try {
                TStdoutOutput stdoutFile(s.SimFile);
                return RunOne(out, s, stdoutFile.Stream()) && stdoutFile.Deliver(out) ? kOk
                                                                                      : kJobFailed;
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
                bool written = false;
                const bool allOk =
                    RunCombined(out, rows, o.output, genba, stdoutFile.Stream(), failed, &written);
                // A file without its failed inputs is still delivered.
                return written && stdoutFile.Deliver(out) && allOk ? kOk : kJobFailed;
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
    std::vector<std::string> args = quorvex::cli::StartConsole(argc, argv);
    std::vector<char*> pointers;
    for (std::string& a : args)
        pointers.push_back(a.data());
    pointers.push_back(nullptr);
    return quorvex::cli::Run(static_cast<int>(args.size()), pointers.data());
}
