// The form pattern, driven through the headless presenter: a small caller window on a task thread
// of its own calls a test form over a real table through CallUpdater, as a list calls its form.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "data/persons_record.h"
#include "data/records.h"
#include "data/table_classes.h"
#include "data/thread_tables.h"
#include "globals/globals.h"
#include "platform/classes/form_controller.h"
#include "platform/classes/lock_wait_notice.h"
#include "platform/files/connection.h"
#include "platform/files/table_file_impl.h"
#include "platform/headless/scripted_user.h"
#include "platform/runtime/field_access.h"
#include "platform/runtime/fixed_string.h"
#include "platform/window/layout.h"
#include "platform/window/task_queue.h"
#include "platform/window/window_system.h"
#include "shell/procedure_services.h"
#include "support/program_fixture.h"
#include "support/task_thread.h"
#include "support/close_all_windows.h"

namespace {

using Lines = std::vector<std::string>;

// Controls 1 and 2 are the sheet and its tab, 3 the first prompt, 4 the first entry.
constexpr const char* kFormLayouts[] = {
    R"({"procedure": "TestDoctorForm", "windows": [{
  "label": "P1$QUICKWINDOW", "caption": "Doctor", "kind": "mdi", "at": [150, 80],
  "controls": [
    {"use": "?CURRENTTAB", "kind": "sheet", "controls": [
      {"use": "?TAB:1", "kind": "tab", "text": "General", "controls": [
        {"use": "?NAME:PROMPT", "kind": "prompt", "text": "&Name:"},
        {"use": "?DOC:DOCTORSNAME", "kind": "entry", "picture": "@s50"},
        {"use": "?PHONE:PROMPT", "kind": "prompt", "text": "&Phone:"},
        {"use": "?DOC:PHONENUMBER", "kind": "entry", "picture": "@s14"},
        {"use": "?DOC:SPECIALTY", "kind": "text", "picture": "@s20"}]}]},
    {"use": "?OK", "kind": "button", "text": "&OK"},
    {"use": "?CANCEL", "kind": "button", "text": "&Cancel"},
    {"use": "?HELP", "kind": "button", "text": "&Help", "std": "help"},
    {"use": "?REPORT", "kind": "button", "text": "&Report"}]}]})",
    R"({"procedure": "TestPrescriptForm", "windows": [{
  "label": "P1$QUICKWINDOW", "caption": "Prescription", "kind": "mdi", "at": [150, 80],
  "controls": [
    {"use": "?CURRENTTAB", "kind": "sheet", "controls": [
      {"use": "?TAB:1", "kind": "tab", "text": "General", "controls": [
        {"use": "?DRUG:PROMPT", "kind": "prompt", "text": "&Drug:"},
        {"use": "?PRE:DRUGNAMEASPRESCRIBED", "kind": "entry", "picture": "@s60"},
        {"use": "?DR:PROMPT", "kind": "prompt", "text": "D&octor:"},
        {"use": "?PRE:DRNAME", "kind": "entry", "picture": "@s30"}]}]},
    {"use": "?OK", "kind": "button", "text": "&OK"},
    {"use": "?CANCEL", "kind": "button", "text": "&Cancel"},
    {"use": "?HELP", "kind": "button", "text": "&Help", "std": "help"},
    {"use": "?REPORT", "kind": "button", "text": "&Report"}]}]})",
    R"({"procedure": "TestPersonForm", "windows": [{
  "label": "P1$QUICKWINDOW", "caption": "Person", "kind": "mdi", "at": [150, 80],
  "controls": [
    {"use": "?CURRENTTAB", "kind": "sheet", "controls": [
      {"use": "?TAB:1", "kind": "tab", "text": "General", "controls": [
        {"use": "?NAME:PROMPT", "kind": "prompt", "text": "&Name:"},
        {"use": "?PER:PERSONSNAME", "kind": "entry", "picture": "@s50"},
        {"use": "?PER:GENDER", "kind": "entry", "picture": "@s1"},
        {"use": "?PER:MARITALSTATUS", "kind": "option", "controls": [
          {"use": "?PER:MARITALSTATUS:RADIO1", "kind": "radio", "text": "Single", "value": "Single"},
          {"use": "?PER:MARITALSTATUS:RADIO2", "kind": "radio", "text": "Married", "value": "Married"}]}]}]},
    {"use": "?OK", "kind": "button", "text": "&OK"},
    {"use": "?CANCEL", "kind": "button", "text": "&Cancel"},
    {"use": "?HELP", "kind": "button", "text": "&Help", "std": "help"},
    {"use": "?REPORT", "kind": "button", "text": "&Report"}]}]})",
    R"({"procedure": "TestCaller", "windows": [{
  "label": "P1$QUICKWINDOW", "caption": "Caller", "kind": "mdi", "at": [200, 100],
  "controls": [
    {"use": "?INSERT", "kind": "button", "text": "&Insert"},
    {"use": "?CHANGE", "kind": "button", "text": "&Change"},
    {"use": "?DELETE", "kind": "button", "text": "&Delete"},
    {"use": "?VIEW", "kind": "button", "text": "&View"},
    {"use": "?CLOSE", "kind": "button", "text": "Close", "std": "close"}]}]})",
};

enum class Table { Doctors, Prescripts, Persons };

// What the caller works on and what it saw, shared with the test.
struct Probe {
    void Add(std::string line) {
        std::lock_guard lock(mutex);
        lines.push_back(std::move(line));
    }
    Lines Take() {
        std::lock_guard lock(mutex);
        return std::exchange(lines, {});
    }
    std::mutex mutex;
    Lines lines;
    std::atomic<std::int64_t> target{0};  // the record a change, delete or view is called for
    std::atomic<int> busyMs{0};           // a change's write waits this long for a locked file (0: as set)
};

cls::TableGroup& groupOf(Table t) {
    switch (t) {
        case Table::Doctors: return *data::DoctorsGroupRef;
        case Table::Prescripts: return *data::PrescriptsGroupRef;
        case Table::Persons: return *data::PersonsNameGroupRef;
    }
    return *data::DoctorsGroupRef;
}

class TestFormController final : public cls::FormController {
public:
    TestFormController(cls::ProcedureBody& body, cls::TableGroup& group, cls::RecordHistory& history, Probe& probe)
        : FormController(body, group), probe_(probe) {
        UseTable(&group);
        SetHistoryRecord(history);
        AddRecallField(4, 1);
        const bool person = body.procedure() == "TestPersonForm";  // control 6: an option of radios
        AddRecallField(6, body.procedure() == "TestPrescriptForm" ? 6
                          : person ? data::PersonsNameTable().fieldByName("PER:MARITALSTATUS")->number
                                   : 2);
        if (body.procedure() == "TestDoctorForm") AddRecallField(7, 3);  // a multi-line text box
    }

protected:
    int OnAccepted() override {
        const int r = FormController::OnAccepted();
        if (window().control() == window().Find("?REPORT"))
            // As a report printed from the form: it reads the whole table through the same buffer.
            KeepRecordAround([this] {
                cls::TableAccessor& a = accessor();
                if (a.TrySetKey(-1) == 0)
                    while (a.TryNext() == 0) {
                    }
            });
        return r;
    }
    int CompleteChange() override {
        // The thread's connection waits seconds for a lock held elsewhere; a test waits less.
        if (const int ms = probe_.busyMs)
            if (auto c = accessor().FILE->impl().connection()) c->setBusyTimeout(ms);
        return FormController::CompleteChange();
    }

private:
    Probe& probe_;
};

void TestForm(Table t, Probe& probe) {
    static thread_local cls::RecordHistory history[3];
    const char* procedure = t == Table::Doctors      ? "TestDoctorForm"
                            : t == Table::Prescripts ? "TestPrescriptForm"
                                                     : "TestPersonForm";
    cls::ProcedureBody body(shell::ServicesHere(), procedure, "P1$QUICKWINDOW");
    switch (t) {
        case Table::Doctors: body.window().BindRecord(data::DoctorsTable(), &data::DOC); break;
        case Table::Prescripts: body.window().BindRecord(data::PrescriptsTable(), &data::PRE); break;
        case Table::Persons: body.window().BindRecord(data::PersonsNameTable(), &data::PER); break;
    }
    body.Run<TestFormController>(groupOf(t), history[static_cast<int>(t)], probe);
}

class TestCallerController final : public cls::ProcedureController {
public:
    TestCallerController(cls::ProcedureBody& body, Probe& probe, Table t)
        : ProcedureController(body), probe_(probe), table_(t) {
        UseTable(&groupOf(t));
    }

protected:
    int OnAccepted() override {
        if (int r = ProcedureController::OnAccepted()) return r;
        const int c = window().control();
        cls::TableAccessor& a = *groupOf(table_).ME;
        int request = 0;
        if (c == window().Find("?INSERT")) {
            request = cls::kRequestInsert;
            // A list primes the new record; for prescriptions that adds the auto-numbered record.
            if (a.PrimeRecord(false) != 0) return cls::kLevelGoOn;
        } else {
            request = c == window().Find("?CHANGE")   ? cls::kRequestChange
                      : c == window().Find("?DELETE") ? cls::kRequestDelete
                                                      : cls::kRequestView;
            if (a.TryFetchAt(files::Position{probe_.target}) != 0) return cls::kLevelGoOn;
        }
        const int response = CallUpdater(1, request);
        probe_.Add("response " + std::to_string(response));
        return cls::kLevelGoOn;
    }
    bool RunUpdater(int) override {
        TestForm(table_, probe_);
        return true;
    }

private:
    Probe& probe_;
    Table table_;
};

void TestCaller(Probe& probe, Table t) {
    cls::ProcedureBody body(shell::ServicesHere(), "TestCaller", "P1$QUICKWINDOW");
    body.Run<TestCallerController>(probe, t);
}

// --- the tables as another program sees them: a thread of its own with its own instances ---

template <typename Record>
struct Stored {
    files::Position pos;
    std::int64_t version = 0;
    Record record{};
};

template <typename Record>
std::vector<Stored<Record>> readAll(const rt::TableDesc& desc) {
    std::vector<Stored<Record>> out;
    std::thread([&] {
        Record r{};
        std::string memo;
        {
            files::TableFile f(desc, &r, desc.memo ? &memo : nullptr);
            if (f.open() == 0) {
                f.setKeyOrder(-1);
                while (f.next() == 0) out.push_back({f.position(), f.version(), r});
                f.close();
            }
        }
        files::ReleaseThreadConnections();
    }).join();
    return out;
}

template <typename Record>
files::Position addRecord(const rt::TableDesc& desc, const Record& record) {
    files::Position pos;
    std::thread([&] {
        Record r = record;
        std::string memo;
        {
            files::TableFile f(desc, &r, desc.memo ? &memo : nullptr);
            if (f.open() != 0) f.create();
            if (f.isOpen() || f.open() == 0) {
                if (f.add() == 0) pos = f.position();
                f.close();
            }
        }
        files::ReleaseThreadConnections();
    }).join();
    return pos;
}

void eraseAll(const rt::TableDesc& desc) {
    for (const auto& s : readAll<data::PrescriptsRecord>(desc)) {
        std::thread([&] {
            data::PrescriptsRecord r{};
            std::string memo;
            {
                files::TableFile f(desc, &r, &memo);
                if (f.open() == 0) f.eraseAt(s.pos);
            }
            files::ReleaseThreadConnections();
        }).join();
    }
}

// Another program writing: a connection of its own holds the database's write lock until Release.
class WriteLock {
public:
    explicit WriteLock(std::string path) {
        thread_ = std::thread([this, path = std::move(path)] {
            std::shared_ptr<files::Connection> c;
            const bool locked =
                files::Connection::open(path, false, false, 0, &c).code == 0 && c->exec("BEGIN IMMEDIATE") == 0;
            std::unique_lock lock(mutex_);
            state_ = locked ? State::Held : State::Failed;
            changed_.notify_all();
            changed_.wait(lock, [this] { return state_ == State::Releasing; });
            if (locked) c->exec("ROLLBACK");
        });
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return state_ != State::Starting; });
        held_ = state_ == State::Held;
    }
    ~WriteLock() { Release(); }
    bool held() const { return held_; }
    // Any thread may release it; it is free when this returns.
    void Release() {
        {
            std::lock_guard lock(mutex_);
            state_ = State::Releasing;
            changed_.notify_all();
        }
        std::lock_guard once(joinMutex_);
        if (thread_.joinable()) thread_.join();
    }

private:
    enum class State { Starting, Held, Failed, Releasing };
    std::mutex mutex_, joinMutex_;
    std::condition_variable changed_;
    State state_ = State::Starting;
    bool held_ = false;
    std::thread thread_;
};

std::string doctorsPath() {
    data::DoctorsRecord r{};
    return files::TableFile(data::DoctorsTable(), &r, nullptr).path();
}

data::DoctorsRecord doctor(const char* name, const char* phone) {
    data::DoctorsRecord d{};
    rt::assign(d.DOCTORSNAME, name);
    rt::assign(d.PHONENUMBER, phone);
    rt::assign(d.SPECIALTY, "");
    return d;
}

std::string name(const data::DoctorsRecord& d) { return rt::clip(d.DOCTORSNAME); }

class Forms : public ::testing::Test {
protected:
    void SetUp() override {
        static std::once_flag once;
        std::call_once(once, [] {
            std::string error;
            for (const char* json : kFormLayouts) ASSERT_TRUE(wnd::RegisterLayout(json, &error)) << error;
        });
        testing_support::prepareProgramThreads();
        if (rt::CurrentThreadNumber() == 0) rt::TouchThreadData();
        wnd::SetPresenter(presenter_);
    }
    void TearDown() override {
        testing_support::CloseAllWindows([] { rt::WaitForTaskThreads(); });
        wnd::SetPresenter(nullptr);
    }
    hl::UserWindow StartCaller(Table t) {
        wnd::StartTask([this, t] { TestCaller(probe_, t); }, 0);
        return user_.Find("TestCaller");
    }
    // Ada, single, in the people table and the target of the caller's Change.
    hl::UserWindow CallerForAda() {
        data::PersonsNameRecord p{};
        rt::clearRecord(data::PersonsNameTable(), &p);
        rt::assign(p.PERSONSNAME, "Ada");
        rt::assign(p.GENDER, "F");
        rt::assign(p.MARITALSTATUS, "Single");
        probe_.target = addRecord(data::PersonsNameTable(), p).id;
        return StartCaller(Table::Persons);
    }
    std::vector<Stored<data::DoctorsRecord>> doctors() { return readAll<data::DoctorsRecord>(data::DoctorsTable()); }
    std::vector<Stored<data::PrescriptsRecord>> prescripts() {
        return readAll<data::PrescriptsRecord>(data::PrescriptsTable());
    }

    testing_support::TempDataFolder folder_;
    testing_support::MessageRecorder messages_{globals::AppErrors()};
    std::shared_ptr<hl::HeadlessPresenter> presenter_ = std::make_shared<hl::HeadlessPresenter>();
    hl::ScriptedUser user_{presenter_};
    Probe probe_;
};

TEST_F(Forms, InsertOkWritesOneRecordOverTheAutoNumberedOne) {
    auto caller = StartCaller(Table::Prescripts);
    caller.Press("?INSERT");
    ASSERT_EQ(prescripts().size(), 1u) << "the caller's priming added the auto-numbered record";
    auto form = user_.Find("TestPrescriptForm");
    EXPECT_EQ(form.Caption(), "Record Will Be Added");
    EXPECT_TRUE(caller.Inert());
    EXPECT_EQ(form.Focus(), "?PRE:DRUGNAMEASPRESCRIBED") << "the first field is a prompt: focus goes past it";
    form.Fill("?PRE:DRUGNAMEASPRESCRIBED", "Aspirin");
    form.Press("?OK");
    EXPECT_FALSE(form.Open());
    EXPECT_EQ(probe_.Take(), Lines{"response 1"});
    const auto rows = prescripts();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rt::clip(rows[0].record.DRUGNAMEASPRESCRIBED), "Aspirin");
    EXPECT_EQ(rows[0].record.ACTIVE[0], 'Y');
    EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(Forms, CancelledInsertLeavesNoRecordBehind) {
    struct Case {
        const char* how;
        bool edit;
        bool removedMeanwhile;  // another thread removed the auto-numbered record
    } cases[] = {{"cancel", false, false}, {"closebox", false, false}, {"cancel", true, false},
                 {"closebox", true, true},  {"cancel", false, true}};
    auto caller = StartCaller(Table::Prescripts);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.how) + (c.edit ? " edited" : "") + (c.removedMeanwhile ? " removed" : ""));
        caller.Press("?INSERT");
        auto form = user_.Find("TestPrescriptForm");
        if (c.edit) form.Fill("?PRE:DRUGNAMEASPRESCRIBED", "Aspirin");
        if (c.removedMeanwhile) eraseAll(data::PrescriptsTable());
        if (std::string(c.how) == "cancel") form.Press("?CANCEL");
        else form.CloseBox();
        EXPECT_FALSE(form.Open());
        EXPECT_EQ(probe_.Take(), Lines{"response 2"});
        EXPECT_TRUE(prescripts().empty());
        EXPECT_EQ(messages_.numbers(), c.edit ? std::vector<int>{10} : std::vector<int>{});
        messages_.clear();
    }
}

TEST_F(Forms, InsertOkAddsAfreshWhenTheAutoNumberedRecordWasRemoved) {
    auto caller = StartCaller(Table::Prescripts);
    caller.Press("?INSERT");
    auto form = user_.Find("TestPrescriptForm");
    form.Fill("?PRE:DRUGNAMEASPRESCRIBED", "Aspirin");
    eraseAll(data::PrescriptsTable());
    form.Press("?OK");
    EXPECT_FALSE(form.Open());
    EXPECT_EQ(probe_.Take(), Lines{"response 1"});
    const auto rows = prescripts();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rt::clip(rows[0].record.DRUGNAMEASPRESCRIBED), "Aspirin");
}

TEST_F(Forms, ChangeWithoutEditsWritesNothingAndAnswersCompleted) {
    probe_.target = addRecord(data::DoctorsTable(), doctor("Dr Adams", "555-0100")).id;
    const auto before = doctors();
    auto caller = StartCaller(Table::Doctors);
    caller.Press("?CHANGE");
    auto form = user_.Find("TestDoctorForm");
    EXPECT_EQ(form.Caption(), "Record Will Be Changed");
    EXPECT_EQ(form.Text("?DOC:DOCTORSNAME"), "Dr Adams");
    form.Press("?OK");
    EXPECT_FALSE(form.Open());
    EXPECT_EQ(probe_.Take(), Lines{"response 1"});
    const auto after = doctors();
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after[0].version, before[0].version) << "nothing was written";
    EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(Forms, ChangesWillBeLostAskedOnCancelBothWays) {
    probe_.target = addRecord(data::DoctorsTable(), doctor("Dr Adams", "555-0100")).id;
    auto caller = StartCaller(Table::Doctors);
    caller.Press("?CHANGE");
    auto form = user_.Find("TestDoctorForm");
    form.Fill("?DOC:DOCTORSNAME", "Dr Baker");
    form.Click("?DOC:PHONENUMBER");

    messages_.answer(cls::kButtonNo);
    form.Press("?CANCEL");
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].caption, "Changes will be lost!");
    EXPECT_TRUE(form.Open()) << "No keeps the form";
    EXPECT_EQ(form.Focus(), "?DOC:DOCTORSNAME");
    EXPECT_EQ(form.Text("?DOC:DOCTORSNAME"), "Dr Baker") << "with the edits intact";
    EXPECT_TRUE(probe_.Take().empty());

    messages_.answer(cls::kButtonYes);
    form.CloseBox();
    EXPECT_FALSE(form.Open());
    EXPECT_EQ(messages_.numbers(), (std::vector<int>{10, 10}));
    EXPECT_EQ(probe_.Take(), Lines{"response 2"});
    EXPECT_EQ(name(doctors().at(0).record), "Dr Adams");
}

TEST_F(Forms, ViewModeIsReadOnlyAndAnswersCancelled) {
    probe_.target = addRecord(data::DoctorsTable(), doctor("Dr Adams", "555-0100")).id;
    const auto before = doctors();
    auto caller = StartCaller(Table::Doctors);
    caller.Press("?VIEW");
    auto form = user_.Find("TestDoctorForm");
    EXPECT_EQ(form.Caption(), "View Record");
    EXPECT_TRUE(form.Control("?DOC:DOCTORSNAME").readOnly);
    EXPECT_TRUE(form.Control("?DOC:PHONENUMBER").readOnly);
    EXPECT_EQ(form.Text("?DOC:DOCTORSNAME"), "Dr Adams");
    form.Press("?OK");
    EXPECT_FALSE(form.Open());
    EXPECT_EQ(probe_.Take(), Lines{"response 2"});
    EXPECT_EQ(doctors().at(0).version, before[0].version);
    EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(Forms, DeleteConfirmedOrRefusedWithoutShowingTheForm) {
    const auto kept = addRecord(data::DoctorsTable(), doctor("Dr Keep", ""));
    probe_.target = addRecord(data::DoctorsTable(), doctor("Dr Gone", "")).id;
    auto caller = StartCaller(Table::Doctors);

    messages_.answer(cls::kButtonNo);
    caller.Press("?DELETE");
    EXPECT_EQ(probe_.Take(), Lines{"response 2"});
    EXPECT_EQ(doctors().size(), 2u);

    messages_.answer(cls::kButtonYes);
    caller.Press("?DELETE");
    EXPECT_EQ(probe_.Take(), Lines{"response 1"});
    const auto rows = doctors();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].pos, kept);

    EXPECT_FALSE(user_.Has("TestDoctorForm")) << "a delete never shows the form";
    ASSERT_EQ(messages_.shown().size(), 2u);
    EXPECT_EQ(messages_.shown()[0].caption, "Confirm Delete");
    EXPECT_EQ(messages_.numbers(), (std::vector<int>{11, 11}));
}

TEST_F(Forms, SecondWriterSeesTheStoredRecordAndRecallsItsValues) {
    probe_.target = addRecord(data::DoctorsTable(), doctor("Dr Adams", "555-0100")).id;
    auto callerA = StartCaller(Table::Doctors);
    auto callerB = StartCaller(Table::Doctors);
    ASSERT_NE(callerA.id(), callerB.id());
    callerA.Press("?CHANGE");
    auto formA = user_.Find("TestDoctorForm");
    callerB.Press("?CHANGE");
    auto formB = user_.Find("TestDoctorForm");
    ASSERT_NE(formA.id(), formB.id());

    formA.Fill("?DOC:DOCTORSNAME", "Dr First");
    formA.Fill("?DOC:PHONENUMBER", "555-0111");
    formA.Press("?OK");
    EXPECT_FALSE(formA.Open());

    formB.Fill("?DOC:DOCTORSNAME", "Dr Second");
    formB.Type("?DOC:SPECIALTY", "Cardiology");
    formB.Press("?OK");
    EXPECT_EQ(messages_.numbers(), std::vector<int>{8});
    ASSERT_TRUE(formB.Open()) << "the form stays open";
    EXPECT_EQ(formB.Text("?DOC:DOCTORSNAME"), "Dr First") << "the stored record is shown";
    EXPECT_EQ(formB.Text("?DOC:PHONENUMBER"), "555-0111");
    EXPECT_EQ(formB.Text("?DOC:SPECIALTY"), "");
    EXPECT_EQ(formB.Focus(), "?DOC:DOCTORSNAME");

    // Ctrl+H recalls where the Enter-key navigator left it: on the multi-line text box, not on
    // the entry.
    formB.Click("?DOC:SPECIALTY");
    formB.PressKey(cls::kHistoryKeyCtrlH);
    EXPECT_EQ(formB.Text("?DOC:SPECIALTY"), "Cardiology") << "Ctrl+H recalls the user's value";
    formB.Click("?DOC:DOCTORSNAME");
    formB.PressKey(cls::kHistoryKeyCtrlH);
    EXPECT_EQ(formB.Text("?DOC:DOCTORSNAME"), "Dr First");
    formB.Press("?OK");
    EXPECT_FALSE(formB.Open());
    EXPECT_EQ(probe_.Take(), (Lines{"response 1", "response 1"}));
    const auto rows = doctors();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rt::clip(rows[0].record.SPECIALTY), "Cardiology");
    EXPECT_EQ(name(rows[0].record), "Dr First") << "the first writer's other values stay";
    EXPECT_EQ(rt::clip(rows[0].record.PHONENUMBER), "555-0111");
    EXPECT_EQ(messages_.numbers(), std::vector<int>{8});
}

TEST_F(Forms, AReadOnTheThreadDoesNotRedirectTheWriteOrTheUndo) {
    // Change: the report reads every doctor through the form's buffer and leaves the file's
    // current record on the last one.
    probe_.target = addRecord(data::DoctorsTable(), doctor("Dr Adams", "555-0100")).id;
    addRecord(data::DoctorsTable(), doctor("Dr Zimmer", "555-0199"));
    {
        auto caller = StartCaller(Table::Doctors);
        caller.Press("?CHANGE");
        auto form = user_.Find("TestDoctorForm");
        form.Fill("?DOC:DOCTORSNAME", "Dr Adams-Baker");
        form.Press("?REPORT");
        EXPECT_EQ(form.Text("?DOC:DOCTORSNAME"), "Dr Adams-Baker") << "the form keeps the user's values";
        EXPECT_EQ(form.Text("?DOC:PHONENUMBER"), "555-0100");
        form.Press("?OK");
        EXPECT_FALSE(form.Open());
        EXPECT_EQ(probe_.Take(), Lines{"response 1"});
        const auto rows = doctors();
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_EQ(name(rows[0].record), "Dr Adams-Baker");
        EXPECT_EQ(name(rows[1].record), "Dr Zimmer");
        EXPECT_EQ(rt::clip(rows[1].record.PHONENUMBER), "555-0199");
        caller.Press("?CLOSE");
    }
    // Insert: OK writes, and Cancel removes, the auto-numbered record, not the last one read.
    data::PrescriptsRecord old{};
    rt::assign(old.DRUGNAMEASPRESCRIBED, "Old drug");
    rt::assign(old.PRINTKEY, "0");
    addRecord(data::PrescriptsTable(), old);
    auto caller = StartCaller(Table::Prescripts);
    for (const char* button : {"?OK", "?CANCEL"}) {
        SCOPED_TRACE(button);
        caller.Press("?INSERT");
        auto form = user_.Find("TestPrescriptForm");
        form.Fill("?PRE:DRUGNAMEASPRESCRIBED", "New drug");
        form.Press("?REPORT");
        EXPECT_EQ(form.Text("?PRE:DRUGNAMEASPRESCRIBED"), "New drug");
        messages_.answer(cls::kButtonYes);  // Changes will be lost!
        form.Press(button);
        EXPECT_FALSE(form.Open());
        Lines names;
        for (const auto& r : prescripts()) names.push_back(rt::clip(r.record.DRUGNAMEASPRESCRIBED));
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (Lines{"New drug", "Old drug"}));
    }
    EXPECT_EQ(probe_.Take(), (Lines{"response 1", "response 2"}));
}

TEST_F(Forms, ChangeRefusedByTheFieldChecksStaysInTheForm) {
    auto caller = CallerForAda();
    caller.Press("?CHANGE");
    auto form = user_.Find("TestPersonForm");
    form.Fill("?PER:GENDER", "x");
    form.Press("?OK");
    EXPECT_TRUE(form.Open());
    EXPECT_EQ(messages_.numbers(), std::vector<int>{17}) << "the check's message, and no 37";
    EXPECT_EQ(form.Focus(), "?PER:PERSONSNAME");
    form.Fill("?PER:GENDER", "M");
    form.Press("?OK");
    EXPECT_FALSE(form.Open());
    EXPECT_EQ(probe_.Take(), Lines{"response 1"});
    const auto rows = readAll<data::PersonsNameRecord>(data::PersonsNameTable());
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].record.GENDER[0], 'M');
}

TEST_F(Forms, TheHistoryKeyOnARadioRecallsItsOptionsValue) {
    auto caller = CallerForAda();
    caller.Press("?CHANGE");
    auto form = user_.Find("TestPersonForm");
    form.ChooseRadio("?PER:MARITALSTATUS:RADIO2");
    form.Press("?OK");  // what OK took is what the history key recalls
    EXPECT_FALSE(form.Open());

    caller.Press("?CHANGE");
    form = user_.Find("TestPersonForm");
    form.ChooseRadio("?PER:MARITALSTATUS:RADIO1");
    EXPECT_TRUE(form.Control("?PER:MARITALSTATUS:RADIO1").Alerts(cls::kHistoryKeyCtrlH));
    form.PressKey(cls::kHistoryKeyCtrlH);
    EXPECT_TRUE(form.Checked("?PER:MARITALSTATUS:RADIO2"));
    form.Press("?OK");
    EXPECT_FALSE(form.Open());
    const auto rows = readAll<data::PersonsNameRecord>(data::PersonsNameTable());
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rt::clip(rows[0].record.MARITALSTATUS), "Married");
}

// A write that fails for a reason other than another station's change: message 28, then 37 asks
// whether to try again (Yes), give up and close (No) or go back to the form (Cancel). The failure is
// real: another connection holds the database's write lock past the write's busy time-out.
TEST_F(Forms, FailedChangeWriteOffersRetryGiveUpOrStay) {
    struct Case {
        unsigned answer;
        bool open;             // the form is still open afterwards
        const char* response;  // what the caller was answered, "" none yet
        const char* stored;    // the doctor's stored name
    } cases[] = {{cls::kButtonYes, false, "response 1", "Dr Baker"},
                 {cls::kButtonNo, false, "response 2", "Dr Adams"},
                 {cls::kButtonCancel, true, "", "Dr Adams"}};
    probe_.busyMs = 20;
    cls::ShowLockWaitsInStatus();
    auto caller = StartCaller(Table::Doctors);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer == cls::kButtonYes ? "Yes" : c.answer == cls::kButtonNo ? "No" : "Cancel");
        const files::Position pos = addRecord(data::DoctorsTable(), doctor("Dr Adams", "555-0100"));
        probe_.target = pos.id;
        caller.Press("?CHANGE");
        auto form = user_.Find("TestDoctorForm");
        form.Fill("?DOC:DOCTORSNAME", "Dr Baker");

        WriteLock lock(doctorsPath());
        ASSERT_TRUE(lock.held());
        // Yes: the other program has finished by the time the user answers.
        if (c.answer == cls::kButtonYes)
            messages_.onShown([&lock](int number) {
                if (number == 37) lock.Release();
            });
        messages_.answer(cls::kButtonOk);
        messages_.answer(c.answer);
        form.Press("?OK");
        messages_.onShown(nullptr);

        const auto shown = messages_.shown();
        ASSERT_EQ(messages_.numbers(), (std::vector<int>{28, 37})) << "no other question, not even message 10";
        EXPECT_EQ(shown[0].caption, "Record was not updated");
        EXPECT_EQ(shown[0].text, "An error (" + cls::TableAccessor::ErrorText(files::kTransactionTimeout) + "; another program is using " +
                                     doctorsPath() + "; trying again may work) was experienced when making changes to the Doctors file.")
            << "the cause, what may help and the file";
        EXPECT_EQ(shown[1].caption, "Record Update Error");
        {
            std::lock_guard lock(presenter_->mutex());
            EXPECT_EQ(presenter_->statuses(), (std::vector<std::string>{cls::LockWaitText(doctorsPath()), ""}))
                << "the wait is shown while it lasts";
            presenter_->statuses().clear();
        }
        EXPECT_EQ(form.Open(), c.open);
        EXPECT_EQ(probe_.Take(), c.response[0] ? Lines{c.response} : Lines{});
        std::string stored;
        for (const auto& d : doctors())
            if (d.pos == pos) stored = name(d.record);
        EXPECT_EQ(stored, c.stored);
        messages_.clear();

        if (c.open) {
            EXPECT_EQ(form.Focus(), "?DOC:DOCTORSNAME") << "back on the first field";
            EXPECT_EQ(form.Text("?DOC:DOCTORSNAME"), "Dr Baker") << "with the user's values";
            lock.Release();
            form.Press("?OK");
            EXPECT_FALSE(form.Open());
            EXPECT_EQ(probe_.Take(), Lines{"response 1"});
            EXPECT_TRUE(messages_.shown().empty());
        }
    }
    files::SetLockWaitObserver(nullptr);
}

}  // namespace
