#pragma once
// Record buffer of the list-format file "Formats.FDB": one record per list box and column layout,
// written by the list-format manager of each list.
#include <cstddef>
#include <cstdint>

#include "platform/runtime/record_layout.h"

namespace data {

#pragma pack(push, 1)
// ListFormats: 9 fields, 7265 bytes.
struct ListFormatRecord {
    char APPNAME[30];
    char PROCID[30];
    std::int16_t USERID;
    std::int16_t CTRLID;
    std::int16_t FORMATID;
    char FORMATNAME[30];
    std::uint8_t FLAG;
    char FORMAT[5120];
    char VARLINE[2048];
};
#pragma pack(pop)

static_assert(sizeof(ListFormatRecord) == 7265);

// Descriptor of the list-format file: key CFG:KEY_MAIN (application, procedure, user, control,
// format number), unique.
const rt::TableDesc& ListFormatsTable();

// CFG:FLAG bits.
inline constexpr std::uint8_t kFormatLocked = 1;   // stored layout is not overwritten automatically
inline constexpr std::uint8_t kFormatCurrent = 2;  // the list's current format

}  // namespace data
