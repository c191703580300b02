// The message table: every message word for word in both languages, the
// choice of language from the locale, and the errors that carry messages.
#include "support/messages.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <new>
#include <set>

#include "support/errors.h"

namespace quorvex {
namespace {

struct Case {
    TMessage message;
    const char* english;
    const char* japanese;
};

const std::string kPath = "/data/町丁目.mif";

TMessage At(TMessage where, TMessage m) {
    m.Where.push_back(std::move(where));
    return m;
}

// One case per message, with typical arguments.
const Case kCases[] = {
    {{TMsg::Text, {"as it stands"}}, "as it stands", "as it stands"},
    {{TMsg::AtLine, {kPath, "7", "odd line"}},
     "/data/町丁目.mif:7: odd line",
     "/data/町丁目.mif の 7 行目: odd line"},

    {{TMsg::CannotOpen, {"a.mif"}, ENOENT},
     "cannot open \"a.mif\": No such file or directory",
     "ファイル「a.mif」を開けません（ファイルまたはフォルダーがありません）。"},
    {{TMsg::CannotRead, {"a.mif"}, EIO},
     "cannot read \"a.mif\": Input/output error",
     "ファイル「a.mif」を読み込めません（入出力エラーが発生しました）。"},
    {{TMsg::CannotWrite, {"a.sim"}, ENOSPC},
     "cannot write \"a.sim\": No space left on device",
     "ファイル「a.sim」に書き込めません（ディスクの空き容量が不足しています）。"},
    {{TMsg::CannotCreate, {"a.sim"}, EACCES},
     "cannot create \"a.sim\": Permission denied",
     "ファイル「a.sim」を作成できません（アクセスが拒否されました）。"},
    {{TMsg::CannotReplace, {"a.sim"}, EROFS},
     "cannot replace \"a.sim\": Read-only file system",
     "ファイル「a.sim」を置き換えられません（読み取り専用のファイルシステムです）。"},
    {{TMsg::NamesDevice, {"NUL"}},
     "cannot write \"NUL\": it names a device, not a file",
     "「NUL」はデバイス名なので書き込めません。"},
    {{TMsg::IsAFolder, {"C:\\data"}},
     "cannot write \"C:\\data\": it is a folder",
     "「C:\\data」はフォルダーなので書き込めません。"},
    {{TMsg::ReadOnlyFile, {"a.sim"}},
     "cannot replace \"a.sim\": the file is read-only",
     "ファイル「a.sim」は読み取り専用なので置き換えられません。"},
    {{TMsg::MifNotFound, {kPath}},
     "MIF file not found: /data/町丁目.mif",
     "MIFファイル「/data/町丁目.mif」が見つかりません。"},
    {{TMsg::MidNotFound, {"/data/a.mid"}},
     "MID file not found: /data/a.mid",
     "MIDファイル「/data/a.mid」が見つかりません。"},
    {{TMsg::StoreNotWritable, {"/opt/q/quorvex.INI"}},
     "cannot write /opt/q/quorvex.INI",
     "/opt/q/quorvex.INI に書き込めません"},
    {{TMsg::PathIsFolder, {"/x/a.sim", "write"}},
     "cannot write \"/x/a.sim\": it is a folder, not a file",
     "「/x/a.sim」はフォルダーなので使えません。"},
    {{TMsg::PathIsFifo, {"/x/a.sim", "write"}},
     "cannot write \"/x/a.sim\": it is a FIFO, not a regular file",
     "「/x/a.sim」は名前付きパイプ（FIFO）なので使えません。"},
    {{TMsg::PathIsDevice, {"/dev/null", "open"}},
     "cannot open \"/dev/null\": it is a device, not a regular file",
     "「/dev/null」はデバイスなので使えません。"},
    {{TMsg::PathIsSocket, {"/x/s", "open"}},
     "cannot open \"/x/s\": it is a socket, not a regular file",
     "「/x/s」はソケットなので使えません。"},
    {{TMsg::PathNotRegular, {"/x/s", "open"}},
     "cannot open \"/x/s\": it is not a regular file",
     "「/x/s」は通常のファイルではないので使えません。"},
    {{TMsg::DanglingLink, {"/x/a.sim", "write"}},
     "cannot write \"/x/a.sim\": it is a symbolic link to a file that does not exist",
     "「/x/a.sim」は存在しないファイルを指すシンボリックリンクです。"},
    {{TMsg::NoFolder, {"/x/a.sim", "write"}},
     "cannot write \"/x/a.sim\": its folder does not exist",
     "「/x/a.sim」の保存先フォルダーがありません。"},
    {{TMsg::CannotSyncFolder, {"/x/a.sim"}, EIO},
     "cannot sync the folder of \"/x/a.sim\": Input/output error",
     "「/x/a.sim」のフォルダーの更新をディスクに書き込めません（入出力エラーが発生しました）。"},
    {{TMsg::LineTooLong, {kPath, "3", "16"}},
     "/data/町丁目.mif:3: line longer than 16 MiB",
     "/data/町丁目.mif の 3 行目: 1行が 16 MiB を超えています。"},

    {{TMsg::NotAFloat, {kPath, "12", "1,5"}},
     "/data/町丁目.mif:12: '1,5' is not a valid floating point value",
     "/data/町丁目.mif の 12 行目: '1,5' は正しい浮動小数点値ではありません。"},
    {{TMsg::NotAnInteger, {kPath, "12", "x"}},
     "/data/町丁目.mif:12: 'x' is not a valid integer value",
     "/data/町丁目.mif の 12 行目: 'x' は正しい整数値ではありません。"},
    {{TMsg::NegativeCount, {kPath, "3", "-1"}},
     "/data/町丁目.mif:3: negative count -1",
     "/data/町丁目.mif の 3 行目: 個数が負の値です（-1）。"},
    {{TMsg::NegativeColumnCount, {kPath, "5", "-2"}},
     "/data/町丁目.mif:5: negative column count -2",
     "/data/町丁目.mif の 5 行目: 列数が負の値です（-2）。"},
    {{TMsg::NegativeSectionCount, {kPath, "9", "-2"}},
     "/data/町丁目.mif:9: negative section count -2",
     "/data/町丁目.mif の 9 行目: セクション数が負の値です（-2）。"},
    {{TMsg::CutShort, {kPath, "40"}},
     "/data/町丁目.mif:40: unexpected end of file inside an object",
     "/data/町丁目.mif の 40 行目: オブジェクトの途中でファイルが終わっています。"},
    {{TMsg::TooManyVertices, {kPath, "8"}},
     "/data/町丁目.mif:8: too many vertices",
     "/data/町丁目.mif の 8 行目: 頂点が多すぎます。"},
    {{TMsg::NoVertices, {kPath, "8"}},
     "/data/町丁目.mif:8: object without vertices",
     "/data/町丁目.mif の 8 行目: 頂点のないオブジェクトです。"},
    {{TMsg::ArcAnglesOutOfRange, {kPath, "8"}},
     "/data/町丁目.mif:8: arc angles out of range",
     "/data/町丁目.mif の 8 行目: 円弧の角度が範囲外です。"},
    {{TMsg::NotAMifFile, {kPath, "9"}},
     "/data/町丁目.mif:9: not a MIF file (no Columns line)",
     "/data/町丁目.mif の 9 行目: MIFファイルではありません（Columns 行がありません）。"},
    {{TMsg::ColumnCountPastData, {kPath, "4", "5", "1"}},
     "/data/町丁目.mif:4: column count 5 but 1 column lines before Data",
     "/data/町丁目.mif の 4 行目: 列数は 5 ですが、Data 行の前に列の行が 1 行しかありません。"},
    {{TMsg::NonFiniteVertex, {kPath, "7"}},
     "/data/町丁目.mif:7: a vertex is not a finite number",
     "/data/町丁目.mif の 7 行目: 座標値が有限の数ではありません。"},
    {{TMsg::VertexTooLarge, {kPath, "7"}},
     "/data/町丁目.mif:7: a vertex is too large for a SIMA file",
     "/data/町丁目.mif の 7 行目: 座標値が大きすぎてSIMAファイルに書けません。"},
    {{TMsg::TooManyPoints},
     "too many points for one SIMA file",
     "座標点が多すぎて1つのSIMAファイルに収まりません。"},

    {{TMsg::CharsetNotSupported, {"WindowsKorean"}},
     "the character set \"WindowsKorean\" of the MIF file is not supported; save the table as "
     "WindowsJapanese or UTF-8",
     "MIFファイルの文字コード「WindowsKorean」には対応していません。WindowsJapanese か UTF-8 で"
     "保存し直してください。"},
    {{TMsg::CharsetUnknown, {"Latin9"}},
     "unknown character set \"Latin9\" in the Charset clause of the MIF file",
     "MIFファイルの Charset 句の文字コード「Latin9」は不明です。"},
    {{TMsg::MidRow, {"3"}}, "MID row 3", "MIDファイルの 3 行目"},
    {{TMsg::MidRowColumn, {"3", "2"}}, "MID row 3, column 2", "MIDファイルの 3 行目の 2 列目"},
    {{TMsg::MidRowColumnNamed, {"3", "2", "NAME"}},
     "MID row 3, column 2 \"NAME\"",
     "MIDファイルの 3 行目の 2 列目（NAME）"},
    {At({TMsg::MidRow, {"3"}}, {TMsg::MidBadByte, {"E5", "UTF-8"}}),
     "MID row 3: byte 0xE5 is not valid in the character set \"UTF-8\"",
     "MIDファイルの 3 行目: バイト 0xE5 は文字コード「UTF-8」の文字として正しくありません。"},
    {At({TMsg::MidRowColumnNamed, {"2", "2", "NAME"}},
        {TMsg::MidNoCp932, {"\xC3\xB4", "00F4", "c\xC3\xB4te"}}),
     "MID row 2, column 2 \"NAME\": the character \"\xC3\xB4\" (U+00F4) has no code page 932 "
     "form; the value \"c\xC3\xB4te\" cannot be written",
     "MIDファイルの 2 行目の 2 列目（NAME）: 文字「\xC3\xB4」(U+00F4) は "
     "Shift_JIS（コードページ932）で"
     "表せないため、値「c\xC3\xB4te」を書き込めません。"},
    {{TMsg::OutputIsAnInput},
     "the SIMA file would overwrite an input file",
     "変換後のSIMAファイルが変換元のファイルと同じです。"},
    {{TMsg::MergedOutputIsThisInput},
     "the merged SIMA file would overwrite this input file",
     "統合後のSIMAファイルがこの変換元のファイルと同じです。"},
    {{TMsg::MergedOutputIsAnInput, {"b.mid"}},
     "not overwriting \"b.mid\": it is an input of the run",
     "「b.mid」は変換元のファイルなので上書きしません。"},
    {{TMsg::MergedFileNameEmpty},
     "the combined output file name is empty",
     "統合後のファイル名が不正です。"},
    {{TMsg::AllInputsFailed},
     "every input failed; nothing was written",
     "すべての変換元ファイルの変換に失敗したため、何も書き込みませんでした。"},
    {{TMsg::MergedWithoutOneFailed, {"all.sim"}},
     "ok all.sim (without 1 failed input)",
     "成功 all.sim（失敗した変換元ファイル 1 件を除く）"},
    {{TMsg::MergedWithoutFailed, {"all.sim", "2"}},
     "ok all.sim (without 2 failed inputs)",
     "成功 all.sim（失敗した変換元ファイル 2 件を除く）"},
    {{TMsg::OutOfMemory}, "out of memory", "メモリが不足しています。"},
    {{TMsg::NoDestination},
     "no destination SIMA file given",
     "変換後のSIMAファイル名が指定されていません。"},
    {{TMsg::Unexpected, {"vector::reserve"}},
     "unexpected error: vector::reserve",
     "予期しないエラーが発生しました: vector::reserve"},

    {{TMsg::BatchListMalformed}, "not a valid batch list", "不正なバッチリストです。"},
    {{TMsg::BatchListNotBoolean, {"yes"}},
     "'yes' is not a valid boolean value",
     "'yes' は正しい論理型ではありません"},
    {{TMsg::NotABatchList, {"list.txt", "not a valid batch list"}},
     "cannot load batch list \"list.txt\": not a valid batch list",
     "バッチリスト「list.txt」を読み込めません: not a valid batch list"},
    {{TMsg::BatchListCannotOpen, {"/l.txt"}, ENOENT},
     "cannot open batch list \"/l.txt\": No such file or directory",
     "ファイル \"/l.txt\". ファイルまたはフォルダーがありません は開けません"},
    {{TMsg::BatchListCannotCreate, {"/l.txt"}, EACCES},
     "cannot create batch list \"/l.txt\": Permission denied",
     "ファイル \"/l.txt\". アクセスが拒否されました を作成できません"},

    {{TMsg::UnknownOption, {"--frob"}},
     "unknown option or missing value: --frob",
     "不明なオプションか、オプションの値がありません: --frob"},
    {{TMsg::ModesExclude},
     "--combine, --batch and --columns exclude each other",
     "--combine、--batch、--columns は同時に指定できません。"},
    {{TMsg::NothingToConvert},
     "--no-parcels and --no-routes together leave nothing to convert",
     "--no-parcels と --no-routes を両方指定すると変換対象がありません。"},
    {{TMsg::BatchTakesNoInputs},
     "--batch takes no input files",
     "--batch と一緒に変換元ファイルは指定できません。"},
    {{TMsg::ColumnsTakesOneInput},
     "--columns takes one input file",
     "--columns には変換元ファイルを1つだけ指定してください。"},
    {{TMsg::CombineNeedsInputs},
     "--combine needs at least one input file",
     "--combine には変換元ファイルを1つ以上指定してください。"},
    {{TMsg::ExpectedInputAndOutput},
     "expected INPUT.mif and optionally OUTPUT.sim",
     "変換元の INPUT.mif と、必要なら変換後の OUTPUT.sim を指定してください。"},
    {{TMsg::TryHelp},
     "Try 'quorvex-convert --help'.",
     "使い方は 'quorvex-convert --help' で表示できます。"},
    {{TMsg::GenbaNotCp932},
     "the site name has a character that code page 932 cannot hold",
     "現場名称に Shift_JIS（コードページ932）で表せない文字が含まれています。"},
    {{TMsg::NoSuchColumn, {"NOPE"}}, "no column named 'NOPE'", "'NOPE' という属性名はありません。"},
    {{TMsg::JobOk, {"a.sim"}}, "ok a.sim", "成功 a.sim"},
    {{TMsg::JobFailed, {"a.sim", "why"}}, "failed a.sim: why", "失敗 a.sim: why"},

    {{TMsg::Counts, {"1,234", "56", "4,567"}},
     "parcels 1,234, routes 56, points 4,567",
     "画地 1,234、路線 56、座標 4,567"},
    {{TMsg::Skipped, {"3", "2"}},
     " (not converted: point objects 3, text objects 2)",
     "（対象外: ポイント 3、テキスト 2）"},

    {{TMsg::ReasonNoEntry}, "No such file or directory", "ファイルまたはフォルダーがありません"},
    {{TMsg::ReasonAccess}, "Permission denied", "アクセスが拒否されました"},
    {{TMsg::ReasonPermission}, "Operation not permitted", "この操作は許可されていません"},
    {{TMsg::ReasonNoSpace}, "No space left on device", "ディスクの空き容量が不足しています"},
    {{TMsg::ReasonQuota}, "Disk quota exceeded", "ディスクの使用量が上限を超えました"},
    {{TMsg::ReasonReadOnly}, "Read-only file system", "読み取り専用のファイルシステムです"},
    {{TMsg::ReasonIsFolder}, "Is a directory", "フォルダーです"},
    {{TMsg::ReasonNotFolder}, "Not a directory", "パスの途中にフォルダーでないものがあります"},
    {{TMsg::ReasonIo}, "Input/output error", "入出力エラーが発生しました"},
    {{TMsg::ReasonNameTooLong}, "File name too long", "ファイル名が長すぎます"},
    {{TMsg::ReasonTooManyOpen}, "Too many open files", "開いているファイルが多すぎます"},
    {{TMsg::ReasonTooLarge}, "File too large", "ファイルが大きすぎます"},
    {{TMsg::ReasonExists}, "File exists", "ファイルが既に存在します"},
    {{TMsg::ReasonLoop},
     "Too many levels of symbolic links",
     "シンボリックリンクの階層が深すぎます"},
    {{TMsg::ReasonBusy}, "Device or resource busy", "ファイルが使用中です"},
    {{TMsg::ReasonInvalid}, "Invalid argument", "引数が正しくありません"},
    {{TMsg::ReasonOther, {"Exec format error", "8"}},
     "Exec format error",
     "システムエラー（エラー番号 8）"},
};

TEST(Messages, EveryMessageInBothLanguagesWordForWord) {
    std::set<TMsg> seen;
    for (const Case& c : kCases) {
        seen.insert(c.message.Id);
        EXPECT_EQ(c.message.Text(TLanguage::English), c.english);
        EXPECT_EQ(c.message.Text(TLanguage::Japanese), c.japanese);
    }
    // A message added to the table is added here too.
    EXPECT_EQ(seen.size(), static_cast<size_t>(TMsg::Count_));
}

TEST(Messages, PlaceholdersAreFilledOnceAndMissingArgumentsLeaveNothing) {
    // Braces in an argument are not read as placeholders.
    EXPECT_EQ(TMessage(TMsg::JobFailed, {"{2}.sim", "{r}"}).Text(TLanguage::English),
              "failed {2}.sim: {r}");
    EXPECT_EQ(TMessage(TMsg::JobFailed).Text(TLanguage::English), "failed : ");
    // A reason the table does not know keeps the system's text in English
    // and its number in Japanese.
    const TMessage odd(TMsg::CannotOpen, {"a"}, ENOEXEC);
    EXPECT_EQ(odd.Text(TLanguage::English),
              std::string("cannot open \"a\": ") + std::strerror(ENOEXEC));
    EXPECT_EQ(odd.Text(TLanguage::Japanese),
              "ファイル「a」を開けません（システムエラー（エラー番号 " + std::to_string(ENOEXEC) +
                  "））。");
}

TEST(Messages, LanguageFollowsTheFirstLocaleVariableSet) {
    const TLanguage en = TLanguage::English, ja = TLanguage::Japanese;
    EXPECT_EQ(LanguageOfLocale(nullptr, nullptr, nullptr), en);
    EXPECT_EQ(LanguageOfLocale(nullptr, nullptr, "ja_JP.UTF-8"), ja);
    EXPECT_EQ(LanguageOfLocale(nullptr, nullptr, "ja"), ja);
    EXPECT_EQ(LanguageOfLocale(nullptr, nullptr, "en_US.UTF-8"), en);
    EXPECT_EQ(LanguageOfLocale(nullptr, "ja_JP.eucJP", "C"), ja);
    EXPECT_EQ(LanguageOfLocale("C", "ja_JP.UTF-8", "ja_JP.UTF-8"), en);
    EXPECT_EQ(LanguageOfLocale("ja_JP.UTF-8", "C", "C"), ja);
    // An empty variable counts as unset.
    EXPECT_EQ(LanguageOfLocale("", "", "ja_JP.UTF-8"), ja);
    EXPECT_EQ(LanguageOfLocale("", "C.UTF-8", "ja_JP.UTF-8"), en);
    EXPECT_EQ(LanguageOfLocale(nullptr, nullptr, "j"), en);
}

TEST(Messages, DigitsAreGroupedByThree) {
    EXPECT_EQ(GroupDigits(0), "0");
    EXPECT_EQ(GroupDigits(999), "999");
    EXPECT_EQ(GroupDigits(1000), "1,000");
    EXPECT_EQ(GroupDigits(4567), "4,567");
    EXPECT_EQ(GroupDigits(1234567), "1,234,567");
    EXPECT_EQ(GroupDigits(-1234), "-1,234");
    EXPECT_EQ(GroupDigits(INT64_MIN), "-9,223,372,036,854,775,808");
}

TEST(Messages, ErrorsCarryTheirMessage) {
    try {
        ThrowFileError("create", "/x/a.sim", EACCES);
        FAIL();
    } catch (const FileError& e) {
        EXPECT_STREQ(e.what(), "cannot create \"/x/a.sim\": Permission denied");
        EXPECT_EQ(e.path, "/x/a.sim");
        EXPECT_EQ(e.message.SysError, EACCES);
        EXPECT_EQ(MessageOf(e).Text(TLanguage::Japanese),
                  "ファイル「/x/a.sim」を作成できません（アクセスが拒否されました）。");
    }
    EXPECT_EQ(MessageOf(std::bad_alloc()).Id, TMsg::OutOfMemory);
    EXPECT_EQ(MessageOf(std::runtime_error("boom")).Text(TLanguage::Japanese),
              "予期しないエラーが発生しました: boom");
    EXPECT_STREQ(ConversionError("own text").what(), "own text");
}

}  // namespace
}  // namespace quorvex
