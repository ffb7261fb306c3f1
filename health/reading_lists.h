#pragma once
// The two reading lists inside the health-profile form: the person's blood-pressure readings and
// blood-glucose readings, each a list browser over its table with its own buttons, kept to the
// readings of the shared personname. Each list has two orders: by person (when personname names
// someone) and otherwise the table's record order (blood pressure) or date order (glucose), a
// stored layout per order, a column auto-sizer and a column-header sorter.
#include <array>
#include <span>
#include <string_view>

#include "data/table_classes.h"
#include "platform/classes/column_auto_sizer.h"
#include "platform/classes/column_header_sorter.h"
#include "platform/classes/list_procedure.h"

namespace health {

// What tells the two lists apart.
struct ReadingListKind {
    const char* list;
    const char* insert;
    const char* change;
    const char* remove;
    const data::TableBinding& (*table)();
    cls::TableGroup* (*group)();
    const char* personField;    // the reading's copy of the person's name
    const char* personKey;      // order 1
    const char* otherKey;       // order 2; nullptr: the table's record order, without a seeker
    std::span<const char* const> columns;  // in queue order; the person's name last, not shown
    int updateNumber;           // the form's update number for the reading form
    const char* form;           // the reading form
    int formatControl;          // the list-format manager's control id
    int visibleFields;
};

const ReadingListKind& BloodPressureList();
const ReadingListKind& GlucoseList();

// The first order while personname names someone, the second while it is blank.
class ReadingBrowser final : public cls::PatternListBrowser {
public:
    int PickOrder() override;
};

// A header click on a reading list: for a known person the sort runs within the person's order
// and typed characters seek in it; for a blank personname within the second order, with that
// order's seeker when it has one.
class ReadingSorter final : public cls::ColumnHeaderSorter {
public:
    // The seekers of the list's two orders (nullptr: the order has none).
    void UseSeekers(std::array<cls::ListSeeker*, 2> seekers) { seekers_ = seekers; }

protected:
    void HandOrderToList(std::string_view order) override;

private:
    std::array<cls::ListSeeker*, 2> seekers_{};
};

class ReadingList {
public:
    explicit ReadingList(const ReadingListKind& kind);

    const ReadingListKind& kind() const { return kind_; }
    ReadingBrowser& browser() { return browser_; }
    ReadingSorter& sorter() { return sorter_; }
    // Whether the reading form is there to insert, change and delete through.
    static bool FormRegistered(const ReadingListKind& kind);

    // Before the window opens: the browser a part of the form, over its list box and table; its
    // buttons linked when the form is not for viewing and the reading form exists.
    void Attach(cls::WindowController& form, bool viewing);
    // Once the window is open: orders, seekers, the person filter, columns, the update number.
    void SetUpOrders(cls::ToolbarDispatcher& toolbar);
    // The stored layouts of the list (after the orders).
    void SetUpFormats(cls::ErrorReporter* errors);
    // The column auto-sizer and the header sorter (after the keys are armed).
    void SetUpSizerAndSorter(wnd::Window& window);
    // Offers the window's current event; non-zero when taken.
    int OfferToSorter() { return sorter_.OnEvent(); }
    int OfferToSizer(wnd::Window& window) { return sizer_.TakeEvent(window); }
    void TearDownSorter() { sorter_.TearDown(); }
    void TearDownFormats() { formats_.TearDown(); }
    void TearDownSizer() { sizer_.TearDown(); }

private:
    const ReadingListKind& kind_;
    cls::ViewReader reader_;
    cls::ListQueue queue_;
    ReadingBrowser browser_;
    std::array<cls::ListSeeker, 2> seekers_{};
    ReadingSorter sorter_;
    cls::ListFormatManager formats_;
    cls::ColumnAutoSizer sizer_;
};

}  // namespace health
