#include "forms/windows/variable_list_additions.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>

#include "core/dictionary/variable_search.h"
#include "core/state/spssdio1.h"
#include "forms/grid/find_bar.h"
#include "forms/seam/error_handler.h"
#include "forms/seam/line_copy.h"
#include "forms/seam/progress_dialog.h"

namespace lv {

VarListAdditions::VarListAdditions(QWidget* window, QListWidget* list)
    : QObject(window), window_(window), list_(list) {
    findBar = new FindBar(window, false);
    menu = lv::AddLineCopying(list);
    const auto action = [this, window](const QString& text, const QKeySequence& keys, auto run) {
        auto* a = new QAction(text, this);
        a->setShortcut(keys);
        window->addAction(a);
        connect(a, &QAction::triggered, this, [run] { lv::RunHandler(run); });
        return a;
    };
    find = action(QStringLiteral("検索..."), QKeySequence(Qt::CTRL | Qt::Key_F),
                  [this] { OpenFind(); });
    findNext =
        action(QStringLiteral("次を検索"), QKeySequence(Qt::Key_F3), [this] { Find(false); });
    findPrevious = action(QStringLiteral("前を検索"), QKeySequence(Qt::SHIFT | Qt::Key_F3),
                          [this] { Find(true); });
    menu->addSeparator();
    menu->addAction(find);
    connect(findBar, &FindBar::findRequested, this,
            [this](bool backwards) { lv::RunHandler([this, backwards] { Find(backwards); }); });
    connect(findBar, &FindBar::closed, list, [list] { list->setFocus(); });
}

void VarListAdditions::OpenFind() {
    findBar->Open();
}

void VarListAdditions::Find(bool backwards) {
    const QString query = findBar->text->text();
    if (query.isEmpty()) {
        findBar->Open();
        return;
    }
    if (!variables_) {
        const int count = std::min(spssdio1::VarCount, list_->count());
        lv::DialogProgress reading(window_, QStringLiteral("検索しています..."));
        std::vector<lv::VariableFacts> read =
            lv::ReadVariableFacts(spssdio1::DataFileName, count, &reading);
        if (reading.cancelled()) return;
        variables_ = std::move(read);
    }
    const lv::TextMatcher matcher(query.toStdString(), findBar->options());
    int matches = 0;
    for (const lv::VariableFacts& v : *variables_) matches += lv::VariableMatches(v, matcher);
    const lv::VariableHit hit =
        lv::FindVariable(*variables_, matcher, list_->currentRow(), backwards);
    if (hit.index < 0) {
        findBar->SetStatus(NotFoundText());
        return;
    }
    list_->setCurrentRow(hit.index);
    list_->scrollToItem(list_->item(hit.index));
    QString status = MatchCountText(static_cast<unsigned long long>(matches));
    if (hit.wrapped) status += QStringLiteral("　") + WrapText(backwards);
    findBar->SetStatus(status);
}

}  // namespace lv
