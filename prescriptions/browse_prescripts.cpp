#include "prescriptions/browse_prescripts.h"

#include "data/records.h"
#include "data/table_classes.h"
#include "data/thread_tables.h"
#include "platform/classes/list_procedure.h"
#include "platform/runtime/picture.h"
#include "platform/window/desktop.h"
#include "shell/procedure_registry.h"
#include "shell/procedure_services.h"

namespace prescriptions {
namespace {

constexpr std::int64_t kTotalLimit = 9999999;  // cents: the total holds 7 digits, 2 of them places

int key(const char* name) { return data::PrescriptsTable().keyIndex(name); }
const rt::FieldDesc& field(const char* name) { return *data::PrescriptsTable().fieldByName(name); }

// Totals the active prescriptions before every reload of the rows.
class PrescriptsBrowser final : public cls::PatternListBrowser {
public:
    explicit PrescriptsBrowser(std::string& totalText) : totalText_(totalText) {}

    void ReloadBusy() override {
        // The database keeps the total in exact cents over every prescription whose active flag is
        // exactly 'Y' (blank, 'N' and 'y' do not count), whoever writes; reading it is one row.
        // Read again only when the file has changed since (a tab switch alone reads nothing).
        auto& file = data::PrescriptsFile();
        const files::TableFile::ChangeStamp stamp = file.changeStamp();
        if (!summed_ || !(stamp == stamp_)) {
            std::int64_t cents = 0;
            bool overflow = false;
            const int e = file.keptSum(data::kActiveCostSum, &cents, &overflow);
            totalText_ = e == 0 ? TotalCostText(cents, overflow) : TotalCostText(0, false);
            summed_ = e == 0;
            stamp_ = stamp;
        }
        cls::PatternListBrowser::ReloadBusy();
    }

private:
    std::string& totalText_;
    bool summed_ = false;
    files::TableFile::ChangeStamp stamp_;
};

class BrowsePrescriptsController final : public cls::ListProcedureController {
public:
    BrowsePrescriptsController(cls::ProcedureBody& body, PrescriptsBrowser& browser)
        : ListProcedureController(body, *data::PrescriptsGroupRef, data::PrescriptsFile(),
                                  {.list = "?BROWSE:1", .select = "?SELECT:2", .insert = "?INSERT:4",
                                   .change = "?CHANGE:4", .remove = "?DELETE:4", .view = "?VIEW:3",
                                   .close = "?CLOSE", .help = "?HELP"}) {
        UseBrowser(browser);
        byActive_.Initialise(0x11, 3);
        byName_.Initialise(1, 3);
        byDate_.Initialise(1);
        byDoctor_.Initialise(1, 3);
        AddOrder(key("PRE:ByActive"), &byActive_);
        AddOrder(key("PRE:ByName"), &byName_);
        AddOrder(key("PRE:ByDate"), &byDate_);
        AddOrder(key("PRE:ByDoctor"), &byDoctor_);  // the default: the first tab's
        MapTab("?TAB:3", 1);
        MapTab("?TAB:4", 2);
        MapTab("?TAB:5", 3);
        for (const char* f : {"PRE:DRUGNAMEASPRESCRIBED", "PRE:ACTIVE", "PRE:PERSONSNAME", "PRE:DATEFILLED", "PRE:COST",
                              "PRE:DRNAME", "PRE:RXNUMBER", "PRE:FORM", "PRE:MGSIZE", "PRE:REFILLREMINDERDATE"})
            AddColumn(field(f));
        UseListFormats(&data::ListFormatsFile(), "PRESCRIP", 1, 9, "Prescripts");
        SetHelpTopic("BrowsePrescripts.htm");
    }

protected:
    bool RunUpdater(int) override {
        shell::WindowProcedure form = shell::FindProcedure("UpdatePrescripts");
        if (!form) return false;
        form();
        return true;
    }

    int OnAccepted() override {
        if (const int r = ListProcedureController::OnAccepted()) return r;
        // "Sorting Help": the parts' buffers up to date, then the topic "Format Manager" of the
        // program's current help file (not through the window's help agent).
        if (window().control() == window().Find("?BUTTON8")) {
            SyncComponents();
            wnd::ShowHelpTopic("Format Manager");
        }
        return cls::kLevelGoOn;
    }

private:
    cls::TextThumbStep byActive_, byName_, byDoctor_;
    cls::NumberThumbStep byDate_;
};

}  // namespace

std::string TotalCostText(std::int64_t cents, bool overflow) {
    if (overflow || cents > kTotalLimit || cents < -kTotalLimit) return std::string(10, '#');
    static const auto picture = rt::Picture::Parse("@n-10.2", nullptr);
    return picture->FormatScaled(cents, 2);
}

void BrowsePrescripts() {
    std::string totalText = TotalCostText(0, false);
    PrescriptsBrowser browser(totalText);
    cls::ProcedureBody body(shell::ServicesHere(), "BrowsePrescripts", "P1$QUICKWINDOW");
    body.window().Bind("LOC:TOTCOST", wnd::UseVariable::Text(totalText, 10));
    body.Run<BrowsePrescriptsController>(browser);
}

}  // namespace prescriptions
