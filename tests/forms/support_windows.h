// A fixture for the window tests: a fresh shared state, a recording dialog
// seam, the modal show recorded instead of run, and teardown of every window.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTest>
#include <functional>
#include <string>

#include "core/rendering/decimal_separator.h"
#include "core/state/spssdio1.h"
#include "core/text/display_encoding.h"
#include "core/text/display_line.h"
#include "core/windows/summary.h"
#include "core/windows/variable_list.h"
#include "forms/seam/modal.h"
#include "forms/windows/DPGrid.h"
#include "forms/windows/ValueLabel.h"
#include "forms/windows/spssfile.h"
#include "forms/windows/vardisp.h"
#include "forms/windows/window_refs.h"
#include "tests/core/state/support_dialogs.h"
#include "tests/forms/support_app.h"
#include "tests/support/savfixture.h"

namespace testsupport {

inline QStringList ListLines(const QListWidget* list) {
    QStringList lines;
    for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
    return lines;
}

inline QStringList MemoLines(const QPlainTextEdit* memo) {
    return memo->toPlainText().split(QLatin1Char('\n'));
}

// A file of one labelled numeric variable and two cases.
inline fixture::File SmallFile(const std::string& varName) {
    fixture::File f;
    fixture::Variable v;
    v.name = varName;
    v.print = {5, 8, 2};
    v.label = "label of " + varName;
    f.variables = {v};
    f.cases = {{1.0}, {2.0}};
    f.compression = fixture::Compression::None;
    return f;
}

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureApplication();
        spssdio1::ResetSharedState();
        lv::SetDecimalSeparator('.');
        lv::SetCurrentFileEncoding("UTF-8");
        lv::ChooseDisplayEncoding(std::string());
        dir_ = fixture::TempDir();
        previousModal_ = lv::SetModalShowFunction([this](QDialog& d) {
            ++modalShows;
            if (onModal) onModal(d);
            return int(QDialog::Accepted);
        });
    }
    void TearDown() override {
        lv::SetModalShowFunction(previousModal_);
        lv::DestroyWindows();
        lv::ChooseDisplayEncoding(std::string());
    }
    std::string Write(const fixture::File& f, const std::string& name) {
        return fixture::WriteFile(f, dir_ + "/" + name);
    }
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }
    // f written as name and chosen as the summary and the variable list
    // choose a file.
    void Choose(const fixture::File& f, const std::string& name = "g.sav") {
        spssdio1::DataFileName = Write(f, name);
        lv::LineCollector ignored;
        lv::ShowFileSummaryLines(ignored);
        lv::BuildVariableList(ignored);
    }
    // The grid window of f, shown and active.
    lv::TfrmDPGrid& OpenGrid(const fixture::File& f, const std::string& name = "g.sav") {
        Choose(f, name);
        lv::frmDPGrid = new lv::TfrmDPGrid();
        lv::frmDPGrid->show();
        lv::frmDPGrid->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(lv::frmDPGrid));
        return *lv::frmDPGrid;
    }

    ScopedRecordingDialogs dialogs;
    int modalShows = 0;
    std::function<void(QDialog&)> onModal;

  private:
    std::string dir_;
    lv::ModalShowFunction previousModal_;
};

}  // namespace testsupport
