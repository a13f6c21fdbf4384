// The variable-list window: one fixed-column line per variable. Its creation
// builds the list and fills the shared per-variable display data (core/windows/variable_list.h).
#pragma once

#include <QWidget>
#include <vector>

class QLabel;
class QListWidget;
class QMenu;
class QPushButton;

namespace lv {

class VarListAdditions;

class TfrmVariable : public QWidget {
    Q_OBJECT
  public:
    // Created hidden; runs FormCreate (the whole build).
    explicit TfrmVariable(QWidget* parent = nullptr);

    QListWidget* ListBox1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QPushButton* btnOK;
    // Copy and find (forms/variable_list_additions.h).
    VarListAdditions* additions = nullptr;

    void FormCreate();
    void ListBox1DblClick();
    void btnOKClick();
    void FormResize();

    // The list's context menu: the copy and find commands, then
    // 辞書を書き出す…
    QMenu* ContextMenu() const;
    // The user stopped the build at its progress dialog: the list and the
    // shared per-variable data are not whole, and the window is not kept.
    bool listCancelled() const { return listCancelled_; }
    // The variables (rows) selected, in order; Ctrl- and Shift-clicks
    // select several.
    std::vector<int> SelectedVariables() const;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    // Escape, when no part of the window takes it, closes the window.
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The window's own commands after the list's copy and find.
    void AddContextMenuItems(QMenu& menu);

    bool listCancelled_ = false;
};

// The variable list of the chosen file in frmVariable, built (with its
// progress dialog) when there is none; a build the user stopped is dropped.
// False when there is no list.
bool EnsureVariableList();

}  // namespace lv
