#include "data/thread_tables.h"

#include <memory>

namespace data {
namespace {

enum Slot { kMan, kFor, kDoc, kPla, kPha, kPer, kDru, kBlo, kGlu, kPre, kCfg, kSlots };

thread_local std::unique_ptr<files::TableFile> tFiles[kSlots];

files::TableFile& instance(Slot s, const rt::TableDesc& desc, void* buffer, std::string* memo) {
    auto& f = tFiles[s];
    if (!f) f = std::make_unique<files::TableFile>(desc, buffer, memo);
    return *f;
}

}  // namespace

files::TableFile& ManufacturerFile() { return instance(kMan, ManufacturerTable(), &MAN, nullptr); }
files::TableFile& FormFile() { return instance(kFor, FormTable(), &FOR, nullptr); }
files::TableFile& DoctorsFile() { return instance(kDoc, DoctorsTable(), &DOC, nullptr); }
files::TableFile& PlanNameFile() { return instance(kPla, PlanNameTable(), &PLA, nullptr); }
files::TableFile& PharmacyFile() { return instance(kPha, PharmacyTable(), &PHA, nullptr); }
files::TableFile& PersonsNameFile() { return instance(kPer, PersonsNameTable(), &PER, &PER_OtherConditions); }
files::TableFile& DrugNamesFile() { return instance(kDru, DrugNamesTable(), &DRU, nullptr); }
files::TableFile& BloodpreFile() { return instance(kBlo, BloodpreTable(), &BLO, nullptr); }
files::TableFile& GlucoseFile() { return instance(kGlu, GlucoseTable(), &GLU, nullptr); }
files::TableFile& PrescriptsFile() { return instance(kPre, PrescriptsTable(), &PRE, &PRE_SpecialInstructionsNotes); }
files::TableFile& ListFormatsFile() { return instance(kCfg, ListFormatsTable(), &CFG, nullptr); }

void ReleaseThreadFiles() {
    for (auto& f : tFiles) f.reset();
    files::ReleaseThreadConnections();
}

}  // namespace data
