#pragma once
// What the health-profile form showed when its window opened, kept to tell on OK whether the
// profile changed: the person's name, address, contacts, plan, conditions, equipment, allergies,
// other conditions and immunisations. Age, the stamp itself, weight, height, marital status, the
// separate first and last name and the doctor visits are not part of it: changing only those
// leaves the date and time of the last change as they were.
#include <string>
#include <string_view>

#include "data/persons_record.h"

namespace health {

class ProfileSnapshot {
public:
    void Take(const data::PersonsNameRecord& person, std::string_view otherConditions);
    void Clear();
    bool taken() const { return taken_; }
    // Whether a covered field or the other conditions differ from what was taken (true when
    // nothing was taken). Texts compare blank-padded, the e-mail address up to its end.
    bool Differs(const data::PersonsNameRecord& person, std::string_view otherConditions) const;

private:
    bool taken_ = false;
    data::PersonsNameRecord copy_{};
    std::string otherConditions_;
};

}  // namespace health
