#include "platform/qt/spin_edit.h"

#include <QLocale>

#include <algorithm>
#include <optional>

namespace qtp {
namespace {

// The number in a spin's text, with its count of decimals; nothing for empty or non-numeric text.
struct Shown {
    double value = 0;
    int decimals = 0;
};

std::optional<Shown> shown(const QString& raw) {
    const QString text = raw.trimmed();
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    if (text.isEmpty() || !ok) return std::nullopt;
    const qsizetype point = text.indexOf('.');
    return Shown{value, point < 0 ? 0 : static_cast<int>(text.size() - point - 1)};
}

}  // namespace

SpinEdit::SpinEdit(QWidget* parent) : QAbstractSpinBox(parent) {
    // The arrows that can step follow the value, typed or set.
    connect(lineEdit(), &QLineEdit::textChanged, this, [this] { update(); });
}

void SpinEdit::setRange(int low, int high, int step) {
    low_ = std::min(low, high);
    high_ = std::max(low, high);
    step_ = std::max(step, 1);
    update();  // the arrows may grey or light up
}

void SpinEdit::stepBy(int steps) {
    if (isReadOnly() || steps == 0) return;
    const QString before = lineEdit()->text();
    const std::optional<Shown> now = shown(before);
    if (!now && !before.trimmed().isEmpty() && !ranged()) return;  // nothing to step
    const int decimals = now ? now->decimals : 0;
    double next = (now ? now->value : 0) + static_cast<double>(steps) * step_;
    if (ranged()) {
        // Outside the range or without a number, a step lands on the range's nearer end first.
        if (!now || now->value < low_) next = low_;
        next = std::clamp(next, static_cast<double>(low_), static_cast<double>(high_));
    }
    const QString after = QString::number(next, 'f', decimals);
    if (after == before) return;
    lineEdit()->setText(after);
    update();
    if (onStep) onStep();
}

QAbstractSpinBox::StepEnabled SpinEdit::stepEnabled() const {
    if (isReadOnly()) return StepNone;
    const std::optional<Shown> now = shown(lineEdit()->text());
    if (!ranged() || !now) return StepUpEnabled | StepDownEnabled;
    StepEnabled can = StepNone;
    if (now->value < high_) can |= StepUpEnabled;
    if (now->value != low_) can |= StepDownEnabled;
    return can;
}

}  // namespace qtp
