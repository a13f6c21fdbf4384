#include "tests/forms/support_app.h"

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <cstdlib>

namespace {

// The choices kept between runs go to Qt's test location, set before any
// test makes an application or reads them, and every run starts from none.
[[maybe_unused]] const bool kSettingsApart = [] {
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("lorivane-tests"));
    QCoreApplication::setApplicationName(QStringLiteral("forms_tests"));
    QSettings().clear();
    return true;
}();

}  // namespace

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
