#pragma once

#include <QApplication>
#include <QByteArray>

// The one QApplication that widget tests need, made on first use on the offscreen platform (also when
// the test program is started by hand), unless the program has made its own already.
namespace kestrova::test {

inline QApplication& TestApplication() {
    static int argc = 1;
    static char name[] = "test_console";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    }
    // Kept to the end of the process: destroyed at exit, it would outlive statics of Qt that the input
    // devices of synthesised mouse events and the print support still use.
    static QApplication* application = QCoreApplication::instance() != nullptr
                                           ? qobject_cast<QApplication*>(QCoreApplication::instance())
                                           : new QApplication(argc, argv);
    return *application;
}

} // namespace kestrova::test
