#include "platform/classes/column_auto_sizer.h"

#include <algorithm>

#include "platform/window/list_format.h"

namespace cls {

int ColumnAutoSizer::TakeEvent(wnd::Window& window) {
    if (window.event() != wnd::Event::AlertKey || window.keyCode() != wnd::kKeyMouseLeft2 || window.pointerRow() != 0 ||
        window.pointerColumn() < 1)
        return 0;
    for (const Entry& e : lists_) {
        if (e.window != &window || e.list != window.control()) continue;
        auto columns = wnd::ParseListFormat(window.control(e.list).format);
        const std::size_t c = static_cast<std::size_t>(window.pointerColumn() - 1);
        if (c >= columns.size()) return 1;
        // The texts the column shows (a moved column shows another field of the row).
        const std::size_t field = wnd::ShownFields(columns)[c];
        std::size_t chars = columns[c].header.size();
        for (const ListQueueRow& r : e.queue->rows)
            if (field < r.fields.size()) chars = std::max(chars, r.fields[field].size());
        columns[c].width = static_cast<int>(chars) * 4 + std::max(columns[c].indent, 0) + 4;
        window.SetFormat(e.list, wnd::FormatListFormat(columns));
        return 1;
    }
    return 0;
}

}  // namespace cls
