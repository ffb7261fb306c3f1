#pragma once
// Record buffers of the prescription file (PRESCRIP) and of the eight small tables inside the
// multi-table file "support". Each struct is packed and laid out byte for byte as the record is
// stored; text fields are blank-padded single-byte (Windows-1252) text.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/runtime/decimal.h"
#include "platform/runtime/record_layout.h"
#include "platform/runtime/std_date.h"

namespace data {

#pragma pack(push, 1)
// Prescripts: 22 fields, 606 bytes.
struct PrescriptsRecord {
    char DRUGNAMEASPRESCRIBED[60];
    char GENERICNAME[60];
    char PURPOSE[35];
    char RXNUMBER[20];
    char PERSONSNAME[40];
    char DRNAME[30];
    rt::DateField DATEFILLED;
    rt::PackedDecimal<4, 2> COST;
    char FORM[20];
    char MGSIZE[20];
    std::int16_t NUMBER;
    char MANUFACTURERNAME[40];
    char PLANNAME[50];
    char PHARMACYNAME[40];
    char TAKEWHEN[20];
    double NUMBERREFILLS;
    rt::DateField EXPIRATIONDISCARDDATE;
    char REFILLEVERY[20];
    rt::DateField REFILLREMINDERDATE;
    char ACTIVE[1];
    rt::DateField DATEINACTIVE;
    char PRINTKEY[120];
};

// Doctors: 3 fields, 84 bytes.
struct DoctorsRecord {
    char DOCTORSNAME[50];
    char PHONENUMBER[14];
    char SPECIALTY[20];
};

// Pharmacy: 9 fields, 276 bytes.
struct PharmacyRecord {
    char PHARMACYNAME[40];
    char STREETADDRESS[60];
    char CITY[30];
    char STATE[2];
    char ZIPCODE[10];
    char PHONENUMBER[14];
    char HOURS[20];
    char PHARMACISTSNAME[50];
    char WEBADDRESS[50];
};

// DrugNames: 3 fields, 115 bytes.
struct DrugNamesRecord {
    char DRUGNAMEASPRESCRIBED[40];
    char GENERICNAME[40];
    char PURPOSE[35];
};

// Form: 1 field, 60 bytes.
struct FormRecord {
    char DRUGFORM[60];
};

// PlanName: 2 fields, 80 bytes.
struct PlanNameRecord {
    char PLANNAME[50];
    char GROUP_ORPOLICYNUMBER[30];
};

// Manufacturer: 1 field, 50 bytes.
struct ManufacturerRecord {
    char COMPANYNAME[50];
};

// Bloodpre: 7 fields, 102 bytes.
struct BloodpreRecord {
    rt::DateField DATE;
    rt::TimeField TIME;
    double SYSTOLIC;
    double DIASTOLIC;
    double PULSE;
    char COMMENT[35];
    char PERSONNAME[35];
};

// Glucose: 5 fields, 80 bytes.
struct GlucoseRecord {
    rt::DateField DATE;
    rt::TimeField TIME;
    char COMMENT[35];
    std::int16_t READING;
    char PERSONNAME[35];
};
#pragma pack(pop)

static_assert(sizeof(PrescriptsRecord) == 606);
static_assert(sizeof(DoctorsRecord) == 84);
static_assert(sizeof(PharmacyRecord) == 276);
static_assert(sizeof(DrugNamesRecord) == 115);
static_assert(sizeof(FormRecord) == 60);
static_assert(sizeof(PlanNameRecord) == 80);
static_assert(sizeof(ManufacturerRecord) == 50);
static_assert(sizeof(BloodpreRecord) == 102);
static_assert(sizeof(GlucoseRecord) == 80);

// Descriptors of the tables above: fields by number and name, keys, memo, driver file name.
const rt::TableDesc& PrescriptsTable();
// The kept sum of PRE:COST over the prescriptions whose PRE:ACTIVE is exactly 'Y'.
inline constexpr std::string_view kActiveCostSum = "ActiveCost";
const rt::TableDesc& DoctorsTable();
const rt::TableDesc& PharmacyTable();
const rt::TableDesc& DrugNamesTable();
const rt::TableDesc& FormTable();
const rt::TableDesc& PlanNameTable();
const rt::TableDesc& ManufacturerTable();
const rt::TableDesc& BloodpreTable();
const rt::TableDesc& GlucoseTable();

// The ten tables of the dictionary (these nine and PersonsName) in their order of declaration:
// Manufacturer, Form, Doctors, PlanName, Pharmacy, PersonsName, DrugNames, Bloodpre, Glucose,
// Prescripts. A thread's set-up and tear-down visit them in reverse, Prescripts first.
std::span<const rt::TableDesc* const> declaredTables();

}  // namespace data
