#pragma once
// The expression language of record-view filters and added sort orders, stored as text:
//
//   (ORD:DueDate =>today() and ORD:DueDate <= Today()+30)
//   ORD:Active='Y'            Ord:owner=currentowner            +ORD:ItemName
//
// Names are bound per thread (each thread its own table) and match in any letter case; a field
// is read live from its record buffer each time an expression is evaluated.
//
// Operators, loosest first:
//   or                                   1 when either side is true
//   and                                  1 when both sides are true
//   not                                  1 when the operand is false
//   = <> ~= < > <= =< >= =>              1 or 0; "~=" is a spelling of "<>", "=<" of "<=", "=>" of ">="
//   &                                    text concatenation
//   + -                                  arithmetic
//   * /                                  arithmetic; division by zero gives 0
//   unary + -                            unary + leaves a value (even text) as it is
// Keywords and function names in any case; functions today(), clip(text), upper(text).
// Text literals in single quotes, '' for a quote inside. Numbers: 12, 12.5, .5.
//
// Values: text, or a number. Numbers from integers, dates, times, decimals and literals are exact
// scaled integers (0.1+0.2 = 0.3 holds); REAL fields, number getters and division give doubles.
// Comparison: text with text compares byte by byte, case-sensitive, ignoring trailing blanks (and
// zero bytes), so fields and names of different widths compare by content;
// anything else compares as numbers, text read by its leading number ('12 tabs' is 12, 'abc' 0).
// A date field is its standard date, so "ORD:DueDate >= today()" works; an empty date is 0.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/record_layout.h"

namespace rt {

class ExprValue {
public:
    ExprValue() = default;  // the number 0
    static ExprValue fromText(std::string text);
    static ExprValue fromNumber(double value);
    // value = scaled / 10^places; places 0..18.
    static ExprValue fromScaled(std::int64_t scaled, int places = 0);

    bool isText() const { return kind_ == Kind::Text; }
    // Exact numbers (and text read as a number) expose their scaled form.
    bool isExact() const { return kind_ == Kind::Exact; }
    std::int64_t scaled() const { return scaled_; }
    int places() const { return places_; }

    double number() const;     // text converts; a text that is not a number is 0
    std::string text() const;  // numbers format as "12.34", "30", "0.1"
    std::string_view textView() const { return text_; }  // a text value's text without a copy; empty for numbers
    bool truth() const;        // nonzero number, or text with something other than blanks

    // The value as a number (text converted), exact where the text is.
    ExprValue asNumber() const;

private:
    enum class Kind : std::uint8_t { Exact, Real, Text };
    Kind kind_ = Kind::Exact;
    std::int8_t places_ = 0;
    std::int64_t scaled_ = 0;
    double real_ = 0;
    std::string text_;
};

// ---- This thread's name table --------------------------------------------------------------
// Binding a name again replaces it, also for expressions already compiled against it.
// Pointers handed in must stay valid until the name is unbound or bound again (UnbindRecord
// when a record buffer goes away); an expression whose name was unbound reads it as empty text.
void BindField(std::string_view name, const FieldDesc& field, const void* recordBase);
void BindMemo(std::string_view name, const std::string* memo, std::size_t maxLength);
void BindText(std::string_view name, std::function<std::string()> getter);
void BindNumber(std::string_view name, std::function<double()> getter);
void Unbind(std::string_view name);
void UnbindRecord(const void* recordBase);
void UnbindAll();
bool IsBound(std::string_view name);

namespace detail {
struct ExprSlot;  // one bound name of a thread's table
struct ExprOp {
    std::uint8_t code;
    std::uint32_t arg;  // constant or slot index
};
}  // namespace detail

class Expression {
public:
    // Parses on the calling thread; names resolve against this thread's bindings now. On failure
    // nullopt, and *error (when given) names the expression, what is wrong and where (1-based).
    static std::optional<Expression> Compile(std::string_view text, std::string* error);

    // Reads the bound values now. Never throws: a getter that throws reads as empty text.
    // Evaluate on the thread that compiled the expression, whose bindings it reads.
    ExprValue Evaluate() const;
    bool Test() const { return Evaluate().truth(); }

    const std::string& source() const { return source_; }

private:
    Expression() = default;
    friend class ExprCompiler;
    std::string source_;
    std::vector<detail::ExprOp> code_;  // postfix: evaluation needs no recursion
    std::vector<ExprValue> constants_;
    std::vector<std::shared_ptr<const detail::ExprSlot>> slots_;
    std::size_t stackDepth_ = 0;
};

}  // namespace rt
