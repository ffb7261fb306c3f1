#include "data/table_classes.h"

#include "data/thread_tables.h"
#include "globals/globals.h"
#include "platform/runtime/expression.h"
#include "platform/runtime/fixed_string.h"

namespace data {

// ---------------------------------------------------------------- common steps

void DictionaryAccessor::Initialise() {
    INITIALIZED = 0;
    BUFFER.address = binding_.buffer();
    BUFFER.desc = &binding_.desc();
    BUFFER.size = BUFFER.desc->recordSize;
    BUFFER.memo = binding_.memo ? binding_.memo() : nullptr;
    FILENAMEVALUE = std::string(BUFFER.desc->label);
    SetReporter(&globals::AppErrors());
    FILE = &binding_.file();
    cls::TableAccessor::Initialise();
    setAccessorRef(true);
}

int DictionaryAccessor::UseTable(int useType) {
    if (useType != cls::kUseInitialise) {
        const int r = UseTable(cls::kUseInitialise);
        if (r != 0) return r;
    }
    if (useType == cls::kUseInitialise && INITIALIZED == 0) {
        INUSEFILE = 1;
        Attach(FILE, &globals::AppErrors());
        CREATE = 1;
        LOCKRECOVER = 10;
        for (const auto& k : binding_.keys) RegisterKey(k.name, k.autoNumber);
        INUSEFILE = 0;
    }
    return cls::TableAccessor::UseTable(useType);
}

void DictionaryAccessor::TearDown() {
    cls::TableAccessor::TearDown();
    setAccessorRef(false);
}

void DictionaryGroup::initialiseWith(DictionaryAccessor* accessor) {
    accessor->Initialise();
    cls::TableGroup::Initialise(accessor, 1);
}

void DictionaryGroup::TearDown() {
    if (ME) ME->TearDown();
    cls::TableGroup::TearDown();
    releaseAccessor();
    ME = nullptr;
}

// ---------------------------------------------------------------- the tables

#define DATA_DEFINE_TABLE(Label, Buffer, Memo, ...)                                                     \
    const TableBinding& Label##Binding() {                                                              \
        static const TableBinding binding{&Label##Table, [] { return static_cast<void*>(&Buffer); },    \
                                    Memo, &Label##File, {__VA_ARGS__}};                                 \
        return binding;                                                                                 \
    }                                                                                                   \
    void Label##Group::Initialise() { initialiseWith(Label##AccessorObject.get()); }                    \
    void Label##Group::releaseAccessor() {                                                              \
        Label##GroupRef = nullptr;                                                                      \
        Label##AccessorObject.reset();                                                                  \
    }

DATA_DEFINE_TABLE(Manufacturer, MAN, nullptr, {"MAN:ByName", false})
DATA_DEFINE_TABLE(Form, FOR, nullptr, {"FOR:ByType", false})
DATA_DEFINE_TABLE(Doctors, DOC, nullptr, {"DOC:ByName", false})
DATA_DEFINE_TABLE(PlanName, PLA, nullptr, {"PLA:ByName", false})
DATA_DEFINE_TABLE(Pharmacy, PHA, nullptr, {"PHA:ByName", false})
DATA_DEFINE_TABLE(PersonsName, PER, [] { return &PER_OtherConditions; }, {"PER:ByName", false})
DATA_DEFINE_TABLE(DrugNames, DRU, nullptr, {"DRU:ByName", false})
DATA_DEFINE_TABLE(Bloodpre, BLO, nullptr, {"Blo:byperson", false}, {"Blo:ByDate", false})
DATA_DEFINE_TABLE(Glucose, GLU, nullptr, {"Glu:byperson", false}, {"Glu:ByDate", false})
DATA_DEFINE_TABLE(Prescripts, PRE, [] { return &PRE_SpecialInstructionsNotes; }, {"PRE:printby", true},
                  {"PRE:ByDoctor", false}, {"PRE:ByActive", false}, {"PRE:ByName", false}, {"PRE:ByDate", false})
#undef DATA_DEFINE_TABLE

// ---------------------------------------------------------------- table specifics

namespace {
// Whether the blank-trimmed value is exactly one of the items of a "]a[]b[" list. A plain search
// for "]value[" in the list would let a value such as "M[]F" through.
bool inList(std::string_view value, std::string_view list) {
    const std::string_view v = rt::rtrim(value);
    for (std::size_t p = 0; (p = list.find(']', p)) != std::string_view::npos;) {
        const std::size_t end = list.find('[', p + 1);
        if (end == std::string_view::npos) break;
        if (list.substr(p + 1, end - p - 1) == v) return true;
        p = end + 1;
    }
    return false;
}

int checkInList(cls::ErrorReporter& errors, std::string_view fieldName, std::string_view value, std::string_view list,
                std::string_view listText, bool report) {
    errors.SetField(fieldName);
    int level = inList(value, list) ? 0 : cls::kLevelNotify;
    if (level != 0 && report) level = errors.ThrowMessage(17, listText);
    return level;
}
}  // namespace

int PersonsNameAccessor::CheckFieldValue(int fieldNumber, bool report) {
    int level = cls::TableAccessor::CheckFieldValue(fieldNumber, report);
    if (fieldNumber == kPersonsGenderField)
        level = checkInList(globals::AppErrors(), "PER:Gender", rt::view(PER.GENDER), "]M[]F[", "'M','F'", report);
    else if (fieldNumber == kPersonsMaritalStatusField)
        level = checkInList(globals::AppErrors(), "PER:MaritalStatus", rt::view(PER.MARITALSTATUS),
                            "]Single[]Married[]Living w/Partner[]Divorced[]SurvivingSpouse[",
                            "'Single','Married','Living w/Partner','Divorced','SurvivingSpouse'", report);
    return level;
}

void PersonsNameAccessor::BindNames() {
    cls::TableAccessor::BindNames();
    rt::BindMemo("PER:OtherConditions", &PER_OtherConditions, 1000);
}

void PrescriptsAccessor::PrimeNewRecord() {
    rt::assign(PRE.ACTIVE, "Y");
    cls::TableAccessor::PrimeNewRecord();
}

void PrescriptsAccessor::BindNames() {
    cls::TableAccessor::BindNames();
    rt::BindMemo("PRE:SpecialInstructionsNotes", &PRE_SpecialInstructionsNotes, 1000);
}

}  // namespace data
