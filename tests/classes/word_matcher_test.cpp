#include <gtest/gtest.h>

#include "platform/classes/word_matcher.h"

TEST(WordMatcher, CaseAndWholeWordOptions) {
    cls::WordMatcher m;
    struct Case {
        bool ignoreCase, whole;
        const char* text;
        const char* word;
        bool match;
    } cases[] = {
        {true, false, "Take with Food", "food", true},  {false, false, "Take with Food", "food", false},
        {true, true, "Seafood allergy", "food", false}, {true, false, "Seafood allergy", "food", true},
        {true, true, "food, nuts", "FOOD", true},       {true, true, "CAF\xC9", "caf\xE9", true},
    };
    for (const auto& c : cases) {
        m.SetOption(cls::WordMatcher::kIgnoreCase, c.ignoreCase);
        m.SetOption(cls::WordMatcher::kWholeWords, c.whole);
        EXPECT_EQ(m.Matches(c.text, c.word), c.match) << c.text << " / " << c.word;
    }
}
