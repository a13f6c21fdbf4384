#include "names.h"

#include <unordered_set>

namespace savio::writer {
namespace {

constexpr size_t kMaxNameBytes = 64;
constexpr size_t kShortNameBytes = 8;

bool IsAsciiLetter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsNameStart(unsigned char c) {
    return IsAsciiLetter(c) || c == '@' || c >= 0x80;
}

bool IsNameByte(unsigned char c) {
    return IsNameStart(c) || (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '$' || c == '#';
}

bool IsReservedWord(std::string_view name) {
    static constexpr std::string_view kWords[] = {"ALL", "AND", "BY",  "EQ", "GE", "GT",  "LE",
                                                  "LT",  "NE",  "NOT", "OR", "TO", "WITH"};
    const std::string upper = AsciiUpper(name);
    for (std::string_view w : kWords)
        if (upper == w) return true;
    return false;
}

[[noreturn]] void Fail(ErrorCode code, size_t variable, std::string_view name) {
    throw WriteError(code, {std::to_string(variable), std::string(name)});
}

// "A".."Z", "AA".."ZZ", ... for n = 0, 1, ...
std::string Letters(size_t n) {
    std::string out;
    for (++n; n > 0; n = (n - 1) / 26)
        out.insert(out.begin(), static_cast<char>('A' + (n - 1) % 26));
    return out;
}

class ShortNameSet {
  public:
    explicit ShortNameSet(lv::CharLayout layout) : layout_(layout) {}

    bool Taken(const std::string& upper) const { return taken_.count(upper) != 0; }
    void Take(const std::string& upper) { taken_.insert(upper); }

    // base itself when free (for a segment, base cut shorter with its
    // number), else base cut shorter with "_A", "_B", ...
    std::string Free(const std::string& base, const std::string& segment) {
        const std::string first = segment.empty() ? base : Suffixed(base, segment);
        if (!Taken(first) && IsVariableName(first)) return Claim(first);
        for (size_t i = 0;; ++i) {
            const std::string name = Suffixed(base, "_" + Letters(i));
            if (!Taken(name) && IsVariableName(name)) return Claim(name);
        }
    }

  private:
    std::string Suffixed(std::string_view base, const std::string& suffix) const {
        return std::string(base.substr(
                   0, lv::CutAtCharBoundary(base, kShortNameBytes - suffix.size(), layout_))) +
               suffix;
    }
    std::string Claim(const std::string& name) {
        Take(name);
        return name;
    }
    lv::CharLayout layout_;
    std::unordered_set<std::string> taken_;
};

}  // namespace

std::string AsciiUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

bool IsVariableName(std::string_view name) {
    if (name.empty() || name.size() > kMaxNameBytes) return false;
    if (!IsNameStart(static_cast<unsigned char>(name[0]))) return false;
    for (unsigned char c : name)
        if (!IsNameByte(c)) return false;
    return !IsReservedWord(name);
}

std::vector<std::vector<std::string>> MakeShortNames(const std::vector<Variable>& variables,
                                                     lv::CharLayout layout) {
    ShortNameSet names(layout);
    std::vector<std::vector<std::string>> out(variables.size());
    // The caller's names first, so that made names keep clear of them.
    for (size_t i = 0; i < variables.size(); ++i) {
        const std::string& given = variables[i].shortName;
        if (given.empty()) continue;
        if (given.size() > kShortNameBytes || !IsVariableName(given))
            Fail(ErrorCode::InvalidName, i, given);
        const std::string upper = AsciiUpper(given);
        if (names.Taken(upper)) Fail(ErrorCode::DuplicateName, i, given);
        names.Take(upper);
        out[i].push_back(upper);
    }
    for (size_t i = 0; i < variables.size(); ++i) {
        if (!out[i].empty()) continue;
        const std::string_view name(variables[i].name);
        const std::string base =
            AsciiUpper(name.substr(0, lv::CutAtCharBoundary(name, kShortNameBytes, layout)));
        out[i].push_back(names.Free(base, ""));
    }
    for (size_t i = 0; i < variables.size(); ++i) {
        const int segments = SegmentCount(variables[i].width);
        for (int k = 1; k < segments; ++k)
            out[i].push_back(names.Free(out[i][0], std::to_string(k)));
    }
    return out;
}

}  // namespace savio::writer
