#pragma once
// What the statements on one table cost, over every connection opened while a CountedReads lives:
// the rows they returned and the virtual-machine steps SQLite took for them, which grow with every
// index entry or row a statement walks, returned or not. And rows written in bulk as another
// program would (raw SQL, one transaction), for fixtures of many rows made quickly.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/files/collation.h"
#include "platform/files/table_file.h"

namespace testing_support {

class CountedReads {
public:
    // Counts the statements that name the table `table` (as SQL quotes it).
    explicit CountedReads(const std::string& table) {
        state().quoted = "\"" + table + "\"";
        state().rows = state().steps = 0;
        sqlite3_auto_extension(reinterpret_cast<void (*)()>(&traceConnection));
    }
    ~CountedReads() { sqlite3_cancel_auto_extension(reinterpret_cast<void (*)()>(&traceConnection)); }
    CountedReads(const CountedReads&) = delete;
    CountedReads& operator=(const CountedReads&) = delete;

    void clear() { state().rows = state().steps = 0; }
    long long rows() const { return state().rows; }
    long long steps() const { return state().steps; }

private:
    struct State {
        std::string quoted;  // set before any connection is traced
        std::atomic<long long> rows{0}, steps{0};
    };
    static State& state() {
        static State s;
        return s;
    }
    static int count(unsigned type, void*, void* p, void*) {
        auto* st = static_cast<sqlite3_stmt*>(p);
        const char* sql = sqlite3_sql(st);
        if (!sql || !std::strstr(sql, state().quoted.c_str())) return 0;
        if (type == SQLITE_TRACE_ROW) ++state().rows;
        if (type == SQLITE_TRACE_PROFILE) state().steps += sqlite3_stmt_status(st, SQLITE_STMTSTATUS_VM_STEP, 1);
        return 0;
    }
    static int traceConnection(sqlite3* db, const char**, const sqlite3_api_routines*) {
        sqlite3_trace_v2(db, SQLITE_TRACE_ROW | SQLITE_TRACE_PROFILE, &count, nullptr);
        return SQLITE_OK;
    }
};

// Runs SQL on the data folder's `database` ("support.sqlite") as another program would, in one
// transaction.
inline void rawSqlInDataFolder(const std::string& database, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((files::DataFolder() + "/" + database).c_str(), &db), SQLITE_OK);
    ASSERT_EQ(files::registerCollations(db), SQLITE_OK);
    sqlite3_busy_timeout(db, 10000);
    const std::string all = "BEGIN; " + sql + "; COMMIT;";
    EXPECT_EQ(sqlite3_exec(db, all.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

// `count` copies of the rows of `table` that `where` picks, with the columns `set` names given
// the expressions it gives ("n.i" numbers the copies from 1).
inline void copyRows(const std::string& database, const std::string& table, const std::string& where, int count,
                     const std::vector<std::pair<std::string, std::string>>& set) {
    if (count <= 0) return;
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((files::DataFolder() + "/" + database).c_str(), &db), SQLITE_OK);
    std::string columns, values;
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, ("SELECT name FROM pragma_table_info('" + table + "') WHERE name <> '_id'").c_str(), -1, &st, nullptr), SQLITE_OK);
    while (sqlite3_step(st) == SQLITE_ROW) {
        const std::string name = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        std::string value = "t.\"" + name + "\"";
        for (const auto& [column, expr] : set)
            if (column == name) value = expr;
        columns += (columns.empty() ? "\"" : ", \"") + name + "\"";
        values += (values.empty() ? "" : ", ") + value;
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    rawSqlInDataFolder(database, "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + std::to_string(count) +
                                     ") INSERT INTO \"" + table + "\" (" + columns + ") SELECT " + values + " FROM \"" + table +
                                     "\" t, n WHERE " + where);
}

}  // namespace testing_support
