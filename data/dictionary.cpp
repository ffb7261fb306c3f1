#include "data/dictionary.h"

#include "data/table_classes.h"

namespace data {
namespace {

// Runs f for each table in the set-up order, handing it the table's four thread variables.
template <typename F>
void forEachTable(F&& f) {
    f(PrescriptsAccessorObject, PrescriptsGroupObject, PrescriptsGroupRef);
    f(GlucoseAccessorObject, GlucoseGroupObject, GlucoseGroupRef);
    f(BloodpreAccessorObject, BloodpreGroupObject, BloodpreGroupRef);
    f(DrugNamesAccessorObject, DrugNamesGroupObject, DrugNamesGroupRef);
    f(PersonsNameAccessorObject, PersonsNameGroupObject, PersonsNameGroupRef);
    f(PharmacyAccessorObject, PharmacyGroupObject, PharmacyGroupRef);
    f(PlanNameAccessorObject, PlanNameGroupObject, PlanNameGroupRef);
    f(DoctorsAccessorObject, DoctorsGroupObject, DoctorsGroupRef);
    f(FormAccessorObject, FormGroupObject, FormGroupRef);
    f(ManufacturerAccessorObject, ManufacturerGroupObject, ManufacturerGroupRef);
}

void CreateTableObjects() {
    forEachTable([](auto& accessor, auto& group, auto&) {
        accessor = std::make_unique<typename std::remove_reference_t<decltype(accessor)>::element_type>();
        group = std::make_unique<typename std::remove_reference_t<decltype(group)>::element_type>();
        group->Construct();
    });
    forEachTable([](auto&, auto& group, auto& groupRef) { groupRef = group.get(); });
}

void InitialiseTableGroups() {
    forEachTable([](auto&, auto& group, auto&) { group->Initialise(); });
}

void DestroyTableGroups() {
    forEachTable([](auto&, auto& group, auto&) {
        if (!group) return;
        group->TearDown();
        group.reset();
    });
}

}  // namespace

void DictionarySetUp() {
    CreateTableObjects();
    InitialiseTableGroups();
}

void DictionaryTearDown() { DestroyTableGroups(); }

}  // namespace data
