#pragma once
// Record buffer of PersonsName (table "persons" in the file "support"): one record per person of
// the household, 128 fields, packed and laid out byte for byte as stored. Fields 19..51 are the
// medical-condition flags ('Y' when present); 74..123 are the parallel groups of ten immunisations
// (IMMn, IMMDATEn) and doctor visits (DRVISITNAMEn, DRVISITDATEn, DRVISITPURPOSEn).
#include <cstddef>
#include <cstdint>

#include "platform/runtime/record_layout.h"
#include "platform/runtime/std_date.h"

namespace data {

#pragma pack(push, 1)
// PersonsName: 128 fields, 2465 bytes.
struct PersonsNameRecord {
    char PERSONSNAME[50];
    char STREETADDRESS[70];
    char CITY[30];
    char STATE[2];
    char ZIPCODE[10];
    char PHONENUMBER[14];
    rt::DateField BIRTHDATE;
    double AGE;
    char GENDER[1];
    char EMAILADDRESS[60];
    char PRIMARYCONTACTNAME[50];
    char PRIMARYCONTACTRELATIONSHIP[20];
    char PRIMARYCONTACTPHONE[14];
    char SECONDARYCONTACTNAME[50];
    char SECONDARYCONTACTPHONE[14];
    char SECONDARYCONTACTRELATIONSHIP[20];
    char HEALTHINSURER[30];
    char GROUPPLANNUMBER[20];
    char ALZHEIMERSDISEASE[1];
    char ANEMIA[1];
    char ANGINA[1];
    char ARTHRITIS[1];
    char ASTHMA[1];
    char ATRIALFIBRILATION[1];
    char AUTISM[1];
    char AUTOIMMUNEDISORDER[1];
    char CHRONICOBSTRUCTIVEPULMONARYDISEASE[1];
    char CONGESTIVEHEARTFAILURE[1];
    char CORONARYARTERYDISEASE[1];
    char CYSTICFIBROSIS[1];
    char DIABETES[1];
    char EMPHYSEMA[1];
    char EPILEPSY[1];
    char GLAUCOMA[1];
    char HEARINGIMPAIRED[1];
    char HEADACHES[1];
    char HEMODIALYSIS[1];
    char HEMOPHILIA_VWD_OTHERBLOODDISORDERS[1];
    char HIV_AIDS[1];
    char HYPERTENSION[1];
    char HYPOGLYCEMIA[1];
    char HYPOTHYROIDISM[1];
    char IMMUNOSUPRESSED[1];
    char MALARIA[1];
    char MUSCULARDYSTROPHY[1];
    char MYOCARDIALINFARCTION[1];
    char ORGANTRANSPLANT[1];
    char PULMONARYARTERIALHYPERTENSION[1];
    char SEIZUREDISORDER[1];
    char STROKE[1];
    char NOKNOWNMEDICALCONDITIONS[1];
    char DEFIBRILLATOR[60];
    char HEARTVALVEREPLACEMENT[60];
    char IMPLANTEDMEDICALDEVICES[60];
    char OXYGEN[60];
    char OTHER[60];
    char FOODALLERGY1[20];
    char FOODALLERGY2[20];
    char FOODALLERGY3[20];
    char FOODALLERGY4[20];
    char FOODALLERGY5[20];
    char DRUGALLERGY1[20];
    char DRUGALLERGY2[20];
    char DRUGALLERGY3[20];
    char DRUGALLERGY4[20];
    char DRUGALLERGY5[20];
    char OTHERALLERGY1[20];
    char OTHERALLERGY2[20];
    char OTHERALLERGY3[20];
    char OTHERALLERGY4[20];
    char OTHERALLERGY5[20];
    rt::DateField DATEUPDATED;
    rt::TimeField TIMEUPDATED;
    char IMM1[20];
    char IMM2[20];
    char IMM3[20];
    char IMM4[20];
    char IMM5[20];
    char IMM6[20];
    char IMM7[20];
    char IMM8[20];
    char IMM9[20];
    char IMM10[20];
    rt::DateField IMMDATE1;
    rt::DateField IMMDATE2;
    rt::DateField IMMDATE3;
    rt::DateField IMMDATE4;
    rt::DateField IMMDATE5;
    rt::DateField IMMDATE6;
    rt::DateField IMMDATE7;
    rt::DateField IMMDATE8;
    rt::DateField IMMDATE9;
    rt::DateField IMMDATE10;
    char DRVISITNAME1[50];
    char DRVISITNAME2[50];
    char DRVISITNAME3[50];
    char DRVISITNAME4[50];
    char DRVISITNAME5[50];
    char DRVISITNAME6[50];
    char DRVISITNAME7[50];
    char DRVISITNAME8[50];
    char DRVISITNAME9[50];
    char DRVISITNAME10[50];
    rt::DateField DRVISITDATE1;
    rt::DateField DRVISITDATE2;
    rt::DateField DRVISITDATE3;
    rt::DateField DRVISITDATE4;
    rt::DateField DRVISITDATE5;
    rt::DateField DRVISITDATE6;
    rt::DateField DRVISITDATE7;
    rt::DateField DRVISITDATE8;
    rt::DateField DRVISITDATE9;
    rt::DateField DRVISITDATE10;
    char DRVISITPURPOSE1[50];
    char DRVISITPURPOSE2[50];
    char DRVISITPURPOSE3[50];
    char DRVISITPURPOSE4[50];
    char DRVISITPURPOSE5[50];
    char DRVISITPURPOSE6[50];
    char DRVISITPURPOSE7[50];
    char DRVISITPURPOSE8[50];
    char DRVISITPURPOSE9[50];
    char DRVISITPURPOSE10[50];
    std::int16_t WEIGHT;
    char HEIGHT[5];
    char MARITALSTATUS[20];
    char LASTNAME[30];
    char FIRSTNAME[20];
};
#pragma pack(pop)

static_assert(sizeof(PersonsNameRecord) == 2465);

// Descriptor of PersonsName: fields, key "PER:ByName", memo "PER:OtherConditions".
const rt::TableDesc& PersonsNameTable();

// Field numbers the accessor's field checks address.
inline constexpr int kPersonsGenderField = 9;
inline constexpr int kPersonsMaritalStatusField = 126;

}  // namespace data
