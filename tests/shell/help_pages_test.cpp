// The program's compiled help file: a page for every topic a window names, links between pages
// that lead somewhere, and the keyword the frame's help menu looks up.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "platform/window/help_file.h"
#include "shell/main_frame.h"
#include "shell/run_application.h"

namespace {

std::string decoded(std::string href) {
    for (std::size_t p; (p = href.find("%20")) != std::string::npos;) href.replace(p, 3, " ");
    return href;
}

TEST(HelpPages, EveryTopicTheWindowsNameHasAPage) {
    ASSERT_TRUE(shell::RegisterShellLayouts());
    const auto help = wnd::FindHelpFile(shell::kHelpFile);
    ASSERT_TRUE(help);
    const char* topics[] = {
        // the windows' own pages
        "BrowsePrescripts.htm", "UpdatePrescripts.htm", "UpdatePharmacy.htm", "brwsdrugs.htm", "UpdateDrugNames.htm",
        "BrowseDoctors.htm", "update doctors.htm", "BrowsePharmacy.htm", "donations.htm", "Reminders.htm",
        "Links.htm", "list people.htm", "update profile.htm", "List Drug Forms.htm", "Update Drug Form.htm",
        "List Plan Name.htm", "Update Plan Name.htm", "List Mfg.htm", "Update Manufacturer.htm", "UpdateBloodpre.htm",
        "UpdateGlucose.htm",
        // pages of single controls
        "Brindlecrest.htm", "Prescriptions.htm", "Change Drug File.htm", "Change Doctors File.htm",
        "Number Of Refills.htm", "Active.htm", "Change Pharmacy File.htm", "Notes.htm", "web address.htm",
        "donation.htm",
        // asked for without an extension, by "Sorting Help"
        "Format Manager",
    };
    for (const char* t : topics) {
        const wnd::HelpPage* p = help->Find(t);
        ASSERT_NE(p, nullptr) << t;
        EXPECT_NE(p->title, p->topic) << t << " has a title";
    }
    ASSERT_TRUE(help->Contents());
    EXPECT_EQ(help->Contents()->topic, "contents.htm");
    EXPECT_EQ(help->Lookup("Brindlecrest"), std::vector<std::string>{"Brindlecrest.htm"});
}

TEST(HelpPages, EveryLinkBetweenPagesLeadsToAPage) {
    ASSERT_TRUE(shell::RegisterShellLayouts());
    const auto help = wnd::FindHelpFile(shell::kHelpFile);
    ASSERT_TRUE(help);
    const std::regex href("href=\"([^\"#]*)");
    std::size_t links = 0;
    for (const wnd::HelpPage& p : help->pages()) {
        for (std::sregex_iterator it(p.html.begin(), p.html.end(), href), end; it != end; ++it) {
            const std::string target = decoded((*it)[1]);
            if (target.find("://") != std::string::npos) continue;  // a web site
            ++links;
            EXPECT_NE(help->Find(target), nullptr) << p.topic << " links to " << target;
        }
    }
    EXPECT_GT(links, help->pages().size()) << "the pages lead to one another";
    // The table of contents leads to every page.
    const std::string& contents = help->Contents()->html;
    for (const wnd::HelpPage& p : help->pages()) {
        std::string href = "href=\"" + p.topic + "\"";
        for (std::size_t at; (at = href.find(' ')) != std::string::npos;) href.replace(at, 1, "%20");
        if (p.topic != "contents.htm") {
            EXPECT_NE(contents.find(href), std::string::npos) << p.topic;
        }
    }
}

}  // namespace
