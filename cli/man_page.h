// lorivane-dump(1): the manual page in troff, made at build time from the
// same tables and sections as --help, so that the two cannot drift.
#pragma once

#include <string>
#include <string_view>

namespace lv::cli {

std::string ManPage(std::string_view version);

}  // namespace lv::cli
