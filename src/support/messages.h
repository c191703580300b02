// Every message that reaches the user from the engine and the command line,
// in Japanese and in English. A message travels as an identifier with its
// arguments and becomes text only where it is shown, in the language of the
// one who reads it: the window always in Japanese, the command line in the
// language of the user's locale.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
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
    MifIsFolder,
    MifLinkLoop,
    MidIsFolder,
    MidLinkLoop,
    StdoutClosed,
    StdoutWriteFailed,
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
    KeywordBeforeTab,
    ColumnCountPastData,
    NonFiniteVertex,
    VertexTooLarge,
    TooManyPoints,

    // The content of a SIMA file read back
    SimaFieldsMissing,
    SimaUnknownPoint,
    SimaDuplicatePoint,
    SimaNoTail,
    SimaOutsideBlock,
    SimaTooLarge,

    // Character sets of MIF and MID files
    CharsetNotSupported,
    CharsetUnknown,
    MidRow,
    MidRowColumn,
    MidRowColumnNamed,
    MidBadByte,
    MidNoCp932,
    MidNotCp932,  // {1} the byte in hex
    MidLooksUtf8,
    MidValueLineBreak,
    MidRowCount,  // {1} objects of the MIF file, {2} rows of the MID file

    // Runs
    OutputIsAnInput,
    MergedOutputIsThisInput,
    MergedOutputIsAnInput,
    MergedFileNameEmpty,
    AllInputsFailed,
    MergedWithoutOneFailed,
    MergedWithoutFailed,
    BatchRowsNotRun,  // after a run's summary: {1} rows it did not reach
    OutOfMemory,
    NoDestination,
    Unexpected,
    AttrOutOfRange,
    AttrNoColumns,

    // Batch-list files
    BatchListMalformed,
    BatchListNotBoolean,
    NotABatchList,
    BatchListCannotOpen,
    BatchListCannotCreate,
    BatchListNotUtf8,        // {1} the line
    BatchListNotCp932,       // {1} the line
    BatchListBadZone,        // {1} the line, {2} the field
    BatchListZoneInOldList,  // {1} the line, {2} the field

    // Batch rows refused before the run converts anything
    BatchRowNoTarget,
    BatchRowBadGenba,
    BatchRowIsAnInput,
    BatchRowSameDestination,
    BatchRowToStdout,
    BatchRowNoDestination,

    // The command line
    UnknownOption,
    ModesExclude,
    NothingToConvert,
    BatchTakesNoInputs,
    BatchTakesNoJobOptions,
    ColumnsTakesOneInput,
    InfoTakesOneInput,
    JsonNeedsInfo,
    SvgTakesOneInput,
    CombineNeedsInputs,
    ExpectedInputAndOutput,
    OutputEmpty,
    TryHelp,
    GenbaNotCp932,
    GenbaControl,
    AttrNotAPosition,
    NoSuchColumn,
    JobOk,
    JobFailed,
    JobWarning,  // {1} the input file, {2} the warning

    // What a conversion wrote
    Counts,
    Skipped,

    // Coordinate systems: what a table's coordinates are, and why they may
    // not be what a SIMA file expects
    CsNone,
    CsUnknown,
    CsNonEarth,            // {1} the unit
    CsGeographic,          // {1} the datum
    CsPlaneRectangular,    // {1} the zone in Roman numerals, {2} the datum, {3} the unit
    CsUtm,                 // {1} the zone, {2} the datum, {3} the unit
    CsUtmSouth,            // the same south of the equator
    CsTransverseMercator,  // {1} meridian, {2} latitude, {3} scale, {4} datum, {5} unit
    CsProjection,          // {1} the projection number, {2} the datum, {3} the unit
    CsWithAffine,          // {1} the description
    CsWithTransform,       // {1} the description
    CsDatum,               // {1} the datum number
    CsDatumTokyo,
    CsDatumCustom,        // {1} the ellipsoid's name
    CsDatumCustomNumber,  // {1} the ellipsoid's number
    CsWarnUnknown,
    CsWarnDegrees,
    CsWarnProjection,  // {1} the projection number
    CsWarnUnit,        // {1} the unit
    CsWarnAffine,
    CsWarnTransform,
    CsWarnNoClauseLonLat,

    // Projecting to a plane rectangular zone
    ZoneNumber,         // {1} the number as given
    ZoneNoClause,       // {1} the zone in Roman numerals
    ZoneNonEarth,       // {1} the zone
    ZoneUnreadable,     // {1} the zone
    ZoneProjection,     // {1} the zone, {2} the projection number
    ZoneAffine,         // {1} the zone
    ZoneTransform,      // {1} the zone
    ZoneDatum,          // {1} the zone, {2} the datum number
    ZoneParameters,     // {1} the zone
    ZoneTooFar,         // {1} file, {2} line, {3} the zone
    MergedZonesDiffer,  // {1}, {2} the first two zones, "0" for none

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

// Whether the message is about a line of a file: {1} the path, {2} the line.
bool IsAboutALine(TMsg id);

// The language of messages for this user: Japanese when the locale's
// messages are Japanese (LC_ALL, else LC_MESSAGES, else LANG, the first one
// set, beginning with "ja"; on Windows, where none is set, the user's display
// language).
TLanguage UserLanguage();
// The rule above for given values of LC_ALL, LC_MESSAGES and LANG (null or
// empty when unset).
TLanguage LanguageOfLocale(const char* lcAll, const char* lcMessages, const char* lang);

// Texts quoted in messages, so that no name or value can break a line,
// forge one or send the terminal a command: control characters (codes 0-31,
// 127 and the C1 controls) become \xNN. A value is cut after 80 bytes, at a
// character boundary, with "…"; a path longer than 80 bytes loses the middle
// of its folders, never its file name. A report line's path stays whole, as
// scripts read it. Text() applies these to the arguments of each message.
std::string QuoteValue(std::string_view value);
std::string QuotePath(std::string_view path);
std::string EscapeControls(std::string_view text);

// Decimal with a comma between groups of three digits: 1,234,567.
std::string GroupDigits(int64_t n);

}  // namespace quorvex
