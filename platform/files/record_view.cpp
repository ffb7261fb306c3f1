#include "platform/files/record_view.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/files/collation.h"
#include "platform/files/kept_sum.h"
#include "platform/files/table_file_impl.h"
#include "platform/runtime/codepage.h"
#include "platform/runtime/fixed_string.h"

namespace files {

inline constexpr int kDefaultViewPage = 32;

namespace {

ScanCondition::Op scanOperator(FieldCondition::Op op) {
    switch (op) {
        case FieldCondition::Op::Equal: return ScanCondition::Op::Equal;
        case FieldCondition::Op::Less: return ScanCondition::Op::Less;
        case FieldCondition::Op::LessEqual: return ScanCondition::Op::LessEqual;
        case FieldCondition::Op::Greater: return ScanCondition::Op::Greater;
        case FieldCondition::Op::GreaterEqual: return ScanCondition::Op::GreaterEqual;
    }
    return ScanCondition::Op::Equal;
}

std::int64_t powerOfTen(int n) {
    std::int64_t p = 1;
    while (n-- > 0) p *= 10;
    return p;
}

// A condition's value as the column holds it, or nullopt when the database cannot test it as the
// program compares (the filter then decides alone).
std::optional<SqlValue> columnValue(const rt::FieldDesc& f, FieldCondition::Op op, const KeyValue& v) {
    if (isTextField(f.type)) {
        const auto* s = std::get_if<std::string>(&v);
        if (!s || op != FieldCondition::Op::Equal) return std::nullopt;
        return SqlValue{rt::cp1252ToUtf8(rt::rtrim(*s))};
    }
    if (std::holds_alternative<std::string>(v)) return std::nullopt;
    const bool whole = std::holds_alternative<std::int64_t>(v);
    const double d = whole ? static_cast<double>(std::get<std::int64_t>(v)) : std::get<double>(v);
    if (std::isnan(d)) return std::nullopt;
    if (f.type == rt::FieldType::Real) return SqlValue{d};
    if (f.type != rt::FieldType::Decimal) return whole ? SqlValue{std::get<std::int64_t>(v)} : SqlValue{d};
    // A DECIMAL is stored as its scaled integer: the bound is scaled the same way, rounded outward
    // (a bound between two stored values passes both neighbours; the filter decides).
    const double scaled = d * static_cast<double>(powerOfTen(f.places));
    if (std::fabs(scaled) > 9.0e15) return std::nullopt;
    if (whole && f.places <= 15) return SqlValue{std::get<std::int64_t>(v) * powerOfTen(f.places)};
    switch (op) {
        case FieldCondition::Op::Less:
        case FieldCondition::Op::LessEqual: return SqlValue{static_cast<std::int64_t>(std::ceil(scaled))};
        case FieldCondition::Op::Greater:
        case FieldCondition::Op::GreaterEqual: return SqlValue{static_cast<std::int64_t>(std::floor(scaled))};
        case FieldCondition::Op::Equal: break;
    }
    return std::nullopt;
}

// A field's column, text folding case (the lookups and a view's own sort order compare it so).
std::string foldedColumn(const rt::FieldDesc& f) {
    const std::string column = quoteIdentifier(columnName(f));
    return isTextField(f.type) ? column + " COLLATE " + kNoCaseCollation : column;
}

// Rounded outward, a strict bound must take in its own value.
FieldCondition::Op inclusiveFor(const rt::FieldDesc& f, FieldCondition::Op op) {
    if (f.type != rt::FieldType::Decimal) return op;
    if (op == FieldCondition::Op::Less) return FieldCondition::Op::LessEqual;
    if (op == FieldCondition::Op::Greater) return FieldCondition::Op::GreaterEqual;
    return op;
}

}  // namespace

struct RecordView::Impl {
    Impl(TableFile& f, int k) : file(f), key(k), scan(f.impl(), f.impl().validKey(k) ? k : -1, kDefaultViewPage, false, KeyScan::Freshness::PerPage) {}

    TableFile& file;
    int key;
    KeyScan scan;
    std::function<bool()> keep;
    Position last;
    bool sorted = false;
    std::size_t sortFields = 0;  // of the sorted order's components, those the caller named

    TableFile::Impl& fi() const { return file.impl(); }
    int check() {
        if (!fi().validKey(key)) return fi().badKey(key);
        std::shared_ptr<Connection> c;
        return fi().requireOpen(&c);
    }
    // A bound as the key's leading component compares it: text in the buffer's code page, clipped.
    SqlValue boundValue(const KeyValue& v) const {
        if (const auto* s = std::get_if<std::string>(&v)) return rt::cp1252ToUtf8(rt::rtrim(*s));
        if (const auto* i = std::get_if<std::int64_t>(&v)) return *i;
        return std::get<double>(v);
    }
    // The column a condition tests, compared as the view's key compares it when the key holds the
    // field (so its index serves), else as a sort order compares it.
    std::string conditionColumn(const rt::FieldDesc& f) const {
        if (isTextField(f.type) && fi().validKey(key) && key >= 0)
            for (const auto& c : fi().schema->key(key).components)
                if (c.field == f.number) return c.expr;
        return foldedColumn(f);
    }
    int read(int dir) {
        if (int e = check()) return e;
        for (;;) {
            Row row;
            if (int e = dir > 0 ? scan.next(&row) : scan.previous(&row)) return e;
            fi().deliver(row, fi().readMemo);
            // The filter sees the candidate in the buffer; it may read the file itself.
            if (!keep || keep()) {
                last = Position{row.id};
                return fi().ok();
            }
        }
    }
};

RecordView::RecordView(TableFile& file, int key) : impl_(std::make_unique<Impl>(file, key)) {}
RecordView::~RecordView() = default;

void RecordView::setFilter(std::function<bool()> keep) { impl_->keep = std::move(keep); }

void RecordView::setConditions(std::vector<FieldCondition> conditions) {
    const auto& fields = impl_->file.desc().fields;
    std::vector<ScanCondition> terms;
    for (FieldCondition& c : conditions) {
        if (c.field < 1 || static_cast<std::size_t>(c.field) > fields.size() || !c.value) continue;
        const rt::FieldDesc& f = fields[static_cast<std::size_t>(c.field - 1)];
        if (isTextField(f.type) && c.op != FieldCondition::Op::Equal) continue;
        ScanCondition term;
        term.column = impl_->conditionColumn(f);
        term.op = scanOperator(inclusiveFor(f, c.op));
        term.value = [&f, op = c.op, value = std::move(c.value)]() -> std::optional<SqlValue> {
            const std::optional<KeyValue> v = value();
            if (!v) return std::nullopt;
            return columnValue(f, op, *v);
        };
        if (isTextField(f.type)) {
            // The buffer holds the field's width: the database compares what it would hold.
            const std::string plain = quoteIdentifier(columnName(f));
            term.held = textAsHeld(f, plain) + term.column.substr(plain.size());  // with the column's collation
            term.room = heldRoom(f);
            term.nocase = term.column.find(kNoCaseCollation) != std::string::npos;
        }
        terms.push_back(std::move(term));
    }
    impl_->scan.setConditions(std::move(terms));
}

void RecordView::setRange(KeyValue low, KeyValue high) { impl_->scan.setRange(impl_->boundValue(low), impl_->boundValue(high)); }

void RecordView::clearRange() { impl_->scan.clearRange(); }

void RecordView::setPageSize(int rows) { impl_->scan.setPageSize(rows); }

void RecordView::setSortOrder(std::vector<rt::KeyComponent> by) {
    const auto& fields = impl_->file.desc().fields;
    std::erase_if(by, [&](const rt::KeyComponent& c) { return c.field < 1 || static_cast<std::size_t>(c.field) > fields.size(); });
    impl_->sorted = !by.empty();
    impl_->sortFields = by.size();
    std::vector<OrderComponent> order;
    for (const rt::KeyComponent& c : by) {
        order.push_back({foldedColumn(fields[static_cast<std::size_t>(c.field - 1)]), c.descending ? -1 : 1, c.field});
    }
    // Records equal on the fields keep the key's order.
    if (impl_->sorted && impl_->fi().validKey(impl_->key) && impl_->key >= 0)
        for (const auto& c : impl_->fi().schema->key(impl_->key).components)
            if (std::none_of(order.begin(), order.end(), [&](const OrderComponent& o) { return o.expr == c.expr; }))
                order.push_back({c.expr, c.dir, c.field});  // a column sorted on already orders nothing more
    impl_->scan.setOrder(impl_->sorted ? std::move(order) : std::vector<OrderComponent>{});
}

int RecordView::reset() {
    if (int e = impl_->check()) return e;
    impl_->scan.toStart();
    return impl_->fi().ok();
}

int RecordView::resetToEnd() {
    if (int e = impl_->check()) return e;
    impl_->scan.toEnd();
    return impl_->fi().ok();
}

int RecordView::seekToBufferKey() {
    if (int e = impl_->check()) return e;
    auto& fi = impl_->fi();
    if (impl_->key < 0 && !impl_->sorted) {
        impl_->scan.toStart();
    } else if (impl_->sorted) {
        // Sought on the sort fields alone: the first record that holds the buffer's values or more.
        std::vector<SqlValue> sought = impl_->scan.boundaryOfRecord(fi.buffer);
        sought.resize(impl_->sortFields);
        impl_->scan.toPoint(std::move(sought), 0, false);
    } else {
        impl_->scan.toPoint(impl_->scan.boundaryOfRecord(fi.buffer), 0, false);
    }
    return fi.ok();
}

int RecordView::seekToPosition(Position pos) {
    if (int e = impl_->check()) return e;
    auto& fi = impl_->fi();
    std::shared_ptr<Connection> c;
    if (int e = fi.requireOpen(&c)) return e;
    Row row;
    if (int e = fi.fetchById(*c, pos.id, false, &row)) return e;
    // A record the view does not hold: where its values would stand.
    impl_->scan.toPoint(impl_->scan.boundaryOfRow(row), row.id, true);
    return fi.ok();
}

int RecordView::next() { return impl_->read(1); }
int RecordView::previous() { return impl_->read(-1); }

Position RecordView::position() const { return impl_->last; }
int RecordView::key() const { return impl_->key; }
TableFile& RecordView::file() const { return impl_->file; }

}  // namespace files
