#pragma once
// Stored report layouts: a report's page (its paper, the detail area and its default font) and its
// bands (header, detail, footer, form) with the texts, fields, lines and boxes printed in them.
// Positions are thousandths of an inch: a band's from the paper's corner (a detail band's x from
// the detail area's left edge; only its height places it), a control's from its band's corner.
// In a procedure's resource, beside its windows:
//
// "reports": [{
//   "label": "P1$REPORT", "title": "Thing Report", "paper": [8500, 11000],
//   "at": [1000, 2000, 6500, 7000],                         the detail area
//   "font": {"name": "Arial", "points": 10, "weight": 400, "italic": false},
//   "bands": [
//     {"use": "?HEADER", "kind": "header", "at": [1000, 1000, 6500, 1000], "controls": [...]},
//     {"use": "?DETAIL", "kind": "detail", "at": [0, 0, 6500, 2070], "controls": [
//        {"use": "?STRING1", "kind": "string", "text": "Name", "at": [0, 0, 1000, 200]},
//        {"use": "?THI:NAME", "kind": "string", "picture": "@s30", "at": [1100, 0, 3000, 200],
//         "font": {"points": 12, "weight": 700}, "align": "R"},     "var" as in windows
//        {"use": "?THI:NOTES", "kind": "text", "at": [..]},          a block, wrapped at its width
//        {"kind": "line", "at": [0, 2000, 6500, 0], "pen": 10},      from (x, y) to (x+w, y+h)
//        {"kind": "box", "at": [..]},
//        {"use": "?THI:DONE", "kind": "check", "text": "Done", "value": "Y", "at": [..]}]},
//                                                a box, ticked when the variable holds "value"
//                                                (default "Y"), with its text to the right
//     {"use": "?FOOTER", "kind": "footer", "at": [..], "controls": [
//        {"use": "?PAGECOUNT", "kind": "string", "picture": "pPage <<#p", "at": [..]},   the page number
//        {"use": "?AVG", "var": "THI:PRICE", "kind": "string", "picture": "@n6.2", "total": "average"}]},
//                                                a total over the detail bands printed so far:
//                                                "count", "sum", "average", "minimum" or "maximum"
//     {"use": "?FORM", "kind": "form", "at": [..], "controls": [...]}]}]
//
// Bands and their controls are numbered together, depth first from 1, as window controls are.
// A detail band taller than the detail area runs on over as many pages as it needs, broken between
// its controls; detail bands never reach into the footer.
#include <string>
#include <vector>

#include "platform/window/control.h"
#include "platform/window/page_set.h"

namespace wnd {

struct ReportControl {
    enum class Kind { String, Text, Line, Box, Check };
    // What a string control shows of its variable: the value, or a total over the detail bands.
    enum class Total { None, Count, Sum, Average, Minimum, Maximum };
    int number = 0;
    Kind kind = Kind::String;
    Total total = Total::None;
    std::string use, text, var, picture;  // single-byte texts
    std::string value = "Y";              // what ticks a check box
    Rect at;
    PageFont font;     // the report's font with the control's own settings over it
    char align = 'L';  // L, R or C
    int pen = 10;
};

struct ReportBand {
    enum class Kind { Header, Detail, Footer, Form };
    int number = 0;
    Kind kind = Kind::Detail;
    std::string use;
    Rect at;
    std::vector<ReportControl> controls;
};

struct ReportLayout {
    std::string procedure, label, title;
    int paperWidth = 8500, paperHeight = 11000;
    Rect area;  // where detail bands go, one below another
    PageFont font;
    std::vector<ReportBand> bands;
};

}  // namespace wnd
