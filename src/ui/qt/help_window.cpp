#include "ui/qt/help_window.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QSplitter>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "support/install_layout.h"
#include "support/paths.h"
#include "ui/qt/app_icon.h"

namespace quorvex {
namespace {

// Case and width folded, so "ｓｉｍａ" finds "SIMA" and "ﾊﾞｯﾁ" finds "バッチ".
QString Folded(const QString& s) {
    return s.normalized(QString::NormalizationForm_KC).toCaseFolded();
}

QPointer<THelpWindow>& OpenWindow() {
    static QPointer<THelpWindow> window;
    return window;
}

}  // namespace

QString HelpDocumentPath() {
    return QString::fromStdString(FindProgramFile(GetExePath(), ".html"));
}

QString HelpIndexPath(const QString& helpFile) {
    const QFileInfo doc(helpFile);
    return doc.path() + QLatin1Char('/') + doc.completeBaseName() + QStringLiteral("-index.txt");
}

QList<THelpKeyword> ParseHelpIndex(const QString& text) {
    QList<THelpKeyword> keywords;
    for (const QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        if (line.trimmed().isEmpty() || line.trimmed().startsWith(QLatin1Char('#'))) continue;
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        if (tab < 0) continue;
        THelpKeyword entry{line.left(tab).trimmed().toString(),
                           line.mid(tab + 1).trimmed().toString()};
        if (!entry.Keyword.isEmpty() && !entry.Anchor.isEmpty()) keywords.append(entry);
    }
    return keywords;
}

QList<THelpKeyword> FilterHelpKeywords(const QList<THelpKeyword>& keywords, const QString& search) {
    const QString wanted = Folded(search.trimmed());
    if (wanted.isEmpty()) return keywords;
    QList<THelpKeyword> found;
    for (const THelpKeyword& entry : keywords) {
        if (Folded(entry.Keyword).contains(wanted)) found.append(entry);
    }
    return found;
}

THelpWindow::THelpWindow(QWidget* parent, const QString& helpFile) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmHelp"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Quorvex Converter ヘルプ"));
    setWindowIcon(QuorvexIcon());
    setFont(QuorvexWindowFont());

    auto* side = new QWidget;
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    auto* caption = new QLabel(QStringLiteral("キーワード(&K):"));
    edtSearch = new QLineEdit;
    edtSearch->setObjectName(QStringLiteral("edtSearch"));
    edtSearch->setPlaceholderText(QStringLiteral("検索する語を入力"));
    edtSearch->setClearButtonEnabled(true);
    caption->setBuddy(edtSearch);
    lstKeywords = new QListWidget;
    lstKeywords->setObjectName(QStringLiteral("lstKeywords"));
    sideLayout->addWidget(caption);
    sideLayout->addWidget(edtSearch);
    sideLayout->addWidget(lstKeywords);

    txtPage = new QTextBrowser;
    txtPage->setObjectName(QStringLiteral("txtPage"));
    txtPage->setOpenExternalLinks(true);

    auto* splitter = new QSplitter;
    splitter->addWidget(side);
    splitter->addWidget(txtPage);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({200, 600});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter);
    resize(820, 560);

    connect(edtSearch, &QLineEdit::textChanged, this, &THelpWindow::edtSearchChange);
    connect(edtSearch, &QLineEdit::returnPressed, this, &THelpWindow::edtSearchEnter);
    connect(lstKeywords, &QListWidget::currentItemChanged, this, &THelpWindow::lstKeywordsChange);
    connect(lstKeywords, &QListWidget::itemActivated, this, &THelpWindow::lstKeywordsChange);

    Load(helpFile);
    edtSearch->setFocus();
}

void THelpWindow::Load(const QString& helpFile) {
    helpFile_ = helpFile;
    keywords_.clear();
    if (!QFileInfo(helpFile).isFile()) {
        txtPage->clear();
        txtPage->setPlainText(QStringLiteral("ヘルプファイルが見つかりません: ") + helpFile);
    } else {
        txtPage->setSource(QUrl::fromLocalFile(QFileInfo(helpFile).absoluteFilePath()));
        QFile index(HelpIndexPath(helpFile));
        // Without its index the document is still worth showing.
        if (index.open(QIODevice::ReadOnly | QIODevice::Text)) {
            keywords_ = ParseHelpIndex(QString::fromUtf8(index.readAll()));
        }
    }
    edtSearchChange();
}

void THelpWindow::edtSearchChange() {
    const QSignalBlocker quiet(lstKeywords);  // narrowing does not move the page
    lstKeywords->clear();
    for (const THelpKeyword& entry : FilterHelpKeywords(keywords_, edtSearch->text())) {
        auto* item = new QListWidgetItem(entry.Keyword, lstKeywords);
        item->setData(Qt::UserRole, entry.Anchor);
    }
}

void THelpWindow::edtSearchEnter() {
    if (lstKeywords->count() == 0) return;
    lstKeywords->setCurrentRow(0);
    lstKeywordsChange(lstKeywords->item(0));
}

void THelpWindow::lstKeywordsChange(QListWidgetItem* item) {
    if (item) txtPage->scrollToAnchor(item->data(Qt::UserRole).toString());
}

void ShowHelpIndex(QWidget* parent, const QString& helpFile) {
    QPointer<THelpWindow>& window = OpenWindow();
    if (!window) {
        window = new THelpWindow(parent, helpFile);
    } else if (window->HelpFile() != helpFile) {
        window->Load(helpFile);
    }
    window->show();
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->raise();
    window->activateWindow();
}

}  // namespace quorvex
