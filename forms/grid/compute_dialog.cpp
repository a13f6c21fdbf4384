#include "forms/grid/compute_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "core/rendering/format_traits.h"
#include "forms/grid/name_completer.h"

namespace lv {
namespace {

constexpr int kDefaultStringWidth = 8;
constexpr int kLongestString = 32767;

}  // namespace

ComputeDialog::ComputeDialog(QWidget* parent, const QStringList& words, Apply apply)
    : QDialog(parent), apply_(std::move(apply)) {
    setWindowTitle(QStringLiteral("変数を計算"));
    auto* form = new QFormLayout(this);
    name = new QLineEdit(this);
    name->setPlaceholderText(QStringLiteral("例: total"));
    form->addRow(QStringLiteral("変数名:"), name);
    expression = new QLineEdit(this);
    expression->setMinimumWidth(360);
    expression->setPlaceholderText(QStringLiteral("例: SUM(q1 TO q5)、CONCAT(pref, city)"));
    expression->setToolTip(
        QStringLiteral("条件で絞り込むと同じ式: + - * / **、関数、LAG(v)、$CASENUM など\n"
                       "変数名と関数名は入力中に候補が出ます"));
    names = new NameCompleter(expression);
    names->SetWords(words);
    form->addRow(QStringLiteral("式:"), expression);
    kind = new QComboBox(this);
    kind->addItem(QStringLiteral("数値"));
    kind->addItem(QStringLiteral("文字列"));
    form->addRow(QStringLiteral("型:"), kind);
    width = new QSpinBox(this);
    width->setRange(1, kLongestString);
    width->setValue(kDefaultStringWidth);
    width->setSuffix(QStringLiteral(" バイト"));
    width->setEnabled(false);
    form->addRow(QStringLiteral("文字列の幅 (STRING):"), width);
    format = new QLineEdit(this);
    format->setPlaceholderText(QStringLiteral("F8.2"));
    format->setToolTip(QStringLiteral("数値の表示形式: F8.2、COMMA10、DOLLAR12.2、DATE11 など"));
    form->addRow(QStringLiteral("表示形式:"), format);
    label = new QLineEdit(this);
    form->addRow(QStringLiteral("変数ラベル:"), label);
    error = new QLabel(this);
    error->setStyleSheet(QStringLiteral("color: #c00000"));
    error->setWordWrap(true);
    form->addRow(error);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("ｷｬﾝｾﾙ"));
    form->addRow(buttons);
    connect(kind, qOverload<int>(&QComboBox::currentIndexChanged), this, [this](int index) {
        width->setEnabled(index == 1);
        format->setEnabled(index == 0);
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &ComputeDialog::Try);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

std::optional<ComputeSpec> ComputeDialog::Spec() {
    ComputeSpec spec;
    spec.name = name->text().trimmed().toStdString();
    spec.expression = expression->text().trimmed().toStdString();
    spec.label = label->text().trimmed().toStdString();
    if (kind->currentIndex() == 1) {
        spec.format = PrintFormat{fmt::A, width->value(), 0};
    } else if (const QString typed = format->text().trimmed(); !typed.isEmpty()) {
        spec.format = ParseFormatText(typed.toStdString());
        if (!spec.format || CategoryOf(spec.format->type) == FormatCategory::String) {
            ShowProblem({QStringLiteral("表示形式「%1」は数値の書式ではありません"
                                        "（例: F8.2、COMMA10、DATE11）")
                             .arg(typed),
                         false, 0});
            format->setFocus();
            return std::nullopt;
        }
    }
    return spec;
}

void ComputeDialog::ShowProblem(const Problem& problem) {
    error->setText(problem.message);
    QLineEdit* field = problem.inName ? name : expression;
    field->setFocus();
    if (!problem.inName && problem.position > 0) field->setCursorPosition(problem.position - 1);
}

void ComputeDialog::Try() {
    if (name->text().trimmed().isEmpty() || expression->text().trimmed().isEmpty()) {
        ShowProblem(
            {QStringLiteral("変数名と式を入力してください"), name->text().trimmed().isEmpty(), 0});
        return;
    }
    const std::optional<ComputeSpec> spec = Spec();
    if (!spec) return;
    if (const std::optional<Problem> problem = apply_(*spec)) {
        ShowProblem(*problem);
        return;
    }
    accept();
}

}  // namespace lv
