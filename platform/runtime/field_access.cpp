#include "platform/runtime/field_access.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "platform/runtime/decimal.h"
#include "platform/runtime/fixed_string.h"
#include "platform/runtime/std_date.h"

namespace rt {
namespace {

const char* at(const FieldDesc& f, const void* r) { return static_cast<const char*>(r) + f.offset; }
char* at(const FieldDesc& f, void* r) { return static_cast<char*>(r) + f.offset; }

template <typename T>
T load(const FieldDesc& f, const void* r) {
    T v;
    std::memcpy(&v, at(f, r), sizeof v);
    return v;
}
template <typename T>
void store(const FieldDesc& f, void* r, T v) {
    std::memcpy(at(f, r), &v, sizeof v);
}

std::int64_t decimalScaled(const FieldDesc& f, const void* r) {
    return packedDecimalScaled(reinterpret_cast<const unsigned char*>(at(f, r)), f.size);
}

bool setDecimalScaled(const FieldDesc& f, void* r, std::int64_t v) {
    return setPackedDecimalScaled(reinterpret_cast<unsigned char*>(at(f, r)), f.size, v);
}

}  // namespace

double leadingNumber(std::string_view t) {
    std::size_t i = 0;
    while (i < t.size() && t[i] == ' ') ++i;
    const std::size_t start = i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, ++digits;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, ++digits;
    }
    if (digits == 0) return 0.0;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < t.size() && (t[j] == '+' || t[j] == '-')) ++j;
        std::size_t expDigits = 0;
        while (j < t.size() && std::isdigit(static_cast<unsigned char>(t[j]))) ++j, ++expDigits;
        if (expDigits > 0) i = j;
    }
    const std::string number(t.substr(start, i - start));
    return std::strtod(number.c_str(), nullptr);
}

std::string fieldText(const FieldDesc& f, const void* r) {
    switch (f.type) {
        case FieldType::String: return std::string(clipped(at(f, r), f.size));
        case FieldType::CString: return std::string(cstringView(at(f, r), f.size));
        case FieldType::Byte: return std::to_string(load<std::uint8_t>(f, r));
        case FieldType::Short: return std::to_string(load<std::int16_t>(f, r));
        case FieldType::Long: return std::to_string(load<std::int32_t>(f, r));
        case FieldType::Real: {
            const double d = load<double>(f, r);
            if (d == std::trunc(d) && std::fabs(d) < 1e15) return std::to_string(static_cast<long long>(d));
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.15g", d);
            return buf;
        }
        case FieldType::Decimal: return scaledToText(decimalScaled(f, r), f.places);
        case FieldType::Date: return std::to_string(load<DateField>(f, r).get());
        case FieldType::Time: return std::to_string(load<TimeField>(f, r).get());
    }
    return {};
}

double fieldNumber(const FieldDesc& f, const void* r) {
    switch (f.type) {
        case FieldType::String:
        case FieldType::CString: return leadingNumber(fieldText(f, r));
        case FieldType::Byte: return load<std::uint8_t>(f, r);
        case FieldType::Short: return load<std::int16_t>(f, r);
        case FieldType::Long: return load<std::int32_t>(f, r);
        case FieldType::Real: return load<double>(f, r);
        case FieldType::Decimal: {
            double d = static_cast<double>(decimalScaled(f, r));
            for (int i = 0; i < f.places; ++i) d /= 10.0;
            return d;
        }
        case FieldType::Date: return load<DateField>(f, r).get();
        case FieldType::Time: return load<TimeField>(f, r).get();
    }
    return 0.0;
}

bool setFieldNumber(const FieldDesc& f, void* r, double v) {
    if (!std::isfinite(v)) return false;
    switch (f.type) {
        case FieldType::String:
        case FieldType::CString: {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.15g", v);
            return setFieldText(f, r, buf);
        }
        case FieldType::Byte:
            if (v < 0 || v > 255) return false;
            store<std::uint8_t>(f, r, static_cast<std::uint8_t>(v));
            return true;
        case FieldType::Short:
            if (v < -32768 || v > 32767) return false;
            store<std::int16_t>(f, r, static_cast<std::int16_t>(v));
            return true;
        case FieldType::Long:
            if (v < -2147483648.0 || v > 2147483647.0) return false;
            store<std::int32_t>(f, r, static_cast<std::int32_t>(v));
            return true;
        case FieldType::Real: store<double>(f, r, v); return true;
        case FieldType::Decimal: {
            double s = v;
            for (int i = 0; i < f.places; ++i) s *= 10.0;
            s = std::round(s);
            if (std::fabs(s) > 9.2e18) return false;
            return setDecimalScaled(f, r, static_cast<std::int64_t>(s));
        }
        case FieldType::Date: {
            if (v < 0 || v > 3000000) return false;
            DateField d;
            d.set(static_cast<StdDate>(v));
            store(f, r, d);
            return true;
        }
        case FieldType::Time: {
            if (v < 0 || v > 8640000) return false;
            TimeField t;
            t.set(static_cast<StdTime>(v));
            store(f, r, t);
            return true;
        }
    }
    return false;
}

bool setFieldText(const FieldDesc& f, void* r, std::string_view text) {
    switch (f.type) {
        case FieldType::String: assignPadded(at(f, r), f.size, text); return true;
        case FieldType::CString: assignCString(at(f, r), f.size, text); return true;
        case FieldType::Decimal: {
            auto s = textToScaled(std::string(text), f.places);
            return s && setDecimalScaled(f, r, *s);
        }
        default: {
            std::string t(rtrim(text));
            std::size_t i = 0;
            while (i < t.size() && t[i] == ' ') ++i;
            if (i == t.size()) return setFieldNumber(f, r, 0.0);
            char* end = nullptr;
            const double v = std::strtod(t.c_str() + i, &end);
            if (end == t.c_str() + i || *end != '\0') return false;
            return setFieldNumber(f, r, v);
        }
    }
}

bool fieldIsEmpty(const FieldDesc& f, const void* r) {
    const char* p = at(f, r);
    if (f.type == FieldType::String) return clipped(p, f.size).empty();
    if (f.type == FieldType::CString) return cstringView(p, f.size).empty();
    if (f.type == FieldType::Real) return load<double>(f, r) == 0.0;
    if (f.type == FieldType::Decimal) return decimalScaled(f, r) == 0;
    for (std::size_t i = 0; i < f.size; ++i)
        if (p[i] != 0) return false;
    return true;
}

void clearField(const FieldDesc& f, void* r) { std::memset(at(f, r), f.type == FieldType::String ? ' ' : 0, f.size); }

void clearRecord(const TableDesc& d, void* r) {
    for (const auto& f : d.fields) clearField(f, r);
}

}  // namespace rt
