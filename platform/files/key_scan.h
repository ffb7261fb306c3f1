#pragma once
// Reading a table in one key order (or position order) from a boundary, in both directions, with
// keyset seeks. A boundary is a record's key values and position; the records after it are the
// union of disjoint index ranges, one per key component: equal on the components before it and
// strictly after the boundary on it (the last range is "equal key, later position"). Each range is
// one index seek, so reading a page costs the same anywhere in a table of any size, with no OFFSET
// and descending components handled per component. Rows are fetched a page at a time. A fresh scan
// serves a fetched row only while the database has not changed since (any connection, any
// program): what a record-at-a-time cursor promises. A page scan (record views) serves its page as
// one round trip and refetches early only after writes through this thread's connection; a row
// another program changed meanwhile is caught by its version when it is written.
//
// A scan may read in an order of its own (fields no single index holds, sorted by SQLite) and may
// carry conditions the database tests on every row, so only rows that can pass come back.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/files/connection.h"
#include "platform/files/field_codec.h"
#include "platform/files/schema.h"
#include "platform/files/table_file.h"

namespace files {

// One record as read: the buffer image, the memo, its position and version, and the raw values of
// its key fields (boundaries use the stored values, never a re-encoding of the buffer).
struct Row {
    std::int64_t id = 0;
    std::int64_t version = 0;
    std::string record;
    std::string memo;
    bool hasMemo = false;
    std::vector<SqlValue> keyFields;  // by TableSchema::keyFields() slot
};

// Fills a row from a result row in TableSchema's select order.
void readRow(const TableSchema& s, sqlite3_stmt* stmt, bool withMemo, Row* out);
// The boundary values of key k for a row.
std::vector<SqlValue> boundaryOf(const TableSchema& s, int k, const Row& r);

// A term the database tests on every row of a scan: column op value. The value is read at each
// query; nullopt leaves the term out that time. An equality on a lookup's leading column reads
// through that lookup (see rt::TableDesc::lookups).
//
// A text column is compared as a record buffer holds it (`held`: the text clipped to its field's
// width, blanks trimmed), so a longer text another writer stored passes as the program's own test
// passes it. Where the index seeks on the column, the scan keeps the plain equality (and with it
// the index's order) and reaches the longer texts by a second statement over the few index
// entries that can hold them, merged into the same order.
struct ScanCondition {
    enum class Op { Equal, Less, LessEqual, Greater, GreaterEqual };
    std::string column;  // as the index compares it: with its collation when it is text
    Op op = Op::Equal;
    std::function<std::optional<SqlValue>()> value;
    std::string held;      // text only: the column as the buffer holds it, same collation; else empty
    std::size_t room = 0;  // with held: the characters the field holds
    bool nocase = false;   // with held: the collation folds case
};

class KeyScan {
public:
    static constexpr int kMaxAdaptiveBatch = 64;

    enum class Freshness { PerRecord, PerPage };
    // adaptive: the first page after each repositioning is small and pages grow while reading on.
    KeyScan(TableFile::Impl& file, int key, int pageSize, bool adaptive, Freshness freshness);

    int key() const { return key_; }
    void setPageSize(int rows);
    void setRange(SqlValue low, SqlValue high);
    void clearRange();
    // Reads in this order instead of the key's (still through the key's index, with its OPT
    // condition); boundaries are the row's values of these fields. Empty: the key's own order.
    void setOrder(std::vector<OrderComponent> order);
    void setConditions(std::vector<ScanCondition> conditions);
    // The boundary of a record in this scan's order, from its buffer image.
    std::vector<SqlValue> boundaryOfRecord(const char* record) const;
    // The same for a row as read (a key's boundary is the stored values the row carries).
    std::vector<SqlValue> boundaryOfRow(const Row& r) const;

    void toStart();      // next() reads the first record, previous() none
    void toEnd();        // previous() reads the last record, next() none
    void toBothEnds();   // next() reads the first record, previous() the last
    // next() reads the first record after (values, id), or at it when inclusive; previous() the
    // last record before it.
    void toPoint(std::vector<SqlValue> values, std::int64_t id, bool inclusive);
    void toRow(const Row& r);

    // 0, kRecordNotAvailable at the end, or an error (detail in the file's last error).
    int next(Row* out);
    int previous(Row* out);

private:
    enum class State { Start, End, Both, Point };
    int step(int dir, Row* out);
    int fetch(Connection& c, int dir);
    int query(Connection& c, int dir, ScanShape shape, int level, int limit);
    void repositioned();
    int components() const;
    OrderComponent componentAt(int level) const;
    struct Terms;  // the conditions' values and forms for one query (see the .cpp)
    Terms termsNow() const;
    int queryForm(Connection& c, int dir, ScanShape shape, int level, int limit, const Terms& t, int form, std::vector<Row>* out);
    // Whether the conditions, in statement form `form`, leave nothing past the point on component
    // `level` (see the .cpp).
    bool pinnedBefore(int level, int dir, const Terms& t, int form) const;
    bool formMeetsPoint(int equal, const Terms& t, int form) const;
    // The statement for a shape with the conditions whose bit is set in `active`, in form `form`.
    const std::string& sqlFor(int dir, ScanShape shape, int level, bool inclusive, const Terms& t, int form);
    // The stored lookup an active condition pins, nullptr when none.
    const KeyPlan* lookupFor(std::uint64_t active) const;
    // Whether a row comes before another in this scan's order read in direction dir.
    bool before(const Row& a, const Row& b, int dir) const;

    TableFile::Impl& file_;
    int key_;
    int pageSize_;
    bool adaptive_;
    Freshness freshness_;
    int batch_ = 0;
    std::optional<std::pair<SqlValue, SqlValue>> range_;
    std::vector<OrderComponent> order_;  // empty: the key's
    std::vector<ScanCondition> conditions_;
    std::vector<int> pins_;  // per condition: the lookup it pins, -1 none
    std::map<std::tuple<std::uint64_t, std::uint64_t, int>, std::string> sql_;

    State state_ = State::Both;
    std::vector<SqlValue> point_;
    std::int64_t pointId_ = 0;
    bool inclusive_ = false;

    std::deque<Row> cache_;
    int cacheDir_ = 0;
    int exhausted_ = 0;  // the direction whose last fetch came back short (the scan's end)
    bool cacheMemo_ = false;
    Connection::Stamp stamp_;
    std::weak_ptr<Connection> cacheConnection_;
};

}  // namespace files
