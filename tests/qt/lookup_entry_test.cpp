// A lookup's entry on the Qt presenter, typed into with real keys: it edits as a plain entry
// does, its completion only adds the selected rest of a name after what was typed, and what it
// shows when it is left is what the form stores. The form runs on a task thread of its own, over
// the Doctors table, copying DOC:DOCTORSNAME into PRE:DRNAME; a stand-in insert form records the
// name it was offered and adds nothing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "data/records.h"
#include "data/thread_tables.h"
#include "platform/classes/lookup_list.h"
#include "platform/classes/window_procedure.h"
#include "platform/runtime/field_access.h"
#include "platform/runtime/fixed_string.h"
#include "platform/window/layout.h"
#include "platform/window/task_queue.h"
#include "qt/qt_test_support.h"
#include "globals/globals.h"
#include "support/close_all_windows.h"
#include "support/doctor_lookup.h"
#include "shell/procedure_services.h"
#include "support/program_fixture.h"
#include "support/task_thread.h"

namespace {

constexpr const char* kFormLayout = R"({"procedure": "QtLookupForm", "windows": [{
  "label": "P1$QUICKWINDOW", "caption": "Lookup form", "kind": "plain", "at": [20, 20],
  "controls": [
    {"use": "?DOC:DOCTORSNAME", "kind": "dropcombo", "picture": "@s50", "at": [10, 10, 120, 10]},
    {"use": "?NOTE", "kind": "entry", "picture": "@s20", "var": "LOC:NOTE"},
    {"use": "?CANCEL", "kind": "button", "text": "Cancel"}]}]})";

struct Probe {
    std::mutex mutex;
    std::string stored;   // PRE:DRNAME after every event
    std::string offered;  // the name the insert form was last offered
    std::atomic<int> inserts{0};
};

class FormController final : public cls::ProcedureController {
public:
    FormController(cls::ProcedureBody& body, Probe& probe) : ProcedureController(body), probe_(probe) {}
    cls::LookupCombo doctor;

protected:
    int AfterTables() override {
        testing_support::InitialiseDoctorLookup(doctor, window().Find("?DOC:DOCTORSNAME"), *this, false);
        AddComponent(&doctor);
        AddButtonAction(window().Find("?CANCEL"), cls::kResponseCancelled);
        return cls::kLevelGoOn;
    }
    int OnEvent() override {
        const int r = ProcedureController::OnEvent();
        std::lock_guard l(probe_.mutex);
        probe_.stored = rt::fieldText(*data::PrescriptsTable().fieldByName("PRE:DRNAME"), &data::PRE);
        return r;
    }
    bool RunUpdater(int number) override {
        if (number != 2) return false;
        std::lock_guard l(probe_.mutex);
        probe_.offered = rt::fieldText(*data::DoctorsTable().fieldByName("DOC:DOCTORSNAME"), &data::DOC);
        ++probe_.inserts;
        globals::CallResponse = cls::kResponseCancelled;
        return true;
    }

private:
    Probe& probe_;
};

class QtLookupEntry : public testing::Test {
protected:
    void SetUp() override {
        static std::once_flag once;
        std::call_once(once, [] {
            std::string error;
            ASSERT_TRUE(wnd::RegisterLayout(kFormLayout, &error)) << error;
        });
        wnd::SetPresenter(presenter_);
        testing_support::runOnTaskThread([] {
            ASSERT_EQ(data::DoctorsFile().create(), 0);
            ASSERT_EQ(data::DoctorsFile().open(), 0);
            for (int i = 1; i <= 20; ++i) {
                data::DOC = {};
                rt::assign(data::DOC.DOCTORSNAME, "Drug-" + std::to_string(i));
                ASSERT_EQ(data::DoctorsFile().add(), 0);
            }
            data::DoctorsFile().close();
        });
        wnd::Activity::Enter();  // at work from here, so the first settle finds the form open
        form_ = std::thread([this] {
            wnd::ThisThreadQueue();
            wnd::Activity::Leave();
            data::DoctorsFile().open();
            data::PRE = {};
            cls::ProcedureBody body(shell::ServicesHere(), "QtLookupForm", "P1$QUICKWINDOW");
            body.window().BindRecord(data::DoctorsTable(), &data::DOC);
            body.Run<FormController>(probe_);
            data::DoctorsFile().close();
            data::ReleaseThreadFiles();
        });
        ASSERT_TRUE(qttest::Settle());
        const wnd::WindowId id = presenter_->screen().Find("QtLookupForm");
        ASSERT_NE(id, 0u);
        auto* combo = qobject_cast<QComboBox*>(presenter_->screen().ControlWidget(id, "?DOC:DOCTORSNAME"));
        ASSERT_TRUE(combo && combo->lineEdit());
        edit_ = combo->lineEdit();
        note_ = presenter_->screen().ControlWidget(id, "?NOTE");
        presenter_->screen().WindowWidget(id)->activateWindow();
        edit_->setFocus();
        ASSERT_TRUE(qttest::Settle());
    }
    void TearDown() override {
        testing_support::CloseAllWindows([this] {
            EXPECT_TRUE(QTest::qWaitFor([this] { return presenter_->screen().Find("QtLookupForm") == 0; }));
        });
        if (form_.joinable()) form_.join();
        wnd::SetPresenter(nullptr);
    }
    std::string stored() {
        std::lock_guard l(probe_.mutex);
        return probe_.stored;
    }
    std::string offered() {
        std::lock_guard l(probe_.mutex);
        return probe_.offered;
    }
    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(edit_, k, mods); }

    testing_support::TempDataFolder folder_;
    std::shared_ptr<qtp::QtPresenter> presenter_ = std::make_shared<qtp::QtPresenter>();
    Probe probe_;
    std::thread form_;
    QLineEdit* edit_ = nullptr;
    QWidget* note_ = nullptr;
};

// Each sequence starts from the whole of "Drug-15" typed (the form waited for its completion);
// `keys` is what the user does next, sent with no pause between keys, then the form catches up.
TEST_F(QtLookupEntry, TheEntryEditsAsAPlainEntryAndStoresWhatItShows) {
    struct Case {
        const char* what;
        std::function<void()> keys;
        const char* shown;   // the entry once the form caught up
        const char* selected;  // its selected part
        const char* stored;  // PRE:DRNAME once the entry is left ("" none)
    };
    const Case cases[] = {
        {"select all, Backspace, then a name", [&] { key(Qt::Key_A, Qt::ControlModifier); key(Qt::Key_Backspace); QTest::keyClicks(edit_, "Drug-7"); },
         "Drug-7", "", "Drug-7"},
        {"select all, Delete", [&] { key(Qt::Key_A, Qt::ControlModifier); key(Qt::Key_Delete); }, "", "", ""},
        {"select all, Backspace", [&] { key(Qt::Key_A, Qt::ControlModifier); key(Qt::Key_Backspace); }, "", "", ""},
        {"typed over a selection", [&] { key(Qt::Key_A, Qt::ControlModifier); QTest::keyClicks(edit_, "Drug-3"); },
         "Drug-3", "", "Drug-3"},
        {"typed over a selection, completed", [&] { key(Qt::Key_A, Qt::ControlModifier); QTest::keyClicks(edit_, "Drug-"); },
         "Drug-1", "1", "Drug-1"},
        {"pasted over a selection", [&] {
             QApplication::clipboard()->setText("Drug-12");
             key(Qt::Key_A, Qt::ControlModifier);
             key(Qt::Key_V, Qt::ControlModifier);
         }, "Drug-12", "", "Drug-12"},
        {"Home, then a letter", [&] { key(Qt::Key_Home); QTest::keyClicks(edit_, "X"); }, "XDrug-15", "", nullptr},
        {"End, Backspace", [&] { key(Qt::Key_End); key(Qt::Key_Backspace); }, "Drug-1", "", "Drug-1"},
        {"Shift+Home after Left", [&] { key(Qt::Key_Left); key(Qt::Key_Home, Qt::ShiftModifier); }, "Drug-15", "Drug-1", "Drug-15"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        edit_->setFocus();
        key(Qt::Key_A, Qt::ControlModifier);
        key(Qt::Key_Backspace);
        QTest::keyClicks(edit_, "Drug-15");
        ASSERT_TRUE(qttest::Settle());
        ASSERT_EQ(edit_->text().toStdString(), "Drug-15");
        c.keys();
        ASSERT_TRUE(qttest::Settle());
        EXPECT_EQ(edit_->text().toStdString(), c.shown);
        EXPECT_EQ(edit_->selectedText().toStdString(), c.selected);
        if (!c.stored) continue;
        const int inserts = probe_.inserts;
        QTest::keyClick(edit_, Qt::Key_Tab);  // left
        ASSERT_TRUE(qttest::Settle());
        EXPECT_EQ(stored(), c.stored);
        EXPECT_EQ(probe_.inserts.load(), inserts) << "no new name offered for " << offered();
    }
}

}  // namespace
