#include "core/state/version.h"

namespace lv {

const char* ProgramVersion() {
    return LORIVANE_VERSION;
}

}  // namespace lv
