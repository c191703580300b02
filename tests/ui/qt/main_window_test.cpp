#include <QAction>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <cstdlib>
#include <filesystem>

#include "engine/convert.h"
#include "support/ini_file.h"
#include "support/paths.h"
#include "ui/qt/placement.h"
#include "window_fixture.h"

namespace quorvex {
namespace {

using test::kJapaneseColumn;
using test::ReadBytes;
using test::TUiRecorder;
using test::WriteBytes;
using test::WriteMifPair;
using Box = TUiRecorder::TBox;

// ---- The window as built ----

using MainWindowLayout = test::WindowTest;

TEST_F(MainWindowLayout, ControlsHaveTheirCaptionsAndStartStates) {
    EXPECT_EQ(frm->windowTitle(), "Quorvex Converter");
    const std::pair<const char*, QString> buttons[] = {
        {"btnSimBrowse", "参照"}, {"btnMifBrowse", "参照"},     {"btnAdd", "追加"},
        {"btnReplace", "置換"},   {"btnConvert", "すぐに変換"}, {"btnClear", "クリア"},
        {"btnRemove", "削除"},    {"btnBatch", "変換開始"},     {"btnCmbBrowse", "参照"}};
    for (const auto& [name, caption] : buttons) {
        EXPECT_EQ(Button(name)->text(), caption) << name;
        // Only replace and remove wait for a selected row.
        EXPECT_EQ(Button(name)->isEnabled(), caption != "置換" && caption != "削除") << name;
    }

    // Check boxes: frame, caption, initial tick.
    struct ExpectedCheck {
        const char* name;
        QString frame;
        QString caption;
        bool checked;
    };
    const ExpectedCheck checks[] = {
        {"chkKakuchi", "変換対象", "ポリゴン、円、長方形を画地として変換する。", true},
        {"chkRosen", "変換対象", "線、ポリラインを路線として変換する。", true},
        {"chkYX", "変換オプション", "X座標とY座標を入れ替える。", true},
        {"chkEnd", "変換オプション", "画地の最終点に始点と同一点を登録する。", false},
    };
    for (const auto& c : checks) {
        QCheckBox* box = Check(c.name);
        auto* frame = qobject_cast<QGroupBox*>(box->parentWidget());
        ASSERT_NE(frame, nullptr) << c.name;
        EXPECT_EQ(frame->title(), c.frame);
        EXPECT_EQ(box->text(), c.caption);
        EXPECT_EQ(box->isChecked(), c.checked) << c.name;
    }
    EXPECT_EQ(Check("chkCombine")->text(),
              "ファイルを統合する (XY座標の入替についてはリストの先頭の値で処理を行います。)");
    EXPECT_FALSE(Check("chkCombine")->isChecked());

    QStringList labels;
    for (const QLabel* l : frm->findChildren<QLabel*>())
        labels << l->text();
    for (const char* text :
         {"変換元MIFのファイル名", "変換後SIMAのファイル名",
          "SIMAの地番、路線名フィールドに格納する属性名", "SIMAに登録する現場名称", "バッチリスト",
          "統合後のSIMAに登録する現場名称", "統合後のファイル名", "平面直角座標系"})
        EXPECT_TRUE(labels.contains(QString::fromUtf8(text))) << text;

    EXPECT_FALSE(frm->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(frm->windowFlags() & Qt::WindowMinimizeButtonHint);

    if (const char* shots = std::getenv("QUORVEX_SCREENSHOT_DIR")) {
        frm->show();
        frm->grab().save(QString::fromUtf8(shots) + "/window.png");
    }
}

TEST_F(MainWindowLayout, TabOrderFollowsTheDesignAndFocusStartsInTheSimaName) {
    const char* order[] = {"edtSimFile",   "btnSimBrowse",   "edtMifFile", "btnMifBrowse",
                           "cboAttrName",  "edtGenba",       "cboZone",    "chkKakuchi",
                           "chkRosen",     "chkYX",          "chkEnd",     "btnAdd",
                           "btnReplace",   "btnConvert",     "lvwBatch",   "chkCombine",
                           "btnClear",     "btnRemove",      "btnBatch",   "edtConbineFile",
                           "btnCmbBrowse", "edtCombineGenba"};
    for (size_t i = 0; i + 1 < std::size(order); ++i) {
        QWidget* w = Get<QWidget>(order[i])->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus))
            w = w->nextInFocusChain();
        EXPECT_EQ(w->objectName(), order[i + 1]) << "after " << order[i];
    }
    EXPECT_EQ(frm->focusWidget(), Edit("edtSimFile"));
}

TEST_F(MainWindowLayout, BatchListHasTenColumns) {
    QTreeWidget* list = List();
    const QString captions[] = {"",   "元ファイル", "先ファイル", "属性名", "現場名",
                                "画", "路",         "替",         "同",     "系"};
    const int widths[] = {18, 122, 122, 62, 62, 28, 28, 28, 28, 40};
    ASSERT_EQ(list->columnCount(), 10);
    for (int c = 0; c < 10; ++c) {
        EXPECT_EQ(list->headerItem()->text(c), captions[c]);
        EXPECT_EQ(list->columnWidth(c), widths[c]);
        EXPECT_EQ(bool(list->headerItem()->textAlignment(c) & Qt::AlignHCenter), c >= 5) << c;
    }
}

TEST_F(MainWindowLayout, MenuItemsCarryAccessKeysAndShortcuts) {
    const QList<QAction*> menus = frm->menuBar()->actions();
    ASSERT_EQ(menus.size(), 3);
    EXPECT_EQ(menus[0]->text(), "ファイル(&F)");
    EXPECT_EQ(menus[1]->text(), "表示(&V)");
    EXPECT_EQ(menus[2]->text(), "ヘルプ(&H)");
    struct Item {
        const char* name;
        QString text;
        QKeySequence key;
    };
    const Item items[] = {{"O1", "開く(&O)...", QKeySequence("Ctrl+O")},
                          {"S1", "保存(&S)...", QKeySequence("Ctrl+S")},
                          {"X1", "終了(&X)", QKeySequence()},
                          {"P1", "プレビュー(&P)", QKeySequence("Ctrl+P")},
                          {"H2", "トピックの検索(&H)", QKeySequence("F1")},
                          {"A1", "バージョン情報(&A)...", QKeySequence()}};
    for (const auto& item : items) {
        QAction* a = Get<QAction>(item.name);
        EXPECT_EQ(a->text(), item.text);
        EXPECT_EQ(a->shortcut(), item.key) << item.name;
    }
}

TEST_F(MainWindowLayout, HelpFileIsTheExecutableWithHtmlAndKeysReachTheHandlers) {
    EXPECT_EQ(frm->HelpFile().toStdString(), ChangeFileExt(GetExePath(), ".html"));
    frm->show();
    frm->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frm.get()));
    QTest::keyClick(Edit("edtGenba"), Qt::Key_F1);
    ASSERT_EQ(ui.HelpShown.size(), 1u);
    EXPECT_EQ(ui.HelpShown[0], frm->HelpFile());
    // Ctrl+S reaches the save command, which refuses an empty list.
    QTest::keyClick(frm.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(ui.Texts(), std::vector<QString>{"対象のバッチリストがありません。"});
    QTest::keyClick(frm.get(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(ui.Dialogs, std::vector<QString>{"OpenDialog2"});
    Get<QAction>("A1")->trigger();
    EXPECT_EQ(ui.AboutShown, 1);
    Get<QAction>("X1")->trigger();
    EXPECT_FALSE(frm->isVisible());
}

// ---- Placement ----

using Placement = test::WindowTest;

TEST_F(Placement, FirstRunOpensAtDefaultsAndCloseWritesFiveKeys) {
    frm->show();
    EXPECT_EQ(frm->pos(), QPoint(20, 20));
    EXPECT_EQ(frm->windowState(), Qt::WindowNoState);
    // Its own size, whatever was stored.
    EXPECT_EQ(frm->frameGeometry().size(), QSize(800, 451));
    EXPECT_EQ(frm->statusBar()->geometry().bottom(), frm->height() - 1);
    frm->close();
    const TIniFile ini(store.Path);
    EXPECT_EQ(ini.ReadInteger("Window", "Left", -1), 20);
    EXPECT_EQ(ini.ReadInteger("Window", "Top", -1), 20);
    EXPECT_EQ(ini.ReadInteger("Window", "Width", -1), frm->frameGeometry().width());
    EXPECT_EQ(ini.ReadInteger("Window", "Height", -1), frm->frameGeometry().height());
    EXPECT_EQ(ini.ReadInteger("Window", "State", -1), 0);
    EXPECT_TRUE(ui.Errors.empty());
}

TEST_F(Placement, NormalCloseStoresPositionAndSizeAndForeignContentSurvives) {
    WriteBytes(store.Path, "[Recent]\r\nFile=a.txt\r\n[window]\r\nleft=5\r\n; note\r\n");
    frm->show();
    EXPECT_EQ(frm->pos(), QPoint(5, 20));
    frm->move(100, 50);
    frm->close();
    const std::string text = ReadBytes(store.Path);
    EXPECT_EQ(text.substr(0, 32), "[Recent]\r\nFile=a.txt\r\n[window]\r\n");
    EXPECT_NE(text.find("left=100\r\n"), std::string::npos);
    EXPECT_NE(text.find("; note\r\n"), std::string::npos);
    const TIniFile ini(store.Path);
    EXPECT_EQ(ini.ReadInteger("Window", "Top", -1), 50);
    EXPECT_EQ(ini.ReadInteger("Window", "State", -1), 0);
}

TEST_F(Placement, MinimisedCloseWritesOnlyTheState) {
    WriteBytes(store.Path, "[Window]\r\nLeft=0x40\r\nTop=70\r\nWidth=640\r\nHeight=480\r\n");
    frm->show();
    EXPECT_EQ(frm->pos(), QPoint(64, 70));
    frm->setWindowState(Qt::WindowMinimized);
    frm->close();
    EXPECT_EQ(ReadBytes(store.Path),
              "[Window]\r\nLeft=0x40\r\nTop=70\r\nWidth=640\r\nHeight=480\r\nState=2\r\n");

    // The next start comes back minimised at the stored position.
    TfrmMain next(ui, store);
    next.show();
    EXPECT_EQ(next.pos(), QPoint(64, 70));
    EXPECT_TRUE(next.windowState() & Qt::WindowMinimized);
}

TEST_F(Placement, UnknownStateAndWordsGiveDefaults) {
    WriteBytes(store.Path, "[Window]\r\nLeft=abc\r\nTop=12\r\nState=7\r\n");
    frm->show();
    EXPECT_EQ(frm->pos(), QPoint(20, 12));
    EXPECT_EQ(frm->windowState(), Qt::WindowNoState);
}

TEST_F(Placement, StorePathFollowsTheExecutableName) {
    const TPlacementStore s = TPlacementStore::ForExecutable("/opt/tools/Other");
    EXPECT_EQ(s.Path, "/opt/tools/Other.INI");
    EXPECT_EQ(TPlacementStore::ForExecutable("/opt/tools/Quorvex.exe").Path,
              "/opt/tools/Quorvex.INI");
    EXPECT_EQ(std::filesystem::path(s.FallbackPath).filename(), "Other.INI");
    EXPECT_EQ(TPlacementStore::Default().Path, GetAppDir() + GetBaseName(GetExePath()) + ".INI");
}

TEST_F(Placement, UnwritableStoreFallsBackToTheConfigurationFolder) {
    store.Path = dir / "missing-dir/Quorvex.INI";
    TfrmMain first(ui, store);
    first.show();
    first.move(33, 44);
    first.close();
    EXPECT_TRUE(ui.Errors.empty());
    EXPECT_EQ(TIniFile(store.FallbackPath).ReadInteger("Window", "Left", -1), 33);

    // Read from there while no store beside the executable exists.
    TfrmMain second(ui, store);
    second.show();
    EXPECT_EQ(second.pos(), QPoint(33, 44));
}

TEST_F(Placement, StoreThatCannotBeWrittenAnywhereIsReportedAndTheWindowStillCloses) {
    store.Path = dir / "missing-dir/Quorvex.INI";
    WriteBytes(dir / "config", "a file where the folder should be");
    TfrmMain form(ui, store);
    form.show();
    form.close();
    EXPECT_FALSE(form.isVisible());
    // The store chosen at the start, the user's one, is named.
    EXPECT_EQ(ui.Errors, std::vector<QString>{QString::fromStdString(store.FallbackPath) +
                                              " に書き込めません"});
}

// Under a window manager the frame is known only after the window is shown;
// the position stored is the frame's and must come back as the frame's.
TEST_F(Placement, ThreeRestartsKeepThePositionAndOuterSizeToThePixel) {
    WriteBytes(store.Path, "[Window]\r\nLeft=19\r\nTop=0\r\n");
    for (int start = 0; start < 3; ++start) {
        TfrmMain form(ui, store);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        (void)QTest::qWaitFor([&] { return form.frameGeometry() == QRect(19, 0, 800, 451); }, 3000);
        EXPECT_EQ(form.frameGeometry(), QRect(19, 0, 800, 451)) << "start " << start;
        form.close();
        const TIniFile ini(store.Path);
        EXPECT_EQ(ini.ReadInteger("Window", "Left", -1), 19);
        EXPECT_EQ(ini.ReadInteger("Window", "Top", -1), 0);
        EXPECT_EQ(ini.ReadInteger("Window", "Width", -1), 800);
        EXPECT_EQ(ini.ReadInteger("Window", "Height", -1), 451);
    }
}

TEST_F(Placement, TitleBarOffEveryScreenIsBroughtBack) {
    if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "needs a window manager";
    WriteBytes(store.Path, "[Window]\r\nLeft=17\r\nTop=-40\r\n");
    frm->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frm.get()));
    (void)QTest::qWaitFor([&] { return frm->frameGeometry().topLeft() == QPoint(17, 0); }, 3000);
    EXPECT_EQ(frm->frameGeometry().topLeft(), QPoint(17, 0));
}

// An installed program: its store in the configuration folder from the first
// start, though it could write beside itself (as root can).
TEST_F(Placement, InstalledProgramKeepsItsStoreInTheConfigurationFolder) {
    std::filesystem::create_directories(dir / "usr/bin");
    std::filesystem::create_directories(dir / "usr/share/quorvex");
    const std::string config = dir / "home/.config/Quorvex Converter";
    const TPlacementStore installed = TPlacementStore::Locate(dir / "usr/bin/quorvex", config);
    EXPECT_EQ(installed.Path, config + "/quorvex.INI");
    EXPECT_EQ(installed.FallbackPath, "");

    TfrmMain first(ui, installed);
    first.show();
    first.move(41, 42);
    first.close();
    EXPECT_TRUE(ui.Errors.empty());
    EXPECT_EQ(TIniFile(installed.Path).ReadInteger("Window", "Left", -1), 41);
    EXPECT_FALSE(std::filesystem::exists(dir / "usr/bin/quorvex.INI"));
    TfrmMain second(ui, installed);
    second.show();
    EXPECT_EQ(second.pos(), QPoint(41, 42));

    // The same program in a build folder keeps its store beside itself.
    std::filesystem::create_directories(dir / "build/bin");
    const TPlacementStore built = TPlacementStore::Locate(dir / "build/bin/quorvex", config);
    EXPECT_EQ(built.Path, dir / "build/bin/quorvex.INI");
    EXPECT_EQ(built.FallbackPath, config + "/quorvex.INI");
}

TEST_F(Placement, InstalledProgramReportsAConfigurationFolderItCannotWrite) {
    std::filesystem::create_directories(dir / "usr/bin");
    std::filesystem::create_directories(dir / "usr/share/quorvex");
    WriteBytes(dir / "home", "a file where the folder should be");
    const TPlacementStore installed =
        TPlacementStore::Locate(dir / "usr/bin/quorvex", dir / "home/.config/Q");
    TfrmMain form(ui, installed);
    form.show();
    form.close();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(ui.Errors,
              std::vector<QString>{QString::fromStdString(dir / "home/.config/Q/quorvex.INI") +
                                   " に書き込めません"});
}

TEST(Version, IsTheCompiledInFileVersion) {
    EXPECT_EQ(GetFileVersionString(), "2.0.0.77");
}

// ---- Single conversion panel ----

class Panel : public test::WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        mif = dir / "town.mif";
        WriteMifPair(mif);
    }
    std::string mif;
};

TEST_F(Panel, CheckStopsAtTheFirstFailureInOrder) {
    // All wrong: only the first message.
    Edit("edtMifFile")->setText(QString::fromStdString(mif + " "));
    Edit("edtSimFile")->setText("   ");
    Check("chkKakuchi")->setChecked(false);
    Check("chkRosen")->setChecked(false);
    Edit("edtGenba")->setText("😀");
    EXPECT_FALSE(frm->Logic().CheckInput());
    Edit("edtMifFile")->setText(QString::fromStdString(mif));
    EXPECT_FALSE(frm->Logic().CheckInput());
    Edit("edtSimFile")->setText(" out.sim");
    EXPECT_FALSE(frm->Logic().CheckInput());
    Check("chkRosen")->setChecked(true);
    EXPECT_FALSE(frm->Logic().CheckInput());
    Edit("edtGenba")->setText("北地区");
    EXPECT_TRUE(frm->Logic().CheckInput());
    EXPECT_EQ(ui.Messages,
              (std::vector<Box>{
                  {TMessageKind::Warning, "変換元MIFのファイル名が不正です。"},
                  {TMessageKind::Warning, "変換後SIMAのファイル名が不正です。"},
                  {TMessageKind::Warning, "変換対象は最低1つは必要です。"},
                  {TMessageKind::Warning, "現場名称に使用できない文字が含まれています。"},
              }));
}

TEST_F(Panel, MifBrowseFillsBothNamesAndClearsTheAttributeChoice) {
    Edit("edtMifFile")->setText(QString::fromStdString(mif));
    DropDown();
    Combo()->setCurrentIndex(2);
    ui.Answers = {"/data/town.mif", "/data/plain", std::nullopt};
    Button("btnMifBrowse")->click();
    EXPECT_EQ(Edit("edtMifFile")->text(), "/data/town.mif");
    EXPECT_EQ(Edit("edtSimFile")->text(), "/data/town.sim");
    EXPECT_EQ(Combo()->currentIndex(), -1);
    EXPECT_EQ(Combo()->count(), 4);  // the entries stay
    Button("btnMifBrowse")->click();
    EXPECT_EQ(Edit("edtSimFile")->text(), "/data/plain.sim");
    Button("btnMifBrowse")->click();  // cancelled
    EXPECT_EQ(Edit("edtMifFile")->text(), "/data/plain");
    EXPECT_EQ(ui.Dialogs, (std::vector<QString>{"OpenDialog1", "OpenDialog1", "OpenDialog1"}));
}

TEST_F(Panel, SimaBrowseSetsOnlyTheSimaName) {
    Edit("edtMifFile")->setText("keep.mif");
    ui.Answers = {"/out/a.sim", "/out/all.sim"};
    Button("btnSimBrowse")->click();
    EXPECT_EQ(Edit("edtSimFile")->text(), "/out/a.sim");
    EXPECT_EQ(Edit("edtMifFile")->text(), "keep.mif");
    Button("btnCmbBrowse")->click();
    EXPECT_EQ(Edit("edtConbineFile")->text(), "/out/all.sim");
    EXPECT_EQ(ui.Dialogs, (std::vector<QString>{"SaveDialog1", "SaveDialog1"}));
}

TEST_F(Panel, DropDownListsABlankEntryAndTheColumnsAtEveryOpening) {
    DropDown();  // no MIF named: nothing happens
    EXPECT_EQ(Combo()->count(), 0);
    Edit("edtMifFile")->setText(QString::fromStdString(mif));
    DropDown();
    ASSERT_EQ(Combo()->count(), 4);
    EXPECT_EQ(Combo()->itemText(0), "");
    EXPECT_EQ(Combo()->itemText(1), "CHIBAN");
    EXPECT_EQ(Combo()->itemText(2), "名前");
    EXPECT_EQ(Combo()->itemText(3), "AREA");
    EXPECT_EQ(Combo()->currentIndex(), -1);

    // Opening again after a choice, without picking, leaves nothing chosen.
    Combo()->setCurrentIndex(1);
    DropDown();
    EXPECT_EQ(Combo()->currentIndex(), -1);

    // A name that is not a file keeps entries and choice.
    Combo()->setCurrentIndex(3);
    Edit("edtMifFile")->setText(QString::fromStdString(mif + " "));
    DropDown();
    EXPECT_EQ(Combo()->count(), 4);
    EXPECT_EQ(Combo()->currentIndex(), 3);

    // Nothing is cached: a changed file gives new entries.
    WriteBytes(mif, "Version 300\r\nColumns 1\r\n  ONLY Char(5)\r\nData\r\n");
    Edit("edtMifFile")->setText(QString::fromStdString(mif));
    DropDown();
    ASSERT_EQ(Combo()->count(), 2);
    EXPECT_EQ(Combo()->itemText(1), "ONLY");
}

TEST_F(Panel, ConvertPassesThePanelToTheEngine) {
    const std::string sim = dir / "out.sim";
    FillPanel(mif, sim);
    Edit("edtGenba")->setText("北地区");
    Check("chkEnd")->setChecked(true);
    DropDown();
    Combo()->setCurrentIndex(2);
    Button("btnConvert")->click();
    EXPECT_EQ(ui.Messages, (std::vector<Box>{{TMessageKind::Information, "変換に成功しました。"}}));
    EXPECT_EQ(ui.BusyDepth, 0);
    EXPECT_EQ(ui.BusyCalls, 2);

    TConvertSettings expected;
    expected.MifFile = mif;
    expected.SimFile = dir / "expected.sim";
    expected.Genba = "\x96\x6B\x92\x6E\x8B\xE6";  // 北地区
    expected.AttrIndex = 2;
    expected.CloseParcel = true;
    ASSERT_TRUE(ConvertFile(expected));
    const std::string bytes = ReadBytes(sim);
    EXPECT_EQ(bytes, ReadBytes(expected.SimFile));
    EXPECT_NE(bytes.find("G00,02,\x96\x6B\x92\x6E\x8B\xE6,\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("D00,1,\x96\x6B,1,"), std::string::npos);  // field 2 of the MID row
}

TEST_F(Panel, ListNeverOpenedPassesNoAttribute) {
    const std::string sim = dir / "out.sim";
    FillPanel(mif, sim);
    Check("chkYX")->setChecked(false);
    Button("btnConvert")->click();
    TConvertSettings expected;
    expected.MifFile = mif;
    expected.SimFile = dir / "expected.sim";
    expected.AttrIndex = -1;
    expected.SwapXY = false;
    ASSERT_TRUE(ConvertFile(expected));
    EXPECT_EQ(ReadBytes(sim), ReadBytes(expected.SimFile));
    EXPECT_EQ(ReadBytes(sim).find("1-1"), std::string::npos);
}

TEST_F(Panel, FailedConversionIsAWarningWithItsCause) {
    std::filesystem::remove(dir / "town.mid");
    FillPanel(mif, dir / "out.sim");
    Button("btnConvert")->click();
    const QString cause =
        "MIDファイル「" + QString::fromStdString(dir / "town.mid") + "」が見つかりません。";
    EXPECT_EQ(ui.Messages,
              (std::vector<Box>{{TMessageKind::Warning, "変換に失敗しました。\n" + cause}}));
    EXPECT_EQ(ui.BusyDepth, 0);
    EXPECT_EQ(frm->statusBar()->currentMessage(), "");
}

TEST_F(Panel, EscapingFileErrorIsShownOnceWithTheCursorRestored) {
    FillPanel(mif, dir / "no-such-dir/out.sim");
    Button("btnConvert")->click();
    EXPECT_TRUE(ui.Messages.empty());
    ASSERT_EQ(ui.Errors.size(), 1u);
    EXPECT_TRUE(ui.Errors[0].contains("no-such-dir")) << ui.Errors[0].toStdString();
    EXPECT_EQ(ui.BusyDepth, 0);
    // The window goes on working.
    FillPanel(mif, dir / "out.sim");
    Button("btnConvert")->click();
    EXPECT_EQ(ui.Texts(), std::vector<QString>{"変換に成功しました。"});
}

TEST_F(Panel, UnreadableColumnsAreShownAndLeaveOnlyTheBlankEntry) {
    Edit("edtMifFile")->setText(QString::fromStdString(mif));
    DropDown();
    WriteBytes(mif, "Version 300\r\nColumns -1\r\n  A Char(5)\r\n");
    DropDown();
    EXPECT_EQ(ui.Errors.size(), 1u);
    EXPECT_EQ(Combo()->count(), 1);
}

}  // namespace
}  // namespace quorvex
