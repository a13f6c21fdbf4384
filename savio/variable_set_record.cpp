// Subtype 5: variable sets, one per line ("name= member member"), members by
// long name (SPSS 15 wrote the short names of some); lines end with LF or
// CR LF.
#include <string>

#include "extension_records.h"
#include "text_scanner.h"

namespace savio {

void ReadVariableSets(std::string_view body, const NameIndex& longNames,
                      const NameIndex& shortNames, Dictionary* dict) {
    constexpr std::string_view where = "variable sets record (subtype 5)";
    dict->hasVariableSets = true;
    TextScanner lines(body);
    while (!lines.AtEnd()) {
        std::string_view line = lines.Until("\n");
        lines.Eat('\n');
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;
        TextScanner in(line);
        const std::string_view name = in.Until("=");
        if (!in.Eat('=') || name.empty()) {
            Warn(dict, std::string(where) + ": a line without a set name and '='; skipped");
            continue;
        }
        VariableSet set{std::string(name), {}};
        while (!in.AtEnd()) {
            if (in.Eat(' ') || in.Eat('\t')) continue;
            const std::string_view member = in.Until(" \t");
            int v = longNames.Find(member);
            if (v < 0) v = shortNames.Find(member);
            if (v < 0)
                Warn(dict, std::string(where) + ": set " + set.name +
                               " names an unknown variable " + std::string(member) + ", left out");
            else
                set.variables.push_back(v);
        }
        dict->variableSets.push_back(std::move(set));
    }
}

}  // namespace savio
