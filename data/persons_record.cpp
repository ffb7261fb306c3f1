#include "data/persons_record.h"

namespace data {

// Every field at its stored offset and size.
static_assert(offsetof(PersonsNameRecord, PERSONSNAME) == 0 && sizeof(PersonsNameRecord::PERSONSNAME) == 50);
static_assert(offsetof(PersonsNameRecord, STREETADDRESS) == 50 && sizeof(PersonsNameRecord::STREETADDRESS) == 70);
static_assert(offsetof(PersonsNameRecord, CITY) == 120 && sizeof(PersonsNameRecord::CITY) == 30);
static_assert(offsetof(PersonsNameRecord, STATE) == 150 && sizeof(PersonsNameRecord::STATE) == 2);
static_assert(offsetof(PersonsNameRecord, ZIPCODE) == 152 && sizeof(PersonsNameRecord::ZIPCODE) == 10);
static_assert(offsetof(PersonsNameRecord, PHONENUMBER) == 162 && sizeof(PersonsNameRecord::PHONENUMBER) == 14);
static_assert(offsetof(PersonsNameRecord, BIRTHDATE) == 176 && sizeof(PersonsNameRecord::BIRTHDATE) == 4);
static_assert(offsetof(PersonsNameRecord, AGE) == 180 && sizeof(PersonsNameRecord::AGE) == 8);
static_assert(offsetof(PersonsNameRecord, GENDER) == 188 && sizeof(PersonsNameRecord::GENDER) == 1);
static_assert(offsetof(PersonsNameRecord, EMAILADDRESS) == 189 && sizeof(PersonsNameRecord::EMAILADDRESS) == 60);
static_assert(offsetof(PersonsNameRecord, PRIMARYCONTACTNAME) == 249 && sizeof(PersonsNameRecord::PRIMARYCONTACTNAME) == 50);
static_assert(offsetof(PersonsNameRecord, PRIMARYCONTACTRELATIONSHIP) == 299 && sizeof(PersonsNameRecord::PRIMARYCONTACTRELATIONSHIP) == 20);
static_assert(offsetof(PersonsNameRecord, PRIMARYCONTACTPHONE) == 319 && sizeof(PersonsNameRecord::PRIMARYCONTACTPHONE) == 14);
static_assert(offsetof(PersonsNameRecord, SECONDARYCONTACTNAME) == 333 && sizeof(PersonsNameRecord::SECONDARYCONTACTNAME) == 50);
static_assert(offsetof(PersonsNameRecord, SECONDARYCONTACTPHONE) == 383 && sizeof(PersonsNameRecord::SECONDARYCONTACTPHONE) == 14);
static_assert(offsetof(PersonsNameRecord, SECONDARYCONTACTRELATIONSHIP) == 397 && sizeof(PersonsNameRecord::SECONDARYCONTACTRELATIONSHIP) == 20);
static_assert(offsetof(PersonsNameRecord, HEALTHINSURER) == 417 && sizeof(PersonsNameRecord::HEALTHINSURER) == 30);
static_assert(offsetof(PersonsNameRecord, GROUPPLANNUMBER) == 447 && sizeof(PersonsNameRecord::GROUPPLANNUMBER) == 20);
static_assert(offsetof(PersonsNameRecord, ALZHEIMERSDISEASE) == 467 && sizeof(PersonsNameRecord::ALZHEIMERSDISEASE) == 1);
static_assert(offsetof(PersonsNameRecord, ANEMIA) == 468 && sizeof(PersonsNameRecord::ANEMIA) == 1);
static_assert(offsetof(PersonsNameRecord, ANGINA) == 469 && sizeof(PersonsNameRecord::ANGINA) == 1);
static_assert(offsetof(PersonsNameRecord, ARTHRITIS) == 470 && sizeof(PersonsNameRecord::ARTHRITIS) == 1);
static_assert(offsetof(PersonsNameRecord, ASTHMA) == 471 && sizeof(PersonsNameRecord::ASTHMA) == 1);
static_assert(offsetof(PersonsNameRecord, ATRIALFIBRILATION) == 472 && sizeof(PersonsNameRecord::ATRIALFIBRILATION) == 1);
static_assert(offsetof(PersonsNameRecord, AUTISM) == 473 && sizeof(PersonsNameRecord::AUTISM) == 1);
static_assert(offsetof(PersonsNameRecord, AUTOIMMUNEDISORDER) == 474 && sizeof(PersonsNameRecord::AUTOIMMUNEDISORDER) == 1);
static_assert(offsetof(PersonsNameRecord, CHRONICOBSTRUCTIVEPULMONARYDISEASE) == 475 && sizeof(PersonsNameRecord::CHRONICOBSTRUCTIVEPULMONARYDISEASE) == 1);
static_assert(offsetof(PersonsNameRecord, CONGESTIVEHEARTFAILURE) == 476 && sizeof(PersonsNameRecord::CONGESTIVEHEARTFAILURE) == 1);
static_assert(offsetof(PersonsNameRecord, CORONARYARTERYDISEASE) == 477 && sizeof(PersonsNameRecord::CORONARYARTERYDISEASE) == 1);
static_assert(offsetof(PersonsNameRecord, CYSTICFIBROSIS) == 478 && sizeof(PersonsNameRecord::CYSTICFIBROSIS) == 1);
static_assert(offsetof(PersonsNameRecord, DIABETES) == 479 && sizeof(PersonsNameRecord::DIABETES) == 1);
static_assert(offsetof(PersonsNameRecord, EMPHYSEMA) == 480 && sizeof(PersonsNameRecord::EMPHYSEMA) == 1);
static_assert(offsetof(PersonsNameRecord, EPILEPSY) == 481 && sizeof(PersonsNameRecord::EPILEPSY) == 1);
static_assert(offsetof(PersonsNameRecord, GLAUCOMA) == 482 && sizeof(PersonsNameRecord::GLAUCOMA) == 1);
static_assert(offsetof(PersonsNameRecord, HEARINGIMPAIRED) == 483 && sizeof(PersonsNameRecord::HEARINGIMPAIRED) == 1);
static_assert(offsetof(PersonsNameRecord, HEADACHES) == 484 && sizeof(PersonsNameRecord::HEADACHES) == 1);
static_assert(offsetof(PersonsNameRecord, HEMODIALYSIS) == 485 && sizeof(PersonsNameRecord::HEMODIALYSIS) == 1);
static_assert(offsetof(PersonsNameRecord, HEMOPHILIA_VWD_OTHERBLOODDISORDERS) == 486 && sizeof(PersonsNameRecord::HEMOPHILIA_VWD_OTHERBLOODDISORDERS) == 1);
static_assert(offsetof(PersonsNameRecord, HIV_AIDS) == 487 && sizeof(PersonsNameRecord::HIV_AIDS) == 1);
static_assert(offsetof(PersonsNameRecord, HYPERTENSION) == 488 && sizeof(PersonsNameRecord::HYPERTENSION) == 1);
static_assert(offsetof(PersonsNameRecord, HYPOGLYCEMIA) == 489 && sizeof(PersonsNameRecord::HYPOGLYCEMIA) == 1);
static_assert(offsetof(PersonsNameRecord, HYPOTHYROIDISM) == 490 && sizeof(PersonsNameRecord::HYPOTHYROIDISM) == 1);
static_assert(offsetof(PersonsNameRecord, IMMUNOSUPRESSED) == 491 && sizeof(PersonsNameRecord::IMMUNOSUPRESSED) == 1);
static_assert(offsetof(PersonsNameRecord, MALARIA) == 492 && sizeof(PersonsNameRecord::MALARIA) == 1);
static_assert(offsetof(PersonsNameRecord, MUSCULARDYSTROPHY) == 493 && sizeof(PersonsNameRecord::MUSCULARDYSTROPHY) == 1);
static_assert(offsetof(PersonsNameRecord, MYOCARDIALINFARCTION) == 494 && sizeof(PersonsNameRecord::MYOCARDIALINFARCTION) == 1);
static_assert(offsetof(PersonsNameRecord, ORGANTRANSPLANT) == 495 && sizeof(PersonsNameRecord::ORGANTRANSPLANT) == 1);
static_assert(offsetof(PersonsNameRecord, PULMONARYARTERIALHYPERTENSION) == 496 && sizeof(PersonsNameRecord::PULMONARYARTERIALHYPERTENSION) == 1);
static_assert(offsetof(PersonsNameRecord, SEIZUREDISORDER) == 497 && sizeof(PersonsNameRecord::SEIZUREDISORDER) == 1);
static_assert(offsetof(PersonsNameRecord, STROKE) == 498 && sizeof(PersonsNameRecord::STROKE) == 1);
static_assert(offsetof(PersonsNameRecord, NOKNOWNMEDICALCONDITIONS) == 499 && sizeof(PersonsNameRecord::NOKNOWNMEDICALCONDITIONS) == 1);
static_assert(offsetof(PersonsNameRecord, DEFIBRILLATOR) == 500 && sizeof(PersonsNameRecord::DEFIBRILLATOR) == 60);
static_assert(offsetof(PersonsNameRecord, HEARTVALVEREPLACEMENT) == 560 && sizeof(PersonsNameRecord::HEARTVALVEREPLACEMENT) == 60);
static_assert(offsetof(PersonsNameRecord, IMPLANTEDMEDICALDEVICES) == 620 && sizeof(PersonsNameRecord::IMPLANTEDMEDICALDEVICES) == 60);
static_assert(offsetof(PersonsNameRecord, OXYGEN) == 680 && sizeof(PersonsNameRecord::OXYGEN) == 60);
static_assert(offsetof(PersonsNameRecord, OTHER) == 740 && sizeof(PersonsNameRecord::OTHER) == 60);
static_assert(offsetof(PersonsNameRecord, FOODALLERGY1) == 800 && sizeof(PersonsNameRecord::FOODALLERGY1) == 20);
static_assert(offsetof(PersonsNameRecord, FOODALLERGY2) == 820 && sizeof(PersonsNameRecord::FOODALLERGY2) == 20);
static_assert(offsetof(PersonsNameRecord, FOODALLERGY3) == 840 && sizeof(PersonsNameRecord::FOODALLERGY3) == 20);
static_assert(offsetof(PersonsNameRecord, FOODALLERGY4) == 860 && sizeof(PersonsNameRecord::FOODALLERGY4) == 20);
static_assert(offsetof(PersonsNameRecord, FOODALLERGY5) == 880 && sizeof(PersonsNameRecord::FOODALLERGY5) == 20);
static_assert(offsetof(PersonsNameRecord, DRUGALLERGY1) == 900 && sizeof(PersonsNameRecord::DRUGALLERGY1) == 20);
static_assert(offsetof(PersonsNameRecord, DRUGALLERGY2) == 920 && sizeof(PersonsNameRecord::DRUGALLERGY2) == 20);
static_assert(offsetof(PersonsNameRecord, DRUGALLERGY3) == 940 && sizeof(PersonsNameRecord::DRUGALLERGY3) == 20);
static_assert(offsetof(PersonsNameRecord, DRUGALLERGY4) == 960 && sizeof(PersonsNameRecord::DRUGALLERGY4) == 20);
static_assert(offsetof(PersonsNameRecord, DRUGALLERGY5) == 980 && sizeof(PersonsNameRecord::DRUGALLERGY5) == 20);
static_assert(offsetof(PersonsNameRecord, OTHERALLERGY1) == 1000 && sizeof(PersonsNameRecord::OTHERALLERGY1) == 20);
static_assert(offsetof(PersonsNameRecord, OTHERALLERGY2) == 1020 && sizeof(PersonsNameRecord::OTHERALLERGY2) == 20);
static_assert(offsetof(PersonsNameRecord, OTHERALLERGY3) == 1040 && sizeof(PersonsNameRecord::OTHERALLERGY3) == 20);
static_assert(offsetof(PersonsNameRecord, OTHERALLERGY4) == 1060 && sizeof(PersonsNameRecord::OTHERALLERGY4) == 20);
static_assert(offsetof(PersonsNameRecord, OTHERALLERGY5) == 1080 && sizeof(PersonsNameRecord::OTHERALLERGY5) == 20);
static_assert(offsetof(PersonsNameRecord, DATEUPDATED) == 1100 && sizeof(PersonsNameRecord::DATEUPDATED) == 4);
static_assert(offsetof(PersonsNameRecord, TIMEUPDATED) == 1104 && sizeof(PersonsNameRecord::TIMEUPDATED) == 4);
static_assert(offsetof(PersonsNameRecord, IMM1) == 1108 && sizeof(PersonsNameRecord::IMM1) == 20);
static_assert(offsetof(PersonsNameRecord, IMM2) == 1128 && sizeof(PersonsNameRecord::IMM2) == 20);
static_assert(offsetof(PersonsNameRecord, IMM3) == 1148 && sizeof(PersonsNameRecord::IMM3) == 20);
static_assert(offsetof(PersonsNameRecord, IMM4) == 1168 && sizeof(PersonsNameRecord::IMM4) == 20);
static_assert(offsetof(PersonsNameRecord, IMM5) == 1188 && sizeof(PersonsNameRecord::IMM5) == 20);
static_assert(offsetof(PersonsNameRecord, IMM6) == 1208 && sizeof(PersonsNameRecord::IMM6) == 20);
static_assert(offsetof(PersonsNameRecord, IMM7) == 1228 && sizeof(PersonsNameRecord::IMM7) == 20);
static_assert(offsetof(PersonsNameRecord, IMM8) == 1248 && sizeof(PersonsNameRecord::IMM8) == 20);
static_assert(offsetof(PersonsNameRecord, IMM9) == 1268 && sizeof(PersonsNameRecord::IMM9) == 20);
static_assert(offsetof(PersonsNameRecord, IMM10) == 1288 && sizeof(PersonsNameRecord::IMM10) == 20);
static_assert(offsetof(PersonsNameRecord, IMMDATE1) == 1308 && sizeof(PersonsNameRecord::IMMDATE1) == 4);
static_assert(offsetof(PersonsNameRecord, IMMDATE2) == 1312 && sizeof(PersonsNameRecord::IMMDATE2) == 4);
static_assert(offsetof(PersonsNameRecord, IMMDATE3) == 1316 && sizeof(PersonsNameRecord::IMMDATE3) == 4);
static_assert(offsetof(PersonsNameRecord, IMMDATE4) == 1320 && sizeof(PersonsNameRecord::IMMDATE4) == 4);
static_assert(offsetof(PersonsNameRecord, IMMDATE5) == 1324 && sizeof(PersonsNameRecord::IMMDATE5) == 4);
static_assert(offsetof(PersonsNameRecord, IMMDATE6) == 1328 && sizeof(PersonsNameRecord::IMMDATE6) == 4);
static_assert(offsetof(PersonsNameRecord, IMMDATE7) == 1332 && sizeof(PersonsNameRecord::IMMDATE7) == 4);
static_assert(offsetof(PersonsNameRecord, IMMDATE8) == 1336 && sizeof(PersonsNameRecord::IMMDATE8) == 4);
static_assert(offsetof(PersonsNameRecord, IMMDATE9) == 1340 && sizeof(PersonsNameRecord::IMMDATE9) == 4);
static_assert(offsetof(PersonsNameRecord, IMMDATE10) == 1344 && sizeof(PersonsNameRecord::IMMDATE10) == 4);
static_assert(offsetof(PersonsNameRecord, DRVISITNAME1) == 1348 && sizeof(PersonsNameRecord::DRVISITNAME1) == 50);
static_assert(offsetof(PersonsNameRecord, DRVISITNAME2) == 1398 && sizeof(PersonsNameRecord::DRVISITNAME2) == 50);
static_assert(offsetof(PersonsNameRecord, DRVISITNAME3) == 1448 && sizeof(PersonsNameRecord::DRVISITNAME3) == 50);
static_assert(offsetof(PersonsNameRecord, DRVISITNAME4) == 1498 && sizeof(PersonsNameRecord::DRVISITNAME4) == 50);
static_assert(offsetof(PersonsNameRecord, DRVISITNAME5) == 1548 && sizeof(PersonsNameRecord::DRVISITNAME5) == 50);
static_assert(offsetof(PersonsNameRecord, DRVISITNAME6) == 1598 && sizeof(PersonsNameRecord::DRVISITNAME6) == 50);
static_assert(offsetof(PersonsNameRecord, DRVISITNAME7) == 1648 && sizeof(PersonsNameRecord::DRVISITNAME7) == 50);
static_assert(offsetof(PersonsNameRecord, DRVISITNAME8) == 1698 && sizeof(PersonsNameRecord::DRVISITNAME8) == 50);
static_assert(offsetof(PersonsNameRecord, DRVISITNAME9) == 1748 && sizeof(PersonsNameRecord::DRVISITNAME9) == 50);
static_assert(offsetof(PersonsNameRecord, DRVISITNAME10) == 1798 && sizeof(PersonsNameRecord::DRVISITNAME10) == 50);
static_assert(offsetof(PersonsNameRecord, DRVISITDATE1) == 1848 && sizeof(PersonsNameRecord::DRVISITDATE1) == 4);
static_assert(offsetof(PersonsNameRecord, DRVISITDATE2) == 1852 && sizeof(PersonsNameRecord::DRVISITDATE2) == 4);
static_assert(offsetof(PersonsNameRecord, DRVISITDATE3) == 1856 && sizeof(PersonsNameRecord::DRVISITDATE3) == 4);
static_assert(offsetof(PersonsNameRecord, DRVISITDATE4) == 1860 && sizeof(PersonsNameRecord::DRVISITDATE4) == 4);
static_assert(offsetof(PersonsNameRecord, DRVISITDATE5) == 1864 && sizeof(PersonsNameRecord::DRVISITDATE5) == 4);
static_assert(offsetof(PersonsNameRecord, DRVISITDATE6) == 1868 && sizeof(PersonsNameRecord::DRVISITDATE6) == 4);
static_assert(offsetof(PersonsNameRecord, DRVISITDATE7) == 1872 && sizeof(PersonsNameRecord::DRVISITDATE7) == 4);
static_assert(offsetof(PersonsNameRecord, DRVISITDATE8) == 1876 && sizeof(PersonsNameRecord::DRVISITDATE8) == 4);
static_assert(offsetof(PersonsNameRecord, DRVISITDATE9) == 1880 && sizeof(PersonsNameRecord::DRVISITDATE9) == 4);
static_assert(offsetof(PersonsNameRecord, DRVISITDATE10) == 1884 && sizeof(PersonsNameRecord::DRVISITDATE10) == 4);
static_assert(offsetof(PersonsNameRecord, DRVISITPURPOSE1) == 1888 && sizeof(PersonsNameRecord::DRVISITPURPOSE1) == 50);
static_assert(offsetof(PersonsNameRecord, DRVISITPURPOSE2) == 1938 && sizeof(PersonsNameRecord::DRVISITPURPOSE2) == 50);
static_assert(offsetof(PersonsNameRecord, DRVISITPURPOSE3) == 1988 && sizeof(PersonsNameRecord::DRVISITPURPOSE3) == 50);
static_assert(offsetof(PersonsNameRecord, DRVISITPURPOSE4) == 2038 && sizeof(PersonsNameRecord::DRVISITPURPOSE4) == 50);
static_assert(offsetof(PersonsNameRecord, DRVISITPURPOSE5) == 2088 && sizeof(PersonsNameRecord::DRVISITPURPOSE5) == 50);
static_assert(offsetof(PersonsNameRecord, DRVISITPURPOSE6) == 2138 && sizeof(PersonsNameRecord::DRVISITPURPOSE6) == 50);
static_assert(offsetof(PersonsNameRecord, DRVISITPURPOSE7) == 2188 && sizeof(PersonsNameRecord::DRVISITPURPOSE7) == 50);
static_assert(offsetof(PersonsNameRecord, DRVISITPURPOSE8) == 2238 && sizeof(PersonsNameRecord::DRVISITPURPOSE8) == 50);
static_assert(offsetof(PersonsNameRecord, DRVISITPURPOSE9) == 2288 && sizeof(PersonsNameRecord::DRVISITPURPOSE9) == 50);
static_assert(offsetof(PersonsNameRecord, DRVISITPURPOSE10) == 2338 && sizeof(PersonsNameRecord::DRVISITPURPOSE10) == 50);
static_assert(offsetof(PersonsNameRecord, WEIGHT) == 2388 && sizeof(PersonsNameRecord::WEIGHT) == 2);
static_assert(offsetof(PersonsNameRecord, HEIGHT) == 2390 && sizeof(PersonsNameRecord::HEIGHT) == 5);
static_assert(offsetof(PersonsNameRecord, MARITALSTATUS) == 2395 && sizeof(PersonsNameRecord::MARITALSTATUS) == 20);
static_assert(offsetof(PersonsNameRecord, LASTNAME) == 2415 && sizeof(PersonsNameRecord::LASTNAME) == 30);
static_assert(offsetof(PersonsNameRecord, FIRSTNAME) == 2445 && sizeof(PersonsNameRecord::FIRSTNAME) == 20);

namespace {

// Size and offset straight from the struct, so a descriptor cannot drift from its buffer.
#define F(rec, member) static_cast<std::uint16_t>(sizeof(rec::member)), static_cast<std::uint16_t>(offsetof(rec, member))

constexpr rt::FieldDesc kPersonsNameFields[] = {
    {1, "PER:PERSONSNAME", rt::FieldType::String, F(PersonsNameRecord, PERSONSNAME)},
    {2, "PER:STREETADDRESS", rt::FieldType::String, F(PersonsNameRecord, STREETADDRESS)},
    {3, "PER:CITY", rt::FieldType::String, F(PersonsNameRecord, CITY)},
    {4, "PER:STATE", rt::FieldType::String, F(PersonsNameRecord, STATE)},
    {5, "PER:ZIPCODE", rt::FieldType::String, F(PersonsNameRecord, ZIPCODE)},
    {6, "PER:PHONENUMBER", rt::FieldType::String, F(PersonsNameRecord, PHONENUMBER)},
    {7, "PER:BIRTHDATE", rt::FieldType::Date, F(PersonsNameRecord, BIRTHDATE)},
    {8, "PER:AGE", rt::FieldType::Real, F(PersonsNameRecord, AGE)},
    {9, "PER:GENDER", rt::FieldType::String, F(PersonsNameRecord, GENDER)},
    {10, "PER:EMAILADDRESS", rt::FieldType::CString, F(PersonsNameRecord, EMAILADDRESS)},
    {11, "PER:PRIMARYCONTACTNAME", rt::FieldType::String, F(PersonsNameRecord, PRIMARYCONTACTNAME)},
    {12, "PER:PRIMARYCONTACTRELATIONSHIP", rt::FieldType::String, F(PersonsNameRecord, PRIMARYCONTACTRELATIONSHIP)},
    {13, "PER:PRIMARYCONTACTPHONE", rt::FieldType::String, F(PersonsNameRecord, PRIMARYCONTACTPHONE)},
    {14, "PER:SECONDARYCONTACTNAME", rt::FieldType::String, F(PersonsNameRecord, SECONDARYCONTACTNAME)},
    {15, "PER:SECONDARYCONTACTPHONE", rt::FieldType::String, F(PersonsNameRecord, SECONDARYCONTACTPHONE)},
    {16, "PER:SECONDARYCONTACTRELATIONSHIP", rt::FieldType::String, F(PersonsNameRecord, SECONDARYCONTACTRELATIONSHIP)},
    {17, "PER:HEALTHINSURER", rt::FieldType::String, F(PersonsNameRecord, HEALTHINSURER)},
    {18, "PER:GROUPPLANNUMBER", rt::FieldType::String, F(PersonsNameRecord, GROUPPLANNUMBER)},
    {19, "PER:ALZHEIMERSDISEASE", rt::FieldType::String, F(PersonsNameRecord, ALZHEIMERSDISEASE)},
    {20, "PER:ANEMIA", rt::FieldType::String, F(PersonsNameRecord, ANEMIA)},
    {21, "PER:ANGINA", rt::FieldType::String, F(PersonsNameRecord, ANGINA)},
    {22, "PER:ARTHRITIS", rt::FieldType::String, F(PersonsNameRecord, ARTHRITIS)},
    {23, "PER:ASTHMA", rt::FieldType::String, F(PersonsNameRecord, ASTHMA)},
    {24, "PER:ATRIALFIBRILATION", rt::FieldType::String, F(PersonsNameRecord, ATRIALFIBRILATION)},
    {25, "PER:AUTISM", rt::FieldType::String, F(PersonsNameRecord, AUTISM)},
    {26, "PER:AUTOIMMUNEDISORDER", rt::FieldType::String, F(PersonsNameRecord, AUTOIMMUNEDISORDER)},
    {27, "PER:CHRONICOBSTRUCTIVEPULMONARYDISEASE", rt::FieldType::String, F(PersonsNameRecord, CHRONICOBSTRUCTIVEPULMONARYDISEASE)},
    {28, "PER:CONGESTIVEHEARTFAILURE", rt::FieldType::String, F(PersonsNameRecord, CONGESTIVEHEARTFAILURE)},
    {29, "PER:CORONARYARTERYDISEASE", rt::FieldType::String, F(PersonsNameRecord, CORONARYARTERYDISEASE)},
    {30, "PER:CYSTICFIBROSIS", rt::FieldType::String, F(PersonsNameRecord, CYSTICFIBROSIS)},
    {31, "PER:DIABETES", rt::FieldType::String, F(PersonsNameRecord, DIABETES)},
    {32, "PER:EMPHYSEMA", rt::FieldType::String, F(PersonsNameRecord, EMPHYSEMA)},
    {33, "PER:EPILEPSY", rt::FieldType::String, F(PersonsNameRecord, EPILEPSY)},
    {34, "PER:GLAUCOMA", rt::FieldType::String, F(PersonsNameRecord, GLAUCOMA)},
    {35, "PER:HEARINGIMPAIRED", rt::FieldType::String, F(PersonsNameRecord, HEARINGIMPAIRED)},
    {36, "PER:HEADACHES", rt::FieldType::String, F(PersonsNameRecord, HEADACHES)},
    {37, "PER:HEMODIALYSIS", rt::FieldType::String, F(PersonsNameRecord, HEMODIALYSIS)},
    {38, "PER:HEMOPHILIA_VWD_OTHERBLOODDISORDERS", rt::FieldType::String, F(PersonsNameRecord, HEMOPHILIA_VWD_OTHERBLOODDISORDERS)},
    {39, "PER:HIV_AIDS", rt::FieldType::String, F(PersonsNameRecord, HIV_AIDS)},
    {40, "PER:HYPERTENSION", rt::FieldType::String, F(PersonsNameRecord, HYPERTENSION)},
    {41, "PER:HYPOGLYCEMIA", rt::FieldType::String, F(PersonsNameRecord, HYPOGLYCEMIA)},
    {42, "PER:HYPOTHYROIDISM", rt::FieldType::String, F(PersonsNameRecord, HYPOTHYROIDISM)},
    {43, "PER:IMMUNOSUPRESSED", rt::FieldType::String, F(PersonsNameRecord, IMMUNOSUPRESSED)},
    {44, "PER:MALARIA", rt::FieldType::String, F(PersonsNameRecord, MALARIA)},
    {45, "PER:MUSCULARDYSTROPHY", rt::FieldType::String, F(PersonsNameRecord, MUSCULARDYSTROPHY)},
    {46, "PER:MYOCARDIALINFARCTION", rt::FieldType::String, F(PersonsNameRecord, MYOCARDIALINFARCTION)},
    {47, "PER:ORGANTRANSPLANT", rt::FieldType::String, F(PersonsNameRecord, ORGANTRANSPLANT)},
    {48, "PER:PULMONARYARTERIALHYPERTENSION", rt::FieldType::String, F(PersonsNameRecord, PULMONARYARTERIALHYPERTENSION)},
    {49, "PER:SEIZUREDISORDER", rt::FieldType::String, F(PersonsNameRecord, SEIZUREDISORDER)},
    {50, "PER:STROKE", rt::FieldType::String, F(PersonsNameRecord, STROKE)},
    {51, "PER:NOKNOWNMEDICALCONDITIONS", rt::FieldType::String, F(PersonsNameRecord, NOKNOWNMEDICALCONDITIONS)},
    {52, "PER:DEFIBRILLATOR", rt::FieldType::String, F(PersonsNameRecord, DEFIBRILLATOR)},
    {53, "PER:HEARTVALVEREPLACEMENT", rt::FieldType::String, F(PersonsNameRecord, HEARTVALVEREPLACEMENT)},
    {54, "PER:IMPLANTEDMEDICALDEVICES", rt::FieldType::String, F(PersonsNameRecord, IMPLANTEDMEDICALDEVICES)},
    {55, "PER:OXYGEN", rt::FieldType::String, F(PersonsNameRecord, OXYGEN)},
    {56, "PER:OTHER", rt::FieldType::String, F(PersonsNameRecord, OTHER)},
    {57, "PER:FOODALLERGY1", rt::FieldType::String, F(PersonsNameRecord, FOODALLERGY1)},
    {58, "PER:FOODALLERGY2", rt::FieldType::String, F(PersonsNameRecord, FOODALLERGY2)},
    {59, "PER:FOODALLERGY3", rt::FieldType::String, F(PersonsNameRecord, FOODALLERGY3)},
    {60, "PER:FOODALLERGY4", rt::FieldType::String, F(PersonsNameRecord, FOODALLERGY4)},
    {61, "PER:FOODALLERGY5", rt::FieldType::String, F(PersonsNameRecord, FOODALLERGY5)},
    {62, "PER:DRUGALLERGY1", rt::FieldType::String, F(PersonsNameRecord, DRUGALLERGY1)},
    {63, "PER:DRUGALLERGY2", rt::FieldType::String, F(PersonsNameRecord, DRUGALLERGY2)},
    {64, "PER:DRUGALLERGY3", rt::FieldType::String, F(PersonsNameRecord, DRUGALLERGY3)},
    {65, "PER:DRUGALLERGY4", rt::FieldType::String, F(PersonsNameRecord, DRUGALLERGY4)},
    {66, "PER:DRUGALLERGY5", rt::FieldType::String, F(PersonsNameRecord, DRUGALLERGY5)},
    {67, "PER:OTHERALLERGY1", rt::FieldType::String, F(PersonsNameRecord, OTHERALLERGY1)},
    {68, "PER:OTHERALLERGY2", rt::FieldType::String, F(PersonsNameRecord, OTHERALLERGY2)},
    {69, "PER:OTHERALLERGY3", rt::FieldType::String, F(PersonsNameRecord, OTHERALLERGY3)},
    {70, "PER:OTHERALLERGY4", rt::FieldType::String, F(PersonsNameRecord, OTHERALLERGY4)},
    {71, "PER:OTHERALLERGY5", rt::FieldType::String, F(PersonsNameRecord, OTHERALLERGY5)},
    {72, "PER:DATEUPDATED", rt::FieldType::Date, F(PersonsNameRecord, DATEUPDATED)},
    {73, "PER:TIMEUPDATED", rt::FieldType::Time, F(PersonsNameRecord, TIMEUPDATED)},
    {74, "PER:IMM1", rt::FieldType::String, F(PersonsNameRecord, IMM1)},
    {75, "PER:IMM2", rt::FieldType::String, F(PersonsNameRecord, IMM2)},
    {76, "PER:IMM3", rt::FieldType::String, F(PersonsNameRecord, IMM3)},
    {77, "PER:IMM4", rt::FieldType::String, F(PersonsNameRecord, IMM4)},
    {78, "PER:IMM5", rt::FieldType::String, F(PersonsNameRecord, IMM5)},
    {79, "PER:IMM6", rt::FieldType::String, F(PersonsNameRecord, IMM6)},
    {80, "PER:IMM7", rt::FieldType::String, F(PersonsNameRecord, IMM7)},
    {81, "PER:IMM8", rt::FieldType::String, F(PersonsNameRecord, IMM8)},
    {82, "PER:IMM9", rt::FieldType::String, F(PersonsNameRecord, IMM9)},
    {83, "PER:IMM10", rt::FieldType::String, F(PersonsNameRecord, IMM10)},
    {84, "PER:IMMDATE1", rt::FieldType::Date, F(PersonsNameRecord, IMMDATE1)},
    {85, "PER:IMMDATE2", rt::FieldType::Date, F(PersonsNameRecord, IMMDATE2)},
    {86, "PER:IMMDATE3", rt::FieldType::Date, F(PersonsNameRecord, IMMDATE3)},
    {87, "PER:IMMDATE4", rt::FieldType::Date, F(PersonsNameRecord, IMMDATE4)},
    {88, "PER:IMMDATE5", rt::FieldType::Date, F(PersonsNameRecord, IMMDATE5)},
    {89, "PER:IMMDATE6", rt::FieldType::Date, F(PersonsNameRecord, IMMDATE6)},
    {90, "PER:IMMDATE7", rt::FieldType::Date, F(PersonsNameRecord, IMMDATE7)},
    {91, "PER:IMMDATE8", rt::FieldType::Date, F(PersonsNameRecord, IMMDATE8)},
    {92, "PER:IMMDATE9", rt::FieldType::Date, F(PersonsNameRecord, IMMDATE9)},
    {93, "PER:IMMDATE10", rt::FieldType::Date, F(PersonsNameRecord, IMMDATE10)},
    {94, "PER:DRVISITNAME1", rt::FieldType::String, F(PersonsNameRecord, DRVISITNAME1)},
    {95, "PER:DRVISITNAME2", rt::FieldType::String, F(PersonsNameRecord, DRVISITNAME2)},
    {96, "PER:DRVISITNAME3", rt::FieldType::String, F(PersonsNameRecord, DRVISITNAME3)},
    {97, "PER:DRVISITNAME4", rt::FieldType::String, F(PersonsNameRecord, DRVISITNAME4)},
    {98, "PER:DRVISITNAME5", rt::FieldType::String, F(PersonsNameRecord, DRVISITNAME5)},
    {99, "PER:DRVISITNAME6", rt::FieldType::String, F(PersonsNameRecord, DRVISITNAME6)},
    {100, "PER:DRVISITNAME7", rt::FieldType::String, F(PersonsNameRecord, DRVISITNAME7)},
    {101, "PER:DRVISITNAME8", rt::FieldType::String, F(PersonsNameRecord, DRVISITNAME8)},
    {102, "PER:DRVISITNAME9", rt::FieldType::String, F(PersonsNameRecord, DRVISITNAME9)},
    {103, "PER:DRVISITNAME10", rt::FieldType::String, F(PersonsNameRecord, DRVISITNAME10)},
    {104, "PER:DRVISITDATE1", rt::FieldType::Date, F(PersonsNameRecord, DRVISITDATE1)},
    {105, "PER:DRVISITDATE2", rt::FieldType::Date, F(PersonsNameRecord, DRVISITDATE2)},
    {106, "PER:DRVISITDATE3", rt::FieldType::Date, F(PersonsNameRecord, DRVISITDATE3)},
    {107, "PER:DRVISITDATE4", rt::FieldType::Date, F(PersonsNameRecord, DRVISITDATE4)},
    {108, "PER:DRVISITDATE5", rt::FieldType::Date, F(PersonsNameRecord, DRVISITDATE5)},
    {109, "PER:DRVISITDATE6", rt::FieldType::Date, F(PersonsNameRecord, DRVISITDATE6)},
    {110, "PER:DRVISITDATE7", rt::FieldType::Date, F(PersonsNameRecord, DRVISITDATE7)},
    {111, "PER:DRVISITDATE8", rt::FieldType::Date, F(PersonsNameRecord, DRVISITDATE8)},
    {112, "PER:DRVISITDATE9", rt::FieldType::Date, F(PersonsNameRecord, DRVISITDATE9)},
    {113, "PER:DRVISITDATE10", rt::FieldType::Date, F(PersonsNameRecord, DRVISITDATE10)},
    {114, "PER:DRVISITPURPOSE1", rt::FieldType::String, F(PersonsNameRecord, DRVISITPURPOSE1)},
    {115, "PER:DRVISITPURPOSE2", rt::FieldType::String, F(PersonsNameRecord, DRVISITPURPOSE2)},
    {116, "PER:DRVISITPURPOSE3", rt::FieldType::String, F(PersonsNameRecord, DRVISITPURPOSE3)},
    {117, "PER:DRVISITPURPOSE4", rt::FieldType::String, F(PersonsNameRecord, DRVISITPURPOSE4)},
    {118, "PER:DRVISITPURPOSE5", rt::FieldType::String, F(PersonsNameRecord, DRVISITPURPOSE5)},
    {119, "PER:DRVISITPURPOSE6", rt::FieldType::String, F(PersonsNameRecord, DRVISITPURPOSE6)},
    {120, "PER:DRVISITPURPOSE7", rt::FieldType::String, F(PersonsNameRecord, DRVISITPURPOSE7)},
    {121, "PER:DRVISITPURPOSE8", rt::FieldType::String, F(PersonsNameRecord, DRVISITPURPOSE8)},
    {122, "PER:DRVISITPURPOSE9", rt::FieldType::String, F(PersonsNameRecord, DRVISITPURPOSE9)},
    {123, "PER:DRVISITPURPOSE10", rt::FieldType::String, F(PersonsNameRecord, DRVISITPURPOSE10)},
    {124, "PER:WEIGHT", rt::FieldType::Short, F(PersonsNameRecord, WEIGHT)},
    {125, "PER:HEIGHT", rt::FieldType::String, F(PersonsNameRecord, HEIGHT)},
    {126, "PER:MARITALSTATUS", rt::FieldType::String, F(PersonsNameRecord, MARITALSTATUS)},
    {127, "PER:LASTNAME", rt::FieldType::String, F(PersonsNameRecord, LASTNAME)},
    {128, "PER:FIRSTNAME", rt::FieldType::String, F(PersonsNameRecord, FIRSTNAME)},
};

#undef F

}  // namespace

const rt::TableDesc& PersonsNameTable() {
    static const rt::KeyDesc keys[] = {{"PER:BYNAME", "PER:ByName", {{1}}}};  // +PERSONSNAME
    static const rt::MemoDesc memo{"PER:OTHERCONDITIONS", "PER:OtherConditions", 1000};
    static const rt::TableDesc desc{"PersonsName", "PER", "support\\!persons", sizeof(PersonsNameRecord), kPersonsNameFields, keys, &memo};
    return desc;
}

}  // namespace data
