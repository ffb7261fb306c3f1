#include "prescriptions/person_chooser.h"

#include <string>

#include "data/table_classes.h"
#include "data/thread_tables.h"
#include "globals/globals.h"
#include "platform/classes/lookup_list.h"
#include "platform/classes/window_procedure.h"
#include "platform/runtime/fixed_string.h"
#include "shell/procedure_registry.h"
#include "shell/procedure_services.h"

namespace prescriptions {
namespace {

// The list copies a chosen name here (cut to the width of `personname`) and the name goes on to
// `personname` from here; the list also compares its rows with it to find the current person.
constexpr std::size_t kPersonNameWidth = 40;
const rt::FieldDesc kChosenName{1, "PERSONNAME", rt::FieldType::String, kPersonNameWidth, 0};

class PersonChoice final : public cls::LookupList {
public:
    int ReloadChoices(bool force) override {
        rt::assign(chosen_, globals::personname().get());
        // Filling reads every person through the buffer; unless a row is chosen (and read into
        // it), the buffer keeps the person it held, whom the profile prints.
        const std::string kept(static_cast<const char*>(table_->buffer()), table_->desc().recordSize);
        const std::string memo = table_->memo() ? *table_->memo() : std::string();
        const int found = LookupList::ReloadChoices(force);
        if (!found) {
            kept.copy(static_cast<char*>(table_->buffer()), kept.size());
            if (table_->memo()) *table_->memo() = memo;
        }
        return found;
    }
    // A person found or chosen becomes the current one; with nobody chosen nothing changes.
    void ApplyChoice() override {
        if (choice() && readRow(choice())) {
            copyTargets();
            globals::personname().set(rt::clip(chosen_));
        }
        controller_->Refresh(false);
    }
    void* target() { return chosen_; }

private:
    char chosen_[kPersonNameWidth] = {};
};

class PersonChooserController final : public cls::ProcedureController {
public:
    explicit PersonChooserController(cls::ProcedureBody& body) : ProcedureController(body) {
        UseTable(data::PersonsNameGroupRef);
        SetFirstControl(1);
    }

protected:
    int AfterTables() override {
        // The list reads the table from the start: open it now rather than on first use.
        if (cls::TableAccessor* people = data::PersonsNameGroupRef->ME) people->UseTable(cls::kUseAccess);
        const int list = window().Find("?PER:PERSONSNAME");
        people_.Initialise(list, data::PersonsNameFile(), *this);
        people_.AddOrder();  // as the records are stored
        const rt::FieldDesc& name = *data::PersonsNameTable().fieldByName("PER:PERSONSNAME");
        people_.AddColumn(name);
        people_.AddCopyField(name, kChosenName, people_.target());
        people_.DEFAULTFILL = false;
        AddComponent(&people_);
        return cls::kLevelGoOn;
    }

    int OnWindowEvent() override {
        const int r = ProcedureController::OnWindowEvent();
        // OK, Cancel and the close box alike: both reports, one after the other, then the window goes.
        if (window().event() == wnd::Event::CloseWindow && r == cls::kLevelGoOn)
            for (const char* report : {"quicklist", "profile"})
                if (shell::WindowProcedure p = shell::FindProcedure(report)) p();
        return r;
    }

private:
    PersonChoice people_;
};

}  // namespace

void prequick() {
    cls::ProcedureBody body(shell::ServicesHere(), "prequick", "P1$WINDOW");
    body.window().BindRecord(data::PersonsNameTable(), &data::PER);
    body.Run<PersonChooserController>();
}

}  // namespace prescriptions
