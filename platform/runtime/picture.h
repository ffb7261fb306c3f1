#pragma once
// Display pictures: how a value is shown in lists, forms and reports, and how what a user typed
// is read back. A picture is parsed once and then used for both directions.
//
// Text (record text, Windows-1252: one byte is one character; convert at the presenter):
//   @s<w>       text cut to w characters.
//
// Numbers:  @n [lead] [fill] <w> [grouping] [point <p>] [trail] [B]
//   lead      '-' leading minus, '(' negatives in parentheses, '$' currency sign; sign and '$'
//             in the order written ("@n-$9.2" gives "-$1.50", "@n$-9.2" gives "$-1.50").
//   fill      '0' or '_' zero-pad to the full width, '*' pad with asterisks.
//   w         total width: sign, currency, grouping and decimal point included.
//   grouping  ',' or '.' thousands separator (none unless asked for, so @n4 holds 9999).
//   point     '.' decimal point, '`' decimal comma, 'v' implied (digits only, no separator).
//   trail     '-' trailing minus, ')' closing a '(' lead, '$' trailing currency.
//   B         zero shows blank.
//   Without a sign form ('-' or '(') the picture takes no negative input; a negative value that
//   is nonetheless stored is still shown with a leading minus, never as its absolute value.
//   Values round half away from zero to p places. A value too wide for w shows as w '#'s.
//
// Dates (the program's own locale, US household style):
//   @d17  short date  "MM/DD/YYYY"          "12/10/2026"  (fixed width: columns line up)
//   @d18  long date   "Month D, YYYY"       "December 10, 2026"
//   @d4   month name  "Month D, YYYY"       "December 10, 2026"
//   @d18 is the locale's long form; without a weekday it fits a report column and so matches @d4.
//   A '-' or '.' after 17 changes the separator ("@d17-" gives "12-10-2026").
//   Date 0 shows blank. Typed dates: see ParseDate.
//
// Times:
//   @t7   short time  "h:mm AM"             "2:05 PM", midnight "12:00 AM"; seconds not shown.
//   Time 0 shows blank.
//
// Patterns: @P...P (or p...p, '@' optional): '#' a digit, '<' a digit left out while it is a
//   leading zero (and the literals between such digits with it), '\' makes the next character
//   literal, anything else literal. "@P(###) ###-####P", "pPage <<#p" (page 7 shows "Page 7").
//   Digits fill from the right; a zero number or text without digits shows blank; stored text
//   whose digits do not match the pattern is shown as it is, with no digits made up.
//
// Key-in templates: @K...K: '#' a digit, '@' a letter, '?' any character, '\' escapes, anything
//   else literal and inserted when not typed. "@K#'##\"K" makes "5'11\"" from "511".
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/record_layout.h"
#include "platform/runtime/std_date.h"

namespace rt {

class Picture {
public:
    enum class Kind { Text, Number, Date, Time, Pattern, KeyIn };

    // "@n-10.2", "@d17", "@s40", "@P(###) ###-####P", "pPage <<#p"; the '@' and the letter case
    // are optional ("D17"). nullopt with *error saying what is wrong.
    static std::optional<Picture> Parse(std::string_view picture, std::string* error);

    Kind kind() const { return kind_; }
    // Characters the formatted value can take (for dates and times the widest text).
    int width() const { return width_; }
    int places() const { return places_; }
    const std::string& text() const { return source_; }
    // Number pictures with a sign form accept negative input.
    bool allowsNegative() const { return num_.leadMinus || num_.trailMinus || num_.parens; }

    // Formatting: the text to display, without padding (alignment is the control's). Each also
    // accepts the other kinds' pictures sensibly: a number under a date picture is a standard
    // date, under a pattern its digits fill the pattern.
    std::string FormatNumber(double v) const;
    std::string FormatScaled(std::int64_t scaled, int places) const;
    std::string FormatDate(StdDate d) const;  // 0 -> blank
    std::string FormatTime(StdTime t) const;  // 0 -> blank
    std::string FormatText(std::string_view s) const;

    // Reading what a user typed; nullopt with *error a message for the user when it does not fit.
    // Blank input is zero (numbers), 0 (dates, times) or "" (text).
    // Numbers: blanks, '+', the picture's currency sign and grouping separator, parentheses and a
    // leading or trailing minus are accepted; more decimals than the picture shows are rounded to
    // its places; a value whose display would not fit the width is refused with the range.
    std::optional<double> ParseNumber(std::string_view typed, std::string* error) const;
    // The same, exactly, as a scaled integer with the given places (1234 for 12.34 at 2 places).
    std::optional<std::int64_t> ParseScaled(std::string_view typed, int places, std::string* error) const;
    // Dates: M/D/YYYY, M/D/YY, MM-DD-YYYY (also '.'), MMDDYYYY, MMDDYY, M/D (this year),
    // YYYY-MM-DD, "December 10, 2026", "Dec 10 2026", "10 December 2026", an optional weekday in
    // front. Two-digit years fall in the hundred years from 90 years before this year to 9 after
    // it (in 2026: 1936..2035), so birth years and near-future refill dates both come out right.
    // currentYear 0 reads the year from the clock.
    std::optional<StdDate> ParseDate(std::string_view typed, std::string* error, int currentYear = 0) const;
    // Times: "2:05 PM", "2:05pm", "2 p.m.", "14:05", "14:05:30", "1405"; 12 AM is midnight.
    std::optional<StdTime> ParseTime(std::string_view typed, std::string* error) const;
    // Text: refused when longer than the width (trailing blanks excepted). Patterns: literals and
    // separators dropped, digits checked (all of them for a pattern without '<'), the result in
    // its stored, formatted form "(555) 123-4567". Key-in: matched against the template. Number,
    // date and time pictures: the value's formatted text.
    std::optional<std::string> ParseText(std::string_view typed, std::string* error) const;
    // Pattern pictures: just the digits, checked as ParseText checks them ("5551234567").
    std::optional<std::string> ParsePatternDigits(std::string_view typed, std::string* error) const;

private:
    Picture() = default;

    struct NumberForm {
        std::string lead;   // in order: '$', '-', '('
        std::string trail;  // in order: '-', ')', '$'
        bool leadMinus = false, trailMinus = false, parens = false;
        char fill = ' ';      // ' ', '0' or '*'
        char grouping = 0;    // 0, ',' or '.'
        char point = '.';     // '.', ',' or 0 (implied)
        bool blankZero = false;
    };
    enum class DateForm { Short, Long };
    struct Slot {
        char type;  // '#', '<' (pattern); '#', '@', '?' (key-in); 'L' literal
        char ch;    // the literal
    };

    static std::optional<Picture> ParseNumberPicture(std::string_view body, std::string* error);
    static std::optional<Picture> ParseSlots(Kind kind, std::string_view body, std::string* error);

    // nullopt when the value does not fit the width.
    std::optional<std::string> NumberText(std::int64_t scaled) const;
    std::string Overflow() const { return std::string(static_cast<std::size_t>(width_), '#'); }
    std::string RangeMessage(std::string_view typed) const;
    std::optional<std::int64_t> ParseOwnScaled(std::string_view typed, std::string* error) const;
    std::string PatternFromDigits(std::string_view digits) const;
    int DigitSlots() const;
    bool HasSuppressedSlots() const;
    std::string KeyInForm() const;

    Kind kind_ = Kind::Text;
    int width_ = 0;
    int places_ = 0;
    std::string source_;
    NumberForm num_;
    DateForm dateForm_ = DateForm::Short;
    char dateSep_ = '/';
    std::vector<Slot> slots_;
};

// Whether a value can be stored in a record field of this type without loss of range: a BYTE
// holds 0..255, a SHORT -32768..32767, a LONG the 32-bit range, a DECIMAL of B bytes with P places
// 2B-1 digits of which P are decimals (4 bytes, 2 places: up to 99999.99), a REAL any finite
// value. The value is first rounded to the field's places (0 for the integer types). False, with
// *error "The value must be between -32768 and 32767.", when it does not fit; text fields take
// no number.
bool FitsField(FieldType type, int size, int places, double value, std::string* error = nullptr);
// The same for an exact scaled value (scaled / 10^valuePlaces).
bool FitsFieldScaled(FieldType type, int size, int places, std::int64_t scaled, int valuePlaces,
                     std::string* error = nullptr);

}  // namespace rt
