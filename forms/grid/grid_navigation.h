// The grid window as the statistics windows' navigator
// (forms/stats/grid_navigator.h), registered for as long as it exists.
#pragma once

#include "forms/stats/grid_navigator.h"

class QWidget;

namespace lv {

class GridAdditions;
class GridModel;
class GridView;

class GridNavigation : public GridNavigator {
  public:
    GridNavigation(QWidget* window, GridView* view, GridModel* model, GridAdditions* additions);
    ~GridNavigation() override;
    GridNavigation(const GridNavigation&) = delete;
    GridNavigation& operator=(const GridNavigation&) = delete;

    bool ShowsFile(const std::string& path) const override;
    int columnCount() const override;
    bool GoToFirstCase(std::span<const CaseValue> values) override;
    void ShowOnly(const QString& condition) override;
    std::optional<ShownCases> Filter() const override;
    std::shared_ptr<const FileDictionary> ComputedDictionary() const override;
    std::shared_ptr<const DerivedColumns> Computed() const override;

  private:
    // The window in front, its grid with the focus.
    void Raise();

    QWidget* window_;
    GridView* view_;
    GridModel* model_;
    GridAdditions* additions_;
};

}  // namespace lv
