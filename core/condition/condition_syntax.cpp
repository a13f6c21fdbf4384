#include "core/condition/condition_syntax.h"

#include <cctype>
#include <cstdlib>

#include "core/text/half_width.h"

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
    Power,
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
    To,
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

bool NameStart(unsigned char c) {
    return std::isalpha(c) || c == '@' || c == '#' || c == '$' || c >= 0x80;
}
bool NameChar(unsigned char c) {
    return NameStart(c) || std::isdigit(c) || c == '.' || c == '_';
}
bool DateRunChar(unsigned char c) {
    return std::isalnum(c) || c == '/' || c == '-' || c == ':' || c == '.';
}
bool Digit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// The characters of a condition one unit at a time: a full-width form as
// the ASCII character it stands for, any other byte as itself.
struct Unit {
    char c = '\0';
    size_t length = 0;  // 0 at the end
};

class Lexer {
  public:
    // plainNumbers: numbers end where their digits end (the arithmetic of
    // a date-like run).
    Lexer(std::string_view text, bool plainNumbers) : s_(text), plainNumbers_(plainNumbers) {}

    Token Next() {
        while (At(pos_).length && std::isspace(static_cast<unsigned char>(At(pos_).c)))
            pos_ += At(pos_).length;
        Token t;
        t.offset = pos_;
        const Unit u = At(pos_);
        if (!u.length) {
            t.end = pos_;
            return t;
        }
        const auto c = static_cast<unsigned char>(u.c);
        if (std::isdigit(c) || (c == '.' && Digit(At(pos_ + u.length).c))) {
            LexNumber(t);
        } else if (c == '\'' || c == '"') {
            LexString(t, u);
        } else if (NameStart(c)) {
            size_t end = pos_;
            std::string name;
            for (Unit n = At(end); n.length && NameChar(static_cast<unsigned char>(n.c));
                 n = At(end)) {
                name.push_back(n.c);
                end += n.length;
            }
            // A name does not end in a period: that is the end of a command.
            while (name.size() > 1 && name.back() == '.') {
                name.pop_back();
                end -= Before(end).length;
            }
            t.text = std::move(name);
            pos_ = end;
            t.kind = IsAsciiWord(t.text, "AND")   ? Tok::And
                     : IsAsciiWord(t.text, "OR")  ? Tok::Or
                     : IsAsciiWord(t.text, "NOT") ? Tok::Not
                     : IsAsciiWord(t.text, "EQ")  ? Tok::Eq
                     : IsAsciiWord(t.text, "NE")  ? Tok::Ne
                     : IsAsciiWord(t.text, "LT")  ? Tok::Lt
                     : IsAsciiWord(t.text, "LE")  ? Tok::Le
                     : IsAsciiWord(t.text, "GT")  ? Tok::Gt
                     : IsAsciiWord(t.text, "GE")  ? Tok::Ge
                     : IsAsciiWord(t.text, "TO")  ? Tok::To
                                                  : Tok::Name;
        } else {
            LexSymbol(t, u);
        }
        t.end = pos_;
        return t;
    }

  private:
    Unit At(size_t i) const {
        if (i >= s_.size()) return {};
        char ascii;
        if (const size_t n = FullWidthFormAt(s_, i, &ascii)) return {ascii, n};
        return {s_[i], 1};
    }
    // The unit that ends at i (a name's last period).
    Unit Before(size_t i) const {
        if (i >= 3) {
            char ascii;
            if (FullWidthFormAt(s_, i - 3, &ascii)) return {ascii, 3};
        }
        return {s_[i - 1], 1};
    }

    // Reads units while keep says so, appending them to text.
    template <typename Keep>
    size_t Take(size_t from, std::string& text, Keep keep) const {
        for (Unit u = At(from); u.length && keep(u.c); u = At(from)) {
            text.push_back(u.c);
            from += u.length;
        }
        return from;
    }

    void LexNumber(Token& t) {
        std::string number;
        size_t end = Take(pos_, number, Digit);
        if (At(end).c == '.') {
            number.push_back('.');
            end = Take(end + At(end).length, number, Digit);
        }
        if (const Unit e = At(end); e.c == 'e' || e.c == 'E') {
            std::string exponent(1, 'e');
            size_t at = end + e.length;
            if (const Unit sign = At(at); sign.c == '+' || sign.c == '-') {
                exponent.push_back(sign.c);
                at += sign.length;
            }
            if (Digit(At(at).c)) {
                end = Take(at, exponent, Digit);
                number += exponent;
            }
        }
        // A number run together with more (1990/01/31, 01-JAN-1990, 12:30)
        // is a date-like run, decided on once its neighbour is known.
        std::string run = number;
        size_t runEnd =
            Take(end, run, [](char c) { return DateRunChar(static_cast<unsigned char>(c)); });
        while (runEnd > end && run.back() == '.') {
            run.pop_back();
            runEnd -= Before(runEnd).length;
        }
        if (runEnd > end && !plainNumbers_) {
            t.kind = Tok::DateText;
            t.text = std::move(run);
            pos_ = runEnd;
            return;
        }
        t.kind = Tok::Number;
        t.number = std::strtod(number.c_str(), nullptr);
        pos_ = end;
    }

    // A string closes with the quote that opened it, as typed (a full-width
    // quote with a full-width one); its bytes are kept as typed.
    void LexString(Token& t, Unit open) {
        const std::string_view quote = s_.substr(pos_, open.length);
        size_t i = pos_ + open.length;
        for (;;) {
            if (i >= s_.size())
                throw SyntaxFailure{pos_,
                                    Message{MessageCode::UnclosedString, {std::string(quote)}}};
            if (s_.substr(i, quote.size()) == quote) {
                if (s_.substr(i + quote.size(), quote.size()) == quote) {
                    t.text += quote;
                    i += 2 * quote.size();
                    continue;
                }
                break;
            }
            t.text.push_back(s_[i++]);
        }
        t.kind = Tok::String;
        pos_ = i + quote.size();
    }

    void LexSymbol(Token& t, Unit u) {
        const Unit next = At(pos_ + u.length);
        const char d = next.c;
        size_t length = u.length;
        switch (u.c) {
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
                t.kind = d == '*' ? Tok::Power : Tok::Star;
                if (d == '*') length += next.length;
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
                if (d == '=' || d == '>') length += next.length;
                break;
            case '>':
                t.kind = d == '=' ? Tok::Ge : Tok::Gt;
                if (d == '=') length += next.length;
                break;
            case '~':
            case '!':
                t.kind = d == '=' ? Tok::Ne : Tok::Not;
                if (d == '=') length += next.length;
                if (u.c == '!' && d != '=')
                    throw SyntaxFailure{pos_, Message{MessageCode::CharacterNotAllowed,
                                                      {std::string(s_.substr(pos_, u.length))}}};
                break;
            default: {
                const auto c = static_cast<unsigned char>(u.c);
                if (c < 0x20 || c == 0x7F)
                    throw SyntaxFailure{pos_, Message{MessageCode::ControlCharacter, {}, {c}}};
                throw SyntaxFailure{pos_, Message{MessageCode::CharacterNotAllowed,
                                                  {std::string(s_.substr(pos_, u.length))}}};
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

    uint32_t Add(ConditionNode node, const Token& at, uint32_t first) {
        node.offset = static_cast<uint32_t>(base_ + at.offset);
        node.length = static_cast<uint32_t>(at.end - at.offset);
        node.first = first;
        tree_.nodes.push_back(std::move(node));
        return static_cast<uint32_t>(tree_.nodes.size() - 1);
    }
    uint32_t Binary(BinaryOp op, uint32_t left, uint32_t right, const Token& at) {
        ConditionNode n;
        n.kind = NodeKind::Binary;
        n.op = op;
        n.args = {left, right};
        return Add(std::move(n), at, tree_.nodes[left].first);
    }
    uint32_t Unary(NodeKind kind, uint32_t operand, const Token& at) {
        ConditionNode n;
        n.kind = kind;
        n.args = {operand};
        return Add(std::move(n), at, tree_.nodes[operand].first);
    }

    uint32_t ParseOr() {
        uint32_t left = ParseAnd();
        while (tok_.kind == Tok::Or) {
            const Token at = tok_;
            Advance();
            left = Binary(BinaryOp::Or, left, ParseAnd(), at);
        }
        return left;
    }
    uint32_t ParseAnd() {
        uint32_t left = ParseNot();
        while (tok_.kind == Tok::And) {
            const Token at = tok_;
            Advance();
            left = Binary(BinaryOp::And, left, ParseNot(), at);
        }
        return left;
    }
    // NOT NOT ... as a loop, so that a long run of them takes no stack.
    uint32_t ParseNot() {
        std::vector<Token> nots;
        while (tok_.kind == Tok::Not) {
            nots.push_back(tok_);
            Advance();
        }
        uint32_t node = ParseRelation();
        for (size_t k = nots.size(); k-- > 0;) node = Unary(NodeKind::Not, node, nots[k]);
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
            const Token at = tok_;
            Advance();
            left = Binary(op, left, ParseSum(), at);
        }
    }
    uint32_t ParseSum() {
        uint32_t left = ParseProduct();
        while (tok_.kind == Tok::Plus || tok_.kind == Tok::Minus) {
            const BinaryOp op = tok_.kind == Tok::Plus ? BinaryOp::Add : BinaryOp::Sub;
            const Token at = tok_;
            Advance();
            left = Binary(op, left, ParseProduct(), at);
        }
        return left;
    }
    uint32_t ParseProduct() {
        uint32_t left = ParseUnary();
        while (tok_.kind == Tok::Star || tok_.kind == Tok::Slash) {
            const BinaryOp op = tok_.kind == Tok::Star ? BinaryOp::Mul : BinaryOp::Div;
            const Token at = tok_;
            Advance();
            left = Binary(op, left, ParseUnary(), at);
        }
        return left;
    }

    // Signs before an operand: the minuses, in order.
    std::vector<Token> Signs() {
        std::vector<Token> minuses;
        while (tok_.kind == Tok::Minus || tok_.kind == Tok::Plus) {
            if (tok_.kind == Tok::Minus) minuses.push_back(tok_);
            Advance();
        }
        return minuses;
    }
    uint32_t Negated(uint32_t node, const std::vector<Token>& minuses) {
        for (size_t k = minuses.size(); k-- > 0;) node = Unary(NodeKind::Negate, node, minuses[k]);
        return node;
    }

    // Unary minus binds less tightly than **: -2 ** 2 is -4.
    uint32_t ParseUnary() {
        const std::vector<Token> minuses = Signs();
        return Negated(ParsePower(), minuses);
    }

    // a ** b ** c is (a ** b) ** c, as SPSS reads it; an exponent may
    // carry its own signs (2 ** -1).
    uint32_t ParsePower() {
        uint32_t left = ParsePrimary();
        while (tok_.kind == Tok::Power) {
            const Token at = tok_;
            Advance();
            const std::vector<Token> minuses = Signs();
            left = Binary(BinaryOp::Pow, left, Negated(ParsePrimary(), minuses), at);
        }
        return left;
    }

    void Enter() {
        if (++depth_ > kMaxConditionNesting)
            throw SyntaxFailure{base_ + tok_.offset,
                                Message{MessageCode::ConditionTooDeep, {}, {kMaxConditionNesting}}};
    }

    uint32_t ParsePrimary() {
        const auto first = static_cast<uint32_t>(tree_.nodes.size());
        const Token t = tok_;
        switch (t.kind) {
            case Tok::Number: {
                Advance();
                ConditionNode n;
                n.number = t.number;
                return Add(std::move(n), t, first);
            }
            case Tok::String: {
                Advance();
                ConditionNode n;
                n.kind = NodeKind::String;
                n.text = t.text;
                return Add(std::move(n), t, first);
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
                    return Add(std::move(n), t, first);
                }
                return Call(t, first);
            }
            default:
                Expected(MessageCode::ExpectedOperand);
        }
    }

    uint32_t Call(const Token& name, uint32_t first) {
        Enter();
        Advance();
        ConditionNode call;
        call.kind = NodeKind::Call;
        for (char ch : name.text)
            call.text.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(ch))));
        if (tok_.kind != Tok::RParen) {
            call.args.push_back(Argument());
            while (tok_.kind == Tok::Comma) {
                Advance();
                call.args.push_back(Argument());
            }
        }
        if (tok_.kind != Tok::RParen) Expected(MessageCode::ExpectedCommaOrParen);
        Advance();
        --depth_;
        return Add(std::move(call), name, first);
    }

    // An argument: an expression, or a run of variables first TO last.
    uint32_t Argument() {
        const uint32_t arg = ParseOr();
        if (tok_.kind != Tok::To) return arg;
        ConditionNode& from = tree_.nodes[arg];
        if (from.kind != NodeKind::Variable)
            throw SyntaxFailure{base_ + tok_.offset, Message{MessageCode::ToNeedsNames}};
        Advance();
        if (tok_.kind != Tok::Name) Expected(MessageCode::ExpectedVariableAfterTo);
        from.kind = NodeKind::Range;
        from.last = tok_.text;
        from.lastOffset = static_cast<uint32_t>(base_ + tok_.offset);
        Advance();
        return arg;
    }

    // The run's arithmetic, parsed from its own text; kept beside it so that
    // the compiler can take either.
    uint32_t DateText(const Token& t, uint32_t first) {
        ConditionNode n;
        n.kind = NodeKind::DateText;
        n.text = t.text;
        const size_t mark = tree_.nodes.size();
        try {
            Parser inner(text_.substr(t.offset, t.end - t.offset), base_ + t.offset, tree_, true);
            inner.depth_ = depth_;
            n.args = {inner.Whole()};
        } catch (const SyntaxFailure& failure) {
            tree_.nodes.resize(mark);
            n.fallbackError = failure.message;
        }
        return Add(std::move(n), t, first);
    }

    std::string_view text_;
    size_t base_;
    Lexer lexer_;
    ConditionTree& tree_;
    Token tok_;
    int depth_ = 0;
};

}  // namespace

bool IsAsciiWord(std::string_view s, const char* upper) {
    size_t i = 0;
    for (; upper[i]; ++i)
        if (i >= s.size() || std::toupper(static_cast<unsigned char>(s[i])) != upper[i])
            return false;
    return i == s.size();
}

bool IsOperatorWord(std::string_view w) {
    for (const char* word : {"AND", "OR", "NOT", "EQ", "NE", "LT", "LE", "GT", "GE", "TO"})
        if (IsAsciiWord(w, word)) return true;
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
