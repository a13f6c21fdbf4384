#include "core/stats/value_text.h"

#include <cmath>

#include "core/celltext.h"
#include "core/decimalsep.h"
#include "core/format.h"
#include "core/spssdio1.h"
#include "core/varlist.h"

namespace lv {

std::string StatsValueText(const DictVariable& variable, double value) {
    if (!std::isfinite(value)) return ".";
    const int type = variable.print.type;
    const int width = variable.print.width > 0 ? variable.print.width : 8;
    std::string specifier(kDateSpecifier);
    if (!spssdio1::IsDateFormat(type)) {
        specifier = '%';
        specifier += std::to_string(width);
        specifier += '.';
        specifier += std::to_string(std::max(variable.print.decimals, 0));
        specifier += 'f';
    }
    const ColumnRender render = ColumnRender::Make(
        0, type, specifier, spssdio1::IsDateFormat(type) ? 11 : width, DecimalSeparator());
    if (render.raises()) return NumberText(value);
    std::string text;
    render.AppendValue(text, value);
    return std::string(Trim(text));
}

}  // namespace lv
