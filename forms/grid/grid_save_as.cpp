// 名前を付けて保存... of the grid window: the chosen cases and variables as a
// new .sav or .zsav, through the core's one writer of system files.
#include <QHeaderView>
#include <numeric>

#include "core/export/output_file.h"
#include "core/export/sav_convert.h"
#include "core/state/data_file_password.h"
#include "core/state/dialogs.h"
#include "core/state/spssdio1.h"
#include "core/text/display_encoding.h"
#include "forms/grid/grid_additions.h"
#include "forms/grid/grid_model.h"
#include "forms/grid/grid_view.h"
#include "forms/grid/sav_save_dialog.h"
#include "forms/seam/modal.h"
#include "forms/seam/progress_dialog.h"
#include "forms/stats/grid_navigator.h"

namespace lv {
namespace {

constexpr const char* kSavFilter = "SPSS ﾃﾞｰﾀ ﾌｧｲﾙ|*.sav|圧縮 SPSS ﾃﾞｰﾀ ﾌｧｲﾙ|*.zsav";
constexpr const char* kCaption = "名前を付けて保存";

// The data file's name with _copy.sav in place of its extension, so that
// the offered name is never the file shown.
std::string SavInitialName(const std::string& dataFile) {
    const size_t slash = dataFile.rfind('/');
    const size_t dot = dataFile.rfind('.');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? dataFile.substr(0, dot) : dataFile) + "_copy.sav";
}

// The rows the choices name, as file rows in the order they are written.
std::vector<uint32_t> RowsChosen(const GridData& grid, const SavSaveChoices& c) {
    if (grid.namesInDataRow()) return {};
    const RowOrder& order = grid.order();
    if (c.cases == SavCases::All) {
        if (c.gridOrder) return order.Whole();
        std::vector<uint32_t> rows(order.fileRowCount());
        std::iota(rows.begin(), rows.end(), 0u);
        return rows;
    }
    return c.gridOrder ? order.All() : order.ShownInFileOrder();
}

}  // namespace

void GridAdditions::SaveAsSav() {
    if (!model_->loaded()) return;
    const std::optional<SaveChoice> target =
        CurrentDialogs().SaveFileAs(kSavFilter, SavInitialName(spssdio1::DataFileName));
    if (!target) return;
    // The typed extension decides when it names a format; else the type chosen.
    std::string path = target->path;
    std::optional<savio::Compression> typed = SavFormatOfPath(path);
    if (!typed) {
        const bool zsav = target->filterIndex == 1;
        if (path.empty() || path.back() != '.') path += '.';
        path += zsav ? "zsav" : "sav";
        typed = zsav ? savio::Compression::Zlib : savio::Compression::Bytecode;
    }

    const GridData& grid = model_->grid();
    int top = -1, bottom = -1;
    std::vector<int> selected;
    const bool hasSelection = !grid.namesInDataRow() && SelectedBlock(&top, &bottom, &selected);
    const RowOrder& shown = grid.order();
    const QString filter =
        shown.selecting() ? FilterNoteText(model_->condition(), shown.size(), shown.fileRowCount())
                          : QString();
    SavSaveChoices offered = RememberedSavSaveChoices();
    offered.zsav = *typed == savio::Compression::Zlib;
    SavSaveDialog dialog(window_, offered, grid.namesInDataRow() ? 0 : int(shown.size()),
                         hasSelection, grid.hasEdits(), filter,
                         QString::fromStdString(DisplayEncoding()), grid.computed() != nullptr);
    if (ShowModal(dialog) != QDialog::Accepted) return;
    const SavSaveChoices choices = dialog.Choices();
    RememberedSavSaveChoices() = choices;

    // The new file carries every value in the clear: ask before that.
    if (IsEncryptedDataFile(spssdio1::DataFileName) &&
        CurrentDialogs().Confirm(kCaption,
                                 "このデータファイルは暗号化されています。\n"
                                 "保存するファイルは暗号化されず、パスワードなしで誰でも"
                                 "開けます。保存しますか？") != ConfirmAnswer::Yes)
        return;

    SavChoices sav;
    sav.compression = choices.zsav ? savio::Compression::Zlib : savio::Compression::Bytecode;
    sav.keepEncoding = choices.keepEncoding;
    sav.sourceEncoding = DisplayEncoding();
    sav.columns = choices.selectedColumns && hasSelection ? selected : view_->VisualColumns();
    // Computed columns only when asked for.
    if (!choices.writeComputed)
        std::erase_if(sav.columns, [&grid](int column) { return grid.IsComputed(column); });
    if (sav.columns.empty()) {
        CurrentDialogs().ShowMessage(
            "保存する変数がありません（計算した変数は「計算した変数も保存する」を"
            "選ぶと保存します）");
        return;
    }
    sav.writeEdits = choices.writeEdits;
    if (choices.cases == SavCases::Range) {
        sav.firstRow = choices.firstRow;
        sav.lastRow = choices.lastRow;
    }
    const std::vector<uint32_t> rows = RowsChosen(grid, choices);
    // A failed or cancelled save leaves nothing under the chosen name.
    SavOutcome outcome;
    try {
        DialogProgress progress(window_, QStringLiteral("保存しています... %1 / %2"));
        outcome = ConvertGridToSav(grid, spssdio1::DataFileName, sav, path, rows, &progress);
    } catch (const ExportError& e) {
        CurrentDialogs().TellError(kCaption, e.message);
        return;
    }
    if (outcome.outcome != ConvertOutcome::Written) return;
    if (!outcome.droppedSets.empty()) {
        std::string names;
        for (const std::string& set : outcome.droppedSets)
            names += "\n" + ToUtf8(set, sav.keepEncoding ? sav.sourceEncoding : "UTF-8");
        CurrentDialogs().ShowMessage("保存した変数が足りないため、次のセットは保存しませんでした:" +
                                     names);
    }
    CurrentDialogs().Beep();
}

}  // namespace lv
