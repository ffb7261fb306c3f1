#pragma once
// Reads one table for a list: a record view per key order (made when first used, sharing one
// filter), a pass over the whole view for totals, and the preparation of a new record through the
// table's accessor. Read errors are reported through the table's messages.
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/classes/table_accessor.h"
#include "platform/files/record_view.h"

namespace cls {

class ViewReader {
public:
    ViewReader(files::TableFile& file, TableAccessor* accessor) : file_(file), accessor_(accessor) {}

    // Applies to every order's view. The filter sees the candidate in the table's buffer;
    // `conditions` are what every record it keeps meets (a person's name the filter pins), which
    // the database tests first, so the views read only records that can pass.
    void SetFilter(std::function<bool()> keep, std::vector<files::FieldCondition> conditions = {});
    // A filter stored as text in the expression language, naming the table's fields as its
    // accessor binds them ("PRE:Active='Y'"). False, with *error saying why, when the text does
    // not compile; the views then keep the filter they had. The parts the database can test
    // become the views' conditions (DatabaseConditionsOf).
    bool SetStandardFilter(std::string_view expression, std::string* error = nullptr);
    // Conditions every record the pass's consumer acts on meets (a report that prints only one
    // person's records): the pass of Rewind and FetchNext reads only those records. A view that
    // holds records but none of those still gives the pass its first record alone, so a report
    // ends as one whose records were all passed over, not as one without records.
    void NarrowPass(std::vector<files::FieldCondition> conditions);
    // Sort fields after the key's own for the passes of Rewind and FetchNext: "+PRE:DrugName" (or
    // without the sign) rising, "-PRE:DateFilled" falling, several separated by commas or blanks.
    // Records the key holds equal come in that order (text ignoring case); the pass reads a view
    // sorted on the key's fields and these (RecordView::setSortOrder). False, with *error saying
    // why, when the text names a field the table lacks; the passes then keep the order they had.
    bool AppendOrder(std::string_view order, std::string* error = nullptr);
    // The fields and directions an order text names, as AppendOrder reads it; nullopt, with
    // *error saying why, when it names a field the table lacks.
    static std::optional<std::vector<rt::KeyComponent>> ParseOrder(std::string_view order, const rt::TableDesc& table,
                                                                   std::string* error = nullptr);
    // Only the records whose key's first field holds what `field` holds in the buffer now.
    void LimitOrder(const rt::FieldDesc& field);
    // The view in key order `key` (-1: record order); it becomes the current one.
    files::RecordView& UseOrder(int key);
    // A view of key order `key` sorted on other fields (a list's temporary order), with the same
    // filter and range; it replaces the last one made. It does not become the current view.
    files::RecordView& UseSortedOrder(int key, std::vector<rt::KeyComponent> by);
    files::RecordView& view();
    int order() const { return key_; }

    // A pass over the current view from its start: Rewind, then FetchNext until it answers
    // kRecordNotAvailable. Other answers are read errors, already reported; 3 when fatal.
    int Rewind();
    int FetchNext();
    // Clears the buffer and lets the accessor prime it (and add an auto-numbered record at once);
    // non-zero when the new record cannot be made.
    int PrepareNew();
    // Reports a read error the list met (message of the table); 3 when the window must close.
    int ReportReadError(int error);

    files::TableFile& file() const { return file_; }
    TableAccessor* accessor() const { return accessor_; }

private:
    void openFile();
    // A view of key order `key` with the reader's filter and range.
    std::unique_ptr<files::RecordView> makeView(int key);

    files::TableFile& file_;
    TableAccessor* accessor_;
    std::function<bool()> filter_;
    std::vector<files::FieldCondition> conditions_, narrowing_;
    std::optional<files::KeyValue> range_;
    bool passBegun_ = false, passOver_ = false;
    std::vector<rt::KeyComponent> appended_;
    std::unique_ptr<files::RecordView> pass_;  // the view a pass reads with appended sort fields or narrowed
    std::map<int, std::unique_ptr<files::RecordView>> views_;
    std::unique_ptr<files::RecordView> sorted_;
    int key_ = -1;
};

}  // namespace cls
