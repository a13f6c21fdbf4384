// The grid's go-to dialog (Ctrl+G): a case number, a variable (name, long
// name or label, completed as it is typed), or both.
#pragma once

#include <QDialog>
#include <optional>
#include <vector>

#include "core/dictionary/variable_facts.h"

class QLineEdit;

namespace lv {

class GoToDialog : public QDialog {
    Q_OBJECT
  public:
    GoToDialog(QWidget* parent, const std::vector<lv::VariableFacts>& variables, int caseCount);

    QLineEdit* caseNumber;
    QLineEdit* variable;

    // What was asked for, once accepted: an empty field asks nothing.
    std::optional<int> CaseNumber() const;
    // The dictionary index of the variable typed; -1 when the field is empty,
    // -2 when nothing matches it.
    int VariableIndex() const;

  private:
    const std::vector<lv::VariableFacts>& variables_;
};

}  // namespace lv
