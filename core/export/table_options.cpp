#include "core/export/table_options.h"

#include <algorithm>
#include <cctype>

namespace lv {
namespace {

std::string Lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

}  // namespace

std::optional<TableFormat> TableFormatOfPath(std::string_view path) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return std::nullopt;
    const std::string ext = Lower(path.substr(dot + 1));
    if (ext == "csv") return TableFormat::Csv;
    if (ext == "tsv" || ext == "tab" || ext == "txt") return TableFormat::Tsv;
    if (ext == "xlsx") return TableFormat::Xlsx;
    return std::nullopt;
}

std::optional<TableFormat> TableFormatNamed(std::string_view word) {
    const std::string w = Lower(word);
    if (w == "csv") return TableFormat::Csv;
    if (w == "tsv") return TableFormat::Tsv;
    if (w == "xlsx") return TableFormat::Xlsx;
    return std::nullopt;
}

TableTarget TableTargetOf(std::string path, TableFormat chosen) {
    if (const std::optional<TableFormat> named = TableFormatOfPath(path)) return {path, *named};
    if (path.empty() || path.back() != '.') path += '.';
    path += chosen == TableFormat::Xlsx ? "xlsx" : chosen == TableFormat::Tsv ? "tsv" : "csv";
    return {std::move(path), chosen};
}

}  // namespace lv
