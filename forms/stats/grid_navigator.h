// The data grid as the statistics windows reach it: they lead the user
// from a row or a cell to the cases it stands for, and count only the cases
// the grid's filter shows. The grid window registers itself while it
// exists, so that these windows know nothing else of it.
#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "core/cases/derived_columns.h"
#include "core/dictionary/file_dictionary.h"
#include "core/selection/grid_selection.h"
#include "core/selection/value_cases.h"

namespace lv {

class GridNavigator {
  public:
    virtual ~GridNavigator() = default;

    // Whether the grid holds the loaded cases of the data file at path.
    virtual bool ShowsFile(const std::string& path) const = 0;
    // Its columns, one per variable.
    virtual int columnCount() const = 0;
    // Brings the grid forward with the first case shown that holds every
    // value made current, in the last value's column; false, with the grid
    // left as it was, when no case shown holds them all.
    virtual bool GoToFirstCase(std::span<const CaseValue> values) = 0;
    // Brings the grid forward showing only the cases condition selects, as
    // its filter bar does.
    virtual void ShowOnly(const QString& condition) = 0;
    // The filter's condition and the cases it shows; none when every case
    // is shown.
    virtual std::optional<ShownCases> Filter() const = 0;
    // The grid's computed columns: its dictionary with their variables after
    // the file's, and what makes their values in a pass over the file; both
    // null when it has none.
    virtual std::shared_ptr<const FileDictionary> ComputedDictionary() const { return nullptr; }
    virtual std::shared_ptr<const DerivedColumns> Computed() const { return nullptr; }
};

// What says which cases a filter shows: 絞り込み中：condition（N / M ケース）.
QString FilterNoteText(const std::string& condition, uint64_t shown, uint64_t total);

// The grid registered last that still exists; null when there is none.
GridNavigator* CurrentGridNavigator();
void RegisterGridNavigator(GridNavigator* navigator);
void UnregisterGridNavigator(GridNavigator* navigator);

}  // namespace lv
