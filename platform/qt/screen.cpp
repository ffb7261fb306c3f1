#include "platform/qt/screen.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QCursor>
#include <QDesktopServices>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "platform/qt/key_map.h"
#include "platform/qt/list_format.h"
#include "platform/qt/program_icon.h"

namespace qtp {
namespace {

using wnd::ControlKind;
using Kind = wnd::InputEvent::Kind;

QString q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
std::string u(const QString& s) { return s.toUtf8().toStdString(); }

bool isMenuKind(ControlKind k) {
    return k == ControlKind::MenuBar || k == ControlKind::Menu || k == ControlKind::Item || k == ControlKind::Separator;
}

// A spin box over the text the task side formats: the arrows step the number in it.
class SpinEdit final : public QAbstractSpinBox {
public:
    explicit SpinEdit(QWidget* parent) : QAbstractSpinBox(parent) {}
    QLineEdit* edit() const { return lineEdit(); }
    std::function<void()> onStep;

    void stepBy(int steps) override {
        if (isReadOnly()) return;
        const QString text = lineEdit()->text().trimmed();
        bool ok = false;
        const double value = text.isEmpty() ? 0 : QLocale::c().toDouble(text, &ok);
        if (!text.isEmpty() && !ok) return;
        const int decimals = text.contains('.') ? static_cast<int>(text.size() - text.indexOf('.') - 1) : 0;
        lineEdit()->setText(QString::number(value + steps, 'f', decimals));
        if (onStep) onStep();
    }

protected:
    StepEnabled stepEnabled() const override { return isReadOnly() ? StepNone : (StepUpEnabled | StepDownEnabled); }
};

QString withoutMnemonic(const QString& s) {
    QString out = s;
    return out.remove('&');
}

}  // namespace

struct Screen::ControlView {
    QPointer<QWidget> widget;     // the control's own widget (a menu bar for a menu bar)
    QPointer<QAction> action;     // menu items and menus
    QPointer<QMenu> menu;         // menus
    QPointer<QWidget> container;  // where enclosed controls go: a group box or a tab's page
    QButtonGroup* group = nullptr;  // an option's radios (owned by the option's widget)
    QPoint origin;                // the container's origin in window pixels
    int nextY = 0;                // where the next control without a position goes in the container
};

struct Screen::View {
    wnd::WindowId id = 0;
    int thread = 0;
    std::uint64_t order = 0;
    wnd::WindowState state;
    std::shared_ptr<wnd::InputSink> sink;
    bool inert = false;
    bool closing = false;
    QPointer<QWidget> root;  // QMainWindow, QMdiSubWindow or a top-level QWidget
    QPointer<QWidget> body;  // the controls' surface
    QPointer<QMenuBar> menuBar;
    std::vector<ControlView> controls;
    std::map<int, std::uint64_t> revision;  // latest input revision per control
    std::set<int> dirty;                    // typed into and not yet accepted
    std::uint64_t focusCommands = 0;
    int quiet = 0;  // the presenter itself is changing widgets: no input from their signals
    int nextY = 4;
    QFont font;
    int charWidth = 6, charHeight = 13;

    int px(int x) const { return x * charWidth / 4; }
    int py(int y) const { return y * charHeight / 8; }
    ControlView* cv(int n) { return n >= 1 && static_cast<std::size_t>(n) <= controls.size() ? &controls[static_cast<std::size_t>(n - 1)] : nullptr; }
    wnd::ControlState* cs(int n) { return n >= 1 && static_cast<std::size_t>(n) <= state.controls.size() ? &state.controls[static_cast<std::size_t>(n - 1)] : nullptr; }
};

namespace {
// Sets a flag for the presenter's own widget changes.
struct Quiet {
    int& n;
    explicit Quiet(int& c) : n(c) { ++n; }
    ~Quiet() { --n; }
};
}  // namespace

Screen::Screen() {
    qApp->setWindowIcon(ProgramIcon());
    qApp->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { OnFocusChanged(now); });
}

Screen::~Screen() {
    dying_ = true;
    qApp->removeEventFilter(this);
    for (auto& p : questions_) delete p.data();
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

    v.font = QApplication::font();
    if (!state.font.name.empty() && QFontDatabase::families().contains(q(state.font.name))) v.font.setFamily(q(state.font.name));
    if (state.font.points > 0) v.font.setPointSize(state.font.points);
    if (state.font.weight >= 600) v.font.setBold(true);
    const QFontMetrics fm(v.font);
    v.charWidth = std::max(1, fm.averageCharWidth());
    v.charHeight = std::max(1, fm.height());

    const QString caption = q(state.caption);
    QWidget* content = nullptr;  // what holds the menu bar and the body
    if (state.kind == wnd::WindowKind::AppFrame) {
        auto* frame = new QMainWindow;
        frame->setAttribute(Qt::WA_DeleteOnClose, false);
        auto* mdi = new QMdiArea(frame);
        mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        if (!state.wallpaper.empty()) {
            const QPixmap wall(q(state.wallpaper));
            if (!wall.isNull()) mdi->setBackground(wall);
        }
        frame->setCentralWidget(mdi);
        connect(mdi, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
            if (!sub) return;
            for (auto& [wid, w] : views_)
                if (w->root == sub) {
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
        v.root = frame;
        owners_[frame] = {id, 0};
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
        lay->addWidget(v.body);
        if (state.kind == wnd::WindowKind::MdiChild && mdi_) {
            auto* sub = new QMdiSubWindow;
            sub->setWidget(content);
            sub->setAttribute(Qt::WA_DeleteOnClose, false);
            mdi_->addSubWindow(sub);
            v.root = sub;
        } else {
            content->setWindowFlags(Qt::Window);
            v.root = content;
        }
        owners_[v.root] = {id, 0};
    }
    v.body->setFont(v.font);
    owners_[v.body] = {id, 0};
    v.root->setWindowTitle(caption);
    v.root->setWindowIcon(ProgramIcon());

    for (int n = 1; n <= static_cast<int>(state.controls.size()); ++n) Build(v, n);
    FinishLayout(v);
    if (state.kind == wnd::WindowKind::AppFrame) {
        BuildWindowMenu();
        v.root->resize(state.at.width > 0 ? v.px(state.at.width) : 800, state.at.height > 0 ? v.py(state.at.height) : 600);
    } else {
        v.root->adjustSize();
    }
    if (state.at.x > 0 || state.at.y > 0) v.root->move(v.px(state.at.x), v.py(state.at.y));
    v.root->show();
    if (state.kind == wnd::WindowKind::MdiChild && mdi_) mdi_->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(v.root.data()));
    ApplyUsable(v);
    FocusWidget(v, state.focus);
}

void Screen::Build(View& v, int n) {
    wnd::ControlState& c = *v.cs(n);
    ControlView& self = *v.cv(n);
    ControlView* parent = v.cv(c.parent);
    const wnd::ControlState* parentState = v.cs(c.parent);
    const QString text = q(c.text);

    if (isMenuKind(c.kind)) {
        QMenu* parentMenu = parent ? parent->menu.data() : nullptr;
        QMenuBar* bar = v.menuBar;
        switch (c.kind) {
            case ControlKind::MenuBar: self.widget = bar; break;
            case ControlKind::Menu:
                self.menu = parentMenu ? parentMenu->addMenu(text) : bar ? bar->addMenu(text) : nullptr;
                if (self.menu) {
                    self.action = self.menu->menuAction();
                    if (v.state.kind == wnd::WindowKind::AppFrame && !parentMenu && withoutMnemonic(text).compare("Window", Qt::CaseInsensitive) == 0)
                        windowMenu_ = self.menu;
                }
                break;
            case ControlKind::Item:
                self.action = parentMenu ? parentMenu->addAction(text) : bar ? bar->addAction(text) : nullptr;
                if (self.action) {
                    const wnd::WindowId id = v.id;
                    connect(self.action, &QAction::triggered, this, [this, id, n] {
                        View* w = view(id);
                        if (!w || w->quiet) return;
                        Leave(*w);  // the typed text is accepted before the command runs
                        wnd::InputEvent e;
                        e.kind = Kind::Pressed;
                        e.control = n;
                        Deliver(*w, e);
                    });
                }
                break;
            default:
                self.action = parentMenu ? parentMenu->addSeparator() : nullptr;
                break;
        }
        if (self.action) owners_[self.action] = {v.id, n};
        Apply(v, n);
        return;
    }

    QWidget* host = parent && parent->container ? parent->container.data() : v.body.data();
    if (parentState && parentState->kind == ControlKind::Sheet && c.kind != ControlKind::Tab) host = v.body;
    const wnd::WindowId id = v.id;
    auto edited = [this, id, n] {
        if (View* w = view(id); w && !w->quiet) Edited(*w, n);
    };
    auto select = [this, id, n](int row) {
        View* w = view(id);
        if (!w || w->quiet) return;
        MoveFocus(*w, n, false);
        wnd::InputEvent e;
        e.kind = Kind::NewSelection;
        e.control = n;
        e.row = row;
        e.revision = ++w->revision[n];
        Deliver(*w, e);
    };
    QWidget* widget = nullptr;
    switch (c.kind) {
        case ControlKind::String: case ControlKind::Prompt: {
            auto* label = new QLabel(host);
            label->setTextFormat(Qt::PlainText);
            widget = label;
            break;
        }
        case ControlKind::Image: {
            auto* label = new QLabel(host);
            label->setAlignment(Qt::AlignCenter);
            widget = label;
            break;
        }
        case ControlKind::Region: {
            auto* frame = new QFrame(host);
            frame->setFrameShape(QFrame::NoFrame);
            frame->setAttribute(Qt::WA_TransparentForMouseEvents);
            widget = frame;
            break;
        }
        case ControlKind::Group: case ControlKind::Option: {
            auto* box = new QGroupBox(host);
            widget = box;
            self.container = box;
            self.nextY = v.charHeight + 4;
            if (c.kind == ControlKind::Option) {
                self.group = new QButtonGroup(box);
                self.group->setExclusive(true);
            }
            break;
        }
        case ControlKind::Entry: {
            auto* edit = new QLineEdit(host);
            connect(edit, &QLineEdit::textEdited, this, edited);
            widget = edit;
            break;
        }
        case ControlKind::Text: {
            if (c.single) {
                auto* edit = new QLineEdit(host);
                connect(edit, &QLineEdit::textEdited, this, edited);
                widget = edit;
            } else {
                auto* edit = new QPlainTextEdit(host);
                edit->setTabChangesFocus(true);
                connect(edit, &QPlainTextEdit::textChanged, this, edited);
                widget = edit;
            }
            break;
        }
        case ControlKind::Spin: {
            auto* spin = new SpinEdit(host);
            connect(spin->edit(), &QLineEdit::textEdited, this, edited);
            spin->onStep = edited;
            widget = spin;
            break;
        }
        case ControlKind::Button: {
            auto* button = new QPushButton(host);
            button->setAutoDefault(false);
            connect(button, &QPushButton::clicked, this, [this, id, n] {
                View* w = view(id);
                if (!w || w->quiet) return;
                MoveFocus(*w, n, false);
                wnd::InputEvent e;
                e.kind = Kind::Pressed;
                e.control = n;
                Deliver(*w, e);
            });
            widget = button;
            break;
        }
        case ControlKind::Check: {
            auto* check = new QCheckBox(host);
            connect(check, &QCheckBox::clicked, this, [this, id, n](bool on) {
                View* w = view(id);
                if (!w || w->quiet) return;
                MoveFocus(*w, n, false);
                w->cs(n)->checked = on;
                wnd::InputEvent e;
                e.kind = Kind::Accepted;
                e.control = n;
                e.text.assign(1, on ? '1' : '0');
                Deliver(*w, e);
            });
            widget = check;
            break;
        }
        case ControlKind::Radio: {
            auto* radio = new QRadioButton(host);
            if (parent && parent->group) parent->group->addButton(radio);
            connect(radio, &QRadioButton::clicked, this, [this, id, n] {
                View* w = view(id);
                if (!w || w->quiet) return;
                MoveFocus(*w, n, false);
                for (wnd::ControlState& r : w->state.controls)
                    if (r.kind == ControlKind::Radio && r.parent == w->cs(n)->parent) r.checked = r.number == n;
                wnd::InputEvent e;
                e.kind = Kind::Accepted;
                e.control = n;
                Deliver(*w, e);
            });
            widget = radio;
            break;
        }
        case ControlKind::List: {
            auto* list = new QTreeWidget(host);
            list->setRootIsDecorated(false);
            list->setUniformRowHeights(true);
            list->setAllColumnsShowFocus(true);
            list->setSelectionMode(QAbstractItemView::SingleSelection);
            connect(list, &QTreeWidget::currentItemChanged, this, [select, list](QTreeWidgetItem* now, QTreeWidgetItem*) {
                if (now) select(list->indexOfTopLevelItem(now) + 1);
            });
            widget = list;
            break;
        }
        case ControlKind::DropList: case ControlKind::Combo: case ControlKind::DropCombo: {
            auto* combo = new QComboBox(host);
            if (c.kind != ControlKind::DropList) {
                combo->setEditable(true);
                // The completion of a lookup combo is the task side's: none of Qt's own.
                combo->setCompleter(nullptr);
                combo->setInsertPolicy(QComboBox::NoInsert);
                connect(combo->lineEdit(), &QLineEdit::textEdited, this, edited);
            }
            connect(combo, &QComboBox::activated, this, [select](int index) {
                if (index >= 0) select(index + 1);
            });
            widget = combo;
            break;
        }
        case ControlKind::Sheet: {
            auto* sheet = new QTabWidget(host);
            connect(sheet, &QTabWidget::currentChanged, this, [this, id, n, sheet](int index) {
                View* w = view(id);
                if (!w || w->quiet || index < 0) return;
                const auto [owner, tab] = Locate(sheet->widget(index));
                if (owner != w || tab == 0) return;
                Leave(*w);
                w->cs(n)->choice = tab;
                wnd::InputEvent e;
                e.kind = Kind::NewSelection;
                e.control = n;
                e.row = tab;
                Deliver(*w, e);
            });
            widget = sheet;
            break;
        }
        case ControlKind::Tab: {
            auto* sheet = parent ? qobject_cast<QTabWidget*>(parent->widget.data()) : nullptr;
            auto* page = new QWidget;
            if (sheet) {
                Quiet quiet(v.quiet);
                sheet->addTab(page, text);
                self.origin = parent->widget->pos() + QPoint(2, sheet->tabBar()->sizeHint().height() + 2);
            } else {
                page->setParent(host);
            }
            self.container = page;
            self.nextY = 4;
            widget = page;
            break;
        }
        case ControlKind::Progress: {
            auto* bar = new QProgressBar(host);
            bar->setRange(0, 100);
            widget = bar;
            break;
        }
        default: {
            widget = new QWidget(host);
            break;
        }
    }
    self.widget = widget;
    owners_[widget] = {v.id, n};
    if (c.kind == ControlKind::Group || c.kind == ControlKind::Option) self.origin = QPoint(v.px(c.at.x), v.py(c.at.y));
    if (c.kind != ControlKind::Tab) Place(v, n);
    Apply(v, n);
    widget->show();
}

// Dialog units relative to the container; a control without any position is stacked below the
// one before it in its container.
void Screen::Place(View& v, int n) {
    const wnd::ControlState& c = *v.cs(n);
    QWidget* w = v.cv(n)->widget;
    if (!w) return;
    ControlView* parent = v.cv(c.parent);
    ControlView* holder = parent && parent->container ? parent : nullptr;
    const QSize hint = w->sizeHint();
    const int width = c.at.width > 0 ? v.px(c.at.width) : hint.width();
    const int height = c.at.height > 0 ? v.py(c.at.height) : hint.height();
    const bool unplaced = c.at.x == 0 && c.at.y == 0 && c.at.width == 0 && c.at.height == 0;
    QPoint at;
    int& nextY = holder ? holder->nextY : v.nextY;
    if (unplaced) {
        at = QPoint(6, nextY);
    } else {
        at = QPoint(v.px(c.at.x), v.py(c.at.y)) - (holder ? holder->origin : QPoint());
    }
    nextY = std::max(nextY, at.y() + height + 4);
    w->setGeometry(QRect(at, QSize(std::max(width, 8), std::max(height, 8))));
}

void Screen::FinishLayout(View& v) {
    // Containers without a size of their own fit what they hold; then the window fits its body.
    for (int n = static_cast<int>(v.controls.size()); n >= 1; --n) {
        const wnd::ControlState& c = *v.cs(n);
        ControlView& cv = *v.cv(n);
        if (!cv.widget || isMenuKind(c.kind)) continue;
        if (c.kind == ControlKind::Group || c.kind == ControlKind::Option) {
            const QRect inner = cv.widget->childrenRect();
            if (c.at.width == 0) cv.widget->resize(std::max(cv.widget->width(), inner.right() + 8), cv.widget->height());
            if (c.at.height == 0) cv.widget->resize(cv.widget->width(), std::max(cv.widget->height(), inner.bottom() + 8));
        } else if (c.kind == ControlKind::Sheet) {
            auto* sheet = static_cast<QTabWidget*>(cv.widget.data());
            QSize need;
            for (int i = 0; i < sheet->count(); ++i) {
                const QRect r = sheet->widget(i)->childrenRect();
                need = need.expandedTo(QSize(r.right() + 8, r.bottom() + 8));
            }
            need += QSize(4, sheet->tabBar()->sizeHint().height() + 6);
            if (c.at.width == 0) sheet->resize(std::max(sheet->width(), need.width()), sheet->height());
            if (c.at.height == 0) sheet->resize(sheet->width(), std::max(sheet->height(), need.height()));
        }
    }
    // Unplaced controls after a sized container go below it.
    const QRect used = v.body->childrenRect();
    const int width = v.state.at.width > 0 ? v.px(v.state.at.width) : used.right() + 8;
    const int height = v.state.at.height > 0 ? v.py(v.state.at.height) : used.bottom() + 8;
    v.body->setMinimumSize(std::max(width, 40), std::max(height, 20));
    if (v.state.kind == wnd::WindowKind::AppFrame) {
        const bool any = std::any_of(v.state.controls.begin(), v.state.controls.end(),
                                     [](const wnd::ControlState& c) { return !isMenuKind(c.kind); });
        if (auto* bar = qobject_cast<QToolBar*>(v.body->parentWidget())) bar->setVisible(any);
    }
    // A prompt's mnemonic moves the focus to the control after it.
    for (int n = 1; n <= static_cast<int>(v.controls.size()); ++n) {
        if (v.cs(n)->kind != ControlKind::Prompt) continue;
        const int next = wnd::NextTabStop(v.state, n);
        auto* label = qobject_cast<QLabel*>(v.cv(n)->widget.data());
        if (label && next > n && v.cv(next)->widget) {
            label->setTextFormat(Qt::AutoText);
            label->setBuddy(v.cv(next)->widget);
        }
    }
}

// --- Properties ---------------------------------------------------------------------------------

void Screen::Apply(View& v, int n) {
    Quiet quiet(v.quiet);
    const wnd::ControlState& c = *v.cs(n);
    ControlView& self = *v.cv(n);
    const QString text = q(c.text);
    if (self.action) {
        if (c.kind != ControlKind::Separator) self.action->setText(text);
        self.action->setVisible(!c.hidden);
        self.action->setEnabled(!c.disabled);
        self.action->setStatusTip(q(c.message));
        self.action->setToolTip(q(c.tip));
        return;
    }
    QWidget* w = self.widget;
    if (!w) return;
    switch (c.kind) {
        case ControlKind::String: static_cast<QLabel*>(w)->setText(text); break;
        case ControlKind::Prompt: {
            auto* label = static_cast<QLabel*>(w);
            label->setText(label->buddy() ? text : withoutMnemonic(text));
            break;
        }
        case ControlKind::Image: {
            const QString file = q(c.text.empty() ? c.icon : c.text);
            const QPixmap pm(file);
            auto* label = static_cast<QLabel*>(w);
            if (!pm.isNull()) label->setPixmap(pm);
            else label->setPixmap(ProgramIcon().pixmap(32));
            break;
        }
        case ControlKind::Group: case ControlKind::Option: static_cast<QGroupBox*>(w)->setTitle(text); break;
        case ControlKind::Button: static_cast<QPushButton*>(w)->setText(text); break;
        case ControlKind::Check: {
            auto* check = static_cast<QCheckBox*>(w);
            check->setText(text);
            check->setChecked(c.checked);
            break;
        }
        case ControlKind::Radio: {
            auto* radio = static_cast<QRadioButton*>(w);
            radio->setText(text);
            if (c.checked) radio->setChecked(true);
            break;
        }
        case ControlKind::Entry: case ControlKind::Text: case ControlKind::Spin: case ControlKind::Combo:
        case ControlKind::DropCombo:
            // A control being typed into keeps the user's text; the task's value comes with SetText.
            if (!v.dirty.count(n)) {
                if (auto* edit = qobject_cast<QLineEdit*>(w)) {
                    if (edit->text() != text) edit->setText(text);
                    edit->setReadOnly(c.readOnly);
                } else if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
                    if (plain->toPlainText() != text) plain->setPlainText(text);
                    plain->setReadOnly(c.readOnly);
                } else if (auto* spin = dynamic_cast<SpinEdit*>(w)) {
                    if (spin->edit()->text() != text) spin->edit()->setText(text);
                    spin->setReadOnly(c.readOnly);
                } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
                    if (combo->currentText() != text) combo->setEditText(text);
                    if (combo->lineEdit()) combo->lineEdit()->setReadOnly(c.readOnly);
                }
            }
            break;
        case ControlKind::DropList: {
            auto* combo = static_cast<QComboBox*>(w);
            const int at = c.choice >= 1 ? c.choice - 1 : combo->findText(text);
            combo->setCurrentIndex(at);
            break;
        }
        case ControlKind::List: {
            auto* list = static_cast<QTreeWidget*>(w);
            const auto columns = ParseListFormat(c.format);
            list->setColumnCount(std::max<int>(1, static_cast<int>(columns.size())));
            list->setHeaderHidden(columns.empty() || std::all_of(columns.begin(), columns.end(), [](const ListColumn& col) { return col.header.empty(); }));
            QStringList headers;
            for (const ListColumn& col : columns) headers << q(col.header);
            if (!columns.empty()) list->setHeaderLabels(headers);
            for (std::size_t i = 0; i < columns.size(); ++i) {
                if (columns[i].width > 0) list->setColumnWidth(static_cast<int>(i), v.px(columns[i].width));
                list->headerItem()->setTextAlignment(static_cast<int>(i), columns[i].align == 'R' || columns[i].align == 'D' ? Qt::AlignRight : columns[i].align == 'C' ? Qt::AlignHCenter : Qt::AlignLeft);
            }
            if (c.choice >= 1 && c.choice <= list->topLevelItemCount()) list->setCurrentItem(list->topLevelItem(c.choice - 1));
            break;
        }
        case ControlKind::Sheet: {
            auto* sheet = static_cast<QTabWidget*>(w);
            if (ControlView* tab = v.cv(c.choice); tab && tab->container) {
                const int index = sheet->indexOf(tab->container);
                if (index >= 0) sheet->setCurrentIndex(index);
            }
            break;
        }
        case ControlKind::Tab: {
            ControlView* parent = v.cv(c.parent);
            if (auto* sheet = parent ? qobject_cast<QTabWidget*>(parent->widget.data()) : nullptr) {
                const int index = sheet->indexOf(w);
                if (index >= 0) {
                    sheet->setTabText(index, text);
                    sheet->setTabVisible(index, !c.hidden);
                    sheet->setTabEnabled(index, !c.disabled);
                }
            }
            break;
        }
        case ControlKind::Progress: static_cast<QProgressBar*>(w)->setValue(std::clamp(text.toInt(), 0, 100)); break;
        default: break;
    }
    if (c.kind != ControlKind::Tab) {
        w->setHidden(c.hidden);
        w->setEnabled(!c.disabled);
    }
    w->setToolTip(q(c.tip));
    w->setStatusTip(q(c.message));
    // Focus follows the task's tab order only (Tab is handled by the key filter).
    if (!wnd::TakesFocus(c.kind) && c.kind != ControlKind::Sheet) w->setFocusPolicy(Qt::NoFocus);
}

void Screen::UpdateWindow(wnd::WindowId id, const wnd::WindowState& state) {
    View* v = view(id);
    if (!v) return;
    auto controls = std::move(v->state.controls);
    v->state = state;
    v->state.controls = std::move(controls);
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
    v->state.controls[n - 1] = control;
    if (old.x != control.at.x || old.y != control.at.y || old.width != control.at.width || old.height != control.at.height)
        Place(*v, control.number);
    Apply(*v, control.number);
}

void Screen::SetText(wnd::WindowId id, int n, const std::string& text, std::uint64_t answersRevision) {
    View* v = view(id);
    if (!v || !v->cs(n)) return;
    if (answersRevision < v->revision[n]) return;  // the user has typed on since
    v->cs(n)->text = text;
    v->dirty.erase(n);
    Apply(*v, n);
}

void Screen::SetRows(wnd::WindowId id, int n, const std::vector<std::vector<std::string>>& rows) {
    View* v = view(id);
    if (!v || !v->cv(n) || !v->cv(n)->widget) return;
    Quiet quiet(v->quiet);
    QWidget* w = v->cv(n)->widget;
    if (auto* list = qobject_cast<QTreeWidget*>(w)) {
        list->clear();
        QList<QTreeWidgetItem*> items;
        const auto columns = ParseListFormat(v->cs(n)->format);
        for (const auto& row : rows) {
            auto* item = new QTreeWidgetItem;
            for (std::size_t i = 0; i < row.size(); ++i) {
                item->setText(static_cast<int>(i), q(row[i]));
                if (i < columns.size() && (columns[i].align == 'R' || columns[i].align == 'D'))
                    item->setTextAlignment(static_cast<int>(i), Qt::AlignRight | Qt::AlignVCenter);
            }
            items << item;
        }
        list->addTopLevelItems(items);
        const int choice = v->cs(n)->choice;
        if (choice >= 1 && choice <= list->topLevelItemCount()) list->setCurrentItem(list->topLevelItem(choice - 1));
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        const QString typed = combo->currentText();
        combo->clear();
        for (const auto& row : rows) combo->addItem(row.empty() ? QString() : q(row[0]));
        if (combo->isEditable()) combo->setEditText(typed);
        else combo->setCurrentIndex(v->cs(n)->choice - 1);
    }
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
    if (frame_ && !v.cs(n)->message.empty()) frame_->statusBar()->showMessage(q(v.cs(n)->message));
}

void Screen::SetFocus(wnd::WindowId id, int n) {
    View* v = view(id);
    if (!v) return;
    v->state.focus = n;
    ++v->focusCommands;
    FocusWidget(*v, n);
}

void Screen::Leave(View& v) {
    const int f = v.state.focus;
    if (!v.dirty.count(f)) return;
    v.dirty.erase(f);
    wnd::InputEvent e;
    e.kind = Kind::Accepted;
    e.control = f;
    e.text = CurrentText(v, f);
    e.revision = v.revision[f];
    v.cs(f)->text = e.text;
    Deliver(v, std::move(e));
}

void Screen::MoveFocus(View& v, int n, bool applyToWidget) {
    if (n == 0 || n == v.state.focus) return;
    Leave(v);
    v.state.focus = n;
    wnd::InputEvent e;
    e.kind = Kind::FocusChanged;
    e.control = n;
    e.revision = v.focusCommands;
    Deliver(v, std::move(e));
    if (applyToWidget) FocusWidget(v, n);
    else if (frame_ && v.cs(n) && !v.cs(n)->message.empty()) frame_->statusBar()->showMessage(q(v.cs(n)->message));
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
    ++v.revision[n];
    v.dirty.insert(n);
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
    if (isOverride) return false;
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
            v.dirty.erase(n);
            wnd::InputEvent e;
            e.kind = Kind::Accepted;
            e.control = n;
            e.text = CurrentText(v, n);
            e.revision = v.revision[n];
            v.cs(n)->text = e.text;
            Deliver(v, std::move(e));
            return true;
        }
        default: return true;  // Enter presses nothing by itself
    }
}

bool Screen::eventFilter(QObject* watched, QEvent* event) {
    if (dying_) return false;
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::ShortcutOverride) {
        auto [v, n] = Locate(watched);
        if (!v || !watched->isWidgetType()) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (HandleKey(*v, n, key->key(), key->modifiers(), type == QEvent::ShortcutOverride)) {
            event->accept();
            return true;
        }
        return false;
    }
    if (type == QEvent::Close) {
        for (auto& [id, v] : views_) {
            if (v->root != watched || v->closing) continue;
            // The close box asks the task; the task closes the window.
            event->ignore();
            if (!v->inert && !asking_[v->thread]) {
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
        }
    }
}

void Screen::ApplyUsable(View& v) {
    const bool usable = !v.inert && !asking_[v.thread];
    if (v.state.kind == wnd::WindowKind::AppFrame) {
        // Only the frame's own parts: the MDI children may belong to other threads.
        if (v.menuBar) v.menuBar->setEnabled(usable);
        if (v.body) v.body->setEnabled(usable);
    } else if (auto* sub = qobject_cast<QMdiSubWindow*>(v.root.data())) {
        if (sub->widget()) sub->widget()->setEnabled(usable);
    } else if (v.root) {
        v.root->setEnabled(usable);
    }
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

void Screen::SetBusy(int thread, bool busy) {
    for (auto& [id, v] : views_) {
        if (v->thread != thread || !v->root) continue;
        QWidget* w = v->state.kind == wnd::WindowKind::AppFrame && mdi_ ? v->body.data() : v->root.data();
        if (!w) continue;
        if (busy) w->setCursor(Qt::WaitCursor);
        else w->unsetCursor();
    }
}

void Screen::Deliver(View& v, wnd::InputEvent e) {
    e.window = v.id;
    if (v.sink) v.sink->Deliver(std::move(e));
}

// --- Questions -------------------------------------------------------------------------------------

void Screen::AskMessage(const wnd::MessageQuestion& question, std::shared_ptr<wnd::InputSink> sink) {
    ++asking_[question.thread];
    ApplyThread(question.thread);
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (question.icon) {
        case wnd::MessageIcon::Information: icon = QMessageBox::Information; break;
        case wnd::MessageIcon::Question: icon = QMessageBox::Question; break;
        case wnd::MessageIcon::Exclamation: icon = QMessageBox::Warning; break;
        case wnd::MessageIcon::Hand: icon = QMessageBox::Critical; break;
        case wnd::MessageIcon::None: break;
    }
    auto* box = new QMessageBox(icon, question.caption.empty() ? QApplication::applicationDisplayName() : q(question.caption),
                                q(question.text).replace('|', '\n'));
    box->setWindowModality(Qt::NonModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowIcon(ProgramIcon());
    const std::pair<unsigned, QMessageBox::StandardButton> kinds[] = {
        {wnd::kButtonOk, QMessageBox::Ok}, {wnd::kButtonYes, QMessageBox::Yes},
        {wnd::kButtonNo, QMessageBox::No}, {wnd::kButtonCancel, QMessageBox::Cancel}};
    auto answers = std::make_shared<std::map<QAbstractButton*, unsigned>>();
    for (const auto& [mask, standard] : kinds) {
        if (!(question.buttons & mask)) continue;
        QAbstractButton* b = box->addButton(standard);
        (*answers)[b] = mask;
        if (question.defaultButton & mask) box->setDefaultButton(static_cast<QPushButton*>(b));
    }
    auto answered = std::make_shared<bool>(false);
    const int thread = question.thread;
    const wnd::QuestionId qid = question.id;
    auto answer = [this, answered, thread, qid, sink](unsigned button) {
        if (*answered) return;
        *answered = true;
        if (!dying_) {
            --asking_[thread];
            ApplyThread(thread);
        }
        wnd::InputEvent e;
        e.kind = Kind::Answer;
        e.question = qid;
        e.answer = static_cast<int>(button);  // 0: the task takes the default button
        sink->Deliver(std::move(e));
    };
    connect(box, &QMessageBox::buttonClicked, this, [answer, answers](QAbstractButton* b) {
        const auto it = answers->find(b);
        answer(it == answers->end() ? 0u : it->second);
    });
    connect(box, &QObject::destroyed, this, [answer] { answer(0); });
    std::erase_if(questions_, [](const QPointer<QWidget>& p) { return p.isNull(); });
    questions_.push_back(box);
    box->show();
}

void Screen::AskPopup(const wnd::PopupQuestion& question, std::shared_ptr<wnd::InputSink> sink) {
    ++asking_[question.thread];
    ApplyThread(question.thread);
    auto* menu = new QMenu;
    auto answered = std::make_shared<bool>(false);
    const int thread = question.thread;
    const wnd::QuestionId qid = question.id;
    auto answer = [this, answered, thread, qid, sink](int item) {
        if (*answered) return;
        *answered = true;
        if (!dying_) {
            --asking_[thread];
            ApplyThread(thread);
        }
        wnd::InputEvent e;
        e.kind = Kind::Answer;
        e.question = qid;
        e.answer = item;
        sink->Deliver(std::move(e));
    };
    int n = 0;
    for (const std::string& item : question.items) {
        if (item == "-") {
            menu->addSeparator();
            continue;
        }
        QAction* a = menu->addAction(q(item));
        const int number = ++n;
        connect(a, &QAction::triggered, this, [answer, number] { answer(number); });
    }
    QPointer<QMenu> guard(menu);
    // The chosen item is triggered after the menu hides: decide "none" only once that has passed.
    connect(menu, &QMenu::aboutToHide, this, [this, answer, guard] {
        QTimer::singleShot(0, this, [answer, guard] {
            answer(0);
            if (guard) guard->deleteLater();
        });
    });
    connect(menu, &QObject::destroyed, this, [answer] { answer(0); });
    questions_.push_back(menu);
    QPoint at = QCursor::pos();
    if (View* v = view(question.window); v && v->root && !v->root->rect().contains(v->root->mapFromGlobal(at)))
        at = v->root->mapToGlobal(v->root->rect().center());
    menu->popup(at);
}

// --- Standard actions and desktop services ---------------------------------------------------------

void Screen::PerformAction(wnd::WindowId, int, wnd::StdAction action) {
    QWidget* focus = QApplication::focusWidget();
    auto* edit = qobject_cast<QLineEdit*>(focus);
    auto* plain = qobject_cast<QPlainTextEdit*>(focus);
    if (!edit)
        if (auto* combo = qobject_cast<QComboBox*>(focus)) edit = combo->lineEdit();
    switch (action) {
        case wnd::StdAction::Cut: if (edit) edit->cut(); else if (plain) plain->cut(); break;
        case wnd::StdAction::Copy: if (edit) edit->copy(); else if (plain) plain->copy(); break;
        case wnd::StdAction::Paste: if (edit) edit->paste(); else if (plain) plain->paste(); break;
        case wnd::StdAction::Tile: if (mdi_) mdi_->tileSubWindows(); break;
        case wnd::StdAction::Cascade: if (mdi_) mdi_->cascadeSubWindows(); break;
        case wnd::StdAction::ArrangeIcons: ArrangeIcons(); break;
        case wnd::StdAction::PrintSetup: {
            if (!printer_) printer_ = std::make_unique<QPrinter>();
            // No parent: open() makes it window-modal to its parent, and it has none, so it blocks nothing.
            auto* dialog = new QPageSetupDialog(printer_.get(), nullptr);
            dialog->setAttribute(Qt::WA_DeleteOnClose);
            dialog->open();
            questions_.push_back(dialog);
            break;
        }
        default: break;  // help is shown by the help viewer, which is not part of this presenter yet
    }
}

void Screen::ArrangeIcons() {
    if (!mdi_) return;
    int x = 0;
    for (QMdiSubWindow* sub : mdi_->subWindowList()) {
        if (!sub->isMinimized()) continue;
        sub->move(x, mdi_->viewport()->height() - sub->height());
        x += sub->width();
    }
}

void Screen::BuildWindowMenu() {
    if (!frame_) return;
    if (!windowMenu_) windowMenu_ = frame_->menuBar()->addMenu(tr("&Window"));
    connect(windowMenu_, &QMenu::aboutToShow, this, [this] {
        for (auto& a : windowMenuExtras_) delete a.data();
        windowMenuExtras_.clear();
        if (!mdi_ || !windowMenu_) return;
        bool hasArrangement = false;
        for (QAction* a : windowMenu_->actions()) {
            const auto [v, n] = Locate(a);
            if (v && v->cs(n) && (v->cs(n)->std == wnd::StdAction::Tile || v->cs(n)->std == wnd::StdAction::Cascade)) hasArrangement = true;
        }
        auto add = [this](const QString& text) {
            QAction* a = windowMenu_->addAction(text);
            windowMenuExtras_.push_back(a);
            return a;
        };
        if (!hasArrangement) {
            connect(add(tr("&Tile")), &QAction::triggered, mdi_.data(), &QMdiArea::tileSubWindows);
            connect(add(tr("&Cascade")), &QAction::triggered, mdi_.data(), &QMdiArea::cascadeSubWindows);
            connect(add(tr("&Arrange Icons")), &QAction::triggered, this, [this] { ArrangeIcons(); });
        }
        const auto subs = mdi_->subWindowList();
        if (!subs.isEmpty()) windowMenuExtras_.push_back(windowMenu_->addSeparator());
        int i = 0;
        for (QMdiSubWindow* sub : subs) {
            QAction* a = add(QStringLiteral("&%1 %2").arg(++i).arg(sub->windowTitle()));
            a->setCheckable(true);
            a->setChecked(sub == mdi_->activeSubWindow());
            QPointer<QMdiSubWindow> target(sub);
            connect(a, &QAction::triggered, this, [this, target] {
                if (target && mdi_) mdi_->setActiveSubWindow(target);
            });
        }
    });
}

void Screen::SetClipboardText(const std::string& utf8) { QApplication::clipboard()->setText(q(utf8)); }

void Screen::OpenDocument(const std::string& urlOrPath) {
    const QString s = q(urlOrPath);
    const QUrl url = QUrl::fromUserInput(s, QString(), QUrl::AssumeLocalFile);
    QDesktopServices::openUrl(url);
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
