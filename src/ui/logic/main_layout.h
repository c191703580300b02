// The main window as designed at 96 dpi, once for both faces: every control
// and menu with its kind, caption, rectangle, start state and the command
// its events run; the batch list's columns; the row marks' shapes; the About
// box. A face creates what this table lists, in its order, paints the marks
// from their shapes and hands every event to the logic as the row's command.
#pragma once

#include <cstddef>
#include <iterator>
#include <optional>
#include <span>
#include <string_view>

namespace quorvex {

// Every control and menu of the window, in table order: kMainControls[i]
// describes TControl(i). Controls come in creation order, which is also the
// Tab order of those that take the focus; the menus ("ファイル" F1,
// "表示" V1, "ヘルプ" H1) follow, each with its items.
enum class TControl {
    Label1,
    Label2,
    Label3,
    Label4,
    Label5,
    Label6,
    Label7,
    Label8,
    edtSimFile,
    btnSimBrowse,
    edtMifFile,
    btnMifBrowse,
    cboAttrName,
    edtGenba,
    cboZone,
    GroupBox1,
    chkKakuchi,
    chkRosen,
    GroupBox2,
    chkYX,
    chkEnd,
    btnAdd,
    btnReplace,
    btnConvert,
    lvwBatch,
    chkCombine,
    btnClear,
    btnRemove,
    btnBatch,
    edtConbineFile,
    btnCmbBrowse,
    edtCombineGenba,
    F1,
    O1,
    S1,
    X1,
    V1,
    P1,
    H1,
    H2,
    A1
};

// What an event of a control asks the logic to do: the window's handlers.
enum class TCommand {
    None,
    btnMifBrowseClick,
    btnSimBrowseClick,
    cboAttrNameDropDown,  // the list is about to open
    btnConvertClick,
    btnAddClick,
    btnReplaceClick,
    btnRemoveClick,
    btnClearClick,
    lvwBatchChange,  // the selection changed
    lvwBatchDblClick,
    btnBatchClick,
    btnCmbBrowseClick,
    O1Click,
    S1Click,
    X1Click,
    H2Click,
    A1Click,
    P1Click,        // the preview of the panel's job or of the focused list's row
    lvwBatchEnter,  // Enter on the list: why the selected row failed
};

enum class TControlKind {
    Label,
    Edit,
    Button,
    DropDownList,
    GroupBox,
    CheckBox,
    ListView,
    Menu,
    MenuItem
};

struct TControlSpec {
    TControl Id;
    const char* Name;
    TControlKind Kind;
    const char* Caption;
    int Left = 0, Top = 0, Width = 0, Height = 0;  // a label's size follows its caption
    // The group box a control sits in (its position is relative to it), or
    // the menu of a menu item.
    std::optional<TControl> Parent = {};
    // Click, menu choice, a drop-down about to open, a list's new selection.
    TCommand Command = TCommand::None;
    TCommand DblClick = TCommand::None;
    const char* Shortcut = "";  // "Ctrl+O", "F1"
    bool Checked = false;
    bool Enabled = true;
    bool SeparatorBefore = false;  // menu items
    // The fixed entries of a drop-down list, the first one chosen at the
    // start; none for a list the logic fills.
    std::span<const char* const> Items = {};
};

// The plane rectangular zone drop-down: entry k is zone k, entry 0 writes
// the coordinates as they stand.
inline constexpr const char* kZoneItems[] = {
    "そのまま", "第I系",    "第II系",  "第III系",  "第IV系",    "第V系",   "第VI系",
    "第VII系",  "第VIII系", "第IX系",  "第X系",    "第XI系",    "第XII系", "第XIII系",
    "第XIV系",  "第XV系",   "第XVI系", "第XVII系", "第XVIII系", "第XIX系"};

namespace main_layout_rows {
using K = TControlKind;
using C = TCommand;
constexpr std::optional<TControl> kNone;
// clang-format off
inline constexpr TControlSpec kMainControls[] = {
    // Id, Name, Kind, Caption, Left, Top, Width, Height, Parent, Command, DblClick, Shortcut,
    // Checked, Enabled, SeparatorBefore
    {TControl::Label1, "Label1", K::Label, "変換元MIFのファイル名", 8, 8},
    {TControl::Label2, "Label2", K::Label, "変換後SIMAのファイル名", 8, 48},
    {TControl::Label3, "Label3", K::Label, "SIMAの地番、路線名フィールドに格納する属性名", 8, 96},
    {TControl::Label4, "Label4", K::Label, "SIMAに登録する現場名称", 8, 144},
    {TControl::Label5, "Label5", K::Label, "バッチリスト", 328, 8},
    {TControl::Label6, "Label6", K::Label, "統合後のSIMAに登録する現場名称", 328, 272},
    {TControl::Label7, "Label7", K::Label, "統合後のファイル名", 328, 312},
    {TControl::Label8, "Label8", K::Label, "平面直角座標系", 176, 144},
    {TControl::edtSimFile, "edtSimFile", K::Edit, "", 8, 64, 249, 20},
    {TControl::btnSimBrowse, "btnSimBrowse", K::Button, "参照", 264, 64, 49, 21, kNone,
     C::btnSimBrowseClick},
    {TControl::edtMifFile, "edtMifFile", K::Edit, "", 8, 24, 249, 20},
    {TControl::btnMifBrowse, "btnMifBrowse", K::Button, "参照", 264, 24, 49, 21, kNone,
     C::btnMifBrowseClick},
    {TControl::cboAttrName, "cboAttrName", K::DropDownList, "", 8, 112, 249, 22, kNone,
     C::cboAttrNameDropDown},
    // The site name leaves the right of its row to the zone.
    {TControl::edtGenba, "edtGenba", K::Edit, "", 8, 160, 161, 20},
    {TControl::cboZone, "cboZone", K::DropDownList, "", 176, 160, 137, 22, kNone,
     C::None, C::None, "", false, true, false, kZoneItems},
    {TControl::GroupBox1, "GroupBox1", K::GroupBox, "変換対象", 8, 192, 305, 73},
    {TControl::chkKakuchi, "chkKakuchi", K::CheckBox, "ポリゴン、円、長方形を画地として変換する。",
     16, 24, 281, 17, TControl::GroupBox1, C::None, C::None, "", true},
    {TControl::chkRosen, "chkRosen", K::CheckBox, "線、ポリラインを路線として変換する。",
     16, 48, 281, 17, TControl::GroupBox1, C::None, C::None, "", true},
    {TControl::GroupBox2, "GroupBox2", K::GroupBox, "変換オプション", 8, 272, 305, 73},
    {TControl::chkYX, "chkYX", K::CheckBox, "X座標とY座標を入れ替える。",
     16, 24, 257, 17, TControl::GroupBox2, C::None, C::None, "", true},
    {TControl::chkEnd, "chkEnd", K::CheckBox, "画地の最終点に始点と同一点を登録する。",
     16, 48, 281, 17, TControl::GroupBox2},
    {TControl::btnAdd, "btnAdd", K::Button, "追加", 80, 352, 75, 21, kNone, C::btnAddClick},
    {TControl::btnReplace, "btnReplace", K::Button, "置換", 160, 352, 75, 21, kNone,
     C::btnReplaceClick, C::None, "", false, false},
    {TControl::btnConvert, "btnConvert", K::Button, "すぐに変換", 240, 352, 75, 21, kNone,
     C::btnConvertClick},
    {TControl::lvwBatch, "lvwBatch", K::ListView, "", 328, 24, 457, 217, kNone,
     C::lvwBatchChange, C::lvwBatchDblClick},
    {TControl::chkCombine, "chkCombine", K::CheckBox,
     "ファイルを統合する (XY座標の入替についてはリストの先頭の値で処理を行います。)",
     328, 248, 457, 17},
    {TControl::btnClear, "btnClear", K::Button, "クリア", 552, 352, 75, 21, kNone,
     C::btnClearClick},
    {TControl::btnRemove, "btnRemove", K::Button, "削除", 632, 352, 75, 21, kNone,
     C::btnRemoveClick, C::None, "", false, false},
    {TControl::btnBatch, "btnBatch", K::Button, "変換開始", 712, 352, 75, 21, kNone,
     C::btnBatchClick},
    {TControl::edtConbineFile, "edtConbineFile", K::Edit, "", 328, 328, 401, 20},
    {TControl::btnCmbBrowse, "btnCmbBrowse", K::Button, "参照", 736, 328, 49, 21, kNone,
     C::btnCmbBrowseClick},
    {TControl::edtCombineGenba, "edtCombineGenba", K::Edit, "", 328, 288, 401, 20},
    {TControl::F1, "F1", K::Menu, "ファイル(&F)"},
    {TControl::O1, "O1", K::MenuItem, "開く(&O)...", 0, 0, 0, 0, TControl::F1,
     C::O1Click, C::None, "Ctrl+O"},
    {TControl::S1, "S1", K::MenuItem, "保存(&S)...", 0, 0, 0, 0, TControl::F1,
     C::S1Click, C::None, "Ctrl+S"},
    {TControl::X1, "X1", K::MenuItem, "終了(&X)", 0, 0, 0, 0, TControl::F1,
     C::X1Click, C::None, "", false, true, true},
    {TControl::V1, "V1", K::Menu, "表示(&V)"},
    {TControl::P1, "P1", K::MenuItem, "プレビュー(&P)", 0, 0, 0, 0, TControl::V1,
     C::P1Click, C::None, "Ctrl+P"},
    {TControl::H1, "H1", K::Menu, "ヘルプ(&H)"},
    {TControl::H2, "H2", K::MenuItem, "トピックの検索(&H)", 0, 0, 0, 0, TControl::H1,
     C::H2Click, C::None, "F1"},
    {TControl::A1, "A1", K::MenuItem, "バージョン情報(&A)...", 0, 0, 0, 0, TControl::H1,
     C::A1Click, C::None, "", false, true, true},
};
// clang-format on
}  // namespace main_layout_rows
using main_layout_rows::kMainControls;
inline constexpr size_t kControlCount = std::size(kMainControls);

// Row i describes TControl(i), so a control's row is found by its value.
constexpr bool RowsInControlOrder() {
    for (size_t i = 0; i < kControlCount; ++i)
        if (static_cast<size_t>(kMainControls[i].Id) != i) return false;
    return true;
}
static_assert(RowsInControlOrder());

constexpr const TControlSpec& Spec(TControl control) {
    return kMainControls[static_cast<size_t>(control)];
}

// Child windows of the client area, as opposed to the menu bar's entries.
constexpr bool IsClientControl(TControlKind kind) {
    return kind != TControlKind::Menu && kind != TControlKind::MenuItem;
}

// Controls that the Tab key visits.
constexpr bool TakesFocus(TControlKind kind) {
    return IsClientControl(kind) && kind != TControlKind::Label && kind != TControlKind::GroupBox;
}

// The control's left and top in the client area.
constexpr int ClientLeft(const TControlSpec& spec) {
    return spec.Left + (spec.Parent ? Spec(*spec.Parent).Left : 0);
}
constexpr int ClientTop(const TControlSpec& spec) {
    return spec.Top + (spec.Parent ? Spec(*spec.Parent).Top : 0);
}

// The entry of the control with this name; nullptr when there is none.
constexpr const TControlSpec* FindControlSpec(std::string_view name) {
    for (const TControlSpec& s : kMainControls)
        if (name == s.Name) return &s;
    return nullptr;
}

// The batch list's columns: the mark and caption, then the sub-items, then
// the row's zone.
struct TColumnSpec {
    const char* Caption;
    int Width;
    bool Centred;
};
inline constexpr TColumnSpec kBatchColumns[10] = {
    {"", 18, false},       {"元ファイル", 122, false}, {"先ファイル", 122, false},
    {"属性名", 62, false}, {"現場名", 62, false},      {"画", 28, true},
    {"路", 28, true},      {"替", 28, true},           {"同", 28, true},
    {"系", 40, true},
};

// The client area below the menu bar at 96 dpi: the controls end at 787,
// the status bar (19 high) starts at 378; the window's outer size.
inline constexpr int kMainClientWidth = 792;
inline constexpr int kMainStatusTop = 378;
inline constexpr int kMainStatusHeight = 19;
inline constexpr int kMainOuterWidth = 800;
inline constexpr int kMainOuterHeight = 451;

// Row marks: the images of ImageList1.
enum TRowMark { kNoMark = -1, kMarkDone = 0, kMarkFailed = 1 };

// A mark's image: round-capped strokes of one colour in a 16 x 16 box.
struct TMarkPoint {
    double X, Y;
};
struct TMarkStroke {
    int Count;
    TMarkPoint Points[3];
};
struct TMarkShape {
    unsigned char Red, Green, Blue;
    double PenWidth;
    int StrokeCount;
    TMarkStroke Strokes[2];
};
inline constexpr int kMarkBox = 16;
// Indexed by the mark: the green tick, the red cross.
inline constexpr TMarkShape kMarkShapes[2] = {
    {0, 160, 0, 2.5, 1, {{3, {{3, 8.5}, {6.5, 12}, {13, 4}}}}},
    {215, 0, 0, 2.5, 2, {{2, {{4, 4}, {12, 12}}}, {2, {{12, 4}, {4, 12}}}}},
};

// The About box: client width, outer height, caption and its items.
inline constexpr int kAboutClientWidth = 361;
inline constexpr int kAboutOuterHeight = 214;
inline constexpr int kAboutMargin = 8;
inline constexpr const char* kAboutCaption = "バージョン情報";

enum class TAboutItem {
    imgProgram,
    lblTitle,
    lblVersion,
    imgBanner,
    lblUrlCaption,
    Label6,  // the web link
    lblMailCaption,
    Label4,  // the mail link
    Button1,
};
enum class TAboutKind { Image, Label, Link, Button };
struct TAboutSpec {
    TAboutItem Id;
    const char* Name;
    TAboutKind Kind;
    const char* Caption;           // nullptr: the face fills it in (version, addresses)
    int Left, Top, Width, Height;  // 0 width: as wide as its text, up to the margin
};
inline constexpr TAboutSpec kAboutItems[] = {
    {TAboutItem::imgProgram, "imgProgram", TAboutKind::Image, nullptr, 64, 16, 32, 32},
    {TAboutItem::lblTitle, "lblTitle", TAboutKind::Label, "Quorvex Converter", 104, 16, 0, 0},
    {TAboutItem::lblVersion, "lblVersion", TAboutKind::Label, nullptr, 104, 32, 0, 0},
    {TAboutItem::imgBanner, "imgBanner", TAboutKind::Image, nullptr, 8, 80, 88, 31},
    {TAboutItem::lblUrlCaption, "lblUrlCaption", TAboutKind::Label, "URL", 104, 112, 0, 0},
    {TAboutItem::Label6, "Label6", TAboutKind::Link, nullptr, 152, 112, 0, 0},
    {TAboutItem::lblMailCaption, "lblMailCaption", TAboutKind::Label, "E-MAIL", 104, 128, 0, 0},
    {TAboutItem::Label4, "Label4", TAboutKind::Link, nullptr, 152, 128, 0, 0},
    {TAboutItem::Button1, "Button1", TAboutKind::Button, "OK", 144, 152, 75, 21},
};

constexpr const TAboutSpec& AboutSpec(TAboutItem item) {
    return kAboutItems[static_cast<size_t>(item)];
}

}  // namespace quorvex
