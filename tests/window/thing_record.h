#pragma once
// A small record for the window tests: one field of each kind a form binds.
#include <array>
#include <cstddef>
#include <string>

#include "platform/runtime/decimal.h"
#include "platform/runtime/record_layout.h"
#include "platform/runtime/std_date.h"

namespace wtest {

#pragma pack(push, 1)
struct Thing {
    char name[10];
    std::int16_t count;
    rt::PackedDecimal<4, 2> price;  // 2 places: up to 99999.99
    rt::DateField bought;
    char active[1];
    char size[1];
};
#pragma pack(pop)

inline const std::array<rt::FieldDesc, 6> kThingFields{{
    {1, "THI:NAME", rt::FieldType::String, 10, offsetof(Thing, name)},
    {2, "THI:COUNT", rt::FieldType::Short, 2, offsetof(Thing, count)},
    {3, "THI:PRICE", rt::FieldType::Decimal, 4, offsetof(Thing, price), 2},
    {4, "THI:BOUGHT", rt::FieldType::Date, 4, offsetof(Thing, bought)},
    {5, "THI:ACTIVE", rt::FieldType::String, 1, offsetof(Thing, active)},
    {6, "THI:SIZE", rt::FieldType::String, 1, offsetof(Thing, size)},
}};

inline const rt::TableDesc kThingTable{"Things", "THI", "things", sizeof(Thing), kThingFields, {}, nullptr};

}  // namespace wtest

bool RegisterTestLayouts(std::string* error);

namespace wtest {
// Registers the test layouts once per test program.
inline bool TestLayoutsReady(std::string* error) {
    static std::string fault;
    static const bool ok = RegisterTestLayouts(&fault);
    if (error) *error = fault;
    return ok;
}
}  // namespace wtest
