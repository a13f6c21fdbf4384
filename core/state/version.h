// The program's version, from the build's project version.
#ifndef LORIVANE_CORE_VERSION_H
#define LORIVANE_CORE_VERSION_H

namespace lv {

const char* ProgramVersion();

}  // namespace lv

#endif
