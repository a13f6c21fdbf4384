// Subtypes 17 and 18: attributes of the file and of its variables, in the
// form Name('value'\n'value'\n)... ; quotes inside a value are not escaped,
// so a value ends at the first quote followed by a line end.
#include <string>

#include "extension_records.h"
#include "refusal.h"
#include "text_scanner.h"

namespace savio {
namespace {

constexpr std::string_view kRoleAttribute = "$@Role";
constexpr int kLastRole = 5;  // 0 input, 1 target, 2 both, 3 none, 4 partition, 5 split

// Where a value whose closing quote is missing visibly ends: at a line end
// followed by ')' (the end of its attribute), or, in subtype 18, at ")/name:"
// naming a variable (the start of the next variable's attributes). npos when
// neither occurs in text.
size_t UnclosedValueEnd(std::string_view text, const NameIndex* names) {
    size_t end = text.find("\n)");
    if (!names) return end;
    // A long name has at most 64 bytes: the colon is looked for no further,
    // so that a value full of ")/" costs no more than its length.
    constexpr size_t kLongestName = 64;
    for (size_t at = text.find(")/"); at < end; at = text.find(")/", at + 1)) {
        const std::string_view name = text.substr(at + 2, kLongestName + 1);
        const size_t colon = name.find(':');
        if (colon != std::string_view::npos && at + 2 + colon < end &&
            names->Find(name.substr(0, colon)) >= 0)
            return at;
    }
    return end;
}

// A quoted value ends at the first quote followed by a line end. One whose
// closing quote is missing would otherwise run on into the attributes after
// it, another variable's included: it is cut where its attribute ends, with
// a warning. False when no value can be made out.
bool ReadValue(TextScanner& in, const NameIndex* names, std::string_view* value,
               const std::string& attribute, Dictionary* dict, std::string_view where) {
    if (!in.Eat('\'')) return false;
    const std::string_view rest = in.Rest();
    const size_t closed = rest.find("'\n");
    const std::string_view candidate = rest.substr(0, closed);
    const size_t cut = UnclosedValueEnd(candidate, names);
    if (cut == std::string_view::npos) {
        if (closed == std::string_view::npos) return false;
        *value = candidate;
        in.Skip(closed + 2);
        return true;
    }
    *value = candidate.substr(0, cut);
    in.Skip(cut + (candidate[cut] == '\n' ? 1 : 0));
    Warn(dict, std::string(where) + ": a value of attribute " + attribute +
                   " lacks its closing quote; it was cut where the attribute ends");
    return true;
}

// Reads attributes up to the end of the text or, for subtype 18, up to the
// '/' that ends one variable's attributes (names: the variables by long
// name, to tell where a damaged value ends). Returns false at malformed
// text, with *why set; out then holds the attributes before the fault.
// Attributes without a value are left out with a warning.
bool ParseAttributeSet(TextScanner& in, const NameIndex* names, std::vector<Attribute>* out,
                       std::string* why, Dictionary* dict, std::string_view where) {
    const bool untilSlash = names != nullptr;
    while (!in.AtEnd() && !(untilSlash && in.Peek() == '/')) {
        const std::string_view name = in.Until(untilSlash ? "(/\n" : "(\n");
        if (name.empty() || !in.Eat('(')) {
            *why = "an attribute name without '('";
            return false;
        }
        Attribute attribute{std::string(name), {}};
        while (!in.Eat(')')) {
            std::string_view value;
            if (!ReadValue(in, names, &value, attribute.name, dict, where)) {
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

void ReadFileAttributes(const ExtensionBody& ext, Dictionary* dict) {
    const std::string where = "file attributes record (subtype 17) at " + OffsetText(ext.offset);
    TextScanner in(ext.body);
    std::string why;
    if (!ParseAttributeSet(in, nullptr, &dict->fileAttributes, &why, dict, where))
        Warn(dict, std::string(where) + ": " + why + "; the rest is skipped");
}

void ApplyVariableAttributes(const ExtensionBody& ext, const NameIndex& longNames,
                             Dictionary* dict) {
    const std::string where =
        "variable attributes record (subtype 18) at " + OffsetText(ext.offset);
    TextScanner in(ext.body);
    while (!in.AtEnd()) {
        const std::string_view name = in.Until(":/\n");
        if (!in.Eat(':')) {
            Warn(dict, std::string(where) + ": a variable name without ':'; the rest is skipped");
            return;
        }
        std::vector<Attribute> attributes;
        std::string why;
        const bool whole = ParseAttributeSet(in, &longNames, &attributes, &why, dict, where);
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
