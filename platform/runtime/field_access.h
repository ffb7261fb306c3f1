#pragma once
// Generic access to one field of a record buffer through its description: what list columns,
// recall, checks, clearing and the auto-numbering use when they know a field only by number.
#include <string>

#include "platform/runtime/record_layout.h"

namespace rt {

// Text of a field as stored: STRING without trailing blanks, CSTRING up to its zero; numbers in
// plain decimal (a DECIMAL with its places, a DATE or TIME as its standard number).
std::string fieldText(const FieldDesc& f, const void* record);
// Numeric value (text fields read as a number, 0 when they don't start with one).
double fieldNumber(const FieldDesc& f, const void* record);
// Stores text into a field: STRING cut and padded, CSTRING cut to size-1; numeric fields parse the
// text (false, field unchanged, when it is no number or does not fit).
bool setFieldText(const FieldDesc& f, void* record, std::string_view text);
bool setFieldNumber(const FieldDesc& f, void* record, double value);
// Blank (text) or zero (numbers, dates, times): what OPT leaves out of a key.
bool fieldIsEmpty(const FieldDesc& f, const void* record);
// Clears a field: STRING to blanks, everything else to zero bytes.
void clearField(const FieldDesc& f, void* record);
void clearRecord(const TableDesc& d, void* record);

// Reads the longest leading decimal number of a text (optional sign, digits, decimal point,
// exponent) after leading blanks; 0 when the text does not begin with a number.
double leadingNumber(std::string_view text);

}  // namespace rt
