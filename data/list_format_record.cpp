#include "data/list_format_record.h"

namespace data {

// Every field at its stored offset and size.
static_assert(offsetof(ListFormatRecord, APPNAME) == 0 && sizeof(ListFormatRecord::APPNAME) == 30);
static_assert(offsetof(ListFormatRecord, PROCID) == 30 && sizeof(ListFormatRecord::PROCID) == 30);
static_assert(offsetof(ListFormatRecord, USERID) == 60 && sizeof(ListFormatRecord::USERID) == 2);
static_assert(offsetof(ListFormatRecord, CTRLID) == 62 && sizeof(ListFormatRecord::CTRLID) == 2);
static_assert(offsetof(ListFormatRecord, FORMATID) == 64 && sizeof(ListFormatRecord::FORMATID) == 2);
static_assert(offsetof(ListFormatRecord, FORMATNAME) == 66 && sizeof(ListFormatRecord::FORMATNAME) == 30);
static_assert(offsetof(ListFormatRecord, FLAG) == 96 && sizeof(ListFormatRecord::FLAG) == 1);
static_assert(offsetof(ListFormatRecord, FORMAT) == 97 && sizeof(ListFormatRecord::FORMAT) == 5120);
static_assert(offsetof(ListFormatRecord, VARLINE) == 5217 && sizeof(ListFormatRecord::VARLINE) == 2048);

namespace {

// Size and offset straight from the struct, so a descriptor cannot drift from its buffer.
#define F(rec, member) static_cast<std::uint16_t>(sizeof(rec::member)), static_cast<std::uint16_t>(offsetof(rec, member))

constexpr rt::FieldDesc kListFormatFields[] = {
    {1, "CFG:APPNAME", rt::FieldType::String, F(ListFormatRecord, APPNAME)},
    {2, "CFG:PROCID", rt::FieldType::String, F(ListFormatRecord, PROCID)},
    {3, "CFG:USERID", rt::FieldType::Short, F(ListFormatRecord, USERID)},
    {4, "CFG:CTRLID", rt::FieldType::Short, F(ListFormatRecord, CTRLID)},
    {5, "CFG:FORMATID", rt::FieldType::Short, F(ListFormatRecord, FORMATID)},
    {6, "CFG:FORMATNAME", rt::FieldType::String, F(ListFormatRecord, FORMATNAME)},
    {7, "CFG:FLAG", rt::FieldType::Byte, F(ListFormatRecord, FLAG)},
    {8, "CFG:FORMAT", rt::FieldType::String, F(ListFormatRecord, FORMAT)},
    {9, "CFG:VARLINE", rt::FieldType::String, F(ListFormatRecord, VARLINE)},
};

#undef F

}  // namespace

const rt::TableDesc& ListFormatsTable() {
    // Unique: a list box has at most one record per format number.
    static const rt::KeyDesc keys[] = {
        {.declaredName = "CFG:KEY_MAIN", .registeredName = "CFG:KEY_MAIN",
         .components = {{1}, {2}, {3}, {4}, {5}},  // APPNAME, PROCID, USERID, CTRLID, FORMATID
         .dup = false, .opt = true, .nocase = true},
    };
    static const rt::TableDesc desc{"ListFormats", "CFG", "Formats.FDB", sizeof(ListFormatRecord), kListFormatFields, keys};
    return desc;
}

}  // namespace data
