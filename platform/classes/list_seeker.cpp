#include "platform/classes/list_seeker.h"

#include <cctype>
#include <cstdint>
#include <limits>
#include <string>

#include "platform/runtime/field_access.h"

namespace cls {
namespace {

// Puts into a field the value that sorts first (`highest` false) or last (`highest` true) among
// what the field can hold. Text compares byte-wise after folding to lower case, so 0xFF is the
// highest character.
void setExtreme(const rt::FieldDesc& f, void* record, bool highest) {
    using T = rt::FieldType;
    switch (f.type) {
        case T::String: rt::setFieldText(f, record, highest ? std::string(f.size, '\xFF') : std::string()); return;
        case T::CString: rt::setFieldText(f, record, highest ? std::string(f.size - 1, '\xFF') : std::string()); return;
        case T::Byte: rt::setFieldNumber(f, record, highest ? 255 : 0); return;
        case T::Short: rt::setFieldNumber(f, record, highest ? 32767 : -32768); return;
        case T::Long:
            rt::setFieldNumber(f, record, highest ? std::numeric_limits<std::int32_t>::max() : std::numeric_limits<std::int32_t>::min());
            return;
        case T::Real: rt::setFieldNumber(f, record, highest ? 1e300 : -1e300); return;
        case T::Decimal: {
            // A packed decimal holds 2 * size - 1 digits.
            const int digits = static_cast<int>(f.size) * 2 - 1;
            std::string nines = std::string(static_cast<std::size_t>(digits - f.places), '9');
            if (f.places > 0) nines += "." + std::string(static_cast<std::size_t>(f.places), '9');
            rt::setFieldText(f, record, (highest ? "" : "-") + nines);
            return;
        }
        case T::Date: case T::Time:
            // Dates and times are never negative: the lowest is zero, as cleared.
            if (highest) rt::setFieldNumber(f, record, f.type == T::Date ? 3000000 : 8640000);
            else rt::clearField(f, record);
            return;
    }
}

}  // namespace

void ListSeeker::Initialise(const rt::TableDesc& table, const rt::KeyDesc& key, bool ignoreCase) {
    table_ = &table;
    key_ = key.components.empty() ? nullptr : &key;
    ignoreCase_ = ignoreCase;
}

bool ListSeeker::Seek(char typed, ListPager& pager, files::TableFile& file) const {
    if (!key_ || static_cast<unsigned char>(typed) < 0x20) return false;
    const rt::FieldDesc* field = table_->field(key_->components.front().field);
    if (!field) return false;
    char c = typed;
    if (ignoreCase_) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    rt::clearRecord(file.desc(), file.buffer());
    if (field->type == rt::FieldType::String) {
        std::string text(1, c);
        if (key_->components.front().descending) text.append(field->size - 1, '\xFF');
        rt::setFieldText(*field, file.buffer(), text);
    } else if (!std::isdigit(static_cast<unsigned char>(c)) ||
               !rt::setFieldText(*field, file.buffer(), std::string(1, c))) {
        return false;
    }
    // Rows whose first field is exactly the typed character differ in the later fields: start
    // before the first of them in the order's own direction.
    for (std::size_t i = 1; i < key_->components.size(); ++i)
        if (const rt::FieldDesc* later = table_->field(key_->components[i].field))
            setExtreme(*later, file.buffer(), key_->components[i].descending);
    pager.LocateBufferKey();
    return true;
}

}  // namespace cls
