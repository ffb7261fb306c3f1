// A paged list and an immediate combo on the Qt presenter, driven through the Presenter interface
// with a sink that records what would go to the task.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <QTreeWidget>
#include <QWheelEvent>

#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/qt/qt_presenter.h"
#include "platform/qt/screen.h"
#include "qt/qt_test_support.h"

namespace {

using Kind = wnd::InputEvent::Kind;

class QtListCombo : public qttest::OneWindowTest {
protected:
    void SetUp() override {
        wnd::WindowState w = qttest::PlainWindow("Paged");
        wnd::ControlState list = qttest::MakeControl(1, wnd::ControlKind::List, "?LIST", {4, 4, 160, 60});
        list.format = "60L(2)|M~Name~@s20@40R(2)|M~Count~@n6@";
        list.thumb = 40;
        const wnd::KeyCode alerted[] = {wnd::kKeyUp, wnd::kKeyDown, wnd::kKeyPageDown, wnd::kKeyMouseLeft2,
                                        wnd::kKeyMouseRightUp, wnd::kKeyApps};
        for (std::size_t i = 0; i < std::size(alerted); ++i) list.alerts[i] = alerted[i];
        wnd::ControlState combo = qttest::MakeControl(2, wnd::ControlKind::DropCombo, "?DOCTOR", {4, 70, 100, 12});
        combo.immediate = true;
        w.controls = {list, combo, qttest::MakeControl(3, wnd::ControlKind::Entry, "?NOTE", {4, 86, 60, 10})};
        w.focus = 1;
        presenter_->OpenWindow(kId, 1, w, sink_);
        presenter_->SetRows(kId, 1, {{"Adams", "1"}, {"Baker", "2"}, {"Carter", "3"}});
        QCoreApplication::processEvents();
        list_ = qobject_cast<QTreeWidget*>(screen().ControlWidget(kId, "?LIST"));
        auto* combo_ = qobject_cast<QComboBox*>(screen().ControlWidget(kId, "?DOCTOR"));
        ASSERT_TRUE(list_ && combo_ && combo_->lineEdit());
        entry_ = combo_->lineEdit();
        for (QScrollBar* b : list_->parentWidget()->findChildren<QScrollBar*>(Qt::FindDirectChildrenOnly)) bar_ = b;
        ASSERT_NE(bar_, nullptr);
        sink_->Take(Kind::Typed);
    }

    QTreeWidget* list_ = nullptr;
    QLineEdit* entry_ = nullptr;
    QScrollBar* bar_ = nullptr;
};

TEST_F(QtListCombo, APagedListShowsTheTasksThumbAndReportsTheScrollBarAndTheWheelAsTheTaskReadsThem) {
    EXPECT_TRUE(bar_->isVisible());
    EXPECT_EQ(bar_->value(), 40);
    // The bar lies inside the list's frame, beside its rows and its header.
    EXPECT_TRUE(list_->geometry().adjusted(list_->frameWidth(), list_->frameWidth(), -list_->frameWidth(), -list_->frameWidth())
                    .contains(bar_->geometry()));
    EXPECT_LT(QRect(list_->viewport()->mapTo(list_->parentWidget(), QPoint()), list_->viewport()->size()).right(), bar_->geometry().left());
    EXPECT_LT(QRect(list_->header()->mapTo(list_->parentWidget(), QPoint()), list_->header()->size()).right(), bar_->geometry().left());
    wnd::ControlState moved = qttest::MakeControl(1, wnd::ControlKind::List, "?LIST", {4, 4, 160, 60});
    moved.format = "60L(2)|M~Name~@s20@40R(2)|M~Count~@n6@";
    moved.alerts[0] = wnd::kKeyDown;
    moved.alerts[1] = wnd::kKeyPageDown;
    moved.thumb = 70;
    presenter_->UpdateControl(kId, moved);
    QCoreApplication::processEvents();
    EXPECT_EQ(bar_->value(), 70);

    // A drag reports where the thumb was let go; steps and pages on the bar are the list's keys.
    bar_->setSliderDown(true);
    bar_->setSliderPosition(25);
    bar_->setSliderDown(false);
    const auto scrolled = sink_->Take(Kind::Scrolled);
    ASSERT_EQ(scrolled.size(), 1u);
    EXPECT_EQ(scrolled[0].control, 1);
    EXPECT_EQ(scrolled[0].row, 25);
    bar_->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QWheelEvent wheel(QPointF(10, 10), list_->viewport()->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, -240),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(list_->viewport(), &wheel);
    std::vector<wnd::KeyCode> keys;
    for (const auto& e : sink_->Take(Kind::AlertKey)) keys.push_back(e.key);
    EXPECT_EQ(keys, (std::vector<wnd::KeyCode>{wnd::kKeyPageDown, wnd::kKeyDown, wnd::kKeyDown}));

    // The user's column width reaches the task in dialog units.
    list_->header()->resizeSection(1, qttest::PixelsAcross(list_->font(), 60));
    const auto resized = sink_->Take(Kind::ColumnResized);
    ASSERT_EQ(resized.size(), 1u);
    EXPECT_EQ(resized[0].column, 2);
    EXPECT_EQ(resized[0].width, 60);
}

TEST_F(QtListCombo, HeaderDoubleClickRightClickAndTheAppsKeyReachTheTaskWithRowAndColumn) {
    QHeaderView* header = list_->header();
    QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(1) + 5, 5));
    auto keys = sink_->Take(Kind::AlertKey);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].key, wnd::kKeyMouseLeft2);
    EXPECT_EQ(keys[0].row, 0);
    EXPECT_EQ(keys[0].column, 2);

    // The right button highlights its row first, then reports the row and column under it.
    const QRect second = list_->visualItemRect(list_->topLevelItem(1));
    QTest::mouseClick(list_->viewport(), Qt::RightButton, {}, QPoint(header->sectionViewportPosition(1) + 5, second.center().y()));
    const auto selected = sink_->Take(Kind::NewSelection);
    ASSERT_FALSE(selected.empty());
    EXPECT_EQ(selected.back().row, 2);
    QTest::mouseClick(list_->viewport(), Qt::RightButton, {}, QPoint(5, second.center().y()));
    keys = sink_->Take(Kind::AlertKey);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].key, wnd::kKeyMouseRightUp);
    EXPECT_EQ(keys[0].row, 2);
    EXPECT_EQ(keys[0].column, 1);

    QTest::keyClick(list_, Qt::Key_Menu);
    keys = sink_->Take(Kind::AlertKey);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].key, wnd::kKeyApps);
}

TEST_F(QtListCombo, AnImmediateComboReportsEachKeystrokeAndShowsOnlyTheAnswerToTheLatest) {
    entry_->setFocus();
    QTest::keyClicks(entry_, "as");
    const auto typed = sink_->Take(Kind::Typed);
    ASSERT_EQ(typed.size(), 2u);
    EXPECT_EQ(typed[0].text, "a");
    EXPECT_EQ(typed[0].caret, 1);
    EXPECT_EQ(typed[0].key, 'A');
    EXPECT_EQ(typed[1].text, "as");
    EXPECT_EQ(typed[1].caret, 2);
    EXPECT_GT(typed[1].revision, typed[0].revision);

    presenter_->SetEntry(kId, 2, "Adams", 1, 5, typed[0].revision);  // the user has typed on since
    QCoreApplication::processEvents();
    EXPECT_EQ(entry_->text(), "as");
    presenter_->SetText(kId, 2, "Aspirin", typed[1].revision);
    presenter_->SetEntry(kId, 2, "Aspirin", 2, 7, typed[1].revision);
    QCoreApplication::processEvents();
    EXPECT_EQ(entry_->text(), "Aspirin");
    EXPECT_EQ(entry_->selectedText(), "pirin");
    EXPECT_EQ(entry_->cursorPosition(), 7);

    // A caret move is a keystroke too; leaving still accepts the completed entry.
    QTest::keyClick(entry_, Qt::Key_Left);
    QCoreApplication::processEvents();
    const auto left = sink_->Take(Kind::Typed);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].key, wnd::kKeyLeft);
    EXPECT_GT(left[0].revision, typed[1].revision);
    QTest::keyClick(entry_, Qt::Key_Tab);
    const auto accepted = sink_->Take(Kind::Accepted);
    ASSERT_EQ(accepted.size(), 1u);
    EXPECT_EQ(accepted[0].control, 2);
    EXPECT_EQ(accepted[0].text, "Aspirin");
}

// The task answers a keystroke with the completed text and then its selection: a key the user
// types between the two lands in the entry as they see it, not after the completion, and leaving
// accepts what the entry shows.
TEST_F(QtListCombo, AKeyBetweenACompletionsTextAndItsSelectionIsNotSplicedAfterIt) {
    entry_->setFocus();
    QTest::keyClicks(entry_, "a");
    const auto typed = sink_->Take(Kind::Typed);
    ASSERT_EQ(typed.size(), 1u);
    presenter_->SetText(kId, 2, "Adams", typed[0].revision);
    QCoreApplication::processEvents();
    QTest::keyClicks(entry_, "s");
    presenter_->SetEntry(kId, 2, "Adams", 1, 5, typed[0].revision);
    QCoreApplication::processEvents();
    EXPECT_EQ(entry_->text(), "as");
    QTest::keyClick(entry_, Qt::Key_Tab);
    const auto accepted = sink_->Take(Kind::Accepted);
    ASSERT_EQ(accepted.size(), 1u);
    EXPECT_EQ(accepted[0].text, "as");
}

}  // namespace

namespace {

// The task reads a page of as many rows as the box shows: the presenter tells it when it first
// knows and whenever the box's room changes (the task moving it, a resize), in whole rows.
TEST_F(QtListCombo, AListBoxTellsTheTaskHowManyWholeRowsItShows) {
    auto fitNow = [&] { return list_->viewport()->height() / list_->sizeHintForRow(0); };
    auto told = [&] {
        QCoreApplication::processEvents();
        const auto said = sink_->Take(Kind::RowsFit);
        return said.empty() ? -1 : said.back().row;
    };
    // The rows arrived with the window: the first report.
    QCoreApplication::processEvents();
    ASSERT_GT(fitNow(), 1);
    sink_->Take();
    struct Case {
        int height;  // dialog units
    };
    int before = fitNow();
    for (const Case& c : {Case{160}, Case{30}, Case{300}}) {
        SCOPED_TRACE(c.height);
        wnd::ControlState grown = qttest::MakeControl(1, wnd::ControlKind::List, "?LIST", {4, 4, 160, c.height});
        grown.format = "60L(2)|M~Name~@s20@40R(2)|M~Count~@n6@";
        grown.thumb = 40;
        presenter_->UpdateControl(kId, grown);
        const int said = told();
        EXPECT_EQ(said, fitNow());
        EXPECT_EQ(said > before, c.height > 60);
        // Whole rows only: one more would not fit.
        EXPECT_LT(list_->viewport()->height(), (said + 1) * list_->sizeHintForRow(0));
        before = said;
    }
    // The same room again tells nothing new.
    presenter_->SetRows(kId, 1, {{"Adams", "1"}});
    EXPECT_EQ(told(), -1);
}

}  // namespace

namespace {

// Column widths count the letters of the layout's font; a header the style's margins would cut
// ("Drug Name As Prescribed" in a column as wide as its letters), or a date or time in a font whose
// digits are wider than its letters, widens its column instead.
TEST(QtListHeaders, EveryColumnHeaderShowsWholeAndWideColumnsKeepTheirWidth) {
    auto presenter = std::make_shared<qtp::QtPresenter>();
    auto sink = std::make_shared<qttest::RecordingSink>();
    wnd::WindowState w;
    w.procedure = w.caption = "Headers";
    w.kind = wnd::WindowKind::Plain;
    w.font.name = "MS Sans Serif";
    w.font.points = 8;
    wnd::ControlState list = qttest::MakeControl(1, wnd::ControlKind::List, "?LIST", {4, 4, 300, 80});
    list.format = "84L|FM~Drug Name As Prescribed~C(2)@s60@23D(10)|M~Active~C(0)@s1@120L(2)|M~Notes~@s40@"
                  "40R|M~Date~L(2)@d17@32R|M~Time~L(2)@t7@10L(2)|M~Diastolic~@n3@";
    w.controls = {list};
    presenter->OpenWindow(40, 1, w, sink);
    QCoreApplication::processEvents();
    auto* tree = qobject_cast<QTreeWidget*>(presenter->screen().ControlWidget(40, "?LIST"));
    ASSERT_NE(tree, nullptr);
    const QFontMetrics fm(tree->header()->font());
    const int margins = 2 * tree->header()->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, tree->header());
    // A cell's text has the style's focus margin and a pixel on each side.
    const int cellMargins = 2 * (tree->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, tree) + 1);
    const struct {
        const char* header;
        int units;
        const char* cell;  // a text the column must show whole ("" none)
    } columns[] = {{"Drug Name As Prescribed", 84, ""}, {"Active", 23, ""}, {"Notes", 120, ""},
                   {"Date", 40, "11/13/2026"},          {"Time", 32, "10:05 PM"}, {"Diastolic", 10, ""}};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(columns[i].header);
        const int width = tree->columnWidth(i);
        EXPECT_GE(width, fm.horizontalAdvance(columns[i].header) + margins);
        EXPECT_GE(width, QFontMetrics(tree->font()).horizontalAdvance(columns[i].cell) + cellMargins);
        EXPECT_GE(width + 1, qttest::PixelsAcross(tree->font(), columns[i].units));  // never narrower than the layout's
    }
    EXPECT_NEAR(tree->columnWidth(2), 120 * qttest::UnitAcross(tree->font()), 1) << "a column with room is the layout's width";
    presenter->CloseWindow(40);
    QCoreApplication::processEvents();
}

}  // namespace

namespace {

// Each cell stands as its column's format says: left, right (decimal too) or centred; the two
// reading lists' formats as stored.
TEST(QtListAlignment, EveryCellFollowsItsColumnsAlignment) {
    auto presenter = std::make_shared<qtp::QtPresenter>();
    auto sink = std::make_shared<qttest::RecordingSink>();
    const struct {
        const char* format;
        std::vector<std::string> row;
        std::vector<Qt::Alignment> aligned;
    } lists[] = {
        {"40R|M~Date~L(2)@d17@32R|M~Time~L(2)@t7@35C|M~Reading~C(2)@n3@140L|M~Comment~L(2)@s35@",
         {"12/10/2026", "8:05AM", "104", "before breakfast"},
         {Qt::AlignRight, Qt::AlignRight, Qt::AlignHCenter, Qt::AlignLeft}},
        {"40R|M~Date~L(2)@d17@32R|M~Time~L(2)@t7@35R|M~Systolic~L(2)@n3@31R|M~Diastolic~L(2)@n3@12L|M~Pulse~L(2)@n3@",
         {"12/10/2026", "8:05AM", "120", "80", "62"},
         {Qt::AlignRight, Qt::AlignRight, Qt::AlignRight, Qt::AlignRight, Qt::AlignLeft}},
        {"80D(10)|M~Drug Name As Prescribed~C(0)@s40@80L(2)|M~Generic Name~@s40@", {"Aspirin", "acetylsalicylic acid"},
         {Qt::AlignRight, Qt::AlignLeft}},
    };
    for (const auto& l : lists) {
        SCOPED_TRACE(l.format);
        wnd::WindowState w = qttest::PlainWindow("Aligned");
        wnd::ControlState list = qttest::MakeControl(1, wnd::ControlKind::List, "?LIST", {4, 4, 300, 80});
        list.format = l.format;
        w.controls = {list};
        presenter->OpenWindow(41, 1, w, sink);
        presenter->SetRows(41, 1, {l.row});
        QCoreApplication::processEvents();
        auto* tree = qobject_cast<QTreeWidget*>(presenter->screen().ControlWidget(41, "?LIST"));
        ASSERT_NE(tree, nullptr);
        ASSERT_EQ(tree->topLevelItemCount(), 1);
        for (std::size_t i = 0; i < l.aligned.size(); ++i) {
            const auto a = Qt::Alignment(tree->topLevelItem(0)->textAlignment(static_cast<int>(i)));
            EXPECT_EQ(a & Qt::AlignHorizontal_Mask, l.aligned[i]) << "column " << i + 1;
        }
        presenter->CloseWindow(41);
        QCoreApplication::processEvents();
    }
}

}  // namespace
