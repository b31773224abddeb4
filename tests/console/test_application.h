#pragma once

#include <QApplication>
#include <QByteArray>

// The one QApplication that widget tests need, made on first use on the offscreen platform (also when
// the test program is started by hand). It is kept to the end of the process: destroyed at exit, it would
// run Qt's clean-up after statics of the print support that it still uses.
namespace kestrova::test {

inline QApplication& TestApplication() {
    static int argc = 1;
    static char name[] = "test_console";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    }
    static QApplication* application = new QApplication(argc, argv);
    return *application;
}

} // namespace kestrova::test
