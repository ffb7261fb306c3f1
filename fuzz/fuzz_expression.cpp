// Filter and order texts as a damaged settings file or a user could hold them: compiled against a
// record's fields and named values, then evaluated.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/runtime/expression.h"

namespace {
struct Record {
    char name[20];
    std::int32_t count;
    double weight;
};

const rt::FieldDesc kName{1, "T:NAME", rt::FieldType::String, 20, offsetof(Record, name)};
const rt::FieldDesc kCount{2, "T:COUNT", rt::FieldType::Long, 4, offsetof(Record, count)};
const rt::FieldDesc kWeight{3, "T:WEIGHT", rt::FieldType::Real, 8, offsetof(Record, weight)};

Record& record() {
    static Record r = [] {
        Record x{};
        std::memcpy(x.name, "Amoxicillin         ", 20);
        x.count = 30;
        x.weight = 2.5;
        return x;
    }();
    return r;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool bound = [] {
        rt::BindField("T:NAME", kName, &record());
        rt::BindField("T:COUNT", kCount, &record());
        rt::BindField("T:WEIGHT", kWeight, &record());
        rt::BindText("owner", [] { return std::string("Pat Doe"); });
        rt::BindNumber("limit", [] { return 1e300; });
        return true;
    }();
    (void)bound;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto e = rt::Expression::Compile(text, &error);
    if (e) {
        const rt::ExprValue v = e->Evaluate();
        (void)v.text();
        (void)v.number();
        (void)v.truth();
    }
    return 0;
}
