#include "health/profile_snapshot.h"

#include <cstring>

#include "platform/runtime/fixed_string.h"

namespace health {
namespace {

// The fields whose change counts as a change of the profile, by field number: 1 to 7 (name to
// birth date), 9 to 71 (gender to the last allergy), 74 to 93 (the immunisations). 8 is the age,
// 72 and 73 the stamp.
bool covered(int number) {
    return (number >= 1 && number <= 7) || (number >= 9 && number <= 71) || (number >= 74 && number <= 93);
}

constexpr std::size_t kMemoWidth = 1000;

std::string_view memoText(std::string_view memo) { return rt::rtrim(memo.substr(0, std::min(memo.size(), kMemoWidth))); }

}  // namespace

void ProfileSnapshot::Take(const data::PersonsNameRecord& person, std::string_view otherConditions) {
    copy_ = person;
    otherConditions_ = std::string(memoText(otherConditions));
    taken_ = true;
}

void ProfileSnapshot::Clear() {
    copy_ = {};
    otherConditions_.clear();
    taken_ = false;
}

bool ProfileSnapshot::Differs(const data::PersonsNameRecord& person, std::string_view otherConditions) const {
    if (!taken_) return true;
    const auto* now = reinterpret_cast<const char*>(&person);
    const auto* then = reinterpret_cast<const char*>(&copy_);
    for (const rt::FieldDesc& f : data::PersonsNameTable().fields) {
        if (!covered(f.number)) continue;
        const bool same = f.type == rt::FieldType::CString
                              ? rt::cstringView(now + f.offset, f.size) == rt::cstringView(then + f.offset, f.size)
                              : std::memcmp(now + f.offset, then + f.offset, f.size) == 0;
        if (!same) return true;
    }
    return memoText(otherConditions) != otherConditions_;
}

}  // namespace health
