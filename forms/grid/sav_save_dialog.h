// The choices of 名前を付けて保存… (.sav / .zsav, the grid's context menus)
// once the save dialog has chosen the file: which cases (those shown, every
// case, or a range of rows), in the grid's order or the file's, which
// variables (every column or the selected ones, in the grid's column
// order), bytecode or zlib compression, UTF-8 or the source's encoding, and
// whether the grid's edits and its computed columns are written (each asked
// only when there are some; computed columns are left out unless ticked).
// The choices confirmed last are offered again for the rest of the run.
#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QRadioButton;
class QSpinBox;

namespace lv {

enum class SavCases { Shown, All, Range };

struct SavSaveChoices {
    SavCases cases = SavCases::Shown;
    bool gridOrder = true;  // else the file's order
    bool selectedColumns = false;
    bool zsav = false;
    bool keepEncoding = false;
    bool writeEdits = true;
    bool writeComputed = false;     // the grid's computed columns among the variables
    int firstRow = 1, lastRow = 1;  // SavCases::Range: rows shown, 1-based
};

// The choices confirmed last in this run (the defaults before).
SavSaveChoices& RememberedSavSaveChoices();

class SavSaveDialog : public QDialog {
    Q_OBJECT
  public:
    // rows: the rows the grid shows; selection: whether columns are
    // selected; edits: whether the grid holds edits (else the choice is
    // not shown); filter: the line that says which cases the grid's filter
    // shows (empty: every case); encoding: the source's encoding (the
    // choice to keep it is offered unless it is UTF-8); computed: whether
    // the grid has computed columns (else whether to write them is not asked).
    SavSaveDialog(QWidget* parent, const SavSaveChoices& choices, int rows, bool selection,
                  bool edits, const QString& filter, const QString& encoding,
                  bool computed = false);

    QRadioButton* casesShown;
    QRadioButton* casesAll;
    QRadioButton* casesRange;
    QSpinBox* firstRow;
    QSpinBox* lastRow;
    QRadioButton* gridOrder;
    QRadioButton* fileOrder;
    QRadioButton* allColumns;
    QRadioButton* selectedColumns;
    QRadioButton* sav;
    QRadioButton* zsav;
    QRadioButton* utf8;
    QRadioButton* keepEncoding;
    QCheckBox* writeEdits;
    QCheckBox* writeComputed;
    QLabel* filterNote;  // shown while a filter is set

    SavSaveChoices Choices() const;
};

}  // namespace lv
