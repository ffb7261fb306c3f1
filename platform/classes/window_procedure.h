#pragma once
// The shape every window procedure shares, so that each procedure is short:
//
//     void BrowseThings() {
//         cls::ProcedureBody body(ServicesHere(), "BrowseThings", "P1$QUICKWINDOW");  // navigator, window
//         body.window().BindRecord(...);
//         body.Run<ThingsController>(locals...);   // controller on the heap, Execute, CallResponse
//     }                                             // window, then navigator released
//
// ProcedureController is the controller base with the common Initialise, TearDown, OnEvent and
// CallUpdater; a procedure's controller fills in the steps its kind adds.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/classes/procedure_hooks.h"
#include "platform/classes/window_controller.h"

namespace cls {

// What the program hands every window procedure: its shared services and the calling thread's
// request, response and navigation cells (addresses taken on the procedure's own thread).
struct ProcedureServices {
    ErrorReporter* errors = nullptr;
    std::uint8_t* callRequest = nullptr;
    std::uint8_t* callResponse = nullptr;
    std::int32_t* navigationRequest = nullptr;
    std::string helpFile;
    std::function<std::unique_ptr<KeyNavigator>()> makeNavigator;              // empty: no navigator
    std::function<std::unique_ptr<HelpAgent>(wnd::Window&)> makeHelpAgent;    // empty: no help agent
};

class ProcedureBody {
public:
    // Makes the navigator, then builds the window from the procedure's stored layout.
    ProcedureBody(ProcedureServices services, std::string_view procedure, std::string_view label);
    ~ProcedureBody();
    ProcedureBody(const ProcedureBody&) = delete;
    ProcedureBody& operator=(const ProcedureBody&) = delete;

    // Creates the controller, runs it, leaves its outcome in CallResponse and releases it.
    template <typename Controller, typename... Args>
    std::uint8_t Run(Args&&... args) {
        auto controller = std::make_unique<Controller>(*this, std::forward<Args>(args)...);
        const auto response = static_cast<std::uint8_t>(controller->Execute());
        if (services_.callResponse) *services_.callResponse = response;
        return response;
    }

    wnd::Window& window() { return *window_; }
    const ProcedureServices& services() const { return services_; }
    const std::string& procedure() const { return procedure_; }
    KeyNavigator* navigator() const { return navigator_.get(); }
    ToolbarDispatcher& toolbar() { return toolbar_; }

private:
    ProcedureServices services_;
    std::string procedure_;
    std::unique_ptr<KeyNavigator> navigator_;  // released last
    ToolbarDispatcher toolbar_;
    std::unique_ptr<wnd::Window> window_;
};

class ProcedureController : public WindowController {
public:
    explicit ProcedureController(ProcedureBody& body);

    // The common sequence; the kind's own steps are the hooks below.
    int Initialise() override;
    int TearDown() override;
    // The help agent's look at the help key, the navigator, then the parts' early offers, then the
    // base dispatch.
    int OnEvent() override;
    // The base, then the Help button (SetHelpButton): the procedure's help page.
    int OnAccepted() override;
    // Calls the form `number` selects on this thread with `request`; 2 in view mode.
    int CallUpdater(int number, int request) override;

    // Set before Execute.
    void UseTable(TableGroup* group) { tables_.push_back(group); }
    void SetFirstControl(int control) { firstField_ = control; }
    void UseResizer(WindowResizer* resizer) { resizer_ = resizer; }
    void WithoutToolbar() { attachToolbar_ = false; }
    void SetHelpTopic(std::string topic) { helpTopic_ = std::move(topic); }
    void SetHelpButton(std::string use) { helpButton_ = std::move(use); }

    ProcedureBody& body() const { return body_; }
    HelpAgent* helpAgent() const { return help_.get(); }

protected:
    virtual int BeforeTables() { return kLevelGoOn; }     // forms, lists, reports: their actions
    virtual int AfterTables() { return kLevelGoOn; }      // non-zero: the window never opens
    virtual void AfterOpenScreen() {}                     // sort orders, read-only entries, ...
    virtual void AttachFormToolbar() {}
    virtual void SetUpHelp(HelpAgent&) {}                 // control topics
    virtual void TearDownKind() {}                        // list-format manager and the like
    // Offered every event before the base dispatch (column auto-sizers, header sorters).
    virtual int EarlyOffer() { return kLevelGoOn; }
    // Runs the form that `number` selects, directly; false when the number selects none.
    virtual bool RunUpdater(int /*number*/) { return false; }

private:
    ProcedureBody& body_;
    std::vector<TableGroup*> tables_;
    std::vector<TableGroup*> opened_;
    int firstField_ = 1;
    WindowResizer* resizer_ = nullptr;
    bool attachToolbar_ = true;
    std::string helpTopic_;
    std::string helpButton_;
    std::unique_ptr<HelpAgent> help_;
};

}  // namespace cls
