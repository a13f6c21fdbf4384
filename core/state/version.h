// The program's version, from the build's project version.
#pragma once

namespace lv {

const char* ProgramVersion();

}  // namespace lv
