// The QApplication every window test needs; gtest_main creates none.
#pragma once

#include <QApplication>

#include "ui/qt/ui_services.h"

namespace quorvex::test {

inline QApplication& EnsureQtApp() {
    static int argc = 1;
    static char name[] = "quorvex-test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        auto* a = new QApplication(argc, argv);
        QApplication::setApplicationName(QStringLiteral("Quorvex Converter"));
        InstallJapaneseTranslation(*a);
        return a;
    }();
    return *app;
}

}  // namespace quorvex::test
