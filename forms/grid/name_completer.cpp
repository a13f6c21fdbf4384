#include "forms/grid/name_completer.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QLineEdit>
#include <QStringListModel>

#include "core/condition/condition_words.h"
#include "core/grid/grid_data.h"
#include "core/text/display_encoding.h"
#include "core/text/half_width.h"

namespace lv {

QStringList ConditionWordsOf(const GridData& grid) {
    QStringList words;
    if (!grid.loaded()) return words;
    const auto variables = ConditionVariablesOf(grid.facts());
    for (const std::string& w : ConditionWords(variables, DisplayEncoding()))
        words << QString::fromStdString(w);
    return words;
}

NameCompleter::NameCompleter(QLineEdit* text) : QObject(text), text_(text) {}

void NameCompleter::SetWords(const QStringList& words) {
    if (!completer_) {
        completer_ = new QCompleter(this);
        completer_->setCaseSensitivity(Qt::CaseInsensitive);
        completer_->setWidget(text_);
        connect(completer_, qOverload<const QString&>(&QCompleter::activated), this,
                &NameCompleter::InsertWord);
        connect(text_, &QLineEdit::textEdited, this, &NameCompleter::OfferWords);
    }
    completer_->setModel(new QStringListModel(words, completer_));
}

std::pair<int, int> NameCompleter::TypedName() const {
    const QString all = text_->text();
    const int cursor = text_->cursorPosition();
    const QByteArray utf8 = all.toUtf8();
    const auto before = static_cast<size_t>(all.left(cursor).toUtf8().size());
    const size_t start = WordStart(std::string_view(utf8.constData(), utf8.size()), before);
    const int startCharacters =
        QString::fromUtf8(utf8.constData(), static_cast<qsizetype>(start)).size();
    return {startCharacters, cursor};
}

void NameCompleter::OfferWords() {
    const auto [start, end] = TypedName();
    // Full-width letters typed with an input method find the ASCII names.
    const QString typed =
        QString::fromStdString(ToHalfWidth(text_->text().mid(start, end - start).toStdString()));
    if (typed.isEmpty()) {
        completer_->popup()->hide();
        return;
    }
    completer_->setCompletionPrefix(typed);
    if (completer_->completionCount() == 0) {
        completer_->popup()->hide();
        return;
    }
    completer_->complete();
}

void NameCompleter::InsertWord(const QString& word) {
    const auto [start, end] = TypedName();
    QString all = text_->text();
    all.replace(start, end - start, word);
    text_->setText(all);
    text_->setCursorPosition(start + static_cast<int>(word.size()));
}

}  // namespace lv
