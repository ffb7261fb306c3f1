#include "platform/files/schema.h"

#include <sqlite3.h>

#include <algorithm>
#include <set>

#include "platform/files/collation.h"
#include "platform/files/connection.h"
#include "platform/files/errors.h"
#include "platform/files/kept_sum.h"
#include "platform/files/file_check.h"
#include "platform/files/migration.h"

namespace files {
namespace {

std::string lowerAscii(std::string_view s) {
    std::string r(s);
    for (auto& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return r;
}


std::string memoName(const rt::MemoDesc& m) {
    std::string_view n = m.declaredName.empty() ? m.boundName : m.declaredName;
    if (const auto colon = n.find(':'); colon != std::string_view::npos) n.remove_prefix(colon + 1);
    return n.empty() ? "MEMO" : std::string(n);
}

std::string keyName(const rt::KeyDesc& k, std::size_t i) {
    if (!k.registeredName.empty()) return std::string(k.registeredName);
    if (!k.declaredName.empty()) return std::string(k.declaredName);
    return "KEY" + std::to_string(i + 1);
}

std::size_t expectedSize(rt::FieldType t) {
    switch (t) {
        case rt::FieldType::Byte: return 1;
        case rt::FieldType::Short: return 2;
        case rt::FieldType::Long: return 4;
        case rt::FieldType::Real: return 8;
        case rt::FieldType::Date:
        case rt::FieldType::Time: return 4;
        default: return 0;  // any size
    }
}

const char* sqlType(rt::FieldType t) {
    switch (columnKind(t)) {
        case ColumnKind::Text: return "TEXT NOT NULL DEFAULT ''";
        case ColumnKind::Real: return "REAL NOT NULL DEFAULT 0";
        case ColumnKind::Integer: return "INTEGER NOT NULL DEFAULT 0";
    }
    return "";
}

std::string layoutProblem(const rt::TableDesc& d) {
    if (std::string e = rt::validateLayout(d); !e.empty()) return e;
    for (const auto& f : d.fields) {
        if (f.size == 0) return std::string(f.name) + ": size 0";
        if (const auto want = expectedSize(f.type); want && f.size != want)
            return std::string(f.name) + ": " + std::to_string(f.size) + " bytes for its type, expected " + std::to_string(want);
        if (f.type == rt::FieldType::Decimal && f.size > kMaxDecimalBytes)
            return std::string(f.name) + ": a DECIMAL of more than " + std::to_string(kMaxDecimalBytes) + " bytes";
    }
    for (const auto& keys : {d.keys, d.lookups})
        for (const auto& k : keys)
            if (k.components.empty()) return std::string(k.registeredName) + ": a key without components";
    // A kept sum adds whole numbers exactly (a DECIMAL as its scaled integer) and compares text.
    for (const auto& k : d.keptSums)
        if (columnKind(d.field(k.sumField)->type) != ColumnKind::Integer || columnKind(d.field(k.whereField)->type) != ColumnKind::Text)
            return std::string(k.name) + ": a kept sum needs a whole-number field and a text field";
    return {};
}

// Runs a one-row query binding text parameters; SQLITE_ROW with the first column in *out.
int queryText(Connection& c, const std::string& sql, std::initializer_list<std::string_view> params, std::string* out) {
    Statement st;
    int rc = c.prepare(sql, &st);
    if (rc != SQLITE_OK) return rc;
    int i = 1;
    for (auto p : params) sqlite3_bind_text64(st.get(), i++, p.data(), p.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    rc = st.step();
    if (rc == SQLITE_ROW && out) {
        const auto* t = sqlite3_column_text(st.get(), 0);
        *out = t ? reinterpret_cast<const char*>(t) : "";
    }
    return rc;
}

// Whether the file holds an object of that type and name; SQLite's result code.
int objectExists(Connection& c, const char* type, std::string_view name, bool* exists) {
    const int rc = queryText(c, std::string("SELECT 1 FROM sqlite_master WHERE type = '") + type + "' AND name = ?1 COLLATE NOCASE", {name}, nullptr);
    *exists = rc == SQLITE_ROW;
    return rc == SQLITE_ROW || rc == SQLITE_DONE ? SQLITE_OK : rc;
}

}  // namespace

int tableExists(Connection& c, std::string_view table, bool* exists) { return objectExists(c, "table", table, exists); }
int indexExists(Connection& c, std::string_view name, bool* exists) { return objectExists(c, "index", name, exists); }

int storeFail(Connection& c, int rc, StoreError* e) {
    const int code = mapSqliteError(rc);
    e->code = code == kNoError ? kDriverError : code;
    e->sqlite = rc;
    e->detail = c.lastMessage();
    return e->code;
}

namespace {
int fail(Connection& c, int rc, StoreError* e) { return storeFail(c, rc, e); }
int refuse(int code, std::string detail, StoreError* e) {
    e->code = code;
    e->sqlite = 0;
    e->detail = std::move(detail);
    return code;
}
}  // namespace

// The column of a field: its name without the table's prefix ("PRE:DRNAME" -> DRNAME).
std::string columnName(const rt::FieldDesc& f) {
    std::string_view n = f.name;
    if (const auto colon = n.find(':'); colon != std::string_view::npos) n.remove_prefix(colon + 1);
    return n.empty() ? "F" + std::to_string(f.number) : std::string(n);
}

std::string quoteIdentifier(std::string_view name) {
    std::string q = "\"";
    for (char c : name) {
        if (c == '"') q += '"';
        q += c;
    }
    return q + "\"";
}

std::unique_ptr<TableSchema> TableSchema::build(const rt::TableDesc& desc, std::string table, std::string* error) {
    if (std::string e = layoutProblem(desc); !e.empty()) {
        *error = e;
        return nullptr;
    }
    std::unique_ptr<TableSchema> s(new TableSchema());
    s->desc_ = &desc;
    s->table_ = std::move(table);
    s->quotedTable_ = quoteIdentifier(s->table_);

    std::set<std::string> seen = {"_id", "_version"};
    std::vector<std::string> bare;
    for (const auto& f : desc.fields) {
        bare.push_back(columnName(f));
        if (!seen.insert(lowerAscii(bare.back())).second) {
            *error = std::string(f.name) + ": column " + bare.back() + " is taken";
            return nullptr;
        }
        s->columns_.push_back(quoteIdentifier(bare.back()));
    }
    if (desc.memo) {
        s->memoColumnName_ = memoName(*desc.memo);
        if (!seen.insert(lowerAscii(s->memoColumnName_)).second) {
            *error = std::string(desc.memo->declaredName) + ": column " + s->memoColumnName_ + " is taken";
            return nullptr;
        }
    }

    s->selectList_ = "_id, _version";
    for (const auto& c : s->columns_) s->selectList_ += ", " + c;
    if (desc.memo) s->selectList_ += ", " + quoteIdentifier(s->memoColumnName_);

    // Table.
    s->createTable_ = "CREATE TABLE " + s->quotedTable_ + " (_id INTEGER PRIMARY KEY AUTOINCREMENT, _version INTEGER NOT NULL DEFAULT 1";
    for (std::size_t i = 0; i < desc.fields.size(); ++i) s->createTable_ += ", " + s->columns_[i] + " " + sqlType(desc.fields[i].type);
    if (desc.memo) s->createTable_ += ", " + quoteIdentifier(s->memoColumnName_) + " TEXT NOT NULL DEFAULT ''";
    s->createTable_ += ")";

    // Writes.
    const int n = static_cast<int>(desc.fields.size());
    auto insert = [&](bool memo) {
        std::string cols, vals;
        for (int i = 0; i < n; ++i) {
            cols += s->columns_[static_cast<std::size_t>(i)] + ", ";
            vals += "?" + std::to_string(i + 1) + ", ";
        }
        if (memo) {
            cols += quoteIdentifier(s->memoColumnName_) + ", ";
            vals += "?" + std::to_string(n + 1) + ", ";
        }
        return "INSERT INTO " + s->quotedTable_ + " (" + cols + "_version) VALUES (" + vals + "1)";
    };
    auto update = [&](bool memo) {
        std::string sql = "UPDATE " + s->quotedTable_ + " SET ";
        for (int i = 0; i < n; ++i) sql += s->columns_[static_cast<std::size_t>(i)] + " = ?" + std::to_string(i + 1) + ", ";
        if (memo) sql += quoteIdentifier(s->memoColumnName_) + " = ?" + std::to_string(n + 1) + ", ";
        return sql + "_version = _version + 1 WHERE _id = ?" + std::to_string(n + 2) + " AND _version = ?" + std::to_string(n + 3);
    };
    s->insert_ = insert(false);
    s->insertMemo_ = desc.memo ? insert(true) : s->insert_;
    s->update_ = update(false);
    s->updateMemo_ = desc.memo ? update(true) : s->update_;
    s->selectById_ = "SELECT " + s->selectList_ + " FROM " + s->quotedTable_ + " WHERE _id = ?1";
    s->delete_ = "DELETE FROM " + s->quotedTable_ + " WHERE _id = ?1";
    s->count_ = "SELECT count(*) FROM " + s->quotedTable_;

    // Keys, then lookups (named after the keys, numbered on from them).
    std::set<std::string> indexNames;
    auto planOf = [&](const rt::KeyDesc& kd, std::size_t ki, bool lookup) {
        KeyPlan plan;
        plan.unique = !lookup && !kd.dup;
        const bool opt = !lookup && kd.opt;
        plan.indexName = s->table_ + ":" + keyName(kd, ki);
        if (!indexNames.insert(lowerAscii(plan.indexName)).second) plan.indexName += "#" + std::to_string(ki + 1);
        std::string cols, blanks;
        for (const auto& c : kd.components) {
            const rt::FieldDesc& f = desc.fields[static_cast<std::size_t>(c.field - 1)];
            KeyPlan::Component comp;
            comp.field = c.field;
            comp.dir = c.descending ? -1 : 1;
            const std::string& col = s->columns_[static_cast<std::size_t>(c.field - 1)];
            comp.expr = isTextField(f.type) ? col + " COLLATE " + (kd.nocase ? kNoCaseCollation : kExactCollation) : col;
            if (!lookup) {  // a lookup orders nothing, so its fields are no boundary
                auto slot = std::find(s->keyFields_.begin(), s->keyFields_.end(), c.field);
                if (slot == s->keyFields_.end()) slot = s->keyFields_.insert(s->keyFields_.end(), c.field);
                comp.slot = static_cast<int>(slot - s->keyFields_.begin());
            }
            if (!cols.empty()) cols += ", ";
            cols += comp.expr + (c.descending ? " DESC" : "");
            if (!blanks.empty()) blanks += " OR ";
            blanks += col + (isTextField(f.type) ? " <> ''" : " <> 0");
            plan.components.push_back(std::move(comp));
        }
        if (opt) plan.optWhere = "(" + blanks + ")";
        plan.createSql = std::string(plan.unique ? "CREATE UNIQUE INDEX " : "CREATE INDEX ") + quoteIdentifier(plan.indexName) +
                         " ON " + s->quotedTable_ + " (" + cols + ")" + (opt ? " WHERE " + plan.optWhere : "");
        return plan;
    };
    for (std::size_t ki = 0; ki < desc.keys.size(); ++ki) s->keys_.push_back(planOf(desc.keys[ki], ki, false));
    for (std::size_t li = 0; li < desc.lookups.size(); ++li) s->lookups_.push_back(planOf(desc.lookups[li], desc.keys.size() + li, true));
    return s;
}

const std::string& TableSchema::scanSql(int key, int dir, ScanShape shape, int level, bool inclusive, bool range) const {
    const std::uint64_t code = (static_cast<std::uint64_t>(key + 1) << 24) | (static_cast<std::uint64_t>(level & 0xFFFF) << 8) |
                               (static_cast<std::uint64_t>(shape) << 4) | (dir > 0 ? 8u : 0u) | (inclusive ? 2u : 0u) |
                               (range ? 1u : 0u);
    if (auto it = scans_.find(code); it != scans_.end()) return it->second;
    return scans_.emplace(code, composeScanSql(key, nullptr, dir, shape, level, inclusive, range, {})).first->second;
}

std::string TableSchema::composeScanSql(int key, const std::vector<OrderComponent>* ownOrder, int dir, ScanShape shape, int level,
                                        bool inclusive, bool range, const std::vector<std::string>& extra,
                                        const KeyPlan* through) const {
    const KeyPlan* plan = key >= 0 ? &keys_[static_cast<std::size_t>(key)] : nullptr;
    std::vector<OrderComponent> keyOrder;
    if (!ownOrder && plan)
        for (const auto& c : plan->components) keyOrder.push_back({c.expr, c.dir, c.field});
    const std::vector<OrderComponent>& order = ownOrder ? *ownOrder : keyOrder;
    const int k = static_cast<int>(order.size());
    std::vector<std::string> terms;
    if (plan && !plan->optWhere.empty()) terms.push_back(plan->optWhere);  // so the partial index serves
    auto p = [](int n) { return "?" + std::to_string(n); };
    if (range) {
        const std::string lead = plan ? plan->components[0].expr : std::string("_id");
        terms.push_back(lead + " >= " + p(lowParam(k)));
        terms.push_back(lead + " <= " + p(highParam(k)));
    }
    const int equal = shape == ScanShape::Start ? 0 : std::min(level, k);
    for (int i = 0; i < equal; ++i) terms.push_back(order[static_cast<std::size_t>(i)].expr + " = " + p(i + 1));
    if (shape == ScanShape::Level) {
        if (level < k) {
            const auto& c = order[static_cast<std::size_t>(level)];
            terms.push_back(c.expr + (c.dir * dir > 0 ? " > " : " < ") + p(level + 1));
        } else {
            terms.push_back(std::string("_id ") + (dir > 0 ? ">" : "<") + (inclusive ? "= " : " ") + p(positionParam(k)));
        }
    }
    terms.insert(terms.end(), extra.begin(), extra.end());

    std::string sql = "SELECT " + selectList_ + " FROM " + quotedTable_;
    if (through || plan) sql += " INDEXED BY " + quoteIdentifier((through ? through : plan)->indexName);
    for (std::size_t i = 0; i < terms.size(); ++i) sql += (i == 0 ? " WHERE " : " AND ") + terms[i];
    // A unique key equal on every component holds one record at most: nothing to order.
    if (shape == ScanShape::Exact && !ownOrder && plan && plan->unique && equal == k) return sql + " LIMIT " + p(limitParam(k));
    sql += " ORDER BY ";
    for (const auto& c : order) sql += c.expr + (c.dir * dir > 0 ? "" : " DESC") + ", ";
    sql += std::string("_id") + (dir > 0 ? "" : " DESC") + " LIMIT " + p(limitParam(k));
    return sql;
}

std::vector<SqlValue> TableSchema::keyValuesOf(int k, const char* record) const {
    std::vector<SqlValue> v;
    if (k < 0) return v;
    for (const auto& c : key(k).components) v.push_back(encodeField(desc_->fields[static_cast<std::size_t>(c.field - 1)], record));
    return v;
}

bool TableSchema::inKey(int k, const char* record) const {
    if (k < 0) return true;
    if (key(k).optWhere.empty()) return true;
    for (const auto& c : key(k).components)
        if (!isBlankValue(encodeField(desc_->fields[static_cast<std::size_t>(c.field - 1)], record))) return true;
    return false;
}

// ------------------------------------------------------------------ the stored table

int verifyStoredTable(Connection& c, const TableSchema& s, StoreError* detail) {
    std::string sql;
    int rc = queryText(c, "SELECT sql FROM sqlite_master WHERE type = 'table' AND name = ?1 COLLATE NOCASE", {s.table()}, &sql);
    if (rc == SQLITE_DONE) return refuse(kFileNotFound, "no table " + s.table() + " in " + c.path(), detail);
    if (rc != SQLITE_ROW) return fail(c, rc, detail);

    std::set<std::string> columns;
    bool idIsKey = false;
    {
        Statement st;
        rc = c.prepare("SELECT name, type, pk FROM pragma_table_info(?1)", &st);
        if (rc != SQLITE_OK) return fail(c, rc, detail);
        sqlite3_bind_text64(st.get(), 1, s.table().data(), s.table().size(), SQLITE_TRANSIENT, SQLITE_UTF8);
        while ((rc = st.step()) == SQLITE_ROW) {
            const auto* n = sqlite3_column_text(st.get(), 0);
            const auto* t = sqlite3_column_text(st.get(), 1);
            const std::string name = lowerAscii(n ? reinterpret_cast<const char*>(n) : "");
            columns.insert(name);
            if (name == "_id" && sqlite3_column_int(st.get(), 2) == 1 && t && lowerAscii(reinterpret_cast<const char*>(t)) == "integer")
                idIsKey = true;
        }
        if (rc != SQLITE_DONE) return fail(c, rc, detail);
    }
    if (!idIsKey) return refuse(kInvalidRecordDeclaration, s.table() + ": no INTEGER PRIMARY KEY _id", detail);
    std::vector<std::string> wanted = {"_version"};
    for (const auto& f : s.desc().fields) wanted.push_back(columnName(f));
    if (s.desc().memo) wanted.push_back(memoName(*s.desc().memo));
    for (const auto& w : wanted)
        if (!columns.count(lowerAscii(w))) return refuse(kInvalidRecordDeclaration, s.table() + ": no column " + w, detail);

    return kNoError;
}

int verifyStoredKeys(Connection& c, const TableSchema& s, StoreError* detail) {
    for (int k = 0; k < s.keyCount(); ++k) {
        std::string stored;
        const int rc = queryText(c, "SELECT sql FROM sqlite_master WHERE type = 'index' AND name = ?1 COLLATE NOCASE", {s.key(k).indexName}, &stored);
        if (rc == SQLITE_DONE || (rc == SQLITE_ROW && stored != s.key(k).createSql))
            return refuse(kInvalidKeyFile, s.table() + ": key " + s.key(k).indexName + (rc == SQLITE_DONE ? " is missing" : " differs from its declaration"),
                          detail);
        if (rc != SQLITE_ROW) return fail(c, rc, detail);
    }
    return kNoError;
}

// Any UPDATE that leaves _version alone or sets it back, by this program or another SQLite writer,
// still moves it on, so a later write over an older copy is refused. The driver's own writes raise
// it themselves and are left as they are (no second bump).
std::string versionTriggerSql(std::string_view table) {
    const std::string quoted = quoteIdentifier(table);
    return "CREATE TRIGGER " + quoteIdentifier(std::string(table) + ":version") + " AFTER UPDATE ON " + quoted +
           " FOR EACH ROW WHEN NEW._version <= OLD._version BEGIN UPDATE " + quoted + " SET _version = OLD._version + 1 WHERE _id = NEW._id; END";
}

std::vector<const KeyPlan*> TableSchema::indexes() const {
    std::vector<const KeyPlan*> all;
    for (const auto& k : keys_) all.push_back(&k);
    for (const auto& l : lookups_) all.push_back(&l);
    return all;
}

namespace {
// The index made; a failure names it.
int createIndex(Connection& c, const KeyPlan& index, StoreError* detail) {
    if (const int rc = c.exec(index.createSql.c_str()); rc != SQLITE_OK) {
        fail(c, rc, detail);
        detail->detail = index.indexName + ": " + detail->detail;
        return detail->code;
    }
    return kNoError;
}
}  // namespace

int createMissingKeys(Connection& c, const TableSchema& s, StoreError* detail) {
    for (const KeyPlan* index : s.indexes()) {
        bool exists = false;
        if (const int rc = indexExists(c, index->indexName, &exists); rc != SQLITE_OK) return fail(c, rc, detail);
        if (!exists)
            if (int e = createIndex(c, *index, detail)) return e;
    }
    return kNoError;
}

int createStoredTable(Connection& c, const TableSchema& s, StoreError* detail) {
    WriteScope w(c);
    int rc = w.begin();
    if (rc != SQLITE_OK) return fail(c, rc, detail);
    bool exists = false;
    if ((rc = tableExists(c, s.table(), &exists)) != SQLITE_OK) return fail(c, rc, detail);
    if (exists) {
        rc = w.commit();
        return rc == SQLITE_OK ? kNoError : fail(c, rc, detail);
    }
    std::string objects;
    rc = queryText(c, "SELECT count(*) FROM sqlite_master", {}, &objects);
    if (rc != SQLITE_ROW) return fail(c, rc, detail);
    const bool newFile = objects == "0";
    if ((rc = c.exec(s.createTableSql().c_str())) != SQLITE_OK) return fail(c, rc, detail);
    for (const KeyPlan* index : s.indexes())
        if (int e = createIndex(c, *index, detail)) return e;
    if ((rc = c.exec(versionTriggerSql(s.table()).c_str())) != SQLITE_OK) return fail(c, rc, detail);
    if (int e = makeFileTables(c, detail)) return e;
    if (int e = makeKeptSums(c, s, detail)) return e;
    // A file made now is made at the present version; a table added to an older file is made as
    // it is now, and the file's migration (which takes it as it is) brings the rest.
    const std::string stamp = "PRAGMA user_version = " + std::to_string(kFileVersion) + "; PRAGMA application_id = " + std::to_string(kApplicationId);
    if (newFile && (rc = c.exec(stamp.c_str())) != SQLITE_OK) return fail(c, rc, detail);
    if ((rc = w.commit()) != SQLITE_OK) return fail(c, rc, detail);
    return kNoError;
}

int rebuildStoredKeys(Connection& c, const TableSchema& s, StoreError* detail) {
    WriteScope w(c);
    int rc = w.begin();
    if (rc != SQLITE_OK) return fail(c, rc, detail);
    // Indexes this driver made for the table, including those of keys the layout no longer has.
    std::vector<std::string> ours;
    {
        Statement st;
        rc = c.prepare("SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = ?1 COLLATE NOCASE AND sql IS NOT NULL", &st);
        if (rc != SQLITE_OK) return fail(c, rc, detail);
        sqlite3_bind_text64(st.get(), 1, s.table().data(), s.table().size(), SQLITE_TRANSIENT, SQLITE_UTF8);
        const std::string prefix = lowerAscii(s.table() + ":");
        while ((rc = st.step()) == SQLITE_ROW) {
            const auto* n = sqlite3_column_text(st.get(), 0);
            std::string name = n ? reinterpret_cast<const char*>(n) : "";
            if (lowerAscii(name).rfind(prefix, 0) == 0) ours.push_back(std::move(name));
        }
        if (rc != SQLITE_DONE) return fail(c, rc, detail);
    }
    for (const auto& name : ours)
        if ((rc = c.exec(("DROP INDEX " + quoteIdentifier(name)).c_str())) != SQLITE_OK) return fail(c, rc, detail);
    for (const KeyPlan* index : s.indexes())
        if (int e = createIndex(c, *index, detail)) return e;
    if ((rc = w.commit()) != SQLITE_OK) return fail(c, rc, detail);
    return kNoError;
}

}  // namespace files
