// Types the parsed condition and writes its program, front to back over the
// nodes (children come before their parents), so that neither a deep nor a
// long condition takes stack.
#include <cctype>
#include <cmath>
#include <optional>

#include "core/condition/condition.h"
#include "core/condition/condition_dates.h"
#include "core/condition/condition_syntax.h"
#include "core/condition/number_input.h"
#include "core/dictionary/variable_name.h"
#include "core/rendering/format_traits.h"
#include "core/text/display_encoding.h"

namespace lv {
namespace {

using Code = Condition::Instruction::Code;

enum class Type : uint8_t { Number, Truth, Text };

struct Failure {
    uint32_t offset;
    Message message;
};

std::vector<VariableNames> NamesOf(std::span<const ConditionVariable> variables) {
    std::vector<VariableNames> names;
    names.reserve(variables.size());
    for (const DictVariable* v : variables) names.push_back({v->name, v->longName});
    return names;
}

bool IsComparison(BinaryOp op) {
    return op >= BinaryOp::Eq && op <= BinaryOp::Ge;
}

bool IsUtf8(std::string_view encoding) {
    std::string letters;
    for (char c : encoding)
        if (c != '-' && c != '_')
            letters.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    return letters == "UTF8";
}

// A function's name with a .n suffix (MEAN.3): the name and n; n is 0
// without one.
std::pair<std::string_view, int> SplitValidSuffix(std::string_view name) {
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot + 1 == name.size() || name.size() - dot > 4)
        return {name, 0};
    int n = 0;
    for (char c : name.substr(dot + 1)) {
        if (c < '0' || c > '9') return {name, 0};
        n = n * 10 + (c - '0');
    }
    return {name.substr(0, dot), n};
}

}  // namespace

class ConditionCompiler {
  public:
    ConditionCompiler(ConditionTree& tree, std::span<const ConditionVariable> variables,
                      const std::string& encoding, bool anyValue)
        : anyValue_(anyValue),
          tree_(tree),
          vars_(variables),
          encoding_(encoding),
          names_(NamesOf(variables), encoding) {}

    Condition Compile() {
        const size_t n = tree_.nodes.size();
        dead_.assign(n, false);
        raw_.assign(n, false);
        padded_.assign(n, false);
        values_.assign(n, 1);
        types_.assign(n, Type::Number);
        slotOf_.assign(vars_.size(), -1);
        for (size_t i = 0; i < n; ++i) Prepare(static_cast<uint32_t>(i));
        for (size_t i = 0; i < n; ++i)
            if (!dead_[i]) Emit(static_cast<uint32_t>(i));
        if (types_[n - 1] == Type::Text && !anyValue_)
            throw Failure{0, Message{MessageCode::ConditionIsString}};
        out_.givesText_ = types_[n - 1] == Type::Text;
        out_.encoding_ = encoding_;
        out_.utf8_ = IsUtf8(encoding_);
        return std::move(out_);
    }

  private:
    // The variable a name means, or -1.
    int Find(std::string_view name) const { return names_.Find(name); }

    // The date format of a node that names a numeric date variable, or 0.
    int DateFormatOf(uint32_t node) const {
        const ConditionNode& n = tree_.nodes[node];
        if (n.kind != NodeKind::Variable) return 0;
        const int v = Find(n.text);
        if (v < 0 || vars_[v]->isString() || !ReadsFormattedDate(vars_[v]->print.type)) return 0;
        return vars_[v]->print.type;
    }

    // A date written beside a date variable becomes the date's number; what
    // the text would otherwise have been parsed into is dropped.
    void AsDate(uint32_t node, int format) {
        ConditionNode& n = tree_.nodes[node];
        if (n.kind != NodeKind::DateText && n.kind != NodeKind::String) return;
        const std::optional<double> value = ParseFormattedDate(n.text, format);
        if (!value)
            throw Failure{n.offset, Message{MessageCode::NotADate,
                                            {n.text, std::string(FormatTypeName(format)),
                                             DateExample(format)}}};
        for (uint32_t k = n.first; k < node; ++k) dead_[k] = true;
        n.kind = NodeKind::Number;
        n.number = *value;
        n.args.clear();
    }

    void Prepare(uint32_t i) {
        ConditionNode& n = tree_.nodes[i];
        if (n.kind == NodeKind::Binary && IsComparison(n.op)) {
            if (const int f = DateFormatOf(n.args[0])) AsDate(n.args[1], f);
            if (const int f = DateFormatOf(n.args[1])) AsDate(n.args[0], f);
        } else if (n.kind == NodeKind::Call && !n.args.empty()) {
            if (n.text == "LAG" || n.text == "VALUELABEL") {
                // Compiled from the names they are given, not their values.
                for (uint32_t k = n.first; k < i; ++k) dead_[k] = true;
            } else if ((n.text == "NUMBER" || n.text == "STRING") && n.args.size() == 2) {
                const uint32_t format = n.args[1];
                for (uint32_t k = tree_.nodes[format].first; k <= format; ++k) dead_[k] = true;
            } else if (n.text == "ANY" || n.text == "RANGE") {
                if (const int f = DateFormatOf(n.args[0]))
                    for (size_t k = 1; k < n.args.size(); ++k) AsDate(n.args[k], f);
            } else if (n.text == "MISSING" || n.text == "SYSMIS" || n.text == "VALUE") {
                if (tree_.nodes[n.args[0]].kind == NodeKind::Variable) raw_[n.args[0]] = true;
            } else {
                // A string function sees a variable's value at its full width.
                for (uint32_t a : n.args) padded_[a] = true;
            }
        }
    }

    void Push(Code code, uint32_t arg = 0, double number = 0, uint8_t flags = 0, int pops = 0) {
        out_.program_.push_back({code, flags, arg, number});
        depth_ += 1 - pops;
        if (depth_ > static_cast<int>(out_.stackSize_))
            out_.stackSize_ = static_cast<size_t>(depth_);
    }

    uint32_t Slot(int variable) {
        if (slotOf_[variable] < 0) {
            slotOf_[variable] = static_cast<int>(out_.variables_.size());
            out_.variables_.push_back(variable);
            out_.stringInput_.push_back(vars_[variable]->isString());
            out_.missing_.push_back(vars_[variable]->missingValues);
        }
        return static_cast<uint32_t>(slotOf_[variable]);
    }

    bool Numeric(uint32_t node) const { return types_[node] != Type::Text; }

    // Pushes variable v's value: as stored (raw), or with its user-missing
    // values as missing; a string padded to its width when asked.
    Type Load(int v, bool raw, bool padded) {
        const uint32_t slot = Slot(v);
        if (vars_[v]->isString()) {
            Push(Code::LoadText, slot, padded ? vars_[v]->width : 0);
            return Type::Text;
        }
        Push(raw ? Code::LoadValue : Code::Load, slot);
        return Type::Number;
    }

    void NeedNumbers(const ConditionNode& n, std::initializer_list<uint32_t> args,
                     const Message& what) const {
        for (uint32_t a : args)
            if (!Numeric(a)) throw Failure{n.offset, what};
    }

    void Emit(uint32_t i) {
        const ConditionNode& n = tree_.nodes[i];
        Type& type = types_[i];
        switch (n.kind) {
            case NodeKind::Number:
                Push(Code::Number, 0, n.number);
                type = Type::Number;
                return;
            case NodeKind::String: {
                std::string unencodable;
                std::optional<std::string> bytes = FromUtf8(n.text, encoding_, &unencodable);
                if (!bytes)
                    throw Failure{n.offset, Message{MessageCode::NotEncodable, {unencodable}}};
                Push(Code::Text, static_cast<uint32_t>(out_.literals_.size()));
                out_.literals_.push_back(std::move(*bytes));
                type = Type::Text;
                return;
            }
            case NodeKind::DateText:
                if (n.args.empty())
                    throw Failure{n.offset, Message{MessageCode::NeitherNumberNorDate, {n.text}}};
                type = types_[n.args[0]];
                return;
            case NodeKind::Variable: {
                if (IsAsciiWord(n.text, "$CASENUM")) {
                    out_.readsCasenum_ = true;
                    Push(Code::Casenum);
                    type = Type::Number;
                    return;
                }
                if (IsAsciiWord(n.text, "$SYSMIS")) {
                    Push(Code::Number, 0, kConditionMissing);
                    type = Type::Number;
                    return;
                }
                const int v = Find(n.text);
                if (v < 0) throw Failure{n.offset, Message{MessageCode::UnknownVariable, {n.text}}};
                type = Load(v, raw_[i], padded_[i]);
                return;
            }
            case NodeKind::Range: {
                const int from = Find(n.text);
                if (from < 0)
                    throw Failure{n.offset, Message{MessageCode::UnknownVariable, {n.text}}};
                const int to = Find(n.last);
                if (to < 0)
                    throw Failure{n.lastOffset, Message{MessageCode::UnknownVariable, {n.last}}};
                if (to < from)
                    throw Failure{n.offset, Message{MessageCode::ToOutOfOrder, {n.text, n.last}}};
                for (int v = from; v <= to; ++v)
                    if (vars_[v]->isString() != vars_[from]->isString())
                        throw Failure{n.offset, Message{MessageCode::MixedArguments, {"TO"}}};
                for (int v = from; v <= to; ++v) type = Load(v, false, padded_[i]);
                values_[i] = static_cast<uint32_t>(to - from + 1);
                return;
            }
            case NodeKind::Negate:
                NeedNumbers(n, {n.args[0]}, Message{MessageCode::MinusNeedsNumber});
                Push(Code::Negate, 0, 0, 0, 1);
                type = Type::Number;
                return;
            case NodeKind::Not:
                NeedNumbers(n, {n.args[0]}, Message{MessageCode::NotNeedsCondition});
                Push(Code::Not, 0, 0, types_[n.args[0]] == Type::Number, 1);
                type = Type::Truth;
                return;
            case NodeKind::Binary:
                EmitBinary(n, type);
                return;
            case NodeKind::Call:
                EmitCall(n, type);
                return;
        }
    }

    void EmitBinary(const ConditionNode& n, Type& type) {
        const uint32_t a = n.args[0], b = n.args[1];
        switch (n.op) {
            case BinaryOp::Add:
            case BinaryOp::Sub:
            case BinaryOp::Mul:
            case BinaryOp::Div:
            case BinaryOp::Pow: {
                NeedNumbers(n, {a, b}, Message{MessageCode::StringInArithmetic});
                const Code code = n.op == BinaryOp::Add   ? Code::Add
                                  : n.op == BinaryOp::Sub ? Code::Subtract
                                  : n.op == BinaryOp::Mul ? Code::Multiply
                                  : n.op == BinaryOp::Div ? Code::Divide
                                                          : Code::Power;
                Push(code, 0, 0, 0, 2);
                type = Type::Number;
                return;
            }
            case BinaryOp::And:
            case BinaryOp::Or: {
                NeedNumbers(n, {a, b},
                            Message{MessageCode::LogicNeedsConditions,
                                    {n.op == BinaryOp::And ? "AND" : "OR"}});
                const uint8_t numbers =
                    (types_[a] == Type::Number ? 1 : 0) | (types_[b] == Type::Number ? 2 : 0);
                Push(n.op == BinaryOp::And ? Code::And : Code::Or, 0, 0, numbers, 2);
                type = Type::Truth;
                return;
            }
            default: {
                if (Numeric(a) != Numeric(b))
                    throw Failure{n.offset, Message{MessageCode::StringAndNumber}};
                Push(Numeric(a) ? Code::Compare : Code::CompareText, 0, 0,
                     static_cast<uint8_t>(n.op), 2);
                type = Type::Truth;
                return;
            }
        }
    }

    void Arguments(const ConditionNode& n, bool ok, const Message& how) const {
        if (!ok) throw Failure{n.offset, how};
    }

    void EmitCall(const ConditionNode& n, Type& type) {
        const std::string& f = n.text;
        size_t count = 0;
        for (uint32_t a : n.args) count += values_[a];
        type = Type::Truth;
        if (f == "MISSING" || f == "SYSMIS" || f == "VALUE") {
            Arguments(n, count == 1, Message{MessageCode::OneArgument, {f}});
            const ConditionNode& arg = tree_.nodes[n.args[0]];
            const bool variable = arg.kind == NodeKind::Variable;
            const bool text = types_[n.args[0]] == Type::Text;
            if (f == "VALUE") {
                if (!variable) throw Failure{n.offset, Message{MessageCode::ValueNeedsVariable}};
                type = types_[n.args[0]];
                return;
            }
            if (f == "SYSMIS") {
                if (text) throw Failure{n.offset, Message{MessageCode::SysmisNeedsNumber}};
                Push(Code::Sysmis, 0, 0, 0, 1);
                return;
            }
            if (variable) {
                const uint32_t slot = Slot(Find(arg.text));
                Push(text ? Code::MissingText : Code::Missing, slot, 0, 0, 1);
            } else {
                if (text) throw Failure{n.offset, Message{MessageCode::MissingNeedsArgument}};
                Push(Code::Sysmis, 0, 0, 0, 1);
            }
            return;
        }
        if (f == "ANY" || f == "RANGE") {
            const bool range = f == "RANGE";
            Arguments(n, range ? count >= 3 && count % 2 == 1 : count >= 2,
                      Message{range ? MessageCode::RangeArguments : MessageCode::AnyArguments});
            const bool text = types_[n.args[0]] == Type::Text;
            for (uint32_t a : n.args)
                if ((types_[a] == Type::Text) != text)
                    throw Failure{tree_.nodes[a].offset, Message{MessageCode::MixedArguments, {f}}};
            const uint32_t rest = static_cast<uint32_t>(count - 1);
            Push(range ? Code::Range : Code::Any, range ? rest / 2 : rest, 0, text,
                 static_cast<int>(count));
            return;
        }
        if (f == "LAG") return EmitLag(n, type);
        if (f == "VALUELABEL") {
            const int v = n.args.size() == 1 ? NamedVariable(n.args[0]) : -1;
            if (v < 0) throw Failure{n.offset, Message{MessageCode::ValueLabelNeedsVariable}};
            const uint32_t slot = Slot(v);
            Push(Code::ValueLabel, static_cast<uint32_t>(out_.labelled_.size()), slot);
            out_.labelled_.push_back(*vars_[v]);
            type = Type::Text;
            return;
        }
        if (f == "NUMBER" || f == "STRING") return EmitFormatted(n, type);
        EmitFunction(n, type);
    }

    // The file variable a node names, or -1 when it names none.
    int NamedVariable(uint32_t node) const {
        const ConditionNode& a = tree_.nodes[node];
        return a.kind == NodeKind::Variable ? Find(a.text) : -1;
    }

    // LAG(v) and LAG(v, n): a ring of v's last n values (n at most 1000).
    void EmitLag(const ConditionNode& n, Type& type) {
        const int v = !n.args.empty() && n.args.size() <= 2 ? NamedVariable(n.args[0]) : -1;
        double depth = 1;
        if (n.args.size() == 2) {
            const ConditionNode& back = tree_.nodes[n.args[1]];
            depth = back.kind == NodeKind::Number ? back.number : 0;
        }
        if (v < 0 || depth < 1 || depth > 1000 || depth != std::floor(depth))
            throw Failure{n.offset, Message{MessageCode::LagNeedsVariable}};
        Condition::LagRing ring;
        type = vars_[v]->isString() ? Type::Text : Type::Number;
        ring.slot = Slot(v);
        ring.depth = static_cast<uint32_t>(depth);
        ring.text = vars_[v]->isString();
        if (ring.text)
            ring.texts.resize(ring.depth);
        else
            ring.numbers.resize(ring.depth);
        Push(Code::Lag, static_cast<uint32_t>(out_.lags_.size()),
             ring.text && padded_[&n - tree_.nodes.data()] ? vars_[v]->width : 0);
        out_.lags_.push_back(std::move(ring));
    }

    // NUMBER(s, format) and STRING(x, format); the format written bare
    // (F8.2) or quoted.
    void EmitFormatted(const ConditionNode& n, Type& type) {
        const bool reading = n.text == "NUMBER";
        if (n.args.size() != 2)
            throw Failure{n.offset, Message{MessageCode::FunctionArguments, {n.text}, {2, 2}}};
        if ((types_[n.args[0]] == Type::Text) != reading)
            throw Failure{
                tree_.nodes[n.args[0]].offset,
                Message{reading ? MessageCode::ArgumentNotString : MessageCode::ArgumentNotNumber,
                        {n.text},
                        {1}}};
        const ConditionNode& written = tree_.nodes[n.args[1]];
        std::optional<PrintFormat> format;
        if (written.kind == NodeKind::Variable || written.kind == NodeKind::String)
            format = ParseFormatText(written.text);
        const bool fits = format && (reading ? ReadsNumberInput(format->type)
                                             : CategoryOf(format->type) != FormatCategory::String);
        if (!fits)
            throw Failure{written.offset, Message{MessageCode::FormatArgument,
                                                  {n.text, std::string(tree_.Typed(written))}}};
        const auto index = static_cast<uint32_t>(out_.formats_.size());
        out_.formats_.push_back(*format);
        out_.renders_.emplace_back(reading ? PrintFormat{} : *format, 0);
        Push(reading ? Code::ReadNumber : Code::WriteNumber, index);
        type = reading ? Type::Number : Type::Text;
    }

    // A function of the table: its arguments checked against its
    // signature, a run q1 TO q5 counting as its variables.
    void EmitFunction(const ConditionNode& n, Type& type) {
        const auto [name, suffix] = SplitValidSuffix(n.text);
        const FunctionSignature* f = FindConditionFunction(n.text);
        if (!f && suffix > 0) {
            f = FindConditionFunction(name);
            if (f && f->defaultValid == 0) f = nullptr;
        }
        if (!f)
            throw Failure{n.offset, Message{MessageCode::UnknownFunction,
                                            {n.text, ConditionFunctionNames()}}};
        const std::string_view sig = f->args;
        const size_t bar = sig.find('|');
        const bool repeats = !sig.empty() && sig.back() == '*';
        const std::string_view letters = sig.substr(0, sig.size() - (repeats ? 1 : 0));
        const long long fewest =
            static_cast<long long>(bar == std::string_view::npos ? letters.size() : bar);
        const long long most =
            repeats
                ? -1
                : static_cast<long long>(letters.size() - (bar == std::string_view::npos ? 0 : 1));
        std::vector<uint32_t> values;  // the node of each value pushed
        for (uint32_t a : n.args)
            for (uint32_t k = 0; k < values_[a]; ++k) values.push_back(a);
        const auto count = static_cast<long long>(values.size());
        if (count < fewest || (most >= 0 && count > most))
            throw Failure{n.offset,
                          Message{MessageCode::FunctionArguments, {n.text}, {fewest, most}}};
        const bool text = types_[values[0]] == Type::Text;
        for (size_t k = 0; k < values.size(); ++k) {
            char want = 'n';
            for (size_t at = 0, seen = 0; at < letters.size(); ++at) {
                if (letters[at] == '|') continue;
                want = letters[at];
                if (seen++ == k) break;
            }
            if (want == 'a') want = text ? 's' : 'n';
            const bool isText = types_[values[k]] == Type::Text;
            if (isText != (want == 's'))
                throw Failure{tree_.nodes[values[k]].offset,
                              Message{isText ? MessageCode::ArgumentNotNumber
                                             : MessageCode::ArgumentNotString,
                                      {std::string(f->name)},
                                      {static_cast<long long>(k + 1)}}};
        }
        const int valid = suffix > 0 ? suffix : f->defaultValid;
        if (valid > count)
            throw Failure{
                n.offset,
                Message{MessageCode::ValidCountTooLarge, {std::string(name)}, {valid, count}}};
        if (f->id == ConditionFunction::Datediff || f->id == ConditionFunction::Datesum)
            for (size_t k = 2; k < n.args.size(); ++k) {
                const ConditionNode& unit = tree_.nodes[n.args[k]];
                if (unit.kind != NodeKind::String) continue;
                const bool ok = k == 2 ? DateUnitOf(unit.text) != 0
                                       : IsAsciiWord(unit.text, "CLOSEST") ||
                                             IsAsciiWord(unit.text, "ROLLOVER");
                if (!ok)
                    throw Failure{unit.offset, Message{MessageCode::DateUnitUnknown, {unit.text}}};
            }
        ConditionFunction id = f->id;
        if (text && id == ConditionFunction::Min) id = ConditionFunction::MinText;
        if (text && id == ConditionFunction::Max) id = ConditionFunction::MaxText;
        const bool givesText = f->result == 's' || (f->result == 'a' && text);
        Push(givesText ? Code::CallText : Code::Call, static_cast<uint32_t>(count), valid,
             static_cast<uint8_t>(id), static_cast<int>(count));
        type = givesText ? Type::Text : Type::Number;
    }

    bool anyValue_;
    ConditionTree& tree_;
    std::span<const ConditionVariable> vars_;
    const std::string& encoding_;
    VariableNameIndex names_;
    std::vector<bool> dead_, raw_, padded_;
    std::vector<uint32_t> values_;  // per node: the values it pushes
    std::vector<Type> types_;
    std::vector<int> slotOf_;
    int depth_ = 0;
    Condition out_;
};

namespace {

std::variant<Condition, ConditionError> Compile(std::string_view text,
                                                std::span<const ConditionVariable> variables,
                                                const std::string& encoding, bool anyValue) {
    auto parsed = ParseCondition(text);
    if (auto* error = std::get_if<ConditionError>(&parsed)) return *error;
    ConditionTree& tree = std::get<ConditionTree>(parsed);
    try {
        return ConditionCompiler(tree, variables, encoding, anyValue).Compile();
    } catch (const Failure& failure) {
        return ConditionError{CharacterPosition(text, failure.offset), failure.message};
    }
}

}  // namespace

std::variant<Condition, ConditionError> CompileCondition(
    std::string_view text, std::span<const ConditionVariable> variables,
    const std::string& encoding) {
    return Compile(text, variables, encoding, false);
}

std::variant<Condition, ConditionError> CompileExpression(
    std::string_view text, std::span<const ConditionVariable> variables,
    const std::string& encoding) {
    return Compile(text, variables, encoding, true);
}

std::vector<ConditionVariable> ConditionVariablesOf(const std::vector<VariableFacts>& facts) {
    std::vector<ConditionVariable> out;
    out.reserve(facts.size());
    for (const VariableFacts& f : facts) out.push_back(&f.variable);
    return out;
}

std::vector<ConditionVariable> ConditionVariablesOf(const std::vector<DictVariable>& variables) {
    std::vector<ConditionVariable> out;
    out.reserve(variables.size());
    for (const DictVariable& v : variables) out.push_back(&v);
    return out;
}

}  // namespace lv
