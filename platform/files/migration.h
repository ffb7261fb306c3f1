#pragma once
// The version of a data file's stored form (SQLite's user_version) and the migrations that bring
// an older file to the present one. A file made by the first releases has version 0. A writable
// open that finds an older file runs the migrations after its version, in order, once, in one
// transaction; a file of a newer version than this program knows is never changed (it is opened
// for reading only). Each migration has a part for the file and one for every table of records;
// the tables other than the opened one are marked (_pending_upgrades) and get their parts, once, at
// their own first writable open. What a migration makes (triggers, kept sums, marks, indexes) is
// not checked again at later opens.
#include <functional>
#include <memory>
#include <string>

namespace files {

class Connection;
class TableSchema;
struct StoreError;

// 1: every table has its version trigger, its indexes and its kept sums (their text compared as a
//    record buffer holds it), the file its _provisional and _kept_sums.
// 2: every table has its lookups (indexes a view pinned on a field reads through).
// 3: every table's lookups as declared now (one stored in an earlier form is made again).
inline constexpr int kFileVersion = 3;

// The file's version in *version; SQLite's result code.
int readFileVersion(Connection& c, int* version);

// kAccessDenied (e->newerFile) when the file is of a newer version than this program.
int refuseNewer(Connection& c, StoreError* e);

// Makes the file fit for writing through the table of s: kAccessDenied when the file is newer than
// this program (nothing is changed), otherwise the migrations it lacks, run in one transaction.
int prepareForWriting(Connection& c, const TableSchema& s, StoreError* e);

// The driver's own tables of a file (_provisional, _kept_sums), made when missing.
int makeFileTables(Connection& c, StoreError* e);
// The first of them alone: the marks of provisional records.
inline constexpr const char* kProvisionalTableSql =
    "CREATE TABLE IF NOT EXISTS _provisional (tbl TEXT NOT NULL, id INTEGER NOT NULL, owner TEXT NOT NULL, PRIMARY KEY (tbl, id))";

// Told, on the thread that brings a file up to date, how that goes: a watch is made as the
// migrations begin (in their transaction), told now and then the share of the work done (0 to 1,
// an estimate from the rows the opened table holds), and destroyed when they have ended.
class MigrationWatch {
public:
    virtual ~MigrationWatch() = default;
    virtual void progress(double done) = 0;
};
using MigrationObserver = std::function<std::unique_ptr<MigrationWatch>(const std::string& path)>;
void SetMigrationObserver(MigrationObserver observer);

// The words for a file newer than this program, naming it.
std::string newerFileCause(const std::string& path);

}  // namespace files
