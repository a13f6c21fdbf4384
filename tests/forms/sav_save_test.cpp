// 名前を付けて保存... from the grid's menus: the chosen cases in the chosen
// order, the chosen variables and the edits when asked are written as a new
// system file; the file shown is never the output.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QSpinBox>
#include <filesystem>

#include "core/cases/case_stream.h"
#include "core/dictionary/reader_handle.h"
#include "forms/grid/grid_additions.h"
#include "forms/grid/grid_model.h"
#include "forms/grid/grid_view.h"
#include "forms/grid/sav_save_dialog.h"
#include "tests/core/grid/grid_support.h"
#include "tests/forms/support_windows.h"

using namespace lv;

namespace {

// Every case of the system file at path, its values joined by '|'.
std::vector<std::string> CasesOf(const std::string& path) {
    ReaderHandle file;
    EXPECT_EQ(file.Open(path), 0) << path;
    int count = 0;
    spssGetNumberofVariables(file.get(), &count);
    CasesWanted wanted;
    for (int i = 0; i < count; ++i) wanted.variables.push_back(i);
    CaseStream stream(file, wanted);
    std::vector<std::string> cases;
    while (stream.Next())
        for (int64_t row = 0; row < stream.rows(); ++row) {
            std::string line;
            for (size_t c = 0; c < wanted.variables.size(); ++c) {
                if (c) line += '|';
                line += stream.values().isText(c)
                            ? std::string(stream.values().Text(row, c))
                            : std::to_string(int(stream.values().Number(row, c)));
            }
            cases.push_back(line);
        }
    return cases;
}

class SavSaveTest : public testsupport::WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        RememberedSavSaveChoices() = {};
    }
};

TEST_F(SavSaveTest, ChosenRowsOrderColumnsAndEditsAreWritten) {
    TfrmDPGrid& w = OpenGrid(gridtest::Coded());
    EXPECT_TRUE(w.additions->CellMenu()->actions().contains(w.additions->saveAsSav));
    EXPECT_TRUE(w.additions->HeaderMenu(0)->actions().contains(w.additions->saveAsSav));
    w.additions->Sort(0, true);  // 2 cd, 1 ab, 1 abc, then the user-missing 9
    ASSERT_TRUE(w.model->setData(w.model->index(0, 1), "xy", Qt::EditRole));

    // The first two rows as the grid shows them, the edit written; the
    // type chosen in the save dialog names the extension.
    dialogs.saveAsAnswers.push_back(SaveChoice{Path("part"), 1});
    onModal = [](QDialog& d) {
        auto& s = static_cast<SavSaveDialog&>(d);
        EXPECT_TRUE(s.writeEdits->isVisibleTo(&s));
        EXPECT_TRUE(s.zsav->isChecked());
        EXPECT_FALSE(s.keepEncoding->isEnabled());  // the file is UTF-8
        EXPECT_FALSE(s.filterNote->isVisibleTo(&s));
        s.casesRange->setChecked(true);
        s.firstRow->setValue(1);
        s.lastRow->setValue(2);
    };
    w.additions->SaveAsSav();
    ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors.front().second;
    EXPECT_EQ(dialogs.saveAsRequests.back().second, Path("g_copy.sav"));
    EXPECT_EQ(CasesOf(Path("part.zsav")), (std::vector<std::string>{"2|xy", "1|ab"}));

    // Every case in the file's order without the edit, one column; the
    // choices of the last save are offered again.
    w.StringGrid1->selectionModel()->select(w.model->index(0, 1),
                                            QItemSelectionModel::ClearAndSelect);
    dialogs.saveAsAnswers.push_back(SaveChoice{Path("all.sav"), 1});
    onModal = [](QDialog& d) {
        auto& s = static_cast<SavSaveDialog&>(d);
        EXPECT_TRUE(s.casesRange->isChecked());
        EXPECT_FALSE(s.zsav->isChecked());  // the typed extension decides
        s.casesAll->setChecked(true);
        s.fileOrder->setChecked(true);
        s.selectedColumns->setChecked(true);
        s.writeEdits->setChecked(false);
    };
    w.additions->SaveAsSav();
    EXPECT_EQ(CasesOf(Path("all.sav")), (std::vector<std::string>{"ab", "zz", "cd", "abc"}));
    EXPECT_EQ(dialogs.beeps, 2);

    // The file shown, under its name: refused, left as it was.
    const std::string shown = Path("g.sav");
    const auto size = std::filesystem::file_size(shown);
    dialogs.saveAsAnswers.push_back(SaveChoice{shown, 0});
    onModal = [](QDialog&) {};
    w.additions->SaveAsSav();
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_EQ(std::filesystem::file_size(shown), size);
    EXPECT_EQ(CasesOf(shown).size(), 4u);
}

TEST_F(SavSaveTest, ShownCasesUnderAFilterAndTheNoteThatSaysSo) {
    TfrmDPGrid& w = OpenGrid(gridtest::Coded());
    w.additions->ShowOnly("CODE = 1");
    dialogs.saveAsAnswers.push_back(SaveChoice{Path("ones.sav"), 0});
    onModal = [](QDialog& d) {
        auto& s = static_cast<SavSaveDialog&>(d);
        EXPECT_TRUE(s.filterNote->isVisibleTo(&s));
        EXPECT_FALSE(s.writeEdits->isVisibleTo(&s));  // no edits: not asked
        EXPECT_TRUE(s.casesShown->isChecked());
    };
    w.additions->SaveAsSav();
    EXPECT_EQ(CasesOf(Path("ones.sav")), (std::vector<std::string>{"1|ab", "1|abc"}));
}

}  // namespace
