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
    std::string value, equals;  // the quoted column, the literal
    const rt::FieldDesc* where = nullptr;

    std::string counts(const std::string& row) const { return "(" + textAsHeld(*where, row + quoteIdentifier(columnName(*where))) + " = " + equals + ")"; }
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
    // What the stored row is checked against: a row made any other way is not trusted.
    std::string definition() const { return insertTrigger() + ";\n" + deleteTrigger() + ";\n" + updateTrigger(); }
    std::string fill() const {
        return "INSERT OR REPLACE INTO _kept_sums (name, definition, total, odd) SELECT ?1, ?2, coalesce(sum(" + amount("") +
               "), 0), coalesce(sum(" + oddOne("") + "), 0) FROM " + table + " WHERE " + counts("");
    }
};

SumSql sumSql(const TableSchema& s, const rt::KeptSumDesc& k) {
    const rt::TableDesc& d = s.desc();
    return SumSql{s.table() + ":" + std::string(k.name), s.quotedTable(), quoteIdentifier(columnName(*d.field(k.sumField))),
                  quoteLiteral(rt::cp1252ToUtf8(rt::rtrim(k.equals))), d.field(k.whereField)};
}

int fail(Connection& c, int rc, StoreError* e) { return storeFail(c, rc, e); }

}  // namespace

std::size_t heldRoom(const rt::FieldDesc& f) {
    // A CSTRING keeps one byte for its terminating zero. Each character of the stored UTF-8 is one
    // byte of the buffer's Windows-1252 (one the code page lacks reads as '?').
    return f.type == rt::FieldType::CString ? (f.size > 0 ? f.size - 1u : 0u) : f.size;
}

std::string textAsHeld(const rt::FieldDesc& f, const std::string& column) {
    return "rtrim(substr(" + column + ", 1, " + std::to_string(heldRoom(f)) + "), ' ')";
}

int makeKeptSums(Connection& c, const TableSchema& s, StoreError* e) {
    for (const auto& k : s.desc().keptSums) {
        const SumSql q = sumSql(s, k);
        int rc = SQLITE_OK;
        for (const char* what : {"insert", "delete", "update"})
            if ((rc = c.exec(("DROP TRIGGER IF EXISTS " + q.trigger(what)).c_str())) != SQLITE_OK) return fail(c, rc, e);
        for (const std::string& sql : {q.insertTrigger(), q.deleteTrigger(), q.updateTrigger()})
            if ((rc = c.exec(sql.c_str())) != SQLITE_OK) return fail(c, rc, e);
        Statement st;
        rc = c.prepare(q.fill(), &st);
        if (rc != SQLITE_OK) return fail(c, rc, e);
        const std::string definition = q.definition();
        sqlite3_bind_text64(st.get(), 1, q.key.data(), q.key.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
        sqlite3_bind_text64(st.get(), 2, definition.data(), definition.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
        if ((rc = st.step()) != SQLITE_DONE) return fail(c, rc, e);
    }
    return kNoError;
}

int readKeptSum(Connection& c, const TableSchema& s, const rt::KeptSumDesc& k, KeptSumValue* out) {
    // A row made another way (a file opened read-only that an older or newer program keeps) is
    // not this sum.
    Statement st;
    int rc = c.prepare("SELECT total, odd FROM _kept_sums WHERE name = ?1 AND definition = ?2", &st);
    if ((rc & 0xFF) == SQLITE_ERROR) return SQLITE_DONE;  // no such table: the file has no kept sums
    if (rc != SQLITE_OK) return rc;
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
