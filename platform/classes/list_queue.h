#pragma once
// The rows a list box shows, as the user sees them: each column's value formatted through its
// picture, then the columns the list keeps without showing, then the row's mark and its record's
// position in the view.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/files/table_file.h"

namespace cls {

struct ListQueueRow {
    std::vector<std::string> fields;  // in column order
    std::uint8_t MARK = 0;
    files::Position VIEWPOSITION;
};

struct ListQueue {
    std::vector<ListQueueRow> rows;
    std::size_t size() const { return rows.size(); }
    bool empty() const { return rows.empty(); }
};

}  // namespace cls
