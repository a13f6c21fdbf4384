#include "forms/grid/grid_navigation.h"

#include <QWidget>

#include "core/state/spssdio1.h"
#include "forms/grid/grid_additions.h"
#include "forms/grid/grid_model.h"
#include "forms/grid/grid_view.h"

namespace lv {

GridNavigation::GridNavigation(QWidget* window, GridView* view, GridModel* model,
                               GridAdditions* additions)
    : window_(window), view_(view), model_(model), additions_(additions) {
    RegisterGridNavigator(this);
}

GridNavigation::~GridNavigation() {
    UnregisterGridNavigator(this);
}

bool GridNavigation::ShowsFile(const std::string& path) const {
    return model_->loaded() && spssdio1::DataFileName == path;
}

int GridNavigation::columnCount() const {
    return model_->grid().columnCount();
}

bool GridNavigation::GoToFirstCase(std::span<const CaseValue> values) {
    if (values.empty() || !additions_->WaitForIndex()) return false;
    const int found = FirstCaseOf(model_->grid(), values);
    if (found < 0) return false;
    Raise();
    view_->GoTo(model_->index(found, values.back().column), false);
    return true;
}

void GridNavigation::ShowOnly(const QString& condition) {
    Raise();
    additions_->ShowOnly(condition);
}

std::optional<ShownCases> GridNavigation::Filter() const {
    return ShownCasesOf(model_->grid().order(), model_->condition());
}

void GridNavigation::Raise() {
    window_->showNormal();
    window_->raise();
    window_->activateWindow();
    view_->setFocus();
}

std::shared_ptr<const FileDictionary> GridNavigation::ComputedDictionary() const {
    const GridData& grid = model_->grid();
    return grid.computed() ? grid.sharedDictionary() : nullptr;
}

std::shared_ptr<const DerivedColumns> GridNavigation::Computed() const {
    return model_->grid().computed();
}

}  // namespace lv
