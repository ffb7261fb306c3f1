#pragma once
// The calling thread's record buffers and table instances. Every thread has its own: PRE.DRNAME is
// this thread's PRE:DRNAME. Instances are made on first use and released when the thread's data
// ends (after its table objects are torn down).
#include <string>

#include "data/list_format_record.h"
#include "data/persons_record.h"
#include "data/records.h"
#include "platform/files/table_file.h"

namespace data {

inline thread_local ManufacturerRecord MAN{};
inline thread_local FormRecord FOR{};
inline thread_local DoctorsRecord DOC{};
inline thread_local PlanNameRecord PLA{};
inline thread_local PharmacyRecord PHA{};
inline thread_local PersonsNameRecord PER{};
inline thread_local DrugNamesRecord DRU{};
inline thread_local BloodpreRecord BLO{};
inline thread_local GlucoseRecord GLU{};
inline thread_local PrescriptsRecord PRE{};
inline thread_local ListFormatRecord CFG{};

// The two memos, kept with their records.
inline thread_local std::string PRE_SpecialInstructionsNotes;
inline thread_local std::string PER_OtherConditions;

files::TableFile& ManufacturerFile();
files::TableFile& FormFile();
files::TableFile& DoctorsFile();
files::TableFile& PlanNameFile();
files::TableFile& PharmacyFile();
files::TableFile& PersonsNameFile();
files::TableFile& DrugNamesFile();
files::TableFile& BloodpreFile();
files::TableFile& GlucoseFile();
files::TableFile& PrescriptsFile();
files::TableFile& ListFormatsFile();

// Destroys this thread's table instances (closing them), then its connections.
void ReleaseThreadFiles();

}  // namespace data
