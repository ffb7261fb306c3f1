#include "shell/useful_links.h"

#include "platform/window/desktop.h"
#include "shell/main_frame.h"
#include "shell/open_with_shell.h"
#include "shell/procedure_services.h"
#include "shell/web_addresses.h"

namespace shell {
namespace {

constexpr std::size_t kAddressLimit = 299;
constexpr std::size_t kListLimit = 499;

struct Site {
    const char* button;
    const char* address;
};
constexpr Site kSites[] = {
    {"?BUTTON4", web::kMedicare},    {"?BUTTON5", web::kMedlinePlus},    {"?BUTTON6", web::kNihConsumer},
    {"?BUTTON7", web::kPediatrics},  {"?BUTTON8", web::kSeniorsHealth}, {"?BUTTON9", web::kAdultHealth},
};

class LinksController final : public cls::ProcedureController {
public:
    LinksController(cls::ProcedureBody& body, std::string& address, std::string& list)
        : ProcedureController(body), address_(address), list_(list) {
        SetHelpTopic("Links.htm");  // no Help button: the help key is the way to it
    }

protected:
    int OnAccepted() override {
        const int r = ProcedureController::OnAccepted();
        const int control = window().control();
        for (const Site& s : kSites)
            if (control == window().Find(s.button)) {
                SyncComponents();
                open(s.address);
            }
        if (control == window().Find("?BUTTON3")) {
            SyncComponents();
            list_ = LinksClipboardText().substr(0, kListLimit);
            wnd::SetClipboardText(list_);
        } else if (control == window().Find("?BUTTON10")) {
            SyncComponents();
            open(web::kMakerLinks);
        }
        return r;
    }

private:
    void open(const char* address) {
        address_ = std::string(address).substr(0, kAddressLimit);
        OpenWithShell(address_);
    }

    std::string& address_;
    std::string& list_;
};

}  // namespace

std::string LinksClipboardText() {
    const std::string crlf = "\r\n";
    return "Federal Government Medicare Site:  " + std::string(web::kMedicare) + " " + crlf +
           "National Institute of Health Consumer Site: " + web::kNihConsumer + crlf +
           "Medline Plus (from NIH) " + web::kMedlinePlus + crlf +
           "NIH Seniors Health " + web::kSeniorsHealth + crlf +
           "American Academy of Pediatrics " + web::kPediatrics + crlf +
           "American College of Physicians: " + web::kAdultHealth + crlf +
           std::string(web::kSearchEngine) + "  searching on Google";
}

void links() {
    RegisterShellLayouts();
    std::string address, list;
    cls::ProcedureBody body(ServicesHere(), "links", "P1$WINDOW");
    body.Run<LinksController>(address, list);
}

}  // namespace shell
