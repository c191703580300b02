#include <QApplication>
#include <QFile>
#include <QLoggingCategory>

#include "support/std_streams.h"
#include "ui/qt/MainFrm.h"
#include "ui/qt/help_window.h"
#include "ui/qt/ui_services.h"

// Where the window found its files, for checking an installation:
// QT_LOGGING_RULES="quorvex.files.info=true" shows it.
Q_LOGGING_CATEGORY(lcFiles, "quorvex.files", QtWarningMsg)

int main(int argc, char** argv) {
    // Qt writes its warnings to descriptor 2: never into a file of ours.
    quorvex::GuardStandardStreams();
    // The arguments are files to open (the desktop entry's %F); Qt gets the
    // program name only, so a file named like one of its options stays a file.
    QStringList files;
    for (int i = 1; i < argc; ++i)
        files.append(QFile::decodeName(argv[i]));
    int qtArgc = argc > 0 ? 1 : 0;
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName(QString::fromUtf8(quorvex::kAppTitle));
    // Ties the window to its desktop entry (icon and name on Wayland).
    QGuiApplication::setDesktopFileName(QStringLiteral("quorvex"));
    // Qt's own texts (file dialogs, edit menus) in Japanese like the window,
    // whatever the user's locale; English where the translations are missing.
    quorvex::InstallJapaneseTranslation(app);

    quorvex::TDesktopServices services;
    quorvex::TfrmMain frmMain(services);
    frmMain.show();
    frmMain.OpenCommandLineFiles(files);
    qCInfo(lcFiles).noquote() << "help document:" << quorvex::HelpDocumentPath();
    qCInfo(lcFiles) << "icon sizes:" << frmMain.windowIcon().availableSizes();
    return app.exec();
}
