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
            if (conditions_[i].op == ScanCondition::Op::Equal && conditions_[i].column == lookups[l].components[0].expr)
                pins_[i] = static_cast<int>(l);
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


namespace {
// <0, 0, >0 as the database compares two values of a component (the collation its expression
// names). Values of different kinds compare as SQLite orders them: NULL, numbers, text.
int compareAs(const std::string& expr, const SqlValue& a, const SqlValue& b) {
    auto rank = [](const SqlValue& v) { return std::holds_alternative<std::monostate>(v) ? 0 : std::holds_alternative<std::string>(v) ? 2 : 1; };
    if (rank(a) != rank(b)) return rank(a) < rank(b) ? -1 : 1;
    if (const auto* s = std::get_if<std::string>(&a))
        return compareCp1252(*s, std::get<std::string>(b), expr.find(kExactCollation) == std::string::npos);
    auto number = [](const SqlValue& v) { return std::holds_alternative<double>(v) ? std::get<double>(v) : static_cast<double>(std::get<std::int64_t>(v)); };
    if (std::holds_alternative<std::int64_t>(a) && std::holds_alternative<std::int64_t>(b))
        return std::get<std::int64_t>(a) < std::get<std::int64_t>(b) ? -1 : std::get<std::int64_t>(a) > std::get<std::int64_t>(b);
    if (rank(a) == 0) return 0;
    return number(a) < number(b) ? -1 : number(a) > number(b);
}

// How a condition stands in one statement.
enum class Form {
    Plain,  // column op value
    Exact,  // column = value, so the index seeks and keeps its order
    Held,   // the text as the buffer holds it = value
    Longer  // the longer texts only, held as value: value < column < bound, through the index
};
}  // namespace

// One query's conditions: their values now, and the columns the index seeks on by equality. Form 0
// of the statement tests those columns exactly; form n + 1 reads the rows whose text on the n-th of
// them is longer than the field and held as the value, equal on the ones before it and held on the
// ones after it. The forms' rows are disjoint and together are every row the buffer test keeps.
struct KeyScan::Terms {
    std::uint64_t active = 0;
    std::vector<std::optional<SqlValue>> value;   // per condition; nullopt: left out this time
    std::vector<std::optional<std::string>> bound;  // per held text: the least text after every text held as it
    std::vector<std::size_t> seek;                 // conditions on held text the index seeks by, in its order
    const KeyPlan* through = nullptr;

    int forms() const { return 1 + static_cast<int>(seek.size()); }
    Form formOf(const ScanCondition& c, std::size_t i, int form) const {
        if (c.held.empty()) return Form::Plain;
        const auto at = std::find(seek.begin(), seek.end(), i);
        if (at == seek.end()) return Form::Held;
        const int n = static_cast<int>(at - seek.begin()) + 1;
        return form == 0 || n < form ? Form::Exact : n == form ? Form::Longer : Form::Held;
    }
};

KeyScan::Terms KeyScan::termsNow() const {
    Terms t;
    for (std::size_t i = 0; i < conditions_.size(); ++i) {
        t.value.push_back(conditions_[i].value ? conditions_[i].value() : std::nullopt);
        t.bound.emplace_back();
        if (!t.value.back()) continue;
        t.active |= std::uint64_t{1} << i;
        if (const auto* text = std::get_if<std::string>(&*t.value.back()); text && !conditions_[i].held.empty())
            t.bound.back() = textAfterHeld(*text, conditions_[i].room, conditions_[i].nocase);
    }
    t.through = lookupFor(t.active);
    const KeyPlan* index = t.through ? t.through : key_ >= 0 ? &file_.schema->key(key_) : nullptr;
    if (!index) return t;
    // SQLite seeks by equality on the index's leading columns, as far as conditions pin them.
    for (const auto& component : index->components) {
        std::optional<std::size_t> pin;
        for (std::size_t i = 0; i < conditions_.size() && !pin; ++i)
            if (t.value[i] && conditions_[i].op == ScanCondition::Op::Equal && conditions_[i].column == component.expr) pin = i;
        if (!pin) break;
        if (!conditions_[*pin].held.empty()) t.seek.push_back(*pin);
    }
    return t;
}

// A condition that pins component `level` to values not past the point's (the usual case: a pinned
// range read on from a row inside it) leaves nothing strictly past the point on that component.
// SQLite would still walk the whole pinned range to find that out, comparing every entry. Text held
// as a value may be stored longer: toward larger texts its rows end at the value's bound.
bool KeyScan::pinnedBefore(int level, int dir, const Terms& t, int form) const {
    if (level < 0 || level >= static_cast<int>(point_.size())) return false;
    const OrderComponent component = componentAt(level);
    const int toward = component.dir * dir;
    for (std::size_t i = 0; i < conditions_.size(); ++i) {
        const ScanCondition& cond = conditions_[i];
        if (!t.value[i] || cond.op != ScanCondition::Op::Equal || cond.column != component.expr) continue;
        if (t.value[i]->index() != point_[static_cast<std::size_t>(level)].index()) continue;  // not worth guessing
        const Form f = t.formOf(cond, i, form);
        std::optional<SqlValue> edge = t.value[i];
        if ((f == Form::Held || f == Form::Longer) && toward > 0) {
            if (!t.bound[i]) continue;
            edge = SqlValue{*t.bound[i]};
        }
        if (compareAs(component.expr, *edge, point_[static_cast<std::size_t>(level)]) * toward <= 0) return true;
    }
    return false;
}

// Whether a statement form can hold rows equal to the point on its first `equal` components: a
// form whose conditions pin one of them elsewhere holds none, yet SQLite would walk every entry
// equal there to find that out.
bool KeyScan::formMeetsPoint(int equal, const Terms& t, int form) const {
    for (int level = 0; level < equal && level < static_cast<int>(point_.size()); ++level) {
        const OrderComponent component = componentAt(level);
        const SqlValue& at = point_[static_cast<std::size_t>(level)];
        for (std::size_t i = 0; i < conditions_.size(); ++i) {
            const ScanCondition& cond = conditions_[i];
            if (!t.value[i] || cond.op != ScanCondition::Op::Equal || cond.column != component.expr) continue;
            if (t.value[i]->index() != at.index()) continue;
            const int fromValue = compareAs(component.expr, at, *t.value[i]);
            const bool belowBound = !t.bound[i] || compareAs(component.expr, at, SqlValue{*t.bound[i]}) < 0;
            switch (t.formOf(cond, i, form)) {
                case Form::Plain:
                case Form::Exact:
                    if (fromValue != 0) return false;
                    break;
                case Form::Held:
                    if (fromValue < 0 || !belowBound) return false;
                    break;
                case Form::Longer:
                    if (fromValue <= 0 || !belowBound) return false;
                    break;
            }
        }
    }
    return true;
}

OrderComponent KeyScan::componentAt(int level) const {
    if (!order_.empty()) return order_[static_cast<std::size_t>(level)];
    const auto& kc = file_.schema->key(key_).components[static_cast<std::size_t>(level)];
    return {kc.expr, kc.dir, kc.field};
}

const KeyPlan* KeyScan::lookupFor(std::uint64_t active) const {
    for (std::size_t i = 0; i < pins_.size(); ++i) {
        if (pins_[i] < 0 || !(active >> i & 1u)) continue;
        const auto l = static_cast<std::size_t>(pins_[i]);
        if (l < file_.lookupStored.size() && file_.lookupStored[l]) return &file_.schema->lookups()[l];
    }
    return nullptr;
}

namespace {
const char* sqlOperator(ScanCondition::Op op) {
    switch (op) {
        case ScanCondition::Op::Equal: return " = ";
        case ScanCondition::Op::Less: return " < ";
        case ScanCondition::Op::LessEqual: return " <= ";
        case ScanCondition::Op::Greater: return " > ";
        case ScanCondition::Op::GreaterEqual: return " >= ";
    }
    return " = ";
}
}  // namespace

const std::string& KeyScan::sqlFor(int dir, ScanShape shape, int level, bool inclusive, const Terms& t, int form) {
    // A lookup the conditions pin holds fewer rows than any range of the key's index can promise.
    const std::uint64_t code = (static_cast<std::uint64_t>(level & 0xFFFF) << 8) | (static_cast<std::uint64_t>(shape) << 4) |
                               (dir > 0 ? 8u : 0u) | (t.through ? 4u : 0u) | (inclusive ? 2u : 0u) | (range_ ? 1u : 0u);
    const bool bounded = form > 0 && t.bound[t.seek[static_cast<std::size_t>(form - 1)]].has_value();
    const auto at = std::make_tuple(code, t.active, form * 2 + (bounded ? 1 : 0));
    if (auto it = sql_.find(at); it != sql_.end()) return it->second;
    // The conditions' values follow the row limit, in the order of the conditions.
    std::vector<std::string> extra;
    int param = TableSchema::limitParam(components());
    for (std::size_t i = 0; i < conditions_.size(); ++i) {
        if (!(t.active >> i & 1u)) continue;
        const ScanCondition& c = conditions_[i];
        const std::string value = "?" + std::to_string(++param);
        switch (t.formOf(c, i, form)) {
            case Form::Plain: extra.push_back(c.column + sqlOperator(c.op) + value); break;
            case Form::Exact: extra.push_back(c.column + " = " + value); break;
            case Form::Held: extra.push_back(c.held + " = " + value); break;
            case Form::Longer:
                extra.push_back(c.column + " > " + value);
                if (bounded) extra.push_back(c.column + " < ?" + std::to_string(++param));
                extra.push_back(c.held + " = " + value);
                break;
        }
    }
    return sql_.emplace(at, file_.schema->composeScanSql(key_, order_.empty() ? nullptr : &order_, dir, shape, level, inclusive,
                                                          range_.has_value(), extra, t.through))
        .first->second;
}

bool KeyScan::before(const Row& a, const Row& b, int dir) const {
    const std::vector<SqlValue> va = boundaryOfRow(a), vb = boundaryOfRow(b);
    for (int level = 0; level < components() && static_cast<std::size_t>(level) < std::min(va.size(), vb.size()); ++level) {
        const OrderComponent component = componentAt(level);
        const auto l = static_cast<std::size_t>(level);
        if (const int c = compareAs(component.expr, va[l], vb[l])) return c * component.dir * dir < 0;
    }
    return dir > 0 ? a.id < b.id : a.id > b.id;
}

int KeyScan::query(Connection& c, int dir, ScanShape shape, int level, int limit) {
    const Terms t = termsNow();
    const bool pinnable = shape == ScanShape::Level && level < components();
    std::vector<Row> rows;
    for (int form = 0; form < t.forms(); ++form) {
        if (pinnable && pinnedBefore(level, dir, t, form)) continue;
        if (shape != ScanShape::Start && !formMeetsPoint(std::min(level, components()), t, form)) continue;
        std::vector<Row> more;
        if (int e = queryForm(c, dir, shape, level, limit, t, form, &more)) return e;
        if (rows.empty()) {
            rows = std::move(more);
            continue;
        }
        // Each form's rows come in the scan's order: merged, the first `limit` are the page.
        std::vector<Row> merged;
        merged.reserve(rows.size() + more.size());
        std::merge(std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()), std::make_move_iterator(more.begin()),
                   std::make_move_iterator(more.end()), std::back_inserter(merged), [&](const Row& a, const Row& b) { return before(a, b, dir); });
        if (static_cast<int>(merged.size()) > limit) merged.resize(static_cast<std::size_t>(limit));
        rows = std::move(merged);
    }
    for (Row& r : rows) cache_.push_back(std::move(r));
    return 0;
}

int KeyScan::queryForm(Connection& c, int dir, ScanShape shape, int level, int limit, const Terms& t, int form, std::vector<Row>* out) {
    const TableSchema& s = *file_.schema;
    const int k = components();
    // Inclusive means next() reads the record at the point; previous() reads the one before it.
    const std::string& sql = sqlFor(dir, shape, level, inclusive_ && dir > 0, t, form);
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
    int param = TableSchema::limitParam(k);
    for (std::size_t i = 0; i < conditions_.size(); ++i) {
        if (!t.value[i]) continue;
        bindValue(st.get(), ++param, *t.value[i]);
        if (t.formOf(conditions_[i], i, form) == Form::Longer && t.bound[i]) bindValue(st.get(), ++param, SqlValue{*t.bound[i]});
    }
    while ((rc = st.step()) == SQLITE_ROW) {
        out->emplace_back();
        readRow(s, st.get(), file_.readMemo, &out->back());
    }
    if (rc != SQLITE_DONE) {
        out->clear();
        return file_.sqlFail(c, rc, "reading " + s.table());
    }
    return 0;
}

}  // namespace files
