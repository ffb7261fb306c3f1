#include "platform/files/key_scan.h"

#include <sqlite3.h>

#include <algorithm>

#include "platform/files/collation.h"
#include "platform/files/errors.h"
#include "platform/files/table_file_impl.h"

namespace files {

void readRow(const TableSchema& s, sqlite3_stmt* stmt, bool withMemo, Row* out) {
    out->id = sqlite3_column_int64(stmt, TableSchema::kIdColumn);
    out->version = sqlite3_column_int64(stmt, TableSchema::kVersionColumn);
    const auto& d = s.desc();
    out->record.assign(d.recordSize, '\0');
    for (std::size_t i = 0; i < d.fields.size(); ++i)
        decodeField(d.fields[i], stmt, TableSchema::kFirstFieldColumn + static_cast<int>(i), out->record.data());
    out->hasMemo = withMemo && s.hasMemo();
    out->memo.clear();
    if (out->hasMemo) {
        const auto* t = sqlite3_column_text(stmt, s.memoColumn());
        const int n = sqlite3_column_bytes(stmt, s.memoColumn());
        if (t && n > 0) out->memo = utf8ToCp1252Lossy(std::string_view(reinterpret_cast<const char*>(t), static_cast<std::size_t>(n)));
    }
    out->keyFields.clear();
    for (int field : s.keyFields())
        out->keyFields.push_back(columnValue(stmt, TableSchema::kFirstFieldColumn + field - 1,
                                             columnKind(d.fields[static_cast<std::size_t>(field - 1)].type)));
}

std::vector<SqlValue> boundaryOf(const TableSchema& s, int k, const Row& r) {
    std::vector<SqlValue> v;
    if (k < 0) return v;
    for (const auto& c : s.key(k).components) v.push_back(r.keyFields[static_cast<std::size_t>(c.slot)]);
    return v;
}

KeyScan::KeyScan(TableFile::Impl& file, int key, int pageSize, bool adaptive, Freshness freshness)
    : file_(file), key_(key), pageSize_(std::max(1, pageSize)), adaptive_(adaptive), freshness_(freshness) {
    repositioned();
}

void KeyScan::setPageSize(int rows) {
    pageSize_ = std::clamp(rows, 1, 100000);
    cache_.clear();
    exhausted_ = 0;
}

void KeyScan::setRange(SqlValue low, SqlValue high) {
    range_.emplace(std::move(low), std::move(high));
    cache_.clear();
    exhausted_ = 0;
}

void KeyScan::clearRange() {
    range_.reset();
    cache_.clear();
    exhausted_ = 0;
}

void KeyScan::setOrder(std::vector<OrderComponent> order) {
    order_ = std::move(order);
    sql_.clear();
    repositioned();
}

void KeyScan::setConditions(std::vector<ScanCondition> conditions) {
    conditions_ = std::move(conditions);
    if (conditions_.size() > 64) conditions_.resize(64);  // one bit each in a statement's mask; the rest is the filter's
    // The lookup each condition pins: equality on its leading field, compared as it compares.
    static const std::vector<KeyPlan> kNone;
    const auto& lookups = file_.schema ? file_.schema->lookups() : kNone;
    pins_.assign(conditions_.size(), -1);
    for (std::size_t i = 0; i < conditions_.size(); ++i)
        for (std::size_t l = 0; l < lookups.size() && pins_[i] < 0; ++l)
            if (conditions_[i].op == "=" && conditions_[i].column == lookups[l].components[0].expr) pins_[i] = static_cast<int>(l);
    sql_.clear();
    cache_.clear();
    exhausted_ = 0;
}

int KeyScan::components() const { return order_.empty() ? file_.schema->componentCount(key_) : static_cast<int>(order_.size()); }

std::vector<SqlValue> KeyScan::boundaryOfRecord(const char* record) const {
    if (order_.empty()) return file_.schema->keyValuesOf(key_, record);
    std::vector<SqlValue> v;
    for (const OrderComponent& c : order_) v.push_back(encodeField(file_.desc.fields[static_cast<std::size_t>(c.field - 1)], record));
    return v;
}

// A key's boundary is the stored values the row carries. An order of its own re-encodes the
// record: the collations read stored text as the buffer holds it, so the two compare alike.
std::vector<SqlValue> KeyScan::boundaryOfRow(const Row& r) const {
    return order_.empty() ? boundaryOf(*file_.schema, key_, r) : boundaryOfRecord(r.record.data());
}

void KeyScan::repositioned() {
    cache_.clear();
    exhausted_ = 0;
    batch_ = 2;
}

void KeyScan::toStart() {
    state_ = State::Start;
    repositioned();
}

void KeyScan::toEnd() {
    state_ = State::End;
    repositioned();
}

void KeyScan::toBothEnds() {
    state_ = State::Both;
    repositioned();
}

void KeyScan::toPoint(std::vector<SqlValue> values, std::int64_t id, bool inclusive) {
    state_ = State::Point;
    point_ = std::move(values);
    pointId_ = id;
    inclusive_ = inclusive;
    repositioned();
}

void KeyScan::toRow(const Row& r) { toPoint(boundaryOfRow(r), r.id, false); }

int KeyScan::next(Row* out) { return step(1, out); }
int KeyScan::previous(Row* out) { return step(-1, out); }

int KeyScan::step(int dir, Row* out) {
    std::shared_ptr<Connection> c;
    if (int e = file_.requireOpen(&c)) return e;
    const bool sameConnection = !cacheConnection_.owner_before(c) && !c.owner_before(cacheConnection_);
    const bool fresh = cacheDir_ == dir && cacheMemo_ == file_.readMemo && sameConnection &&
                       (freshness_ == Freshness::PerRecord ? c->stamp() : c->localStamp()) == stamp_;
    if (cache_.empty() || !fresh) {
        // The last fetch came back short: nothing lies beyond it while the data stands.
        const bool known = cache_.empty() && fresh && exhausted_ == dir;
        if (!known)
            if (int e = fetch(*c, dir)) return e;
        if (cache_.empty()) {
            state_ = dir > 0 ? State::End : State::Start;
            return file_.fail(kRecordNotAvailable, dir > 0 ? "past the last record" : "before the first record");
        }
    }
    *out = std::move(cache_.front());
    cache_.pop_front();
    state_ = State::Point;
    point_ = boundaryOfRow(*out);
    pointId_ = out->id;
    inclusive_ = false;
    return file_.ok();
}

int KeyScan::fetch(Connection& c, int dir) {
    cache_.clear();
    cacheDir_ = dir;
    cacheMemo_ = file_.readMemo;
    stamp_ = freshness_ == Freshness::PerRecord ? c.stamp() : c.localStamp();  // before reading: a later change invalidates
    cacheConnection_ = file_.conn;
    int want = pageSize_;
    if (adaptive_) {
        want = batch_;
        batch_ = std::min(batch_ * 2, kMaxAdaptiveBatch);
    }
    const bool fromStart = state_ == State::Both || (state_ == State::Start && dir > 0) || (state_ == State::End && dir < 0);
    exhausted_ = 0;
    if (fromStart) {
        const int e = query(c, dir, ScanShape::Start, 0, want);
        if (e == 0 && static_cast<int>(cache_.size()) < want) exhausted_ = dir;
        return e;
    }
    if (state_ != State::Point) return 0;  // nothing beyond the end
    const int k = components();
    // A point of fewer values than components (a seek on the leading ones) stands before every
    // record that begins with them.
    const int given = std::min(k, static_cast<int>(point_.size()));
    if (given < k && dir > 0)
        if (int e = query(c, dir, ScanShape::Exact, given, want)) return e;
    for (int level = given < k ? given - 1 : k; level >= 0 && static_cast<int>(cache_.size()) < want; --level)
        if (int e = query(c, dir, ScanShape::Level, level, want - static_cast<int>(cache_.size()))) return e;
    exhausted_ = static_cast<int>(cache_.size()) < want ? dir : 0;
    return 0;
}

const KeyPlan* KeyScan::lookupFor(std::uint64_t active) const {
    for (std::size_t i = 0; i < pins_.size(); ++i) {
        if (pins_[i] < 0 || !(active >> i & 1u)) continue;
        const auto l = static_cast<std::size_t>(pins_[i]);
        if (l < file_.lookupStored.size() && file_.lookupStored[l]) return &file_.schema->lookups()[l];
    }
    return nullptr;
}

const std::string& KeyScan::sqlFor(int dir, ScanShape shape, int level, bool inclusive, std::uint64_t active) {
    // A lookup the conditions pin holds fewer rows than any range of the key's index can promise.
    const KeyPlan* through = lookupFor(active);
    const std::uint64_t code = (static_cast<std::uint64_t>(level & 0xFFFF) << 8) | (static_cast<std::uint64_t>(shape) << 4) |
                               (dir > 0 ? 8u : 0u) | (through ? 4u : 0u) | (inclusive ? 2u : 0u) | (range_ ? 1u : 0u);
    const auto at = std::make_pair(code, active);
    if (auto it = sql_.find(at); it != sql_.end()) return it->second;
    // The conditions' values follow the row limit, in the order of the conditions.
    std::vector<std::string> extra;
    int param = TableSchema::limitParam(components());
    for (std::size_t i = 0; i < conditions_.size(); ++i) {
        if (!(active >> i & 1u)) continue;
        const ScanCondition& t = conditions_[i];
        const std::string value = "?" + std::to_string(++param);
        if (t.held.empty()) {
            extra.push_back(t.column + " " + t.op + " " + value);
        } else {  // the stored texts held as the value lie in [value, bound): the index seeks there
            const std::string bound = "?" + std::to_string(++param);
            extra.push_back(t.column + " >= " + value + " AND " + t.column + " < " + bound + " AND " + t.held + " " + t.op + " " + value);
        }
    }
    return sql_.emplace(at, file_.schema->composeScanSql(key_, order_.empty() ? nullptr : &order_, dir, shape, level, inclusive,
                                                          range_.has_value(), extra, through))
        .first->second;
}

int KeyScan::query(Connection& c, int dir, ScanShape shape, int level, int limit) {
    const TableSchema& s = *file_.schema;
    const int k = components();
    // The conditions' values as they stand now; a term without one is left out this time.
    std::uint64_t active = 0;
    std::vector<SqlValue> values;
    for (std::size_t i = 0; i < conditions_.size(); ++i)
        if (auto v = conditions_[i].value ? conditions_[i].value() : std::nullopt) {
            const ScanCondition& t = conditions_[i];
            std::optional<std::string> bound;
            if (!t.held.empty()) {
                const auto* text = std::get_if<std::string>(&*v);
                if (text) bound = textAfterHeld(*text, t.room, t.nocase);
                if (!bound) continue;  // no bound to seek to: the filter alone decides
            }
            active |= std::uint64_t{1} << i;
            values.push_back(std::move(*v));
            if (bound) values.push_back(SqlValue{std::move(*bound)});
        }
    // Inclusive means next() reads the record at the point; previous() reads the one before it.
    const std::string& sql = sqlFor(dir, shape, level, inclusive_ && dir > 0, active);
    Statement st;
    int rc = c.prepare(sql, &st);
    if (rc != SQLITE_OK) return file_.sqlFail(c, rc, "reading " + s.table());
    if (shape == ScanShape::Exact)
        for (int i = 0; i < level && i < k; ++i) bindValue(st.get(), i + 1, point_[static_cast<std::size_t>(i)]);
    if (shape == ScanShape::Level) {
        for (int i = 0; i <= level && i < k; ++i) bindValue(st.get(), i + 1, point_[static_cast<std::size_t>(i)]);
        if (level == k) sqlite3_bind_int64(st.get(), TableSchema::positionParam(k), pointId_);
    }
    if (range_) {
        bindValue(st.get(), TableSchema::lowParam(k), range_->first);
        bindValue(st.get(), TableSchema::highParam(k), range_->second);
    }
    sqlite3_bind_int(st.get(), TableSchema::limitParam(k), limit);
    for (std::size_t i = 0; i < values.size(); ++i) bindValue(st.get(), TableSchema::limitParam(k) + 1 + static_cast<int>(i), values[i]);
    while ((rc = st.step()) == SQLITE_ROW) {
        cache_.emplace_back();
        readRow(s, st.get(), file_.readMemo, &cache_.back());
    }
    if (rc != SQLITE_DONE) {
        cache_.clear();
        return file_.sqlFail(c, rc, "reading " + s.table());
    }
    return 0;
}

}  // namespace files
