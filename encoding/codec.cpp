// Conversions with glibc iconv. The display's converters are opened once per
// encoding pair and kept until exit (display runs on the one UI thread).
#include "encoding/codec.h"

#include <iconv.h>

#include <cerrno>
#include <map>

#include "encoding/charcut.h"
#include "encoding/utf8.h"

namespace lv {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

bool IsUtf8Name(std::string_view name) {
    return LayoutOf(name) == CharLayout::Utf8;
}

// The converters opened so far, one per pair, closed when the thread ends.
class ConverterCache {
  public:
    ~ConverterCache() { CloseAll(); }
    // An open converter from -> to, or kNoConverter when iconv does not know the pair.
    iconv_t Get(const std::string& to, const std::string& from) {
        const auto key = std::make_pair(to, from);
        auto it = open_.find(key);
        if (it == open_.end()) {
            // A program sees a handful of encodings; a stream of files naming
            // odd ones (fuzzed input, say) must not grow the cache for ever.
            if (open_.size() >= kMaxConverters) CloseAll();
            it = open_.emplace(key, iconv_open(to.c_str(), from.c_str())).first;
        }
        return it->second;
    }

  private:
    static constexpr size_t kMaxConverters = 32;
    void CloseAll() {
        for (const auto& entry : open_)
            if (entry.second != kNoConverter) iconv_close(entry.second);
        open_.clear();
    }

    std::map<std::pair<std::string, std::string>, iconv_t> open_;
};

// Each thread has converters of its own: a converter keeps state between
// calls, and a conversion's writer thread decodes while the window's
// thread draws.
iconv_t Converter(const std::string& to, const std::string& from) {
    static thread_local ConverterCache cache;
    return cache.Get(to, from);
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

// iconv is asked without the cache: the reader asks this on any thread that
// opens a file.
bool CanDecode(std::string_view encoding) {
    if (encoding.empty()) return false;
    if (IsUtf8Name(encoding)) return true;
    const iconv_t cd = iconv_open("UTF-8", std::string(encoding).c_str());
    if (cd == kNoConverter) return false;
    iconv_close(cd);
    return true;
}

std::string ChooseEncoding(std::string_view declared, std::string_view sample) {
    if (CanDecode(declared)) return std::string(declared);
    return IsValidUtf8(sample) ? "UTF-8" : "CP932";
}

std::string ToUtf8(std::string_view bytes, std::string_view encoding) {
    if (IsUtf8Name(encoding)) return ValidUtf8(bytes);
    iconv_t cd = Converter("UTF-8", std::string(encoding));
    if (cd == kNoConverter) return ValidUtf8(bytes);
    return Convert(cd, bytes, kReplacement);
}

std::optional<std::string> FromUtf8(std::string_view utf8, std::string_view encoding,
                                    std::string* unencodable) {
    const bool utf8Target = IsUtf8Name(encoding);
    iconv_t cd = utf8Target ? kNoConverter : Converter(std::string(encoding), "UTF-8");
    if (!utf8Target && cd == kNoConverter) return std::string(utf8);
    // A character at a time, so the one without a form can be named.
    std::string out;
    while (!utf8.empty()) {
        bool valid = true;
        const size_t n = Utf8Unit(utf8, &valid);
        const std::string_view character = utf8.substr(0, n);
        const std::string piece = !valid       ? std::string()
                                  : utf8Target ? std::string(character)
                                               : Convert(cd, character, "");
        if (piece.empty()) {
            if (unencodable) *unencodable = character;
            return std::nullopt;
        }
        out += piece;
        utf8.remove_prefix(n);
    }
    return out;
}

}  // namespace lv
