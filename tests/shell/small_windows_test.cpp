// The frame's help menu and the small windows it starts (About, Donation, Useful Links), as a user
// meets them on the headless presenter, which records the help, the web pages and the clipboard
// text the program asks for.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "globals/globals.h"
#include "platform/files/table_file.h"
#include "platform/headless/scripted_user.h"
#include "platform/window/window_system.h"
#include "shell/main_frame.h"
#include "shell/open_with_shell.h"
#include "shell/run_application.h"
#include "shell/useful_links.h"
#include "shell/web_addresses.h"
#include "support/headless_program.h"
#include "support/program_fixture.h"

namespace {

using Lines = std::vector<std::string>;

class SmallWindows : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(shell::RegisterShellLayouts());
        wnd::SetPresenter(presenter_);
        shell::SetFrameProcedure(&shell::Main);
        frame_ = std::make_unique<hl::UserWindow>(program_.Start());
    }
    void TearDown() override {
        program_.Stop();
        shell::SetFrameProcedure(nullptr);
        wnd::SetPresenter(nullptr);
    }
    hl::UserWindow Open(const char* item, const char* procedure) {
        frame_->Press(item);
        return user_.Find(procedure);
    }
    int threadOf(const hl::UserWindow& w) {
        std::lock_guard lock(presenter_->mutex());
        return presenter_->windows().at(w.id()).thread;
    }
    // The help asked for since the last call, as "command topic keyword".
    Lines Asked() {
        Lines out;
        const auto all = user_.HelpRequests();
        for (std::size_t i = seen_; i < all.size(); ++i) {
            const char* names[] = {"topic", "contents", "index", "search", "keyword"};
            EXPECT_EQ(all[i].file, shell::kHelpFile);
            std::string line = std::string(names[static_cast<int>(all[i].command)]) + " " + all[i].topic;
            if (!all[i].keyword.empty()) line += " " + all[i].keyword;
            out.push_back(line);
        }
        seen_ = all.size();
        return out;
    }

    testing_support::TempDataFolder folder_;
    testing_support::MessageRecorder messages_{globals::AppErrors()};
    std::shared_ptr<hl::HeadlessPresenter> presenter_ = std::make_shared<hl::HeadlessPresenter>();
    hl::ScriptedUser user_{presenter_};
    testing_support::HeadlessProgram program_{user_};
    std::unique_ptr<hl::UserWindow> frame_;
    std::size_t seen_ = 0;
};

TEST_F(SmallWindows, TheFramesHelpMenuAndHelpKeyAskTheHelpFile) {
    hl::UserWindow& frame = *frame_;
    for (const char* use : {"?HELPINDEX", "?HELPSEARCH", "?HELPONHELP", "?HELPFAMILYITEM"}) {
        EXPECT_TRUE(frame.Enabled(use)) << use;
        frame.Press(use);
    }
    frame.PressKey(wnd::kKeyF12);
    frame.PressKey(wnd::kKeyF1);
    EXPECT_EQ(Asked(), (Lines{"index ", "search ", "contents ", "keyword  Brindlecrest", "contents ", "contents "}));
    EXPECT_TRUE(user_.Actions().empty()) << "the items' standard help actions were cleared";
}

TEST_F(SmallWindows, AboutOpensOnAThreadOfItsOwnAndShowsTheContentsForHelp) {
    auto about = Open("?HELPABOUT", "about");
    auto second = Open("?HELPABOUT", "about");
    EXPECT_NE(about.id(), second.id()) << "each command opens a window of its own";
    EXPECT_NE(threadOf(about), 1);
    EXPECT_NE(threadOf(about), threadOf(second));
    EXPECT_EQ(about.Caption(), "About The Tallomere...");
    EXPECT_EQ(about.Text("?STRING4"), "Tallomere Version 2.0");
    EXPECT_TRUE(about.Hidden("?OKBUTTON"));
    about.PressKey(wnd::kKeyF12);
    EXPECT_EQ(Asked(), Lines{"contents "});
    about.Press("?CANCELBUTTON");
    EXPECT_FALSE(about.Open());
    EXPECT_TRUE(second.Open());
    EXPECT_FALSE(frame_->Inert());
}

TEST_F(SmallWindows, DonationOpensTheDonationPageEachTimeAndHasItsOwnHelp) {
    auto donation = Open("?HELPMAKEADONATION", "donation");
    EXPECT_EQ(donation.Caption(), "Donation Window");
    EXPECT_TRUE(user_.Documents().empty());
    donation.Press("?BUTTON3");
    donation.Press("?BUTTON3");
    EXPECT_EQ(user_.Documents(), (Lines{shell::web::kDonationShop, shell::web::kDonationShop}));

    donation.Click("?BUTTON4");
    donation.PressKey(wnd::kKeyF12);
    donation.Click("?BUTTON3");
    donation.PressKey(wnd::kKeyF1);
    donation.Press("?BUTTON4");  // the Help button: the window's page
    EXPECT_EQ(Asked(), (Lines{"topic donation.htm", "topic donations.htm", "topic donations.htm"}));
    EXPECT_TRUE(user_.Actions().empty());
    donation.Press("?CANCELBUTTON");
    EXPECT_FALSE(donation.Open());
}

TEST_F(SmallWindows, LinksOpenTheirSitesAndCopyTheListOfAddresses) {
    auto links = Open("?USEFULLINKSLINKS", "links");
    EXPECT_EQ(links.Caption(), "Useful Links...");
    const std::pair<const char*, const char*> sites[] = {
        {"?BUTTON4", shell::web::kMedicare},    {"?BUTTON5", shell::web::kMedlinePlus},
        {"?BUTTON6", shell::web::kNihConsumer}, {"?BUTTON7", shell::web::kPediatrics},
        {"?BUTTON8", shell::web::kSeniorsHealth}, {"?BUTTON9", shell::web::kAdultHealth},
        {"?BUTTON10", shell::web::kMakerLinks},
    };
    Lines expected;
    for (const auto& [button, address] : sites) {
        links.Press(button);
        expected.push_back(address);
        EXPECT_EQ(user_.Documents(), expected) << button;
        EXPECT_TRUE(links.Open());
    }

    links.Press("?BUTTON3");
    const std::string list = user_.Clipboard();
    EXPECT_EQ(list, shell::LinksClipboardText());
    links.Press("?BUTTON3");
    EXPECT_EQ(user_.Clipboard(), list) << "the same text again";
    EXPECT_LT(list.size(), 500u);
    // Seven lines, CR LF between them and none after the last.
    Lines lines;
    for (std::size_t start = 0;;) {
        const std::size_t end = list.find("\r\n", start);
        lines.push_back(list.substr(start, end - start));
        if (end == std::string::npos) break;
        start = end + 2;
    }
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], std::string("Federal Government Medicare Site:  ") + shell::web::kMedicare + " ");
    EXPECT_EQ(lines[2], std::string("Medline Plus (from NIH) ") + shell::web::kMedlinePlus);
    EXPECT_EQ(lines[6], std::string(shell::web::kSearchEngine) + "  searching on Google");
    EXPECT_EQ(list.find(shell::web::kMakerLinks), std::string::npos);

    // The arrows move between the link buttons; the help key anywhere shows the window's page.
    links.Click("?BUTTON4");
    links.PressKey(wnd::kKeyDown);
    EXPECT_EQ(links.Focus(), "?BUTTON5");
    links.PressKey(wnd::kKeyF1);
    links.Click("?BUTTON10");
    links.PressKey(wnd::kKeyF12);
    EXPECT_EQ(Asked(), (Lines{"topic Links.htm", "topic Links.htm"}));
    links.Press("?CANCELBUTTON");
    EXPECT_FALSE(links.Open());
}

TEST_F(SmallWindows, OpenWithShellTakesAtMost255CharactersWithoutTrailingBlanks) {
    shell::OpenWithShell(std::string(300, 'x') + "   ");
    shell::OpenWithShell("https://example.org/page   ");
    shell::OpenWithShell("   ");
    EXPECT_EQ(user_.Documents(), (Lines{std::string(255, 'x'), "https://example.org/page"}));
}

}  // namespace
