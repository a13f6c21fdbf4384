#include "core/rendering/decimal_separator.h"

#include <langinfo.h>
#include <locale.h>

#include <atomic>

namespace lv {

namespace {
std::atomic<char> separator{'.'};
}

char DecimalSeparator() {
    return separator.load(std::memory_order_relaxed);
}

void SetDecimalSeparator(char c) {
    separator.store(c, std::memory_order_relaxed);
}

void LoadDecimalSeparatorFromLocale() {
    // A private locale object: the process-wide C locale stays "C", so no
    // other code (number parsing in the reader, for one) changes behaviour.
    char c = '.';
    locale_t user = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0));
    if (user != static_cast<locale_t>(0)) {
        const char* radix = nl_langinfo_l(RADIXCHAR, user);
        if (radix != nullptr && radix[0] != '\0') c = radix[0];
        freelocale(user);
    }
    SetDecimalSeparator(c);
}

}  // namespace lv
