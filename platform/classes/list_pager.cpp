#include "platform/classes/list_pager.h"

#include <algorithm>
#include <cstring>

namespace cls {
namespace {
bool endOfView(int e) { return e == files::kRecordNotAvailable || e == files::kRecordNotFound; }
}  // namespace

ListPager::ListPager(files::RecordView& view, int visible) : view_(view), visible_(std::max(1, visible)) {}

void ListPager::setVisible(int rows) { visible_ = std::max(1, rows); }

ListRow ListPager::capture() const {
    ListRow r;
    r.position = view_.position();
    const auto& desc = view_.file().desc();
    r.record.assign(static_cast<const char*>(view_.file().buffer()), desc.recordSize);
    if (auto* memo = view_.file().memo()) r.memo = *memo;
    return r;
}

void ListPager::LoadCurrent() const {
    if (current_ < 0) return;
    const ListRow& r = rows_[static_cast<std::size_t>(current_)];
    std::memcpy(view_.file().buffer(), r.record.data(), r.record.size());
    if (auto* memo = view_.file().memo()) *memo = r.memo;
}

void ListPager::select(int row) {
    if (rows_.empty()) {
        current_ = -1;
        return;
    }
    current_ = std::clamp(row, 0, static_cast<int>(rows_.size()) - 1);
}

int ListPager::fillBackwardFrom(files::Position first, int wanted, std::vector<ListRow>& before, bool* reachedStart) {
    *reachedStart = false;
    if (wanted <= 0) return 0;
    view_.setPageSize(wanted);
    int e = first.valid() ? view_.seekToPosition(first) : view_.resetToEnd();
    if (e != 0) return e;
    for (int i = 0; i < wanted; ++i) {
        e = view_.previous();
        if (endOfView(e)) {
            *reachedStart = true;
            break;
        }
        if (e != 0) return e;
        before.push_back(capture());
    }
    std::reverse(before.begin(), before.end());
    return 0;
}

int ListPager::fillForward(files::Position start, bool startIsIncluded) {
    std::vector<ListRow> page;
    int e = 0;
    // The page, the row that tells whether it ends the view, and the start when it is skipped.
    view_.setPageSize(visible_ + 1 + (start.valid() && !startIsIncluded ? 1 : 0));
    if (start.valid()) {
        e = view_.seekToPosition(start);
        if (e != 0) return e;
        if (!startIsIncluded) {
            e = view_.next();  // skip the start record itself
            if (e != 0 && !endOfView(e)) return e;
        }
    } else {
        e = view_.reset();
        if (e != 0) return e;
    }
    atEnd_ = false;
    while (static_cast<int>(page.size()) < visible_) {
        e = view_.next();
        if (endOfView(e)) {
            atEnd_ = true;
            break;
        }
        if (e != 0) return e;
        page.push_back(capture());
    }
    if (!atEnd_) {
        // One more read tells whether the page ends the view.
        e = view_.next();
        atEnd_ = endOfView(e);
        if (e != 0 && !atEnd_) return e;
    }
    if (!start.valid()) {
        // Read from the view's start: nothing stands before the page, so nothing is read to learn it.
        atStart_ = true;
        rows_ = std::move(page);
        return 0;
    }
    // A page that ran into the end is topped up from before its first row; a full page asks for
    // one row before it, to tell whether it is the first.
    std::vector<ListRow> before;
    bool reachedStart = false;
    const int missing = visible_ - static_cast<int>(page.size());
    const files::Position first = page.empty() ? files::Position{} : page.front().position;
    if (page.empty()) {
        e = fillBackwardFrom({}, visible_, before, &reachedStart);
    } else {
        e = fillBackwardFrom(first, missing > 0 ? missing : 1, before, &reachedStart);
        if (missing <= 0) {
            atStart_ = reachedStart;
            before.clear();
        }
    }
    if (e != 0) return e;
    if (missing > 0 || page.empty()) atStart_ = reachedStart;
    rows_ = std::move(before);
    rows_.insert(rows_.end(), std::make_move_iterator(page.begin()), std::make_move_iterator(page.end()));
    return 0;
}

int ListPager::Home() {
    const int e = fillForward({}, true);
    current_ = rows_.empty() ? -1 : 0;
    return e;
}

int ListPager::End() {
    std::vector<ListRow> before;
    bool reachedStart = false;
    // One row more than the page tells whether the page is the first.
    const int e = fillBackwardFrom({}, visible_ + 1, before, &reachedStart);
    atStart_ = static_cast<int>(before.size()) <= visible_;
    if (!atStart_) before.erase(before.begin());
    rows_ = std::move(before);
    atEnd_ = true;
    current_ = rows_.empty() ? -1 : static_cast<int>(rows_.size()) - 1;
    return e;
}

int ListPager::Down() {
    if (rows_.empty()) return Home();
    if (current_ < static_cast<int>(rows_.size()) - 1) {
        ++current_;
        return 0;
    }
    if (atEnd_) return 0;
    view_.setPageSize(3);  // the last row, the next one and the one that tells whether it ends the view
    int e = view_.seekToPosition(rows_.back().position);
    if (e == 0) e = view_.next();
    if (e == 0) e = view_.next();
    if (endOfView(e)) {
        atEnd_ = true;
        return 0;
    }
    if (e != 0) return e;
    rows_.push_back(capture());
    if (static_cast<int>(rows_.size()) > visible_) {
        rows_.erase(rows_.begin());
        atStart_ = false;
    }
    current_ = static_cast<int>(rows_.size()) - 1;
    e = view_.next();
    atEnd_ = endOfView(e);
    return atEnd_ || e == 0 ? 0 : e;
}

int ListPager::Up() {
    if (rows_.empty()) return Home();
    if (current_ > 0) {
        --current_;
        return 0;
    }
    if (atStart_) return 0;
    std::vector<ListRow> before;
    bool reachedStart = false;
    const int e = fillBackwardFrom(rows_.front().position, 1, before, &reachedStart);
    if (e != 0) return e;
    if (before.empty()) {
        atStart_ = true;
        return 0;
    }
    rows_.insert(rows_.begin(), before.front());
    if (static_cast<int>(rows_.size()) > visible_) {
        rows_.pop_back();
        atEnd_ = false;
    }
    current_ = 0;
    // Whether there is anything before the new first row.
    std::vector<ListRow> probe;
    fillBackwardFrom(rows_.front().position, 1, probe, &reachedStart);
    atStart_ = probe.empty();
    return 0;
}

int ListPager::PageDown() {
    if (rows_.empty()) return Home();
    if (atEnd_) {
        current_ = static_cast<int>(rows_.size()) - 1;
        return 0;
    }
    const int offset = current_;
    const int e = fillForward(rows_.back().position, false);
    select(offset);
    if (atEnd_ && static_cast<int>(rows_.size()) < visible_) current_ = static_cast<int>(rows_.size()) - 1;
    return e;
}

int ListPager::PageUp() {
    if (rows_.empty()) return Home();
    if (atStart_) {
        current_ = 0;
        return 0;
    }
    const int offset = current_;
    std::vector<ListRow> before;
    bool reachedStart = false;
    int e = fillBackwardFrom(rows_.front().position, visible_, before, &reachedStart);
    if (e != 0) return e;
    if (static_cast<int>(before.size()) < visible_) {
        // Fewer than a page before this one: the first page.
        e = Home();
        return e;
    }
    rows_ = std::move(before);
    atStart_ = reachedStart;
    if (!atStart_) {
        std::vector<ListRow> probe;
        fillBackwardFrom(rows_.front().position, 1, probe, &reachedStart);
        atStart_ = probe.empty();
    }
    atEnd_ = false;
    select(offset);
    return 0;
}

int ListPager::LocateBufferKey() {
    view_.setPageSize(1);
    int e = view_.seekToBufferKey();
    if (e != 0) return e;
    e = view_.next();
    if (endOfView(e)) return End();
    if (e != 0) return e;
    const int located = LocatePosition(view_.position());
    return endOfView(located) ? Home() : located;
}

int ListPager::LocatePosition(files::Position pos) {
    // Half a page before the row, the rest after it. The view reads what each step takes, no more,
    // so finding the row reads it alone.
    view_.setPageSize(1);
    int e = view_.seekToPosition(pos);
    if (e == 0) e = view_.next();
    if (endOfView(e) && !byKey_) {
        // Not in the view any more: a row of this page still knows its key, which finds its place.
        for (const ListRow& r : rows_)
            if (r.position == pos) {
                std::memcpy(view_.file().buffer(), r.record.data(), r.record.size());
                byKey_ = true;
                e = LocateBufferKey();
                byKey_ = false;
                return e;
            }
    }
    if (e != 0) return e;  // kRecordNotFound: not in the view, and not on this page
    const files::Position found = view_.position();
    std::vector<ListRow> before;
    bool reachedStart = false;
    e = fillBackwardFrom(found, visible_ / 2, before, &reachedStart);
    if (e != 0) return e;
    const files::Position first = before.empty() ? found : before.front().position;
    e = fillForward(first, true);
    if (e != 0) return e;
    current_ = -1;
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].position == found) current_ = static_cast<int>(i);
    if (current_ < 0) select(0);
    return 0;
}

int ListPager::Refit() {
    if (rows_.empty()) return Home();
    const files::Position current = rows_[static_cast<std::size_t>(std::max(current_, 0))].position;
    const int e = fillForward(rows_.front().position, true);
    // The first row is gone (another thread removed it), or the current one no longer fits.
    if (e != 0 || rows_.empty()) return LocatePosition(current);
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].position == current) {
            current_ = static_cast<int>(i);
            return 0;
        }
    return LocatePosition(current);
}

int ListPager::Reload() {
    if (rows_.empty()) return Home();
    const ListRow keep = rows_[static_cast<std::size_t>(std::max(current_, 0))];
    const int e = LocatePosition(keep.position);
    if (!endOfView(e)) return e;
    // The row left the view (removed, or changed out of its range): its key finds where it stood.
    std::memcpy(view_.file().buffer(), keep.record.data(), keep.record.size());
    return LocateBufferKey();
}

}  // namespace cls
