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
    {{TMsg::MifIsFolder, {"/data/a.mif"}},
     "the MIF file \"/data/a.mif\" is a folder, not a file",
     "MIFファイル「/data/a.mif」はファイルではなくフォルダーです。"},
    {{TMsg::MifLinkLoop, {"/data/a.mif"}},
     "the MIF file \"/data/a.mif\" is a symbolic link that leads round in a loop",
     "MIFファイル「/data/a.mif」はシンボリックリンクが循環していて、ファイルにたどり着けません。"},
    {{TMsg::MidIsFolder, {"/data/a.mid"}},
     "the MID file \"/data/a.mid\" is a folder, not a file",
     "MIDファイル「/data/a.mid」はファイルではなくフォルダーです。"},
    {{TMsg::MidLinkLoop, {"/data/a.mid"}},
     "the MID file \"/data/a.mid\" is a symbolic link that leads round in a loop",
     "MIDファイル「/data/a.mid」はシンボリックリンクが循環していて、ファイルにたどり着けません。"},
    {{TMsg::StdoutClosed}, "standard output is closed", "標準出力が閉じられています。"},
    {{TMsg::StdoutWriteFailed, {}, ENOSPC},
     "cannot write to standard output: No space left on device",
     "標準出力に書き込めません（ディスクの空き容量が不足しています）。"},
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
    {{TMsg::KeywordBeforeTab, {kPath, "5", "Region"}},
     "/data/町丁目.mif:5: a tab follows the keyword Region; the fields of an object line are "
     "separated by blanks",
     "/data/町丁目.mif の 5 行目: キーワード Region の後がタブです。オブジェクトの行の項目は空白で"
     "区切ります。"},
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

    {{TMsg::SimaFieldsMissing, {"a.sim", "3", "A01"}},
     "a.sim:3: the A01 line has too few fields",
     "a.sim の 3 行目: A01 の行の項目が足りません。"},
    {{TMsg::SimaUnknownPoint, {"a.sim", "9", "12"}},
     "a.sim:9: point 12 does not exist",
     "a.sim の 9 行目: 座標点 12 がありません。"},
    {{TMsg::SimaDuplicatePoint, {"a.sim", "7", "3"}},
     "a.sim:7: point 3 is defined twice",
     "a.sim の 7 行目: 座標点 3 が二度定義されています。"},
    {{TMsg::SimaNoTail, {"a.sim", "20", "12"}},
     "a.sim:20: the block opened at line 12 has no end line",
     "a.sim の 20 行目: 12 行目で始まるブロックに終わりの行がありません。"},
    {{TMsg::SimaOutsideBlock, {"a.sim", "5", "B01"}},
     "a.sim:5: a B01 line outside a parcel or route block",
     "a.sim の 5 行目: 画地・路線のブロックの外に B01 の行があります。"},
    {{TMsg::SimaTooLarge, {"a.sim", "5"}},
     "a.sim:5: too many points or vertices",
     "a.sim の 5 行目: 座標点または頂点が多すぎます。"},
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
    {At({TMsg::MidRowColumn, {"4", "2"}}, {TMsg::MidNotCp932, {"E5"}}),
     "MID row 4, column 2: byte 0xE5 is not valid code page 932 (Shift_JIS)",
     "MIDファイルの 4 行目の 2 列目: バイト 0xE5 は Shift_JIS（コードページ932）の文字として"
     "正しくありません。"},
    {At({TMsg::MidRowColumn, {"4", "2"}}, {TMsg::MidLooksUtf8}),
     "MID row 4, column 2: the row is not code page 932 (Shift_JIS) but valid UTF-8; the table "
     "looks like UTF-8: declare it with the clause Charset \"UTF-8\" in the MIF header",
     "MIDファイルの 4 行目の 2 列目: Shift_JIS（コードページ932）として正しくない行ですが、UTF-8 "
     "としては正しく読めます。表は UTF-8 のようです。MIFファイルのヘッダーに Charset \"UTF-8\" "
     "と指定してください。"},
    {At({TMsg::MidRow, {"7"}}, {TMsg::MidValueLineBreak}),
     "MID row 7: the value holds a line break, which a SIMA line cannot hold",
     "MIDファイルの 7 行目: 値に改行が含まれているため、SIMAファイルに書き込めません。"},
    {{TMsg::MidRowCount, {"3", "2"}},
     "the MID file does not hold one row per object (MIF objects: 3, MID rows: 2)",
     "MIFのオブジェクト 3 件に対し、MIDの行が 2 行です。"},
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
    {{TMsg::BatchRowsNotRun, {"14"}}, ", 14 not run", "、14 件未実行"},
    {{TMsg::OutOfMemory}, "out of memory", "メモリが不足しています。"},
    {{TMsg::NoDestination},
     "no destination SIMA file given",
     "変換後のSIMAファイル名が指定されていません。"},
    {{TMsg::Unexpected, {"vector::reserve"}},
     "unexpected error: vector::reserve",
     "予期しないエラーが発生しました: vector::reserve"},
    {{TMsg::AttrOutOfRange, {"3", "2", "1 ID, 2 地番"}},
     "attribute column 3 is out of range: the table has columns 1 to 2 (1 ID, 2 地番)",
     "属性列の位置 3 は範囲外です。この表の列は 1 ～ 2 です（1 ID, 2 地番）。"},
    {{TMsg::AttrNoColumns, {"1"}},
     "attribute column 1 is out of range: the table has no columns",
     "属性列の位置 1 は範囲外です。この表には列がありません。"},

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
    {{TMsg::BatchListNotUtf8, {"7"}},
     "line 7 is not valid UTF-8",
     "7 行目が正しい UTF-8 ではありません。"},
    {{TMsg::BatchListNotCp932, {"7"}},
     "line 7 has a character that code page 932 cannot hold",
     "7 行目に Shift_JIS（コードページ932）で表せない文字が含まれています。"},
    {{TMsg::BatchListBadZone, {"6", "IX"}},
     "line 6: the plane rectangular zone 'IX' is not one of 1 to 19 (empty for none)",
     "6 行目: 平面直角座標系 'IX' は正しくありません（1～19、指定なしは空欄）。"},
    {{TMsg::BatchListZoneInOldList, {"8", "9"}},
     "line 8 holds plane rectangular zone '9', but the list's second line is 200, a list without "
     "zones; a list with zones has 201 there",
     "8 行目に平面直角座標系 '9' がありますが、2 行目が 200（座標系のないリスト）です。"
     "座標系のあるリストの 2 行目は 201 です。"},

    {{TMsg::BatchRowNoTarget},
     "neither parcels nor routes are to be converted",
     "変換対象は最低1つは必要です。"},
    {{TMsg::BatchRowBadGenba},
     "the site name has a control character",
     "現場名称に使用できない文字が含まれています。"},
    {{TMsg::BatchRowIsAnInput, {"b.mid"}},
     "not overwriting \"b.mid\": it is an input of the batch run",
     "「b.mid」はバッチの変換元のファイルなので上書きしません。"},
    {{TMsg::BatchRowSameDestination, {"a.sim"}},
     "\"a.sim\" is the SIMA file of an earlier row too",
     "「a.sim」は前の行の変換後のファイルと同じです。"},
    {{TMsg::BatchRowToStdout},
     "'-' (standard output) cannot be a SIMA file of a batch list",
     "バッチリストの変換後のファイルに「-」（標準出力）は指定できません。"},
    {{TMsg::BatchRowNoDestination, {"a.mif"}},
     "no destination SIMA file given for \"a.mif\"",
     "「a.mif」の変換後のSIMAファイル名が指定されていません。"},

    {{TMsg::UnknownOption, {"--frob"}},
     "unknown option or missing value: --frob",
     "不明なオプションか、オプションの値がありません: --frob"},
    {{TMsg::ModesExclude},
     "--combine, --batch, --columns, --info and --svg exclude each other",
     "--combine、--batch、--columns、--info、--svg は同時に指定できません。"},
    {{TMsg::NothingToConvert},
     "--no-parcels and --no-routes together leave nothing to convert",
     "--no-parcels と --no-routes を両方指定すると変換対象がありません。"},
    {{TMsg::BatchTakesNoInputs},
     "--batch takes no input files",
     "--batch と一緒に変換元ファイルは指定できません。"},
    {{TMsg::BatchTakesNoJobOptions, {"--attr"}},
     "--batch takes its settings from the list; --attr cannot be given with it",
     "--batch の設定はバッチリストから読み込むため、--attr は指定できません。"},
    {{TMsg::ColumnsTakesOneInput},
     "--columns takes one input file",
     "--columns には変換元ファイルを1つだけ指定してください。"},
    {{TMsg::InfoTakesOneInput},
     "--info takes one input file",
     "--info には MIF ファイルを1つだけ指定してください。"},
    {{TMsg::JsonNeedsInfo},
     "--json goes with --info",
     "--json は --info と一緒に指定してください。"},
    {{TMsg::SvgTakesOneInput},
     "--svg takes one input file, a MIF or a SIMA file",
     "--svg には変換元ファイル（MIFまたはSIMAファイル）を1つだけ指定してください。"},
    {{TMsg::CombineNeedsInputs},
     "--combine needs at least one input file",
     "--combine には変換元ファイルを1つ以上指定してください。"},
    {{TMsg::ExpectedInputAndOutput},
     "expected INPUT.mif and optionally OUTPUT.sim",
     "変換元の INPUT.mif と、必要なら変換後の OUTPUT.sim を指定してください。"},
    {{TMsg::OutputEmpty}, "the output file name is empty", "変換後のファイル名が空です。"},
    {{TMsg::TryHelp},
     "Try 'quorvex-convert --help'.",
     "使い方は 'quorvex-convert --help' で表示できます。"},
    {{TMsg::GenbaNotCp932},
     "the site name has a character that code page 932 cannot hold",
     "現場名称に Shift_JIS（コードページ932）で表せない文字が含まれています。"},
    {{TMsg::GenbaControl},
     "the site name has a control character, which a SIMA line cannot hold",
     "現場名称に使用できない文字（制御文字）が含まれています。"},
    {{TMsg::AttrNotAPosition, {"-5"}},
     "--attr -5: not a column position (1 = first column; 0 or -1: none)",
     "--attr -5: 属性列の位置として正しくありません（1 が最初の列、0 または -1 は属性なし）。"},
    {{TMsg::NoSuchColumn, {"NOPE"}}, "no column named 'NOPE'", "'NOPE' という属性名はありません。"},
    {{TMsg::JobOk, {"a.sim"}}, "ok a.sim", "成功 a.sim"},
    {{TMsg::JobFailed, {"a.sim", "why"}}, "failed a.sim: why", "失敗 a.sim: why"},
    {{TMsg::JobWarning, {"a.mif", "why"}}, "warning a.mif: why", "警告 a.mif: why"},

    {{TMsg::Counts, {"1,234", "56", "4,567"}},
     "parcels 1,234, routes 56, points 4,567",
     "画地 1,234、路線 56、座標 4,567"},
    {{TMsg::Skipped, {"3", "2"}},
     " (not converted: point objects 3, text objects 2)",
     "（対象外: ポイント 3、テキスト 2）"},

    {{TMsg::CsNone}, "no coordinate system", "座標系の指定なし"},
    {{TMsg::CsUnknown}, "unreadable coordinate system", "解釈できない座標系"},
    {{TMsg::CsNonEarth, {"km"}}, "non-earth (km)", "非地球座標（km）"},
    {{TMsg::CsGeographic, {"JGD2000"}},
     "longitude/latitude (degrees, JGD2000)",
     "経緯度（度、JGD2000）"},
    {{TMsg::CsPlaneRectangular, {"IX", "JGD2000", "m"}},
     "Japan plane rectangular zone IX (JGD2000, m)",
     "平面直角座標系 第IX系（JGD2000、m）"},
    {{TMsg::CsUtm, {"54", "WGS 84", "m"}},
     "transverse Mercator (UTM zone 54, WGS 84, m)",
     "横メルカトル（UTM 第54帯、WGS 84、m）"},
    {{TMsg::CsUtmSouth, {"54", "WGS 84", "m"}},
     "transverse Mercator (UTM zone 54 south, WGS 84, m)",
     "横メルカトル（UTM 第54帯 南半球、WGS 84、m）"},
    {{TMsg::CsTransverseMercator, {"-2", "49", "0.9996012717", "OSGB 1936", "m"}},
     "transverse Mercator (central meridian -2, origin latitude 49, scale 0.9996012717, OSGB "
     "1936, m)",
     "横メルカトル（中央子午線 -2°、原点緯度 49°、縮尺係数 0.9996012717、OSGB 1936、m）"},
    {{TMsg::CsProjection, {"3", "GDA94", "m"}}, "projection 3 (GDA94, m)", "投影法 3（GDA94、m）"},
    {{TMsg::CsWithAffine, {"non-earth (m)"}},
     "non-earth (m) with an affine transformation",
     "non-earth (m)＋アフィン変換"},
    {{TMsg::CsWithTransform, {"non-earth (m)"}},
     "non-earth (m) with a Transform clause",
     "non-earth (m)＋Transform 句"},
    {{TMsg::CsDatum, {"164"}}, "datum 164", "測地系 164"},
    {{TMsg::CsDatumTokyo}, "Tokyo", "旧日本測地系"},
    {{TMsg::CsDatumCustom, {"GRS 80"}}, "custom datum on GRS 80", "GRS 80 楕円体の独自測地系"},
    {{TMsg::CsDatumCustomNumber, {"77"}}, "custom datum on ellipsoid 77", "楕円体 77 の独自測地系"},
    {{TMsg::CsWarnUnknown},
     "the CoordSys clause cannot be read; the coordinates were written as they stand",
     "CoordSys 句を解釈できません。座標は読み込んだまま書き出しました。"},
    {{TMsg::CsWarnDegrees},
     "the coordinates are longitude and latitude in degrees, written as they stand, not plane "
     "rectangular metres",
     "座標は経緯度（度）です。平面直角座標（m）に変換せず、そのまま書き出しました。"},
    {{TMsg::CsWarnProjection, {"3"}},
     "the coordinates are in projection 3, not transverse Mercator; written as they stand",
     "座標は投影法 3 で、横メルカトル（平面直角座標系）ではありません。そのまま書き出しました。"},
    {{TMsg::CsWarnUnit, {"km"}},
     "the coordinates are in \"km\", not metres; written as they stand",
     "座標の単位は「km」で、メートルではありません。そのまま書き出しました。"},
    {{TMsg::CsWarnAffine},
     "the CoordSys clause has an affine transformation, which was not applied",
     "CoordSys 句にアフィン変換がありますが、適用せずに書き出しました。"},
    {{TMsg::CsWarnTransform},
     "the table has a Transform clause, which was not applied",
     "Transform 句がありますが、適用せずに書き出しました。"},
    {{TMsg::CsWarnNoClauseLonLat},
     "no CoordSys clause and every coordinate lies within +-180/+-90: probably longitude and "
     "latitude in degrees, written as they stand",
     "CoordSys 句がなく、すべての座標が ±180／±90 の範囲内です。経緯度（度）のまま書き出した"
     "おそれがあります。"},
    {{TMsg::ZoneNumber, {"15x"}},
     "there is no plane rectangular zone 15x (the zones are 1 to 19)",
     "平面直角座標系 15x はありません（1～19 を指定してください）。"},
    {{TMsg::ZoneNoClause, {"IX"}},
     "cannot project to plane rectangular zone IX: the table has no CoordSys clause, so what its "
     "coordinates are is not known",
     "平面直角座標系 第IX系に変換できません。CoordSys 句がないため、座標の種類が分かりません。"},
    {{TMsg::ZoneNonEarth, {"IX"}},
     "cannot project to plane rectangular zone IX: the table's coordinates are non-earth",
     "平面直角座標系 第IX系に変換できません。座標は非地球座標です。"},
    {{TMsg::ZoneUnreadable, {"IX"}},
     "cannot project to plane rectangular zone IX: the CoordSys clause cannot be read",
     "平面直角座標系 第IX系に変換できません。CoordSys 句を解釈できません。"},
    {{TMsg::ZoneProjection, {"IX", "3"}},
     "cannot project to plane rectangular zone IX: projection 3 is neither longitude/latitude (1) "
     "nor transverse Mercator (8)",
     "平面直角座標系 第IX系に変換できません。投影法 3 "
     "は経緯度（1）でも横メルカトル（8）でもありません。"},
    {{TMsg::ZoneAffine, {"IX"}},
     "cannot project to plane rectangular zone IX: the CoordSys clause has an affine "
     "transformation",
     "平面直角座標系 第IX系に変換できません。CoordSys 句にアフィン変換があります。"},
    {{TMsg::ZoneTransform, {"IX"}},
     "cannot project to plane rectangular zone IX: the table has a Transform clause",
     "平面直角座標系 第IX系に変換できません。Transform 句があります。"},
    {{TMsg::ZoneDatum, {"IX", "42"}},
     "cannot project to plane rectangular zone IX: the ellipsoid of datum 42 is not known",
     "平面直角座標系 第IX系に変換できません。測地系 42 の楕円体が分かりません。"},
    {{TMsg::ZoneParameters, {"IX"}},
     "cannot project to plane rectangular zone IX: the table's transverse Mercator parameters or "
     "unit cannot be used",
     "平面直角座標系 第IX系に変換できません。表の横メルカトルのパラメーター"
     "または単位が使用できません。"},
    {{TMsg::ZoneTooFar, {"a.mif", "12", "IX"}},
     "a.mif:12: a point lies more than 10 degrees of longitude from the central meridian of plane "
     "rectangular zone IX or of the table's projection, and cannot be projected",
     "a.mif の 12 行目: 平面直角座標系 第IX系（または表の投影法）の中央子午線から"
     "経度で 10° を超えて離れた点があり、変換できません。"},
    {{TMsg::MergedZonesDiffer, {"IX", "0"}},
     "the rows of a merged run have different plane rectangular zones (IX and 0; 0 is none), and "
     "one file holds one zone",
     "統合する行の平面直角座標系が異なります（IX と 0、0 は変換なし）。一つのファイルには"
     "一つの系しか使えません。"},

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

// Values are cut at 80 bytes on a character boundary, paths lose the middle
// of their folders, report lines keep their path whole; control characters
// are escaped in all three, so no name can forge a line or reach the terminal.
TEST(Messages, QuotedTextsAreEscapedAndBounded) {
    const std::string kanji = "地";  // 3 bytes
    std::string value;
    for (int i = 0; i < 40; ++i)
        value += kanji;  // 120 bytes
    const std::string cut = TMessage(TMsg::NoSuchColumn, {value}).Text(TLanguage::English);
    std::string expected;
    for (int i = 0; i < 26; ++i)
        expected += kanji;  // 78 bytes: the 27th would pass 80
    EXPECT_EQ(cut, "no column named '" + expected + "…'");
    EXPECT_EQ(QuoteValue(std::string(80, 'a')), std::string(80, 'a'));
    EXPECT_EQ(QuoteValue(std::string(81, 'a')), std::string(80, 'a') + "…");
    // An escape counts with the bytes it takes to show.
    EXPECT_EQ(QuoteValue(std::string(30, '\x1b')).size(), 20 * 4 + std::string("…").size());
    EXPECT_EQ(QuoteValue("a\nb\x1b[31mc\x7f\xC2\x9B"), "a\\x0Ab\\x1B[31mc\\x7F\\xC2\\x9B");
    // Bytes that are not UTF-8 pass as they are, one by one.
    EXPECT_EQ(QuoteValue("\x92\x6E"), "\x92\x6E");

    const std::string folders = "/home/" + std::string(100, 'f') + "/";
    const std::string path = folders + "町丁目.mif";
    const std::string shown = TMessage(TMsg::MifNotFound, {path}).Text(TLanguage::English);
    EXPECT_LE(shown.size(), std::string("MIF file not found: ").size() + 80 + 3);
    EXPECT_EQ(shown.rfind("MIF file not found: /home/", 0), 0u) << shown;
    EXPECT_NE(shown.find("…"), std::string::npos) << shown;
    EXPECT_EQ(shown.substr(shown.size() - 14), "/町丁目.mif");
    // A file name longer than the limit stays whole.
    const std::string longName = std::string(100, 'n') + ".mif";
    EXPECT_EQ(QuotePath(folders + longName), "…/" + longName);
    EXPECT_EQ(QuotePath("/a/b\nc.mif"), "/a/b\\x0Ac.mif");
    EXPECT_EQ(QuotePath("short.mif"), "short.mif");

    // The ok and failed lines keep the whole path, escaped.
    const std::string forged = path + "\nok /etc/passwd";
    EXPECT_EQ(TMessage(TMsg::JobOk, {forged}).Text(TLanguage::English),
              "ok " + path + "\\x0Aok /etc/passwd");
    EXPECT_EQ(TMessage(TMsg::JobFailed, {path, "why\n"}).Text(TLanguage::Japanese),
              "失敗 " + path + ": why\n");
    // A value code page 932 cannot hold, inside a row's message.
    TMessage noCp932(TMsg::MidNoCp932, {"\xC3\xA9", "00E9", std::string(200, 'x') + "\xC3\xA9"});
    noCp932.Where.push_back({TMsg::MidRow, {"1"}});
    EXPECT_EQ(
        noCp932.Text(TLanguage::English),
        "MID row 1: the character \"\xC3\xA9\" (U+00E9) has no code page 932 form; the value \"" +
            std::string(80, 'x') + "…\" cannot be written");
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
