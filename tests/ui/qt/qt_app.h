// The QApplication every window test needs; gtest_main creates none.
#pragma once

#include <QApplication>

namespace quorvex::test {

inline QApplication& EnsureQtApp() {
    static int argc = 1;
    static char name[] = "quorvex-test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        auto* a = new QApplication(argc, argv);
        QApplication::setApplicationName(QStringLiteral("Quorvex Converter"));
        return a;
    }();
    return *app;
}

}  // namespace quorvex::test
