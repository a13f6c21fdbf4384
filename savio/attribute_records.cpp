// Subtypes 17 and 18: attributes of the file and of its variables, in the
// form Name('value'\n'value'\n)... ; quotes inside a value are not escaped,
// so a value ends at the first quote followed by a line end.
#include <string>

#include "extension_records.h"
#include "text_scanner.h"

namespace savio {
namespace {

constexpr std::string_view kRoleAttribute = "$@Role";
constexpr int kLastRole = 5;  // 0 input, 1 target, 2 both, 3 none, 4 partition, 5 split

// Reads attributes up to the end of the text or, for subtype 18, up to the
// '/' that ends one variable's attributes. Returns false at malformed text,
// with *why set; out then holds the attributes before the fault. Attributes
// without a value are left out with a warning.
bool ParseAttributeSet(TextScanner& in, bool untilSlash, std::vector<Attribute>* out,
                       std::string* why, Dictionary* dict, std::string_view where) {
    while (!in.AtEnd() && !(untilSlash && in.Peek() == '/')) {
        const std::string_view name = in.Until(untilSlash ? "(/\n" : "(\n");
        if (name.empty() || !in.Eat('(')) {
            *why = "an attribute name without '('";
            return false;
        }
        Attribute attribute{std::string(name), {}};
        while (!in.Eat(')')) {
            std::string_view value;
            if (!in.Eat('\'') || !in.UntilSequence("'\n", &value)) {
                *why = "attribute " + attribute.name + " has a value that is not quoted";
                return false;
            }
            attribute.values.emplace_back(value);
        }
        if (attribute.values.empty()) {
            Warn(dict,
                 std::string(where) + ": attribute " + attribute.name + " has no value; skipped");
            continue;
        }
        out->push_back(std::move(attribute));
    }
    return true;
}

void SetRole(const Attribute& a, Variable& var, Dictionary* dict) {
    const std::string& v = a.values.front();
    if (a.values.size() == 1 && v.size() == 1 && v[0] >= '0' && v[0] <= '0' + kLastRole) {
        var.role = v[0] - '0';
        return;
    }
    Warn(dict, "variable attributes record (subtype 18): invalid role '" + v + "' of variable " +
                   var.shortName + "; input assumed");
}

}  // namespace

void ReadFileAttributes(std::string_view body, Dictionary* dict) {
    constexpr std::string_view where = "file attributes record (subtype 17)";
    TextScanner in(body);
    std::string why;
    if (!ParseAttributeSet(in, false, &dict->fileAttributes, &why, dict, where))
        Warn(dict, std::string(where) + ": " + why + "; the rest is skipped");
}

void ApplyVariableAttributes(std::string_view body, const NameIndex& longNames, Dictionary* dict) {
    constexpr std::string_view where = "variable attributes record (subtype 18)";
    TextScanner in(body);
    while (!in.AtEnd()) {
        const std::string_view name = in.Until(":/\n");
        if (!in.Eat(':')) {
            Warn(dict, std::string(where) + ": a variable name without ':'; the rest is skipped");
            return;
        }
        std::vector<Attribute> attributes;
        std::string why;
        const bool whole = ParseAttributeSet(in, true, &attributes, &why, dict, where);
        const int v = longNames.Find(name);
        if (v < 0) {
            Warn(dict, std::string(where) + ": unknown variable " + std::string(name) +
                           "; its attributes are skipped");
        } else {
            Variable& var = dict->variables[static_cast<size_t>(v)];
            for (Attribute& a : attributes) {
                if (a.name == kRoleAttribute) SetRole(a, var, dict);
                var.attributes.push_back(std::move(a));
            }
        }
        if (!whole) {
            Warn(dict, std::string(where) + ": " + why + "; the rest is skipped");
            return;
        }
        in.Eat('/');
    }
}

}  // namespace savio
