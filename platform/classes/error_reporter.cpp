#include "platform/classes/error_reporter.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace cls {
namespace {

std::map<int, ReporterMessage> standardMessages() {
    const unsigned yesNo = kButtonYes | kButtonNo;
    return {
        {1, {5, "Record Retrieval Error", "Error: (%ErrorText) attempting to access a record from the %File file.  Returning to previous window."}},
        {2, {5, "Access Denied", "Could not get write access to %File so trying read-only."}},
        {4, {5, "Record Insert Error", "An error was experienced during the creation of a record.|File: %File|Error: %ErrorText."}},
        {8, {5, "Record Was Not Updated", "This record was changed by another station. Those changes will now be displayed. Use the Ditto Button or Ctrl+H to recall your changes."}},
        {10, {1, "Changes will be lost!", "Are you sure you want to cancel?"}},
        {11, {1, "Confirm Delete", "Are you sure you want to delete the highlighted record?"}},
        {12, {3, "File Creation Error", "Error: (%ErrorText) creating %File."}},
        {15, {5, "Duplicate Key Error", "Adding this record creates a duplicate entry for the key: %Message"}},
        {17, {5, "Value Error", "The value of %Field must be in the list : %Message."}},
        {24, {5, "Transaction cancelled", "Error: (%ErrorText) attempting to frame the transaction on %File."}},
        {25, {5, "No Records", "There are no records available to process."}},
        {26, {3, "File Access Error", "File %File could not be opened.  Error: %ErrorText."}},
        {28, {5, "Record was not updated", "An error (%ErrorText) was experienced when making changes to the %File file."}},
        {35, {1, "Auto Increment Error", "Attempts to automatically number this record have failed.|File: %File|Key: %Key|Error: %ErrorText.|Try Again?"}},
        {36, {1, "Record Delete Error", "An error was experienced deleting this record. Do you want to try to delete it again?"}},
        {37, {1, "Record Update Error", "An error was experienced changing this record. Do you want to try to save again?", yesNo | kButtonCancel, kButtonCancel}},
    };
}

void replaceAll(std::string& s, std::string_view what, const std::string& with) {
    for (std::size_t p = s.find(what); p != std::string::npos; p = s.find(what, p + with.size())) s.replace(p, what.size(), with);
}

int answerFor(unsigned button) {
    switch (button) {
        case kButtonYes: return kAnswerYes;
        case kButtonNo: return kAnswerNo;
        case kButtonCancel: return kAnswerCancel;
        default: return kAnswerOk;
    }
}

}  // namespace

ErrorReporter::ErrorReporter() : messages_(standardMessages()) {}

void ErrorReporter::Init(ErrorState* firstThreadState, std::function<ErrorState*()> currentThreadState) {
    std::lock_guard lock(mutex_);
    firstState_ = firstThreadState;
    stateOf_ = std::move(currentThreadState);
}

bool ErrorReporter::initialised() const {
    std::lock_guard lock(mutex_);
    return static_cast<bool>(stateOf_);
}

ErrorState& ErrorReporter::state() const {
    std::function<ErrorState*()> provider;
    {
        std::lock_guard lock(mutex_);
        provider = stateOf_;
    }
    if (provider)
        if (ErrorState* s = provider()) return *s;
    // A thread without program data (or a reporter not initialised yet) still gets a state.
    thread_local ErrorState fallback;
    return fallback;
}

void ErrorReporter::PushProcedure(std::string_view name) {
    auto& s = state();
    if (name.empty()) {
        if (!s.procedures.empty()) s.procedures.pop_back();
    } else {
        s.procedures.emplace_back(name);
    }
}

std::string ErrorReporter::procedureName() const { return state().procedure(); }

void ErrorReporter::SetFile(std::string_view file) { state().file = file; }
void ErrorReporter::SetField(std::string_view field) { state().field = field; }
void ErrorReporter::SetKey(std::string_view key) { state().key = key; }
void ErrorReporter::SetErrors(int code, std::string_view text) {
    auto& s = state();
    s.errorCode = code;
    s.errorText = text;
}

const ReporterMessage* ErrorReporter::Find(int number) const {
    std::lock_guard lock(mutex_);
    auto it = messages_.find(number);
    return it == messages_.end() ? nullptr : &it->second;
}

std::string ErrorReporter::fill(const std::string& text, const ErrorState& s) const {
    std::string r = text;
    replaceAll(r, "%ErrorText", s.errorText.empty() ? std::string() : s.errorText);
    replaceAll(r, "%File", s.file);
    replaceAll(r, "%Field", s.field);
    replaceAll(r, "%Message", s.message);
    replaceAll(r, "%Key", s.key);
    replaceAll(r, "%Procedure", s.procedure());
    return r;
}

std::string ErrorReporter::MessageText(int number) const {
    const ReporterMessage* m = Find(number);
    if (!m) return "Unknown error " + std::to_string(number);
    return fill(m->text, state());
}

int ErrorReporter::Throw(int number) { return show(number, nullptr); }

int ErrorReporter::ThrowText(int number, std::string_view text) {
    const std::string own(text);
    return show(number, &own);
}

int ErrorReporter::show(int number, const std::string* text) {
    const ReporterMessage* m = Find(number);
    MessageBoxRequest req;
    req.messageNumber = number;
    int level = 5;
    if (m) {
        level = m->level;
        req.caption = m->title;
        req.text = text ? *text : fill(m->text, state());
        req.buttons = m->buttons;
        req.defaultButton = m->defaultButton;
    } else {
        req.caption = "Error";
        req.text = text ? *text : "Unknown error " + std::to_string(number);
    }
    if (req.buttons == 0) {
        req.buttons = level == 1 ? (kButtonYes | kButtonNo) : kButtonOk;
        req.defaultButton = level == 1 ? kButtonYes : kButtonOk;
    }
    req.icon = level == 1 ? MessageIcon::Question : level == 3 ? MessageIcon::Hand : MessageIcon::Exclamation;
    const int answer = answerFor(Ask(req));
    if (level == 3) {
        std::function<void(int)> fatal;
        {
            std::lock_guard lock(mutex_);
            fatal = fatal_;
        }
        if (fatal)
            fatal(number);
        else
            std::_Exit(3);
    }
    return answer;
}

int ErrorReporter::ThrowFile(int number, std::string_view file) {
    SetFile(file);
    return Throw(number);
}

int ErrorReporter::ThrowMessage(int number, std::string_view message) {
    state().message = message;
    return Throw(number);
}

void ErrorReporter::SetPresenter(MessagePresenter presenter) {
    std::lock_guard lock(mutex_);
    presenter_ = std::move(presenter);
}

std::function<void(int)> ErrorReporter::SetFatalHandler(std::function<void(int)> handler) {
    std::lock_guard lock(mutex_);
    return std::exchange(fatal_, std::move(handler));
}

unsigned ErrorReporter::Ask(const MessageBoxRequest& request) {
    MessagePresenter presenter;
    bool silent = false;
    {
        std::lock_guard lock(mutex_);
        silent = silent_;
        if (!silent) presenter = presenter_;
    }
    if (presenter) return presenter(request);
    std::fprintf(stderr, "[%s] %s\n", request.caption.c_str(), request.text.c_str());
    if (silent) {
        // Nobody is asked: the answer that gives up, never one that tries again.
        const unsigned buttons = request.buttons ? request.buttons : static_cast<unsigned>(kButtonOk);
        for (unsigned b : {kButtonNo, kButtonCancel, kButtonOk})
            if (buttons & b) return b;
    }
    return request.defaultButton ? request.defaultButton : kButtonOk;
}

void ErrorReporter::SetSilent(bool silent) {
    std::lock_guard lock(mutex_);
    silent_ = silent;
}

}  // namespace cls
