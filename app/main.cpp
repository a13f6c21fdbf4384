// Program entry: the command line, the application object and its name
// (where its kept choices go), the Qt dialogs in Japanese, the decimal
// separator from the user's locale (re-read when the locale changes), and
// the main window, whose creation opens the FILE given or asks for the first
// file.
#include <QApplication>
#include <QEvent>
#include <cstdio>
#include <optional>

#include "core/rendering/decimal_separator.h"
#include "core/state/dialogs.h"
#include "core/state/start_command.h"
#include "forms/seam/focus_keys.h"
#include "forms/seam/menu_key.h"
#include "forms/seam/qt_dialogs.h"
#include "forms/seam/qt_translations.h"
#include "forms/windows/DPGrid.h"
#include "forms/windows/spssfile.h"
#include "forms/windows/vardisp.h"
#include "forms/windows/window_refs.h"

using namespace lv;

namespace {

class LocaleChangeFilter final : public QObject {
  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::LocaleChange) lv::LoadDecimalSeparatorFromLocale();
        return QObject::eventFilter(watched, event);
    }
};

// Answers --help, --version and bad usage in the terminal and returns the
// exit status; nothing when the windows are to start.
std::optional<int> AnswerInTerminal(const lv::StartCommand& command) {
    switch (command.action) {
        case lv::StartAction::Help:
            std::fputs(lv::StartUsageText().c_str(), stdout);
            return 0;
        case lv::StartAction::Version:
            std::fputs(lv::StartVersionText().c_str(), stdout);
            return 0;
        case lv::StartAction::UsageError:
            std::fprintf(stderr, "lorivane: %s\nTry 'lorivane --help'.\n", command.error.c_str());
            return 2;
        case lv::StartAction::Run:
            break;
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    // Read before Qt starts, so --help and --version need no display.
    const lv::StartCommand command = lv::ParseStartCommand({argv + 1, argv + argc});
    if (const std::optional<int> status = AnswerInTerminal(command)) return *status;

    // Qt sees no arguments of its own: its settings come from its environment
    // variables (QT_QPA_PLATFORM, QT_SCALE_FACTOR, ...).
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    // The choices kept between runs: ~/.config/lorivane/lorivane.conf.
    QCoreApplication::setOrganizationName(QStringLiteral("lorivane"));
    QCoreApplication::setApplicationName(QStringLiteral("lorivane"));
    QGuiApplication::setDesktopFileName(QStringLiteral(LORIVANE_APP_ID));
    lv::InstallQtTranslations();
    lv::QtDialogs dialogs;
    lv::SetDialogs(&dialogs);
    lv::LoadDecimalSeparatorFromLocale();
    LocaleChangeFilter localeFilter;
    app.installEventFilter(&localeFilter);
    lv::InstallShiftF10ContextMenus(&app);
    lv::InstallFocusKeys(&app);

    new TForm1(command.file);  // sets Form1 before its FormCreate runs
    Form1->show();
    const int result = app.exec();

    DestroyWindows();
    lv::SetDialogs(nullptr);
    return result;
}
