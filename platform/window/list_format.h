#pragma once
// The column format of a list box: per column a width in dialog units, an alignment with an
// optional indent in parentheses, flags ('|' right border, 'M' resizable, 'F' fixed, ...), a
// ~header~ with its own optional alignment, an @picture@, and optionally #n#, the row field the
// column shows (a layout that moves columns names them; without it a column shows the field of
// its own place).
//     "80L(2)|M~Name~C(0)@s30@40R(2)|M~Count~@n6@"    "40R(2)|M~Count~@n6@#2#80L(2)|M~Name~@s30@#1#"
// Shared by the task side (which formats the rows) and both presenters (which draw them).
#include <string>
#include <string_view>
#include <vector>

namespace wnd {

struct ListColumn {
    int width = 0;          // dialog units; 0 none given
    char align = 'L';       // L, R, C or D (decimal)
    int indent = -1;        // -1: none given
    std::string flags;      // the characters between alignment and header, kept as written
    bool resizable = false; // 'M' among the flags
    std::string header;
    char headerAlign = 0;   // 0: as the column
    int headerIndent = -1;
    std::string picture;    // "@s30"
    int field = 0;          // the row field shown (1-based); 0: the column's own place

    friend bool operator==(const ListColumn&, const ListColumn&) = default;
};

// Columns in order; text that is not a column format gives none.
std::vector<ListColumn> ParseListFormat(std::string_view format);
// The format string of the columns; ParseListFormat gives back unchanged any columns it produced,
// whatever text they came from.
std::string FormatListFormat(const std::vector<ListColumn>& columns);
// The row field (0-based) each column shows.
std::vector<std::size_t> ShownFields(const std::vector<ListColumn>& columns);

}  // namespace wnd
