#include "platform/classes/word_matcher.h"

#include <cctype>

#include "platform/runtime/codepage.h"

namespace cls {

void WordMatcher::SetOption(Option o, bool on) {
    (o == kIgnoreCase ? ignoreCase_ : wholeWords_).store(on);
}

bool WordMatcher::option(Option o) const { return (o == kIgnoreCase ? ignoreCase_ : wholeWords_).load(); }

bool WordMatcher::Matches(std::string_view text, std::string_view word) const {
    if (word.empty()) return true;
    const bool nocase = ignoreCase_.load();
    const bool whole = wholeWords_.load();
    auto same = [nocase](char a, char b) {
        return nocase ? rt::foldCase(static_cast<unsigned char>(a)) == rt::foldCase(static_cast<unsigned char>(b)) : a == b;
    };
    auto isWordChar = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0 || static_cast<unsigned char>(c) >= 0xC0; };
    for (std::size_t i = 0; i + word.size() <= text.size(); ++i) {
        std::size_t k = 0;
        while (k < word.size() && same(text[i + k], word[k])) ++k;
        if (k != word.size()) continue;
        if (whole && ((i > 0 && isWordChar(text[i - 1])) || (i + k < text.size() && isWordChar(text[i + k])))) continue;
        return true;
    }
    return false;
}

}  // namespace cls
