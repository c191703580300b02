// quorvex-convert: every conversion of the window, without the window.
#include <cstdio>
#include <exception>
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
#include "support/paths.h"

namespace quorvex::cli {
namespace {

enum ExitCode { kOk = 0, kJobFailed = 1, kUsageError = 2 };

void Report(bool ok, const std::string& file, const std::string& reason = {}) {
    WriteMessage(ok ? "ok " + file + "\n" : "failed " + file + ": " + reason + "\n");
}

// Position of the --attr value in the columns of `mif`: a number is taken as
// it stands, a name is looked up: in a code page 932 table its bytes first,
// then as given; in a table of another character set by the decoded names.
std::optional<int32_t> ResolveAttr(const Options& o, const std::string& mif, std::string& why) {
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
        why = "no column named '" + o.attr + "'";
    } catch (const std::exception& e) {
        why = e.what();
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

// One job through ConvertFile, reported on stderr.
bool RunOne(TConvertSettings s) {
    std::string why;
    bool ok = false;
    try {
        ok = ConvertFile(s, &why);
    } catch (const std::exception& e) {
        why = e.what();
    }
    Report(ok, s.SimFile, why);
    return ok;
}

// Merged run; rows that failed before it started are reported by the caller.
bool RunCombined(const std::vector<TBatchRow>& rows, const std::string& output,
                 const std::string& genba) {
    if (output.empty()) {
        Report(false, "(combined)", "the combined output file name is empty");
        return false;
    }
    bool allOk = true;
    TCombinedCallbacks cb;
    cb.MarkRow = [&](size_t i, bool ok, const std::string& reason) {
        Report(ok, rows[i].SubItems[TBatchRow::MifFile], reason);
        allOk = allOk && ok;
    };
    try {
        ConvertCombined(rows, output, genba, cb);
    } catch (const std::exception& e) {
        Report(false, output, e.what());
        return false;
    }
    Report(allOk, output, "some inputs failed");
    return allOk;
}

int ListColumns(const std::string& mif) {
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
        WriteMessage(std::string("quorvex-convert: ") + e.what() + "\n");
        return kJobFailed;
    }
}

int RunBatch(const std::string& listPath) {
    TBatchListFile list;
    try {
        list = LoadBatchList(listPath);
    } catch (const BatchListError& e) {
        WriteMessage("quorvex-convert: " + listPath + ": not a valid batch list (" +
                     Cp932ToUtf8(e.what()) + ")\n");
        return kJobFailed;
    } catch (const std::exception& e) {
        WriteMessage(std::string("quorvex-convert: ") + e.what() + "\n");
        return kJobFailed;
    }
    // The file holds code page 932 paths; the system's are UTF-8. Site names
    // stay bytes, as the engine writes them unchanged.
    for (TBatchRow& row : list.Rows) {
        row.SubItems[TBatchRow::MifFile] = Cp932ToUtf8(row.SubItems[TBatchRow::MifFile]);
        row.SubItems[TBatchRow::SimFile] = Cp932ToUtf8(row.SubItems[TBatchRow::SimFile]);
    }
    if (list.Combine)
        return RunCombined(list.Rows, Cp932ToUtf8(list.CombineFile), list.CombineGenba)
                   ? kOk
                   : kJobFailed;
    bool allOk = true;
    for (const TBatchRow& row : list.Rows)
        allOk = RunOne(SettingsFromRow(row)) && allOk;
    return allOk ? kOk : kJobFailed;
}

int Run(int argc, char** argv) {
    Options o;
    try {
        o = ParseOptions(argc, argv);
    } catch (const UsageError& e) {
        WriteMessage("quorvex-convert: " + e.message + "\nTry 'quorvex-convert --help'.\n");
        return kUsageError;
    }
    std::string genba;
    if (o.genba) {
        const auto encoded = Utf8ToCp932(*o.genba);
        if (!encoded) {
            WriteMessage(
                "quorvex-convert: the site name has a character that code page 932 cannot "
                "hold\n");
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
            return ListColumns(o.inputs[0]);
        case Mode::Batch:
            return RunBatch(o.batchList);
        case Mode::Convert: {
            TConvertSettings s = SettingsFor(o, genba);
            s.MifFile = o.inputs[0];
            s.SimFile = o.output.empty() ? ChangeFileExt(s.MifFile, ".sim") : o.output;
            std::string why;
            const auto attr = ResolveAttr(o, s.MifFile, why);
            if (!attr) {
                Report(false, s.SimFile, why);
                return kJobFailed;
            }
            s.AttrIndex = *attr;
            return RunOne(s) ? kOk : kJobFailed;
        }
        case Mode::Combine: {
            std::vector<TBatchRow> rows;
            bool allOk = true;
            for (const std::string& input : o.inputs) {
                TConvertSettings s = SettingsFor(o, {});
                s.MifFile = input;
                std::string why;
                const auto attr = ResolveAttr(o, input, why);
                if (!attr) {
                    Report(false, input, why);
                    allOk = false;
                    continue;
                }
                s.AttrIndex = *attr;
                rows.push_back(RowFromSettings(s, {}));
            }
            if (rows.empty()) return kJobFailed;
            return RunCombined(rows, o.output, genba) && allOk ? kOk : kJobFailed;
        }
    }
    return kOk;
}

}  // namespace
}  // namespace quorvex::cli

int main(int argc, char** argv) {
    std::vector<std::string> args = quorvex::cli::StartConsole(argc, argv);
    std::vector<char*> pointers;
    for (std::string& a : args) pointers.push_back(a.data());
    pointers.push_back(nullptr);
    return quorvex::cli::Run(static_cast<int>(args.size()), pointers.data());
}
