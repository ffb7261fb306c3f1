#pragma once
// The rows a list box shows: a page of records of a view around the current row, read with the
// view's keyset seeks, so moving through a list costs the same at a hundred records or a million.
// Each row keeps a copy of its record (and memo) and its position in the view.
#include <cstddef>
#include <string>
#include <vector>

#include "platform/files/record_view.h"

namespace cls {

struct ListRow {
    files::Position position;
    std::string record;  // the record's bytes as read
    std::string memo;
};

class ListPager {
public:
    // `visible`: rows the list box shows.
    ListPager(files::RecordView& view, int visible);

    void setVisible(int rows);
    int visible() const { return visible_; }

    // Each returns the driver's error of a failed read (0 otherwise); an empty view is no error.
    int Home();      // first page, first row
    int End();       // last page, last row
    int Down();      // next row (the page scrolls by one at its bottom)
    int Up();
    int PageDown();  // the page after this one, same row offset where possible
    int PageUp();
    // Reloads around the record at pos (made the current row); when it is no longer in the view,
    // around where it would have been (the next record, else the previous one).
    int LocatePosition(files::Position pos);
    // The first record whose key is >= the key in the buffer becomes the current row.
    int LocateBufferKey();
    // Reads the page again around the current row (another thread may have changed the table).
    int Reload();
    // Reads the page again from its first row after setVisible, so a list box that grew fills
    // its new rows below the old ones; the current row stays current (in sight).
    int Refit();

    const std::vector<ListRow>& rows() const { return rows_; }
    int current() const { return current_; }  // -1 when there are no rows
    bool empty() const { return rows_.empty(); }
    void select(int row);
    // Whether the page holds the view's first / last record.
    bool atStart() const { return atStart_; }
    bool atEnd() const { return atEnd_; }
    // Loads the current row's record into the table's buffer (as read when the page was loaded).
    void LoadCurrent() const;

private:
    ListRow capture() const;
    // Fills rows_ starting from the record at/after the cursor, up to visible_, then tops up
    // from before the first row when the end came early.
    int fillForward(files::Position start, bool startIsIncluded);
    int fillBackwardFrom(files::Position first, int wanted, std::vector<ListRow>& before, bool* reachedStart);

    files::RecordView& view_;
    int visible_;
    std::vector<ListRow> rows_;
    int current_ = -1;
    bool atStart_ = true;
    bool atEnd_ = true;
    bool byKey_ = false;  // LocatePosition is finding a removed row by its key
};

}  // namespace cls
