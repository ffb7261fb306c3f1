#pragma once
// Stored window layouts: one resource per procedure, holding that procedure's windows (a report's
// resource holds its progress window and its report page). Resources are JSON, compiled into the
// program (see embed_layouts.cmake) and registered at start-up; texts are UTF-8 in the files and
// Windows-1252 once loaded.
//
// {
//   "procedure": "BrowseThings",
//   "windows": [{
//     "label": "P1$QUICKWINDOW", "caption": "Things", "kind": "mdi" | "plain" | "frame", "maximised": false,
//     "at": [x, y, width, height],              dialog units; x, y optional ([width, height])
//     "font": {"name": "MS Sans Serif", "points": 8, "weight": 400},
//     "icon": "rx.ico", "wallpaper": "", "help": "things.htm", "timer": 0,
//     "alerts": ["F12"], "aliases": [["Enter", "Tab"]],
//     "controls": [                              control order; numbers 1..n depth first
//       {"use": "?THI:NAME", "kind": "entry", "text": "", "at": [..], "picture": "@s30",
//        "var": "THI:NAME",                      the use variable's name; default: use without '?'
//        "hide": false, "disable": false, "readonly": false, "default": false, "single": false, "immediate": false,
//        "icon": "", "tip": "", "msg": "", "help": "", "std": "close", "format": "80L(2)|M~Name~@s30@",
//        "alerts": ["Ctrl+H"] (positions 1..) or {"255": "Ctrl+H"},
//        "values": ["Y", "N"]                     a check box's true and false values
//        "range": [1, 24], "step": 1             a spin box: what the user may enter (read through its
//                                                number picture; a value already stored is shown as it
//                                                is) and one arrow step (default 1); no range or [0, 0]: any value
//        "value": "M"                            a radio's value in its option
//        "controls": [...]}                      children (sheet > tab > ..., option > radio, menu > item)
//     ]}],
//   "reports": [...]                             see report_layout.h
// }
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window/control.h"
#include "platform/window/report_layout.h"

namespace wnd {

struct LayoutControl {
    ControlState state;
    std::string var;                  // the use variable's name: "PRE:DRUGNAMEASPRESCRIBED"
    std::string trueValue = "1";      // check boxes
    std::string falseValue = "0";
    std::string value;                // radios: what the option's variable holds when it is chosen
};

struct WindowLayout {
    WindowState window;               // window.controls stays empty; see controls
    std::vector<LayoutControl> controls;
};

struct ProcedureLayout {
    std::string procedure;
    std::vector<WindowLayout> windows;
    std::vector<ReportLayout> reports;
    const WindowLayout* window(std::string_view label) const;
    const ReportLayout* report(std::string_view label) const;
};

// Reads a resource; nullptr with *error naming the fault and where it is.
std::unique_ptr<ProcedureLayout> ParseLayout(std::string_view json, std::string* error);

// The compiled-in resources, process-wide. Register parses at once; false with *error when the
// resource is not sound or its procedure is already registered.
bool RegisterLayout(std::string_view json, std::string* error);
const ProcedureLayout* FindLayout(std::string_view procedure);                       // any case
const WindowLayout* FindWindowLayout(std::string_view procedure, std::string_view label);
const ReportLayout* FindReportLayout(std::string_view procedure, std::string_view label);

}  // namespace wnd
