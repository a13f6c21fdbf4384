// The syntax of the condition language, as SELECT IF and COMPUTE write an
// expression: numbers, quoted strings, variable names, ** (power, grouping
// from the left), + - * / and unary minus, = <> ~= < <= > >= (and EQ NE LT
// LE GT GE), AND OR NOT (& | ~), parentheses and function calls, whose
// arguments may name a run of variables (q1 TO q5). Full-width forms typed
// with an input method (＝ ＡＮＤ １ （) read as their ASCII forms outside
// quoted strings. Parsed into a tree whose nodes are stored children first,
// so that their order is a post-order walk: a later pass types and compiles
// it front to back without recursion. Offsets are bytes of the text as
// typed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/condition/condition_error.h"

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
    Variable,  // text: the name as read (full-width forms as ASCII)
    Range,     // an argument q1 TO q5: text the first name, last the other
    Negate,
    Not,
    Binary,
    Call,  // text: the function's name in upper case
};

enum class BinaryOp : uint8_t { Add, Sub, Mul, Div, Pow, Eq, Ne, Lt, Le, Gt, Ge, And, Or };

struct ConditionNode {
    NodeKind kind = NodeKind::Number;
    BinaryOp op = BinaryOp::Add;
    uint32_t offset = 0;  // byte offset of the node's token in the condition
    uint32_t length = 0;  // bytes of that token
    uint32_t first = 0;   // index of the first node of its subtree
    double number = 0;
    std::string text;
    std::vector<uint32_t> args;  // operands, in order
    Message fallbackError;       // DateText without arithmetic: why
    // Range: the last variable's name and where it was typed.
    std::string last;
    uint32_t lastOffset = 0;
};

struct ConditionTree {
    std::string source;
    std::vector<ConditionNode> nodes;  // children before parents; root last

    // The text of a node's token as typed.
    std::string_view Typed(const ConditionNode& n) const {
        return std::string_view(source).substr(n.offset, n.length);
    }
};

std::variant<ConditionTree, ConditionError> ParseCondition(std::string_view text);

// Whether s is the ASCII word upper in any letter case.
bool IsAsciiWord(std::string_view s, const char* upper);

// Whether bytes spell an operator word (AND, OR, NOT, EQ, ..., TO), any case.
bool IsOperatorWord(std::string_view word);

}  // namespace lv
