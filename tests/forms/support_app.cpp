#include "tests/forms/support_app.h"

#include <unistd.h>

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// The folder of this process's kept choices.
std::filesystem::path SettingsFolder() {
    return std::filesystem::temp_directory_path() /
           ("lorivane-forms-settings-" + std::to_string(getpid()));
}

// The choices kept between runs go to a folder of this process's own, set
// before any test makes an application or reads them: tests run side by
// side and each starts from none. The folder goes when the process ends.
[[maybe_unused]] const bool kSettingsApart = [] {
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("lorivane-tests"));
    QCoreApplication::setApplicationName(QStringLiteral("forms_tests"));
    const QString folder = QString::fromStdString(SettingsFolder().string());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
    QSettings().clear();
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(SettingsFolder(), ignored);
    });
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
