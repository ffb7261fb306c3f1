#include "health/profile_rules.h"

#include "platform/runtime/fixed_string.h"

namespace health {

std::string ComposeDisplayName(std::string_view first, std::string_view last) {
    return std::string(rt::rtrim(first)) + " " + std::string(rt::rtrim(last));
}

Age AgeOn(rt::StdDate birth, rt::StdDate today) {
    const Age unknown{0, "******"};
    if (birth <= 0) return unknown;
    if (birth > today) {
        const rt::Ymd b = rt::ymdFromDate(birth);
        const auto earlier = rt::dateFromYmd(b.year - 100, b.month, b.day);
        if (!earlier || *earlier > today) return unknown;
        birth = *earlier;
    }
    const auto with = [](int n, const char* unit) { return Age{static_cast<double>(n), std::to_string(n) + unit}; };
    const int days = today - birth;
    if (days < 61) return with(days, " DAYS");
    const rt::Ymd b = rt::ymdFromDate(birth), t = rt::ymdFromDate(today);
    const int years = t.year - b.year;
    if (years <= 2) {
        const int months = years * 12 + (t.month - b.month) - (t.day < b.day ? 1 : 0);
        if (months <= 24) return with(months, " MOS");
    }
    const bool beforeBirthday = t.month < b.month || (t.month == b.month && t.day < b.day);
    return with(years - (beforeBirthday ? 1 : 0), " YRS");
}

}  // namespace health
