// Values of the expression language and the operations on them.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "platform/runtime/decimal.h"
#include "platform/runtime/expression.h"
#include "platform/runtime/expression_ops.h"

namespace rt {
namespace {

__extension__ typedef __int128 Wide;

constexpr int kMaxPlaces = 18;

constexpr std::int64_t Pow10(int n) {
    std::int64_t p = 1;
    for (int i = 0; i < n; ++i) p *= 10;
    return p;
}

bool IsPad(char c) { return c == ' ' || c == '\0'; }

std::string_view Clipped(std::string_view s) {
    while (!s.empty() && IsPad(s.back())) s.remove_suffix(1);
    return s;
}

// Text read as a number: its longest leading number after blanks (sign, digits, one point,
// an exponent), as everywhere else that reads text as a number; 0 when it does not begin with one.
// Up to 18 significant digits without exponent stay exact.
ExprValue ParseNumber(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    const std::size_t start = i;
    std::uint64_t v = 0;
    int significant = 0, places = 0, digits = 0;
    bool point = false;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (c < '0' || c > '9') break;
        ++digits;
        if (point) ++places;
        if (significant > 0 || c != '0') ++significant;
        if (significant <= 18) v = v * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (digits == 0) return ExprValue::fromScaled(0);
    std::size_t end = i;
    bool exponent = false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        if (j < s.size() && s[j] >= '0' && s[j] <= '9') {
            while (j < s.size() && s[j] >= '0' && s[j] <= '9') ++j;
            exponent = true;
            end = j;
        }
    }
    if (!exponent && significant <= 18 && places <= kMaxPlaces) {
        const auto scaled = static_cast<std::int64_t>(v);
        return ExprValue::fromScaled(negative ? -scaled : scaled, places);
    }
    double d = 0;
    std::from_chars(s.data() + start, s.data() + end, d);  // locale-independent, unlike strtod
    return ExprValue::fromNumber(negative ? -d : d);
}

// Both exact values brought to the same places, when that fits.
bool Align(const ExprValue& a, const ExprValue& b, std::int64_t& va, std::int64_t& vb, int& places) {
    places = std::max(a.places(), b.places());
    return !__builtin_mul_overflow(a.scaled(), Pow10(places - a.places()), &va) &&
           !__builtin_mul_overflow(b.scaled(), Pow10(places - b.places()), &vb);
}

ExprValue Zero() { return ExprValue::fromScaled(0); }

}  // namespace

ExprValue ExprValue::fromText(std::string text) {
    ExprValue v;
    v.kind_ = Kind::Text;
    v.text_ = std::move(text);
    return v;
}

ExprValue ExprValue::fromNumber(double value) {
    ExprValue v;
    v.kind_ = Kind::Real;
    v.real_ = value;
    return v;
}

ExprValue ExprValue::fromScaled(std::int64_t scaled, int places) {
    if (places < 0 || places > kMaxPlaces) return fromNumber(static_cast<double>(scaled) / std::pow(10.0, places));
    ExprValue v;
    v.kind_ = Kind::Exact;
    v.scaled_ = scaled;
    v.places_ = static_cast<std::int8_t>(places);
    return v;
}

double ExprValue::number() const {
    switch (kind_) {
        case Kind::Exact: return static_cast<double>(scaled_) / static_cast<double>(Pow10(places_));
        case Kind::Real: return real_;
        case Kind::Text: return ParseNumber(text_).number();
    }
    return 0;
}

std::string ExprValue::text() const {
    switch (kind_) {
        case Kind::Exact: return scaledToText(scaled_, places_);
        case Kind::Real: {
            char buf[64];
            const auto r = std::to_chars(buf, buf + sizeof buf, real_);
            return std::string(buf, r.ptr);
        }
        case Kind::Text: return text_;
    }
    return {};
}

bool ExprValue::truth() const {
    switch (kind_) {
        case Kind::Exact: return scaled_ != 0;
        case Kind::Real: return real_ != 0 && !std::isnan(real_);
        case Kind::Text:
            for (char c : text_)
                if (!IsPad(c)) return true;
            return false;
    }
    return false;
}

ExprValue ExprValue::asNumber() const { return kind_ == Kind::Text ? ParseNumber(text_) : *this; }

namespace detail {

std::partial_ordering Compare(const ExprValue& a, const ExprValue& b) {
    if (a.isText() && b.isText()) {
        // char_traits<char> orders bytes as unsigned, so accented letters sort after ASCII.
        const int c = Clipped(a.textView()).compare(Clipped(b.textView()));
        return c < 0 ? std::partial_ordering::less : c > 0 ? std::partial_ordering::greater : std::partial_ordering::equivalent;
    }
    const ExprValue x = a.asNumber(), y = b.asNumber();
    if (x.isExact() && y.isExact()) {
        const int places = std::max(x.places(), y.places());
        const Wide vx = static_cast<Wide>(x.scaled()) * Pow10(places - x.places());
        const Wide vy = static_cast<Wide>(y.scaled()) * Pow10(places - y.places());
        return vx < vy ? std::partial_ordering::less : vx > vy ? std::partial_ordering::greater : std::partial_ordering::equivalent;
    }
    return x.number() <=> y.number();
}

ExprValue Add(const ExprValue& a, const ExprValue& b, bool subtract) {
    const ExprValue x = a.asNumber(), y = b.asNumber();
    if (x.isExact() && y.isExact()) {
        std::int64_t vx, vy, r;
        int places;
        if (Align(x, y, vx, vy, places) &&
            !(subtract ? __builtin_sub_overflow(vx, vy, &r) : __builtin_add_overflow(vx, vy, &r)))
            return ExprValue::fromScaled(r, places);
    }
    return ExprValue::fromNumber(subtract ? x.number() - y.number() : x.number() + y.number());
}

ExprValue Multiply(const ExprValue& a, const ExprValue& b) {
    const ExprValue x = a.asNumber(), y = b.asNumber();
    std::int64_t r;
    if (x.isExact() && y.isExact() && x.places() + y.places() <= kMaxPlaces &&
        !__builtin_mul_overflow(x.scaled(), y.scaled(), &r))
        return ExprValue::fromScaled(r, x.places() + y.places());
    return ExprValue::fromNumber(x.number() * y.number());
}

ExprValue Divide(const ExprValue& a, const ExprValue& b) {
    const ExprValue x = a.asNumber(), y = b.asNumber();
    const double divisor = y.number();
    if (divisor == 0 || std::isnan(divisor)) return Zero();  // defined as 0: a filter never faults
    return ExprValue::fromNumber(x.number() / divisor);
}

ExprValue Negate(const ExprValue& a) {
    const ExprValue x = a.asNumber();
    if (x.isExact() && x.scaled() != std::numeric_limits<std::int64_t>::min())
        return ExprValue::fromScaled(-x.scaled(), x.places());
    return ExprValue::fromNumber(-x.number());
}

std::string ClipText(std::string_view s) { return std::string(Clipped(s)); }

}  // namespace detail
}  // namespace rt
