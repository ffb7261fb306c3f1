// The program's own windows on the Qt presenter, driven as a user drives them: the frame's menu,
// the prescription list, its form and the form's report preview. A window that waits for another
// never comes in front of it; the keyboard comes back to the window a closed one was opened from;
// a list keeps its look under its own popup menu; Escape presses a window's Cancel or Close; keys
// and clicks typed ahead go to the window that has the keyboard once the input before them is done.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "globals/globals.h"
#include "platform/qt/help_viewer.h"
#include "platform/qt/qt_presenter.h"
#include "platform/qt/screen.h"
#include "platform/window/task_queue.h"
#include "platform/window/window_system.h"
#include "prescriptions/register.h"
#include "qt/qt_test_support.h"
#include "qt_program/running_program.h"
#include "shell/main_frame.h"
#include "shell/procedure_services.h"
#include "shell/run_application.h"
#include "support/close_all_windows.h"
#include "support/program_fixture.h"
#include "support/program_setup.h"
#include "support/typed_inserts.h"

namespace {

class QtProgramWindows : public qttest::RunningProgram {
protected:
    void SetUp() override {
        SetUpProgram();
        if (HasFatalFailure()) return;
        StartProgram();
    }
    // The MDI child shown over all others.
    QMdiSubWindow* topChild() {
        const auto subs = mdi()->subWindowList(QMdiArea::StackingOrder);
        return subs.isEmpty() ? nullptr : subs.back();
    }

    // The prescription list from the frame's menu, and a new prescription's form from its Insert.
    void OpenListAndForm() {
        QAction* browse = screen().MenuAction(frame_, "?BROWSEPRESCRIPTS");
        ASSERT_NE(browse, nullptr);
        browse->trigger();
        ASSERT_TRUE(qttest::Settle());
        list_ = screen().Find("BrowsePrescripts");
        ASSERT_NE(list_, 0u);
        auto* insert = qobject_cast<QAbstractButton*>(widget(list_, "?INSERT:4"));
        ASSERT_NE(insert, nullptr);
        QTest::mouseClick(insert, Qt::LeftButton);
        ASSERT_TRUE(qttest::Settle());
        form_ = screen().Find("UpdatePrescripts");
        ASSERT_NE(form_, 0u);
        ASSERT_EQ(topChild(), sub(form_));
    }
    // The drug name entry of the form, where typed keys land.
    QLineEdit* drugName() {
        auto* combo = qobject_cast<QComboBox*>(widget(form_, "?DRU:DRUGNAMEASPRESCRIBED"));
        return combo ? combo->lineEdit() : nullptr;
    }
    // The form is in front and has the keyboard.
    void ExpectFormInFront(const char* after) {
        SCOPED_TRACE(after);
        EXPECT_EQ(topChild(), sub(form_));
        EXPECT_EQ(mdi()->activeSubWindow(), sub(form_));
        EXPECT_EQ(QApplication::activeWindow(), screen().Frame());
        QWidget* focus = QApplication::focusWidget();
        EXPECT_TRUE(focus && sub(form_)->isAncestorOf(focus));
    }
    // ... and its drug name, which has the focus, takes a typed key.
    void ExpectDrugNameTakesKeys() {
        ASSERT_NE(drugName(), nullptr);
        QWidget* focus = QApplication::focusWidget();
        ASSERT_TRUE(focus == drugName() || focus == drugName()->parentWidget());
        const QString before = drugName()->text();
        QTest::keyClicks(focus, "q");
        EXPECT_EQ(drugName()->text(), before + "q");
        drugName()->clear();
    }

    wnd::WindowId list_ = 0, form_ = 0;
};

TEST_F(QtProgramWindows, AfterThePreviewClosesTheFormIsInFrontAndTakesKeys) {
    OpenListAndForm();
    // Both ways out of the preview: File > Exit, and Escape (which presses it).
    for (const bool byEscape : {false, true}) {
        SCOPED_TRACE(byEscape ? "Escape" : "File > Exit");
        QTest::mouseClick(qobject_cast<QAbstractButton*>(widget(form_, "?PRINT")), Qt::LeftButton);
        ASSERT_TRUE(qttest::Settle());
        const wnd::WindowId preview = screen().Find("Report Preview");
        ASSERT_NE(preview, 0u);
        QWidget* shown = screen().WindowWidget(preview);
        EXPECT_EQ(QApplication::activeWindow(), shown);
        // A click on the greyed list brings the preview forward, not the list.
        mdi()->setActiveSubWindow(sub(list_));
        ASSERT_TRUE(qttest::Settle());
        EXPECT_EQ(QApplication::activeWindow(), shown);
        EXPECT_NE(topChild(), sub(list_));
        if (byEscape) QTest::keyClick(shown, Qt::Key_Escape);
        else screen().MenuAction(preview, "?EXIT")->trigger();
        ASSERT_TRUE(qttest::Settle());
        ASSERT_EQ(screen().Find("Report Preview"), 0u);
        ExpectFormInFront("the preview closed");
        // Back on the control that had it.
        EXPECT_EQ(QApplication::focusWidget(), widget(form_, "?PRINT"));
    }
    // A key typed now reaches the form: Escape presses its Cancel, and the list is back in front.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    ASSERT_TRUE(qttest::Settle());
    EXPECT_EQ(screen().Find("UpdatePrescripts"), 0u);
    EXPECT_EQ(mdi()->activeSubWindow(), sub(list_));
    EXPECT_TRUE(sub(list_)->isAncestorOf(QApplication::focusWidget()));
}

TEST_F(QtProgramWindows, CtrlTabAndTheWindowMenuNeverPutTheListOverItsForm) {
    OpenListAndForm();
    for (int round = 1; round <= 2; ++round) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
        ASSERT_TRUE(qttest::Settle());
        ExpectFormInFront("Ctrl+Tab");
        ExpectDrugNameTakesKeys();
    }
    // The Window menu's entry for the list.
    mdi()->setActiveSubWindow(sub(list_));
    ASSERT_TRUE(qttest::Settle());
    ExpectFormInFront("the list chosen");
    ExpectDrugNameTakesKeys();
}

TEST_F(QtProgramWindows, AListKeepsItsLookUnderItsOwnPopupMenu) {
    QAction* browse = screen().MenuAction(frame_, "?BROWSEPRESCRIPTS");
    browse->trigger();
    ASSERT_TRUE(qttest::Settle());
    list_ = screen().Find("BrowsePrescripts");
    QWidget* rows = widget(list_, "?BROWSE:1");
    ASSERT_NE(rows, nullptr);
    QWidget* close = widget(list_, "?CLOSE");
    ASSERT_NE(close, nullptr);
    // The Apps key asks the list procedure for its popup menu, on the list's own thread.
    QTest::keyClick(rows, Qt::Key_Menu);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !screen().PopupMenus().empty(); }, qttest::kWaitMs));
    ASSERT_TRUE(qttest::Settle());
    EXPECT_TRUE(rows->isEnabled());
    EXPECT_TRUE(close->isEnabled());
    // It takes no other input meanwhile: its Close pressed does nothing.
    qobject_cast<QAbstractButton*>(close)->click();
    screen().PopupMenus().front()->hide();
    ASSERT_TRUE(qttest::Settle());
    EXPECT_EQ(screen().Find("BrowsePrescripts"), list_);
    EXPECT_TRUE(rows->isEnabled());
}

TEST_F(QtProgramWindows, EscapePressesTheWindowsCancelOrClose) {
    OpenListAndForm();
    // A form untouched: its Cancel lets it go without a question.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    ASSERT_TRUE(qttest::Settle());
    EXPECT_EQ(screen().Find("UpdatePrescripts"), 0u);
    EXPECT_TRUE(screen().MessageBoxes().empty());
    // The list has the keyboard back; Escape presses its Close.
    ASSERT_TRUE(QApplication::focusWidget() && sub(list_)->isAncestorOf(QApplication::focusWidget()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    ASSERT_TRUE(qttest::Settle());
    EXPECT_EQ(screen().Find("BrowsePrescripts"), 0u);
    // The frame has none: Escape there ends nothing.
    QTest::keyClick(screen().Frame(), Qt::Key_Escape);
    ASSERT_TRUE(qttest::Settle());
    EXPECT_EQ(screen().Find("Main"), frame_);
}

// A window of the program's own, not an MDI child: a window manager is told it belongs to the frame
// (only a dialog-type window carries its owner to the window system) and keeps it above the frame.
void ExpectOwnedByFrame(QWidget* w, QWidget* frame) {
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isWindow());
    EXPECT_EQ(w->windowType(), Qt::Dialog);
    ASSERT_NE(w->windowHandle(), nullptr);
    EXPECT_EQ(w->windowHandle()->transientParent(), frame->windowHandle());
}

QRect Available(const QWidget* w) { return w->screen()->availableGeometry(); }

TEST_F(QtProgramWindows, PlainWindowsBelongToTheFrameAndOpenOverTheirOpenerOnTheScreen) {
    QWidget* frame = screen().Frame();
    const QRect area = Available(frame);
    // The frame where it opened, and dragged mostly past the screen's bottom right.
    const std::pair<const char*, QPoint> places[] = {{"where it opened", frame->pos()},
                                                    {"at the bottom right", area.bottomRight() - QPoint(260, 160)}};
    OpenListAndForm();
    for (const auto& [what, at] : places) {
        SCOPED_TRACE(what);
        frame->move(at);
        ASSERT_TRUE(qttest::Settle());
        // The form's preview: centred on the form, pulled back onto the screen.
        QTest::mouseClick(qobject_cast<QAbstractButton*>(widget(form_, "?PRINT")), Qt::LeftButton);
        ASSERT_TRUE(qttest::Settle());
        QWidget* preview = screen().WindowWidget(screen().Find("Report Preview"));
        ExpectOwnedByFrame(preview, frame);
        EXPECT_TRUE(area.contains(preview->frameGeometry())) << preview->frameGeometry().x() << "," << preview->frameGeometry().y();
        const QRect form(sub(form_)->mapToGlobal(QPoint(0, 0)), sub(form_)->size());
        EXPECT_TRUE(preview->frameGeometry().intersects(form));
        QTest::keyClick(preview, Qt::Key_Escape);
        ASSERT_TRUE(qttest::Settle());
        ASSERT_EQ(screen().Find("Report Preview"), 0u);
    }
    // A window with a designed place stands there within the frame's MDI area, on the screen.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);  // the untouched form goes
    ASSERT_TRUE(qttest::Settle());
    frame->move(area.topLeft() + QPoint(40, 30));
    ASSERT_TRUE(qttest::Settle());
    screen().MenuAction(frame_, "?REPORTSITEM21")->trigger();
    ASSERT_TRUE(qttest::Settle());
    QWidget* chooser = screen().WindowWidget(screen().Find("Choose Person's Name for Quick List Report"));
    ExpectOwnedByFrame(chooser, frame);
    const QRect inside(mdi()->mapToGlobal(QPoint(0, 0)), mdi()->size());
    EXPECT_TRUE(inside.contains(chooser->pos())) << chooser->x() << "," << chooser->y();
    EXPECT_NE(chooser->pos(), inside.topLeft());  // at its offset, not in the corner
    EXPECT_TRUE(area.contains(chooser->frameGeometry()));
}

TEST_F(QtProgramWindows, HelpBelongsToTheFrameWithItsIconOverIt) {
    screen().MenuAction(frame_, "?HELPINDEX")->trigger();
    ASSERT_TRUE(qttest::Settle());
    qtp::HelpViewer* help = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* h = dynamic_cast<qtp::HelpViewer*>(w); h && h->isVisible()) help = h;
    ASSERT_NE(help, nullptr);
    ExpectOwnedByFrame(help, screen().Frame());
    EXPECT_FALSE(help->windowIcon().isNull());
    EXPECT_EQ(help->windowIcon().cacheKey(), screen().Frame()->windowIcon().cacheKey());
    EXPECT_TRUE(screen().Frame()->frameGeometry().contains(help->frameGeometry().center()));
    EXPECT_TRUE(Available(help).contains(help->frameGeometry()));
}

TEST_F(QtProgramWindows, ABoxMinimisedComesBackWithTheKeyboard) {
    shell::ShowMessagesInWindows();  // the program's messages in boxes of their own, as it shows them
    // The quick listing with nobody chosen finds nothing, and says so in a box.
    screen().MenuAction(frame_, "?REPORTSITEM21")->trigger();
    ASSERT_TRUE(qttest::Settle());
    QWidget* chooser = screen().WindowWidget(screen().Find("Choose Person's Name for Quick List Report"));
    ASSERT_NE(chooser, nullptr);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !screen().MessageBoxes().empty(); }, qttest::kWaitMs));
    ASSERT_EQ(screen().MessageBoxes().size(), 1u);
    QMessageBox* box = screen().MessageBoxes().front();
    QWidget* frame = screen().Frame();
    // A window manager minimises the box on its own, or the whole program with it.
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"the frame activated", [&] {
             box->showMinimized();
             frame->activateWindow();
         }},
        {"the program restored", [&] {
             box->showMinimized();
             frame->showMinimized();
             QApplication::processEvents();
             frame->showNormal();
         }},
    };
    for (const auto& [what, act] : ways) {
        SCOPED_TRACE(what);
        act();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !box->isMinimized() && QApplication::activeWindow() == box; }, qttest::kWaitMs));
    }
    // Answered from the keyboard it has: the report ends, and its chooser with it.
    QTest::keyClick(box, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([this] { return screen().MessageBoxes().empty(); }, qttest::kWaitMs));
    ASSERT_TRUE(qttest::Settle());
    EXPECT_EQ(screen().Find("Choose Person's Name for Quick List Report"), 0u);
}

TEST_F(QtProgramWindows, AKeyTheWindowSystemSendsWithNoActiveWindowActsThere) {
    // The window system hands the keyboard to the frame while Qt holds no window active (a box
    // closing as the focus comes back): the frame's menu keys still act.
    QWidget* frame = screen().Frame();
    QApplication::setActiveWindow(nullptr);
    ASSERT_EQ(QApplication::activeWindow(), nullptr);
    QTest::keyClick(frame->windowHandle(), Qt::Key_P, Qt::AltModifier);
    EXPECT_EQ(QApplication::activeWindow(), frame);
    EXPECT_TRUE(QTest::qWaitFor([] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()) != nullptr; }, qttest::kWaitMs));
    if (QWidget* menu = QApplication::activePopupWidget()) menu->close();
    ASSERT_TRUE(qttest::Settle());
}

// Prescriptions typed in one after another with no pause: every key and click is sent where the
// keyboard or the pointer is at the moment it is made, with the GUI handling nothing in between,
// as a desktop's input queue hands them on. Each waits while the list or the form acts on the
// input before it, so the files hold exactly what was typed and no window is left open.
TEST_F(QtProgramWindows, InsertsTypedWithNoPauseStoreExactlyWhatWasTyped) {
    constexpr int kDrugs = 12;
    testing_support::SeedTypedInsertTables(kDrugs);
    // Where the keyboard is: the focused widget, or the frame while none has the focus.
    const auto keyboard = [this]() -> QWidget* {
        QWidget* w = QApplication::focusWidget();
        return w ? w : screen().Frame();
    };
    const auto key = [&](int k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(keyboard(), static_cast<Qt::Key>(k), mods);
    };
    const auto type = [&](const std::string& text) { QTest::keyClicks(keyboard(), QString::fromStdString(text)); };
    // The list from the frame's menu, and a prescription typed at once: the list opens on a
    // thread of its own, and the keys wait for it.
    screen().MenuAction(frame_, "?BROWSEPRESCRIPTS")->trigger();
    key(Qt::Key_I, Qt::AltModifier);
    type("Med06");
    key(Qt::Key_Tab);
    key(Qt::Key_O, Qt::AltModifier);
    ASSERT_TRUE(qttest::Settle());
    list_ = screen().Find("BrowsePrescripts");
    ASSERT_NE(list_, 0u);
    EXPECT_EQ(testing_support::StoredPrescriptionDrugs(), std::vector<std::string>{"Med06"});
    EXPECT_EQ(screen().Find("UpdatePrescripts"), 0u);
    auto* insert = qobject_cast<QAbstractButton*>(widget(list_, "?INSERT:4"));
    ASSERT_NE(insert, nullptr);
    const auto clickInsert = [insert] { QTest::mouseClick(insert, Qt::LeftButton); };
    struct Case {
        const char* what;
        std::function<void()> before;  // done, and waited for, before the rest is typed at once
        std::function<void(const std::string&)> insert;  // one prescription, its drug name typed
        std::vector<std::pair<std::string, std::string>> drugs;  // typed, and what the form takes for it
        std::function<void()> after;   // typed at once after the last
    };
    const Case cases[] = {
        {"Alt+I, a name, Tab, Alt+O", [] {},
         [&](const std::string& name) {
             key(Qt::Key_I, Qt::AltModifier);
             type(name);
             key(Qt::Key_Tab);
             key(Qt::Key_O, Qt::AltModifier);
         },
         {{"Med07", "Med07"}, {"Med03", "Med03"}, {"Med12", "Med12"}, {"Med01", "Med01"}, {"Med09", "Med09"}}, [] {}},
        // The list is greyed while its form is open: a click on its Insert waits until the list
        // takes input again, and opens the next form.
        {"with a form open: a name, Alt+O, a click on Insert", [&] { key(Qt::Key_I, Qt::AltModifier); },
         [&](const std::string& name) {
             type(name);
             key(Qt::Key_O, Qt::AltModifier);
             clickInsert();
         },
         {{"Med04", "Med04"}, {"Med10", "Med10"}, {"Med02", "Med02"}},
         [&] { key(Qt::Key_Escape); }},  // the last form, untouched, let go
        // Tab waits for the lookup's completion of what was typed before it.
        {"Alt+I, a name's first letters, Tab, Alt+O", [] {},
         [&](const std::string& name) {
             key(Qt::Key_I, Qt::AltModifier);
             type(name);
             key(Qt::Key_Tab);
             key(Qt::Key_O, Qt::AltModifier);
         },
         {{"Med1", "Med10"}, {"Med0", "Med01"}, {"med05", "Med05"}}, [] {}},
    };
    std::vector<std::string> stored = {"Med06"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        widget(list_, "?BROWSE:1")->setFocus();
        c.before();
        ASSERT_TRUE(qttest::Settle());
        for (const auto& [typed, taken] : c.drugs) {
            c.insert(typed);
            stored.push_back(taken);
        }
        c.after();
        ASSERT_TRUE(qttest::Settle());
        EXPECT_EQ(testing_support::StoredPrescriptionDrugs(), stored);
        EXPECT_EQ(testing_support::StoredDrugList().size(), static_cast<std::size_t>(kDrugs)) << "no drug added";
        EXPECT_EQ(screen().Find("UpdatePrescripts"), 0u);
        EXPECT_EQ(screen().Find("UpdateDrugNames"), 0u);
        EXPECT_TRUE(screen().MessageBoxes().empty());
        EXPECT_TRUE(sub(list_)->isAncestorOf(QApplication::focusWidget())) << "the list has the keyboard back";
    }
}

}  // namespace
