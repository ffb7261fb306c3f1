#include "platform/window/layout.h"

#include <limits>
#include <map>
#include <mutex>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "platform/runtime/codepage.h"
#include "platform/window/layout_json.h"
#include "platform/window/report_layout.h"

namespace wnd {
namespace {

using nlohmann::json;
using namespace layout_json;

void readAlerts(const json& j, ControlState& c, const std::string& where) {
    if (j.is_array()) {
        if (j.size() > static_cast<std::size_t>(kAlertPositions)) throw LayoutError(where + ": too many alert keys");
        for (std::size_t i = 0; i < j.size(); ++i) c.alerts[i] = key(j[i], where);
        return;
    }
    if (!j.is_object()) throw LayoutError(where + ": \"alerts\" must be a list or an object");
    for (const auto& [pos, k] : j.items()) {
        int p = 0;
        try {
            p = std::stoi(pos);
        } catch (const std::exception&) {
            p = 0;
        }
        if (p < 1 || p > kAlertPositions) throw LayoutError(where + ": alert position " + pos + " is not 1..255");
        c.alerts[static_cast<std::size_t>(p - 1)] = key(k, where);
    }
}

// A spin box's range and arrow step.
void readSpin(const json& j, ControlState& c, const std::string& where) {
    if (c.kind != ControlKind::Spin) throw LayoutError(where + ": \"range\" and \"step\" belong to spin boxes");
    const auto whole = [](const json& v) {
        return v.is_number_integer() && v.get<long long>() >= std::numeric_limits<int>::min() &&
               v.get<long long>() <= std::numeric_limits<int>::max();
    };
    if (j.contains("range")) {
        const json& r = j["range"];
        if (!r.is_array() || r.size() != 2 || !whole(r[0]) || !whole(r[1]) || r[0].get<int>() > r[1].get<int>())
            throw LayoutError(where + ": \"range\" must be [low, high], whole numbers with low <= high");
        c.rangeLow = r[0].get<int>();
        c.rangeHigh = r[1].get<int>();
    }
    if (j.contains("step")) {
        if (!whole(j["step"]) || j["step"].get<int>() < 1)
            throw LayoutError(where + ": \"step\" must be a whole number from 1");
        c.step = j["step"].get<int>();
    }
}

void readControls(const json& list, int parent, WindowLayout& w, const std::string& where) {
    if (!list.is_array()) throw LayoutError(where + ": \"controls\" must be a list");
    for (const json& j : list) {
        LayoutControl lc;
        ControlState& c = lc.state;
        c.number = static_cast<int>(w.controls.size()) + 1;
        const std::string at = where + " control " + std::to_string(c.number);
        if (!j.is_object()) throw LayoutError(at + ": must be an object");
        const std::string kind = text(j, "kind", at);
        const auto k = ControlKindFromName(kind);
        if (!k) throw LayoutError(at + ": unknown kind \"" + kind + "\"");
        c.kind = *k;
        c.parent = parent;
        c.use = text(j, "use", at);
        if (!c.use.empty() && c.use[0] != '?') throw LayoutError(at + ": a use name starts with '?'");
        for (const LayoutControl& other : w.controls)
            if (!c.use.empty() && rt::compareNoCase(other.state.use, c.use) == 0)
                throw LayoutError(at + ": use name " + c.use + " is taken by control " + std::to_string(other.state.number));
        lc.var = j.contains("var") ? text(j, "var", at) : (c.use.empty() ? "" : c.use.substr(1));
        c.text = text(j, "text", at);
        if (j.contains("at")) c.at = rect(j["at"], at);
        c.picture = picture(j, at);
        c.hidden = flag(j, "hide", at);
        c.disabled = flag(j, "disable", at);
        c.readOnly = flag(j, "readonly", at);
        c.isDefault = flag(j, "default", at);
        c.single = flag(j, "single", at);
        c.immediate = flag(j, "immediate", at);
        c.icon = text(j, "icon", at);
        c.tip = text(j, "tip", at);
        c.message = text(j, "msg", at);
        c.help = text(j, "help", at);
        c.format = text(j, "format", at);
        const std::string std = text(j, "std", at);
        const auto action = StdActionFromName(std);
        if (!action) throw LayoutError(at + ": unknown standard action \"" + std + "\"");
        c.std = *action;
        if (j.contains("alerts")) readAlerts(j["alerts"], c, at);
        if (j.contains("range") || j.contains("step")) readSpin(j, c, at);
        if (j.contains("values")) {
            const json& v = j["values"];
            if (!v.is_array() || v.size() != 2 || !v[0].is_string() || !v[1].is_string())
                throw LayoutError(at + ": \"values\" must be [true value, false value]");
            lc.trueValue = text(json{{"v", v[0]}}, "v", at);
            lc.falseValue = text(json{{"v", v[1]}}, "v", at);
        }
        lc.value = j.contains("value") ? text(j, "value", at) : "";
        if (c.kind == ControlKind::Radio && lc.value.empty()) {
            for (char ch : c.text)
                if (ch != '&') lc.value += ch;
        }
        const int self = c.number;
        w.controls.push_back(std::move(lc));
        if (j.contains("controls")) readControls(j["controls"], self, w, at);
    }
}

WindowLayout readWindow(const json& j, const std::string& procedure, std::size_t index) {
    WindowLayout w;
    WindowState& s = w.window;
    const std::string where = procedure + " window " + std::to_string(index + 1);
    if (!j.is_object()) throw LayoutError(where + ": must be an object");
    s.procedure = procedure;
    s.label = text(j, "label", where);
    if (s.label.empty()) throw LayoutError(where + ": has no label");
    s.caption = text(j, "caption", where);
    const std::string kind = text(j, "kind", where);
    if (kind.empty() || kind == "mdi") s.kind = WindowKind::MdiChild;
    else if (kind == "plain") s.kind = WindowKind::Plain;
    else if (kind == "frame") s.kind = WindowKind::AppFrame;
    else throw LayoutError(where + ": unknown kind \"" + kind + "\"");
    if (j.contains("at")) s.at = rect(j["at"], where);
    s.maximised = flag(j, "maximised", where);
    if (j.contains("font")) {
        const json& f = j["font"];
        s.font.name = text(f, "name", where + " font");
        s.font.points = number(f, "points", where + " font");
        if (f.contains("weight")) s.font.weight = number(f, "weight", where + " font");
    }
    s.icon = text(j, "icon", where);
    s.wallpaper = text(j, "wallpaper", where);
    s.help = text(j, "help", where);
    s.timer = number(j, "timer", where);
    if (j.contains("alerts")) {
        if (!j["alerts"].is_array()) throw LayoutError(where + ": \"alerts\" must be a list");
        for (const json& k : j["alerts"]) s.alertKeys.push_back(key(k, where));
    }
    if (j.contains("aliases")) {
        for (const json& pair : j["aliases"]) {
            if (!pair.is_array() || pair.size() != 2) throw LayoutError(where + ": an alias is [key, key]");
            s.aliases.emplace_back(key(pair[0], where), key(pair[1], where));
        }
    }
    if (j.contains("controls")) readControls(j["controls"], 0, w, where);
    return w;
}

struct Store {
    std::mutex mutex;
    std::map<std::string, std::unique_ptr<ProcedureLayout>> byName;  // upper-cased procedure name
};

Store& store() {
    static Store s;
    return s;
}

}  // namespace

const WindowLayout* ProcedureLayout::window(std::string_view label) const {
    for (const WindowLayout& w : windows)
        if (rt::compareNoCase(w.window.label, label) == 0) return &w;
    return nullptr;
}

const ReportLayout* ProcedureLayout::report(std::string_view label) const {
    for (const ReportLayout& r : reports)
        if (rt::compareNoCase(r.label, label) == 0) return &r;
    return nullptr;
}

std::unique_ptr<ProcedureLayout> ParseLayout(std::string_view source, std::string* error) {
    try {
        const json j = json::parse(source);
        auto layout = std::make_unique<ProcedureLayout>();
        if (!j.is_object()) throw LayoutError("a layout is an object");
        layout->procedure = text(j, "procedure", "layout");
        if (layout->procedure.empty()) throw LayoutError("layout: has no procedure name");
        if (!j.contains("windows") || !j["windows"].is_array())
            throw LayoutError(layout->procedure + ": \"windows\" must be a list");
        for (std::size_t i = 0; i < j["windows"].size(); ++i)
            layout->windows.push_back(readWindow(j["windows"][i], layout->procedure, i));
        if (j.contains("reports")) {
            if (!j["reports"].is_array()) throw LayoutError(layout->procedure + ": \"reports\" must be a list");
            for (std::size_t i = 0; i < j["reports"].size(); ++i)
                layout->reports.push_back(readReport(j["reports"][i], layout->procedure, i));
        }
        return layout;
    } catch (const std::exception& e) {  // json's own parse and type errors too
        if (error) *error = e.what();
        return nullptr;
    }
}

bool RegisterLayout(std::string_view source, std::string* error) {
    auto layout = ParseLayout(source, error);
    if (!layout) return false;
    Store& s = store();
    std::lock_guard lock(s.mutex);
    const std::string name = rt::upper(layout->procedure);
    if (s.byName.count(name)) {
        if (error) *error = "the layout of " + layout->procedure + " is registered twice";
        return false;
    }
    s.byName.emplace(name, std::move(layout));
    return true;
}

const ProcedureLayout* FindLayout(std::string_view procedure) {
    Store& s = store();
    std::lock_guard lock(s.mutex);
    const auto it = s.byName.find(rt::upper(procedure));
    return it == s.byName.end() ? nullptr : it->second.get();  // registered layouts are never removed
}

const WindowLayout* FindWindowLayout(std::string_view procedure, std::string_view label) {
    const ProcedureLayout* p = FindLayout(procedure);
    return p ? p->window(label) : nullptr;
}

const ReportLayout* FindReportLayout(std::string_view procedure, std::string_view label) {
    const ProcedureLayout* p = FindLayout(procedure);
    return p ? p->report(label) : nullptr;
}

}  // namespace wnd
