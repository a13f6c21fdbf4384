// What is wrong with a condition, and where.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/state/message.h"

namespace lv {

struct ConditionError {
    size_t position = 0;  // 1-based, in characters of the condition
    Message message;      // without the position

    // "N 文字目: message", as the filter bar shows it.
    std::string Text() const;
};

// The 1-based character position of byte offset in the UTF-8 text.
size_t CharacterPosition(std::string_view text, size_t offset);

}  // namespace lv
