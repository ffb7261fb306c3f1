#include "platform/files/table_file.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>

#include "platform/files/error_cause.h"
#include "platform/files/file_check.h"
#include "platform/files/file_name.h"
#include "platform/files/kept_sum.h"
#include "platform/files/migration.h"
#include "platform/files/schema.h"
#include "platform/files/table_file_impl.h"
#include "platform/runtime/codepage.h"
#include "platform/runtime/fixed_string.h"

namespace files {

// ------------------------------------------------------------------ Impl

TableFile::Impl::Impl(const TableDesc& d, void* buf, std::string* m) : desc(d), buffer(static_cast<char*>(buf)), memo(m) {
    const auto place = resolveFileName(d.fileName, "");
    if (!place) layoutError = "no usable file name \"" + std::string(d.fileName) + "\"";
    else if (!buf) layoutError = std::string(d.label) + ": no record buffer";
    else schema = TableSchema::build(d, place->table, &layoutError);
}

void TableFile::Impl::resolvePath() {
    const auto place = resolveFileName(desc.fileName, DataFolder());
    path = place ? place->path : std::string();
}

int TableFile::Impl::threadConnectionFor(bool create, bool readOnlyFallback, int busyMs, std::shared_ptr<Connection>* c) {
    resolvePath();
    if (path.empty()) return fail(kFileNotFound, "no usable file name \"" + std::string(desc.fileName) + "\"");
    auto r = threadConnection(path, create, readOnlyFallback, busyMs, c);
    return r.code ? fail(r.code, r.detail, r.sqlite) : kNoError;
}

std::shared_ptr<Connection> TableFile::Impl::connection() {
    if (!open) return nullptr;
    auto c = conn.lock();
    if (!c) {  // the thread's connections were released: the instance is closed
        open = false;
        cursor.reset();
        currentId = currentVersion = 0;
    }
    return c;
}

int TableFile::Impl::requireOpen(std::shared_ptr<Connection>* c) {
    *c = connection();
    return *c ? kNoError : fail(kFileNotOpen, std::string(desc.label) + " is not open");
}

int TableFile::Impl::requireWritable(std::shared_ptr<Connection>* c) {
    if (int e = requireOpen(c)) return e;
    if (mode == OpenMode::ReadOnly) {
        fail(kReadOnlyFile, std::string(desc.label) + " is open read-only");
        // A save refused because the file is newer says why, as the open did.
        if (openedNewer) lastCause = newerFileCause(path);
        return kReadOnlyFile;
    }
    if ((*c)->txnLost())
        return fail(kDriverError, "the transaction on " + path + " was ended by the database engine after an earlier error; nothing of it was saved", SQLITE_ABORT);
    return kNoError;
}

int TableFile::Impl::badKey(int key) { return fail(kInvalidKeyFile, std::string(desc.label) + " has no key number " + std::to_string(key)); }

int TableFile::Impl::ok() {
    lastError = 0;
    lastErrorText.clear();
    lastSqlite = 0;
    return 0;
}

int TableFile::Impl::fail(int code, std::string detail, int sqlite) {
    lastError = code;
    newerFile = false;
    lastSqlite = sqlite;
    lastCause.clear();
    lastErrorText = errorText(code);
    if (!detail.empty()) lastErrorText += ": " + detail;
    return code;
}

int TableFile::Impl::fail(const StoreError& e) { return fail(e.code, e.detail, e.sqlite); }

// Whether an index of the table's keys is missing from the file (dropped by another program) while
// the table is there.
bool TableFile::Impl::keyMissing(Connection& c) {
    bool exists = false;
    if (tableExists(c, schema->table(), &exists) != SQLITE_OK || !exists) return false;
    for (int k = 0; k < schema->keyCount(); ++k)
        if (indexExists(c, schema->key(k).indexName, &exists) != SQLITE_OK || !exists) return true;
    return false;
}

int TableFile::Impl::sqlFail(Connection& c, int rc, const std::string& what) {
    int code = mapSqliteError(rc);
    const std::string msg = c.lastMessage();
    // A statement naming a key's index fails as any SQL error does when the index is gone.
    if (code == kDriverError && (rc & 0xFF) == SQLITE_ERROR && keyMissing(c)) code = kInvalidKeyFile;
    return fail(code == kNoError ? kDriverError : code, what + ": " + msg, rc);
}

void TableFile::Impl::deliver(const Row& r, bool withMemo) {
    std::memcpy(buffer, r.record.data(), std::min(r.record.size(), desc.recordSize));
    if (withMemo && memo && r.hasMemo) *memo = r.memo;
    currentId = r.id;
    currentVersion = r.version;
}

int TableFile::Impl::fetchById(Connection& c, std::int64_t id, bool withMemo, Row* out) {
    Statement st;
    int rc = c.prepare(schema->selectByIdSql(), &st);
    if (rc != SQLITE_OK) return sqlFail(c, rc, "reading " + schema->table());
    sqlite3_bind_int64(st.get(), 1, id);
    rc = st.step();
    if (rc == SQLITE_DONE) return fail(kRecordNotFound, "no record at position " + std::to_string(id));
    if (rc != SQLITE_ROW) return sqlFail(c, rc, "reading " + schema->table());
    readRow(*schema, st.get(), withMemo, out);
    return ok();
}

int TableFile::Impl::bindRecord(sqlite3_stmt* st) {
    for (std::size_t i = 0; i < desc.fields.size(); ++i) bindValue(st, static_cast<int>(i) + 1, encodeField(desc.fields[i], buffer));
    if (writesMemo()) {
        std::string_view m = *memo;
        if (desc.memo->maxLength && m.size() > desc.memo->maxLength) m = m.substr(0, desc.memo->maxLength);
        const std::string text = rt::cp1252ToUtf8(rt::rtrim(m));
        sqlite3_bind_text64(st, static_cast<int>(desc.fields.size()) + 1, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    }
    return 0;
}

int TableFile::Impl::refuse(const StoreError& e) {
    fail(e);
    // A file newer than this program: say so rather than blame permissions.
    if (e.newerFile) lastCause = newerFileCause(path);
    if (e.foreignFile) lastCause = foreignFileCause(path);
    newerFile = e.newerFile;
    return e.code;
}

int TableFile::Impl::accept(Connection& c, StoreError* e) {
    if (c.accepted) return kNoError;
    if (int code = acceptFile(c, e)) return code;
    c.accepted = true;
    return kNoError;
}

int TableFile::Impl::prepareWrites(Connection& c) {
    const auto r = c.prepareWrites();
    return r.code ? fail(r.code, r.detail, r.sqlite) : kNoError;
}

// ------------------------------------------------------------------ TableFile

TableFile::TableFile(const TableDesc& desc, void* buffer, std::string* memo) : impl_(std::make_unique<Impl>(desc, buffer, memo)) {}

TableFile::~TableFile() { close(); }

const TableDesc& TableFile::desc() const { return impl_->desc; }
void* TableFile::buffer() const { return impl_->buffer; }
std::string* TableFile::memo() const { return impl_->memo; }
TableFile::Impl& TableFile::impl() const { return *impl_; }

std::string TableFile::path() const {
    if (!impl_->open) impl_->resolvePath();
    return impl_->path;
}

int TableFile::open(OpenMode mode) {
    Impl& m = *impl_;
    if (isOpen()) return m.fail(kFileAlreadyOpen, std::string(m.desc.label));
    if (!m.schema) return m.fail(kInvalidRecordDeclaration, m.layoutError);
    std::shared_ptr<Connection> c;
    const int busy = std::max(kDefaultBusyMs, m.recoverSeconds * 1000);
    if (int e = m.threadConnectionFor(false, mode == OpenMode::ReadOnly, busy, &c)) return e;
    if (mode != OpenMode::ReadOnly && c->readOnly()) return m.fail(kAccessDenied, "no write access to " + m.path);
    StoreError err;
    if (m.accept(*c, &err)) return m.refuse(err);
    if (verifyStoredTable(*c, *m.schema, &err)) return m.fail(err);
    // Nothing is written to the file before here; a newer one is never changed, an older one is
    // migrated before anything else is written to it.
    if (mode != OpenMode::ReadOnly) {
        if (refuseNewer(*c, &err)) return m.refuse(err);
        if (int e = m.prepareWrites(*c)) return e;
        if (prepareForWriting(*c, *m.schema, &err)) return m.refuse(err);
    }
    // DenyWrite opens to rebuild keys, so a missing key does not refuse it.
    if (mode != OpenMode::DenyWrite && verifyStoredKeys(*c, *m.schema, &err)) return m.fail(err);
    m.lookupStored.clear();
    for (const KeyPlan& lookup : m.schema->lookups()) {
        bool stored = false;
        if (const int rc = indexExists(*c, lookup.indexName, &stored); rc != SQLITE_OK) return m.sqlFail(*c, rc, "opening " + m.schema->table());
        m.lookupStored.push_back(stored);
    }
    int version = 0;
    m.openedNewer = mode == OpenMode::ReadOnly && readFileVersion(*c, &version) == SQLITE_OK && version > kFileVersion;
    m.conn = c;
    m.open = true;
    m.mode = mode;
    ++c->instances;
    m.currentId = m.currentVersion = 0;
    m.cursor = std::make_unique<KeyScan>(m, -1, KeyScan::kMaxAdaptiveBatch, true, KeyScan::Freshness::PerRecord);
    return m.ok();
}

int TableFile::create() {
    Impl& m = *impl_;
    if (!m.schema) return m.fail(kInvalidRecordDeclaration, m.layoutError);
    std::shared_ptr<Connection> c = m.connection();
    if (!c) {
        if (int e = m.threadConnectionFor(true, false, kDefaultBusyMs, &c)) return e;
    }
    if (c->readOnly()) return m.fail(kAccessDenied, "no write access to " + c->path());
    StoreError err;
    if (m.accept(*c, &err) || refuseNewer(*c, &err)) return m.refuse(err);
    // A table already there that does not match is refused before anything is written.
    if (const int e = verifyStoredTable(*c, *m.schema, &err); e != kNoError && e != kFileNotFound) return m.fail(err);
    if (int e = m.prepareWrites(*c)) return e;
    if (createStoredTable(*c, *m.schema, &err)) return m.refuse(err);
    return m.ok();
}

void TableFile::close() {
    Impl& m = *impl_;
    if (auto c = m.connection()) {
        // A transaction this instance began and never ended is abandoned, not half kept.
        if (c->transactionOwner() == &m && c->inTransaction()) c->rollback();
        --c->instances;
    }
    m.open = false;
    m.conn.reset();
    m.cursor.reset();
    m.currentId = m.currentVersion = 0;
}

bool TableFile::isOpen() const { return impl_->connection() != nullptr; }

bool TableFile::isReadOnly() const { return isOpen() && impl_->mode == OpenMode::ReadOnly; }

void TableFile::sendOption(std::string_view option) {
    constexpr std::string_view kRecover = "recover=";
    if (option.size() < kRecover.size()) return;
    for (std::size_t i = 0; i < kRecover.size(); ++i)
        if ((option[i] | 0x20) != kRecover[i] && option[i] != kRecover[i]) return;
    int seconds = 0;
    for (char ch : option.substr(kRecover.size())) {
        if (ch < '0' || ch > '9') break;
        seconds = std::min(seconds * 10 + (ch - '0'), 3600);
    }
    impl_->recoverSeconds = seconds;  // how long opening waits for a file another program holds
}

int TableFile::buildKeys() {
    Impl& m = *impl_;
    if (!m.schema) return m.fail(kInvalidRecordDeclaration, m.layoutError);
    std::shared_ptr<Connection> c = m.connection();
    if (c && m.mode == OpenMode::ReadOnly) return m.fail(kReadOnlyFile, std::string(m.desc.label) + " is open read-only");
    if (!c) {  // after kInvalidKeyFile the instance is closed: the rebuild opens the file itself
        if (int e = m.threadConnectionFor(false, false, kDefaultBusyMs, &c)) return e;
    }
    if (c->readOnly()) return m.fail(kAccessDenied, "no write access to " + c->path());
    StoreError err;
    if (m.accept(*c, &err)) return m.refuse(err);
    if (verifyStoredTable(*c, *m.schema, &err)) return m.fail(err);
    if (refuseNewer(*c, &err)) return m.refuse(err);
    if (int e = m.prepareWrites(*c)) return e;
    if (rebuildStoredKeys(*c, *m.schema, &err)) return m.refuse(err);
    return m.ok();
}

// ------------------------------------------------------------------ reading

int TableFile::setKeyOrder(int key) {
    Impl& m = *impl_;
    std::shared_ptr<Connection> c;
    if (int e = m.requireOpen(&c)) return e;
    if (!m.validKey(key)) return m.badKey(key);
    m.cursor = std::make_unique<KeyScan>(m, key, KeyScan::kMaxAdaptiveBatch, true, KeyScan::Freshness::PerRecord);
    return m.ok();
}

int TableFile::setKeyValue(int key) {
    Impl& m = *impl_;
    std::shared_ptr<Connection> c;
    if (int e = m.requireOpen(&c)) return e;
    if (!m.validKey(key)) return m.badKey(key);
    m.cursor = std::make_unique<KeyScan>(m, key, KeyScan::kMaxAdaptiveBatch, true, KeyScan::Freshness::PerRecord);
    if (key >= 0) m.cursor->toPoint(m.schema->keyValuesOf(key, m.buffer), 0, false);
    return m.ok();
}

int TableFile::setAtPosition(int key, Position pos) {
    Impl& m = *impl_;
    std::shared_ptr<Connection> c;
    if (int e = m.requireOpen(&c)) return e;
    if (!m.validKey(key)) return m.badKey(key);
    Row row;
    if (int e = m.fetchById(*c, pos.id, false, &row)) return e;
    m.cursor = std::make_unique<KeyScan>(m, key, KeyScan::kMaxAdaptiveBatch, true, KeyScan::Freshness::PerRecord);
    m.cursor->toPoint(boundaryOf(*m.schema, key, row), row.id, true);
    return m.ok();
}

int TableFile::next() {
    Impl& m = *impl_;
    std::shared_ptr<Connection> c;
    if (int e = m.requireOpen(&c)) return e;
    Row row;
    if (int e = m.cursor->next(&row)) return e;
    m.deliver(row, m.readMemo);
    return m.ok();
}

int TableFile::previous() {
    Impl& m = *impl_;
    std::shared_ptr<Connection> c;
    if (int e = m.requireOpen(&c)) return e;
    Row row;
    if (int e = m.cursor->previous(&row)) return e;
    m.deliver(row, m.readMemo);
    return m.ok();
}

int TableFile::get(int key) {
    Impl& m = *impl_;
    std::shared_ptr<Connection> c;
    if (int e = m.requireOpen(&c)) return e;
    if (!m.validKey(key) || key < 0) return m.badKey(key);
    if (!m.schema->inKey(key, m.buffer)) return m.fail(kRecordNotFound, "the key's fields are blank");
    const auto values = m.schema->keyValuesOf(key, m.buffer);
    Statement st;
    int rc = c->prepare(m.schema->scanSql(key, 1, ScanShape::Exact, m.schema->componentCount(key), false, false), &st);
    if (rc != SQLITE_OK) return m.sqlFail(*c, rc, "reading " + m.schema->table());
    for (std::size_t i = 0; i < values.size(); ++i) bindValue(st.get(), static_cast<int>(i) + 1, values[i]);
    sqlite3_bind_int(st.get(), TableSchema::limitParam(static_cast<int>(values.size())), 1);
    rc = st.step();
    if (rc == SQLITE_DONE) return m.fail(kRecordNotFound, "no record with that key value");
    if (rc != SQLITE_ROW) return m.sqlFail(*c, rc, "reading " + m.schema->table());
    Row row;
    readRow(*m.schema, st.get(), m.readMemo, &row);
    st.release();
    m.deliver(row, m.readMemo);
    m.cursor = std::make_unique<KeyScan>(m, key, KeyScan::kMaxAdaptiveBatch, true, KeyScan::Freshness::PerRecord);
    m.cursor->toRow(row);
    return m.ok();
}

int TableFile::getAt(Position pos) {
    Impl& m = *impl_;
    std::shared_ptr<Connection> c;
    if (int e = m.requireOpen(&c)) return e;
    Row row;
    if (int e = m.fetchById(*c, pos.id, m.readMemo, &row)) return e;
    m.deliver(row, m.readMemo);
    m.cursor->toRow(row);
    return m.ok();
}

void TableFile::setReadMemo(bool on) { impl_->readMemo = on; }

Position TableFile::position() const { return Position{impl_->currentId}; }
std::int64_t TableFile::version() const { return impl_->currentVersion; }

bool TableFile::inKey(int key) const {
    const Impl& m = *impl_;
    return m.validKey(key) && m.schema->inKey(key, m.buffer);
}

int TableFile::records(std::int64_t* count) {
    Impl& m = *impl_;
    std::shared_ptr<Connection> c;
    if (int e = m.requireOpen(&c)) return e;
    Statement st;
    int rc = c->prepare(m.schema->countSql(), &st);
    if (rc == SQLITE_OK) rc = st.step();
    if (rc != SQLITE_ROW) return m.sqlFail(*c, rc, "counting " + m.schema->table());
    if (count) *count = sqlite3_column_int64(st.get(), 0);
    return m.ok();
}

int TableFile::sumWhereEqual(int sumField, int whereField, std::string_view equals, std::int64_t* sum,
                             bool* overflow) {
    Impl& m = *impl_;
    const rt::FieldDesc* what = m.schema->desc().field(sumField);
    const rt::FieldDesc* where = m.schema->desc().field(whereField);
    if (!what || !where) return m.fail(kInvalidRecordDeclaration, "no such field");
    std::shared_ptr<Connection> c;
    if (int e = m.requireOpen(&c)) return e;
    // The text is compared as a record buffer holds it, as the kept sums compare it. sum() fails
    // on an integer overflow; total() never does (it turns to a real number), so a sum() that
    // fails where total() does not has overflowed.
    const std::string text = rt::cp1252ToUtf8(rt::rtrim(equals));
    auto run = [&](const char* adding) {
        const std::string sql = std::string("SELECT ") + adding + "(" + quoteIdentifier(columnName(*what)) + ") FROM " +
                                m.schema->quotedTable() + " WHERE " + textAsHeld(*where, quoteIdentifier(columnName(*where))) + " = ?1";
        Statement st;
        int rc = c->prepare(sql, &st);
        if (rc == SQLITE_OK) rc = sqlite3_bind_text(st.get(), 1, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        if (rc == SQLITE_OK) rc = st.step();
        if (rc == SQLITE_ROW && sum) *sum = sqlite3_column_int64(st.get(), 0);
        return rc;
    };
    if (overflow) *overflow = false;
    int rc = run("sum");
    if (rc == SQLITE_ERROR && run("total") == SQLITE_ROW) {
        if (overflow) *overflow = true;
        if (sum) *sum = 0;
        return m.ok();
    }
    if (rc != SQLITE_ROW) return m.sqlFail(*c, rc, "adding up " + m.schema->table());
    return m.ok();
}

int TableFile::keptSum(std::string_view name, std::int64_t* sum, bool* overflow) {
    Impl& m = *impl_;
    const rt::KeptSumDesc* k = m.desc.keptSum(name);
    if (!k) return m.fail(kInvalidRecordDeclaration, std::string(m.desc.label) + " keeps no sum " + std::string(name));
    std::shared_ptr<Connection> c;
    if (int e = m.requireOpen(&c)) return e;
    KeptSumValue kept;
    const int rc = readKeptSum(*c, *m.schema, *k, &kept);
    if (rc == SQLITE_ROW && kept.odd == 0) {
        if (sum) *sum = kept.total;
        if (overflow) *overflow = false;
        return m.ok();
    }
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) return m.sqlFail(*c, rc, "reading the kept sums of " + m.schema->table());
    // Not kept here, or kept without records it cannot hold exactly: the table is added up.
    return sumWhereEqual(k->sumField, k->whereField, k->equals, sum, overflow);
}

TableFile::ChangeStamp TableFile::changeStamp() {
    Impl& m = *impl_;
    std::shared_ptr<Connection> c;
    if (m.requireOpen(&c) != 0) return {};
    const Connection::Stamp s = c->stamp();
    return ChangeStamp{s.dataVersion, s.local};
}

// ------------------------------------------------------------------ writing

int TableFile::add() {
    Impl& m = *impl_;
    std::shared_ptr<Connection> c;
    if (int e = m.requireWritable(&c)) return e;
    Statement st;
    int rc = c->prepare(m.schema->insertSql(m.writesMemo()), &st);
    if (rc != SQLITE_OK) return m.sqlFail(*c, rc, "adding to " + m.schema->table());
    m.bindRecord(st.get());
    rc = st.step();
    c->noteWrite();
    if (rc != SQLITE_DONE) return m.sqlFail(*c, rc, "adding to " + m.schema->table());
    m.currentId = sqlite3_last_insert_rowid(c->db());
    m.currentVersion = 1;
    m.cursor->toPoint(m.schema->keyValuesOf(m.cursor->key(), m.buffer), m.currentId, false);
    return m.ok();
}

int TableFile::put() {
    Impl& m = *impl_;
    std::shared_ptr<Connection> c;
    if (int e = m.requireWritable(&c)) return e;
    if (m.currentId <= 0) return m.fail(kRecordNotAvailable, "no current record to write");
    return putAt(Position{m.currentId}, m.currentVersion);
}

int TableFile::putAt(Position pos, std::int64_t expected) {
    Impl& m = *impl_;
    std::shared_ptr<Connection> c;
    if (int e = m.requireWritable(&c)) return e;
    const bool withMemo = m.writesMemo();
    const int n = m.schema->fieldCount();
    std::int64_t changed = 0;
    {
        Statement st;
        int rc = c->prepare(m.schema->updateSql(withMemo), &st);
        if (rc != SQLITE_OK) return m.sqlFail(*c, rc, "writing " + m.schema->table());
        m.bindRecord(st.get());
        sqlite3_bind_int64(st.get(), n + 2, pos.id);
        sqlite3_bind_int64(st.get(), n + 3, expected);
        rc = st.step();
        c->noteWrite();
        if (rc != SQLITE_DONE) return m.sqlFail(*c, rc, "writing " + m.schema->table());
        changed = sqlite3_changes64(c->db());
    }
    if (changed > 0) {
        m.currentId = pos.id;
        m.currentVersion = expected + 1;
        m.cursor->toPoint(m.schema->keyValuesOf(m.cursor->key(), m.buffer), pos.id, false);
        return m.ok();
    }
    // Changed or removed since it was read: show the record as it is now, so a second put writes.
    Row row;
    if (int e = m.fetchById(*c, pos.id, true, &row)) {
        if (e == kRecordNotFound) {
            if (m.currentId == pos.id) m.currentId = m.currentVersion = 0;
            return m.fail(kRecordNotFound, "the record at position " + std::to_string(pos.id) + " was removed by another station");
        }
        return e;
    }
    m.deliver(row, true);
    return m.fail(kRecordChanged, "the record at position " + std::to_string(pos.id) + " was changed since it was read (version " +
                                      std::to_string(expected) + ", now " + std::to_string(row.version) + ")");
}

int TableFile::erase() {
    Impl& m = *impl_;
    std::shared_ptr<Connection> c;
    if (int e = m.requireWritable(&c)) return e;
    if (m.currentId <= 0) return m.fail(kRecordNotAvailable, "no current record to delete");
    return eraseAt(Position{m.currentId});
}

int TableFile::eraseAt(Position pos) {
    Impl& m = *impl_;
    std::shared_ptr<Connection> c;
    if (int e = m.requireWritable(&c)) return e;
    std::int64_t changed = 0;
    {
        Statement st;
        int rc = c->prepare(m.schema->deleteSql(), &st);
        if (rc != SQLITE_OK) return m.sqlFail(*c, rc, "deleting from " + m.schema->table());
        sqlite3_bind_int64(st.get(), 1, pos.id);
        rc = st.step();
        c->noteWrite();
        if (rc != SQLITE_DONE) return m.sqlFail(*c, rc, "deleting from " + m.schema->table());
        changed = sqlite3_changes64(c->db());
    }
    if (m.currentId == pos.id) m.currentId = m.currentVersion = 0;
    if (changed == 0) return m.fail(kRecordNotFound, "no record at position " + std::to_string(pos.id));
    return m.ok();
}

// ------------------------------------------------------------------ transactions

int TableFile::begin(int timeoutSeconds) {
    Impl& m = *impl_;
    std::shared_ptr<Connection> c;
    if (int e = m.requireWritable(&c)) return e;
    if (c->inTransaction()) return m.fail(kTransactionActive, c->path());
    const int ms = std::clamp(timeoutSeconds, 0, 3600) * 1000;
    const int rc = c->begin(ms, &m);
    if (rc == SQLITE_OK) return m.ok();
    const int code = mapSqliteError(rc);
    return m.fail(code == kNoError ? kDriverError : code, "beginning a transaction on " + c->path() + ": " + c->lastMessage(), rc);
}

int TableFile::commit() {
    Impl& m = *impl_;
    std::shared_ptr<Connection> c;
    if (int e = m.requireOpen(&c)) return e;
    if (!c->inTransaction() && !c->txnLost()) return m.ok();
    const int rc = c->commit();
    if (rc != SQLITE_OK) return m.sqlFail(*c, rc, "committing (rolled back)");
    return m.ok();
}

int TableFile::rollback() {
    Impl& m = *impl_;
    std::shared_ptr<Connection> c;
    if (int e = m.requireOpen(&c)) return e;
    const int rc = c->rollback();
    if (rc != SQLITE_OK) return m.sqlFail(*c, rc, "rolling back");
    return m.ok();
}

bool TableFile::inTransaction() const {
    auto c = impl_->connection();
    return c && c->inTransaction();
}

int TableFile::lastError() const { return impl_->lastError; }
std::string TableFile::lastErrorText() const { return impl_->lastErrorText; }
std::string TableFile::lastErrorCause() const {
    if (impl_->lastError == 0) return {};
    if (!impl_->lastCause.empty()) return impl_->lastCause;
    return errorCause(impl_->lastError, impl_->lastSqlite, impl_->path.empty() ? path() : impl_->path);
}

bool TableFile::lastErrorIsNewerFile() const { return impl_->lastError != 0 && impl_->newerFile; }

void ReleaseThreadConnections() { releaseThreadPool(); }

}  // namespace files
