// The main window's controls as designed at 96 dpi: name, kind, caption,
// rectangle and start state, in creation order, which is also the Tab order
// of the controls that take the focus. Both faces build the window from
// this table; positions of controls inside a group box are relative to it.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "ui/logic/window_view.h"

namespace quorvex {

enum class TControlKind { Label, Edit, Button, DropDownList, GroupBox, CheckBox, ListView };

struct TControlSpec {
    std::optional<TControl> Id;  // none for labels and group boxes
    const char* Name;
    TControlKind Kind;
    const char* Caption;
    int Left, Top, Width, Height;  // a label's size follows its caption
    const char* Parent = nullptr;  // the group box it sits in
    bool Checked = false;
    bool Enabled = true;
};

inline constexpr TControlSpec kMainControls[] = {
    {{}, "Label1", TControlKind::Label, "変換元MIFのファイル名", 8, 8, 0, 0},
    {{}, "Label2", TControlKind::Label, "変換後SIMAのファイル名", 8, 48, 0, 0},
    {{},
     "Label3",
     TControlKind::Label,
     "SIMAの地番、路線名フィールドに格納する属性名",
     8,
     96,
     0,
     0},
    {{}, "Label4", TControlKind::Label, "SIMAに登録する現場名称", 8, 144, 0, 0},
    {{}, "Label5", TControlKind::Label, "バッチリスト", 328, 8, 0, 0},
    {{}, "Label6", TControlKind::Label, "統合後のSIMAに登録する現場名称", 328, 272, 0, 0},
    {{}, "Label7", TControlKind::Label, "統合後のファイル名", 328, 312, 0, 0},
    {TControl::edtSimFile, "edtSimFile", TControlKind::Edit, "", 8, 64, 249, 20},
    {TControl::btnSimBrowse, "btnSimBrowse", TControlKind::Button, "参照", 264, 64, 49, 21},
    {TControl::edtMifFile, "edtMifFile", TControlKind::Edit, "", 8, 24, 249, 20},
    {TControl::btnMifBrowse, "btnMifBrowse", TControlKind::Button, "参照", 264, 24, 49, 21},
    {TControl::cboAttrName, "cboAttrName", TControlKind::DropDownList, "", 8, 112, 249, 22},
    {TControl::edtGenba, "edtGenba", TControlKind::Edit, "", 8, 160, 249, 20},
    {{}, "GroupBox1", TControlKind::GroupBox, "変換対象", 8, 192, 305, 73},
    {TControl::chkKakuchi, "chkKakuchi", TControlKind::CheckBox,
     "ポリゴン、円、長方形を画地として変換する。", 16, 24, 281, 17, "GroupBox1", true},
    {TControl::chkRosen, "chkRosen", TControlKind::CheckBox, "線、ポリラインを路線として変換する。",
     16, 48, 281, 17, "GroupBox1", true},
    {{}, "GroupBox2", TControlKind::GroupBox, "変換オプション", 8, 272, 305, 73},
    {TControl::chkYX, "chkYX", TControlKind::CheckBox, "X座標とY座標を入れ替える。", 16, 24, 257,
     17, "GroupBox2", true},
    {TControl::chkEnd, "chkEnd", TControlKind::CheckBox, "画地の最終点に始点と同一点を登録する。",
     16, 48, 281, 17, "GroupBox2", false},
    {TControl::btnAdd, "btnAdd", TControlKind::Button, "追加", 80, 352, 75, 21},
    {TControl::btnReplace, "btnReplace", TControlKind::Button, "置換", 160, 352, 75, 21, nullptr,
     false, false},
    {TControl::btnConvert, "btnConvert", TControlKind::Button, "すぐに変換", 240, 352, 75, 21},
    {TControl::lvwBatch, "lvwBatch", TControlKind::ListView, "", 328, 24, 457, 217},
    {TControl::chkCombine, "chkCombine", TControlKind::CheckBox,
     "ファイルを統合する (XY座標の入替についてはリストの先頭の値で処理を行います。)", 328, 248, 457,
     17},
    {TControl::btnClear, "btnClear", TControlKind::Button, "クリア", 552, 352, 75, 21},
    {TControl::btnRemove, "btnRemove", TControlKind::Button, "削除", 632, 352, 75, 21, nullptr,
     false, false},
    {TControl::btnBatch, "btnBatch", TControlKind::Button, "変換開始", 712, 352, 75, 21},
    {TControl::edtConbineFile, "edtConbineFile", TControlKind::Edit, "", 328, 328, 401, 20},
    {TControl::btnCmbBrowse, "btnCmbBrowse", TControlKind::Button, "参照", 736, 328, 49, 21},
    {TControl::edtCombineGenba, "edtCombineGenba", TControlKind::Edit, "", 328, 288, 401, 20},
};

// The batch list's nine columns: the mark and caption, then the sub-items.
struct TColumnSpec {
    const char* Caption;
    int Width;
    bool Centred;
};
inline constexpr TColumnSpec kBatchColumns[9] = {
    {"", 18, false},       {"元ファイル", 122, false}, {"先ファイル", 122, false},
    {"属性名", 62, false}, {"現場名", 62, false},      {"画", 28, true},
    {"路", 28, true},      {"替", 28, true},           {"同", 28, true},
};

// The client area below the menu bar at 96 dpi: the controls end at 787,
// the status bar (19 high) starts at 378; the window's outer size.
inline constexpr int kMainClientWidth = 792;
inline constexpr int kMainStatusTop = 378;
inline constexpr int kMainStatusHeight = 19;
inline constexpr int kMainOuterWidth = 800;
inline constexpr int kMainOuterHeight = 451;

// The menu: two menus and their items, with access keys and shortcuts.
struct TMenuSpec {
    const char* Name;
    const char* Caption;
    const char* Shortcut;  // "Ctrl+O", "F1"; empty for none
    int Menu;              // 0 File, 1 Help
    bool SeparatorBefore;
};
inline constexpr const char* kMenuCaptions[2] = {"ファイル(&F)", "ヘルプ(&H)"};
inline constexpr TMenuSpec kMenuItems[] = {
    {"O1", "開く(&O)...", "Ctrl+O", 0, false},
    {"S1", "保存(&S)...", "Ctrl+S", 0, false},
    {"X1", "終了(&X)", "", 0, true},
    {"H2", "トピックの検索(&H)", "F1", 1, false},
    {"A1", "バージョン情報(&A)...", "", 1, true},
};

// The About box: client width, outer height, its caption and texts.
inline constexpr int kAboutClientWidth = 361;
inline constexpr int kAboutOuterHeight = 214;
inline constexpr const char* kAboutCaption = "バージョン情報";

// The layout entry of the control with this name; nullptr when there is none.
inline const TControlSpec* FindControlSpec(std::string_view name) {
    for (const TControlSpec& s : kMainControls)
        if (name == s.Name) return &s;
    return nullptr;
}

}  // namespace quorvex
