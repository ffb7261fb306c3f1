#pragma once
// Per-thread access to one table: priming, field checks, inserts with automatic numbering, writes
// and reads through the thread's instance of the table. Derived classes bind it to their table's
// record buffer and file instance and add the table's own checks.
//
// Result levels: 0 go on, 1 a write refused by the field checks, 3 the table cannot be used,
// 5 handled or already reported.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/classes/error_reporter.h"
#include "platform/files/table_file.h"

namespace cls {

class TableGroup;

enum Level : int { kLevelBenign = 0, kLevelRefused = 1, kLevelFatal = 3, kLevelNotify = 5 };

// Use types handed to UseTable.
enum UseType : int { kUseAccess = 2, kUseInitialise = 5 };

struct RegisteredKey {
    int index = -1;          // into the table's keys
    std::string name;        // registered name (up to 80 characters)
    bool autoNumber = false;
};

struct BufferRef {
    void* address = nullptr;
    const rt::TableDesc* desc = nullptr;
    std::size_t size = 0;
    std::string* memo = nullptr;
};

class TableAccessor {
public:
    TableAccessor() = default;
    virtual ~TableAccessor();
    TableAccessor(const TableAccessor&) = delete;
    TableAccessor& operator=(const TableAccessor&) = delete;

    // --- virtual operations, in slot order ---
    virtual void BindNames();
    virtual int UndoAutoNumber(TableGroup& group);
    virtual bool SameAsSaved(int snapshot) const;
    virtual void Initialise();
    virtual void Attach(files::TableFile* file, ErrorReporter* errors);
    virtual int InsertRecord();
    virtual void TearDown();
    virtual int PrepareNewRecord(bool messages);
    virtual void PrimeNewRecord() {}
    virtual int PrimeRecord(bool keepBuffer);
    virtual void RevertBuffer(int snapshot);
    virtual int SnapshotBuffer();
    virtual int UseTable(int useType);
    virtual int CheckFieldValue(int fieldNumber, bool report);
    virtual int CheckFieldRange(int first, int last);
    virtual int CheckRecord();
    virtual int DeleteRow();

    // --- non-virtual operations ---
    void SetReporter(ErrorReporter* errors) { ERRORS = errors; }
    void RegisterKey(std::string_view name, bool autoNumber);
    // Counts a use of the table through its group and binds the names; the file itself opens at
    // the first read or write.
    int Open();
    void Close();
    // Opens the file now if it is not open (create when missing, access denied: retry, then
    // read-only). Returns 0 or 3.
    int OpenFile();
    void FreeSnapshot(int snapshot);

    // Reads, with the table's messages: 0 found, kRecordNotAvailable / kRecordNotFound (not reported),
    // other errors reported with message 1 and returned as 5.
    int TryFetch(int key);       // exact look-up on the buffer's key fields
    int TrySetKey(int key);      // position before the first record of the key
    int TryNext();
    int TryPrevious();
    int TryFetchAt(files::Position pos);
    // Writes the buffer over the record at pos (expected at its version), after the field checks
    // (1 when refused). Returns 0, 1, 3 or the driver's error code (kRecordChanged, ...), unreported.
    int TryUpdateAt(files::Position pos, std::int64_t version);
    // The same over the current record of the file instance.
    int TryUpdate();
    // Clears the buffer: text blank, numbers zero, the memo empty.
    void ClearBuffer();

    // Position of the record the auto-number step added (invalid when none is pending).
    files::Position autoNumberedPosition() const { return autoPos_; }

    // --- fields ---
    BufferRef BUFFER;
    files::TableFile* FILE = nullptr;
    std::string FILENAMEVALUE;
    ErrorReporter* ERRORS = nullptr;
    std::uint8_t CREATE = 0;
    std::int16_t LOCKRECOVER = 0;
    std::uint8_t INITIALIZED = 0;
    std::uint8_t INUSEFILE = 0;
    std::uint8_t LAZYOPEN = 0;
    std::vector<RegisteredKey> KEYS;
    std::uint8_t HASAUTOINC = 0;
    std::uint8_t AUTOINCDONE = 0;
    TableAccessor* ALIASEDFILE = nullptr;

    // The reporter's %ErrorText for a driver error: "Record Not Found (35)".
    static std::string ErrorText(int code);
    // The same, followed by what the user can do about it when the file's last error was `code`
    // ("Transaction Timed Out (91); another program is using .../support.sqlite; trying again may work").
    std::string FileErrorText(int code) const;

protected:
    // The number that follows the given key text: read as a number plus one, clamped so that its
    // digits fit a field of `width` characters.
    static std::string NextNumberText(std::string_view last, std::size_t width);
    // Reports message `number` about this table with the file's last error; returns the answer.
    int reportFile(int number);
    void setErrorFromFile();

private:
    struct Snapshot {
        std::string bytes;
        std::string memo;
    };
    int addAutoNumbered();
    // A read's result: found or not there passes through; any other error is reported (message 1)
    // and becomes 5.
    int readResult(int e);

    int opens_ = 0;
    int fileOpensByMe_ = 0;
    int nextSnapshot_ = 1;
    std::map<int, Snapshot> snapshots_;
    files::Position autoPos_;
    std::int64_t autoVersion_ = 0;
};

}  // namespace cls
