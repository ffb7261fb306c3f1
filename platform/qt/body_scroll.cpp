#include "platform/qt/body_scroll.h"

namespace qtp {

BodyScroll::BodyScroll(QWidget* parent) : QScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);  // the surface fills the view, and never shrinks below its least size
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

QSize BodyScroll::sizeHint() const {
    const int frame = 2 * frameWidth();
    if (!widget()) return QScrollArea::sizeHint();
    return widget()->minimumSize().expandedTo(widget()->sizeHint()) + QSize(frame, frame);
}

}  // namespace qtp
