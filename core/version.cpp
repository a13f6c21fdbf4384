#include "core/version.h"

namespace lv {

const char* ProgramVersion() {
    return LORIVANE_VERSION;
}

}  // namespace lv
