#include "platform/classes/page_previewer.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <set>

#include "platform/files/table_file.h"
#include "platform/window/layout_builder.h"
#include "platform/window/window.h"
#include "platform/window/window_system.h"

namespace cls {
namespace {

using K = wnd::ControlKind;

constexpr const char* kSettingsSection = "_PreviewWindow_";
constexpr int kStatusHeight = 12;

enum Control {
    kMenuBar = 1, kFileMenu, kPagesToPrint, kPrint, kSaveAs, kFileSeparator, kExit,
    kViewMenu, kNext, kPrevious, kJump, kChangeDisplay,
    kZoomMenu, kZoomWhole, kZoomWidth, kZoom50, kZoom75, kZoom100, kZoom150, kZoom200,
    kPages, kPageNumber,
};
constexpr int kZooms[] = {0, -1, 50, 75, 100, 150, 200};  // kZoomWhole .. kZoom200

wnd::LayoutControl child(K kind, std::string use, std::string text, int parent) {
    wnd::LayoutControl c = wnd::MakeControl(kind, std::move(use), std::move(text), {});
    c.state.parent = parent;
    return c;
}

wnd::WindowLayout previewLayout(int width, int height) {
    wnd::WindowLayout l = wnd::MakePlainWindow("PagePreviewer", "P1$PREVIEW", "Report Preview", {0, 0, width, height});
    auto& c = l.controls;
    c.push_back(child(K::MenuBar, "?MENUBAR", "", 0));
    c.push_back(child(K::Menu, "?FILEMENU", "&File", kMenuBar));
    c.push_back(child(K::Item, "?PAGESTOPRINT", "Pa&ges to Print...", kFileMenu));
    c.push_back(child(K::Item, "?PRINT", "&Print", kFileMenu));
    // No output format other than the printer is registered; a PDF comes from the print dialog.
    c.push_back(child(K::Item, "?SAVEAS", "&Save As...", kFileMenu));
    c.back().state.disabled = true;
    c.push_back(child(K::Separator, "", "", kFileMenu));
    c.push_back(child(K::Item, "?EXIT", "E&xit", kFileMenu));
    c.push_back(child(K::Menu, "?VIEWMENU", "&View", kMenuBar));
    c.push_back(child(K::Item, "?NEXT", "&Next Page(s)", kViewMenu));
    c.push_back(child(K::Item, "?PREVIOUS", "&Previous Page(s)", kViewMenu));
    c.push_back(child(K::Item, "?JUMP", "&Jump to a page", kViewMenu));
    c.push_back(child(K::Item, "?CHANGEDISPLAY", "&Change Display", kViewMenu));
    c.push_back(child(K::Menu, "?ZOOMMENU", "&Zoom", kMenuBar));
    for (const char* z : {"&Whole Page", "Page &Width", "&50%", "&75%", "&100%", "1&50%", "&200%"})
        c.push_back(child(K::Item, std::string("?ZOOM") + std::to_string(c.size() - kZoomMenu + 1), z, kZoomMenu));
    c.push_back(wnd::MakeControl(K::Preview, "?PAGES", "", {0, 0, width, height - kStatusHeight}));
    c.push_back(wnd::MakeControl(K::String, "?PAGENUMBER", "", {4, height - kStatusHeight + 2, width - 8, 10}));
    wnd::NumberControls(l);
    return l;
}

// A small dialog of the previewer: a prompt and an entry (or two), OK and Cancel, and optionally a
// third button. Runs until OK (true) or Cancel / the close box (false).
struct Field {
    std::string prompt;
    std::string* value;
};

bool ask(std::string_view caption, const std::vector<Field>& fields, std::string_view extra = {},
         const std::function<void(wnd::Window&)>& onExtra = {}) {
    const int rows = static_cast<int>(fields.size());
    wnd::WindowLayout l = wnd::MakePlainWindow("PagePreviewer", "P1$ASK", std::string(caption), {0, 0, 180, 30 + rows * 16});
    for (int i = 0; i < rows; ++i) {
        l.controls.push_back(wnd::MakeControl(K::Prompt, "?PROMPT" + std::to_string(i + 1), fields[static_cast<std::size_t>(i)].prompt,
                                              {6, 7 + i * 16, 70, 10}));
        wnd::LayoutControl e = wnd::MakeControl(K::Entry, "?VALUE" + std::to_string(i + 1), "", {78, 6 + i * 16, 96, 11});
        e.state.picture = "@s40";
        e.var = "VALUE" + std::to_string(i + 1);
        l.controls.push_back(std::move(e));
    }
    // The third button stands first, in place and in the tab order: Ok and Cancel keep the
    // corner every dialog has them in.
    const int y = 10 + rows * 16;
    int x = 66;
    auto button = [&](const char* use, std::string text) {
        l.controls.push_back(wnd::MakeControl(K::Button, use, std::move(text), {x, y, 34, 14}));
        x += 38;
    };
    if (extra.empty()) x += 38;
    else button("?EXTRA", std::string(extra));
    button("?OK", "&Ok");
    l.controls.back().state.isDefault = true;
    button("?CANCEL", "&Cancel");
    wnd::NumberControls(l);
    wnd::Window w(l);
    for (int i = 0; i < rows; ++i) w.Bind("VALUE" + std::to_string(i + 1), wnd::UseVariable::Text(*fields[static_cast<std::size_t>(i)].value, 40));
    const int ok = w.Find("?OK"), cancel = w.Find("?CANCEL"), more = w.Find("?EXTRA");
    w.Open();
    if (rows) w.Select(2);
    bool accepted = false;
    while (w.Accept()) {
        if (w.event() != wnd::Event::Accepted) continue;
        if (w.control() == ok) {
            accepted = true;
            w.Post(wnd::Event::CloseWindow);
        } else if (w.control() == cancel) {
            w.Post(wnd::Event::CloseWindow);
        } else if (more && w.control() == more && onExtra) {
            onExtra(w);
        }
    }
    return accepted;
}

int wholeNumber(std::string_view text) {
    std::string digits;
    for (char c : text)
        if (c != ' ') digits += c;
    if (digits.empty() || digits.size() > 6 || !std::all_of(digits.begin(), digits.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
        return -1;
    return std::stoi(digits);
}

}  // namespace

std::vector<int> PagePreviewer::ParsePageList(std::string_view text, int count, std::string* error) {
    std::vector<int> out;
    std::set<int> seen;
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        return std::vector<int>{};
    };
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t comma = text.find(',', start);
        if (comma == std::string_view::npos) comma = text.size();
        const std::string_view part = text.substr(start, comma - start);
        start = comma + 1;
        if (part.find_first_not_of(' ') == std::string_view::npos) continue;
        const std::size_t dash = part.find('-');
        const int from = wholeNumber(part.substr(0, dash));
        const int to = dash == std::string_view::npos ? from : wholeNumber(part.substr(dash + 1));
        if (from < 1 || to < 1) return fail("\"" + std::string(part) + "\" is not a page or a range of pages such as 2-4.");
        if (from > to || to > count)
            return fail("The report has pages 1 to " + std::to_string(count) + "; \"" + std::string(part) + "\" lies outside them.");
        for (int p = from; p <= to; ++p)
            if (seen.insert(p).second) out.push_back(p);
    }
    if (out.empty()) return fail("Name at least one page, such as 1 or 2-4.");
    return out;
}

bool PagePreviewer::Display(std::shared_ptr<const wnd::PageSet> pages) {
    if (!pages || pages->pages.empty()) return false;
    const int count = static_cast<int>(pages->pages.size());
    int width = 420, height = 300;
    if (settings_) {
        width = std::clamp(wholeNumber(settings_->Fetch(kSettingsSection, "Width", "420")), 120, 4000);
        height = std::clamp(wholeNumber(settings_->Fetch(kSettingsSection, "Height", "300")), 80, 4000);
    }
    wnd::WindowLayout layout = previewLayout(width, height);
    layout.window.maximised = MAXIMIZE;
    wnd::Window w(layout);
    for (int z = kZoomWhole; z <= kZoom200; ++z) w.SetDisabled(z, !userZoom_);
    for (wnd::KeyCode k : {wnd::kKeyPageDown, wnd::kKeyPageUp, wnd::kKeyHome, wnd::kKeyEnd})
        for (int p = 1; p <= wnd::kAlertPositions; ++p)
            if (w.alert(kPages, p) == 0) {
                w.SetAlert(kPages, p, k);
                break;
            }
    w.SetPages(kPages, pages);
    std::vector<int> selection;  // the pages to print; empty: all
    int first = 1;
    auto show = [&] {
        const int step = PAGESACROSS * PAGESDOWN;
        first = std::clamp(first, 1, count);
        w.SetPreview(kPages, first, PAGESACROSS, PAGESDOWN, ZOOM);
        const int last = std::min(first + step - 1, count);
        w.SetText(kPageNumber, (last > first ? "Pages " + std::to_string(first) + "-" + std::to_string(last) : "Page " + std::to_string(first)) +
                                   " of " + std::to_string(count));
        w.SetDisabled(kNext, last >= count);
        w.SetDisabled(kPrevious, first <= 1);
    };
    show();
    w.Open();
    w.Select(kPages);
    bool printed = false;
    while (w.Accept()) {
        const int step = PAGESACROSS * PAGESDOWN;
        const int c = w.control();
        if (w.event() == wnd::Event::Resized) {
            width = w.state().at.width;
            height = w.state().at.height;
            w.SetPosition(kPages, {0, 0, width, std::max(height - kStatusHeight, 10)});
            w.SetPosition(kPageNumber, {4, std::max(height - kStatusHeight + 2, 0), std::max(width - 8, 10), 10});
            continue;
        }
        if (w.event() == wnd::Event::AlertKey && c == kPages) {
            switch (w.keyCode()) {
                case wnd::kKeyPageDown: first += step; break;
                case wnd::kKeyPageUp: first -= step; break;
                case wnd::kKeyHome: first = 1; break;
                case wnd::kKeyEnd: first = count; break;
                default: break;
            }
            show();
            continue;
        }
        if (w.event() != wnd::Event::Accepted) continue;
        if (c == kNext) first += step;
        else if (c == kPrevious) first -= step;
        else if (c == kExit) w.Post(wnd::Event::CloseWindow);
        else if (c >= kZoomWhole && c <= kZoom200) ZOOM = kZooms[c - kZoomWhole];
        else if (c == kJump) {
            std::string page = std::to_string(first);
            if (ask("Jump to a Report Page", {{"&Page:", &page}})) {
                const int n = wholeNumber(page);
                if (n >= 1 && n <= count) first = n;
                else wnd::Message("The report has pages 1 to " + std::to_string(count) + ".", "Jump to a Report Page", wnd::MessageIcon::Exclamation);
            }
        } else if (c == kChangeDisplay) {
            std::string across = std::to_string(PAGESACROSS), down = std::to_string(PAGESDOWN);
            if (ask("Change the Report Display", {{"Pages &across:", &across}, {"Pages &down:", &down}})) {
                const int a = wholeNumber(across), d = wholeNumber(down);
                if (a >= 1 && a <= 10 && d >= 1 && d <= 10) {
                    PAGESACROSS = a;
                    PAGESDOWN = d;
                } else {
                    wnd::Message("Show 1 to 10 pages across and 1 to 10 down.", "Change the Report Display", wnd::MessageIcon::Exclamation);
                }
            }
        } else if (c == kPagesToPrint) {
            const std::string all = "1-" + std::to_string(count);
            std::string text;
            for (int p : selection) text += (text.empty() ? "" : ",") + std::to_string(p);
            if (text.empty()) text = all;
            for (;;) {
                if (!ask("Pages to Print", {{"&Pages to Print:", &text}}, "&Reset", [&](wnd::Window& d) {
                        text = all;
                        d.Display();
                    }))
                    break;
                std::string error;
                std::vector<int> chosen = ParsePageList(text, count, &error);
                if (!chosen.empty()) {
                    selection = chosen.size() == static_cast<std::size_t>(count) && std::is_sorted(chosen.begin(), chosen.end())
                                    ? std::vector<int>{}
                                    : std::move(chosen);
                    break;
                }
                wnd::Message(error, "Pages to Print", wnd::MessageIcon::Exclamation);
            }
        } else if (c == kPrint) {
            // A print to a file goes beside the data files, unless the user says otherwise.
            if (wnd::Print(pages, selection, files::DataFolder())) {
                printed = true;
                w.Post(wnd::Event::CloseWindow);
            }
        }
        show();
    }
    if (settings_) {
        settings_->Update(kSettingsSection, "Width", std::to_string(width));
        settings_->Update(kSettingsSection, "Height", std::to_string(height));
    }
    return printed;
}

}  // namespace cls
