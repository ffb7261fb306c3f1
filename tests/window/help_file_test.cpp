// Help files as the presenters read them: pages found by topic, the index built from titles and
// keywords, the keyword lookup and the full-text search over what a page shows (not its markup).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/window/help_file.h"

namespace {

using Topics = std::vector<std::string>;

std::shared_ptr<const wnd::HelpFile> sample() {
    static const bool registered = [] {
        const char* file = "Sample-Help.html";
        wnd::RegisterHelpPage(file, "contents.htm", R"(<html><head><title>Sample Help</title></head>
            <body><a href="Refills%20Due.htm">Refills</a> <a href="Doctors.htm">Doctors</a></body></html>)");
        wnd::RegisterHelpPage(file, "Refills Due.htm", R"(<html><head><title>Refill Reminders</title>
            <meta name="keywords" content="refills, reminders, due dates"></head>
            <body><h1>Refill Reminders</h1><p>Prescriptions due within 30&nbsp;days &amp; their dates.</p></body></html>)");
        wnd::RegisterHelpPage(file, "Doctors.htm", R"(<html><head><title>Doctors</title>
            <meta name="keywords" content="Refills, phone numbers"></head>
            <body><p class="title">Keep each doctor's phone number.</p></body></html>)");
        wnd::RegisterHelpPage(file, "format manager.htm",
                              R"(<html><head><title>Columns</title></head><body>Columns.</body></html>)");
        return true;
    }();
    (void)registered;
    return wnd::FindHelpFile("sample-help.HTML");
}

TEST(HelpFile, PagesAreFoundByTopicInAnyCaseAndWithoutTheirExtension) {
    const auto help = sample();
    ASSERT_TRUE(help);
    ASSERT_TRUE(help->Find("REFILLS DUE.HTM"));
    EXPECT_EQ(help->Find("Refills Due.htm")->title, "Refill Reminders");
    ASSERT_TRUE(help->Find("Format Manager"));
    EXPECT_EQ(help->Find("Format Manager")->topic, "format manager.htm");
    EXPECT_EQ(help->Find("/Doctors.htm"), help->Find("doctors.htm"));
    EXPECT_EQ(help->Find("Nurses.htm"), nullptr);
    EXPECT_EQ(help->Contents()->title, "Sample Help");
    EXPECT_EQ(wnd::FindHelpFile("no such file"), nullptr);

    wnd::RegisterHelpPage("Entities-Help.html", "e.htm", "<title>A Pharmacy&#x27;s &#233;dition &amp; more</title>");
    EXPECT_EQ(wnd::FindHelpFile("Entities-Help.html")->Find("e.htm")->title, "A Pharmacy's \u00e9dition & more");
}

TEST(HelpFile, TheIndexListsTitlesAndKeywordsAndTheLookupFindsTheirPages) {
    const auto help = sample();
    ASSERT_TRUE(help);
    std::vector<std::string> keywords;
    for (const auto& e : help->Index()) keywords.push_back(e.keyword);
    EXPECT_EQ(keywords, (Topics{"Columns", "Doctors", "due dates", "phone numbers", "Refill Reminders", "refills",
                                "reminders", "Sample Help"}));
    // A keyword two pages give lists both, by title.
    EXPECT_EQ(help->Lookup("REFILLS"), (Topics{"Doctors.htm", "Refills Due.htm"}));
    EXPECT_EQ(help->Lookup(" reminders "), Topics{"Refills Due.htm"});
    EXPECT_TRUE(help->Lookup("refill").empty()) << "a lookup matches whole keywords";
}

TEST(HelpFile, TheSearchFindsPagesThatHoldEveryWord) {
    const auto help = sample();
    ASSERT_TRUE(help);
    struct Case {
        const char* query;
        Topics found;
    };
    const Case cases[] = {
        {"phone", {"Doctors.htm"}},
        {"Prescriptions 30", {"Refills Due.htm"}},
        {"presc DAYS", {"Refills Due.htm"}},  // each word begins a word of the page
        {"scriptions", {}},
        {"phone days", {}},
        {"title", {}},  // markup is not text
        {"href", {}},
        {"days & dates", {"Refills Due.htm"}},
        {"", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(help->Search(c.query), c.found) << c.query;
}

}  // namespace
