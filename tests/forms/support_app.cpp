#include "tests/forms/support_app.h"

#include <QApplication>
#include <cstdlib>

namespace testsupport {

QApplication& EnsureApplication() {
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        return *existing;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "forms_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: tearing a QApplication down among the exit-time
    // destructors of Qt's own statics crashes.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

}  // namespace testsupport
