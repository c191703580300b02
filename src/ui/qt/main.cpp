#include <QApplication>

#include "ui/qt/MainFrm.h"
#include "ui/qt/ui_services.h"

int main(int argc, char** argv) {
    // The program reads no command line: Qt gets the program name only.
    int qtArgc = argc > 0 ? 1 : 0;
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName(QString::fromUtf8(quorvex::kAppTitle));
    quorvex::InstallJapaneseTranslation(app);

    quorvex::TDesktopServices services;
    quorvex::TfrmMain frmMain(services);
    frmMain.show();
    return app.exec();
}
