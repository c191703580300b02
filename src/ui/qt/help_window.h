// The help window: the program's HTML help document beside a keyword index
// that a search field narrows. It is not modal; the main window stays usable.
#pragma once

#include <QList>
#include <QString>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QTextBrowser;

namespace quorvex {

// One entry of the keyword index: the word and the anchor it leads to.
struct THelpKeyword {
    QString Keyword;
    QString Anchor;
    bool operator==(const THelpKeyword&) const = default;
};

// The help document of the running program: its executable's path with the
// extension ".html", or, for an installed program without it there, the file
// of that name in <prefix>/share/quorvex/.
QString HelpDocumentPath();
// The keyword index beside a help document: "quorvex.html" has
// "quorvex-index.txt".
QString HelpIndexPath(const QString& helpFile);

// The index file is UTF-8 text, one "keyword<TAB>anchor" a line; blank lines
// and lines starting with "#" are skipped, as are lines without both parts.
QList<THelpKeyword> ParseHelpIndex(const QString& text);
// The entries whose keyword contains `search`, ignoring letter case and the
// difference between full-width and half-width forms; all for a blank search.
QList<THelpKeyword> FilterHelpKeywords(const QList<THelpKeyword>& keywords, const QString& search);

class THelpWindow : public QWidget {
    Q_OBJECT

  public:
    THelpWindow(QWidget* parent, const QString& helpFile);

    // Shows the document and its index; a missing document is reported on
    // the page itself.
    void Load(const QString& helpFile);
    const QString& HelpFile() const { return helpFile_; }

  private:
    void edtSearchChange();
    void edtSearchEnter();
    void lstKeywordsChange(QListWidgetItem* item);

    QLineEdit* edtSearch;
    QListWidget* lstKeywords;
    QTextBrowser* txtPage;
    QString helpFile_;
    QList<THelpKeyword> keywords_;
};

// Opens the help window for `helpFile`, or brings the open one to the front.
void ShowHelpIndex(QWidget* parent, const QString& helpFile);

}  // namespace quorvex
