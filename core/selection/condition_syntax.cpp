#include "core/selection/condition_syntax.h"

#include <cctype>
#include <charconv>
#include <cstdlib>
#include <optional>

namespace lv {
namespace {

enum class Tok : uint8_t {
    End,
    Number,
    DateText,
    String,
    Name,
    LParen,
    RParen,
    Comma,
    Plus,
    Minus,
    Star,
    Slash,
    Eq,
    Ne,
    Lt,
    Le,
    Gt,
    Ge,
    And,
    Or,
    Not,
};

struct Token {
    Tok kind = Tok::End;
    size_t offset = 0, end = 0;
    double number = 0;
    std::string text;  // String: the value; Name: the name; DateText: the run
};

struct SyntaxFailure {
    size_t offset;
    Message message;
};

bool Ascii(std::string_view s, const char* upper) {
    size_t i = 0;
    for (; upper[i]; ++i)
        if (i >= s.size() || std::toupper(static_cast<unsigned char>(s[i])) != upper[i])
            return false;
    return i == s.size();
}

bool NameStart(unsigned char c) {
    return std::isalpha(c) || c == '@' || c == '#' || c == '$' || c >= 0x80;
}
bool NameChar(unsigned char c) {
    return NameStart(c) || std::isdigit(c) || c == '.' || c == '_';
}
bool DateRunChar(unsigned char c) {
    return std::isalnum(c) || c == '/' || c == '-' || c == ':' || c == '.';
}

class Lexer {
  public:
    // plainNumbers: numbers end where their digits end (the arithmetic of
    // a date-like run).
    Lexer(std::string_view text, bool plainNumbers) : s_(text), plainNumbers_(plainNumbers) {}

    Token Next() {
        while (pos_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[pos_]))) ++pos_;
        Token t;
        t.offset = pos_;
        if (pos_ >= s_.size()) {
            t.end = pos_;
            return t;
        }
        const unsigned char c = static_cast<unsigned char>(s_[pos_]);
        if (std::isdigit(c) || (c == '.' && pos_ + 1 < s_.size() &&
                                std::isdigit(static_cast<unsigned char>(s_[pos_ + 1])))) {
            LexNumber(t);
        } else if (c == '\'' || c == '"') {
            LexString(t, static_cast<char>(c));
        } else if (NameStart(c)) {
            size_t end = pos_;
            while (end < s_.size() && NameChar(static_cast<unsigned char>(s_[end]))) ++end;
            // A name does not end in a period: that is the end of a command.
            while (end > pos_ + 1 && s_[end - 1] == '.') --end;
            t.text = std::string(s_.substr(pos_, end - pos_));
            pos_ = end;
            t.kind = Ascii(t.text, "AND")   ? Tok::And
                     : Ascii(t.text, "OR")  ? Tok::Or
                     : Ascii(t.text, "NOT") ? Tok::Not
                     : Ascii(t.text, "EQ")  ? Tok::Eq
                     : Ascii(t.text, "NE")  ? Tok::Ne
                     : Ascii(t.text, "LT")  ? Tok::Lt
                     : Ascii(t.text, "LE")  ? Tok::Le
                     : Ascii(t.text, "GT")  ? Tok::Gt
                     : Ascii(t.text, "GE")  ? Tok::Ge
                                            : Tok::Name;
        } else {
            LexSymbol(t, static_cast<char>(c));
        }
        t.end = pos_;
        return t;
    }

  private:
    void LexNumber(Token& t) {
        size_t end = pos_;
        auto digits = [&] {
            while (end < s_.size() && std::isdigit(static_cast<unsigned char>(s_[end]))) ++end;
        };
        digits();
        if (end < s_.size() && s_[end] == '.') {
            ++end;
            digits();
        }
        if (end < s_.size() && (s_[end] == 'e' || s_[end] == 'E')) {
            size_t e = end + 1;
            if (e < s_.size() && (s_[e] == '+' || s_[e] == '-')) ++e;
            if (e < s_.size() && std::isdigit(static_cast<unsigned char>(s_[e]))) {
                end = e;
                digits();
            }
        }
        // A number run together with more (1990/01/31, 01-JAN-1990, 12:30)
        // is a date-like run, decided on once its neighbour is known.
        size_t run = end;
        while (run < s_.size() && DateRunChar(static_cast<unsigned char>(s_[run]))) ++run;
        while (run > end && s_[run - 1] == '.') --run;
        if (run > end && !plainNumbers_) {
            t.kind = Tok::DateText;
            t.text = std::string(s_.substr(pos_, run - pos_));
            pos_ = run;
            return;
        }
        const std::string number(s_.substr(pos_, end - pos_));
        t.kind = Tok::Number;
        t.number = std::strtod(number.c_str(), nullptr);
        pos_ = end;
    }

    void LexString(Token& t, char quote) {
        size_t i = pos_ + 1;
        for (;;) {
            if (i >= s_.size())
                throw SyntaxFailure{pos_,
                                    Message{MessageCode::UnclosedString, {std::string(1, quote)}}};
            if (s_[i] == quote) {
                if (i + 1 < s_.size() && s_[i + 1] == quote) {
                    t.text.push_back(quote);
                    i += 2;
                    continue;
                }
                break;
            }
            t.text.push_back(s_[i++]);
        }
        t.kind = Tok::String;
        pos_ = i + 1;
    }

    void LexSymbol(Token& t, char c) {
        const char d = pos_ + 1 < s_.size() ? s_[pos_ + 1] : '\0';
        size_t length = 1;
        switch (c) {
            case '(':
                t.kind = Tok::LParen;
                break;
            case ')':
                t.kind = Tok::RParen;
                break;
            case ',':
                t.kind = Tok::Comma;
                break;
            case '+':
                t.kind = Tok::Plus;
                break;
            case '-':
                t.kind = Tok::Minus;
                break;
            case '*':
                t.kind = Tok::Star;
                break;
            case '/':
                t.kind = Tok::Slash;
                break;
            case '=':
                t.kind = Tok::Eq;
                break;
            case '&':
                t.kind = Tok::And;
                break;
            case '|':
                t.kind = Tok::Or;
                break;
            case '<':
                t.kind = d == '=' ? Tok::Le : d == '>' ? Tok::Ne : Tok::Lt;
                length = d == '=' || d == '>' ? 2 : 1;
                break;
            case '>':
                t.kind = d == '=' ? Tok::Ge : Tok::Gt;
                length = d == '=' ? 2 : 1;
                break;
            case '~':
            case '!':
                t.kind = d == '=' ? Tok::Ne : Tok::Not;
                length = d == '=' ? 2 : 1;
                if (c == '!' && d != '=')
                    throw SyntaxFailure{pos_, Message{MessageCode::CharacterNotAllowed, {"!"}}};
                break;
            default: {
                if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
                    throw SyntaxFailure{pos_, Message{MessageCode::ControlCharacter,
                                                      {},
                                                      {static_cast<unsigned char>(c)}}};
                throw SyntaxFailure{pos_,
                                    Message{MessageCode::CharacterNotAllowed, {std::string(1, c)}}};
            }
        }
        pos_ += length;
    }

    std::string_view s_;
    bool plainNumbers_;
    size_t pos_ = 0;
};

class Parser {
  public:
    Parser(std::string_view text, size_t base, ConditionTree& tree, bool plainNumbers = false)
        : text_(text), base_(base), lexer_(text, plainNumbers), tree_(tree) {
        Advance();
    }

    uint32_t Whole() {
        const uint32_t root = ParseOr();
        if (tok_.kind != Tok::End) Expected(MessageCode::ExpectedOperatorOrEnd);
        return root;
    }

  private:
    void Advance() { tok_ = lexer_.Next(); }

    // What was expected, with the token found (none at the end).
    [[noreturn]] void Expected(MessageCode what) {
        const std::string found(text_.substr(tok_.offset, tok_.end - tok_.offset));
        throw SyntaxFailure{base_ + tok_.offset, Message{what, {found}}};
    }

    uint32_t Add(ConditionNode node, size_t offset, uint32_t first) {
        node.offset = static_cast<uint32_t>(base_ + offset);
        node.first = first;
        tree_.nodes.push_back(std::move(node));
        return static_cast<uint32_t>(tree_.nodes.size() - 1);
    }
    uint32_t Binary(BinaryOp op, uint32_t left, uint32_t right, size_t offset) {
        ConditionNode n;
        n.kind = NodeKind::Binary;
        n.op = op;
        n.args = {left, right};
        return Add(std::move(n), offset, tree_.nodes[left].first);
    }

    uint32_t ParseOr() {
        uint32_t left = ParseAnd();
        while (tok_.kind == Tok::Or) {
            const size_t at = tok_.offset;
            Advance();
            left = Binary(BinaryOp::Or, left, ParseAnd(), at);
        }
        return left;
    }
    uint32_t ParseAnd() {
        uint32_t left = ParseNot();
        while (tok_.kind == Tok::And) {
            const size_t at = tok_.offset;
            Advance();
            left = Binary(BinaryOp::And, left, ParseNot(), at);
        }
        return left;
    }
    // NOT NOT ... as a loop, so that a long run of them takes no stack.
    uint32_t ParseNot() {
        std::vector<size_t> nots;
        while (tok_.kind == Tok::Not) {
            nots.push_back(tok_.offset);
            Advance();
        }
        uint32_t node = ParseRelation();
        for (size_t k = nots.size(); k-- > 0;) {
            ConditionNode n;
            n.kind = NodeKind::Not;
            n.args = {node};
            node = Add(std::move(n), nots[k], tree_.nodes[node].first);
        }
        return node;
    }
    uint32_t ParseRelation() {
        uint32_t left = ParseSum();
        for (;;) {
            BinaryOp op;
            switch (tok_.kind) {
                case Tok::Eq:
                    op = BinaryOp::Eq;
                    break;
                case Tok::Ne:
                    op = BinaryOp::Ne;
                    break;
                case Tok::Lt:
                    op = BinaryOp::Lt;
                    break;
                case Tok::Le:
                    op = BinaryOp::Le;
                    break;
                case Tok::Gt:
                    op = BinaryOp::Gt;
                    break;
                case Tok::Ge:
                    op = BinaryOp::Ge;
                    break;
                default:
                    return left;
            }
            const size_t at = tok_.offset;
            Advance();
            left = Binary(op, left, ParseSum(), at);
        }
    }
    uint32_t ParseSum() {
        uint32_t left = ParseProduct();
        while (tok_.kind == Tok::Plus || tok_.kind == Tok::Minus) {
            const BinaryOp op = tok_.kind == Tok::Plus ? BinaryOp::Add : BinaryOp::Sub;
            const size_t at = tok_.offset;
            Advance();
            left = Binary(op, left, ParseProduct(), at);
        }
        return left;
    }
    uint32_t ParseProduct() {
        uint32_t left = ParseUnary();
        while (tok_.kind == Tok::Star || tok_.kind == Tok::Slash) {
            const BinaryOp op = tok_.kind == Tok::Star ? BinaryOp::Mul : BinaryOp::Div;
            const size_t at = tok_.offset;
            Advance();
            left = Binary(op, left, ParseUnary(), at);
        }
        return left;
    }
    uint32_t ParseUnary() {
        std::vector<size_t> minuses;
        while (tok_.kind == Tok::Minus || tok_.kind == Tok::Plus) {
            if (tok_.kind == Tok::Minus) minuses.push_back(tok_.offset);
            Advance();
        }
        uint32_t node = ParsePrimary();
        for (size_t k = minuses.size(); k-- > 0;) {
            ConditionNode n;
            n.kind = NodeKind::Negate;
            n.args = {node};
            node = Add(std::move(n), minuses[k], tree_.nodes[node].first);
        }
        return node;
    }

    void Enter() {
        if (++depth_ > kMaxConditionNesting)
            throw SyntaxFailure{base_ + tok_.offset,
                                Message{MessageCode::ConditionTooDeep, {}, {kMaxConditionNesting}}};
    }

    uint32_t ParsePrimary() {
        const uint32_t first = static_cast<uint32_t>(tree_.nodes.size());
        const Token t = tok_;
        switch (t.kind) {
            case Tok::Number: {
                Advance();
                ConditionNode n;
                n.number = t.number;
                return Add(std::move(n), t.offset, first);
            }
            case Tok::String: {
                Advance();
                ConditionNode n;
                n.kind = NodeKind::String;
                n.text = t.text;
                return Add(std::move(n), t.offset, first);
            }
            case Tok::DateText:
                Advance();
                return DateText(t, first);
            case Tok::LParen: {
                Enter();
                Advance();
                const uint32_t inner = ParseOr();
                if (tok_.kind != Tok::RParen) Expected(MessageCode::ExpectedCloseParen);
                Advance();
                --depth_;
                return inner;
            }
            case Tok::Name: {
                Advance();
                if (tok_.kind != Tok::LParen) {
                    ConditionNode n;
                    n.kind = NodeKind::Variable;
                    n.text = t.text;
                    return Add(std::move(n), t.offset, first);
                }
                Enter();
                Advance();
                ConditionNode call;
                call.kind = NodeKind::Call;
                for (char ch : t.text)
                    call.text.push_back(
                        static_cast<char>(std::toupper(static_cast<unsigned char>(ch))));
                if (tok_.kind != Tok::RParen) {
                    call.args.push_back(ParseOr());
                    while (tok_.kind == Tok::Comma) {
                        Advance();
                        call.args.push_back(ParseOr());
                    }
                }
                if (tok_.kind != Tok::RParen) Expected(MessageCode::ExpectedCommaOrParen);
                Advance();
                --depth_;
                return Add(std::move(call), t.offset, first);
            }
            default:
                Expected(MessageCode::ExpectedOperand);
        }
    }

    // The run's arithmetic, parsed from its own text; kept beside it so that
    // the compiler can take either.
    uint32_t DateText(const Token& t, uint32_t first) {
        ConditionNode n;
        n.kind = NodeKind::DateText;
        n.text = t.text;
        const size_t mark = tree_.nodes.size();
        try {
            Parser inner(t.text, base_ + t.offset, tree_, true);
            inner.depth_ = depth_;
            n.args = {inner.Whole()};
        } catch (const SyntaxFailure& failure) {
            tree_.nodes.resize(mark);
            n.fallbackError = failure.message;
        }
        return Add(std::move(n), t.offset, first);
    }

    std::string_view text_;
    size_t base_;
    Lexer lexer_;
    ConditionTree& tree_;
    Token tok_;
    int depth_ = 0;
};

}  // namespace

bool IsOperatorWord(std::string_view w) {
    for (const char* word : {"AND", "OR", "NOT", "EQ", "NE", "LT", "LE", "GT", "GE"})
        if (Ascii(w, word)) return true;
    return false;
}

std::variant<ConditionTree, ConditionError> ParseCondition(std::string_view text) {
    if (text.size() > kMaxConditionBytes)
        return ConditionError{1, Message{MessageCode::ConditionTooLong,
                                         {},
                                         {static_cast<long long>(kMaxConditionBytes)}}};
    ConditionTree tree;
    tree.source = std::string(text);
    try {
        Parser parser(tree.source, 0, tree);
        parser.Whole();
    } catch (const SyntaxFailure& failure) {
        return ConditionError{CharacterPosition(text, failure.offset), failure.message};
    }
    return tree;
}

}  // namespace lv
