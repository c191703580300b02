#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QProxyStyle>
#include <QStatusBar>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "support/paths.h"
#include "window_fixture.h"

namespace quorvex {
namespace {

using test::kJapaneseColumn;
using test::ReadBytes;
using test::TUiRecorder;
using test::WriteBytes;
using test::WriteMifPair;
using Box = TUiRecorder::TBox;

constexpr std::string_view kOn = "\x81\x9B";                         // ○
constexpr std::string_view kOff = "\x81\x7E";                        // ×
constexpr std::string_view kKitaChiku = "\x96\x6B\x92\x6E\x8B\xE6";  // 北地区

class Batch : public test::WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        mif = dir / "town.mif";
        WriteMifPair(mif);
    }

    void Select(int row) { List()->setCurrentItem(List()->topLevelItem(row)); }
    void DoubleClick(int row) {
        if (!frm->isVisible()) {
            frm->show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(frm.get()));
        }
        Select(row);
        const QRect r = List()->visualItemRect(List()->topLevelItem(row));
        // A real double-click: press and release, then the double-click.
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, r.center());
    }
    // Adds a row for `mifPath` writing `sim`.
    void AddRow(const std::string& mifPath, const std::string& sim) {
        FillPanel(mifPath, sim);
        Button("btnAdd")->click();
    }
    std::vector<int> Marks() const {
        std::vector<int> marks;
        for (int i = 0; i < frm->RowCount(); ++i)
            marks.push_back(frm->RowMark(i));
        return marks;
    }
    // Which of the editing controls are enabled, in a fixed order.
    std::vector<bool> EditingEnabled() {
        return {Button("btnAdd")->isEnabled(),    Button("btnReplace")->isEnabled(),
                Button("btnRemove")->isEnabled(), Button("btnClear")->isEnabled(),
                Button("btnBatch")->isEnabled(),  Get<QAction>("O1")->isEnabled(),
                Get<QAction>("S1")->isEnabled()};
    }

    std::string mif;
};

// ---- Editing ----

TEST_F(Batch, AddStoresThePanelAsBytes) {
    FillPanel(mif, dir / "a.sim");
    Edit("edtGenba")->setText("北地区");
    Check("chkYX")->setChecked(false);
    Button("btnAdd")->click();  // attribute list never opened
    DropDown();
    Combo()->setCurrentIndex(2);
    Check("chkEnd")->setChecked(true);
    Button("btnAdd")->click();
    Combo()->setCurrentIndex(0);
    Button("btnAdd")->click();

    ASSERT_EQ(frm->RowCount(), 3);
    const TBatchRow& first = frm->Row(0);
    EXPECT_EQ(first.Caption, "-1");
    EXPECT_EQ(first.SubItems[0], mif);
    EXPECT_EQ(first.SubItems[1], dir / "a.sim");
    EXPECT_EQ(first.SubItems[2], "");
    EXPECT_EQ(first.SubItems[3], kKitaChiku);
    EXPECT_EQ(first.SubItems[4], kOn);
    EXPECT_EQ(first.SubItems[5], kOn);
    EXPECT_EQ(first.SubItems[6], kOff);
    EXPECT_EQ(first.SubItems[7], kOff);
    EXPECT_EQ(frm->Row(1).Caption, "2");
    EXPECT_EQ(frm->Row(1).SubItems[2], kJapaneseColumn);
    EXPECT_EQ(frm->Row(1).SubItems[7], kOn);
    EXPECT_EQ(frm->Row(2).Caption, "0");
    EXPECT_EQ(frm->Row(2).SubItems[2], "");

    // Shown decoded.
    QTreeWidgetItem* item = List()->topLevelItem(1);
    EXPECT_EQ(item->text(0), "2");
    EXPECT_EQ(item->text(1), QString::fromStdString(mif));
    EXPECT_EQ(item->text(3), "名前");
    EXPECT_EQ(item->text(4), "北地区");
    EXPECT_EQ(item->text(5), "○");
    EXPECT_EQ(item->text(7), "×");
    EXPECT_EQ(item->textAlignment(6), Qt::AlignCenter);
    EXPECT_EQ(frm->RowMark(0), kNoMark);
    EXPECT_EQ(frm->SelectedRow(), -1);  // adding does not select
}

TEST_F(Batch, AddRefusesAnInvalidPanel) {
    FillPanel(mif, "  ");
    Button("btnAdd")->click();
    FillPanel(mif, dir / "a.sim");
    Edit("edtGenba")->setText("😀");
    Button("btnAdd")->click();
    EXPECT_EQ(frm->RowCount(), 0);
    EXPECT_EQ(ui.Texts(), (std::vector<QString>{"変換後SIMAのファイル名が不正です。",
                                                "現場名称に使用できない文字が含まれています。"}));
}

TEST_F(Batch, ReplaceAndRemoveFollowTheSelection) {
    AddRow(mif, dir / "a.sim");
    AddRow(mif, dir / "b.sim");
    AddRow(mif, dir / "c.sim");
    EXPECT_FALSE(Button("btnReplace")->isEnabled());
    EXPECT_FALSE(Button("btnRemove")->isEnabled());
    Select(1);
    EXPECT_TRUE(Button("btnReplace")->isEnabled());
    EXPECT_TRUE(Button("btnRemove")->isEnabled());

    // Replace writes the panel over the selected row, which stays selected.
    FillPanel(mif, dir / "new.sim");
    Check("chkKakuchi")->setChecked(false);
    Button("btnReplace")->click();
    EXPECT_EQ(frm->Row(1).SubItems[1], dir / "new.sim");
    EXPECT_EQ(frm->Row(1).SubItems[4], kOff);
    EXPECT_EQ(frm->SelectedRow(), 1);
    EXPECT_EQ(frm->Row(2).SubItems[1], dir / "c.sim");

    Button("btnRemove")->click();
    ASSERT_EQ(frm->RowCount(), 2);
    EXPECT_EQ(frm->Row(1).SubItems[1], dir / "c.sim");
    EXPECT_EQ(List()->topLevelItemCount(), 2);
    EXPECT_FALSE(Button("btnReplace")->isEnabled());
    EXPECT_FALSE(Button("btnRemove")->isEnabled());

    Select(0);
    Edit("edtCombineGenba")->setText("keep");
    Button("btnClear")->click();
    EXPECT_EQ(frm->RowCount(), 0);
    EXPECT_EQ(List()->topLevelItemCount(), 0);
    EXPECT_FALSE(Button("btnRemove")->isEnabled());
    EXPECT_EQ(Edit("edtCombineGenba")->text(), "keep");
    // Without rows both do nothing.
    frm->Logic().btnReplaceClick();
    frm->Logic().btnRemoveClick();
    EXPECT_EQ(frm->RowCount(), 0);
}

TEST_F(Batch, ReplaceClearsOnlyThatRowsMark) {
    AddRow(mif, dir / "a.sim");
    AddRow(mif, dir / "b.sim");
    Button("btnBatch")->click();
    EXPECT_EQ(Marks(), (std::vector<int>{0, 0}));
    Select(0);
    Button("btnReplace")->click();
    EXPECT_EQ(Marks(), (std::vector<int>{-1, 0}));
}

TEST_F(Batch, DoubleClickCopiesTheRowBackIntoThePanel) {
    DropDown();
    FillPanel(mif, dir / "a.sim");
    DropDown();
    Combo()->setCurrentIndex(3);
    Edit("edtGenba")->setText("北地区");
    Check("chkKakuchi")->setChecked(false);
    Check("chkYX")->setChecked(false);
    Check("chkEnd")->setChecked(true);
    Button("btnAdd")->click();

    // Change everything, then copy back.
    FillPanel(dir / "other.mif", "x.sim");
    Combo()->setCurrentIndex(1);
    Edit("edtGenba")->setText("x");
    Check("chkKakuchi")->setChecked(true);
    Check("chkRosen")->setChecked(false);
    Check("chkYX")->setChecked(true);
    Check("chkEnd")->setChecked(false);
    DoubleClick(0);
    EXPECT_EQ(Edit("edtMifFile")->text().toStdString(), mif);
    EXPECT_EQ(Edit("edtSimFile")->text().toStdString(), dir / "a.sim");
    EXPECT_EQ(Combo()->currentIndex(), 3);
    EXPECT_EQ(Edit("edtGenba")->text(), "北地区");
    EXPECT_FALSE(Check("chkKakuchi")->isChecked());
    EXPECT_TRUE(Check("chkRosen")->isChecked());
    EXPECT_FALSE(Check("chkYX")->isChecked());
    EXPECT_TRUE(Check("chkEnd")->isChecked());
    EXPECT_EQ(frm->RowCount(), 1);
}

TEST_F(Batch, DoubleClickOnARowWhoseMifIsGoneKeepsTheListEntries) {
    const std::string gone = dir / "gone.mif";
    WriteMifPair(gone);
    FillPanel(gone, dir / "a.sim");
    DropDown();
    Combo()->setCurrentIndex(1);
    Button("btnAdd")->click();
    std::filesystem::remove(gone);

    // Entries from another file stay; the stored position picks among them.
    WriteBytes(mif, "Version 300\r\nColumns 2\r\n  P Char(5)\r\n  Q Char(5)\r\nData\r\n");
    Edit("edtMifFile")->setText(QString::fromStdString(mif));
    DropDown();
    DoubleClick(0);
    EXPECT_TRUE(ui.Errors.empty());
    EXPECT_EQ(Edit("edtMifFile")->text().toStdString(), gone);
    ASSERT_EQ(Combo()->count(), 3);
    EXPECT_EQ(Combo()->itemText(1), "P");
    EXPECT_EQ(Combo()->currentIndex(), 1);
}

TEST_F(Batch, CaptionThatIsNotANumberOrOutOfRangeChoosesNothing) {
    const std::string list = dir / "list.txt";
    const std::string job = "\t\"" + mif + "\"\t\"a.sim\"\t\"\"\t\"\"\t\"" + std::string(kOn) +
                            "\"\t\"" + std::string(kOn) + "\"\t\"" + std::string(kOn) + "\"\t\"" +
                            std::string(kOff) + "\"\r\n";
    WriteBytes(list, "Quorvex\r\n200\r\n0\r\n\r\n\r\n\"x\"" + job + "\"9\"" + job);
    ui.Answers = {QString::fromStdString(list)};
    frm->Logic().O1Click();
    ASSERT_EQ(frm->RowCount(), 2);
    for (int row : {0, 1}) {
        Combo()->setCurrentIndex(-1);
        DoubleClick(row);
        EXPECT_EQ(Combo()->count(), 4);
        EXPECT_EQ(Combo()->currentIndex(), -1) << row;
    }
}

// ---- The batch-list file ----

TEST_F(Batch, SaveAndLoadReproduceTheListAndTheCombineSettings) {
    const std::string jpDir = dir / "測量";
    std::filesystem::create_directory(jpDir);
    const std::string jpMif = jpDir + "/北.mif";
    WriteMifPair(jpMif);
    FillPanel(jpMif, jpDir + "/北.sim");
    Edit("edtGenba")->setText("北地区 \"A\"");
    DropDown();
    Combo()->setCurrentIndex(2);
    Button("btnAdd")->click();
    FillPanel(mif, dir / "b.sim");
    Edit("edtGenba")->clear();
    Check("chkRosen")->setChecked(false);
    Combo()->setCurrentIndex(-1);
    Button("btnAdd")->click();
    Check("chkCombine")->setChecked(true);
    Edit("edtConbineFile")->setText(QString::fromStdString(jpDir + "/全体.sim"));
    Edit("edtCombineGenba")->setText("南地区");
    const std::vector<TBatchRow> saved = {frm->Row(0), frm->Row(1)};

    const std::string path = dir / "list.txt";
    ui.Answers = {QString::fromStdString(path), QString::fromStdString(path),
                  QString::fromStdString(path)};
    Get<QAction>("S1")->trigger();
    const std::string bytes = ReadBytes(path);
    // Paths are stored in code page 932.
    const std::string jpDirCp932 = dir.path().string() + "/\x91\xAA\x97\xCA";
    EXPECT_EQ(bytes.substr(0, 18), "Quorvex\r\n200\r\n-1\r\n");
    EXPECT_NE(
        bytes.find("\r\n" + jpDirCp932 + "/\x91\x53\x91\xCC.sim\r\n\x93\xEC\x92\x6E\x8B\xE6\r\n"),
        std::string::npos);
    EXPECT_NE(bytes.find("\"2\"\t\"" + jpDirCp932 + "/\x96\x6B.mif\"\t\"" + jpDirCp932 +
                         "/\x96\x6B.sim\"\t\"" + std::string(kJapaneseColumn) + "\"\t\""),
              std::string::npos);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");

    // Saving again gives the same file.
    Get<QAction>("S1")->trigger();
    EXPECT_EQ(ReadBytes(path), bytes);

    Button("btnBatch")->click();  // marks, which loading drops
    ui.Messages.clear();
    Button("btnClear")->click();
    Check("chkCombine")->setChecked(false);
    Edit("edtConbineFile")->clear();
    Edit("edtCombineGenba")->clear();
    Get<QAction>("O1")->trigger();
    EXPECT_TRUE(ui.Messages.empty());
    EXPECT_TRUE(ui.Errors.empty());
    ASSERT_EQ(frm->RowCount(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(frm->Row(i).Caption, saved[size_t(i)].Caption);
        EXPECT_EQ(frm->Row(i).SubItems, saved[size_t(i)].SubItems) << i;
        EXPECT_EQ(frm->RowMark(i), kNoMark);
    }
    EXPECT_EQ(frm->Row(0).SubItems[3], std::string(kKitaChiku) + " \"A\"");
    EXPECT_TRUE(Check("chkCombine")->isChecked());
    EXPECT_EQ(Edit("edtConbineFile")->text().toStdString(), jpDir + "/全体.sim");
    EXPECT_EQ(Edit("edtCombineGenba")->text(), "南地区");
    EXPECT_EQ(ui.Dialogs, (std::vector<QString>{"SaveDialog2", "SaveDialog2", "OpenDialog2"}));
}

TEST_F(Batch, NamesFromAFileKeepTheirBytes) {
    // 0xED 0x40 comes back as 0xFA 0x5C when decoded and encoded again, and
    // 0x85 0x40 is no character at all.
    const std::string odd = "\xED\x40\x85\x40";
    const std::string out = dir / "all.sim";
    std::string job = "\"-1\"\t\"" + mif + "\"\t\"" + (dir / "1.sim") + "\"\t\"\"\t\"" + odd + "\"";
    for (int i = 0; i < 4; ++i)
        job += "\t\"" + std::string(kOn) + "\"";
    const std::string bytes =
        "Quorvex\r\n200\r\n-1\r\n" + out + "\r\n" + odd + "\r\n" + job + "\r\n";
    const std::string path = dir / "list.txt";
    const std::string again = dir / "again.txt";
    WriteBytes(path, bytes);
    ui.Answers = {QString::fromStdString(path), QString::fromStdString(again)};
    Get<QAction>("O1")->trigger();
    Get<QAction>("S1")->trigger();
    EXPECT_TRUE(ui.Messages.empty());
    EXPECT_EQ(ReadBytes(again), bytes);

    Button("btnBatch")->click();
    EXPECT_TRUE(ui.Messages.empty());
    EXPECT_NE(ReadBytes(out).find("G00,02," + odd + ",\r\n"), std::string::npos);

    // Copied back into the panel and written over the row, still the same.
    DoubleClick(0);
    Button("btnReplace")->click();
    EXPECT_TRUE(ui.Messages.empty());
    EXPECT_EQ(frm->Row(0).SubItems[3], odd);
}

TEST_F(Batch, SaveRefusesValuesCodePage932CannotHold) {
    const std::string path = dir / "list.txt";
    Get<QAction>("S1")->trigger();  // empty list: no dialog
    EXPECT_TRUE(ui.Dialogs.empty());
    AddRow(mif, dir / "a.sim");
    AddRow(mif, dir / "b😀.sim");
    ui.Answers = {QString::fromStdString(path), QString::fromStdString(path),
                  QString::fromStdString(path)};
    Get<QAction>("S1")->trigger();
    Edit("edtCombineGenba")->setText("😀");
    Get<QAction>("S1")->trigger();
    Edit("edtConbineFile")->setText("😀.sim");
    Get<QAction>("S1")->trigger();
    EXPECT_EQ(ui.Texts(), (std::vector<QString>{"対象のバッチリストがありません。",
                                                "7 行目に保存できない文字が含まれています。",
                                                "5 行目に保存できない文字が含まれています。",
                                                "4 行目に保存できない文字が含まれています。"}));
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(Batch, ColumnsOfOtherCharacterSetsAreShownDecoded) {
    // A UTF-8 table: 地番 is held in code page 932, côte is not.
    const std::string utf8 = dir / "utf8.mif";
    WriteBytes(utf8,
               "Version 300\r\nCharset \"UTF-8\"\r\nDelimiter \",\"\r\nColumns 2\r\n"
               "  地番 Char(10)\r\n  côte Char(10)\r\nData\r\n");
    WriteBytes(dir / "utf8.mid", "");
    FillPanel(utf8, dir / "a.sim");
    DropDown();
    ASSERT_EQ(Combo()->count(), 3);
    EXPECT_EQ(Combo()->itemText(1), "地番");
    EXPECT_EQ(Combo()->itemText(2), "côte");
    Combo()->setCurrentIndex(1);
    Button("btnAdd")->click();
    Combo()->setCurrentIndex(2);
    Button("btnAdd")->click();
    ASSERT_EQ(frm->RowCount(), 2);
    EXPECT_EQ(frm->Row(0).SubItems[2], "\x92\x6E\x94\xD4");
    EXPECT_EQ(frm->Row(1).SubItems[2], "");
    EXPECT_EQ(List()->topLevelItem(0)->text(3), "地番");
    EXPECT_EQ(List()->topLevelItem(1)->text(3), "côte");

    const std::string path = dir / "list.txt";
    ui.Answers = {QString::fromStdString(path)};
    Get<QAction>("S1")->trigger();
    EXPECT_EQ(ui.Texts(), (std::vector<QString>{"7 行目に保存できない文字が含まれています。"}));
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(Batch, SaveThatCannotCreateTheFileIsAnError) {
    AddRow(mif, dir / "a.sim");
    const QString path = QString::fromStdString(dir / "no-such-dir/list.txt");
    ui.Answers = {path};
    Get<QAction>("S1")->trigger();
    ASSERT_EQ(ui.Errors.size(), 1u);
    EXPECT_TRUE(ui.Errors[0].startsWith("ファイル \"" + path + "\". "))
        << ui.Errors[0].toStdString();
    EXPECT_TRUE(ui.Errors[0].endsWith(" を作成できません"));
}

TEST_F(Batch, LoadingRejectsMalformedFilesAfterEmptyingTheList) {
    struct Case {
        std::string bytes;
        QString text;
    };
    // Which files are refused is the reader's matter; here, what the window
    // shows and keeps.
    const Case cases[] = {
        {"Quorvex 2\r\n200\r\n0\r\n\r\n\r\n", "不正なバッチリストです。"},
        {"Quorvex\r\n200\r\nyes\r\n\r\n\r\n", "'yes' は正しい論理型ではありません"},
    };
    const std::string path = dir / "bad.txt";
    Edit("edtConbineFile")->setText("keep.sim");
    for (const Case& c : cases) {
        AddRow(mif, dir / "a.sim");
        WriteBytes(path, c.bytes);
        ui.Messages.clear();
        ui.Answers = {QString::fromStdString(path)};
        Get<QAction>("O1")->trigger();
        EXPECT_EQ(ui.Messages, (std::vector<Box>{{TMessageKind::Error, c.text}})) << c.bytes;
        EXPECT_EQ(frm->RowCount(), 0);
        EXPECT_EQ(Edit("edtConbineFile")->text(), "keep.sim");
    }

    // A file that cannot be opened.
    AddRow(mif, dir / "a.sim");
    const QString missing = QString::fromStdString(dir / "missing.txt");
    ui.Answers = {missing};
    Get<QAction>("O1")->trigger();
    EXPECT_EQ(frm->RowCount(), 0);
    ASSERT_EQ(ui.Errors.size(), 1u);
    EXPECT_TRUE(ui.Errors[0].startsWith("ファイル \"" + missing + "\". "));
    EXPECT_TRUE(ui.Errors[0].endsWith(" は開けません"));

    // Cancelling changes nothing.
    AddRow(mif, dir / "a.sim");
    ui.Answers = {std::nullopt};
    Get<QAction>("O1")->trigger();
    EXPECT_EQ(frm->RowCount(), 1);
}

// ---- Runs ----

// The zone drop-down as the table builds it, its zone in the conversion, the
// rows and back, and what the coordinates are in the status bar and the tick.
TEST_F(Batch, ZoneDropDownCarriesTheZoneIntoConversionsRowsAndBack) {
    QComboBox* zone = Get<QComboBox>("cboZone");
    ASSERT_NE(zone, nullptr);
    ASSERT_EQ(zone->count(), 20);
    EXPECT_EQ(zone->currentIndex(), 0);
    EXPECT_EQ(zone->itemText(0), "そのまま");
    EXPECT_EQ(zone->itemText(19), "第XIX系");
    EXPECT_EQ(zone->geometry(), QRect(176, 160, 137, 22));
    EXPECT_EQ(List()->headerItem()->text(9), "系");

    const std::string lonLat = dir / "lonlat.mif";
    WriteBytes(lonLat,
               "Version 300\r\nCharset \"Neutral\"\r\nDelimiter \",\"\r\n"
               "CoordSys Earth Projection 1, 152\r\nColumns 1\r\n  ID Integer\r\nData\r\n"
               "Line 139.7 35.6 139.95 35.9\r\n");
    WriteBytes(dir / "lonlat.mid", "1\r\n");
    FillPanel(lonLat, dir / "z.sim");
    zone->setCurrentIndex(9);
    Button("btnConvert")->click();
    EXPECT_EQ(ui.Messages, (std::vector<Box>{{TMessageKind::Information, "変換に成功しました。"}}));
    EXPECT_EQ(frm->statusBar()->currentMessage(),
              "画地 0、路線 1、座標 2　経緯度（度、JGD2000） → 第IX系");
    EXPECT_NE(ReadBytes(dir / "z.sim").find("A01,1,1,-44369.4985042834,-12081.0357751727,0,"),
              std::string::npos);

    Button("btnAdd")->click();
    zone->setCurrentIndex(0);
    AddRow(lonLat, dir / "plain.sim");
    ASSERT_EQ(frm->RowCount(), 2);
    EXPECT_EQ(frm->Row(0).Zone, 9);
    EXPECT_EQ(frm->Row(1).Zone, 0);
    EXPECT_EQ(List()->topLevelItem(0)->text(9), "IX");
    EXPECT_EQ(List()->topLevelItem(1)->text(9), "");

    Button("btnBatch")->click();
    EXPECT_EQ(Marks(), (std::vector<int>{kMarkDone, kMarkDone}));
    EXPECT_EQ(List()->topLevelItem(0)->toolTip(0), "");
    EXPECT_TRUE(List()->topLevelItem(1)->toolTip(0).contains("経緯度"))
        << List()->topLevelItem(1)->toolTip(0).toStdString();
    EXPECT_EQ(frm->statusBar()->currentMessage(), "2 件中 2 件成功、0 件失敗、警告 1 件");

    zone->setCurrentIndex(3);
    DoubleClick(0);
    EXPECT_EQ(zone->currentIndex(), 9);
    DoubleClick(1);
    EXPECT_EQ(zone->currentIndex(), 0);
}

TEST_F(Batch, RunWithAnEmptyListIsRefused) {
    Button("btnBatch")->click();
    Check("chkCombine")->setChecked(true);
    Button("btnBatch")->click();
    EXPECT_EQ(ui.Texts(), (std::vector<QString>{"対象のバッチリストがありません。",
                                                "対象のバッチリストがありません。"}));
}

// Drops `paths` at `at` (window coordinates) as the desktop would.
void DropFiles(QWidget* window, const QPoint& at, const std::vector<std::string>& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const std::string& p : paths)
        urls.push_back(QUrl::fromLocalFile(QString::fromStdString(p)));
    data.setUrls(urls);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(window, &enter);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(window, &drop);
}

TEST_F(Batch, DroppedFilesBecomeRowsOrFillThePanel) {
    const QPoint onList = List()->mapTo(frm.get(), List()->rect().center());
    const QPoint onPanel = Edit("edtGenba")->mapTo(frm.get(), QPoint(5, 5));
    const std::string second = dir / "長い名前のフォルダ/second.mif";
    DropFiles(frm.get(), onList, {mif, second});
    ASSERT_EQ(frm->RowCount(), 2);
    EXPECT_EQ(frm->Row(1).SubItems[TBatchRow::SimFile], dir / "長い名前のフォルダ/second.sim");
    EXPECT_EQ(List()->topLevelItem(1)->toolTip(1), QString::fromStdString(second));

    DropFiles(frm.get(), onPanel, {second});
    EXPECT_EQ(Edit("edtMifFile")->text().toStdString(), second);
    EXPECT_EQ(Edit("edtSimFile")->text().toStdString(), dir / "長い名前のフォルダ/second.sim");

    DropFiles(frm.get(), onPanel, {mif, second});
    EXPECT_EQ(ui.Messages,
              (std::vector<Box>{{TMessageKind::Warning, QString::fromUtf8(msg::kDropOnPanel)}}));
    EXPECT_EQ(frm->RowCount(), 2);

    if (const char* shots = std::getenv("QUORVEX_SCREENSHOT_DIR")) {
        // A drop of three files from a folder with a long name.
        const std::string folder = dir / "市街地測量_2024年度_第3工区_成果品/MIF";
        DropFiles(frm.get(), onList,
                  {folder + "/町丁目_区画.mif", folder + "/道路中心線.mif", folder + "/筆界.mif"});
        frm->show();
        frm->grab().save(QString::fromUtf8(shots) + "/drop.png");
    }
}

TEST_F(Batch, PerFileRunMarksEachRowAndEndsWithTheMessage) {
    const std::string second = dir / "second.mif";
    WriteMifPair(second);
    AddRow(mif, dir / "1.sim");
    AddRow(second, dir / "2.sim");
    AddRow(mif, dir / "3.sim");
    std::filesystem::remove(second);
    frm->statusBar()->showMessage("old");

    std::vector<std::vector<bool>> during;
    QTimer::singleShot(0, frm.get(), [&] { during.push_back(EditingEnabled()); });
    Button("btnBatch")->click();
    EXPECT_EQ(Marks(), (std::vector<int>{0, 1, 0}));
    EXPECT_EQ(frm->SelectedRow(), 2);
    EXPECT_EQ(ui.Messages, (std::vector<Box>{{TMessageKind::Information, "変換が終了しました。"}}));
    EXPECT_EQ(frm->statusBar()->currentMessage(), "3 件中 2 件成功、1 件失敗");
    // The cross tells why; every other cell shows its whole text.
    QTreeWidgetItem* failed = List()->topLevelItem(1);
    EXPECT_EQ(failed->toolTip(0),
              "MIFファイル「" + QString::fromStdString(second) + "」が見つかりません。");
    EXPECT_EQ(List()->topLevelItem(0)->toolTip(0), "");
    // The marks are painted from their shapes: the tick's corner green, the
    // cross's middle red, the box's corner clear.
    auto pixel = [&](int row, int x, int y) {
        return List()->topLevelItem(row)->icon(0).pixmap(kMarkBox).toImage().pixelColor(x, y);
    };
    EXPECT_GT(pixel(0, 6, 11).green(), 100);
    EXPECT_EQ(pixel(0, 6, 11).red(), 0);
    EXPECT_GT(pixel(1, 8, 8).red(), 150);
    EXPECT_EQ(pixel(1, 8, 8).green(), 0);
    EXPECT_EQ(pixel(1, 0, 15).alpha(), 0);
    EXPECT_TRUE(List()->topLevelItem(2)->icon(0).cacheKey() ==
                List()->topLevelItem(0)->icon(0).cacheKey());
    EXPECT_EQ(failed->toolTip(1), QString::fromStdString(second));
    EXPECT_EQ(List()->textElideMode(), Qt::ElideMiddle);
    EXPECT_EQ(ui.BusyDepth, 0);
    EXPECT_TRUE(std::filesystem::exists(dir / "1.sim"));
    EXPECT_FALSE(std::filesystem::exists(dir / "2.sim"));
    EXPECT_TRUE(std::filesystem::exists(dir / "3.sim"));

    // Editing was off while the rows were converted, and is on again.
    ASSERT_EQ(during.size(), 1u);
    EXPECT_EQ(during[0], std::vector<bool>(7, false));
    EXPECT_EQ(EditingEnabled(), std::vector<bool>(7, true));

    // A second run clears the marks first.
    WriteMifPair(second);
    std::vector<int> marksAtStart;
    QTimer::singleShot(0, frm.get(), [&] { marksAtStart = Marks(); });
    Button("btnBatch")->click();
    EXPECT_EQ(marksAtStart, (std::vector<int>{-1, -1, -1}));
    EXPECT_EQ(Marks(), (std::vector<int>{0, 0, 0}));

    if (const char* shots = std::getenv("QUORVEX_SCREENSHOT_DIR")) {
        std::filesystem::remove(second);
        FillPanel(mif, dir / "4.sim");
        Edit("edtGenba")->setText("北地区");
        DropDown();
        Combo()->setCurrentIndex(2);
        Button("btnAdd")->click();
        frm->show();
        // The run as it shows its second row, then as it ended.
        bool taken = false;
        std::function<void()> shoot = [&] {
            if (taken) return;
            if (!frm->statusBar()->currentMessage().startsWith("2 / ")) {
                QTimer::singleShot(0, frm.get(), shoot);
                return;
            }
            taken = true;
            frm->grab().save(QString::fromUtf8(shots) + "/batch-running.png");
        };
        QTimer::singleShot(0, frm.get(), shoot);
        Button("btnBatch")->click();
        frm->grab().save(QString::fromUtf8(shots) + "/batch.png");
    }
}

TEST_F(Batch, EscapingErrorEndsThePerFileRunWithTheMessageFirst) {
    AddRow(mif, dir / "1.sim");
    AddRow(mif, dir / "no-such-dir/2.sim");
    AddRow(mif, dir / "3.sim");
    ui.OnMessage = [this](const Box&) { EXPECT_TRUE(ui.Errors.empty()); };
    Button("btnBatch")->click();
    // The row that ended the run has its cross; the row not run is counted.
    EXPECT_EQ(Marks(), (std::vector<int>{0, 1, -1}));
    EXPECT_EQ(frm->statusBar()->currentMessage(), "3 件中 1 件成功、1 件失敗、1 件未実行");
    EXPECT_EQ(ui.Texts(), std::vector<QString>{"変換が終了しました。"});
    EXPECT_EQ(ui.Errors.size(), 1u);
    EXPECT_EQ(ui.BusyDepth, 0);
    EXPECT_EQ(EditingEnabled(), std::vector<bool>(7, true));
}

class CombinedRun : public Batch {
  protected:
    void SetUp() override {
        Batch::SetUp();
        second = dir / "second.mif";
        WriteMifPair(second);
        Check("chkCombine")->setChecked(true);
    }
    std::string second;
};

TEST_F(CombinedRun, EmptyOutputPathIsRefusedAfterTheMarksAreCleared) {
    AddRow(mif, dir / "1.sim");
    Check("chkCombine")->setChecked(false);
    Button("btnBatch")->click();
    EXPECT_EQ(Marks(), std::vector<int>{0});
    ui.Messages.clear();
    Check("chkCombine")->setChecked(true);
    Button("btnBatch")->click();
    EXPECT_EQ(ui.Messages,
              (std::vector<Box>{{TMessageKind::Warning, "統合後のファイル名が不正です。"}}));
    EXPECT_EQ(Marks(), std::vector<int>{-1});
    EXPECT_EQ(ui.BusyCalls, 2);  // only the earlier per-file run
}

TEST_F(CombinedRun, MarksEveryRowWithoutEndMessage) {
    AddRow(mif, dir / "1.sim");
    AddRow(dir / "second.mif", dir / "2.sim");
    AddRow(mif, dir / "3.sim");
    std::filesystem::remove(dir / "second.mid");
    const std::string out = dir / "all.sim";
    Edit("edtConbineFile")->setText(QString::fromStdString(out));
    Edit("edtCombineGenba")->setText("北地区");
    frm->statusBar()->showMessage("untouched");

    std::vector<std::vector<bool>> during;
    QTimer::singleShot(0, frm.get(), [&] { during.push_back(EditingEnabled()); });
    Button("btnBatch")->click();
    EXPECT_TRUE(ui.Messages.empty());
    EXPECT_TRUE(ui.Errors.empty());
    EXPECT_EQ(Marks(), (std::vector<int>{0, 1, 0}));
    EXPECT_EQ(frm->SelectedRow(), 2);
    EXPECT_EQ(ui.BusyDepth, 0);
    EXPECT_EQ(frm->statusBar()->currentMessage(),
              "3 件中 2 件成功、1 件失敗（統合ファイルは失敗した 1 件を除いて書き込みました）");
    const std::string bytes = ReadBytes(out);
    EXPECT_NE(bytes.find("G00,02," + std::string(kKitaChiku) + ",\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("D00,2,"), std::string::npos);  // numbers run on across rows
    ASSERT_EQ(during.size(), 1u);
    EXPECT_EQ(during[0], std::vector<bool>(7, false));
    EXPECT_EQ(EditingEnabled(), std::vector<bool>(7, true));
}

TEST_F(CombinedRun, FirstRowsSwapMarkDecides) {
    // The first vertex is (1, 2): swapped it is written "2,1".
    const std::string out = dir / "all.sim";
    Edit("edtConbineFile")->setText(QString::fromStdString(out));
    Check("chkYX")->setChecked(false);
    AddRow(mif, dir / "1.sim");
    Check("chkYX")->setChecked(true);
    AddRow(mif, dir / "2.sim");
    Button("btnBatch")->click();
    EXPECT_NE(ReadBytes(out).find("A01,1,1,1,2,0,\r\n"), std::string::npos);

    Select(0);
    Button("btnRemove")->click();  // now the swapped row is first
    Check("chkYX")->setChecked(false);
    AddRow(mif, dir / "3.sim");
    Button("btnBatch")->click();
    EXPECT_NE(ReadBytes(out).find("A01,1,1,2,1,0,\r\n"), std::string::npos);
}

TEST_F(CombinedRun, SiteNameCodePage932CannotHoldIsRefusedBeforeWriting) {
    AddRow(mif, dir / "1.sim");
    const std::string out = dir / "all.sim";
    Edit("edtConbineFile")->setText(QString::fromStdString(out));
    Edit("edtCombineGenba")->setText("😀");
    Button("btnBatch")->click();
    EXPECT_EQ(ui.Texts(), std::vector<QString>{"現場名称に使用できない文字が含まれています。"});
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_EQ(ui.BusyCalls, 0);
}

TEST_F(CombinedRun, OutputThatCannotBeCreatedIsShownAndNoRowIsMarked) {
    AddRow(mif, dir / "1.sim");
    Edit("edtConbineFile")->setText(QString::fromStdString(dir / "no-such-dir/all.sim"));
    Button("btnBatch")->click();
    EXPECT_EQ(ui.Errors.size(), 1u);
    EXPECT_TRUE(ui.Messages.empty());
    EXPECT_EQ(Marks(), std::vector<int>{-1});
    EXPECT_EQ(frm->SelectedRow(), -1);
    EXPECT_EQ(ui.BusyDepth, 0);
    EXPECT_EQ(EditingEnabled(), (std::vector<bool>{true, false, false, true, true, true, true}));
}

// ---- Keys and focus ----

// The window shown and active, so that the focus is real.
void Activate(QWidget* w) {
    w->show();
    QApplication::setActiveWindow(w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
}

// Enter and the keypad's Enter press the focused button; after the run the
// focus is back on it, and a key typed then leaves the merged file's name.
TEST_F(CombinedRun, EnterPressesTheFocusedButtonAndTheFocusStaysOnIt) {
    Activate(frm.get());
    AddRow(mif, dir / "1.sim");
    const QString out = QString::fromStdString(dir / "all.sim");
    Edit("edtConbineFile")->setText(out);
    QPushButton* batch = Button("btnBatch");
    batch->setFocus();
    QTest::keyClick(batch, Qt::Key_Return);
    EXPECT_TRUE(std::filesystem::exists(dir / "all.sim"));
    EXPECT_EQ(Marks(), std::vector<int>{0});
    EXPECT_EQ(QApplication::focusWidget(), batch);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_X);
    EXPECT_EQ(Edit("edtConbineFile")->text(), out);

    std::filesystem::remove(dir / "all.sim");
    QTest::keyClick(batch, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(std::filesystem::exists(dir / "all.sim"));
    EXPECT_EQ(QApplication::focusWidget(), batch);

    // A button pressed with Space keeps the focus the same way.
    std::filesystem::remove(dir / "all.sim");
    QTest::keyClick(batch, Qt::Key_Space);
    EXPECT_TRUE(std::filesystem::exists(dir / "all.sim"));
    EXPECT_EQ(QApplication::focusWidget(), batch);

    // Enter on another button: "クリア" empties the list.
    QPushButton* clear = Button("btnClear");
    clear->setFocus();
    QTest::keyClick(clear, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(frm->RowCount(), 0);
}

// Enter on a crossed row shows its cause in a message box.
TEST_F(Batch, EnterOnACrossedRowShowsItsCause) {
    Activate(frm.get());
    WriteMifPair(dir / "gone.mif");
    AddRow(mif, dir / "1.sim");
    AddRow(dir / "gone.mif", dir / "2.sim");
    std::filesystem::remove(dir / "gone.mid");
    Button("btnBatch")->click();
    ASSERT_EQ(Marks(), (std::vector<int>{0, 1}));
    ui.Messages.clear();
    Select(1);
    List()->setFocus();
    QTest::keyClick(List(), Qt::Key_Return);
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Kind, TMessageKind::Error);
    EXPECT_EQ(ui.Messages[0].Text, List()->topLevelItem(1)->toolTip(0));
    Select(0);
    QTest::keyClick(List(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(ui.Messages.size(), 1u);
}

// ---- The list's cells, keys and context menu ----

// The list's style, recording the text of every cell it draws.
class TCellTexts : public QProxyStyle {
  public:
    mutable QStringList Texts;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        if (element == CE_ItemViewItem)
            if (const auto* item = qstyleoption_cast<const QStyleOptionViewItem*>(option))
                Texts << item->text;
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};

// A path cell shows the file's name: the folders give way, and a name too
// long for the cell keeps its extension; the tooltip has the whole path.
TEST_F(Batch, PathCellsKeepTheFileNameInSight) {
    const std::string deep = dir / "a folder with a rather long name/and another one";
    std::filesystem::create_directories(deep);
    const std::string longName = deep + "/調査結果一覧表_北地区_令和六年度_第二回の提出分.mif";
    WriteMifPair(deep + "/town.mif");
    WriteMifPair(longName);
    AddRow(deep + "/town.mif", deep + "/result.sim");
    AddRow(longName, dir / "b.sim");
    TCellTexts style;
    QTreeWidget* list = List();
    list->setStyle(&style);
    struct TRestore {
        QTreeWidget* List;
        ~TRestore() { List->setStyle(nullptr); }
    } restore{list};
    frm->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frm.get()));
    auto drawn = [&] {
        style.Texts.clear();
        list->viewport()->grab();
        return style.Texts;
    };
    const QString ellipsis = QString::fromUtf8("…");
    const QFontMetrics metrics(list->font());
    QStringList texts = drawn();
    auto shown = [&](const char* tail) {
        for (const QString& t : texts)
            if (t.endsWith(QString::fromUtf8(tail))) return t;
        return QString();
    };
    for (const char* tail : {"/town.mif", "/result.sim"}) {
        const QString t = shown(tail);
        EXPECT_TRUE(t.startsWith(ellipsis + "/")) << t.toStdString() << " " << tail;
        EXPECT_LE(metrics.horizontalAdvance(t), list->columnWidth(1)) << t.toStdString();
    }
    // The long name keeps its start, its end and its extension.
    QString name;
    for (const QString& t : texts)
        if (t.startsWith(QString::fromUtf8("調査"))) name = t;
    EXPECT_TRUE(name.startsWith(QString::fromUtf8("調査")) && name.contains(ellipsis) &&
                name.endsWith(QString::fromUtf8("提出分.mif")))
        << name.toStdString();
    EXPECT_EQ(list->topLevelItem(1)->toolTip(1), QString::fromStdString(longName));
    EXPECT_EQ(list->topLevelItem(0)->text(1), QString::fromStdString(deep + "/town.mif"));
    // A column wide enough shows the whole path.
    list->setColumnWidth(1, 760);
    texts = drawn();
    EXPECT_TRUE(texts.contains(QString::fromStdString(deep + "/town.mif")));
}

// Delete and Alt+Up/Down on the list, the context menu's commands and
// states, and none of them while a run goes on.
TEST_F(Batch, ListKeysAndContextMenuMoveDeleteAndCopyResults) {
    Activate(frm.get());
    for (const char* sim : {"a.sim", "b.sim", "c.sim"})
        AddRow(mif, dir / sim);
    auto sims = [&] {
        std::string order;
        for (int i = 0; i < frm->RowCount(); ++i)
            order += std::string(GetFileName(frm->Row(i).SubItems[TBatchRow::SimFile])) + " ";
        return order;
    };
    Select(2);
    List()->setFocus();
    QTest::keyClick(List(), Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(sims(), "a.sim c.sim b.sim ");
    EXPECT_EQ(frm->SelectedRow(), 1);
    QTest::keyClick(List(), Qt::Key_Up, Qt::AltModifier | Qt::KeypadModifier);
    EXPECT_EQ(sims(), "c.sim a.sim b.sim ");
    QTest::keyClick(List(), Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(sims(), "a.sim c.sim b.sim ");
    EXPECT_EQ(List()->topLevelItem(1)->text(2), QString::fromStdString(dir / "c.sim"));
    QTest::keyClick(List(), Qt::Key_Delete);
    EXPECT_EQ(sims(), "a.sim b.sim ");
    // Delete in an edit box deletes text, not a row.
    Select(0);
    Edit("edtGenba")->setText("ab");
    Edit("edtGenba")->setFocus();
    Edit("edtGenba")->setCursorPosition(0);
    QTest::keyClick(Edit("edtGenba"), Qt::Key_Delete);
    EXPECT_EQ(Edit("edtGenba")->text(), "b");
    EXPECT_EQ(frm->RowCount(), 2);

    // The menu at the second row: its states, then "結果をコピー".
    Select(1);
    std::map<std::string, bool> states;
    QTimer::singleShot(0, frm.get(), [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        for (QAction* a : menu->actions())
            if (!a->isSeparator()) states[a->objectName().toStdString()] = a->isEnabled();
        menu->findChild<QAction*>("mnuCopyResults")->trigger();
        menu->close();
    });
    const QPoint at = List()->visualItemRect(List()->topLevelItem(1)).center();
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, List()->viewport()->mapToGlobal(at));
    QApplication::sendEvent(List()->viewport(), &click);
    EXPECT_EQ(states, (std::map<std::string, bool>{{"mnuMoveUp", true},
                                                   {"mnuMoveDown", false},
                                                   {"mnuRemove", true},
                                                   {"mnuToPanel", true},
                                                   {"mnuShowError", false},
                                                   {"mnuCopyResults", true}}));
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(),
              "元ファイル\t結果\t内容\n" + mif + "\t未実行\t\n" + mif + "\t未実行\t\n");

    // From the keyboard (Shift+F10, the menu key) the menu opens at the
    // selected row, not a header's height below the event's point.
    QRect menuAt;
    QTimer::singleShot(0, frm.get(), [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            menuAt = menu->geometry();
            menu->close();
        }
    });
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(5, 5),
                          List()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(List(), &key);
    const QRect row = List()->visualItemRect(List()->topLevelItem(1));
    const QRect rowOnScreen(List()->viewport()->mapToGlobal(row.topLeft()), row.size());
    EXPECT_TRUE(rowOnScreen.contains(menuAt.topLeft()))
        << "menu at " << menuAt.x() << "," << menuAt.y() << ", row " << rowOnScreen.x() << ","
        << rowOnScreen.y() << " " << rowOnScreen.width() << "x" << rowOnScreen.height();
    Get<QAction>("mnuToPanel")->trigger();
    EXPECT_EQ(Edit("edtSimFile")->text().toStdString(), dir / "b.sim");

    // During a run the keys and the menu's commands change nothing.
    Select(1);
    std::vector<bool> enabledInRun;
    QTimer::singleShot(0, frm.get(), [&] {
        for (const char* name : {"mnuMoveUp", "mnuRemove", "mnuToPanel"})
            enabledInRun.push_back(Get<QAction>(name)->isEnabled());
        Get<QAction>("mnuMoveUp")->trigger();
    });
    QCoreApplication::postEvent(List(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Delete, {}));
    QCoreApplication::postEvent(List(),
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Up, Qt::AltModifier));
    Button("btnBatch")->click();
    EXPECT_EQ(Marks(), (std::vector<int>{0, 0}));
    EXPECT_EQ(sims(), "a.sim b.sim ");
    EXPECT_EQ(enabledInRun, (std::vector<bool>{false, false, false}));
}

}  // namespace
}  // namespace quorvex
