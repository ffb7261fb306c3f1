#include "health/browse_person.h"

#include "data/persons_record.h"
#include "data/table_classes.h"
#include "data/thread_tables.h"
#include "globals/globals.h"
#include "platform/classes/list_procedure.h"
#include "platform/runtime/fixed_string.h"
#include "shell/procedure_registry.h"
#include "shell/procedure_services.h"

namespace health {
namespace {

constexpr const char* kColumns[] = {"PER:PERSONSNAME", "PER:STREETADDRESS",  "PER:CITY",
                                    "PER:ZIPCODE",     "PER:PHONENUMBER",    "PER:GENDER",
                                    "PER:EMAILADDRESS", "PER:PRIMARYCONTACTNAME", "PER:PRIMARYCONTACTRELATIONSHIP"};

void nameThePerson() { globals::personname().set(rt::view(data::PER.PERSONSNAME)); }

// personname follows the highlighted row.
class PeopleBrowser final : public cls::PatternListBrowser {
public:
    int OnNewSelection() override {
        if (pager() && !pager()->empty()) {
            pager()->LoadCurrent();
            nameThePerson();
        }
        return PatternListBrowser::OnNewSelection();
    }

    // A change (its button, a double click or Ctrl+Enter) names the highlighted person before the
    // form opens; insert, delete and view leave personname to the form.
    int OpenUpdater(int request) override {
        if (request == cls::kRequestChange && pager() && !pager()->empty()) {
            SyncBuffer();
            nameThePerson();
        }
        return PatternListBrowser::OpenUpdater(request);
    }
};

class BrowsePersonController final : public cls::ListProcedureController {
public:
    BrowsePersonController(cls::ProcedureBody& body, PeopleBrowser& browser)
        : ListProcedureController(body, *data::PersonsNameGroupRef, data::PersonsNameFile(),
                                  {.list = "?BROWSE:1", .insert = "?INSERT:3", .change = "?CHANGE:3",
                                   .remove = "?DELETE:3", .view = "?VIEW:2", .close = "?CLOSE", .help = "?HELP"}) {
        UseBrowser(browser);
        byName_.Initialise(1, 3);
        const rt::TableDesc& table = data::PersonsNameTable();
        AddOrder(table.keyIndex("PER:ByName"), &byName_);
        for (const char* c : kColumns) AddColumn(*table.fieldByName(c));
        UseListFormats(&data::ListFormatsFile(), "PRESCRIP", 1, static_cast<int>(std::size(kColumns)), "Prescripts");
        SetHelpTopic("list people.htm");
    }

protected:
    bool RunUpdater(int) override {
        shell::WindowProcedure form = shell::FindProcedure("UpdatePersonsName");
        if (!form) return false;
        form();
        return true;
    }

private:
    cls::TextThumbStep byName_;
};

}  // namespace

void BrowsePerson() {
    PeopleBrowser browser;
    cls::ProcedureBody body(shell::ServicesHere(), "BrowsePerson", "P1$QUICKWINDOW");
    body.Run<BrowsePersonController>(browser);
}

}  // namespace health
