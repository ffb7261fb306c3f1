#pragma once
// The error reporter: numbered messages with a title, a text with placeholders and a level that
// fixes the buttons. One reporter serves the whole process; each thread's details live in that
// thread's own ErrorState, so messages raised on two threads never mix.
//
// Levels: 1 asks Yes/No (default Yes), 5 informs with OK, 3 is fatal (OK, then the program ends).
// Answers: Yes 0, No 4, OK 5 (see MessageAnswer).
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/classes/error_state.h"
#include "platform/classes/message_box.h"

namespace cls {

struct ReporterMessage {
    int level = 5;
    std::string title;
    std::string text;
    unsigned buttons = 0;        // 0: from the level
    unsigned defaultButton = 0;  // 0: from the level
};

class ErrorReporter {
public:
    ErrorReporter();

    // Binds the reporter to the first thread's state; later threads' states come from the
    // provider (each thread's own ThreadErrorState).
    void Init(ErrorState* firstThreadState, std::function<ErrorState*()> currentThreadState);
    bool initialised() const;

    // The calling thread's details.
    ErrorState& state() const;

    // Procedure names nest per thread; an empty name goes back to the caller's.
    void PushProcedure(std::string_view name);
    std::string procedureName() const;

    void SetFile(std::string_view file);
    void SetField(std::string_view field);
    void SetKey(std::string_view key);
    void SetErrors(int code, std::string_view text);

    // Shows message `number` with the calling thread's details and returns the answer.
    int Throw(int number);
    int ThrowFile(int number, std::string_view file);
    int ThrowMessage(int number, std::string_view message);
    // Message number's caption, level and buttons with words of the caller's own (a cause that the
    // standard text cannot hold).
    int ThrowText(int number, std::string_view text);
    // The text message `number` would show now (placeholders filled).
    std::string MessageText(int number) const;
    const ReporterMessage* Find(int number) const;

    // Where message boxes go. Default: written to standard error and answered with the default.
    void SetPresenter(MessagePresenter presenter);
    // What a fatal message does after OK; returns the handler it replaces. Without one the process
    // ends at once. A program gives it a way out through its own shut-down; tests replace it.
    std::function<void(int number)> SetFatalHandler(std::function<void(int number)> handler);

    // A message box of the caller's own, through the same presenter.
    unsigned Ask(const MessageBoxRequest& request);

    // While silent (the program is ending after a fatal message) no box is shown: each message is
    // written to standard error and answered No, else Cancel, else OK.
    void SetSilent(bool silent);

private:
    std::string fill(const std::string& text, const ErrorState& s) const;
    int show(int number, const std::string* text);  // text: nullptr for the message's own

    mutable std::mutex mutex_;
    std::map<int, ReporterMessage> messages_;
    std::function<ErrorState*()> stateOf_;
    ErrorState* firstState_ = nullptr;
    MessagePresenter presenter_;
    std::function<void(int)> fatal_;
    bool silent_ = false;
};

}  // namespace cls
