// Types the parsed condition and writes its program, front to back over the
// nodes (children come before their parents), so that neither a deep nor a
// long condition takes stack.
#include <cctype>
#include <optional>

#include "core/dictionary/variable_name.h"
#include "core/rendering/format_traits.h"
#include "core/selection/condition.h"
#include "core/selection/condition_dates.h"
#include "core/selection/condition_syntax.h"
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

const char* kFunctions = "MISSING, SYSMIS, VALUE, ANY, RANGE, DATE.DMY";

}  // namespace

class ConditionCompiler {
  public:
    ConditionCompiler(ConditionTree& tree, std::span<const ConditionVariable> variables,
                      const std::string& encoding)
        : tree_(tree),
          vars_(variables),
          encoding_(encoding),
          names_(NamesOf(variables), encoding) {}

    Condition Compile() {
        const size_t n = tree_.nodes.size();
        dead_.assign(n, false);
        raw_.assign(n, false);
        types_.assign(n, Type::Number);
        slotOf_.assign(vars_.size(), -1);
        for (size_t i = 0; i < n; ++i) Prepare(static_cast<uint32_t>(i));
        for (size_t i = 0; i < n; ++i)
            if (!dead_[i]) Emit(static_cast<uint32_t>(i));
        if (types_[n - 1] == Type::Text) throw Failure{0, Message{MessageCode::ConditionIsString}};
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
            if (n.text == "ANY" || n.text == "RANGE") {
                if (const int f = DateFormatOf(n.args[0]))
                    for (size_t k = 1; k < n.args.size(); ++k) AsDate(n.args[k], f);
            } else if (n.text == "MISSING" || n.text == "SYSMIS" || n.text == "VALUE") {
                if (tree_.nodes[n.args[0]].kind == NodeKind::Variable) raw_[n.args[0]] = true;
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
                const int v = Find(n.text);
                if (v < 0) throw Failure{n.offset, Message{MessageCode::UnknownVariable, {n.text}}};
                const uint32_t slot = Slot(v);
                if (vars_[v]->isString()) {
                    Push(Code::LoadText, slot);
                    type = Type::Text;
                } else {
                    Push(raw_[i] ? Code::LoadValue : Code::Load, slot);
                    type = Type::Number;
                }
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
            case BinaryOp::Div: {
                NeedNumbers(n, {a, b}, Message{MessageCode::StringInArithmetic});
                const Code code = n.op == BinaryOp::Add   ? Code::Add
                                  : n.op == BinaryOp::Sub ? Code::Subtract
                                  : n.op == BinaryOp::Mul ? Code::Multiply
                                                          : Code::Divide;
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
        const size_t count = n.args.size();
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
        if (f == "DATE.DMY") {
            Arguments(n, count == 3, Message{MessageCode::DateDmyArguments});
            NeedNumbers(n, {n.args[0], n.args[1], n.args[2]},
                        Message{MessageCode::DateDmyNeedsNumbers});
            Push(Code::DateDmy, 0, 0, 0, 3);
            type = Type::Number;
            return;
        }
        throw Failure{n.offset, Message{MessageCode::UnknownFunction, {f, kFunctions}}};
    }

    ConditionTree& tree_;
    std::span<const ConditionVariable> vars_;
    const std::string& encoding_;
    VariableNameIndex names_;
    std::vector<bool> dead_, raw_;
    std::vector<Type> types_;
    std::vector<int> slotOf_;
    int depth_ = 0;
    Condition out_;
};

std::variant<Condition, ConditionError> CompileCondition(
    std::string_view text, std::span<const ConditionVariable> variables,
    const std::string& encoding) {
    auto parsed = ParseCondition(text);
    if (auto* error = std::get_if<ConditionError>(&parsed)) return *error;
    ConditionTree& tree = std::get<ConditionTree>(parsed);
    try {
        return ConditionCompiler(tree, variables, encoding).Compile();
    } catch (const Failure& failure) {
        return ConditionError{CharacterPosition(text, failure.offset), failure.message};
    }
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
