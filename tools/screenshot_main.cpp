// Drives the windows over a sample file with a scripted dialog seam and saves
// a PNG of each window: main-window.png, variable-list.png,
// value-labels.png, data-grid.png, data-grid-labels-find.png (value labels
// shown, the find bar open) and file-info.png.
// Usage: lorivane_screenshots SAMPLE.sav OUTDIR
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QTimer>
#include <iostream>

#include "core/decimalsep.h"
#include "core/dialogs.h"
#include "core/spssdio1.h"
#include "forms/DPGrid.h"
#include "forms/ValueLabel.h"
#include "forms/fileinfo.h"
#include "forms/findbar.h"
#include "forms/gridadditions.h"
#include "forms/modal.h"
#include "forms/spssfile.h"
#include "forms/vardisp.h"
#include "forms/windowrefs.h"

namespace {

// Answers the open dialog with the sample; messages go to stderr.
class ScriptedDialogs final : public lv::Dialogs {
  public:
    explicit ScriptedDialogs(std::string path) : path_(std::move(path)) {}
    void ShowMessage(std::string_view text) override { std::cerr << text << "\n"; }
    void ShowError(std::string_view, std::string_view text) override { std::cerr << text << "\n"; }
    std::optional<std::string> OpenFile(std::string_view, std::string_view) override {
        return path_;
    }
    std::optional<std::string> SaveFile(std::string_view) override { return std::nullopt; }
    lv::ConfirmAnswer Confirm(std::string_view, std::string_view) override {
        return lv::ConfirmAnswer::Cancel;
    }
    void Beep() override {}

  private:
    std::string path_;
};

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

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::cerr << "usage: lorivane_screenshots SAMPLE.sav OUTDIR\n";
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(out);
    ScriptedDialogs dialogs(argv[1]);
    lv::SetDialogs(&dialogs);
    lv::LoadDecimalSeparatorFromLocale();

    new TForm1();
    bool ok = Save(Form1, out + "/main-window.png");

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
    }

    Form1->ShowFileInfo();
    if (frmFileInfo) ok = Save(frmFileInfo, out + "/file-info.png") && ok;

    DestroyWindows();
    lv::SetDialogs(nullptr);
    return ok ? 0 : 1;
}
