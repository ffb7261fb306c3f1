// The profile and prescription forms in a frame of the program's start-up size, under the resizer
// as the program runs them: maximised they keep their columns and rows, their buttons at the right
// edge and every control within reach (the form scrolls where the frame is smaller than it);
// restored they are laid out exactly as designed, however often; the frame keeps its size.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "platform/classes/window_resizer.h"
#include "platform/qt/qt_presenter.h"
#include "platform/qt/screen.h"
#include "platform/window/layout.h"
#include "platform/window/task_queue.h"
#include "platform/window/window.h"
#include "qt/qt_test_support.h"
#include "support/stored_windows.h"

inline void PrintTo(const QRect& r, std::ostream* os) { *os << r.x() << "," << r.y() << " " << r.width() << "x" << r.height(); }

namespace {

void RunFrame() {
    wnd::Window w("Main", "P1$APPFRAME");
    w.Open();
    while (w.Accept()) {
    }
}

// A form's window with its resizer, as every form procedure sets them up.
void RunForm(std::string procedure, std::function<void(wnd::Window&)> bind = {}) {
    wnd::Window w(procedure, "P1$QUICKWINDOW");
    if (bind) bind(w);
    w.Open();
    w.Display();
    testing_support::RunResized(w);
}

// A box's controls (an option's radios) keep their place in their box, not in a column.
bool inBox(const wnd::WindowLayout& layout, const wnd::LayoutControl& c) {
    for (const wnd::LayoutControl& box : layout.controls)
        if (box.state.number == c.state.parent) return box.state.kind == wnd::ControlKind::Option || box.state.kind == wnd::ControlKind::Group;
    return false;
}

int NumberOf(const wnd::WindowLayout& layout, std::string_view use) {
    for (const wnd::LayoutControl& c : layout.controls)
        if (c.state.use == use) return c.state.number;
    return 0;
}

class QtFormLayouts : public qttest::TaskWindowsTest {
protected:
    // Where every control of the form stands on its surface.
    std::map<std::string, QRect> Geometry(wnd::WindowId id, const wnd::WindowLayout& layout, QWidget* body) {
        std::map<std::string, QRect> out;
        for (const wnd::LayoutControl& c : layout.controls)
            if (QWidget* w = screen().ControlWidget(id, c.state.use); w && c.state.kind != wnd::ControlKind::Tab)
                out[c.state.use] = QRect(w->mapTo(body, QPoint()), w->size());
        return out;
    }
};

TEST_F(QtFormLayouts, TheProfileAndPrescriptionFormsKeepTheirLayoutMaximisedAndRestored) {
    ASSERT_NE(wnd::StartTask(RunFrame, 0), 0);
    ASSERT_TRUE(qttest::Settle());
    QMainWindow* frame = screen().Frame();
    ASSERT_NE(frame, nullptr);
    auto* area = frame->findChild<QMdiArea*>();
    ASSERT_NE(area, nullptr);
    const QSize startUp = frame->size();
    for (const char* procedure : {"UpdatePersonsName", "UpdatePrescripts"}) {
        SCOPED_TRACE(procedure);
        frame->resize(startUp);
        ASSERT_TRUE(qttest::Settle());
        ASSERT_NE(wnd::StartTask([procedure] { RunForm(procedure); }, 0), 0);
        ASSERT_TRUE(qttest::Settle());
        const wnd::WindowId id = screen().Find(procedure);
        auto* sub = qobject_cast<QMdiSubWindow*>(screen().WindowWidget(id));
        ASSERT_NE(sub, nullptr);
        EXPECT_EQ(frame->size(), startUp) << "opening a window never resizes the frame";
        const wnd::WindowLayout* layout = wnd::FindWindowLayout(procedure, "P1$QUICKWINDOW");
        ASSERT_NE(layout, nullptr);
        QWidget* body = screen().ControlWidget(id, "?CURRENTTAB")->parentWidget();
        auto* scroll = qobject_cast<QScrollArea*>(body->parentWidget()->parentWidget());
        ASSERT_NE(scroll, nullptr) << "the form's surface scrolls";
        const std::map<std::string, QRect> designed = Geometry(id, *layout, body);
        if (std::string_view(procedure) == "UpdatePrescripts") {
            // "Rx Number:", designed flush against the entry before it, begins its text clear of it.
            auto* rx = qobject_cast<QLabel*>(screen().ControlWidget(id, "?PRE:RXNUMBER:PROMPT"));
            ASSERT_NE(rx, nullptr);
            EXPECT_GT(designed.at("?PRE:RXNUMBER:PROMPT").x() + rx->indent(), designed.at("?PRE:GENERICNAME").right() + 1);
        }
        const QSize designedBody = body->size();
        const QRect help = designed.at("?HELP");

        // Maximised: every control lies on the surface, controls designed in one column share it,
        // and the Help button keeps to the right edge (where the sheet above it ends; within a
        // unit's rounding).
        auto expectTheLayoutKept = [&] {
            const std::map<std::string, QRect> now = Geometry(id, *layout, body);
            for (const auto& [use, at] : now) EXPECT_TRUE(body->rect().contains(at)) << use << " lies on the surface";
            EXPECT_NEAR(now.at("?HELP").right(), static_cast<double>(help.right()) * body->width() / designedBody.width(), 5)
                << "Help keeps to the right edge, in proportion to the window";
            for (const wnd::LayoutControl& a : layout->controls)
                for (const wnd::LayoutControl& b : layout->controls) {
                    if (!now.count(a.state.use) || !now.count(b.state.use) || std::abs(a.state.at.x - b.state.at.x) > 3 ||
                        inBox(*layout, a) || inBox(*layout, b))
                        continue;
                    const int designedGap = designed.at(a.state.use).x() - designed.at(b.state.use).x();
                    EXPECT_NEAR(now.at(a.state.use).x() - now.at(b.state.use).x(), designedGap, 2)
                        << a.state.use << " and " << b.state.use << " share a column";
                }
        };
        for (int cycle = 1; cycle <= 10; ++cycle) {
            SCOPED_TRACE("cycle " + std::to_string(cycle));
            sub->showMaximized();
            ASSERT_TRUE(qttest::Settle());
            // The profile is taller than the frame's area: its surface keeps its height, and scrolls.
            expectTheLayoutKept();
            if (std::string_view(procedure) == "UpdatePersonsName") {
                EXPECT_GT(body->height(), scroll->viewport()->height());
                // The focus on the foot's row scrolls it into view.
                presenter_->SetFocus(id, NumberOf(*layout, "?PER:DATEUPDATED"));
                ASSERT_TRUE(qttest::Settle());
                QWidget* date = screen().ControlWidget(id, "?PER:DATEUPDATED");
                EXPECT_TRUE(QTest::qWaitFor([&] {
                    return scroll->viewport()->rect().contains(QRect(date->mapTo(scroll->viewport(), QPoint()), date->size()));
                }, qttest::kWaitMs)) << "scrolled into view";
                presenter_->SetFocus(id, NumberOf(*layout, "?PER:LASTNAME"));
                ASSERT_TRUE(qttest::Settle());
            }
            EXPECT_EQ(scroll->verticalScrollBar()->maximum(), body->height() - scroll->viewport()->height());
            EXPECT_EQ(frame->size(), startUp);
            sub->showNormal();
            ASSERT_TRUE(qttest::Settle());
            for (const auto& [use, at] : Geometry(id, *layout, body)) EXPECT_EQ(at, designed.at(use)) << use << " restored";
            EXPECT_EQ(body->size(), designedBody);
        }

        // In a frame as large as a screen.
        frame->resize(1280, 1000);
        sub->showMaximized();
        ASSERT_TRUE(qttest::Settle());
        EXPECT_GT(body->width(), designedBody.width() * 3 / 2);
        expectTheLayoutKept();
        sub->showNormal();
        ASSERT_TRUE(qttest::Settle());
        for (const auto& [use, at] : Geometry(id, *layout, body)) EXPECT_EQ(at, designed.at(use)) << use << " restored";
        sub->close();
        ASSERT_TRUE(qttest::Settle());
    }
}

// A form opened while the one in front is maximised opens maximised too (the MDI area's way), and
// is laid out for that size: its buttons stand at the right edge, not where they were designed.
TEST_F(QtFormLayouts, AFormOpenedMaximisedIsLaidOutForItsSize) {
    ASSERT_NE(wnd::StartTask(RunFrame, 0), 0);
    ASSERT_TRUE(qttest::Settle());
    screen().Frame()->resize(1280, 1000);
    ASSERT_NE(wnd::StartTask([] { RunForm("UpdatePrescripts"); }, 0), 0);
    ASSERT_TRUE(qttest::Settle());
    screen().WindowWidget(screen().Find("UpdatePrescripts"))->showMaximized();
    ASSERT_TRUE(qttest::Settle());
    ASSERT_NE(wnd::StartTask([] { RunForm("UpdatePersonsName"); }, 0), 0);
    ASSERT_TRUE(qttest::Settle());
    QTest::qWait(50);  // the size a window opened with settles once its first layout has passed
    ASSERT_TRUE(qttest::Settle());
    const wnd::WindowId id = screen().Find("UpdatePersonsName");
    ASSERT_TRUE(screen().WindowWidget(id)->isMaximized());
    QWidget* help = screen().ControlWidget(id, "?HELP");
    QWidget* sheet = screen().ControlWidget(id, "?CURRENTTAB");
    QWidget* body = sheet->parentWidget();
    EXPECT_GT(help->mapTo(body, QPoint()).x(), body->width() / 2 + body->width() / 4) << "at the right edge";
    EXPECT_NEAR(help->mapTo(body, QPoint(help->width(), 0)).x(), sheet->mapTo(body, QPoint(sheet->width(), 0)).x(), 5)
        << "ending where the sheet ends";
}

// A value longer than its entry reads from its first character, also once the entry has the
// focus (its whole value selected, the caret at its start): an e-mail address, a doctor's name and
// a visit's purpose in the profile.
TEST_F(QtFormLayouts, AnEntryShowsTheStartOfALongValue) {
    ASSERT_NE(wnd::StartTask(RunFrame, 0), 0);
    ASSERT_TRUE(qttest::Settle());
    const std::string email = "margaret.featherstonehaugh-whittingham@longfamilynames.example.org";
    const std::string doctor = "Dr. Lee, Saint Bartholomew Memorial Hospital Westminster Boulevard";
    // The window's variables, made before its thread starts and kept until the test ends.
    std::string mail = email.substr(0, 59), name = doctor.substr(0, 50), purpose = doctor.substr(0, 50);
    ASSERT_NE(wnd::StartTask([&] {
        RunForm("UpdatePersonsName", [&](wnd::Window& w) {
            EXPECT_EQ(w.Bind("PER:EMAILADDRESS:2", wnd::UseVariable::Text(mail, 59)), 1);
            EXPECT_EQ(w.Bind("PER:DRVISITNAME1", wnd::UseVariable::Text(name, 50)), 1);
            EXPECT_EQ(w.Bind("PER:DRVISITPURPOSE1", wnd::UseVariable::Text(purpose, 50)), 1);
        });
    }, 0), 0);
    ASSERT_TRUE(qttest::Settle());
    const wnd::WindowId id = screen().Find("UpdatePersonsName");
    auto* mailEdit = qobject_cast<QLineEdit*>(screen().ControlWidget(id, "?PER:EMAILADDRESS:2"));
    auto* nameCombo = qobject_cast<QComboBox*>(screen().ControlWidget(id, "?PER:DRVISITNAME1"));
    auto* purposeEdit = qobject_cast<QLineEdit*>(screen().ControlWidget(id, "?PER:DRVISITPURPOSE1"));
    ASSERT_TRUE(mailEdit && nameCombo && nameCombo->lineEdit() && purposeEdit);
    for (QLineEdit* edit : {mailEdit, nameCombo->lineEdit(), purposeEdit}) {
        SCOPED_TRACE(edit->text().toStdString());
        ASSERT_GT(edit->fontMetrics().horizontalAdvance(edit->text()), edit->width()) << "the value is longer than its entry";
        EXPECT_EQ(edit->cursorPosition(), 0);
        EXPECT_LT(edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().left(), edit->fontMetrics().averageCharWidth()) << "the first character shows";
    }
    // Given the focus, the whole value is selected and still reads from its start.
    const wnd::WindowLayout* layout = wnd::FindWindowLayout("UpdatePersonsName", "P1$QUICKWINDOW");
    ASSERT_NE(layout, nullptr);
    presenter_->SetFocus(id, NumberOf(*layout, "?PER:EMAILADDRESS:2"));
    ASSERT_TRUE(qttest::Settle());
    EXPECT_TRUE(mailEdit->hasFocus());
    EXPECT_EQ(mailEdit->selectedText(), mailEdit->text());
    EXPECT_EQ(mailEdit->cursorPosition(), 0);
    EXPECT_LT(mailEdit->inputMethodQuery(Qt::ImCursorRectangle).toRect().left(), mailEdit->fontMetrics().averageCharWidth());
    screen().WindowWidget(id)->close();
    ASSERT_TRUE(qttest::Settle());
}

}  // namespace
