// The English wording of the program's messages: what lorivane-dump prints,
// in plain words that stay the same from release to release, so that a
// script can match them. A message about a path starts with the path.
#pragma once

#include <cstddef>
#include <string>

#include "core/state/message.h"

namespace lv {

std::string EnglishText(const Message& message);

// A condition's message after the 1-based character it points at:
// "at character N: message".
std::string EnglishAtCharacter(size_t position, const Message& message);

}  // namespace lv
