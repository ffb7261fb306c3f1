// What the task's control properties look like on the Qt presenter: the pictures on buttons, text
// colours, read-only entries, and a spin's arrows over a range. Driven straight through the
// Presenter interface.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

#include <limits>
#include <mutex>
#include <string>
#include <vector>

#include "platform/qt/button_icons.h"
#include "platform/qt/qt_presenter.h"
#include "platform/qt/screen.h"
#include "platform/qt/spin_edit.h"
#include "qt/qt_test_support.h"

namespace {

using Kind = wnd::InputEvent::Kind;
constexpr std::uint64_t kLatest = std::numeric_limits<std::uint64_t>::max();  // answers every keystroke

QImage picture(const QIcon& icon) { return icon.pixmap(16).toImage().convertToFormat(QImage::Format_ARGB32); }

TEST(QtButtonIcons, EveryNamedIconIsDrawnInAnyCaseAndNoTwoLookAlike) {
    const char* names[] = {"WASELECT.ICO", "waview.ico", "WAInsert.ICO", "WACHANGE.ICO", "WADELETE.ICO",
                           "WACLOSE.ICO",  "WAHELP.ICO", "WAOK.ICO",     "WACANCEL.ICO", "CAL1.ICO"};
    std::vector<QImage> drawn;
    for (const char* name : names) {
        const QIcon icon = qtp::ButtonIcon(name);
        ASSERT_FALSE(icon.isNull()) << name;
        const QImage image = picture(icon);
        ASSERT_EQ(image.size(), QSize(16, 16)) << name;
        int inked = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) inked += qAlpha(image.pixel(x, y)) > 128;
        EXPECT_GT(inked, 30) << name << " is hardly drawn";
        for (std::size_t i = 0; i < drawn.size(); ++i) EXPECT_NE(image, drawn[i]) << name << " looks like " << names[i];
        drawn.push_back(image);
    }
    EXPECT_TRUE(qtp::ButtonIcon("thing.ico").isNull());
    EXPECT_TRUE(qtp::ButtonIcon("").isNull());
    EXPECT_TRUE(qtp::ButtonIcon("WAOK.ICO.bak").isNull());
}

// A form's foot and a date entry, at the sizes the program's windows give them.
class QtControlProperties : public qttest::OneWindowTest {
protected:
    void SetUp() override {
        using K = wnd::ControlKind;
        wnd::WindowState w = qttest::PlainWindow("Looks");
        w.font.points = 8;
        w.controls = {qttest::MakeControl(1, K::Button, "?OK", {208, 234, 44, 14}, "&OK", "WAOK.ICO"),
                      qttest::MakeControl(2, K::Button, "?CANCEL", {256, 234, 44, 14}, "&Cancel", "WACANCEL.ICO"),
                      qttest::MakeControl(3, K::Button, "?CALENDAR", {158, 90, 14, 13}, "", "cal1.ico"),
                      qttest::MakeControl(4, K::Button, "?LOOKUP", {324, 21, 12, 12}, "", "thing.ico"),
                      qttest::MakeControl(5, K::String, "?DAY", {8, 8, 40, 10}, "Sunday"),
                      qttest::MakeControl(6, K::Entry, "?DATE", {100, 90, 56, 10}, ""),
                      qttest::MakeControl(7, K::Spin, "?HOURS", {8, 40, 40, 12}, ""),
                      qttest::MakeControl(8, K::Button, "?LATER", {8, 60, 40, 14}, "&Later")};
        w.controls[7].hidden = true;
        w.controls[6].rangeLow = 1;
        w.controls[6].rangeHigh = 24;
        state_ = w;
        Open(w);
    }
    wnd::ControlState& state(int n) { return state_.controls[static_cast<std::size_t>(n - 1)]; }
    void Update(int n) {
        presenter_->UpdateControl(kId, state(n));
        QCoreApplication::processEvents();
    }
    QPushButton* button(const char* use) { return qobject_cast<QPushButton*>(widget(use)); }

    wnd::WindowState state_;
};

// Whether the button's icon, and its text beside it, fit inside the room the button's style gives
// its contents (inside its frame); the text measured in the button's own font.
bool fits(const QPushButton& b) {
    QStyleOptionButton option;
    option.initFrom(&b);
    const QRect room = b.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &b);
    const int text = b.text().isEmpty() ? 0 : b.fontMetrics().size(Qt::TextShowMnemonic, b.text()).width() + 4;
    return b.iconSize().width() + text <= room.width() && b.iconSize().height() <= room.height();
}

TEST_F(QtControlProperties, ButtonsShowTheirIconBesideTheirTextOrAloneAndUnknownIconsShowAnEllipsis) {
    for (const char* use : {"?OK", "?CANCEL"}) {
        QPushButton* b = button(use);
        ASSERT_NE(b, nullptr);
        EXPECT_FALSE(b->icon().isNull()) << use;
        EXPECT_FALSE(b->text().isEmpty()) << use;
        EXPECT_GE(b->iconSize().height(), 8) << use;
        EXPECT_TRUE(fits(*b)) << use << ": icon " << b->iconSize().width() << " on " << b->width() << "x" << b->height();
    }
    QPushButton* calendar = button("?CALENDAR");
    EXPECT_FALSE(calendar->icon().isNull());
    EXPECT_EQ(calendar->text(), "");
    EXPECT_GE(calendar->iconSize().height(), 10);
    EXPECT_TRUE(fits(*calendar));
    QPushButton* lookup = button("?LOOKUP");
    EXPECT_TRUE(lookup->icon().isNull());
    EXPECT_EQ(lookup->text(), "...");

    // The task changes icons later: the button follows, and an unknown one gives the text back.
    state(4).icon = "WAHELP.ICO";
    Update(4);
    EXPECT_EQ(lookup->text(), "");
    EXPECT_EQ(picture(lookup->icon()), picture(qtp::ButtonIcon("WAHELP.ICO")));
    EXPECT_TRUE(fits(*lookup));
    state(1).icon = "thing.ico";
    Update(1);
    EXPECT_TRUE(button("?OK")->icon().isNull());
    EXPECT_EQ(button("?OK")->text(), "&OK");
}

TEST_F(QtControlProperties, AControlHiddenFromTheStartStaysHiddenUntilTheTaskShowsIt) {
    ASSERT_NE(widget("?LATER"), nullptr);
    EXPECT_TRUE(widget("?LATER")->isHidden());
    EXPECT_FALSE(widget("?OK")->isHidden());
    state(8).hidden = false;
    Update(8);
    EXPECT_FALSE(widget("?LATER")->isHidden());
}

TEST_F(QtControlProperties, TheTasksTextColourReachesThePaletteAndTheDefaultGivesTheNormalOneBack) {
    struct Case {
        int control;
        const char* use;
        QPalette::ColorRole role;
    };
    const Case cases[] = {{1, "?OK", QPalette::ButtonText},
                          {5, "?DAY", QPalette::WindowText},
                          {6, "?DATE", QPalette::Text}};
    for (const Case& c : cases) {
        QWidget* w = widget(c.use);
        ASSERT_NE(w, nullptr) << c.use;
        const QColor normal = w->palette().color(QPalette::Active, c.role);
        state(c.control).colour = 0xFF0000;
        Update(c.control);
        EXPECT_EQ(w->palette().color(QPalette::Active, c.role), QColor(255, 0, 0)) << c.use;
        state(c.control).colour = 0x008000;  // a marked day
        Update(c.control);
        EXPECT_EQ(w->palette().color(QPalette::Active, c.role), QColor(0, 128, 0)) << c.use;
        state(c.control).colour = wnd::kDefaultColour;
        Update(c.control);
        EXPECT_EQ(w->palette().color(QPalette::Active, c.role), normal) << c.use;
    }
}

TEST_F(QtControlProperties, AReadOnlyEntryShowsTheWindowsGroundAndKeepsItsTaskColour) {
    QWidget* date = widget("?DATE");
    ASSERT_NE(date, nullptr);
    const QColor editable = date->palette().color(QPalette::Active, QPalette::Base);
    const QColor ground = QApplication::palette().color(QPalette::Active, QPalette::Window);
    ASSERT_NE(editable, ground) << "the desktop draws the two alike: nothing to tell apart";
    state(6).readOnly = true;
    Update(6);
    EXPECT_TRUE(qobject_cast<QLineEdit*>(date)->isReadOnly());
    EXPECT_EQ(date->palette().color(QPalette::Active, QPalette::Base), ground);
    state(6).colour = 0xFF0000;
    Update(6);
    EXPECT_EQ(date->palette().color(QPalette::Active, QPalette::Base), ground);
    EXPECT_EQ(date->palette().color(QPalette::Active, QPalette::Text), QColor(255, 0, 0));
    state(6).readOnly = false;
    state(6).colour = wnd::kDefaultColour;
    Update(6);
    EXPECT_EQ(date->palette().color(QPalette::Active, QPalette::Base), editable);
}

TEST_F(QtControlProperties, ASpinsArrowsStepInsideItsRangeAndGreyAtItsEnds) {
    auto* spin = dynamic_cast<qtp::SpinEdit*>(widget("?HOURS"));
    ASSERT_NE(spin, nullptr);
    using SE = QAbstractSpinBox::StepEnabledFlag;
    struct Case {
        const char* from;
        Qt::Key key;
        const char* to;
        QAbstractSpinBox::StepEnabled arrowsAfter;
    };
    const QAbstractSpinBox::StepEnabled both = SE::StepUpEnabled | SE::StepDownEnabled;
    const Case cases[] = {
        {"23", Qt::Key_Up, "24", SE::StepDownEnabled},
        {"24", Qt::Key_Up, "24", SE::StepDownEnabled},  // greyed: the key steps nothing
        {"2", Qt::Key_Down, "1", SE::StepUpEnabled},
        {"1", Qt::Key_Down, "1", SE::StepUpEnabled},
        {"0", Qt::Key_Up, "1", SE::StepUpEnabled},      // below the range: up to its bottom
        {"0", Qt::Key_Down, "1", SE::StepUpEnabled},
        {"", Qt::Key_Up, "1", SE::StepUpEnabled},
        {"abc", Qt::Key_Down, "1", SE::StepUpEnabled},
        {"30", Qt::Key_Down, "24", SE::StepDownEnabled},  // above it: down to its top
        {"12", Qt::Key_PageUp, "22", both},
    };
    for (const Case& c : cases) {
        presenter_->SetText(kId, 7, c.from, kLatest);
        QCoreApplication::processEvents();
        QTest::keyClick(spin, c.key);
        EXPECT_EQ(spin->edit()->text(), c.to) << c.from;
        EXPECT_EQ(spin->stepEnabled(), c.arrowsAfter) << c.from;
    }

    // A step is the user's edit: Enter accepts what it made.
    presenter_->SetText(kId, 7, "5", kLatest);
    QCoreApplication::processEvents();
    spin->stepBy(1);
    QTest::keyClick(spin, Qt::Key_Return);
    const auto accepted = sink_->Take(Kind::Accepted);
    ASSERT_EQ(accepted.size(), 1u);
    EXPECT_EQ(accepted[0].text, "6");

    // A larger step stops at the top; without a range the arrows step freely.
    state(7).step = 5;
    Update(7);
    presenter_->SetText(kId, 7, "20", kLatest);
    QCoreApplication::processEvents();
    spin->stepBy(1);
    EXPECT_EQ(spin->edit()->text(), "24");
    state(7).rangeLow = state(7).rangeHigh = 0;
    Update(7);
    spin->stepBy(6);
    EXPECT_EQ(spin->edit()->text(), "54");
    EXPECT_EQ(spin->stepEnabled(), both);
}

// A control's outer ring of pixels: where its frame is drawn.
QImage edge(QWidget& w) {
    QImage image = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect inner = image.rect().adjusted(1, 1, -1, -1);
    for (int y = inner.top(); y <= inner.bottom(); ++y)
        for (int x = inner.left(); x <= inner.right(); ++x) image.setPixel(x, y, 0);
    return image;
}

// Whatever takes the keyboard shows it: an entry, a memo and a button are drawn otherwise while
// they have the focus than without it.
TEST(QtFocusMarks, EveryControlThatTakesTheFocusIsDrawnOtherwiseWhileItHasIt) {
    using K = wnd::ControlKind;
    auto presenter = std::make_shared<qtp::QtPresenter>();
    auto sink = std::make_shared<qttest::RecordingSink>();
    wnd::WindowState w = qttest::PlainWindow("Focus");
    w.controls = {qttest::MakeControl(1, K::Entry, "?NAME", {8, 8, 80, 10}),
                  qttest::MakeControl(2, K::Text, "?OTHERCONDITIONS", {8, 24, 120, 40}),
                  qttest::MakeControl(3, K::Button, "?CLOSE", {8, 70, 44, 14}, "&Close")};
    presenter->OpenWindow(8, 1, w, sink);
    QCoreApplication::processEvents();
    qtp::Screen& screen = presenter->screen();
    QWidget* window = screen.WindowWidget(8);
    ASSERT_NE(window, nullptr);
    QTRY_VERIFY(QApplication::activeWindow() == window);  // a new window takes the keyboard by itself
    const char* uses[] = {"?NAME", "?OTHERCONDITIONS", "?CLOSE"};
    for (int n = 1; n <= 3; ++n) {
        SCOPED_TRACE(uses[n - 1]);
        QWidget* control = screen.ControlWidget(8, uses[n - 1]);
        presenter->SetFocus(8, n == 1 ? 3 : 1);
        QTRY_VERIFY(!control->hasFocus());
        const QImage without = edge(*control);
        presenter->SetFocus(8, n);
        QTRY_VERIFY(control->hasFocus());
        EXPECT_NE(edge(*control), without) << "the frame, not a caret inside it";
    }
    presenter->CloseWindow(8);
    QCoreApplication::processEvents();
}

}  // namespace
