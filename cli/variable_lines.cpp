#include "cli/variable_lines.h"

#include <algorithm>

#include "core/stats/stats_text.h"
#include "core/windows/variable_list.h"

namespace lv::cli {
namespace {

constexpr size_t kGap = 2;

struct Cell {
    std::string text;
    size_t width = 0;
};

}  // namespace

std::string VariableListText(const std::vector<lv::DisplayLine>& lines,
                             const std::function<std::string(const std::string&)>& shown, bool utf8,
                             bool longNames) {
    const auto fileCell = [&](const std::string& bytes) {
        std::string text = shown(bytes);
        const size_t width = utf8 ? lv::TerminalColumns(text) : text.size();
        return Cell{std::move(text), width};
    };
    const auto literalCell = [](std::string_view text) {
        return Cell{std::string(text), lv::TerminalColumns(text)};
    };
    std::vector<std::vector<Cell>> rows;
    std::vector<Cell> heading;
    for (const std::string_view word : lv::kVariableListHeadings)
        heading.push_back(literalCell(word));
    if (longNames) heading.push_back(literalCell("長い変数名"));
    rows.push_back(std::move(heading));
    std::vector<std::string> odd(lines.size());  // a line of another shape, as it is
    for (size_t i = 0; i < lines.size(); ++i) {
        const lv::VariableListFields f = lv::FieldsOfLine(lines[i]);
        if (f.name.empty()) {
            odd[i] = shown(lines[i].Bytes());
            rows.emplace_back();
            continue;
        }
        std::vector<Cell> row = {fileCell(f.name), literalCell(f.type), literalCell(f.labelFlag),
                                 literalCell(f.missingFlag), fileCell(f.label)};
        if (longNames) row.push_back(fileCell(lines[i].note().empty() ? f.name : lines[i].note()));
        rows.push_back(std::move(row));
    }
    // Every column but the last is padded to its widest cell.
    std::vector<size_t> widths(rows.front().size(), 0);
    for (const std::vector<Cell>& row : rows)
        for (size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], row[c].width);
    std::string out;
    for (size_t r = 0; r < rows.size(); ++r) {
        if (rows[r].empty()) {
            out += odd[r - 1] + "\n";
            continue;
        }
        std::string line;
        for (size_t c = 0; c < rows[r].size(); ++c) {
            const Cell& cell = rows[r][c];
            line += cell.text;
            if (c + 1 == rows[r].size()) break;
            line.append(widths[c] - cell.width, ' ');
            if (longNames && c + 2 == rows[r].size())
                line += '\t';
            else
                line.append(kGap, ' ');
        }
        out += line + "\n";
    }
    return out;
}

}  // namespace lv::cli
