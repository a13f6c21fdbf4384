// The value-label window: one variable's name, variable label, value labels
// and missing values. Filled once while it is created; shown modally by its
// openers (the variable list and the grid) through OpenValueLabelWindow.
#pragma once

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

namespace lv {

class TfrmValue : public QDialog {
    Q_OBJECT
  public:
    // Runs FormCreate for spssdio1::CurrentVarName / SelectedVarIndex.
    explicit TfrmValue(QWidget* parent = nullptr);

    QPushButton* btnOK;
    QLabel* varname;
    QLabel* Label1;
    QListWidget* ListBox1;

    void FormCreate();
    void FormResize();
    void btnOKClick();

  protected:
    void resizeEvent(QResizeEvent* event) override;
};

// The openers' part: with CurrentVarName and SelectedVarIndex already set,
// creates the window, stores it in frmValue, shows it modally (lv::ShowModal),
// and destroys it when the modal display ends (frmValue is then none again).
// Opened by the grid, its tooltip says how to keep the grid's moves from
// opening it.
void OpenValueLabelWindow(bool fromGrid = false);

// That tooltip.
extern const char* const kGridMovesTip;

}  // namespace lv
