#include "forms/grid/filter_bar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include "core/text/grouped_digits.h"
#include "forms/grid/bar_parts.h"
#include "forms/grid/name_completer.h"

namespace lv {

FilterBar::FilterBar(QWidget* parent) : QWidget(parent) {
    setFixedHeight(kBarHeight);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(4);
    layout->addWidget(new QLabel(QStringLiteral("条件:"), this));
    text = new QLineEdit(this);
    text->setMinimumWidth(160);
    text->setPlaceholderText(QStringLiteral("例: age >= 60 AND sex = 2"));
    text->setToolTip(
        QStringLiteral("SELECT IF の条件: = <> < <= > >=、AND OR NOT、+ - * / **、\n"
                       "MISSING(v) ANY(v, a, b) RANGE(v, lo, hi) MEAN(q1 TO q5) XDATE.YEAR(d) "
                       "SUBSTR(s, 1, 2) など\n"
                       "変数名と関数名は入力中に候補が出ます"));
    layout->addWidget(text, 2);
    apply = BarButton(this, QStringLiteral("適用"),
                      QStringLiteral("条件に合うケースだけ表示 (Enter)"), false);
    clear = BarButton(this, QStringLiteral("解除"), QStringLiteral("すべてのケースを表示"), false);
    layout->addWidget(apply);
    layout->addWidget(clear);
    status = new QLabel(this);
    layout->addWidget(status);
    error = new QLabel(this);
    error->setStyleSheet(QStringLiteral("color: #c00000"));
    error->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(error, 1);
    close = BarButton(this, QStringLiteral("×"), QStringLiteral("解除して閉じる (Esc)"));
    layout->addWidget(close);

    names_ = new NameCompleter(text);
    connect(text, &QLineEdit::returnPressed, this, &FilterBar::applyRequested);
    connect(apply, &QToolButton::clicked, this, &FilterBar::applyRequested);
    connect(clear, &QToolButton::clicked, this, &FilterBar::clearRequested);
    connect(close, &QToolButton::clicked, this, [this] {
        emit clearRequested();
        hide();
        emit closed();
    });
    CloseOnEscape(this, close);
    hide();
}

void FilterBar::Open() {
    if (OpenBar(this, text)) emit opened();
}

void FilterBar::ShowCount(unsigned long long shown, unsigned long long total) {
    status->setText(QString::fromStdString(CaseCountText(shown, total)));
    error->clear();
    error->setToolTip(QString());
}

void FilterBar::ShowNoFilter() {
    status->clear();
    error->clear();
    error->setToolTip(QString());
}

void FilterBar::ShowError(const QString& message, int position) {
    error->setText(message);
    error->setToolTip(message);
    text->setFocus();
    text->setCursorPosition(std::max(0, position - 1));
}

void FilterBar::SetWords(const QStringList& words) {
    names_->SetWords(words);
}

QCompleter* FilterBar::completer() const {
    return names_->completer();
}

int FilterBar::PlaceAtBottom(int below) {
    if (isHidden()) return 0;
    const QWidget* window = parentWidget();
    setGeometry(0, window->height() - below - height(), window->width(), height());
    return height();
}

}  // namespace lv
