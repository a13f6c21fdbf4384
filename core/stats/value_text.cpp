#include "core/stats/value_text.h"

#include <cmath>

#include "core/rendering/print_format.h"
#include "core/text/trim.h"

namespace lv {

// The value in the variable's print format, as the statistics package's
// tables show it (dates as dates, currencies with their signs), without the
// format's padding.
std::string StatsValueText(const DictVariable& variable, double value) {
    if (!std::isfinite(value)) return ".";
    const FormatRender render(variable.print, 0);
    std::string text;
    render.AppendNumber(text, value);
    return std::string(Trim(text));
}

}  // namespace lv
