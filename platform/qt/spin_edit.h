#pragma once
// A spin box over the text the task side formats: the arrows (and Up, Down and the page keys) step
// the number in that text. Whether a typed value is allowed is the task's to say; the arrows only
// keep what they make inside the control's range. GUI thread only.
#include <QAbstractSpinBox>
#include <QLineEdit>

#include <functional>

namespace qtp {

class SpinEdit final : public QAbstractSpinBox {
public:
    explicit SpinEdit(QWidget* parent);
    QLineEdit* edit() const { return lineEdit(); }
    // Both ends 0: no range, the arrows step freely. A step below 1 steps by 1.
    void setRange(int low, int high, int step);
    std::function<void()> onStep;  // after an arrow changed the text

    void stepBy(int steps) override;
    // Which arrows can step the value as it stands: none read-only, not up at the top of the range,
    // not down at its bottom.
    StepEnabled stepEnabled() const override;

private:
    bool ranged() const { return low_ != 0 || high_ != 0; }

    int low_ = 0, high_ = 0, step_ = 1;
};

}  // namespace qtp
