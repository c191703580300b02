#include "engine/jobs.h"

#include <cstdio>
#include <exception>
#include <optional>

#include "engine/run_inputs.h"
#include "mif/mif_numbers.h"
#include "mif/uniMifUtils.h"
#include "support/charset.h"
#include "support/cp932.h"
#include "support/errors.h"
#include "support/output_file.h"

namespace quorvex {
namespace {

// A run onto standard output: into a nameless scratch file, copied out only
// once it has succeeded, so a failure writes nothing there and a killed run
// leaves no file behind.
template <class RunInto>
TRunResult ToStdout(const RunInto& runInto) {
    TRunResult result;
    try {
        TScratchFile scratch;
        result = runInto(scratch);
        if (result.Written) {
            std::fflush(stdout);
            TStandardOutput out;
            scratch.CopyTo(out);
            out.Close();
        }
    } catch (const std::exception& e) {
        TRunReport r;
        SetFailure(r, e, false);
        result.Written = false;
        result.Failure = r.Failure;
        result.Error = std::move(r.Error);
        result.Where = std::move(r.Where);
    }
    result.Output = std::string(1, '-');
    return result;
}

}  // namespace

TBatchListFile LoadJobList(const std::string& path, TBlankJobLines blank) {
    TBatchListFile list = LoadBatchList(path, blank);
    for (TBatchRow& row : list.Rows)
        for (const int k : {TBatchRow::MifFile, TBatchRow::SimFile})
            row.SubItems[size_t(k)] = Cp932ToUtf8(row.SubItems[size_t(k)]);
    return list;
}

TRunResult RunJob(const TConvertSettings& settings) {
    if (settings.SimFile != "-") return RunConvert(settings);
    return ToStdout([&](TFileWriter& out) { return RunConvertInto(settings, out); });
}

TRunResult RunMergedJobs(const std::vector<TBatchRow>& rows, const std::string& output,
                         const std::string& genba, const TRunCallbacks& callbacks) {
    if (output != "-") return ConvertCombined(rows, output, genba, callbacks);
    return ToStdout(
        [&](TFileWriter& out) { return ConvertCombinedInto(rows, out, genba, callbacks); });
}

std::vector<TRunResult> RunBatchJobs(const std::vector<TBatchRow>& rows, const TRunCallbacks& cb) {
    TBusyGuard busy(cb);
    std::vector<std::optional<TMessage>> refusals;
    try {
        refusals = RefusedBatchRows(rows);
    } catch (const std::exception& e) {
        // Rows that cannot be checked do not run.
        refusals.assign(rows.size(), MessageOf(e));
    }
    auto refusal = [&](size_t i) {
        TRunReport r;
        r.Input = rows[i].SubItems[TBatchRow::MifFile];
        SetFailure(r, TRunFailure::Refused, *refusals[i]);
        return r;
    };
    if (cb.RefuseRow)
        for (size_t i = 0; i < rows.size(); ++i)
            if (refusals[i]) cb.RefuseRow(i, refusal(i));

    std::vector<TRunResult> results;
    for (size_t i = 0; i < rows.size(); ++i) {
        const std::string& sim = rows[i].SubItems[TBatchRow::SimFile];
        if (refusals[i] && cb.RefuseRow) {
            results.push_back(ResultOf(sim, refusal(i)));
            continue;
        }
        if (cb.BeginRow) cb.BeginRow(i);
        results.push_back(refusals[i] ? ResultOf(sim, refusal(i))
                                      : RunConvert(SettingsFromRow(rows[i])));
        if (cb.MarkRow) cb.MarkRow(i, results.back().Inputs[0]);
        if (cb.Cancelled && cb.Cancelled()) break;
    }
    return results;
}

TTableColumns ReadTableColumns(const std::string& mifFile) {
    const TMifTable table = ReadMifTable(mifFile);
    return {DisplayCharsetOf(table.Header).Kind == TCharsetKind::Cp932, ColumnNamesOf(table)};
}

std::optional<int32_t> ColumnPositionOf(const std::string& mifFile, const std::string& name,
                                        TMessage& why) {
    try {
        const TMifTable table = ReadMifTable(mifFile);
        const TSFColumns& columns = table.Columns;
        const TCharset set = DisplayCharsetOf(table.Header);
        if (set.Kind == TCharsetKind::Cp932) {
            const std::string encoded = Utf8ToCp932(name).value_or(std::string());
            for (const std::string& n : {encoded, name}) {
                for (size_t i = 0; i < columns.size(); ++i)
                    if (!n.empty() && columns[i].Name == n) return static_cast<int32_t>(i + 1);
            }
        } else {
            for (size_t i = 0; i < columns.size(); ++i)
                if (DisplayText(set, columns[i].Name) == name) return static_cast<int32_t>(i + 1);
        }
        why = {TMsg::NoSuchColumn, {name}};
    } catch (const std::exception& e) {
        why = MessageOf(e);
    }
    return std::nullopt;
}

std::optional<int32_t> AttrPositionOf(std::string_view text) {
    const auto n = TryParseMifInteger(text);
    if (!n || *n < -1) return std::nullopt;
    return n;
}

std::optional<TMessage> AttrPositionProblem(const std::string& attr, const std::string& mifFile) {
    const auto n = AttrPositionOf(attr);
    if (n && *n <= 0) return std::nullopt;
    try {
        const TMifTable table = ReadMifTable(mifFile);
        if (n && static_cast<size_t>(*n) <= table.Columns.size()) return std::nullopt;
        return AttrOutOfRange(attr, table);
    } catch (const std::exception&) {
        if (!n) return TMessage(TMsg::AttrNotAPosition, {attr});
        return std::nullopt;
    }
}

}  // namespace quorvex
