// Subtypes 7 and 19: multiple-response sets, one per line:
//   $name=C <n> <label> vars               category set
//   $name=D<n> <value> <n> <label> vars    dichotomy set (category labels
//                                          from the variables' labels)
//   $name=E <flag> <n> <value> <n> <label> vars
//                                          dichotomy set whose categories are
//                                          labelled by the counted values; flag
//                                          11 takes the set's label from its
//                                          first variable
// where <n> <text> is a byte count, a blank and that many bytes, and vars are
// lower-case short names separated by blanks.
#include <string>
#include <unordered_map>

#include "extension_records.h"
#include "refusal.h"
#include "text_scanner.h"

namespace savio {
namespace {

// A byte count, one blank, and that many bytes.
bool Counted(TextScanner& in, std::string_view* out) {
    size_t n = 0;
    return in.Count(&n) && in.Eat(' ') && in.Take(n, out);
}

// The definition after "name=", up to the variable names; false when it
// does not follow the grammar.
bool ParseDefinition(TextScanner& in, MultipleResponseSet* set) {
    std::string_view value, label;
    if (in.Eat('C')) {
        if (!in.Eat(' ') || !Counted(in, &label)) return false;
    } else if (in.Eat('D')) {
        set->dichotomy = true;
        if (!Counted(in, &value) || !in.Eat(' ') || !Counted(in, &label)) return false;
    } else if (in.Eat('E')) {
        set->dichotomy = true;
        set->countedValueLabels = true;
        if (!in.Eat(' ')) return false;
        const std::string_view flag = in.Until(" \n");
        if (flag != "1" && flag != "11") return false;
        set->labelFromVariable = flag == "11";
        if (!in.Eat(' ') || !Counted(in, &value) || !in.Eat(' ') || !Counted(in, &label))
            return false;
    } else {
        return false;
    }
    set->countedValue = std::string(value);
    set->label = std::string(label);
    return true;
}

class SetReader {
  public:
    SetReader(const ExtensionBody& ext, const NameIndex& shortNames, Dictionary* dict)
        : where_("multiple-response sets record (subtype " + std::to_string(ext.subtype) + ") at " +
                 OffsetText(ext.offset)),
          shortNames_(shortNames),
          dict_(dict) {
        for (size_t i = 0; i < dict->mrsets.size(); ++i)
            setNames_.Add(dict->mrsets[i].name, static_cast<int>(i));
    }

    void Read(std::string_view body) {
        TextScanner in(body);
        for (;;) {
            while (in.Eat('\n')) {
            }
            if (in.AtEnd()) return;
            MultipleResponseSet set;
            set.name = std::string(in.Until("=\n"));
            if (!in.Eat('=') || !ParseDefinition(in, &set)) {
                Warn(dict_, where_ + ": set " + set.name +
                                " does not follow the record's grammar; the rest is skipped");
                return;
            }
            const std::string_view names = in.Until("\n");
            AddMembers(names, &set);
            if (!Acceptable(set)) continue;
            setNames_.Add(set.name, static_cast<int>(dict_->mrsets.size()));
            dict_->mrsets.push_back(std::move(set));
        }
    }

  private:
    // Each member once: a variable named again is counted and left out.
    void AddMembers(std::string_view names, MultipleResponseSet* set) {
        TextScanner in(names);
        std::unordered_map<int, int> repeats;  // member -> times named again
        for (int v : set->variables) repeats.emplace(v, 0);
        while (!in.AtEnd()) {
            if (in.Eat(' ')) continue;
            const std::string_view name = in.Until(" ");
            const int v = shortNames_.Find(name);
            if (v < 0) {
                Warn(dict_, where_ + ": set " + set->name + " names an unknown variable " +
                                std::string(name) + ", left out");
            } else if (auto [it, added] = repeats.emplace(v, 0); !added) {
                ++it->second;
            } else {
                set->variables.push_back(v);
            }
        }
        for (int v : set->variables) {
            const int again = repeats[v];
            if (again == 0) continue;
            Warn(dict_, where_ + ": set " + set->name + " names variable " +
                            dict_->variables[static_cast<size_t>(v)].shortName + " " +
                            std::to_string(again + 1) + " times; it is kept once");
        }
    }

    bool Acceptable(const MultipleResponseSet& set) {
        std::string why;
        if (set.name.size() < 2 || set.name[0] != '$') {
            why = "a name that does not begin with '$'";
        } else if (set.variables.size() < 2) {
            why = "fewer than two variables";
        } else {
            const bool string = dict_->variables[set.variables[0]].isString();
            for (int v : set.variables)
                if (dict_->variables[static_cast<size_t>(v)].isString() != string)
                    why = "both string and numeric variables";
            if (setNames_.Find(set.name) >= 0) why = "the name of an earlier set";
        }
        if (why.empty()) return true;
        Warn(dict_, where_ + ": set " + set.name + " has " + why + "; skipped");
        return false;
    }

    std::string where_;
    const NameIndex& shortNames_;
    Dictionary* dict_;
    NameIndex setNames_;
};

}  // namespace

void ReadMultipleResponseSets(const ExtensionBody& ext, const NameIndex& shortNames,
                              Dictionary* dict) {
    SetReader(ext, shortNames, dict).Read(ext.body);
}

}  // namespace savio
