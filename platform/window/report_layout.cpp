#include "platform/window/report_layout.h"

#include <optional>
#include <string_view>

#include "platform/runtime/codepage.h"
#include "platform/window/layout_json.h"

namespace wnd::layout_json {
namespace {

PageFont readFont(const json& j, PageFont font, const std::string& where) {
    if (!j.is_object()) throw LayoutError(where + ": \"font\" must be an object");
    if (j.contains("name")) font.name = text(j, "name", where);
    if (j.contains("points")) {
        font.points = number(j, "points", where);
        if (font.points < 1 || font.points > 200) throw LayoutError(where + ": \"points\" must be 1 to 200");
    }
    if (j.contains("weight")) font.bold = number(j, "weight", where) >= 600;
    if (j.contains("italic")) font.italic = flag(j, "italic", where);
    return font;
}

char readAlign(const json& j, const std::string& where) {
    const std::string a = text(j, "align", where);
    if (a.empty()) return 'L';
    if (a.size() == 1 && (a[0] == 'L' || a[0] == 'R' || a[0] == 'C')) return a[0];
    throw LayoutError(where + ": \"align\" must be \"L\", \"R\" or \"C\"");
}

std::optional<ReportControl::Kind> controlKind(std::string_view name) {
    if (name == "string") return ReportControl::Kind::String;
    if (name == "text") return ReportControl::Kind::Text;
    if (name == "line") return ReportControl::Kind::Line;
    if (name == "box") return ReportControl::Kind::Box;
    if (name == "check") return ReportControl::Kind::Check;
    return std::nullopt;
}

std::optional<ReportControl::Total> totalKind(std::string_view name) {
    if (name.empty()) return ReportControl::Total::None;
    if (name == "count") return ReportControl::Total::Count;
    if (name == "sum") return ReportControl::Total::Sum;
    if (name == "average") return ReportControl::Total::Average;
    if (name == "minimum") return ReportControl::Total::Minimum;
    if (name == "maximum") return ReportControl::Total::Maximum;
    return std::nullopt;
}

std::optional<ReportBand::Kind> bandKind(std::string_view name) {
    if (name == "header") return ReportBand::Kind::Header;
    if (name == "detail") return ReportBand::Kind::Detail;
    if (name == "footer") return ReportBand::Kind::Footer;
    if (name == "form") return ReportBand::Kind::Form;
    return std::nullopt;
}

// Use names are unique across the whole report, bands included.
void claimUse(std::vector<std::string>& uses, const std::string& use, const std::string& where) {
    if (use.empty()) return;
    if (use[0] != '?') throw LayoutError(where + ": a use name starts with '?'");
    for (const std::string& u : uses)
        if (rt::compareNoCase(u, use) == 0) throw LayoutError(where + ": use name " + use + " is taken");
    uses.push_back(use);
}

}  // namespace

ReportLayout readReport(const json& j, const std::string& procedure, std::size_t index) {
    ReportLayout r;
    const std::string where = procedure + " report " + std::to_string(index + 1);
    if (!j.is_object()) throw LayoutError(where + ": must be an object");
    r.procedure = procedure;
    r.label = text(j, "label", where);
    if (r.label.empty()) throw LayoutError(where + ": has no label");
    r.title = text(j, "title", where);
    if (j.contains("paper")) {
        const Rect paper = rect(j["paper"], where + " paper");
        r.paperWidth = paper.width;
        r.paperHeight = paper.height;
    }
    if (r.paperWidth <= 0 || r.paperHeight <= 0) throw LayoutError(where + ": the paper has no size");
    if (!j.contains("at")) throw LayoutError(where + ": has no detail area \"at\"");
    r.area = rect(j["at"], where);
    if (r.area.width <= 0 || r.area.height <= 0) throw LayoutError(where + ": the detail area has no size");
    if (j.contains("font")) r.font = readFont(j["font"], r.font, where + " font");
    if (!j.contains("bands") || !j["bands"].is_array()) throw LayoutError(where + ": \"bands\" must be a list");

    std::vector<std::string> uses;
    int counter = 0;
    for (const json& jb : j["bands"]) {
        ReportBand band;
        band.number = ++counter;
        const std::string at = where + " band " + std::to_string(band.number);
        if (!jb.is_object()) throw LayoutError(at + ": must be an object");
        const auto kind = bandKind(text(jb, "kind", at));
        if (!kind) throw LayoutError(at + ": unknown kind \"" + text(jb, "kind", at) + "\"");
        band.kind = *kind;
        band.use = text(jb, "use", at);
        claimUse(uses, band.use, at);
        if (jb.contains("at")) band.at = rect(jb["at"], at);
        if (band.kind == ReportBand::Kind::Detail && band.at.height <= 0)
            throw LayoutError(at + ": a detail band needs a height");
        if (jb.contains("controls")) {
            if (!jb["controls"].is_array()) throw LayoutError(at + ": \"controls\" must be a list");
            for (const json& jc : jb["controls"]) {
                ReportControl c;
                c.number = ++counter;
                const std::string here = where + " control " + std::to_string(c.number);
                if (!jc.is_object()) throw LayoutError(here + ": must be an object");
                const auto ck = controlKind(text(jc, "kind", here));
                if (!ck) throw LayoutError(here + ": unknown kind \"" + text(jc, "kind", here) + "\"");
                c.kind = *ck;
                c.use = text(jc, "use", here);
                claimUse(uses, c.use, here);
                c.var = jc.contains("var") ? text(jc, "var", here) : (c.use.empty() ? "" : c.use.substr(1));
                c.text = text(jc, "text", here);
                c.picture = picture(jc, here);
                if (jc.contains("value")) c.value = text(jc, "value", here);
                const auto total = totalKind(text(jc, "total", here));
                if (!total) throw LayoutError(here + ": unknown total \"" + text(jc, "total", here) + "\"");
                c.total = *total;
                if (c.total != ReportControl::Total::None && c.kind != ReportControl::Kind::String)
                    throw LayoutError(here + ": only a string control shows a total");
                if (jc.contains("at")) c.at = rect(jc["at"], here);
                c.font = jc.contains("font") ? readFont(jc["font"], r.font, here + " font") : r.font;
                c.align = readAlign(jc, here);
                if (jc.contains("pen")) c.pen = number(jc, "pen", here);
                band.controls.push_back(std::move(c));
            }
        }
        r.bands.push_back(std::move(band));
    }
    return r;
}

}  // namespace wnd::layout_json
