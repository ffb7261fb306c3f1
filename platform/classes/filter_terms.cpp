#include "platform/classes/filter_terms.h"

#include <cstddef>
#include <optional>
#include <string>
#include <variant>

#include "platform/files/field_codec.h"
#include "platform/runtime/expression.h"
#include "platform/runtime/expression_slot.h"
#include "platform/runtime/expression_tokens.h"

namespace cls {
namespace {

enum class Kind { Name, Call, Open, Close, And, Or, Not, Compare, Other };

struct Token {
    Kind kind;
    std::size_t begin, end;  // in the text
    std::string_view text;
};

// The expression language's tokens, told apart only as far as the split needs. A text the
// language refuses gives nullopt (the filter itself does not compile then either).
std::optional<std::vector<Token>> lex(std::string_view s) {
    using rt::detail::Tok;
    auto lexed = rt::detail::Lex(s);
    const auto* tokens = std::get_if<std::vector<rt::detail::Token>>(&lexed);
    if (!tokens) return std::nullopt;
    std::vector<Token> out;
    for (std::size_t i = 0; i < tokens->size(); ++i) {
        const rt::detail::Token& t = (*tokens)[i];
        Kind k = Kind::Other;
        switch (t.kind) {
            case Tok::End: continue;
            case Tok::Name: k = i + 1 < tokens->size() && (*tokens)[i + 1].kind == Tok::LParen ? Kind::Call : Kind::Name; break;
            case Tok::LParen: k = Kind::Open; break;
            case Tok::RParen: k = Kind::Close; break;
            case Tok::And: k = Kind::And; break;
            case Tok::Or: k = Kind::Or; break;
            case Tok::Not: k = Kind::Not; break;
            case Tok::Eq: case Tok::Ne: case Tok::Lt: case Tok::Le: case Tok::Gt: case Tok::Ge: k = Kind::Compare; break;
            default: break;
        }
        out.push_back({k, t.pos, t.pos + t.text.size(), t.text});
    }
    return out;
}

using Span = std::pair<std::size_t, std::size_t>;  // tokens [first, second)

// The token that closes the one at `open`; npos when unbalanced.
std::size_t closing(const std::vector<Token>& t, std::size_t open, std::size_t end) {
    int depth = 0;
    for (std::size_t i = open; i < end; ++i) {
        if (t[i].kind == Kind::Open) ++depth;
        else if (t[i].kind == Kind::Close && --depth == 0) return i;
    }
    return std::string_view::npos;
}

// Top-level tokens of a span (outside parentheses), by index.
std::vector<std::size_t> topLevel(const std::vector<Token>& t, Span s) {
    std::vector<std::size_t> out;
    int depth = 0;
    for (std::size_t i = s.first; i < s.second; ++i) {
        if (t[i].kind == Kind::Open) ++depth;
        else if (t[i].kind == Kind::Close) --depth;
        else if (depth == 0) out.push_back(i);
    }
    return out;
}

std::optional<files::FieldCondition::Op> opOf(std::string_view o) {
    using Op = files::FieldCondition::Op;
    if (o == "=") return Op::Equal;
    if (o == "<") return Op::Less;
    if (o == ">") return Op::Greater;
    if (o == "<=" || o == "=<") return Op::LessEqual;
    if (o == ">=" || o == "=>") return Op::GreaterEqual;
    return std::nullopt;  // <> and ~= narrow nothing worth an index
}

files::FieldCondition::Op flipped(files::FieldCondition::Op op) {
    using Op = files::FieldCondition::Op;
    switch (op) {
        case Op::Less: return Op::Greater;
        case Op::Greater: return Op::Less;
        case Op::LessEqual: return Op::GreaterEqual;
        case Op::GreaterEqual: return Op::LessEqual;
        case Op::Equal: break;
    }
    return op;
}

class Splitter {
public:
    Splitter(std::string_view text, const std::vector<Token>& tokens, const files::TableFile& file)
        : text_(text), t_(tokens), file_(file) {}

    void conjuncts(Span s, std::vector<files::FieldCondition>& out) const {
        // Parentheses around the whole are looked through.
        while (s.second - s.first >= 2 && t_[s.first].kind == Kind::Open && closing(t_, s.first, s.second) == s.second - 1)
            s = {s.first + 1, s.second - 1};
        if (s.first >= s.second) return;
        const std::vector<std::size_t> top = topLevel(t_, s);
        for (std::size_t i : top)
            if (t_[i].kind == Kind::Or) return;  // either side may let a record through
        std::size_t from = s.first;
        bool split = false;
        for (std::size_t i : top)
            if (t_[i].kind == Kind::And) {
                conjuncts({from, i}, out);
                from = i + 1;
                split = true;
            }
        if (split) {
            conjuncts({from, s.second}, out);
            return;
        }
        comparison(s, top, out);
    }

private:
    // The field of this table's record that a single name token reads; 0 for none.
    int fieldOf(const Token& name) const {
        if (name.kind != Kind::Name) return 0;
        const auto slot = rt::detail::FindBoundSlot(name.text);
        if (!slot) return 0;
        const auto* f = std::get_if<rt::detail::FieldBinding>(&slot->binding);
        if (!f || f->base != file_.buffer()) return 0;
        const auto& fields = file_.desc().fields;
        for (const auto& d : fields)
            if (d.offset == f->field.offset && d.type == f->field.type && d.size == f->field.size) return d.number;
        return 0;
    }
    // Whether a span reads nothing of the record (its value is the same for every record).
    bool fixed(Span s) const {
        if (s.first >= s.second) return false;
        for (std::size_t i = s.first; i < s.second; ++i) {
            const Token& k = t_[i];
            if (k.kind == Kind::And || k.kind == Kind::Or || k.kind == Kind::Not || k.kind == Kind::Compare) return false;
            if (k.kind != Kind::Name) continue;
            const auto slot = rt::detail::FindBoundSlot(k.text);
            if (!slot) continue;
            if (const auto* f = std::get_if<rt::detail::FieldBinding>(&slot->binding); f && f->base == file_.buffer()) return false;
            if (const auto* m = std::get_if<rt::detail::MemoBinding>(&slot->binding); m && m->memo == file_.memo() && m->memo) return false;
        }
        return true;
    }
    void comparison(Span s, const std::vector<std::size_t>& top, std::vector<files::FieldCondition>& out) const {
        std::optional<std::size_t> at;
        for (std::size_t i : top) {
            if (t_[i].kind == Kind::Not) return;
            if (t_[i].kind != Kind::Compare) continue;
            if (at) return;  // a = b = c compares a truth value
            at = i;
        }
        if (!at) return;
        auto op = opOf(t_[*at].text);
        if (!op) return;
        Span field{s.first, *at}, value{*at + 1, s.second};
        int number = field.second - field.first == 1 ? fieldOf(t_[field.first]) : 0;
        if (!number && value.second - value.first == 1 && (number = fieldOf(t_[value.first]))) {
            std::swap(field, value);
            op = flipped(*op);
        }
        if (!number || !fixed(value)) return;
        // Text orders by the program's own rules; only equality is left to the database.
        const rt::FieldDesc& f = file_.desc().fields[static_cast<std::size_t>(number - 1)];
        if (files::isTextField(f.type) && *op != files::FieldCondition::Op::Equal) return;
        const std::size_t b = t_[value.first].begin, e = t_[value.second - 1].end;
        auto compiled = rt::Expression::Compile(text_.substr(b, e - b), nullptr);
        if (!compiled) return;
        out.push_back({number, *op, [expr = std::move(*compiled)]() -> std::optional<files::KeyValue> {
                           const rt::ExprValue v = expr.Evaluate();
                           if (v.isText()) return files::KeyValue{v.text()};
                           if (v.isExact() && v.places() == 0) return files::KeyValue{v.scaled()};
                           return files::KeyValue{v.number()};
                       }});
    }

    std::string_view text_;
    const std::vector<Token>& t_;
    const files::TableFile& file_;
};

}  // namespace

std::vector<files::FieldCondition> DatabaseConditionsOf(std::string_view filter, const files::TableFile& file) {
    std::vector<files::FieldCondition> out;
    const auto tokens = lex(filter);
    if (!tokens) return out;
    // Unbalanced parentheses: the filter does not compile; nothing to split.
    int depth = 0;
    for (const Token& k : *tokens) {
        depth += k.kind == Kind::Open ? 1 : k.kind == Kind::Close ? -1 : 0;
        if (depth < 0) return out;
    }
    if (depth != 0) return out;
    Splitter(filter, *tokens, file).conjuncts({0, tokens->size()}, out);
    return out;
}

}  // namespace cls
