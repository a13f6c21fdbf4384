#include "core/compute/grid_computed.h"

#include <memory>

#include "core/grid/grid_layout.h"
#include "core/rendering/format_traits.h"
#include "encoding/codec.h"

namespace lv {
namespace {

// The date form the grid shows day formats in, as the load sets it up.
constexpr const char* kDateSpecifier = "%4d/%2.2d/%2.2d";
constexpr int kDateColumnWidth = 11;

// The layout the load would give a variable of the file of this name and
// format: its header, pixel width and rendering.
GridColumnLayout ColumnOf(const DictVariable& v, char decimalSeparator) {
    GridColumnLayout col;
    col.name = v.name;
    col.stringWidth = v.width;
    const PrintFormat& f = v.print;
    std::string specifier;
    int width = f.width;
    if (v.width > 0) {
        specifier = "%" + std::to_string(f.width) + "s";
    } else if (IsDayFormat(f.type)) {
        specifier = kDateSpecifier;
        width = kDateColumnWidth;
    } else {
        specifier = "%" + std::to_string(f.width) + "." + std::to_string(f.decimals) + "f";
    }
    int widened = width;
    col.pixelWidth =
        ColumnPixels(kDefaultColumnPixels, width, static_cast<int>(col.name.size()), widened);
    col.render = ColumnRender::Make(v.width, f.type, specifier, widened, decimalSeparator);
    return col;
}

}  // namespace

VariableFacts ComputedFactsOf(const DictVariable& variable) {
    VariableFacts f;
    f.name = variable.name;
    f.isString = variable.width > 0;
    TakeFacts(variable, f);
    return f;
}

std::vector<ComputeSpec> GridComputedSpecs(const GridData& grid, const std::string& encoding) {
    std::vector<ComputeSpec> specs;
    const FileDictionary* dict = grid.dictionary();
    if (!dict) return specs;
    const size_t first =
        dict->variables.size() - size_t(grid.columnCount() - grid.fileColumnCount());
    for (size_t i = first; i < dict->variables.size(); ++i) {
        const DictVariable& v = dict->variables[i];
        ComputeSpec spec;
        spec.name = ToUtf8(v.name, encoding);
        spec.expression = v.expression;
        spec.format = v.print;
        if (v.hasLabel) spec.label = ToUtf8(v.label, encoding);
        specs.push_back(std::move(spec));
    }
    return specs;
}

std::optional<ComputeError> SetGridComputed(GridData& grid, const std::vector<ComputeSpec>& specs,
                                            const std::string& encoding) {
    const FileDictionary* held = grid.dictionary();
    if (!held || !grid.loaded() || grid.namesInDataRow())
        return ComputeError{0, {0, Message{MessageCode::ComputedNeedsFile}}};
    // The file's own variables, without the computed ones set before.
    auto dict = std::make_shared<FileDictionary>(*held);
    dict->variables.resize(dict->variables.size() -
                           size_t(grid.columnCount() - grid.fileColumnCount()));
    auto made = AddComputedVariables(*dict, specs, encoding);
    if (auto* error = std::get_if<ComputeError>(&made)) return *error;
    std::vector<GridColumnLayout> columns;
    std::vector<VariableFacts> facts;
    const size_t fileVariables = dict->variables.size() - specs.size();
    for (size_t i = fileVariables; i < dict->variables.size(); ++i) {
        const DictVariable& v = dict->variables[i];
        columns.push_back(ColumnOf(v, grid.layout().decimalSeparator));
        facts.push_back(ComputedFactsOf(v));
    }
    if (!grid.SetComputedColumns(std::move(columns), std::move(facts), std::move(dict),
                                 std::get<std::shared_ptr<ComputedVariables>>(std::move(made))))
        return ComputeError{0, {0, Message{MessageCode::ComputedNeedsFile}}};
    return std::nullopt;
}

std::optional<ComputeError> AddGridComputed(GridData& grid, const ComputeSpec& spec,
                                            const std::string& encoding) {
    std::vector<ComputeSpec> specs = GridComputedSpecs(grid, encoding);
    specs.push_back(spec);
    auto error = SetGridComputed(grid, specs, encoding);
    if (error) error->spec = 0;
    return error;
}

std::optional<ComputeError> RemoveGridComputed(GridData& grid, int column,
                                               const std::string& encoding) {
    if (!grid.IsComputed(column)) return std::nullopt;
    std::vector<ComputeSpec> specs = GridComputedSpecs(grid, encoding);
    const size_t k = size_t(column - grid.fileColumnCount());
    const std::string name = specs[k].name;
    specs.erase(specs.begin() + std::ptrdiff_t(k));
    auto error = SetGridComputed(grid, specs, encoding);
    if (error)
        // Only a later column made from it fails to compile without it.
        return ComputeError{
            k, {0, Message{MessageCode::ComputedInUse, {name, specs[error->spec].name}}}};
    return std::nullopt;
}

}  // namespace lv
