#pragma once
// Lookup lists: a form field that takes its value from a reference table.
//
// LookupList is a drop list filled from the whole reference table; the chosen row's record is
// copied into target fields (copy pairs). LookupCombo adds an entry the user types into, with
// completion from the sorted rows and an insert form for names the table does not hold yet.
//
//     cls::LookupCombo doctor;
//     doctor.Initialise(DOC.DOCTORSNAME field, window().Find("?DOC:DOCTORSNAME"), DoctorsFile(), *this);
//     doctor.ASKPROCEDURE = 2;                                       // CallUpdater(2, insert)
//     doctor.AddColumn(*DoctorsTable().fieldByName("DOC:DOCTORSNAME"));
//     doctor.AddCopyField(*DoctorsTable().fieldByName("DOC:DOCTORSNAME"),
//                         *PrescriptsTable().fieldByName("PRE:DRNAME"), &PRE);
//     doctor.DEFAULTFILL = false;
//     AddComponent(&doctor);
//
// Values are compared at the width of the field that keeps them: a 50-character name copied into
// a 30-character field matches its first 30 characters. A target that holds a value no longer in
// the table keeps it, and the combo's entry shows it.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/classes/window_component.h"
#include "platform/files/table_file.h"
#include "platform/runtime/record_layout.h"

namespace cls {

class WindowController;

// A field of some record buffer.
struct FieldRef {
    const rt::FieldDesc* field = nullptr;
    void* record = nullptr;
    std::string text() const;          // as stored, trailing blanks removed
    void set(std::string_view v) const;  // cut to the field's width
    void clear() const;
    bool blank() const;
    explicit operator bool() const { return field && record; }
};

class LookupList : public WindowComponent {
public:
    struct Row {
        std::vector<std::string> columns;
        files::Position position;
    };

    LookupList() = default;
    ~LookupList() override = default;
    LookupList(const LookupList&) = delete;
    LookupList& operator=(const LookupList&) = delete;

    // The list control, the reference table (its buffer is the record the pairs read) and the
    // controller. DEFAULTFILL on, INITSYNCPAIR 1.
    void Initialise(int listControl, files::TableFile& table, WindowController& controller);
    // Key order the table is read in; -1 (the default) reads it in record order.
    void AddOrder(int key = -1) { key_ = key; }
    // Display pair: a field of the reference record shown as the next column.
    void AddColumn(const rt::FieldDesc& field);
    // Copy pair: reference field -> target field of `targetRecord`.
    void AddCopyField(const rt::FieldDesc& from, const rt::FieldDesc& to, void* targetRecord);

    // --- virtual operations ---
    virtual bool AppendChoice(Row row, std::size_t* at);  // false: not added
    virtual bool FindChoice(const Row& row);              // the row (just read) is the current value
    virtual int ReloadChoices(bool force);                 // the choice (1-based), 0 none
    virtual Row StoreChoice();                             // the record in the buffer as a row
    virtual int HandleEvent();                             // the list's accepted choice
    virtual void ApplyChoice();                            // the selected row into the targets

    // --- window part ---
    int TakeEvent(WindowController& controller) override;
    void Reset(bool force) override;
    bool ResetRequired() override;
    void SyncBuffer() override;
    void Release() override;

    const std::vector<Row>& rows() const { return queue_; }
    int choice() const { return choice_; }

    // --- fields ---
    int LISTCONTROL = 0;
    int LISTFIELD = 0;
    bool DEFAULTFILL = true;
    int INITSYNCPAIR = 1;
    bool LOADED = false;
    bool WINDOWCOMPOPEN = false;
    bool ALLOWRESET = false;
    bool USEMRP = true;

protected:
    struct CopyPair {
        const rt::FieldDesc* from;
        FieldRef to;
    };
    // The reference record's field as it compares with a target: cut to the target's width.
    std::string copiedText(const CopyPair& pair) const;
    // Reads the row's record again; false when it is gone.
    bool readRow(int row);
    // Copies the record in the buffer into every target; ALLOWRESET on.
    void copyTargets();
    void clearTargets();
    void showRows();
    void select(int row);

    files::TableFile* table_ = nullptr;
    WindowController* controller_ = nullptr;
    int key_ = -1;
    std::vector<const rt::FieldDesc*> columns_;
    std::vector<CopyPair> copies_;
    std::vector<Row> queue_;
    int choice_ = 0;
};

class LookupCombo : public LookupList {
public:
    // useField: what the combo's entry is bound to (a reference field, or the target itself).
    void Initialise(FieldRef useField, int comboControl, files::TableFile& table, WindowController& controller,
                    bool autoAdd = true, bool synchronise = true, bool caseSensitive = false);

    bool AppendChoice(Row row, std::size_t* at) override;
    bool FindChoice(const Row& row) override;
    int ReloadChoices(bool force) override;
    int HandleEvent() override;  // the entry accepted
    void ApplyChoice() override;  // synchronise with the combo's selected row
    int TakeEvent(WindowController& controller) override;

    // Completion for one keystroke in the entry: `text` is the entry after the key, `caret` where
    // the caret stands, `key` the key (Backspace, a character, an arrow; with its Ctrl/Alt bits).
    virtual void CompleteEntry(std::string_view text, int caret, int key);
    // Calls the insert form for `typed`; true when it added a record.
    virtual bool OfferNewEntry(std::string_view typed);
    // The combo got the focus: completion armed.
    void KeyStateHook() { ECON = true; }

    // --- fields ---
    FieldRef USEFIELD;
    int ENTRYFIELD = 0;
    int BUTTONFIELD = 0;
    int ASKPROCEDURE = 0;
    bool ENTRYCOMPLETION = true;
    bool REMOVEDUPLICATESFLAG = false;
    bool AUTOADDFLAG = false;
    bool CONFIRMAUTOADDFLAG = true;
    bool CASESENSITIVEFLAG = false;
    bool SYNCRONIZEVIEWFLAG = true;
    std::string LASTENTRY;
    bool ECON = false;

private:
    // The row a prefix selects (1-based), 0 none.
    int findPrefix(std::string_view prefix) const;
    int compareFirst(std::string_view a, std::string_view b) const;
    void showEntry();

    std::string entry_;
    std::pair<int, int> selection_{0, 0};
};

}  // namespace cls
