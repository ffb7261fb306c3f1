#include "platform/window/use_variable.h"

#include <cmath>
#include <cstdio>

#include "platform/runtime/decimal.h"
#include "platform/runtime/field_access.h"

namespace wnd {
namespace {

using Kind = rt::Picture::Kind;

std::string trimRight(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

bool isText(rt::FieldType t) { return t == rt::FieldType::String || t == rt::FieldType::CString; }

std::string tooLong(std::size_t limit) {
    return "The text is too long: at most " + std::to_string(limit) + " characters fit here.";
}

// Typed text through a date, time or number picture to a number; nullopt with *error otherwise.
std::optional<double> parseNumeric(std::string_view typed, const rt::Picture& p, std::string* error) {
    switch (p.kind()) {
        case Kind::Date:
            if (auto d = p.ParseDate(typed, error)) return static_cast<double>(*d);
            return std::nullopt;
        case Kind::Time:
            if (auto t = p.ParseTime(typed, error)) return static_cast<double>(*t);
            return std::nullopt;
        default:
            return p.ParseNumber(typed, error);
    }
}

std::string formatNumeric(double v, const rt::Picture& p) {
    switch (p.kind()) {
        case Kind::Date: return p.FormatDate(static_cast<rt::StdDate>(v));
        case Kind::Time: return p.FormatTime(static_cast<rt::StdTime>(v));
        case Kind::Text: {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.15g", v);
            return p.FormatText(buf);
        }
        default: return p.FormatNumber(v);
    }
}

}  // namespace

UseVariable UseVariable::Field(const rt::FieldDesc& field, void* record) {
    UseVariable u;
    u.target_ = FieldRef{&field, record};
    return u;
}

UseVariable UseVariable::Text(std::string& value, std::size_t maxLength) {
    UseVariable u;
    u.target_ = TextRef{&value, maxLength};
    return u;
}

UseVariable UseVariable::Long(std::int32_t& value) {
    UseVariable u;
    u.target_ = &value;
    return u;
}

UseVariable UseVariable::Real(double& value) {
    UseVariable u;
    u.target_ = &value;
    return u;
}

std::string UseVariable::DefaultPicture() const {
    if (const auto* f = std::get_if<FieldRef>(&target_)) {
        const rt::FieldDesc& d = *f->field;
        switch (d.type) {
            case rt::FieldType::String: return "@s" + std::to_string(d.size);
            case rt::FieldType::CString: return "@s" + std::to_string(d.size > 0 ? d.size - 1 : 0);
            case rt::FieldType::Byte: return "@n3";
            case rt::FieldType::Short: return "@n-7";
            case rt::FieldType::Long: return "@n-14";
            case rt::FieldType::Real: return "@n-15.2";
            case rt::FieldType::Decimal:
                return "@n-" + std::to_string(2 * d.size + 1) + "." + std::to_string(d.places);
            case rt::FieldType::Date: return "@d17";
            case rt::FieldType::Time: return "@t7";
        }
    }
    if (const auto* t = std::get_if<TextRef>(&target_))
        return "@s" + std::to_string(t->maxLength ? t->maxLength : 255);
    if (std::holds_alternative<std::int32_t*>(target_)) return "@n-14";
    return "@n-15.2";
}

std::size_t UseVariable::TextRoom() const {
    if (const auto* f = std::get_if<FieldRef>(&target_)) {
        const rt::FieldDesc& d = *f->field;
        if (d.type == rt::FieldType::String) return d.size;
        if (d.type == rt::FieldType::CString) return d.size > 0 ? d.size - 1u : 0u;
        return 0;
    }
    if (const auto* t = std::get_if<TextRef>(&target_)) return t->maxLength;
    return 0;
}

std::string UseVariable::Format(const rt::Picture& p) const {
    if (const auto* f = std::get_if<FieldRef>(&target_)) {
        const rt::FieldDesc& d = *f->field;
        if (isText(d.type)) {
            const std::string text = rt::fieldText(d, f->record);
            if (p.kind() == Kind::Number || p.kind() == Kind::Date || p.kind() == Kind::Time)
                return formatNumeric(rt::leadingNumber(text), p);
            return p.FormatText(text);
        }
        if (d.type == rt::FieldType::Decimal && p.kind() == Kind::Number) {
            if (auto scaled = rt::textToScaled(rt::fieldText(d, f->record), d.places))
                return p.FormatScaled(*scaled, d.places);
        }
        return formatNumeric(rt::fieldNumber(d, f->record), p);
    }
    if (const auto* t = std::get_if<TextRef>(&target_)) return p.FormatText(*t->value);
    if (const auto* l = std::get_if<std::int32_t*>(&target_)) return formatNumeric(**l, p);
    if (const auto* r = std::get_if<double*>(&target_)) return formatNumeric(**r, p);
    return "";
}

bool UseVariable::Store(std::string_view typed, const rt::Picture& p, std::string* error) const {
    const bool numeric = p.kind() == Kind::Number || p.kind() == Kind::Date || p.kind() == Kind::Time;
    if (const auto* f = std::get_if<FieldRef>(&target_)) {
        const rt::FieldDesc& d = *f->field;
        if (isText(d.type)) {
            auto text = p.ParseText(typed, error);
            if (!text) return false;
            const std::size_t room = d.type == rt::FieldType::CString ? d.size - 1u : d.size;
            std::string value = trimRight(*text);
            if (value.size() > room) {
                if (error) *error = tooLong(room);
                return false;
            }
            return rt::setFieldText(d, f->record, value);
        }
        if (d.type == rt::FieldType::Decimal && p.kind() == Kind::Number) {
            auto scaled = p.ParseScaled(typed, d.places, error);
            if (!scaled || !rt::FitsFieldScaled(d.type, d.size, d.places, *scaled, d.places, error)) return false;
            return rt::setFieldText(d, f->record, rt::scaledToText(*scaled, d.places));
        }
        std::optional<double> v;
        if (numeric) {
            v = parseNumeric(typed, p, error);
        } else {
            // A number field shown through a text picture: the text must be a number.
            auto text = p.ParseText(typed, error);
            if (!text) return false;
            rt::Picture plain = *rt::Picture::Parse("@n-20.6", nullptr);
            v = plain.ParseNumber(*text, error);
        }
        if (!v || !rt::FitsField(d.type, d.size, d.places, *v, error)) return false;
        if (!rt::setFieldNumber(d, f->record, *v)) {
            if (error) *error = "The field cannot hold this value.";
            return false;
        }
        return true;
    }
    if (const auto* t = std::get_if<TextRef>(&target_)) {
        auto text = p.ParseText(typed, error);
        if (!text) return false;
        std::string value = trimRight(*text);
        if (t->maxLength && value.size() > t->maxLength) {
            if (error) *error = tooLong(t->maxLength);
            return false;
        }
        *t->value = std::move(value);
        return true;
    }
    if (const auto* l = std::get_if<std::int32_t*>(&target_)) {
        auto v = numeric ? parseNumeric(typed, p, error) : rt::Picture::Parse("@n-14", nullptr)->ParseNumber(typed, error);
        if (!v || !rt::FitsField(rt::FieldType::Long, 4, 0, *v, error)) return false;
        **l = static_cast<std::int32_t>(std::llround(*v));
        return true;
    }
    if (const auto* r = std::get_if<double*>(&target_)) {
        auto v = numeric ? parseNumeric(typed, p, error) : rt::Picture::Parse("@n-20.6", nullptr)->ParseNumber(typed, error);
        if (!v) return false;
        **r = *v;
        return true;
    }
    if (error) *error = "The control has no variable.";
    return false;
}

std::string UseVariable::Raw() const {
    if (const auto* f = std::get_if<FieldRef>(&target_)) return rt::fieldText(*f->field, f->record);
    if (const auto* t = std::get_if<TextRef>(&target_)) return *t->value;
    char buf[64];
    if (const auto* l = std::get_if<std::int32_t*>(&target_)) return std::to_string(**l);
    if (const auto* r = std::get_if<double*>(&target_)) {
        std::snprintf(buf, sizeof buf, "%.15g", **r);
        return buf;
    }
    return "";
}

bool UseVariable::SetRaw(std::string_view value) const {
    if (const auto* f = std::get_if<FieldRef>(&target_)) return rt::setFieldText(*f->field, f->record, value);
    if (const auto* t = std::get_if<TextRef>(&target_)) {
        if (t->maxLength && value.size() > t->maxLength) return false;
        *t->value = std::string(value);
        return true;
    }
    const double v = rt::leadingNumber(value);
    if (const auto* l = std::get_if<std::int32_t*>(&target_)) {
        if (!rt::FitsField(rt::FieldType::Long, 4, 0, v)) return false;
        **l = static_cast<std::int32_t>(std::llround(v));
        return true;
    }
    if (const auto* r = std::get_if<double*>(&target_)) {
        **r = v;
        return true;
    }
    return false;
}

}  // namespace wnd
