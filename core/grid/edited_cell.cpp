#include "core/grid/edited_cell.h"

#include <algorithm>
#include <charconv>

#include "core/text/trim.h"

namespace lv {

GridCell EditedCell(const std::string& edit, bool numeric) {
    GridCell cell;
    cell.kind = GridCell::Kind::Text;
    cell.text = edit;
    if (!numeric) return cell;
    std::string text(Trim(edit));
    if (text.empty() || text == ".") {
        cell.kind = GridCell::Kind::Sysmis;
        return cell;
    }
    if (text.find('.') == std::string::npos) std::replace(text.begin(), text.end(), ',', '.');
    double x = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, x);
    if (error == std::errc() && stop == end) {
        cell.kind = GridCell::Kind::Number;
        cell.number = x;
    }
    return cell;
}

bool ReadsAsNumber(const std::string& edit) {
    return EditedCell(edit, true).kind != GridCell::Kind::Text;
}

}  // namespace lv
