#include "forms/windows/file_info.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>

#include "core/dictionary/file_dictionary.h"
#include "core/state/dialogs.h"
#include "core/state/spssdio1.h"
#include "core/text/display_encoding.h"
#include "core/windows/file_info_lines.h"
#include "forms/seam/display_text.h"
#include "forms/seam/encoding_follow.h"
#include "forms/seam/error_handler.h"
#include "forms/seam/fonts.h"
#include "forms/seam/icons.h"
#include "forms/seam/progress_dialog.h"

namespace lv {

namespace {

constexpr int kMemoTop = 40;

// Collects the decoded lines, their file pieces padded so that columns
// counted in bytes still line up on screen.
class LinesSink final : public lv::LineSink {
  public:
    void AddLine(const lv::DisplayLine& line) override { lines << lv::LineText(line, true); }
    QStringList lines;
};

}  // namespace

TfrmFileInfo::TfrmFileInfo(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("ファイル情報"));
    setFont(lv::ProportionalGothicFont(12));
    setGeometry(270, 150, 640, 480);

    btnOK = new QPushButton(lv::CheckMarkIcon(), QStringLiteral("OK"), this);
    btnOK->setFont(lv::ProportionalGothicFont(15));
    btnOK->setIconSize(QSize(18, 18));
    btnOK->setGeometry(8, 8, 75, 25);
    Label1 = new QLabel(this);
    Label1->setFont(lv::ProportionalGothicFont(15));
    Label1->move(96, 12);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setFont(lv::FixedSysFont(15));
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Memo1->setGeometry(0, kMemoTop, 640, 480 - kMemoTop);

    connect(btnOK, &QPushButton::clicked, this,
            [this] { lv::RunHandler([this] { btnOKClick(); }); });
    lv::FollowDisplayEncoding(this, [this] { ShowLines(); });
    lv::RunHandler([this] { FormCreate(); });
}

TfrmFileInfo::~TfrmFileInfo() = default;

void TfrmFileInfo::FormCreate() {
    const std::string& path = spssdio1::DataFileName;
    Label1->setText(QString::fromStdString(path));
    Label1->adjustSize();
    if (path.empty()) return;
    auto dict = std::make_unique<lv::FileDictionary>();
    lv::DialogProgress progress(nullptr,
                                QStringLiteral("ファイル情報を読み込んでいます... %1 / %2"));
    const int status = lv::ReadFileDictionary(path, dict.get(), &progress);
    if (status == lv::kDictionaryCancelled) {
        readCancelled_ = true;
        return;
    }
    if (status != 0) {
        std::string text = "ファイル情報の読み込みに失敗しました:" + spssdio1::StatusName(status);
        // The reader's reason (it names the place in the file) on a line of its own.
        if (!dict->refusal.empty()) text += "\n" + dict->refusal;
        lv::CurrentDialogs().ShowMessage(text);
        return;
    }
    dict_ = std::move(dict);
    ShowLines();
}

void TfrmFileInfo::ShowLines() {
    if (!dict_) return;
    LinesSink sink;
    lv::FileInfoLines(*dict_, lv::DisplayEncoding(), sink);
    Memo1->setPlainText(sink.lines.join(QLatin1Char('\n')));
}

void TfrmFileInfo::btnOKClick() {
    close();
}

void TfrmFileInfo::FormResize() {
    Memo1->setGeometry(0, kMemoTop, width(), std::max(0, height() - kMemoTop));
}

void TfrmFileInfo::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    lv::RunHandler([this] { FormResize(); });
}

void TfrmFileInfo::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace lv
