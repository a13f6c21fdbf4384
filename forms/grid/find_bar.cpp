#include "forms/grid/find_bar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/text/grouped_digits.h"
#include "forms/grid/bar_parts.h"

namespace lv {

QString MatchCountText(unsigned long long count) {
    return QString::fromStdString(lv::GroupedDigits(uint64_t{count})) + QStringLiteral(" 件");
}

QString WrapText(bool backwards) {
    return backwards ? QStringLiteral("先頭まで検索しました。最後から続けます。")
                     : QStringLiteral("最後まで検索しました。先頭から続けます。");
}

QString NotFoundText() {
    return QStringLiteral("見つかりません");
}

FindBar::FindBar(QWidget* parent, bool cellOptions) : QWidget(parent) {
    // With the cell options the status has a line of its own, as wide as the
    // window, so that the longest notice shows whole; beside the text box it
    // takes a fixed share. Either way a change of status moves nothing else.
    setFixedHeight(cellOptions ? 2 * kBarHeight - 6 : kBarHeight);
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(4, 2, 4, 2);
    rows->setSpacing(0);
    auto* layout = new QHBoxLayout;
    layout->setSpacing(4);
    rows->addLayout(layout);
    layout->addWidget(new QLabel(QStringLiteral("検索:"), this));
    text = new QLineEdit(this);
    text->setMinimumWidth(120);
    text->installEventFilter(this);
    layout->addWidget(text, 1);
    previous = BarButton(this, QStringLiteral("前へ"), QStringLiteral("前を検索 (Shift+F3)"));
    next = BarButton(this, QStringLiteral("次へ"), QStringLiteral("次を検索 (F3)"));
    layout->addWidget(previous);
    layout->addWidget(next);
    if (cellOptions) {
        matchCase = new QCheckBox(QStringLiteral("大文字と小文字を区別"), this);
        wholeCell = new QCheckBox(QStringLiteral("セル全体"), this);
        columnOnly = new QCheckBox(QStringLiteral("この列のみ"), this);
        for (QCheckBox* box : {matchCase, wholeCell, columnOnly}) {
            layout->addWidget(box);
            connect(box, &QCheckBox::toggled, this, &FindBar::queryChanged);
        }
    }
    status = new QLabel(this);
    status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    if (cellOptions) {
        layout->addStretch(1);
        rows->addWidget(status);
    } else {
        layout->addWidget(status, 1);
    }
    close = BarButton(this, QStringLiteral("×"), QStringLiteral("閉じる (Esc)"));
    layout->addWidget(close);

    connect(text, &QLineEdit::textChanged, this, &FindBar::queryChanged);
    // A count or a notice is of the query it was found for.
    connect(this, &FindBar::queryChanged, status, &QLabel::clear);
    connect(next, &QToolButton::clicked, this, [this] { emit findRequested(false); });
    connect(previous, &QToolButton::clicked, this, [this] { emit findRequested(true); });
    connect(close, &QToolButton::clicked, this, [this] {
        hide();
        emit closed();
    });
    CloseOnEscape(this, close);
    hide();
}

void FindBar::Open() {
    if (OpenBar(this, text)) emit opened();
}

lv::FindOptions FindBar::options() const {
    lv::FindOptions o;
    o.matchCase = matchCase && matchCase->isChecked();
    o.wholeCell = wholeCell && wholeCell->isChecked();
    return o;
}

bool FindBar::currentColumnOnly() const {
    return columnOnly && columnOnly->isChecked();
}

void FindBar::SetStatus(const QString& text) {
    status->setText(text);
}

int FindBar::PlaceAtBottom() {
    if (isHidden()) return 0;
    const QWidget* window = parentWidget();
    setGeometry(0, window->height() - height(), window->width(), height());
    return height();
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == text && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            emit findRequested(key->modifiers() & Qt::ShiftModifier);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace lv
