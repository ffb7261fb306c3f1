#pragma once
// The seeker of one sort order: a typed character moves the list to the first row whose key field
// starts with it. The character goes into the key field of the buffer (the key's own collation
// ignores case); in a descending field it is followed by the highest characters, so that the seek
// lands on the first row, in that order, that starts with it.
#include "platform/classes/list_pager.h"

namespace cls {

class ListSeeker {
public:
    // `field`: the order's first key field; `ignoreCase`: letters are sought in either case.
    void Initialise(const rt::FieldDesc* field, bool ignoreCase, bool descending = false);
    // Moves the pager; false when the character cannot be sought (no field, not printable).
    bool Seek(char typed, ListPager& pager, files::TableFile& file) const;

private:
    const rt::FieldDesc* field_ = nullptr;
    bool ignoreCase_ = true;
    bool descending_ = false;
};

}  // namespace cls
