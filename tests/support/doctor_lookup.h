#pragma once
// The lookup the tests' small forms share: a combo over the Doctors table that copies
// DOC:DOCTORSNAME (50 characters) into PRE:DRNAME (30) and asks procedure 2 for a name the table
// lacks. Set up from a form's AfterTables, on its task thread.
#include "data/records.h"
#include "data/thread_tables.h"
#include "platform/classes/lookup_list.h"
#include "platform/classes/window_controller.h"

namespace testing_support {

inline void InitialiseDoctorLookup(cls::LookupCombo& doctor, int comboControl, cls::WindowController& form, bool defaultFill) {
    const rt::TableDesc& doc = data::DoctorsTable();
    const rt::TableDesc& pre = data::PrescriptsTable();
    doctor.Initialise({doc.fieldByName("DOC:DOCTORSNAME"), &data::DOC}, comboControl, data::DoctorsFile(), form);
    doctor.ASKPROCEDURE = 2;
    doctor.AddOrder();
    doctor.AddColumn(*doc.fieldByName("DOC:DOCTORSNAME"));
    doctor.AddCopyField(*doc.fieldByName("DOC:DOCTORSNAME"), *pre.fieldByName("PRE:DRNAME"), &data::PRE);
    doctor.DEFAULTFILL = defaultFill;
}

}  // namespace testing_support
