// Every message that reaches the user from the engine and the command line,
// in Japanese and in English. A message travels as an identifier with its
// arguments and becomes text only where it is shown, in the language of the
// one who reads it: the window always in Japanese, the command line in the
// language of the user's locale.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace quorvex {

enum class TLanguage { English, Japanese };

// Placeholders in the texts: {1}, {2} ... the arguments; {r} the system's
// reason for a failed file operation; {w} where it happened, a message of
// its own (a row and column of a MID file). Messages about a line of a file take
// the file's path and the line number as {1} and {2}.
enum class TMsg {
    Text,    // {1} as it stands, in every language
    AtLine,  // {3}, a text of its own, at line {2} of file {1}

    // Files
    CannotOpen,
    CannotRead,
    CannotWrite,
    CannotCreate,
    CannotReplace,
    NamesDevice,
    IsAFolder,
    ReadOnlyFile,
    MifNotFound,
    MidNotFound,
    StoreNotWritable,
    PathIsFolder,  // {2} the verb of the failed operation, in English
    PathIsFifo,
    PathIsDevice,
    PathIsSocket,
    PathNotRegular,
    DanglingLink,
    NoFolder,
    CannotSyncFolder,
    LineTooLong,

    // The content of a MIF file
    NotAFloat,
    NotAnInteger,
    NegativeCount,
    NegativeColumnCount,
    NegativeSectionCount,
    CutShort,
    TooManyVertices,
    NoVertices,
    ArcAnglesOutOfRange,
    NotAMifFile,
    ColumnCountPastData,
    NonFiniteVertex,
    VertexTooLarge,
    TooManyPoints,

    // Character sets of MIF and MID files
    CharsetNotSupported,
    CharsetUnknown,
    MidRow,
    MidRowColumn,
    MidRowColumnNamed,
    MidBadByte,
    MidNoCp932,

    // Runs
    OutputIsAnInput,
    MergedOutputIsThisInput,
    MergedOutputIsAnInput,
    MergedFileNameEmpty,
    AllInputsFailed,
    MergedWithoutOneFailed,
    MergedWithoutFailed,
    OutOfMemory,
    NoDestination,
    Unexpected,

    // Batch-list files
    BatchListMalformed,
    BatchListNotBoolean,
    NotABatchList,
    BatchListCannotOpen,
    BatchListCannotCreate,

    // The command line
    UnknownOption,
    ModesExclude,
    NothingToConvert,
    BatchTakesNoInputs,
    ColumnsTakesOneInput,
    CombineNeedsInputs,
    ExpectedInputAndOutput,
    TryHelp,
    GenbaNotCp932,
    NoSuchColumn,
    JobOk,
    JobFailed,

    // What a conversion wrote
    Counts,
    Skipped,

    // The system's reasons ({r})
    ReasonNoEntry,
    ReasonAccess,
    ReasonPermission,
    ReasonNoSpace,
    ReasonQuota,
    ReasonReadOnly,
    ReasonIsFolder,
    ReasonNotFolder,
    ReasonIo,
    ReasonNameTooLong,
    ReasonTooManyOpen,
    ReasonTooLarge,
    ReasonExists,
    ReasonLoop,
    ReasonBusy,
    ReasonInvalid,
    ReasonOther,  // {1} the system's own text, {2} the error number

    Count_
};

struct TMessage {
    TMessage() = default;
    TMessage(TMsg id, std::initializer_list<std::string> args = {}, int sysError = 0)
        : Id(id), Args(args), SysError(sysError) {}

    TMsg Id = TMsg::Text;
    std::vector<std::string> Args;
    // The errno value behind {r}; 0 for none. On Windows a negative value is
    // a Windows error code the table has no words for.
    int SysError = 0;
    // The message behind {w}, when there is one.
    std::vector<TMessage> Where;

    bool Empty() const { return Id == TMsg::Text && (Args.empty() || Args[0].empty()); }
    std::string Text(TLanguage language) const;
};

// The language of messages for this user: Japanese when the locale's
// messages are Japanese (LC_ALL, else LC_MESSAGES, else LANG, the first one
// set, beginning with "ja"; on Windows, where none is set, the user's display
// language).
TLanguage UserLanguage();
// The rule above for given values of LC_ALL, LC_MESSAGES and LANG (null or
// empty when unset).
TLanguage LanguageOfLocale(const char* lcAll, const char* lcMessages, const char* lang);

// Decimal with a comma between groups of three digits: 1,234,567.
std::string GroupDigits(int64_t n);

}  // namespace quorvex
