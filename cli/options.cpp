#include "cli/options.h"

#include <charconv>
#include <utility>

#include "cli/command_table.h"
#include "core/state/version.h"

namespace lv::cli {
namespace {

// Where each operand name of the command table goes.
struct OperandSpec {
    std::string_view name;
    void (*bind)(Options& o, std::string value);
};

constexpr OperandSpec kOperands[] = {
    {"FILE", [](Options& o, std::string v) { o.files.push_back(std::move(v)); }},
    {"OUT", [](Options& o, std::string v) { o.output = std::move(v); }},
    {"VAR",
     [](Options& o, std::string v) {
         o.variable = v;
         o.variables.push_back(std::move(v));
     }},
    {"ROWVAR", [](Options& o, std::string v) { o.variables.push_back(std::move(v)); }},
    {"COLVAR", [](Options& o, std::string v) { o.variables.push_back(std::move(v)); }},
    {"CONDITION", [](Options& o, std::string v) { o.condition = std::move(v); }},
    {"TEXT", [](Options& o, std::string v) { o.text = std::move(v); }},
};

const OperandSpec* Operand(std::string_view name) {
    for (const OperandSpec& operand : kOperands)
        if (operand.name == name) return &operand;
    return nullptr;
}

std::vector<std::string_view> Words(std::string_view list, char separator) {
    std::vector<std::string_view> words;
    while (!list.empty()) {
        const size_t end = list.find(separator);
        if (end != 0) words.push_back(list.substr(0, end));
        if (end == std::string_view::npos) break;
        list.remove_prefix(end + 1);
    }
    return words;
}

// Hands the operands to the command's fields; false (with error set) when
// their number is not the command's.
bool BindOperands(const CommandSpec& command, std::vector<std::string> given, Options& o,
                  std::string& error) {
    const std::vector<std::string_view> names = Words(command.operands, ' ');
    const bool many = !names.empty() && names.back().ends_with("...");
    const size_t fixed = names.size() - (many ? 1 : 0);
    if (many ? given.size() <= fixed : given.size() != fixed) {
        error = std::string(command.name) + " takes " + std::string(command.operands);
        return false;
    }
    for (size_t i = 0; i < given.size(); ++i) {
        std::string_view name = names[std::min(i, names.size() - 1)];
        if (name.ends_with("...")) name.remove_suffix(3);
        const OperandSpec* operand = Operand(name);
        if (!operand) {
            error = "the command table names an unknown operand " + std::string(name);
            return false;
        }
        operand->bind(o, std::move(given[i]));
    }
    return true;
}

// Exactly one of the command's oneOf options must be given.
bool CheckOneOf(const CommandSpec& command, const std::vector<std::string_view>& given,
                std::string& error) {
    const std::vector<std::string_view> choices = Words(command.oneOf, '|');
    if (choices.empty()) return true;
    size_t count = 0;
    for (std::string_view choice : choices)
        for (std::string_view name : given) count += name == choice;
    if (count == 1) return true;
    error = std::string(command.name) + " takes exactly one of ";
    for (size_t i = 0; i < choices.size(); ++i)
        error += std::string(i == 0                    ? ""
                             : i + 1 == choices.size() ? " and "
                                                       : ", ") +
                 std::string(choices[i]);
    return false;
}

// Whether an argument taken for an unknown option looks like a condition
// that begins with a minus sign: a blank, an operator or a parenthesis
// after the dash (before any '=' of a long option's value).
bool LooksLikeCondition(std::string_view argument) {
    std::string_view rest = argument.substr(1);
    if (rest.starts_with('-')) {
        rest.remove_prefix(1);
        rest = rest.substr(0, rest.find('='));
    }
    return rest.find_first_of(" \t=<>~!&|+-*/()") != std::string_view::npos;
}

}  // namespace

bool ParseRows(const std::string& text, long long& first, long long& last) {
    const size_t colon = text.find(':');
    if (colon == std::string::npos) return false;
    const std::string a = text.substr(0, colon), b = text.substr(colon + 1);
    auto number = [](const std::string& s, long long& v) {
        const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
        return r.ec == std::errc() && r.ptr == s.data() + s.size();
    };
    first = 1;
    last = -1;
    if (!a.empty() && !number(a, first)) return false;
    if (!b.empty() && !number(b, last)) return false;
    return first >= 1 && (last == -1 || last >= first);
}

std::optional<std::vector<SortOption>> ParseSortOption(const std::string& text) {
    std::vector<SortOption> keys;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        std::string item =
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        SortOption key;
        const size_t colon = item.rfind(':');
        if (colon != std::string::npos) {
            const std::string direction = item.substr(colon + 1);
            if (direction == "desc")
                key.descending = true;
            else if (direction != "asc")
                return std::nullopt;
            item.resize(colon);
        }
        if (item.empty()) return std::nullopt;
        key.variable = item;
        keys.push_back(key);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return keys;
}

std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error) {
    Options o;
    // First every option with its value, so that each can then be checked
    // against the command, wherever the command's name stands.
    std::vector<std::pair<const OptionSpec*, std::string>> given;
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            o.action = Action::Help;
            return o;
        }
        if (a == "--version") {
            o.action = Action::Version;
            return o;
        }
        if (a == "--") {
            positional.insert(positional.end(), args.begin() + i + 1, args.end());
            break;
        }
        // A condition such as "-x < 0" is an operand, not an option.
        if (a.size() < 2 || a[0] != '-' || (a[1] != '-' && a.find(' ') != std::string::npos)) {
            positional.push_back(a);
            continue;
        }
        const OptionSpec* option = FindOption(a);
        if (!option) {
            error = "unknown option '" + a + "'";
            if (LooksLikeCondition(a))
                error += "; put -- before a condition that begins with '-' (-- '" + a + "')";
            return std::nullopt;
        }
        const bool inlineValue = a.size() > option->name.size();
        if (option->value.empty()) {
            if (inlineValue) {
                error = "option '" + std::string(option->name) + "' takes no value";
                return std::nullopt;
            }
            given.emplace_back(option, std::string());
        } else if (inlineValue) {
            given.emplace_back(option, a.substr(option->name.size() + 1));
        } else if (i + 1 < args.size()) {
            given.emplace_back(option, args[++i]);
        } else {
            error = std::string(option->name) + " needs " + std::string(option->value);
            return std::nullopt;
        }
    }
    if (positional.empty()) {
        error = "no command given";
        return std::nullopt;
    }
    const CommandSpec* command = FindCommand(positional.front());
    if (!command) {
        error = "unknown command '" + positional.front() + "'";
        return std::nullopt;
    }
    o.action = Action::Run;
    o.command = command;
    std::vector<std::string_view> names;
    for (const auto& [option, value] : given) {
        if (!Takes(*command, option->name)) {
            error = std::string(command->name) + " does not take " + std::string(option->name);
            return std::nullopt;
        }
        if (!option->apply(o, value, error)) return std::nullopt;
        names.push_back(option->name);
    }
    positional.erase(positional.begin());
    if (!BindOperands(*command, std::move(positional), o, error)) return std::nullopt;
    if (!CheckOneOf(*command, names, error)) return std::nullopt;
    if (command->check && !command->check(o, error)) return std::nullopt;
    return o;
}

std::string VersionText() {
    return std::string("lorivane-dump ") + lv::ProgramVersion() + "\n";
}

}  // namespace lv::cli
