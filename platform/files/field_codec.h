#pragma once
// One field of a record buffer as a column value, and back. Text is stored as UTF-8 without
// trailing blanks, numbers as INTEGER or REAL, DECIMAL as its exact scaled integer, DATE and TIME
// as their standard numbers (0 when empty).
#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>

#include "platform/runtime/decimal.h"
#include "platform/runtime/record_layout.h"

struct sqlite3_stmt;

namespace files {

using SqlValue = std::variant<std::monostate, std::int64_t, double, std::string>;

enum class ColumnKind { Text, Integer, Real };

ColumnKind columnKind(rt::FieldType type);
bool isTextField(rt::FieldType type);

// Largest DECIMAL the driver stores exactly (17 digits fit in a 64-bit integer).
inline constexpr std::size_t kMaxDecimalBytes = rt::kMaxPackedDecimalBytes;

// The column value of a field in a record.
SqlValue encodeField(const rt::FieldDesc& f, const char* record);
// Whether a column value is blank text or zero: what OPT leaves out of a key.
bool isBlankValue(const SqlValue& v);
// Fills a field from a result column (anything the column holds; never fails).
void decodeField(const rt::FieldDesc& f, sqlite3_stmt* stmt, int column, char* record);
// A result column as a value of the kind given (NULL reads as blank or zero).
SqlValue columnValue(sqlite3_stmt* stmt, int column, ColumnKind kind);
// Binds a value; SQLite's result code.
int bindValue(sqlite3_stmt* stmt, int index, const SqlValue& v);

// Packed decimals of any size up to kMaxDecimalBytes.

}  // namespace files
