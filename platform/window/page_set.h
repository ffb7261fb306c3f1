#pragma once
// Printed pages as the report engine makes them and the presenters draw or print them: items placed
// in thousandths of an inch from the paper's top-left corner. Texts are UTF-8 here, as everything a
// presenter receives.
#include <string>
#include <vector>

#include "platform/window/control.h"

namespace wnd {

struct PageFont {
    std::string name = "Arial";
    int points = 10;
    bool bold = false;
    bool italic = false;
    friend bool operator==(const PageFont&, const PageFont&) = default;
};

struct PageItem {
    enum class Kind { Text, Line, Box };
    Kind kind = Kind::Text;
    Rect at;            // 1/1000 in; a line runs from (x, y) to (x + width, y + height)
    std::string text;
    PageFont font;
    char align = 'L';   // L, R or C within the rectangle
    bool wrap = false;  // a text block: broken into lines at its width, cut off at its height
    int pen = 10;       // lines and the edges of boxes, 1/1000 in
};

struct Page {
    std::vector<PageItem> items;
};

struct PageSet {
    std::string title;
    int paperWidth = 8500, paperHeight = 11000;  // 1/1000 in (US Letter)
    std::vector<Page> pages;
};

}  // namespace wnd
