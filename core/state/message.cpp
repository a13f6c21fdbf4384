#include "core/state/message.h"

#include "core/state/japanese_messages.h"

namespace lv {

const std::string& Message::Text(size_t i) const {
    static const std::string kNone;
    return i < texts.size() ? texts[i] : kNone;
}

long long Message::Number(size_t i) const {
    return i < numbers.size() ? numbers[i] : 0;
}

MessageError::MessageError(Message m)
    : std::runtime_error(JapaneseText(m)), message(std::move(m)) {}

}  // namespace lv
