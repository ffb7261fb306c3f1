#pragma once
// Sums the database keeps itself (rt::KeptSumDesc): one row per sum in the file's table _kept_sums,
// moved by triggers on the summed table in the same transaction as every insert, update and delete,
// whoever writes. The update trigger adds the new record's share and takes off the old one's, so an
// update that fires it again (the _version trigger's own update) adds nothing.
//
// Only whole numbers of moderate size are kept (|v| < 2^31, so no count of records can overflow
// the total); a record holding anything else (a real number, text, a huge integer written by
// another program) is counted as odd, and while any is, readers add up the table instead.
#include <cstdint>
#include <string>

#include "platform/files/schema.h"

namespace files {

class Connection;

// Makes every kept sum of the table as this driver makes it now: its triggers (re)made and its row
// filled from the table, in the transaction open on c (see migration.h). The file's _kept_sums
// table must exist.
int makeKeptSums(Connection& c, const TableSchema& s, StoreError* e);

// The text a record buffer holds for a text field stored in column (quoted, with any row prefix),
// in SQL: as many characters as the field holds, trailing blanks left off. A kept sum and the
// summing read compare this, so they count a record as a list showing its field would.
std::string textAsHeld(const rt::FieldDesc& f, const std::string& column);
// The characters a record buffer holds of a text field.
std::size_t heldRoom(const rt::FieldDesc& f);

struct KeptSumValue {
    std::int64_t total = 0;
    std::int64_t odd = 0;  // records the total leaves out (see above)
};
// The stored value of a kept sum: SQLITE_ROW when there is one, SQLITE_DONE when the file has none
// made as this driver makes it (opened read-only before it was made, or kept by another version of
// the program), else SQLite's error.
int readKeptSum(Connection& c, const TableSchema& s, const rt::KeptSumDesc& k, KeptSumValue* out);

}  // namespace files
