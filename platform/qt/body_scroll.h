#pragma once
// The surface of an MDI child's controls, scrolled where the child is smaller than its layout: a
// form maximised in a frame smaller than the form keeps its designed layout, and the user scrolls
// to whatever does not fit. At its own size it shows the whole surface with no scroll bar. GUI
// thread only.
#include <QScrollArea>

namespace qtp {

class BodyScroll final : public QScrollArea {
public:
    explicit BodyScroll(QWidget* parent);
    // The surface's whole least size (QScrollArea's own hint is bounded to a few dozen lines).
    QSize sizeHint() const override;
};

}  // namespace qtp
