// The About box: title, version and the project's home page and contact
// address, each line shown only when the build was configured with a real
// one. Created for one showing and released after it.
#pragma once

#include <QDialog>
#include <QUrl>
#include <array>
#include <functional>
#include <iterator>
#include <optional>

#include "ui/logic/about_links.h"
#include "ui/logic/main_layout.h"

class QLabel;

namespace quorvex {

class TdlgAbout : public QDialog {
    Q_OBJECT

  public:
    using TUrlOpener = std::function<void(const QUrl&)>;

    explicit TdlgAbout(QWidget* parent);

    // Fills in the version and gives the box its outer height; call before
    // showing it.
    void Prepare();

    // How links are opened; the desktop's opener when none is set. Tests set
    // a recorder so no browser or mail program starts.
    static void SetUrlOpener(TUrlOpener opener);
    // The addresses the build was configured with, or those a test set;
    // nullopt goes back to the configured ones.
    static TAboutLinks Links();
    static void SetLinks(std::optional<TAboutLinks> links);
    // The addresses behind the links; empty when the line is hidden.
    static QUrl WebUrl();
    static QString MailAddress();

    void Button1Click();  // OK: close with the result OK
    void Label6Click();   // web link
    void Label4Click();   // mail link

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    QLabel* AddLabel(const QString& text, const TAboutSpec& spec);
    QLabel* AddLink(const QString& text, const TAboutSpec& spec);
    template <class T>
    T* Item(TAboutItem item) const {
        return static_cast<T*>(items_[static_cast<size_t>(item)]);
    }
    void ApplyOuterHeight();
    // The outer height and the centre again, once the frame is known.
    void PlaceOnceFrameKnown(int triesLeft, int steady);

    // The items of kAboutItems, by TAboutItem.
    std::array<QWidget*, std::size(kAboutItems)> items_{};
};

}  // namespace quorvex
