#include "data/records.h"

#include "data/persons_record.h"

namespace data {

// Every field at its stored offset and size.
static_assert(offsetof(PrescriptsRecord, DRUGNAMEASPRESCRIBED) == 0 && sizeof(PrescriptsRecord::DRUGNAMEASPRESCRIBED) == 60);
static_assert(offsetof(PrescriptsRecord, GENERICNAME) == 60 && sizeof(PrescriptsRecord::GENERICNAME) == 60);
static_assert(offsetof(PrescriptsRecord, PURPOSE) == 120 && sizeof(PrescriptsRecord::PURPOSE) == 35);
static_assert(offsetof(PrescriptsRecord, RXNUMBER) == 155 && sizeof(PrescriptsRecord::RXNUMBER) == 20);
static_assert(offsetof(PrescriptsRecord, PERSONSNAME) == 175 && sizeof(PrescriptsRecord::PERSONSNAME) == 40);
static_assert(offsetof(PrescriptsRecord, DRNAME) == 215 && sizeof(PrescriptsRecord::DRNAME) == 30);
static_assert(offsetof(PrescriptsRecord, DATEFILLED) == 245 && sizeof(PrescriptsRecord::DATEFILLED) == 4);
static_assert(offsetof(PrescriptsRecord, COST) == 249 && sizeof(PrescriptsRecord::COST) == 4);
static_assert(offsetof(PrescriptsRecord, FORM) == 253 && sizeof(PrescriptsRecord::FORM) == 20);
static_assert(offsetof(PrescriptsRecord, MGSIZE) == 273 && sizeof(PrescriptsRecord::MGSIZE) == 20);
static_assert(offsetof(PrescriptsRecord, NUMBER) == 293 && sizeof(PrescriptsRecord::NUMBER) == 2);
static_assert(offsetof(PrescriptsRecord, MANUFACTURERNAME) == 295 && sizeof(PrescriptsRecord::MANUFACTURERNAME) == 40);
static_assert(offsetof(PrescriptsRecord, PLANNAME) == 335 && sizeof(PrescriptsRecord::PLANNAME) == 50);
static_assert(offsetof(PrescriptsRecord, PHARMACYNAME) == 385 && sizeof(PrescriptsRecord::PHARMACYNAME) == 40);
static_assert(offsetof(PrescriptsRecord, TAKEWHEN) == 425 && sizeof(PrescriptsRecord::TAKEWHEN) == 20);
static_assert(offsetof(PrescriptsRecord, NUMBERREFILLS) == 445 && sizeof(PrescriptsRecord::NUMBERREFILLS) == 8);
static_assert(offsetof(PrescriptsRecord, EXPIRATIONDISCARDDATE) == 453 && sizeof(PrescriptsRecord::EXPIRATIONDISCARDDATE) == 4);
static_assert(offsetof(PrescriptsRecord, REFILLEVERY) == 457 && sizeof(PrescriptsRecord::REFILLEVERY) == 20);
static_assert(offsetof(PrescriptsRecord, REFILLREMINDERDATE) == 477 && sizeof(PrescriptsRecord::REFILLREMINDERDATE) == 4);
static_assert(offsetof(PrescriptsRecord, ACTIVE) == 481 && sizeof(PrescriptsRecord::ACTIVE) == 1);
static_assert(offsetof(PrescriptsRecord, DATEINACTIVE) == 482 && sizeof(PrescriptsRecord::DATEINACTIVE) == 4);
static_assert(offsetof(PrescriptsRecord, PRINTKEY) == 486 && sizeof(PrescriptsRecord::PRINTKEY) == 120);

static_assert(offsetof(DoctorsRecord, DOCTORSNAME) == 0 && sizeof(DoctorsRecord::DOCTORSNAME) == 50);
static_assert(offsetof(DoctorsRecord, PHONENUMBER) == 50 && sizeof(DoctorsRecord::PHONENUMBER) == 14);
static_assert(offsetof(DoctorsRecord, SPECIALTY) == 64 && sizeof(DoctorsRecord::SPECIALTY) == 20);

static_assert(offsetof(PharmacyRecord, PHARMACYNAME) == 0 && sizeof(PharmacyRecord::PHARMACYNAME) == 40);
static_assert(offsetof(PharmacyRecord, STREETADDRESS) == 40 && sizeof(PharmacyRecord::STREETADDRESS) == 60);
static_assert(offsetof(PharmacyRecord, CITY) == 100 && sizeof(PharmacyRecord::CITY) == 30);
static_assert(offsetof(PharmacyRecord, STATE) == 130 && sizeof(PharmacyRecord::STATE) == 2);
static_assert(offsetof(PharmacyRecord, ZIPCODE) == 132 && sizeof(PharmacyRecord::ZIPCODE) == 10);
static_assert(offsetof(PharmacyRecord, PHONENUMBER) == 142 && sizeof(PharmacyRecord::PHONENUMBER) == 14);
static_assert(offsetof(PharmacyRecord, HOURS) == 156 && sizeof(PharmacyRecord::HOURS) == 20);
static_assert(offsetof(PharmacyRecord, PHARMACISTSNAME) == 176 && sizeof(PharmacyRecord::PHARMACISTSNAME) == 50);
static_assert(offsetof(PharmacyRecord, WEBADDRESS) == 226 && sizeof(PharmacyRecord::WEBADDRESS) == 50);

static_assert(offsetof(DrugNamesRecord, DRUGNAMEASPRESCRIBED) == 0 && sizeof(DrugNamesRecord::DRUGNAMEASPRESCRIBED) == 40);
static_assert(offsetof(DrugNamesRecord, GENERICNAME) == 40 && sizeof(DrugNamesRecord::GENERICNAME) == 40);
static_assert(offsetof(DrugNamesRecord, PURPOSE) == 80 && sizeof(DrugNamesRecord::PURPOSE) == 35);

static_assert(offsetof(FormRecord, DRUGFORM) == 0 && sizeof(FormRecord::DRUGFORM) == 60);

static_assert(offsetof(PlanNameRecord, PLANNAME) == 0 && sizeof(PlanNameRecord::PLANNAME) == 50);
static_assert(offsetof(PlanNameRecord, GROUP_ORPOLICYNUMBER) == 50 && sizeof(PlanNameRecord::GROUP_ORPOLICYNUMBER) == 30);

static_assert(offsetof(ManufacturerRecord, COMPANYNAME) == 0 && sizeof(ManufacturerRecord::COMPANYNAME) == 50);

static_assert(offsetof(BloodpreRecord, DATE) == 0 && sizeof(BloodpreRecord::DATE) == 4);
static_assert(offsetof(BloodpreRecord, TIME) == 4 && sizeof(BloodpreRecord::TIME) == 4);
static_assert(offsetof(BloodpreRecord, SYSTOLIC) == 8 && sizeof(BloodpreRecord::SYSTOLIC) == 8);
static_assert(offsetof(BloodpreRecord, DIASTOLIC) == 16 && sizeof(BloodpreRecord::DIASTOLIC) == 8);
static_assert(offsetof(BloodpreRecord, PULSE) == 24 && sizeof(BloodpreRecord::PULSE) == 8);
static_assert(offsetof(BloodpreRecord, COMMENT) == 32 && sizeof(BloodpreRecord::COMMENT) == 35);
static_assert(offsetof(BloodpreRecord, PERSONNAME) == 67 && sizeof(BloodpreRecord::PERSONNAME) == 35);

static_assert(offsetof(GlucoseRecord, DATE) == 0 && sizeof(GlucoseRecord::DATE) == 4);
static_assert(offsetof(GlucoseRecord, TIME) == 4 && sizeof(GlucoseRecord::TIME) == 4);
static_assert(offsetof(GlucoseRecord, COMMENT) == 8 && sizeof(GlucoseRecord::COMMENT) == 35);
static_assert(offsetof(GlucoseRecord, READING) == 43 && sizeof(GlucoseRecord::READING) == 2);
static_assert(offsetof(GlucoseRecord, PERSONNAME) == 45 && sizeof(GlucoseRecord::PERSONNAME) == 35);

namespace {

// Size and offset straight from the struct, so a descriptor cannot drift from its buffer.
#define F(rec, member) static_cast<std::uint16_t>(sizeof(rec::member)), static_cast<std::uint16_t>(offsetof(rec, member))

constexpr rt::FieldDesc kPrescriptsFields[] = {
    {1, "PRE:DRUGNAMEASPRESCRIBED", rt::FieldType::String, F(PrescriptsRecord, DRUGNAMEASPRESCRIBED)},
    {2, "PRE:GENERICNAME", rt::FieldType::String, F(PrescriptsRecord, GENERICNAME)},
    {3, "PRE:PURPOSE", rt::FieldType::String, F(PrescriptsRecord, PURPOSE)},
    {4, "PRE:RXNUMBER", rt::FieldType::String, F(PrescriptsRecord, RXNUMBER)},
    {5, "PRE:PERSONSNAME", rt::FieldType::String, F(PrescriptsRecord, PERSONSNAME)},
    {6, "PRE:DRNAME", rt::FieldType::String, F(PrescriptsRecord, DRNAME)},
    {7, "PRE:DATEFILLED", rt::FieldType::Date, F(PrescriptsRecord, DATEFILLED)},
    {8, "PRE:COST", rt::FieldType::Decimal, F(PrescriptsRecord, COST), 2},
    {9, "PRE:FORM", rt::FieldType::String, F(PrescriptsRecord, FORM)},
    {10, "PRE:MGSIZE", rt::FieldType::String, F(PrescriptsRecord, MGSIZE)},
    {11, "PRE:NUMBER", rt::FieldType::Short, F(PrescriptsRecord, NUMBER)},
    {12, "PRE:MANUFACTURERNAME", rt::FieldType::String, F(PrescriptsRecord, MANUFACTURERNAME)},
    {13, "PRE:PLANNAME", rt::FieldType::String, F(PrescriptsRecord, PLANNAME)},
    {14, "PRE:PHARMACYNAME", rt::FieldType::String, F(PrescriptsRecord, PHARMACYNAME)},
    {15, "PRE:TAKEWHEN", rt::FieldType::String, F(PrescriptsRecord, TAKEWHEN)},
    {16, "PRE:NUMBERREFILLS", rt::FieldType::Real, F(PrescriptsRecord, NUMBERREFILLS)},
    {17, "PRE:EXPIRATIONDISCARDDATE", rt::FieldType::Date, F(PrescriptsRecord, EXPIRATIONDISCARDDATE)},
    {18, "PRE:REFILLEVERY", rt::FieldType::String, F(PrescriptsRecord, REFILLEVERY)},
    {19, "PRE:REFILLREMINDERDATE", rt::FieldType::Date, F(PrescriptsRecord, REFILLREMINDERDATE)},
    {20, "PRE:ACTIVE", rt::FieldType::String, F(PrescriptsRecord, ACTIVE)},
    {21, "PRE:DATEINACTIVE", rt::FieldType::Date, F(PrescriptsRecord, DATEINACTIVE)},
    {22, "PRE:PRINTKEY", rt::FieldType::CString, F(PrescriptsRecord, PRINTKEY)},
};

constexpr rt::FieldDesc kDoctorsFields[] = {
    {1, "DOC:DOCTORSNAME", rt::FieldType::String, F(DoctorsRecord, DOCTORSNAME)},
    {2, "DOC:PHONENUMBER", rt::FieldType::String, F(DoctorsRecord, PHONENUMBER)},
    {3, "DOC:SPECIALTY", rt::FieldType::String, F(DoctorsRecord, SPECIALTY)},
};

constexpr rt::FieldDesc kPharmacyFields[] = {
    {1, "PHA:PHARMACYNAME", rt::FieldType::String, F(PharmacyRecord, PHARMACYNAME)},
    {2, "PHA:STREETADDRESS", rt::FieldType::String, F(PharmacyRecord, STREETADDRESS)},
    {3, "PHA:CITY", rt::FieldType::String, F(PharmacyRecord, CITY)},
    {4, "PHA:STATE", rt::FieldType::String, F(PharmacyRecord, STATE)},
    {5, "PHA:ZIPCODE", rt::FieldType::String, F(PharmacyRecord, ZIPCODE)},
    {6, "PHA:PHONENUMBER", rt::FieldType::String, F(PharmacyRecord, PHONENUMBER)},
    {7, "PHA:HOURS", rt::FieldType::String, F(PharmacyRecord, HOURS)},
    {8, "PHA:PHARMACISTSNAME", rt::FieldType::String, F(PharmacyRecord, PHARMACISTSNAME)},
    {9, "PHA:WEBADDRESS", rt::FieldType::String, F(PharmacyRecord, WEBADDRESS)},
};

constexpr rt::FieldDesc kDrugNamesFields[] = {
    {1, "DRU:DRUGNAMEASPRESCRIBED", rt::FieldType::String, F(DrugNamesRecord, DRUGNAMEASPRESCRIBED)},
    {2, "DRU:GENERICNAME", rt::FieldType::String, F(DrugNamesRecord, GENERICNAME)},
    {3, "DRU:PURPOSE", rt::FieldType::String, F(DrugNamesRecord, PURPOSE)},
};

constexpr rt::FieldDesc kFormFields[] = {
    {1, "FOR:DRUGFORM", rt::FieldType::String, F(FormRecord, DRUGFORM)},
};

constexpr rt::FieldDesc kPlanNameFields[] = {
    {1, "PLA:PLANNAME", rt::FieldType::String, F(PlanNameRecord, PLANNAME)},
    {2, "PLA:GROUP_ORPOLICYNUMBER", rt::FieldType::String, F(PlanNameRecord, GROUP_ORPOLICYNUMBER)},
};

constexpr rt::FieldDesc kManufacturerFields[] = {
    {1, "MAN:COMPANYNAME", rt::FieldType::String, F(ManufacturerRecord, COMPANYNAME)},
};

constexpr rt::FieldDesc kBloodpreFields[] = {
    {1, "BLO:DATE", rt::FieldType::Date, F(BloodpreRecord, DATE)},
    {2, "BLO:TIME", rt::FieldType::Time, F(BloodpreRecord, TIME)},
    {3, "BLO:SYSTOLIC", rt::FieldType::Real, F(BloodpreRecord, SYSTOLIC)},
    {4, "BLO:DIASTOLIC", rt::FieldType::Real, F(BloodpreRecord, DIASTOLIC)},
    {5, "BLO:PULSE", rt::FieldType::Real, F(BloodpreRecord, PULSE)},
    {6, "BLO:COMMENT", rt::FieldType::String, F(BloodpreRecord, COMMENT)},
    {7, "BLO:PERSONNAME", rt::FieldType::String, F(BloodpreRecord, PERSONNAME)},
};

constexpr rt::FieldDesc kGlucoseFields[] = {
    {1, "GLU:DATE", rt::FieldType::Date, F(GlucoseRecord, DATE)},
    {2, "GLU:TIME", rt::FieldType::Time, F(GlucoseRecord, TIME)},
    {3, "GLU:COMMENT", rt::FieldType::String, F(GlucoseRecord, COMMENT)},
    {4, "GLU:READING", rt::FieldType::Short, F(GlucoseRecord, READING)},
    {5, "GLU:PERSONNAME", rt::FieldType::String, F(GlucoseRecord, PERSONNAME)},
};

#undef F

}  // namespace

const rt::TableDesc& PrescriptsTable() {
    // A person's active prescriptions in the quick listing's order (-ACTIVE, +DRUGNAMEASPRESCRIBED),
    // read through this a page at a time rather than the whole active range or all of the person's.
    static const rt::KeyDesc lookups[] = {{"PRE:BYPERSON", "PRE:ByPerson", {{5}, {20, true}, {1}}}};  // PERSONSNAME, -ACTIVE, +DRUG
    static const rt::KeyDesc keys[] = {
        {"PRE:PRINTBY", "PRE:printby", {{22}}},                       // +PRINTKEY (auto-numbered)
        {"PRE:BYDOCTOR", "PRE:ByDoctor", {{6}, {20, true}}},          // +DRNAME, -ACTIVE
        {"PRE:BYACTIVE", "PRE:ByActive", {{20, true}}},               // -ACTIVE
        {"PRE:BYNAME", "PRE:ByName", {{1}, {20, true}, {7, true}}},   // +DRUGNAME, -ACTIVE, -DATEFILLED
        {"PRE:BYDATE", "PRE:ByDate", {{19}}},                         // +REFILLREMINDERDATE
    };
    static const rt::MemoDesc memo{"PRE:SPECIALINSTRUCTIONSNOTES", "PRE:SpecialInstructionsNotes", 1000};
    // The cost of the active prescriptions, kept by the database for the list's total.
    static const rt::KeptSumDesc sums[] = {{kActiveCostSum, 8, 20, "Y"}};  // PRE:COST where PRE:ACTIVE = 'Y'
    static const rt::TableDesc desc{"Prescripts", "PRE", "PRESCRIP", sizeof(PrescriptsRecord), kPrescriptsFields, keys, &memo, sums, lookups};
    return desc;
}

const rt::TableDesc& DoctorsTable() {
    static const rt::KeyDesc keys[] = {{"DOC:BYNAME", "DOC:ByName", {{1}}}};
    static const rt::TableDesc desc{"Doctors", "DOC", "support\\!doctors", sizeof(DoctorsRecord), kDoctorsFields, keys};
    return desc;
}

const rt::TableDesc& PharmacyTable() {
    static const rt::KeyDesc keys[] = {{"PHA:BYNAME", "PHA:ByName", {{1}}}};
    static const rt::TableDesc desc{"Pharmacy", "PHA", "support\\!pharmacy", sizeof(PharmacyRecord), kPharmacyFields, keys};
    return desc;
}

const rt::TableDesc& DrugNamesTable() {
    static const rt::KeyDesc keys[] = {{"DRU:BYNAME", "DRU:ByName", {{1}}}};
    static const rt::TableDesc desc{"DrugNames", "DRU", "support\\!drugs", sizeof(DrugNamesRecord), kDrugNamesFields, keys};
    return desc;
}

const rt::TableDesc& FormTable() {
    static const rt::KeyDesc keys[] = {{"FOR:BYTYPE", "FOR:ByType", {{1}}}};
    static const rt::TableDesc desc{"Form", "FOR", "support\\!Form", sizeof(FormRecord), kFormFields, keys};
    return desc;
}

const rt::TableDesc& PlanNameTable() {
    static const rt::KeyDesc keys[] = {{"PLA:BYNAME", "PLA:ByName", {{1}}}};
    static const rt::TableDesc desc{"PlanName", "PLA", "support\\!Planname", sizeof(PlanNameRecord), kPlanNameFields, keys};
    return desc;
}

const rt::TableDesc& ManufacturerTable() {
    static const rt::KeyDesc keys[] = {{"MAN:BYNAME", "MAN:ByName", {{1}}}};
    static const rt::TableDesc desc{"Manufacturer", "MAN", "support\\!manufac", sizeof(ManufacturerRecord), kManufacturerFields, keys};
    return desc;
}

// Keys and expressions spell the prefix "Blo"; the fields are named BLO:.
const rt::TableDesc& BloodpreTable() {
    static const rt::KeyDesc keys[] = {
        {"BLO:BYPERSON", "Blo:byperson", {{7}}},   // +PERSONNAME
        {"BLO:BYDATE", "Blo:ByDate", {{1}, {2}}},  // +DATE, +TIME
    };
    static const rt::TableDesc desc{"Bloodpre", "Blo", "support\\!Bloodpre", sizeof(BloodpreRecord), kBloodpreFields, keys};
    return desc;
}

// Keys and expressions spell the prefix "Glu"; the fields are named GLU:.
const rt::TableDesc& GlucoseTable() {
    static const rt::KeyDesc keys[] = {
        {"GLU:BYPERSON", "Glu:byperson", {{5}}},         // +PERSONNAME
        {"GLU:BYDATE", "Glu:ByDate", {{1, true}, {2}}},  // -DATE (newest day first), +TIME
    };
    static const rt::TableDesc desc{"Glucose", "Glu", "support\\!Glucose", sizeof(GlucoseRecord), kGlucoseFields, keys};
    return desc;
}

std::span<const rt::TableDesc* const> declaredTables() {
    static const rt::TableDesc* const tables[] = {
        &ManufacturerTable(), &FormTable(),    &DoctorsTable(),  &PlanNameTable(), &PharmacyTable(),
        &PersonsNameTable(),  &DrugNamesTable(), &BloodpreTable(), &GlucoseTable(),  &PrescriptsTable(),
    };
    return tables;
}

}  // namespace data
