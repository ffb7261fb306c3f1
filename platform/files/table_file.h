#pragma once
// One thread's instance of one table. Records are read into and written from a record buffer the
// instance is bound to (and, when the table has one, a memo string). Every instance has one cursor:
// a current record and a position in a key order, as the program's accessors expect.
//
// Threading: an instance belongs to the thread that created it and must be used only there. Each
// thread holds one SQLite connection per database file, shared by that thread's instances.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/files/errors.h"
#include "platform/runtime/record_layout.h"

namespace files {

using rt::FieldDesc;
using rt::FieldType;
using rt::KeyComponent;
using rt::KeyDesc;
using rt::MemoDesc;
using rt::TableDesc;

// A record's position in its table. It survives other records' deletions, VACUUM and restarts, and
// is never reused for another record.
struct Position {
    std::int64_t id = 0;
    bool valid() const { return id > 0; }
    friend bool operator==(Position, Position) = default;
};

enum class OpenMode {
    SharedReadWrite,  // the normal mode: others may read and write
    ReadOnly,         // read only; writes fail with kReadOnlyFile
    DenyWrite,        // read and write for key rebuilds: opens even with a key missing; buildKeys()
                      // runs as one transaction, so no other writer interleaves with it
};

class TableFile {
public:
    // buffer: desc.recordSize bytes; memo: the memo text, or nullptr when the table has no memo.
    TableFile(const TableDesc& desc, void* buffer, std::string* memo);
    ~TableFile();
    TableFile(const TableFile&) = delete;
    TableFile& operator=(const TableFile&) = delete;

    const TableDesc& desc() const;
    void* buffer() const;
    std::string* memo() const;

    // Path of the database file the table lives in, resolved against the working directory.
    std::string path() const;

    // Opens the table. kFileNotFound when the database file or the table does not exist (create()
    // then makes it); kAccessDenied when the file cannot be opened for writing in a writing mode;
    // kFileDamaged when the file is not a database or is damaged; kFileAlreadyOpen when this
    // instance is open already; kInvalidRecordDeclaration when the stored table does not match;
    // kInvalidKeyFile when a key's index is missing or differs from its declaration (buildKeys()).
    int open(OpenMode mode = OpenMode::SharedReadWrite);
    // Creates the database file and/or the table with its keys when missing (an existing table is
    // kept as it is). Never replaces a file that exists but is no database: kFileDamaged.
    int create();
    void close();
    bool isOpen() const;
    bool isReadOnly() const;
    // Driver options such as "Recover=10"; unknown options are ignored.
    void sendOption(std::string_view option);
    // Rebuilds the key indexes (after kInvalidKeyFile).
    int buildKeys();

    // --- Reading. Every read fills the buffer (and the memo unless memo reading is off). ---
    // Positions the cursor before the first record of key order `key` (-1: position order), so that
    // next() reads the first record and previous() the last.
    int setKeyOrder(int key);
    // Positions the cursor in key order `key` at the key value in the buffer: next() then reads the
    // first record whose key is >= the buffer's, previous() the last one whose key is < it.
    int setKeyValue(int key);
    // Positions the cursor at the record at pos in key order `key` (-1: position order): next()
    // reads that record.
    int setAtPosition(int key, Position pos);
    int next();       // kRecordNotAvailable past the end
    int previous();   // kRecordNotAvailable before the start
    // Exact look-up on the buffer's key fields (first match in key order): kRecordNotFound.
    int get(int key);
    // Reads the record at pos: kRecordNotFound when it is gone.
    int getAt(Position pos);
    // Whether reads fill the memo (on by default).
    void setReadMemo(bool on);

    // The current record: the last one read, added or written. Invalid when there is none.
    Position position() const;
    // The version of the current record as this instance last read or wrote it.
    std::int64_t version() const;
    // Whether the current record's key fields in the buffer are those that key `key` holds
    // (false for a record the key leaves out, per OPT).
    bool inKey(int key) const;
    // The number of records in the table.
    int records(std::int64_t* count);
    // Adds up numeric field `sumField` over the records whose text field `whereField` holds exactly
    // `equals` (case and all, trailing blanks ignored), in the database: a DECIMAL adds exactly, as
    // a scaled integer. *sum receives the scaled total; *overflow is set when it does not fit 64 bits.
    int sumWhereEqual(int sumField, int whereField, std::string_view equals, std::int64_t* sum, bool* overflow);

    // The kept sum `name` of the table's layout (rt::KeptSumDesc), as sumWhereEqual() would give it,
    // read from the one row the database keeps up to date; a file without it (opened read-only
    // before it was made) or holding values it cannot keep exactly is added up instead.
    int keptSum(std::string_view name, std::int64_t* sum, bool* overflow);

    // A mark that changes whenever the database file is written, through this thread's connection
    // or any other (another thread, another program). Lets a caller keep a figure it computed
    // until the data under it changes. Invalid ({}) when the file is not open.
    struct ChangeStamp {
        std::int64_t dataVersion = -1;
        std::uint64_t localWrites = 0;
        friend bool operator==(const ChangeStamp&, const ChangeStamp&) = default;
    };
    ChangeStamp changeStamp();

    // --- Writing. Each write is one transaction of its own unless a transaction is open. ---
    // Adds the buffer (and memo) as a new record, which becomes the current record.
    int add();
    // Writes the buffer over the current record. When another thread or program changed or removed
    // the record since this instance read it: kRecordChanged (or kRecordNotFound when it is gone),
    // nothing is written, and the buffer holds the stored record as it is now (re-read), whose
    // version is remembered, so a second put() writes.
    int put();
    // Writes the buffer over the record at pos, expecting it at version `expected`; the same
    // outcomes as put(). The record at pos becomes the current record.
    int putAt(Position pos, std::int64_t expected);
    // Deletes the current record / the record at pos.
    int erase();
    int eraseAt(Position pos);

    // --- Transactions on this instance's database file (all tables of the file, this thread). ---
    int begin(int timeoutSeconds);
    int commit();
    int rollback();
    bool inTransaction() const;

    int lastError() const;
    std::string lastErrorText() const;  // the driver's text with detail (SQLite's message)
    // What the user can do about the last error, naming the file ("the disk that holds ... is
    // full; ..."), empty when the error needs no such words (not found, changed by another station).
    std::string lastErrorCause() const;
    // Whether the last error refused writing because the file is of a newer version than this program.
    bool lastErrorIsNewerFile() const;

    struct Impl;
    Impl& impl() const;

private:
    std::unique_ptr<Impl> impl_;
};

// Releases the calling thread's connections (run at the end of each thread, after its instances
// are gone). Instances still open on the thread are closed.
void ReleaseThreadConnections();

// Folder the data files are resolved in (default: the process's working directory, at open time).
// Tests point it at a temporary folder.
void SetDataFolder(std::string folder);
std::string DataFolder();

}  // namespace files
