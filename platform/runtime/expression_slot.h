#pragma once
// Inside of the expression name table: what one bound name holds. Shared between the thread's
// table and the expressions compiled against it, so a rebinding reaches them and an unbinding
// leaves them reading empty text instead of a buffer that is gone.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <variant>

#include "platform/runtime/expression.h"
#include "platform/runtime/record_layout.h"

namespace rt::detail {

struct FieldBinding {
    FieldDesc field;
    const unsigned char* base;
};
struct MemoBinding {
    const std::string* memo;
    std::size_t maxLength;
};
struct TextBinding {
    std::function<std::string()> get;
};
struct NumberBinding {
    std::function<double()> get;
};

struct ExprSlot {
    std::variant<std::monostate, FieldBinding, MemoBinding, TextBinding, NumberBinding> binding;
    // The current value; empty text when unbound or when a getter throws.
    ExprValue read() const;
};

// The calling thread's slot for a bound name; nullptr when the name is not bound.
std::shared_ptr<const ExprSlot> FindBoundSlot(std::string_view name);

// A field's value from a record buffer: text for STRING/CSTRING, numbers for the rest
// (a DATE its standard date, a TIME its standard time, a DECIMAL its exact value).
ExprValue ReadField(const FieldDesc& field, const unsigned char* base);

}  // namespace rt::detail
