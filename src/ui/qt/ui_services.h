// What the main window asks of the desktop beyond its own controls: message
// boxes, file dialogs, the busy cursor, the About box and the help window.
// The window gets one object of this interface, so tests replace the desktop
// with a recorder and every handler runs without a person.
#pragma once

#include <QString>

#include "ui/logic/messages.h"
#include "ui/logic/window_view.h"

class QApplication;
class QWidget;

namespace quorvex {

class TUiServices {
  public:
    virtual ~TUiServices() = default;

    // A box captioned by its kind ("警告", "情報", "エラー") with one "OK".
    virtual void Message(QWidget* parent, TMessageKind kind, const QString& text) = 0;
    // The standard error box of errors no handler caught.
    virtual void ShowError(QWidget* parent, const QString& text) = 0;
    // Runs the dialog; true and dialog.FileName set when the user chose a file.
    virtual bool Execute(QWidget* parent, TFileDialog& dialog) = 0;
    // The application-wide hourglass cursor.
    virtual void SetBusy(bool busy) = 0;
    virtual void ShowAbout(QWidget* parent) = 0;
    virtual void ShowHelp(QWidget* parent, const QString& helpFile) = 0;
};

// The desktop itself: Qt message boxes and file dialogs, the override cursor,
// the About box and the help window.
class TDesktopServices : public TUiServices {
  public:
    void Message(QWidget* parent, TMessageKind kind, const QString& text) override;
    void ShowError(QWidget* parent, const QString& text) override;
    bool Execute(QWidget* parent, TFileDialog& dialog) override;
    void SetBusy(bool busy) override;
    void ShowAbout(QWidget* parent) override;
    void ShowHelp(QWidget* parent, const QString& helpFile) override;
};

// Caption of the application: window title and title of the error box.
inline constexpr const char* kAppTitle = msg::kAppTitle;

// Qt's own texts (file dialogs, standard buttons, the context menus of text
// boxes) in Japanese, from Qt's translation qtbase_ja.qm; false when it is
// not installed.
bool InstallJapaneseTranslation(QApplication& app);

}  // namespace quorvex
