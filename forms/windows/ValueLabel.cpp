#include "forms/windows/ValueLabel.h"

#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>
#include <memory>

#include "core/windows/value_labels.h"
#include "forms/seam/display_text.h"
#include "forms/seam/error_handler.h"
#include "forms/seam/fonts.h"
#include "forms/seam/icons.h"
#include "forms/seam/line_copy.h"
#include "forms/seam/modal.h"
#include "forms/windows/window_refs.h"

namespace lv {
namespace {

constexpr int kListTop = 56;

QLabel* WhiteLabel(QWidget* parent, const QString& text, int left, int top, int width, int height) {
    auto* label = new QLabel(text, parent);
    label->setFont(lv::ProportionalGothicFont(16));
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, Qt::white);
    label->setPalette(palette);
    // Tall enough for the font's whole ascent and descent, so that accents
    // and marks above and below letters are not cut, and never into the list.
    const QFontMetrics metrics(label->font());
    height = std::clamp(metrics.ascent() + metrics.descent(), height, kListTop - top);
    label->setGeometry(left, top, width, height);
    return label;
}

// A label that grows with its text but never below its design size.
void SetGrowingText(QLabel* label, const QString& text, int designWidth) {
    label->setText(text);
    label->resize(std::max(designWidth, label->sizeHint().width()), label->height());
}

class WindowSink final : public lv::ValueLabelSink {
  public:
    explicit WindowSink(TfrmValue* window) : window_(window), list_(window->ListBox1) {}
    void SetVarName(std::string_view bytes) override {
        SetGrowingText(window_->varname, lv::FileText(bytes), 58);
    }
    void SetVarLabel(std::string_view bytes) override {
        SetGrowingText(window_->Label1, lv::FileText(bytes), 57);
    }
    void AddLine(const lv::DisplayLine& line) override { list_.AddLine(line); }

  private:
    TfrmValue* window_;
    lv::ListBoxSink list_;
};

}  // namespace

TfrmValue::TfrmValue(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("frmValue"));
    setFont(lv::ProportionalGothicFont(12));
    setGeometry(250, 164, 340, 237);

    btnOK = new QPushButton(lv::CheckMarkIcon(), QStringLiteral("OK"), this);
    btnOK->setIconSize(QSize(18, 18));
    btnOK->setGeometry(8, 0, 75, 25);
    btnOK->setDefault(true);
    varname = WhiteLabel(this, QStringLiteral("varname"), 0, 32, 58, 16);
    Label1 = WhiteLabel(this, QStringLiteral("var label"), 120, 32, 57, 16);
    ListBox1 = new QListWidget(this);
    ListBox1->setFont(lv::FixedSysFont(19));
    ListBox1->setStyleSheet(QStringLiteral("QListWidget::item { height: 18px; }"));
    ListBox1->setGeometry(0, 48, 340, 237 - 48);
    lv::AddLineCopying(ListBox1);

    connect(btnOK, &QPushButton::clicked, this, [this] {
        lv::RunHandler([this] { btnOKClick(); });
        accept();
    });
    lv::RunHandler([this] { FormCreate(); });
}

void TfrmValue::FormCreate() {
    WindowSink sink(this);
    lv::FillValueLabelWindow(sink);
}

void TfrmValue::FormResize() {
    ListBox1->setGeometry(0, kListTop, width(), std::max(0, height() - kListTop));
}

void TfrmValue::btnOKClick() {}

void TfrmValue::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    lv::RunHandler([this] { FormResize(); });
}

const char* const kGridMovesTip =
    "グリッドでセルを移動するたびにこの窓を開かないようにするには、グリッドの右クリック"
    "メニュー (Shift+F10) の「セル移動で値ラベルを開く」をオフにします";

void OpenValueLabelWindow(bool fromGrid) {
    auto window = std::make_unique<TfrmValue>();
    frmValue = window.get();
    if (fromGrid) {
        const QString tip = QString::fromUtf8(kGridMovesTip);
        for (QWidget* w :
             {static_cast<QWidget*>(window.get()), static_cast<QWidget*>(window->ListBox1)})
            w->setToolTip(tip);
        window->setAccessibleDescription(tip);
    }
    struct ClearReference {
        ~ClearReference() { frmValue = nullptr; }
    } clear;
    ShowModal(*window);
}

}  // namespace lv
