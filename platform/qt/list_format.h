#pragma once
// The column format of a list box: per column a width in dialog units, an alignment, an optional
// indent in parentheses, flags ('|' right border, 'M' resizable, ...), a ~header~ and an @picture@.
//     "80L(2)|M~Name~@s30@40R(2)|M~Count~@n6@"
#include <string>
#include <string_view>
#include <vector>

namespace qtp {

struct ListColumn {
    int width = 0;        // dialog units; 0 none given
    char align = 'L';     // L, R, C or D (decimal)
    int indent = 0;
    bool resizable = false;
    std::string header;
    std::string picture;  // "@s30"
};

// Columns in order; text that is not a column format gives none.
std::vector<ListColumn> ParseListFormat(std::string_view format);

}  // namespace qtp
