// The keyboard's commands in the program's own windows on the Qt presenter, typed as the windowing
// system sends them (to the window that has the keyboard): Alt with a letter acts only where a
// control of the window marks it and otherwise types nothing; Ctrl+F4 closes the active window as
// its close box does; Ctrl+F6 and Ctrl+Shift+F6 move between windows as Ctrl+Tab does; the Menu key
// and Shift+F10 open a list's popup menu at its highlighted row.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QHeaderView>
#include <QKeySequence>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <QWindow>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "data/records.h"
#include "data/table_classes.h"
#include "data/thread_tables.h"
#include "globals/globals.h"
#include "platform/classes/message_box.h"
#include "health/register.h"
#include "platform/qt/qt_presenter.h"
#include "platform/qt/screen.h"
#include "platform/runtime/field_access.h"
#include "platform/runtime/fixed_string.h"
#include "platform/window/task_queue.h"
#include "qt/qt_test_support.h"
#include "qt_program/running_program.h"
#include "shell/main_frame.h"
#include "shell/run_application.h"
#include "support/close_all_windows.h"
#include "support/program_fixture.h"
#include "support/program_setup.h"
#include "support/seed_records.h"
#include "support/task_thread.h"

namespace {

constexpr int kPrescriptions = 30;  // more than the list shows at once

std::string medName(int i) {
    char name[8];
    std::snprintf(name, sizeof name, "Med%02d", i);
    return name;
}

// Whatever window has the keyboard now gets the key, as the windowing system sends it.
void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QWindow* focused = QGuiApplication::focusWindow();
    ASSERT_NE(focused, nullptr) << "no window has the keyboard";
    QTest::keyClick(focused, k, mods);
}

std::string keyName(Qt::Key k, Qt::KeyboardModifiers mods) {
    return QKeySequence(k | mods).toString().toStdString();
}

// What a control shows, whatever widget it is.
std::string shown(QWidget* w) {
    if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->currentText().toStdString();
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text().toStdString();
    if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) return plain->toPlainText().toStdString();
    if (auto* spin = w ? w->findChild<QLineEdit*>() : nullptr) return spin->text().toStdString();
    return "<not a text control>";
}
// Where a control's typed keys go.
QWidget* typingTarget(QWidget* w) {
    if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->lineEdit()) return combo->lineEdit();
    if (qobject_cast<QLineEdit*>(w) || qobject_cast<QPlainTextEdit*>(w)) return w;
    if (auto* inner = w ? w->findChild<QLineEdit*>() : nullptr) return inner;
    return w;
}

// Whether the control (or its own entry) has the keyboard.
bool hasKeyboard(QWidget* w) {
    QWidget* focus = QApplication::focusWidget();
    return w && focus && (focus == w || w->isAncestorOf(focus));
}

class QtWindowKeys : public qttest::RunningProgram {
protected:
    void SetUp() override {
        SetUpProgram();
        if (HasFatalFailure()) return;
        std::string error;
        ASSERT_TRUE(health::RegisterHealthProcedures(&error)) << error;
        std::vector<std::string> meds;
        for (int i = 1; i <= kPrescriptions; ++i) meds.push_back(medName(i));
        testing_support::SeedRecords(&data::PrescriptsFile, meds, [](const std::string& n) {
            rt::assign(data::PRE.DRUGNAMEASPRESCRIBED, n);
            rt::assign(data::PRE.ACTIVE, "Y");
            rt::assign(data::PRE.DRNAME, "Dr. Brown");
            rt::assign(data::PRE.PERSONSNAME, "Mother");
            rt::assignC(data::PRE.PRINTKEY, n);
        });
        testing_support::SeedRecords(&data::DrugNamesFile, meds, [](const std::string& n) { rt::assign(data::DRU.DRUGNAMEASPRESCRIBED, n); });
        // The form's lookups find the prescription's own values: opening it changes nothing.
        testing_support::SeedRecords(&data::DoctorsFile, {"Dr. Brown"}, [](const std::string& n) { rt::assign(data::DOC.DOCTORSNAME, n); });
        testing_support::SeedRecords(&data::PersonsNameFile, {"Mother"}, [](const std::string& n) {
            rt::assign(data::PER.PERSONSNAME, n);
            rt::assign(data::PER.FIRSTNAME, n);
            rt::assign(data::PER.GENDER, "F");
        });
        if (HasFatalFailure()) return;
        StartProgram();
    }
    // The window that has the keyboard: the MDI child active in the frame.
    wnd::WindowId active() {
        QMdiSubWindow* a = mdi()->activeSubWindow();
        for (wnd::WindowId id : opened_)
            if (a && sub(id) == a) return id;
        return 0;
    }
    bool open(wnd::WindowId id) { return screen().WindowWidget(id) != nullptr; }

    // A window the frame's menu item starts on a thread of its own.
    wnd::WindowId FromMenu(const char* item, const char* procedure) {
        QAction* a = screen().MenuAction(frame_, item);
        EXPECT_NE(a, nullptr) << item;
        if (!a) return 0;
        a->trigger();
        EXPECT_TRUE(qttest::Settle());
        return Opened(procedure);
    }
    // The window of the procedure opened last, noted so active() knows it.
    wnd::WindowId Opened(const char* procedure) {
        const wnd::WindowId id = screen().Find(procedure);
        EXPECT_NE(id, 0u) << procedure << " is not open";
        if (id) opened_.push_back(id);
        return id;
    }
    // A button clicked, and what it started settled.
    void Press(wnd::WindowId id, const char* use) {
        auto* button = qobject_cast<QAbstractButton*>(widget(id, use));
        ASSERT_NE(button, nullptr) << use;
        QTest::mouseClick(button, Qt::LeftButton);
        ASSERT_TRUE(qttest::Settle());
    }
    void Focus(wnd::WindowId id, const char* use) {
        QWidget* w = widget(id, use);
        ASSERT_NE(w, nullptr) << use;
        // Its tab forward first, as a click on the tab would.
        for (QWidget* p = w->parentWidget(); p; p = p->parentWidget())
            if (auto* sheet = qobject_cast<QTabWidget*>(p->parentWidget() ? p->parentWidget()->parentWidget() : nullptr);
                sheet && sheet->indexOf(p) >= 0)
                sheet->setCurrentWidget(p);
        QTest::mouseClick(typingTarget(w), Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
        ASSERT_TRUE(qttest::Settle());
        ASSERT_TRUE(hasKeyboard(w)) << use;
    }
    // The prescription list with the change form of its highlighted row.
    wnd::WindowId OpenChangeForm() {
        list_ = FromMenu("?BROWSEPRESCRIPTS", "BrowsePrescripts");
        Press(list_, "?CHANGE:4");
        return Opened("UpdatePrescripts");
    }

    wnd::WindowId list_ = 0;
    std::vector<wnd::WindowId> opened_;
};

// Alt with a letter that no control of the window marks types nothing into an entry, a lookup or
// a memo and opens nothing; a letter a control marks makes that control act (a button on a tab
// behind the one shown marks nothing).
TEST_F(QtWindowKeys, AltWithALetterTypesNothingAndActsOnlyAsAMnemonic) {
    const wnd::WindowId form = OpenChangeForm();
    ASSERT_NE(form, 0u);
    const wnd::WindowId list = list_;
    struct Case {
        const char* use;
        Qt::Key letter;
    };
    // In the change form: I is the list's Insert key, no command of the form; Z and 7 mark nothing.
    const Case nothing[] = {
        {"?DRU:DRUGNAMEASPRESCRIBED", Qt::Key_I}, {"?DRU:DRUGNAMEASPRESCRIBED", Qt::Key_Z},
        {"?PER:PERSONSNAME", Qt::Key_I},          {"?PRE:GENERICNAME", Qt::Key_I},
        {"?PRE:NUMBERREFILLS", Qt::Key_7},        {"?PRE:SPECIALINSTRUCTIONSNOTES", Qt::Key_I},
        {"?PRE:SPECIALINSTRUCTIONSNOTES", Qt::Key_Z},
    };
    for (const Case& c : nothing) {
        SCOPED_TRACE(std::string(c.use) + " " + keyName(c.letter, Qt::AltModifier));
        Focus(form, c.use);
        QWidget* w = widget(form, c.use);
        const std::string before = shown(w);
        key(c.letter, Qt::AltModifier);
        ASSERT_TRUE(qttest::Settle());
        EXPECT_EQ(shown(w), before) << "nothing typed";
        EXPECT_TRUE(hasKeyboard(w)) << "the control keeps the keyboard";
        EXPECT_EQ(screen().Find("UpdateDrugNames"), 0u) << "no insert form for a typed name";
        EXPECT_EQ(screen().Frame()->menuBar()->activeAction(), nullptr) << "no menu opened";
        EXPECT_TRUE(messages_.shown().empty());
        EXPECT_TRUE(screen().MessageBoxes().empty());
        EXPECT_EQ(active(), form);
    }
    // A letter the form marks: Print opens its preview, from a lookup as from a memo.
    for (const char* use : {"?DRU:DRUGNAMEASPRESCRIBED", "?PRE:SPECIALINSTRUCTIONSNOTES"}) {
        SCOPED_TRACE(std::string(use) + " Alt+P");
        Focus(form, use);
        const std::string before = shown(widget(form, use));
        key(Qt::Key_P, Qt::AltModifier);
        ASSERT_TRUE(qttest::Settle());
        EXPECT_EQ(shown(widget(form, use)), before) << "nothing typed";
        const wnd::WindowId preview = screen().Find("Report Preview");
        ASSERT_NE(preview, 0u) << "Print pressed";
        screen().MenuAction(preview, "?EXIT")->trigger();
        ASSERT_TRUE(qttest::Settle());
    }
    // Cancel, from the drug lookup: the untouched form closes and the list has the keyboard back.
    Focus(form, "?DRU:DRUGNAMEASPRESCRIBED");
    key(Qt::Key_C, Qt::AltModifier);
    ASSERT_TRUE(qttest::Settle());
    EXPECT_FALSE(open(form));
    EXPECT_TRUE(messages_.shown().empty()) << "nothing was changed to ask about";
    EXPECT_EQ(active(), list);
}

TEST_F(QtWindowKeys, AltWithALetterInTheHealthProfileActsOnlyOnTheTabShown) {
    const wnd::WindowId people = FromMenu("?PRESCRIPTIONSADDUPDATEORCHANGEPEOPLE", "BrowsePerson");
    ASSERT_NE(people, 0u);
    Press(people, "?CHANGE:3");
    const wnd::WindowId profile = Opened("UpdatePersonsName");
    ASSERT_NE(profile, 0u);
    struct Case {
        const char* use;
        Qt::Key letter;
        const char* opens;  // the window the letter opens; nullptr: nothing happens
    };
    // "&Insert" of the blood-pressure readings is on tab 9: from tab 6's memo or tab 2's plan
    // lookup it marks nothing; from tab 9's list it inserts a reading.
    const Case cases[] = {
        {"?PER:OTHERCONDITIONS", Qt::Key_I, nullptr},
        {"?PER:OTHERCONDITIONS", Qt::Key_Z, nullptr},
        {"?PLA:PLANNAME", Qt::Key_I, nullptr},
        {"?PER:DRVISITNAME1", Qt::Key_I, nullptr},
        {"?LIST", Qt::Key_I, "UpdateBloodpre"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.use) + " " + keyName(c.letter, Qt::AltModifier));
        Focus(profile, c.use);
        QWidget* w = widget(profile, c.use);
        const std::string before = shown(w);
        key(c.letter, Qt::AltModifier);
        ASSERT_TRUE(qttest::Settle());
        EXPECT_EQ(shown(w), before) << "nothing typed";
        EXPECT_EQ(screen().Find("UpdateBloodpre") != 0, c.opens != nullptr);
        if (!c.opens) {
            EXPECT_TRUE(hasKeyboard(w)) << "the control keeps the keyboard";
            EXPECT_EQ(screen().Find("UpdatePlanName"), 0u);
            EXPECT_EQ(screen().Find("UpdateDoctors"), 0u);
            EXPECT_EQ(active(), profile);
        }
    }
}

// Ctrl+F4 closes the active window as its close box does, with the same question about changes,
// and the keyboard goes back to the window it was opened from.
TEST_F(QtWindowKeys, CtrlF4ClosesTheActiveWindowAsItsCloseBoxDoes) {
    struct Case {
        const char* how;
        bool byKey;      // Ctrl+F4, else the close box
        bool typed;      // something typed into the form (not yet left)
        unsigned answer; // to "Changes will be lost!"; 0: not asked
        bool closes;
    } cases[] = {
        {"Ctrl+F4, untouched", true, false, 0, true},
        {"close box, untouched", false, false, 0, true},
        {"Ctrl+F4, typed, kept", true, true, cls::kButtonNo, false},
        {"close box, typed, kept", false, true, cls::kButtonNo, false},
        {"Ctrl+F4, typed, let go", true, true, cls::kButtonYes, true},
        {"close box, typed, let go", false, true, cls::kButtonYes, true},
    };
    list_ = FromMenu("?BROWSEPRESCRIPTS", "BrowsePrescripts");
    ASSERT_NE(list_, 0u);
    wnd::WindowId form = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        if (!form || !open(form)) {
            Press(list_, "?CHANGE:4");
            form = Opened("UpdatePrescripts");
            ASSERT_NE(form, 0u);
        }
        Focus(form, "?PRE:RXNUMBER");
        auto* rx = qobject_cast<QLineEdit*>(widget(form, "?PRE:RXNUMBER"));
        ASSERT_NE(rx, nullptr);
        rx->clear();
        if (c.typed) QTest::keyClicks(rx, "42");
        messages_.clear();
        if (c.answer) messages_.answer(c.answer);
        if (c.byKey) key(Qt::Key_F4, Qt::ControlModifier);
        else sub(form)->close();
        ASSERT_TRUE(qttest::Settle());
        EXPECT_EQ(messages_.numbers(), c.answer ? std::vector<int>{10} : std::vector<int>{});
        EXPECT_EQ(open(form), !c.closes);
        EXPECT_EQ(active(), c.closes ? list_ : form);
        if (!c.closes) {
            EXPECT_EQ(rx->text(), "42") << "the typed text is kept";
        }
    }
    // The list has no question; the frame is no window Ctrl+F4 closes.
    key(Qt::Key_F4, Qt::ControlModifier);
    ASSERT_TRUE(qttest::Settle());
    EXPECT_FALSE(open(list_));
    EXPECT_TRUE(screen().Frame()->isActiveWindow());
    key(Qt::Key_F4, Qt::ControlModifier);
    ASSERT_TRUE(qttest::Settle());
    EXPECT_TRUE(open(frame_));
}

// Ctrl+F6 goes round the windows that take the keyboard, Ctrl+Shift+F6 the other way round; a
// list waiting for its form is passed over (its form stands for it), as Ctrl+Tab passes it over.
TEST_F(QtWindowKeys, CtrlF6AndCtrlShiftF6GoRoundTheWindows) {
    const wnd::WindowId form = OpenChangeForm();
    ASSERT_NE(form, 0u);
    const wnd::WindowId people = FromMenu("?PRESCRIPTIONSADDUPDATEORCHANGEPEOPLE", "BrowsePerson");
    ASSERT_NE(people, 0u);
    auto activate = [&](wnd::WindowId id) {
        mdi()->setActiveSubWindow(sub(id));
        EXPECT_TRUE(qttest::Settle());
    };
    auto press = [&](Qt::Key k, Qt::KeyboardModifiers mods) {
        key(k, mods);
        EXPECT_TRUE(qttest::Settle());
        const wnd::WindowId to = active();
        EXPECT_TRUE(to && sub(to)->isAncestorOf(QApplication::focusWidget())) << "the keyboard is in the window moved to";
        return to;
    };
    const Qt::KeyboardModifiers next = Qt::ControlModifier, previous = Qt::ControlModifier | Qt::ShiftModifier;
    // Two windows: every key goes to the other one, Ctrl+Tab too.
    struct Step {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
    } steps[] = {{Qt::Key_F6, next}, {Qt::Key_F6, previous}, {Qt::Key_Tab, next}};
    for (const Step& s : steps) {
        SCOPED_TRACE(keyName(s.key, s.mods));
        for (const wnd::WindowId from : {form, people}) {
            activate(from);
            EXPECT_EQ(press(s.key, s.mods), from == form ? people : form);
        }
    }
    // Three: round all of them and back where it began, one way and the other; a step back
    // undoes a step on.
    const wnd::WindowId second = FromMenu("?BROWSEPRESCRIPTS", "BrowsePrescripts");
    ASSERT_NE(second, 0u);
    std::vector<wnd::WindowId> all = {form, people, second};
    std::sort(all.begin(), all.end());
    for (const wnd::WindowId from : all) {
        for (const Qt::KeyboardModifiers mods : {next, previous}) {
            SCOPED_TRACE(keyName(Qt::Key_F6, mods) + " from window " + std::to_string(from));
            activate(from);
            std::vector<wnd::WindowId> seen;
            for (int i = 0; i < 3; ++i) seen.push_back(press(Qt::Key_F6, mods));
            EXPECT_EQ(seen.back(), from);
            std::sort(seen.begin(), seen.end());
            EXPECT_EQ(seen, all) << "each window once; never the list that waits";
            const wnd::WindowId on = press(Qt::Key_F6, mods);
            EXPECT_EQ(press(Qt::Key_F6, mods == next ? previous : next), from);
            EXPECT_NE(on, from);
        }
    }
}

// The Menu key and Shift+F10 open the list's own popup (the one with "&View") under its
// highlighted row, or over it where the screen has no room below; at the top left of the rows'
// area when no row is highlighted. Its items act on the highlighted row's record.
TEST_F(QtWindowKeys, TheMenuKeyAndShiftF10OpenThePopupAtTheHighlightedRow) {
    list_ = FromMenu("?BROWSEPRESCRIPTS", "BrowsePrescripts");
    ASSERT_NE(list_, 0u);
    auto* rows = qobject_cast<QTreeWidget*>(widget(list_, "?BROWSE:1"));
    ASSERT_NE(rows, nullptr);
    struct Case {
        const char* how;
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        Qt::Key move;  // to the row the popup opens at
    } cases[] = {
        {"Menu, last row", Qt::Key_Menu, Qt::NoModifier, Qt::Key_End},
        {"Shift+F10, last row", Qt::Key_F10, Qt::ShiftModifier, Qt::Key_End},
        {"Shift+F10, first row", Qt::Key_F10, Qt::ShiftModifier, Qt::Key_Home},
        {"Menu, first row", Qt::Key_Menu, Qt::NoModifier, Qt::Key_Home},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        Focus(list_, "?BROWSE:1");
        key(c.move);
        ASSERT_TRUE(qttest::Settle());
        QTreeWidgetItem* current = rows->currentItem();
        ASSERT_NE(current, nullptr);
        const std::string drug = current->text(0).toStdString();
        // The pointer is elsewhere: over the frame's menu bar.
        QCursor::setPos(screen().Frame()->menuBar()->mapToGlobal(QPoint(2, 2)));
        key(c.key, c.mods);
        ASSERT_TRUE(QTest::qWaitFor([this] { return !screen().PopupMenus().empty(); }, qttest::kWaitMs));
        ASSERT_EQ(screen().PopupMenus().size(), 1u);
        QMenu* menu = screen().PopupMenus().front();
        ASSERT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }, qttest::kWaitMs));
        std::vector<std::string> items;
        for (QAction* a : menu->actions()) items.push_back(a->text().toStdString());
        EXPECT_EQ(items, (std::vector<std::string>{"&Insert", "&Change", "&Delete", "&View"}));
        const QRect row(rows->viewport()->mapToGlobal(rows->visualItemRect(current).topLeft()),
                        rows->visualItemRect(current).size());
        const QRect at = menu->geometry();
        EXPECT_FALSE(at.intersects(row)) << "the row stays in sight";
        EXPECT_TRUE(at.top() == row.bottom() + 1 || at.bottom() + 1 == row.top())
            << "menu " << at.top() << ".." << at.bottom() << ", row " << row.top() << ".." << row.bottom();
        EXPECT_GE(at.left(), row.left());
        EXPECT_LT(at.left(), row.left() + 3 * row.height()) << "at the row's start";
        // View, from the keyboard: the highlighted row's prescription.
        QTest::keyClick(menu, Qt::Key_V);
        ASSERT_TRUE(qttest::Settle());
        const wnd::WindowId view = screen().Find("UpdatePrescripts");
        ASSERT_NE(view, 0u);
        EXPECT_EQ(screen().WindowWidget(view)->windowTitle().toStdString(), "View Record");
        EXPECT_EQ(shown(widget(view, "?DRU:DRUGNAMEASPRESCRIBED")), drug);
        key(Qt::Key_Escape);
        ASSERT_TRUE(qttest::Settle());
        ASSERT_EQ(screen().Find("UpdatePrescripts"), 0u);
    }
    // An empty list highlights no row: its popup opens at the top left of its rows' area.
    Press(list_, "?CHANGE:4");
    const wnd::WindowId form = Opened("UpdatePrescripts");
    ASSERT_NE(form, 0u);
    Press(form, "?BUTTON4:3");
    const wnd::WindowId pharmacies = Opened("BrowsePharmacy");
    ASSERT_NE(pharmacies, 0u);
    auto* empty = qobject_cast<QTreeWidget*>(widget(pharmacies, "?BROWSE:1"));
    ASSERT_NE(empty, nullptr);
    ASSERT_EQ(empty->topLevelItemCount(), 0);
    Focus(pharmacies, "?BROWSE:1");
    key(Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !screen().PopupMenus().empty(); }, qttest::kWaitMs));
    QMenu* menu = screen().PopupMenus().front();
    ASSERT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }, qttest::kWaitMs));
    EXPECT_EQ(menu->geometry().topLeft(), empty->viewport()->mapToGlobal(QPoint(0, 0))) << "in the rows' area";
    QTest::keyClick(menu, Qt::Key_Escape);
    ASSERT_TRUE(qttest::Settle());
    EXPECT_TRUE(screen().PopupMenus().empty());
    EXPECT_TRUE(open(pharmacies));
}

}  // namespace
