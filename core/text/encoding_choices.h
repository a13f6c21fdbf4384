// The encodings a user may choose for a file's texts: the encodings real
// data files are written in, for the main window's menu and for
// lorivane-dump --encoding.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace lv {

struct EncodingChoice {
    std::string_view name;     // the iconv name, also the name --encoding takes
    std::string_view caption;  // what the menu shows
    std::string_view aliases;  // other names --encoding takes, blank separated
    int group;                 // script family; the menu separates the groups
};

// Every choice, in menu order.
std::span<const EncodingChoice> EncodingChoices();

// The encoding that name stands for (a name or alias of a choice, in any
// case, '-', '_' and blanks aside): its iconv name, or empty for "auto"
// (the detected encoding). Nothing for a name not in the list.
std::optional<std::string> ParseEncodingName(std::string_view name);

// The accepted names, for a usage message: "auto, UTF-8, CP932 (Shift_JIS,
// SJIS, ...), ...".
std::string AcceptedEncodingNames();

}  // namespace lv
