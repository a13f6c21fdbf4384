// The find bar: a row at the bottom of a window, shown only while the user
// searches. A text box, next and previous (Enter / Shift+Enter, F3 /
// Shift+F3 are the window's), optional cell options, a line of status (the
// count of matches, a wrap, nothing found) and a close button (Escape).
#pragma once

#include <QWidget>

#include "core/text/text_match.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace lv {

class FindBar : public QWidget {
    Q_OBJECT
  public:
    // cellOptions: match case, whole cell and current column only (the
    // grid); without them, the text box alone (the variable list).
    FindBar(QWidget* parent, bool cellOptions);

    QLineEdit* text;
    QToolButton* next;
    QToolButton* previous;
    QCheckBox* matchCase = nullptr;
    QCheckBox* wholeCell = nullptr;
    QCheckBox* columnOnly = nullptr;
    QLabel* status;
    QToolButton* close;

    // Shows the bar (the window makes room for it) with its text selected.
    void Open();
    lv::FindOptions options() const;
    bool currentColumnOnly() const;
    void SetStatus(const QString& text);
    // While the bar is shown: lays it across the bottom of its window.
    // Returns the height it takes there (0 when hidden).
    int PlaceAtBottom();

  signals:
    void findRequested(bool backwards);
    // The text or an option changed: an earlier count no longer holds.
    void queryChanged();
    void opened();
    void closed();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// The bar's status texts.
QString MatchCountText(unsigned long long count);
QString WrapText(bool backwards);
QString NotFoundText();

}  // namespace lv
