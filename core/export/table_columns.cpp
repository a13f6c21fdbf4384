#include "core/export/table_columns.h"

#include <algorithm>

#include "core/text/display_encoding.h"

namespace lv {

ValueKind ValueKindOf(const PrintFormat& format, bool isString) {
    if (isString) return ValueKind::String;
    switch (CategoryOf(format.type)) {
        case FormatCategory::Date:
        case FormatCategory::Period:
            return ValueKind::Date;
        case FormatCategory::DateTime:
            return ValueKind::DateTime;
        case FormatCategory::Duration:
            return ValueKind::Time;
        default:
            return ValueKind::Number;
    }
}

std::vector<TableColumn> PlanColumns(const std::vector<VariableFacts>& facts,
                                     const TableOptions& options, std::string_view encoding) {
    std::vector<int> wanted = options.columns;
    if (wanted.empty())
        for (int i = 0; i < static_cast<int>(facts.size()); ++i) wanted.push_back(i);
    std::vector<TableColumn> columns;
    columns.reserve(wanted.size());
    for (const int v : wanted) {
        if (v < 0 || v >= static_cast<int>(facts.size())) continue;
        const VariableFacts& f = facts[v];
        TableColumn c;
        c.variable = v;
        c.facts = &f;
        // A string variable's width is not among the facts; the format's
        // width stands in, which Normalize needs only to keep a string a string.
        c.format = FormatRender::Normalize(f.format, f.isString ? std::max(f.format.width, 1) : 0);
        c.kind = ValueKindOf(c.format, f.isString);
        const std::string* header = &f.name;
        if (options.header != HeaderText::Names && !f.longName.empty()) header = &f.longName;
        if (options.header == HeaderText::Labels && !f.label.empty()) header = &f.label;
        c.header = ToUtf8(*header, encoding);
        columns.push_back(std::move(c));
    }
    return columns;
}

}  // namespace lv
