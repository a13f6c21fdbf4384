// Program entry: the application object, the Qt dialogs, the decimal
// separator from the user's locale (re-read when the locale changes), and
// the main window, whose creation asks for the first file.
#include <QApplication>
#include <QEvent>

#include "core/decimalsep.h"
#include "core/dialogs.h"
#include "forms/DPGrid.h"
#include "forms/qtdialogs.h"
#include "forms/spssfile.h"
#include "forms/vardisp.h"
#include "forms/windowrefs.h"

namespace {

class LocaleChangeFilter final : public QObject {
  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::LocaleChange) lv::LoadDecimalSeparatorFromLocale();
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    lv::QtDialogs dialogs;
    lv::SetDialogs(&dialogs);
    lv::LoadDecimalSeparatorFromLocale();
    LocaleChangeFilter localeFilter;
    app.installEventFilter(&localeFilter);

    new TForm1();  // sets Form1 before its FormCreate runs
    Form1->show();
    const int result = app.exec();

    DestroyWindows();
    lv::SetDialogs(nullptr);
    return result;
}
