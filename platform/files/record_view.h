#pragma once
// A record view: a table read in one key order (or in position order), optionally limited by a
// range on the key's leading component and by a filter, a page at a time with keyset seeks, in
// both directions. Reads fill the table's buffer and make the record read the file's current record
// (so put() writes it, with its version checked). Opening a view and reading the first, the last or
// any page costs the same at a hundred records or a million (no OFFSET, no full load). A page is
// served as it was read; a write through this thread makes the view read afresh, and a record
// another thread changed meanwhile is caught by its version when written.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/files/table_file.h"

namespace files {

// A value of a key component, as range bounds give it.
using KeyValue = std::variant<std::int64_t, double, std::string>;

// A condition on one field that every record the view's filter keeps meets, so the database can
// test it and the view reads only records that can pass (the filter still sees each of them).
// Its value is read at each query; nullopt leaves it out that time. Text is tested for equality
// only, folding case as a key does (trailing blanks ignored) and as the buffer holds it (the
// field's width, whoever stored a longer text): never stricter than an exact test.
// A condition on another text comparison, or on text against a number, tests nothing.
struct FieldCondition {
    enum class Op { Equal, Less, LessEqual, Greater, GreaterEqual };
    int field = 0;  // field number
    Op op = Op::Equal;
    std::function<std::optional<KeyValue>()> value;
};

class RecordView {
public:
    // key: index into the table's keys; -1 for position order.
    RecordView(TableFile& file, int key);
    ~RecordView();
    RecordView(const RecordView&) = delete;
    RecordView& operator=(const RecordView&) = delete;

    // Keep only records for which keep() is true; it is called with the candidate in the buffer.
    void setFilter(std::function<bool()> keep);
    // What the database may test before keep() sees a record (see FieldCondition). Conditions on
    // the key's leading components make a range of its index, the others a test on the rows.
    void setConditions(std::vector<FieldCondition> conditions);
    // Keep only records whose leading key component lies in [low, high] (text compared as the key
    // compares it). Both bounds may be equal for an exact range.
    void setRange(KeyValue low, KeyValue high);
    void clearRange();
    // Records read from the database per round trip.
    void setPageSize(int rows);
    // Orders the view by these fields instead (a temporary order over fields that no key holds):
    // the records of the key order, range and filter, sorted on the fields, text ignoring case,
    // records equal on them in the key's order. SQLite sorts them, a page at a time from a
    // boundary like any other order. An empty list gives back the key's own order.
    void setSortOrder(std::vector<rt::KeyComponent> by);

    // Before the first record / after the last.
    int reset();
    int resetToEnd();
    // next() reads the first record whose key is >= the key in the buffer.
    int seekToBufferKey();
    // next() reads the record at pos (which must be in this view's key).
    int seekToPosition(Position pos);
    int next();      // kRecordNotAvailable at the end
    int previous();  // kRecordNotAvailable at the start
    Position position() const;  // of the record last read

    int key() const;
    TableFile& file() const;

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace files
