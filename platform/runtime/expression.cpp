// Parsing of expressions into postfix code, and its evaluation.
#include "platform/runtime/expression.h"

#include <algorithm>
#include <array>

#include "platform/runtime/clock.h"
#include "platform/runtime/codepage.h"
#include "platform/runtime/expression_ops.h"
#include "platform/runtime/expression_slot.h"
#include "platform/runtime/expression_tokens.h"

namespace rt {
namespace {

enum class Op : std::uint8_t {
    Const, Name, Today, Clip, Upper,
    Plus, Neg, Not,
    Add, Sub, Mul, Div, Concat,
    Eq, Ne, Lt, Le, Gt, Ge,
    And, Or,
};

using detail::Tok;
using detail::Token;

// Parentheses, unary operators and function arguments nest this deep at most: the parser
// recurses on them, and garbage text must not exhaust a thread's stack.
constexpr int kMaxNesting = 100;

bool IsNameStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsNameChar(char c) { return IsNameStart(c) || (c >= '0' && c <= '9'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

struct Function {
    std::string_view name;
    Op op;
    int arity;
};
constexpr std::array<Function, 3> kFunctions{{
    {"TODAY", Op::Today, 0},
    {"CLIP", Op::Clip, 1},
    {"UPPER", Op::Upper, 1},
}};

const Function* FindFunction(std::string_view name) {
    for (const auto& f : kFunctions)
        if (compareNoCase(f.name, name) == 0 && name.size() == f.name.size()) return &f;
    return nullptr;
}

struct CompileError {
    std::string what;
    std::size_t pos;
};

}  // namespace

namespace detail {
namespace {

bool keyword(std::string_view word, std::string_view kw) { return word.size() == kw.size() && compareNoCase(word, kw) == 0; }

}  // namespace

std::variant<std::vector<Token>, LexError> Lex(std::string_view src) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    const std::size_t n = src.size();
    auto add = [&](Tok k, std::size_t pos, std::size_t len) {
        tokens.push_back(Token{k, pos, src.substr(pos, len), {}});
    };
    while (i < n) {
        const char c = src[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        const char next = i + 1 < n ? src[i + 1] : '\0';
        if (IsDigit(c) || (c == '.' && IsDigit(next))) {
            std::size_t j = i;
            while (j < n && IsDigit(src[j])) ++j;
            if (j < n && src[j] == '.') {
                ++j;
                while (j < n && IsDigit(src[j])) ++j;
            }
            if (j < n && IsNameChar(src[j])) return LexError{"malformed number", i};
            add(Tok::Number, i, j - i);
            i = j;
        } else if (IsNameStart(c)) {
            std::size_t j = i;
            while (j < n && IsNameChar(src[j])) ++j;
            if (j < n && src[j] == ':') {  // prefix:name
                ++j;
                if (j >= n || !IsNameChar(src[j])) return LexError{"incomplete name", i};
                while (j < n && IsNameChar(src[j])) ++j;
                add(Tok::Name, i, j - i);
            } else {
                const std::string_view word = src.substr(i, j - i);
                Tok k = Tok::Name;
                if (keyword(word, "AND")) k = Tok::And;
                else if (keyword(word, "OR")) k = Tok::Or;
                else if (keyword(word, "NOT")) k = Tok::Not;
                add(k, i, j - i);
            }
            i = j;
        } else if (c == '\'') {
            std::string value;
            std::size_t j = i + 1;
            for (;;) {
                if (j >= n) return LexError{"text not closed by a quote", i};
                if (src[j] == '\'') {
                    if (j + 1 < n && src[j + 1] == '\'') {
                        value += '\'';
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                value += src[j++];
            }
            add(Tok::Text, i, j - i);
            tokens.back().value = std::move(value);
            i = j;
        } else {
            // Two-character operators first: <= =< >= => <> ~=
            const std::string_view two = src.substr(i, 2);
            Tok k = Tok::End;
            if (two == "<=" || two == "=<") k = Tok::Le;
            else if (two == ">=" || two == "=>") k = Tok::Ge;
            else if (two == "<>" || two == "~=") k = Tok::Ne;
            if (k != Tok::End) {
                add(k, i, 2);
                i += 2;
                continue;
            }
            switch (c) {
                case '(': k = Tok::LParen; break;
                case ')': k = Tok::RParen; break;
                case ',': k = Tok::Comma; break;
                case '+': k = Tok::Plus; break;
                case '-': k = Tok::Minus; break;
                case '*': k = Tok::Star; break;
                case '/': k = Tok::Slash; break;
                case '&': k = Tok::Amp; break;
                case '=': k = Tok::Eq; break;
                case '<': k = Tok::Lt; break;
                case '>': k = Tok::Gt; break;
                default: {
                    const bool printable = static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) < 0x7F;
                    return LexError{printable ? std::string("unexpected character '") + c + "'" : std::string("unexpected character"), i};
                }
            }
            add(k, i, 1);
            ++i;
        }
    }
    tokens.push_back(Token{Tok::End, n, {}, {}});
    return tokens;
}

}  // namespace detail

class ExprCompiler {
public:
    explicit ExprCompiler(std::string_view text) : src_(text) {}

    Expression Run() {
        Lex();
        out_.source_ = std::string(src_);
        if (tokens_.front().kind == Tok::End) throw CompileError{"empty expression", 0};
        ParseOr();
        const Token& t = Peek();
        if (t.kind == Tok::RParen) throw CompileError{"unexpected ')' with no '(' before it", t.pos};
        if (t.kind != Tok::End) throw CompileError{"unexpected " + Describe(t) + " after the end of the expression", t.pos};
        return std::move(out_);
    }

private:
    void Lex() {
        auto lexed = detail::Lex(src_);
        if (auto* fault = std::get_if<detail::LexError>(&lexed)) throw CompileError{std::move(fault->what), fault->pos};
        tokens_ = std::move(std::get<std::vector<Token>>(lexed));
    }

    static std::string Describe(const Token& t) {
        if (t.kind == Tok::End) return "end of the expression";
        if (t.kind == Tok::Text) return "text " + std::string(t.text);
        return "'" + std::string(t.text) + "'";
    }

    // ---- parser ----
    const Token& Peek() const { return tokens_[at_]; }
    const Token& Take() { return tokens_[at_++]; }
    bool Accept(Tok k) {
        if (Peek().kind != k) return false;
        ++at_;
        return true;
    }

    struct Nest {
        explicit Nest(ExprCompiler& c, std::size_t pos) : c_(c) {
            if (++c_.nesting_ > kMaxNesting) throw CompileError{"nested too deeply", pos};
        }
        ~Nest() { --c_.nesting_; }
        ExprCompiler& c_;
    };

    void Emit(Op op, std::uint32_t arg = 0) {
        out_.code_.push_back(detail::ExprOp{static_cast<std::uint8_t>(op), arg});
        switch (op) {
            case Op::Const: case Op::Name: case Op::Today: ++depth_; break;
            case Op::Clip: case Op::Upper: case Op::Plus: case Op::Neg: case Op::Not: break;
            default: --depth_; break;  // binary: two in, one out
        }
        out_.stackDepth_ = std::max(out_.stackDepth_, depth_);
    }

    void ParseOr() {
        ParseAnd();
        while (Accept(Tok::Or)) {
            ParseAnd();
            Emit(Op::Or);
        }
    }

    void ParseAnd() {
        ParseNot();
        while (Accept(Tok::And)) {
            ParseNot();
            Emit(Op::And);
        }
    }

    // "not" binds looser than comparison: not ORD:Active='Y' negates the comparison.
    void ParseNot() {
        if (Peek().kind == Tok::Not) {
            Nest nest(*this, Take().pos);
            ParseNot();
            Emit(Op::Not);
            return;
        }
        ParseComparison();
    }

    void ParseComparison() {
        ParseConcat();
        for (;;) {
            Op op;
            switch (Peek().kind) {
                case Tok::Eq: op = Op::Eq; break;
                case Tok::Ne: op = Op::Ne; break;
                case Tok::Lt: op = Op::Lt; break;
                case Tok::Le: op = Op::Le; break;
                case Tok::Gt: op = Op::Gt; break;
                case Tok::Ge: op = Op::Ge; break;
                default: return;
            }
            ++at_;
            ParseConcat();
            Emit(op);
        }
    }

    void ParseConcat() {
        ParseAdditive();
        while (Accept(Tok::Amp)) {
            ParseAdditive();
            Emit(Op::Concat);
        }
    }

    void ParseAdditive() {
        ParseTerm();
        for (;;) {
            if (Accept(Tok::Plus)) {
                ParseTerm();
                Emit(Op::Add);
            } else if (Accept(Tok::Minus)) {
                ParseTerm();
                Emit(Op::Sub);
            } else {
                return;
            }
        }
    }

    void ParseTerm() {
        ParseUnary();
        for (;;) {
            if (Accept(Tok::Star)) {
                ParseUnary();
                Emit(Op::Mul);
            } else if (Accept(Tok::Slash)) {
                ParseUnary();
                Emit(Op::Div);
            } else {
                return;
            }
        }
    }

    void ParseUnary() {
        const Tok k = Peek().kind;
        if (k == Tok::Plus || k == Tok::Minus) {
            Nest nest(*this, Take().pos);
            ParseUnary();
            Emit(k == Tok::Plus ? Op::Plus : Op::Neg);
            return;
        }
        ParsePrimary();
    }

    void ParsePrimary() {
        const Token& t = Take();
        switch (t.kind) {
            case Tok::Number:
                Emit(Op::Const, Constant(ExprValue::fromText(std::string(t.text)).asNumber()));
                return;
            case Tok::Text:
                Emit(Op::Const, Constant(ExprValue::fromText(t.value)));
                return;
            case Tok::LParen: {
                Nest nest(*this, t.pos);
                ParseOr();
                if (!Accept(Tok::RParen)) Unclosed(t);
                return;
            }
            case Tok::Name:
                if (Peek().kind == Tok::LParen) ParseCall(t);
                else ParseName(t);
                return;
            default:
                throw CompileError{"expected a value, found " + Describe(t), t.pos};
        }
    }

    void Unclosed(const Token& open) {
        const Token& t = Peek();
        if (t.kind == Tok::End) throw CompileError{"'(' is not closed", open.pos};
        throw CompileError{"expected ')' to close the '(' at position " + std::to_string(open.pos + 1) + ", found " + Describe(t), t.pos};
    }

    void ParseCall(const Token& name) {
        const Function* f = FindFunction(name.text);
        if (!f) throw CompileError{"unknown function '" + std::string(name.text) + "'", name.pos};
        const Token& open = Take();
        Nest nest(*this, open.pos);
        int args = 0;
        if (Peek().kind != Tok::RParen) {
            do {
                ParseOr();
                ++args;
            } while (Accept(Tok::Comma));
        }
        if (!Accept(Tok::RParen)) Unclosed(open);
        if (args != f->arity) {
            std::string fn(name.text);
            throw CompileError{fn + "() takes " + (f->arity == 0 ? std::string("no arguments") : std::to_string(f->arity) + " argument") +
                                   ", given " + std::to_string(args),
                               name.pos};
        }
        Emit(f->op);
    }

    void ParseName(const Token& name) {
        auto slot = detail::FindBoundSlot(name.text);
        if (!slot) {
            std::string what = "unknown name '" + std::string(name.text) + "'";
            if (FindFunction(name.text)) what += " (a function is called with parentheses)";
            throw CompileError{what, name.pos};
        }
        std::uint32_t index = 0;
        while (index < out_.slots_.size() && out_.slots_[index] != slot) ++index;
        if (index == out_.slots_.size()) out_.slots_.push_back(std::move(slot));
        Emit(Op::Name, index);
    }

    std::uint32_t Constant(ExprValue v) {
        out_.constants_.push_back(std::move(v));
        return static_cast<std::uint32_t>(out_.constants_.size() - 1);
    }

    std::string_view src_;
    std::vector<Token> tokens_;
    std::size_t at_ = 0;
    int nesting_ = 0;
    std::size_t depth_ = 0;
    Expression out_;
};

std::optional<Expression> Expression::Compile(std::string_view text, std::string* error) {
    try {
        ExprCompiler compiler(text);
        Expression e = compiler.Run();
        if (error) error->clear();
        return e;
    } catch (const CompileError& e) {
        if (error)
            *error = "expression \"" + std::string(text) + "\": " + e.what + " at position " + std::to_string(e.pos + 1);
    } catch (const std::exception& e) {  // out of memory on a huge text
        if (error) *error = "expression \"" + std::string(text) + "\": " + e.what();
    }
    return std::nullopt;
}

ExprValue Expression::Evaluate() const {
    try {
        std::vector<ExprValue> stack;
        stack.reserve(stackDepth_);
        auto binary = [&stack](auto fn) {
            ExprValue b = std::move(stack.back());
            stack.pop_back();
            stack.back() = fn(stack.back(), b);
        };
        auto compare = [&binary](auto test) {
            binary([test](const ExprValue& a, const ExprValue& b) { return ExprValue::fromScaled(test(detail::Compare(a, b)) ? 1 : 0); });
        };
        for (const auto& ins : code_) {
            switch (static_cast<Op>(ins.code)) {
                case Op::Const: stack.push_back(constants_[ins.arg]); break;
                case Op::Name: stack.push_back(slots_[ins.arg]->read()); break;
                case Op::Today: stack.push_back(ExprValue::fromScaled(rt::today())); break;
                case Op::Clip: stack.back() = ExprValue::fromText(detail::ClipText(stack.back().text())); break;
                case Op::Upper: stack.back() = ExprValue::fromText(rt::upper(stack.back().text())); break;
                case Op::Plus: break;
                case Op::Neg: stack.back() = detail::Negate(stack.back()); break;
                case Op::Not: stack.back() = ExprValue::fromScaled(stack.back().truth() ? 0 : 1); break;
                case Op::Add: binary([](const ExprValue& a, const ExprValue& b) { return detail::Add(a, b); }); break;
                case Op::Sub: binary([](const ExprValue& a, const ExprValue& b) { return detail::Add(a, b, true); }); break;
                case Op::Mul: binary(detail::Multiply); break;
                case Op::Div: binary(detail::Divide); break;
                case Op::Concat: binary([](const ExprValue& a, const ExprValue& b) { return ExprValue::fromText(a.text() + b.text()); }); break;
                case Op::Eq: compare([](std::partial_ordering o) { return o == 0; }); break;
                case Op::Ne: compare([](std::partial_ordering o) { return o != 0; }); break;
                case Op::Lt: compare([](std::partial_ordering o) { return o < 0; }); break;
                case Op::Le: compare([](std::partial_ordering o) { return o <= 0; }); break;
                case Op::Gt: compare([](std::partial_ordering o) { return o > 0; }); break;
                case Op::Ge: compare([](std::partial_ordering o) { return o >= 0; }); break;
                case Op::And: binary([](const ExprValue& a, const ExprValue& b) { return ExprValue::fromScaled(a.truth() && b.truth() ? 1 : 0); }); break;
                case Op::Or: binary([](const ExprValue& a, const ExprValue& b) { return ExprValue::fromScaled(a.truth() || b.truth() ? 1 : 0); }); break;
            }
        }
        return stack.empty() ? ExprValue() : std::move(stack.back());
    } catch (...) {
        return ExprValue();
    }
}

}  // namespace rt
