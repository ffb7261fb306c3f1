#pragma once
// Operations of the expression language on values (see expression.h for the rules).
#include <compare>
#include <string>
#include <string_view>

#include "platform/runtime/expression.h"

namespace rt::detail {

// Text with text: bytes, case-sensitive, trailing blanks ignored; otherwise as numbers.
// Unordered when a number is NaN.
std::partial_ordering Compare(const ExprValue& a, const ExprValue& b);
ExprValue Add(const ExprValue& a, const ExprValue& b, bool subtract = false);
ExprValue Multiply(const ExprValue& a, const ExprValue& b);
ExprValue Divide(const ExprValue& a, const ExprValue& b);  // by zero: 0
ExprValue Negate(const ExprValue& a);
std::string ClipText(std::string_view s);  // without trailing blanks

}  // namespace rt::detail
