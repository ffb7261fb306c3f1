#include "platform/classes/list_seeker.h"

#include <cctype>
#include <string>

#include "platform/runtime/field_access.h"

namespace cls {

void ListSeeker::Initialise(const rt::FieldDesc* field, bool ignoreCase, bool descending) {
    field_ = field;
    ignoreCase_ = ignoreCase;
    descending_ = descending;
}

bool ListSeeker::Seek(char typed, ListPager& pager, files::TableFile& file) const {
    if (!field_ || static_cast<unsigned char>(typed) < 0x20) return false;
    char c = typed;
    if (ignoreCase_) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    rt::clearRecord(file.desc(), file.buffer());
    if (field_->type == rt::FieldType::String) {
        std::string text(1, c);
        if (descending_) text.append(field_->size - 1, '\xFF');
        rt::setFieldText(*field_, file.buffer(), text);
    } else if (!std::isdigit(static_cast<unsigned char>(c)) ||
               !rt::setFieldText(*field_, file.buffer(), std::string(1, c))) {
        return false;
    }
    pager.LocateBufferKey();
    return true;
}

}  // namespace cls
