#pragma once
// A message box as the task side asks for it. The window layer shows it; until then (and in
// tests) a plain answerer can stand in.
#include <functional>
#include <string>

namespace cls {

enum MessageButton : unsigned {
    kButtonOk = 1,
    kButtonYes = 2,
    kButtonNo = 4,
    kButtonCancel = 8,
};

enum class MessageIcon { None, Information, Question, Exclamation, Hand };

// Answers of the error reporter and of message boxes.
enum MessageAnswer : int {
    kAnswerYes = 0,
    kAnswerCancel = 2,
    kAnswerNo = 4,
    kAnswerOk = 5,
};

struct MessageBoxRequest {
    std::string caption;
    std::string text;  // '|' starts a new line
    MessageIcon icon = MessageIcon::None;
    unsigned buttons = kButtonOk;
    unsigned defaultButton = kButtonOk;
    int messageNumber = 0;  // the reporter's message number, 0 for a plain message box
};

// Shows a message box and returns the button pressed (one MessageButton value).
using MessagePresenter = std::function<unsigned(const MessageBoxRequest&)>;

}  // namespace cls
