#pragma once
// Matches words in texts, with two options: ignore case, and whole words only.
#include <atomic>
#include <string_view>

namespace cls {

class WordMatcher {
public:
    enum Option { kIgnoreCase = 1, kWholeWords = 2 };

    void Init() {}
    void TearDown() {}
    void SetOption(Option option, bool on);
    bool option(Option option) const;
    // Whether `word` occurs in `text` under the current options.
    bool Matches(std::string_view text, std::string_view word) const;

private:
    std::atomic<bool> ignoreCase_{false};
    std::atomic<bool> wholeWords_{false};
};

}  // namespace cls
