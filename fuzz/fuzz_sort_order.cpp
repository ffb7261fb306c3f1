// Added sort orders as stored text: fields named in any case with a direction, or refused.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/classes/view_reader.h"

namespace {
const std::array<rt::FieldDesc, 3> kFields{{
    {1, "T:NAME", rt::FieldType::String, 20, 0},
    {2, "T:DATEFILLED", rt::FieldType::Long, 4, 20},
    {3, "T:COUNT", rt::FieldType::Short, 2, 24},
}};
const rt::TableDesc kTable{"Things", "T", "things", 26, kFields, {}, nullptr};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto order = cls::ViewReader::ParseOrder(text, kTable, &error);
    if (!order && error.empty()) std::abort();
    if (order)
        for (const rt::KeyComponent& k : *order)
            if (!kTable.field(k.field)) std::abort();
    return 0;
}
