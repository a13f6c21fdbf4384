// The syntax of a case-selection condition, as SELECT IF writes one:
// numbers, quoted strings, variable names, + - * / and unary minus,
// = <> ~= < <= > >= (and EQ NE LT LE GT GE), AND OR NOT (& | ~),
// parentheses and function calls. Parsed into a tree whose nodes are
// stored children first, so that their order is a post-order walk: a later
// pass types and compiles it front to back without recursion.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/selection/condition_error.h"

namespace lv {

// Longest condition accepted, in bytes, and deepest nesting of parentheses
// and function calls.
inline constexpr size_t kMaxConditionBytes = 65536;
inline constexpr int kMaxConditionNesting = 100;

enum class NodeKind : uint8_t {
    Number,
    String,    // a quoted string (text: its bytes, UTF-8)
    DateText,  // digits run together with / - : . or letters, such as
               // 1990/01/31: a date beside a date variable, otherwise
               // the arithmetic it spells (args[0], when it parses)
    Variable,  // text: the name as written
    Negate,
    Not,
    Binary,
    Call,  // text: the function's name in upper case
};

enum class BinaryOp : uint8_t { Add, Sub, Mul, Div, Eq, Ne, Lt, Le, Gt, Ge, And, Or };

struct ConditionNode {
    NodeKind kind = NodeKind::Number;
    BinaryOp op = BinaryOp::Add;
    uint32_t offset = 0;  // byte offset of the node's token in the condition
    uint32_t first = 0;   // index of the first node of its subtree
    double number = 0;
    std::string text;
    std::vector<uint32_t> args;  // operands, in order
    Message fallbackError;       // DateText without arithmetic: why
};

struct ConditionTree {
    std::string source;
    std::vector<ConditionNode> nodes;  // children before parents; root last
};

std::variant<ConditionTree, ConditionError> ParseCondition(std::string_view text);

// Whether bytes spell an operator word (AND, OR, NOT, EQ, ...), any case.
bool IsOperatorWord(std::string_view word);

}  // namespace lv
