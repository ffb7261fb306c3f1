#pragma once
// A double click on a list's column header widens (or narrows) that column to its contents: the
// longest of its header and the texts of the rows shown, at four dialog units a character plus
// the column's indent and a margin of four.
#include <vector>

#include "platform/classes/list_queue.h"
#include "platform/window/window.h"

namespace cls {

class ColumnAutoSizer {
public:
    void Initialise() { lists_.clear(); }
    void AddList(wnd::Window& window, int list, const ListQueue& queue) { lists_.push_back({&window, list, &queue}); }
    // The window's current event: non-zero when it was a header double click it took.
    int TakeEvent(wnd::Window& window);
    void TearDown() { lists_.clear(); }

private:
    struct Entry {
        wnd::Window* window;
        int list;
        const ListQueue* queue;
    };
    std::vector<Entry> lists_;
};

}  // namespace cls
