// The prescription list as a user works it: opened from the frame's menu, End, Page Up, the tabs,
// Change to the form and OK to save. Each step is timed from the user's action until the program
// is idle again and the screen painted, on the Qt presenter (offscreen unless a display is asked
// for), then the same on the headless presenter (until idle); five runs per size. Then the
// filtered lists on the Qt presenter at 5 000 and 1 000 000 prescriptions and readings of each
// kind: the reminders list with one prescription due, and the reading tabs in the health profile of
// five people who hold a fifth of the readings each (1 000 and 200 000 each).
//
//     list_bench [--fresh] [--qt | --headless] [--data DIR] [size ...]
//         (default sizes 100 1000000; both presenters; the filtered lists with --qt or both)
//
// One line per figure, `list_bench <step> <size> <median ms>`, steps:
//   open, end, page_up, tab, change (Change on the list until the form's last paint, with the
//   record), save (OK on an edited form until the list is painted again, its total read anew),
//   insert_ok (OK on a new prescription, its purpose typed, until the list is painted again);
//   at 1 000 000 and more, upgrade_open (the list opened on a file of the previous release, from
//   the menu until painted with rows, its one-time upgrade included) and progress_shown (1 when
//   the upgrade's progress window showed meanwhile);
//   headless_open ... headless_save the same headless;
//   reminders_open (from the menu to the painted list with its one row); for the readers whose
//   names sort first, in the middle and last (reading_*_first, _middle, _last): reading_tab9 and
//   reading_tab10 (the blood-pressure and glucose tabs first shown, until painted with rows) and
//   reading_ok (OK on a new blood-pressure reading until the tab's list is painted again with it).
//
// The data folders are made once in DIR (default: the system's temporary folder) and reused
// (--fresh makes them again).
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_program.h"
#include "bench/prescription_fill.h"
#include "bench/qt_bench.h"
#include "platform/files/collation.h"
#include "platform/headless/scripted_user.h"
#include "platform/qt/qt_presenter.h"
#include "platform/window/window_system.h"

namespace {

using bench::Clock;

constexpr int kRuns = 5;
constexpr const char* kList = "BrowsePrescripts";
constexpr const char* kForm = "UpdatePrescripts";

// Times per step, printed as medians in the order first seen.
struct Steps {
    std::map<std::string, std::vector<double>> ms;
    std::vector<std::string> order;
    void add(const std::string& name, double v) {
        if (!ms.count(name)) order.push_back(name);
        ms[name].push_back(v);
    }
    double time(const std::string& name, const std::function<void()>& step) {
        const auto t0 = Clock::now();
        step();
        const double v = bench::MsSince(t0);
        add(name, v);
        return v;
    }
    void print(const std::string& prefix, long size) const {
        for (const auto& name : order) bench::Figure("list_bench", prefix + name, size, bench::Median(ms.at(name)));
    }
};

// When any widget was last painted, while it lives.
class LastPaint : public QObject {
public:
    LastPaint() {
        last_ = Clock::now();
        qApp->installEventFilter(this);
    }
    ~LastPaint() override { qApp->removeEventFilter(this); }
    Clock::time_point last() const { return last_; }
    // Turns the event loop until nothing has been painted for `span`.
    void quiet(std::chrono::milliseconds span) {
        while (Clock::now() - last_ < span) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint) last_ = Clock::now();
        return QObject::eventFilter(o, e);
    }

private:
    Clock::time_point last_;
};

void qtRun(bench::QtProgram& program, Steps& steps, int run) {
    qtp::Screen& screen = program.screen();
    QTreeWidget* list = nullptr;
    steps.time("open", [&] {
        program.Action(program.Frame(), "?BROWSEPRESCRIPTS")->trigger();
        bench::WaitFor([&] {
            list = qobject_cast<QTreeWidget*>(program.Control(kList, "?BROWSE:1"));
            return list && list->isVisible() && list->topLevelItemCount() > 0;
        });
        program.SettleAndPaint();
    });
    if (!list) std::abort();
    list->setFocus();
    steps.time("end", [&] {
        QTest::keyClick(list, Qt::Key_End);
        program.SettleAndPaint();
    });
    for (int i = 0; i < 10; ++i)
        steps.time("page_up", [&] {
            QTest::keyClick(list, Qt::Key_PageUp);
            program.SettleAndPaint();
        });
    auto* tabs = qobject_cast<QTabWidget*>(program.Control(kList, "?CURRENTTAB"));
    if (!tabs) std::abort();
    for (int tab : {1, 2, 3, 0})
        steps.time("tab", [&] {
            tabs->setCurrentIndex(tab);
            program.SettleAndPaint();
        });
    {
        // To the form's last paint: its widgets polished, laid out and painted with the record,
        // however many turns of the event loop that takes after the program is idle.
        LastPaint paints;
        const auto t0 = Clock::now();
        qobject_cast<QAbstractButton*>(program.Control(kList, "?CHANGE:4"))->click();
        bench::WaitFor([&] { return screen.Find(kForm) != 0; });
        program.SettleAndPaint();
        paints.quiet(std::chrono::milliseconds(150));
        steps.add("change", std::max(bench::MsSince(t0) - bench::MsSince(paints.last()), 0.0));
    }
    // An edit, so that OK writes the record (a form left as it was writes nothing).
    auto* purpose = qobject_cast<QLineEdit*>(program.Control(kForm, "?PRE:PURPOSE"));
    if (!purpose) std::abort();
    purpose->setFocus();
    QTest::keyClick(purpose, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(purpose, QString("Purpose %1").arg(run));
    QTest::keyClick(purpose, Qt::Key_Tab);
    bench::Settle();
    steps.time("save", [&] {
        qobject_cast<QAbstractButton*>(program.Control(kForm, "?OK"))->click();
        bench::WaitFor([&] { return screen.Find(kForm) == 0; });
        program.SettleAndPaint();
    });
    // Insert: a new prescription typed in, then OK until the list is painted again with it.
    qobject_cast<QAbstractButton*>(program.Control(kList, "?INSERT:4"))->click();
    bench::WaitFor([&] { return screen.Find(kForm) != 0 && program.Control(kForm, "?PRE:PURPOSE") != nullptr; });
    program.SettleAndPaint();
    auto* typed = qobject_cast<QLineEdit*>(program.Control(kForm, "?PRE:PURPOSE"));
    if (!typed) std::abort();
    typed->setFocus();
    QTest::keyClicks(typed, QString("Bench %1").arg(run));
    QTest::keyClick(typed, Qt::Key_Tab);
    bench::Settle();
    steps.time("insert_ok", [&] {
        qobject_cast<QAbstractButton*>(program.Control(kForm, "?OK"))->click();
        bench::WaitFor([&] { return screen.Find(kForm) == 0; });
        program.SettleAndPaint();
    });
    qobject_cast<QAbstractButton*>(program.Control(kList, "?CLOSE"))->click();
    program.Idle(kList);
}

void headlessRun(hl::ScriptedUser& user, Steps& steps, int run) {
    auto frame = user.Find("Main");
    steps.time("headless_open", [&] {
        frame.Press("?BROWSEPRESCRIPTS");
        user.Find(kList);
    });
    auto list = user.Find(kList);
    list.Click("?BROWSE:1");
    steps.time("headless_end", [&] { list.PressKey(wnd::kKeyEnd); });
    for (int i = 0; i < 10; ++i) steps.time("headless_page_up", [&] { list.PressKey(wnd::kKeyPageUp); });
    for (const char* tab : {"?TAB:3", "?TAB:4", "?TAB:5", "?TAB:2"}) steps.time("headless_tab", [&] { list.ChooseTab(tab); });
    if (list.Rows("?BROWSE:1").empty()) std::abort();
    steps.time("headless_change", [&] {
        list.Press("?CHANGE:4");
        user.Find(kForm);
    });
    auto form = user.Find(kForm);
    form.Fill("?PRE:PURPOSE", "Purpose " + std::to_string(run));  // an edit, so that OK writes
    steps.time("headless_save", [&] {
        form.Press("?OK");
        user.WaitIdle();
    });
    list.Press("?CLOSE");
    user.WaitIdle();
}

QTreeWidget* treeOf(bench::QtProgram& program, const char* window, const char* use) {
    return qobject_cast<QTreeWidget*>(program.Control(window, use));
}

void click(bench::QtProgram& program, const char* window, const char* use) {
    auto* b = qobject_cast<QAbstractButton*>(program.Control(window, use));
    if (!b) std::abort();
    b->click();
}

// The list painted once it shows rows.
void paintedWithRows(bench::QtProgram& program, const char* window, const char* use) {
    bench::WaitFor([&] {
        QTreeWidget* t = treeOf(program, window, use);
        return t && t->isVisible() && t->topLevelItemCount() > 0;
    });
    program.SettleAndPaint();
}

void filteredRun(bench::QtProgram& program, Steps& steps) {
    qtp::Screen& screen = program.screen();
    steps.time("reminders_open", [&] {
        program.Action(program.Frame(), "?REPORTSREMINDERS")->trigger();
        paintedWithRows(program, "Reminders", "?BROWSE:1");
    });
    click(program, "Reminders", "?CLOSE");
    program.Idle("Reminders");

    // The people list, sorted by name: the readers first to last, the quick person before the last.
    program.Action(program.Frame(), "?PRESCRIPTIONSADDUPDATEORCHANGEPEOPLE")->trigger();
    paintedWithRows(program, "BrowsePerson", "?BROWSE:1");
    auto openProfile = [&](int downs) {
        QTreeWidget* people = treeOf(program, "BrowsePerson", "?BROWSE:1");
        people->setFocus();
        QTest::keyClick(people, Qt::Key_Home);
        for (int i = 0; i < downs; ++i) QTest::keyClick(people, Qt::Key_Down);
        program.SettleAndPaint();
        click(program, "BrowsePerson", "?CHANGE:3");
        bench::WaitFor([&] { return screen.Find("UpdatePersonsName") != 0; });
        program.SettleAndPaint();
        auto* tabs = qobject_cast<QTabWidget*>(program.Control("UpdatePersonsName", "?CURRENTTAB"));
        if (!tabs) std::abort();
        return tabs;
    };
    auto closeProfile = [&] {
        click(program, "UpdatePersonsName", "?CANCEL");
        bench::WaitFor([&] { return screen.Find("UpdatePersonsName") == 0; });
        bench::Settle();
    };
    const struct {
        const char* name;
        int downs;
    } readers[] = {{"first", 0}, {"middle", 2}, {"last", bench::kReaderCount}};
    for (const auto& reader : readers) {
        QTabWidget* tabs = openProfile(reader.downs);
        const std::string who = std::string("_") + reader.name;
        steps.time("reading_tab9" + who, [&] {
            tabs->setCurrentIndex(8);
            paintedWithRows(program, "UpdatePersonsName", "?LIST");
        });
        steps.time("reading_tab10" + who, [&] {
            tabs->setCurrentIndex(9);
            paintedWithRows(program, "UpdatePersonsName", "?LIST:2");
        });
        tabs->setCurrentIndex(8);
        program.SettleAndPaint();
        click(program, "UpdatePersonsName", "?INSERT");
        bench::WaitFor([&] { return screen.Find("UpdateBloodpre") != 0; });
        program.SettleAndPaint();
        steps.time("reading_ok" + who, [&] {
            click(program, "UpdateBloodpre", "?OK");
            bench::WaitFor([&] { return screen.Find("UpdateBloodpre") == 0; });
            program.SettleAndPaint();
        });
        closeProfile();
    }
    click(program, "BrowsePerson", "?CLOSE");
    program.Idle("BrowsePerson");
}

// A file of the previous release, first opened by this program: its quick-listing lookup put back
// in the earlier form and its version set back, by raw SQL before the program runs. Timed from the
// menu until the list is painted with rows; `progress_shown` is 1 when the upgrade's progress
// window was on screen meanwhile (its picture is kept as upgrade-progress.png in the folder).
void upgradeRun(qtp::Screen& screen, const std::string& dir, int count) {
    sqlite3* db = nullptr;
    if (sqlite3_open((dir + "/PRESCRIP.sqlite").c_str(), &db) != SQLITE_OK || files::registerCollations(db) != SQLITE_OK) std::abort();
    const char* downgrade =
        "DROP INDEX IF EXISTS \"PRESCRIP:PRE:ByPerson\"; "
        "CREATE INDEX \"PRESCRIP:PRE:ByPerson\" ON \"PRESCRIP\" (\"PERSONSNAME\" COLLATE CP1252_NOCASE); PRAGMA user_version = 2";
    if (sqlite3_exec(db, downgrade, nullptr, nullptr, nullptr) != SQLITE_OK) std::abort();
    sqlite3_close(db);
    files::SetDataFolder(dir);
    bench::QtProgram program(screen, "?BROWSEPRESCRIPTS");
    bool shown = false;
    QTreeWidget* list = nullptr;
    const auto t0 = Clock::now();
    program.Action(program.Frame(), "?BROWSEPRESCRIPTS")->trigger();
    bench::WaitFor([&] {
        if (!shown)
            if (QWidget* bar = program.Control("Migration", "?PROGRESS:THERMOMETER"); bar && bar->isVisible()) {
                shown = true;
                bar->window()->grab().save(QString::fromStdString(dir + "/upgrade-progress.png"));
            }
        list = qobject_cast<QTreeWidget*>(program.Control(kList, "?BROWSE:1"));
        return list && list->isVisible() && list->topLevelItemCount() > 0;
    });
    program.SettleAndPaint();
    bench::Figure("list_bench", "upgrade_open", count, bench::MsSince(t0));
    bench::Figure("list_bench", "progress_shown", count, shown ? 1 : 0);
    qobject_cast<QAbstractButton*>(program.Control(kList, "?CLOSE"))->click();
    program.Idle(kList);
}

}  // namespace

int main(int argc, char** argv) {
    const bench::Options options = bench::ParseOptions(argc, argv, {100, 1000000});
    if (options.help) {
        std::printf("usage: list_bench [--fresh] [--qt | --headless] [--data DIR] [size ...]   (default sizes 100 1000000)\n"
                    "  prints `list_bench <step> <size> <median ms>`; the filtered lists run at 5000 and 1000000\n"
                    "  open, end, page_up, tab: the prescription list, from the key or click until painted\n"
                    "  change: Change on the list until the form's last paint (nothing painted for 150 ms after)\n"
                    "  save: OK on an edited form until the list is painted again with its total\n"
                    "  insert_ok: OK on a new prescription (Insert, a purpose typed) until the list is painted again\n"
                    "  upgrade_open (sizes from 1000000): the list opened on a file of the previous release, menu to\n"
                    "    painted rows, the upgrade included; progress_shown: 1 when its progress window showed\n"
                    "  reminders_open: the reminders list from the menu until painted with its row\n"
                    "  reading_tab9_*, reading_tab10_*: the health profile's reading tabs first shown, until painted,\n"
                    "    for the readers sorting first, middle and last (1000 and 200000 readings each)\n"
                    "  reading_ok_*: OK on a new blood-pressure reading until the tab is painted again with it\n");
        return 0;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int args = 1;
    QApplication app(args, argv);
    auto headless = bench::PrepareProgram();
    if (!headless) return 1;
    auto folder = [&](int count) { return bench::DataFolderOf(options, "list-bench", count); };

    if (options.qt) {
        auto qt = std::make_shared<qtp::QtPresenter>();
        wnd::SetPresenter(qt);
        for (int count : options.sizes) {
            files::SetDataFolder(folder(count));
            Steps steps;
            {
                bench::QtProgram program(qt->screen(), "?BROWSEPRESCRIPTS");
                for (int run = 0; run < kRuns; ++run) qtRun(program, steps, run);
            }
            steps.print("", count);
            if (count >= 1000000) upgradeRun(qt->screen(), folder(count), count);
        }
        for (int count : {5 * 1000, 1000000}) {
            const std::string dir = bench::FilteredFolderOf(options, count);
            // Due once the program runs, so the frame opens without the reminders.
            bench::SetReminderDue(dir, false);
            Steps steps;
            {
                bench::QtProgram program(qt->screen(), "?REPORTSREMINDERS");
                bench::SetReminderDue(dir, true);
                for (int run = 0; run < kRuns; ++run) filteredRun(program, steps);
            }
            steps.print("", count);
        }
        wnd::SetPresenter(nullptr);
    }
    if (options.headless) {
        wnd::SetPresenter(headless);
        for (int count : options.sizes) {
            files::SetDataFolder(folder(count));
            hl::ScriptedUser user(headless, std::chrono::minutes(5));
            Steps steps;
            {
                bench::RunningProgram program;
                for (int run = 0; run < kRuns; ++run) headlessRun(user, steps, run);
            }
            steps.print("", count);
        }
        wnd::SetPresenter(nullptr);
    }
    return 0;
}
