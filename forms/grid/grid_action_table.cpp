// The grid window's actions, each written once: its text, keys, handler and
// places in the context menus. A new action is one row here and, when the
// window's code uses it, a member in GridAdditions.
#include <QAction>

#include "forms/grid/grid_additions.h"
#include "forms/grid/grid_model.h"
#include "forms/stats/stats_windows.h"

namespace lv {
namespace {

template <void (GridAdditions::*method)()>
void Call(GridAdditions& a, bool) {
    (a.*method)();
}

}  // namespace

std::span<const GridAdditions::ActionSpec> GridAdditions::ActionTable() {
    using G = GridAdditions;
    const auto loaded = [](const G& a) { return a.model_->loaded(); };
    const auto edited = [](const G& a) { return a.model_->grid().hasEdits(); };
    const auto sortable = [](const G& a) {
        return a.model_->loaded() && !a.model_->namesInDataRow();
    };
    static const ActionSpec kActions[] = {
        {.action = &G::showLabels,
         .name = "showLabels",
         .text = "値ラベルを表示",
         .keys = QKeySequence(Qt::CTRL | Qt::Key_L),
         .checkable = true,
         .run = Call<&G::ToggleLabels>,
         .cellGroup = 1,
         .enabled = loaded},
        {.action = &G::showFormatted,
         .name = "showFormatted",
         .text = "書式どおりに表示",
         .keys = QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L),
         .checkable = true,
         .run = Call<&G::ToggleFormatted>,
         .cellGroup = 1,
         .headerGroup = 3,
         .enabled = loaded},
        {.action = &G::find,
         .name = "find",
         .text = "検索...",
         .keys = QKeySequence(Qt::CTRL | Qt::Key_F),
         .run = Call<&G::OpenFind>,
         .cellGroup = 3},
        {.action = &G::findNext,
         .name = "findNext",
         .text = "次を検索",
         .keys = QKeySequence(Qt::Key_F3),
         .run = [](G& a, bool) { a.Find(false); }},
        {.action = &G::findPrevious,
         .name = "findPrevious",
         .text = "前を検索",
         .keys = QKeySequence(Qt::SHIFT | Qt::Key_F3),
         .run = [](G& a, bool) { a.Find(true); }},
        {.action = &G::goTo,
         .name = "goTo",
         .text = "移動...",
         .keys = QKeySequence(Qt::CTRL | Qt::Key_G),
         .run = Call<&G::GoTo>,
         .cellGroup = 3},
        {.action = &G::filter,
         .name = "filter",
         .text = "条件で絞り込む...",
         .keys = QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F),
         .run = Call<&G::OpenFilter>,
         .cellGroup = 3},
        {.action = &G::copy,
         .name = "copy",
         .text = "コピー",
         .keys = QKeySequence::Copy,
         .run = [](G& a, bool) { a.Copy(false); },
         .cellGroup = 2},
        {.action = &G::copyWithNames,
         .name = "copyWithNames",
         .text = "変数名付きでコピー",
         .keys = QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C),
         .run = [](G& a, bool) { a.Copy(true); },
         .cellGroup = 2},
        {.action = &G::selectAll,
         .name = "selectAll",
         .text = "すべて選択",
         .keys = QKeySequence::SelectAll,
         .run = Call<&G::SelectAll>,
         .cellGroup = 2},
        {.action = &G::undoEdit,
         .name = "undoEdit",
         .text = "編集を元に戻す",
         .keys = QKeySequence::Undo,
         .run = Call<&G::UndoEdit>,
         .cellGroup = 4,
         .enabled = edited},
        {.action = &G::undoAllEdits,
         .name = "undoAllEdits",
         .text = "すべての編集を元に戻す",
         .run = Call<&G::UndoAllEdits>,
         .cellGroup = 4,
         .enabled = edited},
        {.action = &G::allowEdits,
         .name = "allowEdits",
         .text = "編集を許可",
         .checkable = true,
         .run = [](G& a, bool on) { a.AllowEdits(on); },
         .cellGroup = 4,
         .checked = [] { return EditsAllowed(); }},
        {.action = &G::labelsOnMove,
         .name = "labelsOnMove",
         .text = "セル移動で値ラベルを開く",
         .checkable = true,
         .run = [](G& a, bool on) { a.LabelsOnMove(on); },
         .cellGroup = 4,
         .checked = [] { return labelsOnMoves_; }},
        // The header menu's actions work on the column it was opened for.
        {.action = &G::sortAscending,
         .name = "sortAscending",
         .text = "昇順で並べ替え",
         .everyCase = true,
         .run = [](G& a, bool) { a.Sort(a.menuColumn_, false); },
         .headerGroup = 1,
         .enabled = sortable},
        {.action = &G::sortDescending,
         .name = "sortDescending",
         .text = "降順で並べ替え",
         .everyCase = true,
         .run = [](G& a, bool) { a.Sort(a.menuColumn_, true); },
         .headerGroup = 1,
         .enabled = sortable},
        {.action = &G::originalOrder,
         .name = "originalOrder",
         .text = "元の順序に戻す",
         .run = Call<&G::OriginalOrder>,
         .headerGroup = 2,
         .enabled =
             [](const G& a) {
                 return a.model_->loaded() && !a.model_->namesInDataRow() &&
                        !a.model_->grid().order().identity();
             }},
        {.action = &G::frequencies,
         .name = "frequencies",
         .text = "度数分布...",
         .everyCase = true,
         .run = [](G& a, bool) { OpenFrequencyWindow(a.menuColumn_); },
         .headerGroup = 3,
         .enabled = loaded},
        {.action = &G::exportTable,
         .name = "exportTable",
         .text = "形式を選んで書き出す...",
         .everyCase = true,
         .run = Call<&G::ExportTable>,
         .cellGroup = 5,
         .headerGroup = 4,
         .enabled = loaded},
        {.action = &G::saveAsSav,
         .name = "saveAsSav",
         .text = "名前を付けて保存...",
         .keys = QKeySequence::Save,
         .everyCase = true,
         .run = Call<&G::SaveAsSav>,
         .cellGroup = 5,
         .headerGroup = 4,
         .enabled = loaded},
        {.action = &G::computeVariable,
         .name = "computeVariable",
         .text = "変数を計算...",
         .run = Call<&G::ComputeVariable>,
         .cellGroup = 3,
         .headerGroup = 5,
         .enabled = sortable},
        {.action = &G::removeComputed,
         .name = "removeComputed",
         .text = "計算した変数を削除",
         .run = [](G& a, bool) { a.RemoveComputed(a.menuColumn_); },
         .headerGroup = 5,
         .enabled = [](const G& a) { return a.model_->grid().IsComputed(a.menuColumn_); }},
        {.action = &G::fitColumn,
         .name = "fitColumn",
         .text = "列幅を内容に合わせる",
         .run = [](G& a, bool) { a.FitColumn(a.menuColumn_); },
         .headerGroup = 3},
    };
    return kActions;
}

}  // namespace lv
