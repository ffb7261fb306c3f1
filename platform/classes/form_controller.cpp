#include "platform/classes/form_controller.h"

#include <algorithm>
#include <cstring>

#include "platform/runtime/field_access.h"

namespace cls {

FormController::FormController(ProcedureBody& body, TableGroup& primary)
    : ProcedureController(body), primary_(primary) {
    SetFirstControl(3);
    SetHelpButton(helpUse_);
    UseResizer(&resizer_);
}

void FormController::SetButtons(std::string ok, std::string cancel, std::string help) {
    okUse_ = std::move(ok);
    cancelUse_ = std::move(cancel);
    helpUse_ = std::move(help);
    SetHelpButton(helpUse_);
}

std::string_view FormController::ActionText(int request) {
    switch (request) {
        case kRequestInsert: return "Record Will Be Added";
        case kRequestChange: return "Record Will Be Changed";
        case kRequestView: return "View Record";
        default: return "";
    }
}

// ---------------------------------------------------------------- set-up

int FormController::BeforeTables() {
    HISTORYKEY = kHistoryKeyCtrlH;
    ok_ = window().Find(okUse_);
    cancel_ = window().Find(cancelUse_);
    help_ = window().Find(helpUse_);
    if (cancel_) AddButtonAction(cancel_, kResponseCancelled);
    return kLevelGoOn;
}

int FormController::AfterTables() {
    PRIMARY = &primary_;
    if (REQUEST == kRequestView && !BATCHPROCESSING) {
        INSERTACTION = 1;
        DELETEACTION = 1;
        CHANGEACTION = 1;
        CANCELACTION = 0;
        OKCONTROL = 0;
        return kLevelGoOn;
    }
    CHANGEACTION = 2;
    CANCELACTION = 2;
    OKCONTROL = ok_;
    return PrepareRecord() != kLevelGoOn ? kLevelHandled : kLevelGoOn;
}

void FormController::AfterOpenScreen() {
    if (REQUEST != kRequestView) return;
    for (const wnd::ControlState& c : window().state().controls)
        if (c.kind == wnd::ControlKind::Entry) window().SetReadOnly(c.number, true);
}

void FormController::AttachFormToolbar() {
    toolbarHandler_.HELPBUTTON = help_;
    if (TOOLBAR) TOOLBAR->AddTarget(&toolbarHandler_);
}

void FormController::TearDownKind() {
    if (TOOLBAR) TOOLBAR->Release();
    if (SAVED) accessor().FreeSnapshot(SAVED);
    SAVED = 0;
}

void FormController::ArmKeys() {
    // The parts' keys; the history key only on the controls registered for recall.
    const std::int32_t key = HISTORYKEY;
    HISTORYKEY = 0;
    WindowController::ArmKeys();
    HISTORYKEY = key;
    if (!HISTORYKEY) return;
    auto arm = [this](int control) {
        if (window().alert(control, kHistoryKeyPosition) != HISTORYKEY)
            window().SetAlert(control, kHistoryKeyPosition, HISTORYKEY);
    };
    for (const auto& [control, field] : recall_) {
        if (!window().Has(control)) continue;
        arm(control);
        // An option is recalled from its radios, which hold the focus for it.
        if (window().control(control).kind == wnd::ControlKind::Option)
            for (const wnd::ControlState& c : window().state().controls)
                if (c.kind == wnd::ControlKind::Radio && c.parent == control) arm(c.number);
    }
}

// ---------------------------------------------------------------- the record

void FormController::rememberRecord() {
    files::TableFile* file = accessor().FILE;
    pos_ = file ? file->position() : files::Position{};
    version_ = file ? file->version() : 0;
}

void FormController::takeSaved() {
    if (SAVED) accessor().FreeSnapshot(SAVED);
    SAVED = accessor().SnapshotBuffer();
}

int FormController::PrepareRecord() {
    TableAccessor& a = accessor();
    if (a.UseTable(kUseAccess) != 0) return kLevelStop;
    if (REQUEST == kRequestInsert && INSERTACTION) {
        RESPONSE = kResponseCompleted;
        PrimeNewRecord();
        if (RESPONSE == kResponseCancelled) return kLevelStop;
        RESPONSE = kResponseCancelled;  // an insert runs "cancelled" until it completes
    } else if (REQUEST == kRequestDelete && DELETEACTION == 2) {
        // Asks (message 11), removes in a transaction, offers a retry on failure (message 36).
        RESPONSE = primary_.RemoveRecord(true) == 0 ? kResponseCompleted : kResponseCancelled;
        return kLevelStop;
    }
    rememberRecord();
    takeSaved();
    return kLevelGoOn;
}

void FormController::saveHistory() {
    if (!history_) return;
    const BufferRef& b = accessor().BUFFER;
    history_->bytes.assign(static_cast<const char*>(b.address), b.size);
    history_->memo = b.memo ? *b.memo : std::string();
}

int FormController::RecallPreviousValue(int control) {
    if (!history_) return kLevelGoOn;
    // A radio recalls its option's value.
    if (window().Has(control) && window().control(control).kind == wnd::ControlKind::Radio &&
        std::none_of(recall_.begin(), recall_.end(), [control](const auto& r) { return r.first == control; }))
        control = window().control(control).parent;
    const BufferRef& b = accessor().BUFFER;
    for (const auto& [c, field] : recall_) {
        if (c != control) continue;
        if (history_->bytes.size() != b.size) {  // nothing saved yet on this thread: a blank record
            history_->bytes.assign(b.size, '\0');
            rt::clearRecord(*b.desc, history_->bytes.data());
            history_->memo.clear();
        }
        if (const rt::FieldDesc* f = b.desc->field(field)) {
            std::memcpy(static_cast<char*>(b.address) + f->offset, history_->bytes.data() + f->offset, f->size);
        } else if (b.memo && field == static_cast<int>(b.desc->fields.size()) + 1) {
            *b.memo = history_->memo;
        } else {
            continue;
        }
        window().Display(control);
        return kLevelHandled;
    }
    return kLevelGoOn;
}

// ---------------------------------------------------------------- the loop and its events

int FormController::EventLoop() {
    window().SetCaption(ActionText(REQUEST));
    return ProcedureController::EventLoop();
}

int FormController::Execute() {
    const int r = ProcedureController::Execute();
    return REQUEST == kRequestView ? kResponseCancelled : r;
}

int FormController::CallUpdater(int number, int request) {
    int response = kResponseCancelled;
    KeepRecordAround([&] { response = ProcedureController::CallUpdater(number, request); });
    return response;
}

void FormController::SelectFirstField() {
    const wnd::WindowState& s = window().state();
    for (int n = FIRSTFIELD; n <= window().LastControl(); ++n) {
        const wnd::ControlState* c = s.control(n);
        if (c && wnd::TakesFocus(c->kind) && !c->disabled && !c->hidden) {
            window().Select(n);
            return;
        }
    }
}

int FormController::OnWindowEvent() {
    const int r = ProcedureController::OnWindowEvent();
    // The first field is usually a prompt: the focus goes to the first control after it.
    if (window().event() == wnd::Event::OpenWindow && r == kLevelGoOn) SelectFirstField();
    return r;
}

int FormController::OnAccepted() {
    const int control = window().control();
    const int r = ProcedureController::OnAccepted();
    if (control == ok_ && ok_) {
        SyncComponents();
        if (REQUEST == kRequestView && !BATCHPROCESSING) window().Post(wnd::Event::CloseWindow);
    }
    return r;
}

int FormController::OnCompleted() {
    SyncComponents();
    saveHistory();
    switch (REQUEST) {
        case kRequestInsert: return CompleteInsert();
        case kRequestChange: return CompleteChange();
        default: return kLevelGoOn;  // view: nothing is written
    }
}

int FormController::CompleteInsert() {
    // Over the auto-numbered record by its position (added afresh when it was removed meanwhile);
    // a table without auto-numbering gains a new record. Failures are reported by the accessor.
    if (accessor().InsertRecord() == 0) {
        CloseWith(kResponseCompleted);
        return kLevelGoOn;
    }
    SelectFirstField();
    return kLevelGoOn;
}

int FormController::CompleteChange() {
    RESPONSE = kResponseCancelled;
    TableAccessor& a = accessor();
    if (a.SameAsSaved(SAVED)) {
        RESPONSE = kResponseCompleted;
        CloseWith(kResponseCompleted);
        return kLevelGoOn;
    }
    window().SetBusy(true);
    int result = kLevelGoOn;
    for (;;) {
        // Over the record the form was opened on, at the version it was read.
        const int e = a.TryUpdateAt(pos_, version_);
        if (e == 0) {
            version_ = a.FILE->version();
            CloseWith(kResponseCompleted);
            break;
        }
        if (e == kLevelRefused) {  // the field checks said why
            SelectFirstField();
            break;
        }
        if (e == kLevelFatal) {
            result = kLevelStop;
            break;
        }
        if (e == files::kRecordChanged) {
            // The buffer now holds the record as stored; the user's values are in the history copy.
            version_ = a.FILE->version();
            takeSaved();
            if (ERRORS) ERRORS->Throw(8);
            window().Display();
            SelectFirstField();
            break;
        }
        if (ERRORS) {
            ERRORS->SetErrors(e, a.FileErrorText(e));
            ERRORS->ThrowFile(28, a.FILENAMEVALUE);
        }
        // Yes writes again, No closes the form unsaved, Cancel goes back to the form.
        const int answer = ERRORS ? ERRORS->Throw(37) : kAnswerCancel;
        if (answer == kAnswerYes) continue;
        if (answer == kAnswerNo) {
            gaveUp_ = true;
            CloseWith(kResponseCancelled);
        } else {
            SelectFirstField();
        }
        break;
    }
    window().SetBusy(false);
    return result;
}

int FormController::OnCloseRequest() {
    if (RESPONSE == kResponseCompleted) return kLevelGoOn;
    // When the program must end (a fatal error) the form closes whatever the user would answer:
    // nothing is asked, and a record that cannot be undone is left to the next start's clean-up.
    const bool mustClose = window().event() == wnd::Event::CloseDown && wnd::ForcedToClose(window().id());
    const bool editing = REQUEST == kRequestInsert || REQUEST == kRequestChange;
    if (!mustClose && CANCELACTION && editing && SAVED && !gaveUp_ && !accessor().SameAsSaved(SAVED)) {
        if (CANCELACTION == 2 && ERRORS && ERRORS->Throw(10) != kAnswerYes) {
            SelectFirstField();
            return kLevelHandled;
        }
    }
    if (ORIGINALREQUEST == kRequestInsert && RESPONSE != kResponseCompleted) {
        // Removes the auto-numbered record by its position; one removed meanwhile counts as undone.
        if (primary_.UndoAutoNumber() != 0 && !mustClose) {
            SelectFirstField();
            return kLevelHandled;
        }
    }
    return kLevelGoOn;
}

}  // namespace cls
