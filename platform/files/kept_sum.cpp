#include "platform/files/kept_sum.h"

#include <sqlite3.h>

#include <memory>
#include <new>

#include "platform/files/connection.h"
#include "platform/files/errors.h"
#include "platform/runtime/codepage.h"
#include "platform/runtime/fixed_string.h"

namespace files {
namespace {

constexpr const char* kCreateSums =
    "CREATE TABLE IF NOT EXISTS _kept_sums (name TEXT PRIMARY KEY, definition TEXT NOT NULL, "
    "total INTEGER NOT NULL, odd INTEGER NOT NULL)";
constexpr const char* kInRange = " BETWEEN -2147483647 AND 2147483647";

// SQLite's own quoting, so the literal reads back as the text it was made of.
std::string quoteLiteral(const std::string& text) {
    const std::unique_ptr<char, decltype(&sqlite3_free)> q(sqlite3_mprintf("%Q", text.c_str()), sqlite3_free);
    if (!q) throw std::bad_alloc();
    return q.get();
}

// The SQL of one kept sum, for a record named by `row` ("NEW.", "OLD." or "" in a plain select).
struct SumSql {
    std::string key;        // the row's name in _kept_sums
    std::string table;      // quoted
    std::string value, where, equals;  // quoted columns, the literal

    std::string counts(const std::string& row) const { return "(" + row + where + " = " + equals + " COLLATE BINARY)"; }
    std::string kept(const std::string& row) const {
        return "(typeof(" + row + value + ") = 'integer' AND " + row + value + kInRange + ")";
    }
    // What the record adds to the total and to the odd count (nothing unless it counts).
    std::string amount(const std::string& row) const {
        return "(CASE WHEN " + counts(row) + " AND " + kept(row) + " THEN " + row + value + " ELSE 0 END)";
    }
    std::string oddOne(const std::string& row) const {
        return "(CASE WHEN " + counts(row) + " AND " + row + value + " IS NOT NULL AND NOT " + kept(row) + " THEN 1 ELSE 0 END)";
    }
    std::string trigger(const char* what) const { return quoteIdentifier(key + ":" + what); }
    std::string move(const std::string& by) const {
        return " BEGIN UPDATE _kept_sums SET " + by + " WHERE name = " + quoteLiteral(key) + "; END";
    }

    std::string insertTrigger() const {
        return "CREATE TRIGGER " + trigger("insert") + " AFTER INSERT ON " + table + " FOR EACH ROW WHEN " + counts("NEW.") +
               move("total = total + " + amount("NEW.") + ", odd = odd + " + oddOne("NEW."));
    }
    std::string deleteTrigger() const {
        return "CREATE TRIGGER " + trigger("delete") + " AFTER DELETE ON " + table + " FOR EACH ROW WHEN " + counts("OLD.") +
               move("total = total - " + amount("OLD.") + ", odd = odd - " + oddOne("OLD."));
    }
    std::string updateTrigger() const {
        return "CREATE TRIGGER " + trigger("update") + " AFTER UPDATE ON " + table + " FOR EACH ROW WHEN " + counts("OLD.") +
               " OR " + counts("NEW.") +
               move("total = total + " + amount("NEW.") + " - " + amount("OLD.") + ", odd = odd + " + oddOne("NEW.") + " - " +
                    oddOne("OLD."));
    }
    // What the stored row is checked against: a sum made any other way is made again.
    std::string definition() const { return insertTrigger() + ";\n" + deleteTrigger() + ";\n" + updateTrigger(); }
    std::string fill() const {
        return "INSERT OR REPLACE INTO _kept_sums (name, definition, total, odd) SELECT ?1, ?2, coalesce(sum(" + amount("") +
               "), 0), coalesce(sum(" + oddOne("") + "), 0) FROM " + table + " WHERE " + counts("");
    }
};

SumSql sumSql(const TableSchema& s, const rt::KeptSumDesc& k) {
    const rt::TableDesc& d = s.desc();
    return SumSql{s.table() + ":" + std::string(k.name), s.quotedTable(), quoteIdentifier(columnName(*d.field(k.sumField))),
                  quoteIdentifier(columnName(*d.field(k.whereField))), quoteLiteral(rt::cp1252ToUtf8(rt::rtrim(k.equals)))};
}

int fail(Connection& c, int rc, std::string* detail) {
    if (detail) *detail = c.lastMessage();
    return mapSqliteError(rc);
}

// Whether the sum's row holds this definition and its three triggers exist.
bool inPlace(Connection& c, const SumSql& q) {
    Statement st;
    if (c.prepare("SELECT definition FROM _kept_sums WHERE name = ?1", &st) != SQLITE_OK) return false;  // no table yet
    sqlite3_bind_text64(st.get(), 1, q.key.data(), q.key.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    if (st.step() != SQLITE_ROW) return false;
    const auto* t = sqlite3_column_text(st.get(), 0);
    if (!t || q.definition() != reinterpret_cast<const char*>(t)) return false;
    st.release();
    Statement triggers;
    if (c.prepare("SELECT count(*) FROM sqlite_master WHERE type = 'trigger' AND name IN (?1, ?2, ?3)", &triggers) != SQLITE_OK) return false;
    int i = 1;
    for (const char* what : {"insert", "delete", "update"}) {
        const std::string name = q.key + ":" + what;
        sqlite3_bind_text64(triggers.get(), i++, name.data(), name.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    }
    return triggers.step() == SQLITE_ROW && sqlite3_column_int(triggers.get(), 0) == 3;
}

int make(Connection& c, const SumSql& q, std::string* detail) {
    WriteScope w(c);
    int rc = w.begin();
    if (rc != SQLITE_OK) return fail(c, rc, detail);
    if (inPlace(c, q)) {  // another connection made it meanwhile
        rc = w.commit();
        return rc == SQLITE_OK ? kNoError : fail(c, rc, detail);
    }
    if ((rc = c.exec(kCreateSums)) != SQLITE_OK) return fail(c, rc, detail);
    for (const char* what : {"insert", "delete", "update"})
        if ((rc = c.exec(("DROP TRIGGER IF EXISTS " + q.trigger(what)).c_str())) != SQLITE_OK) return fail(c, rc, detail);
    for (const std::string& sql : {q.insertTrigger(), q.deleteTrigger(), q.updateTrigger()})
        if ((rc = c.exec(sql.c_str())) != SQLITE_OK) return fail(c, rc, detail);
    {
        Statement st;
        rc = c.prepare(q.fill(), &st);
        if (rc != SQLITE_OK) return fail(c, rc, detail);
        const std::string definition = q.definition();
        sqlite3_bind_text64(st.get(), 1, q.key.data(), q.key.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
        sqlite3_bind_text64(st.get(), 2, definition.data(), definition.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
        if ((rc = st.step()) != SQLITE_DONE) return fail(c, rc, detail);
    }
    if ((rc = w.commit()) != SQLITE_OK) return fail(c, rc, detail);
    return kNoError;
}

}  // namespace

int ensureKeptSums(Connection& c, const TableSchema& s, std::string* detail) {
    for (const auto& k : s.desc().keptSums) {
        const SumSql q = sumSql(s, k);
        if (inPlace(c, q)) continue;
        if (int e = make(c, q, detail)) return e;
    }
    return kNoError;
}

int readKeptSum(Connection& c, const TableSchema& s, const rt::KeptSumDesc& k, KeptSumValue* out) {
    // A row made another way (a file opened read-only that an older or newer program keeps) is
    // not this sum.
    Statement st;
    int rc = c.prepare("SELECT total, odd FROM _kept_sums WHERE name = ?1 AND definition = ?2", &st);
    if (rc != SQLITE_OK) return SQLITE_DONE;  // no such table: the file has no kept sums
    const SumSql q = sumSql(s, k);
    const std::string definition = q.definition();
    sqlite3_bind_text64(st.get(), 1, q.key.data(), q.key.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    sqlite3_bind_text64(st.get(), 2, definition.data(), definition.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    rc = st.step();
    if (rc == SQLITE_ROW && out) {
        out->total = sqlite3_column_int64(st.get(), 0);
        out->odd = sqlite3_column_int64(st.get(), 1);
    }
    return rc;
}

}  // namespace files
