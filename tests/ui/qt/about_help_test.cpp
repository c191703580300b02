#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <filesystem>
#include <memory>

#include "test_util.h"
#include "ui/qt/AboutDlg.h"
#include "ui/qt/app_icon.h"
#include "ui/qt/help_window.h"
#include "ui/qt/qt_app.h"
#include "ui/qt/ui_services.h"

namespace quorvex {
namespace {

using test::EnsureQtApp;

template <typename T>
T* Child(QWidget& parent, const char* name) {
    T* child = parent.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

class AboutBox : public testing::Test {
  protected:
    void SetUp() override {
        EnsureQtApp();
        TdlgAbout::SetUrlOpener([this](const QUrl& url) { opened.append(url); });
        main = std::make_unique<QWidget>();
        main->setGeometry(200, 150, 800, 451);
        main->show();
    }
    void TearDown() override {
        TdlgAbout::SetUrlOpener(nullptr);
        TdlgAbout::SetLinks(std::nullopt);
    }

    // Runs the box modally and presses `key` in it; 99 when the key did not
    // close it.
    int ExecAndPress(TdlgAbout& dlg, Qt::Key key) {
        QTimer::singleShot(0, &dlg, [&dlg, key] {
            QWidget* target = dlg.focusWidget() ? dlg.focusWidget() : &dlg;
            QTest::keyClick(target, key);
        });
        QTimer::singleShot(3000, &dlg, [&dlg] { dlg.done(99); });
        return dlg.exec();
    }

    std::unique_ptr<QWidget> main;
    QList<QUrl> opened;
};

TEST_F(AboutBox, ShowsCaptionTitleAndVersion) {
    TdlgAbout dlg(main.get());
    dlg.Prepare();
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    // Under a window manager, once the frame is known.
    const auto centred = [&] {
        return (dlg.frameGeometry().center() - main->frameGeometry().center()).manhattanLength() <=
               2;
    };
    (void)QTest::qWaitFor([&] { return dlg.frameGeometry().height() == 214 && centred(); }, 3000);

    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("バージョン情報"));
    EXPECT_EQ(dlg.width(), 361);
    EXPECT_EQ(dlg.frameGeometry().height(), 214);
    EXPECT_EQ(dlg.minimumSize(), dlg.maximumSize());  // fixed size
    EXPECT_LE((dlg.frameGeometry().center() - main->frameGeometry().center()).manhattanLength(), 2);
    EXPECT_EQ(Child<QLabel>(dlg, "lblTitle")->text(), QStringLiteral("Quorvex Converter"));
    EXPECT_EQ(Child<QLabel>(dlg, "lblVersion")->text(), QStringLiteral("Version 2.0.0.77"));
    // Drawn on a transparent background: the rounded corner lets it through.
    EXPECT_EQ(Child<QLabel>(dlg, "imgBanner")->pixmap().toImage().pixelColor(0, 0).alpha(), 0);
    EXPECT_TRUE(Child<QPushButton>(dlg, "Button1")->isDefault());
}

TEST_F(AboutBox, EscAndEnterCloseWithResultOk) {
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        TdlgAbout dlg(main.get());
        dlg.Prepare();
        EXPECT_EQ(ExecAndPress(dlg, key), QDialog::Accepted) << key;
        EXPECT_FALSE(dlg.isVisible());
    }
}

TEST_F(AboutBox, WithoutConfiguredAddressesTheLinesAreHidden) {
    // The default build is configured with no home page and no contact.
    EXPECT_TRUE(TdlgAbout::WebUrl().isEmpty());
    EXPECT_TRUE(TdlgAbout::MailAddress().isEmpty());
    TdlgAbout dlg(main.get());
    dlg.Prepare();
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    for (const char* name : {"lblUrlCaption", "Label6", "lblMailCaption", "Label4"}) {
        QLabel* line = Child<QLabel>(dlg, name);
        ASSERT_TRUE(line);
        EXPECT_FALSE(line->isVisible()) << name;
        QTest::mouseClick(line, Qt::LeftButton);
    }
    for (const char* name : {"lblTitle", "lblVersion", "Button1"})
        EXPECT_TRUE(Child<QWidget>(dlg, name)->isVisible()) << name;
    dlg.Label6Click();
    dlg.Label4Click();
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(AboutBox, LinksShowTheirAddressesAndOpenThem) {
    TdlgAbout::SetLinks(AboutLinks("https://www.quorvex.co.jp/converter/download/latest/index.html",
                                   "support@quorvex.co.jp"));
    TdlgAbout dlg(main.get());
    dlg.Prepare();
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    QLabel* web = Child<QLabel>(dlg, "Label6");
    QLabel* mail = Child<QLabel>(dlg, "Label4");
    ASSERT_TRUE(web && mail);

    const QString address = QStringLiteral("support@quorvex.co.jp");
    const QUrl url(
        QStringLiteral("https://www.quorvex.co.jp/converter/download/latest/index.html"));
    for (const char* name : {"lblUrlCaption", "Label6", "lblMailCaption", "Label4"})
        EXPECT_TRUE(Child<QLabel>(dlg, name)->isVisible()) << name;
    EXPECT_EQ(mail->text(), address);
    EXPECT_EQ(mail->pos(), QPoint(152, 128));
    EXPECT_EQ(web->pos(), QPoint(152, 112));
    EXPECT_EQ(web->toolTip(), url.toString());
    EXPECT_LE(web->geometry().right(), dlg.width());
    for (QLabel* link : {web, mail}) {
        EXPECT_TRUE(link->font().underline());
        EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(Qt::blue));
        EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    }

    QTest::mouseClick(web, Qt::LeftButton);
    QTest::mouseClick(mail, Qt::LeftButton);
    QTest::mouseClick(Child<QLabel>(dlg, "lblMailCaption"), Qt::LeftButton);
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(opened[0], url);
    EXPECT_EQ(opened[1], QUrl(QStringLiteral("mailto:") + address));
    EXPECT_TRUE(dlg.isVisible());  // the box stays open
}

TEST(HelpIndex, ParsesKeywordLines) {
    const QString text = QStringLiteral(
        "# comment\r\n"
        "\r\n"
        "バッチリスト\tbatch\r\n"
        "  SIMA \t sima-format \n"
        "no anchor\t\n"
        "no tab here\n"
        "\tnokeyword\n"
        "Z00\tsima-z00");
    const QList<THelpKeyword> expected{{QStringLiteral("バッチリスト"), QStringLiteral("batch")},
                                       {QStringLiteral("SIMA"), QStringLiteral("sima-format")},
                                       {QStringLiteral("Z00"), QStringLiteral("sima-z00")}};
    EXPECT_EQ(ParseHelpIndex(text), expected);
    EXPECT_TRUE(ParseHelpIndex(QString()).isEmpty());
}

TEST(HelpIndex, SearchNarrowsIgnoringCaseAndWidth) {
    const QList<THelpKeyword> all{{QStringLiteral("SIMA出力"), QStringLiteral("a")},
                                  {QStringLiteral("バッチリスト"), QStringLiteral("b")},
                                  {QStringLiteral("バッチ変換"), QStringLiteral("c")},
                                  {QStringLiteral("mif"), QStringLiteral("d")}};
    auto keywordsOf = [&](const QString& search) {
        QStringList words;
        for (const THelpKeyword& k : FilterHelpKeywords(all, search))
            words << k.Keyword;
        return words;
    };
    EXPECT_EQ(keywordsOf(QString()).size(), 4);
    EXPECT_EQ(keywordsOf(QStringLiteral("  ")).size(), 4);
    EXPECT_EQ(keywordsOf(QStringLiteral("sima")), QStringList{QStringLiteral("SIMA出力")});
    EXPECT_EQ(keywordsOf(QStringLiteral("ＭＩＦ")), QStringList{QStringLiteral("mif")});
    EXPECT_EQ(keywordsOf(QStringLiteral("ﾊﾞｯﾁ")),
              (QStringList{QStringLiteral("バッチリスト"), QStringLiteral("バッチ変換")}));
    EXPECT_EQ(keywordsOf(QStringLiteral("リスト")), QStringList{QStringLiteral("バッチリスト")});
    EXPECT_TRUE(keywordsOf(QStringLiteral("xyz")).isEmpty());
}

TEST(HelpIndex, FilesSitBesideTheProgram) {
    EnsureQtApp();
    EXPECT_EQ(HelpIndexPath(QStringLiteral("/opt/q/quorvex.html")),
              QStringLiteral("/opt/q/quorvex-index.txt"));
    EXPECT_EQ(HelpDocumentPath(),
              QCoreApplication::applicationDirPath() + QStringLiteral("/about_help_test.html"));
}

// The help document and index installed beside the program: every keyword
// leads to an anchor that the document has.
TEST(HelpIndex, InstalledIndexPointsAtExistingAnchors) {
    EnsureQtApp();
    const QString doc = QCoreApplication::applicationDirPath() + QStringLiteral("/quorvex.html");
    QFile html(doc);
    QFile index(HelpIndexPath(doc));
    ASSERT_TRUE(html.open(QIODevice::ReadOnly)) << doc.toStdString();
    ASSERT_TRUE(index.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(html.readAll());
    const QList<THelpKeyword> keywords = ParseHelpIndex(QString::fromUtf8(index.readAll()));
    EXPECT_GE(keywords.size(), 20);
    for (const THelpKeyword& k : keywords) {
        EXPECT_TRUE(page.contains(QStringLiteral("name=\"%1\"").arg(k.Anchor)))
            << k.Keyword.toStdString() << " -> " << k.Anchor.toStdString();
    }
    for (const char* code : {"Z00", "G00", "A00", "A01", "A99", "D00", "B01", "D99", "F00", "F99"})
        EXPECT_TRUE(page.contains(QLatin1String(code))) << code;
}

QList<THelpWindow*> HelpWindows() {
    QList<THelpWindow*> found;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* help = qobject_cast<THelpWindow*>(w); help && help->isVisible()) found << help;
    }
    return found;
}

void CloseHelpWindows() {
    for (THelpWindow* w : HelpWindows())
        w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class HelpWindow : public testing::Test {
  protected:
    void SetUp() override {
        EnsureQtApp();
        QString body = QStringLiteral(
            "<html><head><meta charset=\"utf-8\"></head><body>"
            "<h1><a name=\"top\"></a>目次</h1>");
        for (const char* anchor : {"first", "second", "last"}) {
            for (int i = 0; i < 60; ++i)
                body += QStringLiteral("<p>本文 %1</p>").arg(i);
            body += QStringLiteral("<h2><a name=\"%1\"></a>%1</h2>").arg(QLatin1String(anchor));
        }
        for (int i = 0; i < 60; ++i)
            body += QStringLiteral("<p>end</p>");
        body += QStringLiteral("</body></html>");
        test::WriteBytes(doc, body.toStdString());
        test::WriteBytes(
            dir / "doc-index.txt",
            "# keywords\n目次\ttop\n最初の節\tfirst\n二番目の節\tsecond\n最後\tlast\n");
    }
    void TearDown() override { CloseHelpWindows(); }

    test::TempDir dir;
    const std::string doc = dir / "doc.html";
};

TEST_F(HelpWindow, OpensOnceListsKeywordsAndScrollsToTheChosenOne) {
    QWidget main;
    main.show();
    ShowHelpIndex(&main, QString::fromStdString(doc));
    ShowHelpIndex(&main, QString::fromStdString(doc));
    ASSERT_EQ(HelpWindows().size(), 1);
    THelpWindow* help = HelpWindows().first();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(help));
    EXPECT_FALSE(help->isModal());
    auto* search = Child<QLineEdit>(*help, "edtSearch");
    auto* list = Child<QListWidget>(*help, "lstKeywords");
    auto* page = Child<QTextBrowser>(*help, "txtPage");
    ASSERT_TRUE(search && list && page);
    EXPECT_EQ(list->count(), 4);

    search->insert(QStringLiteral("節"));  // typed through an input method
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("最初の節"));
    EXPECT_EQ(page->verticalScrollBar()->value(), 0);  // narrowing alone does not move

    list->setCurrentRow(1);  // 二番目の節
    const int second = page->verticalScrollBar()->value();
    EXPECT_GT(second, 0);

    search->clear();
    EXPECT_EQ(list->count(), 4);
    search->insert(QStringLiteral("最後"));
    QTest::keyClick(search, Qt::Key_Return);  // chooses the first match
    EXPECT_GT(page->verticalScrollBar()->value(), second);

    search->clear();
    list->setCurrentRow(0);  // 目次, at the very top
    EXPECT_LT(page->verticalScrollBar()->value(), 20);
}

TEST_F(HelpWindow, MissingFileIsReportedOnThePage) {
    const QString missing = QString::fromStdString(dir / "none.html");
    ShowHelpIndex(nullptr, missing);
    ASSERT_EQ(HelpWindows().size(), 1);
    THelpWindow* help = HelpWindows().first();
    EXPECT_EQ(Child<QTextBrowser>(*help, "txtPage")->toPlainText(),
              QStringLiteral("ヘルプファイルが見つかりません: ") + missing);
    EXPECT_EQ(Child<QListWidget>(*help, "lstKeywords")->count(), 0);
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_EQ(qobject_cast<QMessageBox*>(w), nullptr);

    // The same window then shows the document once it is asked for.
    ShowHelpIndex(nullptr, QString::fromStdString(doc));
    ASSERT_EQ(HelpWindows().size(), 1);
    EXPECT_EQ(Child<QListWidget>(*help, "lstKeywords")->count(), 4);
}

// Qt's own texts come in Japanese: the standard buttons, and the file
// dialogs the window opens.
TEST(QtTexts, AreJapanese) {
    EnsureQtApp();
    QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));

    TDesktopServices desktop;
    TFileDialog dialog{"OpenDialog1",
                       TFileDialog::Open,
                       {{"MapInfo インポート/エクスポート", "*.mif"}},
                       "",
                       "",
                       ""};
    dialog.FileName = std::string(QUORVEX_EXAMPLES) + "/town.mif";
    QStringList texts;
    QTimer::singleShot(0, [&] {
        auto* fd = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(fd, nullptr);
        for (const QLabel* label : fd->findChildren<QLabel*>())
            texts << label->text();
        for (const QPushButton* b : fd->findChildren<QPushButton*>())
            texts << b->text();
        if (const char* shots = std::getenv("QUORVEX_SCREENSHOT_DIR"))
            fd->grab().save(QString::fromUtf8(shots) + "/file-dialog.png");
        fd->reject();
    });
    EXPECT_FALSE(desktop.Execute(nullptr, dialog));
    EXPECT_TRUE(texts.contains(QStringLiteral("キャンセル"))) << texts.join('|').toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("開く(&O)")) ||
                texts.contains(QStringLiteral("開く")))
        << texts.join('|').toStdString();
}

// A dialog given a folder opens there, with the last choice's name only.
TEST(QtFileDialog, OpensInItsFolderWithTheLastName) {
    EnsureQtApp();
    test::TempDir dir;
    std::filesystem::create_directories(dir / "here");
    TDesktopServices desktop;
    TFileDialog dialog{
        "SaveDialog1", TFileDialog::Save, {{"SIMAファイル", "*.sim"}}, "sim", "", ""};
    dialog.FileName = std::string(QUORVEX_EXAMPLES) + "/town.sim";
    dialog.InitialDir = dir / "here";
    QString folder;
    QTimer::singleShot(0, [&] {
        auto* fd = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(fd, nullptr);
        folder = fd->directory().absolutePath();
        fd->reject();
    });
    EXPECT_FALSE(desktop.Execute(nullptr, dialog));
    EXPECT_EQ(folder.toStdString(), dir / "here");
}

}  // namespace
}  // namespace quorvex
