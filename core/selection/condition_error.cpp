#include "core/selection/condition_error.h"

#include "core/state/japanese_messages.h"

namespace lv {

std::string ConditionError::Text() const {
    return JapaneseAtCharacter(position, message);
}

size_t CharacterPosition(std::string_view text, size_t offset) {
    size_t characters = 1;
    for (size_t i = 0; i < offset && i < text.size(); ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) ++characters;
    return characters;
}

}  // namespace lv
