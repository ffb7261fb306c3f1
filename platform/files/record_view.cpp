#include "platform/files/record_view.h"

#include <algorithm>

#include "platform/files/collation.h"
#include "platform/files/table_file_impl.h"
#include "platform/runtime/codepage.h"
#include "platform/runtime/fixed_string.h"

namespace files {

inline constexpr int kDefaultViewPage = 32;

struct RecordView::Impl {
    Impl(TableFile& f, int k) : file(f), key(k), scan(f.impl(), f.impl().validKey(k) ? k : -1, kDefaultViewPage, false, KeyScan::Freshness::PerPage) {}

    TableFile& file;
    int key;
    KeyScan scan;
    std::function<bool()> keep;
    Position last;

    // A temporary order: the view's records, sorted once per change of the database.
    struct Entry {
        std::vector<SqlValue> values;  // of the sort fields
        std::int64_t id;
    };
    std::vector<rt::KeyComponent> sortBy;
    std::vector<Entry> sorted;
    bool loaded = false;
    Connection::Stamp loadedAt;
    std::ptrdiff_t nextAt = 0, previousAt = -1;  // what next() and previous() read

    std::vector<SqlValue> sortValues(const char* record) const {
        std::vector<SqlValue> v;
        for (const rt::KeyComponent& c : sortBy) v.push_back(encodeField(file.desc().fields[static_cast<std::size_t>(c.field - 1)], record));
        return v;
    }
    static int compareValue(const SqlValue& a, const SqlValue& b) {
        if (a.index() != b.index() || std::holds_alternative<std::monostate>(a)) {
            if (a.index() == b.index()) return 0;
            const auto number = [](const SqlValue& v) {
                if (const auto* i = std::get_if<std::int64_t>(&v)) return static_cast<double>(*i);
                if (const auto* d = std::get_if<double>(&v)) return *d;
                return 0.0;
            };
            const double x = number(a), y = number(b);
            return x < y ? -1 : x > y ? 1 : 0;
        }
        if (const auto* s = std::get_if<std::string>(&a)) return compareCp1252(*s, std::get<std::string>(b), true);
        if (const auto* i = std::get_if<std::int64_t>(&a)) {
            const std::int64_t j = std::get<std::int64_t>(b);
            return *i < j ? -1 : *i > j ? 1 : 0;
        }
        const double x = std::get<double>(a), y = std::get<double>(b);
        return x < y ? -1 : x > y ? 1 : 0;
    }
    int compare(const std::vector<SqlValue>& a, const std::vector<SqlValue>& b) const {
        for (std::size_t i = 0; i < sortBy.size(); ++i)
            if (const int c = compareValue(a[i], b[i])) return sortBy[i].descending ? -c : c;
        return 0;
    }
    // The records of the key order that pass the filter, sorted; again only after a change.
    int load() {
        std::shared_ptr<Connection> c;
        if (int e = fi().requireOpen(&c)) return e;
        const Connection::Stamp now = c->stamp();  // before reading: a later change reloads
        if (loaded && now == loadedAt) return 0;
        sorted.clear();
        loaded = false;
        scan.toStart();
        for (;;) {
            Row row;
            const int e = scan.next(&row);
            if (e == kRecordNotAvailable) break;
            if (e) return e;
            fi().deliver(row, fi().readMemo);
            if (!keep || keep()) sorted.push_back({sortValues(row.record.data()), row.id});
        }
        std::stable_sort(sorted.begin(), sorted.end(), [this](const Entry& a, const Entry& b) { return compare(a.values, b.values) < 0; });
        loaded = true;
        loadedAt = now;
        return 0;
    }
    // The first entry not before these values.
    std::ptrdiff_t lowerBound(const std::vector<SqlValue>& values) const {
        const auto at = std::lower_bound(sorted.begin(), sorted.end(), values,
                                         [this](const Entry& e, const std::vector<SqlValue>& v) { return compare(e.values, v) < 0; });
        return at - sorted.begin();
    }
    void placeBefore(std::ptrdiff_t i) {
        nextAt = i;
        previousAt = i - 1;
    }
    int readSorted(int dir) {
        if (!loaded)
            if (int e = load()) return e;
        std::shared_ptr<Connection> c;
        if (int e = fi().requireOpen(&c)) return e;
        const auto size = static_cast<std::ptrdiff_t>(sorted.size());
        for (std::ptrdiff_t i = dir > 0 ? nextAt : previousAt; i >= 0 && i < size; i += dir) {
            Row row;
            const int e = fi().fetchById(*c, sorted[static_cast<std::size_t>(i)].id, fi().readMemo, &row);
            if (e == kRecordNotFound) continue;  // removed since the order was read
            if (e) return e;
            fi().deliver(row, fi().readMemo);
            if (keep && !keep()) continue;
            nextAt = i + 1;
            previousAt = i - 1;
            last = Position{row.id};
            return fi().ok();
        }
        if (dir > 0) placeBefore(size);
        else placeBefore(0);
        return fi().fail(kRecordNotAvailable, dir > 0 ? "past the last record" : "before the first record");
    }

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
    int read(int dir) {
        if (int e = check()) return e;
        if (!sortBy.empty()) return readSorted(dir);
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

void RecordView::setRange(KeyValue low, KeyValue high) { impl_->scan.setRange(impl_->boundValue(low), impl_->boundValue(high)); }

void RecordView::clearRange() { impl_->scan.clearRange(); }

void RecordView::setPageSize(int rows) { impl_->scan.setPageSize(rows); }

void RecordView::setSortOrder(std::vector<rt::KeyComponent> by) {
    const auto& fields = impl_->file.desc().fields;
    std::erase_if(by, [&](const rt::KeyComponent& c) { return c.field < 1 || static_cast<std::size_t>(c.field) > fields.size(); });
    impl_->sortBy = std::move(by);
    impl_->sorted.clear();
    impl_->loaded = false;
    impl_->placeBefore(0);
}

void RecordView::rereadSortOrder() { impl_->loaded = false; }

int RecordView::reset() {
    if (int e = impl_->check()) return e;
    if (!impl_->sortBy.empty()) {
        if (int e = impl_->load()) return e;
        impl_->placeBefore(0);
        return impl_->fi().ok();
    }
    impl_->scan.toStart();
    return impl_->fi().ok();
}

int RecordView::resetToEnd() {
    if (int e = impl_->check()) return e;
    if (!impl_->sortBy.empty()) {
        if (int e = impl_->load()) return e;
        impl_->placeBefore(static_cast<std::ptrdiff_t>(impl_->sorted.size()));
        return impl_->fi().ok();
    }
    impl_->scan.toEnd();
    return impl_->fi().ok();
}

int RecordView::seekToBufferKey() {
    if (int e = impl_->check()) return e;
    auto& fi = impl_->fi();
    if (!impl_->sortBy.empty()) {
        // The values sought, before reading the order overwrites the buffer.
        const std::vector<SqlValue> sought = impl_->sortValues(fi.buffer);
        if (int e = impl_->load()) return e;
        impl_->placeBefore(impl_->lowerBound(sought));
        return fi.ok();
    }
    if (impl_->key < 0) impl_->scan.toStart();
    else impl_->scan.toPoint(fi.schema->keyValuesOf(impl_->key, fi.buffer), 0, false);
    return fi.ok();
}

int RecordView::seekToPosition(Position pos) {
    if (int e = impl_->check()) return e;
    auto& fi = impl_->fi();
    std::shared_ptr<Connection> c;
    if (int e = fi.requireOpen(&c)) return e;
    Row row;
    if (int e = fi.fetchById(*c, pos.id, false, &row)) return e;
    if (!impl_->sortBy.empty()) {
        if (int e = impl_->load()) return e;
        const auto& sorted = impl_->sorted;
        const auto at = std::find_if(sorted.begin(), sorted.end(), [&](const Impl::Entry& en) { return en.id == pos.id; });
        // A record the view does not hold: where its values would stand.
        impl_->placeBefore(at != sorted.end() ? at - sorted.begin() : impl_->lowerBound(impl_->sortValues(row.record.data())));
        return fi.ok();
    }
    impl_->scan.toPoint(boundaryOf(*fi.schema, impl_->key, row), row.id, true);
    return fi.ok();
}

int RecordView::next() { return impl_->read(1); }
int RecordView::previous() { return impl_->read(-1); }

Position RecordView::position() const { return impl_->last; }
int RecordView::key() const { return impl_->key; }
TableFile& RecordView::file() const { return impl_->file; }

}  // namespace files
