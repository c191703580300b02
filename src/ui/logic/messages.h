// Every text of the window's own that it shows the user, once, as UTF-8. The
// faces turn them into their toolkit's strings. What the engine reports
// (errors, the file messages of the batch-list file and the placement store,
// the merged file name) comes from the message table, support/messages.h.
#pragma once

namespace quorvex::msg {

// Captions
inline constexpr const char* kAppTitle = "Quorvex Converter";
inline constexpr const char* kCaptionWarning = "警告";
inline constexpr const char* kCaptionInformation = "情報";
inline constexpr const char* kCaptionError = "エラー";

// The single conversion panel
inline constexpr const char* kBadMifFile = "変換元MIFのファイル名が不正です。";
inline constexpr const char* kBadSimFile = "変換後SIMAのファイル名が不正です。";
inline constexpr const char* kNoTarget = "変換対象は最低1つは必要です。";
inline constexpr const char* kBadGenba = "現場名称に使用できない文字が含まれています。";
inline constexpr const char* kConvertOk = "変換に成功しました。";
inline constexpr const char* kConvertFailed = "変換に失敗しました。";
// The status bar after a conversion: "%1" what it wrote, "%2" what the
// table's coordinates are.
inline constexpr const char* kConvertedStatus = "%1　%2";
// After the table's coordinate system when they were projected to zone "%1".
inline constexpr const char* kProjectedToZone = " → 第%1系";

// The batch list and its file
inline constexpr const char* kNoBatchList = "対象のバッチリストがありません。";
// "%1" is the file line (4, 5, 6 …).
inline constexpr const char* kUnsavableLine = "%1 行目に保存できない文字が含まれています。";

// The batch list's results as copied: a header line, then per row its MIF
// file, its result and the cause of a failure or the warnings of a success.
inline constexpr const char* kResultsHeader = "元ファイル\t結果\t内容";
inline constexpr const char* kResultDone = "成功";
inline constexpr const char* kResultFailed = "失敗";
inline constexpr const char* kResultNotRun = "未実行";

// The batch run
inline constexpr const char* kBatchDone = "変換が終了しました。";
// The status bar during and after a run: "%1" the row (from 1), "%2" the
// rows, "%3" the MIF file's name; then rows, successes, failures.
inline constexpr const char* kBatchProgress = "%1 / %2 件目を変換中: %3";
inline constexpr const char* kBatchSummary = "%1 件中 %2 件成功、%3 件失敗";
// After the summary of a run in which rows ("%1") converted with warnings.
inline constexpr const char* kBatchWarnings = "、警告 %1 件";
// After the summary of a merged run that left out failed rows ("%1").
inline constexpr const char* kCombinedWithoutFailed =
    "（統合ファイルは失敗した %1 件を除いて書き込みました）";

// Files dropped on the window
inline constexpr const char* kDropNothing = "ドロップされたファイルがありません。";
inline constexpr const char* kDropOnPanel =
    "ここにはMIFファイル (*.mif) を1つだけドロップできます。";
inline constexpr const char* kDropOnList =
    "バッチリストにはMIFファイル (*.mif) か、バッチリストファイル (*.txt) を1つだけドロップ"
    "できます。";

// The preview
inline constexpr const char* kNothingToPreview =
    "プレビューする変換がありません。変換元MIFのファイル名を入力するか、バッチリストの行を選んで"
    "ください。";
inline constexpr const char* kPreviewFailed = "プレビューを作成できませんでした。";
inline constexpr const char* kPreviewTitle = "プレビュー";
inline constexpr const char* kPreviewTitleOf = "プレビュー - %1";
inline constexpr const char* kPreviewOpen = "開く(&O)...";
inline constexpr const char* kPreviewFit = "全体表示";
inline constexpr const char* kPreviewMarks = "確認事項";
inline constexpr const char* kPreviewDropOnly =
    "プレビューにはSIMAファイル (*.sim) を1つだけドロップできます。";
// The status line: the SIMA coordinates under the pointer, the counts, what
// the coordinates are.
inline constexpr const char* kPreviewPointer = "X %1  Y %2";
inline constexpr const char* kSimaCoordSys = "座標系はSIMAファイルに記録されていません";
// The chosen object: number, lot number or route name, vertices, area.
inline constexpr const char* kParcelInfo = "画地 %1　地番 %2　頂点 %3　面積 %4 m²";
inline constexpr const char* kRouteInfo = "路線 %1　路線名 %2　頂点 %3";
inline constexpr const char* kPointsInfo = "点 %1 と 点 %2　距離 %3 mm";
inline constexpr const char* kNoName = "（なし）";
// The side panel's entries, one a mark: "%1" the parcel ("画地 12（12-4）").
inline constexpr const char* kParcelOf = "画地 %1";
inline constexpr const char* kParcelNamed = "画地 %1（%2）";
inline constexpr const char* kMarkNoLotNumber = "地番なし: %1";
inline constexpr const char* kMarkSharedLotNumber = "地番の重複: %1";
inline constexpr const char* kMarkSelfCrossing = "境界の交差: %1";
inline constexpr const char* kMarkZeroArea = "面積ゼロ: %1";
inline constexpr const char* kMarkUnsplittable = "環に分けられない点列: %1";
inline constexpr const char* kMarkClosePoints = "1 mm 未満の近接点: 点 %1 と 点 %2";

}  // namespace quorvex::msg
