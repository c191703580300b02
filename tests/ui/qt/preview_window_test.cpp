// The Qt preview window: opened from the main window's menu on the example,
// fitted, zoomed by the wheel, a parcel clicked, a mark chosen; its own
// "開く"; the painted drawing.
#include <QAction>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QStatusBar>
#include <QTest>
#include <QWheelEvent>
#include <cstdlib>
#include <string>
#include <utility>

#include "preview/preview_svg.h"
#include "ui/qt/PreviewWnd.h"
#include "ui/qt/window_fixture.h"

namespace quorvex::test {
namespace {

using preview::TScreenPoint;

// Two parcels with the lot number "7", a third without one, and a route.
const std::string kSima =
    "G00,01,site,\r\nA00,\r\n"
    "A01,1,1,0,0,0,\r\nA01,2,2,0,10,0,\r\nA01,3,3,10,10,0,\r\nA01,4,4,10,0,0,\r\n"
    "A01,5,5,0,20,0,\r\nA01,6,6,0,30,0,\r\nA01,7,7,10,30,0,\r\nA01,8,8,10,20,0,\r\n"
    "A01,9,9,0,40,0,\r\nA01,10,10,0,44,0,\r\nA01,11,11,5,44,0,\r\nA01,12,12,5,40,0,\r\n"
    "A99,\r\n"
    "D00,1,7,1,\r\nB01,1,1,\r\nB01,2,2,\r\nB01,3,3,\r\nB01,4,4,\r\nB01,1,1,\r\nD99,\r\n"
    "D00,2,7,1,\r\nB01,5,5,\r\nB01,6,6,\r\nB01,7,7,\r\nB01,8,8,\r\nB01,5,5,\r\nD99,\r\n"
    "D00,3,,1,\r\nB01,9,9,\r\nB01,10,10,\r\nB01,11,11,\r\nB01,12,12,\r\nB01,9,9,\r\nD99,\r\n";

class PreviewWindow : public WindowTest {
  protected:
    // The preview of the example, opened as the user does: the panel filled,
    // the lot number column chosen, "表示" > "プレビュー".
    TfrmPreview* OpenExample() {
        FillPanel(std::string(QUORVEX_EXAMPLES) + "/town.mif", dir / "town.sim");
        DropDown();
        Combo()->setCurrentIndex(1);
        frm->findChild<QAction*>("P1")->trigger();
        TfrmPreview* preview = frm->Preview();
        if (preview) {
            preview->resize(900, 640);
            QApplication::processEvents();
        }
        return preview;
    }
    static QPoint Pixel(TScreenPoint s) { return QPoint(int(s.X), int(s.Y)); }
};

TEST_F(PreviewWindow, OpensOnTheExampleFittedAndNamed) {
    TfrmPreview* preview = OpenExample();
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(ui.Messages.empty());
    EXPECT_TRUE(preview->isVisible());
    EXPECT_FALSE(preview->isModal());
    EXPECT_EQ(preview->windowTitle(), QString::fromUtf8("プレビュー - town.mif"));
    EXPECT_FALSE(std::filesystem::exists(dir / "town.sim"));
    const TPreviewLogic& logic = preview->Logic();
    ASSERT_GT(logic.Scene().Parcels().size(), 0u);
    // The canvas's size is the view's, and the whole drawing is in it.
    EXPECT_EQ(logic.View().Width(), preview->Canvas()->width());
    const preview::TBox seen = logic.View().Visible();
    const preview::TBox all = logic.Scene().Extent();
    EXPECT_LE(seen.MinE, all.MinE);
    EXPECT_GE(seen.MaxE, all.MaxE);
    EXPECT_LE(seen.MinN, all.MinN);
    EXPECT_GE(seen.MaxN, all.MaxN);
    EXPECT_TRUE(preview->statusBar()->currentMessage().contains(QString::fromUtf8("画地")));

    // The parcels' fill is painted where the first parcel's label stands.
    const QImage image = preview->Canvas()->grab().toImage();
    bool filled = false;
    const TScreenPoint label = logic.View().ToScreen(logic.Scene().Parcels()[0].LabelAt);
    for (int dx = -20; dx <= 20 && !filled; ++dx)
        filled = image.pixelColor((Pixel(label) + QPoint(dx, 8)) * image.devicePixelRatio()) ==
                 QColor(QString::fromLatin1(preview::kParcelFill.data()));
    EXPECT_TRUE(filled);

    // The same menu item raises the same window.
    frm->findChild<QAction*>("P1")->trigger();
    EXPECT_EQ(frm->Preview(), preview);

    if (const char* shots = std::getenv("QUORVEX_SCREENSHOT_DIR")) {
        // A parcel chosen, so the picture shows what a click tells.
        QTest::mouseClick(preview->Canvas(), Qt::LeftButton, {}, Pixel(label));
        QApplication::processEvents();
        preview->grab().save(QString::fromUtf8(shots) + "/preview.png");
    }
}

TEST_F(PreviewWindow, WheelZoomsAboutThePointerAndHomeFits) {
    TfrmPreview* preview = OpenExample();
    ASSERT_NE(preview, nullptr);
    const TPreviewLogic& logic = preview->Logic();
    const double fitted = logic.View().Scale();
    const QPointF at(200, 150);
    const preview::TWorldPoint under = logic.View().ToWorld({at.x(), at.y()});
    QWheelEvent wheel(at, preview->Canvas()->mapToGlobal(at), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(preview->Canvas(), &wheel);
    EXPECT_DOUBLE_EQ(logic.View().Scale(), fitted * TPreviewLogic::kWheelFactor);
    const preview::TWorldPoint still = logic.View().ToWorld({at.x(), at.y()});
    EXPECT_NEAR(still.E, under.E, 1e-6);
    EXPECT_NEAR(still.N, under.N, 1e-6);

    // A drag moves the drawing with the pointer.
    QTest::mousePress(preview->Canvas(), Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(preview->Canvas(), QPoint(140, 100));
    QTest::mouseRelease(preview->Canvas(), Qt::LeftButton, {}, QPoint(160, 100));
    const preview::TWorldPoint moved = logic.View().ToWorld({at.x() + 60, at.y()});
    EXPECT_NEAR(moved.E, under.E, 1e-6);

    preview->FitAction()->trigger();
    EXPECT_DOUBLE_EQ(logic.View().Scale(), fitted);
    EXPECT_EQ(preview->FitAction()->shortcut(), QKeySequence(Qt::Key_Home));
}

TEST_F(PreviewWindow, ClickingAParcelShowsItsNumberLotVerticesAndArea) {
    TfrmPreview* preview = OpenExample();
    ASSERT_NE(preview, nullptr);
    const TPreviewLogic& logic = preview->Logic();
    const TScreenPoint label = logic.View().ToScreen(logic.Scene().Parcels()[0].LabelAt);
    QTest::mouseClick(preview->Canvas(), Qt::LeftButton, {}, Pixel(label));
    ASSERT_EQ(logic.Selection().What, TPreviewSelection::Parcel);
    const uint32_t i = logic.Selection().Index;
    const TSimaBlock& block = logic.Scene().File().Parcels[i];
    const QString info = preview->InfoLabel()->text();
    EXPECT_TRUE(info.startsWith(QString::fromUtf8("画地 %1　地番 ").arg(block.Number)))
        << info.toStdString();
    EXPECT_TRUE(info.contains(QString::fromUtf8("頂点 %1").arg(block.VertexCount)));
    EXPECT_TRUE(info.endsWith(QString::fromUtf8(" m²")));
}

TEST_F(PreviewWindow, ItsOwnOpenShowsASimaFileAndAMarkChoosesItsParcel) {
    const std::string sim = dir / "site.sim";
    WriteBytes(sim, kSima);
    TfrmPreview preview(ui);
    preview.resize(800, 600);
    preview.show();
    QApplication::processEvents();
    ui.Answers.push_back(QString::fromStdString(sim));
    preview.OpenAction()->trigger();
    EXPECT_EQ(ui.Dialogs, std::vector<QString>{"PreviewOpenDialog"});
    EXPECT_EQ(preview.windowTitle(), QString::fromUtf8("プレビュー - site.sim"));
    QListWidget* marks = preview.MarkList();
    ASSERT_EQ(marks->count(), 3);
    EXPECT_EQ(marks->item(2)->text(), QString::fromUtf8("地番の重複: 画地 2（7）"));
    const double fitted = preview.Logic().View().Scale();
    marks->setCurrentRow(2);
    EXPECT_EQ(preview.Logic().Selection().What, TPreviewSelection::Parcel);
    EXPECT_EQ(preview.Logic().Selection().Index, 1u);
    EXPECT_GT(preview.Logic().View().Scale(), fitted);
    EXPECT_EQ(preview.InfoLabel()->text(),
              QString::fromUtf8("画地 2　地番 7　頂点 5　面積 100.00 m²"));
    // Home, then a click on the same entry: back to its parcel.
    const double zoomed = preview.Logic().View().Scale();
    preview.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&preview));
    QTest::keyClick(preview.Canvas(), Qt::Key_Home);
    EXPECT_DOUBLE_EQ(preview.Logic().View().Scale(), fitted);
    QTest::mouseClick(marks->viewport(), Qt::LeftButton, {},
                      marks->visualItemRect(marks->item(2)).center());
    EXPECT_DOUBLE_EQ(preview.Logic().View().Scale(), zoomed);
    EXPECT_TRUE(ui.Errors.empty());
}

// A town of `side` x `side` square parcels 10 m wide, without lot numbers.
std::string GridSima(int side) {
    std::string text = "G00,01,grid,\r\nA00,\r\n";
    const auto number = [&](int row, int column) { return row * (side + 1) + column + 1; };
    for (int row = 0; row <= side; ++row)
        for (int column = 0; column <= side; ++column) {
            const std::string n = std::to_string(number(row, column));
            text += "A01," + n + "," + n + "," + std::to_string(row * 10) + "," +
                    std::to_string(column * 10) + ",0,\r\n";
        }
    text += "A99,\r\n";
    for (int row = 0; row < side; ++row)
        for (int column = 0; column < side; ++column) {
            text += "D00," + std::to_string(row * side + column + 1) + ",,1,\r\n";
            for (const auto& [r, c] : {std::pair{row, column},
                                       {row, column + 1},
                                       {row + 1, column + 1},
                                       {row + 1, column},
                                       {row, column}}) {
                const std::string n = std::to_string(number(r, c));
                text += "B01," + n + "," + n + ",\r\n";
            }
            text += "D99,\r\n";
        }
    return text;
}

TEST_F(PreviewWindow, ADenseDrawingIsPaintedFilledAndOutlined) {
    // Enough parcels that the frame is painted plain, straight into pixels.
    const std::string sim = dir / "grid.sim";
    WriteBytes(sim, GridSima(60));
    TfrmPreview preview(ui);
    preview.resize(900, 700);
    preview.show();
    QApplication::processEvents();
    preview.Logic().OpenFile(sim);
    QApplication::processEvents();
    ASSERT_GT(preview.Logic().Frame().Xy.size() / 2, 10000u);
    ASSERT_TRUE(preview.Logic().Frame().ParcelRuns.empty());
    const QImage image = preview.Canvas()->grab().toImage();
    const preview::TView& view = preview.Logic().View();
    const auto colourAt = [&](double e, double n) {
        return image.pixelColor(Pixel(view.ToScreen({e, n})) * image.devicePixelRatio());
    };
    const QColor fill(QString::fromLatin1(preview::kParcelFill.data()));
    const QColor stroke(QString::fromLatin1(preview::kParcelStroke.data()));
    // Inside parcels, and on the lines between them.
    for (const auto& [e, n] : {std::pair{5.0, 5.0}, {305.0, 295.0}, {595.0, 455.0}})
        EXPECT_EQ(colourAt(e, n), fill) << e << "," << n;
    int outlined = 0;
    for (double e = 299.5; e <= 300.5; e += 0.1)
        outlined += colourAt(e, 305.0) == stroke;
    EXPECT_GT(outlined, 0);
    // The scale bar is painted over the parcels, dark (its edges smoothed).
    const preview::TScaleBar& bar = preview.Logic().Frame().ScaleBar;
    const QColor under = image.pixelColor(QPoint(int(bar.X + bar.Length / 2), int(bar.Y)) *
                                          image.devicePixelRatio());
    EXPECT_LT(qGray(under.rgb()), 128);
    EXPECT_TRUE(ui.Errors.empty());
}

TEST_F(PreviewWindow, CtrlPInTheFocusedListPreviewsTheSelectedRow) {
    const std::string other = dir / "other.mif";
    WriteMifPair(other);
    FillPanel(other, dir / "other.sim");
    Button("btnAdd")->click();
    FillPanel(std::string(QUORVEX_EXAMPLES) + "/town.mif", dir / "town.sim");
    frm->show();
    frm->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frm.get()));
    List()->setCurrentItem(List()->topLevelItem(0));
    List()->setFocus();
    QTest::keyClick(List(), Qt::Key_P, Qt::ControlModifier);
    ASSERT_NE(frm->Preview(), nullptr);
    EXPECT_EQ(frm->Preview()->windowTitle(), QString::fromUtf8("プレビュー - other.mif"));
    // From the panel, the panel's file.
    Edit("edtMifFile")->setFocus();
    frm->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frm.get()));
    QTest::keyClick(Edit("edtMifFile"), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(frm->Preview()->windowTitle(), QString::fromUtf8("プレビュー - town.mif"));
    EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(PreviewWindow, AClosedPreviewLetsItsDrawingGoAndTheNextOpensAnew) {
    TfrmPreview* preview = OpenExample();
    ASSERT_NE(preview, nullptr);
    preview->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frm->Preview(), nullptr);
    frm->findChild<QAction*>("P1")->trigger();
    ASSERT_NE(frm->Preview(), nullptr);
    EXPECT_TRUE(frm->Preview()->isVisible());
    EXPECT_EQ(frm->Preview()->windowTitle(), QString::fromUtf8("プレビュー - town.mif"));
}

TEST_F(PreviewWindow, NothingToPreviewOpensNoWindow) {
    frm->findChild<QAction*>("P1")->trigger();
    EXPECT_EQ(frm->Preview(), nullptr);
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Text, QString::fromUtf8(msg::kNothingToPreview));
    EXPECT_EQ(frm->findChild<QAction*>("P1")->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
}

}  // namespace
}  // namespace quorvex::test
