#include "core/textcodec.h"

namespace lv {
namespace {

std::string& CurrentEncoding() {
    static std::string encoding = "UTF-8";
    return encoding;
}

}  // namespace

const std::string& CurrentFileEncoding() {
    return CurrentEncoding();
}

void SetCurrentFileEncoding(std::string encoding) {
    CurrentEncoding() = std::move(encoding);
}

}  // namespace lv
