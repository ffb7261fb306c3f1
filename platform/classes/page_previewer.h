#pragma once
// The print preview of a report: a window "Report Preview" showing the report's pages as they will
// come out of the printer, with menus to move through them ("&View"), to size them ("&Zoom") and to
// print all or some of them ("&File"). It runs on the report's thread until the user prints or
// leaves it.
//
//     cls::PagePreviewer preview;
//     preview.UseSettings(&settings);       // the window's size is remembered between runs
//     const bool printed = preview.Display(report.Pages());
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/settings_store.h"
#include "platform/window/page_set.h"

namespace cls {

class PagePreviewer {
public:
    void UseSettings(SettingsStore* settings) { settings_ = settings; }
    void AllowUserZoom(bool on) { userZoom_ = on; }

    // Shows the pages; true when the user printed them from the preview.
    bool Display(std::shared_ptr<const wnd::PageSet> pages);

    // Page numbers the text names ("1-3, 5"), in order, each once, within 1..count; empty with
    // *error saying why when the text is not such a list.
    static std::vector<int> ParsePageList(std::string_view text, int count, std::string* error);

    bool MAXIMIZE = false;  // the window opens maximised
    int ZOOM = 0;           // percent of the paper's size; 0 whole pages, -1 the page's width
    int PAGESACROSS = 1, PAGESDOWN = 1;

private:
    SettingsStore* settings_ = nullptr;
    bool userZoom_ = true;
};

}  // namespace cls
