#include "platform/qt/screen.h"

// Keys typed ahead. A key that makes a task open or close a window reaches the task at once, but
// the window comes only when the task has acted on it; the keys typed after it meanwhile would go
// to the window that is about to lose the keyboard. So they wait here, in order, until the task
// waits for input again (wnd::InputHold), and then go to whatever has the keyboard. The frame's
// menus never wait, and a thread that shows the busy cursor or takes too long holds nothing.

#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include "platform/qt/screen_parts.h"

namespace qtp {

namespace {
// How long input waits at most for a task that neither waits nor says it is busy.
constexpr int kHoldLimitMs = 2000;

bool isInput(QEvent::Type t) {
    return t == QEvent::KeyPress || t == QEvent::ShortcutOverride;
}

bool inMenu(QObject* o) {
    for (; o; o = o->parent())
        if (qobject_cast<QMenu*>(o) || qobject_cast<QMenuBar*>(o)) return true;
    return false;
}
}  // namespace

void Screen::HoldAfter(int thread, wnd::InputSink& sink) {
    // A sink that counts nothing is no task thread's queue: no wait of a thread will answer it.
    const std::uint64_t received = sink.Received();
    if (received == 0) return;
    hold_.Hold(thread, received);
    if (!holdLimit_) {
        holdLimit_ = new QTimer(this);
        holdLimit_->setSingleShot(true);
        connect(holdLimit_, &QTimer::timeout, this, [this] {
            hold_ = wnd::InputHold{};
            ReleaseHeld();
        });
    }
    holdLimit_->start(kHoldLimitMs);
}

bool Screen::HoldBack(QObject* watched, QEvent* event) {
    if (replaying_ || !isInput(event->type()) || !watched->isWidgetType()) return false;
    if (!hold_.Holding() && held_.empty()) return false;
    if (inMenu(watched)) return false;
    if (event->type() == QEvent::ShortcutOverride) {
        // No shortcut acts now: the key press that follows waits with the rest.
        event->accept();
        return true;
    }
    held_.emplace_back(static_cast<QKeyEvent*>(event->clone()));
    return true;
}

QWidget* Screen::KeyboardWidget() {
    QWidget* focused = QApplication::focusWidget();
    if (auto [v, n] = Locate(focused); v && v->usable && !v->closing) return focused;
    // The window that had the keyboard has just closed and none has it yet: it returns to the
    // usable window opened last, as it will once the closing is done.
    View* best = nullptr;
    for (auto& [id, v] : views_) {
        if (!v->usable || v->closing || !v->root || !v->root->isVisible()) continue;
        if (!best || (v->state.kind != wnd::WindowKind::AppFrame && (best->state.kind == wnd::WindowKind::AppFrame || v->order > best->order)))
            best = v.get();
    }
    if (!best) return focused ? focused : QApplication::activeWindow();
    Resume(*best);
    if (QWidget* now = QApplication::focusWidget(); now && Locate(now).first == best) return now;
    const ControlView* cv = best->cv(best->state.focus);
    return cv && cv->widget ? cv->widget.data() : best->root.data();
}

void Screen::Waiting(int thread, std::uint64_t received) {
    if (hold_.Waiting(thread, received)) ReleaseHeld();
}

void Screen::ReleaseHeld() {
    if (replaying_) return;
    while (!hold_.Holding() && !held_.empty() && !dying_) {
        const std::unique_ptr<QKeyEvent> key = std::move(held_.front());
        held_.pop_front();
        QWidget* to = KeyboardWidget();
        if (!to) continue;
        replaying_ = true;
        QKeyEvent override(QEvent::ShortcutOverride, key->key(), key->modifiers(), key->text(), key->isAutoRepeat(),
                           static_cast<quint16>(key->count()));
        QCoreApplication::sendEvent(to, &override);
        QCoreApplication::sendEvent(to, key.get());
        replaying_ = false;
    }
    if (!hold_.Holding() && holdLimit_) holdLimit_->stop();
}

}  // namespace qtp
