#pragma once
// A control's use variable: a field of a record buffer, or one of the procedure's local variables.
// The task side owns it; the window formats it through the control's picture for display and reads
// typed text back through the same picture. Text is single-byte (Windows-1252) here.
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "platform/runtime/picture.h"
#include "platform/runtime/record_layout.h"

namespace wnd {

class UseVariable {
public:
    UseVariable() = default;
    static UseVariable Field(const rt::FieldDesc& field, void* record);
    // A local text; maxLength 0: no limit of its own (the picture's width still applies).
    static UseVariable Text(std::string& value, std::size_t maxLength = 0);
    static UseVariable Long(std::int32_t& value);
    static UseVariable Real(double& value);

    bool bound() const { return !std::holds_alternative<std::monostate>(target_); }

    // The picture a control shows this variable with when its layout names none.
    std::string DefaultPicture() const;
    // The characters a text variable holds; 0 for a number or a text without a limit of its own.
    std::size_t TextRoom() const;
    std::string Format(const rt::Picture& picture) const;
    // Reads typed text into the variable. On refusal the variable keeps its value and *error says why.
    bool Store(std::string_view typed, const rt::Picture& picture, std::string* error) const;

    // The value as plain text and set from plain text, without a picture (check boxes and options
    // store their values this way). SetRaw is false when the value does not fit.
    std::string Raw() const;
    bool SetRaw(std::string_view value) const;

private:
    struct FieldRef {
        const rt::FieldDesc* field;
        void* record;
    };
    struct TextRef {
        std::string* value;
        std::size_t maxLength;
    };
    std::variant<std::monostate, FieldRef, TextRef, std::int32_t*, double*> target_;
};

}  // namespace wnd
