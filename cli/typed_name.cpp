#include "cli/typed_name.h"

#include <optional>

#include "core/text/trim.h"
#include "encoding/codec.h"

namespace lv::cli {

TypedName::TypedName(std::string_view typed, std::string_view encoding) {
    if (typed.empty()) return;
    forms_.emplace_back(typed);
    // A character with no form in the encoding cannot be in a name the file holds.
    const std::optional<std::string> encoded = lv::FromUtf8(typed, encoding);
    if (encoded && *encoded != typed) forms_.push_back(*encoded);
}

bool TypedName::Is(std::string_view name) const {
    name = lv::WithoutTrailingBlanks(name);
    for (const std::string& form : forms_)
        if (form == name) return true;
    return false;
}

}  // namespace lv::cli
