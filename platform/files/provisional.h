#pragma once
// Provisional records: a record added before its form is filled in (a new prescription under its
// provisional number). Each is marked in the database with its owner, this running program, whose
// lock file beside the database is locked for as long as the program runs; the lock dies with the
// process, however it ends. A program that starts later removes the provisional records whose owner
// is gone, never those of another program still running on the same files.
#include <cstdint>

#include "platform/files/table_file.h"

namespace files {

// Adds the buffer as a new record, provisional, owned by this program: the record and its mark in
// one transaction. Without a lock file (none can be made beside the database) the record is added
// unmarked, as an ordinary one.
int addProvisional(TableFile& file);
// Writes the buffer over provisional record pos, expected at version `expected` (the outcomes of
// TableFile::putAt), and makes it an ordinary record: the write and the end of its mark are one.
int settleProvisional(TableFile& file, Position pos, std::int64_t expected);
// Drops the mark of a provisional record that was removed.
void forgetProvisional(TableFile& file, Position pos);
// Removes the file's table's provisional records whose owner no longer runs; *removed gets their
// number. 0 or the driver's error.
int sweepProvisional(TableFile& file, int* removed = nullptr);

}  // namespace files
