#pragma once
// The seeker of one sort order: a typed character moves the list to the first row whose key field
// starts with it. The character goes into the key's first field in the buffer (the key's own
// collation ignores case); in a descending field it is followed by the highest characters, and
// the key's later fields take the value that sorts first in their own direction (blank or the
// lowest number ascending, the highest descending), so that the seek lands on the first row, in
// that order, that starts with it.
#include "platform/classes/list_pager.h"

namespace cls {

class ListSeeker {
public:
    // `key`: the order's key in `table`; `ignoreCase`: letters are sought in either case.
    void Initialise(const rt::TableDesc& table, const rt::KeyDesc& key, bool ignoreCase);
    // Moves the pager; false when the character cannot be sought (no key, not printable, not a
    // digit for a number field).
    bool Seek(char typed, ListPager& pager, files::TableFile& file) const;

private:
    const rt::TableDesc* table_ = nullptr;
    const rt::KeyDesc* key_ = nullptr;
    bool ignoreCase_ = true;
};

}  // namespace cls
