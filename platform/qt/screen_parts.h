#pragma once
// What the parts of the Qt presenter's GUI side share: the mirror of one window and its controls,
// and small helpers. GUI thread only; included by the screen*.cpp files and nothing else.
#include <QAbstractSpinBox>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QRect>
#include <QScrollBar>
#include <QSize>
#include <QString>
#include <QTextDocument>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/qt/screen.h"
#include "platform/qt/spin_edit.h"
#include "platform/qt/window_font.h"
#include "platform/window/input_mirror.h"

class QButtonGroup;

namespace qtp::detail {

using wnd::ControlKind;
using Kind = wnd::InputEvent::Kind;

inline QString q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
inline std::string u(const QString& s) { return s.toUtf8().toStdString(); }
// A tip shown as the plain text it is: Qt would render a tip that looks like markup as rich text.
inline QString plainTip(const std::string& s) {
    return s.empty() ? QString() : Qt::convertFromPlainText(q(s), Qt::WhiteSpacePre);  // unwrapped, as plain text is
}

inline bool isMenuKind(ControlKind k) {
    return k == ControlKind::MenuBar || k == ControlKind::Menu || k == ControlKind::Item || k == ControlKind::Separator;
}

inline QString withoutMnemonic(const QString& s) {
    QString out = s;
    return out.remove('&');
}


// An entry's value shown from its start: a long value reads from its first character, its end
// only while the user types. With `selected` the whole value is selected, the caret at its start.
inline void ShowFromStart(QLineEdit& edit, bool selected) {
    if (selected) edit.setSelection(static_cast<int>(edit.text().size()), -static_cast<int>(edit.text().size()));
    else edit.setCursorPosition(0);
}

// The property of a message box that names the task thread asking it.
inline constexpr const char* kAskingThread = "askingThread";

// Sets a flag for the presenter's own widget changes.
struct Quiet {
    int& n;
    explicit Quiet(int& c) : n(c) { ++n; }
    ~Quiet() { --n; }
};

}  // namespace qtp::detail

namespace qtp {

struct Screen::ControlView {
    QPointer<QWidget> widget;     // the control's own widget (a menu bar for a menu bar)
    QPointer<QAction> action;     // menu items and menus
    QPointer<QMenu> menu;         // menus
    QPointer<QWidget> container;  // where enclosed controls go: a group box or a tab's page
    QPointer<QScrollBar> thumb;   // a paged list's own scroll bar: the task's thumb, 0..100
    QRect placed;                 // where Place put the control (the list and its scroll bar together)
    QButtonGroup* group = nullptr;  // an option's radios (owned by the option's widget)
    QPoint origin;                // the container's origin in window pixels
    int nextY = 0;                // where the next control without a position goes in the container
    int rowsFit = 0;              // lists: the whole rows last reported to the task
    int tabExtra = 0;             // sheets: the height their tabs' rows beyond the first add
};

// One window: the input protocol's mirror of it (id, state, revisions, typed controls, focus
// commands) and its widgets.
struct Screen::View : wnd::InputMirror {
    int thread = 0;
    std::uint64_t order = 0;
    std::shared_ptr<wnd::InputSink> sink;
    bool inert = false;
    bool usable = true;   // what ApplyUsable made it last
    bool closing = false;
    QPointer<QWidget> root;  // QMainWindow, QMdiSubWindow or a top-level QWidget
    QPointer<QWidget> body;  // the controls' surface
    QPointer<QMenuBar> menuBar;
    std::vector<ControlView> controls;
    std::map<int, std::shared_ptr<const wnd::PageSet>> pages;  // what each preview control shows
    wnd::KeyCode lastKey = 0;  // the key of the keystroke being handled, for an immediate combo
    int quiet = 0;  // the presenter itself is changing widgets: no input from their signals
    int nextY = 4;
    QFont font;
    DialogUnits units;  // the window font's dialog unit
    QSize shownSize;  // the body's last size in dialog units; invalid until it was first laid out
    QSize leastSize;  // the body's least size in pixels, without the sheets' further rows of tabs
    QSize designedUnits;  // the window's designed size in dialog units
    int designedExtra = 0;  // what the sheets' further rows of tabs add at the designed size (pixels)

    int px(int x) const { return units.ToPixelsX(x); }
    int py(int y) const { return units.ToPixelsY(y); }
    int lineHeight() const { return units.height; }
    ControlView* cv(int n) { return n >= 1 && static_cast<std::size_t>(n) <= controls.size() ? &controls[static_cast<std::size_t>(n - 1)] : nullptr; }
};

}  // namespace qtp
