#include "platform/qt/screen.h"

// Building the widgets of a window from its controls, and applying the task's properties to them.

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
#include <QFontMetrics>
#include <QElapsedTimer>
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
#include <QPalette>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabBar>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>
#include <cmath>

#include "platform/qt/button_icons.h"
#include "platform/qt/key_map.h"
#include "platform/qt/list_format.h"
#include "platform/qt/memo_edit.h"
#include "platform/qt/page_preview.h"
#include "platform/qt/picture_book.h"
#include "platform/runtime/picture.h"
#include "platform/runtime/std_date.h"
#include "platform/qt/screen_parts.h"
#include "platform/qt/tab_rows.h"
#include "platform/qt/whole_words.h"

namespace qtp {

using namespace detail;

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
                        LeaveBeforeClose(*w, n);  // the typed text is accepted before the command runs
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
        if (self.action) Own(self.action, v.id, n);
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
        e.revision = w->NextRevision(n);
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
            self.nextY = v.lineHeight() + 4;
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
                auto* edit = new MemoEdit(host);
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
            auto listKey = [this, id, n](wnd::KeyCode key, int row, int column) {
                View* w = view(id);
                if (w && !w->quiet) ListKey(*w, n, key, row, column);
            };
            connect(list, &QTreeWidget::itemDoubleClicked, this, [listKey, list](QTreeWidgetItem* item, int column) {
                if (item) listKey(wnd::kKeyMouseLeft2, list->indexOfTopLevelItem(item) + 1, column + 1);
            });
            // A single click on a header and a double click are two keys (a sorter's and the
            // auto-sizer's). A double click is that key alone: a click is told only once the time
            // for a second click has passed without one, and the release that ends a double
            // click is no click at all.
            list->header()->setSectionsClickable(true);
            auto* click = new QTimer(list);
            click->setSingleShot(true);
            auto clicked = std::make_shared<int>(0);  // the column of the click waiting
            auto doubled = std::make_shared<QElapsedTimer>();
            connect(click, &QTimer::timeout, this, [listKey, clicked] { listKey(wnd::kKeyMouseLeft, 0, *clicked + 1); });
            connect(list->header(), &QHeaderView::sectionClicked, this, [click, clicked, doubled](int column) {
                if (doubled->isValid() && doubled->elapsed() < QApplication::doubleClickInterval()) return;
                *clicked = column;
                click->start(QApplication::doubleClickInterval());
            });
            connect(list->header(), &QHeaderView::sectionDoubleClicked, this, [listKey, click, doubled](int column) {
                click->stop();
                doubled->start();
                listKey(wnd::kKeyMouseLeft2, 0, column + 1);
            });
            connect(list->header(), &QHeaderView::sectionResized, this, [this, id, n](int column, int, int width) {
                View* w = view(id);
                if (!w || w->quiet || !w->cs(n)) return;
                // The mirror's format follows, so a later update keeps the user's width.
                const int du = std::max(1, w->units.FromPixelsX(width));
                auto columns = wnd::ParseListFormat(w->cs(n)->format);
                if (column < 0 || static_cast<std::size_t>(column) >= columns.size()) return;
                columns[static_cast<std::size_t>(column)].width = du;
                w->cs(n)->format = wnd::FormatListFormat(columns);
                wnd::InputEvent e;
                e.kind = Kind::ColumnResized;
                e.control = n;
                e.column = column + 1;
                e.width = du;
                Deliver(*w, e);
            });
            // A paged list holds only a page: its scroll bar is the task's thumb, not the view's range.
            auto* bar = new QScrollBar(Qt::Vertical, host);
            bar->setRange(0, 100);
            bar->setPageStep(10);
            bar->setFocusPolicy(Qt::NoFocus);
            bar->hide();
            connect(bar, &QScrollBar::actionTriggered, this, [listKey](int action) {
                switch (action) {
                    case QAbstractSlider::SliderSingleStepAdd: listKey(wnd::kKeyDown, 0, 0); break;
                    case QAbstractSlider::SliderSingleStepSub: listKey(wnd::kKeyUp, 0, 0); break;
                    case QAbstractSlider::SliderPageStepAdd: listKey(wnd::kKeyPageDown, 0, 0); break;
                    case QAbstractSlider::SliderPageStepSub: listKey(wnd::kKeyPageUp, 0, 0); break;
                    case QAbstractSlider::SliderToMinimum: listKey(wnd::kKeyHome, 0, 0); break;
                    case QAbstractSlider::SliderToMaximum: listKey(wnd::kKeyEnd, 0, 0); break;
                    default: break;
                }
            });
            connect(bar, &QScrollBar::sliderReleased, this, [this, id, n, bar] {
                View* w = view(id);
                if (!w || w->quiet) return;
                MoveFocus(*w, n, true);
                wnd::InputEvent e;
                e.kind = Kind::Scrolled;
                e.control = n;
                e.row = bar->sliderPosition();
                Deliver(*w, e);
            });
            self.thumb = bar;
            Own(bar, v.id, n);
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
                connect(combo->lineEdit(), &QLineEdit::textEdited, this, [this, id, n] {
                    View* w = view(id);
                    if (!w || w->quiet) return;
                    Edited(*w, n);
                    if (w->cs(n) && w->cs(n)->immediate) Typed(*w, n, std::exchange(w->lastKey, 0));
                });
            }
            connect(combo, &QComboBox::activated, this, [select](int index) {
                if (index >= 0) select(index + 1);
            });
            widget = combo;
            break;
        }
        case ControlKind::Sheet: {
            auto* sheet = new TabSheet(host);
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
                self.origin = parent->widget->pos() + QPoint(2, TabRowHeight(*sheet) + 2);
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
        case ControlKind::Preview: {
            widget = new PagePreview(host);
            break;
        }
        default: {
            widget = new QWidget(host);
            break;
        }
    }
    self.widget = widget;
    Own(widget, v.id, n);
    if (c.kind == ControlKind::Group || c.kind == ControlKind::Option) self.origin = QPoint(v.px(c.at.x), v.py(c.at.y));
    if (c.kind != ControlKind::Tab) Place(v, n);
    Apply(v, n);
    if (c.kind == ControlKind::Tab && parent) RefitSheet(v, c.parent);  // its text may need another row
    // A tab's page is shown by its sheet when the tab comes forward, never by itself; a control
    // hidden from the start stays hidden.
    if (c.hidden && c.kind != ControlKind::Tab) return;
    if (c.kind != ControlKind::Tab || !qobject_cast<QTabWidget*>(widget->parentWidget() ? widget->parentWidget()->parentWidget() : nullptr))
        widget->show();
}

namespace {

// The room a column needs for the widest date or time its picture shows (0 for other pictures):
// the text and the margins the style puts around a cell's text.
int WidestDateOrTime(const QTreeWidget& list, const std::string& picture) {
    std::string error;
    const auto p = rt::Picture::Parse(picture, &error);
    if (!p || (p->kind() != rt::Picture::Kind::Date && p->kind() != rt::Picture::Kind::Time)) return 0;
    const QFontMetrics fm(list.font());
    int widest = 0;
    // A few wide ones: two-digit days and months, long month names, hours of both halves of the day.
    for (int day : {8, 28}) {
        for (int month : {2, 9, 12}) {
            const std::string text = p->kind() == rt::Picture::Kind::Date
                                         ? p->FormatDate(rt::dateFromYmd(2088, month, day).value_or(0))
                                         : p->FormatTime(rt::timeFromHms(month + 8, day * 2, day * 2).value_or(0));
            widest = std::max(widest, fm.horizontalAdvance(q(text)));
        }
    }
    const int margin = list.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &list) + 1;
    return widest + 2 * margin + 1;
}

}  // namespace

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
    int height = c.at.height > 0 ? v.py(c.at.height) : hint.height();
    // A sheet whose tabs take more than one row is that much taller; its pages begin lower.
    auto* sheet = c.kind == ControlKind::Sheet ? dynamic_cast<TabSheet*>(w) : nullptr;
    const int extra = sheet ? sheet->ExtraHeight(width) : 0;
    height += extra;
    const bool unplaced = c.at.x == 0 && c.at.y == 0 && c.at.width == 0 && c.at.height == 0;
    QPoint at;
    int& nextY = holder ? holder->nextY : v.nextY;
    if (unplaced) {
        at = QPoint(6, nextY);
    } else {
        at = QPoint(v.px(c.at.x), v.py(c.at.y)) - (holder ? holder->origin : QPoint());
        if (!holder) at.ry() += BelowSheets(v, n);
    }
    nextY = std::max(nextY, at.y() + height + 4);
    v.cv(n)->placed = QRect(at, QSize(std::max(width, 8), std::max(height, 8)));
    w->setGeometry(v.cv(n)->placed);
    PlaceThumb(v, n);
    Reorigin(v, n);
    if (sheet && std::exchange(v.cv(n)->tabExtra, extra) != extra) {
        FitBody(v);
        // What stands below the sheet moves down or up with its page.
        for (int m = 1; m <= static_cast<int>(v.controls.size()); ++m) {
            const ControlView* other = v.cv(m);
            const ControlView* around = v.cv(v.cs(m)->parent);
            if (m != n && other->widget && !isMenuKind(v.cs(m)->kind) && v.cs(m)->kind != ControlKind::Tab &&
                !(around && around->container))
                Place(v, m);
        }
    }
}

// How far the sheets above a control that stands on the window's surface have grown by their
// rows of tabs: a control below a sheet's first row of tabs (below the sheet, or laid over its
// page) moves down with the page.
int Screen::BelowSheets(View& v, int n) {
    const wnd::ControlState& c = *v.cs(n);
    int down = 0;
    for (int m = 1; m <= static_cast<int>(v.controls.size()); ++m) {
        const wnd::ControlState& s = *v.cs(m);
        const ControlView& cv = *v.cv(m);
        if (m == n || s.kind != ControlKind::Sheet || s.parent != 0 || cv.tabExtra == 0 || !cv.widget) continue;
        const auto* sheet = static_cast<const QTabWidget*>(cv.widget.data());
        if (v.py(c.at.y) >= v.py(s.at.y) + TabRowHeight(*sheet)) down += cv.tabExtra;
    }
    return down;
}

int Screen::SheetsExtra(const View& v) const {
    int extra = 0;
    for (int n = 1; n <= static_cast<int>(v.controls.size()); ++n)
        if (v.state.controls[static_cast<std::size_t>(n - 1)].kind == ControlKind::Sheet && v.state.controls[static_cast<std::size_t>(n - 1)].parent == 0)
            extra += v.controls[static_cast<std::size_t>(n - 1)].tabExtra;
    return extra;
}

// The surface holds the designed layout and what the sheets' further rows of tabs push down.
void Screen::FitBody(View& v) {
    if (!v.body || !v.leastSize.isValid()) return;
    v.body->setMinimumSize(v.leastSize + QSize(0, SheetsExtra(v)));
    // A scrolled surface's view asks for the new size (the view holds the surface in no layout).
    if (QWidget* view = v.body->parentWidget(); view && qobject_cast<QScrollArea*>(view->parentWidget()))
        view->parentWidget()->updateGeometry();
}

// The task lays its controls out in its own units, for a surface without the further rows of tabs
// the presenter adds. What the rows take at the designed width is taken off whatever the sheets
// show now (a sheet made wider takes fewer rows only once the task has laid it out), and a surface
// no larger than designed is the designed size: restored, the window is told its designed size
// again, exactly.
QSize Screen::TaskSize(const View& v, QSize px) const {
    const int height = px.height() - v.designedExtra;
    if (!v.leastSize.isValid() || v.designedUnits.width() <= 0 || v.designedUnits.height() <= 0)
        return QSize(v.units.FromPixelsX(px.width()), v.units.FromPixelsY(height));
    return QSize(px.width() <= v.leastSize.width() ? v.designedUnits.width() : v.units.FromPixelsX(px.width()),
                 height <= v.leastSize.height() ? v.designedUnits.height() : v.units.FromPixelsY(height));
}

// A sheet whose tabs changed (a tab added, renamed, shown or hidden) may take another number of rows.
void Screen::RefitSheet(View& v, int sheet) {
    ControlView* cv = v.cv(sheet);
    auto* tabs = cv ? dynamic_cast<TabSheet*>(cv->widget.data()) : nullptr;
    if (tabs && tabs->ExtraHeight(v.cv(sheet)->placed.width()) != cv->tabExtra) Place(v, sheet);
}

// Controls in a group, an option or a tab page are placed in window units less their container's
// origin; a container that moved (the window resized) takes its controls along.
void Screen::Reorigin(View& v, int n) {
    const wnd::ControlState& c = *v.cs(n);
    std::vector<int> moved;  // containers whose origin changed
    auto take = [&](int container, QPoint origin) {
        ControlView& cv = *v.cv(container);
        if (cv.origin == origin) return;
        cv.origin = origin;
        moved.push_back(container);
    };
    if (c.kind == ControlKind::Group || c.kind == ControlKind::Option) {
        take(n, QPoint(v.px(c.at.x), v.py(c.at.y)));
    } else if (c.kind == ControlKind::Sheet) {
        auto* sheet = qobject_cast<QTabWidget*>(v.cv(n)->widget.data());
        if (!sheet) return;
        const QPoint origin = sheet->pos() + QPoint(2, TabRowHeight(*sheet) + 2);
        for (int t = n + 1; t <= static_cast<int>(v.controls.size()); ++t)
            if (v.cs(t)->parent == n && v.cs(t)->kind == ControlKind::Tab) take(t, origin);
    }
    for (int container : moved)
        for (int m = container + 1; m <= static_cast<int>(v.controls.size()); ++m)
            if (v.cs(m)->parent == container && v.cs(m)->kind != ControlKind::Tab && v.cv(m)->widget) Place(v, m);
}

// How many whole rows a list box shows is the task's to know: it reads a page of that many. The
// rows' height is known once the box holds a row; a hidden box (on a tab at the back) tells when
// it is shown, and resized.
void Screen::ReportRowsFit(View& v, int n) {
    ControlView* cv = v.cv(n);
    auto* list = cv ? qobject_cast<QTreeWidget*>(cv->widget.data()) : nullptr;
    if (!list || v.closing || !list->isVisible() || list->topLevelItemCount() == 0) return;
    const int row = list->sizeHintForRow(0);  // every row is as high
    if (row <= 0) return;
    const int fit = std::max(1, list->viewport()->height() / row);
    if (fit == cv->rowsFit) return;
    cv->rowsFit = fit;
    wnd::InputEvent e;
    e.kind = Kind::RowsFit;
    e.control = n;
    e.row = fit;
    Deliver(v, std::move(e));
}

// A paged list's scroll bar stands inside the list's frame, over the room the list keeps for a
// scroll bar of its own (always on, so the rows and the header never run under the task's thumb).
void Screen::PlaceThumb(View& v, int n) {
    ControlView& cv = *v.cv(n);
    if (!cv.thumb || !cv.widget || cv.placed.isNull()) return;
    const wnd::ControlState& c = *v.cs(n);
    const bool paged = c.thumb >= 0;
    auto* list = static_cast<QTreeWidget*>(cv.widget.data());
    list->setVerticalScrollBarPolicy(paged ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
    list->setGeometry(cv.placed);
    if (!paged) {
        cv.thumb->hide();
        return;
    }
    const int frame = list->frameWidth();
    const int barWidth = std::min(list->verticalScrollBar()->sizeHint().width(), cv.placed.width() / 2);
    cv.thumb->setGeometry(QRect(cv.placed.right() - frame - barWidth + 1, cv.placed.y() + frame, barWidth,
                                std::max(1, cv.placed.height() - 2 * frame)));
    cv.thumb->setHidden(c.hidden);
    cv.thumb->setEnabled(!c.disabled);
    if (!cv.thumb->isSliderDown()) cv.thumb->setValue(std::clamp(c.thumb, 0, 100));
    cv.thumb->raise();
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
    const int height = v.state.at.height > 0 ? v.py(v.state.at.height) : used.bottom() + 8 - SheetsExtra(v);
    v.leastSize = QSize(std::max(width, 40), std::max(height, 20));
    v.designedUnits = QSize(v.state.at.width, v.state.at.height);
    v.designedExtra = SheetsExtra(v);
    FitBody(v);
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
            Apply(v, n);  // the text now with its mnemonic, underlined
        }
    }
    // A prompt designed flush against the control before it in its row ("Rx Number:" right after
    // an entry) begins its text a unit further on, clear of that control's border.
    for (int n = 1; n <= static_cast<int>(v.controls.size()); ++n) {
        const wnd::ControlState& c = *v.cs(n);
        auto* label = qobject_cast<QLabel*>(v.cv(n)->widget.data());
        if (!label || (c.kind != ControlKind::Prompt && c.kind != ControlKind::String) || c.at.width <= 0) continue;
        const bool flush = std::any_of(v.state.controls.begin(), v.state.controls.end(), [&](const wnd::ControlState& o) {
            const int right = o.at.x + o.at.width;
            return o.number != n && o.parent == c.parent && o.at.width > 0 && !isMenuKind(o.kind) && o.at.x < c.at.x &&
                   right >= c.at.x - 1 && right <= c.at.x + 1 && o.at.y < c.at.y + c.at.height && c.at.y < o.at.y + o.at.height;
        });
        if (flush) label->setIndent(v.px(1));
    }
}

// --- Properties ---------------------------------------------------------------------------------

namespace {

constexpr int kLineHeight = 8;  // one line of text, in dialog units

// A list column's alignment letter as Qt's: right (decimal points line up at the right too),
// centred, or left.
Qt::Alignment cellAlignment(char a) {
    return a == 'R' || a == 'D' ? Qt::AlignRight : a == 'C' ? Qt::AlignHCenter : Qt::AlignLeft;
}

// The kinds whose text takes the task's colour; containers are left alone, since their colour
// would pass to every control inside them.
bool showsTextColour(ControlKind k) {
    switch (k) {
        case ControlKind::String: case ControlKind::Prompt: case ControlKind::Button: case ControlKind::Check:
        case ControlKind::Radio: case ControlKind::Entry: case ControlKind::Text: case ControlKind::Spin:
        case ControlKind::Combo: case ControlKind::DropList: case ControlKind::DropCombo:
            return true;
        default:
            return false;
    }
}

// Sets the text colour of an enabled widget (a disabled one stays greyed like the rest);
// wnd::kDefaultColour gives the widget back the palette it would have had.
// The task's text colour, and the ground of a read-only entry: the window's colour, as the desktop
// draws an entry that cannot be typed into.
void applyTextColour(QWidget& w, std::uint32_t colour, bool readOnly) {
    if (colour == wnd::kDefaultColour && !readOnly) {
        if (w.testAttribute(Qt::WA_SetPalette)) w.setPalette(QPalette());
        return;
    }
    QPalette own;  // only the roles set here are the widget's own; the rest is inherited
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        if (colour != wnd::kDefaultColour)
            for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
                own.setColor(group, role, QColor(QRgb(colour & 0xFFFFFFu)));
        if (readOnly) own.setColor(group, QPalette::Base, QApplication::palette().color(group, QPalette::Window));
    }
    const QPalette& now = w.palette();
    if (w.testAttribute(Qt::WA_SetPalette) && now.resolveMask() == own.resolveMask() &&
        now.color(QPalette::Active, QPalette::Text) == own.color(QPalette::Active, QPalette::Text) &&
        now.color(QPalette::Active, QPalette::Base) == own.color(QPalette::Active, QPalette::Base))
        return;
    w.setPalette(own);
}

}  // namespace

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
        self.action->setToolTip(plainTip(c.tip));
        return;
    }
    QWidget* w = self.widget;
    if (!w) return;
    switch (c.kind) {
        case ControlKind::String: case ControlKind::Prompt: {
            auto* label = static_cast<QLabel*>(w);
            // A text placed taller than one line wraps within its width, between words only.
            const bool wraps = c.at.height >= 2 * kLineHeight;
            const QString shown = c.kind == ControlKind::String || label->buddy() ? text : withoutMnemonic(text);
            label->setText(wraps ? KeepWordsWhole(shown) : shown);
            label->setWordWrap(wraps);
            label->setAlignment(wraps ? Qt::AlignLeft | Qt::AlignTop : Qt::AlignLeft | Qt::AlignVCenter);
            break;
        }
        case ControlKind::Image: {
            // The program's own pictures are drawn to the control's size; others show the icon.
            const std::string& name = c.text.empty() ? c.icon : c.text;
            const QSize size(c.at.width > 0 ? v.px(c.at.width) : 32, c.at.height > 0 ? v.py(c.at.height) : 32);
            const QPixmap pm = DrawnPicture(name, size);
            auto* label = static_cast<QLabel*>(w);
            if (!pm.isNull()) label->setPixmap(pm);
            else label->setPixmap(ProgramIcon().pixmap(32));
            break;
        }
        case ControlKind::Group: case ControlKind::Option: static_cast<QGroupBox*>(w)->setTitle(text); break;
        case ControlKind::Button:
            static_cast<QPushButton*>(w)->setDefault(c.isDefault);
            // The icon is sized to the button as placed: Place runs first whenever the button moves.
            ShowButtonFace(*static_cast<QPushButton*>(w), text, c.icon);
            break;
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
            {  // the mirror holds what the user typed into a control, so this never undoes typing
                if (auto* edit = qobject_cast<QLineEdit*>(w)) {
                    // A whole selection stays whole: the next key replaces the value shown.
                    const bool all = edit->hasSelectedText() && edit->selectedText() == edit->text();
                    if (edit->text() != text) {
                        edit->setText(text);
                        ShowFromStart(*edit, all);
                    } else if (all) {
                        ShowFromStart(*edit, true);
                    }
                    edit->setReadOnly(c.readOnly);
                } else if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
                    if (plain->toPlainText() != text) plain->setPlainText(text);
                    plain->setReadOnly(c.readOnly);
                } else if (auto* spin = dynamic_cast<SpinEdit*>(w)) {
                    if (spin->edit()->text() != text) {
                        spin->edit()->setText(text);
                        ShowFromStart(*spin->edit(), false);
                    }
                    spin->setReadOnly(c.readOnly);
                } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
                    if (combo->currentText() != text) {
                        combo->setEditText(text);
                        if (combo->lineEdit()) ShowFromStart(*combo->lineEdit(), false);
                    }
                    if (combo->lineEdit()) combo->lineEdit()->setReadOnly(c.readOnly);
                }
            }
            if (auto* spin = dynamic_cast<SpinEdit*>(w)) spin->setRange(c.rangeLow, c.rangeHigh, c.step);
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
                const char a = columns[i].headerAlign ? columns[i].headerAlign : columns[i].align;
                list->headerItem()->setTextAlignment(static_cast<int>(i), cellAlignment(a));
                // A column is at least as wide as its header's whole text and, for dates and
                // times, their whole text: the layout's width counts letters, and a font's digits
                // may be wider than its letters on average; the style adds its margins.
                if (columns[i].width > 0)
                    list->setColumnWidth(static_cast<int>(i), std::max({v.px(columns[i].width), list->header()->sectionSizeHint(static_cast<int>(i)),
                                                                        WidestDateOrTime(*list, columns[i].picture)}));
                const QString& header = headers[static_cast<qsizetype>(i)];
                list->headerItem()->setToolTip(static_cast<int>(i), Qt::convertFromPlainText(header, Qt::WhiteSpacePre));
            }
            if (c.choice >= 1 && c.choice <= list->topLevelItemCount()) list->setCurrentItem(list->topLevelItem(c.choice - 1));
            PlaceThumb(v, n);
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
                    RefitSheet(v, c.parent);
                }
            }
            break;
        }
        case ControlKind::Progress: static_cast<QProgressBar*>(w)->setValue(std::clamp(text.toInt(), 0, 100)); break;
        case ControlKind::Preview: {
            const auto it = v.pages.find(n);
            static_cast<PagePreview*>(w)->Show(it == v.pages.end() ? nullptr : it->second, c.choice, c.pagesAcross,
                                               c.pagesDown, c.zoom);
            break;
        }
        default: break;
    }
    if (showsTextColour(c.kind)) {
        const bool typedInto = c.kind == ControlKind::Entry || c.kind == ControlKind::Text || c.kind == ControlKind::Spin ||
                               c.kind == ControlKind::Combo || c.kind == ControlKind::DropCombo;
        applyTextColour(*w, c.colour, typedInto && c.readOnly);
    }
    if (c.kind != ControlKind::Tab) {
        w->setHidden(c.hidden);
        w->setEnabled(!c.disabled);
    }
    w->setToolTip(plainTip(c.tip));
    w->setStatusTip(q(c.message));
    // Focus follows the task's tab order only (Tab is handled by the key filter).
    if (!wnd::TakesFocus(c.kind) && c.kind != ControlKind::Sheet) w->setFocusPolicy(Qt::NoFocus);
}

void Screen::SetPages(wnd::WindowId id, int n, std::shared_ptr<const wnd::PageSet> pages) {
    View* v = view(id);
    if (!v || n < 1) return;
    v->pages[n] = std::move(pages);  // kept for a preview made later at run time too
    if (v->cs(n)) Apply(*v, n);
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
                if (i < columns.size()) item->setTextAlignment(static_cast<int>(i), cellAlignment(columns[i].align) | Qt::AlignVCenter);
            }
            items << item;
        }
        list->addTopLevelItems(items);
        const int choice = v->cs(n)->choice;
        if (choice >= 1 && choice <= list->topLevelItemCount()) list->setCurrentItem(list->topLevelItem(choice - 1));
        ReportRowsFit(*v, n);
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        const QString typed = combo->currentText();
        QLineEdit* edit = combo->lineEdit();
        const int caret = edit ? edit->cursorPosition() : 0;
        const int selFrom = edit ? edit->selectionStart() : -1, selLength = edit ? edit->selectionLength() : 0;
        combo->clear();
        for (const auto& row : rows) combo->addItem(row.empty() ? QString() : q(row[0]));
        if (combo->isEditable()) {
            // The arrows go on from the entry the text shows, or from before the first. The entry
            // keeps its text, caret and selection: the next key replaces a selected completion.
            combo->setCurrentIndex(combo->findText(typed, Qt::MatchFixedString));
            combo->setEditText(typed);
            if (edit && selFrom >= 0 && selLength > 0) {
                if (selFrom + selLength == caret) edit->setSelection(selFrom, selLength);
                else edit->setSelection(selFrom + selLength, -selLength);
            } else if (edit) {
                edit->setCursorPosition(caret);
            }
        } else {
            combo->setCurrentIndex(v->cs(n)->choice - 1);
        }
    }
}

}  // namespace qtp
