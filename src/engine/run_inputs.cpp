#include "engine/run_inputs.h"

#include <set>

#include "mif/uniMifUtils.h"
#include "support/paths.h"

namespace quorvex {
namespace {

// Why an input is not there: missing, or something else than a file.
TMsg NoFileMessage(const std::string& path, TMsg missing, TMsg folder, TMsg loop) {
    switch (WhyNoFile(path)) {
        case TNoFile::Folder:
            return folder;
        case TNoFile::LinkLoop:
            return loop;
        case TNoFile::Missing:
            break;
    }
    return missing;
}

}  // namespace

std::optional<TRunInputs> FindRunInputs(const std::string& mifFile, TMessage& why) {
    if (!FileExists(mifFile)) {
        why = {NoFileMessage(mifFile, TMsg::MifNotFound, TMsg::MifIsFolder, TMsg::MifLinkLoop),
               {mifFile}};
        return std::nullopt;
    }
    TRunInputs inputs;
    inputs.Mif = mifFile;
    inputs.Mid = ChangeFileExt(mifFile, ".mid");
    if (FileExists(inputs.Mid)) return inputs;
    inputs.Mid = FindFileIgnoringCase(inputs.Mid);
    if (!inputs.Mid.empty()) return inputs;
    // A table without columns has nothing to put in a MID file. A MIF file
    // that cannot be read throws its own error, never "MID file not found".
    const TMifTable table = ReadMifTable(mifFile);
    if (table.DeclaredColumns <= 0 && table.Columns.empty()) return inputs;
    const std::string mid = ChangeFileExt(mifFile, ".mid");
    why = {NoFileMessage(mid, TMsg::MidNotFound, TMsg::MidIsFolder, TMsg::MidLinkLoop), {mid}};
    return std::nullopt;
}

bool IsSameFile(const std::string& output, const std::string& input) {
    return IsSameExistingFile(output, input);
}

bool OverwritesInput(const std::string& output, const TRunInputs& inputs) {
    return IsSameFile(output, inputs.Mif) || IsSameFile(output, inputs.Mid);
}

std::vector<std::optional<TMessage>> RefusedBatchRows(const std::vector<TBatchRow>& rows) {
    // Every file a row may read, existing or not yet: the MIF file, the MID
    // file by its own name and as found whatever its case.
    std::set<TFileIdentity> inputs;
    auto addInput = [&inputs](const std::string& path) {
        if (auto id = FileIdentity(path)) inputs.insert(std::move(*id));
    };
    for (const TBatchRow& row : rows) {
        const std::string& mif = row.SubItems[TBatchRow::MifFile];
        if (mif.empty()) continue;
        addInput(mif);
        const std::string mid = ChangeFileExt(mif, ".mid");
        addInput(mid);
        if (!FileExists(mid)) addInput(FindFileIgnoringCase(mid));
    }
    std::set<TFileIdentity> destinations;
    std::vector<std::optional<TMessage>> refused(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        const TConvertSettings s = SettingsFromRow(rows[i]);
        if ((refused[i] = JobRefusal(s))) continue;
        if (s.SimFile.empty()) {
            refused[i] = TMessage(TMsg::NoDestination);
        } else if (s.SimFile == "-") {
            refused[i] = TMessage(TMsg::BatchRowToStdout);
        } else if (auto id = FileIdentity(s.SimFile)) {
            if (inputs.count(*id))
                refused[i] = TMessage(TMsg::BatchRowIsAnInput, {s.SimFile});
            else if (!destinations.insert(std::move(*id)).second)
                refused[i] = TMessage(TMsg::BatchRowSameDestination, {s.SimFile});
        }
    }
    return refused;
}

TInputFiles::TInputFiles(const TRunInputs& inputs) : Mif(inputs.Mif) {
    if (!inputs.Mid.empty()) Mid = std::make_unique<TLineReader>(inputs.Mid);
}

TMifTable SkipMifTableHead(TLineReader& mif) {
    TMifTable table;
    table.Header = ReadMifHeader(mif);
    table.DeclaredColumns = ReadMifColumns(mif, table.Columns, &table.Header);
    return table;
}

}  // namespace quorvex
