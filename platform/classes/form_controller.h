#pragma once
// The controller every form derives from: one record of one table, handed in the primary table's
// buffer of the calling thread, edited under a request (insert, change, delete, view).
//
//     class UpdateThingsController : public cls::FormController {
//     public:
//         UpdateThingsController(cls::ProcedureBody& b) : FormController(b, *ThingsGroupRef) {
//             UseTable(ThingsGroupRef);
//             SetHistoryRecord(ThingsHistory);          // a thread_local cls::RecordHistory
//             AddRecallField(4, 1);                     // control 4 recalls field 1
//         }
//     };
//
// A delete asks, deletes and answers without showing the window. Insert and change show the window
// titled by the request; OK accepts every control again and then completes: the record is written
// over the record the form was opened on, found by its position (never by the file's current
// record, which any read on the thread moves). Closing without saving asks before edits are lost
// and removes the record an auto-numbered insert added.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/classes/toolbar_dispatcher.h"
#include "platform/classes/window_procedure.h"
#include "platform/classes/window_resizer.h"
#include "platform/files/table_file.h"

namespace cls {

inline constexpr wnd::KeyCode kHistoryKeyCtrlH = 0x248;

// The user's values as they stood at the last OK of a form on a thread, for Ctrl+H. A form keeps
// one per thread (thread_local); it starts blank and lasts from one call of the form to the next.
struct RecordHistory {
    std::string bytes;  // empty until first used: then a cleared record
    std::string memo;
};

// The toolbar handler of a form. No window of the program has a toolbar, so it never receives a
// button; it is attached so that one could be given a toolbar without changing its procedure.
class FormToolbarHandler final : public ToolbarTarget {
public:
    int TakeToolbar(int /*control*/) override { return 0; }
    int HELPBUTTON = 0;
};

class FormController : public ProcedureController {
public:
    FormController(ProcedureBody& body, TableGroup& primary);

    // --- set-up, before Execute ---
    void SetHistoryRecord(RecordHistory& history) { history_ = &history; }
    // `field` is the record's field number; one past the last field is the table's memo.
    void AddRecallField(int control, int field) { recall_.emplace_back(control, field); }
    // Use names of the form's buttons (defaults "?OK", "?CANCEL", "?HELP").
    void SetButtons(std::string ok, std::string cancel, std::string help);

    // --- the form's operations ---
    int EventLoop() override;
    int Execute() override;
    int PrepareRecord() override;
    int RecallPreviousValue(int control) override;
    // Keeps the form's record around the call: a nested form may read the primary table.
    int CallUpdater(int number, int request) override;
    void ArmKeys() override;
    int OnAccepted() override;
    int OnCompleted() override;
    int OnCloseRequest() override;
    int OnWindowEvent() override;
    int CompleteInsert() override;
    int CompleteChange() override;

    // Runs `call` (a report printed from the form, anything that may read the primary table on this
    // thread) and gives the form back its record as it was, shown again.
    template <typename F>
    void KeepRecordAround(F&& call) {
        TableAccessor& a = accessor();
        const int mine = a.SnapshotBuffer();
        std::forward<F>(call)();
        a.RevertBuffer(mine);
        a.FreeSnapshot(mine);
        if (window().isOpen()) window().Display();
    }

    // Focus on FIRSTFIELD, or the first control after it that takes the focus.
    void SelectFirstField();
    // The title the request gives the form ("" for a delete or no request).
    static std::string_view ActionText(int request);

    TableAccessor& accessor() const { return *primary_.ME; }

    // The id of the primary record's snapshot taken when the form started (0 in view mode).
    int SAVED = 0;

protected:
    // Subclasses that override these call them first.
    int BeforeTables() override;
    int AfterTables() override;
    void AfterOpenScreen() override;
    void AttachFormToolbar() override;
    void TearDownKind() override;

private:
    void saveHistory();
    void rememberRecord();
    void takeSaved();

    TableGroup& primary_;
    RecordHistory* history_ = nullptr;
    std::vector<std::pair<int, int>> recall_;
    std::string okUse_ = "?OK", cancelUse_ = "?CANCEL", helpUse_ = "?HELP";
    int ok_ = 0, cancel_ = 0, help_ = 0;
    FormToolbarHandler toolbarHandler_;
    WindowResizer resizer_;     // the form's controls follow its size (a sheet grows with it)
    files::Position pos_;       // the record the form was opened on (change)
    std::int64_t version_ = 0;  // its version as last read or written
    bool gaveUp_ = false;       // the user gave up a failed write: the form closes without asking again
};

}  // namespace cls
