#include "shell/main_frame.h"

#include <mutex>
#include <string>
#include <string_view>

#include "data/records.h"
#include "data/table_classes.h"
#include "globals/globals.h"
#include "globals/program_end.h"
#include "platform/files/record_view.h"
#include "platform/files/table_file.h"
#include "platform/runtime/clock.h"
#include "platform/window/task_queue.h"
#include "platform/window/window_system.h"
#include "shell/procedure_registry.h"
#include "shell/procedure_services.h"
#include "shell/register.h"
#include "shell/run_application.h"

bool RegisterShellLayoutResources(std::string* error);
void RegisterShellHelpPages(std::string_view helpFile);

namespace shell {
namespace {

// Help items answered by the frame's help agent; without one they stay disabled.
constexpr const char* kHelpItems[] = {"?HELPINDEX", "?HELPSEARCH", "?HELPONHELP", "?HELPFAMILYITEM"};

class FrameController final : public cls::ProcedureController {
public:
    explicit FrameController(cls::ProcedureBody& body) : ProcedureController(body) {
        if (data::PrescriptsGroupRef) UseTable(data::PrescriptsGroupRef);
        SetFirstControl(1);
    }

protected:
    int AfterTables() override {
        // Commands whose procedure does not exist yet are offered disabled.
        for (const MenuStart& m : kMenuStarts)
            if (int c = window().Find(m.use)) window().SetDisabled(c, !FindProcedure(m.procedure));
        for (const char* use : kHelpItems)
            if (int c = window().Find(use)) window().SetDisabled(c, body().services().makeHelpAgent == nullptr);
        return cls::kLevelGoOn;
    }

    void SetUpHelp(cls::HelpAgent& agent) override {
        if (int c = window().Find("?HELPFAMILYITEM")) agent.SetControlTopic(c, "Brindlecrest.htm");
        for (const char* use : {"?HELPINDEX", "?HELPSEARCH", "?HELPONHELP"})
            if (int c = window().Find(use)) window().SetStd(c, wnd::StdAction::None);
    }

    int OnWindowEvent() override {
        const int r = ProcedureController::OnWindowEvent();
        if (window().event() == wnd::Event::OpenWindow) {
            globals::SetFrameWindow(window().handle());
            globals::DISCLAIMER().set(globals::kDisclaimerText);
            // A fatal error before the frame was up: it closes at once.
            if (globals::ProgramEnding()) {
                window().Post(wnd::Event::CloseWindow);
                return r;
            }
            // The reminders run here, nested: the frame takes no command until they close.
            if (RefillsDueWithin30Days())
                if (WindowProcedure reminders = FindProcedure("Reminders")) reminders();
        }
        return r;
    }

    int OnAccepted() override {
        const int control = window().control();
        for (const MenuStart& m : kMenuStarts)
            if (control == window().Find(m.use)) {
                if (WindowProcedure p = FindProcedure(m.procedure)) wnd::StartTask(std::move(p), m.stack);
                return ProcedureController::OnAccepted();
            }
        if (cls::HelpAgent* help = helpAgent()) {
            const std::string& use = window().control(control).use;
            if (use == "?HELPINDEX") help->ShowHelpIndex();
            else if (use == "?HELPSEARCH") help->ShowHelpSearch();
            else if (use == "?HELPONHELP") help->ShowHelpContents();
            else if (use == "?HELPFAMILYITEM") help->LookupHelpKeyword("Brindlecrest");
        }
        return ProcedureController::OnAccepted();
    }

    int OnCloseRequest() override {
        // The frame closes last. While other windows are open it stays, and they are asked to
        // close, each on its own thread, without this thread waiting for them; once none is left
        // the frame is asked again and closes. A form that keeps its changes keeps the frame too.
        if (wnd::OtherWindowsOpen(window().id())) {
            wnd::CloseOtherWindows(window().handle(), globals::ProgramEnding());
            return cls::kLevelHandled;
        }
        return ProcedureController::OnCloseRequest();
    }
};

}  // namespace

bool RegisterShellLayouts() {
    static std::once_flag once;
    static bool ok = false;
    static std::string error;
    std::call_once(once, [] {
        ok = RegisterShellLayoutResources(&error);
        RegisterShellHelpPages(kHelpFile);
    });
    return ok;
}

bool RefillDue(rt::StdDate reminder, rt::StdDate today) {
    return reminder > 0 && reminder >= today && reminder <= today + 30;
}

bool RefillsDueWithin30Days() {
    data::PrescriptsRecord record{};
    std::string memo;
    files::TableFile file(data::PrescriptsTable(), &record, &memo);
    if (file.open(files::OpenMode::ReadOnly) != 0) return false;
    file.setReadMemo(false);
    // The reminder-date key holds every prescription with a date, active or not, in date order: a
    // range on it finds a due one without reading the whole file.
    bool due = false;
    const int byDate = data::PrescriptsTable().keyIndex("PRE:ByDate");
    const rt::StdDate today = rt::today();
    files::RecordView view(file, byDate);
    view.setRange(std::int64_t{today}, std::int64_t{today + 30});
    view.setPageSize(1);
    if (view.reset() == 0 && view.next() == 0) due = RefillDue(record.REFILLREMINDERDATE.get(), today);
    file.close();
    return due;
}

void Main() {
    RegisterShellProcedures();
    if (!globals::ProgramEnding()) {
        cls::ProcedureBody body(ServicesHere(), "Main", "P1$APPFRAME");
        body.Run<FrameController>();
    }
    globals::SetFrameWindow({});
    // From here thread 1 only waits for the other task threads to end; it no longer counts as at
    // work, so the windows still open settle as idle.
    wnd::ThisThreadQueue()->Retire();
}

}  // namespace shell
