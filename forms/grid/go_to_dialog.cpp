#include "forms/grid/go_to_dialog.h"

#include <QCompleter>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QIntValidator>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>

#include "core/dictionary/variable_search.h"
#include "core/text/display_encoding.h"
#include "core/text/grouped_digits.h"
#include "forms/seam/display_text.h"

namespace lv {

GoToDialog::GoToDialog(QWidget* parent, const std::vector<lv::VariableFacts>& variables,
                       int caseCount)
    : QDialog(parent), variables_(variables) {
    setWindowTitle(QStringLiteral("移動"));
    auto* form = new QFormLayout(this);
    caseNumber = new QLineEdit(this);
    caseNumber->setValidator(new QIntValidator(1, std::max(caseCount, 1), caseNumber));
    caseNumber->setPlaceholderText(
        QStringLiteral("1 - ") +
        QString::fromStdString(lv::GroupedDigits(int64_t{std::max(caseCount, 0)})));
    form->addRow(QStringLiteral("ケース番号:"), caseNumber);
    variable = new QLineEdit(this);
    variable->setPlaceholderText(QStringLiteral("変数名・ラベル"));
    QStringList choices;
    for (const lv::VariableFacts& v : variables) {
        const QString name = lv::FileText(v.name).trimmed();
        choices << name;
        // A long name that is the short one in other case is offered once:
        // completion ignores case, so the two would show as one twice.
        const QString longName = lv::FileText(v.longName).trimmed();
        if (!longName.isEmpty() && longName.compare(name, Qt::CaseInsensitive) != 0)
            choices << longName;
        if (!v.label.empty()) choices << lv::FileText(v.label);
    }
    choices.removeDuplicates();
    auto* completer = new QCompleter(choices, variable);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setFilterMode(Qt::MatchContains);
    variable->setCompleter(completer);
    form->addRow(QStringLiteral("変数:"), variable);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("ｷｬﾝｾﾙ"));
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

std::optional<int> GoToDialog::CaseNumber() const {
    bool ok = false;
    const int n = caseNumber->text().trimmed().toInt(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}

int GoToDialog::VariableIndex() const {
    const QString typed = variable->text().trimmed();
    if (typed.isEmpty()) return -1;
    const int index =
        lv::FindVariableNamedOrLabelled(variables_, typed.toStdString(), lv::DisplayEncoding());
    return index >= 0 ? index : -2;
}

}  // namespace lv
