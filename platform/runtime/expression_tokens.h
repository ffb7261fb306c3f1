#pragma once
// Inside of the expression language: its tokens, for the compiler and for readers that look at a
// stored expression's shape without evaluating it (which parts of a filter the database can test).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace rt::detail {

enum class Tok : std::uint8_t {
    End, Number, Text, Name, LParen, RParen, Comma,
    Plus, Minus, Star, Slash, Amp,
    Eq, Ne, Lt, Le, Gt, Ge,
    And, Or, Not,
};

struct Token {
    Tok kind;
    std::size_t pos;        // 0-based offset in the source
    std::string_view text;  // as written, a view of the source
    std::string value;      // a text literal's content
};

struct LexError {
    std::string what;
    std::size_t pos;
};

// The tokens of a text, the last of them End; or the first fault, where the language refuses it.
std::variant<std::vector<Token>, LexError> Lex(std::string_view source);

}  // namespace rt::detail
