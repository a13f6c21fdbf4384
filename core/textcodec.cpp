// Conversions with glibc iconv. Converters are opened once per encoding name
// and kept for the run (the program is single-threaded).
#include "core/textcodec.h"

#include <iconv.h>

#include <cerrno>
#include <map>

namespace lv {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

std::string& CurrentEncoding() {
    static std::string encoding = "UTF-8";
    return encoding;
}

bool IsUtf8Name(std::string_view name) {
    return name == "UTF-8" || name == "utf-8" || name == "UTF8" || name == "utf8";
}

// The length of the valid UTF-8 sequence at the start of s, 0 if invalid.
size_t Utf8SequenceLength(std::string_view s) {
    const auto b = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char c = b(0);
    if (c < 0x80) return 1;
    size_t n = 0;
    unsigned char lowSecond = 0x80, highSecond = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        if (c == 0xE0) lowSecond = 0xA0;
        if (c == 0xED) highSecond = 0x9F;  // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        if (c == 0xF0) lowSecond = 0x90;
        if (c == 0xF4) highSecond = 0x8F;
    } else {
        return 0;
    }
    if (s.size() < n) return 0;
    if (b(1) < lowSecond || b(1) > highSecond) return 0;
    for (size_t i = 2; i < n; ++i) {
        if (b(i) < 0x80 || b(i) > 0xBF) return 0;
    }
    return n;
}

std::string ValidateUtf8(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    while (!s.empty()) {
        const size_t n = Utf8SequenceLength(s);
        if (n == 0) {
            out += kReplacement;
            s.remove_prefix(1);
        } else {
            out.append(s.substr(0, n));
            s.remove_prefix(n);
        }
    }
    return out;
}

bool IsValidUtf8(std::string_view s) {
    while (!s.empty()) {
        const size_t n = Utf8SequenceLength(s);
        if (n == 0) return false;
        s.remove_prefix(n);
    }
    return true;
}

// An open converter from -> to, or (iconv_t)-1 when iconv does not know the pair.
iconv_t Converter(const std::string& to, const std::string& from) {
    static std::map<std::pair<std::string, std::string>, iconv_t> cache;
    const auto key = std::make_pair(to, from);
    auto it = cache.find(key);
    if (it == cache.end()) it = cache.emplace(key, iconv_open(to.c_str(), from.c_str())).first;
    return it->second;
}

// Converts with cd; an input sequence that does not convert is replaced by
// replacement and skipped one byte at a time.
std::string Convert(iconv_t cd, std::string_view in, std::string_view replacement) {
    std::string out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buffer[1024];
    while (srcLeft > 0) {
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        const size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, dst - buffer);
        if (r == static_cast<size_t>(-1)) {
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL (a sequence cut at the end): one bad byte.
            out += replacement;
            ++src;
            --srcLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    iconv(cd, nullptr, nullptr, &dst, &dstLeft);
    out.append(buffer, dst - buffer);
    return out;
}

}  // namespace

std::string ChooseDisplayEncoding(std::string_view declared, std::string_view sample) {
    if (!declared.empty()) return std::string(declared);
    return IsValidUtf8(sample) ? "UTF-8" : "CP932";
}

std::string ToUtf8(std::string_view bytes, std::string_view encoding) {
    if (IsUtf8Name(encoding)) return ValidateUtf8(bytes);
    iconv_t cd = Converter("UTF-8", std::string(encoding));
    if (cd == reinterpret_cast<iconv_t>(-1)) return ValidateUtf8(bytes);
    return Convert(cd, bytes, kReplacement);
}

std::optional<std::string> FromUtf8(std::string_view utf8, std::string_view encoding,
                                    std::string* unencodable) {
    const bool utf8Target = IsUtf8Name(encoding);
    iconv_t cd =
        utf8Target ? reinterpret_cast<iconv_t>(-1) : Converter(std::string(encoding), "UTF-8");
    if (!utf8Target && cd == reinterpret_cast<iconv_t>(-1)) return std::string(utf8);
    // A character at a time, so the one without a form can be named.
    std::string out;
    while (!utf8.empty()) {
        const size_t n = Utf8SequenceLength(utf8);
        const std::string_view character = utf8.substr(0, n == 0 ? 1 : n);
        const std::string piece = n == 0       ? std::string()
                                  : utf8Target ? std::string(character)
                                               : Convert(cd, character, "");
        if (piece.empty()) {
            if (unencodable) *unencodable = character;
            return std::nullopt;
        }
        out += piece;
        utf8.remove_prefix(character.size());
    }
    return out;
}

const std::string& CurrentFileEncoding() {
    return CurrentEncoding();
}

void SetCurrentFileEncoding(std::string encoding) {
    CurrentEncoding() = std::move(encoding);
}

}  // namespace lv
