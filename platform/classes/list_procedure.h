#pragma once
// The list-window pattern: a procedure controller that sets up a ListBrowser over one table with
// its orders, columns, seekers, thumb steps, popup menu, column auto-sizer and list-format
// manager, so that a list procedure only names its controls, orders and columns:
//
//     class ThingsList final : public cls::ListProcedureController {
//     public:
//         ThingsList(cls::ProcedureBody& body) : ListProcedureController(body, group, file, {.list = "?List", ...}) {
//             AddOrder(kByNumber, &numberStep);          // orders in the list's order; the last is the default
//             AddOrder(kByName, &nameStep);
//             MapTab("?TAB:2", 1);                       // any other tab: the default order
//             AddColumn(field1); AddColumn(field2);      // in queue order
//             UseListFormats(&formatsFile, "APP", 1, 2, "Settings");
//         }
//     protected:
//         bool RunUpdater(int) override { UpdateThing(); return true; }
//     };
//
// Each order keeps a layout of its own: order k of N under format k + 2 named "SortOrder<k+1>",
// the last (default) order under format 2 named "SortOrder1".
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/classes/column_auto_sizer.h"
#include "platform/classes/list_browser.h"
#include "platform/classes/window_procedure.h"

namespace cls {

class ColumnHeaderSorter;

// The browser a list window runs: orders picked by tab, one layout per order, the list-format
// items in the popup of the right mouse button. Derive from it to total rows before a reload.
// With a column-header sorter, another order forgets the header sort, and the popup's format
// items take the header mark off the layout while they work on it.
class PatternListBrowser : public ListBrowser {
public:
    void UseFormats(ListFormatManager* formats) { formats_ = formats; }
    void UseSorter(ColumnHeaderSorter* sorter) { sorter_ = sorter; }
    void MapTab(int sheet, int tab, int order);

    int PickOrder() override;
    int SelectOrder(int n) override;
    int OnNewSelection() override;

    // Format numbers and names of order n of N.
    static int FormatNumber(int n, int orders) { return n > orders - 1 ? 2 : n + 2; }
    static std::string FormatName(int n, int orders) { return "SortOrder" + std::to_string(n > orders - 1 ? 1 : n + 1); }

private:
    ListFormatManager* formats_ = nullptr;
    ColumnHeaderSorter* sorter_ = nullptr;
    int sheet_ = 0;
    std::vector<std::pair<int, int>> tabs_;  // tab control -> order
    int lastChosen_ = 0;
};

// Use names of the list window's controls ("" for a control it does not have).
struct ListControls {
    std::string list = "?List";
    std::string select, insert, change, remove, view, close, help;
    std::string print;  // prints through update procedure 1 with the print request
};

class ListProcedureController : public ProcedureController {
public:
    ListProcedureController(ProcedureBody& body, TableGroup& group, files::TableFile& file, ListControls controls);

    // --- before Execute ---
    // A sort order in key `key` (-1: record order) with its thumb step (may be null); its seeker
    // seeks the key's first field, ignoring case.
    void AddOrder(int key, ThumbStep* step);
    void AddColumn(const rt::FieldDesc& field) { columns_.push_back(&field); }
    // The tab (use name) that shows order n; the sheet is the tab's own. Other tabs: the last order.
    void MapTab(std::string_view tab, int order);
    void UseListFormats(files::TableFile* formats, std::string appName, int controlId, int fieldCount,
                        std::string settingsName);
    // A browser of the procedure's own (a subclass); by default the controller's.
    void UseBrowser(PatternListBrowser& browser) { browser_ = &browser; }

    PatternListBrowser& browser() { return *browser_; }
    ViewReader& reader() { return reader_; }
    ListQueue& queue() { return queue_; }
    ListFormatManager& formats() { return formats_; }

protected:
    int BeforeTables() override;
    int AfterTables() override;
    void AfterOpenScreen() override;
    void ArmKeys() override;
    int EarlyOffer() override;
    void TearDownKind() override;

private:
    int use(const std::string& name) const { return name.empty() ? 0 : window().Find(name); }

    TableGroup& group_;
    ListControls controls_;
    ViewReader reader_;
    ListQueue queue_;
    PatternListBrowser ownBrowser_;
    PatternListBrowser* browser_ = &ownBrowser_;
    struct SortOrder {
        int key;
        ThumbStep* step;
    };
    std::vector<SortOrder> orders_;
    std::vector<std::unique_ptr<ListSeeker>> seekers_;
    std::vector<const rt::FieldDesc*> columns_;
    std::vector<std::pair<std::string, int>> tabs_;
    ListFormatManager formats_;
    files::TableFile* formatsFile_ = nullptr;
    std::string appName_, settingsName_;
    int formatControl_ = 1, formatFields_ = 0;
    ColumnAutoSizer sizer_;
    WindowResizer resizer_;
};

}  // namespace cls
