#include "support/messages.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string_view>
#include <vector>

#include "support/paths.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace quorvex {
namespace {

struct TEntry {
    TMsg Id;
    const char* English;
    const char* Japanese;
};

// Japanese texts end as sentences, with "。"; English ones are terse, in the
// manner of command-line tools. The batch-list texts, the placement store's
// and the merged file name's are the window's own wording.
constexpr TEntry kTable[] = {
    {TMsg::Text, "{1}", "{1}"},
    {TMsg::AtLine, "{1}:{2}: {3}", "{1} の {2} 行目: {3}"},

    {TMsg::CannotOpen, "cannot open \"{1}\": {r}", "ファイル「{1}」を開けません（{r}）。"},
    {TMsg::CannotRead, "cannot read \"{1}\": {r}", "ファイル「{1}」を読み込めません（{r}）。"},
    {TMsg::CannotWrite, "cannot write \"{1}\": {r}", "ファイル「{1}」に書き込めません（{r}）。"},
    {TMsg::CannotCreate, "cannot create \"{1}\": {r}", "ファイル「{1}」を作成できません（{r}）。"},
    {TMsg::CannotReplace, "cannot replace \"{1}\": {r}",
     "ファイル「{1}」を置き換えられません（{r}）。"},
    {TMsg::NamesDevice, "cannot write \"{1}\": it names a device, not a file",
     "「{1}」はデバイス名なので書き込めません。"},
    {TMsg::IsAFolder, "cannot write \"{1}\": it is a folder",
     "「{1}」はフォルダーなので書き込めません。"},
    {TMsg::ReadOnlyFile, "cannot replace \"{1}\": the file is read-only",
     "ファイル「{1}」は読み取り専用なので置き換えられません。"},
    {TMsg::MifNotFound, "MIF file not found: {1}", "MIFファイル「{1}」が見つかりません。"},
    {TMsg::MidNotFound, "MID file not found: {1}", "MIDファイル「{1}」が見つかりません。"},
    {TMsg::MifIsFolder, "the MIF file \"{1}\" is a folder, not a file",
     "MIFファイル「{1}」はファイルではなくフォルダーです。"},
    {TMsg::MifLinkLoop, "the MIF file \"{1}\" is a symbolic link that leads round in a loop",
     "MIFファイル「{1}」はシンボリックリンクが循環していて、ファイルにたどり着けません。"},
    {TMsg::MidIsFolder, "the MID file \"{1}\" is a folder, not a file",
     "MIDファイル「{1}」はファイルではなくフォルダーです。"},
    {TMsg::MidLinkLoop, "the MID file \"{1}\" is a symbolic link that leads round in a loop",
     "MIDファイル「{1}」はシンボリックリンクが循環していて、ファイルにたどり着けません。"},
    {TMsg::StdoutClosed, "standard output is closed", "標準出力が閉じられています。"},
    {TMsg::StdoutWriteFailed, "cannot write to standard output: {r}",
     "標準出力に書き込めません（{r}）。"},
    {TMsg::StoreNotWritable, "cannot write {1}", "{1} に書き込めません"},
    {TMsg::PathIsFolder, "cannot {2} \"{1}\": it is a folder, not a file",
     "「{1}」はフォルダーなので使えません。"},
    {TMsg::PathIsFifo, "cannot {2} \"{1}\": it is a FIFO, not a regular file",
     "「{1}」は名前付きパイプ（FIFO）なので使えません。"},
    {TMsg::PathIsDevice, "cannot {2} \"{1}\": it is a device, not a regular file",
     "「{1}」はデバイスなので使えません。"},
    {TMsg::PathIsSocket, "cannot {2} \"{1}\": it is a socket, not a regular file",
     "「{1}」はソケットなので使えません。"},
    {TMsg::PathNotRegular, "cannot {2} \"{1}\": it is not a regular file",
     "「{1}」は通常のファイルではないので使えません。"},
    {TMsg::DanglingLink, "cannot {2} \"{1}\": it is a symbolic link to a file that does not exist",
     "「{1}」は存在しないファイルを指すシンボリックリンクです。"},
    {TMsg::NoFolder, "cannot {2} \"{1}\": its folder does not exist",
     "「{1}」の保存先フォルダーがありません。"},
    {TMsg::CannotSyncFolder, "cannot sync the folder of \"{1}\": {r}",
     "「{1}」のフォルダーの更新をディスクに書き込めません（{r}）。"},
    {TMsg::LineTooLong, "{1}:{2}: line longer than {3} MiB",
     "{1} の {2} 行目: 1行が {3} MiB を超えています。"},

    {TMsg::NotAFloat, "{1}:{2}: '{3}' is not a valid floating point value",
     "{1} の {2} 行目: '{3}' は正しい浮動小数点値ではありません。"},
    {TMsg::NotAnInteger, "{1}:{2}: '{3}' is not a valid integer value",
     "{1} の {2} 行目: '{3}' は正しい整数値ではありません。"},
    {TMsg::NegativeCount, "{1}:{2}: negative count {3}",
     "{1} の {2} 行目: 個数が負の値です（{3}）。"},
    {TMsg::NegativeColumnCount, "{1}:{2}: negative column count {3}",
     "{1} の {2} 行目: 列数が負の値です（{3}）。"},
    {TMsg::NegativeSectionCount, "{1}:{2}: negative section count {3}",
     "{1} の {2} 行目: セクション数が負の値です（{3}）。"},
    {TMsg::CutShort, "{1}:{2}: unexpected end of file inside an object",
     "{1} の {2} 行目: オブジェクトの途中でファイルが終わっています。"},
    {TMsg::TooManyVertices, "{1}:{2}: too many vertices", "{1} の {2} 行目: 頂点が多すぎます。"},
    {TMsg::NoVertices, "{1}:{2}: object without vertices",
     "{1} の {2} 行目: 頂点のないオブジェクトです。"},
    {TMsg::ArcAnglesOutOfRange, "{1}:{2}: arc angles out of range",
     "{1} の {2} 行目: 円弧の角度が範囲外です。"},
    {TMsg::NotAMifFile, "{1}:{2}: not a MIF file (no Columns line)",
     "{1} の {2} 行目: MIFファイルではありません（Columns 行がありません）。"},
    {TMsg::KeywordBeforeTab,
     "{1}:{2}: a tab follows the keyword {3}; the fields of an object line are separated by "
     "blanks",
     "{1} の {2} 行目: キーワード {3} の後がタブです。オブジェクトの行の項目は空白で区切ります。"},
    {TMsg::ColumnCountPastData, "{1}:{2}: column count {3} but {4} column lines before Data",
     "{1} の {2} 行目: 列数は {3} ですが、Data 行の前に列の行が {4} 行しかありません。"},
    {TMsg::NonFiniteVertex, "{1}:{2}: a vertex is not a finite number",
     "{1} の {2} 行目: 座標値が有限の数ではありません。"},
    {TMsg::VertexTooLarge, "{1}:{2}: a vertex is too large for a SIMA file",
     "{1} の {2} 行目: 座標値が大きすぎてSIMAファイルに書けません。"},
    {TMsg::TooManyPoints, "too many points for one SIMA file",
     "座標点が多すぎて1つのSIMAファイルに収まりません。"},

    {TMsg::SimaFieldsMissing, "{1}:{2}: the {3} line has too few fields",
     "{1} の {2} 行目: {3} の行の項目が足りません。"},
    {TMsg::SimaUnknownPoint, "{1}:{2}: point {3} does not exist",
     "{1} の {2} 行目: 座標点 {3} がありません。"},
    {TMsg::SimaDuplicatePoint, "{1}:{2}: point {3} is defined twice",
     "{1} の {2} 行目: 座標点 {3} が二度定義されています。"},
    {TMsg::SimaNoTail, "{1}:{2}: the block opened at line {3} has no end line",
     "{1} の {2} 行目: {3} 行目で始まるブロックに終わりの行がありません。"},
    {TMsg::SimaOutsideBlock, "{1}:{2}: a {3} line outside a parcel or route block",
     "{1} の {2} 行目: 画地・路線のブロックの外に {3} の行があります。"},
    {TMsg::SimaTooLarge, "{1}:{2}: too many points or vertices",
     "{1} の {2} 行目: 座標点または頂点が多すぎます。"},

    {TMsg::CharsetNotSupported,
     "the character set \"{1}\" of the MIF file is not supported; save the table as "
     "WindowsJapanese or UTF-8",
     "MIFファイルの文字コード「{1}」には対応していません。WindowsJapanese か UTF-8 で"
     "保存し直してください。"},
    {TMsg::CharsetUnknown, "unknown character set \"{1}\" in the Charset clause of the MIF file",
     "MIFファイルの Charset 句の文字コード「{1}」は不明です。"},
    {TMsg::MidRow, "MID row {1}", "MIDファイルの {1} 行目"},
    {TMsg::MidRowColumn, "MID row {1}, column {2}", "MIDファイルの {1} 行目の {2} 列目"},
    {TMsg::MidRowColumnNamed, "MID row {1}, column {2} \"{3}\"",
     "MIDファイルの {1} 行目の {2} 列目（{3}）"},
    {TMsg::MidBadByte, "{w}: byte 0x{1} is not valid in the character set \"{2}\"",
     "{w}: バイト 0x{1} は文字コード「{2}」の文字として正しくありません。"},
    {TMsg::MidNoCp932,
     "{w}: the character \"{1}\" (U+{2}) has no code page 932 form; the value \"{3}\" cannot be "
     "written",
     "{w}: 文字「{1}」(U+{2}) は Shift_JIS（コードページ932）で表せないため、値「{3}」を"
     "書き込めません。"},
    {TMsg::MidNotCp932, "{w}: byte 0x{1} is not valid code page 932 (Shift_JIS)",
     "{w}: バイト 0x{1} は Shift_JIS（コードページ932）の文字として正しくありません。"},
    {TMsg::MidLooksUtf8,
     "{w}: the row is not code page 932 (Shift_JIS) but valid UTF-8; the table looks like "
     "UTF-8: declare it with the clause Charset \"UTF-8\" in the MIF header",
     "{w}: Shift_JIS（コードページ932）として正しくない行ですが、UTF-8 としては正しく読めます。"
     "表は UTF-8 のようです。MIFファイルのヘッダーに Charset \"UTF-8\" と指定してください。"},
    {TMsg::MidValueLineBreak, "{w}: the value holds a line break, which a SIMA line cannot hold",
     "{w}: 値に改行が含まれているため、SIMAファイルに書き込めません。"},
    {TMsg::MidRowCount,
     "the MID file does not hold one row per object (MIF objects: {1}, MID rows: {2})",
     "MIFのオブジェクト {1} 件に対し、MIDの行が {2} 行です。"},
    {TMsg::OutputIsAnInput, "the SIMA file would overwrite an input file",
     "変換後のSIMAファイルが変換元のファイルと同じです。"},
    {TMsg::MergedOutputIsThisInput, "the merged SIMA file would overwrite this input file",
     "統合後のSIMAファイルがこの変換元のファイルと同じです。"},
    {TMsg::MergedOutputIsAnInput, "not overwriting \"{1}\": it is an input of the run",
     "「{1}」は変換元のファイルなので上書きしません。"},
    {TMsg::MergedFileNameEmpty, "the combined output file name is empty",
     "統合後のファイル名が不正です。"},
    {TMsg::AllInputsFailed, "every input failed; nothing was written",
     "すべての変換元ファイルの変換に失敗したため、何も書き込みませんでした。"},
    {TMsg::MergedWithoutOneFailed, "ok {1} (without 1 failed input)",
     "成功 {1}（失敗した変換元ファイル 1 件を除く）"},
    {TMsg::MergedWithoutFailed, "ok {1} (without {2} failed inputs)",
     "成功 {1}（失敗した変換元ファイル {2} 件を除く）"},
    {TMsg::BatchRowsNotRun, ", {1} not run", "、{1} 件未実行"},
    {TMsg::OutOfMemory, "out of memory", "メモリが不足しています。"},
    {TMsg::NoDestination, "no destination SIMA file given",
     "変換後のSIMAファイル名が指定されていません。"},
    {TMsg::Unexpected, "unexpected error: {1}", "予期しないエラーが発生しました: {1}"},
    {TMsg::AttrOutOfRange,
     "attribute column {1} is out of range: the table has columns 1 to {2} ({3})",
     "属性列の位置 {1} は範囲外です。この表の列は 1 ～ {2} です（{3}）。"},
    {TMsg::AttrNoColumns, "attribute column {1} is out of range: the table has no columns",
     "属性列の位置 {1} は範囲外です。この表には列がありません。"},

    {TMsg::BatchListMalformed, "not a valid batch list", "不正なバッチリストです。"},
    {TMsg::BatchListNotBoolean, "'{1}' is not a valid boolean value",
     "'{1}' は正しい論理型ではありません"},
    {TMsg::NotABatchList, "cannot load batch list \"{1}\": {2}",
     "バッチリスト「{1}」を読み込めません: {2}"},
    {TMsg::BatchListCannotOpen, "cannot open batch list \"{1}\": {r}",
     "ファイル \"{1}\". {r} は開けません"},
    {TMsg::BatchListCannotCreate, "cannot create batch list \"{1}\": {r}",
     "ファイル \"{1}\". {r} を作成できません"},
    {TMsg::BatchListNotUtf8, "line {1} is not valid UTF-8",
     "{1} 行目が正しい UTF-8 ではありません。"},
    {TMsg::BatchListNotCp932, "line {1} has a character that code page 932 cannot hold",
     "{1} 行目に Shift_JIS（コードページ932）で表せない文字が含まれています。"},
    {TMsg::BatchListBadZone,
     "line {1}: the plane rectangular zone '{2}' is not one of 1 to 19 (empty for none)",
     "{1} 行目: 平面直角座標系 '{2}' は正しくありません（1～19、指定なしは空欄）。"},
    {TMsg::BatchListZoneInOldList,
     "line {1} holds plane rectangular zone '{2}', but the list's second line is 200, a list "
     "without zones; a list with zones has 201 there",
     "{1} 行目に平面直角座標系 '{2}' がありますが、2 行目が 200（座標系のないリスト）です。"
     "座標系のあるリストの 2 行目は 201 です。"},

    {TMsg::BatchRowNoTarget, "neither parcels nor routes are to be converted",
     "変換対象は最低1つは必要です。"},
    {TMsg::BatchRowBadGenba, "the site name has a control character",
     "現場名称に使用できない文字が含まれています。"},
    {TMsg::BatchRowIsAnInput, "not overwriting \"{1}\": it is an input of the batch run",
     "「{1}」はバッチの変換元のファイルなので上書きしません。"},
    {TMsg::BatchRowSameDestination, "\"{1}\" is the SIMA file of an earlier row too",
     "「{1}」は前の行の変換後のファイルと同じです。"},
    {TMsg::BatchRowToStdout, "'-' (standard output) cannot be a SIMA file of a batch list",
     "バッチリストの変換後のファイルに「-」（標準出力）は指定できません。"},
    {TMsg::BatchRowNoDestination, "no destination SIMA file given for \"{1}\"",
     "「{1}」の変換後のSIMAファイル名が指定されていません。"},

    {TMsg::UnknownOption, "unknown option or missing value: {1}",
     "不明なオプションか、オプションの値がありません: {1}"},
    {TMsg::ModesExclude, "--combine, --batch, --columns, --info and --svg exclude each other",
     "--combine、--batch、--columns、--info、--svg は同時に指定できません。"},
    {TMsg::NothingToConvert, "--no-parcels and --no-routes together leave nothing to convert",
     "--no-parcels と --no-routes を両方指定すると変換対象がありません。"},
    {TMsg::BatchTakesNoInputs, "--batch takes no input files",
     "--batch と一緒に変換元ファイルは指定できません。"},
    {TMsg::BatchTakesNoJobOptions,
     "--batch takes its settings from the list; {1} cannot be given with it",
     "--batch の設定はバッチリストから読み込むため、{1} は指定できません。"},
    {TMsg::ColumnsTakesOneInput, "--columns takes one input file",
     "--columns には変換元ファイルを1つだけ指定してください。"},
    {TMsg::InfoTakesOneInput, "--info takes one input file",
     "--info には MIF ファイルを1つだけ指定してください。"},
    {TMsg::JsonNeedsInfo, "--json goes with --info", "--json は --info と一緒に指定してください。"},
    {TMsg::SvgTakesOneInput, "--svg takes one input file, a MIF or a SIMA file",
     "--svg には変換元ファイル（MIFまたはSIMAファイル）を1つだけ指定してください。"},
    {TMsg::CombineNeedsInputs, "--combine needs at least one input file",
     "--combine には変換元ファイルを1つ以上指定してください。"},
    {TMsg::ExpectedInputAndOutput, "expected INPUT.mif and optionally OUTPUT.sim",
     "変換元の INPUT.mif と、必要なら変換後の OUTPUT.sim を指定してください。"},
    {TMsg::OutputEmpty, "the output file name is empty", "変換後のファイル名が空です。"},
    {TMsg::TryHelp, "Try 'quorvex-convert --help'.",
     "使い方は 'quorvex-convert --help' で表示できます。"},
    {TMsg::GenbaNotCp932, "the site name has a character that code page 932 cannot hold",
     "現場名称に Shift_JIS（コードページ932）で表せない文字が含まれています。"},
    {TMsg::GenbaControl, "the site name has a control character, which a SIMA line cannot hold",
     "現場名称に使用できない文字（制御文字）が含まれています。"},
    {TMsg::AttrNotAPosition, "--attr {1}: not a column position (1 = first column; 0 or -1: none)",
     "--attr {1}: 属性列の位置として正しくありません（1 が最初の列、0 または -1 は属性なし）。"},
    {TMsg::NoSuchColumn, "no column named '{1}'", "'{1}' という属性名はありません。"},
    {TMsg::JobOk, "ok {1}", "成功 {1}"},
    {TMsg::JobFailed, "failed {1}: {2}", "失敗 {1}: {2}"},
    {TMsg::JobWarning, "warning {1}: {2}", "警告 {1}: {2}"},

    {TMsg::Counts, "parcels {1}, routes {2}, points {3}", "画地 {1}、路線 {2}、座標 {3}"},
    {TMsg::Skipped, " (not converted: point objects {1}, text objects {2})",
     "（対象外: ポイント {1}、テキスト {2}）"},

    {TMsg::CsNone, "no coordinate system", "座標系の指定なし"},
    {TMsg::CsUnknown, "unreadable coordinate system", "解釈できない座標系"},
    {TMsg::CsNonEarth, "non-earth ({1})", "非地球座標（{1}）"},
    {TMsg::CsGeographic, "longitude/latitude (degrees, {1})", "経緯度（度、{1}）"},
    {TMsg::CsPlaneRectangular, "Japan plane rectangular zone {1} ({2}, {3})",
     "平面直角座標系 第{1}系（{2}、{3}）"},
    {TMsg::CsUtm, "transverse Mercator (UTM zone {1}, {2}, {3})",
     "横メルカトル（UTM 第{1}帯、{2}、{3}）"},
    {TMsg::CsUtmSouth, "transverse Mercator (UTM zone {1} south, {2}, {3})",
     "横メルカトル（UTM 第{1}帯 南半球、{2}、{3}）"},
    {TMsg::CsTransverseMercator,
     "transverse Mercator (central meridian {1}, origin latitude {2}, scale {3}, {4}, {5})",
     "横メルカトル（中央子午線 {1}°、原点緯度 {2}°、縮尺係数 {3}、{4}、{5}）"},
    {TMsg::CsProjection, "projection {1} ({2}, {3})", "投影法 {1}（{2}、{3}）"},
    {TMsg::CsWithAffine, "{1} with an affine transformation", "{1}＋アフィン変換"},
    {TMsg::CsWithTransform, "{1} with a Transform clause", "{1}＋Transform 句"},
    {TMsg::CsDatum, "datum {1}", "測地系 {1}"},
    {TMsg::CsDatumTokyo, "Tokyo", "旧日本測地系"},
    {TMsg::CsDatumCustom, "custom datum on {1}", "{1} 楕円体の独自測地系"},
    {TMsg::CsDatumCustomNumber, "custom datum on ellipsoid {1}", "楕円体 {1} の独自測地系"},
    {TMsg::CsWarnUnknown,
     "the CoordSys clause cannot be read; the coordinates were written as they stand",
     "CoordSys 句を解釈できません。座標は読み込んだまま書き出しました。"},
    {TMsg::CsWarnDegrees,
     "the coordinates are longitude and latitude in degrees, written as they stand, not plane "
     "rectangular metres",
     "座標は経緯度（度）です。平面直角座標（m）に変換せず、そのまま書き出しました。"},
    {TMsg::CsWarnProjection,
     "the coordinates are in projection {1}, not transverse Mercator; written as they stand",
     "座標は投影法 {1} で、横メルカトル（平面直角座標系）ではありません。そのまま書き出しました。"},
    {TMsg::CsWarnUnit, "the coordinates are in \"{1}\", not metres; written as they stand",
     "座標の単位は「{1}」で、メートルではありません。そのまま書き出しました。"},
    {TMsg::CsWarnAffine, "the CoordSys clause has an affine transformation, which was not applied",
     "CoordSys 句にアフィン変換がありますが、適用せずに書き出しました。"},
    {TMsg::CsWarnTransform, "the table has a Transform clause, which was not applied",
     "Transform 句がありますが、適用せずに書き出しました。"},
    {TMsg::CsWarnNoClauseLonLat,
     "no CoordSys clause and every coordinate lies within +-180/+-90: probably longitude and "
     "latitude in degrees, written as they stand",
     "CoordSys 句がなく、すべての座標が ±180／±90 の範囲内です。経緯度（度）のまま書き出した"
     "おそれがあります。"},

    {TMsg::ZoneNumber, "there is no plane rectangular zone {1} (the zones are 1 to 19)",
     "平面直角座標系 {1} はありません（1～19 を指定してください）。"},
    {TMsg::ZoneNoClause,
     "cannot project to plane rectangular zone {1}: the table has no CoordSys clause, so what its "
     "coordinates are is not known",
     "平面直角座標系 第{1}系に変換できません。CoordSys 句がないため、座標の種類が分かりません。"},
    {TMsg::ZoneNonEarth,
     "cannot project to plane rectangular zone {1}: the table's coordinates are non-earth",
     "平面直角座標系 第{1}系に変換できません。座標は非地球座標です。"},
    {TMsg::ZoneUnreadable,
     "cannot project to plane rectangular zone {1}: the CoordSys clause cannot be read",
     "平面直角座標系 第{1}系に変換できません。CoordSys 句を解釈できません。"},
    {TMsg::ZoneProjection,
     "cannot project to plane rectangular zone {1}: projection {2} is neither longitude/latitude "
     "(1) nor transverse Mercator (8)",
     "平面直角座標系 第{1}系に変換できません。投影法 {2} は経緯度（1）でも横メルカトル（8）でも"
     "ありません。"},
    {TMsg::ZoneAffine,
     "cannot project to plane rectangular zone {1}: the CoordSys clause has an affine "
     "transformation",
     "平面直角座標系 第{1}系に変換できません。CoordSys 句にアフィン変換があります。"},
    {TMsg::ZoneTransform,
     "cannot project to plane rectangular zone {1}: the table has a Transform clause",
     "平面直角座標系 第{1}系に変換できません。Transform 句があります。"},
    {TMsg::ZoneDatum,
     "cannot project to plane rectangular zone {1}: the ellipsoid of datum {2} is not known",
     "平面直角座標系 第{1}系に変換できません。測地系 {2} の楕円体が分かりません。"},
    {TMsg::ZoneParameters,
     "cannot project to plane rectangular zone {1}: the table's transverse Mercator parameters or "
     "unit cannot be used",
     "平面直角座標系 第{1}系に変換できません。表の横メルカトルのパラメーター"
     "または単位が使用できません。"},
    {TMsg::ZoneTooFar,
     "{1}:{2}: a point lies more than 10 degrees of longitude from the central meridian of "
     "plane rectangular zone {3} or of the table's projection, and cannot be projected",
     "{1} の {2} 行目: 平面直角座標系 第{3}系（または表の投影法）の中央子午線から"
     "経度で 10° を超えて離れた点があり、変換できません。"},
    {TMsg::MergedZonesDiffer,
     "the rows of a merged run have different plane rectangular zones ({1} and {2}; 0 is none), "
     "and one file holds one zone",
     "統合する行の平面直角座標系が異なります（{1} と {2}、0 は変換なし）。一つのファイルには"
     "一つの系しか使えません。"},

    {TMsg::ReasonNoEntry, "No such file or directory", "ファイルまたはフォルダーがありません"},
    {TMsg::ReasonAccess, "Permission denied", "アクセスが拒否されました"},
    {TMsg::ReasonPermission, "Operation not permitted", "この操作は許可されていません"},
    {TMsg::ReasonNoSpace, "No space left on device", "ディスクの空き容量が不足しています"},
    {TMsg::ReasonQuota, "Disk quota exceeded", "ディスクの使用量が上限を超えました"},
    {TMsg::ReasonReadOnly, "Read-only file system", "読み取り専用のファイルシステムです"},
    {TMsg::ReasonIsFolder, "Is a directory", "フォルダーです"},
    {TMsg::ReasonNotFolder, "Not a directory", "パスの途中にフォルダーでないものがあります"},
    {TMsg::ReasonIo, "Input/output error", "入出力エラーが発生しました"},
    {TMsg::ReasonNameTooLong, "File name too long", "ファイル名が長すぎます"},
    {TMsg::ReasonTooManyOpen, "Too many open files", "開いているファイルが多すぎます"},
    {TMsg::ReasonTooLarge, "File too large", "ファイルが大きすぎます"},
    {TMsg::ReasonExists, "File exists", "ファイルが既に存在します"},
    {TMsg::ReasonLoop, "Too many levels of symbolic links", "シンボリックリンクの階層が深すぎます"},
    {TMsg::ReasonBusy, "Device or resource busy", "ファイルが使用中です"},
    {TMsg::ReasonInvalid, "Invalid argument", "引数が正しくありません"},
    {TMsg::ReasonOther, "{1}", "システムエラー（エラー番号 {2}）"},
};

constexpr bool TableInOrder() {
    for (size_t i = 0; i < std::size(kTable); ++i)
        if (static_cast<size_t>(kTable[i].Id) != i) return false;
    return std::size(kTable) == static_cast<size_t>(TMsg::Count_);
}
static_assert(TableInOrder(), "one entry per message, in the order of TMsg");

// What each argument of a message is, one letter per argument: 'P' a path
// (QuotePath), 'F' the path of a report line (kept whole, EscapeControls),
// 'V' a value from a file or the user (QuoteValue), 'T' a number or a text
// already made (as it stands). Messages not listed take their arguments as
// they stand.
struct TArgKinds {
    TMsg Id;
    const char* Kinds;
};
constexpr TArgKinds kArgKinds[] = {
    {TMsg::AtLine, "PT"},
    {TMsg::CannotOpen, "P"},
    {TMsg::CannotRead, "P"},
    {TMsg::CannotWrite, "P"},
    {TMsg::CannotCreate, "P"},
    {TMsg::CannotReplace, "P"},
    {TMsg::NamesDevice, "P"},
    {TMsg::IsAFolder, "P"},
    {TMsg::ReadOnlyFile, "P"},
    {TMsg::MifNotFound, "P"},
    {TMsg::MidNotFound, "P"},
    {TMsg::MifIsFolder, "P"},
    {TMsg::MifLinkLoop, "P"},
    {TMsg::MidIsFolder, "P"},
    {TMsg::MidLinkLoop, "P"},
    {TMsg::StoreNotWritable, "P"},
    {TMsg::PathIsFolder, "P"},
    {TMsg::PathIsFifo, "P"},
    {TMsg::PathIsDevice, "P"},
    {TMsg::PathIsSocket, "P"},
    {TMsg::PathNotRegular, "P"},
    {TMsg::DanglingLink, "P"},
    {TMsg::NoFolder, "P"},
    {TMsg::CannotSyncFolder, "P"},
    {TMsg::LineTooLong, "P"},
    {TMsg::SimaFieldsMissing, "PTV"},
    {TMsg::SimaUnknownPoint, "PTV"},
    {TMsg::SimaDuplicatePoint, "PTV"},
    {TMsg::SimaNoTail, "PTT"},
    {TMsg::SimaOutsideBlock, "PTV"},
    {TMsg::SimaTooLarge, "P"},
    {TMsg::NotAFloat, "PTV"},
    {TMsg::NotAnInteger, "PTV"},
    {TMsg::NegativeCount, "P"},
    {TMsg::NegativeColumnCount, "P"},
    {TMsg::NegativeSectionCount, "P"},
    {TMsg::CutShort, "P"},
    {TMsg::TooManyVertices, "P"},
    {TMsg::NoVertices, "P"},
    {TMsg::ArcAnglesOutOfRange, "P"},
    {TMsg::NotAMifFile, "P"},
    {TMsg::KeywordBeforeTab, "PTV"},
    {TMsg::ColumnCountPastData, "P"},
    {TMsg::NonFiniteVertex, "P"},
    {TMsg::CharsetNotSupported, "V"},
    {TMsg::CharsetUnknown, "V"},
    {TMsg::MidRowColumnNamed, "TTV"},
    {TMsg::MidBadByte, "TV"},
    {TMsg::MidNoCp932, "VTV"},
    {TMsg::MergedOutputIsAnInput, "P"},
    {TMsg::AttrOutOfRange, "V"},
    {TMsg::AttrNoColumns, "V"},
    {TMsg::NotABatchList, "P"},
    {TMsg::BatchListNotBoolean, "V"},
    {TMsg::BatchListBadZone, "TV"},
    {TMsg::BatchListZoneInOldList, "TV"},
    {TMsg::BatchListCannotOpen, "P"},
    {TMsg::BatchListCannotCreate, "P"},
    {TMsg::UnknownOption, "V"},
    {TMsg::AttrNotAPosition, "V"},
    {TMsg::NoSuchColumn, "V"},
    {TMsg::JobOk, "F"},
    {TMsg::JobFailed, "F"},
    {TMsg::JobWarning, "F"},
    {TMsg::ZoneTooFar, "P"},
};

char ArgKind(TMsg id, size_t k) {
    for (const TArgKinds& a : kArgKinds)
        if (a.Id == id) return k < std::strlen(a.Kinds) ? a.Kinds[k] : 'T';
    return 'T';
}

std::string Quoted(char kind, const std::string& arg) {
    switch (kind) {
        case 'P':
            return QuotePath(arg);
        case 'F':
            return EscapeControls(arg);
        case 'V':
            return QuoteValue(arg);
        default:
            return arg;
    }
}

// The bytes of the character at `i`: a whole UTF-8 sequence, else one byte.
size_t CharLength(std::string_view s, size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    const size_t n = c < 0xC2 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : c < 0xF5 ? 4 : 1;
    if (n == 1 || i + n > s.size()) return 1;
    for (size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 1;
    return n;
}

// The character at `i` as a message shows it: a control character as \xNN
// for each of its bytes (the C1 controls are two bytes in UTF-8).
std::string ShownChar(std::string_view s, size_t i, size_t n) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    const auto c = static_cast<unsigned char>(s[i]);
    const bool c1 = n == 2 && c == 0xC2 && static_cast<unsigned char>(s[i + 1]) < 0xA0;
    if (!(n == 1 && (c < 32 || c == 127)) && !c1) return std::string(s.substr(i, n));
    std::string out;
    for (size_t k = 0; k < n; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        out.append("\\x").push_back(kHex[b >> 4]);
        out.push_back(kHex[b & 15]);
    }
    return out;
}

// The characters of `s` as shown, one piece each.
std::vector<std::string> ShownChars(std::string_view s) {
    std::vector<std::string> pieces;
    for (size_t i = 0; i < s.size();) {
        const size_t n = CharLength(s, i);
        pieces.push_back(ShownChar(s, i, n));
        i += n;
    }
    return pieces;
}

constexpr size_t kQuoteBytes = 80;
constexpr std::string_view kEllipsis = "\xE2\x80\xA6";  // "…"

TMessage ReasonOf(int err) {
    switch (err) {
        case ENOENT:
            return TMsg::ReasonNoEntry;
        case EACCES:
            return TMsg::ReasonAccess;
        case EPERM:
            return TMsg::ReasonPermission;
        case ENOSPC:
            return TMsg::ReasonNoSpace;
#ifdef EDQUOT
        case EDQUOT:
            return TMsg::ReasonQuota;
#endif
        case EROFS:
            return TMsg::ReasonReadOnly;
        case EISDIR:
            return TMsg::ReasonIsFolder;
        case ENOTDIR:
            return TMsg::ReasonNotFolder;
        case EIO:
            return TMsg::ReasonIo;
        case ENAMETOOLONG:
            return TMsg::ReasonNameTooLong;
        case EMFILE:
        case ENFILE:
            return TMsg::ReasonTooManyOpen;
        case EFBIG:
            return TMsg::ReasonTooLarge;
        case EEXIST:
            return TMsg::ReasonExists;
        case ELOOP:
            return TMsg::ReasonLoop;
        case EBUSY:
            return TMsg::ReasonBusy;
        case EINVAL:
            return TMsg::ReasonInvalid;
        default:
            break;
    }
#ifdef _WIN32
    // A Windows error code the table does not word: the system's own text.
    if (err < 0) {
        const DWORD code = static_cast<DWORD>(-err);
        wchar_t* text = nullptr;
        const DWORD n =
            ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
        std::wstring w(text ? text : L"", n);
        if (text) ::LocalFree(text);
        while (!w.empty() &&
               (w.back() == L'\r' || w.back() == L'\n' || w.back() == L' ' || w.back() == L'.'))
            w.pop_back();
        std::string own;
        const int size = ::WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()),
                                               nullptr, 0, nullptr, nullptr);
        own.resize(static_cast<size_t>(size));
        ::WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), own.data(), size,
                              nullptr, nullptr);
        if (own.empty()) own = "Windows error " + std::to_string(code);
        return {TMsg::ReasonOther, {own, std::to_string(code)}};
    }
#endif
    return {TMsg::ReasonOther, {std::strerror(err), std::to_string(err)}};
}

}  // namespace

bool IsAboutALine(TMsg id) {
    const auto i = static_cast<size_t>(id);
    return i < std::size(kTable) && std::string_view(kTable[i].English).starts_with("{1}:{2}:");
}

std::string TMessage::Text(TLanguage language) const {
    const TEntry& entry = kTable[static_cast<size_t>(Id)];
    const std::string_view form = language == TLanguage::Japanese ? entry.Japanese : entry.English;
    std::string out;
    out.reserve(form.size() + 64);
    for (size_t i = 0; i < form.size(); ++i) {
        if (form[i] == '{' && i + 2 < form.size() && form[i + 2] == '}') {
            const char c = form[i + 1];
            if (c >= '1' && c <= '9') {
                const size_t k = static_cast<size_t>(c - '1');
                if (k < Args.size()) out += Quoted(ArgKind(Id, k), Args[k]);
                i += 2;
                continue;
            }
            if (c == 'r') {
                if (SysError != 0) out += ReasonOf(SysError).Text(language);
                i += 2;
                continue;
            }
            if (c == 'w') {
                if (!Where.empty()) out += Where[0].Text(language);
                i += 2;
                continue;
            }
        }
        out += form[i];
    }
    return out;
}

TLanguage LanguageOfLocale(const char* lcAll, const char* lcMessages, const char* lang) {
    for (const char* value : {lcAll, lcMessages, lang}) {
        if (value && *value)
            return std::strncmp(value, "ja", 2) == 0 ? TLanguage::Japanese : TLanguage::English;
    }
    return TLanguage::English;
}

TLanguage UserLanguage() {
    const char* lcAll = std::getenv("LC_ALL");
    const char* lcMessages = std::getenv("LC_MESSAGES");
    const char* lang = std::getenv("LANG");
#ifdef _WIN32
    // Windows itself sets none of these; a shell that does (MSYS, Cygwin)
    // is followed as on Linux.
    auto unset = [](const char* v) { return !v || !*v; };
    if (unset(lcAll) && unset(lcMessages) && unset(lang))
        return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE ? TLanguage::Japanese
                                                                          : TLanguage::English;
#endif
    return LanguageOfLocale(lcAll, lcMessages, lang);
}

std::string EscapeControls(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const size_t n = CharLength(text, i);
        out += ShownChar(text, i, n);
        i += n;
    }
    return out;
}

std::string QuoteValue(std::string_view value) {
    std::string out;
    for (size_t i = 0; i < value.size();) {
        const size_t n = CharLength(value, i);
        const std::string piece = ShownChar(value, i, n);
        if (out.size() + piece.size() > kQuoteBytes) return out.append(kEllipsis);
        out += piece;
        i += n;
    }
    return out;
}

std::string QuotePath(std::string_view path) {
    size_t cut = path.size();
    while (cut > 0 && !IsPathDelim(path[cut - 1]))
        --cut;
    // The separator stays with the name: "…/town.mif".
    const std::string name = EscapeControls(path.substr(cut > 0 ? cut - 1 : 0));
    const std::vector<std::string> folders = ShownChars(path.substr(0, cut > 0 ? cut - 1 : 0));
    size_t whole = name.size();
    for (const std::string& piece : folders)
        whole += piece.size();
    if (whole <= kQuoteBytes) return EscapeControls(path);
    // The start of the folders (the drive or the home folder) and as much of
    // their end as fits.
    const size_t room = kQuoteBytes > name.size() ? kQuoteBytes - name.size() : 0;
    size_t head = 0, headBytes = 0;
    while (head < folders.size() && headBytes + folders[head].size() <= room / 2)
        headBytes += folders[head++].size();
    size_t tail = folders.size(), tailBytes = 0;
    while (tail > head && headBytes + tailBytes + folders[tail - 1].size() <= room)
        tailBytes += folders[--tail].size();
    std::string out;
    for (size_t k = 0; k < head; ++k)
        out += folders[k];
    out.append(kEllipsis);
    for (size_t k = tail; k < folders.size(); ++k)
        out += folders[k];
    return out + name;
}

std::string GroupDigits(int64_t n) {
    const bool negative = n < 0;
    // Through unsigned, so the most negative value has its digits too.
    uint64_t v = negative ? 0 - static_cast<uint64_t>(n) : static_cast<uint64_t>(n);
    std::string out;
    int digits = 0;
    do {
        if (digits > 0 && digits % 3 == 0) out += ',';
        out += static_cast<char>('0' + v % 10);
        v /= 10;
        ++digits;
    } while (v != 0);
    if (negative) out += '-';
    return {out.rbegin(), out.rend()};
}

}  // namespace quorvex
