#include "platform/qt/screen.h"

// Message boxes, popup menus, standard actions and desktop services.

#include <QAbstractSpinBox>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QCursor>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QSpacerItem>
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
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
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

#include "platform/qt/button_icons.h"
#include "platform/qt/key_map.h"
#include "platform/qt/list_format.h"
#include "platform/qt/dialog_place.h"
#include "platform/qt/printing.h"
#include "platform/qt/picture_book.h"
#include "platform/qt/whole_words.h"
#include "platform/runtime/program_services.h"


#include "platform/qt/screen_parts.h"

namespace qtp {

using namespace detail;

// --- Questions -------------------------------------------------------------------------------------

// Delivers a question's answer once (a click, or the question's widget going away), and gives its
// thread's windows back their usable state.
std::function<void(int)> Screen::Answerer(int thread, wnd::QuestionId question, std::shared_ptr<wnd::InputSink> sink) {
    auto answered = std::make_shared<bool>(false);
    return [this, answered, thread, question, sink](int value) {
        if (*answered) return;
        *answered = true;
        if (!dying_) {
            --asking_[thread];
            ApplyThread(thread);
        }
        wnd::InputEvent e;
        e.kind = Kind::Answer;
        e.question = question;
        e.answer = value;
        sink->Deliver(std::move(e));
        if (!dying_) HoldAfter(thread, *sink, Kind::Answer);
    };
}

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
    const QString caption = question.caption.empty() ? QApplication::applicationDisplayName() : q(question.caption);
    // Its lines break only between words, so a folder or a web address reads whole.
    auto* box = new QMessageBox(icon, caption, KeepWordsWhole(q(question.text).replace('|', '\n')));
    // Transient for the frame, so a window manager keeps it above the frame, with a dialog's
    // decorations; never a child of the asking window, which is disabled while it waits.
    MakeDialogOf(*box, frame_);
    box->setTextFormat(Qt::PlainText);  // the text may hold what the user typed: never markup
    box->setWindowModality(Qt::NonModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowIcon(ProgramIcon());
    box->setProperty(kAskingThread, question.thread);
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
    // 0: the task takes the default button.
    auto answer = Answerer(question.thread, question.id, sink);
    connect(box, &QMessageBox::buttonClicked, this, [answer, answers](QAbstractButton* b) {
        const auto it = answers->find(b);
        answer(it == answers->end() ? 0 : static_cast<int>(it->second));
    });
    connect(box, &QObject::destroyed, this, [answer] { answer(0); });
    // Room for the whole caption in the title bar (the box sizes itself to its text only).
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout()))
        grid->addItem(new QSpacerItem(CaptionWidth(caption), 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0,
                      1, std::max(1, grid->columnCount()));
    std::erase_if(questions_, [](const QPointer<QWidget>& p) { return p.isNull(); });
    questions_.push_back(box);
    // The window that asks comes to the front, and the box stands over it, where the user looks.
    View* asker = view(question.window);
    if (asker && asker->root && !asker->closing) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(asker->root.data()); sub && mdi_) mdi_->setActiveSubWindow(sub);
        else if (asker->root != frame_) asker->root->raise();
    }
    QWidget* over = asker && asker->root ? asker->root.data() : frame_.data();
    box->show();
    PlaceOver(*box, over);
    // The box takes the keys, whether or not a window manager would give it them.
    box->activateWindow();
    box->raise();
}

void Screen::AskPopup(const wnd::PopupQuestion& question, std::shared_ptr<wnd::InputSink> sink) {
    ++asking_[question.thread];
    ++popups_[question.thread];
    ApplyThread(question.thread);
    auto* menu = new QMenu;
    // A click beside the menu closes it and does nothing else: the window under it waits.
    menu->setAttribute(Qt::WA_NoMouseReplay);
    auto asked = Answerer(question.thread, question.id, sink);
    auto done = std::make_shared<bool>(false);
    auto answer = [this, asked, done, thread = question.thread](int value) {
        if (!*done && !dying_) --popups_[thread];
        *done = true;
        asked(value);
    };
    int n = 0;
    for (std::size_t i = 0; i < question.items.size(); ++i) {
        const std::string& item = question.items[i];
        if (item == "-") {
            menu->addSeparator();
            continue;
        }
        // A leading '~' greys the item.
        const bool greyed = !item.empty() && item[0] == '~';
        QAction* a = menu->addAction(q(greyed ? item.substr(1) : item));
        a->setEnabled(!greyed);
        if (i < question.icons.size() && !question.icons[i].empty()) a->setIcon(ButtonIcon(question.icons[i]));
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
    menu->popup(PopupPlace(question, menu->sizeHint()));
}

QPoint Screen::PopupPlace(const wnd::PopupQuestion& question, QSize menu) const {
    View* v = view(question.window);
    // The keyboard's menu on a list: under its highlighted row, or over it where the screen has no
    // room below, so the row stays in sight; at the top left of the rows' area (below the column
    // headers) when no row is highlighted.
    const ControlView* cv = v && question.control ? v->cv(question.control) : nullptr;
    if (auto* list = cv ? qobject_cast<QTreeWidget*>(cv->widget.data()) : nullptr; list && list->isVisible()) {
        const int choice = v->cs(question.control)->choice;
        QTreeWidgetItem* item = choice >= 1 && choice <= list->topLevelItemCount() ? list->topLevelItem(choice - 1) : nullptr;
        QWidget* rows = list->viewport();
        const QRect row = item ? list->visualItemRect(item) : QRect();
        if (!row.isValid() || !rows->rect().intersects(row)) return rows->mapToGlobal(QPoint(0, 0));
        // Indented by a row's height, as far in as the pointer would be on the row's text.
        const int x = std::max(row.left(), 0) + row.height();
        const QPoint below = rows->mapToGlobal(QPoint(x, row.bottom() + 1));
        const QScreen* screen = list->screen();
        if (screen && below.y() + menu.height() > screen->availableGeometry().bottom() + 1)
            return rows->mapToGlobal(QPoint(x, row.top() - menu.height()));
        return below;
    }
    // The mouse's menu: at the pointer, or over the window's middle when the pointer is elsewhere.
    QPoint at = QCursor::pos();
    if (v && v->root && !v->root->rect().contains(v->root->mapFromGlobal(at)))
        at = v->root->mapToGlobal(v->root->rect().center());
    return at;
}

// The print dialog is the printing's own; only the asking thread's windows wait for it.
void Screen::AskPrint(const wnd::PrintQuestion& question, std::shared_ptr<wnd::InputSink> sink) {
    ++asking_[question.thread];
    ApplyThread(question.thread);
    auto answer = Answerer(question.thread, question.id, std::move(sink));
    const View* v = view(question.window);
    printing_->AskPrint(question.pages, question.selection, QFile::decodeName(question.folder.c_str()),
                        v ? v->root.data() : frame_.data(), std::move(answer));
}

// --- Standard actions and desktop services ---------------------------------------------------------

void Screen::PerformAction(wnd::WindowId id, int, wnd::StdAction action) {
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
            const View* v = view(id);
            printing_->PageSetup(v ? v->root.data() : frame_.data());
            break;
        }
        case wnd::StdAction::Help: case wnd::StdAction::HelpIndex: case wnd::StdAction::HelpSearch:
        case wnd::StdAction::HelpOnHelp: {
            // The program's current help file: the window's own page, its index, its search or
            // its table of contents.
            using C = wnd::HelpRequest::Command;
            wnd::HelpRequest r;
            r.file = rt::HelpFile();
            r.command = action == wnd::StdAction::HelpIndex    ? C::Index
                        : action == wnd::StdAction::HelpSearch ? C::Search
                        : action == wnd::StdAction::HelpOnHelp ? C::Contents
                                                               : C::Topic;
            if (const View* v = view(id); v && action == wnd::StdAction::Help) r.topic = v->state.help;
            ShowHelp(r);
            break;
        }
        default: break;
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
            a->setChecked(sub == mdi_->currentSubWindow());
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

}  // namespace qtp
