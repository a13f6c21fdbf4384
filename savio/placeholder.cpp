// Replaced by the reader.
#include "core/spssfio.h"
extern "C" int spssOpenRead(const char*, int*) { return SPSS_FILE_OERROR; }
