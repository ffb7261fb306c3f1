#pragma once
// The browser of a list window: a page of a table's view in one of its sort orders, shown in a
// list box with a column per field, moved with the keys, the scroll bar and typed characters, and
// the buttons that call the table's form on the list's thread.
//
//     ListBrowser b;
//     b.Initialise(list, reader, queue, &group, controller);   // a part of the controller
//     b.INSERTCONTROL = ...; b.CHANGECONTROL = ...;              // the buttons it drives
//     b.AddOrder(&step, key); b.SetSeeker(&seeker);             // the last order added is the default
//     b.AddColumn(field); b.AddColumnValue(field);              // in column order
//
// Only the visible page is read and sent to the list box, with the thumb's place; keys, clicks and
// thumb drags come back as events and move the page with keyset seeks.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/classes/list_format_manager.h"
#include "platform/classes/list_pager.h"
#include "platform/classes/list_queue.h"
#include "platform/classes/list_seeker.h"
#include "platform/classes/popup_menu.h"
#include "platform/classes/thumb_step.h"
#include "platform/classes/toolbar_dispatcher.h"
#include "platform/classes/view_reader.h"
#include "platform/classes/window_controller.h"
#include "platform/runtime/picture.h"

namespace cls {

inline constexpr int kRequestPrint = 5;

class ListBrowser : public WindowComponent, public ToolbarTarget, public FormattedList {
public:
    ListBrowser() = default;
    ~ListBrowser() override = default;

    // Makes the browser a part of the controller; select mode when the controller's REQUEST is 4.
    void Initialise(int listControl, ViewReader& reader, ListQueue& queue, TableGroup* group, WindowController& controller);
    // An order in key `key` (-1: record order) placed by `step` (may be null); returns its number.
    int AddOrder(ThumbStep* step, int key);
    // The seeker of the last order added.
    void SetSeeker(ListSeeker* seeker);
    // The next column: a text field, or any other field, formatted through the column's picture
    // in the list's format (the field's own picture for a column the format does not show).
    void AddColumn(const rt::FieldDesc& field) { addColumn(field); }
    void AddColumnValue(const rt::FieldDesc& field) { addColumn(field); }
    void AttachToolbar(ToolbarDispatcher& toolbar) { toolbar.AddTarget(this); }

    // --- virtual operations ---
    virtual void ReloadRows();
    virtual int PickOrder();
    // Makes order n current, reloading the rows when it changed; returns n.
    virtual int SelectOrder(int n);
    // The highlighted row becomes current and its record is loaded; the right mouse button or the
    // Apps key then show the popup menu, any other selection refreshes the window.
    virtual int OnNewSelection();
    // ReloadRows under a busy cursor.
    virtual void ReloadBusy();
    // Calls the form with request r on the highlighted row (a new record for insert).
    virtual int OpenUpdater(int request);
    virtual void AfterUpdater(int request, int response);
    virtual void RefreshControls();

    // --- a temporary order (a column header's sort) over the present order ---
    // Sorts the present order's rows (its filter and range kept) on the fields an order text names,
    // "+GLU:READING" or "-BLO:DATE,+BLO:TIME" ('+' ascending, the default; '-' descending); the
    // highlighted record stays highlighted. `seeker` serves typed characters in it once
    // RelinkSeeker has fitted it to the order; it is given back its own order afterwards. False
    // when the text names no field of the table.
    bool PushOrderState(std::string_view order, ListSeeker* seeker = nullptr);
    // Back to the present order's own sequence (nothing when no temporary order is on).
    void PopOrderState();
    // Fits the temporary order's seeker to its fields: typed characters seek its first field.
    void RelinkSeeker();

    // --- as a part of the window ---
    int TakeEvent(WindowController& controller) override;
    void Reset(bool force) override;
    bool ResetRequired() override;
    void SyncBuffer() override;
    void ArmKeys() override;
    void Release() override;
    int TakeToolbar(int) override { return 0; }

    // --- what the list-format manager sees of the list box ---
    std::string Format() const override;
    void SetFormat(std::string_view format) override;
    std::string ColumnFields(int fieldCount) const override;
    bool Accepts(std::string_view format) const override;
    std::string DesignedFormat() const override;

    // The buffer's record as a row of the queue (what the fill stores for each record).
    ListQueueRow StoreRow() const;

    // The field of column i (0-based, in queue order); nullptr past the last.
    const rt::FieldDesc* columnField(std::size_t i) const { return i < columns_.size() ? columns_[i].field : nullptr; }
    int order() const { return order_; }
    int orderCount() const { return static_cast<int>(orders_.size()); }
    int listControl() const { return list_; }
    // The key of the event being handled (0 for a plain new selection).
    wnd::KeyCode keyCode() const { return key_; }
    ListPager* pager() const { return pager_.get(); }
    ViewReader* reader() const { return reader_; }
    WindowController* controller() const { return controller_; }
    void SetVisibleRows(int rows);

    // Controls the browser drives (0: none); set after Initialise.
    int SELECTCONTROL = 0, INSERTCONTROL = 0, CHANGECONTROL = 0, DELETECONTROL = 0, VIEWCONTROL = 0, PRINTCONTROL = 0;
    std::uint8_t HIDESELECT = 0;
    std::uint8_t SELECTING = 0;
    std::uint8_t EDITVIAPOPUP = 1;
    int ASKPROCEDURE = 0;
    PopupMenu POPUP;

private:
    struct Order {
        ThumbStep* step = nullptr;
        int key = -1;
        ListSeeker* seeker = nullptr;
    };
    struct Column {
        const rt::FieldDesc* field = nullptr;
        std::optional<rt::Picture> picture;
    };
    struct TemporaryOrder {
        std::string text;
        rt::KeyDesc key;       // its fields, as a seeker reads them
        files::RecordView* view = nullptr;
        ListSeeker* seeker = nullptr;
        ListSeeker ownOrder;   // the seeker as its own order had it
        bool linked = false;
    };
    void addColumn(const rt::FieldDesc& field);
    wnd::Window& window() const { return *window_; }
    bool usable(int button) const;
    int press(int button, int request);
    int takeKey(wnd::KeyCode key);
    // Sends the page, the highlight and the thumb; rebuilds the queue.
    void show();
    std::string formatted(const Column& c, const std::string& record) const;
    // After a move: the new row is current.
    void moved();
    // The highlighted record is highlighted again by the next reload.
    // A seeker lent to the temporary order gets its own order's settings back.
    void restoreSeeker();
    void keepHighlight();
    // A pager over order o's view.
    void usePager(const Order& o);
    const ThumbStep* step() const;
    const ListSeeker* seeker() const;

    WindowController* controller_ = nullptr;
    wnd::Window* window_ = nullptr;  // outlives the controller's use of the browser
    ViewReader* reader_ = nullptr;
    ListQueue* queue_ = nullptr;
    TableGroup* group_ = nullptr;
    int list_ = 0;
    int visible_ = 0;
    std::vector<Order> orders_;
    std::vector<Column> columns_;
    std::string designed_;          // the list's format as its layout gives it
    std::size_t shownColumns_ = 0;  // columns the designed format shows
    std::unique_ptr<ListPager> pager_;
    int order_ = 0;
    files::Position locate_;  // where the next reload puts the highlight
    wnd::KeyCode key_ = 0;
    std::optional<TemporaryOrder> temporary_;
};

}  // namespace cls
