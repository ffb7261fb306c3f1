// Writes a small household into the data folder named on the command line, as the program itself
// stores it: two people and a few prescriptions, one of them due for a refill within the month, so
// the real program shows its refill reminders at start-up. Used by the window-manager suite.
#include <cstdio>
#include <string>

#include "data/persons_record.h"
#include "data/records.h"
#include "data/thread_tables.h"
#include "globals/globals.h"
#include "platform/files/table_file.h"
#include "platform/runtime/clock.h"
#include "platform/runtime/field_access.h"
#include "platform/runtime/fixed_string.h"
#include "platform/runtime/threads.h"
#include "shell/run_application.h"
#include "support/open_or_create.h"

namespace {

struct Rx {
    const char* drug;
    const char* person;
    int reminderIn;  // days from today; 0: none
};

int Seed() {
    files::TableFile& people = data::PersonsNameFile();
    if (const int e = testing_support::openOrCreate(people)) return e;
    for (const char* name : {"Alex Smith", "Robin Smith"}) {
        rt::clearRecord(data::PersonsNameTable(), &data::PER);
        rt::assign(data::PER.PERSONSNAME, name);
        if (const int e = people.add()) return e;
    }
    people.close();

    files::TableFile& rx = data::PrescriptsFile();
    if (const int e = testing_support::openOrCreate(rx)) return e;
    const Rx rows[] = {{"Amoxicillin", "Alex Smith", 5}, {"Lisinopril", "Robin Smith", 0}, {"Metformin", "Alex Smith", 0}};
    int n = 0;
    for (const Rx& r : rows) {
        rt::clearRecord(data::PrescriptsTable(), &data::PRE);
        rt::assign(data::PRE.DRUGNAMEASPRESCRIBED, r.drug);
        rt::assign(data::PRE.PERSONSNAME, r.person);
        rt::assign(data::PRE.ACTIVE, "Y");
        rt::assign(data::PRE.RXNUMBER, "RX" + std::to_string(++n));
        if (r.reminderIn) data::PRE.REFILLREMINDERDATE.set(rt::today() + r.reminderIn);
        rt::assignC(data::PRE.PRINTKEY, std::to_string(n));
        if (const int e = rx.add()) return e;
    }
    rx.close();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DATA-FOLDER\n", argv[0]);
        return 2;
    }
    files::SetDataFolder(argv[1]);
    shell::InstallThreadHooks();
    globals::AppErrors().Init(nullptr, [] { return globals::ThreadErrorState.get(); });
    rt::TouchThreadData();
    int rc = 1;
    rt::StartThreadProcedure([&rc] { rc = Seed(); }, 0);
    rt::WaitForTaskThreads();
    if (rc != 0) std::fprintf(stderr, "seeding %s failed: error %d\n", argv[1], rc);
    return rc == 0 ? 0 : 1;
}
