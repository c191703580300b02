// Every text the window logic shows the user, once, as UTF-8. The faces
// turn them into their toolkit's strings.
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

// The batch list and its file
inline constexpr const char* kNoBatchList = "対象のバッチリストがありません。";
// "%1" is the file line (4, 5, 6 …).
inline constexpr const char* kUnsavableLine = "%1 行目に保存できない文字が含まれています。";
// "%1" the file name, "%2" the reason.
inline constexpr const char* kCannotCreate = "ファイル \"%1\". %2 を作成できません";
inline constexpr const char* kCannotOpen = "ファイル \"%1\". %2 は開けません";

// The batch run
inline constexpr const char* kBadCombineFile = "統合後のファイル名が不正です。";
inline constexpr const char* kBatchDone = "変換が終了しました。";

// The placement store; "%1" is its path.
inline constexpr const char* kCannotWrite = "%1 に書き込めません";

}  // namespace quorvex::msg
