// Files named on the window's command line, relative to the current folder.
#include <QDir>

#include "window_fixture.h"

namespace quorvex::test {
namespace {

class CommandLineFiles : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        saved = QDir::currentPath();
        QDir::setCurrent(QString::fromStdString(dir.path().string()));
    }
    void TearDown() override {
        QDir::setCurrent(saved);
        WindowTest::TearDown();
    }
    QString saved;
};

TEST_F(CommandLineFiles, OneFileFillsThePanelWithItsWholePath) {
    WriteMifPair(dir / "北地区.mif");
    frm->OpenCommandLineFiles({QStringLiteral("./sub/../北地区.mif")});
    EXPECT_EQ(Edit("edtMifFile")->text().toStdString(), dir / "北地区.mif");
    EXPECT_EQ(Edit("edtSimFile")->text().toStdString(), dir / "北地区.sim");
    EXPECT_EQ(List()->topLevelItemCount(), 0);
    EXPECT_TRUE(ui.Messages.empty());
    EXPECT_TRUE(ui.Errors.empty());
}

TEST_F(CommandLineFiles, SeveralBecomeRowsAndNoneChangesNothing) {
    frm->OpenCommandLineFiles({});
    EXPECT_EQ(Edit("edtMifFile")->text(), QString());
    frm->OpenCommandLineFiles({QStringLiteral("a.mif"), QString::fromStdString(dir / "b.mif")});
    ASSERT_EQ(frm->RowCount(), 2);
    EXPECT_EQ(frm->Row(0).SubItems[TBatchRow::MifFile], dir / "a.mif");
    EXPECT_EQ(frm->Row(1).SubItems[TBatchRow::SimFile], dir / "b.sim");
    EXPECT_EQ(Edit("edtMifFile")->text(), QString());
}

}  // namespace
}  // namespace quorvex::test
