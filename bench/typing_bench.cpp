// Typing into the prescription form on the Qt presenter: how long a key takes from its press until
// the character is painted (its echo), in the drug name (a lookup that completes what is typed)
// and in a plain entry (the purpose); keys one at a time, each after the last has echoed, then
// the same with a whole word typed at once (keys typed ahead). On a data folder of 20 drugs
// (Med01 to Med20) and one person, the folder the typed-ahead inserts are tried on by hand too.
//
//     typing_bench [--fresh] [--data DIR]
//     typing_bench --seed DIR      (only makes the data folder in DIR, for a run of the program)
//
// One line per figure, `typing_bench <step> <keys> <ms>`, steps:
//   echo_lookup_median, echo_lookup_max: a key in the drug name until painted with it;
//   echo_entry_median, echo_entry_max: the same in the purpose;
//   burst_lookup_last: a drug name typed at once, from its first press until its last character
//     is painted.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_program.h"
#include "bench/prescription_fill.h"
#include "bench/qt_bench.h"
#include "platform/qt/qt_presenter.h"

namespace {

using bench::Clock;

constexpr const char* kList = "BrowsePrescripts";
constexpr const char* kForm = "UpdatePrescripts";
constexpr int kDrugs = 20;
constexpr int kKeysPerStep = 40;

std::string drugName(int i) {
    char name[16];
    std::snprintf(name, sizeof name, "Med%02d", i);
    return name;
}

bool makeFolder(const std::string& dir, int /*count*/) {
    return bench::FolderMadeOnce(dir, "typing", [] {
        bench::OnTaskThread([] {
            bench::FillTable(data::DrugNamesFile(), kDrugs, [](int i) { rt::assign(data::DRU.DRUGNAMEASPRESCRIBED, drugName(i + 1)); });
            bench::FillTable(data::PersonsNameFile(), 1, [](int) { rt::assign(data::PER.PERSONSNAME, "Pat Typist"); });
        });
    });
}

// When `edit` was last painted showing `text` at its end.
class EchoWatch : public QObject {
public:
    explicit EchoWatch(QLineEdit* edit) : edit_(edit) { edit_->installEventFilter(this); }
    ~EchoWatch() override { edit_->removeEventFilter(this); }
    void expect(const QString& text) {
        text_ = text;
        painted_ = false;
    }
    bool painted() const { return painted_; }

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint && o == edit_ && !painted_ && edit_->text().startsWith(text_)) painted_ = true;
        return false;
    }

private:
    QLineEdit* edit_;
    QString text_;
    bool painted_ = false;
};

// A key as the window system hands it to the program: queued, then read by the event loop.
void post(QWidget* to, QChar c) {
    const int key = c.toUpper().unicode();
    QCoreApplication::postEvent(to, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, QString(c)));
    QCoreApplication::postEvent(to, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, QString(c)));
}

// Each key of `word` typed once the one before has echoed; the times in ms.
std::vector<double> echoes(QLineEdit* edit, const QString& word) {
    std::vector<double> ms;
    EchoWatch watch(edit);
    QString shown = edit->text();
    for (QChar c : word) {
        shown += c;
        watch.expect(shown);
        const auto t0 = Clock::now();
        post(QApplication::focusWidget(), c);
        bench::WaitFor([&] { return watch.painted(); });
        ms.push_back(bench::MsSince(t0));
        bench::Settle();  // the lookup's completion in, before the next key
        shown = edit->text().left(shown.size());
    }
    return ms;
}

QLineEdit* entryOf(QWidget* w) {
    if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->lineEdit();
    return qobject_cast<QLineEdit*>(w);
}

void clearEntry(QLineEdit* edit) {
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    bench::Settle();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--seed") == 0) {
        shell::InstallThreadHooks();
        makeFolder(argv[2], 0);  // kept as it is when it was made before
        return 0;
    }
    const bench::Options options = bench::ParseOptions(argc, argv, {kDrugs});
    if (options.help) {
        std::printf("usage: typing_bench [--fresh] [--data DIR] | --seed DIR\n"
                    "  prints `typing_bench <step> <keys> <ms>`\n"
                    "  echo_lookup_median, echo_lookup_max: a key in the drug name until painted with it\n"
                    "  echo_entry_median, echo_entry_max: a key in the purpose until painted with it\n"
                    "  burst_lookup_last: a drug name typed at once, its first press to its last character painted\n");
        return 0;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int args = 1;
    QApplication app(args, argv);
    if (!bench::PrepareProgram()) return 1;
    files::SetDataFolder(bench::KeptFolder(options, "typing-bench", kDrugs, &makeFolder));
    auto qt = std::make_shared<qtp::QtPresenter>();
    wnd::SetPresenter(qt);
    {
        bench::QtProgram program(qt->screen(), "?BROWSEPRESCRIPTS");
        program.Action(program.Frame(), "?BROWSEPRESCRIPTS")->trigger();
        bench::WaitFor([&] { return program.Control(kList, "?INSERT:4") != nullptr; });
        program.SettleAndPaint();
        qobject_cast<QAbstractButton*>(program.Control(kList, "?INSERT:4"))->click();
        bench::WaitFor([&] { return program.Control(kForm, "?PRE:PURPOSE") != nullptr; });
        program.SettleAndPaint();
        QLineEdit* drug = entryOf(program.Control(kForm, "?DRU:DRUGNAMEASPRESCRIBED"));
        QLineEdit* purpose = entryOf(program.Control(kForm, "?PRE:PURPOSE"));
        if (!drug || !purpose) std::abort();

        std::vector<double> lookup, entry;
        while (static_cast<int>(lookup.size()) < kKeysPerStep) {
            clearEntry(drug);
            for (double v : echoes(drug, "Med1")) lookup.push_back(v);
        }
        while (static_cast<int>(entry.size()) < kKeysPerStep) {
            clearEntry(purpose);
            for (double v : echoes(purpose, "blood pressure")) entry.push_back(v);
        }
        std::vector<double> bursts;
        for (int run = 0; run < 10; ++run) {
            clearEntry(drug);
            EchoWatch watch(drug);
            watch.expect("Med07");
            const auto t0 = Clock::now();
            for (QChar c : QString("Med07")) post(drug, c);
            bench::WaitFor([&] { return watch.painted(); });
            bursts.push_back(bench::MsSince(t0));
            bench::Settle();
        }
        bench::Figure("typing_bench", "echo_lookup_median", kKeysPerStep, bench::Median(lookup));
        bench::Figure("typing_bench", "echo_lookup_max", kKeysPerStep, *std::max_element(lookup.begin(), lookup.end()));
        bench::Figure("typing_bench", "echo_entry_median", kKeysPerStep, bench::Median(entry));
        bench::Figure("typing_bench", "echo_entry_max", kKeysPerStep, *std::max_element(entry.begin(), entry.end()));
        bench::Figure("typing_bench", "burst_lookup_last", 5, bench::Median(bursts));
        // The form let go unsaved.
        clearEntry(drug);
        clearEntry(purpose);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        bench::Settle();
    }
    wnd::SetPresenter(nullptr);
    return 0;
}
