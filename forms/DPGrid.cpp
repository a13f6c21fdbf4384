#include "forms/DPGrid.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <vector>

#include "core/dialogs.h"
#include "core/export.h"
#include "core/format.h"
#include "core/spssdio1.h"
#include "forms/ValueLabel.h"
#include "forms/encodingfollow.h"
#include "forms/errorhandler.h"
#include "forms/filedrop.h"
#include "forms/fonts.h"
#include "forms/gridmodel.h"
#include "forms/gridview.h"
#include "forms/icons.h"
#include "forms/spssfile.h"
#include "forms/vardisp.h"
#include "forms/windowrefs.h"

namespace {

constexpr int kGridTop = 60;

// The as-displayed export's cells: grid positions as they stand on screen,
// through the view's (possibly moved) headers to the model's cells.
class ViewCellSource final : public lv::CellTextSource {
  public:
    ViewCellSource(const GridView* view, const GridModel* model)
        : rows_(view->verticalHeader()), columns_(view->horizontalHeader()), model_(model) {}
    void AppendCell(std::string& out, int row, int column) override {
        const int logicalRow = rows_->logicalIndex(row - 1);
        const int logicalColumn = columns_->logicalIndex(column - 1);
        if (logicalRow < 0 || logicalColumn < 0) return;
        model_->AppendCellBytes(out, logicalRow, logicalColumn);
    }
    // The columns' logical order is looked up once per export: the headers
    // cannot move while it runs.
    void AppendRow(std::string& out, int row, int varCount) override {
        model_->AppendRowBytes(out, rows_->logicalIndex(row - 1), LogicalColumns(varCount));
    }
    void AppendRows(std::span<std::string> lines, int firstRow, int varCount) override {
        logicalRows_.resize(lines.size());
        for (size_t i = 0; i < lines.size(); ++i)
            logicalRows_[i] = rows_->logicalIndex(firstRow - 1 + static_cast<int>(i));
        model_->AppendRowsBytes(lines, logicalRows_, LogicalColumns(varCount));
    }

  private:
    const std::vector<int>& LogicalColumns(int varCount) {
        if (static_cast<int>(logicalColumns_.size()) != varCount) {
            logicalColumns_.resize(varCount);
            for (int c = 0; c < varCount; ++c) logicalColumns_[c] = columns_->logicalIndex(c);
        }
        return logicalColumns_;
    }

    std::vector<int> logicalColumns_;
    std::vector<int> logicalRows_;
    const QHeaderView* rows_;
    const QHeaderView* columns_;
    const GridModel* model_;
};

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
    Label2 = new QLabel(QStringLiteral("file name"), this);
    Label2->setFont(lv::ProportionalGothicFont(15));
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Label2->setGeometry(16, 40, 58, 15);

    model = new GridModel(this);
    lv::FollowDisplayEncoding(model);
    StringGrid1 = new GridView(this);
    StringGrid1->setFont(lv::FixedSysFont(12));
    StringGrid1->setModel(model);
    StringGrid1->setGeometry(0, 80, 689, 337);
    StringGrid1->horizontalHeader()->setSectionsClickable(false);
    StringGrid1->verticalHeader()->setSectionsClickable(false);
    StringGrid1->horizontalHeader()->setFirstSectionMovable(true);
    StringGrid1->verticalHeader()->setFirstSectionMovable(true);

    setTabOrder(StringGrid1, btnOK);
    setTabOrder(btnOK, Button1);
    setTabOrder(Button1, btmWrite);

    connect(btnOK, &QPushButton::clicked, this,
            [this] { lv::RunHandler([this] { btnOKClick(); }); });
    connect(Button1, &QPushButton::clicked, this,
            [this] { lv::RunHandler([this] { Button1Click(); }); });
    connect(btmWrite, &QPushButton::clicked, this,
            [this] { lv::RunHandler([this] { btmWriteClick(); }); });
    connect(StringGrid1, &GridView::cellNotified, this,
            [this] { lv::RunHandler([this] { StringGrid1Click(); }); });

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
    outcome_ = lv::LoadGrid(*model);
    if (outcome_ == lv::GridLoadOutcome::Complete) {
        Label2->setText(QString::fromStdString(DataFileName));
        Label2->resize(std::max(58, Label2->sizeHint().width()), Label2->height());
    }
}

void TfrmDPGrid::FormResize() {
    StringGrid1->setGeometry(0, kGridTop, width(), std::max(0, height() - kGridTop));
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
    if (!frmVariable) frmVariable = new TfrmVariable();
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
    lv::OpenValueLabelWindow();
}

void TfrmDPGrid::btmWriteClick() {
    if (spssdio1::DataFileName.empty()) return;
    if (auto chosen = lv::CurrentDialogs().SaveFile(saveFileName)) saveFileName = *chosen;
    if (saveFileName.empty()) return;
    const lv::ConfirmAnswer answer = lv::CurrentDialogs().Confirm(
        "確認", "保存をどうしますか？ 見たまま（はい）／ ＳＰＳＳ内部形式（いいえ）");
    if (answer == lv::ConfirmAnswer::Cancel) return;
    ViewCellSource cells(StringGrid1, model);
    const lv::ExportMode mode = answer == lv::ConfirmAnswer::Yes ? lv::ExportMode::AsDisplayed
                                                                 : lv::ExportMode::InternalForm;
    if (lv::RunExport(saveFileName, mode, &cells)) lv::CurrentDialogs().Beep();
}
