// The Japanese wording of the program's messages: what the windows show.
// The texts a window or a test names directly are kept here as constants.
#pragma once

#include <cstddef>
#include <string>

#include "core/state/message.h"

namespace lv {

// What an action over many cells of the grid says when it stops because
// the grid's values can no longer be read.
inline constexpr const char* kLostActionText =
    "データファイルが読み込み後に変更されたか削除されたため、続けられません";
// What the as-displayed export says when it stops for that.
inline constexpr const char* kExportLostText =
    "データファイルが読み込み後に変更されたか削除されたため、書き込みを中止しました";
// What the windows say of a path that is neither a regular file nor a folder.
inline constexpr const char* kNotRegularFileText =
    "通常のファイルではないため開けません（FIFO、デバイスなど）";

std::string JapaneseText(const Message& message);

// A condition's message after the 1-based character it points at:
// "N 文字目: message".
std::string JapaneseAtCharacter(size_t position, const Message& message);

}  // namespace lv
