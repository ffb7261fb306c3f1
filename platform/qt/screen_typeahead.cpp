#include "platform/qt/screen.h"

// Keys and clicks typed ahead. Input that makes a task open or close a window reaches the task at
// once, but the window comes only when the task has acted on it; the keys and clicks after it
// meanwhile would go to the window that is about to lose the keyboard. So while the task thread
// acts, what follows for its windows waits here, in order, until the thread waits for input again
// (wnd::InputHold); then each key goes to whatever has the keyboard, each click to the widget it
// was made on (if it is still there). The frame's menus never wait, input for another thread's
// windows never waits, and a thread that takes too long holds nothing.

#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTimer>
#include <QWindow>

#include "platform/qt/key_map.h"
#include "platform/qt/screen_parts.h"

namespace qtp {

namespace {
// How long input waits at most for a task that does not wait for input again.
constexpr int kHoldLimitMs = 2000;

bool isKey(QEvent::Type t) { return t == QEvent::KeyPress || t == QEvent::ShortcutOverride; }

bool isClick(QEvent::Type t) {
    return t == QEvent::MouseButtonPress || t == QEvent::MouseButtonRelease || t == QEvent::MouseButtonDblClick;
}

bool inMenu(QObject* o) {
    for (; o; o = o->parent())
        if (qobject_cast<QMenu*>(o) || qobject_cast<QMenuBar*>(o)) return true;
    return false;
}

// A key that only edits the entry it goes to (wnd::OnlyTypes).
bool onlyTypes(const QKeyEvent& key) {
    if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    const wnd::KeyCode code = KeyFromQt(key.key(), key.modifiers());
    if (code == 0) return key.key() == Qt::Key_Shift || key.key() == Qt::Key_Control || key.key() == Qt::Key_Alt ||
                          key.key() == Qt::Key_AltGr || (!key.text().isEmpty() && key.text().at(0).isPrint());
    return wnd::OnlyTypes(code);
}

// The widget a click on a top-level window lands on.
QWidget* clickedWidget(QWindow* window, const QMouseEvent& click) {
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->windowHandle() == window) {
            const QPoint at = click.position().toPoint();
            QWidget* child = top->childAt(at);
            return child ? child : top;
        }
    return nullptr;
}

// The focus a click gives, as the window system's own clicks give it: to the widget clicked, or
// the nearest one around it that takes the focus by a click.
void focusByClick(QWidget* w) {
    for (; w && !w->isWindow(); w = w->parentWidget())
        if (w->isEnabled() && (w->focusPolicy() & Qt::ClickFocus)) {
            if (!w->hasFocus()) w->setFocus(Qt::MouseFocusReason);
            return;
        }
}
}  // namespace

int Screen::InputThread(QObject* o) const {
    const View* v = Locate(o).first;
    return v && v->state.kind != wnd::WindowKind::AppFrame ? v->thread : kFrameInput;
}

bool Screen::HoldsFor(int thread, bool typing) const {
    if (thread == kFrameInput) {
        // The frame, or no window: input there waits behind any thread's hold.
        for (const auto& [id, v] : views_)
            if (hold_.Holds(v->thread, typing)) return true;
        return false;
    }
    return hold_.Holds(thread, typing);
}

void Screen::HoldAfter(int thread, wnd::InputSink& sink, wnd::InputEvent::Kind kind) {
    if (!hold_.After(kind, thread, sink.Received())) return;
    if (!holdLimit_) {
        holdLimit_ = new QTimer(this);
        holdLimit_->setSingleShot(true);
        connect(holdLimit_, &QTimer::timeout, this, [this] {
            hold_.Clear();
            ReleaseHeld();
        });
    }
    holdLimit_->start(kHoldLimitMs);
}

bool Screen::HoldBack(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (replaying_ || !(isKey(type) || isClick(type))) return false;
    if (!hold_.Holding() && held_.empty()) return false;
    // A click from the window system comes to its window first: held there, before the widget
    // under it takes the focus (which would move it ahead of the input waiting before it).
    QWidget* clicked = nullptr;
    if (watched->isWindowType()) {
        if (!isClick(type)) return false;
        clicked = clickedWidget(static_cast<QWindow*>(watched), *static_cast<QMouseEvent*>(event));
        if (!clicked) return false;
    } else if (!watched->isWidgetType()) {
        return false;
    }
    QObject* aimed = clicked ? clicked : watched;
    if (inMenu(aimed)) return false;
    const int thread = InputThread(aimed);
    const bool typing = isKey(type) && onlyTypes(*static_cast<QKeyEvent*>(event));
    // What follows input that waits waits too, so nothing overtakes it.
    const bool behind = std::any_of(held_.begin(), held_.end(), [thread](const Held& h) {
        return thread == kFrameInput || h.thread == thread || h.thread == kFrameInput;
    });
    if (!behind && !HoldsFor(thread, typing)) return false;
    if (type == QEvent::ShortcutOverride) {
        // No shortcut acts now: the key press that follows waits with the rest.
        event->accept();
        return true;
    }
    Held h;
    h.event.reset(static_cast<QInputEvent*>(event->clone()));
    // Held for a window that is still opening, on a thread of its own: it goes where the keyboard is.
    h.thread = hold_.Starting() ? kFrameInput : thread;
    h.typing = typing;
    if (isClick(type)) {
        h.target = static_cast<QWidget*>(aimed);
        if (clicked) {
            h.window = static_cast<QWindow*>(watched);
            h.viaWindow = true;
        }
    }
    held_.push_back(std::move(h));
    return true;
}

QWidget* Screen::KeyboardWidget(int thread) {
    const auto takes = [thread](const View& v) {
        return v.usable && !v.closing && (thread == kFrameInput || v.thread == thread || v.state.kind == wnd::WindowKind::AppFrame);
    };
    QWidget* focused = QApplication::focusWidget();
    if (auto [v, n] = Locate(focused); v && takes(*v)) return focused;
    // The window that had the keyboard has just closed and none has it yet: it returns to the
    // usable window opened last, as it will once the closing is done. Input held for a thread
    // whose window the user has left meanwhile (a click on another thread's window overtakes it)
    // still goes to that thread's window, as it would have before the click.
    View* best = nullptr;
    for (auto& [id, v] : views_) {
        if (!takes(*v) || !v->root || !v->root->isVisible()) continue;
        if (!best || (v->state.kind != wnd::WindowKind::AppFrame && (best->state.kind == wnd::WindowKind::AppFrame || v->order > best->order)))
            best = v.get();
    }
    if (!best) return focused ? focused : QApplication::activeWindow();
    Resume(*best);  // takes the keyboard only if no other window has it
    if (QWidget* now = QApplication::focusWidget(); now && Locate(now).first == best) return now;
    const ControlView* cv = best->cv(best->state.focus);
    return cv && cv->widget ? cv->widget.data() : best->root.data();
}

void Screen::Waiting(int thread, std::uint64_t received) {
    if (hold_.Waiting(thread, received)) ReleaseHeld();
}

void Screen::StartingTask(int thread) {
    hold_.StartingTask(thread);
    if (hold_.Starting() && holdLimit_) holdLimit_->start(kHoldLimitMs);
}

void Screen::ReleaseHeld() {
    if (replaying_) return;
    while (!held_.empty() && !dying_) {
        Held& h = held_.front();
        const bool click = isClick(h.event->type());
        QWidget* to = click ? h.target.data() : KeyboardWidget(h.thread);
        if (to && HoldsFor(InputThread(to), h.typing)) break;  // where it goes now, it must wait
        const Held next = std::move(h);
        held_.pop_front();
        if (!to || (next.viaWindow && !next.window)) continue;  // the widget clicked on is gone
        replaying_ = true;
        if (click && next.event->type() != QEvent::MouseButtonRelease) focusByClick(to);
        if (!click) {
            const auto* key = static_cast<const QKeyEvent*>(next.event.get());
            QKeyEvent override(QEvent::ShortcutOverride, key->key(), key->modifiers(), key->text(), key->isAutoRepeat(),
                               static_cast<quint16>(key->count()));
            QCoreApplication::sendEvent(to, &override);
        }
        if (next.viaWindow) {
            // The click the window system gave a window goes to the widget under it, at its place there.
            const auto* m = static_cast<const QMouseEvent*>(next.event.get());
            const QPointF at = to->mapFrom(to->window(), m->position());
            QMouseEvent local(m->type(), at, m->scenePosition(), m->globalPosition(), m->button(), m->buttons(), m->modifiers());
            QCoreApplication::sendEvent(to, &local);
        } else {
            QCoreApplication::sendEvent(to, next.event.get());
        }
        replaying_ = false;
    }
    if (!hold_.Holding() && holdLimit_) holdLimit_->stop();
}

}  // namespace qtp
