#include "forms/windows/DPGrid.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>

#include "core/dictionary/variable_facts.h"
#include "core/export/grid_cells.h"
#include "core/export/text_export.h"
#include "core/rendering/specifier_format.h"
#include "core/state/dialogs.h"
#include "core/state/errors.h"
#include "core/state/spssdio1.h"
#include "core/text/grouped_digits.h"
#include "core/text/trim.h"
#include "forms/grid/filter_bar.h"
#include "forms/grid/find_bar.h"
#include "forms/grid/grid_additions.h"
#include "forms/grid/grid_model.h"
#include "forms/grid/grid_view.h"
#include "forms/grid/row_numbers.h"
#include "forms/seam/encoding_follow.h"
#include "forms/seam/error_handler.h"
#include "forms/seam/fonts.h"
#include "forms/seam/icons.h"
#include "forms/seam/progress_dialog.h"
#include "forms/windows/ValueLabel.h"
#include "forms/windows/file_drop.h"
#include "forms/windows/spssfile.h"
#include "forms/windows/vardisp.h"
#include "forms/windows/window_refs.h"

namespace lv {

namespace {

constexpr int kGridTop = 60;
constexpr int kIndexStateWidth = 360;

QPushButton* MakeButton(QWidget* parent, const QString& text, int left, int width) {
    auto* button = new QPushButton(text, parent);
    button->setFont(lv::ProportionalGothicFont(15));
    button->setGeometry(left, 8, width, 25);
    return button;
}

}  // namespace

TfrmDPGrid::TfrmDPGrid(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("SPSS DATA"));
    setFont(lv::ProportionalGothicFont(12));
    move(195, 175);
    resize(734, 445);

    btnOK = MakeButton(this, QStringLiteral("OK"), 8, 75);
    btnOK->setIcon(lv::CheckMarkIcon());
    btnOK->setIconSize(QSize(18, 18));
    btnOK->setDefault(true);
    Button1 = MakeButton(this, QStringLiteral("全変数名表示"), 104, 97);
    btmWrite = MakeButton(this, QStringLiteral("書き込み"), 216, 75);
    Label1 = new QLabel(QStringLiteral("ラベルの表示は白いグリッドをクリック"), this);
    Label1->setGeometry(304, 16, 189, 12);
    editCount = new QLabel(this);
    editCount->setGeometry(500, 14, 108, 15);
    editCount->hide();
    undoAllEdits = MakeButton(this, QStringLiteral("すべて元に戻す"), 612, 110);
    undoAllEdits->hide();
    Label2 = new QLabel(QStringLiteral("file name"), this);
    Label2->setFont(lv::ProportionalGothicFont(15));
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Label2->setGeometry(16, 40, 58, 15);
    // How far the index of the cases is, while it is built.
    indexState = new QLabel(this);
    indexState->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    indexState->hide();

    model = new GridModel(this);
    lv::FollowDisplayEncoding(model);
    StringGrid1 = new GridView(this);
    StringGrid1->setFont(lv::GridFont(12));
    StringGrid1->setModel(model);
    StringGrid1->setGeometry(0, 80, 689, 337);
    StringGrid1->horizontalHeader()->setSectionsClickable(false);
    StringGrid1->horizontalHeader()->setFirstSectionMovable(true);

    additions = new GridAdditions(this, StringGrid1, model);
    connect(additions->findBar, &FindBar::opened, this, [this] { FormResize(); });
    connect(additions->findBar, &FindBar::closed, this, [this] { FormResize(); });
    connect(additions->filterBar, &FilterBar::opened, this, [this] { FormResize(); });
    connect(additions->filterBar, &FilterBar::closed, this, [this] { FormResize(); });

    setTabOrder(StringGrid1, btnOK);
    setTabOrder(btnOK, Button1);
    setTabOrder(Button1, btmWrite);
    setTabOrder(btmWrite, undoAllEdits);
    connect(model, &GridModel::editsChanged, this, [this] { ShowEditCount(); });
    connect(model, &GridModel::indexProgressed, this,
            [this](qint64 indexed, qint64 expected, bool running) {
                ShowIndexState(indexed, expected, running);
            });
    connect(undoAllEdits, &QPushButton::clicked, this,
            [this] { lv::RunHandler([this] { additions->UndoAllEdits(); }); });

    connect(btnOK, &QPushButton::clicked, this,
            [this] { lv::RunHandler([this] { btnOKClick(); }); });
    connect(Button1, &QPushButton::clicked, this,
            [this] { lv::RunHandler([this] { Button1Click(); }); });
    connect(btmWrite, &QPushButton::clicked, this,
            [this] { lv::RunHandler([this] { btmWriteClick(); }); });
    // A row dragged by its case number moves in the model's order, where
    // the export, copy and search find it; the numbers keep no order of
    // their own.
    connect(StringGrid1->rowNumbers(), &lv::RowNumbers::rowMoved, model,
            [this](int from, int to) { model->MoveRow(from, to); });
    connect(StringGrid1, &GridView::cellNotified, this,
            [this] { lv::RunHandler([this] { StringGrid1Click(); }); });
    // Cells read back from the file are not drawn from a file that changed.
    connect(StringGrid1, &GridView::aboutToPaint, model, &GridModel::CheckFile,
            Qt::DirectConnection);

    lv::AcceptDataFileDrops(this);
    lv::RunHandler([this] { FormCreate(); });
}

void TfrmDPGrid::FormCreate() {
    using namespace spssdio1;
    if (DataFileName.empty()) return;
    // The load's messages and a rendering error leave the grid as far as
    // it got; the handlers below are set up whatever happened.
    struct Finish {
        TfrmDPGrid* w;
        ~Finish() {
            // Sized with the header quiet and not drawing: each resize would
            // otherwise ask for the column's position (to redraw it, and in
            // the view's answer to the signal), which the header recomputes
            // over all columns after every change: 100,000 columns took
            // seconds. The view lays itself out when it is shown.
            QHeaderView* header = w->StringGrid1->horizontalHeader();
            {
                const QSignalBlocker quiet(header);
                header->setUpdatesEnabled(false);
                for (int c = 0; c < w->model->columnCount(); ++c)
                    header->resizeSection(c, w->model->pixelWidth(c));
                header->setUpdatesEnabled(true);
            }
            if (w->model->rowCount() > 0 && w->model->columnCount() > 0)
                w->StringGrid1->SetCurrentQuietly(w->model->index(0, 0));
            w->StringGrid1->horizontalHeader()->setVisible(!w->model->namesInDataRow());
            if (w->model->editing()) w->StringGrid1->SetEditing(true);
        }
    } finish{this};
    // What labels, colours and tooltips need, read with a handle of its own
    // once the load is over (a rendering error included). Stopped, it
    // leaves no grid, as a stopped load does.
    const auto readFacts = [this] {
        lv::DialogProgress reading(nullptr,
                                   QStringLiteral("変数の情報を読み込んでいます... %1 / %2"));
        std::shared_ptr<const lv::FileDictionary> dictionary;
        std::vector<lv::VariableFacts> facts =
            lv::ReadVariableFacts(DataFileName, VarCount, &reading, &dictionary);
        if (reading.cancelled())
            outcome_ = lv::GridLoadOutcome::Cancelled;
        else
            model->SetFacts(std::move(facts), std::move(dictionary));
    };
    try {
        lv::DialogProgress progress(nullptr, QStringLiteral("ケースを読み込んでいます... %1 / %2"));
        // The first screen now, the rest of the index on its own thread.
        model->IndexInBackground(true);
        outcome_ = lv::LoadGrid(*model, &progress);
    } catch (const lv::ConversionError&) {
        readFacts();
        throw;
    }
    // The cases the first screen needed ended the data early: a failed read.
    if (outcome_ == lv::GridLoadOutcome::Complete && model->damagedFirst())
        outcome_ = lv::GridLoadOutcome::ReadFailed;
    if (outcome_ == lv::GridLoadOutcome::Cancelled || outcome_ == lv::GridLoadOutcome::OpenFailed)
        return;
    readFacts();
    if (outcome_ == lv::GridLoadOutcome::Complete) {
        Label2->setText(QString::fromStdString(DataFileName));
        Label2->resize(std::max(58, Label2->sizeHint().width()), Label2->height());
    }
}

void TfrmDPGrid::FormResize() {
    // The find bar, while it is open, takes the bottom of the window, and
    // the filter bar the row above it.
    int bottom = additions ? additions->findBar->PlaceAtBottom() : 0;
    if (additions) bottom += additions->filterBar->PlaceAtBottom(bottom);
    StringGrid1->setGeometry(0, kGridTop, width(), std::max(0, height() - kGridTop - bottom));
    indexState->setGeometry(std::max(0, width() - kIndexStateWidth - 8), 40, kIndexStateWidth, 15);
}

void TfrmDPGrid::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    lv::RunHandler([this] { FormResize(); });
}

void TfrmDPGrid::btnOKClick() {
    if (!Form1) return;
    Form1->show();
    Form1->raise();
    Form1->activateWindow();
}

void TfrmDPGrid::Button1Click() {
    if (spssdio1::DataFileName.empty()) return;
    if (!lv::EnsureVariableList()) return;
    spssdio1::ReturnTarget = "DPGrid";
    frmVariable->setWindowState(frmVariable->windowState() &
                                ~(Qt::WindowMinimized | Qt::WindowMaximized));
    frmVariable->show();
    frmVariable->raise();
    frmVariable->activateWindow();
}

void TfrmDPGrid::StringGrid1Click() {
    using namespace spssdio1;
    const QModelIndex current = StringGrid1->currentIndex();
    if (!current.isValid()) return;
    // The logical column: the header above the cell names its variable,
    // wherever the user has dragged that column.
    const std::string name(lv::Trim(model->HeaderBytes(current.column())));
    CurrentVarName = name;
    EnsureVarCapacity(VarCount);
    for (int i = 0; i < VarCount; ++i) {
        if (lv::Trim(SlotText(VarNames[i])) == name) {
            SelectedVarIndex = i;
            break;
        }
    }
    lv::OpenValueLabelWindow(true);
}

void TfrmDPGrid::btmWriteClick() {
    Write();
}

bool TfrmDPGrid::Write() {
    if (spssdio1::DataFileName.empty()) return false;
    if (auto chosen = lv::CurrentDialogs().SaveFile(saveFileName)) saveFileName = *chosen;
    if (saveFileName.empty()) return false;
    const lv::ConfirmAnswer answer = lv::CurrentDialogs().Confirm(
        "確認", "保存をどうしますか？ 見たまま（はい）／ ＳＰＳＳ内部形式（いいえ）");
    if (answer == lv::ConfirmAnswer::Cancel) return false;
    const lv::ExportMode mode = answer == lv::ConfirmAnswer::Yes ? lv::ExportMode::AsDisplayed
                                                                 : lv::ExportMode::InternalForm;
    // The internal form is the file's own: only what is shown has edits.
    bool withoutEdits = false;
    if (mode == lv::ExportMode::AsDisplayed && model->grid().hasEdits()) {
        const lv::ConfirmAnswer edits = lv::CurrentDialogs().Confirm(
            "確認", (EditsSaid() + QStringLiteral("編集を含めて書き込みますか？ "
                                                  "含める（はい）／ 含めない（いいえ）"))
                        .toStdString());
        if (edits == lv::ConfirmAnswer::Cancel) return false;
        withoutEdits = edits == lv::ConfirmAnswer::No;
    }
    // Set aside for the write, the grid not drawn meanwhile.
    struct EditsAside {
        TfrmDPGrid* w;
        bool on;
        EditsAside(TfrmDPGrid* window, bool aside) : w(window), on(aside) {
            if (!on) return;
            w->StringGrid1->setUpdatesEnabled(false);
            w->model->SetEditsAside(true);
        }
        ~EditsAside() {
            if (!on) return;
            w->model->SetEditsAside(false);
            w->StringGrid1->setUpdatesEnabled(true);
        }
        EditsAside(const EditsAside&) = delete;
        EditsAside& operator=(const EditsAside&) = delete;
    } aside(this, withoutEdits);
    // As displayed, every case's cells are written: from the whole index,
    // waited for under the writing's own dialog.
    const lv::OneProgressDialog oneDialog;
    if (mode == lv::ExportMode::AsDisplayed && !additions->WaitForIndex()) return false;
    lv::GridCellSource cells(model->grid(), StringGrid1->VisualColumns());
    lv::DialogProgress progress(this, QStringLiteral("書き込んでいます... %1 / %2"));
    if (lv::RunExport(saveFileName, mode, &cells, &progress)) {
        lv::CurrentDialogs().Beep();
        return true;
    }
    if (!progress.cancelled() && mode == lv::ExportMode::AsDisplayed && model->grid().lost())
        model->LostTold();
    return false;
}

QString TfrmDPGrid::EditsSaid() const {
    return QStringLiteral("編集したセルが %1 個あります。").arg(model->grid().editCount());
}

void TfrmDPGrid::ShowEditCount() {
    const size_t count = model->grid().editCount();
    editCount->setText(QStringLiteral("編集したセル: %1").arg(count));
    editCount->setVisible(count > 0);
    undoAllEdits->setVisible(count > 0);
}

void TfrmDPGrid::ShowIndexState(int64_t indexed, int64_t expected, bool running) {
    indexState->setVisible(running);
    if (!running) return;
    const int64_t percent = expected > 0 ? indexed * 100 / expected : 100;
    indexState->setText(QStringLiteral("索引を作成中: %1 / %2 ケース (%3%)")
                            .arg(QString::fromStdString(lv::GroupedDigits(indexed)),
                                 QString::fromStdString(lv::GroupedDigits(expected)))
                            .arg(percent));
}

void TfrmDPGrid::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    model->ResumeIndexing();
}

void TfrmDPGrid::closeEvent(QCloseEvent* event) {
    if (isVisible() && model->grid().hasEdits()) {
        const lv::ConfirmAnswer answer = lv::CurrentDialogs().Confirm(
            "確認",
            (EditsSaid() + QStringLiteral("閉じる前に書き込みますか？ "
                                          "書き込む（はい）／ 書き込まずに閉じる（いいえ）"))
                .toStdString());
        bool close = answer == lv::ConfirmAnswer::No;
        if (answer == lv::ConfirmAnswer::Yes) lv::RunHandler([&] { close = Write(); });
        if (!close) {
            event->ignore();
            return;
        }
    }
    // The index stops with the window; shown again, it goes on.
    model->StopIndexing();
    QWidget::closeEvent(event);
}

void TfrmDPGrid::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace lv
