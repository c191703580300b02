#include "ui/qt/ui_services.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

#include "ui/qt/AboutDlg.h"
#include "ui/qt/help_window.h"

namespace quorvex {
namespace {

void ShowBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text) {
    QMessageBox box(icon, caption, text, QMessageBox::NoButton, parent);
    box.setDefaultButton(box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole));
    box.exec();
}

QString MessageCaption(TMessageKind kind) {
    switch (kind) {
        case TMessageKind::Warning:
            return QString::fromUtf8(msg::kCaptionWarning);
        case TMessageKind::Information:
            return QString::fromUtf8(msg::kCaptionInformation);
        case TMessageKind::Error:
            return QString::fromUtf8(msg::kCaptionError);
    }
    return {};
}

}  // namespace

void TDesktopServices::Message(QWidget* parent, TMessageKind kind, const QString& text) {
    const QMessageBox::Icon icon = kind == TMessageKind::Warning       ? QMessageBox::Warning
                                   : kind == TMessageKind::Information ? QMessageBox::Information
                                                                       : QMessageBox::Critical;
    ShowBox(parent, icon, MessageCaption(kind), text);
}

void TDesktopServices::ShowError(QWidget* parent, const QString& text) {
    ShowBox(parent, QMessageBox::Critical, QString::fromUtf8(kAppTitle), text);
}

bool TDesktopServices::Execute(QWidget* parent, TFileDialog& dialog) {
    QFileDialog fd(parent);
    fd.setObjectName(QString::fromStdString(dialog.Name));
    QStringList filters;
    for (const TFileFilter& f : dialog.Filters)
        filters << QString::fromStdString(f.Description + " (" + f.Pattern + ")");
    fd.setNameFilters(filters);
    // A typed name need not exist (a missing file fails when it is read),
    // and replacing an existing file is not questioned.
    fd.setFileMode(QFileDialog::AnyFile);
    if (dialog.DialogKind == TFileDialog::Save) {
        fd.setAcceptMode(QFileDialog::AcceptSave);
        fd.setOption(QFileDialog::DontConfirmOverwrite);
    }
    if (!dialog.DefaultExt.empty()) fd.setDefaultSuffix(QString::fromStdString(dialog.DefaultExt));
    if (!dialog.FileName.empty()) {
        const QFileInfo last(QString::fromStdString(dialog.FileName));
        fd.setDirectory(last.absolutePath());
        fd.selectFile(last.fileName());
    }
    if (!dialog.InitialDir.empty()) {
        fd.setDirectory(QString::fromStdString(dialog.InitialDir));
        if (!dialog.FileName.empty())
            fd.selectFile(QFileInfo(QString::fromStdString(dialog.FileName)).fileName());
    }
    if (fd.exec() != QDialog::Accepted || fd.selectedFiles().isEmpty()) return false;
    dialog.FileName = fd.selectedFiles().constFirst().toStdString();
    return true;
}

void TDesktopServices::SetBusy(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void TDesktopServices::ShowAbout(QWidget* parent) {
    TdlgAbout dlg(parent);
    dlg.Prepare();
    dlg.exec();
}

void TDesktopServices::ShowHelp(QWidget* parent, const QString& helpFile) {
    ShowHelpIndex(parent, helpFile);
}

bool InstallJapaneseTranslation(QApplication& app) {
    // One translator for the program's life.
    static QTranslator* qtbase = new QTranslator(&app);
    if (!qtbase->load(QStringLiteral("qtbase_ja"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QApplication::installTranslator(qtbase);
}

}  // namespace quorvex
