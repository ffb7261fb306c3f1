#pragma once
// How a record layout is stored: the table's columns, its keys as indexes, and the SQL the driver
// runs on them. Built once per table instance; the scan statements are made when first needed.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/files/field_codec.h"
#include "platform/runtime/record_layout.h"

namespace files {

class Connection;

struct KeyPlan {
    struct Component {
        std::string expr;  // the column, with its collation when it is text
        int dir = 1;       // +1 ascending, -1 descending
        int field = 0;     // field number
        int slot = 0;      // index into TableSchema::keyFields
    };
    std::string indexName;  // "<table>:<key name>"
    std::string createSql;
    std::string optWhere;   // the OPT condition ("(a <> '' OR b <> 0)"), empty when the key has none
    std::vector<Component> components;
    bool unique = false;
};

// Which records a scan statement reads, relative to a boundary (key values, position).
enum class ScanShape {
    Start,  // all of them, from the start of the order
    Level,  // equal on the first `level` components, after the boundary on the next (or on the position)
    Exact,  // equal on the first `level` components, nothing asked of the others
};

// One component of a scan's order: a column (with its collation), its direction, its field.
struct OrderComponent {
    std::string expr;
    int dir = 1;
    int field = 0;
};

class TableSchema {
public:
    // nullptr when the layout cannot be stored; *error says why.
    static std::unique_ptr<TableSchema> build(const rt::TableDesc& desc, std::string table, std::string* error);

    const rt::TableDesc& desc() const { return *desc_; }
    const std::string& table() const { return table_; }
    const std::string& quotedTable() const { return quotedTable_; }
    bool hasMemo() const { return desc_->memo != nullptr; }
    int fieldCount() const { return static_cast<int>(desc_->fields.size()); }
    // Result columns of every select: _id, _version, the fields in order, then the memo.
    static constexpr int kIdColumn = 0;
    static constexpr int kVersionColumn = 1;
    static constexpr int kFirstFieldColumn = 2;
    int memoColumn() const { return kFirstFieldColumn + fieldCount(); }

    // Fields that take part in a key (their raw values travel with read rows as scan boundaries).
    const std::vector<int>& keyFields() const { return keyFields_; }
    const KeyPlan& key(int k) const { return keys_[static_cast<std::size_t>(k)]; }
    int keyCount() const { return static_cast<int>(keys_.size()); }
    // Components of key k, none for position order (-1).
    int componentCount(int k) const { return k < 0 ? 0 : static_cast<int>(key(k).components.size()); }
    // The lookups (see rt::TableDesc::lookups): made, kept and rebuilt with the keys, never verified.
    const std::vector<KeyPlan>& lookups() const { return lookups_; }
    // Every index the table is stored with: its keys, then its lookups.
    std::vector<const KeyPlan*> indexes() const;

    const std::string& createTableSql() const { return createTable_; }
    const std::string& insertSql(bool withMemo) const { return withMemo ? insertMemo_ : insert_; }
    // Parameters: fields 1..n, memo n+1, position n+2, expected version n+3.
    const std::string& updateSql(bool withMemo) const { return withMemo ? updateMemo_ : update_; }
    const std::string& selectByIdSql() const { return selectById_; }
    const std::string& deleteSql() const { return delete_; }
    const std::string& countSql() const { return count_; }

    // Scan statements. Parameters: component i is ?(i+1), the position ?(k+1), the range's bounds
    // ?(k+2) and ?(k+3), the row limit ?(k+4), k being the key's component count. Made once each.
    const std::string& scanSql(int key, int dir, ScanShape shape, int level, bool inclusive, bool range) const;
    // The same statement in an order of its own (nullptr: the key's), still through key's index with
    // its OPT condition, k being the order's component count; `extra` terms are added as they stand.
    // Through a lookup instead of the key's index when `through` is one (SQLite sorts the rows).
    std::string composeScanSql(int key, const std::vector<OrderComponent>* order, int dir, ScanShape shape, int level,
                               bool inclusive, bool range, const std::vector<std::string>& extra,
                               const KeyPlan* through = nullptr) const;
    static int positionParam(int components) { return components + 1; }
    static int lowParam(int components) { return components + 2; }
    static int highParam(int components) { return components + 3; }
    static int limitParam(int components) { return components + 4; }

    // The boundary values of key k for a record in a buffer.
    std::vector<SqlValue> keyValuesOf(int k, const char* record) const;
    // Whether the record is in key k (OPT leaves out records whose components are all blank).
    bool inKey(int k, const char* record) const;

private:
    TableSchema() = default;
    const rt::TableDesc* desc_ = nullptr;
    std::string table_, quotedTable_, selectList_;
    std::vector<std::string> columns_;  // quoted
    std::string memoColumnName_;
    std::vector<int> keyFields_;
    std::vector<KeyPlan> keys_;
    std::vector<KeyPlan> lookups_;
    std::string createTable_, insert_, insertMemo_, update_, updateMemo_, selectById_, delete_, count_;
    mutable std::unordered_map<std::uint64_t, std::string> scans_;
};

std::string quoteIdentifier(std::string_view name);
// The column of a field: its name without the table's prefix ("PRE:DRNAME" -> DRNAME).
std::string columnName(const rt::FieldDesc& f);

// What failed when the stored form of a table was read or made: the driver's error code, SQLite's
// result code behind it (0 when none) and the words that say where.
struct StoreError {
    int code = 0;
    int sqlite = 0;
    std::string detail;
    bool newerFile = false;  // refused because the file is of a newer version than this program
    bool foreignFile = false;  // refused because the file is not one of this program's
};
// Records SQLite's failure rc on c in *e; the driver's code is returned.
int storeFail(Connection& c, int rc, StoreError* e);

// Checks the stored table against the schema: kFileNotFound when the table is missing,
// kInvalidRecordDeclaration when a column is missing.
int verifyStoredTable(Connection& c, const TableSchema& s, StoreError* e);
// Checks the stored table's indexes: kInvalidKeyFile when one is missing or differs.
int verifyStoredKeys(Connection& c, const TableSchema& s, StoreError* e);
// Whether the file holds a table / an index of that name (in any case); SQLite's result code.
int tableExists(Connection& c, std::string_view table, bool* exists);
int indexExists(Connection& c, std::string_view name, bool* exists);
// Creates the table complete (indexes, version trigger, kept sums) when it is missing, in one
// transaction; an existing table stays as it is. A file that held nothing is given the present
// file version (see migration.h).
int createStoredTable(Connection& c, const TableSchema& s, StoreError* e);
// The trigger that moves _version on at any update of the table that did not.
std::string versionTriggerSql(std::string_view table);
// Creates the table's indexes that are missing, lookups too (those that exist stay as they are).
int createMissingKeys(Connection& c, const TableSchema& s, StoreError* e);
// Drops and recreates the table's indexes, lookups too.
int rebuildStoredKeys(Connection& c, const TableSchema& s, StoreError* e);

}  // namespace files
