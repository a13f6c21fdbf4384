#include "refusal.h"

#include <cstdio>

namespace savio {
namespace {

thread_local Refusal last;

}  // namespace

int Refuse(int status, int64_t offset, std::string reason) {
    last.status = status;
    last.reason = std::move(reason);
    last.offset = offset;
    return status;
}

void ClearRefusal() {
    last = Refusal();
}

const Refusal& LastRefusal() {
    return last;
}

std::string OffsetText(uint64_t offset) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(offset));
    return text;
}

}  // namespace savio
