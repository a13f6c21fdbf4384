// 変数を計算… of the grid window: a new column computed from the others by
// an expression of the condition language (names completed as they are
// typed), numeric or a string of a width, with an optional variable label
// and print format. OK hands the column to the grid; one that cannot be
// made keeps the dialog open with the message, the cursor at the position
// it names, and the grid as it was.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>

#include "core/compute/computed_variables.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace lv {

class NameCompleter;

class ComputeDialog : public QDialog {
    Q_OBJECT
  public:
    // What stops a column from being made: the message, the field and the
    // position (1-based character of the expression; 0: none).
    struct Problem {
        QString message;
        bool inName = false;
        int position = 0;
    };
    // Makes the column, or says why not (nothing is changed then).
    using Apply = std::function<std::optional<Problem>(const ComputeSpec&)>;

    ComputeDialog(QWidget* parent, const QStringList& words, Apply apply);

    QLineEdit* name;
    QLineEdit* expression;
    QComboBox* kind;    // 数値, 文字列
    QSpinBox* width;    // a string's bytes
    QLineEdit* format;  // a number's print format (empty: F8.2)
    QLineEdit* label;
    QLabel* error;
    NameCompleter* names;

    // The column the fields ask for; nothing (with the problem shown) when
    // the format cannot be read.
    std::optional<ComputeSpec> Spec();
    // Shows what is wrong and puts the cursor where it is.
    void ShowProblem(const Problem& problem);

  private:
    void Try();

    Apply apply_;
};

}  // namespace lv
