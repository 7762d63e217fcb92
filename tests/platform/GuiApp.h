#pragma once
// The platform tests run from a plain GoogleTest main; the ones that need widgets make
// one QApplication on first use (or use the one that exists) and keep it.
#include <QApplication>

namespace platformtest {

inline QApplication& guiApp() {
    static int argc = 1;
    static char name[] = "platform_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* instance =
        qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr
            ? qobject_cast<QApplication*>(QCoreApplication::instance())
            : new QApplication(argc, argv);
    return *instance;
}

}  // namespace platformtest
