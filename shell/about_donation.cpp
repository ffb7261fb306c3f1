#include "shell/about_donation.h"

#include <string>

#include "shell/main_frame.h"
#include "shell/open_with_shell.h"
#include "shell/procedure_services.h"
#include "shell/web_addresses.h"

namespace shell {
namespace {

// No table, no resizer, no help page of its own: the help key shows the table of contents.
class AboutController final : public cls::ProcedureController {
public:
    using ProcedureController::ProcedureController;
};

class DonationController final : public cls::ProcedureController {
public:
    DonationController(cls::ProcedureBody& body, std::string& address) : ProcedureController(body), address_(address) {
        SetHelpTopic("donations.htm");
        SetHelpButton("?BUTTON4");  // its own page is "donation.htm", for the help key
    }

protected:
    int OnAccepted() override {
        const int r = ProcedureController::OnAccepted();
        if (window().control() == window().Find("?BUTTON3")) {
            SyncComponents();
            address_ = web::kDonationShop;
            OpenWithShell(address_);
        }
        return r;
    }

private:
    std::string& address_;  // empty until "Make A Donation" is pressed
};

}  // namespace

void about() {
    RegisterShellLayouts();
    cls::ProcedureBody body(ServicesHere(), "about", "P1$WINDOW");
    body.Run<AboutController>();
}

void donation() {
    RegisterShellLayouts();
    std::string address;
    cls::ProcedureBody body(ServicesHere(), "donation", "P1$WINDOW");
    body.Run<DonationController>(address);
}

}  // namespace shell
