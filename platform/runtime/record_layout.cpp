#include "platform/runtime/record_layout.h"

#include "platform/runtime/codepage.h"

namespace rt {

const FieldDesc* TableDesc::fieldByName(std::string_view name) const {
    for (const auto& f : fields)
        if (rt::compareNoCase(f.name, name) == 0) return &f;
    return nullptr;
}

int TableDesc::keyIndex(std::string_view name) const {
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (rt::compareNoCase(keys[i].registeredName, name) == 0 || rt::compareNoCase(keys[i].declaredName, name) == 0)
            return static_cast<int>(i);
    return -1;
}

std::string validateLayout(const TableDesc& d) {
    std::size_t offset = 0;
    int number = 1;
    for (const auto& f : d.fields) {
        if (f.number != number) return std::string(f.name) + ": field number " + std::to_string(f.number) + ", expected " + std::to_string(number);
        if (f.offset != offset) return std::string(f.name) + ": offset " + std::to_string(f.offset) + ", expected " + std::to_string(offset);
        offset += f.size;
        ++number;
    }
    if (offset != d.recordSize) return std::string(d.label) + ": fields add up to " + std::to_string(offset) + " bytes, record is " + std::to_string(d.recordSize);
    for (const auto& keys : {d.keys, d.lookups})
        for (const auto& k : keys)
            for (const auto& c : k.components)
                if (!d.field(c.field)) return std::string(k.registeredName) + ": component names field " + std::to_string(c.field);
    for (const auto& k : d.keptSums)
        if (!d.field(k.sumField) || !d.field(k.whereField)) return std::string(k.name) + ": a kept sum over a field the table lacks";
    return {};
}

}  // namespace rt
