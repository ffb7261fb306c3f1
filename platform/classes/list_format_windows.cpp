// The list-format manager's two windows, both plain windows on the list's thread:
// - "List Formats": the layouts this list keeps, by name and number; one can be shown in the list,
//   locked (its stored layout is no longer overwritten when the list closes) or removed.
// - "Format Setup": the present layout's columns; headers and widths can be changed, columns
//   moved, the designed layout brought back, and the result kept as the current tab's layout.
#include <algorithm>
#include <utility>

#include "platform/classes/list_format_manager.h"
#include "platform/window/layout_builder.h"
#include "platform/window/list_format.h"
#include "platform/window/window.h"

namespace cls {
namespace {

using K = wnd::ControlKind;

constexpr int kMaxWidth = 2000;  // dialog units: far wider than any window

wnd::WindowLayout formatsLayout() {
    wnd::WindowLayout l = wnd::MakePlainWindow("ListFormatManager", "P1$FORMATS", "List Formats", {0, 0, 232, 132});
    auto list = wnd::MakeControl(K::List, "?FORMATS", "", {6, 6, 166, 120});
    list.state.format = "90L(2)|M~Format~@s30@24R(2)|M~No.~@n5@50L(2)|M~State~@s20@";
    l.controls.push_back(std::move(list));
    l.controls.push_back(wnd::MakeControl(K::Button, "?SHOW", "&Show", {178, 6, 48, 14}));
    l.controls.push_back(wnd::MakeControl(K::Button, "?LOCK", "&Lock", {178, 24, 48, 14}));
    l.controls.push_back(wnd::MakeControl(K::Button, "?DELETE", "&Delete", {178, 42, 48, 14}));
    l.controls.push_back(wnd::MakeControl(K::Button, "?CLOSE", "&Close", {178, 112, 48, 14}));
    wnd::NumberControls(l);
    return l;
}
enum FormatsControl { kFormatsList = 1, kShow, kLock, kDelete, kFormatsClose };

wnd::WindowLayout setupLayout() {
    wnd::WindowLayout l = wnd::MakePlainWindow("ListFormatManager", "P1$SETUP", "Format Setup", {0, 0, 260, 170});
    auto list = wnd::MakeControl(K::List, "?COLUMNS", "", {6, 6, 190, 100});
    list.state.format = "112L(2)|M~Column~@s40@30R(2)|M~Width~@n5@40L(2)|M~Alignment~@s10@";
    l.controls.push_back(std::move(list));
    l.controls.push_back(wnd::MakeControl(K::Prompt, "?HEADER:PROMPT", "&Header:", {6, 112, 40, 10}));
    auto header = wnd::MakeControl(K::Entry, "?HEADER", "", {48, 111, 148, 11});
    header.state.picture = "@s40";
    header.var = "HEADER";
    l.controls.push_back(std::move(header));
    l.controls.push_back(wnd::MakeControl(K::Prompt, "?WIDTH:PROMPT", "&Width:", {6, 126, 40, 10}));
    auto width = wnd::MakeControl(K::Entry, "?WIDTH", "", {48, 125, 30, 11});
    width.state.picture = "@n5";
    width.var = "WIDTH";
    l.controls.push_back(std::move(width));
    l.controls.push_back(wnd::MakeControl(K::Button, "?UP", "Move &Up", {202, 6, 52, 14}));
    l.controls.push_back(wnd::MakeControl(K::Button, "?DOWN", "Move &Down", {202, 24, 52, 14}));
    l.controls.push_back(wnd::MakeControl(K::Button, "?DESIGNED", "&Designed", {202, 42, 52, 14}));
    auto locked = wnd::MakeControl(K::Check, "?LOCKED", "&Keep this layout as it is saved", {6, 140, 190, 10});
    locked.var = "LOCKED";
    l.controls.push_back(std::move(locked));
    l.controls.push_back(wnd::MakeControl(K::Button, "?OK", "&OK", {148, 152, 52, 14}));
    l.controls.push_back(wnd::MakeControl(K::Button, "?CANCEL", "&Cancel", {202, 152, 52, 14}));
    wnd::NumberControls(l);
    return l;
}
enum SetupControl { kColumns = 1, kHeaderPrompt, kHeader, kWidthPrompt, kWidth, kUp, kDown, kDesigned, kLocked, kOk, kCancel };

std::string alignmentName(char align) {
    switch (align) {
        case 'R': return "Right";
        case 'C': return "Centre";
        case 'D': return "Decimal";
        default: return "Left";
    }
}

// The columns of a layout, each naming the row field it shows, so that moving keeps them apart.
std::vector<wnd::ListColumn> columnsOf(std::string_view format) {
    auto columns = wnd::ParseListFormat(format);
    const auto fields = wnd::ShownFields(columns);
    for (std::size_t i = 0; i < columns.size(); ++i) columns[i].field = static_cast<int>(fields[i]) + 1;
    return columns;
}

}  // namespace

void ListFormatManager::ShowFormats() {
    if (!initialised_) return;
    wnd::Window w(formatsLayout());
    std::vector<Stored> stored;
    auto show = [&] {
        stored = storedFormats();
        std::vector<std::vector<std::string>> rows;
        for (const Stored& s : stored) {
            std::string state = s.id == current_ ? "Current" : "";
            if (s.flag & kLocked) state += state.empty() ? "Locked" : ", locked";
            rows.push_back({s.name, std::to_string(s.id), state});
        }
        w.SetRows(kFormatsList, std::move(rows));
        int row = w.control(kFormatsList).choice;
        if (row < 1 || row > static_cast<int>(stored.size())) {
            row = 0;
            for (std::size_t i = 0; i < stored.size(); ++i)
                if (stored[i].id == current_) row = static_cast<int>(i) + 1;
            if (!row && !stored.empty()) row = 1;
        }
        w.SetChoice(kFormatsList, row);
        const Stored* s = row ? &stored[static_cast<std::size_t>(row - 1)] : nullptr;
        w.SetDisabled(kShow, !s);
        w.SetDisabled(kLock, !s);
        w.SetText(kLock, s && (s->flag & kLocked) ? "Un&lock" : "&Lock");
        w.SetDisabled(kDelete, !s || s->id == current_);  // the shown tab's layout stays
    };
    auto chosen = [&]() -> const Stored* {
        const int row = w.control(kFormatsList).choice;
        return row >= 1 && row <= static_cast<int>(stored.size()) ? &stored[static_cast<std::size_t>(row - 1)] : nullptr;
    };
    show();
    w.Open();
    w.Select(kFormatsList);
    while (w.Accept()) {
        const int c = w.control();
        if (w.event() == wnd::Event::NewSelection && c == kFormatsList) {
            show();
            continue;
        }
        if (w.event() != wnd::Event::Accepted) continue;
        const Stored* s = chosen();
        if (c == kFormatsClose) {
            w.Post(wnd::Event::CloseWindow);
        } else if (c == kShow && s) {
            // Shown now; it becomes this tab's layout when the list saves it.
            if (list_->Accepts(s->format)) list_->SetFormat(s->format);
            else tell("The layout \"" + s->name + "\" does not fit this list's columns.");
        } else if (c == kLock && s) {
            setLocked(s->id, !(s->flag & kLocked));
            show();
        } else if (c == kDelete && s && s->id != current_) {
            MessageBoxRequest r;
            r.caption = "List Format Manager";
            r.icon = MessageIcon::Question;
            r.buttons = kButtonYes | kButtonNo;
            r.defaultButton = kButtonNo;
            r.text = "Remove the layout \"" + s->name + "\"?";
            if (errors_ && errors_->Ask(r) == kButtonYes) removeFormat(s->id);
            show();
        }
    }
}

void ListFormatManager::ShowSetup() {
    if (!initialised_) return;
    std::vector<wnd::ListColumn> columns = columnsOf(list_->Format());
    if (columns.empty()) return;
    bool locked = false;
    if (current_ && readFormat(current_) == 0) locked = (flag() & kLocked) != 0;
    std::string header, lockedText = locked ? "1" : "0";
    std::int32_t width = 0;
    int at = 1;  // the chosen column, 1-based

    wnd::Window w(setupLayout());
    w.Bind("HEADER", wnd::UseVariable::Text(header, 40));
    w.Bind("WIDTH", wnd::UseVariable::Long(width));
    w.Bind("LOCKED", wnd::UseVariable::Text(lockedText, 1));
    auto show = [&] {
        std::vector<std::vector<std::string>> rows;
        for (const wnd::ListColumn& c : columns)
            rows.push_back({c.header.empty() ? "(column " + std::to_string(c.field) + ")" : c.header,
                            std::to_string(c.width), alignmentName(c.align)});
        w.SetRows(kColumns, std::move(rows));
        at = std::clamp(at, 1, static_cast<int>(columns.size()));
        w.SetChoice(kColumns, at);
        const wnd::ListColumn& c = columns[static_cast<std::size_t>(at - 1)];
        header = c.header;
        width = c.width;
        w.SetDisabled(kUp, at == 1);
        w.SetDisabled(kDown, at == static_cast<int>(columns.size()));
        w.Display();
    };
    show();
    w.Open();
    w.Select(kColumns);
    bool ok = false;
    while (w.Accept()) {
        const int c = w.control();
        wnd::ListColumn& column = columns[static_cast<std::size_t>(at - 1)];
        if (w.event() == wnd::Event::NewSelection && c == kColumns) {
            at = w.control(kColumns).choice;
            show();
            continue;
        }
        if (w.event() != wnd::Event::Accepted) continue;
        switch (c) {
            case kHeader:
                // '~' would end the header inside the format string.
                if (header.find('~') != std::string::npos) tell("A column header cannot hold the character ~.");
                else column.header = header;
                show();
                break;
            case kWidth:
                if (width < 1 || width > kMaxWidth) tell("The width must be between 1 and " + std::to_string(kMaxWidth) + ".");
                else column.width = width;
                show();
                break;
            case kUp: case kDown: {
                const int to = c == kUp ? at - 1 : at + 1;
                if (to >= 1 && to <= static_cast<int>(columns.size())) {
                    std::swap(columns[static_cast<std::size_t>(at - 1)], columns[static_cast<std::size_t>(to - 1)]);
                    at = to;
                }
                show();
                break;
            }
            case kDesigned:
                columns = columnsOf(list_->DesignedFormat());
                show();
                break;
            case kOk: ok = true; [[fallthrough]];
            case kCancel: w.Post(wnd::Event::CloseWindow); break;
            default: break;
        }
    }
    if (!ok) return;
    const std::string format = wnd::FormatListFormat(columns);
    if (!list_->Accepts(format)) {
        tell("This layout does not fit the list's columns.");
        return;
    }
    list_->SetFormat(format);
    saveCurrent(format, lockedText == "1");
}

}  // namespace cls
