#include "forms/windows/vardisp.h"

#include <QEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <algorithm>

#include "core/export/dictionary_export.h"
#include "core/state/spssdio1.h"
#include "core/windows/variable_list.h"
#include "forms/grid/find_bar.h"
#include "forms/seam/display_text.h"
#include "forms/seam/encoding_follow.h"
#include "forms/seam/error_handler.h"
#include "forms/seam/fonts.h"
#include "forms/seam/icons.h"
#include "forms/seam/progress_dialog.h"
#include "forms/stats/stats_windows.h"
#include "forms/windows/DPGrid.h"
#include "forms/windows/ValueLabel.h"
#include "forms/windows/file_drop.h"
#include "forms/windows/spssfile.h"
#include "forms/windows/variable_list_additions.h"
#include "forms/windows/window_refs.h"

namespace lv {

namespace {

constexpr int kListTop = 56;

QLabel* MakeLabel(QWidget* parent, const QString& text, int left, int top, const QFont& font) {
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    label->move(left, top);
    label->adjustSize();
    return label;
}

void BringToFront(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace

TfrmVariable::TfrmVariable(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("変数名"));
    const QFont windowFont = lv::ProportionalGothicFont(12);
    setFont(windowFont);
    setGeometry(250, 139, 490, 332);

    Label1 = MakeLabel(this, QStringLiteral("filename"), 48, 8, windowFont);
    const auto heading = [](int column) {
        const std::string_view word = lv::kVariableListHeadings[column];
        return QString::fromUtf8(word.data(), static_cast<qsizetype>(word.size()));
    };
    Label2 = MakeLabel(this, heading(0), 24, 40, windowFont);
    Label3 = MakeLabel(this, heading(1), 88, 40, windowFont);
    Label5 = MakeLabel(this, heading(2), 128, 40, lv::ProportionalGothicFont(11));
    Label6 = MakeLabel(this, heading(3), 168, 40, lv::FixedGothicFont(11));
    Label4 = MakeLabel(this, heading(4), 224, 40, windowFont);
    ListBox1 = new QListWidget(this);
    ListBox1->setFont(lv::FixedSysFont(15));
    // A plain click selects one line; Ctrl and Shift add lines, for the
    // codebook of the variables chosen.
    ListBox1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListBox1->setSortingEnabled(false);
    ListBox1->setUniformItemSizes(true);
    ListBox1->setGeometry(8, 56, 473, 249);
    ListBox1->viewport()->installEventFilter(this);
    ListBox1->installEventFilter(this);
    btnOK = new QPushButton(lv::CheckMarkIcon(), QStringLiteral("OK"), this);
    btnOK->setFont(lv::ProportionalGothicFont(15));
    btnOK->setIconSize(QSize(18, 18));
    btnOK->setGeometry(304, 24, 75, 25);

    connect(btnOK, &QPushButton::clicked, this,
            [this] { lv::RunHandler([this] { btnOKClick(); }); });
    additions = new VarListAdditions(this, ListBox1);
    connect(additions->findBar, &FindBar::opened, this, [this] { FormResize(); });
    connect(additions->findBar, &FindBar::closed, this, [this] { FormResize(); });
    AddContextMenuItems(*additions->menu);
    // Tab goes as the window is laid out: OK, the list, the find bar below
    // it. The list stays first, so that it has the focus when the window opens.
    QWidget::setTabOrder(additions->findBar->close, btnOK);
    lv::AcceptDataFileDrops(this);
    lv::FollowDisplayEncoding(this, [this] { lv::RedecodeListBox(ListBox1); });
    lv::RunHandler([this] { FormCreate(); });
}

void TfrmVariable::FormCreate() {
    lv::ListBoxSink sink(ListBox1);
    lv::DialogProgress progress(nullptr, QStringLiteral("変数を読み込んでいます... %1 / %2"));
    const bool built = lv::BuildVariableList(sink, &progress);
    if (progress.cancelled()) {
        listCancelled_ = true;
        return;
    }
    if (built) {
        Label1->setText(QString::fromStdString(spssdio1::DataFileName));
        Label1->adjustSize();
    }
}

void TfrmVariable::ListBox1DblClick() {
    // The line double-clicked (the current one), of those selected.
    QListWidgetItem* item = ListBox1->currentItem();
    if (!item || !item->isSelected()) {
        const QList<QListWidgetItem*> selected = ListBox1->selectedItems();
        if (selected.isEmpty()) return;
        item = selected.front();
    }
    spssdio1::SelectedVarIndex = ListBox1->row(item);
    const QByteArray bytes = item->data(lv::kLineBytesRole).toByteArray();
    spssdio1::CurrentVarName = lv::NameFromLine(std::string_view(bytes.constData(), bytes.size()));
    lv::OpenValueLabelWindow();
}

void TfrmVariable::btnOKClick() {
    if (spssdio1::ReturnTarget == "spssfile") {
        if (Form1) BringToFront(Form1);
    } else if (spssdio1::ReturnTarget == "DPGrid") {
        if (frmDPGrid) BringToFront(frmDPGrid);
    }
}

QMenu* TfrmVariable::ContextMenu() const {
    return additions->menu;
}

void TfrmVariable::AddContextMenuItems(QMenu& menu) {
    menu.addSeparator();
    QAction* exportAction = menu.addAction(QStringLiteral("辞書を書き出す…"));
    connect(&menu, &QMenu::aboutToShow, exportAction,
            [exportAction] { exportAction->setEnabled(!spssdio1::DataFileName.empty()); });
    connect(exportAction, &QAction::triggered, this, [this] {
        lv::RunHandler([this] {
            lv::DialogProgress progress(this, QStringLiteral("辞書を読み込んでいます... %1 / %2"));
            lv::ExportDictionary(&progress);
        });
    });
    // The statistics of the selected variable (the first when none is).
    menu.addSeparator();
    QAction* frequencies = menu.addAction(QStringLiteral("度数分布..."));
    QAction* describe = menu.addAction(QStringLiteral("変数の概要..."));
    QAction* crosstab = menu.addAction(QStringLiteral("クロス集計..."));
    QAction* means = menu.addAction(QStringLiteral("平均の比較..."));
    QAction* codebook = menu.addAction(QStringLiteral("コードブックを書き出す..."));
    connect(&menu, &QMenu::aboutToShow, this,
            [this, frequencies, describe, crosstab, means, codebook] {
                for (QAction* a : {frequencies, describe, crosstab, means, codebook})
                    a->setEnabled(!spssdio1::DataFileName.empty());
                const size_t chosen = SelectedVariables().size();
                codebook->setText(
                    chosen > 1
                        ? QStringLiteral("コードブックを書き出す (選択した %1 変数)...").arg(chosen)
                        : QStringLiteral("コードブックを書き出す..."));
            });
    const auto selected = [this] { return std::max(ListBox1->currentRow(), 0); };
    connect(frequencies, &QAction::triggered, this,
            [selected] { lv::RunHandler([&] { lv::OpenFrequencyWindow(selected()); }); });
    connect(describe, &QAction::triggered, this,
            [] { lv::RunHandler([] { lv::OpenDescribeWindow(); }); });
    connect(crosstab, &QAction::triggered, this,
            [selected] { lv::RunHandler([&] { lv::OpenCrosstabWindow(selected()); }); });
    connect(means, &QAction::triggered, this,
            [selected] { lv::RunHandler([&] { lv::OpenMeansWindow(selected()); }); });
    // The lines selected when more than one is, else every variable.
    connect(codebook, &QAction::triggered, this, [this] {
        lv::RunHandler([this] {
            std::vector<int> chosen = SelectedVariables();
            if (chosen.size() < 2) chosen.clear();
            lv::WriteCodebookFile(std::move(chosen));
        });
    });
}

std::vector<int> TfrmVariable::SelectedVariables() const {
    std::vector<int> rows;
    for (const QModelIndex& index : ListBox1->selectionModel()->selectedIndexes())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TfrmVariable::FormResize() {
    // The find bar, while it is open, takes the bottom of the window.
    const int bottom = additions ? additions->findBar->PlaceAtBottom() : 0;
    ListBox1->setGeometry(0, kListTop, width(), std::max(0, height() - kListTop - bottom));
}

void TfrmVariable::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    lv::RunHandler([this] { FormResize(); });
}

bool TfrmVariable::eventFilter(QObject* watched, QEvent* event) {
    // The list's double click, wherever it lands: the selected line decides.
    if (watched == ListBox1->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        lv::RunHandler([this] { ListBox1DblClick(); });
        return true;
    }
    // Enter on a line opens its value labels, as a double click does.
    if (watched == ListBox1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            lv::RunHandler([this] { ListBox1DblClick(); });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmVariable::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool EnsureVariableList() {
    if (frmVariable) return true;
    frmVariable = new TfrmVariable();
    if (frmVariable->listCancelled()) {
        delete frmVariable;
        frmVariable = nullptr;
    }
    return frmVariable != nullptr;
}

}  // namespace lv
