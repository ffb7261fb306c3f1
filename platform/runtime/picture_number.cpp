// Number pictures (@n...): the picture grammar, display, reading typed numbers, and field ranges.
#include <charconv>
#include <cmath>
#include <limits>

#include "platform/runtime/decimal.h"
#include "platform/runtime/picture.h"
#include "platform/runtime/picture_internal.h"

namespace rt {
namespace picture_detail {

std::int64_t pow10(int n) {
    static constexpr std::int64_t kTable[] = {1,
                                              10,
                                              100,
                                              1000,
                                              10000,
                                              100000,
                                              1000000,
                                              10000000,
                                              100000000,
                                              1000000000,
                                              10000000000,
                                              100000000000,
                                              1000000000000,
                                              10000000000000,
                                              100000000000000,
                                              1000000000000000,
                                              10000000000000000,
                                              100000000000000000,
                                              1000000000000000000};
    return n >= 0 && n <= 18 ? kTable[n] : 0;
}

std::optional<std::int64_t> doubleToScaled(double v, int places) {
    if (!std::isfinite(v) || std::fabs(v) >= 9.2e18) return std::nullopt;
    // The shortest fixed form that reads back as v: what the value "is" to a person.
    char buf[512];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
    if (res.ec != std::errc()) return std::nullopt;
    return textToScaled(std::string(buf, res.ptr), places);
}

std::optional<std::int64_t> rescale(std::int64_t scaled, int from, int to) {
    if (to >= from) {
        const int up = to - from;
        if (up > 18) return scaled == 0 ? std::optional<std::int64_t>(0) : std::nullopt;
        const std::int64_t f = pow10(up);
        if (scaled > std::numeric_limits<std::int64_t>::max() / f ||
            scaled < std::numeric_limits<std::int64_t>::min() / f)
            return std::nullopt;
        return scaled * f;
    }
    const bool neg = scaled < 0;
    std::uint64_t q = neg ? static_cast<std::uint64_t>(-(scaled + 1)) + 1 : static_cast<std::uint64_t>(scaled);
    // Half away from zero: the first digit dropped decides.
    for (int i = 0; i < from - to - 1; ++i) q /= 10;
    const bool up = q % 10 >= 5;
    q = q / 10 + (up ? 1 : 0);
    const auto r = static_cast<std::int64_t>(q);
    return neg ? -r : r;
}

double scaledToDouble(std::int64_t scaled, int places) {
    return static_cast<double>(scaled) / static_cast<double>(pow10(places));
}

}  // namespace picture_detail

using namespace picture_detail;

namespace {

std::string group(const std::string& digits, char sep) {
    if (!sep || digits.size() <= 3) return digits;
    std::string out;
    const std::size_t first = digits.size() % 3 == 0 ? 3 : digits.size() % 3;
    out.append(digits, 0, first);
    for (std::size_t i = first; i < digits.size(); i += 3) {
        out += sep;
        out.append(digits, i, 3);
    }
    return out;
}

std::uint64_t magnitude(std::int64_t v) {
    return v < 0 ? static_cast<std::uint64_t>(-(v + 1)) + 1 : static_cast<std::uint64_t>(v);
}

// Strips what a typed number may carry around its digits. On success *canon holds digits with at
// most one '.', *neg the sign, *explicitPoint whether a decimal separator was typed.
bool cleanNumber(std::string_view typed, char decimal, std::string* canon, bool* neg, bool* explicitPoint,
                 std::string* error) {
    const std::string_view all = trim(typed);
    std::string_view s = all;
    auto refuse = [&] {
        setError(error, "\"" + std::string(all) + "\" is not a number.");
        return false;
    };
    int signs = 0;
    *neg = false;
    // A currency sign may stand outside the parentheses of a negative: "$(1.50)", "(1.50)$".
    while (!s.empty() && (s.front() == '$' || s.front() == ' ')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == '$' || s.back() == ' ')) s.remove_suffix(1);
    if (s.size() >= 2 && s.front() == '(' && s.back() == ')') {
        *neg = true;
        ++signs;
        s = trim(s.substr(1, s.size() - 2));
    }
    auto signOrCurrency = [&](char c) {
        if (c == '$' || c == ' ') return true;
        if (c == '-' || c == '+') {
            ++signs;
            if (c == '-') *neg = true;
            return true;
        }
        return false;
    };
    // Asterisks are the fill of a cheque-style picture.
    while (!s.empty() && (signOrCurrency(s.front()) || s.front() == '*')) s.remove_prefix(1);
    while (!s.empty() && signOrCurrency(s.back())) s.remove_suffix(1);
    if (signs > 1) return refuse();
    const char groupSep = decimal == ',' ? '.' : ',';
    canon->clear();
    *explicitPoint = false;
    bool digits = false;
    // Separators must stand between groups of three ("1,234"), so that "1,5" typed for one and a
    // half is refused instead of read as fifteen.
    int lead = 0, group = -1;
    auto groupsEnd = [&] { return group == -1 || group == 3; };
    for (const char c : s) {
        if (isDigit(c)) {
            *canon += c;
            digits = true;
            if (!*explicitPoint) ++(group == -1 ? lead : group);
        } else if (c == decimal && !*explicitPoint) {
            if (!groupsEnd()) return refuse();
            *canon += '.';
            *explicitPoint = true;
        } else if (c == groupSep && !*explicitPoint && (group == -1 ? lead >= 1 && lead <= 3 : group == 3)) {
            group = 0;
        } else {
            return refuse();
        }
    }
    if (!digits || !groupsEnd()) return refuse();
    return true;
}

std::string plainScaled(std::int64_t v, int places, char point) {
    std::string s = scaledToText(v, places);
    if (point == ',')
        for (char& c : s)
            if (c == '.') c = ',';
    return s;
}

}  // namespace

std::optional<Picture> Picture::ParseNumberPicture(std::string_view b, std::string* error) {
    Picture p;
    p.kind_ = Kind::Number;
    NumberForm& f = p.num_;
    std::size_t i = 0;
    auto at = [&](std::size_t k) { return k < b.size() ? b[k] : '\0'; };
    auto fail = [&](std::string msg) -> std::optional<Picture> {
        setError(error, std::move(msg));
        return std::nullopt;
    };
    bool currency = false, sign = false;
    for (char c = at(i); c == '$' || c == '-' || c == '('; c = at(++i)) {
        if (c == '$' ? currency : sign) return fail(std::string("'") + c + "' given twice");
        (c == '$' ? currency : sign) = true;
        f.lead += c;
        if (c == '-') f.leadMinus = true;
        if (c == '(') f.parens = true;
    }
    if (at(i) == '0' || at(i) == '_' || at(i) == '*') {
        f.fill = at(i) == '*' ? '*' : '0';
        ++i;
    }
    if (!isDigit(at(i))) return fail("the width is missing");
    int w = 0;
    while (isDigit(at(i))) {
        w = w * 10 + (at(i++) - '0');
        if (w > 64) return fail("the width is more than 64");
    }
    if (w < 1) return fail("the width must be at least 1");
    p.width_ = w;
    if (at(i) == ',') {
        f.grouping = ',';
        ++i;
    } else if (at(i) == '.' && (at(i + 1) == '`' || lower(at(i + 1)) == 'v')) {
        f.grouping = '.';
        ++i;
    }
    if (at(i) == '.' || at(i) == '`' || lower(at(i)) == 'v') {
        f.point = at(i) == '.' ? '.' : at(i) == '`' ? ',' : '\0';
        ++i;
        if (!isDigit(at(i))) return fail("the number of decimal places is missing");
        int pl = 0;
        while (isDigit(at(i))) {
            pl = pl * 10 + (at(i++) - '0');
            if (pl > 15) return fail("more than 15 decimal places");
        }
        p.places_ = pl;
    }
    for (char c = at(i); c == '-' || c == ')' || c == '$'; c = at(++i)) {
        if (c == '$' && currency) return fail("'$' given twice");
        if (c == '-' && sign) return fail("a second sign form");
        if (c == ')' && !f.parens) return fail("')' without '('");
        if (c == ')' && f.trail.find(')') != std::string::npos) return fail("')' given twice");
        if (c == '$') currency = true;
        if (c == '-') {
            sign = true;
            f.trailMinus = true;
        }
        f.trail += c;
    }
    if (lower(at(i)) == 'b') {
        f.blankZero = true;
        ++i;
    }
    if (at(i) == '@' && i + 1 == b.size()) ++i;  // closing '@' of a list-format column
    if (i != b.size()) return fail(std::string("unexpected '") + b[i] + "'");
    if (f.parens && f.trail.find(')') == std::string::npos) return fail("'(' without ')'");
    if (f.grouping && f.grouping == f.point) return fail("the grouping and the decimal separator are the same");
    if (f.grouping && !f.point && p.places_ > 0) return fail("grouping with implied decimals");
    const bool blank = f.blankZero;
    f.blankZero = false;
    if (!p.NumberText(0)) return fail("the width is too small to show zero");
    f.blankZero = blank;
    return p;
}

std::optional<std::string> Picture::NumberText(std::int64_t scaled) const {
    const NumberForm& f = num_;
    if (scaled == 0 && f.blankZero) return std::string();
    const bool neg = scaled < 0;
    const std::uint64_t a = magnitude(scaled);
    std::string intDigits, frac;
    if (!f.point && places_ > 0) {
        intDigits = std::to_string(a);  // implied decimals: every digit, no separator
    } else {
        const auto div = static_cast<std::uint64_t>(pow10(places_));
        intDigits = std::to_string(a / div);
        if (places_ > 0) {
            frac = std::to_string(a % div);
            frac.insert(0, static_cast<std::size_t>(places_) - frac.size(), '0');
        }
    }
    std::string pre, post;
    if (neg && !allowsNegative()) pre += '-';  // never show a negative as its absolute value
    for (const char c : f.lead)
        if (c == '$' || neg) pre += c;
    for (const char c : f.trail)
        if (c == '$' || neg) post += c;
    auto body = [&](const std::string& digits) {
        std::string s = group(digits, f.grouping);
        if (places_ > 0 && f.point) {
            s += f.point;
            s += frac;
        }
        return s;
    };
    const auto w = static_cast<std::size_t>(width_);
    if (f.fill == '0') {
        for (;;) {
            const std::string more = '0' + intDigits;
            if (pre.size() + body(more).size() + post.size() > w) break;
            intDigits = more;
        }
    }
    std::string mid = body(intDigits);
    std::string out = pre;
    if (f.fill == '*' && pre.size() + mid.size() + post.size() < w)
        out.append(w - pre.size() - mid.size() - post.size(), '*');
    out += mid;
    out += post;
    if (out.size() > w) return std::nullopt;
    return out;
}

std::string Picture::FormatNumber(double v) const {
    if (kind_ == Kind::Number) {
        const auto s = doubleToScaled(v, places_);
        if (!s) return Overflow();
        return NumberText(*s).value_or(Overflow());
    }
    if (kind_ == Kind::Text || kind_ == Kind::KeyIn) {
        if (!std::isfinite(v)) return FormatText("");
        char buf[64];
        const auto res = std::to_chars(buf, buf + sizeof buf, v);
        return FormatText(std::string_view(buf, static_cast<std::size_t>(res.ptr - buf)));
    }
    const auto s = doubleToScaled(v, 0);
    if (!s) return kind_ == Kind::Date || kind_ == Kind::Time ? std::string() : Overflow();
    return FormatScaled(*s, 0);
}

std::string Picture::FormatScaled(std::int64_t scaled, int places) const {
    switch (kind_) {
        case Kind::Number: {
            const auto s = rescale(scaled, places, places_);
            if (!s) return Overflow();
            return NumberText(*s).value_or(Overflow());
        }
        case Kind::Text:
        case Kind::KeyIn:
            return FormatText(scaledToText(scaled, places));
        case Kind::Date:
        case Kind::Time: {
            const auto s = rescale(scaled, places, 0);
            if (!s || *s <= 0 || *s > std::numeric_limits<std::int32_t>::max()) return std::string();
            const auto v = static_cast<std::int32_t>(*s);
            return kind_ == Kind::Date ? FormatDate(v) : FormatTime(v);
        }
        case Kind::Pattern: {
            const auto s = rescale(scaled, places, 0);
            if (!s) return PatternFromDigits(std::string(static_cast<std::size_t>(DigitSlots()) + 1, '9'));
            if (*s == 0) return std::string();
            if (*s < 0) return PatternFromDigits(std::string(static_cast<std::size_t>(DigitSlots()) + 1, '9'));
            return PatternFromDigits(std::to_string(*s));
        }
    }
    return std::string();
}

std::string Picture::RangeMessage(std::string_view typed) const {
    std::int64_t hi = 0;
    for (int k = 18 - places_; k >= 0; --k) {
        const std::int64_t v = pow10(k + places_) - 1;
        if (NumberText(v)) {
            hi = v;
            break;
        }
    }
    std::int64_t lo = 0;
    if (allowsNegative()) {
        for (int k = 18 - places_; k >= 0; --k) {
            const std::int64_t v = -(pow10(k + places_) - 1);
            if (NumberText(v)) {
                lo = v;
                break;
            }
        }
    }
    const char point = num_.point == ',' ? ',' : '.';
    return "\"" + std::string(trim(typed)) + "\" is out of range: this field takes " +
           plainScaled(lo, places_, point) + " to " + plainScaled(hi, places_, point) + ".";
}

std::optional<std::int64_t> Picture::ParseOwnScaled(std::string_view typed, std::string* error) const {
    if (trim(typed).empty()) return 0;
    std::string canon;
    bool neg = false, point = false;
    // The decimal separator read: the picture's own; with implied decimals, the one its grouping
    // leaves free ("@n7.v0" shows "4.567", which is four thousand, not four and a half).
    const char decimal = num_.point == ',' || (!num_.point && num_.grouping == '.') ? ',' : '.';
    if (!cleanNumber(typed, decimal, &canon, &neg, &point, error)) return std::nullopt;
    // Implied decimals: typed digits are the scaled value unless a point was typed.
    const auto s = textToScaled(canon, !num_.point && !point ? 0 : places_);
    if (!s) {
        setError(error, RangeMessage(typed));
        return std::nullopt;
    }
    const std::int64_t v = neg ? -*s : *s;
    if ((v < 0 && !allowsNegative()) || !NumberText(v)) {
        setError(error, RangeMessage(typed));
        return std::nullopt;
    }
    return v;
}

std::optional<std::int64_t> Picture::ParseScaled(std::string_view typed, int places, std::string* error) const {
    switch (kind_) {
        case Kind::Number: {
            const auto s = ParseOwnScaled(typed, error);
            if (!s) return std::nullopt;
            const auto r = rescale(*s, places_, places);
            if (!r) setError(error, RangeMessage(typed));
            return r;
        }
        case Kind::Date:
        case Kind::Time: {
            const auto d = kind_ == Kind::Date ? ParseDate(typed, error) : ParseTime(typed, error);
            if (!d) return std::nullopt;
            return rescale(*d, 0, places);
        }
        case Kind::Pattern: {
            const auto digits = ParsePatternDigits(typed, error);
            if (!digits) return std::nullopt;
            if (digits->empty()) return 0;
            const auto v = textToScaled(*digits, places);
            if (!v) setError(error, "\"" + std::string(trim(typed)) + "\" is too large.");
            return v;
        }
        default: {
            if (trim(typed).empty()) return 0;
            std::string canon;
            bool neg = false, point = false;
            if (!cleanNumber(typed, '.', &canon, &neg, &point, error)) return std::nullopt;
            const auto s = textToScaled(canon, places);
            if (!s) {
                setError(error, "\"" + std::string(trim(typed)) + "\" is too large.");
                return std::nullopt;
            }
            return neg ? -*s : *s;
        }
    }
}

std::optional<double> Picture::ParseNumber(std::string_view typed, std::string* error) const {
    switch (kind_) {
        case Kind::Number: {
            const auto s = ParseOwnScaled(typed, error);
            if (!s) return std::nullopt;
            return scaledToDouble(*s, places_);
        }
        case Kind::Date:
        case Kind::Time: {
            const auto d = kind_ == Kind::Date ? ParseDate(typed, error) : ParseTime(typed, error);
            if (!d) return std::nullopt;
            return static_cast<double>(*d);
        }
        case Kind::Pattern: {
            const auto digits = ParsePatternDigits(typed, error);
            if (!digits) return std::nullopt;
            double v = 0;
            std::from_chars(digits->data(), digits->data() + digits->size(), v);
            return v;
        }
        default: {
            if (trim(typed).empty()) return 0.0;
            std::string canon;
            bool neg = false, point = false;
            if (!cleanNumber(typed, '.', &canon, &neg, &point, error)) return std::nullopt;
            double v = 0;
            std::from_chars(canon.data(), canon.data() + canon.size(), v);
            return neg ? -v : v;
        }
    }
}

bool FitsFieldScaled(FieldType type, int size, int places, std::int64_t scaled, int valuePlaces,
                     std::string* error) {
    std::int64_t lo = 0, hi = 0;
    int target = 0;
    switch (type) {
        case FieldType::Byte:
            hi = 255;
            break;
        case FieldType::Short:
            lo = -32768;
            hi = 32767;
            break;
        case FieldType::Long:
        case FieldType::Date:
        case FieldType::Time:
            lo = type == FieldType::Long ? std::numeric_limits<std::int32_t>::min() : 0;
            hi = std::numeric_limits<std::int32_t>::max();
            break;
        case FieldType::Real:
            return true;
        case FieldType::Decimal: {
            const int digits = 2 * size - 1;
            if (size < 1 || digits > 18 || places < 0 || places > digits) {
                setError(error, "The field cannot hold this number.");
                return false;
            }
            target = places;
            hi = pow10(digits) - 1;
            lo = -hi;
            break;
        }
        case FieldType::String:
        case FieldType::CString:
            setError(error, "This field holds text, not a number.");
            return false;
    }
    const auto v = rescale(scaled, valuePlaces, target);
    if (v && *v >= lo && *v <= hi) return true;
    setError(error, "The value must be between " + scaledToText(lo, target) + " and " + scaledToText(hi, target) + ".");
    return false;
}

bool FitsField(FieldType type, int size, int places, double value, std::string* error) {
    if (!std::isfinite(value) && type != FieldType::String && type != FieldType::CString) {
        setError(error, "The value is not a number.");
        return false;
    }
    if (type == FieldType::Real) return true;
    const int target = type == FieldType::Decimal ? places : 0;
    // Beyond 64 bits is beyond every field; the scaled check words the message.
    const std::int64_t beyond =
        value < 0 ? std::numeric_limits<std::int64_t>::min() : std::numeric_limits<std::int64_t>::max();
    const auto s = doubleToScaled(value, target);
    return FitsFieldScaled(type, size, places, s.value_or(beyond), s ? target : 0, error);
}

}  // namespace rt
