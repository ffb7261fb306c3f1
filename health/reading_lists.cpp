#include "health/reading_lists.h"

#include "data/thread_tables.h"
#include "globals/globals.h"
#include "platform/runtime/field_access.h"
#include "platform/runtime/fixed_string.h"
#include "shell/procedure_registry.h"

namespace health {
namespace {

constexpr const char* kBloodPressureColumns[] = {"BLO:DATE",  "BLO:TIME",  "BLO:SYSTOLIC",
                                                 "BLO:DIASTOLIC", "BLO:PULSE", "BLO:PERSONNAME"};
constexpr const char* kGlucoseColumns[] = {"GLU:DATE", "GLU:TIME", "GLU:READING", "GLU:COMMENT", "GLU:PERSONNAME"};

const ReadingListKind kBloodPressure{
    "?LIST", "?INSERT", "?CHANGE", "?DELETE", &data::BloodpreBinding,
    []() -> cls::TableGroup* { return data::BloodpreGroupRef; }, "BLO:PERSONNAME", "Blo:byperson", nullptr,
    kBloodPressureColumns, 12, "UpdateBloodpre", 20, 5};
const ReadingListKind kGlucose{
    "?LIST:2", "?INSERT:2", "?CHANGE:2", "?DELETE:2", &data::GlucoseBinding,
    []() -> cls::TableGroup* { return data::GlucoseGroupRef; }, "GLU:PERSONNAME", "Glu:byperson", "Glu:ByDate",
    kGlucoseColumns, 13, "UpdateGlucose", 22, 4};

bool noPerson() { return rt::rtrim(globals::personname().get()).empty(); }

}  // namespace

const ReadingListKind& BloodPressureList() { return kBloodPressure; }
const ReadingListKind& GlucoseList() { return kGlucose; }

int ReadingBrowser::PickOrder() { return noPerson() ? 2 : 1; }

void ReadingSorter::HandOrderToList(std::string_view order) {
    cls::ListBrowser& b = *browser();
    if (order.empty()) {
        b.PopOrderState();
        b.Reset(false);  // the order personname selects now
        return;
    }
    cls::ListSeeker* seeker = seekers_[noPerson() ? 1 : 0];
    b.PushOrderState(order, seeker);
    if (seeker) b.RelinkSeeker();
}

ReadingList::ReadingList(const ReadingListKind& kind)
    : kind_(kind), reader_(kind.table().file(), kind.group() ? kind.group()->ME : nullptr) {}

bool ReadingList::FormRegistered(const ReadingListKind& kind) { return static_cast<bool>(shell::FindProcedure(kind.form)); }

void ReadingList::Attach(cls::WindowController& form, bool viewing) {
    wnd::Window& w = form.window();
    browser_.Initialise(w.Find(kind_.list), reader_, queue_, kind_.group(), form);
    if (!viewing && FormRegistered(kind_)) {
        browser_.INSERTCONTROL = w.Find(kind_.insert);
        browser_.CHANGECONTROL = w.Find(kind_.change);
        browser_.DELETECONTROL = w.Find(kind_.remove);
    }
}

void ReadingList::SetUpOrders(cls::ToolbarDispatcher& toolbar) {
    const rt::TableDesc& table = kind_.table().desc();
    const int keys[] = {table.keyIndex(kind_.personKey), kind_.otherKey ? table.keyIndex(kind_.otherKey) : -1};
    std::array<cls::ListSeeker*, 2> seekers{};
    for (std::size_t i = 0; i < 2; ++i) {
        browser_.AddOrder(nullptr, keys[i]);
        if (keys[i] < 0) continue;
        seekers_[i].Initialise(table, table.keys[static_cast<std::size_t>(keys[i])], true);
        browser_.SetSeeker(&seekers_[i]);
        seekers[i] = &seekers_[i];
    }
    sorter_.UseSeekers(seekers);
    // Readings keep the first 35 characters of the person's name: compared at that width, the
    // readings of a person whose name is longer are listed too.
    const rt::FieldDesc& person = *table.fieldByName(kind_.personField);
    const void* buffer = kind_.table().buffer();
    auto name = [&person] {
        const std::string name = globals::personname().get();
        return std::string(rt::rtrim(std::string_view(name).substr(0, person.size)));
    };
    // The person pins the key's name: the database reads only that person's readings.
    reader_.SetFilter([&person, buffer, name] { return rt::rtrim(rt::fieldText(person, buffer)) == name(); },
                      {{person.number, files::FieldCondition::Op::Equal, [name]() -> std::optional<files::KeyValue> { return name(); }}});
    for (const char* c : kind_.columns) {
        const rt::FieldDesc& f = *table.fieldByName(c);
        if (f.type == rt::FieldType::String) browser_.AddColumn(f);
        else browser_.AddColumnValue(f);
    }
    browser_.ASKPROCEDURE = kind_.updateNumber;
    browser_.AttachToolbar(toolbar);
}

void ReadingList::SetUpFormats(cls::ErrorReporter* errors) {
    formats_.Construct();
    formats_.SAVEFORMAT = 1;
    if (formats_.Initialise(&browser_, kind_.visibleFields, "PRESCRIP", "UpdatePersonsName", 1, kind_.formatControl,
                            &data::ListFormatsFile(), errors)) {
        formats_.SetApplication("Prescripts", 1, 2, 1);
        browser_.UseFormats(&formats_);
    }
}

void ReadingList::SetUpSizerAndSorter(wnd::Window& window) {
    sizer_.Initialise();
    sizer_.AddList(window, browser_.listControl(), queue_);
    sorter_.Initialise(window, browser_.listControl(), browser_);
    browser_.UseSorter(&sorter_);
}

}  // namespace health
