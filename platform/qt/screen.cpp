#include "platform/qt/screen.h"

// Opening and closing windows, the task's updates, focus, keys and per-thread modality.

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QCursor>
#include <QDesktopServices>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QShortcutEvent>
#include <QWheelEvent>
#include <QMouseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QWindowStateChangeEvent>
#include <QToolBar>
#include <QToolTip>
#include <QTextCursor>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "platform/qt/body_scroll.h"
#include "platform/qt/dialog_place.h"
#include "platform/qt/help_viewer.h"
#include "platform/qt/key_map.h"
#include "platform/qt/list_format.h"
#include "platform/qt/picture_book.h"
#include "platform/qt/printing.h"
#include "platform/qt/wallpaper.h"


#include "platform/qt/screen_parts.h"

namespace qtp {

using namespace detail;

namespace {
// The line of text a control's widget is typed into: its own, a combo's or a spin box's.
QLineEdit* LineEditOf(QWidget* w) {
    if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->lineEdit();
    if (auto* spin = dynamic_cast<SpinEdit*>(w)) return spin->edit();
    return qobject_cast<QLineEdit*>(w);
}
}  // namespace

Screen::Screen() : printing_(std::make_unique<Printing>()) {
    qApp->setWindowIcon(ProgramIcon());
    qApp->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { OnFocusChanged(now); });
}

Screen::~Screen() {
    // Prints under way are let finish, and answered, before anything goes.
    printing_->End();
    dying_ = true;
    qApp->removeEventFilter(this);
    for (auto& p : questions_) delete p.data();
    help_.clear();
    for (auto& [id, v] : views_) {
        v->closing = true;
        if (v->root && v->root != frame_) delete v->root.data();
    }
    delete frame_.data();
}

Screen::View* Screen::view(wnd::WindowId id) const {
    const auto it = views_.find(id);
    return it == views_.end() ? nullptr : it->second.get();
}

void Screen::Own(QObject* o, wnd::WindowId id, int control) {
    if (!owners_.count(o))
        connect(o, &QObject::destroyed, this, [this](QObject* gone) { owners_.erase(gone); });  // its address may be reused
    owners_[o] = {id, control};
}

std::pair<Screen::View*, int> Screen::Locate(QObject* o) const {
    for (; o; o = o->parent()) {
        const auto it = owners_.find(o);
        if (it != owners_.end()) {
            View* v = view(it->second.first);
            return {v, v ? it->second.second : 0};
        }
        if (o->isWidgetType() && static_cast<QWidget*>(o)->isWindow() && !qobject_cast<QMdiSubWindow*>(o)) break;
    }
    return {nullptr, 0};
}

// --- Opening a window ---------------------------------------------------------------------------

void Screen::OpenWindow(wnd::WindowId id, int thread, const wnd::WindowState& state, std::shared_ptr<wnd::InputSink> sink) {
    if (views_.count(id)) return;
    auto owned = std::make_unique<View>();
    View& v = *owned;
    v.id = id;
    v.thread = thread;
    v.order = ++opened_;
    v.state = state;
    v.sink = std::move(sink);
    v.controls.resize(state.controls.size());
    views_[id] = std::move(owned);
    waiting_.Opened(id, thread);

    v.font = QApplication::font();
    if (const QString family = InstalledFamily(state.font.name); !family.isEmpty()) v.font.setFamily(family);
    if (state.font.points > 0) v.font.setPointSize(state.font.points);
    if (state.font.weight >= 600) v.font.setBold(true);
    v.units = DialogUnits::Of(v.font);

    const QString caption = q(state.caption);
    QWidget* content = nullptr;  // what holds the menu bar and the body
    if (state.kind == wnd::WindowKind::AppFrame) {
        auto* frame = new QMainWindow;
        frame->setAttribute(Qt::WA_DeleteOnClose, false);
        auto* mdi = new QMdiArea(frame);
        mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        // A window that closes hands the focus back to the one used before it (a nested form's
        // caller), not to the oldest.
        mdi->setActivationOrder(QMdiArea::ActivationHistoryOrder);
        if (!state.wallpaper.empty()) ShowWallpaper(*mdi, Wallpaper(state.wallpaper));
        frame->setCentralWidget(mdi);
        connect(mdi, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
            if (!sub) return;
            for (auto& [wid, w] : views_)
                if (w->root == sub) {
                    if (waiting_.Waits(wid)) {
                        Redirect(wid);  // a list whose form is open: the form comes forward
                        return;
                    }
                    wnd::InputEvent e;
                    e.kind = Kind::WindowFocus;
                    Deliver(*w, e);
                }
        });
        v.menuBar = frame->menuBar();
        auto* bar = new QToolBar(frame);
        bar->setMovable(false);
        v.body = new QWidget;
        bar->addWidget(v.body);
        frame->addToolBar(bar);
        bar->hide();
        frame->statusBar();
        frame_ = frame;
        mdi_ = mdi;
        printing_->SetFrame(frame);
        v.root = frame;
        Own(frame, id, 0);
    } else {
        content = new QWidget;
        auto* lay = new QVBoxLayout(content);
        lay->setContentsMargins(0, 0, 0, 0);
        lay->setSpacing(0);
        bool hasMenu = std::any_of(state.controls.begin(), state.controls.end(),
                                   [](const wnd::ControlState& c) { return c.kind == ControlKind::MenuBar; });
        if (hasMenu) {
            v.menuBar = new QMenuBar(content);
            lay->setMenuBar(v.menuBar);
        }
        v.body = new QWidget(content);
        if (state.kind == wnd::WindowKind::MdiChild && mdi_) {
            // A child smaller than its layout (maximised in a small frame) scrolls its controls.
            auto* scroll = new BodyScroll(content);
            scroll->setWidget(v.body);
            lay->addWidget(scroll);
        } else {
            lay->addWidget(v.body);
        }
        if (state.kind == wnd::WindowKind::MdiChild && mdi_) {
            auto* sub = new QMdiSubWindow;
            sub->setWidget(content);
            sub->setAttribute(Qt::WA_DeleteOnClose, false);
            mdi_->addSubWindow(sub);
            v.root = sub;
        } else {
            // A window of its own, transient for the frame: a window manager keeps it above the
            // frame (the start-up reminders block the frame and must never hide behind it).
            MakeWindowOf(*content, frame_);
            v.root = content;
        }
        Own(v.root, id, 0);
    }
    v.body->setFont(v.font);
    Own(v.body, id, 0);
    v.root->setWindowTitle(caption);
    v.root->setWindowIcon(ProgramIcon());

    for (int n = 1; n <= static_cast<int>(state.controls.size()); ++n) Build(v, n);
    FinishLayout(v);
    // A sheet is a backdrop: controls laid over it from outside (a list over a tab sheet) stay on top.
    for (int n = 1; n <= static_cast<int>(state.controls.size()); ++n)
        if (const wnd::ControlState* c = v.cs(n); c && c->kind == ControlKind::Sheet && c->parent == 0)
            if (ControlView* cv = v.cv(n); cv && cv->widget) cv->widget->lower();
    if (state.kind == wnd::WindowKind::AppFrame) {
        BuildWindowMenu();
        v.root->resize(state.at.width > 0 ? v.px(state.at.width) : 800, state.at.height > 0 ? v.py(state.at.height) : 600);
        // The frame's place is the program's own, not left to a window manager's later choice:
        // the windows it opens at once (the start-up reminders) stand over it from the start.
        if (state.at.x <= 0 && state.at.y <= 0) PlaceOver(*v.root, nullptr);
    } else {
        v.root->adjustSize();
        // A plain window is wide enough for its whole caption beside the title bar's icon and buttons.
        if (state.kind == wnd::WindowKind::Plain) {
            QFont title = QApplication::font();
            title.setBold(true);
            const QFontMetrics tm(title);
            const int need = tm.horizontalAdvance(caption) + 5 * (tm.height() + 8);
            if (v.root->width() < need) v.root->resize(need, v.root->height());
        }
    }
    if (state.kind == wnd::WindowKind::Plain && !state.maximised) {
        // Over the window that opened it: at its designed place within that window's inside (the
        // frame's: its MDI area), else centred on it; on the screen either way.
        QWidget* opener = Opener(v);
        if (state.at.x > 0 || state.at.y > 0)
            PlaceFrom(*v.root, opener == frame_ && mdi_ ? mdi_.data() : opener, QPoint(v.px(state.at.x), v.py(state.at.y)));
        else PlaceOver(*v.root, opener);
    } else if (state.at.x > 0 || state.at.y > 0) {
        v.root->move(v.px(state.at.x), v.py(state.at.y));
    }
    if (auto* sub = qobject_cast<QMdiSubWindow*>(v.root.data()); sub && !state.maximised) MakeRoomFor(*sub);
    // A maximised MDI child fills the frame's MDI area; any other window fills the screen. The
    // task lays its controls out for the size it was made at: the maximised size is a change it
    // must hear of, whether the maximising happens at once or later (a window manager's own time).
    if (state.maximised) {
        v.shownSize = TaskSize(v, v.body->size());
        v.root->showMaximized();
    }
    else v.root->show();
    // A new window of its own takes the keyboard, so its focused control shows the focus (with no
    // window manager nothing else would make it active), unless a question is being answered.
    if (v.root->isWindow()) {
        QWidget* active = QApplication::activeWindow();
        const bool asked = std::any_of(questions_.begin(), questions_.end(), [active](const QPointer<QWidget>& p) { return p && p == active; });
        if (!asked) v.root->activateWindow();
    }
    if (state.kind == wnd::WindowKind::MdiChild && mdi_) mdi_->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(v.root.data()));
    ApplyUsable(v);
    FocusWidget(v, state.focus);
    // Sizes settle once the loop has laid the window out; only later changes are the user's. A
    // child that opened larger than designed (maximised, as the MDI area opens a child while the
    // one in front is maximised) is laid out for the size it has.
    if (!state.maximised)
        QTimer::singleShot(0, this, [this, id] {
            View* w = view(id);
            if (!w || !w->body) return;
            w->shownSize = TaskSize(*w, w->body->size());
            if (w->designedUnits.isValid() && !w->designedUnits.isEmpty() && w->shownSize != w->designedUnits) {
                wnd::InputEvent e;
                e.kind = Kind::Resized;
                e.width = w->shownSize.width();
                e.height = w->shownSize.height();
                Deliver(*w, std::move(e));
            }
        });
}

QWidget* Screen::Opener(const View& v) const {
    // The window in front on the same thread (the one that opened it), else the frame.
    const View* best = nullptr;
    for (const auto& [id, w] : views_)
        if (w.get() != &v && w->thread == v.thread && w->root && w->root->isVisible() && (!best || w->order > best->order))
            best = w.get();
    return best ? best->root.data() : frame_.data();
}

// A child window larger than the frame's free area at its place moves up and left until it fits,
// never past the area's top-left corner; the frame keeps the size the user gave it, and the area
// scrolls to whatever of a larger child still lies beyond it.
void Screen::MakeRoomFor(QMdiSubWindow& sub) {
    if (!mdi_) return;
    const QSize area = mdi_->viewport()->size();
    const QRect want = sub.geometry();
    sub.move(std::max(0, std::min(want.x(), area.width() - want.width())),
             std::max(0, std::min(want.y(), area.height() - want.height())));
}

void Screen::UpdateWindow(wnd::WindowId id, const wnd::WindowState& state) {
    View* v = view(id);
    if (!v) return;
    v->TakeWindow(state);
    if (v->root) v->root->setWindowTitle(q(state.caption));
}

void Screen::UpdateControl(wnd::WindowId id, const wnd::ControlState& control) {
    View* v = view(id);
    if (!v || control.number < 1) return;
    const auto n = static_cast<std::size_t>(control.number);
    if (n > v->state.controls.size()) {
        // Made at run time: built now, after the ones before it.
        const std::size_t from = v->state.controls.size() + 1;
        v->state.controls.resize(n);
        v->controls.resize(n);
        v->state.controls[n - 1] = control;
        for (std::size_t i = from; i <= n; ++i)
            if (v->state.controls[i - 1].number == static_cast<int>(i)) Build(*v, static_cast<int>(i));
        return;
    }
    const wnd::Rect old = v->state.controls[n - 1].at;
    v->TakeControl(control);
    if (old.x != control.at.x || old.y != control.at.y || old.width != control.at.width || old.height != control.at.height)
        Place(*v, control.number);
    Apply(*v, control.number);
}

void Screen::SetText(wnd::WindowId id, int n, const std::string& text, std::uint64_t answersRevision) {
    View* v = view(id);
    if (!v || !v->TakeText(n, text, answersRevision)) return;
    Apply(*v, n);
}

void Screen::SetEntry(wnd::WindowId id, int n, const std::string& text, int from, int to, std::uint64_t answersRevision) {
    View* v = view(id);
    if (!v || !v->cs(n) || !v->cv(n)->widget) return;
    if (!v->TakeEntry(n, text, answersRevision)) return;
    QWidget* w = v->cv(n)->widget;
    auto* combo = qobject_cast<QComboBox*>(w);
    QLineEdit* edit = combo ? combo->lineEdit() : qobject_cast<QLineEdit*>(w);
    if (!edit) return;
    Quiet quiet(v->quiet);
    const QString shown = q(text);
    if (edit->text() != shown) edit->setText(shown);
    to = std::clamp(to, 0, static_cast<int>(shown.size()));
    from = std::clamp(from, 0, to);
    if (from < to) edit->setSelection(from, to - from);  // the caret ends at `to`
    else edit->setCursorPosition(to);
}

void Screen::Typed(View& v, int n, wnd::KeyCode key) {
    auto* combo = v.cv(n) ? qobject_cast<QComboBox*>(v.cv(n)->widget.data()) : nullptr;
    if (!combo || !combo->lineEdit()) return;
    wnd::InputEvent e;
    e.kind = Kind::Typed;
    e.control = n;
    e.text = u(combo->lineEdit()->text());
    e.caret = combo->lineEdit()->cursorPosition();
    e.key = key;
    e.revision = v.Revision(n);
    Deliver(v, std::move(e));
}

void Screen::ListKey(View& v, int n, wnd::KeyCode key, int row, int column) {
    MoveFocus(v, n, true);
    const wnd::ControlState* c = v.cs(n);
    if (!c || !c->Alerts(key)) return;
    wnd::InputEvent e;
    e.kind = Kind::AlertKey;
    e.control = n;
    e.key = key;
    e.row = row;
    e.column = column;
    Deliver(v, std::move(e));
}

// The mouse over a list: the wheel over a paged list moves it a row a step (its own scroll range
// holds only the page); the right button highlights the row under it and reports it.
bool Screen::ListMouse(View& v, int n, QEvent* event) {
    auto* list = qobject_cast<QTreeWidget*>(v.cv(n)->widget.data());
    if (!list || v.inert || asking_[v.thread]) return false;
    if (event->type() == QEvent::Wheel) {
        if (v.cs(n)->thumb < 0) return false;
        const int delta = static_cast<QWheelEvent*>(event)->angleDelta().y();
        const int steps = std::max(1, std::abs(delta) / 120);
        if (delta != 0)
            for (int i = 0; i < steps; ++i) ListKey(v, n, delta > 0 ? wnd::kKeyUp : wnd::kKeyDown, 0, 0);
        return true;
    }
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::RightButton) return false;
    const QPoint at = mouse->position().toPoint();
    QTreeWidgetItem* item = list->itemAt(at);
    const int row = item ? list->indexOfTopLevelItem(item) + 1 : 0;
    const int column = item ? list->header()->logicalIndexAt(at.x()) + 1 : 0;
    if (item) list->setCurrentItem(item);  // the row is highlighted (NewSelection) before the key
    ListKey(v, n, wnd::kKeyMouseRightUp, row, column);
    return true;
}

// --- Focus ---------------------------------------------------------------------------------------

void Screen::FocusWidget(View& v, int n) {
    ControlView* cv = v.cv(n);
    if (!cv || !cv->widget) return;
    Quiet quiet(v.quiet);
    // A control on a tab that is not in front brings its tab forward.
    for (int t = wnd::EnclosingTab(v.state, n); t; t = wnd::EnclosingTab(v.state, t)) {
        ControlView* tab = v.cv(t);
        ControlView* sheet = v.cv(v.cs(t)->parent);
        if (auto* tw = sheet ? qobject_cast<QTabWidget*>(sheet->widget.data()) : nullptr) tw->setCurrentWidget(tab->widget);
    }
    cv->widget->setFocus(Qt::OtherFocusReason);
    // On a scrolled surface (a form larger than its frame's area) the control comes into view,
    // once the layouts under way have passed.
    for (QWidget* p = cv->widget->parentWidget(); p; p = p->parentWidget())
        if (auto* scroll = dynamic_cast<BodyScroll*>(p)) {
            QTimer::singleShot(0, scroll, [scroll, w = QPointer<QWidget>(cv->widget)] {
                if (w && w->hasFocus()) scroll->ensureWidgetVisible(w);
            });
            break;
        }
    // The focus the presenter moves is the keyboard's (Tab, Enter, the task's choice): the style
    // marks the focused control, buttons too, only on a window that had such a move.
    cv->widget->window()->setAttribute(Qt::WA_KeyboardFocusChange);
    // The task's own value, not what the user is typing, is selected: the next key replaces it
    // (after a refusal too, whichever window the desktop gave the focus back to first).
    if (!v.Dirty(n))
        if (QLineEdit* edit = LineEditOf(cv->widget.data())) ShowFromStart(*edit, true);
    ShowMessageOf(v, n);
}

void Screen::ShowMessageOf(const View& v, int n) {
    if (!frame_) return;
    const wnd::ControlState* c = v.cs(n);
    if (!c || c->message.empty()) {
        frame_->statusBar()->clearMessage();
        return;
    }
    // One line: the bar would show a message only up to its first line break.
    QString text = q(c->message);
    text.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace('\n', ' ').replace('\r', ' ').replace('|', ' ');
    frame_->statusBar()->showMessage(text.simplified());
}

void Screen::SetFocus(wnd::WindowId id, int n) {
    View* v = view(id);
    if (!v) return;
    // The control the task takes the focus from is left: what was typed into it is accepted, as
    // when the user leaves it.
    if (auto left = v->FocusCommand(n)) Deliver(*v, std::move(*left));
    FocusWidget(*v, n);
}

void Screen::Leave(View& v) {
    if (auto e = v.Leave()) Deliver(v, std::move(*e));
}

void Screen::LeaveBeforeClose(View& v, int n) {
    if (!v.ClosesFrame(n)) {
        Leave(v);
        return;
    }
    for (auto& [id, w] : views_) Leave(*w);
}

void Screen::MoveFocus(View& v, int n, bool applyToWidget) {
    if (n == 0 || n == v.state.focus) return;
    for (wnd::InputEvent& e : v.MoveFocus(n)) Deliver(v, std::move(e));
    if (applyToWidget) FocusWidget(v, n);
    else ShowMessageOf(v, n);
}

void Screen::OnFocusChanged(QWidget* now) {
    if (dying_ || !now) return;
    auto [v, n] = Locate(now);
    if (!v || v->quiet || !v->cs(n) || !wnd::TakesFocus(v->cs(n)->kind)) return;
    MoveFocus(*v, n, false);
}

std::string Screen::CurrentText(const View& v, int n) const {
    const ControlView& cv = v.controls[static_cast<std::size_t>(n - 1)];
    QWidget* w = cv.widget;
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return u(edit->text());
    if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) return u(plain->toPlainText());
    if (auto* spin = dynamic_cast<SpinEdit*>(w)) return u(spin->edit()->text());
    if (auto* combo = qobject_cast<QComboBox*>(w)) return u(combo->currentText());
    return v.state.controls[static_cast<std::size_t>(n - 1)].text;
}

void Screen::Edited(View& v, int n) {
    const std::string typed = CurrentText(v, n);
    // The caret, in characters (Qt counts UTF-16 units, and what was just typed may take two).
    QWidget* w = v.cv(n) ? v.cv(n)->widget.data() : nullptr;
    std::size_t caret = std::string::npos;
    if (QLineEdit* edit = LineEditOf(w))
        caret = static_cast<std::size_t>(edit->text().left(edit->cursorPosition()).toUcs4().size());
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(w))
        caret = static_cast<std::size_t>(plain->toPlainText().left(plain->textCursor().position()).toUcs4().size());
    const wnd::KeptInput kept = v.Limit(n, typed, caret);
    if (kept.text != typed) ShowKept(v, n, kept);
    if (!kept.refused.empty()) Notify(v, n, wnd::RefusedNote(kept.refused));
    v.Edited(n, kept.text);
}

void Screen::ShowKept(View& v, int n, const wnd::KeptInput& kept) {
    QWidget* w = v.cv(n) ? v.cv(n)->widget.data() : nullptr;
    QLineEdit* edit = LineEditOf(w);
    Quiet quiet(v.quiet);
    const QString shown = q(kept.text);
    // What was kept holds only code-page characters, one UTF-16 unit each: characters and Qt's
    // positions agree on it.
    const auto caret = static_cast<int>(kept.caret());
    if (edit) {
        edit->setText(shown);
        edit->setCursorPosition(caret);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
        // Only the changed part is replaced, so the box keeps its scroll position and its undo steps.
        QTextCursor cursor = plain->textCursor();
        const auto whole = static_cast<int>(plain->document()->characterCount()) - 1;
        cursor.setPosition(static_cast<int>(kept.prefix));
        cursor.setPosition(whole - static_cast<int>(kept.suffix), QTextCursor::KeepAnchor);
        cursor.insertText(shown.mid(static_cast<qsizetype>(kept.prefix), caret - static_cast<qsizetype>(kept.prefix)));
        plain->setTextCursor(cursor);
    }
}

void Screen::Notify(View& v, int n, const std::string& note) {
    // Typing goes on: the note is shown beside the control and in the status bar, never in a box.
    QWidget* w = v.cv(n) ? v.cv(n)->widget.data() : nullptr;
    if (w) QToolTip::showText(w->mapToGlobal(QPoint(0, w->height())), plainTip(note), w);
    if (frame_) frame_->statusBar()->showMessage(q(note), 5000);
    lastNote_ = note;
}

// --- Keys ----------------------------------------------------------------------------------------

bool Screen::HandleKey(View& v, int n, int qtKey, Qt::KeyboardModifiers mods, bool isOverride) {
    const wnd::KeyCode typed = KeyFromQt(qtKey, mods);
    if (typed == 0) return false;
    const wnd::KeyCode key = v.state.Translate(typed);
    const wnd::ControlState* c = v.cs(n);
    if ((c && c->Alerts(key)) || v.state.AlertsKey(key)) {
        if (isOverride) return true;  // taken from shortcuts; the KeyPress that follows is ours
        wnd::InputEvent e;
        e.kind = Kind::AlertKey;
        e.control = c ? n : 0;
        e.key = key;
        Deliver(v, std::move(e));
        return true;
    }
    if (const int target = MnemonicTarget(v, key)) {
        if (!isOverride) PressMnemonic(v, target);
        return true;  // an override taken from Qt's shortcuts: the KeyPress that follows presses it
    }
    if (key == wnd::kKeyEscape && !(c && c->Alerts(key))) {
        if (isOverride) return wnd::EscapeControl(v.state) != 0;
        if (PressEscape(v)) return true;
    }
    if (isOverride) return false;
    // Alt is a command key: with a letter that is no command of the window it types nothing.
    if ((mods & Qt::AltModifier) && !(mods & Qt::ControlModifier) && qtKey >= Qt::Key_Space && qtKey <= Qt::Key_AsciiTilde)
        return true;
    if (key == wnd::kKeyTab || key == wnd::kKeyShiftTab) {
        const int from = c ? n : v.state.focus;
        MoveFocus(v, wnd::NextTabStop(v.state, from, key == wnd::kKeyTab), true);
        return true;
    }
    if (key != wnd::kKeyEnter || !c) return false;
    switch (c->kind) {
        case ControlKind::Button: {
            wnd::InputEvent e;
            e.kind = Kind::Pressed;
            e.control = n;
            Deliver(v, std::move(e));
            return true;
        }
        case ControlKind::Text:
            if (!c->single && typed == key) return false;  // a new line
            [[fallthrough]];
        case ControlKind::Entry: case ControlKind::Spin: case ControlKind::Combo: case ControlKind::DropCombo: {
            // Enter accepts the entry whether or not it was changed.
            for (auto& e : v.Enter(n)) Deliver(v, std::move(e));
            return true;
        }
        default: return true;  // Enter presses nothing by itself
    }
}

bool Screen::WindowKey(View& v, int qtKey, Qt::KeyboardModifiers mods, bool isOverride) {
    if ((mods & ~Qt::KeypadModifier & ~Qt::ShiftModifier) != Qt::ControlModifier) return false;
    auto* sub = qobject_cast<QMdiSubWindow*>(v.root.data());
    if (qtKey == Qt::Key_F6 && mdi_) {
        // Round the windows, one way or the other.
        if (isOverride) return true;
        StepWindow(!(mods & Qt::ShiftModifier));
        return true;
    }
    if (qtKey == Qt::Key_F4 && !(mods & Qt::ShiftModifier) && v.root && v.state.kind != wnd::WindowKind::AppFrame) {
        // The window's close box: the Close event asks the task, which puts its questions.
        if (isOverride) return true;
        if (sub) sub->close();
        else v.root->close();
        return true;
    }
    return false;
}

void Screen::StepWindow(bool forward) {
    // In the order the windows were opened, wrapping round, so that the key goes round all of
    // them. A window that waits for another (a list whose form is open) is passed over: it would
    // only bring that window forward again, and from the form the key would seem to do nothing.
    const QList<QMdiSubWindow*> subs = mdi_->subWindowList(QMdiArea::CreationOrder);
    const qsizetype n = subs.size();
    qsizetype at = subs.indexOf(mdi_->activeSubWindow());
    if (at < 0) at = forward ? n - 1 : 0;
    for (qsizetype step = 1; step < n; ++step) {
        QMdiSubWindow* sub = subs[(at + (forward ? step : n - step)) % n];
        if (sub->isHidden()) continue;
        if (const View* v = Locate(sub).first; v && v->root == sub && (v->closing || waiting_.Waits(v->id))) continue;
        mdi_->setActiveSubWindow(sub);
        return;
    }
}

bool Screen::eventFilter(QObject* watched, QEvent* event) {
    if (dying_) return false;
    if (KeysWithNoActiveWindow(watched, event)) return true;
    if (HoldBack(watched, event)) return true;
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::ShortcutOverride) {
        auto [v, n] = Locate(watched);
        if (!v || !watched->isWidgetType()) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (HandleKey(*v, n, key->key(), key->modifiers(), type == QEvent::ShortcutOverride) ||
            WindowKey(*v, key->key(), key->modifiers(), type == QEvent::ShortcutOverride)) {
            event->accept();
            return true;
        }
        if (type == QEvent::KeyPress && v->cs(n) && v->cs(n)->kind == ControlKind::List && !key->text().isEmpty() &&
            key->text().at(0).isPrint() && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            // A list moves to a typed name only through the task's seeker (its alerted letters):
            // Qt's own search within the page would move a list that has none.
            event->accept();
            return true;
        }
        if (type == QEvent::KeyPress && v->cs(n) && v->cs(n)->immediate) {
            // The key reaches the task with the entry once the widget has acted on it.
            wnd::KeyCode code = KeyFromQt(key->key(), key->modifiers());
            if (code == 0 && !key->text().isEmpty()) code = key->text().at(0).toUpper().unicode() & 0xFF;
            v->lastKey = code;
            if (wnd::MovesCaret(code)) {
                // A caret move edits nothing; later answers to earlier keys are out of date (a
                // completion arriving now would undo the selection the user is making).
                v->NextRevision(n);
                const wnd::WindowId id = v->id;
                QTimer::singleShot(0, this, [this, id, n = n, code] {  // a structured binding is captured by copy
                    if (View* w = view(id)) Typed(*w, n, code);
                });
            }
        }
        return false;
    }
    if (type == QEvent::Shortcut) {
        // A button's Alt-letter presses it at once: Qt's own answer is an animated click that
        // acts only after 100 ms.
        auto* button = qobject_cast<QAbstractButton*>(watched);
        auto* shortcut = static_cast<QShortcutEvent*>(event);
        if (!button || shortcut->isAmbiguous() || shortcut->key() != button->shortcut() || !Locate(watched).first) return false;
        if (button->isEnabled()) button->click();
        return true;
    }
    if (type == QEvent::Wheel || type == QEvent::MouseButtonRelease) {
        auto [v, n] = Locate(watched);
        if (!v || !v->cs(n) || v->cs(n)->kind != ControlKind::List) return false;
        auto* list = qobject_cast<QTreeWidget*>(v->cv(n)->widget.data());
        // The rows' area and the list's scroll bar; the header is the header's own.
        if (!list || (watched != list->viewport() && watched != v->cv(n)->thumb.data())) return false;
        if (type == QEvent::MouseButtonRelease && watched != list->viewport()) return false;
        return ListMouse(*v, n, event);
    }
    if (type == QEvent::Resize) {
        // The user's resizing reaches the task in dialog units; the first layout only sets the size.
        auto [v, n] = Locate(watched);
        if (v && n != 0 && v->cs(n) && v->cs(n)->kind == ControlKind::List) {
            // A list's rows' area: the task learns how many rows the box shows now.
            if (auto* list = qobject_cast<QTreeWidget*>(v->cv(n)->widget.data()); list && watched == list->viewport())
                ReportRowsFit(*v, n);  // the viewport has its new size already
            return false;
        }
        if (!v || n != 0 || watched != v->body || v->closing) return false;
        const QSize du = TaskSize(*v, static_cast<QResizeEvent*>(event)->size());
        if (!v->shownSize.isValid() || du == v->shownSize) return false;
        v->shownSize = du;
        {
            wnd::InputEvent e;
            e.kind = Kind::Resized;
            e.width = du.width();
            e.height = du.height();
            Deliver(*v, std::move(e));
        }
        return false;
    }
    if (type == QEvent::WindowStateChange) {
        // A window manager minimises a transient window with its owner, and restores them
        // together: the keyboard goes back to a box still waiting for its answer, not to the
        // frame it stands over.
        auto* change = static_cast<QWindowStateChangeEvent*>(event);
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && w->isWindow() && (change->oldState() & Qt::WindowMinimized) && !w->isMinimized() && !dying_)
            QTimer::singleShot(0, this, [this] { RestoreBoxes(true); });
        return false;
    }
    if (type == QEvent::WindowActivate) {
        // A box minimised on its own comes back once the program is in use again.
        if (watched == frame_ && !dying_) QTimer::singleShot(0, this, [this] { RestoreBoxes(false); });
        // MDI children report their activation through the MDI area; top-level windows here.
        auto [v, n] = Locate(watched);
        if (v && n == 0 && watched == v->root && waiting_.Waits(v->id)) {
            Redirect(v->id);  // a form whose preview is open, the frame under the start-up reminders
            return false;
        }
        if (v && n == 0 && watched == v->root && v->state.kind == wnd::WindowKind::Plain) {
            wnd::InputEvent e;
            e.kind = Kind::WindowFocus;
            Deliver(*v, std::move(e));
        }
        return false;
    }
    if (type == QEvent::Close) {
        for (auto& [id, v] : views_) {
            if (v->root != watched || v->closing) continue;
            // The close box asks the task; the task closes the window.
            event->ignore();
            if (!v->inert && !asking_[v->thread]) {
                LeaveBeforeClose(*v, 0);
                wnd::InputEvent e;
                e.kind = Kind::CloseRequest;
                Deliver(*v, e);
            }
            return true;
        }
    }
    return false;
}

// --- Closing, modality, busy -----------------------------------------------------------------------

void Screen::CloseWindow(wnd::WindowId id) {
    const auto it = views_.find(id);
    if (it == views_.end()) return;
    std::unique_ptr<View> v = std::move(it->second);
    views_.erase(it);
    v->closing = true;
    // The keyboard goes back to the window that opened it, or to what that one still waits for,
    // when the closing window had it (or nothing had it): with no window manager nothing else
    // would hand it on, and Qt's own choice may be a window that waits.
    const wnd::WindowId back = waiting_.ReturnTo(id);
    waiting_.Closed(id);
    QWidget* active = QApplication::activeWindow();
    auto* closingSub = qobject_cast<QMdiSubWindow*>(v->root.data());
    const bool hadKeys = v->root && v->root != frame_ &&
                         (!active || !active->isVisible() || active == v->root ||
                          (closingSub && active == frame_ && mdi_ && mdi_->activeSubWindow() == closingSub));
    std::erase_if(owners_, [id](const auto& entry) { return entry.second.first == id; });
    if (v->root) {
        if (v->root == frame_) {
            // Children still open on other threads go with the frame's widgets; their views stay
            // until their tasks close them.
            frame_->hide();
            frame_->deleteLater();
        } else {
            v->root->hide();
            v->root->deleteLater();
            // Its control's message goes with it (a report's Cancel, a calendar's day); the window
            // the focus returns to shows its own.
            if (frame_) frame_->statusBar()->clearMessage();
            if (hadKeys && back && !dying_) BringForward(back);
        }
    }
}

bool Screen::KeysWithNoActiveWindow(QObject* watched, QEvent* event) {
    // The window system sends keys to the window that has its keyboard; Qt may still hold none
    // active when the focus came back from a window closing at that moment (a box answered as the
    // window manager focuses the frame), and then no shortcut, mnemonic or menu key acts until
    // a click. The window the keys reach is the active one: it becomes so, and the key is sent
    // again, as a key of its own, so its shortcuts act.
    if (event->type() != QEvent::KeyPress || !event->spontaneous() || !watched->isWidgetType()) return false;
    if (QApplication::activeWindow() || QApplication::activePopupWidget()) return false;
    QWidget* top = static_cast<QWidget*>(watched)->window();
    if (!top || !top->isVisible() || !top->isEnabled()) return false;
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    QApplication::setActiveWindow(top);
    QT_WARNING_POP
    if (QApplication::activeWindow() != top) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    QKeyEvent again(QEvent::KeyPress, key->key(), key->modifiers(), key->nativeScanCode(), key->nativeVirtualKey(),
                    key->nativeModifiers(), key->text(), key->isAutoRepeat(), static_cast<quint16>(key->count()));
    QWidget* to = QApplication::focusWidget() ? QApplication::focusWidget() : top;
    QCoreApplication::sendEvent(to, &again);
    return true;
}

void Screen::Redirect(wnd::WindowId id) {
    // Once the activation under way is over: Qt is still inside it.
    QTimer::singleShot(0, this, [this, id] { BringForward(id); });
}

void Screen::BringForward(wnd::WindowId id) {
    View* v = view(waiting_.Front(id));
    if (!v || !v->root || v->closing || dying_) return;
    // Within the frame the thread's windows keep their nesting too: of its MDI children the
    // innermost (a form whose preview is open) stays over the one it was opened from.
    if (mdi_ && !qobject_cast<QMdiSubWindow*>(v->root.data())) {
        const View* inner = nullptr;
        for (const auto& [wid, w] : views_)
            if (w->thread == v->thread && !w->closing && qobject_cast<QMdiSubWindow*>(w->root.data()) &&
                (!inner || w->order > inner->order))
                inner = w.get();
        if (inner) {
            auto* innerSub = qobject_cast<QMdiSubWindow*>(inner->root.data());
            if (mdi_->activeSubWindow() != innerSub) mdi_->setActiveSubWindow(innerSub);
            innerSub->raise();
        }
    }
    if (auto* sub = qobject_cast<QMdiSubWindow*>(v->root.data()); sub && mdi_) {
        if (frame_ && QApplication::activeWindow() != frame_) frame_->activateWindow();
        if (mdi_->activeSubWindow() != sub) mdi_->setActiveSubWindow(sub);
        sub->raise();
    } else {
        if (v->root->isMinimized()) v->root->showNormal();  // a window manager minimised it
        v->root->raise();
        v->root->activateWindow();
    }
    // A box its thread asks stands over it and keeps the keys.
    if (asking_[v->thread])
        for (const auto& p : questions_)
            if (auto* box = qobject_cast<QMessageBox*>(p.data());
                box && box->isVisible() && box->property(kAskingThread).toInt() == v->thread) {
                ShowBox(*box);
                return;
            }
    if (v->usable) FocusWidget(*v, v->state.focus);
}

void Screen::ShowBox(QMessageBox& box) {
    if (box.isMinimized()) box.showNormal();
    box.raise();
    box.activateWindow();
}

void Screen::RestoreBoxes(bool all) {
    for (const auto& p : questions_)
        if (auto* box = qobject_cast<QMessageBox*>(p.data()); box && box->isVisible() && (all || box->isMinimized())) {
            ShowBox(*box);
            return;  // one has the keyboard; the others stand where they are
        }
}

void Screen::ApplyUsable(View& v) {
    const bool usable = !v.inert && !asking_[v.thread];
    const bool resumed = usable && !v.usable;
    v.usable = usable;
    // A popup menu takes every key and click while it is open: the window under it keeps its
    // look (greyed, it would seem disabled for the menu's sake).
    const bool looksUsable = usable || UnderPopup(v);
    if (v.state.kind == wnd::WindowKind::AppFrame) {
        // Only the frame's own parts: the MDI children may belong to other threads.
        if (v.menuBar) v.menuBar->setEnabled(looksUsable);
        if (v.body) v.body->setEnabled(looksUsable);
    } else if (auto* sub = qobject_cast<QMdiSubWindow*>(v.root.data())) {
        if (sub->widget()) sub->widget()->setEnabled(looksUsable);
    } else if (v.root) {
        v.root->setEnabled(looksUsable);
    }
    if (resumed && !dying_) Resume(v);
}

void Screen::Resume(View& v) {
    if (!v.root || !v.root->isVisible() || v.closing) return;
    QWidget* top = v.root->window();  // an MDI child's is the frame
    QWidget* active = QApplication::activeWindow();
    const bool asked = std::any_of(questions_.begin(), questions_.end(), [active](const QPointer<QWidget>& p) { return p == active; });
    if (active && active != top && active->isVisible() && !asked) return;  // the user is at work elsewhere
    auto* sub = qobject_cast<QMdiSubWindow*>(v.root.data());
    if (sub && mdi_) {
        QMdiSubWindow* current = mdi_->activeSubWindow();
        if (current && current != sub && current->isVisible()) return;
    }
    top->activateWindow();
    if (sub && mdi_) mdi_->setActiveSubWindow(sub);
    FocusWidget(v, v.state.focus);
}

void Screen::ApplyThread(int thread) {
    for (auto& [id, v] : views_)
        if (v->thread == thread) ApplyUsable(*v);
}

void Screen::SetInert(wnd::WindowId id, bool inert) {
    if (View* v = view(id)) {
        v->inert = inert;
        ApplyUsable(*v);
    }
}

void Screen::ShowStatus(const std::string& text) {
    if (!frame_) return;
    if (text.empty()) frame_->statusBar()->clearMessage();
    else frame_->statusBar()->showMessage(q(text));
}

void Screen::SetBusy(int thread, bool busy) {
    for (auto& [id, v] : views_) {
        if (v->thread != thread || !v->root) continue;
        QWidget* w = v->state.kind == wnd::WindowKind::AppFrame && mdi_ ? v->body.data() : v->root.data();
        if (!w) continue;
        if (busy) w->setCursor(Qt::WaitCursor);
        else w->unsetCursor();
    }
}

bool Screen::UnderPopup(const View& v) const {
    const auto asked = asking_.find(v.thread);
    const auto popups = popups_.find(v.thread);
    return !v.inert && asked != asking_.end() && asked->second > 0 && popups != popups_.end() && popups->second == asked->second;
}

void Screen::Deliver(View& v, wnd::InputEvent e) {
    // A window that keeps its look under its popup menu still takes no input while the menu is open.
    if (UnderPopup(v)) switch (e.kind) {
        case Kind::Accepted: case Kind::Pressed: case Kind::NewSelection: case Kind::AlertKey:
        case Kind::CloseRequest: case Kind::MouseUp: case Kind::Scrolled: case Kind::Typed: return;
        default: break;
    }
    e.window = v.id;
    if (!v.sink) return;
    const Kind kind = e.kind;
    v.sink->Deliver(std::move(e));
    HoldAfter(v.thread, *v.sink, kind);
}

// --- For tests -----------------------------------------------------------------------------------

wnd::WindowId Screen::Find(std::string_view name) const {
    const View* best = nullptr;
    for (const auto& [id, v] : views_) {
        const bool match = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())).compare(q(v->state.procedure), Qt::CaseInsensitive) == 0 ||
                           v->state.caption == name;
        if (match && (!best || v->order > best->order)) best = v.get();
    }
    return best ? best->id : 0;
}

QWidget* Screen::WindowWidget(wnd::WindowId id) const {
    View* v = view(id);
    return v ? v->root.data() : nullptr;
}

QWidget* Screen::ControlWidget(wnd::WindowId id, std::string_view use) const {
    View* v = view(id);
    if (!v) return nullptr;
    const int n = v->state.controlByUse(use);
    return n ? v->cv(n)->widget.data() : nullptr;
}

QAction* Screen::MenuAction(wnd::WindowId id, std::string_view use) const {
    View* v = view(id);
    if (!v) return nullptr;
    const int n = v->state.controlByUse(use);
    return n ? v->cv(n)->action.data() : nullptr;
}

QMainWindow* Screen::Frame() const { return frame_; }

std::vector<QMessageBox*> Screen::MessageBoxes() const {
    std::vector<QMessageBox*> out;
    for (const auto& p : questions_)
        if (auto* box = qobject_cast<QMessageBox*>(p.data()); box && box->isVisible()) out.push_back(box);
    return out;
}

std::vector<QMenu*> Screen::PopupMenus() const {
    std::vector<QMenu*> out;
    for (const auto& p : questions_)
        if (auto* menu = qobject_cast<QMenu*>(p.data()); menu && menu->isVisible()) out.push_back(menu);
    return out;
}

}  // namespace qtp
