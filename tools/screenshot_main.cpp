// Drives the windows over a sample file with a scripted dialog seam and saves
// a PNG of each window: main-window.png, variable-list.png,
// value-labels.png, value-labels-range.png, data-grid.png,
// data-grid-labels-find.png (value labels shown, the find bar open),
// go-to.png, confirm.png (the export's question), progress.png and
// file-info.png.
// Usage: lorivane_screenshots SAMPLE.sav OUTDIR
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QProgressDialog>
#include <QTimer>
#include <iostream>

#include "core/rendering/decimal_separator.h"
#include "core/state/dialogs.h"
#include "core/state/spssdio1.h"
#include "forms/DPGrid.h"
#include "forms/ValueLabel.h"
#include "forms/file_info.h"
#include "forms/find_bar.h"
#include "forms/grid_additions.h"
#include "forms/modal.h"
#include "forms/progress_dialog.h"
#include "forms/qt_dialogs.h"
#include "forms/qt_translations.h"
#include "forms/spssfile.h"
#include "forms/vardisp.h"
#include "forms/window_refs.h"

using namespace lv;

namespace {

void Settle() {
    for (int i = 0; i < 10; ++i) QCoreApplication::processEvents();
}

bool Save(QWidget* window, const QString& path) {
    window->show();
    window->raise();
    Settle();
    const bool ok = window->grab().save(path);
    std::cout << (ok ? "saved " : "could not save ") << path.toStdString() << "\n";
    return ok;
}

// Answers the open dialog with the sample and the save dialog with a file
// name; messages go to stderr. The export's question is the real box,
// saved once it is up and then cancelled.
class ScriptedDialogs final : public lv::Dialogs {
  public:
    ScriptedDialogs(std::string path, QString confirmPicture, bool* ok)
        : path_(std::move(path)), confirmPicture_(std::move(confirmPicture)), ok_(ok) {}
    void ShowMessage(std::string_view text) override { std::cerr << text << "\n"; }
    void ShowError(std::string_view, std::string_view text) override { std::cerr << text << "\n"; }
    std::optional<std::string> OpenFile(std::string_view, std::string_view) override {
        return path_;
    }
    std::optional<std::string> SaveFile(std::string_view) override { return "survey.txt"; }
    lv::ConfirmAnswer Confirm(std::string_view caption, std::string_view text) override {
        QTimer::singleShot(0, [this] {
            QWidget* box = QApplication::activeModalWidget();
            *ok_ = box && Save(box, confirmPicture_) && *ok_;
            if (auto* dialog = qobject_cast<QDialog*>(box)) dialog->reject();
        });
        return lv::QtDialogs().Confirm(caption, text);
    }
    void Beep() override {}

  private:
    std::string path_;
    QString confirmPicture_;
    bool* ok_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::cerr << "usage: lorivane_screenshots SAMPLE.sav OUTDIR\n";
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(out);
    bool ok = true;
    lv::InstallQtTranslations();
    ScriptedDialogs dialogs(argv[1], out + "/confirm.png", &ok);
    lv::SetDialogs(&dialogs);
    lv::LoadDecimalSeparatorFromLocale();

    new TForm1();
    ok = Save(Form1, out + "/main-window.png") && ok;

    Form1->Button3Click();
    ok = Save(frmVariable, out + "/variable-list.png") && ok;

    // The value-label window of the variable with the most to show.
    frmVariable->ListBox1->setCurrentRow(1);
    lv::SetModalShowFunction([&](QDialog& d) {
        ok = Save(&d, out + "/value-labels.png") && ok;
        return int(QDialog::Accepted);
    });
    frmVariable->ListBox1DblClick();
    spssdio1::SelectedVarIndex = 3;
    spssdio1::CurrentVarName = "INCOME";
    lv::SetModalShowFunction([&](QDialog& d) {
        ok = Save(&d, out + "/value-labels-range.png") && ok;
        return int(QDialog::Accepted);
    });
    lv::OpenValueLabelWindow();
    lv::SetModalShowFunction({});

    Form1->Button5Click();
    if (frmDPGrid) {
        ok = Save(frmDPGrid, out + "/data-grid.png") && ok;
        // The grid with its value labels shown and the find bar open on a
        // label's word, for the README.
        frmDPGrid->resize(900, 460);
        frmDPGrid->additions->ToggleLabels();
        frmDPGrid->additions->OpenFind();
        frmDPGrid->additions->findBar->text->setText(QStringLiteral("満足"));
        frmDPGrid->additions->Find(false);
        ok = Save(frmDPGrid, out + "/data-grid-labels-find.png") && ok;

        lv::SetModalShowFunction([&](QDialog& d) {
            ok = Save(&d, out + "/go-to.png") && ok;
            return int(QDialog::Rejected);
        });
        frmDPGrid->additions->GoTo();
        lv::SetModalShowFunction({});
        frmDPGrid->btmWriteClick();

        // A load that has run for a second, at its third case of six.
        double now = 0;
        lv::SetProgressClock([&now] { return now; });
        {
            lv::DialogProgress progress(nullptr,
                                        QStringLiteral("ケースを読み込んでいます... %1 / %2"));
            now = 1;
            progress.Step(3, 6);
            ok = progress.dialog() && Save(progress.dialog(), out + "/progress.png") && ok;
        }
        lv::SetProgressClock({});
    }

    Form1->ShowFileInfo();
    if (frmFileInfo) ok = Save(frmFileInfo, out + "/file-info.png") && ok;

    DestroyWindows();
    lv::SetDialogs(nullptr);
    return ok ? 0 : 1;
}
