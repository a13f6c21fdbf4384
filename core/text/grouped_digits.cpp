#include "core/text/grouped_digits.h"

namespace lv {

std::string GroupedDigits(uint64_t count) {
    const std::string digits = std::to_string(count);
    std::string out;
    out.reserve(digits.size() + digits.size() / 3);
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i != 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

std::string GroupedDigits(int64_t count) {
    if (count >= 0) return GroupedDigits(static_cast<uint64_t>(count));
    // The magnitude of the most negative value does not fit an int64_t.
    return "-" + GroupedDigits(static_cast<uint64_t>(-(count + 1)) + 1);
}

std::string CaseCountText(uint64_t shown, uint64_t total) {
    return GroupedDigits(shown) + " / " + GroupedDigits(total) + " ケース";
}

}  // namespace lv
