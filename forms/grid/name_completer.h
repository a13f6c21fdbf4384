// Completion of the names a condition or an expression may use, in a line
// edit: as the user types, the variable or function name that ends at the
// cursor is offered from the words given (full-width letters typed with an
// input method find the ASCII names), and the one chosen replaces it. The
// filter bar and the compute dialog use it alike.
#pragma once

#include <QObject>
#include <QStringList>
#include <utility>

class QCompleter;
class QLineEdit;

namespace lv {

class GridData;

// The words a condition over the grid's columns may use (its variables,
// the computed ones among them, then the functions), as the filter bar and
// the compute dialog offer them.
QStringList ConditionWordsOf(const GridData& grid);

class NameCompleter : public QObject {
    Q_OBJECT
  public:
    explicit NameCompleter(QLineEdit* text);

    // The names offered while typing (variables, then functions).
    void SetWords(const QStringList& words);
    QCompleter* completer() const { return completer_; }

  private:
    // The name that ends at the cursor: its start and end in characters.
    std::pair<int, int> TypedName() const;
    void OfferWords();
    void InsertWord(const QString& word);

    QLineEdit* text_;
    QCompleter* completer_ = nullptr;
};

}  // namespace lv
