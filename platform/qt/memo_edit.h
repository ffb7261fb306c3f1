#pragma once
// A multi-line text box framed as an entry is: the style frames an entry with the focus in its
// highlight colour but draws a text box's frame the same with or without it, so a memo would never
// show that it has the keyboard. GUI thread only.
#include <QPlainTextEdit>

namespace qtp {

class MemoEdit final : public QPlainTextEdit {
public:
    explicit MemoEdit(QWidget* parent);

protected:
    bool event(QEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
};

}  // namespace qtp
