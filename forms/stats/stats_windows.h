// The statistics windows, opened from the grid's header menu, the variable
// list's menu and the main window's text-area menu: 度数分布 (a variable's
// frequency table, descriptive statistics and chart), 変数の概要 (one row
// per variable), クロス集計 (two variables crossed, with the tests of
// independence, optionally by layers of a third) and 平均の比較 (a
// variable's mean and spread by group). Each reads the
// current file once with the progress dialog and keeps what it counted.
#pragma once

#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

#include "core/dictionary/file_dictionary.h"
#include "core/selection/grid_selection.h"
#include "core/stats/crosstab.h"
#include "core/stats/describe.h"
#include "core/stats/frequencies.h"
#include "core/stats/means.h"

class QChartView;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace lv {

// The cases the grid shows while its filter is set, when a window opens:
// the window counts those only and says so.
using CaseFilter = std::optional<ShownCases>;

// Opens the window for the current file (nothing when no file is chosen or
// the user cancels the count). variable: a dictionary index.
QWidget* OpenFrequencyWindow(int variable);
QWidget* OpenDescribeWindow();
QWidget* OpenCrosstabWindow(int rowVariable = 0);
QWidget* OpenMeansWindow(int variable = 0);
// Writes the codebook of variables (every variable when empty) of the
// open file as an HTML document the user names, of the cases the grid's
// filter shows when one is set; false when cancelled or nothing written.
bool WriteCodebookFile(std::vector<int> variables);

class FrequencyWindow : public QWidget {
    Q_OBJECT
  public:
    FrequencyWindow(std::shared_ptr<FileDictionary> dict, int variable, CaseFilter filter = {});
    // Counts (again): false when cancelled or failed.
    bool Count(bool weighted);

    QTableWidget* table;
    QTableWidget* statistics;
    // Which statistics the table lists (a menu of choices), and the
    // percentiles asked for beside the quartiles ("5,10,90,95").
    QPushButton* chooseStatistics;
    QLineEdit* percentiles;
    QCheckBox* unweighted;
    QChartView* chart = nullptr;
    const FrequencyTable& result() const { return result_; }
    // Goes to the first case of the grid holding row's value; or shows
    // only the cases holding it (the grid's filter).
    void GoToCases(int row);
    void ShowOnlyCases(int row);

  private:
    void Fill();
    void FillStatistics();
    void SaveImage();
    // Takes the percentiles typed: counts again when they changed; a
    // wrong text is said and left to be mended.
    void AskPercentiles();

    std::shared_ptr<FileDictionary> dict_;
    int variable_;
    CaseFilter filter_;
    FrequencyTable result_;
    std::vector<AskedPercentile> asked_;
    bool weighted_ = true;
    QLabel* title_;
    QWidget* chartHolder_;
};

class DescribeWindow : public QWidget {
    Q_OBJECT
  public:
    explicit DescribeWindow(std::shared_ptr<FileDictionary> dict, CaseFilter filter = {});
    bool Count();

    QTableWidget* table;
    QLineEdit* find;
    // The selected rows (all when none) as tab-separated lines.
    QString SelectedText() const;
    void WriteCsv();
    void FindNext();

  private:
    void Fill();
    std::shared_ptr<FileDictionary> dict_;
    CaseFilter filter_;
    DescribeResult result_;
};

class CrosstabWindow : public QWidget {
    Q_OBJECT
  public:
    CrosstabWindow(std::shared_ptr<FileDictionary> dict, int rowVariable, CaseFilter filter = {});
    bool Count();

    QComboBox* rows;
    QComboBox* columns;
    QCheckBox* rowPercent;
    QCheckBox* columnPercent;
    QCheckBox* totalPercent;
    QCheckBox* includeMissing;
    QCheckBox* expected;
    QCheckBox* residuals;
    QCheckBox* unweighted;
    QComboBox* layer;       // （なし）, then every variable
    QComboBox* layerValue;  // which layer's table is shown
    QTableWidget* table;
    QTableWidget* tests;  // the tests and measures of the table shown
    QLabel* testsNote;    // cells with an expected count below 5
    // As the frequency window's, for the categories of a table cell (a
    // total stands for its row's or column's value only).
    void GoToCases(int line, int column);
    void ShowOnlyCases(int line, int column);

  private:
    void Fill();
    void FillTests();
    const Crosstab& ShownTable() const;
    std::shared_ptr<FileDictionary> dict_;
    CaseFilter filter_;
    CrosstabResult result_;
    int linesPerRow_ = 1;
    bool counted_ = false;
};

class MeansWindow : public QWidget {
    Q_OBJECT
  public:
    MeansWindow(std::shared_ptr<FileDictionary> dict, int variable, CaseFilter filter = {});
    bool Count();

    QComboBox* variable;
    QComboBox* group1;
    QComboBox* group2;  // （なし）, then every variable
    QCheckBox* unweighted;
    QTableWidget* table;
    QLabel* note;  // groups without a median

  private:
    void Fill();
    std::shared_ptr<FileDictionary> dict_;
    CaseFilter filter_;
    MeansResult result_;
};

}  // namespace lv
