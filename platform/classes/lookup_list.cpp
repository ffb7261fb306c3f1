#include "platform/classes/lookup_list.h"

#include <algorithm>
#include <utility>

#include "platform/classes/window_controller.h"
#include "platform/runtime/codepage.h"
#include "platform/runtime/field_access.h"
#include "platform/window/keys.h"

namespace cls {

namespace {

std::string trimRight(std::string_view s) {
    std::size_t n = s.size();
    while (n > 0 && (s[n - 1] == ' ' || s[n - 1] == '\0')) --n;
    return std::string(s.substr(0, n));
}

std::string folded(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(rt::foldCase(static_cast<unsigned char>(c)));
    return out;
}

// Whether a key types a character: Backspace and the printable keys do; the caret keys, Delete,
// Insert, the function keys and the like do not.
bool CarriesCharacter(int key) {
    const int plain = key & 0xFF;
    if (plain == wnd::kKeyBackspace || plain == ' ') return true;
    // Page Up to Help (0x2F): the navigation and editing keys; then F1 to F24.
    if ((plain >= wnd::kKeyPageUp && plain <= 0x2F) || (plain >= wnd::kKeyF1 && plain < wnd::kKeyF1 + 24)) return false;
    return plain > ' ';
}

}  // namespace

// --- FieldRef ------------------------------------------------------------------------------------

std::string FieldRef::text() const { return *this ? rt::fieldText(*field, record) : std::string(); }
void FieldRef::set(std::string_view v) const {
    if (*this) rt::setFieldText(*field, record, v);
}
void FieldRef::clear() const {
    if (*this) rt::clearField(*field, record);
}
bool FieldRef::blank() const { return !*this || rt::fieldIsEmpty(*field, record); }

// --- LookupList ----------------------------------------------------------------------------------

void LookupList::Initialise(int listControl, files::TableFile& table, WindowController& controller) {
    LISTCONTROL = listControl;
    LISTFIELD = listControl;
    table_ = &table;
    controller_ = &controller;
    DEFAULTFILL = true;
    INITSYNCPAIR = 1;
}

void LookupList::AddColumn(const rt::FieldDesc& field) { columns_.push_back(&field); }

void LookupList::AddCopyField(const rt::FieldDesc& from, const rt::FieldDesc& to, void* targetRecord) {
    copies_.push_back({&from, FieldRef{&to, targetRecord}});
}

std::string LookupList::copiedText(const CopyPair& pair) const {
    // Stored into a scratch copy of the target, so the value is cut exactly as a copy would cut it.
    std::vector<unsigned char> scratch(static_cast<std::size_t>(pair.to.field->offset) + pair.to.field->size);
    rt::setFieldText(*pair.to.field, scratch.data(), rt::fieldText(*pair.from, table_->buffer()));
    return rt::fieldText(*pair.to.field, scratch.data());
}

LookupList::Row LookupList::StoreChoice() {
    Row r;
    for (const rt::FieldDesc* f : columns_) r.columns.push_back(rt::fieldText(*f, table_->buffer()));
    r.position = table_->position();
    return r;
}

bool LookupList::AppendChoice(Row row, std::size_t* at) {
    queue_.push_back(std::move(row));
    *at = queue_.size() - 1;
    return true;
}

bool LookupList::FindChoice(const Row&) {
    if (INITSYNCPAIR < 1 || static_cast<std::size_t>(INITSYNCPAIR) > copies_.size()) return false;
    const CopyPair& pair = copies_[static_cast<std::size_t>(INITSYNCPAIR - 1)];
    return trimRight(copiedText(pair)) == trimRight(pair.to.text());
}

int LookupList::ReloadChoices(bool force) {
    if (!force && LOADED) return choice_;
    LOADED = true;
    wnd::Window& w = controller_->window();
    w.SetBusy(true);
    queue_.clear();
    int found = 0;  // 1-based
    if (table_->setKeyOrder(key_) == 0) {
        while (table_->next() == 0) {
            std::size_t at = 0;
            Row row = StoreChoice();
            if (!AppendChoice(std::move(row), &at)) continue;
            if (!found) {
                if (FindChoice(queue_[at])) found = static_cast<int>(at) + 1;
            } else if (static_cast<int>(at) < found) {
                ++found;  // inserted at or before the match
            }
        }
    }
    // The first row stands in only for a value not given yet: a record that holds a value the
    // table no longer has keeps it.
    if (!found && DEFAULTFILL && !queue_.empty() && (copies_.empty() || copies_.front().to.blank())) found = 1;
    choice_ = found;
    showRows();
    if (choice_) {
        select(choice_);
        ApplyChoice();
    } else if (w.Has(LISTCONTROL)) {
        w.SetChoice(LISTCONTROL, 0);
    }
    w.SetBusy(false);
    return choice_;
}

bool LookupList::readRow(int row) {
    if (row < 1 || static_cast<std::size_t>(row) > queue_.size()) return false;
    return table_->getAt(queue_[static_cast<std::size_t>(row - 1)].position) == 0;
}

void LookupList::copyTargets() {
    for (const CopyPair& p : copies_) p.to.set(rt::fieldText(*p.from, table_->buffer()));
    ALLOWRESET = true;
}

void LookupList::clearTargets() {
    for (const CopyPair& p : copies_) p.to.clear();
}

void LookupList::showRows() {
    wnd::Window& w = controller_->window();
    if (!w.Has(LISTCONTROL)) return;
    std::vector<std::vector<std::string>> shown;
    shown.reserve(queue_.size());
    for (const Row& r : queue_) shown.push_back(r.columns);
    w.SetRows(LISTCONTROL, std::move(shown));
}

void LookupList::select(int row) {
    choice_ = row;
    if (controller_->window().Has(LISTCONTROL)) controller_->window().SetChoice(LISTCONTROL, row);
}

void LookupList::ApplyChoice() {
    if (choice_ && readRow(choice_)) copyTargets();
    else clearTargets();
    controller_->Refresh(false);
}

int LookupList::HandleEvent() { return kLevelGoOn; }

int LookupList::TakeEvent(WindowController& controller) {
    wnd::Window& w = controller.window();
    const wnd::Event e = w.event();
    if (e == wnd::Event::OpenWindow && w.control() == 0) {
        if (!WINDOWCOMPOPEN) {
            WINDOWCOMPOPEN = true;
            ReloadChoices(true);
        }
        return kLevelGoOn;
    }
    if (w.control() != LISTCONTROL || w.inAcceptAll()) return kLevelGoOn;
    // A drop list reports a chosen row as accepted.
    if (e == wnd::Event::Accepted || e == wnd::Event::NewSelection) {
        select(w.control(LISTCONTROL).choice);
        ApplyChoice();
        return HandleEvent();
    }
    return kLevelGoOn;
}

void LookupList::Reset(bool force) {
    if (WINDOWCOMPOPEN) ReloadChoices(force);
}

bool LookupList::ResetRequired() { return std::exchange(ALLOWRESET, false); }

void LookupList::SyncBuffer() {}

void LookupList::Release() {
    columns_.clear();
    copies_.clear();
    queue_.clear();
    choice_ = 0;
}

// --- LookupCombo ---------------------------------------------------------------------------------

void LookupCombo::Initialise(FieldRef useField, int comboControl, files::TableFile& table,
                             WindowController& controller, bool autoAdd, bool synchronise, bool caseSensitive) {
    LookupList::Initialise(comboControl, table, controller);
    USEFIELD = useField;
    AUTOADDFLAG = autoAdd;
    CONFIRMAUTOADDFLAG = true;
    SYNCRONIZEVIEWFLAG = synchronise;
    CASESENSITIVEFLAG = caseSensitive;
    ENTRYCOMPLETION = true;
    REMOVEDUPLICATESFLAG = false;
}

int LookupCombo::compareFirst(std::string_view a, std::string_view b) const {
    if (!CASESENSITIVEFLAG) return rt::compareNoCase(a, b);
    const std::string x = trimRight(a), y = trimRight(b);
    return x < y ? -1 : x == y ? 0 : 1;
}

bool LookupCombo::AppendChoice(Row row, std::size_t* at) {
    const std::string first = row.columns.empty() ? std::string() : row.columns.front();
    // After the rows that sort equal, so equal names keep the table's order.
    auto it = std::upper_bound(queue_.begin(), queue_.end(), first, [this](const std::string& v, const Row& r) {
        return compareFirst(v, r.columns.empty() ? std::string() : r.columns.front()) < 0;
    });
    if (REMOVEDUPLICATESFLAG && it != queue_.begin() && std::prev(it)->columns == row.columns) return false;
    *at = static_cast<std::size_t>(it - queue_.begin());
    queue_.insert(it, std::move(row));
    return true;
}

bool LookupCombo::FindChoice(const Row& row) {
    if (INITSYNCPAIR) return LookupList::FindChoice(row);
    return !row.columns.empty() && trimRight(USEFIELD.text()) == trimRight(row.columns.front());
}

void LookupCombo::showEntry() {
    entry_ = USEFIELD.text();
    selection_ = {static_cast<int>(entry_.size()), static_cast<int>(entry_.size())};
    if (controller_->window().Has(LISTCONTROL)) controller_->window().Display(LISTCONTROL);
}

int LookupCombo::ReloadChoices(bool force) {
    if (!force && LOADED) return choice_;
    const int found = LookupList::ReloadChoices(force);
    if (found) {
        USEFIELD.set(queue_[static_cast<std::size_t>(found - 1)].columns.front());
    } else {
        for (const rt::FieldDesc* f : columns_) rt::clearField(*f, table_->buffer());
        // The entry shows what the record holds, even when the table no longer has it.
        if (!copies_.empty()) USEFIELD.set(copies_.front().to.text());
        else USEFIELD.clear();
    }
    showEntry();
    return found;
}

void LookupCombo::ApplyChoice() {
    if (choice_ && readRow(choice_)) {
        copyTargets();
        if (!columns_.empty()) USEFIELD.set(rt::fieldText(*columns_.front(), table_->buffer()));
    } else {
        clearTargets();
    }
    if (controller_->window().isOpen()) controller_->window().Display();
}

int LookupCombo::findPrefix(std::string_view prefix) const {
    const std::string p = trimRight(prefix);
    auto it = std::lower_bound(queue_.begin(), queue_.end(), p, [this](const Row& r, const std::string& v) {
        return compareFirst(r.columns.empty() ? std::string() : r.columns.front(), v) < 0;
    });
    if (it == queue_.end() || it->columns.empty()) return 0;
    const std::string& first = it->columns.front();
    const bool starts = CASESENSITIVEFLAG ? first.starts_with(p) : folded(first).starts_with(folded(p));
    return compareFirst(first, p) == 0 || starts ? static_cast<int>(it - queue_.begin()) + 1 : 0;
}

void LookupCombo::CompleteEntry(std::string_view text, int caret, int key) {
    const int plain = key & 0xFF;
    caret = std::clamp(caret, 0, static_cast<int>(text.size()));
    const bool hadSelection = selection_.first < selection_.second;
    entry_ = std::string(text);
    selection_ = {caret, caret};
    if (key == 0 || (key & (wnd::kCtrl | wnd::kAlt)) || !CarriesCharacter(key)) {
        ECON = false;
        return;
    }
    if (!ECON) {
        ECON = true;
        if (!hadSelection && !text.empty()) return;
    }
    const std::string typed(text.substr(0, static_cast<std::size_t>(caret)));
    if (static_cast<std::size_t>(caret) < text.size()) {
        // Typed into the middle: a completion would replace what stands after the caret.
        USEFIELD.set(text);
        LASTENTRY = typed.substr(0, 255);
        return;
    }
    // Backspace that took away only the completed rest goes one character further back; any other
    // edit completes what the entry now holds (a Backspace over a wider selection may have emptied it).
    std::string prefix = typed;
    if (plain == wnd::kKeyBackspace && hadSelection && !LASTENTRY.empty() && compareFirst(typed, LASTENTRY) == 0)
        prefix = LASTENTRY.substr(0, LASTENTRY.size() - 1);
    if (prefix == LASTENTRY) return;
    if (prefix.empty()) {
        LASTENTRY = prefix;
        return;
    }
    if (const int row = findPrefix(prefix)) {
        const std::string& name = queue_[static_cast<std::size_t>(row - 1)].columns.front();
        USEFIELD.set(name);
        entry_ = name;
        selection_ = {static_cast<int>(prefix.size()), static_cast<int>(name.size())};
        select(row);
        if (SYNCRONIZEVIEWFLAG && readRow(row)) copyTargets();
    } else {
        USEFIELD.set(text);
        ECON = false;
    }
    if (controller_->window().isOpen()) controller_->window().Display();
    LASTENTRY = prefix.substr(0, 255);
}

bool LookupCombo::OfferNewEntry(std::string_view typed) {
    if (!ASKPROCEDURE) return false;
    rt::clearRecord(table_->desc(), table_->buffer());
    if (!columns_.empty()) rt::setFieldText(*columns_.front(), table_->buffer(), typed);
    return controller_->CallUpdater(ASKPROCEDURE, kRequestInsert) == kResponseCompleted;
}

int LookupCombo::HandleEvent() {
    wnd::Window& w = controller_->window();
    const std::string typed = trimRight(USEFIELD.text());
    // A row chosen from the drop list is that row, even among names equal but for case.
    const int chosen = w.Has(LISTCONTROL) ? w.control(LISTCONTROL).choice : 0;
    int row = 0;
    if (chosen >= 1 && static_cast<std::size_t>(chosen) <= queue_.size() &&
        trimRight(queue_[static_cast<std::size_t>(chosen - 1)].columns.front()) == typed)
        row = chosen;
    else if (!typed.empty())
        row = findPrefix(typed);
    if (typed.empty()) {
        // A blank entry clears the targets, whatever the table holds.
        select(0);
        ApplyChoice();
        showEntry();
        return kLevelGoOn;
    }
    if (row) {
        select(row);
        ApplyChoice();
        showEntry();
        return kLevelGoOn;
    }
    if (!ASKPROCEDURE) {
        // No insert form: the value is kept as typed.
        if (!copies_.empty()) copies_.front().to.set(typed);
        ALLOWRESET = true;
        showEntry();
        return kLevelGoOn;
    }
    if (OfferNewEntry(typed)) {
        copyTargets();
        ReloadChoices(true);
        if (const int again = findPrefix(typed)) {
            select(again);
            ApplyChoice();
        }
        showEntry();
        return kLevelGoOn;
    }
    select(0);
    clearTargets();
    for (const rt::FieldDesc* f : columns_) rt::clearField(*f, table_->buffer());
    USEFIELD.clear();
    if (w.isOpen()) w.Display();
    showEntry();
    w.Select(LISTCONTROL);
    return kLevelGoOn;
}

int LookupCombo::TakeEvent(WindowController& controller) {
    wnd::Window& w = controller.window();
    const wnd::Event e = w.event();
    if (e == wnd::Event::OpenWindow && w.control() == 0) {
        ENTRYFIELD = BUTTONFIELD = LISTFIELD = LISTCONTROL;
        // Completion needs every keystroke in the entry, not only the entry once it is left.
        if (w.Has(LISTCONTROL)) w.SetImmediate(LISTCONTROL, ENTRYCOMPLETION);
        return LookupList::TakeEvent(controller);
    }
    if (w.control() != LISTCONTROL) return kLevelGoOn;
    switch (e) {
        case wnd::Event::Selected:
            KeyStateHook();
            entry_ = USEFIELD.text();
            selection_ = {0, static_cast<int>(entry_.size())};
            return kLevelGoOn;
        case wnd::Event::Accepted:
            // Nothing changes while the window accepts all its fields.
            if (w.inAcceptAll()) return kLevelGoOn;
            return HandleEvent();
        case wnd::Event::NewSelection:
            select(w.control(LISTCONTROL).choice);
            ApplyChoice();
            return kLevelGoOn;
        case wnd::Event::Typed: {
            if (!ENTRYCOMPLETION) return kLevelGoOn;
            const wnd::KeyCode key = w.keyCode();
            CompleteEntry(w.control(LISTCONTROL).text, w.caret(), key);
            // A caret move changes nothing the entry shows (and keeps the user's selection).
            if (!wnd::MovesCaret(key))
                w.ShowEntry(LISTCONTROL, entry_, selection_.first, selection_.second);
            return kLevelGoOn;
        }
        default: return kLevelGoOn;
    }
}

}  // namespace cls
