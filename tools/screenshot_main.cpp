// Drives the windows over a sample file with a scripted dialog seam and saves
// a PNG of each window: main-window.png, variable-list.png,
// value-labels.png, value-labels-range.png, data-grid.png,
// data-grid-labels-find.png (value labels shown, the find bar open),
// go-to.png, confirm.png (the export's question), progress.png,
// file-info.png, frequencies.png, describe.png, crosstab.png, means.png,
// data-grid-filter.png (the filter bar set) and, given a second sample,
// data-grid-formats.png (its grid with 書式どおりに表示).
// Usage: lorivane_screenshots SAMPLE.sav OUTDIR [FORMATS.sav]
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QProgressDialog>
#include <QTimer>
#include <QToolButton>
#include <iostream>

#include "core/rendering/decimal_separator.h"
#include "core/state/dialogs.h"
#include "core/state/spssdio1.h"
#include "forms/grid/filter_bar.h"
#include "forms/grid/find_bar.h"
#include "forms/grid/grid_additions.h"
#include "forms/seam/modal.h"
#include "forms/seam/progress_dialog.h"
#include "forms/seam/qt_dialogs.h"
#include "forms/seam/qt_translations.h"
#include "forms/stats/stats_windows.h"
#include "forms/windows/DPGrid.h"
#include "forms/windows/ValueLabel.h"
#include "forms/windows/file_info.h"
#include "forms/windows/spssfile.h"
#include "forms/windows/vardisp.h"
#include "forms/windows/window_refs.h"

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
    void OpenNext(std::string path) { path_ = std::move(path); }
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
    if (argc != 3 && argc != 4) {
        std::cerr << "usage: lorivane_screenshots SAMPLE.sav OUTDIR [FORMATS.sav]\n";
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

    // The statistics windows over the survey: satisfaction's frequencies
    // with its chart, every variable described, sex by "would come again".
    if (QWidget* w = lv::OpenFrequencyWindow(7)) ok = Save(w, out + "/frequencies.png") && ok;
    if (QWidget* w = lv::OpenDescribeWindow()) {
        w->resize(1100, 380);
        ok = Save(w, out + "/describe.png") && ok;
    }
    if (auto* c = static_cast<lv::CrosstabWindow*>(lv::OpenCrosstabWindow(1))) {
        c->columns->setCurrentIndex(8);
        c->rowPercent->setChecked(true);
        c->resize(820, 660);
        ok = c->Count() && Save(c, out + "/crosstab.png") && ok;
    }
    // Satisfaction's mean by sex.
    if (auto* m = static_cast<lv::MeansWindow*>(lv::OpenMeansWindow(7))) {
        m->group1->setCurrentIndex(1);
        m->resize(900, 260);
        ok = m->Count() && Save(m, out + "/means.png") && ok;
    }
    // The grid narrowed by a condition, its filter bar open.
    if (frmDPGrid) {
        frmDPGrid->additions->findBar->close->click();
        frmDPGrid->additions->ShowOnly(QStringLiteral("SCORE >= 4 AND NOT MISSING(AGAIN)"));
        ok = Save(frmDPGrid, out + "/data-grid-filter.png") && ok;
    }
    // A file of dates, times and currencies in its print formats.
    if (argc == 4) {
        dialogs.OpenNext(argv[3]);
        Form1->filegetClick();
        Form1->Button5Click();
        if (frmDPGrid) {
            frmDPGrid->resize(1180, 330);
            frmDPGrid->additions->ToggleFormatted();
            ok = Save(frmDPGrid, out + "/data-grid-formats.png") && ok;
        }
    }

    DestroyWindows();
    lv::SetDialogs(nullptr);
    return ok ? 0 : 1;
}
