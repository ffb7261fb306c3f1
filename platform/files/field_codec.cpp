#include "platform/files/field_codec.h"

#include <sqlite3.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "platform/files/collation.h"
#include "platform/runtime/codepage.h"
#include "platform/runtime/decimal.h"
#include "platform/runtime/fixed_string.h"
#include "platform/runtime/std_date.h"

namespace files {
namespace {

template <typename T>
T load(const char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <typename T>
void store(char* p, T v) {
    std::memcpy(p, &v, sizeof v);
}

std::int32_t clampToInt32(std::int64_t v) {
    if (v < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    if (v > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(v);
}

std::string_view columnText(sqlite3_stmt* stmt, int column) {
    const auto* t = sqlite3_column_text(stmt, column);
    const int n = sqlite3_column_bytes(stmt, column);
    if (!t || n <= 0) return {};
    return std::string_view(reinterpret_cast<const char*>(t), static_cast<std::size_t>(n));
}

}  // namespace

bool isTextField(rt::FieldType type) { return type == rt::FieldType::String || type == rt::FieldType::CString; }

ColumnKind columnKind(rt::FieldType type) {
    switch (type) {
        case rt::FieldType::String:
        case rt::FieldType::CString: return ColumnKind::Text;
        case rt::FieldType::Real: return ColumnKind::Real;
        default: return ColumnKind::Integer;
    }
}

SqlValue encodeField(const rt::FieldDesc& f, const char* record) {
    const char* p = record + f.offset;
    switch (f.type) {
        case rt::FieldType::String: return rt::cp1252ToUtf8(rt::clipped(p, f.size));
        case rt::FieldType::CString: return rt::cp1252ToUtf8(rt::rtrim(rt::cstringView(p, f.size)));
        case rt::FieldType::Byte: return static_cast<std::int64_t>(load<std::uint8_t>(p));
        case rt::FieldType::Short: return static_cast<std::int64_t>(load<std::int16_t>(p));
        case rt::FieldType::Long: return static_cast<std::int64_t>(load<std::int32_t>(p));
        case rt::FieldType::Real: {
            const double d = load<double>(p);
            return std::isnan(d) ? 0.0 : d;  // SQLite would store NaN as NULL
        }
        case rt::FieldType::Decimal: return rt::packedDecimalScaled(reinterpret_cast<const unsigned char*>(p), f.size);
        case rt::FieldType::Date: return static_cast<std::int64_t>(load<rt::DateField>(p).get());
        case rt::FieldType::Time: return static_cast<std::int64_t>(load<rt::TimeField>(p).get());
    }
    return std::monostate{};
}

bool isBlankValue(const SqlValue& v) {
    if (const auto* s = std::get_if<std::string>(&v)) return s->empty();
    if (const auto* i = std::get_if<std::int64_t>(&v)) return *i == 0;
    if (const auto* d = std::get_if<double>(&v)) return *d == 0.0;
    return true;
}

void decodeField(const rt::FieldDesc& f, sqlite3_stmt* stmt, int column, char* record) {
    char* p = record + f.offset;
    switch (f.type) {
        case rt::FieldType::String:
            rt::assignPadded(p, f.size, utf8ToCp1252Lossy(columnText(stmt, column)));
            return;
        case rt::FieldType::CString:
            rt::assignCString(p, f.size, utf8ToCp1252Lossy(columnText(stmt, column)));
            return;
        case rt::FieldType::Byte: store(p, static_cast<std::uint8_t>(sqlite3_column_int64(stmt, column))); return;
        case rt::FieldType::Short: store(p, static_cast<std::int16_t>(sqlite3_column_int64(stmt, column))); return;
        case rt::FieldType::Long: store(p, static_cast<std::int32_t>(sqlite3_column_int64(stmt, column))); return;
        case rt::FieldType::Real: store(p, sqlite3_column_double(stmt, column)); return;
        case rt::FieldType::Decimal: {
            auto* b = reinterpret_cast<unsigned char*>(p);
            if (!rt::setPackedDecimalScaled(b, f.size, sqlite3_column_int64(stmt, column))) std::memset(b, 0, f.size);
            return;
        }
        case rt::FieldType::Date: {
            rt::DateField d;
            d.set(clampToInt32(sqlite3_column_int64(stmt, column)));
            store(p, d);
            return;
        }
        case rt::FieldType::Time: {
            rt::TimeField t;
            t.set(clampToInt32(sqlite3_column_int64(stmt, column)));
            store(p, t);
            return;
        }
    }
}

SqlValue columnValue(sqlite3_stmt* stmt, int column, ColumnKind kind) {
    const bool null = sqlite3_column_type(stmt, column) == SQLITE_NULL;
    switch (kind) {
        case ColumnKind::Text: return std::string(null ? std::string_view() : columnText(stmt, column));
        case ColumnKind::Integer: return static_cast<std::int64_t>(null ? 0 : sqlite3_column_int64(stmt, column));
        case ColumnKind::Real: return null ? 0.0 : sqlite3_column_double(stmt, column);
    }
    return std::monostate{};
}

int bindValue(sqlite3_stmt* stmt, int index, const SqlValue& v) {
    if (const auto* s = std::get_if<std::string>(&v))
        return sqlite3_bind_text64(stmt, index, s->data(), s->size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    if (const auto* i = std::get_if<std::int64_t>(&v)) return sqlite3_bind_int64(stmt, index, *i);
    if (const auto* d = std::get_if<double>(&v)) return sqlite3_bind_double(stmt, index, *d);
    return sqlite3_bind_null(stmt, index);
}

}  // namespace files
