#pragma once
// Help files: HTML pages compiled into the program (see embed_help.cmake) and registered at
// start-up under the help file's name, as a program ships one help file with its pages, its table
// of contents, its index and its full-text search. A presenter shows them; the task side only names
// a file and a topic.
//
// A page is one HTML text (UTF-8) named by its topic, the file name it would have on disk
// ("Active.htm", "update doctors.htm"). Its <title> names it in lists; its
//     <meta name="keywords" content="refills, reminders">
// puts it in the index under each word or phrase, besides its title. The page named "contents.htm"
// is the table of contents and the file's opening page.
//
// Registered files are process-wide and never change once read: FindHelpFile hands out a snapshot.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace wnd {

struct HelpPage {
    std::string topic;
    std::string title;
    std::string html;
    std::vector<std::string> keywords;
    std::string words;  // the page's text without its markup, folded to lower case, for the search
};

struct HelpIndexEntry {
    std::string keyword;              // as the first page that gives it spells it
    std::vector<std::string> topics;  // the pages listed under it, by title
};

class HelpFile {
public:
    explicit HelpFile(std::string name) : name_(std::move(name)) {}
    void Add(std::string_view topic, std::string_view html);  // replaces a page of the same topic

    const std::string& name() const { return name_; }
    const std::vector<HelpPage>& pages() const { return pages_; }
    // A page by topic, any case; a topic without an extension finds "<topic>.htm". nullptr: none.
    const HelpPage* Find(std::string_view topic) const;
    // "contents.htm", else the first page; nullptr for an empty file.
    const HelpPage* Contents() const;
    // Every keyword and title, sorted ignoring case.
    std::vector<HelpIndexEntry> Index() const;
    // The topics the index lists under exactly this keyword (any case).
    std::vector<std::string> Lookup(std::string_view keyword) const;
    // The topics of the pages in which every word of `query` begins a word (any case), by title.
    std::vector<std::string> Search(std::string_view query) const;

private:
    std::string name_;
    std::vector<HelpPage> pages_;
};

// Adds a page to the help file `file` (any case), creating the file.
void RegisterHelpPage(std::string_view file, std::string_view topic, std::string_view html);
// The file as registered so far; nullptr when it has no page.
std::shared_ptr<const HelpFile> FindHelpFile(std::string_view file);

}  // namespace wnd
