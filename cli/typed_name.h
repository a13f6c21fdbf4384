// A variable's name as typed on the command line: UTF-8 from a terminal, or
// the file's own bytes from a script. A file holds its names in its own
// encoding, so the typed name is encoded into that encoding (the one chosen
// with --encoding, else the file's) before it is compared.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lv::cli {

class TypedName {
  public:
    TypedName(std::string_view typed, std::string_view encoding);

    // Whether it is the name the file holds as these bytes (a short name's
    // padding aside). An empty name is never one.
    bool Is(std::string_view name) const;

  private:
    std::vector<std::string> forms_;  // as typed, then encoded when that differs
};

}  // namespace lv::cli
