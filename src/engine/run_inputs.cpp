#include "engine/run_inputs.h"

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
