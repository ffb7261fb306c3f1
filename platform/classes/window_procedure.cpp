#include "platform/classes/window_procedure.h"

namespace cls {

ProcedureBody::ProcedureBody(ProcedureServices services, std::string_view procedure, std::string_view label)
    : services_(std::move(services)), procedure_(procedure) {
    if (services_.makeNavigator) navigator_ = services_.makeNavigator();
    window_ = std::make_unique<wnd::Window>(procedure, label);
}

ProcedureBody::~ProcedureBody() {
    window_.reset();
    navigator_.reset();
}

ProcedureController::ProcedureController(ProcedureBody& body) : WindowController(body.window()), body_(body) {}

int ProcedureController::Initialise() {
    const ProcedureServices& s = body_.services();
    // 1-2. The reporter names this procedure; the request is taken over.
    if (s.errors) s.errors->PushProcedure(body_.procedure());
    REQUEST = s.callRequest ? *s.callRequest : 0;
    // 3. The base.
    if (int r = WindowController::Initialise()) return r;
    // 4-7.
    FIRSTFIELD = firstField_;
    VCRREQUEST = s.navigationRequest;
    ERRORS = s.errors;
    if (attachToolbar_) TOOLBAR = &body_.toolbar();
    if (s.callRequest) *s.callRequest = 0;
    if (s.callResponse) *s.callResponse = 0;
    // 8. The kind's actions.
    if (int r = BeforeTables()) return r;
    // 9. Tables, in the order the procedure named them.
    for (TableGroup* g : tables_) {
        const int r = g->OpenGroup();
        if (r != 0) return r;  // reported by the group; the procedure cannot work without it
        opened_.push_back(g);
    }
    FILESOPENED = 1;
    // 10-12.
    if (int r = AfterTables()) return r;
    OpenScreen();
    AfterOpenScreen();
    // 13. Controls follow the window's size.
    if (resizer_) {
        resizer_->Init(window(), 2, true, false);
        resizer_->SetDefaultStrategies();
        AttachResizer(resizer_);
    }
    // 14-15.
    AttachFormToolbar();
    ArmKeys();
    // 16. The help agent, when the program supplies one; then only it answers the Help button.
    // The procedure's page is the one it names, else its window's; a control's page is its own.
    if (s.makeHelpAgent) {
        help_ = s.makeHelpAgent(window());
        if (help_) {
            help_->AttachHelpFile(s.helpFile, kHelpKey);
            const std::string& topic = helpTopic_.empty() ? window().state().help : helpTopic_;
            if (!topic.empty()) help_->SetProcedureTopic(topic);
            for (const wnd::ControlState& c : window().state().controls)
                if (!c.help.empty()) help_->SetControlTopic(c.number, c.help);
            SetUpHelp(*help_);
            if (!helpButton_.empty())
                if (int b = window().Find(helpButton_)) window().SetStd(b, wnd::StdAction::None);
        }
    }
    // 17. The navigator's keys last, over what the same positions held.
    if (KeyNavigator* n = body_.navigator()) n->ArmKeys(window(), 0);
    return kLevelGoOn;
}

int ProcedureController::TearDown() {
    if (int r = WindowController::TearDown()) return r;
    if (FILESOPENED)
        for (TableGroup* g : opened_) g->CloseGroup();
    opened_.clear();
    TearDownKind();
    if (const ProcedureServices& s = body_.services(); s.errors) s.errors->PushProcedure("");
    if (help_) {
        help_->DetachHelpFile();
        help_.reset();
    }
    return kLevelGoOn;
}

int ProcedureController::OnEvent() {
    // The help key is the help agent's, whoever else sees it afterwards.
    if (help_ && window().event() == wnd::Event::AlertKey) help_->OnHelpKey();
    if (KeyNavigator* n = body_.navigator())
        if (window().event() == wnd::Event::AlertKey && n->HandleAlertKey(window())) return kLevelHandled;
    if (EarlyOffer()) return kLevelHandled;
    return WindowController::OnEvent();
}

int ProcedureController::OnAccepted() {
    const int r = WindowController::OnAccepted();
    // The window's Help button shows the procedure's page, with the parts' buffers up to date.
    if (r == kLevelGoOn && help_ && !helpButton_.empty() && window().control() == window().Find(helpButton_)) {
        SyncComponents();
        help_->ShowProcedureTopic();
    }
    return r;
}

int ProcedureController::CallUpdater(int number, int request) {
    WindowController::CallUpdater(number, request);
    if (REQUEST == kRequestView) return kResponseCancelled;
    const ProcedureServices& s = body_.services();
    if (s.callRequest) *s.callRequest = static_cast<std::uint8_t>(request);
    // A number that selects no form leaves no request behind for the next procedure.
    if (!RunUpdater(number) && s.callRequest) *s.callRequest = 0;
    return s.callResponse ? *s.callResponse : kResponseCancelled;
}

}  // namespace cls
