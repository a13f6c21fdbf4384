// The filter bar: a row at the bottom of the grid window, shown only while
// the user narrows the cases by a condition (条件で絞り込む…, Ctrl+Shift+F).
// A text box for the condition (Enter applies it; the keyboard stays in
// it), 適用, 解除 (every case again), the count of cases shown ("N / M
// ケース") and beside it what is wrong with a condition that could not be
// applied, and a close button (Escape) that also clears it. The name being
// typed is completed from the variables and the functions.
#pragma once

#include <QStringList>
#include <QWidget>

class QCompleter;
class QLabel;
class QLineEdit;
class QToolButton;

namespace lv {

class NameCompleter;

class FilterBar : public QWidget {
    Q_OBJECT
  public:
    explicit FilterBar(QWidget* parent);

    QLineEdit* text;
    QToolButton* apply;
    QToolButton* clear;
    QLabel* status;  // the count of the cases shown
    QLabel* error;   // what is wrong with the condition last applied
    QToolButton* close;

    // Shows the bar with its text selected.
    void Open();
    // The count of cases shown, or nothing when every case is shown.
    void ShowCount(unsigned long long shown, unsigned long long total);
    void ShowNoFilter();
    // A bad condition: the message beside the count of the cases still
    // shown, and the cursor at the position (1-based character) it names.
    void ShowError(const QString& message, int position);
    // While the bar is shown: lays it across the window above the given
    // height at the bottom; returns the height it takes (0 when hidden).
    int PlaceAtBottom(int below);
    // The names offered while typing (variables, then functions).
    void SetWords(const QStringList& words);
    QCompleter* completer() const;

  signals:
    void applyRequested();
    void clearRequested();
    void opened();
    void closed();

  private:
    NameCompleter* names_;
};

}  // namespace lv
