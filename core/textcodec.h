// The encoding the windows decode the current file's texts with, beside the
// conversions themselves (encoding/codec.h), which every user of this header
// also gets.
#ifndef LORIVANE_CORE_TEXTCODEC_H
#define LORIVANE_CORE_TEXTCODEC_H

#include <string>

#include "encoding/codec.h"

namespace lv {

// The encoding of the file most recently summarised (set by the summary,
// read by the windows to decode what they show). "UTF-8" at start.
const std::string& CurrentFileEncoding();
void SetCurrentFileEncoding(std::string encoding);

}  // namespace lv

#endif
