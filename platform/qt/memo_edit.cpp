#include "platform/qt/memo_edit.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace qtp {

MemoEdit::MemoEdit(QWidget* parent) : QPlainTextEdit(parent) {}

bool MemoEdit::event(QEvent* e) {
    const bool handled = QPlainTextEdit::event(e);
    if (e->type() == QEvent::Paint) {
        // Over the frame the scroll area drew: the text itself is the viewport's, on top.
        QPainter p(this);
        QStyleOptionFrame option;
        option.initFrom(this);
        option.rect = rect();
        option.lineWidth = frameWidth();
        option.state |= QStyle::State_Sunken;
        if (hasFocus()) option.state |= QStyle::State_HasFocus;
        style()->drawPrimitive(QStyle::PE_FrameLineEdit, &option, &p, this);
    }
    return handled;
}

void MemoEdit::focusInEvent(QFocusEvent* e) {
    QPlainTextEdit::focusInEvent(e);
    update();
}

void MemoEdit::focusOutEvent(QFocusEvent* e) {
    QPlainTextEdit::focusOutEvent(e);
    update();
}

}  // namespace qtp
