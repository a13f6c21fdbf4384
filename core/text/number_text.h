// The shortest text that reads back as the same number ("1", "2.5", "-99"):
// plain digits for the magnitudes codes and amounts have, an exponent only
// for the very large and the very small. JSON, the codebook and the
// file-information lines write numbers with it.
#ifndef LORIVANE_CORE_TEXT_NUMBER_TEXT_H
#define LORIVANE_CORE_TEXT_NUMBER_TEXT_H

#include <string>

namespace lv {

std::string NumberText(double value);

}  // namespace lv

#endif
