#pragma once
// Reading the JSON of stored layouts: the pieces the window and report readers share. Each throws
// LayoutError naming the place (`where`) and what is wrong there. Texts come back single-byte.
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

#include "platform/window/control.h"
#include "platform/window/report_layout.h"

namespace wnd::layout_json {

using nlohmann::json;

// Faults found while reading, with the place they were found.
struct LayoutError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string text(const json& j, const char* key, const std::string& where);      // "" when missing
// A display picture ("" when missing), refused here when it does not parse, so that a layout once
// read builds its windows and reports.
std::string picture(const json& j, const std::string& where);
bool flag(const json& j, const char* key, const std::string& where);             // false when missing
int number(const json& j, const char* key, const std::string& where);            // 0 when missing
KeyCode key(const json& j, const std::string& where);
Rect rect(const json& j, const std::string& where);                               // [w, h] or [x, y, w, h]

// One entry of a resource's "reports".
ReportLayout readReport(const json& j, const std::string& procedure, std::size_t index);

}  // namespace wnd::layout_json
