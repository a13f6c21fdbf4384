#include "forms/grid/table_export_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <initializer_list>

namespace lv {
namespace {

QString FormatName(TableFormat format) {
    switch (format) {
        case TableFormat::Csv:
            return QStringLiteral("CSV");
        case TableFormat::Tsv:
            return QStringLiteral("TSV");
        case TableFormat::Xlsx:
            return QStringLiteral("Excel");
    }
    return {};
}

// One exclusive choice: its buttons side by side on a row of the form.
void AddChoice(QDialog* dialog, QFormLayout* form, const QString& caption,
               std::initializer_list<QRadioButton*> buttons) {
    auto* group = new QButtonGroup(dialog);
    auto* row = new QHBoxLayout;
    for (QRadioButton* b : buttons) {
        group->addButton(b);
        row->addWidget(b);
    }
    row->addStretch();
    form->addRow(caption, row);
}

}  // namespace

TableExportChoices& RememberedTableExportChoices() {
    static TableExportChoices choices;
    return choices;
}

TableExportDialog::TableExportDialog(QWidget* parent, TableFormat format,
                                     const TableExportChoices& choices, bool selection,
                                     const QString& filter)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("形式を選んで書き出す (%1)").arg(FormatName(format)));
    auto* form = new QFormLayout(this);

    values = new QRadioButton(QStringLiteral("値"), this);
    labels = new QRadioButton(QStringLiteral("値ラベル"), this);
    AddChoice(this, form, QStringLiteral("セルの内容:"), {values, labels});
    (choices.labels ? labels : values)->setChecked(true);

    headerNames = new QRadioButton(QStringLiteral("変数名"), this);
    headerLongNames = new QRadioButton(QStringLiteral("長い変数名"), this);
    headerLabels = new QRadioButton(QStringLiteral("変数ラベル"), this);
    AddChoice(this, form, QStringLiteral("見出し行:"),
              {headerNames, headerLongNames, headerLabels});
    switch (choices.header) {
        case HeaderText::Names:
            headerNames->setChecked(true);
            break;
        case HeaderText::LongNames:
            headerLongNames->setChecked(true);
            break;
        case HeaderText::Labels:
            headerLabels->setChecked(true);
            break;
    }

    missingAsValues = new QRadioButton(QStringLiteral("値のまま"), this);
    missingEmpty = new QRadioButton(QStringLiteral("空欄"), this);
    AddChoice(this, form, QStringLiteral("ユーザ欠損値:"), {missingAsValues, missingEmpty});
    (choices.missingEmpty ? missingEmpty : missingAsValues)->setChecked(true);

    bom = new QCheckBox(QStringLiteral("BOM を付ける"), this);
    crlf = new QCheckBox(QStringLiteral("改行を CR LF にする"), this);
    bom->setChecked(choices.bom);
    crlf->setChecked(choices.crlf);
    auto* text = new QHBoxLayout;
    text->addWidget(bom);
    text->addWidget(crlf);
    text->addStretch();
    form->addRow(QStringLiteral("テキスト:"), text);
    const bool delimited = format != TableFormat::Xlsx;
    bom->setEnabled(delimited);
    crlf->setEnabled(delimited);

    scopeAll =
        new QRadioButton(QStringLiteral("すべてのケース (ファイルの順序、すべての変数)"), this);
    scopeGridOrder =
        new QRadioButton(QStringLiteral("表示しているケース (グリッドの並び順と列の順)"), this);
    scopeSelection = new QRadioButton(QStringLiteral("選択したセル"), this);
    auto* scopes = new QButtonGroup(this);
    auto* scopeColumn = new QVBoxLayout;
    for (QRadioButton* b : {scopeAll, scopeGridOrder, scopeSelection}) {
        scopes->addButton(b);
        scopeColumn->addWidget(b);
    }
    // Under a filter the first two choices write different cases: say so.
    filterNote = new QLabel(
        filter +
            QStringLiteral("\n「すべてのケース」は絞り込みで表示していないケースも書き出します。"),
        this);
    filterNote->setWordWrap(true);
    filterNote->setVisible(!filter.isEmpty());
    scopeColumn->addWidget(filterNote);
    form->addRow(QStringLiteral("書き出す範囲:"), scopeColumn);
    scopeSelection->setEnabled(selection);
    TableExportScope scope = choices.scope;
    if (scope == TableExportScope::Selection && !selection) scope = TableExportScope::All;
    (scope == TableExportScope::All         ? scopeAll
     : scope == TableExportScope::Selection ? scopeSelection
                                            : scopeGridOrder)
        ->setChecked(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("書き出す"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("ｷｬﾝｾﾙ"));
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

TableExportChoices TableExportDialog::Choices() const {
    TableExportChoices c;
    c.labels = labels->isChecked();
    c.header = headerLongNames->isChecked() ? HeaderText::LongNames
               : headerLabels->isChecked()  ? HeaderText::Labels
                                            : HeaderText::Names;
    c.missingEmpty = missingEmpty->isChecked();
    c.bom = bom->isChecked();
    c.crlf = crlf->isChecked();
    c.scope = scopeSelection->isChecked()   ? TableExportScope::Selection
              : scopeGridOrder->isChecked() ? TableExportScope::GridOrder
                                            : TableExportScope::All;
    return c;
}

}  // namespace lv
