// The choices of 形式を選んで書き出す… (the grid's context menus) once the
// save dialog has chosen the file and its type: the cells' values or value
// labels, the header row, user-missing values, a CSV or TSV file's
// byte-order mark and line ends, and which cases and variables. The choices
// confirmed last are offered again for the rest of the run.
#pragma once

#include <QDialog>

#include "core/export/table_options.h"

class QCheckBox;
class QRadioButton;

namespace lv {

// Which cases and variables are written: every case in the file's order
// and every variable in the dictionary's; the rows and columns of the
// selected cells as they stand; every row and column as the grid shows them
// (sorted, columns moved).
enum class TableExportScope { All, Selection, GridOrder };

struct TableExportChoices {
    bool labels = false;
    HeaderText header = HeaderText::LongNames;
    bool missingEmpty = false;
    bool bom = false;
    bool crlf = false;
    TableExportScope scope = TableExportScope::All;
};

// The choices confirmed last in this run (the defaults before).
TableExportChoices& RememberedTableExportChoices();

class TableExportDialog : public QDialog {
    Q_OBJECT
  public:
    // format: the file type the save dialog chose (the BOM and line-end
    // choices only mean something for CSV and TSV). selection: whether
    // there are selected cells to write.
    TableExportDialog(QWidget* parent, TableFormat format, const TableExportChoices& choices,
                      bool selection);

    QRadioButton* values;
    QRadioButton* labels;
    QRadioButton* headerNames;
    QRadioButton* headerLongNames;
    QRadioButton* headerLabels;
    QRadioButton* missingAsValues;
    QRadioButton* missingEmpty;
    QCheckBox* bom;
    QCheckBox* crlf;
    QRadioButton* scopeAll;
    QRadioButton* scopeSelection;
    QRadioButton* scopeGridOrder;

    // The choices as the dialog holds them.
    TableExportChoices Choices() const;
};

}  // namespace lv
