#include "platform/files/record_view.h"

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
    impl_->scan.toPoint(boundaryOf(*fi.schema, impl_->key, row), row.id, true);
    return fi.ok();
}

int RecordView::next() { return impl_->read(1); }
int RecordView::previous() { return impl_->read(-1); }

Position RecordView::position() const { return impl_->last; }
int RecordView::key() const { return impl_->key; }
TableFile& RecordView::file() const { return impl_->file; }

}  // namespace files
