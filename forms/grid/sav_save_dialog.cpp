#include "forms/grid/sav_save_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <algorithm>
#include <initializer_list>

namespace lv {
namespace {

// One exclusive choice: its buttons side by side on a row of the form.
QHBoxLayout* AddChoice(QDialog* dialog, QFormLayout* form, const QString& caption,
                       std::initializer_list<QRadioButton*> buttons) {
    auto* group = new QButtonGroup(dialog);
    auto* row = new QHBoxLayout;
    for (QRadioButton* b : buttons) {
        group->addButton(b);
        row->addWidget(b);
    }
    row->addStretch();
    form->addRow(caption, row);
    return row;
}

}  // namespace

SavSaveChoices& RememberedSavSaveChoices() {
    static SavSaveChoices choices;
    return choices;
}

SavSaveDialog::SavSaveDialog(QWidget* parent, const SavSaveChoices& choices, int rows,
                             bool selection, bool edits, const QString& filter,
                             const QString& encoding, bool computed)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("名前を付けて保存 (SPSS データファイル)"));
    auto* form = new QFormLayout(this);

    casesShown = new QRadioButton(QStringLiteral("表示しているケース"), this);
    casesAll = new QRadioButton(QStringLiteral("すべてのケース"), this);
    casesRange = new QRadioButton(QStringLiteral("範囲:"), this);
    firstRow = new QSpinBox(this);
    lastRow = new QSpinBox(this);
    const int last = std::max(rows, 1);
    for (QSpinBox* box : {firstRow, lastRow}) {
        box->setRange(1, last);
        box->setEnabled(false);
    }
    firstRow->setValue(std::clamp(choices.firstRow, 1, last));
    lastRow->setValue(choices.cases == SavCases::Range ? std::clamp(choices.lastRow, 1, last)
                                                       : last);
    QHBoxLayout* cases =
        AddChoice(this, form, QStringLiteral("ケース:"), {casesShown, casesAll, casesRange});
    cases->insertWidget(3, firstRow);
    cases->insertWidget(4, new QLabel(QStringLiteral("～"), this));
    cases->insertWidget(5, lastRow);
    cases->insertWidget(6, new QLabel(QStringLiteral("行目"), this));
    connect(casesRange, &QRadioButton::toggled, this, [this](bool on) {
        firstRow->setEnabled(on);
        lastRow->setEnabled(on);
    });
    (choices.cases == SavCases::All     ? casesAll
     : choices.cases == SavCases::Range ? casesRange
                                        : casesShown)
        ->setChecked(true);
    // Under a filter the shown cases and every case differ: say so.
    filterNote =
        new QLabel(filter + QStringLiteral("\n「すべてのケース」は絞り込みで表示していないケース"
                                           "も保存します。範囲は表示している行で数えます。"),
                   this);
    filterNote->setWordWrap(true);
    filterNote->setVisible(!filter.isEmpty());
    form->addRow(QString(), filterNote);

    gridOrder = new QRadioButton(QStringLiteral("グリッドの並び順"), this);
    fileOrder = new QRadioButton(QStringLiteral("ファイルの順序"), this);
    AddChoice(this, form, QStringLiteral("ケースの順序:"), {gridOrder, fileOrder});
    (choices.gridOrder ? gridOrder : fileOrder)->setChecked(true);

    allColumns = new QRadioButton(QStringLiteral("すべての変数"), this);
    selectedColumns = new QRadioButton(QStringLiteral("選択した列の変数"), this);
    AddChoice(this, form, QStringLiteral("変数 (列の順):"), {allColumns, selectedColumns});
    selectedColumns->setEnabled(selection);
    (choices.selectedColumns && selection ? selectedColumns : allColumns)->setChecked(true);

    sav = new QRadioButton(QStringLiteral(".sav (バイトコード圧縮)"), this);
    zsav = new QRadioButton(QStringLiteral(".zsav (zlib 圧縮)"), this);
    AddChoice(this, form, QStringLiteral("形式:"), {sav, zsav});
    (choices.zsav ? zsav : sav)->setChecked(true);

    utf8 = new QRadioButton(QStringLiteral("UTF-8 に変換する"), this);
    keepEncoding =
        new QRadioButton(QStringLiteral("元の文字コード (%1) のまま").arg(encoding), this);
    AddChoice(this, form, QStringLiteral("文字コード:"), {utf8, keepEncoding});
    const bool isUtf8 = encoding.compare(QStringLiteral("UTF-8"), Qt::CaseInsensitive) == 0 ||
                        encoding.compare(QStringLiteral("UTF8"), Qt::CaseInsensitive) == 0;
    keepEncoding->setEnabled(!isUtf8);
    (choices.keepEncoding && !isUtf8 ? keepEncoding : utf8)->setChecked(true);

    writeEdits = new QCheckBox(QStringLiteral("グリッドで編集した値を保存する"), this);
    writeEdits->setChecked(choices.writeEdits);
    form->addRow(QStringLiteral("編集:"), writeEdits);
    writeEdits->setVisible(edits);
    form->labelForField(writeEdits)->setVisible(edits);

    writeComputed = new QCheckBox(QStringLiteral("計算した変数も保存する"), this);
    writeComputed->setChecked(computed && choices.writeComputed);
    form->addRow(QStringLiteral("計算した変数:"), writeComputed);
    writeComputed->setVisible(computed);
    form->labelForField(writeComputed)->setVisible(computed);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("保存"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("ｷｬﾝｾﾙ"));
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

SavSaveChoices SavSaveDialog::Choices() const {
    SavSaveChoices c;
    c.cases = casesAll->isChecked()     ? SavCases::All
              : casesRange->isChecked() ? SavCases::Range
                                        : SavCases::Shown;
    c.gridOrder = gridOrder->isChecked();
    c.selectedColumns = selectedColumns->isChecked();
    c.zsav = zsav->isChecked();
    c.keepEncoding = keepEncoding->isChecked();
    c.writeEdits = writeEdits->isChecked();
    c.writeComputed = writeComputed->isChecked();
    c.firstRow = std::min(firstRow->value(), lastRow->value());
    c.lastRow = std::max(firstRow->value(), lastRow->value());
    return c;
}

}  // namespace lv
