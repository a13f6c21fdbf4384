#include "forms/windows/spssfile.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <memory>
#include <utility>

#include "core/state/data_file_password.h"
#include "core/state/dialogs.h"
#include "core/state/japanese_messages.h"
#include "core/state/spssdio1.h"
#include "core/text/display_encoding.h"
#include "core/windows/summary.h"
#include "forms/grid/grid_model.h"
#include "forms/seam/display_text.h"
#include "forms/seam/encoding_follow.h"
#include "forms/seam/error_handler.h"
#include "forms/seam/fonts.h"
#include "forms/seam/icons.h"
#include "forms/stats/stats_windows.h"
#include "forms/windows/DPGrid.h"
#include "forms/windows/encoding_menu.h"
#include "forms/windows/file_drop.h"
#include "forms/windows/file_info.h"
#include "forms/windows/vardisp.h"
#include "forms/windows/window_refs.h"

namespace lv {

namespace {

constexpr int kMemoTop = 70;

QPushButton* MakeButton(QWidget* parent, const QString& text, int left, int top, int width,
                        int height) {
    auto* button = new QPushButton(text, parent);
    button->setFont(lv::ProportionalGothicFont(16));
    button->setGeometry(left, top, width, height);
    return button;
}

// The program ends only once a grid with edits is closed (it asks first).
bool GridLetsGo() {
    return !frmDPGrid || !frmDPGrid->isVisible() || frmDPGrid->close();
}

}  // namespace

TForm1::TForm1(std::optional<std::string> startFile, QWidget* parent)
    : QWidget(parent), startFile_(std::move(startFile)) {
    Form1 = this;
    setWindowTitle(QStringLiteral("Lorivane"));
    setFont(lv::ProportionalGothicFont(12));
    setGeometry(256, 115, 489, 401);

    fileget = MakeButton(this, QString(), 8, 8, 75, 25);
    fileget->setIcon(lv::OpenFolderIcon());
    fileget->setIconSize(QSize(16, 16));
    Button3 = MakeButton(this, QStringLiteral("変数名表示"), 96, 8, 107, 25);
    Button5 = MakeButton(this, QStringLiteral("DATA表示"), 224, 8, 81, 25);
    Button4 = MakeButton(this, QStringLiteral("終了"), 328, 8, 75, 25);
    Label2 = new QLabel(QString::fromUtf8(lv::kNoFileChosenText), this);
    Label2->setFont(lv::ProportionalGothicFont(15));
    Label2->setGeometry(32, 48, 40, 15);
    Label2->adjustSize();
    Memo1 = new QPlainTextEdit(this);
    Memo1->setFont(lv::ProportionalGothicFont(16));
    Memo1->setGeometry(0, 72, 561, 281);
    // Tab moves on to the buttons rather than typing a tab.
    Memo1->setTabChangesFocus(true);

    setTabOrder(fileget, Button3);
    setTabOrder(Button3, Button4);
    setTabOrder(Button4, Button5);
    setTabOrder(Button5, Memo1);

    const auto handle = [this](QPushButton* button, void (TForm1::*handler)()) {
        connect(button, &QPushButton::clicked, this,
                [this, handler] { lv::RunHandler([this, handler] { (this->*handler)(); }); });
    };
    handle(fileget, &TForm1::filegetClick);
    handle(Button3, &TForm1::Button3Click);
    handle(Button5, &TForm1::Button5Click);
    handle(Button4, &TForm1::Button4Click);
    Memo1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Memo1, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        lv::RunHandler([this, at] {
            std::unique_ptr<QMenu> menu(CreateContextMenu());
            menu->exec(Memo1->viewport()->mapToGlobal(at));
        });
    });
    lv::AcceptDataFileDrops(this);
    lv::FollowDisplayEncoding(this, [this] { lv::RedecodeTextArea(Memo1); });

    lv::RunHandler([this] { FormCreate(); });
}

TForm1::~TForm1() {
    lv::ForgetDataFilePassword();
    if (Form1 == this) Form1 = nullptr;
}

std::optional<std::string> TForm1::AskForFile() {
    return lv::CurrentDialogs().OpenFile(kOpenDialogFilter, openDialogFileName_);
}

bool TForm1::TakeChosenFile(const std::optional<std::string>& chosen) {
    if (chosen) openDialogFileName_ = *chosen;
    // The summaries so far keep the decoding they have; another file starts
    // with its detected encoding.
    lv::ForgetFileLines(Memo1);
    if (openDialogFileName_ != spssdio1::DataFileName) lv::ChooseDisplayEncoding(std::string());
    spssdio1::DataFileName = openDialogFileName_;
    // The file chosen again when the open dialog was cancelled: its kept
    // password, or a new question (a cancel then fails the open).
    if (!chosen) lv::UnlockDataFile(spssdio1::DataFileName);
    lv::TextAreaSink memo(Memo1);
    memo.AddLine(lv::FileNameLine());
    ShowFileSummary();
    if (spssdio1::DataFileName.empty()) return false;
    Label2->setText(QString::fromStdString(spssdio1::DataFileName));
    Label2->adjustSize();
    return true;
}

void TForm1::CreateVariableList() {
    lv::EnsureVariableList();
}

bool TForm1::PasswordCancelled(const std::optional<std::string>& chosen) {
    return chosen && lv::UnlockDataFile(*chosen) == lv::Unlock::Cancelled;
}

void TForm1::FormCreate() {
    spssdio1::DataFileName.clear();
    std::optional<std::string> chosen =
        startFile_ ? std::exchange(startFile_, std::nullopt) : AskForFile();
    // No password given: as if no file had been chosen.
    if (PasswordCancelled(chosen)) chosen.reset();
    if (!TakeChosenFile(chosen)) return;
    CreateVariableList();
}

void TForm1::filegetClick() {
    OpenChosenFile(AskForFile());
}

void TForm1::OpenChosenFile(const std::optional<std::string>& chosen) {
    // No password given: every window keeps the file it shows.
    if (PasswordCancelled(chosen)) return;
    if (!TakeChosenFile(chosen)) return;
    delete frmFileInfo;
    frmFileInfo = nullptr;
    if (frmDPGrid) {
        delete frmDPGrid;
        frmDPGrid = nullptr;
    }
    if (frmVariable) {
        delete frmVariable;
        frmVariable = nullptr;
    }
    CreateVariableList();
}

void TForm1::ShowFileSummary() {
    lv::TextAreaSink memo(Memo1);
    lv::ShowFileSummaryLines(memo);
}

QMenu* TForm1::CreateContextMenu() {
    QMenu* menu = Memo1->createStandardContextMenu();
    menu->addSeparator();
    AddContextMenuItems(*menu);
    return menu;
}

void TForm1::AddContextMenuItems(QMenu& menu) {
    QAction* info = menu.addAction(QStringLiteral("ファイル情報"));
    info->setEnabled(!spssdio1::DataFileName.empty());
    connect(info, &QAction::triggered, this,
            [this] { lv::RunHandler([this] { ShowFileInfo(); }); });
    // The statistics, before the encoding submenu, which stays last.
    QAction* describe = menu.addAction(QStringLiteral("変数の概要..."));
    QAction* crosstab = menu.addAction(QStringLiteral("クロス集計..."));
    QAction* means = menu.addAction(QStringLiteral("平均の比較..."));
    QAction* codebook = menu.addAction(QStringLiteral("コードブックを書き出す..."));
    for (QAction* a : {describe, crosstab, means, codebook})
        a->setEnabled(!spssdio1::DataFileName.empty());
    connect(describe, &QAction::triggered, this,
            [] { lv::RunHandler([] { lv::OpenDescribeWindow(); }); });
    connect(crosstab, &QAction::triggered, this,
            [] { lv::RunHandler([] { lv::OpenCrosstabWindow(0); }); });
    connect(means, &QAction::triggered, this,
            [] { lv::RunHandler([] { lv::OpenMeansWindow(0); }); });
    connect(codebook, &QAction::triggered, this,
            [] { lv::RunHandler([] { lv::WriteCodebookFile({}); }); });
    lv::AddEncodingMenu(menu)->menuAction()->setEnabled(!spssdio1::DataFileName.empty());
}

void TForm1::ShowFileInfo() {
    if (spssdio1::DataFileName.empty()) return;
    delete frmFileInfo;
    frmFileInfo = new TfrmFileInfo();
    if (frmFileInfo->readCancelled()) {
        delete frmFileInfo;
        frmFileInfo = nullptr;
        return;
    }
    frmFileInfo->show();
    frmFileInfo->raise();
}

namespace {

// Before a file is chosen the buttons that show one say so.
bool FileChosen() {
    if (!spssdio1::DataFileName.empty()) return true;
    lv::CurrentDialogs().Tell(lv::Message{lv::MessageCode::NoFileChosen});
    return false;
}

}  // namespace

void TForm1::Button3Click() {
    if (!FileChosen()) return;
    if (!lv::EnsureVariableList()) return;
    spssdio1::ReturnTarget = "spssfile";
    frmVariable->showNormal();
    frmVariable->raise();
}

void TForm1::Button5Click() {
    // A grid whose data file changed or went away since its load can only
    // show blank cells: the file is opened again as the folder button opens
    // it (summary, variables), and read again in a new grid.
    if (frmDPGrid && !spssdio1::DataFileName.empty()) {
        frmDPGrid->model->CheckFile();
        if (frmDPGrid->model->grid().lost()) {
            const std::string again = spssdio1::DataFileName;
            OpenChosenFile(again);
        }
    }
    if (spssdio1::CaseCount == -1) {
        lv::CurrentDialogs().Tell(lv::Message{lv::MessageCode::MatrixDataNotRead});
        return;
    }
    if (!FileChosen()) return;
    // The grid takes its columns from the variable list: a list whose build
    // was stopped is built again first.
    if (!lv::EnsureVariableList()) return;
    if (!frmDPGrid) frmDPGrid = new TfrmDPGrid();
    const lv::GridLoadOutcome outcome = frmDPGrid->loadOutcome();
    if (outcome == lv::GridLoadOutcome::Cancelled || outcome == lv::GridLoadOutcome::OpenFailed) {
        // A load the user stopped, or of a file that does not open, shows
        // no grid; the next request loads anew.
        delete frmDPGrid;
        frmDPGrid = nullptr;
        return;
    }
    if (frmDPGrid->isMinimized()) {
        frmDPGrid->setWindowState(Qt::WindowNoState);
    }
    frmDPGrid->show();
    frmDPGrid->raise();
    frmDPGrid->activateWindow();
}

void TForm1::Button4Click() {
    if (GridLetsGo()) QCoreApplication::quit();
}

void TForm1::FormResize() {
    Memo1->setGeometry(0, kMemoTop, width(), std::max(0, height() - kMemoTop));
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    lv::RunHandler([this] { FormResize(); });
}

void TForm1::closeEvent(QCloseEvent* event) {
    // Closing the main window ends the program, whatever else is open.
    if (!GridLetsGo()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
    QCoreApplication::quit();
}

}  // namespace lv
